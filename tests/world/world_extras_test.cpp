// Interiors, alchemy recipes and abilities.
#include "RulesFixture.h"

using WorldExtras = RulesFixture;

TEST_F(WorldExtras, InteriorsLoadAndReleaseTheirPictures) {
  for (u32 v : {111u, 112u}) {
    auto res = Spec("bres", u8(v));
    for (const char* n : {"bres_hall", "bres_counter"})
      res.images.push_back({n, imageenc::Encode(imageenc::Picture(4, 2, 0x777), 0)});
    Save(res, "Res");
    ASSERT_EQ(modules.OpenArchive("Res"), SArchiveResult::kOpened);
    SWorldRules data;
    auto* in = new SInterior;
    in->name.Set("base_inn");
    in->text = "The Sleeping Rat";
    in->pictures.Add(SInteriorPicture{"bres_hall", {1, 2, 3}});
    in->pictures.Add(SInteriorPicture{"bres_counter", {40, 60, 1}});
    in->pictures.Add(SInteriorPicture{"bres_gone", {0, 0, 0}});
    data.interiors.records.Add(in);
    auto spec = Spec("base", u8(v));
    spec.blocks[kBlockInteriors] = {Rec(v, [&](SStream& s) { data.interiors.SerializeBlock(s, v); })};
    ASSERT_EQ(OpenBase(spec), "");
    images.PublishIndexTables();
    SInterior* back = rules.interiors.FindByName("base_inn");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->text != nullptr, v >= 112) << v;
    ASSERT_EQ(back->pictures.Count(), 3u);
    EXPECT_EQ(back->pictures[1].values[1], 60);
    const u32 before = images.ImageMemory();
    back->LoadImages(images);
    back->LoadImages(images);  // once per visit
    EXPECT_TRUE(images.FindImage("bres_counter")->IsResident());
    EXPECT_GT(images.ImageMemory(), before);
    back->ReleaseImages(images);
    EXPECT_FALSE(images.FindImage("bres_hall")->IsResident());
    EXPECT_EQ(images.ImageMemory(), before);
    modules.Clear();
    images.Clear();
    images.Init();
    tables.ClearAll();
  }
}

namespace {
SAlchemyRecipe* Recipe(const char* name, std::vector<std::array<u8, 2>> needs, i16 base = 20, i16 perSkill = 40) {
  auto* r = new SAlchemyRecipe;
  r->name.Set(name);
  for (u32 i = 0; i < needs.size(); ++i) {
    r->kinds[i] = needs[i][0];
    r->subs[i] = needs[i][1];
  }
  r->potion = "base_potion";
  r->base = base;
  r->perSkill = perSkill;
  r->duration = 10;
  r->durationPerSkill = 20;
  return r;
}
}  // namespace

TEST_F(WorldExtras, AlchemyRecipesFromIngredients) {
  SWorldRules data;
  data.alchemy.records.Add(Recipe("base_twice", {{3, 0}, {3, 0}}));
  data.alchemy.records.Add(Recipe("base_mixed", {{15, 0}, {2, 4}}));
  auto spec = Spec("base");
  spec.blocks[kBlockAlchemy] = {Rec(114, [&](SStream& s) { data.alchemy.SerializeBlock(s, 114); })};
  ASSERT_EQ(OpenBase(spec), "");
  ASSERT_EQ(rules.alchemy.Count(), 2);

  SEffectList herb, root, empty;
  herb.Add(MakeEffect(3, 0, 4));
  herb.Add(MakeEffect(15, 0, 4));
  root.Add(MakeEffect(9, 0, 4));
  root.Add(MakeEffect(2, 0, 4, 4));
  struct Case {
    std::vector<const SEffectList*> ingredients;
    i32 skill;
    std::vector<std::pair<std::string, bool>> made;  // recipe, unknown
  } cases[] = {
      // the same effect kind twice needs two distinct entries
      {{&herb}, 100, {}},
      {{&herb, &herb}, 100, {{"base_twice", false}}},
      // the second requirement met by an ingredient's second entry: unknown below skill 30
      {{&herb, &root}, 29, {{"base_mixed", true}}},
      {{&herb, &root}, 30, {{"base_mixed", false}}},
      {{&root, &herb}, 30, {{"base_mixed", false}}},
      {{&empty, nullptr, &root}, 100, {}},
  };
  for (const Case& c : cases) {
    std::vector<SMakeableRecipe> out;
    rules.alchemy.ListMakeable(c.skill, c.ingredients.data(), u32(c.ingredients.size()), out);
    std::vector<std::pair<std::string, bool>> got;
    for (const SMakeableRecipe& m : out) got.push_back({m.recipe->name.Text(), m.unknown});
    EXPECT_EQ(got, c.made) << c.ingredients.size() << " ingredients, skill " << c.skill;
  }
  std::vector<SMakeableRecipe> out;
  const SEffectList* pair[] = {&root, &herb};
  rules.alchemy.ListMakeable(50, pair, 2, out);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].usedCount, 2);
  EXPECT_EQ(out[0].used[0], 1);  // the herb met the first requirement
  EXPECT_EQ(out[0].used[1], 0);
}

TEST_F(WorldExtras, PotionStrengthBySkill) {
  std::unique_ptr<SAlchemyRecipe> r(Recipe("base_r", {}, 20, 40));
  struct Case {
    u8 kind;
    i16 base, duration;
  } cases[] = {{15, 140, 20}, {5, 40, 20}, {3, 40, 0}, {4, 0, 0}, {31, 7, 9}};
  for (const Case& c : cases) {
    SEffectList potion;
    potion.Add(MakeEffect(c.kind, 7, 4, 0, nullptr, 0, 9));
    potion.Add(MakeEffect(3, 7, 4));
    r->ApplyToPotion(potion, 50);
    EXPECT_EQ(potion.Entry(0)->base, c.base) << int(c.kind);
    EXPECT_EQ(potion.Entry(0)->duration, c.duration) << int(c.kind);
    EXPECT_EQ(potion.Entry(1)->base, 7);  // only the first entry
  }
  SString text;
  SEffectList resist;
  resist.Add(MakeEffect(15, 0, 4, 0, nullptr, 0, 9));
  r->ApplyToPotion(resist, 50);
  resist.Entry(0)->Describe(rules, kItemKindPotion, 0, text, false, false);
  EXPECT_STREQ(text.CStr(), "Fortifies poison resistance by 40% for 20 turns");
}

TEST_F(WorldExtras, AbilitiesGrantAndDescribe) {
  auto* heal = new SSpell;
  heal->name.Set("base_heal");
  heal->school = 1;
  rules.spells.records.Add(heal);
  auto* drain = new SSpell;
  drain->name.Set("base_drain");
  drain->school = 5;
  rules.spells.records.Add(drain);
  SWorldRules data;
  auto* a = new SAbility;
  a->name.Set("base_ability");
  a->text = "Blood";
  a->effects.Add(MakeEffect(15, 150));
  a->effects.Add(MakeEffect(31, 0, 2, 0, "base_heal"));
  a->effects.Add(MakeEffect(31, 0, 2, 0, "base_drain"));
  a->effects.Add(MakeEffect(1, 5, 3, 9));
  data.abilities.records.Add(a);
  auto spec = Spec("base");
  spec.blocks[kBlockAbilities] = {Rec(114, [&](SStream& s) { data.abilities.SerializeBlock(s, 114); })};
  ASSERT_EQ(OpenBase(spec), "");
  SAbility* back = rules.abilities.FindByName("base_ability");
  ASSERT_NE(back, nullptr);

  player.race = 1;  // undead: learns the undead spell, not the heal spell
  back->GrantToPlayer(rules);
  EXPECT_FALSE(player.KnowsSpell("base_heal"));
  EXPECT_TRUE(player.KnowsSpell("base_drain"));
  EXPECT_EQ(player.SumEffects(7, 0, nullptr, nullptr), 50);
  EXPECT_EQ(player.effects[7][0]->sourceType, kSourceAbility);
  back->GrantToPlayer(rules);  // nothing twice
  EXPECT_EQ(player.knownSpells[5].Count(), 1);
  EXPECT_EQ(player.effects[7].Count(), 1);
  player.race = 2;
  player.abilities.Add(back);
  player.RecalculateAbilities();
  EXPECT_TRUE(player.KnowsSpell("base_heal"));
  EXPECT_EQ(player.effects[7].Count(), 1);
  player.abilities.Clear();

  SString text;
  // The plain wording on every screen: only the race picker's range is shortened.
  for (i32 mode : {9, 6, 5}) {
    hooks.mode = mode;
    back->DescribeAll(rules, text);
    EXPECT_STREQ(text.CStr(), "+50% Poison resistance\rbase_heal\rbase_drain\r+5 Protection Magic") << mode;
  }
  hooks.mode = 6;  // compact: short forms
  back->DescribeRange(rules, text, 0, 1);
  EXPECT_STREQ(text.CStr(), "+50% Poison res.");
  hooks.mode = 5;  // the shortest forms
  back->DescribeRange(rules, text, 1, 9);
  EXPECT_STREQ(text.CStr(), "base_heal spell\rbase_drain spell\r+5 Prot. Magic");
}
