// The repair shop of a person: the player's worn items repaired for money. Opened by the conversation as its
// modal child; its "Ok" reports 25 to the owner.
#pragma once
#include "dialogs/SMemberDialog.h"

class SDialogRepairShop : public SMemberDialog {
 public:
  static constexpr u16 kCloseCode = 25;

  SDialogRepairShop() : SMemberDialog(kCloseCode) {}
  // The person's price factor scales the prices.
  void Open(i32 factor);

  i32 priceFactor = 10;
};
