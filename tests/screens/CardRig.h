// The card game without a screen: a game core with a seeded generator and the card set, the card state
// attached to it (no display, no layout, no data), and a virtual clock for the waits. Sides are set by
// hand with Prepare; matches run tick by tick with Run.
#pragma once
#include "core/SGameCore.h"
#include "core/SGameObserver.h"
#include "foundation/SRandom.h"
#include "os/headless/VirtualClock.h"
#include "screens/SStateCard.h"
#include "screens/cards/SCardRules.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// Notes the messages the game shows.
struct MessageLog : SGameObserver {
  void OnMessage(const char*, const char*, const char* text, u32) override { texts.push_back(text ? text : ""); }
  void OnSoundRequest(const SSoundRequest&) override {}
  std::vector<std::string> texts;
};

struct CardRig {
  explicit CardRig(u32 seed = 1) {
    Os::InstallClock(&clock);
    core.random = new SRandom;
    core.random->Seed(&core, seed);
    core.cards.Build(&core);
    core.observer = &messages;
    state.Attach(&core);
  }
  ~CardRig() { Os::InstallClock(nullptr); }
  CardRig(const CardRig&) = delete;
  CardRig& operator=(const CardRig&) = delete;

  const SCardType* Card(u32 deck, u32 index) const { return core.cards.CardAt(deck, index); }
  SCardSide& Own() { return state.sides[SStateCard::kPlayer]; }
  SCardSide& Enemy() { return state.sides[SStateCard::kComputer]; }

  // Both sides afresh: the player at ownHp of 40, the computer at enemyHp of 40, no markers, no hands, no
  // combo, the player's turn.
  void Prepare(i32 ownHp = 15, i32 enemyHp = 30) {
    for (SCardSide& s : state.sides) {
      s.maxHp = 40;
      for (SCardMarker& m : s.markers) m = SCardMarker{};
      for (const SCardType*& c : s.hand) c = nullptr;
    }
    Own().hp = ownHp;
    Enemy().hp = enemyHp;
    state.comboPending = 0;
    state.comboMultiplier = 1;
    state.gameOver = state.won = 0;
    state.turn = SStateCard::kTurnPlayer;
  }

  void Mark(u32 side, u32 slot, u32 deck, u32 index, i32 counter) {
    state.sides[side].markers[slot] = SCardMarker{Card(deck, index), counter};
  }

  // A card of the player's at a moment; returns the rating at moment 5.
  u32 Resolve(u32 deck, u32 index, u32 moment, i32& amount, u32 slot = 0, u32 multiplier = 1,
              u32 side = SStateCard::kPlayer) {
    return ResolveCardPlay(&core.cards, &state, Card(deck, index), side, moment, amount, slot, multiplier);
  }
  void Play(u32 deck, u32 index, u32 multiplier = 1) {
    i32 unused = 0;
    Resolve(deck, index, kCardPlayed, unused, 0, multiplier);
  }

  // One tick of the state with `ms` milliseconds passed before it.
  void Tick(u32 ms = 100) {
    clock.Advance(ms);
    state.OnTick(++frame, nullptr);
  }

  Os::VirtualClock clock;
  MessageLog messages;
  SGameCore core;
  SStateCard state;
  u32 frame = 0;
};
