// The step's rules and the input that starts it, on the real game state: directions by facing, what a
// busy state refuses, the load limit to the unit, paralysis, the trap that holds, the water's regions,
// the window's edge, doors and webs drawn open as they are left, footsteps by floor and boots, and the
// pen's zones and buttons.
#include "WalkGame.h"
#include "player/SPlayer.h"
#include "world/SItemTable.h"
#include "world/SMapObjectType.h"

#include <gtest/gtest.h>

namespace {

constexpr u16 kForward = 1000, kBack = 1002, kTurnLeft = 1004, kSideLeft = 3004, kSideRight = 3005;

TEST(Step, DirectionsFollowTheFacing) {
  WalkGame w;
  const struct {
    i32 facing;
    u16 action;
    i32 dx, dy;
  } cases[] = {{0, kForward, 0, -1},    {0, kSideRight, 1, 0}, {0, kSideLeft, -1, 0}, {0, kBack, 0, 1},
               {90, kForward, -1, 0},   {180, kForward, 0, 1}, {270, kForward, 1, 0}, {270, kSideLeft, 0, -1},
               {270, kSideRight, 0, 1}, {90, kBack, 1, 0}};
  for (const auto& c : cases) {
    ASSERT_TRUE(w.Enter("base_dungeon1", 7, 8, c.facing));
    ASSERT_TRUE(w.Move(c.action)) << c.facing << " " << c.action;
    EXPECT_EQ(w.state().window.playerX, 7 + c.dx) << c.facing << " " << c.action;
    EXPECT_EQ(w.state().window.playerY, 8 + c.dy) << c.facing << " " << c.action;
    EXPECT_EQ(w.state().lastStepDirection, c.dx ? (c.dx > 0 ? 1 : 3) : (c.dy > 0 ? 2 : 0));
  }
}

TEST(Step, TurnsToAQuarterTakeTheShorterWayOrNone) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 8, 8, 0));
  SStateGame& s = w.state();
  const struct {
    i32 from, quarter, step;
  } cases[] = {{0, 1, 10}, {0, 3, -10}, {0, 2, -10}, {270, 0, 10}, {90, 0, -10}};
  for (const auto& c : cases) {
    s.facing = c.from;
    s.StartTurnTo(c.quarter);
    EXPECT_TRUE(s.turning);
    EXPECT_EQ(s.turnStep, c.step) << c.from << " to " << c.quarter;
    ASSERT_TRUE(w.game.waitUntil(GameHarness::gameIdle(), 40));
    EXPECT_EQ(s.facing, c.quarter * 90);
  }
  // A turn to the facing the player has already is none (not a whole spin).
  s.QueueTurnTo(0);
  ASSERT_TRUE(w.game.waitUntil(GameHarness::gameIdle(), 3));
  EXPECT_EQ(s.facing, 0);
  s.StartTurnTo(0);
  EXPECT_FALSE(s.turning);
}

TEST(Step, ABusyStateRefusesInput) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 8, 8, 0));
  SStateGame& s = w.state();
  EXPECT_FALSE(s.IsBusy());
  // A turn key while a step animates does nothing.
  s.OnKey(kForward);
  ASSERT_TRUE(s.stepping);
  EXPECT_TRUE(s.IsBusy());
  s.OnKey(kTurnLeft);
  EXPECT_FALSE(s.turning);
  ASSERT_TRUE(w.game.waitUntil(GameHarness::gameIdle(), 20));
  // A queued message, an action under way, another sub-mode: each makes the state busy.
  s.QueueTurnTo(3);
  EXPECT_TRUE(s.IsBusy());
  s.events.DeleteAll();
  s.ShowPlayerDamage(1);
  EXPECT_TRUE(s.IsBusy());
  s.actions.DeleteAll();
  s.subMode = SStateGame::kTransition;
  EXPECT_TRUE(s.IsBusy());
  s.subMode = SStateGame::kWalking;
  s.fightFlag = 1;
  EXPECT_TRUE(s.IsBusy());
  s.fightFlag = 0;
  EXPECT_FALSE(s.IsBusy());
  // A key in the frame of the last switch is ignored.
  s.ResetInputGuard();
  s.OnKey(kForward);
  EXPECT_FALSE(s.stepping);
}

TEST(Step, TheLoadLimitCountsToTheUnit) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 8, 8, 0));
  SPlayer& player = w.core().player;
  SItemType* anvil = w.core().world.items.FindType("base_misc_anvil");
  ASSERT_NE(anvil, nullptr);
  const i32 limit = player.GetCarryCapacity() * 3 / 2;
  ASSERT_GT(limit, i32(player.GetInventoryWeight()));
  const i32 saved = anvil->weight;
  anvil->weight = limit - i32(player.GetInventoryWeight());
  player.AddItems(anvil, 1);
  ASSERT_EQ(i32(player.GetInventoryWeight()), limit);
  ASSERT_TRUE(w.Move(kForward));
  EXPECT_EQ(w.state().window.playerY, 7) << "exactly the limit still walks";
  anvil->weight += 1;
  w.state().OnKey(kForward);
  EXPECT_TRUE(w.state().bump);
  ASSERT_EQ(w.state().events.Count(), 1u);
  EXPECT_STREQ(w.state().events[0]->textA.CStr(), "You carry way too much - you can't move.");
  anvil->weight = saved;
}

TEST(Step, AParalysedPlayerBumpsWithoutAWord) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 8, 8, 0));
  w.core().player.AddEffect(kSourceCondition, nullptr, 0, 5, 28, 0, nullptr);
  ASSERT_TRUE(w.core().player.IsParalyzed());
  w.state().events.DeleteAll();  // "You're paralyzed!"
  const u32 clock = w.state().window.minutes;
  ASSERT_TRUE(w.Move(kForward));
  EXPECT_EQ(w.state().window.playerY, 8);
  EXPECT_EQ(w.state().offsetY, 32768);
  EXPECT_EQ(w.state().window.minutes, clock);
  EXPECT_EQ(w.state().events.Count(), 0u);
}

TEST(Step, ASprungTrapHoldsThePlayer) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 4, 2, 270));
  SStateGame& s = w.state();
  w.game.press(kForward);
  ASSERT_TRUE(w.Settle());
  ASSERT_EQ(s.window.playerX, 5);
  SMapObjectInst* trap = s.window.CurrentArea()->FindObjectByName("base_obj_trap");
  ASSERT_NE(trap, nullptr);
  trap->packed = i16(u16(trap->packed) | 0x3000);  // its spikes still up
  s.OnKey(kForward);
  EXPECT_FALSE(s.stepping);
  EXPECT_EQ(s.window.playerX, 5);
  trap->packed = i16(u16(trap->packed) & 0x0FFF);
  s.OnKey(kForward);
  EXPECT_TRUE(s.stepping);
}

TEST(Step, WaterThreeCellsWideAcrossTheStepCannotBeSwumOnInto) {
  WalkGame w;
  // The town's lake (window rows 22 to 25, three to six cells wide) and the stream one cell wide at
  // window column 25.
  const struct {
    i32 x, y, facing;
    bool moves;
    const char* why;
  } cases[] = {
      {12, 22, 180, true, "from the bank into the lake"},
      {11, 24, 90, false, "on into the lake: three cells of it across the step"},
      {11, 24, 180, false, "on south: the same"},
      {13, 24, 0, true, "north where the lake narrows to its bank"},
      {25, 12, 180, true, "along the stream, one cell wide"},
      {25, 12, 270, true, "out of the stream onto the bank"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(w.Enter("base_out0101", c.x, c.y, c.facing));
    w.state().previousX = w.state().previousY = 0;
    ASSERT_TRUE(w.Move(kForward));
    EXPECT_EQ(w.state().window.playerX != c.x || w.state().window.playerY != c.y, c.moves) << c.why;
  }
}

TEST(Step, TheWindowsEdgeRefusesSilently) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 0, 8, 90));
  w.state().OnKey(kForward);
  EXPECT_FALSE(w.state().stepping);
  EXPECT_FALSE(w.state().bump);
  EXPECT_EQ(w.state().events.Count(), 0u);
}

TEST(Step, AWebLeftBehindIsRebuiltAsTheStepStarts) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 2, 2, 270));
  SStateGame& s = w.state();
  ASSERT_TRUE(w.Move(kForward));
  ASSERT_EQ(s.window.playerX, 3) << "the torn web lets the player in";
  u16* record = s.scene.Words(u32(3 + SMapWindow::kSize * 2), 1);
  for (u32 i = 0; i < MapRecord::kObjectWords; ++i) record[i] = 0xAAAA;
  s.OnKey(kForward);
  ASSERT_TRUE(s.stepping);
  EXPECT_NE(record[MapRecord::kPick], 0xAAAA) << "rebuilt at once";
}

TEST(Step, FootstepsByFloorAndBoots) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 8, 8, 0));
  w.MarkSounds();
  ASSERT_TRUE(w.Move(kForward));
  // A stand-alone map repeats the step quietly two frames later.
  EXPECT_EQ(w.Sounds(), (std::vector<std::string>{"bsnd_stepbarefoot-left", "bsnd_stepbarefoot-left"}));
  SItem* boots = w.core().player.AddItems(w.core().world.items.FindType("base_armor_boots"), 1);
  w.core().player.EquipItem(boots, false);
  w.MarkSounds();
  ASSERT_TRUE(w.Move(kForward));
  EXPECT_EQ(w.Sounds(), (std::vector<std::string>{"bsnd_stepstone-right", "bsnd_stepstone-right"}));
  // Outdoors once; water splashes, boots or not; the planks have their own.
  const struct {
    i32 x, y, facing;
    const char* sound;
  } cases[] = {{17, 17, 0, "bsnd_stepgrass-left"}, {12, 22, 180, "bsnd_splash"}, {24, 21, 270, "bsnd_stepwood-right"}};
  for (const auto& c : cases) {
    ASSERT_TRUE(w.Enter("base_out0101", c.x, c.y, c.facing));
    w.MarkSounds();
    ASSERT_TRUE(w.Move(kForward));
    EXPECT_EQ(w.Sounds(), std::vector<std::string>{c.sound}) << c.x << "," << c.y;
  }
}

TEST(Step, PenZonesAndButtons) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 8, 8, 0));
  SStateGame& s = w.state();
  // A pen-up whose pen-down landed on another screen is ignored.
  s.ResetInputGuard();
  w.game.frame();
  EXPECT_EQ(s.OnPen(s.viewX + 5, s.viewY + 5, 0, 0), 0u);
  // The forward button steps; a tap on the view uses a hand on what is ahead.
  w.game.tap(SLayoutTable::kGameScreen, SStateGame::kForwardId);
  ASSERT_TRUE(w.game.waitUntil(GameHarness::gameIdle(), 20));
  EXPECT_EQ(s.window.playerY, 7);
  w.game.tap(SLayoutTable::kGameScreen, SStateGame::kTurnRightId);
  ASSERT_TRUE(w.game.waitUntil(GameHarness::gameIdle(), 20));
  EXPECT_EQ(s.facing, 270);
  // With a box open the pen goes to the box only.
  s.QueueMessage("Hello.", 1, nullptr);
  ASSERT_TRUE(w.game.waitUntil(GameHarness::subModeIs(SStateGame::kMessageBox), 3));
  w.game.frame();
  w.game.penDown(s.viewX + 3, s.viewY + s.viewHeight / 2);
  w.game.penUp(s.viewX + 3, s.viewY + s.viewHeight / 2);
  EXPECT_EQ(s.subMode, SStateGame::kMessageBox);
  EXPECT_EQ(s.window.playerX, 8);
}

}  // namespace
