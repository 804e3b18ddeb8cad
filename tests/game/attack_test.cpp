// The attack command through the real program on the sample world: the quiver messages of bows and
// crossbows, the bare hands, the miss sound's volume by distance, what rain and night take from a missile,
// the slot struck in a cell of two monsters, the hand bob, the arrow's flight and a paralysed swing.
#include "MonsterWindow.h"
#include "WalkGame.h"
#include "core/SGameCore.h"
#include "game/SMonster.h"
#include "player/SPlayer.h"
#include "script/SScriptContext.h"
#include "world/SItem.h"
#include "world/SItemTable.h"

#include <gtest/gtest.h>

namespace {

constexpr u16 kAttack = 3000;

SItem* Give(WalkGame& w, const char* type) {
  SItemType* t = w.core().world.items.FindType(type);
  EXPECT_NE(t, nullptr) << type;
  return t ? w.core().player.AddItems(t, 1) : nullptr;
}

std::vector<std::string> Messages(SStateGame& s) {
  std::vector<std::string> out;
  for (SGameEvent* e : s.events)
    if (e->kind == kEventMessage) out.push_back(e->textA.CStr());
  return out;
}

TEST(Attack, BowsAndCrossbowsNeedTheirAmmunition) {
  const struct {
    const char* weapon;
    const char* ammunition;  // null: an empty quiver slot
    const char* says;        // null: the shot flies
  } cases[] = {
      {"base_weap_shortbow", nullptr, "You need to select a quiver."},
      {"base_weap_shortbow", "base_weap_bolts", "You need to select arrows for the bow."},
      {"base_weap_shortbow", "base_weap_quiver", nullptr},
      {"base_weap_crossbow", nullptr, "You need to select a bolt quiver."},
      {"base_weap_crossbow", "base_weap_quiver", "You need to select a bolt quiver for the crossbow."},
      {"base_weap_crossbow", "base_weap_bolts", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.weapon) + " with " + (c.ammunition ? c.ammunition : "nothing"));
    WalkGame w;
    ASSERT_TRUE(w.Enter("base_out0101", 17, 17, 0));
    SPlayer& player = w.core().player;
    player.EquipItem(Give(w, c.weapon), false);
    if (c.ammunition) player.EquipItem(Give(w, c.ammunition), false);
    SStateGame& s = w.state();
    s.events.DeleteAll();
    s.Attack();
    if (c.says) {
      EXPECT_EQ(Messages(s), std::vector<std::string>{c.says});
      EXPECT_EQ(s.actions.Count(), 0u);
    } else {
      EXPECT_TRUE(Messages(s).empty());
      ASSERT_EQ(s.actions.Count(), 1u);
      EXPECT_EQ(s.actions[0]->handMode, kHandsRanged);
    }
  }
}

TEST(Attack, TheButtonAndTheKeyAttackUnlessBusyOrForbidden) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_out0101", 17, 17, 0));
  SStateGame& s = w.state();
  const u32 minutes = s.window.minutes;
  s.OnCommand(SStateGame::kAttackId);
  ASSERT_EQ(s.actions.Count(), 1u);
  EXPECT_EQ(s.actions[0]->kind, kActionSwing);
  EXPECT_EQ(s.window.minutes, minutes + 1) << "a minute passes";
  s.OnCommand(SStateGame::kAttackId);
  EXPECT_EQ(s.actions.Count(), 1u) << "not while a swing is under way";
  ASSERT_TRUE(w.game.waitUntil(GameHarness::gameIdle(), 60));
  w.game.press(kAttack);
  EXPECT_EQ(s.actions.Count(), 1u);
  ASSERT_TRUE(w.game.waitUntil(GameHarness::gameIdle(), 60));
  // A map that forbids attacking says so.
  s.window.CurrentArea()->flags |= 4;
  s.OnCommand(SStateGame::kAttackId);
  EXPECT_EQ(s.actions.Count(), 0u);
  EXPECT_EQ(Messages(s), std::vector<std::string>{"Attack is forbidden on this map."});
}

TEST(Attack, BareHandsShowTheFistInBothHands) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_out0101", 17, 17, 0));
  SStateGame& s = w.state();
  const SFpsItem* fist = w.core().world.items.FindFpsItem("bres_fpsfist");
  ASSERT_NE(fist, nullptr);
  EXPECT_EQ(s.handPicture[0], fist);
  EXPECT_EQ(s.handPicture[1], fist);
  EXPECT_NE(s.view.handRightImage, 0);
  EXPECT_NE(s.view.handLeftImage, 0);
  s.Attack();
  ASSERT_EQ(s.actions.Count(), 1u);
  EXPECT_EQ(s.actions[0]->firstPicture, fist);
  EXPECT_EQ(s.actions[0]->secondPicture, fist);
  EXPECT_EQ(s.actions[0]->handMode, kHandsFirst);
  // A sword and a parrying dagger strike with both hands; a bow takes both and shows none in the second.
  SPlayer& player = w.core().player;
  s.actions.DeleteAll();
  player.EquipItem(Give(w, "base_weap_shortswordcheap"), false);
  player.EquipItem(Give(w, "base_weap_parrydagger"), true);
  s.SetHandView(false, false);
  EXPECT_EQ(s.handPicture[0], w.core().world.items.FindFpsItem("base_fpssword"));
  EXPECT_EQ(s.handPicture[1], w.core().world.items.FindFpsItem("base_fpsdagger"));
  s.Attack();
  ASSERT_EQ(s.actions.Count(), 1u);
  EXPECT_EQ(s.actions[0]->handMode, kHandsBoth);
  s.actions.DeleteAll();
  player.EquipItem(Give(w, "base_weap_shortbow"), false);
  s.SetHandView(false, false);
  EXPECT_EQ(s.handPicture[1], nullptr);
  EXPECT_EQ(s.view.handLeftImage, 0);
}

TEST(Attack, AMissPlaysItsSoundByDistance) {
  const struct {
    i32 distance;
    i32 volume;
  } cases[] = {{1, 9}, {5, 5}, {9, 1}, {14, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.distance);
    WalkGame w;
    ASSERT_TRUE(w.Enter("base_out0101", 17, 17, 0));
    SStateGame& s = w.state();
    // An empty cell straight north of the player, taken clear for the blow.
    const i32 x = 17, y = 17 - c.distance;
    SMapCell* cell = s.window.Cell(x, y);
    ASSERT_NE(cell, nullptr);
    *cell = SMapCell();
    w.MarkSounds();
    s.StrikeMonster(s.window.BlockArea(x, y), cell, x, y, 2, 0);
    ASSERT_FALSE(w.game.sounds().empty());
    EXPECT_EQ(w.game.sounds().back().name, "bsnd_hitmiss");
    EXPECT_EQ(w.game.sounds().back().step, c.volume);
  }
}

TEST(Attack, RainAndNightTakeFromMissilesOnlyOnJoinedMaps) {
  const struct {
    const char* map;
    u32 minutes;
    i32 rain;
    i32 percent;
  } cases[] = {
      {"base_out0101", 12 * 60, 0, 0},   {"base_out0101", 12 * 60, 400, 20}, {"base_out0101", 23 * 60, 0, 50},
      {"base_out0101", 2 * 60, 999, 99}, {"base_dungeon1", 23 * 60, 999, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.map << " at " << c.minutes << " rain " << c.rain);
    WalkGame w;
    ASSERT_TRUE(w.Enter(c.map, 17, 17, 0, c.minutes));
    w.state().rainIntensity = c.rain;
    EXPECT_EQ(w.state().MissilePercent(), c.percent);
  }
}

struct StrikeWindow : MonsterWindow {
  StrikeWindow() {
    core.scriptContext = &context;
    context.Bind(&core);
    core.player.Attach(&core);
    core.player.attributes[1] = 60;  // strong bare hands
  }
  ~StrikeWindow() { core.scriptContext = nullptr; }
  // Blows at the cell north of the player until one lands.
  void StrikeUntilHurt(const std::vector<SMapMonster*>& monsters) {
    for (u32 i = 0; i < 40; ++i) {
      state.StrikeMonster(area, &Cell(17, 16), 17, 16, 2, 0);
      for (SMapMonster* m : monsters)
        if (m->hp < 20) return;
    }
  }
  SScriptContext context;
};

TEST(Attack, TheSlotStruckInACellOfTwoMonsters) {
  {
    SCOPED_TRACE("two monsters, the second selected");
    StrikeWindow w;
    SMonster& t = w.Template();
    SMapMonster* first = w.Place(t, 17, 16);
    SMapMonster* second = w.Place(t, 17, 16);
    ASSERT_NE(second, nullptr);
    w.Number();
    w.state.selectedHand = 1;
    w.StrikeUntilHurt({first, second});
    EXPECT_EQ(first->hp, 20);
    EXPECT_LT(second->hp, 20);
  }
  {
    SCOPED_TRACE("two monsters, the first selected");
    StrikeWindow w;
    SMonster& t = w.Template();
    SMapMonster* first = w.Place(t, 17, 16);
    SMapMonster* second = w.Place(t, 17, 16);
    w.Number();
    w.state.selectedHand = 0;
    w.StrikeUntilHurt({first, second});
    EXPECT_LT(first->hp, 20);
    EXPECT_EQ(second->hp, 20);
  }
  {
    SCOPED_TRACE("a lone monster with the second selected");
    StrikeWindow w;
    SMapMonster* lone = w.Place(w.Template(), 17, 16);
    w.Number();
    w.state.selectedHand = 1;
    w.StrikeUntilHurt({lone});
    EXPECT_LT(lone->hp, 20);
    EXPECT_EQ(w.state.selectedHand, 0);
  }
}

TEST(Attack, TheHandsBobOnceAStepAndDipInTurn) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_out0101", 17, 17, 0));
  SStateGame& s = w.state();
  // Per step: the count it took, and the deepest move of each hand about where the step found it.
  struct Step {
    u32 count;
    i32 dipY[2] = {}, swayX[2] = {};
    bool movedBack = false;  // the hands left where the step found them and are there again at its end
  };
  std::vector<Step> steps;
  for (u32 n = 0; n < 2; ++n) {
    const u16 startX[2] = {s.handInputX[0], s.handInputX[1]}, startY[2] = {s.handInputY[0], s.handInputY[1]};
    const u32 before = s.handBob;
    Step step{};
    w.game.press(1000);
    for (u32 i = 0; i < 40 && !GameHarness::gameIdle().holds(w.game); ++i) {
      w.game.frame();
      for (u32 h = 0; h < 2; ++h) {
        const i32 dy = i32(s.handInputY[h]) - std::min<i32>(startY[h], 95);
        const i32 dx = i32(s.handInputX[h]) - std::min<i32>(startX[h], 95);
        if (std::abs(dy) > std::abs(step.dipY[h])) step.dipY[h] = dy;
        if (std::abs(dx) > std::abs(step.swayX[h])) step.swayX[h] = dx;
      }
    }
    ASSERT_TRUE(GameHarness::gameIdle().holds(w.game));
    step.count = s.handBob - before;
    for (u32 h = 0; h < 2; ++h)
      step.movedBack = step.movedBack || (s.handInputX[h] == startX[h] && s.handInputY[h] == startY[h]);
    steps.push_back(step);
  }
  ASSERT_EQ(w.state().window.playerY, 15);
  for (const Step& step : steps) {
    EXPECT_EQ(step.count, 1u);
    // The two hands move against each other.
    EXPECT_NE(step.dipY[0], 0);
    EXPECT_EQ(step.dipY[0], -step.dipY[1]);
    EXPECT_EQ(step.swayX[0], -step.swayX[1]);
  }
  // The first step dips the first hand one way, the second the other way; the sway turns over too.
  EXPECT_GT(steps[0].dipY[0], 0);
  EXPECT_LT(steps[1].dipY[0], 0);
  EXPECT_GT(steps[0].swayX[0], 0);
  EXPECT_LT(steps[1].swayX[0], 0);
  // The hands stay where the bob leaves them: the next step starts from there.
  EXPECT_FALSE(steps[0].movedBack);
  EXPECT_FALSE(steps[1].movedBack);
}

TEST(Attack, TheArrowFliesToTheWallAndUsesUpItsUnit) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_out0101", 17, 17, 0));
  SPlayer& player = w.core().player;
  SStateGame& s = w.state();
  player.EquipItem(Give(w, "base_weap_shortbow"), false);
  SItem* quiver = Give(w, "base_weap_quiver");
  player.EquipItem(quiver, false);
  quiver->count = 2;
  s.SetHandView(false, false);
  w.game.press(kAttack);
  bool flew = false;
  for (u32 i = 0; i < 200 && !GameHarness::gameIdle().holds(w.game); ++i) {
    w.game.frame();
    for (const SActionRecord* r : s.actions) flew = flew || r->kind == kActionMissile;
  }
  EXPECT_TRUE(flew);
  EXPECT_TRUE(GameHarness::gameIdle().holds(w.game));
  EXPECT_EQ(quiver->count, 1);
}

TEST(Attack, AParalysedSwingOnlyNudgesTheView) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_out0101", 17, 17, 0));
  SStateGame& s = w.state();
  w.core().player.TryParalyze(5);
  ASSERT_TRUE(w.core().player.IsParalyzed());
  w.MarkSounds();
  s.Attack();
  ASSERT_EQ(s.actions.Count(), 1u);
  EXPECT_EQ(s.actions[0]->kind, kActionParalysedSwing);
  bool nudged = false;
  for (u32 i = 0; i < 60 && s.actions.Count(); ++i) {
    w.game.frame();
    nudged = nudged || s.offsetY != 32768;
  }
  EXPECT_TRUE(nudged);
  EXPECT_EQ(s.offsetX, 32768);
  EXPECT_EQ(s.offsetY, 32768);
  EXPECT_FALSE(w.Played("bsnd_hitmiss")) << "no blow";
  EXPECT_FALSE(w.Played("bsnd_hitclub"));
}

}  // namespace
