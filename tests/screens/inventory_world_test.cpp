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
  ASSERT_TRUE(g.Enter("base_dungeon1", 3, 11, 180));  // the chest to the south
  g.game.press(kActionUse);
  ASSERT_TRUE(g.Choose(SStateGame::kChoiceList, "Ok"));  // the first row: "Open it"
  ASSERT_TRUE(g.game.waitUntil(GameHarness::stateIs(kStateInventory), 20));
  SMapArea* area = g.core().world.modules.FindMap("base_dungeon1");
  const SMapObjectInst* chest = area->FindObjectByName("base_obj_chest");
  ASSERT_NE(chest, nullptr);
  EXPECT_EQ(g.inv().container, area->FindContainerById(chest->containerId));
  EXPECT_EQ(g.inv().mapObject, chest);
  EXPECT_EQ(g.inv().containerView, 1u);  // the chest's items first
  EXPECT_EQ(g.inv().grid.SlotCount(), 2u);
  g.core().scriptContext->eventCode = 0;
  g.game.tapControl(SStateInventory::kCloseId);
  ASSERT_TRUE(g.game.waitUntil(GameHarness::stateIs(kStateGame), 10));
  EXPECT_EQ(g.core().scriptContext->eventCode, MapEvent::kTargetAction);
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
