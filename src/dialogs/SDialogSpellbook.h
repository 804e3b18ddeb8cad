// The spell book: the spells the player knows, by category. A member of the game state, opened over the game view; its "Ok" reports 219.
#pragma once
#include "dialogs/SMemberDialog.h"

class SDialogSpellbook : public SMemberDialog {
 public:
  static constexpr u16 kCloseCode = 219;

  SDialogSpellbook() : SMemberDialog(kCloseCode) {}
  void Open();
};
