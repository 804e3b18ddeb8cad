// Attributes, skills, races and classes: the code-made rows, lookups, and the data's override blocks.
#include "RulesFixture.h"

using CharacterTables = RulesFixture;

TEST(CodeMadeRows, LookupsAndCosts) {
  SSkillTable skills;
  EXPECT_EQ(skills.FindByName("base_stealth"), 20u);
  EXPECT_EQ(skills.FindByName("heavy weapon"), 3u);  // the full name, case ignored
  EXPECT_EQ(skills.FindByName("Heavy Weap"), 0u);    // the medium name is not compared
  EXPECT_EQ(skills.FindByName("BASE_STEALTH"), 0u);  // the id is exact
  EXPECT_EQ(skills.FindByName(nullptr), 0u);
  EXPECT_EQ(skills.Attribute(6), 3u);
  EXPECT_EQ(skills.Attribute(21), 0u);
  EXPECT_STREQ(skills.MediumName(9), "Prot. Magic");
  const std::pair<u32, u32> costs[] = {{0, 50}, {15, 150}, {95, 2500}, {99, 2900}, {100, 3000}, {250, 3000}};
  for (auto [level, cost] : costs) EXPECT_EQ(skills.LevelCost(level), cost) << level;

  SAttributeTable attributes;
  EXPECT_EQ(attributes.FindByKey("dex"), 2u);
  EXPECT_EQ(attributes.FindByKey("base_dexterity"), 2u);
  EXPECT_EQ(attributes.FindByKey("PERSONALITY"), 5u);
  EXPECT_EQ(attributes.FindByKey("dexter"), 0u);
  EXPECT_EQ(attributes.Name(0), nullptr);
  EXPECT_EQ(attributes.Name(6), nullptr);

  SRaceTable races;
  EXPECT_STREQ(races.rows[1].name.CStr(), "Rasvim");
  EXPECT_STREQ(races.rows[6].name.CStr(), "");
  EXPECT_EQ(races.AbilityName(2), nullptr);
  EXPECT_EQ(races.Row(7), nullptr);
  EXPECT_EQ(BarredSkill(1), 8u);
  EXPECT_EQ(BarredSkill(4), 12u);

  SClassTable classes;
  EXPECT_EQ(classes.Row(0), nullptr);
  EXPECT_STREQ(classes.Row(4)->name, "Battlemage");
  EXPECT_EQ(classes.Row(6)->skills[5], 17);
  EXPECT_EQ(classes.Row(6)->flag, 1u);
}

TEST_F(CharacterTables, OverrideBlocksAtEachVersion) {
  for (u32 v : {51u, 52u, 73u, 74u, 83u, 86u, 109u, 110u, 114u}) {
    SWorldRules data;
    data.skills.rows[3].fullName = "Big Weapon";
    data.skills.rows[3].mediumName = "Big W";
    data.skills.rows[3].shortName = "BW";
    data.skills.rows[3].fourth = "fourth";
    data.skills.rows[3].attribute = 2;
    data.skills.rows[3].second = 4;
    data.attributes.rows[4].name = "Wits";
    data.races.rows[2].texts[0] = "base_ability_etherim";
    data.races.rows[2].texts[1] = "Thin folk.";
    data.races.rows[2].texts[2] = "third";
    auto spec = Spec("base", u8(v));
    spec.blocks[kBlockSkills] = {Rec(v, [&](SStream& s) { data.skills.SerializeBlock(s, v, true); })};
    spec.blocks[kBlockAttributes] = {Rec(v, [&](SStream& s) { data.attributes.SerializeBlock(s, v, true); })};
    spec.blocks[kBlockRaces] = {Rec(v, [&](SStream& s) { data.races.SerializeBlock(s, v, true); })};
    ASSERT_EQ(OpenBase(spec), "") << v;
    EXPECT_STREQ(rules.skills.FullName(3), "Big Weapon");
    EXPECT_STREQ(rules.skills.MediumName(3), v >= 74 ? "Big W" : "Heavy Weap") << v;
    EXPECT_STREQ(rules.skills.ShortName(3), v >= 110 ? "BW" : "Heavy W") << v;
    EXPECT_EQ(rules.skills.rows[3].attribute, 2);
    EXPECT_EQ(rules.skills.rows[3].second, v >= 83 ? 4 : 9) << v;
    EXPECT_EQ(rules.skills.rows[3].fourth != nullptr, v >= 86) << v;
    EXPECT_EQ(rules.skills.FindByName("big weapon"), 3u);
    EXPECT_EQ(rules.attributes.FindByKey("wits"), 4u);
    EXPECT_STREQ(rules.races.AbilityName(2), "base_ability_etherim");
    EXPECT_STREQ(rules.races.Description(2), "Thin folk.");
    EXPECT_EQ(rules.races.rows[2].texts[2] != nullptr, v >= 52) << v;
    EXPECT_STREQ(rules.races.rows[6].name.CStr(), "");
    EXPECT_EQ(rules.skills.rawRecords.Count(), 1);
    // Unloading the world brings the code-made rows back.
    modules.Clear();
    tables.ClearAll();
    EXPECT_STREQ(rules.skills.FullName(3), "Heavy Weapon");
    EXPECT_STREQ(rules.attributes.Name(4), "Intelligence");
    EXPECT_EQ(rules.races.AbilityName(2), nullptr);
    EXPECT_EQ(rules.skills.rawRecords.Count(), 0);
  }
}

TEST_F(CharacterTables, CountZeroKeepsRowsAndShortBlocksFail) {
  ASSERT_EQ(OpenBase(Spec("base")), "");  // every block in its count-0 form
  EXPECT_STREQ(rules.skills.FullName(20), "Stealth");
  EXPECT_EQ(rules.skills.rawRecords.Count(), 0);
  modules.Clear();

  // A block that promises its rows but ends early fails the archive and keeps the code-made rows whole.
  SWorldRules data;
  data.skills.rows[1].fullName = "Parry";
  auto spec = Spec("base");
  spec.blocks[kBlockSkills] = {Rec(114, [&](SStream& s) { data.skills.SerializeBlock(s, 114, true); })};
  spec.blocks[kBlockSkills][0].resize(spec.blocks[kBlockSkills][0].size() / 2);
  EXPECT_NE(OpenBase(spec), "");
  EXPECT_STREQ(rules.skills.FullName(1), "Block");
  EXPECT_STREQ(rules.skills.FullName(20), "Stealth");
}

TEST_F(CharacterTables, SkillRowsNamingNoAttributeKeepTheGamesAttribute) {
  // The governing attribute indexes the player's five attributes; 0 and 9 would index outside them.
  SWorldRules data;
  data.skills.rows[2].attribute = 0;
  data.skills.rows[11].attribute = 9;
  data.skills.rows[6].attribute = 5;  // a real attribute the world may choose
  auto spec = Spec("base");
  spec.blocks[kBlockSkills] = {Rec(114, [&](SStream& s) { data.skills.SerializeBlock(s, 114, true); })};
  ASSERT_EQ(OpenBase(spec), "");
  EXPECT_EQ(rules.skills.Attribute(2), 2u);   // Light Weapon: Dexterity
  EXPECT_EQ(rules.skills.Attribute(11), 5u);  // Mind Magic: Personality
  EXPECT_EQ(rules.skills.Attribute(6), 5u);
  for (u32 n = 1; n <= kSkillCount; ++n) EXPECT_NE(rules.attributes.Name(rules.skills.Attribute(n)), nullptr) << n;
  // The raise check measures Light Weapon against Dexterity: below twice its base it may rise.
  player.race = 2;
  player.attributes[2] = 10;
  player.skills[2] = 19;
  EXPECT_TRUE(player.CanRaiseSkill(2));
  player.skills[2] = 20;
  EXPECT_FALSE(player.CanRaiseSkill(2));
}
