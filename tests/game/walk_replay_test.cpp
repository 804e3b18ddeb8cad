// The walk through the real program, headless: the keys bound to the movement actions pressed one after
// another on the sample world, each move waited for, with the game's summary, the sounds it played and
// frames in the middle of a step and of a turn compared with stored ones.
#include "WalkGame.h"
#include "app/DuskmireApp.h"
#include "core/SGameCore.h"
#include "game/SStateGame.h"
#include "support/GameHarness.h"
#include "support/GoldenText.h"
#include "support/Png.h"
#include "world/SItemTable.h"
#include "world/SWorldModule.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// The sample world opened and the game state entered on the town's start, facing as its position says.
bool EnterTown(GameHarness& game) {
  SGameCore& core = game.core();
  if (!core.world.modules.OpenGameArchives(nullptr)) return false;
  core.PrepareWorldTables(nullptr);
  core.BindWorldResources(nullptr);
  // The walk crosses empty maps: monsters' turns and people's walks have their own replay.
  WalkGame::EmptyMaps(core);
  SMapArea* map = core.world.modules.FindMap("base_out0101");
  if (!map) return false;
  core.SetCurrentWorld(map->module);
  map->module->SetCurrentMap(map);
  SStateGame& state = *core.stateGame;
  state.window.playerX = state.window.playerY = 17;
  state.window.minutes = 12 * 60;
  core.player.portrait.Assign("bres_head34");
  game.setState(kStateGame);
  state.TeleportToPosition("base_pos_start", 0);
  // Input waits a frame after the teleport.
  game.frame();
  return game.state() == kStateGame && game.waitUntil(GameHarness::gameIdle(), 10);
}

// What the group did: the summary, then the sounds played since `from` (loops and music left out).
std::string Group(const GameHarness& game, const char* title, size_t& from) {
  std::ostringstream out;
  out << "== " << title << "\n" << game.summary() << "sounds";
  const auto& sounds = game.sounds();
  for (size_t i = from; i < sounds.size(); ++i)
    if (sounds[i].what == "sound") out << " " << sounds[i].name << "@" << sounds[i].step;
  from = sounds.size();
  return out.str() + "\n";
}

// Presses an action and waits until the game is idle again.
testing::AssertionResult Move(GameHarness& game, u16 action) {
  game.press(action);
  testing::AssertionResult r = game.waitUntil(GameHarness::gameIdle(), 40);
  if (!r) {
    r << "\n" << game.summary();
    for (const auto& m : game.messages()) r << m.source << " to " << m.destination << ": " << m.text << "\n";
  }
  return r;
}

bool HasSound(const GameHarness& game, const std::string& name) {
  for (const auto& s : game.sounds())
    if (s.what == "sound" && s.name == name) return true;
  return false;
}

TEST(WalkReplay, TheTownTheFieldsAndTheStairsDown) {
  GameHarness game;
  ASSERT_TRUE(game.boot()) << game.startError();
  ASSERT_TRUE(EnterTown(game));
  SGameCore& core = game.core();
  SStateGame& state = *core.stateGame;
  std::string log;
  size_t sound = game.sounds().size();
  log += Group(game, "the start: base_pos_start faces south", sound);

  // Forward three times, a turn to the left, forward, a side step, back.
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(Move(game, kActionForward)) << i;
  ASSERT_TRUE(Move(game, kActionTurnLeft));
  ASSERT_TRUE(Move(game, kActionForward));
  ASSERT_TRUE(Move(game, kActionSideRight));
  ASSERT_TRUE(Move(game, kActionBack));
  log += Group(game, "three steps south, a turn east, a step, a side step south, a step back west", sound);

  // Into the wall south of the start: the bump comes back to the cell's centre and takes no time.
  ASSERT_TRUE(Move(game, kActionTurnRight));
  ASSERT_TRUE(Move(game, kActionForward));
  const u32 clock = state.window.minutes;
  ASSERT_TRUE(Move(game, kActionForward));
  EXPECT_EQ(state.window.minutes, clock);
  log += Group(game, "a turn south, a step, a bump into the wall", sound);

  // An anvil in the pack: the step is refused with the message, answered with Ok.
  SItemType* anvil = core.world.items.FindType("base_misc_anvil");
  ASSERT_NE(anvil, nullptr);
  core.player.AddItems(anvil, 1);
  game.press(kActionForward);
  ASSERT_TRUE(game.waitUntil(GameHarness::subModeIs(SStateGame::kMessageBox), 20));
  log += Group(game, "the anvil carried: the step refused, the box open", sound);
  ASSERT_TRUE(Move(game, kActionUse));
  log += Group(game, "the box answered with Ok", sound);
  // Putting the anvil down is reported in a box of its own.
  core.player.LoseItems("base_misc_anvil", 1);
  ASSERT_TRUE(game.waitUntil(GameHarness::subModeIs(SStateGame::kMessageBox), 5));
  game.frame();  // a box takes no key in the frame it opens
  ASSERT_TRUE(Move(game, kActionUse));

  // Back north, then east across the stream to the tile's edge and over it onto the fields.
  ASSERT_TRUE(Move(game, kActionBack));
  ASSERT_TRUE(Move(game, kActionTurnLeft));
  while (state.window.playerX < 27) ASSERT_TRUE(Move(game, kActionForward)) << state.window.playerX;
  log += Group(game, "north, east over the planks to the tile's last column", sound);
  ASSERT_TRUE(Move(game, kActionForward));
  log += Group(game, "over the edge: the fields fill the window, the player on their first column", sound);

  // The stairs down, barefoot: the question, Yes, 40 frames of the transition, the cellar.
  std::vector<i32> subModes;
  game.onPresent = [&](const Os::Panel&) { subModes.push_back(state.subMode); };
  ASSERT_TRUE(Move(game, kActionForward));
  game.press(kActionForward);
  ASSERT_TRUE(game.waitUntil(GameHarness::subModeIs(SStateGame::kTransitionPrompt), 10));
  log += Group(game, "a step, then into the stairs: the question", sound);
  game.frame();
  game.press(kActionUse);
  ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 60));
  game.onPresent = nullptr;
  EXPECT_EQ(std::count(subModes.begin(), subModes.end(), i32(SStateGame::kTransition)), 40);
  log += Group(game, "Yes: down the stairs barefoot into the cellars", sound);
  EXPECT_TRUE(HasSound(game, "bsnd_stairdownbare"));
  EXPECT_FALSE(HasSound(game, "bsnd_stairdown"));

  // Again with boots on, from the position beside the stairs.
  SItem* boots = core.player.AddItems(core.world.items.FindType("base_armor_boots"), 1);
  ASSERT_NE(boots, nullptr);
  core.player.EquipItem(boots, false);
  state.window.minutes = 12 * 60;
  SMapArea* fields = core.world.modules.FindMap("base_out0201");
  fields->module->SetCurrentMap(fields);
  state.TeleportToCell(fields->module, fields, 1, 14, 3, 0);
  game.frame();
  ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 10));
  game.press(kActionForward);
  ASSERT_TRUE(game.waitUntil(GameHarness::subModeIs(SStateGame::kTransitionPrompt), 10));
  game.frame();
  game.press(kActionUse);
  ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 60));
  log += Group(game, "with boots: down the stairs again", sound);
  EXPECT_TRUE(HasSound(game, "bsnd_stairdown"));

  EXPECT_EQ(testgolden::CompareText("walk_replay", log), "");
}

// Frames in the middle of a step and of a turn, and how many frames each takes by screen.
TEST(WalkReplay, FramesOfAStepAndATurn) {
  struct Screen {
    int width, height;
    u32 large;
    int stepFrames, turnFrames;
    const char* stepGolden;
    const char* turnGolden;
  } screens[] = {
      {240, 320, 0, 8, 9, "walk_mid_step_240x320", "walk_mid_turn_240x320"},
      {480, 640, 1, 4, 5, "walk_mid_step_480x640", "walk_mid_turn_480x640"},
  };
  for (const Screen& s : screens) {
    SCOPED_TRACE(s.width);
    GameHarness::Options o;
    o.width = s.width;
    o.height = s.height;
    GameHarness game(o);
    ASSERT_TRUE(game.boot()) << game.startError();
    ASSERT_TRUE(EnterTown(game));
    SStateGame& state = *game.core().stateGame;
    EXPECT_EQ(state.largeScreen, s.large);

    // Every frame of the move shows a new place (or facing) until it ends.
    std::vector<std::pair<i32, i32>> places;
    game.onPresent = [&](const Os::Panel&) {
      const std::pair<i32, i32> now{state.window.playerY * 65536 + state.offsetY, state.facing};
      if (places.empty() || places.back() != now) places.push_back(now);
    };
    game.press(kActionForward);
    const Os::Panel& panel = game.panel();
    if (s.stepFrames == 8) game.frame(1);
    EXPECT_EQ(testpng::CompareGolden(s.stepGolden, panel.pixels.data(), panel.width, panel.height, panel.width), "");
    ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 20));
    EXPECT_EQ(i32(places.size()) - 1, s.stepFrames);

    places.clear();
    game.press(kActionTurnLeft);
    if (s.turnFrames == 9) game.frame(1);
    EXPECT_EQ(testpng::CompareGolden(s.turnGolden, panel.pixels.data(), panel.width, panel.height, panel.width), "");
    ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 20));
    EXPECT_EQ(i32(places.size()) - 1, s.turnFrames);
    game.onPresent = nullptr;
  }
}

}  // namespace
