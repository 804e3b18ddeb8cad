// What the new player's three selection dialogs (race, class, skill) share: a layout centred on the
// screen with its outer frame, a white title, and OK and Cancel, whose codes go to the opener.
#pragma once
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SDialog.h"
#include "core/ui/SPicCtrl.h"
#include "core/ui/SRgb.h"
#include "core/ui/STextCtrl.h"

class SSelectDialog : public SDialog {
 public:
  static constexpr u16 kFrameId = 19, kTitleId = 16, kOkId = 25, kCancelId = 26;
  static constexpr u32 kLabelColour = RgbWord(0xC8C8C8), kEdgeColour = RgbWord(0x161616);

  // 25 and 26: the button click, then the opener's answer to the same code.
  u32 OnCommand(u16 code) override;

  SBorderCtrl frame;
  STextCtrl title;
  SButtonCtrl ok, cancel;

 protected:
  // Empties the controls and lays out the frame and the title from the layout, centred on the screen.
  void BeginLayout(u32 layout, const char* titleText);
  // OK and Cancel, added last so that they take the pen first.
  void EndLayout();
  // A framed area of the layout drawn from the small panel set.
  void AddInnerFrame(SBorderCtrl& inner, u16 id);
  void ListClick();
};
