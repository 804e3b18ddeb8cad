// Spell and ability actions, stealing and monsters' effect texts on a window filled by hand, the player at
// (17, 17): the target's information by detail, one queued at a time, recharging and enchanting under
// threat, mark and recall by the map's flags, the town portal's ring search, the theft's chance, loot,
// failure and counter, and the effect lines by kind.
#include "MonsterWindow.h"
#include "core/SGameCore.h"
#include "core/ui/SDialogMessage.h"
#include "player/SMonsterEffectText.h"
#include "player/SPlayer.h"
#include "script/SScriptContext.h"
#include "ui/UiRig.h"
#include "world/SItemTable.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct AbilityWindow : VirtualTime, MonsterWindow {
  AbilityWindow() {
    core.scriptContext = &context;
    context.Bind(&core);
    core.player.Attach(&core);
  }
  ~AbilityWindow() {
    core.player.inventory.DeleteAllItems();
    core.scriptContext = nullptr;
  }
  std::string LastMessage() {
    const SGameEvent* e = LastMessageEvent();
    return e ? e->textA.CStr() : "";
  }
  const SGameEvent* LastMessageEvent() {
    for (i32 i = i32(state.events.Count()) - 1; i >= 0; --i)
      if (state.events[u32(i)]->kind == kEventMessage) return state.events[u32(i)];
    return nullptr;
  }
  SScriptContext context;
};

TEST(TargetInfo, LinesByDetailAndOneQueuedAtATime) {
  AbilityWindow w;
  SMonster& t = w.Template();
  t.label = "Rat";
  t.level = 3;
  t.experience = 12;
  t.attribute1 = 5, t.attribute2 = 6, t.attribute3 = 7, t.attribute4 = 8;
  SMapMonster* m = w.Place(t, 17, 15);
  ASSERT_NE(m, nullptr);
  m->hp = 9;
  const struct {
    u32 detail;
    const char* text;
  } cases[] = {
      {19, "Rat\rLevel: 3\rHp: 9\r"},
      {20, "Rat\rLevel: 3\rHp: 9/20\r"},
      {31, "Rat\rLevel: 3\rHp: 9/20\rXp: 12\r"},
      {41, "Rat\rLevel: 3\rHp: 9/20\rXp: 12\rStr:5, Dex:6, End:7, Int:8\r"},
      {51, "Rat\rLevel: 3\rHp: 9/20\rXp: 12\rStr:5, Dex:6, End:7, Int:8\rActive effects:none\r"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.detail);
    w.state.ShowTargetInfo(w.area, m, c.detail);
    EXPECT_EQ(w.LastMessage(), c.text);
    w.state.events.DeleteAll();
  }
  SMonster& person = w.Template(4);
  person.label = "Guard";
  person.spareValue = 14;
  SMapMonster* guard = w.Place(person, 16, 15);
  ASSERT_NE(guard, nullptr);
  w.state.ShowTargetInfo(w.area, guard, 20);
  EXPECT_EQ(w.LastMessage(), "Guard\r");
  w.state.ShowTargetInfo(w.area, guard, 21);
  EXPECT_EQ(w.LastMessage(), "Guard\rPerception: 14");
  w.state.events.DeleteAll();

  w.state.QueueTargetInfo(w.area, m, 30);
  w.state.QueueTargetInfo(w.area, guard, 50);
  ASSERT_EQ(w.state.events.Count(), 1u);
  EXPECT_EQ(w.state.events[0]->monster, m);
  EXPECT_EQ(w.state.events[0]->flag, 30);
}

TEST(AbilityActions, ThreatMarksAndRecallByTheMapsFlags) {
  AbilityWindow w;
  w.state.dangerCountdown = 2;
  w.state.BeginRechargeWand();
  EXPECT_EQ(w.LastMessage(), "You cannot recharge wands when there might be immediate threat.");
  w.state.BeginEnchantItem(30);
  EXPECT_EQ(w.LastMessage(), "You cannot enchant items when there might be immediate threat.");
  EXPECT_EQ(w.state.subDialog, nullptr);
  w.state.events.DeleteAll();

  w.core.player.markedPositions.DeleteAll();
  w.state.BeginRecall();
  EXPECT_EQ(w.LastMessage(), "You haven't marked any positions to recall.");
  const struct {
    u16 flags;
    const char* mark;
    const char* recall;
  } cases[] = {
      {8 | 0x400, "Mark is denied on this map.", "Teleport magic is denied on this map."},
      {0x400, "Teleport magic is denied on this map.", "Teleport magic is denied on this map."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.flags);
    w.state.events.DeleteAll();
    w.area->flags = c.flags;
    w.state.BeginMark();
    ASSERT_EQ(w.state.events.Count(), 1u);
    EXPECT_EQ(w.LastMessage(), c.mark);
    w.state.events.DeleteAll();
    w.state.BeginRecall();
    EXPECT_EQ(w.LastMessage(), c.recall);
  }
}

TEST(AbilityActions, TheTownPortalSearchesTheRingsForATownWithAPortal) {
  AbilityWindow w;
  w.module->mapPrefix.Assign("base_out");
  w.module->worldX = w.module->worldY = 30;  // tile (2, 2)
  auto town = [&](const char* name, bool portal, const char* object) {
    SMapArea* a = w.NewArea(name, 0x200 | SMapArea::kOutdoor);
    if (portal) {
      auto* o = new SMapObjectInst;
      o->name.Set(object);
      o->id = 1;
      o->cellX = o->cellY = 5;
      a->objects.Add(o);
    }
    return a;
  };
  town("base_out0202", true, "base_out0202townportal");  // the player's own tile is not tried
  w.state.BeginTownPortal();
  EXPECT_EQ(w.LastMessage(), "Teleport failed.");
  EXPECT_EQ(w.LastMessageEvent()->buttons, SDialogMessage::kOk) << "a box the player can close";
  w.state.events.DeleteAll();
  town("base_out0101", false, nullptr);                             // ring 1, first: no portal, passed over
  town("base_out0301", true, "base_out0301townportal");             // ring 1, the same row
  SMapArea* plain = w.NewArea("base_out0203", SMapArea::kOutdoor);  // not a town
  (void)plain;
  w.state.BeginTownPortal();
  ASSERT_EQ(w.state.events.Count(), 1u);
  EXPECT_EQ(w.state.events[0]->kind, u32(kEventTransition));
  EXPECT_STREQ(w.state.events[0]->textA.CStr(), "base_out0301townportal");
  w.state.events.DeleteAll();
  w.area->flags = 0x400;
  w.state.BeginTownPortal();
  EXPECT_EQ(w.LastMessage(), "Teleport magic is denied on this map.");
}

TEST(Stealing, ChanceByStealthAndPeopleNearAndTheTheftsOutcomes) {
  AbilityWindow w;
  SPlayer& p = w.core.player;
  SMonster& person = w.Template(4, 1, 0);
  person.theftDifficulty = 20;
  SMapMonster* mark = w.Place(person, 17, 16);
  ASSERT_NE(mark, nullptr);
  p.skills[20] = 20;
  EXPECT_EQ(w.state.StealChance(*mark), 95);
  EXPECT_STREQ(SStateGame::StealChanceWord(95), "very good");
  p.skills[20] = 5;
  for (auto [x, y] : {std::pair{18, 16}, std::pair{16, 18}, std::pair{19, 19}})
    ASSERT_NE(w.Place(person, x, y), nullptr);
  EXPECT_EQ(w.state.StealChance(*mark), 40);
  EXPECT_STREQ(SStateGame::StealChanceWord(40), "slight");
  EXPECT_STREQ(SStateGame::StealChanceWord(70), "average");
  EXPECT_STREQ(SStateGame::StealChanceWord(71), "good");

  // Nothing on the person: nothing stolen and no crime, however often it is tried.
  w.state.theftArea = w.area;
  w.state.theftPerson = mark;
  p.skills[20] = 100;
  p.crime = 0;
  bool nothing = false;
  u32 before = 0;
  for (int i = 0; i < 30 && !nothing; ++i) {
    w.state.events.DeleteAll();
    before = p.crime;
    w.state.Steal();
    nothing = w.LastMessage() == "There's nothing to steal!";
  }
  EXPECT_TRUE(nothing);
  EXPECT_EQ(p.crime, before);
  p.practice[20] = 254;
  w.state.Steal();
  w.state.Steal();
  EXPECT_EQ(p.practice[20], 255);  // the counter stops at 255
  // Failures: the crime rises by 2 and fame falls by 2.
  u32 crime = p.crime;
  i32 fame = p.fame;
  bool failed = false;
  for (int i = 0; i < 60 && !failed; ++i) {
    w.state.events.DeleteAll();
    crime = p.crime;
    fame = p.fame;
    w.state.Steal();
    failed = w.LastMessage() == "You failed!";
  }
  ASSERT_TRUE(failed);
  EXPECT_EQ(p.crime, crime + 2);
  EXPECT_EQ(p.fame, fame - 2);
}

TEST(MonsterEffectTexts, LinesByKind) {
  AbilityWindow w;
  SMonster& t = w.Template();
  SMapMonster* m = w.Place(t, 17, 15);
  ASSERT_NE(m, nullptr);
  SString none;
  FormatMonsterEffects(w.core.world.rules, *w.area, m->id, none);
  EXPECT_STREQ(none.CStr(), "none\r");
  const struct {
    i16 value;
    i8 duration;
    i8 kind;
    const char* line;
  } cases[] = {
      {125, 1, 15, "\r+25% poison resistance (1 round)\r"},
      {0, 3, 27, "\rCursed, 3 turns\r"},
      {7, 4, 26, "\rPoisoned, 7 hp\r"},
      {-3, i8(200), 11, "\r-3 ac (200 rounds)\r"},
      {-130, 2, 22, "\r-30% magic resistance (2 rounds)\r"},
      {5, 5, 42, "\r"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    w.area->RemoveMonsterEffects(m->id, 0);
    if (SMonsterEffectHolder* h = w.area->FindEffectHolder(m->id)) h->effects.DeleteAll();
    w.area->AddMonsterEffect(m->id, c.value, c.duration, c.kind, 0, nullptr);
    SString out;
    FormatMonsterEffects(w.core.world.rules, *w.area, m->id, out);
    EXPECT_STREQ(out.CStr(), c.line);
  }
  if (SMonsterEffectHolder* h = w.area->FindEffectHolder(m->id)) h->effects.DeleteAll();
  SString empty;
  FormatMonsterEffects(w.core.world.rules, *w.area, m->id, empty);
  EXPECT_STREQ(empty.CStr(), "none\r");
}

}  // namespace
