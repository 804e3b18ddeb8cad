// A game event queued on the game state: what happened while the player acted (a message, a teleport, a
// map transition, a turn, a move, prison, a step back, ship travel), handled later, one per frame, while
// the game state is idle. The fields each kind fills are listed with the kinds.
#pragma once
#include "foundation/SPtrArray.h"
#include "foundation/SString.h"

enum SGameEventKind : u32 {
  kEventTeleport = 1,       // textA position, numberA transition kind
  kEventMapTransition = 2,  // textA position, textB prompt, numberA transition kind, numberB step-back flag
  kEventTurnTo = 3,         // numberC facing quarter
  kEventCellMove = 4,       // numberD, numberE window cell
  kEventJail = 6,           // textD prison text
  kEventStepBack = 7,
  kEventMessage = 8,  // textA message (paragraphs joined by "\r"), buttons, sound
  kEventTravel = 22,  // textA, textB
};

struct SGameEvent {
  u32 kind = 0;
  SString textA;
  u32 numberA = 0;
  u32 numberB = 0;
  u32 numberC = 0;
  SString textB;
  u32 numberD = 0;
  u32 numberE = 0;
  u32 buttons = 0;  // message-box button bits
  SString textD;
  SString sound;  // "bsnd_click" when the builder gives none
};

template <>
struct SNameOf<SGameEvent> {
  static const SName& Get(const SGameEvent&) {
    static const SName none;
    return none;
  }
};
