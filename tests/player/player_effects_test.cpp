// The player's active effects: sums per category, adding and refreshing, removal by source, equipment
// effects, drink, and the values derived from them (attributes, skills, maxima, capacity, resistances,
// armour class and blocking).
#include "PlayerFixture.h"

using PlayerEffects = PlayerTest;

TEST_F(PlayerEffects, SumsPerCategory) {
  struct Case {
    u32 kind;
    i32 strength;
    u32 category;
    i32 sum;
    bool present;
  } cases[] = {
      {22, 130, 11, 30, true},  {22, -150, 11, -50, true},
      {22, 100, 11, 100, true}, {5, 130, 3, 130, true},  // no offset outside the percentage categories
      {28, 0, 21, 1, true},                              // presence, not strength
      {26, 7, 23, 7, false},                             // poison never sets the flag
  };
  for (const Case& c : cases) {
    player.ClearEffects();
    player.AddEffect(kSourceItem, nullptr, c.strength, 0, c.kind, 0, nullptr);
    bool present = !c.present;
    EXPECT_EQ(player.SumEffects(c.category, 0, nullptr, &present), c.sum) << "kind " << c.kind;
    EXPECT_EQ(present, c.present) << "kind " << c.kind;
  }
  player.ClearEffects();
  // Named categories compare the text; sub-kinds pick the skill or attribute.
  player.AddEffect(kSourceItem, nullptr, 120, 0, 17, 0, "base_rot");
  player.AddEffect(kSourceItem, nullptr, 4, 0, 1, 7, nullptr);
  EXPECT_EQ(player.SumEffects(9, 0, "base_rot", nullptr), 20);
  EXPECT_EQ(player.SumEffects(9, 0, "base_pox", nullptr), 0);
  EXPECT_EQ(player.SumEffects(9, 0, nullptr, nullptr), 0);
  EXPECT_EQ(player.SumEffects(1, 7, nullptr, nullptr), 4);
  EXPECT_EQ(player.SumEffects(1, 8, nullptr, nullptr), 0);
  EXPECT_EQ(player.SumEffects(24, 0, nullptr, nullptr), 0);
  EXPECT_STREQ(SPlayer::CategoryName(23), "Poison");
  EXPECT_EQ(SPlayer::CategoryName(24), nullptr);
}

TEST_F(PlayerEffects, AddingRefreshingAndRemoving) {
  int potion = 0;  // a source record
  player.AddEffect(kSourceItem, &potion, 10, 5, 5, 0, nullptr);
  EXPECT_EQ(player.effects[3][0]->duration, 6);                  // stored one higher
  player.AddEffect(kSourceItem, &potion, 8, 50, 5, 0, nullptr);  // weaker: nothing changes
  EXPECT_EQ(player.effects[3][0]->strength, 10);
  EXPECT_EQ(player.effects[3][0]->duration, 6);
  player.AddEffect(kSourceItem, &potion, 10, 9, 5, 0, nullptr);  // equal and longer
  EXPECT_EQ(player.effects[3][0]->duration, 10);
  player.AddEffect(kSourceItem, &potion, 12, 1, 5, 0, nullptr);  // stronger
  EXPECT_EQ(player.effects[3][0]->strength, 12);
  EXPECT_EQ(player.effects[3].Count(), 1);
  int ring = 0;
  player.AddEffect(kSourceEquipment, &ring, 3, 0, 5, 0, nullptr);
  player.AddEffect(kSourceEquipment, &ring, 3, 0, 5, 0, nullptr);  // two identical rings both count
  EXPECT_EQ(player.SumEffects(3, 0, nullptr, nullptr), 18);

  player.AddEffect(kSourceCondition, nullptr, 3, 5, 26, 0, nullptr);
  player.AddEffect(kSourceCondition, nullptr, 3, 5, 26, 0, nullptr);
  player.AddEffect(kSourceCondition, nullptr, 1, 5, 28, 0, nullptr);
  EXPECT_EQ(TakeEvents(), (std::vector<Shown>{{kEventMessage, "You're poisoned!", "bsnd_click"},
                                              {kEventMessage, "You're paralyzed!", "bsnd_click"}}));
  EXPECT_TRUE(player.IsParalyzed());
  player.CureEffect(28);
  EXPECT_FALSE(player.IsParalyzed());
  player.CureEffect(5);  // potions go, equipment stays
  EXPECT_EQ(player.SumEffects(3, 0, nullptr, nullptr), 6);
  player.RemoveEffectsFromSource(kSourceEquipment);
  EXPECT_EQ(player.SumEffects(3, 0, nullptr, nullptr), 0);
  EXPECT_EQ(player.GetPoisonStrength(), 3);
  player.ClearEffects();
  EXPECT_EQ(player.GetPoisonStrength(), 0);
}

TEST_F(PlayerEffects, KindsFromDataAndLongDurations) {
  // Kinds without a category, and kinds past the table, are kept nowhere.
  for (u32 kind : {0u, 37u, 56u, 59u, 200u, 255u, 0xFFFFFFFFu}) {
    player.AddEffect(kSourceItem, nullptr, 9, 5, kind, 0, nullptr);
    player.CureEffect(kind);
    EXPECT_EQ(player.EffectCategory(kind), 0u) << kind;
  }
  for (const auto& list : player.effects) EXPECT_TRUE(list.IsEmpty());
  // Stored durations stay within their byte, and a limited one never becomes unlimited.
  const struct {
    u32 given;
    u8 stored;
  } durations[] = {{0, 0}, {1, 2}, {253, 254}, {254, 255}, {255, 255}, {256, 255}, {5000, 255}, {0xFFFFFFFF, 255}};
  for (const auto& d : durations) {
    player.ClearEffects();
    player.AddEffect(kSourceSpell, nullptr, 4, d.given, 10, 0, nullptr);
    ASSERT_EQ(player.effects[5].Count(), 1);
    EXPECT_EQ(player.effects[5][0]->duration, d.stored) << d.given;
  }
}

TEST_F(PlayerEffects, AttributesSkillsAndDrink) {
  player.attributes[1] = 15;
  player.attributes[3] = 15;
  player.attributes[4] = 15;
  player.AddEffect(kSourceItem, nullptr, 3, 0, 2, 1, nullptr);
  EXPECT_EQ(player.GetAttribute(1), 18);
  EXPECT_EQ(player.GetAttribute(6), 0);
  player.AddEffect(kSourceItem, nullptr, -40, 0, 2, 4, nullptr);
  EXPECT_EQ(player.GetAttribute(4), 1);  // never below 1
  player.ClearEffects();
  // Drunkenness 10 (not heavy): strength up by 2, intelligence down by 2.
  player.AddEffect(kSourceItem, nullptr, 110, 0, 57, 0, nullptr);
  EXPECT_EQ(player.GetDrunkenness(), 10);
  EXPECT_FALSE(player.IsHeavilyDrunk());
  EXPECT_EQ(player.GetAttributeEffective(1), 17);
  EXPECT_EQ(player.GetAttributeEffective(4), 13);
  EXPECT_EQ(player.GetAttributeByKey("base_intelligence"), 13);
  EXPECT_EQ(player.GetAttributeByKey("Str"), 17);
  EXPECT_EQ(player.GetAttribute(1), 15);
  // Heavily drunk (above twice endurance 15): strength up by 40 / 8 + 1, intelligence down by 40 / 5 + 1.
  player.AddEffect(kSourceItem, &player, 130, 0, 57, 0, nullptr);
  EXPECT_TRUE(player.IsHeavilyDrunk());
  EXPECT_EQ(player.GetAttributeEffective(1), 21);
  EXPECT_EQ(player.GetAttributeEffective(4), 6);
  player.ClearEffects();

  player.race = 1;
  player.skills[8] = 30;
  player.skills[12] = 30;
  EXPECT_EQ(player.GetSkill(8), 0);  // heal magic does not exist for the undead race
  EXPECT_EQ(player.GetSkill(12), 30);
  EXPECT_FALSE(player.CanRaiseSkill(8));
  EXPECT_FALSE(player.CanRaiseSkill(12));  // 30 is not below twice intelligence 15
  player.skills[12] = 29;
  EXPECT_TRUE(player.CanRaiseSkill(12));
  player.AddEffect(kSourceItem, nullptr, 6, 0, 1, 12, nullptr);
  bool bonus = false;
  i32 base = 0;
  EXPECT_EQ(player.GetSkillParts(12, &bonus, &base), 35);
  EXPECT_TRUE(bonus);
  EXPECT_EQ(base, 29);
  EXPECT_EQ(player.GetSkillByName("undead magic"), 35);
  EXPECT_EQ(player.GetSkillByName("base_nothing"), 0);

  // The best of a list of skills: the first of equals; keys that name nothing are passed over.
  player.skills[2] = 10;
  player.skills[3] = 30;
  player.skills[7] = 30;
  EXPECT_STREQ(player.GetBestSkillOf("base_lightweapon, base_heavyweapon,accuracy"), "base_heavyweapon");
  EXPECT_STREQ(player.GetBestSkillOf("base_nothing,base_lightweapon"), "base_lightweapon");
  EXPECT_STREQ(player.GetBestSkillOf("base_nothing"), "");
  EXPECT_STREQ(player.GetBestSkillOf(""), "");
}

TEST_F(PlayerEffects, MaximaCapacityAndResistances) {
  const u16 attrs[6] = {0, 20, 16, 30, 40, 25};
  for (u32 a = 1; a <= 5; ++a) player.attributes[a] = attrs[a];
  player.AddEffect(kSourceItem, nullptr, 12, 0, 5, 0, nullptr);       // Fortify hp
  player.AddEffect(kSourceItem, nullptr, 7, 0, 8, 0, nullptr);        // Fortify unholy
  player.AddEffect(kSourceItem, nullptr, 6, 0, 10, 0, nullptr);       // Fortify mana
  player.AddEffect(kSourceItem, nullptr, 10, 0, 20, 0, nullptr);      // Feather
  player.AddEffect(kSourceItem, nullptr, 190, 0, 33, 0, nullptr);     // Resist diseases 90
  player.AddEffect(kSourceItem, nullptr, 200, 0, 17, 0, "base_rot");  // Resist disease 100
  player.AddEffect(kSourceItem, nullptr, -150, 0, 15, 0, nullptr);    // Resist poison -50
  player.AddEffect(kSourceItem, nullptr, 130, 0, 22, 0, nullptr);     // Resist magic 30
  struct Row {
    const char* what;
    i32 value, expected;
  };
  bool b[6] = {};
  i32 part[5] = {};
  player.race = 2;
  const Row sober[] = {
      {"max hp", player.GetMaxHp(), 132},
      {"max mana", player.GetMaxMana(), 206},
      {"capacity", player.GetCarryCapacity(), 26200},
      {"disease, capped", player.GetDiseaseResistance(&b[0], &part[0]), 100},
      {"named disease, past 100", player.GetNamedDiseaseResistance("base_rot", &b[1], &part[1]), 115},
      {"other disease", player.GetNamedDiseaseResistance("base_pox"), 100},
      {"paralysis", player.GetParalysisResistance(&b[2], &part[2]), 19},
      {"poison", player.GetPoisonResistance(&b[3], &part[3]), -35},
      {"magic", player.GetMagicResistance(&b[4], &part[4]), 50},
      {"disease part", part[0], 15},
      {"paralysis part", part[2], 19},
      {"magic part", part[4], 20},
  };
  for (const Row& r : sober) EXPECT_EQ(r.value, r.expected) << r.what;
  EXPECT_TRUE(b[0] && b[1] && b[3] && b[4]);
  EXPECT_FALSE(b[2]);  // no paralysis entry, sober
  player.race = 1;
  EXPECT_EQ(player.GetMaxHp(), 127);  // the undead race counts Fortify unholy, not Fortify hp
  bool display = false;
  EXPECT_EQ(player.GetMaxHpForDisplay(&display), 127);
  EXPECT_TRUE(display);

  // Drink sets every flag and moves the attribute shares.
  player.ClearEffects();
  player.AddEffect(kSourceItem, nullptr, 110, 0, 57, 0, nullptr);
  EXPECT_EQ(player.GetParalysisResistance(&b[5]), 38 / 5 + 32 / 5 + 23 / 5);
  EXPECT_TRUE(b[5]);
  EXPECT_EQ(player.GetMaxMana(), 5 * 38);
  EXPECT_TRUE(player.GetMaxManaForDisplay(&display) > 0 && display);
}

TEST_F(PlayerEffects, PercentagesOfCursedMaxima) {
  player.race = 2;
  player.attributes[3] = 5;  // maximum hp 20 before effects
  player.attributes[4] = 8;  // maximum mana 40
  const struct {
    i32 hpFortify, manaFortify;
    u16 hp, mana;
    i32 health, magic;
  } cases[] = {
      {0, 0, 10, 10, 50, 25},   {0, 0, 20, 40, 100, 100}, {0, 0, 300, 900, 100, 100},
      {0, 0, 0, 0, 0, 0},       {-20, -40, 10, 10, 0, 0},  // a maximum of 0
      {-30, -90, 10, 10, 0, 0},                            // below 0: never a negative gauge
  };
  for (const auto& c : cases) {
    player.ClearEffects();
    if (c.hpFortify) player.AddEffect(kSourceEquipment, nullptr, c.hpFortify, 0, 5, 0, nullptr);
    if (c.manaFortify) player.AddEffect(kSourceEquipment, nullptr, c.manaFortify, 0, 10, 0, nullptr);
    player.hp = c.hp;
    player.mana = c.mana;
    EXPECT_EQ(player.GetHealthPercent(), c.health) << c.hpFortify << " " << c.hp;
    EXPECT_EQ(player.GetManaPercent(), c.magic) << c.manaFortify << " " << c.mana;
  }
}

TEST_F(PlayerEffects, Drinking) {
  int ale = 0;
  player.attributes[3] = 30;
  player.MakeDrunk(130, &ale);
  ASSERT_EQ(player.effects[19].Count(), 1);
  const SPlayerEffect* e = player.effects[19][0];
  EXPECT_EQ(e->strength, 130);
  EXPECT_EQ(e->duration, 240);  // 1560 - 468 minutes, at most 240, stored as it is
  EXPECT_EQ(e->source, &ale);
  EXPECT_EQ(e->sourceType, kSourceItem);
  EXPECT_EQ(player.GetDrunkenness(), 30);
  EXPECT_TRUE(TakeEvents().empty());  // 30 is not above twice endurance
  player.MakeDrunk(190, &ale);        // a second entry: 120, above twice the drunk endurance 34
  EXPECT_EQ(player.effects[19].Count(), 2);
  EXPECT_EQ(TakeEvents(), (std::vector<Shown>{{kEventMessage, "You're drunk!", "bsnd_ambientman4"}}));
  player.MakeDrunk(110, &ale);
  EXPECT_TRUE(TakeEvents().empty());  // already drunk

  // Hardy drinkers and weak drinks: the drink still wears off.
  const struct {
    u16 endurance;
    i32 amount;
    u8 duration;
  } cases[] = {{30, 110, 240}, {90, 110, 132}, {100, 130, 1}, {180, 130, 1}, {10, 3, 1}, {10, -20, 1}};
  for (const auto& c : cases) {
    player.ClearEffects();
    player.attributes[3] = c.endurance;
    player.MakeDrunk(c.amount, nullptr);
    ASSERT_EQ(player.effects[19].Count(), 1);
    EXPECT_EQ(player.effects[19][0]->duration, c.duration) << c.endurance << " " << c.amount;
  }
}

TEST_F(PlayerEffects, EquipmentEffects) {
  SItemType* ring = Type({"base_ring", "Ring", 4, 2, 1});
  ring->enchantment = Enchant({Effect(11, 2), Effect(37, 9), Effect(5, 4, 4)});  // mode 4 is not worn
  SItemType* bolts = Type({"base_bolts", "Bolts", 1, 13, 1});
  bolts->enchantment = Enchant({Effect(11, 50)});
  SItem* first = Carry(ring, true);
  SItem* second = Carry(ring, true, true);
  Carry(bolts, true);
  EXPECT_EQ(player.Equipped(8), first);
  EXPECT_EQ(player.Equipped(9), second);
  EXPECT_EQ(player.SumEffects(6, 0, nullptr, nullptr), 4);  // two rings; ammunition carries none
  EXPECT_EQ(player.SumEffects(3, 0, nullptr, nullptr), 0);
  second->enchantments = Enchant({Effect(11, 7)});  // its own enchantment replaces the type's
  player.RecalculateEquipment();
  EXPECT_EQ(player.SumEffects(6, 0, nullptr, nullptr), 9);
  player.UnequipItem(first);
  EXPECT_EQ(player.SumEffects(6, 0, nullptr, nullptr), 7);
  EXPECT_EQ(player.effects[6][0]->source, second);
}

TEST_F(PlayerEffects, ArmourClassAndBlocking) {
  SItem* chain = Carry(Type({"base_chain", "Chain mail", 2, 3, 2000, 1500, 8}), true);
  Carry(Type({"base_cap", "Leather cap", 3, 4, 1000, 100, 4}), true);
  SItem* shield = Carry(Type({"base_shield", "Shield", 2, 1, 1500, 800, 3}), true);
  player.attributes[2] = 16;
  player.skills[6] = 20;
  player.skills[5] = 40;
  player.AddEffect(kSourceSpell, nullptr, 5, 0, 11, 0, nullptr);
  // Heavy: 20 x (8 + 3M) / 33; light: 4 + 7 x 4 / 66; dexterity 1; Fortify ac 5.
  bool bonus = false;
  EXPECT_EQ(player.GetArmorClass(&bonus, 1), 16);
  EXPECT_TRUE(bonus);
  EXPECT_EQ(player.GetArmorClass(nullptr, 2), 18);
  EXPECT_EQ(player.GetArmorClass(nullptr, 3), 20);
  EXPECT_EQ(player.GetArmorClassPlain(), 16);
  chain->count = 1000;  // worn to half: the rating scales with the condition
  EXPECT_EQ(player.GetArmorClass(nullptr, 1), 20 * (5 + 3) / 33 + 4 + 1 + 5);
  chain->count = 2000;

  // A shield blocks a blow by the block skill: at 30 or less one roll below it doubles the shield.
  player.skills[1] = 20;
  for (int i = 0; i < 40; ++i) {
    const i32 roll = mirror.Next(100);
    const u16 before = player.practice[1];
    EXPECT_EQ(player.GetArmorClassWhenHit(true), roll < 20 ? 18 : 16) << i;
    EXPECT_EQ(player.practice[1], before + (roll < 20)) << i;
  }
  // Above 30: below half the skill triples it, else below two thirds doubles it.
  player.skills[1] = 60;
  player.practice[1] = 254;
  for (int i = 0; i < 40; ++i) {
    const i32 first = mirror.Next(100);
    const i32 second = first < 30 ? 0 : mirror.Next(100);
    const i32 expected = first < 30 ? 20 : second < 40 ? 18 : 16;
    EXPECT_EQ(player.GetArmorClassWhenHit(true), expected) << i;
  }
  EXPECT_EQ(player.practice[1], 255);  // practice stops at 255
  // No blow, or a weapon in the second hand: no roll.
  EXPECT_EQ(player.GetArmorClassWhenHit(false), 16);
  player.UnequipItem(shield);
  Carry(Type({"base_dagger", "Dagger", 1, 3, 500}), true, true);
  EXPECT_EQ(player.GetArmorClassWhenHit(true), 20 * 8 / 33 + 4 + 1 + 5);
  EXPECT_EQ(core.random->Next(1000), mirror.Next(1000));  // no draw was made
}
