// Item rules and texts: instances of several classes against their exact names, descriptions, damage and
// values, in the full and the compact screen layouts.
#include "RulesFixture.h"
#include "world/SItemTable.h"

namespace {
struct TypeDef {
  const char* display;
  u8 itemClass, subtype, flags;
  u16 damageMin, damageMax, armorClass, maxCondition, weight, capacity;
  u32 value;
  u8 outfit, alignment;
};

std::unique_ptr<SItemType> Make(const TypeDef& d) {
  auto t = std::make_unique<SItemType>();
  t->text3 = d.display;
  t->itemClass = d.itemClass;
  t->subtype = d.subtype;
  t->flags = d.flags;
  t->damageMin = d.damageMin;
  t->damageMax = d.damageMax;
  t->armorClass = d.armorClass;
  t->maxCondition = d.maxCondition;
  t->weight = d.weight;
  t->enchantCapacity = d.capacity;
  t->value = d.value;
  t->outfit = d.outfit;
  t->alignment = d.alignment;
  return t;
}

const TypeDef kSword{"Short sword", 1, 1, 2, 10, 20, 0, 1000, 1234, 150, 100, 6, 1};
const TypeDef kQuiver{"Quiver of arrows", 1, 11, 2, 1, 3, 0, 1, 10, 0, 2, 0, 0};
const TypeDef kChain{"Chain mail", 2, 3, 0, 0, 0, 8, 2000, 1500, 300, 300, 5, 0};
const TypeDef kNoCondition{"Odd club", 1, 6, 0, 4, 8, 0, 0, 500, 0, 30, 3, 2};
const TypeDef kBlank{"Blank scroll", 9, 3, 0, 0, 0, 0, 1000, 5, 100, 20, 0, 0};
const TypeDef kCard{"Knight", 16, 1, 0, 0, 0, 0, 1000, 1, 0, 12, 0, 0};
const TypeDef kCoins{"Gold coins", 10, 1, 0, 0, 0, 0, 1000, 0, 0, 100, 0, 0};
const TypeDef kBread{"Bread", 14, 1, 0, 0, 0, 0, 1000, 30, 0, 2, 0, 0};
}  // namespace

class ItemRules : public RulesFixture {};

TEST_F(ItemRules, DescriptionsNamesAndValues) {
  struct Case {
    const TypeDef* type;
    u16 count;
    i32 mode;
    bool detailed;
    const char* name;
    const char* text;
    u32 value;
  };
  const Case cases[] = {
      {&kSword, 550, 9, false, "Short sword",
       "Light weapon\rDamage: 6-12\rWeight: 12.3\rRequires good alignment\rOutfit: regular\rCondition: average\r"
       "\rModerately enchantable",
       205},
      {&kSword, 550, 9, true, "Short sword",
       "Light weapon\rDamage: 6-12\rWeight: 12.3\rRequires good alignment\rOutfit: regular (40)\r"
       "Condition: 550/1000\r\rModerately enchantable",
       205},
      {&kSword, 500, 5, false, "Short sword",
       "Light weapon\rDam: 6-11, Weight: 12.3\rRequires good alignment\rOutfit: regular\rCondition: average\r"
       "Moderately enchantable",
       200},
      {&kSword, 60, 2, false, "Short sword",
       "Light weapon\rDamage: 0-1, Weight: 12.3\rRequires good alignment\rOutfit: plain\rCondition: broken\r"
       "\rModerately enchantable",
       156},
      {&kQuiver, 15, 9, false, "Quiver of arrows",
       "Light weapon\rContains 15 units.\rDamage: 1-3\rWeight: 0.1\r\rUnenchantable", 2},
      {&kQuiver, 1, 9, false, "Quiver of arrows",
       "Light weapon\rContains 1 unit.\rDamage: 1-3\rWeight: 0.1\r\rUnenchantable", 2},
      {&kChain, 2000, 9, false, "Chain mail",
       "Heavy armor\rAC: 8\rWeight: 15.0\rOutfit: regular\rCondition: perfect\r\rStrongly enchantable", 600},
      {&kChain, 12000, 9, true, "Chain mail",
       "Heavy armor\rAC: 8\rWeight: 15.0\rOutfit: regular (50)\rCondition: 12K/2000\r\rStrongly enchantable", 2100},
      // No maximum condition: ratings unscaled, no condition line, value unscaled.
      {&kNoCondition, 37, 9, false, "Odd club",
       "Heavy weapon\rDamage: 4-8\rWeight: 5.0\rRequires evil alignment\rOutfit: regular\r\rUnenchantable", 30},
      {&kBlank, 0, 9, false, "Blank scroll", "Weight: 0.0\r\rModerately enchantable", 120},
      {&kCard, 0, 9, false, "'Knight' card", "Card\rWeight: 0.0\r", 12},
      {&kCoins, 0, 9, false, "Gold coins", "", 100},
      {&kBread, 0, 9, false, "Bread", "Comestible\rWeight: 0.3\r", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.type->display) + " " + std::to_string(c.count) + " mode " + std::to_string(c.mode));
    auto type = Make(*c.type);
    SItem item;
    item.type = type.get();
    item.count = c.count;
    hooks.mode = c.mode;
    SString name, text;
    type->GetDisplayName(rules, &item, name, false);
    type->Describe(rules, &item, text, c.detailed);
    EXPECT_STREQ(name.CStr(), c.name);
    EXPECT_STREQ(text.CStr(), c.text);
    EXPECT_EQ(type->GetValue(rules, &item), c.value);
  }
}

TEST_F(ItemRules, ConditionWithoutMaximumNeverDivides) {
  auto club = Make(kNoCondition);
  SItem item;
  item.type = club.get();
  item.count = 5;
  EXPECT_FALSE(club->IsBroken(item));
  EXPECT_EQ(club->ConditionPercent(item), 100u);
  EXPECT_EQ(club->GetScaledDamageMax(3), 8u);
  auto sword = Make(kSword);
  item.count = 99;
  EXPECT_TRUE(sword->IsBroken(item));
  EXPECT_EQ(sword->ConditionPercent(item), 9u);
  item.count = 100;
  EXPECT_FALSE(sword->IsBroken(item));
  item.count = 0xFFFF;  // above the maximum: whole, no more
  EXPECT_EQ(sword->ConditionPercent(item), 100u);
  item.count = 100;
  sword->SubtractCondition(item, 150);
  EXPECT_EQ(item.count, 0);
  sword->Repair(item);
  EXPECT_TRUE(sword->IsFullCondition(item));
}

TEST_F(ItemRules, MagicNames) {
  auto* fireball = new SSpell;
  fireball->name.Set("base_spellfireball");
  fireball->texts[0] = "Fireball";
  rules.spells.records.InsertByNameHash(fireball);
  auto blank = Make(kBlank);
  TypeDef emptyWandDef = kBlank;
  emptyWandDef.display = "Empty wand";
  emptyWandDef.subtype = 5;
  auto emptyWand = Make(emptyWandDef);
  TypeDef wandDef = kBlank;
  wandDef.display = "Lightning";
  wandDef.subtype = 4;
  auto wand = Make(wandDef);
  TypeDef potionDef = kBread;
  potionDef.display = "Healing";
  potionDef.itemClass = 8;
  auto potion = Make(potionDef);
  TypeDef bookDef = kBread;
  bookDef.display = "The way";
  bookDef.itemClass = 5;
  auto book = Make(bookDef);

  auto enchanted = [](SItemType* t, const char* spell) {
    auto item = std::make_unique<SItem>();
    item->type = t;
    if (spell) {
      item->enchantments = new SEffectList;
      item->enchantments->Add(MakeEffect(0, 5, 2, 0, spell));
    }
    return item;
  };
  struct Case {
    SItemType* type;
    const char* spell;
    const char* full;
    const char* shortName;
  } cases[] = {
      {blank.get(), nullptr, "Blank scroll", "Blank scroll"},
      {blank.get(), "base_spellfireball", "Scroll of Fireball", "Fireball"},
      {blank.get(), "base_nospell", "Scroll of Unknown", "Unknown"},
      {emptyWand.get(), "base_spellfireball", "Wand of Fireball", "Fireball"},
      {emptyWand.get(), "base_nospell", "Wand of Unknown", "Unknown"},
      {wand.get(), nullptr, "Wand of Lightning", "Lightning"},
      {potion.get(), nullptr, "Healing potion", "Healing potion"},
      {book.get(), nullptr, "'The way' book", "'The way' book"},
  };
  for (const Case& c : cases) {
    auto item = enchanted(c.type, c.spell);
    SString full, brief;
    c.type->GetDisplayName(rules, item.get(), full, false);
    c.type->GetDisplayName(rules, item.get(), brief, true);
    EXPECT_STREQ(full.CStr(), c.full);
    EXPECT_STREQ(brief.CStr(), c.shortName);
  }
  potion->flags = 1;
  SString homemade;
  potion->GetDisplayName(rules, nullptr, homemade, false);
  EXPECT_STREQ(homemade.CStr(), "Homemade Healing potion");
}

TEST_F(ItemRules, DamageRangeFollowsSkillsAndAttributes) {
  rules.player = &player;
  TypeDef heavyDef = kSword;
  heavyDef.flags = 0;
  auto heavy = Make(heavyDef);
  const i32 S = player.GetAttribute(1), D = player.GetAttribute(2);
  const i32 heavyBonus = D / 25 + S / 16;
  struct Case {
    u16 skill;
    u16 dual;
    bool second;
    i32 min, max;
  } cases[] = {
      {66, 0, false, 15, 30},  // grows by half
      {11, 0, false, 3, 6},    // a third
      {33, 0, false, 10, 20},
      {33, 66, true, 15, 30},  // the second hand applies Dual Wield after the bonus
  };
  for (const Case& c : cases) {
    player.skills[3] = c.skill;
    player.skills[4] = c.dual;
    i32 min = 0, max = 0;
    heavy->ComputeDamageRange(rules, min, max, 1000, c.second);
    if (c.second) {
      EXPECT_EQ(min, 10 + heavyBonus + 33 * (10 + heavyBonus) / 66);
      EXPECT_EQ(max, 20 + heavyBonus + 33 * (20 + heavyBonus) / 66);
    } else {
      EXPECT_EQ(min, c.min + heavyBonus) << c.skill;
      EXPECT_EQ(max, c.max + heavyBonus) << c.skill;
    }
  }
  // A bow: Accuracy first, then Light Weapon.
  TypeDef bowDef = kSword;
  bowDef.subtype = 9;
  auto bow = Make(bowDef);
  player.skills[7] = 66;
  player.skills[2] = 11;
  i32 min = 0, max = 0;
  bow->ComputeDamageRange(rules, min, max, 1000, false);
  const i32 lightBonus = S / 25 + D / 16;
  EXPECT_EQ(min, 15 * 11 / 33 + lightBonus);
  EXPECT_EQ(max, 30 * 11 / 33 + lightBonus);
  rules.player = nullptr;
}

TEST_F(ItemRules, EnchantKindsSkillsAndWords) {
  struct Case {
    u8 itemClass, subtype, flags;
    u32 kind, skill, second;
  } cases[] = {
      {1, 7, 0, 14, 3, 0}, {1, 8, 2, 15, 2, 7}, {1, 9, 2, 16, 2, 7}, {1, 12, 0, 3, 3, 7}, {1, 2, 0, 3, 3, 0},
      {2, 3, 0, 2, 6, 0},  {3, 7, 0, 2, 5, 0},  {4, 2, 0, 4, 0, 0},  {5, 1, 0, 13, 0, 0}, {7, 1, 0, 7, 0, 0},
      {8, 1, 0, 6, 0, 0},  {9, 1, 0, 11, 0, 0}, {9, 2, 0, 12, 0, 0}, {9, 5, 0, 10, 0, 0}, {14, 1, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SItemType t;
    t.itemClass = c.itemClass;
    t.subtype = c.subtype;
    t.flags = c.flags;
    u32 skill = 99, second = 99;
    t.GetGoverningSkills(skill, second);
    EXPECT_EQ(t.GetEnchantKind(), c.kind) << int(c.itemClass) << "/" << int(c.subtype);
    EXPECT_EQ(skill, c.skill) << int(c.itemClass) << "/" << int(c.subtype);
    EXPECT_EQ(second, c.second) << int(c.itemClass) << "/" << int(c.subtype);
  }
  EXPECT_STREQ(SItemType::OutfitWord(59), "regular");
  EXPECT_STREQ(SItemType::OutfitWord(60), "fashionable");
  EXPECT_STREQ(SItemType::OutfitWord(90), "swell");
  EXPECT_STREQ(SItemType::ConditionWord(9), "broken");
  EXPECT_STREQ(SItemType::ConditionWord(100), "perfect");
  EXPECT_STREQ(ItemSubtypeName(1, 0), "hand");
  EXPECT_STREQ(ItemSubtypeName(2, 9), "?");
  EXPECT_STREQ(ItemClassName(17), "?");
}

TEST_F(ItemRules, EffectsFollowTheirHeading) {
  TypeDef herbDef = kBread;
  herbDef.itemClass = 7;
  herbDef.weight = 10;
  auto herb = Make(herbDef);
  herb->enchantment = new SEffectList;
  herb->enchantment->worth = 3;
  herb->enchantment->Add(MakeEffect(3, 5, 4));
  SItem item;
  item.type = herb.get();
  // The instance's own list wins over the type's.
  SItem own;
  own.type = herb.get();
  own.enchantments = new SEffectList;
  own.enchantments->worth = 40;
  own.enchantments->Add(MakeEffect(26, 2, 4));
  for (i32 mode : {9, 5}) {
    hooks.mode = mode;
    for (SItem* it : {&item, &own}) {
      SString effects, text;
      it->Enchantment()->Describe(rules, kItemKindIngredient, 0, effects, mode == 5);
      ASSERT_FALSE(effects.IsEmpty());
      herb->Describe(rules, it, text, false);
      std::string expected = "Alchemy ingredient\rWeight: 0.1\r";
      expected +=
          mode == 5 ? std::string("\rEffects: ") + effects.CStr() : std::string("\rEffects:\r") + effects.CStr();
      EXPECT_EQ(text.CStr(), expected);
    }
  }
  EXPECT_EQ(herb->GetValue(rules, &item), 2u + 3u);
  EXPECT_EQ(herb->GetValue(rules, &own), 2u + 40u);
  EXPECT_EQ(herb->GetValue(rules, nullptr), 2u + 3u);
}

// The book line asks whether the player can learn the skill the book teaches: the skill is the entry's number.
TEST_F(ItemRules, BookLinesAskAboutTheTaughtSkill) {
  struct Checks : SItemPlayerChecks {
    bool read = false;
    u32 barredSkill = 0;
    bool CanReadScroll(const SItem&) const override { return true; }
    bool CanUseWand(const SItem&) const override { return true; }
    bool HasReadBook(const SItemType&) const override { return read; }
    bool CanLearnSkill(u32 skill) const override { return skill != barredSkill; }
  };
  TypeDef bookDef = kBread;
  bookDef.display = "Of blades";
  bookDef.itemClass = 5;
  auto book = Make(bookDef);
  book->enchantment = new SEffectList;
  book->enchantment->Add(MakeEffect(1, 5, 3, 3));
  SItem item;
  item.type = book.get();
  hooks.mode = 9;
  struct Case {
    bool read;
    u32 barredSkill;
    const char* last;
  } cases[] = {{false, 3, "You can't learn from this book."},
               {false, 2, "You haven't read this book yet."},
               {true, 3, "You have already read this book."}};
  for (const Case& c : cases) {
    Checks checks;
    checks.read = c.read;
    checks.barredSkill = c.barredSkill;
    SString text;
    book->Describe(rules, &item, text, false, &checks);
    EXPECT_STREQ(text.CStr(), (std::string("Weight: 0.3\r\rTeaches Heavy Weapon (+5)\r") + c.last).c_str());
  }
}
