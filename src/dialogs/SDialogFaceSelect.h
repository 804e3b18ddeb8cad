// "Select player face": steps through the faces a player may choose, one at a time, with previous and
// next arrows; OK (25) and Cancel (26) go to the owner, which reads the face shown.
#pragma once
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SDialog.h"
#include "core/ui/SFaceCtrl.h"
#include "core/ui/SPicCtrl.h"
#include "core/ui/STextCtrl.h"
#include "foundation/SStringList.h"

class SDialogFaceSelect : public SDialog {
 public:
  static constexpr u32 kLayout = 6;
  static constexpr u16 kFrameId = 19, kTitleId = 35, kFaceId = 36, kPrevId = 37, kNextId = 38, kOkId = 25,
                       kCancelId = 26;

  SDialogFaceSelect() { faces.SetOwns(true); }

  void Attach(SGameCore* gameCore) override;
  // Builds the window centred on the screen, on the player's current portrait.
  void Open();
  u32 OnCommand(u16 code) override;
  u32 OnTick(u32, SDisplay*) override { return 0; }
  // The picture name shown; null at -1.
  const char* SelectedFace() const { return faces.Text(index); }

  SStringList faces;  // the choosable faces' picture names, sorted
  i32 index = -1;
  SBorderCtrl frame;
  STextCtrl title;
  SFaceCtrl face;
  SButtonCtrl previous, next, ok, cancel;

 private:
  void UpdateArrows();
  void ShowFace();
};
