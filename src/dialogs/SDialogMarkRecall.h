// Mark and recall: the player's marked positions as a list. In mark mode OK stores the current position in
// the chosen entry; in recall mode OK moves the player to the chosen entry's position (as a queued game
// event). The owner, the game state, sees 232 for both OK and Cancel.
#pragma once
#include "dialogs/SGameDialog.h"

class SDialogMarkRecall : public SGameDialog {
 public:
  static constexpr u32 kLayout = 22;
  static constexpr u16 kFrameId = 19, kTitleId = 16, kOkId = 231, kCloseCode = 232, kListId = 233, kPageUpId = 234,
                       kPageDownId = 235;

  void Attach(SGameCore* gameCore) override;
  // 1: mark a position; 0: recall one.
  void Open(u32 markMode);
  u32 OnCommand(u16 code) override;
  u32 OnTick(u32 frameCounter, SDisplay* screen) override { return 0; }

  u32 mode = 0;
  SBorderCtrl frame;
  STextCtrl title;
  SDialogListCtrl list;
  SButtonCtrl pageUp, pageDown, ok, cancel;

 private:
  void FillList(bool keepSelection);
  void Mark();
  void Recall();
};
