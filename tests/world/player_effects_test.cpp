// The player's active effects: sums per category, adding and refreshing, removal by source, and the
// attributes and skills built on them.
#include "RulesFixture.h"

using PlayerEffects = RulesFixture;

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
      {37, 9, 0, 0, false},                              // kinds without a category are summed by nothing
  };
  for (const Case& c : cases) {
    player.ClearEffects();
    player.effects[0].DeleteAll();
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
  EXPECT_EQ(hooks.messages, (std::vector<std::string>{"You're poisoned!", "You're paralyzed!"}));
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
  EXPECT_EQ(player.GetAttribute(1), 15);

  player.race = 1;
  player.skills[8] = 30;
  player.skills[12] = 30;
  EXPECT_EQ(player.GetSkill(8), 0);  // heal magic does not exist for the undead race
  EXPECT_EQ(player.GetSkill(12), 30);
  EXPECT_FALSE(player.CanRaiseSkill(8));
  player.attributes[4] = 15;
  EXPECT_FALSE(player.CanRaiseSkill(12));  // 30 is not below twice intelligence 15
  player.skills[12] = 29;
  EXPECT_TRUE(player.CanRaiseSkill(12));
}
