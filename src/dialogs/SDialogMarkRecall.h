// Mark and recall: the positions the player has marked. A member of the game state, opened over the game view; its "Ok" reports 232.
#pragma once
#include "dialogs/SMemberDialog.h"

class SDialogMarkRecall : public SMemberDialog {
 public:
  static constexpr u16 kCloseCode = 232;

  SDialogMarkRecall() : SMemberDialog(kCloseCode) {}
  // 1: mark a position; 0: recall one.
  void Open(u32 markMode);

  u32 mode = 0;
};
