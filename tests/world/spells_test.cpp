// Spells and spell effects: the records at old and new versions through the base loader, schools and
// their skills, mana costs for the player, damage to monsters, and frame resolution.
#include "RulesFixture.h"

#include "graphics/SImage.h"

namespace {
class Spells : public RulesFixture {
 protected:
  // A spell block: the header and one record per spell.
  std::vector<worldbuild::Bytes> SpellBlock(u32 v, std::vector<SSpell*> spells) {
    std::vector<worldbuild::Bytes> block{Rec(v, [&](SStream& s) {
      u16 n = u16(spells.size());
      rules.spells.SerializeHeader(s, n);
    })};
    for (SSpell* sp : spells) {
      block.push_back(Rec(v, [&](SStream& s) { sp->Serialize(s, v); }));
      delete sp;
    }
    return block;
  }
  static SSpell* Spell(const char* name, u8 school, u16 cost, u16 perSkill) {
    auto* s = new SSpell;
    s->name.Set(name);
    s->school = school;
    s->baseCost = cost;
    s->costPerSkill = perSkill;
    return s;
  }
};
}  // namespace

TEST_F(Spells, RecordsAtEachVersion) {
  for (u32 v : {26u, 27u, 50u, 51u, 52u, 114u}) {
    SSpell* s = Spell("base_spellx", 4, 7, 20);
    const char* texts[9] = {"t1", "t2", "t3", "t4", "t5", "t6", "t7", "t8", "t9"};
    for (u32 i = 0; i < 9; ++i) s->texts[i] = texts[i];
    s->enchantValue = 33;
    s->effects.Add(MakeEffect(27, 0, 4, 0, nullptr, 0, 10, 20));
    auto spec = Spec("base", u8(v));
    spec.blocks[kBlockSpells] = SpellBlock(v, {s, Spell("base_spelly", 1, 1, 1)});
    ASSERT_EQ(OpenBase(spec), "") << v;
    SSpell* back = rules.spells.FindByName("base_spellx");
    ASSERT_NE(back, nullptr) << v;
    EXPECT_STREQ(back->texts[3], "t4");  // text 5 is stored before text 4
    EXPECT_STREQ(back->texts[4], "t5");
    EXPECT_STREQ(back->texts[5], "t6");
    EXPECT_EQ(back->texts[6] != nullptr, v >= 27) << v;
    EXPECT_EQ(back->texts[8] != nullptr, v >= 52) << v;
    EXPECT_EQ(back->enchantValue, 33);
    EXPECT_EQ(back->CostAtLevel(50), 17u);
    ASSERT_EQ(back->effects.Count(), 1);
    EXPECT_EQ(back->effects.Entry(0)->durationPerLevel, 20);
    EXPECT_EQ(rules.spells.Count(), 2);
    EXPECT_EQ(rules.spells.rawRecords.Count(), 2);  // the header is not kept
    modules.Clear();
    rules.spells.Clear();
  }
}

TEST_F(Spells, ObsoleteBlockIsSteppedOverBelowVersion51) {
  const u32 v = 50;
  worldbuild::Bytes record = Rec(v, [](SStream& s) {
    s.SerializeMarker(4);
    for (const char* t : {"base_spellold", "a", "b", "c", "d", "e", "f", "g", "h"}) s.SerializeString(t);
    const u8 junk[5] = {1, 2, 3, 4, 5};
    const u8* p = junk;
    u16 n = 5;
    s.SerializeSizedBlock(p, n);
    u16 value = 9, cost = 11, per = 0, count = 0;
    s.SerializeU16(value);
    s.SerializeU16(cost);
    s.SerializeU16(per);
    s.SerializeU16(count);
    u8 school = 6;
    s.SerializeByte(school);
  });
  auto spec = Spec("base", u8(v));
  spec.blocks[kBlockSpells] = {Rec(v,
                                   [](SStream& s) {
                                     u16 n = 1;
                                     s.SerializeMarker(3);
                                     s.SerializeU16(n);
                                   }),
                               record};
  ASSERT_EQ(OpenBase(spec), "");
  SSpell* back = rules.spells.FindByName("base_spellold");
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->enchantValue, 9);
  EXPECT_EQ(back->baseCost, 11);
  EXPECT_EQ(back->school, 6);
}

TEST_F(Spells, ShortOrMissingRecordsFailTheArchive) {
  auto spec = Spec("base");
  spec.blocks[kBlockSpells] = SpellBlock(114, {Spell("base_a", 1, 1, 1), Spell("base_b", 1, 1, 1)});
  worldbuild::Bytes whole = spec.blocks[kBlockSpells][2];
  spec.blocks[kBlockSpells][2].resize(whole.size() - 3);
  EXPECT_NE(OpenBase(spec), "");
  // A header that promises more spells than follow runs into the next block's records, which do not read
  // as spells.
  spec.blocks[kBlockSpells][2] = whole;
  spec.blocks[kBlockSpells][0][2] = 40;
  EXPECT_NE(OpenBase(spec), "");
}

TEST_F(Spells, SchoolsAndTheirSkills) {
  EXPECT_STREQ(rules.spells.SchoolName(1), "Heal spells");
  EXPECT_STREQ(rules.spells.SchoolName(7), "Magic items");
  EXPECT_STREQ(rules.spells.SchoolName(0), "?");
  EXPECT_STREQ(rules.spells.SchoolName(8), "?");
  const u32 expected[] = {0, 8, 9, 10, 11, 12, 13, 0, 0, 0};
  for (u8 school = 0; school < 10; ++school) {
    SSpell s;
    s.school = school;
    EXPECT_EQ(rules.spells.SchoolSkill(&s), expected[school]) << int(school);
  }
  SSpell wild;
  wild.school = 255;  // a data byte far outside the table reads no skill
  EXPECT_EQ(rules.spells.SchoolSkill(&wild), 0u);
  EXPECT_EQ(rules.spells.SchoolSkill(nullptr), 0u);
}

TEST_F(Spells, ManaCostForThePlayer) {
  struct Case {
    u8 school;
    u32 race;
    u16 skill;
    i16 fortify;
    u32 cost;
  } cases[] = {
      {3, 2, 50, 0, 10 + 20 * 50 / 100},
      {3, 2, 50, 25, 10 + 20 * 75 / 100},
      {3, 2, 49, 0, 10 + 9},  // truncated
      {7, 2, 80, 0, 10},      // magic items have no skill
      {1, 1, 80, 0, 10},      // heal magic is barred for the undead race
      {1, 2, 80, 0, 26},
      {5, 2, 80, 0, 10},  // undead magic is barred for the living
      {5, 1, 80, 0, 26},
      {9, 2, 80, 0, 10},   // a school outside 1..7
      {3, 2, 0, -200, 0},  // a weakened skill makes it cheaper, never negative
  };
  for (const Case& c : cases) {
    SSpell s;
    s.school = c.school;
    s.baseCost = 10;
    s.costPerSkill = 20;
    player.race = c.race;
    player.ClearEffects();
    const u32 skill = rules.spells.SchoolSkill(&s);
    for (u16& k : player.skills) k = c.skill;
    if (c.fortify) player.AddEffect(kSourceSpell, nullptr, c.fortify, 5, 1, skill, nullptr);
    EXPECT_EQ(s.GetManaCost(rules), c.cost) << int(c.school) << " race " << c.race;
  }
}

TEST_F(Spells, HarmfulGradedAndFlaggedEffects) {
  SSpell* harm = Spell("base_harm", 3, 1, 1);
  harm->effects.Add(MakeEffect(46, 0, 4));
  harm->effects.Add(MakeEffect(53, 0, 4));
  rules.spells.records.InsertByNameHash(harm);
  SSpell* mark = Spell("base_mark", 6, 1, 1);
  mark->effects.Add(MakeEffect(46, 0, 4));
  mark->effects.Add(MakeEffect(49, 0, 4));
  rules.spells.records.InsertByNameHash(mark);
  EXPECT_TRUE(rules.spells.IsHarmfulSpell("base_harm"));
  EXPECT_FALSE(rules.spells.IsHarmfulSpell("base_mark"));
  EXPECT_FALSE(rules.spells.IsHarmfulSpell("base_none"));
  EXPECT_TRUE(harm->HasGradedEffect());
  EXPECT_FALSE(mark->HasGradedEffect());
  EXPECT_TRUE(mark->PreventsWandRecharge());
  EXPECT_FALSE(harm->PreventsWandRecharge());
  EXPECT_FALSE(harm->HasFlaggedEffect());
  harm->effects.Entry(1)->radius = 1;
  EXPECT_TRUE(harm->HasFlaggedEffect());
}

TEST_F(Spells, DamageToMonsters) {
  struct Case {
    u8 kind;
    i16 base;
    u8 sub;
    const char* name;
    u32 monsterKind;
    i32 hp, resistance;
    bool target;
    i32 damage;
  } cases[] = {
      {3, 100, 0, nullptr, 3, 40, 0, true, 100},   {4, 0, 0, nullptr, 3, 40, 0, true, 39},
      {4, 0, 0, nullptr, 1, 40, 0, true, 0},       {5, 100, 0, nullptr, 3, 40, 0, true, 39},
      {8, 10, 0, nullptr, 1, 40, 0, true, 10},     {6, 10, 0, nullptr, 3, 40, 0, true, 0},
      {23, 12, 0, "bres_rat", 2, 40, 0, true, 12}, {23, 12, 0, "bres_cat", 2, 40, 0, true, 0},
      {24, 12, 2, nullptr, 2, 40, 0, true, 12},    {24, 12, 3, nullptr, 2, 40, 0, true, 0},
      {25, 25, 0, nullptr, 1, 40, 50, true, 13},   {25, 25, 0, nullptr, 1, 40, -100, true, 50},
      {26, 7, 0, nullptr, 0, 0, 0, false, 7},      {3, 100, 0, nullptr, 0, 0, 0, false, 0},
      {41, 50, 0, nullptr, 1, 40, 0, true, 0},
  };
  for (const Case& c : cases) {
    SSpell s;
    s.effects.Add(MakeEffect(c.kind, c.base, 4, c.sub, c.name));
    SSpell::Target t;
    t.monsterKind = c.monsterKind;
    t.hp = c.hp;
    t.magicResistance = c.resistance;
    t.baseTypeName = "bres_rat";
    EXPECT_EQ(s.ComputeMonsterDamage(0, c.target ? &t : nullptr), c.damage) << "kind " << int(c.kind);
  }
  SSpell none;
  SSpell::Target t;
  EXPECT_EQ(none.ComputeMonsterDamage(10, &t), 0);
  SSpell graded;
  graded.effects.Add(MakeEffect(25, 10, 4, 0, nullptr, 50));
  EXPECT_EQ(graded.ComputeMonsterDamage(30, nullptr), 25);
}

TEST_F(Spells, SpellEffectsFramesAndPalettes) {
  for (u32 v : {25u, 26u, 108u, 109u}) {
    auto res = Spec("bres", u8(v));
    for (const char* n : {"bres_fire1", "bres_fire2"}) {
      imageenc::Picture p(4, 4, 0x1234);
      res.images.push_back({n, imageenc::Encode(p, 0)});
    }
    res.palettes.push_back({"bres_pal", std::vector<u16>(256, 7)});
    Save(res, "Res");
    ASSERT_EQ(modules.OpenArchive("Res"), SArchiveResult::kOpened) << modules.LastError();
    auto* fx = new SSpellEffect;
    fx->name.Set("base_fx");
    fx->kind = 3;
    fx->frameNames.SetOwns(false);
    for (const char* f : {"bres_fire2", "bres_missing", "bres_fire1"}) fx->frameNames.Add(const_cast<char*>(f));
    fx->palettes.AddText("bres_pal");
    rules.spellEffects.records.Add(fx);
    auto spec = Spec("base", u8(v));
    spec.blocks[kBlockSpellEffects] = {Rec(v, [&](SStream& s) { rules.spellEffects.SerializeBlock(s, v); })};
    rules.spellEffects.Clear();
    ASSERT_EQ(OpenBase(spec), "") << v;
    SSpellEffect* back = rules.spellEffects.FindByName("base_fx");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->kind, 3);
    ASSERT_EQ(back->frameNames.Count(), 3);
    EXPECT_EQ(back->palettes.Count(), 1);
    // The loading phases load the frames before their numbers are resolved: they are loaded by name.
    back->LoadFrames(images);
    EXPECT_TRUE(images.FindImage("bres_fire1")->IsResident());
    EXPECT_TRUE(images.FindImage("bres_fire2")->IsResident());
    EXPECT_TRUE(images.FindPalette("bres_pal")->IsResident());
    images.PublishIndexTables();
    rules.spellEffects.ResolveNames(images, images.ImageFlags());
    ASSERT_EQ(back->frames.Count(), 3u);
    EXPECT_EQ(back->frames[0], images.FindImageIndex("bres_fire2"));
    EXPECT_EQ(back->frames[1], 0u);  // a missing frame names no image
    modules.Clear();
    images.Clear();
    images.Init();
    rules.spellEffects.Clear();
  }
}
