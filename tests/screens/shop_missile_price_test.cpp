// Missiles are priced by the dozen (a stack's count times its value, over 12): a stack as a shop stocks it
// (10 to 19 of them) costs at least 1 gold in the shop, and fetches at least 1 when the player sells it back.
#include "core/SGameCore.h"
#include "core/ui/SItemsCtrl.h"
#include "foundation/SRandom.h"
#include "game/SStateGame.h"
#include "player/SPlayer.h"
#include "screens/SStateShop.h"
#include "support/ScreenTour.h"
#include "world/SItem.h"
#include "world/SItemTable.h"
#include "world/SMapArea.h"

#include <gtest/gtest.h>

namespace {

// The merchant's grid in the view shown: each missile stack and its price.
void ExpectPricesOfOne(SStateShop& shop, const char* view) {
  shop.FillGrid(false);
  u32 missiles = 0;
  for (u32 i = 0; i < shop.grid.SlotCount(); ++i) {
    const SItemSlot* s = shop.grid.Slot(i32(i));
    if (!s || !s->type || !s->type->IsMissile() || !s->item) continue;
    ++missiles;
    EXPECT_GE(s->price, 1u) << view << ": " << s->item->count << " of " << s->type->name.Text() << " (value "
                            << s->type->value << ")";
  }
  EXPECT_GT(missiles, 0u) << view;
}

TEST(ShopPrices, AStockedStackOfMissilesCostsAndFetchesAtLeastOneGold) {
  ScreenTour tour(7);
  tour.only("screen/shop");
  u32 visited = 0;
  const std::vector<std::string> missed = tour.run([&](const std::string& stop, GameHarness& game) {
    if (stop != "screen/shop") return;
    ++visited;
    auto& shop = *static_cast<SStateShop*>(game.core().currentState);
    // The merchant called by the tour has no stock on the map: one of his own, as a restock fills it.
    SMapArea* area = game.core().stateGame->window.CurrentArea();
    ASSERT_NE(area, nullptr);
    if (!shop.stock && (shop.stock = area->AddContainer())) shop.stock->id = 251;
    ASSERT_NE(shop.stock, nullptr);
    SPlayer& player = game.core().player;
    for (SItemType* type : game.core().world.items.types) {
      if (!type->IsMissile()) continue;
      for (u16 count : {u16(10), u16(19)}) {
        SItem* stocked = type->CreateInstance(-1, *game.core().random);
        ASSERT_NE(stocked, nullptr);
        stocked->count = count;
        shop.stock->items.Add(stocked);
        if (SItem* own = player.AddItems(type, 1)) own->count = count;
      }
    }
    shop.viewMode = 1;
    ExpectPricesOfOne(shop, "buying");
    shop.viewMode = 0;
    ExpectPricesOfOne(shop, "selling");
  });
  EXPECT_EQ(missed, std::vector<std::string>{});
  EXPECT_EQ(visited, 1u);
}

}  // namespace
