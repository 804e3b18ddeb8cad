// The character sheet's Main and Skills sub-pages through the program: the values in their glyph sets and
// texts per screen family, spending attribute and skill points with the raise buttons, the refusal by a
// skill's limit, undo, and raises made permanent by a page switch.
#include "SheetGame.h"
#include "core/SPictureRoles.h"
#include "support/GoldenText.h"
#include "support/Png.h"

#include <gtest/gtest.h>

namespace {

constexpr u16 kRace = 143, kLevel = 368, kXp = 366, kXpLabel = 365, kFameWord = 380, kCrime = 382, kHp = 394, kSp = 410,
              kOutfit = 397, kPoints = 399, kMagic = 403, kAttribute2 = 372, kSkillPoints = 453;

// An attribute's value with load modifiers, always in the second glyph set, then its base in the first.
std::string Attribute(i32 value, i32 base) {
  return Glyphs(std::to_string(value), true) + char(11) + Glyphs("(" + std::to_string(base) + ")");
}

// A record with the points and allowances the tests spend.
void SetUpPlayer(SPlayer& p) {
  p.race = 2;
  for (u32 a = 1; a <= 5; ++a) {
    p.attributes[a] = 20;
    p.attributeAllowance[a] = 0;
  }
  p.attributePoints = 0;
  const u8 major[6] = {1, 3, 4, 8, 9, 10}, minor[14] = {2, 5, 6, 7, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20};
  for (u32 i = 0; i < 6; ++i) p.majorSkills[i] = major[i];
  for (u32 i = 0; i < 14; ++i) p.minorSkills[i] = minor[i];
  for (u32 s = 1; s <= kPlayerSkills; ++s) {
    p.skills[s] = 10;
    p.skillAllowance[s] = 5;
  }
  p.skillPoints = 0;
}

// The sheet's sub-page opened over that record, without effects.
bool OpenWithPlayer(SheetGame& g, u32 sub) {
  if (!g.OpenSheet(sub)) return false;
  SetUpPlayer(g.player());
  g.ClearEffects();
  return true;
}

}  // namespace

TEST(InventorySheet, MainValuesByScreenFamily) {
  // The experience text and the outfit per family: 5, 7 and 8 put the level first, 16 breaks the line,
  // the other small screens keep one line, the large ones spell "next level"; 5 and 8 show the score alone.
  const struct {
    i32 mode;
    const char* xpLabel;
    const char* xpFormat;  // level, experience, next level
    bool scoreOnly;
  } families[] = {{7, "Level:", "4, xp: %s (next lvl: %s)", false},
                  {8, "Level:", "4, xp: %s (next lvl: %s)", true},
                  {16, "Xp:", "%s\r(next lvl: %s)", false},
                  {6, "Xp:", "%s (next lvl: %s)", false},
                  {9, "Xp:", "%s (next level: %s)", false}};
  const struct {
    u32 xp, next;
    const char* shown;
    const char* nextShown;
  } amounts[] = {{9999, 10000, "9999", "10K"}, {10000, 999999, "10K", "999K"}, {1234567, 2000000, "1M", "2M"}};
  for (const auto& f : families) {
    SheetGame g(GameHarness::forMode(f.mode));
    ASSERT_TRUE(g.OpenSheet(0)) << f.mode;
    SPlayer& p = g.player();
    p.level = 4;
    EXPECT_EQ(g.Text(kXpLabel), f.xpLabel) << f.mode;
    for (const auto& a : amounts) {
      p.xp = a.xp;
      p.nextLevelXp = a.next;
      g.inv().RefreshCharacterValues();
      SString expected;
      expected.Format(f.xpFormat, a.shown, a.nextShown);
      EXPECT_EQ(g.Text(kXp), Glyphs(expected.CStr())) << f.mode << " " << a.xp;
    }
    const i32 score = p.GetOutfitScore(nullptr);
    const std::string number = Glyphs(std::to_string(score));
    EXPECT_EQ(g.Text(kOutfit), f.scoreOnly ? number : std::string(p.GetOutfitWord()) + " (" + number + ")") << f.mode;
  }
}

TEST(InventorySheet, MainValuesAndGlyphSets) {
  SheetGame g;
  ASSERT_TRUE(OpenWithPlayer(g, 0));
  SPlayer& p = g.player();
  p.fame = 55;
  p.crime = 12000;
  // Strength fortified by an ability, Dexterity plain: both values in the second set, the bases in the first.
  const SAbility* ability = g.core().world.rules.abilities.FindByName("base_ability_rasvim");
  ASSERT_NE(ability, nullptr);
  g.AddEffect(2, kSourceAbility, ability, 5, 0, 1);
  p.hp = u16(p.GetMaxHpForDisplay(nullptr) + 7);
  p.mana = 1;
  g.Rebuild();

  EXPECT_EQ(g.Text(kRace), "Etherim");
  EXPECT_EQ(g.Text(kLevel), Glyphs(std::to_string(p.level)));
  EXPECT_EQ(g.Text(370), Attribute(25, 20));
  EXPECT_EQ(g.Text(kAttribute2), Attribute(20, 20));
  EXPECT_EQ(g.Text(kFameWord), "Blameless");
  EXPECT_EQ(g.inv().fameGauge.value, 55);
  EXPECT_EQ(g.Text(kCrime), Glyphs("12K"));
  // Hit points above their maximum: the current value in the second set.
  bool bonus = false;
  const i32 maxHp = p.GetMaxHpForDisplay(&bonus);
  EXPECT_EQ(g.Text(kHp), Glyphs(std::to_string(maxHp + 7) + "/", true) + Glyphs(std::to_string(maxHp), bonus));
  const i32 maxSp = p.GetMaxManaForDisplay(&bonus);
  EXPECT_EQ(g.Text(kSp), Glyphs("1/") + Glyphs(std::to_string(maxSp), bonus));
  const i32 magic = p.GetMagicResistance(&bonus);
  EXPECT_EQ(g.Text(kMagic), Glyphs(std::to_string(magic) + "%", bonus));
  EXPECT_EQ(g.Text(kPoints), Glyphs("0"));
}

TEST(InventorySheet, RaisingAttributesAndUndo) {
  SheetGame g;
  ASSERT_TRUE(OpenWithPlayer(g, 0));
  SPlayer& p = g.player();
  p.attributePoints = 5;
  p.attributeAllowance[2] = 3;
  p.attributeAllowance[4] = 1;
  g.Rebuild();
  // The raise buttons follow the points and each attribute's allowance.
  const bool shown[5] = {false, true, false, true, false};
  for (u32 a = 0; a < 5; ++a) EXPECT_EQ(g.Shown(SStateInventory::kAttributeRaiseIds[a]), shown[a]) << a;
  EXPECT_FALSE(g.Shown(SStateInventory::kAttributeUndoId));

  g.MarkSounds();
  for (u32 i = 0; i < 3; ++i) g.game.tapControl(374);
  EXPECT_EQ(g.Sounds().size(), 3u);
  EXPECT_EQ(p.attributePoints, 2);
  EXPECT_EQ(p.attributes[2], 23);
  EXPECT_EQ(p.attributeAllowance[2], 0);
  EXPECT_EQ(g.Text(kAttribute2), Attribute(23, 23));
  EXPECT_FALSE(g.Shown(374));  // the allowance is spent
  EXPECT_TRUE(g.Shown(SStateInventory::kAttributeUndoId));

  // The raise clicks; Undo takes back quietly.
  g.MarkSounds();
  g.game.tapControl(SStateInventory::kAttributeUndoId);
  EXPECT_TRUE(g.Sounds().empty());
  EXPECT_EQ(p.attributePoints, 5);
  EXPECT_EQ(p.attributes[2], 20);
  EXPECT_EQ(p.attributeAllowance[2], 3);
  EXPECT_FALSE(g.Shown(SStateInventory::kAttributeUndoId));
  EXPECT_TRUE(g.Shown(374));

  // Without points no button shows.
  g.game.tapControl(385);
  p.attributePoints = 0;
  g.inv().RefreshCharacterValues();
  for (u16 id : SStateInventory::kAttributeRaiseIds) EXPECT_FALSE(g.Shown(id)) << id;
  // A page switch makes the raise permanent: nothing is left to undo.
  g.game.tapControl(SStateInventory::kSubPageIds[1]);
  g.game.tapControl(SStateInventory::kSubPageIds[0]);
  EXPECT_EQ(p.attributes[4], 21);
  EXPECT_EQ(g.inv().attributeUndoCount, 0u);
  EXPECT_FALSE(g.Shown(SStateInventory::kAttributeUndoId));
}

TEST(InventorySheet, SkillsRaisingRefusalAndUndo) {
  SheetGame g;
  ASSERT_TRUE(OpenWithPlayer(g, 1));
  SPlayer& p = g.player();
  p.skills[3] = 40;  // Heavy Weapon at twice Strength
  p.skills[4] = 100;
  p.skillPoints = 1;
  g.AddEffect(1, kSourceAbility, nullptr, 7, 0, 9);  // Protection Magic fortified
  g.Rebuild();

  // Primary skills 1, 3, 4, 8, 9, 10 at buttons 454..459; other skills at 460.. (skill 2 first, 12 at 465).
  EXPECT_EQ(g.Text(413), Glyphs("10"));
  EXPECT_EQ(g.Text(421), Glyphs("17", true));
  EXPECT_EQ(g.Text(435), Glyphs("0", true));  // skill 12 is barred for the race
  EXPECT_FALSE(g.Shown(465));
  EXPECT_EQ(g.Text(kSkillPoints), Glyphs("1"));
  EXPECT_TRUE(g.Shown(454));
  EXPECT_FALSE(g.Shown(456));  // at 100
  ASSERT_TRUE(g.Shown(455));
  EXPECT_EQ(g.Control<SButtonCtrl>(455)->pictures, &g.core().pictures[PictureRole::kCannotRaise]);
  EXPECT_EQ(g.Control<SButtonCtrl>(454)->pictures, &g.core().pictures[PictureRole::kRaise]);
  // Another skill costs two points: with one left its button is hidden.
  for (u16 id = 460; id < 474; ++id) EXPECT_FALSE(g.Shown(id)) << id;

  g.game.tapControl(455);
  ASSERT_EQ(g.game.openChild(), &g.inv().raiseBox);
  EXPECT_EQ(g.LastMessage(),
            "You can't improve this skill.\rThe Heavy Weapon skill's base value cannot be higher than the double of "
            "its governing attribute's base value (Strength).");
  EXPECT_EQ(p.skills[3], 40);
  g.game.tapLabel("Ok");
  EXPECT_EQ(g.game.openChild(), nullptr);
  EXPECT_EQ(g.inv().page, SStateInventory::kSheetPage);

  p.skillPoints = 5;
  g.inv().RefreshSkillValues();
  g.game.tapControl(454);  // Block, primary: one point
  g.game.tapControl(460);  // Light Weapon, other: two points
  g.game.tapControl(460);
  EXPECT_EQ(p.skillPoints, 0);
  EXPECT_EQ(p.skills[1], 11);
  EXPECT_EQ(p.skills[2], 12);
  EXPECT_EQ(p.skillAllowance[2], 3);
  EXPECT_TRUE(g.Shown(SStateInventory::kSkillUndoId));
  g.MarkSounds();
  g.game.tapControl(SStateInventory::kSkillUndoId);
  EXPECT_TRUE(g.Sounds().empty());
  EXPECT_EQ(p.skillPoints, 5);
  EXPECT_EQ(p.skills[1], 10);
  EXPECT_EQ(p.skills[2], 10);
  EXPECT_EQ(p.skillAllowance[1], 5);
  EXPECT_EQ(p.skillAllowance[2], 5);
  EXPECT_FALSE(g.Shown(SStateInventory::kSkillUndoId));

  // A page switch makes the raises permanent.
  g.game.tapControl(460);
  g.game.tapControl(SStateInventory::kSubPageIds[0]);
  g.game.tapControl(SStateInventory::kSubPageIds[1]);
  EXPECT_EQ(p.skills[2], 11);
  EXPECT_EQ(p.skillPoints, 3);
  EXPECT_FALSE(g.Shown(SStateInventory::kSkillUndoId));
}

TEST(InventorySheet, SkillNamesAndAnUndeadPlayersBarredPrimarySkill) {
  SheetGame g;
  ASSERT_TRUE(OpenWithPlayer(g, 1));
  SPlayer& p = g.player();
  p.race = 1;  // skill 8 is barred: a primary skill shows 0 and a refused raise
  p.skillPoints = 2;
  g.Rebuild();
  EXPECT_EQ(g.Text(412), "Block:");
  EXPECT_EQ(g.Text(418), "Heal Magic:");
  EXPECT_EQ(g.Text(419), Glyphs("0"));
  ASSERT_TRUE(g.Shown(457));
  EXPECT_EQ(g.Control<SButtonCtrl>(457)->pictures, &g.core().pictures[PictureRole::kCannotRaise]);
  g.game.tapControl(457);
  EXPECT_EQ(g.game.openChild(), &g.inv().raiseBox);
  EXPECT_EQ(p.skills[8], 10);
}

TEST(InventorySheetGolden, TheMainPageAndTheSkillsPage) {
  SheetGame g(GameHarness::forMode(7));
  ASSERT_TRUE(OpenWithPlayer(g, 0));
  SPlayer& p = g.player();
  p.name.Assign("Ann");
  p.level = 3;
  p.xp = 12345;
  p.nextLevelXp = 20000;
  p.fame = 30;
  p.attributePoints = 2;
  p.attributeAllowance[1] = 1;
  g.AddEffect(2, kSourceAbility, nullptr, 4, 0, 1);
  g.AddEffect(2, kSourceAbility, nullptr, -3, 0, 5);
  p.hp = u16(p.GetMaxHpForDisplay(nullptr) + 2);
  g.Rebuild();
  g.inv().SetFullRepaint();
  g.game.frame(2);
  const Os::Panel& panel = g.game.panel();
  EXPECT_EQ(
      testpng::CompareGolden("inventory_sheet_main_mode7", panel.pixels.data(), panel.width, panel.height, panel.width),
      "");

  p.skillPoints = 3;
  p.skills[3] = 40;
  g.game.tapControl(SStateInventory::kSubPageIds[1]);
  g.game.tapControl(454);
  EXPECT_EQ(testgolden::CompareText("inventory_sheet_skills", g.game.describeUi()), "");
}
