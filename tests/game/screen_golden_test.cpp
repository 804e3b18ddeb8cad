// The game screen of the real program, booted headless through the harness on each family of screens:
// the world opened, the player put on the town's start and in a cellar, and the game state entered as on
// loading a game. Every head-up control shows.
#include "app/DuskmireApp.h"
#include "core/SGameCore.h"
#include "game/SStateGame.h"
#include "support/GameHarness.h"
#include "support/Png.h"

#include <gtest/gtest.h>

namespace {

struct Shot {
  int width, height;
  const char* map;
  i32 x, y, facing;
  const char* golden;
  bool label = false;  // the faced label updated, as the frame's tick does
  // When set: what the game says when the player uses what is ahead of him after the frame ("" nothing).
  const char* used = nullptr;
};

void Check(const Shot& s) {
  GameHarness::Options o;
  o.width = s.width;
  o.height = s.height;
  GameHarness game(o);
  ASSERT_TRUE(game.boot()) << game.startError();
  SGameCore& core = game.core();
  ASSERT_TRUE(core.world.modules.OpenGameArchives(nullptr)) << core.world.modules.LastError();
  core.PrepareWorldTables(nullptr);
  core.BindWorldResources(nullptr);
  SMapArea* map = core.world.modules.FindMap(s.map);
  ASSERT_NE(map, nullptr);
  core.SetCurrentWorld(map->module);
  map->module->SetCurrentMap(map);
  ASSERT_NE(core.stateGame, nullptr);
  SStateGame& state = *core.stateGame;
  state.window.playerX = s.x;
  state.window.playerY = s.y;
  state.facing = s.facing;
  state.window.minutes = 12 * 60;
  core.player.portrait.Assign("bres_head34");
  game.setState(kStateGame);
  ASSERT_EQ(game.state(), kStateGame);
  if (s.label) state.UpdateFacedLabel();
  game.frame(2);
  const Os::Panel& panel = game.panel();
  EXPECT_EQ(testpng::CompareGolden(s.golden, panel.pixels.data(), panel.width, panel.height, panel.width), "")
      << s.golden;
  if (!s.used) return;
  game.press(kActionUse);
  game.frame(2);
  std::string said;
  for (const GameHarness::Message& m : game.messages()) said += m.text;
  EXPECT_EQ(said, s.used) << s.golden;
}

// The town's start, facing north: the town's sign, a board on two posts, stands on the grass before the wall
// ahead, beside the gate.
TEST(GameScreen, TheStartTileOnEveryScreen) {
  const Shot shots[] = {
      {240, 320, "base_out0101", 17, 17, 0, "game_town_240x320"},
      {480, 640, "base_out0101", 17, 17, 0, "game_town_480x640"},
      {800, 480, "base_out0101", 17, 17, 0, "game_town_800x480"},
      {240, 240, "base_out0101", 17, 17, 0, "game_town_240x240"},
  };
  for (const Shot& s : shots) Check(s);
}

// The cellar's lever, which a player is told is on the north wall, in the middle of it at the height of a
// hand, clear of the fists, from the cell before it, where Enter pulls it; from the cell to its west it stands
// out of its wall beside him, but is not used from there (a wall's object is used facing it). The East
// Fields' hut over the stairs stands on its cell, straight ahead of a player come up from the cellars, and
// Enter asks to go down.
TEST(GameScreen, TheCellarsLeverWhereItIsPulledAndTheFieldsHutOnItsCell) {
  Check({240, 320, "base_dungeon1", 10, 1, 0, "game_lever_240x320", false, "Pull the rusty lever?"});
  Check({480, 640, "base_dungeon1", 10, 1, 0, "game_lever_480x640", false, "Pull the rusty lever?"});
  Check({240, 320, "base_dungeon1", 9, 1, 270, "game_lever_beside_240x320", false, ""});
  Check({240, 320, "base_out0201", 8, 21, 270, "game_hut_240x320", false, "Go down into the cellars?"});
  Check({480, 640, "base_out0201", 8, 21, 270, "game_hut_480x640", false, "Go down into the cellars?"});
}

// A rat of the East Fields ahead (its cell 3, 9 of the fields' map), by day, on both families of screens.
TEST(GameScreen, TheRatInFront) {
  Check({240, 320, "base_out0201", 11, 16, 90, "game_rat_240x320", true});
  Check({480, 640, "base_out0201", 11, 16, 90, "game_rat_480x640", true});
}

TEST(GameScreen, ACellarWithItsMonstersAndTheirLabels) {
  Check({240, 320, "base_dungeon1", 5, 5, 180, "game_cellar_240x320"});
  Check({480, 640, "base_dungeon1", 5, 7, 180, "game_cellar_label_480x640", true});
}

}  // namespace

// From the west, along the town wall: the wall's end stands on the grass, and no part of the gate sticks
// out of its cell (a gate picture that did not fit the door's layout once hung a post below the wall).
TEST(GameScreen, TheTownGateFromTheWest) {
  Check({240, 320, "base_out0101", 14, 14, 270, "game_gate_west_240x320"});
  Check({240, 320, "base_out0101", 18, 16, 0, "game_gate_south_240x320"});
}

// What stands against a wall stands on the ground, centred and of its own size: the shop's door with its
// sign on the large screen, and the cellar's chest against the west wall, a cell away.
TEST(GameScreen, ThingsAgainstAWall) {
  Check({480, 640, "base_out0101", 21, 10, 0, "game_shopdoor_480x640"});
  Check({240, 320, "base_dungeon1", 2, 12, 90, "game_cellarchest_240x320"});
}

// The ferry's pier in town, from the harbour and from a cell further back: a landing with its boat, that a
// player takes for the ferry.
TEST(GameScreen, TheFerrysPier) {
  Check({480, 640, "base_out0101", 22, 20, 270, "game_pier_480x640"});
  Check({240, 320, "base_out0101", 23, 20, 270, "game_pier_240x320"});
}

// The head-up strip is two framed fills side by side (one above the other on none of the screens): on
// every screen neither frame draws the side the two share, and the bands along the strip run on across
// the join without a notch, so no seam shows between the halves.
TEST(GameScreen, TheHeadUpStripHasNoSeam) {
  for (i32 mode : GameHarness::deviceModes()) {
    GameHarness::Options o = GameHarness::forMode(mode);
    o.newGame = true;
    GameHarness game(o);
    ASSERT_TRUE(game.boot()) << game.startError();
    ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 40)) << mode;
    game.frame(2);
    const SStateGame& state = *game.core().stateGame;
    const SBorderCtrl &a = state.leftFrame, &b = state.rightFrame;
    ASSERT_EQ(a.left + a.width, b.left) << mode << ": the halves meet side by side";
    ASSERT_EQ(a.top, b.top) << mode;
    EXPECT_EQ(a.sides, 1u | 2u | 4u) << mode;
    EXPECT_EQ(b.sides, 1u | 4u | 8u) << mode;
    const Os::Panel& panel = game.panel();
    for (i32 y : {i32(a.top), i32(a.top + a.height - 1)})
      for (i32 x = b.left - 4; x < b.left + 4; ++x)
        EXPECT_EQ(panel.At(x, y), panel.At(b.left - 8, y)) << "mode " << mode << " at " << x << ", " << y;
  }
}

// Ysolde on Gull Isle (her cell 10, 11 of the isle's map, 17, 18 of the window around it) as her portrait
// shows her, grey hair and a blue gown with a cream front: from the north, two cells away and one.
TEST(GameScreen, TheIslesHermitInFront) {
  Check({240, 320, "base_out0302", 17, 16, 180, "game_ysolde_240x320", true});
  Check({480, 640, "base_out0302", 17, 17, 180, "game_ysolde_480x640", true});
}
