// Resting: the hours pass by a fire, in the open or at an inn. A member of the game state, opened over the game view; its "Ok" reports 5.
#pragma once
#include "dialogs/SMemberDialog.h"

class SNpc;

class SDialogRest : public SMemberDialog {
 public:
  static constexpr u16 kCloseCode = 5;

  SDialogRest() : SMemberDialog(kCloseCode) {}
  // The innkeeper, or null for rest in the open.
  void Open(const SNpc* innkeeper);
  // Clears the dialog after it closed.
  void Reset();

  const SNpc* keeper = nullptr;
  u32 rained = 0;  // set by the game state when it rained on a resting player in the open
};
