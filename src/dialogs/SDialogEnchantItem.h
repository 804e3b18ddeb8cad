// Enchanting and wand recharging: the player's items that can take it. A member of the game state, opened over the game view; its "Ok" reports 279.
#pragma once
#include "dialogs/SMemberDialog.h"

class SNpc;

class SDialogEnchantItem : public SMemberDialog {
 public:
  static constexpr u16 kCloseCode = 279;

  SDialogEnchantItem() : SMemberDialog(kCloseCode) {}
  // The enchanter (null: a spell's effect), the storage value handed on, and the recharge mode.
  void Open(const SNpc* enchanter, u32 storage, u32 recharge);

  const SNpc* person = nullptr;
  u32 storageValue = 0;
  u32 rechargeMode = 0;
};
