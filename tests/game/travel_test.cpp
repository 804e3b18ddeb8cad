// Transitions and teleports on the real game state: the kinds by name, the teleport's fade to a white
// last frame, a script's fall with its sound and black frames, the facing a position gives on arrival, a
// paralysis that a teleport ends, an unknown position; and the cellar's door, lever, teleport and stairs
// acted on through the game's own cell actions and services.
#include "WalkGame.h"
#include "player/SPlayer.h"
#include "script/SScriptContext.h"
#include "support/MakeEffect.h"
#include "world/SItemTable.h"
#include "world/SMapObjectType.h"

#include <gtest/gtest.h>

namespace {

TEST(Travel, TransitionKindsByName) {
  const struct {
    const char* word;
    u32 kind;
  } cases[] = {{"teleport", 1}, {"HOLE", 2},      {"Fall", 3},      {"LADDERDOWN", 4}, {"ladder down", 4},
               {"ladderup", 5}, {"Ladder Up", 5}, {"stairdown", 6}, {"stair down", 6}, {"stair up", 7},
               {"stairsup", 0}, {"", 0},          {nullptr, 0}};
  for (const auto& c : cases) EXPECT_EQ(TransitionKindFromName(c.word), c.kind) << (c.word ? c.word : "null");
  EXPECT_EQ(TransitionLength(1), 10u);
  EXPECT_EQ(TransitionLength(3), 20u);
  EXPECT_EQ(TransitionLength(6), 40u);
  EXPECT_EQ(TransitionLength(5), 50u);
}

// The colour of the view's centre on each presented frame, with the sub-mode and the map then.
struct Watch {
  struct Shot {
    u16 centre;
    i32 subMode;
    std::string map;
  };
  std::vector<Shot> shots;
  void Attach(WalkGame& w) {
    w.game.onPresent = [this, &w](const Os::Panel& p) {
      const SStateGame& s = w.state();
      const i32 x = s.viewX + s.viewWidth / 2, y = s.viewY + s.viewHeight / 2;
      const SMapArea* map = s.window.CurrentArea();
      shots.push_back({p.pixels[size_t(y) * p.width + size_t(x)], s.subMode, map ? map->name.Text() : ""});
    };
  }
  int Count(i32 subMode) const {
    int n = 0;
    for (const Shot& s : shots) n += s.subMode == subMode;
    return n;
  }
};

TEST(Travel, TheTeleportFadesToAWhiteLastFrame) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 10, 10, 0));
  Watch watch;
  watch.Attach(w);
  w.MarkSounds();
  w.state().TeleportToPosition("base_pos_cellar", 1);
  ASSERT_TRUE(w.game.waitUntil(GameHarness::gameIdle(), 30));
  w.game.onPresent = nullptr;
  EXPECT_EQ(watch.Count(SStateGame::kTransition), 10);
  EXPECT_EQ(w.Sounds(), std::vector<std::string>{"bsnd_spellteleport"});
  // The last frame of the effect is white; the fog grew lighter on the way.
  size_t last = 0;
  for (size_t i = 0; i < watch.shots.size(); ++i)
    if (watch.shots[i].subMode == SStateGame::kTransition) last = i;
  ASSERT_LT(last + 1, watch.shots.size());
  EXPECT_EQ(watch.shots[last + 1].centre, 0xFFFF) << "the frame the teleport happens in";
  EXPECT_EQ(w.state().window.playerX, 2);
  EXPECT_EQ(w.state().window.playerY, 2);
  EXPECT_EQ(w.state().facing, 270) << "the position's facing bits 2: east";
}

TEST(Travel, AScriptedFallSoundsByTheSexAndShowsTwentyBlackFrames) {
  for (u8 sex : {u8(1), u8(0)}) {
    WalkGame w;
    ASSERT_TRUE(w.Enter("base_dungeon1", 10, 10, 0));
    w.core().player.sex = sex;
    Watch watch;
    watch.Attach(w);
    w.MarkSounds();
    w.state().TeleportToPosition("base_pos_deep", TransitionKindFromName("fall"));
    ASSERT_TRUE(w.game.waitUntil(GameHarness::gameIdle(), 40));
    w.game.onPresent = nullptr;
    EXPECT_EQ(w.Sounds(), std::vector<std::string>{sex ? "bsnd_fallmale" : "bsnd_fallfemale"});
    int black = 0;
    for (const auto& s : watch.shots) black += s.centre == 0;
    EXPECT_EQ(black, 20);
    EXPECT_EQ(w.state().window.CurrentArea()->name.Text(), std::string("base_dungeon2"));
  }
}

TEST(Travel, ATeleportEndsAParalysisAndAnUnknownPositionChangesNothing) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 10, 10, 0));
  SPlayer& player = w.core().player;
  player.AddEffect(kSourceCondition, nullptr, 0, 5, 28, 0, nullptr);
  ASSERT_TRUE(player.IsParalyzed());
  w.state().events.DeleteAll();
  w.state().TeleportToPosition("base_pos_cellar", 0);
  EXPECT_FALSE(player.IsParalyzed());
  ASSERT_EQ(w.state().events.Count(), 1u);
  EXPECT_STREQ(w.state().events[0]->textA.CStr(), "You're no longer paralyzed.");
  w.state().events.DeleteAll();

  const std::string before = w.game.summary();
  w.state().TeleportToPosition("base_pos_nowhere", 0);
  w.state().TeleportToPosition("base_pos_nowhere", 3);
  ASSERT_TRUE(w.game.waitUntil(GameHarness::gameIdle(), 40));
  EXPECT_EQ(w.game.summary(), before);
}

// ---- the cellar's objects through the game's cell actions

u32 UseCell(WalkGame& w, i32 x, i32 y, i32 side) {
  SStateGame& s = w.state();
  return s.TriggerCellAction(MapEvent::kUse, 7, nullptr, s.window.Cell(x, y), x, y, side, false, nullptr);
}

TEST(Travel, TheCellarDoorOpensWithItsKey) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 10, 4, 180));
  SMapArea* cellar = w.state().window.CurrentArea();
  SMapObjectInst* door = cellar->FindObjectByName("base_obj_cellardoor");
  ASSERT_NE(door, nullptr);
  u32 taken = 0;
  w.state().TriggerCellAction(MapEvent::kUse, 7, nullptr, w.state().window.Cell(10, 5), 10, 5, 0, true, &taken);
  EXPECT_EQ(taken, 1u) << "a query only asks";
  EXPECT_EQ(w.state().events.Count(), 0u);

  UseCell(w, 10, 5, 0);
  EXPECT_TRUE(w.state().HasQueuedMessage()) << "locked: the door says so";
  const u8 locked = door->state;
  w.state().events.DeleteAll();
  w.core().player.AddItems(w.core().world.items.FindType("base_key_dungeon"), 1);
  w.MarkSounds();
  UseCell(w, 10, 5, 0);
  EXPECT_NE(door->state, locked);
  EXPECT_FALSE(w.Sounds().empty());
  // A switched-off object takes no action and lets none pass.
  door->state &= u8(~1);
  taken = 1;
  w.state().TriggerCellAction(MapEvent::kUse, 7, nullptr, w.state().window.Cell(10, 5), 10, 5, 0, true, &taken);
  EXPECT_EQ(taken, 0u);
}

TEST(Travel, TheLeverRunsItsScriptWithoutAStormOfErrors) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 10, 1, 0));
  for (int i = 0; i < 3; ++i) {
    UseCell(w, 10, 0, 2);
    w.game.frame(3);
  }
  int errors = 0;
  for (const auto& m : w.game.messages()) errors += m.text == "Script error!";
  EXPECT_LE(errors, 3) << "at most one per use";
  EXPECT_EQ(w.core().scriptContext->thisObject, w.state().window.CurrentArea()->FindObjectByName("base_obj_lever"));
  EXPECT_EQ(w.core().scriptContext->eventCode, u32(MapEvent::kUse));
}

TEST(Travel, TheCellarTeleportAndStairs) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 14, 3, 270));
  // East onto the teleport: its arrival sends the player to the cellar's position.
  ASSERT_TRUE(w.Move(1000, 60));
  EXPECT_EQ(w.state().window.playerX, 2);
  EXPECT_EQ(w.state().window.playerY, 2);

  // The stairs ask first; Yes goes down.
  SStateGame& s = w.state();
  s.TeleportToCell(w.core().CurrentWorld(), s.window.CurrentArea(), 18, 13, 3, 0);
  w.game.frame();
  ASSERT_TRUE(w.game.waitUntil(GameHarness::gameIdle(), 5));
  w.MarkSounds();
  w.game.press(1000);  // east into the stairs
  ASSERT_TRUE(w.Answer(SStateGame::kTransitionPrompt, 3006));
  ASSERT_TRUE(w.game.waitUntil(GameHarness::gameIdle(), 60));
  EXPECT_EQ(s.window.CurrentArea()->name.Text(), std::string("base_dungeon2"));
  EXPECT_TRUE(w.Played("bsnd_stairdownbare"));
}

// Coming back to the map the player stands on (after a load, or from another screen) is no new visit:
// a map left alone for two weeks is not restocked under the player, and keeps its visit time.
TEST(Travel, ReturningToTheGameIsNoNewVisit) {
  WalkGame w;
  w.withMonsters = true;  // the restock would bring back the monster taken away below
  ASSERT_TRUE(w.Enter("base_dungeon1", 5, 6, 180, 600));
  SMapArea* map = w.core().world.modules.FindMap("base_dungeon1");
  ASSERT_NE(map, nullptr);
  ASSERT_GT(map->monsters.Count(), 0);
  const u32 visit = map->lastVisit;
  EXPECT_EQ(visit, 600u);
  const u8 id = map->monsters[0]->id;
  map->RemoveMonster(id);
  const u16 monsters = map->monsters.Count();
  w.state().window.minutes = visit + 2 * SMapArea::kResetMinutes;
  w.game.setState(kStateGame, 0);
  ASSERT_EQ(w.game.state(), kStateGame);
  EXPECT_EQ(map->monsters.Count(), monsters);
  EXPECT_EQ(map->FindMonsterById(id), nullptr);
  EXPECT_EQ(map->lastVisit, visit);
}

}  // namespace
