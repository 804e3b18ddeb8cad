// Spell casting on a window filled by hand, the player at (17, 17) facing north: touch spells where the
// touch finds nothing and where it finds monsters, two monsters of one cell, ranged spells along the line,
// an area spell that reaches the player, self spells, the cast command's costs and refusals, and monsters'
// casts of each target.
#include "MonsterWindow.h"
#include "core/SGameCore.h"
#include "player/SPlayer.h"
#include "script/SScriptContext.h"
#include "ui/UiRig.h"

#include <gtest/gtest.h>

namespace {

struct CastWindow : VirtualTime, MonsterWindow {
  CastWindow() {
    core.scriptContext = &context;
    context.Bind(&core);
    core.player.Attach(&core);
    core.player.hp = 100;
  }
  ~CastWindow() { core.scriptContext = nullptr; }
  // A spell of one damaging effect (kind 25) of magnitude m, with the target byte and area radius.
  SSpell* Damage(const char* name, i16 m, u8 target, u8 radius = 0) {
    SSpell* s = Spell(name, {{25, 0, radius}}, target);
    s->effects.Entry(0)->base = m;
    return s;
  }
  // Runs the action list until it is empty.
  void RunActions() {
    for (int i = 0; i < 200 && state.actions.Count(); ++i) {
      state.RunActions();
      clock.Advance(100);
    }
  }
  SScriptContext context;
};

TEST(SpellCast, ATouchFindsSomethingToTouchOrDoesNothing) {
  CastWindow w;
  SMonster& t = w.Template();
  SSpell* touch = w.Damage("base_spelltouch", 7, 2);
  // Nothing ahead: the touch meets nothing and nobody is hurt, the player least of all.
  w.state.RunSpellCast(*touch, 0, 0, 0, false);
  EXPECT_EQ(w.core.player.hp, 100);
  // A monster ahead takes the damage.
  SMapMonster* m = w.Place(t, 17, 16);
  ASSERT_NE(m, nullptr);
  w.state.RunSpellCast(*touch, 0, 0, 0, false);
  EXPECT_EQ(m->hp, 13);
  EXPECT_EQ(w.state.spellHitMessage, 1u);
  // Two monsters of one cell are both struck.
  SMapMonster* second = w.Place(t, 17, 16);
  ASSERT_NE(second, nullptr);
  w.state.RunSpellCast(*touch, 0, 0, 0, false);
  EXPECT_EQ(m->hp, 6);
  EXPECT_EQ(second->hp, 13);
}

TEST(SpellCast, ARangedSpellStrikesTheFirstCellThatStopsItWithinSevenCells) {
  CastWindow w;
  SMonster& t = w.Template();
  SSpell* bolt = w.Damage("base_spellbolt", 5, 3);
  SMapMonster* far = w.Place(t, 17, 9);  // eight cells away: out of reach
  ASSERT_NE(far, nullptr);
  w.state.RunSpellCast(*bolt, 0, 0, 0, false);
  EXPECT_EQ(far->hp, 20);
  SMapMonster* near = w.Place(t, 17, 12);
  ASSERT_NE(near, nullptr);
  w.state.RunSpellCast(*bolt, 0, 0, 0, false);
  EXPECT_EQ(near->hp, 15);
  EXPECT_EQ(far->hp, 20);
  // A wall between stops the line there.
  w.Wall(17, 14);
  w.state.RunSpellCast(*bolt, 0, 0, 0, false);
  EXPECT_EQ(near->hp, 15);
}

TEST(SpellCast, ARangedSpellAtAWallTakesEffectOnlyThroughTheSideItMeets) {
  CastWindow w;
  SSpell* bolt = w.Damage("base_spellbolt", 5, 3);
  w.Wall(17, 14);
  SMapCell& wall = w.Cell(17, 14);
  SMapObjectType* lever = w.Make(5, "lever", {2});
  SMapObjectInst* inst = w.AddObject(9, 17, 14, 0);
  // The line comes from the south: the wall's south side (2) faces it.
  const struct {
    const char* what;
    bool side;
    u8 objectId, state;
    u32 taken;
  } cases[] = {
      {"a bare wall", false, 0, 0, 1},
      {"a side without an object of its own", true, 0, 0, 1},
      {"a switched-on object on the side", true, 9, 1, 1},
      {"a switched-off object on the side keeps the spell out", true, 9, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    wall.sideType[2] = c.side ? lever : nullptr;
    wall.sideObjectId[2] = c.objectId;
    inst->state = c.state;
    w.state.spellHitMessage = 0;
    w.state.RunSpellCast(*bolt, 0, 0, 0, false);
    EXPECT_EQ(w.state.spellHitMessage, c.taken);
  }
}

TEST(SpellCast, AnAreaSpellOnAMonsterNextToThePlayerReachesThePlayer) {
  CastWindow w;
  SMonster& t = w.Template();
  SSpell* blast = w.Damage("base_spellblast", 9, 2, 1);
  SMapMonster* m = w.Place(t, 17, 16);
  SMapMonster* beside = w.Place(t, 18, 15);
  ASSERT_TRUE(m && beside);
  w.state.RunSpellCast(*blast, 0, 0, 0, false);
  EXPECT_EQ(m->hp, 11);
  EXPECT_EQ(beside->hp, 11);
  EXPECT_EQ(w.core.player.hp, 91);
}

// A spell whose damage adds up below 0 heals, and shows its hit as any other total but 0 does.
TEST(SpellCast, ASpellThatHealsOnBalanceShowsItsHit) {
  CastWindow w;
  SPlayer& p = w.core.player;
  SSpell* balm = w.Damage("base_spellbalm", 0, 1);
  w.core.stateGame = &w.state;  // where the player's hits are shown
  auto hits = [&] {
    u32 n = 0;
    for (const SActionRecord* r : w.state.actions) n += r->kind == kActionHitIndicator && r->damage != 0;
    return n;
  };
  ASSERT_GE(p.GetMaxHp(), 4);
  const struct {
    i16 damage;
    i32 hp;
    u32 hits;
  } cases[] = {{-2, 4, 1}, {0, 2, 0}, {1, 1, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.damage);
    w.state.actions.DeleteAll();
    p.hp = 2;
    balm->effects.Entry(0)->base = c.damage;
    p.ApplySpell(balm, 0, false, 2, false);
    EXPECT_EQ(i32(p.hp), c.hp);
    EXPECT_EQ(hits(), c.hits);
  }
  w.core.stateGame = nullptr;
}

TEST(SpellCast, TheCastCommandRefusesAndCostsAndPractises) {
  CastWindow w;
  SPlayer& p = w.core.player;
  SSpell* heal = w.Spell("base_spellmend", {{3, 0, 0}}, 1);
  heal->school = 1;
  heal->baseCost = 10;
  heal->effects.Entry(0)->base = 5;
  p.race = 2;
  p.mana = 9;
  w.state.CastChosen(heal, nullptr);
  ASSERT_EQ(w.state.events.Count(), 1u);
  EXPECT_STREQ(w.state.events[0]->textA.CStr(), "You don't have enough mana.");
  w.state.events.DeleteAll();
  EXPECT_EQ(w.state.actions.Count(), 0u);

  p.mana = 25;
  const u32 skill = w.core.world.rules.spells.SchoolSkill(heal);
  const u16 practised = skill ? p.practice[skill] : 0;
  const u32 minute = w.state.window.minutes;
  w.state.CastChosen(heal, nullptr);
  EXPECT_EQ(p.mana, 15);
  if (skill) {
    EXPECT_EQ(p.practice[skill], practised + 1);
  }
  EXPECT_EQ(w.state.window.minutes, minute + 1);
  ASSERT_EQ(w.state.actions.Count(), 1u);
  EXPECT_EQ(w.state.actions[0]->kind, u32(kActionCast));
  p.hp = 1;
  w.RunActions();
  EXPECT_EQ(w.state.actions.Count(), 0u);
  EXPECT_EQ(i32(p.hp), std::min(6, p.GetMaxHp()));  // the self spell took effect when the hands were done

  // Paralysed, only spells on oneself are cast.
  SSpell* touch = w.Damage("base_spelljab", 3, 2);
  p.AddEffect(kSourceSpell, nullptr, 0, 10, 28, 0, nullptr);
  ASSERT_TRUE(p.IsParalyzed());
  w.state.CastChosen(touch, nullptr);
  ASSERT_EQ(w.state.events.Count(), 1u);
  EXPECT_STREQ(w.state.events[0]->textA.CStr(), "You can cast spells only on yourself when you're paralyzed.");
}

TEST(SpellCast, MonstersCastAtThemselvesAtTouchAndAlongTheLine) {
  CastWindow w;
  SMonster& t = w.Template();
  SMapMonster* m = w.Place(t, 17, 14);
  ASSERT_NE(m, nullptr);
  SSpell* bolt = w.Damage("base_spellzap", 6, 3);
  // Along the line toward the player (south) without a missile: the player is hit.
  w.state.MonsterCast(17, 14, 2, *w.area, *m, *bolt, 0);
  EXPECT_EQ(w.core.player.hp, 94);
  EXPECT_EQ(w.state.spellHitMessage, 0u);
  // A wall between: nothing.
  w.Wall(17, 16);
  w.state.MonsterCast(17, 14, 2, *w.area, *m, *bolt, 0);
  EXPECT_EQ(w.core.player.hp, 94);
  // A touch reaches the neighbour cell only.
  SSpell* touch = w.Damage("base_spellgrab", 4, 2);
  SMapMonster* next = w.Place(t, 17, 15);
  ASSERT_NE(next, nullptr);
  w.state.MonsterCast(17, 14, 2, *w.area, *m, *touch, 0);
  EXPECT_EQ(next->hp, 16);
  // A self spell stays in its own cell.
  SSpell* self = w.Damage("base_spellpunish", 2, 1);
  w.state.MonsterCast(17, 14, 2, *w.area, *m, *self, 0);
  EXPECT_EQ(m->hp, 18);
  EXPECT_EQ(next->hp, 16);
}

}  // namespace
