// The inventory with the world around it: the chest's container from its list, the use action on closing,
// and the view kept in a saved game.
#include "InventoryGame.h"
#include "app/DuskmireApp.h"
#include "core/ui/SDialogLoading.h"
#include "script/SScriptContext.h"
#include "world/SMapArea.h"
#include "world/SMapObjectType.h"

#include <gtest/gtest.h>

// "Open it" in the chest's list shows the chest's items; closing runs the use action on the chest, even
// when nothing was taken.
TEST(InventoryWorld, TheChestOpensAndClosingRunsItsUseAction) {
  InventoryGame g;
  ASSERT_TRUE(g.Enter("base_dungeon1", 1, 12, 90));  // the chest against the west wall
  g.game.press(kActionUse);
  ASSERT_TRUE(g.Choose(SStateGame::kChoiceList, "Ok"));  // the first row: "Open it"
  ASSERT_TRUE(g.game.waitUntil(GameHarness::stateIs(kStateInventory), 20));
  SMapArea* area = g.core().world.modules.FindMap("base_dungeon1");
  const SMapObjectInst* chest = area->FindObjectByName("base_obj_chest");
  ASSERT_NE(chest, nullptr);
  EXPECT_EQ(g.inv().container, area->FindContainerById(chest->containerId));
  EXPECT_EQ(g.inv().mapObject, chest);
  EXPECT_EQ(g.inv().containerView, 1u);  // the chest's items first
  EXPECT_EQ(g.inv().grid.SlotCount(), 3u);
  g.core().scriptContext->eventCode = 0;
  g.game.tapControl(SStateInventory::kCloseId);
  ASSERT_TRUE(g.game.waitUntil(GameHarness::stateIs(kStateGame), 10));
  EXPECT_EQ(g.core().scriptContext->eventCode, MapEvent::kTargetAction);
}

// The selected item's text shows only in the description view, in the chest's view as in the pack's: with
// the view off both show its name alone.
TEST(InventoryWorld, TheChestsViewDescribesTheSelectedItemInTheDescriptionView) {
  InventoryGame g;
  ASSERT_TRUE(g.Enter("base_dungeon1", 1, 12, 90));
  g.game.press(kActionUse);
  ASSERT_TRUE(g.Choose(SStateGame::kChoiceList, "Ok"));
  ASSERT_TRUE(g.game.waitUntil(GameHarness::stateIs(kStateInventory), 20));
  ASSERT_EQ(g.inv().containerView, 1u);
  ASSERT_NE(g.inv().grid.selectedSlot, nullptr);
  for (u32 container : {1u, 0u})
    for (u32 view : {1u, 0u}) {
      g.inv().containerView = container;
      g.inv().descriptionView = view;
      g.inv().RefreshDescription();
      EXPECT_FALSE(g.inv().description.title.IsEmpty()) << "container " << container << ", view " << view;
      EXPECT_EQ(g.inv().description.lines.Count() != 0, view == 1) << "container " << container << ", view " << view;
    }
}

// The view words go into a saved game and come back with it; the next Enter resets all but the
// description view and the spells school.
TEST(InventoryWorld, TheViewKeptInASavedGame) {
  GameHarness::Options options;
  options.copyData = true;
  InventoryGame g(options);
  ASSERT_TRUE(g.Open());
  g.Make("base_acc_ring");  // the accessories' button needs one
  g.Refresh();
  g.game.tapControl(SStateInventory::kHideDescriptionId);
  g.game.tapControl(SStateInventory::kFirstCategoryId + 3);
  g.game.tapControl(SStateInventory::kSheetTab);
  g.inv().spellsSchool = 4;
  g.game.tapControl(SStateInventory::kSubPageIds[2]);
  ASSERT_EQ(g.inv().sheetSubPage, 2u);
  g.game.tapControl(SStateInventory::kMainMenuId);
  ASSERT_TRUE(g.game.waitUntil(GameHarness::stateIs(kStateMain), 10));
  ASSERT_EQ(g.core().saveGame.Write(1), 1);

  SStateInventory& inv = g.inv();
  inv.page = inv.sheetSubPage = inv.category = 0;
  inv.descriptionView = 1;
  inv.spellsSchool = 1;
  SDialogLoading loading;
  loading.Attach(&g.core());
  loading.Layout();
  ASSERT_TRUE(g.core().BeginFrame());
  ASSERT_EQ(g.core().saveGame.Load(1, &loading), 1);
  g.core().Present();
  EXPECT_EQ(inv.page, SStateInventory::kSheetPage);
  EXPECT_EQ(inv.sheetSubPage, 2u);
  EXPECT_EQ(inv.category, 3u);
  EXPECT_EQ(inv.descriptionView, 0u);
  EXPECT_EQ(inv.spellsSchool, 4u);

  g.game.setState(kStateGame, 0);
  ASSERT_TRUE(g.Reopen());
  EXPECT_EQ(inv.sheetSubPage, 0u);
  EXPECT_EQ(inv.category, 0u);
  EXPECT_EQ(inv.descriptionView, 0u);
  EXPECT_EQ(inv.spellsSchool, 4u);
}

// A tap on the floor of the view opens the bag lying on the player's cell, its items first; with no bag
// there it does nothing.
TEST(InventoryWorld, TheFloorOpensTheBagOnTheCell) {
  InventoryGame g;
  ASSERT_TRUE(g.Enter("base_out0101", 17, 17, 0));
  const SWorldView& v = g.state().view;
  const i32 x = v.viewX + v.viewWidth / 2, y = v.viewY + v.viewHeight * 9 / 10;
  g.game.penDown(x, y);
  g.game.penUp(x, y);
  EXPECT_EQ(g.game.state(), kStateGame);
  ASSERT_TRUE(g.Reopen());  // the portrait makes the bag
  g.Make("base_food_bread", g.inv().container);
  g.game.tapControl(SStateInventory::kCloseId);
  ASSERT_TRUE(g.game.waitUntil(GameHarness::stateIs(kStateGame), 10));
  g.game.frame();
  g.game.penDown(x, y);
  g.game.penUp(x, y);
  ASSERT_TRUE(g.game.waitUntil(GameHarness::stateIs(kStateInventory), 10));
  EXPECT_EQ(g.inv().containerView, 1u);
  ASSERT_EQ(g.inv().grid.SlotCount(), 1u);
  EXPECT_STREQ(g.inv().grid.Slot(0)->type->name.Text(), "base_food_bread");
}

// The mortar opens the alchemy dialog and the hammer the repair dialog over the pack; their close
// button brings the items page back with the same selection.
TEST(InventoryWorld, TheToolDialogsOpenAndClose) {
  InventoryGame g;
  ASSERT_TRUE(g.Open());
  g.Make("base_alch_mortar");
  g.Make("base_repair_hammer");
  g.Refresh();
  const struct {
    const char* tool;
    u32 page;
    SDialog* dialog;
  } cases[] = {{"base_alch_mortar", SStateInventory::kAlchemyPage, &g.inv().alchemy},
               {"base_repair_hammer", SStateInventory::kRepairPage, &g.inv().repair}};
  for (const auto& c : cases) {
    ASSERT_TRUE(g.Select(c.tool));
    const i32 selected = g.inv().grid.selected;
    g.game.tapControl(SStateInventory::kUseId);
    EXPECT_EQ(g.inv().page, c.page) << c.tool;
    ASSERT_EQ(g.game.openChild(), c.dialog) << c.tool;
    g.game.tapControl(SDialogAlchemy::kCloseId);  // the repair dialog closes by the same id
    EXPECT_EQ(g.inv().page, SStateInventory::kItemsPage) << c.tool;
    EXPECT_EQ(g.game.openChild(), nullptr) << c.tool;
    EXPECT_EQ(g.inv().grid.selected, selected) << c.tool;
  }
  // With a threat neither opens.
  g.state().dangerCountdown = 1;
  ASSERT_TRUE(g.Select("base_repair_hammer"));
  g.game.tapControl(SStateInventory::kUseId);
  EXPECT_EQ(g.game.openChild(), nullptr);
  EXPECT_EQ(g.Title(), "You cannot repair items when there might be immediate threat.");
}
