// The item grid keeps to its own place on the items page: its cells and their lines lie inside it on every
// screen, every screen shows the columns and rows of its mode's grid, with a pack that fills every cell of
// its page a tap on a tab beside it switches the page, and a tap just outside the grid selects no cell.
#include "InventoryGame.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// One item of every kind the world knows: more than any mode's page of cells holds.
void FillWithEveryKind(InventoryGame& g) {
  const auto& types = g.core().world.items.types;
  for (u32 i = 0; i < types.Count(); ++i)
    if (SItemType* t = types.At(i))
      if (SItem* item = t->CreateInstance(-1, *g.core().random)) g.player().inventory.AddItem(item);
  g.Refresh();
}

}  // namespace

TEST(InventoryGridPlace, TheQuestsTabAnswersBesideAFullGrid) {
  for (i32 mode : {8, 9, 11, 14, 15}) {
    InventoryGame g(GameHarness::forMode(mode));
    ASSERT_TRUE(g.Open()) << mode;
    FillWithEveryKind(g);
    const SItemsCtrl& grid = g.inv().grid;
    ASSERT_GT(i32(grid.SlotCount()), grid.PageSize()) << mode;

    // Just right of the grid's place and just below it (two pixels, as the stylus's scaling may round): a
    // cell that runs on there is not the grid's to give.
    g.inv().grid.Select(0);
    const i32 right = grid.left + grid.width + 2, below = grid.top + grid.height + 2;
    for (auto [x, y] : {std::pair{right, grid.top + 2}, std::pair{grid.left + 2, below}}) {
      g.game.penDown(x, y);
      g.game.penUp(x, y);
      EXPECT_EQ(grid.selected, 0) << mode << " at " << x << "," << y;
    }

    g.game.tapControl(SStateInventory::kQuestsTab);
    EXPECT_EQ(g.inv().page, SStateInventory::kQuestsPage) << mode;
  }
}

TEST(InventoryGridPlace, TheCellsLieInsideThePlaceOnEveryScreen) {
  for (i32 mode : GameHarness::deviceModes()) {
    InventoryGame g(GameHarness::forMode(mode));
    ASSERT_TRUE(g.Open()) << mode;
    FillWithEveryKind(g);
    const SItemsCtrl& grid = g.inv().grid;
    ASSERT_GT(grid.columns * grid.rows, 0) << mode;
    const i32 right = grid.gridX + grid.columns * grid.cellWidth + (grid.columns - 1) * grid.separatorWidth;
    const i32 bottom = grid.gridY + grid.rows * grid.cellHeight + (grid.rows - 1) * grid.separatorHeight;
    EXPECT_LE(right, grid.left + grid.width) << mode;
    EXPECT_LE(bottom, grid.top + grid.height) << mode;
    // The page turns by what is shown.
    g.game.tapControl(SStateInventory::kGridNextId);
    EXPECT_EQ(grid.firstVisible, grid.columns * grid.rows) << mode;
  }
}

// The grid of the mode on every screen: its columns and rows all shown, with the cell-frame set the mode's
// grid names (the small one, picture set 77, on the compact screens; the large one, set 16, elsewhere).
TEST(InventoryGridPlace, EveryScreenShowsItsGridWithItsCellFrames) {
  const struct {
    i32 mode, columns, rows;
    u32 cellSet;
  } cases[] = {{6, 3, 5, 77},  {7, 5, 3, 77},  {8, 5, 2, 77},  {9, 5, 7, 16},  {10, 6, 4, 16},
               {11, 6, 3, 16}, {14, 7, 7, 16}, {15, 7, 8, 16}, {16, 6, 5, 77}};
  std::set<i32> covered;
  for (const auto& c : cases) {
    covered.insert(c.mode);
    InventoryGame g(GameHarness::forMode(c.mode));
    ASSERT_TRUE(g.Open()) << c.mode;
    const SItemsCtrl& grid = g.inv().grid;
    EXPECT_EQ(grid.gridPictures, g.core().PictureSet(c.cellSet)) << c.mode;
    EXPECT_EQ(grid.columns, c.columns) << c.mode;
    EXPECT_EQ(grid.rows, c.rows) << c.mode;
  }
  for (i32 mode : GameHarness::deviceModes()) EXPECT_TRUE(covered.count(mode)) << "mode " << mode;
}
