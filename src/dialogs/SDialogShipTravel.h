// Ship travel: the voyage picture and text, landing at the destination. A member of the game state, opened over the game view; its "Ok" reports 228.
#pragma once
#include "dialogs/SMemberDialog.h"

class SDialogShipTravel : public SMemberDialog {
 public:
  static constexpr u16 kCloseCode = 228;

  SDialogShipTravel() : SMemberDialog(kCloseCode) {}
  void Open(const char* text, const char* destinationName);

  SString destination;
  SString voyage;
};
