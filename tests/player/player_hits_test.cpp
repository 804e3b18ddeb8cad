// Items the player uses, spells that reach the player and monsters' blows: effects by kind with the undead
// swap, timed effects renewed, resistances against hostile spells, dispelling, the armour's last chance of
// a blow, on-hit effects by their chance, poison and paralysis tried against resistances, food from a
// spell, and the spell path on a maximum of hit points of 0 or less.
#include "PlayerFixture.h"
#include "game/SMonster.h"
#include "world/SMapArea.h"
#include "world/SSpell.h"

#include <memory>

namespace {

class PlayerHits : public PlayerTest {
 protected:
  PlayerHits() {
    player.race = 0;            // living
    player.attributes[3] = 10;  // maximum hp 40
    player.hp = 30;
  }
  // A potion type of the effects (each at its base strength, no duration unless given).
  SItem* Potion(std::initializer_list<SEffect*> effects) {
    SItemType* t = Type({"base_potion", "Potion", kItemPotion, 0});
    SItem* item = Carry(t);
    item->enchantments = Enchant(effects);
    return item;
  }
  SSpell* SpellOf(std::initializer_list<SEffect*> effects) {
    SSpell* s = Spell("base_spelltest", "Test", 1);
    for (SEffect* e : effects) s->effects.Add(e);
    return s;
  }
  static SEffect* Timed(u8 kind, i16 base, i16 duration, u8 sub = 0) {
    return MakeEffect(kind, base, 3, sub, nullptr, 0, duration);
  }
  const SPlayerEffect* Entry(u32 kind) {
    const u32 c = player.EffectCategory(kind);
    return c && !player.effects[c].IsEmpty() ? player.effects[c][0] : nullptr;
  }
  // A monster of fixed damage on an area of its own, its effects given.
  SMapMonster* Monster(i32 damage, std::initializer_list<SEffect*> effects = {}) {
    monster = std::make_unique<SMonster>();
    monster->minDamage = monster->maxDamage = u16(damage);
    monster->maxHp = 50;
    for (SEffect* e : effects) monster->effects.Add(e);
    placed = std::make_unique<SMapMonster>();
    placed->monster = monster.get();
    placed->hp = 10;
    return placed.get();
  }

  SMapArea area;
  std::unique_ptr<SMonster> monster;
  std::unique_ptr<SMapMonster> placed;
};

TEST_F(PlayerHits, ItemEffectsByKindWithTheUndeadSwap) {
  const struct {
    const char* what;
    u8 race;
    i32 hp;
    u8 kind;
    i16 strength;
    i32 after;
  } cases[] = {
      {"restore hp", 0, 30, 3, 5, 35},
      {"restore hp past the maximum", 0, 38, 3, 5, 40},
      {"restore hp, undead", 1, 30, 3, 20, 10},
      {"restore hp, undead, to 0 at the least", 1, 15, 3, 20, 0},
      {"restore full hp", 0, 3, 4, 0, 40},
      {"restore full hp, undead", 1, 30, 4, 0, 1},
      {"fortify hp, undead, never the last hit point", 1, 10, 5, 50, 1},
      {"restore unholy, living", 0, 30, 6, 5, 25},
      {"restore unholy, undead", 1, 30, 6, 5, 35},
      {"restore full unholy, living", 0, 30, 7, 0, 1},
      {"fortify unholy, living", 0, 30, 8, 12, 18},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    player.race = c.race;
    player.hp = c.hp;
    player.ApplyItemEffects(Potion({Effect(c.kind, c.strength)}));
    EXPECT_EQ(player.hp, c.after);
    player.inventory.DeleteAllItems();
    player.ClearEffects();
  }
}

TEST_F(PlayerHits, ASecondIdenticalPotionOnlyLengthens) {
  SItem* potion = Potion({Timed(2, 5, 10, 1)});
  player.ApplyItemEffects(potion);
  const SPlayerEffect* e = Entry(2);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->strength, 5);
  EXPECT_EQ(e->duration, 11);
  potion->enchantments->Entry(0)->duration = 20;
  player.ApplyItemEffects(potion);
  EXPECT_EQ(player.effects[player.EffectCategory(2)].Count(), 1u);
  EXPECT_EQ(e->duration, 21);
  potion->enchantments->Entry(0)->base = 3;
  potion->enchantments->Entry(0)->duration = 90;
  player.ApplyItemEffects(potion);
  EXPECT_EQ(e->strength, 5) << "a weaker one changes nothing";
  EXPECT_EQ(e->duration, 21);
  // No time: no timed effect.
  player.ClearEffects();
  player.ApplyItemEffects(Potion({Timed(10, 5, 0)}));
  EXPECT_EQ(Entry(10), nullptr);
}

TEST_F(PlayerHits, HostileAndFriendlySpellsMeetTheMagicResistance) {
  // Resistance is half the fourth attribute here.
  const struct {
    u16 attribute;
    bool friendly;
    i32 damage;   // of a Damage all of 20
    i32 fortify;  // a Fortify ac, rolled against the resistance (-1: either)
  } cases[] = {
      {0, false, 20, 1},
      {100, false, 10, -1},
      {200, false, 0, 0},
      {200, true, 20, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.attribute << (c.friendly ? " friendly" : " hostile"));
    player.attributes[4] = c.attribute;
    player.attributes[3] = 10;
    player.hp = 40;
    player.ClearEffects();
    SSpell* s = SpellOf({Effect(25, 20), Timed(11, 4, 10)});
    player.ApplySpell(s, 0, c.friendly, -1, false);
    EXPECT_EQ(player.hp, 40 - c.damage);
    if (c.fortify >= 0) {
      EXPECT_EQ(Entry(11) != nullptr, c.fortify == 1);
    }
  }
}

TEST_F(PlayerHits, DispelReachesAnImmunePlayer) {
  player.ApplySpell(SpellOf({Timed(39, 0, 20)}), 0, true, -1, false);
  ASSERT_TRUE(player.HasMagicImmunity());
  player.ApplySpell(SpellOf({Timed(11, 4, 10)}), 0, true, -1, false);
  EXPECT_EQ(Entry(11), nullptr) << "an immune player takes no other effect";
  player.ApplySpell(SpellOf({Effect(19, 0)}), 0, false, -1, false);
  EXPECT_FALSE(player.HasMagicImmunity());
}

TEST_F(PlayerHits, TheDispelListKeepsPoisonAndFortifiedSkills) {
  player.AddEffect(kSourceSpell, nullptr, 4, 10, 2, 1, nullptr);   // fortify attribute
  player.AddEffect(kSourceSpell, nullptr, 4, 10, 1, 1, nullptr);   // fortify skill
  player.AddEffect(kSourceItem, nullptr, 3, 0, 26, 0, nullptr);    // poison
  player.AddEffect(kSourceSpell, nullptr, 0, 10, 28, 0, nullptr);  // paralysis
  player.Dispel();
  EXPECT_EQ(Entry(2), nullptr);
  EXPECT_EQ(Entry(28), nullptr);
  EXPECT_NE(Entry(1), nullptr);
  EXPECT_NE(Entry(26), nullptr);
}

TEST_F(PlayerHits, AMonstersBlowStoppedByArmourStillLandsHalfTheTime) {
  SMapMonster* m = Monster(1);
  player.AddEffect(kSourceSpell, nullptr, 50, 0, 11, 0, nullptr);  // armour far above the blow
  u32 landed = 0;
  for (u32 i = 0; i < 200; ++i) {
    player.hp = 40;
    player.TakeMonsterHit(&area, m, nullptr, 0, false);
    const i32 lost = 40 - player.hp;
    EXPECT_GE(lost, 0);
    EXPECT_LE(lost, 4);
    if (lost) ++landed;
  }
  EXPECT_GT(landed, 60u);
  EXPECT_LT(landed, 140u);
}

TEST_F(PlayerHits, OnHitEffectsStrikeByTheirChance) {
  const struct {
    i16 strength;
    u32 least, most;  // hits of 100 that poison
  } cases[] = {{150, 30, 70}, {100, 0, 0}, {60, 0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.strength);
    SMapMonster* m = Monster(10, {Effect(26, c.strength, 1)});
    u32 poisoned = 0;
    for (u32 i = 0; i < 100; ++i) {
      player.ClearEffects();
      player.hp = 40;
      player.TakeMonsterHit(&area, m, nullptr, 0, false);
      if (Entry(26)) ++poisoned;
    }
    EXPECT_GE(poisoned, c.least);
    EXPECT_LE(poisoned, c.most);
  }
}

TEST_F(PlayerHits, DrainingBlowsHealTheMonsterWithinItsMaximum) {
  SMapMonster* m = Monster(10, {Effect(29, 200, 1)});
  m->hp = 48;
  player.hp = 40;
  player.TakeMonsterHit(&area, m, nullptr, 0, false);
  EXPECT_LT(player.hp, 30);
  EXPECT_EQ(m->hp, 50);
}

TEST_F(PlayerHits, PoisonAndParalysisAgainstResistances) {
  // Full resistance: nothing; none: the entry with its strength or duration + 1.
  player.attributes[3] = 0;
  player.hp = 0;
  player.TryPoison(8);
  player.TryParalyze(3);
  EXPECT_NE(Entry(26), nullptr);
  const SPlayerEffect* p = Entry(28);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->duration, 4);
  player.ClearEffects();
  player.AddEffect(kSourceSpell, nullptr, 200, 0, 15, 0, nullptr);  // resist poison 100
  player.AddEffect(kSourceSpell, nullptr, 200, 0, 16, 0, nullptr);  // resist paralysis 100
  player.TryPoison(8);
  player.TryParalyze(3);
  EXPECT_EQ(Entry(26), nullptr);
  EXPECT_EQ(Entry(28), nullptr);
  player.TryParalyze(0);
  EXPECT_EQ(Entry(28), nullptr);
}

TEST_F(PlayerHits, CreateFoodDrawsOnlyWhatThePlayerMayHave) {
  // Drink for the undead only: a living player gets the food and no drink; the draw never loops.
  SItemType* bread = Type({"base_bread", "Bread", kItemComestible, 1});
  SItemType* blood = Type({"base_blood", "Blood", kItemComestible, 2, 1000, 0, 0, 0, 0, 0, 8});
  player.race = 0;
  player.CreateFood();
  EXPECT_EQ(player.inventory.CountItemsOfType(bread), 1u);
  EXPECT_EQ(player.inventory.CountItemsOfType(blood), 0u);
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{"You have created some food."});
  player.inventory.DeleteAllItems();
  player.race = 1;
  player.CreateFood();
  EXPECT_EQ(player.inventory.CountItemsOfType(bread), 1u);
  EXPECT_EQ(player.inventory.CountItemsOfType(blood), 1u);
}

TEST_F(PlayerHits, TheSpellPathOnAMaximumOfZeroOrLess) {
  // A cursed maximum: the gauge and the crushing check read the player's own percentage, never a division.
  for (i16 curse : {-40, -70}) {
    SCOPED_TRACE(curse);
    player.ClearEffects();
    player.AddEffect(kSourceItem, nullptr, curse, 0, 5, 0, nullptr);
    ASSERT_LE(player.GetMaxHp(), 0);
    player.hp = 0;
    player.ApplySpell(SpellOf({Effect(3, 10)}), 0, true, -1, false);
    player.ApplySpell(SpellOf({Effect(40, 5)}), 0, false, -1, false);
    EXPECT_EQ(player.GetHealthPercent(), 0);
    EXPECT_GE(player.hp, 0);
    EXPECT_GE(state.hitPoints.fillLength, 0);
  }
}

}  // namespace
