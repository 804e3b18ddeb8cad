// The main menu as a player reaches it: from the logo with no game, or from a game just begun (the menu of
// a game in progress), on a copy of the world when a game runs.
#pragma once
#include "app/DuskmireApp.h"
#include "core/SGameCore.h"
#include "screens/SStateMain.h"
#include "support/GameHarness.h"

#include <gtest/gtest.h>

inline GameHarness::Options MenuOptions(GameHarness::Options screen, bool inGame) {
  screen.copyData = screen.newGame = inGame;
  return screen;
}

// Boots `game` (made from MenuOptions) and enters the menu.
inline testing::AssertionResult EnterMenu(GameHarness& game, bool inGame) {
  if (!game.boot()) return testing::AssertionFailure() << game.startError();
  if (inGame) {
    if (testing::AssertionResult idle = game.waitUntil(GameHarness::gameIdle(), 40); !idle) return idle;
    game.setState(kStateMain);
  } else {
    game.press(kActionUse);
  }
  if (game.state() != kStateMain) return testing::AssertionFailure() << "the menu is not shown";
  return testing::AssertionSuccess();
}

inline SStateMain& Menu(GameHarness& game) { return *static_cast<SStateMain*>(game.core().states[kStateMain]); }
