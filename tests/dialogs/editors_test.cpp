// The two entry editors: the wand and scroll entry's spells, charges and skill; the other entry's trigger
// types, kinds, data and values.
#include "EnchantRig.h"

#include <algorithm>
#include <map>

namespace {
using Wand = SDialogEnchantEntryWandScroll;
using Other = SDialogEnchantEntryOther;

std::vector<u32> Codes(const SDialogListCtrl& list) {
  std::vector<u32> out;
  for (u32 i = 0; i < list.RowCount(); ++i) out.push_back(list.Row(i32(i))->code);
  return out;
}
}  // namespace

TEST(EnchantWandEntry, TheKnownSpellsWithSkillForGradedOnesAndBoundedSteppers) {
  EnchantRig rig;
  ASSERT_TRUE(rig.ready);
  rig.Learn("base_spellcurse");
  rig.Learn("base_spellfireball");
  rig.Learn("base_spellcurelightwounds");
  SDialogEnchant& e = rig.OpenEnchant(nullptr, rig.Give("base_wand_empty", 0), 10000);
  e.OnCommand(SDialogEnchant::kAdd);
  Wand& w = e.wandEditor;
  // By school: Cure light wounds (1), Fireball (3), Curse (4).
  EXPECT_EQ(rig.Rows(w.spells), (std::vector<std::string>{"Cure light wounds", "Fireball", "Curse"}));
  EXPECT_STREQ(w.edited->name, "base_spellcurelightwounds");
  EXPECT_EQ(w.edited->base, 1);
  EXPECT_EQ(w.edited->perLevel, 1);
  EXPECT_TRUE(w.skillText.IsShown());

  // Skill 1 - 10 stays 1; +10 from 95 reaches 100; charges stay within 1..100.
  w.OnCommand(Wand::kSkillDown10);
  EXPECT_EQ(w.edited->perLevel, 1);
  EXPECT_FALSE(w.skillDown.IsEnabled());
  for (int i = 0; i < 9; ++i) w.OnCommand(Wand::kSkillUp10);
  for (int i = 0; i < 4; ++i) w.OnCommand(Wand::kSkillUp);
  EXPECT_EQ(w.edited->perLevel, 95);
  w.OnCommand(Wand::kSkillUp10);
  EXPECT_EQ(w.edited->perLevel, 100);
  EXPECT_FALSE(w.skillUp.IsEnabled());
  EXPECT_EQ(rig.Text(w.skillText), "100");
  for (int i = 0; i < 10; ++i) w.OnCommand(Wand::kSkillDown10);
  for (int i = 0; i < 4; ++i) w.OnCommand(Wand::kSkillUp);
  EXPECT_EQ(w.edited->perLevel, 5);
  w.OnCommand(Wand::kSkillDown10);
  EXPECT_EQ(w.edited->perLevel, 1);
  w.OnCommand(Wand::kChargesDown);
  EXPECT_EQ(w.edited->base, 1);
  for (int i = 0; i < 120; ++i) w.OnCommand(Wand::kChargesUp);
  EXPECT_EQ(w.edited->base, 100);
  EXPECT_FALSE(w.chargesUp.IsEnabled());

  // Fireball is graded: its storage grows with the skill (a fifth of its value x charges x skill / 20).
  w.spells.Select(1);
  w.OnCommand(Wand::kSpells);
  EXPECT_STREQ(w.edited->name, "base_spellfireball");
  for (int i = 0; i < 19; ++i) w.OnCommand(Wand::kSkillUp);
  EXPECT_EQ(w.edited->perLevel, 20);
  EXPECT_EQ(rig.Text(w.neededText), EnchantRig::Glyphs("2400"));
  // Curse is not: the skill controls go, the skill stays.
  w.spells.Select(2);
  w.OnCommand(Wand::kSpells);
  EXPECT_FALSE(w.skillText.IsShown());
  EXPECT_FALSE(w.skillUp.IsShown());
  EXPECT_EQ(w.edited->perLevel, 20);
  EXPECT_TRUE(w.chargesText.IsShown());
  e.OnCommand(SDialogEnchant::kOk);

  // Modifying the entry opens on its spell and values.
  e.list.Select(0);
  e.OnCommand(SDialogEnchant::kModify);
  EXPECT_EQ(w.spells.selected, 2);
  EXPECT_EQ(w.edited->base, 100);
  EXPECT_EQ(rig.Text(w.chargesText), "100");
}

// A wand from the data may hold more than the buttons reach: "-" steps such a value down by its step.
TEST(EnchantWandEntry, TheMinusButtonsStepAValueAboveTheMostDownByTheirStep) {
  EnchantRig rig;
  ASSERT_TRUE(rig.ready);
  rig.Learn("base_spellfireball");  // graded: the skill controls show
  SDialogEnchant& e = rig.OpenEnchant(nullptr, rig.Give("base_wand_empty", 0), 10000);
  e.OnCommand(SDialogEnchant::kAdd);
  Wand& w = e.wandEditor;
  const struct {
    u16 code;
    i16 charges, skill;
  } cases[] = {{Wand::kChargesDown, 149, 150}, {Wand::kSkillDown, 150, 149}, {Wand::kSkillDown10, 150, 140}};
  for (const auto& c : cases) {
    SEffect entry(10);
    entry.kind = 31;
    entry.SetName("base_spellfireball");
    entry.base = entry.perLevel = 150;
    w.Open(&entry, 10000, nullptr, false);
    ASSERT_TRUE(w.skillDown.IsShown());
    w.OnCommand(c.code);
    EXPECT_EQ(w.edited->base, c.charges) << c.code;
    EXPECT_EQ(w.edited->perLevel, c.skill) << c.code;
  }
}

TEST(EnchantWandEntry, AScrollHasNoChargeControlsAndAnEmptySpellListNoName) {
  EnchantRig rig;
  ASSERT_TRUE(rig.ready);
  SDialogEnchant& e = rig.OpenEnchant(nullptr, rig.Give("base_scroll_blank"), 10000);
  e.OnCommand(SDialogEnchant::kAdd);
  Wand& w = e.wandEditor;
  EXPECT_STREQ(w.edited->name, "");
  for (const SCtrl* c : {static_cast<const SCtrl*>(&w.chargesLabel), static_cast<const SCtrl*>(&w.chargesText),
                         static_cast<const SCtrl*>(&w.chargesUp), static_cast<const SCtrl*>(&w.chargesDown)})
    EXPECT_FALSE(c->IsShown());
  w.OnCommand(Wand::kChargesUp);
  EXPECT_EQ(w.edited->base, 1);
}

TEST(EnchantOtherEntry, WeaponsSwitchBetweenConstantAndStrikeKinds) {
  EnchantRig rig;
  ASSERT_TRUE(rig.ready);
  for (const char* type : {"base_weap_shortswordcheap", "base_weap_staff"}) {
    SCOPED_TRACE(type);
    SDialogEnchant& e = rig.OpenEnchant(nullptr, rig.Give(type), 10000);
    e.OnCommand(SDialogEnchant::kAdd);
    Other& o = e.otherEditor;
    const bool staff = e.itemKind == 14;
    EXPECT_TRUE(o.constant.IsShown());
    EXPECT_TRUE(o.constant.IsPressed());
    EXPECT_EQ(Codes(o.kinds), staff ? (std::vector<u32>{1, 2, 5, 8, 10, 11, 15, 16, 22, 36, 38, 58})
                                    : (std::vector<u32>{1, 2, 5, 8, 10, 11, 58}));
    EXPECT_EQ(rig.Rows(o.kinds)[0], "Fortify skill");
    o.OnCommand(Other::kStrike);
    EXPECT_EQ(o.edited->mode, Other::kModeStrike);
    EXPECT_TRUE(o.strike.IsPressed());
    EXPECT_EQ(Codes(o.kinds),
              staff ? (std::vector<u32>{26, 27, 29, 30, 32}) : (std::vector<u32>{23, 24, 25, 26, 27, 29, 30, 32}));
    EXPECT_EQ(o.edited->kind, staff ? 26u : 23u);
    o.OnCommand(Other::kConstant);
    EXPECT_EQ(o.edited->kind, 1u);
    e.OnCommand(SDialogEnchant::kCancel);
  }
  // Armour does not choose.
  SDialogEnchant& e = rig.OpenEnchant(nullptr, rig.Give("base_armor_chain"), 10000);
  e.OnCommand(SDialogEnchant::kAdd);
  EXPECT_FALSE(e.otherEditor.constant.IsShown());
  EXPECT_FALSE(e.otherEditor.typeLabel.IsShown());
}

TEST(EnchantOtherEntry, ValuesKeepToTheRangeOfTheirKind) {
  EnchantRig rig;
  ASSERT_TRUE(rig.ready);
  SDialogEnchant& e = rig.OpenEnchant(nullptr, rig.Give("base_armor_chain"), 10000);
  e.OnCommand(SDialogEnchant::kAdd);
  Other& o = e.otherEditor;
  for (int i = 0; i < 6; ++i) o.OnCommand(Other::kValueUp10);
  EXPECT_EQ(o.ShownValue(), 50);
  EXPECT_FALSE(o.valueUp.IsEnabled());
  EXPECT_FALSE(o.valueUp10.IsEnabled());
  EXPECT_EQ(rig.Text(o.valueText), "50");
  o.kinds.SelectByCode(11);
  o.OnCommand(Other::kKinds);
  EXPECT_EQ(o.edited->kind, 11u);
  EXPECT_EQ(o.edited->base, 10);
  EXPECT_FALSE(o.data.IsShown());
  // An offset kind: shown 10, stored 110.
  o.kinds.SelectByCode(15);
  o.OnCommand(Other::kKinds);
  EXPECT_EQ(o.ShownValue(), 10);
  EXPECT_EQ(o.edited->base, 110);
  o.OnCommand(Other::kValueDown10);
  o.OnCommand(Other::kValueDown10);
  EXPECT_EQ(o.edited->base, 101);
  EXPECT_FALSE(o.valueDown.IsEnabled());
  e.OnCommand(SDialogEnchant::kCancel);

  // An offset kind opened with magnitude 0 shows 1 and stores 101.
  SEffect entry(2);
  entry.kind = 22;
  o.Open(&entry, 100, nullptr, 2);
  EXPECT_EQ(o.ShownValue(), 1);
  EXPECT_EQ(o.edited->base, 101);
  EXPECT_EQ(rig.Text(o.valueText), "1");
  // A kind without a value: magnitude 1, the value controls gone.
  SEffect strike(3);
  strike.mode = 1;
  strike.kind = 27;
  strike.base = 40;
  o.Open(&strike, 100, nullptr, 3);
  EXPECT_EQ(o.edited->base, 1);
  EXPECT_FALSE(o.valueText.IsShown());
}

TEST(EnchantOtherEntry, TheDataListsOfEachKind) {
  EnchantRig rig;
  ASSERT_TRUE(rig.ready);
  Other& o = rig.enchant().otherEditor;
  auto open = [&](u32 itemKind, u8 mode, u8 kind) {
    SEffect entry(itemKind);
    entry.mode = mode;
    entry.kind = kind;
    o.Open(&entry, 100, nullptr, itemKind);
  };
  open(2, 3, 1);
  EXPECT_EQ(o.data.RowCount(), 20u);
  EXPECT_EQ(rig.Rows(o.data)[0], "Block");
  EXPECT_EQ(o.edited->sub, 1u);
  open(2, 3, 2);
  EXPECT_EQ(o.data.RowCount(), 5u);
  open(2, 3, 17);
  EXPECT_EQ(rig.Rows(o.data), (std::vector<std::string>{"Grave rot", "Warts"}));
  EXPECT_STREQ(o.edited->name, "base_disease_rot");
  EXPECT_EQ(o.edited->sub, 0u);
  EXPECT_EQ(o.edited->base, 101);
  o.data.Select(1);
  o.OnCommand(Other::kData);
  EXPECT_STREQ(o.edited->name, "base_disease_warts");

  // Monster base types leave the people out.
  open(15, 1, 23);
  std::vector<std::string> keys;
  for (u32 i = 0; i < o.data.RowCount(); ++i) keys.push_back(o.data.Row(i32(i))->keyText.CStr());
  EXPECT_FALSE(keys.empty());
  const std::vector<std::string> people = {"bres_merchant",    "bres_guard",  "bres_townswoman",
                                           "bres_lamplighter", "bres_ysolde", "bres_tam"};
  for (const std::string& k : keys) EXPECT_EQ(std::find(people.begin(), people.end(), k), people.end()) << k;
  EXPECT_EQ(keys.size() + people.size(), rig.core().world.monsters.baseTypes.Count());
  EXPECT_STREQ(o.edited->name, keys[0].c_str());
  // The rows name the families as a player reads them; the keys stay the base types' names.
  std::map<std::string, std::string> shown;
  for (u32 i = 0; i < o.data.RowCount(); ++i)
    shown[o.data.Row(i32(i))->keyText.CStr()] = o.data.Row(i32(i))->text.CStr();
  EXPECT_EQ(shown, (std::map<std::string, std::string>{{"bres_rat", "Rat"},
                                                       {"bres_skeleton", "Skeleton"},
                                                       {"bres_cyclops", "Cyclops"},
                                                       {"bres_spitter", "Spitter"},
                                                       {"bres_shaman", "Shaman"},
                                                       {"bres_wraith", "Wraith"}}));

  // "Damage type" against "Undeads": data code 3, no name.
  open(15, 1, 24);
  EXPECT_EQ(rig.Rows(o.data), (std::vector<std::string>{"Humanoids", "Creatures", "Undeads"}));
  o.data.Select(2);
  o.OnCommand(Other::kData);
  EXPECT_EQ(o.edited->sub, 3u);
  EXPECT_EQ(o.edited->name, nullptr);
}
