// Lock picking: the player's picks, the chosen pick's condition and the chance. A member of the game state, opened over the game view; its "Ok" reports 104.
#pragma once
#include "dialogs/SMemberDialog.h"

class SDialogLockpick : public SMemberDialog {
 public:
  static constexpr u16 kCloseCode = 104;

  SDialogLockpick() : SMemberDialog(kCloseCode) {}
  void Open();
  void FillPickList() {}
  void UpdateConditionText() {}
  void UpdateChanceText() {}
};
