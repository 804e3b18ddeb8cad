// The inventory's list pages through the program: the active effects' texts and filters, the quests by
// filter with their status icons, the spells by school with the magic items, the paging of a list and the
// line scrolling of a description, and a random record that fills every page.
#include "SheetGame.h"
#include "core/SPictureRoles.h"
#include "core/ui/SGameCtrls.h"
#include "graphics/SImage.h"
#include "support/GoldenText.h"
#include "world/SItemTable.h"
#include "world/SPeopleTables.h"
#include "world/SSpell.h"
#include "world/SWorldExtras.h"

#include <gtest/gtest.h>

#include <random>

namespace {

constexpr u16 kEffectsList = 501, kEffectsDown = 504, kEffectsUp = 503, kDynamic = 508, kConstant = 507, kAll = 509;
constexpr u16 kQuestsList = 335, kSpellsList = 215;

std::string Name(SWorldRules& rules, const SItemType* type, const SItem* item) {
  SString s;
  type->GetDisplayName(rules, item, s, false);
  return s.CStr() ? s.CStr() : "";
}

}  // namespace

TEST(InventoryLists, ActiveEffectTexts) {
  SheetGame g;
  ASSERT_TRUE(g.Open());
  SWorldRules& rules = g.core().world.rules;
  const SAbility* ability = rules.abilities.FindByName("base_ability_rasvim");
  const SDisease* rot = rules.diseases.FindByName("base_disease_rot");
  const SSpell* feather = rules.spells.FindByName("base_spellfeather");
  SItemType* potion = g.Type("base_potion_heal");
  SItem* sword = g.Make("base_weap_shortswordcheap");
  ASSERT_TRUE(ability && rot && feather && potion && sword);
  const std::string potionName = potion->text3, swordName = Name(rules, sword->type, sword);
  const std::string intelligence = rules.attributes.Name(4);
  const struct {
    u32 category, source;
    const void* record;
    i32 strength;
    u8 duration, sub;
    const char* text;
    std::string shown;
  } cases[] = {
      {7, kSourceAbility, ability, 150, 0, 0, nullptr, "+50%, (Undead blood ability)"},
      {7, kSourceAbility, ability, -150, 0, 0, nullptr, "-50%, (Undead blood ability)"},
      {7, kSourceAbility, ability, 100, 0, 0, nullptr, "+100%, (Undead blood ability)"},
      {3, kSourceItem, potion, 12, 0, 0, nullptr, "+12, (" + potionName + " potion)"},
      {3, kSourceItem, potion, 12, 2, 0, nullptr, "+12, 1 round, (" + potionName + " potion)"},
      {3, kSourceItem, potion, 12, 4, 0, nullptr, "+12, 3 rounds, (" + potionName + " potion)"},
      {6, kSourceEquipment, sword, 3, 9, 0, nullptr, "+3, (" + swordName + ")"},  // rounds only for timed kinds
      {1, kSourceSpell, feather, 5, 2, 3, nullptr, "+5 Heavy Weapon, 1 round, (Feather spell)"},
      {1, kSourceSpell, feather, 5, 0, 25, nullptr, "+5 unknown skill, (Feather spell)"},
      {1, kSourceSpell, feather, 5, 0, 0, nullptr, "+5 unknown skill, (Feather spell)"},
      {2, kSourceDisease, rot, -5, 0, 4, nullptr, "-5 " + intelligence + ", (Grave rot disease)"},
      {2, kSourceDisease, rot, 2, 0, 9, nullptr, "+2 unknown attribute, (Grave rot disease)"},
      {9, kSourceAbility, ability, 130, 0, 0, "base_disease_rot", "+30% Grave rot, (Undead blood ability)"},
      {9, kSourceAbility, ability, 130, 0, 0, "no_such_disease", "+30% unknown disease, (Undead blood ability)"},
      {13, kSourceSpell, feather, -120, 0, 0, "base_spellfeather", "-20% Feather, (Feather spell)"},
      {14, kSourceSpell, feather, 40, 0, 0, "no_such_spell", "+40% unknown spell, (Feather spell)"},
      {17, kSourceCondition, nullptr, 1, 0, 0, nullptr, "Immunity, "},
      {18, kSourceAbility, ability, 1, 0, 0, nullptr, "Detect secrets, (Undead blood ability)"},
      {19, kSourceItem, potion, 130, 3, 0, nullptr, "30%, 2 rounds, (" + potionName + " potion)"},
      {21, kSourceCondition, nullptr, 1, 4, 0, nullptr, "Paralysis, 3 rounds, "},
      {22, kSourceSpell, feather, 1, 0, 0, nullptr, "Curse, (Feather spell)"},
      {23, kSourceCondition, nullptr, 3, 0, 0, nullptr, "-3 hp/turn, "},
      {3, kSourceAbility, nullptr, 1, 0, 0, nullptr, "+1, ( ability)"},  // a record missing names nothing
  };
  for (const auto& c : cases) {
    SPlayerEffect e;
    e.category = u8(c.category);
    e.sourceType = u8(c.source);
    e.source = c.record;
    e.strength = i16(c.strength);
    e.duration = c.duration;
    e.sub = c.sub;
    if (c.text) {
      e.text = new char[std::strlen(c.text) + 1];
      std::strcpy(e.text, c.text);
    }
    SString out;
    SStateInventory::DescribePlayerEffect(rules, e, c.category, out);
    EXPECT_EQ(std::string(out.CStr() ? out.CStr() : ""), c.shown) << c.category << " " << c.strength;
  }
}

TEST(InventoryLists, EffectFiltersAndTheDescription) {
  SheetGame g(GameHarness::forMode(9));  // a large screen shows the description's title
  ASSERT_TRUE(g.OpenSheet(4));
  SWorldRules& rules = g.core().world.rules;
  const SSpell* feather = rules.spells.FindByName("base_spellfeather");
  const SAbility* ability = rules.abilities.FindByName("base_ability_rasvim");
  g.ClearEffects();
  g.AddEffect(7, kSourceItem, g.Type("base_potion_heal"), 120, 3);  // dynamic only
  g.AddEffect(7, kSourceSpell, feather, 110, 0);
  g.AddEffect(12, kSourceAbility, ability, 125, 0);  // constant only
  g.AddEffect(15, kSourceAbility, ability, 150, 0);  // both
  g.AddEffect(15, kSourceCondition, nullptr, 90, 0);
  g.game.tapControl(kDynamic);
  EXPECT_EQ(g.Rows(), (std::vector<std::string>{"Resist poison", "Fortify magic"}));
  EXPECT_EQ(std::string(g.inv().pageDescription.title.CStr()), "Resist poison");
  EXPECT_EQ(g.Flat(), Glyphs("+20%, 2 rounds, (Healing potion) +10%, (Feather spell)"));
  g.game.tapControl(kConstant);
  EXPECT_EQ(g.Rows(), (std::vector<std::string>{"Resist diseases", "Fortify magic"}));
  g.game.tapRow(kEffectsList, 1);
  EXPECT_EQ(g.Flat(), Glyphs("+50%, (Undead blood ability)"));
  g.game.tapControl(kAll);
  EXPECT_EQ(g.Rows(), (std::vector<std::string>{"Resist poison", "Resist diseases", "Fortify magic"}));
  EXPECT_TRUE(g.Control<STopicButtonCtrl>(kAll)->IsLatched());
  EXPECT_FALSE(g.Control<STopicButtonCtrl>(kConstant)->IsLatched());
  EXPECT_EQ(g.inv().effectsFilter, 2u);
}

TEST(InventoryLists, PagingAndLineScrolling) {
  SheetGame g;
  ASSERT_TRUE(g.OpenSheet(4));
  g.ClearEffects();
  g.game.tapControl(kAll);
  const i32 perPage = g.inv().pageList.PageSize();
  ASSERT_GT(perPage, 1);
  ASSERT_LT(perPage, 22);
  // Exactly a page of rows: down is off.
  for (i32 c = 1; c <= perPage; ++c) g.AddEffect(u32(c), kSourceCondition, nullptr, 1, 0, 1);
  g.Rebuild();
  EXPECT_EQ(i32(g.inv().pageList.RowCount()), perPage);
  EXPECT_FALSE(g.Enabled(kEffectsDown));
  EXPECT_FALSE(g.Enabled(kEffectsUp));
  // One row more: down moves to the next page and selects its first row.
  g.AddEffect(u32(perPage + 1), kSourceCondition, nullptr, 1, 0, 1);
  g.Rebuild();
  ASSERT_TRUE(g.Enabled(kEffectsDown));
  g.game.tapControl(kEffectsDown);
  EXPECT_EQ(g.inv().pageList.firstRow, perPage);
  EXPECT_EQ(g.inv().pageList.selected, perPage);
  EXPECT_EQ(g.inv().pageList.SelectedKeyText(), std::to_string(perPage + 1));
  EXPECT_FALSE(g.Enabled(kEffectsDown));
  EXPECT_TRUE(g.Enabled(kEffectsUp));
  g.game.tapControl(kEffectsUp);
  EXPECT_EQ(g.inv().pageList.selected, 0);

  // The quests' description: one line keeps both buttons off, three lines take down twice.
  SQuest* cellar = g.core().world.rules.quests.FindByName("base_quest_cellar");
  ASSERT_NE(cellar, nullptr);
  g.player().ClearLists();
  g.player().AddQuest("base_quest_cellar");
  g.game.tapControl(SStateInventory::kQuestsTab);
  cellar->texts[1] = "Short.";
  g.inv().ShowSelectedRow();
  EXPECT_EQ(g.inv().pageDescription.LineCount(), 1u);
  EXPECT_FALSE(g.Enabled(341));
  EXPECT_FALSE(g.Enabled(342));
  cellar->texts[1] = "One.\rTwo.\rThree.";
  g.inv().ShowSelectedRow();
  EXPECT_EQ(g.inv().pageDescription.LineCount(), 3u);
  g.game.tapControl(342);
  g.game.tapControl(342);
  EXPECT_EQ(g.inv().pageDescription.firstLine, 2);
  EXPECT_FALSE(g.Enabled(342));
  EXPECT_TRUE(g.Enabled(341));
  g.game.tapControl(341);
  EXPECT_EQ(g.inv().pageDescription.firstLine, 1);

  // The Diseases page's buttons scroll like the others' (the disease given more effects to describe).
  SDisease* rot = g.core().world.rules.diseases.FindByName("base_disease_rot");
  ASSERT_NE(rot, nullptr);
  for (u32 i = 0; i < 4; ++i) rot->effects.Add(rot->effects.Entry(0)->Copy());
  g.player().diseases.Add(rot);
  g.game.tapControl(SStateInventory::kSheetTab);
  g.game.tapControl(SStateInventory::kSubPageIds[3]);
  ASSERT_EQ(g.Rows(), std::vector<std::string>{"Grave rot"});
  EXPECT_FALSE(g.Enabled(517));
  ASSERT_GT(g.inv().pageDescription.LineCount(), 1u) << g.Body();
  g.game.tapControl(519);
  EXPECT_EQ(g.inv().pageDescription.firstLine, 1);
  g.game.tapControl(518);
  EXPECT_EQ(g.inv().pageDescription.firstLine, 0);
}

TEST(InventoryLists, QuestsByFilterWithTheirIcons) {
  SheetGame g;
  ASSERT_TRUE(g.Open());
  SPlayer& p = g.player();
  p.AddQuest("base_quest_cellar");
  p.AddQuest("base_quest_cyclops");
  p.FindQuest("base_quest_cyclops")->state = 3;  // solved and failed: solved
  g.game.tapControl(SStateInventory::kQuestsTab);
  const struct {
    u16 filter;
    std::vector<std::string> rows;
  } cases[] = {{345, {"Clear the cellar"}}, {346, {}}, {347, {}}, {344, {}}};
  const SQuest* cyclops = g.core().world.rules.quests.FindByName("base_quest_cyclops");
  ASSERT_NE(cyclops, nullptr);
  for (const auto& c : cases) {
    g.game.tapControl(c.filter);
    if (c.filter == 344) {
      EXPECT_EQ(g.inv().pageList.RowCount(), 2u);
      continue;
    }
    std::vector<std::string> rows = c.rows;
    if (c.filter == 346) rows = {cyclops->texts[0]};
    EXPECT_EQ(g.Rows(), rows) << c.filter;
    EXPECT_TRUE(g.Control<STopicButtonCtrl>(c.filter)->IsLatched());
  }
  // Failed shows nothing: no selection, an empty description, the buttons off.
  g.game.tapControl(347);
  EXPECT_EQ(g.inv().pageList.selected, -1);
  EXPECT_EQ(g.inv().pageDescription.title.CStr() ? std::string(g.inv().pageDescription.title.CStr()) : "", "");
  EXPECT_FALSE(g.Enabled(340));
  EXPECT_FALSE(g.Enabled(342));
  // The icons: active and solved, from the three status slots. The chosen filter stands on a dark ground of
  // its own, which goes with it: none is left behind "Failed".
  g.game.tapControl(344);
  g.game.frame();
  auto grounded = [&](u16 id) {
    const STopicButtonCtrl* b = g.Control<STopicButtonCtrl>(id);
    const u16 ground = MakeColor565(b->litGround);
    u32 n = 0;
    for (i32 y = b->top; y < b->top + b->height; ++y)
      for (i32 x = b->left; x < b->left + b->bulletWidth + b->widest; ++x) n += g.game.panel().At(x, y) == ground;
    return n;
  };
  EXPECT_GT(grounded(344), 0u);
  EXPECT_EQ(grounded(347), 0u);
  EXPECT_EQ(g.inv().pageList.Row(0)->value, 2);
  EXPECT_EQ(g.inv().pageList.Row(1)->value, 0);
  EXPECT_EQ(g.inv().pageList.icons[0], g.core().Picture(PictureRole::kQuestStatus));
  EXPECT_EQ(g.inv().pageList.rightColumnWidth, 20);
  g.game.tapRow(kQuestsList, 1);
  EXPECT_EQ(std::string(g.inv().pageDescription.title.CStr()), cyclops->texts[0]);
  EXPECT_EQ(testgolden::CompareText("inventory_quests_page", g.game.describeUi()), "");
}

TEST(InventoryLists, SpellsBySchoolAndMagicItems) {
  SheetGame g;
  ASSERT_TRUE(g.Open());
  SPlayer& p = g.player();
  SWorldRules& rules = g.core().world.rules;
  p.race = 2;
  p.LearnSpell("base_spellcurelightwounds", false);
  p.skills[8] = 30;
  g.Make("base_scroll_fireball");
  g.Make("base_scroll_fireball");
  SItem* wand = g.Make("base_wand_lightning");
  SItem* full = g.Make("base_wand_lightning");
  // A scroll of its own enchantment casting an undead spell, barred for this race.
  SItem* plague = g.Make("base_scroll_blank");
  ASSERT_TRUE(wand && full && plague);
  const i32 charges = rules.items->FindType("base_wand_lightning")->enchantment->Entry(0)->base;
  wand->count = 3;
  full->count = u16(charges);
  plague->enchantments = new SEffectList;
  auto* cast = new SEffect;
  cast->mode = 2;
  cast->SetName("base_spellplague");
  plague->enchantments->Add(cast);

  g.game.tapControl(SStateInventory::kSpellsTab);
  EXPECT_EQ(g.inv().spellsSchool, 1u);
  EXPECT_EQ(g.Rows(), std::vector<std::string>{"Cure light wounds"});
  const SSpell* cure = rules.spells.FindByName("base_spellcurelightwounds");
  const std::string body = g.Body();
  const std::string cost = Glyphs("Costs " + std::to_string(cure->CostAtLevel(30)) + " sp") + "|";
  EXPECT_EQ(body.substr(body.size() - cost.size()), cost);
  EXPECT_EQ(body.substr(0, 15), "Heals a little.");

  g.game.tapControl(SStateInventory::kFirstSchoolId + 6);
  EXPECT_EQ(g.Text(SStateInventory::kSchoolNameId), "Magic items");
  SString c;
  c.Format(" (%u ch)", u32(charges));
  SString partial;
  partial.Format(" (3/%u ch)", u32(charges));
  const std::string scroll = std::string(1, char(181)) + Name(rules, g.Type("base_scroll_fireball"), nullptr);
  const std::string wandName = std::string(1, char(182)) + Name(rules, wand->type, wand);
  EXPECT_EQ(g.Rows(), (std::vector<std::string>{scroll + " (2)", wandName + partial.CStr(), wandName + c.CStr()}));
  g.game.tapRow(kSpellsList, 1);
  EXPECT_NE(g.Body().find("- "), std::string::npos);

  // Another page and back shows school 1 again.
  g.game.tapControl(SStateInventory::kQuestsTab);
  g.game.tapControl(SStateInventory::kSpellsTab);
  EXPECT_EQ(g.inv().spellsSchool, 1u);
  EXPECT_EQ(g.Text(SStateInventory::kSchoolNameId), "Heal spells");
}

// Random effect entries over their whole ranges fill every list page and show every row's description.
TEST(InventoryLists, RandomEffectsFillEveryPage) {
  SheetGame g;
  ASSERT_TRUE(g.Open());
  SWorldRules& rules = g.core().world.rules;
  SPlayer& p = g.player();
  const void* records[7] = {nullptr,
                            g.Make("base_weap_shortswordcheap"),
                            g.Type("base_potion_heal"),
                            rules.spells.FindByName("base_spellfeather"),
                            rules.diseases.FindByName("base_disease_rot"),
                            rules.abilities.FindByName("base_ability_rasvim"),
                            nullptr};
  const char* texts[] = {nullptr, "base_disease_rot", "base_spellfeather", "", "no_such_record"};
  std::mt19937 random(38);
  for (u32 round = 0; round < 20; ++round) {
    g.ClearEffects();
    for (u32 n = 0; n < 60; ++n) {
      const u32 category = 1 + random() % 23, source = random() % 8;
      g.AddEffect(category, source, source < 7 ? records[source] : nullptr, i32(random() % 65536) - 32768,
                  u8(random() % 256), u8(random() % 256), texts[random() % 5]);
    }
    p.quests.DeleteAll();
    p.AddQuest("base_quest_cellar");
    p.FindQuest("base_quest_cellar")->state = u8(random() % 256);
    for (u16 tab : {SStateInventory::kQuestsTab, SStateInventory::kSpellsTab}) {
      g.game.tapControl(tab);
      for (u32 i = 0; i < g.inv().pageList.RowCount(); ++i) {
        g.inv().pageList.Select(i32(i));
        g.inv().ShowSelectedRow();
      }
    }
    g.game.tapControl(SStateInventory::kSheetTab);
    for (u32 sub = 2; sub < 5; ++sub) {
      g.game.tapControl(SStateInventory::kSubPageIds[sub]);
      for (u16 filter : {kDynamic, kConstant, kAll}) {
        if (sub == 4) g.game.tapControl(filter);
        for (u32 i = 0; i < g.inv().pageList.RowCount(); ++i) {
          g.inv().pageList.Select(i32(i));
          g.inv().ShowSelectedRow();
          if (sub == 4) {
            EXPECT_FALSE(g.Body().empty());
          }
        }
      }
    }
    g.game.frame(1);
  }
}
