// What the player's blows and spells do to monsters on a window filled by hand, the player at (17, 17):
// the recoil by the blow's damage, people and peaceful monsters spared, a crushing spell at the edge of
// its reach and on a template without hit points, magic immunity, weapon effects against resistances,
// the death with its loot (and without a free bag id), a kill by another monster's missile, and the
// script functions on monsters.
#include "MonsterWindow.h"
#include "core/SGameCore.h"
#include "player/SPlayer.h"
#include "script/SScriptContext.h"
#include "script/SScriptValue.h"
#include "world/SItem.h"
#include "world/SItemTable.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct StruckWindow : MonsterWindow {
  StruckWindow() {
    core.scriptContext = &context;
    context.Bind(&core);
    core.player.Attach(&core);
  }
  ~StruckWindow() {
    core.player.inventory.DeleteAllItems();
    core.scriptContext = nullptr;
  }
  // The player's blow of damage d on the monster in cell (x, y), as the strike delivers it.
  void Blow(SMapMonster& m, i32 d, i32 x = 17, i32 y = 16, SItem* weapon = nullptr) {
    context.SetBlowWeapons(weapon, nullptr);
    context.damage = d;
    bool changed = false;
    m.monster->TakeBlow(state, *area, m, nullptr, x, y, changed);
  }
  std::string LastMessage() {
    for (i32 i = i32(state.events.Count()) - 1; i >= 0; --i)
      if (state.events[u32(i)]->kind == kEventMessage) return state.events[u32(i)]->textA.CStr();
    return "";
  }
  // A spell of one effect of the kind with magnitude `m` at caster level 0.
  SSpell* OneEffect(const char* name, u8 kind, i16 m, i16 duration = 0) {
    SSpell* s = Spell(name, {{kind, 0, 0}});
    s->effects.entries[0]->base = m;
    s->effects.entries[0]->duration = duration;
    return s;
  }

  SScriptContext context;
};

TEST(MonsterStruck, RecoilStrengthFollowsTheBlow) {
  const struct {
    i32 damage;
    u16 strength;
  } cases[] = {{1, 50}, {10, 50}, {11, 52}, {59, 148}, {60, 100}, {200, 100}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.damage);
    StruckWindow w;
    SMonster& t = w.Template();
    t.maxHp = 500;
    SMapMonster* m = w.Place(t, 17, 16);
    w.Number();
    w.Blow(*m, c.damage);
    EXPECT_EQ(m->hp, 500 - c.damage);
    EXPECT_EQ(m->flags & 128, 128);
    EXPECT_EQ(m->poisonShown, 10);
    EXPECT_EQ(w.Draw(*m)[MonsterDraw::kOverlay], c.strength);
  }
}

TEST(MonsterStruck, NoDamageNoPeopleAndPeacefulMonstersWithSomethingToSay) {
  StruckWindow w;
  SMonster& beast = w.Template(2, 1, 4);
  SMonster& person = w.Template(4, 1, 8);
  SMonster& sage = w.Template(2, 1, 8);
  sage.talk = "base_talk_sage";
  SMonster& meek = w.Template(2, 1, 8);
  SMapMonster* b = w.Place(beast, 17, 16);
  SMapMonster* p = w.Place(person, 18, 17);
  SMapMonster* s = w.Place(sage, 16, 17);
  SMapMonster* k = w.Place(meek, 17, 18);
  w.Number();

  w.Blow(*b, 0);
  EXPECT_EQ(b->hp, 20) << "a blow of 0 does nothing";
  EXPECT_EQ(b->flags & 128, 0);

  w.Blow(*p, 7, 18, 17);
  EXPECT_EQ(p->hp, 20) << "people are never hurt";
  EXPECT_EQ(w.LastMessage(), "You've tried to attack peaceful people!");
  EXPECT_EQ(w.core.player.crime, 5u);
  EXPECT_EQ(w.core.player.fame, -5);

  w.Blow(*s, 7, 16, 17);
  EXPECT_EQ(s->hp, 20);
  EXPECT_EQ(w.LastMessage(),
            "You shouldn't attack this monster - it looks peaceful, maybe it has something to say or do for you.");
  EXPECT_FALSE(w.area->IsAggressive(*s));

  // A peaceful monster with nothing to say turns hostile and takes the blow.
  w.Blow(*k, 7, 17, 18);
  EXPECT_EQ(k->hp, 13);
  EXPECT_TRUE(w.area->IsAggressive(*k));
  EXPECT_EQ(w.core.player.crime, 5u);
}

TEST(MonsterStruck, SpellsSparePeopleAndTheTalkativeAndAngerTheRest) {
  StruckWindow w;
  w.OneEffect("base_spellbolt", 25, 6);  // harmful
  w.OneEffect("base_spellmend", 3, 4);   // not harmful
  SMonster& person = w.Template(4, 1, 8);
  SMonster& sage = w.Template(2, 1, 8);
  sage.talk = "base_talk_sage";
  SMonster& meek = w.Template(2, 1, 8);
  SMapMonster* p = w.Place(person, 18, 17);
  SMapMonster* s = w.Place(sage, 16, 17);
  SMapMonster* k = w.Place(meek, 17, 18);
  w.Number();
  auto cast = [&](SMapMonster& m, const char* spell, i32 damage) {
    w.context.spellName.Assign(spell);
    w.context.damage = damage;
    bool changed = false;
    m.monster->TakeSpell(w.state, *w.area, m, nullptr, changed);
  };
  w.state.spellHitMessage = 1;
  cast(*p, "base_spellbolt", 6);
  EXPECT_EQ(p->hp, 20);
  EXPECT_EQ(w.LastMessage(), "You've tried to attack peaceful people!");
  EXPECT_EQ(w.core.player.crime, 5u);
  cast(*s, "base_spellbolt", 6);
  EXPECT_EQ(s->hp, 20);
  EXPECT_FALSE(w.area->IsAggressive(*s));
  // A spell that is not harmful reaches the talkative one and leaves it calm.
  s->hp = 10;
  cast(*s, "base_spellmend", 0);
  EXPECT_EQ(s->hp, 14);
  EXPECT_FALSE(w.area->IsAggressive(*s));
  cast(*k, "base_spellbolt", 6);
  EXPECT_EQ(k->hp, 14);
  EXPECT_TRUE(w.area->IsAggressive(*k));
  EXPECT_EQ(k->flags & 128, 128) << "it recoils";
  // Without the message flag people are spared in silence.
  w.state.events.DeleteAll();
  w.state.spellHitMessage = 0;
  cast(*p, "base_spellbolt", 6);
  EXPECT_EQ(w.state.events.Count(), 0u);
  EXPECT_EQ(w.core.player.crime, 5u);
}

TEST(MonsterStruck, CrushFinishesOnlyTheBadlyHurt) {
  // At 25 percent a roll above 75 kills; at 26 percent nothing does; a template of no hit points is at 0
  // percent rather than divided by.
  const struct {
    const char* what;
    u16 maxHp;
    i16 hp;
    bool mayDie, mayLive;
  } cases[] = {
      {"25 percent", 100, 25, true, true},
      {"26 percent", 100, 26, false, true},
      {"a maximum of 0", 0, 5, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    bool died = false, lived = false;
    for (u32 seed = 1; seed <= 60; ++seed) {
      StruckWindow w;
      w.Seed(seed);
      SSpell* crush = w.OneEffect("base_spellcrush", 40, 0);
      SMonster& t = w.Template();
      t.maxHp = c.maxHp;
      SMapMonster* m = w.Place(t, 17, 16);
      m->hp = c.hp;
      t.ApplySpellEffects(w.state, *w.area, *m, *crush, 0);
      (m->hp == 0 ? died : lived) = true;
    }
    EXPECT_EQ(died, c.mayDie);
    EXPECT_EQ(lived, c.mayLive);
  }
}

TEST(MonsterStruck, MagicImmunityLetsOnlyDispelThrough) {
  StruckWindow w;
  SMonster& t = w.Template();
  SMapMonster* m = w.Place(t, 17, 16);
  w.area->AddMonsterEffect(m->id, 0, 50, 39, 0, nullptr);  // immune
  w.area->AddMonsterEffect(m->id, 0, 50, 27, 0, nullptr);  // cursed
  m->hp = 10;
  SSpell* heal = w.OneEffect("base_spellheal", 3, 5);
  SSpell* poison = w.OneEffect("base_spellvenom", 26, 5);
  t.ApplySpellEffects(w.state, *w.area, *m, *heal, 0);
  t.ApplySpellEffects(w.state, *w.area, *m, *poison, 0);
  EXPECT_EQ(m->hp, 10);
  EXPECT_EQ(w.area->GetMonsterPoison(m->id), 0);
  EXPECT_TRUE(t.HasMagicImmunity(*w.area, *m));
  SSpell* dispel = w.OneEffect("base_spelldispel", 19, 0);
  t.ApplySpellEffects(w.state, *w.area, *m, *dispel, 0);
  EXPECT_FALSE(t.HasMagicImmunity(*w.area, *m));
  EXPECT_FALSE(w.area->IsMonsterCursed(m->id));
}

TEST(MonsterStruck, ASpellsResistanceKeepsThePercentageFormAndNoneOfStrengthZero) {
  // Stored beyond 100 as the percentages are; a resistance of 0 is not added (it would read as 100).
  const struct {
    i16 magnitude;
    i16 stored;  // 0: no entry
  } cases[] = {{130, 130}, {-130, -130}, {40, 140}, {0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.magnitude);
    StruckWindow w;
    SMonster& t = w.Template();
    SMapMonster* m = w.Place(t, 17, 16);
    t.ApplySpellEffects(w.state, *w.area, *m, *w.OneEffect("base_spellresist", 15, c.magnitude, 5), 0);
    EXPECT_EQ(w.area->SumMonsterEffects(m->id, 15), c.stored);
    EXPECT_EQ(w.area->HasMonsterEffect(m->id, 15), c.stored != 0);
  }
}

TEST(MonsterStruck, WeaponEffectsMeetResistances) {
  // x = d / 5: a poisoned blade of a 20-point blow poisons for 5, less the monster's resistance.
  const struct {
    i16 resistance;  // poison resistance in the form beyond 100 (0: none)
    i32 poison;
  } cases[] = {{0, 5}, {150, 3}, {200, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.resistance);
    StruckWindow w;
    SMonster& t = w.Template();
    t.maxHp = 100;
    if (c.resistance) {
      auto* e = new SEffect;
      e->kind = 15;
      e->mode = 3;
      e->base = c.resistance;
      t.effects.Add(e);
    }
    SMapMonster* m = w.Place(t, 17, 16);
    w.Number();
    SItemType blade;
    blade.itemClass = kItemWeapon;
    SItem sword;
    sword.type = &blade;
    sword.enchantments = new SEffectList;
    auto* venom = new SEffect;
    venom->kind = 26;
    venom->mode = 1;
    sword.enchantments->Add(venom);
    // The roll against the resistance is random: over seeds the poison, when it takes, has its strength.
    i32 seen = 0;
    for (u32 seed = 1; seed <= 20 && !seen; ++seed) {
      w.Seed(seed);
      w.area->RemoveMonsterEffects(m->id, 26);
      w.Blow(*m, 20, 17, 16, &sword);
      seen = w.area->GetMonsterPoison(m->id);
    }
    EXPECT_EQ(seen, c.poison);
  }
}

TEST(MonsterStruck, DeathLeavesTheLootAndTheExperience) {
  // A bag is left by a monster with a container, even an empty one, and by none without.
  const struct {
    const char* what;
    bool container;
    bool coin;
  } cases[] = {{"a coin carried", true, true}, {"an empty container", true, false}, {"no container", false, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SItemType coin;  // outlives the window and the items of it
    coin.name.Set("base_coin");
    StruckWindow w;
    SMonster& t = w.Template();
    t.experience = 30;
    SMapMonster* m = w.Place(t, 17, 16);
    if (c.container) {
      SItemContainer* carried = w.area->AddContainer();
      ASSERT_NE(carried, nullptr);
      if (c.coin) {
        auto* item = new SItem;
        item->type = &coin;
        carried->AddItem(item);
      }
      m->containerId = carried->id;
    }
    w.Number();
    const u8 id = m->id;
    const u32 xp = w.core.player.xp;
    bool changed = false;
    t.Die(w.state, *w.area, *m, nullptr, 17, 16, false, changed);
    EXPECT_TRUE(changed);
    EXPECT_EQ(w.area->FindMonsterById(id), nullptr);
    EXPECT_EQ(w.Cell(17, 16).monsterId[0], 0);
    EXPECT_EQ(w.core.player.xp, xp + 30);
    if (!c.container) {
      EXPECT_EQ(w.Cell(17, 16).bagId, 0);
      continue;
    }
    ASSERT_NE(w.Cell(17, 16).bagId, 0);
    SItemContainer* bag = w.area->FindContainerById(u8(w.Cell(17, 16).bagId));
    ASSERT_NE(bag, nullptr);
    ASSERT_EQ(bag->GetItemCount(), c.coin ? 1u : 0u);
    if (c.coin) {
      EXPECT_EQ(bag->items[0]->type, &coin);
    }
  }
}

TEST(MonsterStruck, DeathWithoutAFreeBagIdLosesTheLootButNotTheRest) {
  StruckWindow w;
  SMonster& t = w.Template();
  t.experience = 30;
  SMapMonster* m = w.Place(t, 17, 16);
  SItemType coin;
  SItemContainer* carried = w.area->AddContainer();
  auto* item = new SItem;
  item->type = &coin;
  carried->AddItem(item);
  m->containerId = carried->id;
  while (w.area->AddContainer()) {}
  w.Number();
  const u8 id = m->id;
  const u32 xp = w.core.player.xp;
  bool changed = false;
  t.Die(w.state, *w.area, *m, nullptr, 17, 16, false, changed);
  EXPECT_EQ(w.Cell(17, 16).bagId, 0) << "no bag no cell can reach";
  EXPECT_EQ(w.area->FindMonsterById(id), nullptr);
  EXPECT_EQ(w.core.player.xp, xp + 30);
}

TEST(MonsterStruck, AnotherMonstersMissileKillsWithoutExperience) {
  StruckWindow w;
  SMonster& spitter = w.Template(2, 2);
  spitter.minDamage = spitter.maxDamage = 50;
  SMonster& rat = w.Template();
  rat.experience = 30;
  SMapMonster* shooter = w.Place(spitter, 17, 12);
  SMapMonster* victim = w.Place(rat, 17, 14);
  w.Number();
  const u8 id = victim->id;
  w.state.MonsterMissileHits(*w.area, w.Cell(17, 14), *shooter, 17, 14);
  EXPECT_EQ(w.area->FindMonsterById(id), nullptr);
  EXPECT_EQ(w.core.player.xp, 0u);
}

TEST(MonsterStruck, ScriptFunctionsOnAMonster) {
  StruckWindow w;
  SMonster& t = w.Template(3, 1, 4);
  t.level = 7;
  t.armourClass = 4;
  SMapMonster* m = w.Place(t, 17, 16);
  w.Number();
  SMapObjectInst* object = w.AddObject(9, 17, 16, 1);
  auto call = [&](u32 id, i32 a = 0, const char* text = nullptr) -> i32 {
    SScriptValue* result = nullptr;
    SScriptValue first, none;
    if (text)
      first.SetText(text);
    else
      first.SetInt(a);
    bool changed = false;
    t.CallScriptFunction(object, w.area, m, 17, 16, id, result, first, none, none, changed);
    const i32 v = result ? result->Int() : -999;
    delete result;
    return v;
  };
  const struct {
    const char* what;
    u32 id;
    i32 argument;
    u32 queryId;
    i32 expected;
  } cases[] = {
      {"isvisible", 109, 0, 109, 1},
      {"sethp below 0", 178, -5, 177, 0},
      {"sethp above the maximum", 178, 99, 177, 20},
      {"sethp", 178, 12, 177, 12},
      {"addhp", 179, -4, 177, 8},
      {"setfullhp", 180, 0, 177, 20},
      {"getmaxhp", 181, 0, 181, 20},
      {"isundead", 194, 0, 194, 1},
      {"getlevel", 210, 0, 210, 7},
      {"getac", 213, 0, 213, 4},
      {"setpeaceful", 216, 0, 214, 0},
      {"setaggressive", 215, 0, 214, 1},
      {"getposx", 166, 0, 166, m->cellX},
      {"getstate", 116, 5, 115, 5},
      {"isdead", 126, 0, 126, 0},
      {"an id out of the rows", 242, 0, 242, -999},
      {"an id below the rows", 108, 0, 108, -999},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.id != c.queryId) {
      EXPECT_EQ(call(c.id, c.argument), -999) << "an action answers nothing";
    }
    EXPECT_EQ(call(c.queryId), c.expected);
  }
  // Without a placed monster the queries answer 0 and the actions do nothing.
  SScriptValue* result = nullptr;
  const SScriptValue none;
  bool changed = false;
  t.CallScriptFunction(nullptr, w.area, nullptr, 0, 0, 177, result, none, none, none, changed);
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(result->Int(), 0);
  delete result;
}

}  // namespace
