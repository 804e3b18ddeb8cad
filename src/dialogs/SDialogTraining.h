// Training with a person: the one skill the trainer teaches raised a level at a time for gold, up to the
// trainer's ceiling and twice the skill's governing attribute. Opened as the modal child of the
// conversation or the interior; "Close" reports 18 to the owner, which closes it.
#pragma once
#include "dialogs/SGameDialog.h"

class SNpc;

class SDialogTraining : public SGameDialog {
 public:
  static constexpr u32 kLayout = 4;
  // Layout ids; the buttons' ids are their command codes.
  static constexpr u16 kFrameId = 19, kTitleId = 16, kTrain = 17, kClose = 18, kLevelId = 20, kStatusId = 21,
                       kGoldId = 22;
  static constexpr u16 kCloseCode = kClose;

  void Attach(SGameCore* gameCore) override;
  void Open(const SNpc* trainer);
  // The level, status and gold lines, and whether "Train" shows.
  void BuildText();
  u32 OnCommand(u16 code) override;

  const SNpc* person = nullptr;
  u32 skill = 0;
  u32 cost = 0;
  u32 trainable = 0;

  SBorderCtrl frame;
  STextCtrl title, levelLine, statusLine, goldLine;
  SButtonCtrl train, close;
};
