// The potion list: the potions the player carries, one to drink. A member of the game state, opened over the game view; its "Ok" reports 225.
#pragma once
#include "dialogs/SMemberDialog.h"

class SItem;

class SDialogPotion : public SMemberDialog {
 public:
  static constexpr u16 kCloseCode = 225;

  SDialogPotion() : SMemberDialog(kCloseCode) {}
  void Open();
  // The chosen potion, taken out of the list; null when none was chosen.
  SItem* GetSelectedItem();
  u32 PotionCount() const { return potionCount; }

  u32 potionCount = 0;
};
