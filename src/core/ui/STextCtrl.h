// The plain text label of the screens and dialogs: one text, wrapped to the control's width, aligned left,
// right or centred, optionally centred vertically or pushed to the bottom, in one of the three fonts with
// an optional black outline.
#pragma once
#include "core/ui/SCtrl.h"
#include "foundation/SString.h"

class STextCtrl : public SCtrl {
 public:
  // Mode flags.
  static constexpr u32 kLeft = 1;     // left-aligned, never outlined
  static constexpr u32 kCentred = 2;  // centred horizontally (neither: right-aligned)
  static constexpr u32 kMiddle = 16;  // the block centred vertically when it fits
  static constexpr u32 kBottom = 32;  // the block pushed to the bottom

  STextCtrl() = default;

  // Recomputes the origin of the first line from the text, the font and the mode.
  void UpdateLayout();
  // Each assigns, marks dirty and lays out again.
  void SetText(const char* value);
  void SetTextStyled(const char* value, u32 modeFlags, u32 fontNumber, u32 colourWord, u32 shadeWord);
  // Only the colour: no new layout.
  void SetColour(u32 colourWord);
  void Paint() override;

  SString text;
  u32 mode = 0;
  u32 fontNumber = 0;
  i32 textX = 0, textY = 0;
  u32 outline = 0;
  u32 colour = 0;  // 0x00BBGGRR
  u32 shade = 0;   // the colour the glyph edges blend toward
};

// A label and a value side by side, centred together in the control.
class SNameTextCtrl : public SCtrl {
 public:
  void SetDefaults();
  // A null text changes nothing; otherwise assigned and repainted.
  void SetLabel(const char* text);
  void SetValue(const char* text);
  void Paint() override;

  SString label;
  SString value;
  u32 fontNumber = 0;
  u32 labelColour = 0;
  u32 valueColour = 0;
  u32 edgeColour = 0;
};
