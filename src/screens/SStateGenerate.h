// Game state 10: the new player. Created and attached once at start-up; it holds the character being
// made, which the new game reads when it gives the player the starting kit. Until its screen is built it
// shows nothing and answers every key, touch and tick with 0.
#pragma once
#include "core/ui/SState.h"
#include "foundation/SString.h"

// The character as the new-player screen offers it before the player changes anything.
struct SNewPlayer {
  SString name{"Player"};
  SString raceName{"Etherim"};                // the display name of the race
  u32 sex = 1;                                // 1 male, 0 female
  u32 race = 2;                               // 1 Rasvim, 2 Etherim, 3 Seiry, 4 Derth, 5 Nogur
  u32 majorSkills[6] = {2, 5, 1, 8, 15, 14};  // six distinct skill ids 1 to 20
  SString portrait{"bres_head00_raceetherim"};
};

class SStateGenerate : public SState {
 public:
  SNewPlayer newPlayer;
};
