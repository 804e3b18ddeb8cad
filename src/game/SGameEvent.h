// A game event queued on the game state: what happened while the player acted (a message, a teleport, a
// map transition, a turn, a move, prison, a step back, a choice list, a service, a prompt, a scene, ship
// travel), handled later, one per frame, while the game state is idle. The fields each kind fills are
// listed with the kinds.
#pragma once
#include "foundation/SPtrArray.h"
#include "foundation/SString.h"

class SDialogListCtrl;
class SDialogTextCtrl;
class SMapArea;
class SMapObjectType;
struct SMapMonster;
class SWorldModule;
struct SMapCell;
struct SMapObjectInst;

enum SGameEventKind : u32 {
  kEventTeleport = 1,       // textA position, numberA transition kind
  kEventMapTransition = 2,  // textA position, textB prompt, numberA transition kind, numberB step-back flag
  kEventTurnTo = 3,         // numberC facing quarter
  kEventCellMove = 4,       // numberD, numberE window cell
  kEventTransition = 5,     // textA position (empty: the cell target), numberA kind, module, area, numberD,
                            // numberE cell, numberC facing quarter; soundPlayed
  kEventJail = 6,           // textD prison text
  kEventStepBack = 7,
  kEventMessage = 8,      // message (its text control), buttons, sound
  kEventChoiceList = 9,   // list
  kEventService = 10,     // textC service name
  kEventPrompt = 11,      // textA, the trapped door (area, inst, cell, type, word), choices
  kEventRestPrompt = 12,  // textB
  kEventNone = 13,        // freed without effect
  kEventMark = 14,         // the spell and ability actions: flag
  kEventRecall = 15,
  kEventTownPortal = 16,
  kEventRechargeWand = 17,
  kEventEnchantItem = 18,  // flag the value handed on
  kEventTheft = 19,        // area, monster (the person), numberA the talk's out flag
  kEventTargetInfo = 20,   // area, monster, flag the detail
  kEventScene = 21,        // textA scene name
  kEventTravel = 22,       // textA, textB
  kEventLastKind = 22,
};

struct SGameEvent {
  SGameEvent() = default;
  SGameEvent(const SGameEvent&) = delete;
  SGameEvent& operator=(const SGameEvent&) = delete;
  // A message's text control and a list's control that never opened go with the event.
  ~SGameEvent();

  u32 kind = 0;
  SString textA;
  u32 numberA = 0;
  u32 numberB = 0;
  u32 numberC = 0;
  SString textB;
  u32 numberD = 0;
  u32 numberE = 0;
  SDialogTextCtrl* message = nullptr;  // kind 8, owned until its box opens
  u32 buttons = 0;                     // message-box button bits
  SDialogListCtrl* list = nullptr;     // kind 9, owned until its list opens
  SString textC;
  SString textD;
  // Kind 11: the trapped door and the three button choices (Disarm, Pick, Open); kind 5: the target
  // world module and area.
  SMapArea* area = nullptr;
  SMapObjectInst* inst = nullptr;
  SMapCell* cell = nullptr;
  SMapObjectType* type = nullptr;
  i32 word = 0;
  u8 choices[3] = {};
  SWorldModule* module = nullptr;
  SMapMonster* monster = nullptr;  // kind 19
  SString sound;                   // "bsnd_click" when the builder gives none
  u8 flag = 0;
  u8 soundPlayed = 0;
};

template <>
struct SNameOf<SGameEvent> {
  static const SName& Get(const SGameEvent&) {
    static const SName none;
    return none;
  }
};
