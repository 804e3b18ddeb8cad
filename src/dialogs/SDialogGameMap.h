// The world map: the world's tiles with the player's place. A member of the game state, opened over the game view; its "Ok" reports 48.
#pragma once
#include "dialogs/SMemberDialog.h"

class SDialogGameMap : public SMemberDialog {
 public:
  static constexpr u16 kCloseCode = 48;

  SDialogGameMap() : SMemberDialog(kCloseCode) {}
  void Open();
};
