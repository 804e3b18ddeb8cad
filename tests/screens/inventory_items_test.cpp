// The inventory's items page through the real program: opening from the game, the categories, equipping
// and removing with the hand rules and refusals, the description views' messages.
#include "InventoryGame.h"
#include "core/ui/SDialogMessage.h"

#include <gtest/gtest.h>

// The portrait opens the pack with a new bag on the player's cell; the game waits on the stack, and the
// category buttons filter the grid (a spellbook counts for button 317 only).
TEST(InventoryItems, PortraitOpensThePackAndCategoriesFilter) {
  InventoryGame g;
  ASSERT_TRUE(g.Open());
  EXPECT_EQ(g.game.stateStack(), (std::vector<i32>{kStateGame}));
  EXPECT_NE(g.inv().container, nullptr);
  EXPECT_EQ(g.inv().containerView, 0u);
  const SMapCell* cell = g.state().window.Cell(17, 17);
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(cell->bagId, g.inv().container->id);

  g.Make("base_weap_shortswordcheap");
  g.Make("base_spellbook_cure");
  g.Make("base_book_letter");
  g.Make("base_money_100");
  g.Refresh();
  EXPECT_EQ(g.inv().grid.SlotCount(), 4u);
  const std::vector<bool> expected = {true, true, false, false, true, false, false, true, true};
  for (u32 i = 0; i < SStateInventory::kCategories; ++i)
    EXPECT_EQ(g.inv().categoryButtons[i].IsEnabled(), expected[i]) << "button " << 310 + i;

  g.game.tapControl(317);
  EXPECT_EQ(g.inv().category, 7u);
  ASSERT_EQ(g.inv().grid.SlotCount(), 1u);
  EXPECT_STREQ(g.inv().grid.Slot(0)->type->name.Text(), "base_spellbook_cure");
  EXPECT_TRUE(g.inv().categoryButtons[7].IsLatched());
  g.game.tapControl(314);  // books show the spellbook too
  EXPECT_EQ(g.inv().grid.SlotCount(), 2u);
  g.game.tapControl(310);
  EXPECT_EQ(g.inv().grid.SlotCount(), 4u);
}

// The hands: a second short sword goes left; with both hands full the question opens and its buttons
// place the third; a long bow empties the left hand; a shield empties the right hand of a short bow but
// not of a long bow. Messages in both description views.
TEST(InventoryItems, HandsAndTheHandQuestion) {
  InventoryGame g;
  ASSERT_TRUE(g.Open());
  SItem* a = g.Make("base_weap_shortswordcheap");
  SItem* b = g.Make("base_weap_shortswordcheap");
  SItem* c = g.Make("base_weap_shortswordcheap");
  g.Refresh();
  // Equal stacks: the three swords are one cell until one is worn.
  ASSERT_TRUE(g.Select("base_weap_shortswordcheap"));
  g.Confirm();
  EXPECT_EQ(g.player().Equipped(5), a);
  EXPECT_EQ(g.Title(), "You have wielded an item of Short sword.");
  ASSERT_TRUE(g.Select("base_weap_shortswordcheap", 1));
  g.Confirm();
  EXPECT_EQ(g.player().Equipped(6), b);
  ASSERT_TRUE(g.Select("base_weap_shortswordcheap", 2));
  g.Confirm();
  EXPECT_EQ(g.inv().page, SStateInventory::kHandPage);
  ASSERT_EQ(g.game.openChild(), &g.inv().handBox);
  g.game.frame();
  g.TapCtrl(*g.inv().handBox.Button(SDialogMessage::kLeft));
  EXPECT_EQ(g.inv().page, SStateInventory::kItemsPage);
  EXPECT_EQ(g.game.openChild(), nullptr);
  EXPECT_EQ(g.player().Equipped(6), c);
  EXPECT_EQ(g.Title(), "You have wielded an item of Short sword in your left hand.");

  // Without the description view the message names the type.
  g.game.tapControl(SStateInventory::kHideDescriptionId);
  EXPECT_EQ(g.inv().descriptionView, 0u);
  ASSERT_TRUE(g.Select("base_weap_shortswordcheap"));  // the right hand's: removed
  g.Confirm();
  EXPECT_EQ(g.player().Equipped(5), nullptr);
  EXPECT_EQ(g.Title(), "Removed: an item of Short sword.");

  SItem* longBow = g.Make("base_weap_longbow");
  g.Refresh();
  ASSERT_TRUE(g.Select("base_weap_longbow"));
  g.Confirm();
  EXPECT_EQ(g.player().Equipped(5), longBow);
  EXPECT_EQ(g.player().Equipped(6), nullptr);
  EXPECT_EQ(g.Title(), "Wielded: Long bow.");

  SItem* shield = g.Make("base_armor_shield");
  g.Refresh();
  ASSERT_TRUE(g.Select("base_armor_shield"));
  g.Confirm();
  EXPECT_EQ(g.player().Equipped(6), shield);
  EXPECT_EQ(g.player().Equipped(5), longBow);  // a long bow stays

  SItem* shortBow = g.Make("base_weap_shortbow");
  g.Refresh();
  ASSERT_TRUE(g.Select("base_weap_shortbow"));
  g.Confirm();
  EXPECT_EQ(g.player().Equipped(5), shortBow);
  EXPECT_EQ(g.player().Equipped(6), nullptr);  // the bow took both hands
  ASSERT_TRUE(g.Select("base_armor_shield"));
  g.Confirm();
  EXPECT_EQ(g.player().Equipped(6), shield);
  EXPECT_EQ(g.player().Equipped(5), nullptr);  // a short bow leaves the hand
}

// Refusals: a weapon or armour below 10 percent can be neither put on nor taken off, missiles never
// count as broken; with a threat only weapons and shields; an unusable type is refused by name; an
// alignment the player lacks does nothing at all.
TEST(InventoryItems, Refusals) {
  InventoryGame g;
  ASSERT_TRUE(g.Open());
  SItem* worn = g.Make("base_weap_shortswordcheap", nullptr, 9);
  SItem* daggers = g.Make("base_weap_daggers");
  daggers->count = 0;
  g.Refresh();
  ASSERT_TRUE(g.Select("base_weap_shortswordcheap"));
  g.Confirm();
  EXPECT_EQ(g.player().Equipped(5), nullptr);
  EXPECT_EQ(g.Title(), "This item is broken - you cannot wield it.");
  g.player().EquipItem(worn, false);
  g.Refresh();
  ASSERT_TRUE(g.Select("base_weap_shortswordcheap"));
  g.Confirm();
  EXPECT_EQ(g.player().Equipped(5), worn);  // nor taken off
  ASSERT_TRUE(g.Select("base_weap_daggers"));
  g.Confirm();
  EXPECT_EQ(g.player().Equipped(5), daggers);

  // The threat counter: a ring waits, a shield does not.
  SItem* ring = g.Make("base_acc_ring");
  SItem* shield = g.Make("base_armor_shield");
  g.Refresh();
  g.state().dangerCountdown = 3;
  ASSERT_TRUE(g.Select("base_acc_ring"));
  g.Confirm();
  EXPECT_EQ(g.player().Equipped(8), nullptr);
  EXPECT_EQ(g.Title(),
            "You cannot equip or remove anything (except weapons and shields) when there might be immediate threat.");
  ASSERT_TRUE(g.Select("base_armor_shield"));
  g.Confirm();
  EXPECT_EQ(g.player().Equipped(6), shield);
  g.state().dangerCountdown = 0;
  ASSERT_TRUE(g.Select("base_acc_ring"));
  g.Confirm();
  EXPECT_EQ(g.player().Equipped(8), ring);

  // Alignment: the long sword wants good fame.
  g.player().fame = -1;
  g.Make("base_weap_longsword");
  g.Refresh();
  ASSERT_TRUE(g.Select("base_weap_longsword"));
  g.Confirm();
  EXPECT_EQ(g.Equipped(5), "base_weap_daggers");
  g.player().fame = 0;
  g.Refresh();
  ASSERT_TRUE(g.Select("base_weap_longsword"));
  g.Confirm();
  EXPECT_EQ(g.Equipped(5), "base_weap_longsword");
}
