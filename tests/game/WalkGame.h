// The real program booted headless on the sample world, with the game state entered on a map cell as on
// loading a game: for the tests of walking, events, transitions, the tick, the clock and the sounds. The
// maps are emptied of their monsters and people first (unless `withMonsters` is set): their turns would
// come between the steps, and have tests of their own.
#pragma once
#include "app/DuskmireApp.h"
#include "core/SGameCore.h"
#include "game/SStateGame.h"
#include "os/headless/VirtualClock.h"
#include "support/GameHarness.h"
#include "world/SMapArea.h"
#include "world/SMapCell.h"
#include "world/SWorldModule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A city door on a side of a cell of the game's window: its object (null when the side names none) and the
// area it lies in.
struct CityDoor {
  SMapObjectInst* door;
  SMapArea* area;
  i32 x, y;
};
inline std::vector<CityDoor> CityDoorsInWindow(SStateGame& state) {
  std::vector<CityDoor> doors;
  for (i32 y = 0; y < SMapWindow::kSize; ++y)
    for (i32 x = 0; x < SMapWindow::kSize; ++x) {
      const SMapCell* cell = state.window.Cell(x, y);
      SMapArea* area = state.window.BlockArea(x, y);
      if (!cell || !area) continue;
      for (u32 side = 0; side < 4; ++side)
        if (SMapWindow::TypeNumber(cell->sideType[side]) == 11)
          doors.push_back({area->FindObjectById(cell->sideObjectId[side]), area, x, y});
    }
  return doors;
}

struct WalkGame {
  explicit WalkGame(const GameHarness::Options& options = {}) : game(options) {
    booted = game.boot();
    EXPECT_TRUE(booted) << game.startError();
  }

  SGameCore& core() { return game.core(); }
  SStateGame& state() { return *game.core().stateGame; }

  // The world opened and the game state entered with the player on (x, y) of the map (window cells),
  // facing as given, at the minute of the game; a frame passes, so that input is taken.
  bool Enter(const char* mapName, i32 x, i32 y, i32 facing, u32 minutes = 12 * 60) {
    if (!booted) return false;
    SGameCore& c = core();
    if (!worldOpen) {
      if (!c.world.modules.OpenGameArchives(nullptr)) return false;
      c.PrepareWorldTables(nullptr);
      c.BindWorldResources(nullptr);
      worldOpen = true;
      if (!withMonsters) EmptyMaps(c);
    }
    SMapArea* map = c.world.modules.FindMap(mapName);
    if (!map) return false;
    c.SetCurrentWorld(map->module);
    map->module->SetCurrentMap(map);
    state().window.playerX = x;
    state().window.playerY = y;
    state().facing = facing;
    state().window.minutes = minutes;
    c.player.portrait.Assign("bres_head34");
    game.setState(kStateGame);
    game.frame();
    return game.state() == kStateGame;
  }

  // Presses an action and waits until the game is idle again.
  testing::AssertionResult Move(u16 action, u32 frames = 40) {
    game.press(action);
    return game.waitUntil(GameHarness::gameIdle(), frames);
  }
  // Waits for the box (or prompt) of the sub-mode, lets its first frame pass, and presses the action.
  testing::AssertionResult Answer(i32 subMode, u16 action) {
    if (auto r = game.waitUntil(GameHarness::subModeIs(subMode), 60); !r) return r;
    game.frame();
    game.press(action);
    return testing::AssertionSuccess();
  }

  // Waits until the game is idle, answering every box that opens on the way with its default button.
  testing::AssertionResult Settle(u32 frames = 120) {
    for (u32 i = 0; i < frames; ++i) {
      if (GameHarness::gameIdle().holds(game)) return testing::AssertionSuccess();
      if (state().subMode == SStateGame::kMessageBox && !state().subDialog->IsOpeningTick()) {
        game.press(3006);
        continue;
      }
      game.frame();
    }
    return testing::AssertionFailure() << "not idle within " << frames << " frames\n" << game.summary();
  }
  // Waits for the box of the sub-mode, lets its first frame pass, and taps its button of that caption.
  testing::AssertionResult Choose(i32 subMode, const std::string& caption) {
    if (auto r = game.waitUntil(GameHarness::subModeIs(subMode), 60); !r) return r;
    game.frame();
    for (const GameHarness::Control& c : game.controls())
      if (c.text == caption && c.type == "SCtrlMessageButton") {
        game.penDown(c.x + c.width / 2, c.y + c.height / 2);
        game.penUp(c.x + c.width / 2, c.y + c.height / 2);
        return testing::AssertionSuccess();
      }
    return testing::AssertionFailure() << "no button " << caption;
  }

  // The sounds played (kind "sound", "loop", ...) since the mark, by name.
  std::vector<std::string> Sounds(const char* what = "sound") {
    std::vector<std::string> out;
    const auto& all = game.sounds();
    for (size_t i = soundMark; i < all.size(); ++i)
      if (all[i].what == what) out.push_back(all[i].name);
    return out;
  }
  void MarkSounds() { soundMark = game.sounds().size(); }
  bool Played(const std::string& name, const char* what = "sound") {
    for (const std::string& s : Sounds(what))
      if (s == name) return true;
    return false;
  }

  static Os::VirtualClock& Clock() { return static_cast<Os::VirtualClock&>(Os::Clocks()); }

  // Takes every monster and person off every map of the open worlds.
  static void EmptyMaps(SGameCore& c) {
    for (SWorldModule* module : c.world.modules.modules)
      for (SMapArea* map : module->maps) map->RemoveAllMonsters();
  }

  GameHarness game;
  bool withMonsters = false;
  bool booted = false, worldOpen = false;
  size_t soundMark = 0;
};
