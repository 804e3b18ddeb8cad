// Item texts, trading prices, the fame and outfit words, and which items the player's race may use.
#include "PlayerFixture.h"

using PlayerItems = PlayerTest;

TEST_F(PlayerItems, ItemTexts) {
  const struct {
    u8 itemClass, subtype;
    const char* name;
    u32 count;
    const char* text;
  } cases[] = {
      {15, 1, "Amethyst", 1, "an Amethyst gem"},
      {15, 1, "Ruby", 1, "a Ruby gem"},
      {15, 1, "Amethyst", 2, "2 Amethyst gems"},
      {10, 1, "Gold coins", 1, "50\t"},
      {10, 1, "Gold coins", 2, "2 items of Gold coins"},
      {5, 1, "Lore", 1, "a book of 'Lore'"},
      {5, 1, "Lore", 3, "3 books of 'Lore'"},
      {5, 2, "Letter", 1, "an item of Letter"},
      {5, 2, "Letter", 2, "2 items of Letter"},
      {8, 1, "Healing", 1, "a potion of Healing"},
      {8, 1, "Healing", 4, "4 potions of Healing"},
      {9, 1, "Fireball", 1, "a scroll of Fireball"},
      {9, 1, "Fireball", 2, "2 scrolls of Fireball"},
      {9, 2, "Cure", 1, "a spellbook of Cure"},
      {9, 2, "Cure", 2, "2 spellbooks of Cure"},
      {9, 4, "Lightning", 1, "a wand of Lightning"},
      {9, 4, "Lightning", 7, "7 wands of Lightning"},
      {9, 3, "Blank scroll", 1, "an item of Blank scroll"},
      {16, 1, "Knight", 1, "a card of 'Knight'"},
      {16, 1, "Knight", 5, "5 cards of 'Knight'"},
      {1, 1, "Sword", 1, "an item of Sword"},
      {1, 1, "Sword", 0, "0 items of Sword"},
  };
  for (const auto& c : cases) {
    SItemType* t = Type({"base_thing", c.name, c.itemClass, c.subtype, 1000, 0, 0, 0, 0, 0, 0, 50});
    SString text("You have ");
    player.FormatItemName(t, c.count, text);
    EXPECT_EQ(std::string(text.CStr()), std::string("You have ") + c.text) << c.name << " " << c.count;
  }
}

TEST_F(PlayerItems, TradingPrices) {
  // V = Persuade / 2 + Mercantile x 2 + personality (with drink); the percentage is V / 14.
  const struct {
    u16 persuade, mercantile, personality;
    i32 fortify;  // on Mercantile
    u32 price, raised, lowered;
  } cases[] = {
      {0, 0, 13, 0, 200, 200, 200},                           // 0 percent
      {20, 20, 90, 0, 200, 220, 180},                         // V 140: 10 percent
      {20, 10, 90, 10, 200, 220, 180},                        // the same through a Fortify skill effect
      {0, 1000, 10, 0, 200, 486, 0},                          // 143 percent: a lowered price stops at 0
      {0, 1000, 10, 0, 4000000000u, 0xFFFFFFFFu, 0},          // a raised one at the largest price
      {0, 300, 0, 0, 3000000000u, 4260000000u, 1740000000u},  // 42 percent: no 32-bit overflow on the way
      {0, 100, 20, 0, 1000000000u, 1150000000u, 850000000u},
      {0, 0, 1, -500, 200, 200, 200},  // cursed below 0: no change
  };
  for (const auto& c : cases) {
    player.ClearEffects();
    player.skills[17] = c.persuade;
    player.skills[15] = c.mercantile;
    player.attributes[5] = c.personality;
    if (c.fortify) player.AddEffect(kSourceSpell, nullptr, c.fortify, 0, 1, 15, nullptr);
    EXPECT_EQ(player.AdjustPrice(c.price, false), c.raised) << c.mercantile << " " << c.price;
    EXPECT_EQ(player.AdjustPrice(c.price, true), c.lowered) << c.mercantile << " " << c.price;
  }
}

TEST_F(PlayerItems, FameWords) {
  const struct {
    i16 fame;
    const char* word;
  } cases[] = {{1000, "Blessed"},  {101, "Blessed"},  {100, "Saint"},      {99, "Blessed"},     {80, "Blessed"},
               {79, "Blameless"},  {50, "Blameless"}, {49, "Virtuous"},    {20, "Virtuous"},    {19, "Good"},
               {1, "Good"},        {0, "Neutral"},    {-1, "Immoral"},     {-10, "Immoral"},    {-19, "Immoral"},
               {-20, "Corrupt"},   {-49, "Corrupt"},  {-50, "Evil"},       {-79, "Evil"},       {-80, "Pure evil"},
               {-99, "Pure evil"}, {-100, "Demonic"}, {-101, "Pure evil"}, {-1000, "Pure evil"}};
  for (const auto& c : cases) {
    player.fame = c.fame;
    EXPECT_STREQ(player.GetFameWord(), c.word) << c.fame;
  }
}

TEST_F(PlayerItems, OutfitScoreAndWords) {
  bool bonus = true;
  EXPECT_EQ(player.GetOutfitScore(&bonus), 1);  // naked and sober
  EXPECT_FALSE(bonus);
  EXPECT_STREQ(player.GetOutfitWord(), "threadbare");
  SItem* chain = Carry(Type({"base_chain", "Chain mail", 2, 3, 2000, 0, 0, 5}), true);  // x 20
  Carry(Type({"base_cloak", "Cloak", 3, 7, 600, 0, 0, 9}), true);
  Carry(Type({"base_helm", "Helm", 2, 4, 1000, 0, 0, 4}), true);
  Carry(Type({"base_ring", "Ring", 4, 2, 1, 0, 0, 7}), true);       // accessories are not scaled
  Carry(Type({"base_arrows", "Arrows", 1, 11, 1, 0, 0, 9}), true);  // ammunition is not worn
  EXPECT_EQ(player.GetOutfitScore(&bonus), (100 + 72 + 32 + 56) / 10);
  EXPECT_FALSE(bonus);
  EXPECT_STREQ(player.GetOutfitWord(), "plain");
  chain->count = 1000;  // half worn: 5 scales to 3
  EXPECT_EQ(player.GetOutfitScoreOnly(), (60 + 72 + 32 + 56) / 10);
  chain->count = 2000;
  player.AddEffect(kSourceSpell, nullptr, 30, 0, 58, 0, nullptr);
  EXPECT_EQ(player.GetOutfitScore(&bonus), 56);
  EXPECT_TRUE(bonus);
  EXPECT_STREQ(player.GetOutfitWord(), "regular");
  player.AddEffect(kSourceItem, nullptr, 150, 0, 57, 0, nullptr);  // drunkenness 50 halves it
  EXPECT_EQ(player.GetOutfitScore(&bonus), 28);
  EXPECT_TRUE(bonus);

  // The words by score, through Fortify outfit alone.
  for (SItem*& slot : player.equipment) slot = nullptr;
  const struct {
    i32 score;
    const char* word;
  } words[] = {{-40, "threadbare"}, {10, "threadbare"},  {11, "shabby"},       {20, "shabby"},
               {21, "plain"},       {40, "plain"},       {41, "regular"},      {60, "regular"},
               {61, "dressy"},      {80, "dressy"},      {81, "well dressed"}, {90, "well dressed"},
               {91, "fashionable"}, {95, "fashionable"}, {96, "swell"},        {500, "swell"}};
  for (const auto& w : words) {
    player.ClearEffects();
    player.AddEffect(kSourceSpell, nullptr, w.score, 0, 58, 0, nullptr);
    EXPECT_STREQ(player.GetOutfitWord(), w.word) << w.score;
  }
}

TEST_F(PlayerItems, UsableByRace) {
  Spell("base_heal", "Heal", 1);
  Spell("base_drain", "Drain", 5);
  Spell("base_bolt", "Bolt", 3);
  SItemType* drainWand = Type({"base_wand1", "Drain", 9, 4});
  drainWand->enchantment = Enchant({Effect(0, 5, 2, 0, "base_drain")});
  SItemType* bothWand = Type({"base_wand2", "Both", 9, 4});
  bothWand->enchantment = Enchant({Effect(0, 5, 2, 0, "base_drain"), Effect(0, 5, 2, 0, "base_heal")});
  SItemType* plain = Type({"base_wand3", "Empty", 9, 5});
  SItem* drain = Carry(drainWand);
  SItem* both = Carry(bothWand);
  SItem* empty = Carry(plain);
  const struct {
    SItem* item;
    bool living, undead;
  } cases[] = {{drain, false, true}, {both, false, false}, {empty, true, true}};
  for (const auto& c : cases) {
    player.race = 3;
    EXPECT_EQ(player.CanUseItem(*c.item), c.living) << c.item->type->text3;
    player.race = 1;
    EXPECT_EQ(player.CanUseItem(*c.item), c.undead) << c.item->type->text3;
  }
  // An item's own enchantment is the one that counts.
  empty->enchantments = Enchant({Effect(0, 5, 2, 0, "base_heal")});
  EXPECT_FALSE(player.CanUseItem(*empty));
  drain->enchantments = Enchant({Effect(0, 5, 2, 0, "base_bolt")});
  player.race = 2;
  EXPECT_TRUE(player.CanUseItem(*drain));
  EXPECT_TRUE(player.CanUseChargedItem(*drain));
  drain->count = 0;
  EXPECT_FALSE(player.CanUseChargedItem(*drain));
}
