// Buttons. SButtonCtrl is the general button: a picture button (up, down and disabled pictures), a
// labelled picture button, or a button drawn from three-piece panels; it reports its command code when the
// pen is lifted inside it after going down inside it, when its hot key arrives, or, firing on press, on the
// pen-down and every move while held. SCtrlMessageButton is the text button of the message box and the
// list dialog: a label on a three-piece panel, sized to its text.
#pragma once
#include "core/ui/SCtrl.h"
#include "foundation/SString.h"

struct SImageEntry;

class SButtonCtrl : public SCtrl {
 public:
  SButtonCtrl() { inputMask = kInputKeys | kInputPen; }

  // Picture mode with the set's [0] up, [1] down and [2] disabled pictures, sized to picture [0] (0 x 0
  // without it); no label.
  void SetPicture(SImageEntry* const* set, u32 command, u32 key);
  // Picture mode with a label in font 1 (0xC8C8C8 on 0x585858 up, 0xFFFFFF on 0x585858 down); a null
  // label keeps the old one.
  void Create(SImageEntry* const* set, const char* text, u32 command, u32 key);
  // Panel mode: the three-piece panels drawn over the rectangle (which the caller sets) up and down, with a
  // label in the given font and colours. Returns 1.
  u32 CreatePanel(SImageEntry* const* down, SImageEntry* const* up, const char* text, u32 command, u32 labelFont,
                  u32 textUp, u32 edgeUp, u32 textDown, u32 edgeDown, u32 key);
  void SetLabel(const char* text);

  u32 OnKey(u32 key) override;
  u32 OnPen(i32 x, i32 y, u32 touching, u32 moving) override;
  void Paint() override;

  SImageEntry* const* downPanel = nullptr;
  SImageEntry* const* upPanel = nullptr;
  SImageEntry* const* pictures = nullptr;
  SString label;
  u32 showLabel = 0;
  u32 pictureMode = 0;
  u32 keyed = 0;
  u32 hasDisabledPicture = 0;
  u32 fireOnPress = 0;
  u32 commandCode = 0;
  u32 hotKey = 0;  // 0: none
  u32 labelFont = 0;
  u32 textColourUp = 0, edgeColourUp = 0;
  u32 textColourDown = 0, edgeColourDown = 0;

 private:
  bool Inside(i32 x, i32 y) const;
  void SizeToPicture();
};

class SCtrlMessageButton : public SCtrl {
 public:
  SCtrlMessageButton() { inputMask = kInputKeys | kInputPen; }

  // At (0, 0) with the label and code, as wide as the text plus 26 (compact modes) or 40, as high as the
  // down panel's first picture; the message buttons' panels (picture slots 10 to 12 up, 13 to 15 down);
  // shown and in a dialog.
  void SetText(const char* text, u32 command);
  // As SetText with the given panels, always the text plus 40, and the position kept.
  void SetTextWithPanels(const char* text, u32 command, SImageEntry* const* down, SImageEntry* const* up);

  u32 OnKey(u32 key) override { return 0; }
  u32 OnPen(i32 x, i32 y, u32 touching, u32 moving) override;
  void Paint() override;

  SImageEntry* const* downPanel = nullptr;
  SImageEntry* const* upPanel = nullptr;
  SString label;
  u32 commandCode = 0;

 private:
  void Size(const char* text, u32 command, i32 extra);
};
