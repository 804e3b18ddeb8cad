// Effect entries and lists: texts and enchanting costs by context, list rules, the archive and saved forms.
#include "RulesFixture.h"

namespace {
class Effects : public RulesFixture {
 protected:
  Effects() {
    auto* spell = new SSpell;
    spell->name.Set("base_spellfireball");
    spell->texts[0] = "Fireball";
    spell->enchantValue = 100;
    spell->effects.Add(MakeEffect(25, 20, 4));
    rules.spells.records.InsertByNameHash(spell);
    auto* quiet = new SSpell;  // only ungraded effects
    quiet->name.Set("base_spellmark");
    quiet->texts[0] = "Mark";
    quiet->enchantValue = 100;
    quiet->effects.Add(MakeEffect(46, 0, 4));
    rules.spells.records.InsertByNameHash(quiet);
    auto* disease = new SDisease;
    disease->name.Set("base_disease_rot");
    disease->strength = 3;
    rules.diseases.records.InsertByNameHash(disease);
    hooks.baseTypes.insert("bres_rat");
  }
  std::string Text(const SEffect& e, u32 context, i32 level = 0, bool shortForm = false, bool shortest = false) {
    SString s;
    e.Describe(rules, context, level, s, shortForm, shortest);
    return s.CStr() ? s.CStr() : "";
  }
};

struct TextCase {
  u8 kind;
  i16 base;
  u8 sub;
  const char* name;
  i16 perLevel, duration, durationPerLevel;
  u8 radius;
  u32 context;
  i32 level;
  bool shortForm, shortest;
  const char* expected;
};
}  // namespace

TEST_F(Effects, TextsByContext) {
  const TextCase cases[] = {
      // worn items: signed values, the offset form of percentages, named skills and attributes
      {1, 5, 20, nullptr, 0, 0, 0, 0, 2, 0, false, false, "+5 Stealth"},
      {1, 5, 9, nullptr, 0, 0, 0, 0, 8, 0, true, false, "+5 Prot. Magic"},
      {1, 5, 3, nullptr, 0, 0, 0, 0, 8, 0, false, true, "+5 Heavy W"},
      {1, 3, 18, nullptr, 0, 0, 0, 0, 13, 0, false, false, "Teaches Lockpick (+3)"},
      {2, -2, 1, nullptr, 0, 0, 0, 0, 4, 0, false, false, "-2 Strength"},
      {2, 4, 9, nullptr, 0, 0, 0, 0, 4, 0, false, false, ""},  // no attribute 9
      {15, 150, 0, nullptr, 0, 0, 0, 0, 2, 0, false, false, "+50% Poison resistance"},
      {15, 150, 0, nullptr, 0, 0, 0, 0, 2, 0, true, false, "+50% Poison res."},
      {22, -130, 0, nullptr, 0, 0, 0, 0, 9, 0, false, false, "-30% Magic resistance"},
      {17, 120, 0, "base_disease_rot", 0, 0, 0, 0, 3, 0, false, false, "+20% base_disease_rot resistance"},
      {17, 120, 0, "base_disease_none", 0, 0, 0, 0, 3, 0, false, false, ""},
      {58, 4, 0, nullptr, 0, 0, 0, 0, 16, 0, false, false, "+4 outfit pts"},
      {20, 10, 0, nullptr, 0, 0, 0, 0, 3, 0, false, false, ""},  // feather only on contexts 2 and 4
      // spells at a caster level: magnitudes and durations grow per 100 levels
      {1, 5, 2, nullptr, 50, 10, 100, 0, 5, 20, false, false, "Fortifies Light Weapon by 15, for 30 turns"},
      {2, -5, 3, nullptr, 0, 1, 0, 0, 5, 0, false, false, "Weakens Endurance by 5, for 1 turn"},
      {11, 5, 0, nullptr, 0, 10, 0, 0, 5, 0, false, false, "Fortfies AC by 5, for 10 turns"},
      {4, 0, 0, nullptr, 0, 0, 0, 0, 5, 0, false, false, "Restoress full health"},
      {15, 20, 0, nullptr, 0, 5, 0, 0, 5, 0, false, false, "Fortifies poison resistance by 20%, for 5 turns."},
      {25, 20, 0, nullptr, 40, 0, 0, 2, 5, 50, false, false, "Applies 40 damage, in 2 radius"},
      {24, 10, 3, nullptr, 0, 0, 0, 0, 5, 0, false, false, "Damages undead by 10"},
      {20, -7, 0, nullptr, 0, 3, 0, 0, 5, 0, false, false, "Burdens encumbrances by 7 pts, for 3 turns"},
      {44, 1, 0, nullptr, 0, 0, 0, 0, 5, 0, false, false, "Disarms traps by 1 pt"},
      {49, 0, 0, nullptr, 0, 0, 0, 0, 5, 40, false, false, "Recharges a wand up to 120 storage."},
      {32, 0, 0, "base_disease_rot", 0, 0, 0, 1, 5, 0, false, false, "Infects base_disease_rot disease, in 1 radius"},
      // potions and ingredients
      {2, 5, 4, nullptr, 0, 10, 0, 0, 6, 0, false, false, "Fortifies Intelligence by 5 for 10 turns"},
      {15, 140, 0, nullptr, 0, 30, 0, 0, 6, 0, false, false, "Fortifies poison resistance by 40% for 30 turns"},
      {57, 130, 0, nullptr, 0, 0, 0, 0, 6, 0, false, false, "Alcoholic 30%"},
      {56, 1, 2, nullptr, 0, 0, 0, 0, 6, 0, false, false, "Permanently fortifies Dexterity by +1"},
      {3, 0, 0, nullptr, 0, 0, 0, 0, 7, 0, false, false, "Restore health"},
      {2, 0, 5, nullptr, 0, 0, 0, 0, 7, 0, false, false, "Fortify Personality"},
      // weapons, monsters and wands
      {23, 20, 0, "bres_rat", 0, 0, 0, 0, 3, 0, false, false, "+20 damage to bres_rat"},
      {23, 150, 0, "bres_rat", 0, 0, 0, 0, 15, 0, false, false, "+50% damage to bres_rat"},
      {26, 5, 0, nullptr, 0, 0, 0, 0, 1, 0, false, false, "Poisons opponents"},
      {32, 125, 0, "base_disease_rot", 0, 0, 0, 0, 1, 0, false, false,
       "Infects base_disease_rot disease at 25% chance"},
      {31, 5, 0, "base_spellfireball", 0, 0, 0, 0, 10, 5, false, false, "Casts Fireball (5 charges)"},
      {31, 5, 0, "base_spellfireball", 30, 0, 0, 0, 10, 2, false, false,
       "Casts Fireball at skill level 30 (2 out of 5 charges)"},
      {31, 1, 0, "base_spellfireball", 30, 0, 0, 0, 10, 0, true, false, "Fireball (skill: 30) (0/1 charge)"},
      {31, 0, 0, "base_spellfireball", 40, 0, 0, 0, 11, 0, false, true, "Fireball (sk: 40)"},
      {31, 0, 0, "base_spellfireball", 0, 0, 0, 0, 12, 0, false, false, "Teaches Fireball"},
      {31, 0, 0, "base_spellnone", 0, 0, 0, 0, 12, 0, false, false, ""},
      {34, 125, 0, "base_spellfireball", 0, 0, 0, 0, 1, 0, false, false, "resist Fireball +25%"},
      {37, 10, 0, nullptr, 0, 0, 0, 0, 5, 0, false, false, ""},
      {59, 10, 0, nullptr, 0, 0, 0, 0, 5, 0, false, false, ""},
  };
  for (const TextCase& c : cases) {
    std::unique_ptr<SEffect> e(
        MakeEffect(c.kind, c.base, 3, c.sub, c.name, c.perLevel, c.duration, c.durationPerLevel, c.radius));
    EXPECT_EQ(Text(*e, c.context, c.level, c.shortForm, c.shortest), c.expected)
        << "kind " << int(c.kind) << " context " << c.context;
  }
}

TEST_F(Effects, EnchantingStorageAndPrice) {
  struct Case {
    u8 kind;
    i16 base;
    u8 radius;
    const char* name;
    i16 perLevel;
    u32 itemKind;
    i32 storage, price;
  } cases[] = {
      {15, 150, 0, nullptr, 0, 2, 500, 5000},
      {25, 20, 2, nullptr, 0, 3, 2250, 4120 * 5},
      {25, 20, 2, nullptr, 0, 15, 2250, 4120 * 5 / 2},  // missiles halve the price
      {3, 20, 0, nullptr, 0, 6, 50, 100 * 2 / 3},       // potions take two thirds
      {1, 5, 0, nullptr, 0, 2, 75, 500},
      {17, 120, 0, "base_disease_rot", 0, 2, 15 * 6, 200 * 6},  // strength 3 x 20 / 10
      {17, 120, 0, "base_disease_none", 0, 2, 0, 0},
      {23, 20, 0, "bres_rat", 0, 3, 100 * 1 + 120 + 50, (23 * 20 + 50) * 4},
      {23, 20, 0, "bres_nothing", 0, 3, 0, 0},
      {31, 2, 0, "base_spellfireball", 0, 8, 40, 100},
      {31, 2, 0, "base_spellfireball", 40, 10, 40 * 40 / 20, 100 * 40 / 20 * 2 / 3},
      {31, 2, 0, "base_spellmark", 40, 10, 40, 100 * 2 / 3},  // no graded effect: the skill does not count
      {31, 2, 0, "base_spellfireball", 0, 12, 40, 400},
      {28, 0, 1, nullptr, 0, 1, 400 * 5, 4000 * 5},
      {56, -3, 0, nullptr, 0, 6, 18, 45 * 2 / 3},
      {37, 50, 0, nullptr, 0, 5, 0, 0},
  };
  for (const Case& c : cases) {
    std::unique_ptr<SEffect> e(MakeEffect(c.kind, c.base, 3, 0, c.name, c.perLevel, 0, 0, c.radius));
    i32 storage = -1, price = -1;
    e->GetEnchantCost(rules, c.itemKind, storage, price);
    EXPECT_EQ(storage, c.storage) << "kind " << int(c.kind) << " item kind " << c.itemKind;
    EXPECT_EQ(price, c.price) << "kind " << int(c.kind) << " item kind " << c.itemKind;
  }
  // A list sums its entries, and ingredients are worth nothing.
  SEffectList list;
  list.Add(MakeEffect(15, 150));
  list.Add(MakeEffect(1, 5));
  i32 storage = 0, price = 0;
  list.GetEnchantCost(rules, 2, storage, price);
  EXPECT_EQ(storage, 575);
  EXPECT_EQ(price, 5500);
  list.GetEnchantCost(rules, kItemKindIngredient, storage, price);
  EXPECT_EQ(storage, 0);
  EXPECT_EQ(price, 0);
  // A wand's charge value: the first entry's wand price per point of its base, times the charges.
  SEffectList wand;
  wand.Add(MakeEffect(31, 5, 2, 0, "base_spellfireball"));
  EXPECT_EQ(wand.ChargeValue(rules, 3), (250 * 2 / 3) * 3 / 5);
  EXPECT_EQ(SEffectList().ChargeValue(rules, 3), 0);
}

TEST_F(Effects, EqualityMatchingAndListRules) {
  std::unique_ptr<SEffect> a(MakeEffect(17, 110, 3, 0, "base_disease_rot")), b(a->Copy());
  EXPECT_TRUE(a->Equals(*b));
  b->SetName(nullptr);
  EXPECT_FALSE(a->Equals(*b));
  a->SetName(nullptr);
  EXPECT_TRUE(a->Equals(*b));  // two null names are equal
  b->radius = 1;
  EXPECT_FALSE(a->Equals(*b));

  std::unique_ptr<SEffect> skill(MakeEffect(1, 5, 3, 7)), named(MakeEffect(17, 110, 3, 0, "x"));
  EXPECT_TRUE(skill->Matches(1, 7, nullptr));
  EXPECT_FALSE(skill->Matches(1, 8, nullptr));
  EXPECT_TRUE(named->Matches(17, 99, "x"));
  EXPECT_FALSE(named->Matches(17, 0, "y"));
  EXPECT_FALSE(named->Matches(17, 0, nullptr));

  SEffect fresh(6);
  EXPECT_EQ(fresh.mode, 4);
  EXPECT_EQ(fresh.kind, 3);
  SEffect onWand(11);
  EXPECT_EQ(onWand.mode, 2);
  EXPECT_EQ(onWand.kind, 1);

  SEffectList list;
  list.worth = 77;
  list.Add(MakeEffect(56, 1, 4, 2));
  list.Add(MakeEffect(31, 1, 2, 0, "base_spellfireball"));
  std::unique_ptr<SEffectList> copy(list.Clone());
  ASSERT_NE(copy, nullptr);
  EXPECT_TRUE(list.Equals(copy.get()));
  EXPECT_EQ(copy->worth, 77u);
  EXPECT_NE(copy->Entry(1)->name, list.Entry(1)->name);  // deep copies
  EXPECT_FALSE(list.Equals(nullptr));
  copy->Remove(copy->Entry(0));
  EXPECT_FALSE(list.Equals(copy.get()));
  EXPECT_TRUE(list.HasPermanentAttribute());
  EXPECT_FALSE(copy->HasPermanentAttribute());
  EXPECT_FALSE(list.HasHealSpell(rules));
  rules.spells.FindByName("base_spellfireball")->school = 1;
  EXPECT_TRUE(list.HasHealSpell(rules));
  EXPECT_FALSE(list.HasUndeadSpell(rules));
}

TEST_F(Effects, ListTextsAndIngredientKnowledge) {
  SEffectList list;
  list.Add(MakeEffect(3, 0));
  list.Add(MakeEffect(9, 0));
  list.Add(MakeEffect(57, 0));
  list.Add(MakeEffect(19, 0));
  SString text;
  list.Describe(rules, kItemKindIngredient, 0, text, true);
  EXPECT_STREQ(text.CStr(), "Restore health, Unknown effect, Unknown effect");  // four entries show three
  player.skills[kSkillAlchemy] = 25;
  player.AddEffect(kSourceItem, nullptr, 5, 0, 1, kSkillAlchemy, nullptr);  // fortified to 30
  list.Describe(rules, kItemKindIngredient, 0, text, false);
  EXPECT_STREQ(text.CStr(), "Restore health\rRestore mana\rUnknown effect");
  player.skills[kSkillAlchemy] = 55;
  list.Describe(rules, kItemKindIngredient, 0, text, true);
  EXPECT_STREQ(text.CStr(), "Restore health, Restore mana, Alcoholic");
  list.Describe(rules, kItemKindPotion, 0, text, true);
  EXPECT_STREQ(text.CStr(), "Heals 0 hp, Restores 0 mana, Alcoholic 100%, Dispels magic effects");
}

TEST_F(Effects, ArchiveSavedAndEnchantmentForms) {
  auto list = std::make_unique<SEffectList>();
  list->worth = 1234;
  list->Add(MakeEffect(25, -3, 1, 2, "base_x", 4, 5, 6, 7));
  for (u32 v : {24u, 25u, 83u, 84u}) {
    worldbuild::Bytes bytes = Rec(v, [&](SStream& s) { list->SerializeEnchantment(s, v); });
    SStream s(v);
    s.OpenForRead(bytes.data(), u32(bytes.size()));
    SEffectList back;
    ASSERT_TRUE(back.SerializeEnchantment(s, v)) << v;
    EXPECT_EQ(s.Remaining(), 0u) << v;
    EXPECT_EQ(back.worth, 1234u);
    ASSERT_EQ(back.Count(), 1);
    EXPECT_STREQ(back.Entry(0)->name, "base_x");
    EXPECT_EQ(back.Entry(0)->radius, v >= 25 ? 7 : 0) << v;
    EXPECT_EQ(bytes.size(), (v < 84 ? 32u : 30u) - (v < 25 ? 1u : 0u)) << v;
  }
  worldbuild::Bytes saved = Rec(114, [&](SStream& s) { list->SerializeSaved(s); });
  EXPECT_EQ(saved[6], 'b');  // no tag before the name
  SStream s(114);
  s.OpenForRead(saved.data(), u32(saved.size()));
  SEffectList back;
  ASSERT_TRUE(back.SerializeSaved(s));
  EXPECT_TRUE(back.Equals(list.get()));
  EXPECT_EQ(back.worth, 1234u);
  // A count past the data fails the read.
  saved[4] = 9;
  SStream bad(114);
  bad.OpenForRead(saved.data(), u32(saved.size()));
  SEffectList short_;
  EXPECT_FALSE(short_.SerializeSaved(bad));
}

TEST(EffectTable, NamesAllowedKindsAndModes) {
  SEffectTable t;
  EXPECT_STREQ(t.KindName(0), "");
  EXPECT_STREQ(t.KindName(1), "Fortify skill");
  EXPECT_STREQ(t.KindName(58), "Fortify outfit");
  EXPECT_EQ(t.KindName(59), nullptr);
  EXPECT_EQ(t.Allowed(0)[0], 0);
  EXPECT_EQ(t.Allowed(6)[8], 55);
  EXPECT_EQ(t.AllowedMode(1, 26), 1);
  EXPECT_EQ(t.AllowedMode(1, 31), 2);
  EXPECT_EQ(t.AllowedMode(8, 31), 2);
  EXPECT_EQ(t.AllowedMode(14, 32), 1);
  EXPECT_EQ(t.AllowedMode(5, 53), 4);
  EXPECT_EQ(t.AllowedMode(2, 26), 0);  // not allowed
  EXPECT_EQ(t.AllowedMode(40, 1), 0);
  u32 n = 0;
  while (t.Allowed(5)[n]) ++n;
  EXPECT_EQ(n, 43u);
}
