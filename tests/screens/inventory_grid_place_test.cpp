// The item grid keeps to its own place on the items page: its cells and their lines lie inside it on every
// screen, every screen shows the columns and rows of its mode's grid in their full lines, with a pack that
// fills every cell of its page a tap on a tab beside it switches the page, and a tap just outside the grid
// selects no cell. The item's description shares the doll's column with it.
#include "InventoryGame.h"
#include "core/SGameCore.h"
#include "core/SLayoutTable.h"
#include "core/ui/SPlayerEquipCtrl.h"
#include "core/ui/STextCtrl.h"
#include "graphics/SImage.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

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
// grid names (the small one, picture set 77, on the compact screens; the large one, set 16, elsewhere), and
// its lines full: as wide as the set's pieces between the cells and on the sides the grid frames, all inside
// its place (a place with little room left narrows the lines, to nothing at all).
TEST(InventoryGridPlace, EveryScreenShowsItsGridWithItsCellFrames) {
  const struct {
    i32 mode, columns, rows;
    u32 cellSet;
  } cases[] = {{6, 3, 5, 77},  {7, 5, 3, 77},  {8, 5, 2, 77},  {9, 5, 7, 16}, {10, 6, 4, 16},
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
    const SImage* piece = g.core().Picture(c.cellSet);
    ASSERT_NE(piece, nullptr) << c.mode;
    EXPECT_EQ(grid.separatorWidth, i32(piece->width)) << c.mode;
    EXPECT_EQ(grid.separatorHeight, i32(piece->height)) << c.mode;
    const u32 sides = grid.borderSides;
    const i32 linesX = grid.columns - 1 + ((sides & 2) ? 1 : 0) + ((sides & 8) ? 1 : 0);
    const i32 linesY = grid.rows - 1 + ((sides & 1) ? 1 : 0) + ((sides & 4) ? 1 : 0);
    EXPECT_LE(grid.columns * grid.cellWidth + linesX * i32(piece->width), i32(grid.width)) << c.mode;
    EXPECT_LE(grid.rows * grid.cellHeight + linesY * i32(piece->height), i32(grid.height)) << c.mode;
  }
  for (i32 mode : GameHarness::deviceModes()) EXPECT_TRUE(covered.count(mode)) << "mode " << mode;
}

// The description of the selected item and the paper doll on every screen. With the description view off
// the doll shows what is worn and the description keeps to its own place, clear of the doll. With the view
// on, the description takes the doll's column: it grows upward from its place to the doll's top (the
// compact upright and square screens and 640x240 keep it in its place). On 480x480 its place lies under the
// doll too, a line above the grid, and grows as on the others.
TEST(InventoryGridPlace, TheDescriptionGrowsOverTheDollsColumn) {
  enum Way { kUpward, kStays };
  const struct {
    i32 mode;
    Way way;
  } cases[] = {{6, kUpward},  {7, kStays},   {8, kStays},   {9, kUpward}, {10, kUpward},
               {11, kUpward}, {14, kUpward}, {15, kUpward}, {16, kStays}};
  std::set<i32> covered;
  for (const auto& c : cases) {
    covered.insert(c.mode);
    InventoryGame g(GameHarness::forMode(c.mode));
    ASSERT_TRUE(g.Open()) << c.mode;
    g.Make("base_armor_shield");
    g.Refresh();
    const SPlayerEquipCtrl& doll = g.inv().equipment;
    const STitleTextCtrl& text = g.inv().description;
    const SLayoutItem* place = g.core().GetLayoutItem(SStateInventory::kItemsLayout, SStateInventory::kDescriptionId);
    ASSERT_NE(place, nullptr) << c.mode;

    if (g.inv().descriptionView) g.game.tapControl(SStateInventory::kHideDescriptionId);
    EXPECT_TRUE(doll.IsVisible()) << c.mode;
    if (text.IsVisible()) {
      EXPECT_FALSE(text.left < doll.left + doll.width && doll.left < text.left + text.width &&
                   text.top < doll.top + doll.height && doll.top < text.top + text.height)
          << c.mode << ": the description lies over the doll";
    }

    g.game.tapControl(SStateInventory::kShowDescriptionId);
    ASSERT_TRUE(g.inv().descriptionView) << c.mode;
    ASSERT_TRUE(text.IsVisible()) << c.mode;
    switch (c.way) {
      case kUpward:
        EXPECT_EQ(text.top, doll.top) << c.mode;
        EXPECT_EQ(text.top + text.height, place->y + place->h) << c.mode;
        EXPECT_EQ(text.left, place->x) << c.mode;
        EXPECT_LT(text.left, doll.left + doll.width) << c.mode;
        EXPECT_GT(text.left + text.width, doll.left) << c.mode;
        EXPECT_FALSE(doll.IsVisible()) << c.mode;
        break;
      case kStays:
        EXPECT_EQ(std::vector<i32>({text.left, text.top, text.width, text.height}),
                  std::vector<i32>({place->x, place->y, place->w, place->h}))
            << c.mode;
        break;
    }
  }
  for (i32 mode : GameHarness::deviceModes()) EXPECT_TRUE(covered.count(mode)) << "mode " << mode;
}
