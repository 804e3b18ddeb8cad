// The inventory's look: the items page on the 240x320 screen with the description view off, the spells
// page's school tabs, the quests page, and the controls of the reading and face dialogs.
#include "InventoryGame.h"
#include "support/GoldenText.h"
#include "support/Png.h"

#include <gtest/gtest.h>

namespace {

// A pack of a few kinds, a sword and a ring worn, a stack of three loaves.
void FillPack(InventoryGame& g) {
  g.player().EquipItem(g.Make("base_weap_shortswordcheap"), false);
  g.player().EquipItem(g.Make("base_acc_ring"), false);
  g.Make("base_armor_shield");
  for (u32 i = 0; i < 3; ++i) g.Make("base_food_bread");
  g.Make("base_book_letter");
  g.Make("base_spellbook_cure");
  g.player().money = 12345;
}

}  // namespace

TEST(InventoryGolden, TheItemsPageWithoutTheDescription) {
  for (i32 mode : {7, 10}) {
    InventoryGame g(GameHarness::forMode(mode));
    ASSERT_TRUE(g.Open());
    ASSERT_EQ(g.core().displayMode, mode);
    FillPack(g);
    g.game.tapControl(SStateInventory::kHideDescriptionId);
    g.inv().Rebuild();
    ASSERT_TRUE(g.Select("base_weap_shortswordcheap"));
    g.inv().RefreshDescription();
    g.inv().SetFullRepaint();
    g.game.frame(2);
    const Os::Panel& panel = g.game.panel();
    const std::string golden = mode == 7 ? "inventory_items_mode7" : "inventory_items_mode10";
    EXPECT_EQ(testpng::CompareGolden(golden, panel.pixels.data(), panel.width, panel.height, panel.width), "");
  }
}

// A full pack of things a player must tell apart at a glance: the staff beside the candle, the mail, the
// shield, the helm and the sleeves, the belt, the cloak, the jerkin and the fur boots, mana beside healing,
// books of different covers, charms, gems, keys and tools. The grid's first page, as the pack shows it, its
// cells in their full lines (on 480x480 the doll and the grid fill the screen's height).
TEST(InventoryGolden, AFullPackShowsEachItemApart) {
  for (i32 mode : {7, 10, 11}) {
    InventoryGame g(GameHarness::forMode(mode));
    ASSERT_TRUE(g.Open());
    for (const char* name :
         {"base_weap_staff",      "base_misc_candle",   "base_armor_chain", "base_armor_shield",    "base_armor_helm",
          "base_armor_sleeves",   "base_armor_belt",    "base_armor_cloak", "base_armor_leather",   "base_boots_fur",
          "base_armor_gauntlets", "base_pmanasmall",    "base_phealsmall",  "base_potion_heal",     "base_pfullmana",
          "base_acc_amulet",      "base_book_swords",   "base_spbookcurse", "base_ingr_nightshade", "base_gem_ruby",
          "base_key_dungeon",     "base_repair_hammer", "base_misc_idol",   "base_card_knight",     "base_food_water"})
      g.Make(name);
    g.game.tapControl(SStateInventory::kHideDescriptionId);
    g.inv().Rebuild();
    ASSERT_TRUE(g.Select("base_armor_helm"));
    g.inv().RefreshDescription();
    g.inv().SetFullRepaint();
    g.game.frame(2);
    const Os::Panel& panel = g.game.panel();
    const std::string golden = mode == 7    ? "items_full_pack_240x320"
                               : mode == 10 ? "items_full_pack_480x640"
                                            : "items_full_pack_480x480";
    EXPECT_EQ(testpng::CompareGolden(golden, panel.pixels.data(), panel.width, panel.height, panel.width), "");
  }
}

// The spells page with the protection spells chosen: each school's tab a picture of its own (a heart, a
// shield, a bolt, an eye, a skull, a leaf, a wand), the chosen one lit among the others.
TEST(InventoryGolden, TheSpellSchoolsTabs) {
  for (i32 mode : {7, 10}) {
    InventoryGame g(GameHarness::forMode(mode));
    ASSERT_TRUE(g.Open());
    g.player().race = 2;
    for (const char* spell : {"base_spellcurelightwounds", "base_spellstoneskin"}) g.player().LearnSpell(spell, false);
    g.game.tapControl(SStateInventory::kSpellsTab);
    g.game.tapControl(209);
    g.game.frame(2);
    const Os::Panel& panel = g.game.panel();
    EXPECT_EQ(testpng::CompareGolden(mode == 7 ? "inventory_spells_240x320" : "inventory_spells_480x640",
                                     panel.pixels.data(), panel.width, panel.height, panel.width),
              "");
  }
}

// The quests page with an active and a solved quest: its dark headings and filters on the light page, the
// chosen filter on a dark ground of its own, the list and the description each on its own dark ground inside
// an unfilled frame.
TEST(InventoryGolden, TheQuestsPage) {
  for (i32 mode : {7, 10}) {
    InventoryGame g(GameHarness::forMode(mode));
    ASSERT_TRUE(g.Open());
    g.player().AddQuest("base_quest_cellar");
    g.player().AddQuest("base_quest_cyclops");
    g.player().FindQuest("base_quest_cyclops")->state = 1;
    g.game.tapControl(SStateInventory::kQuestsTab);
    g.game.frame(2);
    const Os::Panel& panel = g.game.panel();
    EXPECT_EQ(testpng::CompareGolden(mode == 7 ? "inventory_quests_240x320" : "inventory_quests_480x640",
                                     panel.pixels.data(), panel.width, panel.height, panel.width),
              "");
  }
}

TEST(InventoryGolden, TheReadingAndFaceDialogs) {
  InventoryGame g(GameHarness::forMode(7));
  ASSERT_TRUE(g.Open());
  FillPack(g);
  g.Refresh();
  ASSERT_TRUE(g.Select("base_book_letter"));
  g.game.tapControl(SStateInventory::kUseId);
  ASSERT_EQ(g.game.openChild(), &g.inv().reading);
  EXPECT_EQ(testgolden::CompareText("inventory_reading_letter", g.game.describeUi()), "");
  g.game.tapControl(SDialogItemRead::kCloseId);

  g.player().portrait.Assign("");
  g.game.tapControl(SStateInventory::kSheetTab);
  g.game.tapControl(SStateInventory::kFaceId);
  ASSERT_EQ(g.game.openChild(), &g.inv().faceSelect);
  EXPECT_EQ(testgolden::CompareText("inventory_face_select", g.game.describeUi()), "");
}

// Every display mode a device selects: the pack opens with its grid, every tab builds its page, and the
// reading and face dialogs open and close, whatever the mode's layout holds.
TEST(InventoryGolden, EveryDeviceModeBuildsThePages) {
  for (i32 mode : GameHarness::deviceModes()) {
    InventoryGame g(GameHarness::forMode(mode));
    ASSERT_TRUE(g.Open()) << mode;
    ASSERT_EQ(g.core().displayMode, mode);
    FillPack(g);
    g.Refresh();
    EXPECT_TRUE(g.inv().grid.IsVisible()) << mode;
    EXPECT_GT(g.inv().grid.columns, 0) << mode;
    for (u16 tab : {SStateInventory::kSheetTab, SStateInventory::kQuestsTab, SStateInventory::kSpellsTab,
                    SStateInventory::kItemsTab}) {
      g.game.tapControl(tab);
      EXPECT_EQ(g.inv().page, u32(tab - SStateInventory::kItemsTab)) << mode;
    }
    ASSERT_TRUE(g.Select("base_book_letter"));
    g.game.tapControl(SStateInventory::kUseId);
    EXPECT_EQ(g.game.openChild(), &g.inv().reading) << mode;
    g.game.tapControl(SDialogItemRead::kCloseId);
    g.game.tapControl(SStateInventory::kSheetTab);
    g.game.tapControl(SStateInventory::kFaceId);
    EXPECT_EQ(g.game.openChild(), &g.inv().faceSelect) << mode;
    g.game.tapControl(SDialogFaceSelect::kCancelId);
    EXPECT_EQ(g.game.openChild(), nullptr) << mode;
    g.game.tapControl(SStateInventory::kCloseId);
    EXPECT_TRUE(g.game.waitUntil(GameHarness::stateIs(kStateGame), 10)) << mode;
  }
}
