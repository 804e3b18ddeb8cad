// The window of cells as tables, on nine joined tiles made with the world builder's writer and on a
// window filled by hand: where an area's cells land, the player pulled into the centre tile, monsters
// leaving a cell, bags made and placed, the automap bits through the slots, the water and monster entry
// tests, and sequence numbers that never run past the scene's tables.
#include "HandWindow.h"
#include "JoinedWorld.h"

#include <gtest/gtest.h>

namespace {

TEST(JoinedWindow, AreaPositionsOfStripsAndCorners) {
  JoinedWorld w;
  ASSERT_TRUE(w.opened) << w.core.world.modules.LastError();
  ASSERT_TRUE(w.Enter(2, 2, 17, 17));
  SMapWindow& window = w.state.window;
  const struct Case {
    u32 column, row;
    i32 x, y;
    bool shown;
    i32 wx, wy;
  } cases[] = {
      {2, 2, 0, 0, true, 7, 7},                                  // the current tile: (7, 7) on
      {2, 2, 20, 20, true, 27, 27},                              // its far corner
      {3, 2, 0, 10, true, 28, 17},                               // the east strip shows columns 0..6
      {3, 2, 6, 20, true, 34, 27},  {3, 2, 7, 10, false, 0, 0},  // beyond the strip: not shown
      {2, 1, 10, 14, true, 17, 0},                               // the north strip shows rows 14..20
      {2, 1, 10, 13, false, 0, 0},  {1, 1, 14, 14, true, 0, 0},  // the north-west corner shows its 7 x 7 corner only
      {1, 1, 20, 20, true, 6, 6},   {1, 1, 13, 20, false, 0, 0}, {1, 1, 20, 13, false, 0, 0},
      {3, 3, 6, 6, true, 34, 34},   {3, 3, 7, 6, false, 0, 0},
  };
  for (const Case& c : cases) {
    i32 x = -1, y = -1;
    SMapArea* tile = w.Tile(c.column, c.row);
    ASSERT_NE(tile, nullptr);
    EXPECT_EQ(window.GetAreaLocalPosition(*tile, c.x, c.y, x, y), c.shown)
        << c.column << c.row << " " << c.x << "," << c.y;
    if (c.shown) {
      EXPECT_EQ(x, c.wx) << c.column << c.row;
      EXPECT_EQ(y, c.wy) << c.column << c.row;
    }
  }
  // Each tile's own mark lands where its slot puts it: the north-west tile's (1, 1) is outside its
  // corner, the centre's (2, 2) at (9, 9), the south-east tile's (3, 3) at (31, 31).
  EXPECT_EQ(window.Cell(9, 9)->centreType, w.Type(JoinedWorld::kWall));
  EXPECT_EQ(window.Cell(31, 31)->centreType, w.Type(JoinedWorld::kWall));
  EXPECT_EQ(window.BlockArea(3, 3), w.Tile(1, 1));
  EXPECT_EQ(window.BlockArea(17, 3), w.Tile(2, 1));
  EXPECT_EQ(window.BlockArea(34, 34), w.Tile(3, 3));
}

TEST(JoinedWindow, ThePlayerIsPulledIntoTheCentreTileAndItsWorldPositionKept) {
  const struct Case {
    i32 x, y, wantX, wantY;
  } cases[] = {{0, 0, 7, 7}, {34, 3, 27, 7}, {17, 34, 17, 27}, {8, 26, 8, 26}};
  for (const Case& c : cases) {
    JoinedWorld w;
    ASSERT_TRUE(w.opened);
    w.state.window.minutes = 500;
    ASSERT_TRUE(w.Enter(2, 2, c.x, c.y));
    EXPECT_EQ(w.state.window.playerX, c.wantX) << c.x << "," << c.y;
    EXPECT_EQ(w.state.window.playerY, c.wantY) << c.x << "," << c.y;
    // Tile (2, 2): world x = player x + 21 * 2 - 28.
    EXPECT_EQ(w.module->worldX, c.wantX + 14);
    EXPECT_EQ(w.module->worldY, c.wantY + 14);
    EXPECT_EQ(w.module->minutes, 500u);
  }
}

TEST(JoinedWindow, AutomapBitsGoThroughTheSlotPlacement) {
  JoinedWorld w;
  ASSERT_TRUE(w.opened);
  ASSERT_TRUE(w.Enter(2, 2, 17, 17));
  SMapWindow& window = w.state.window;
  window.MarkCellSeen(3, 3);    // the north-west corner: its tile's (17, 17)
  window.MarkCellSeen(17, 30);  // the south strip: its tile's (10, 2)
  window.MarkCellSeen(20, 20);  // the centre: (13, 13)
  EXPECT_TRUE(w.Tile(1, 1)->IsVisited(17, 17));
  EXPECT_TRUE(w.Tile(2, 3)->IsVisited(10, 2));
  EXPECT_TRUE(w.Tile(2, 2)->IsVisited(13, 13));
  EXPECT_FALSE(w.Tile(2, 2)->IsVisited(3, 3));
  EXPECT_TRUE(window.IsCellSeen(3, 3));
  EXPECT_FALSE(window.IsCellSeen(4, 3));
  EXPECT_FALSE(window.IsCellSeen(-1, 3));
  EXPECT_FALSE(window.IsCellSeen(35, 3));
}

TEST(JoinedWindow, RemovingTheFirstOfTwoMonstersMovesTheSecondUp) {
  JoinedWorld w;
  ASSERT_TRUE(w.opened);
  ASSERT_TRUE(w.Enter(2, 2, 17, 17));
  SMapArea* centre = w.Tile(2, 2);
  SMapCell* cell = w.state.GetCell(17, 11);
  ASSERT_EQ(cell->monsterId[0], 1);
  ASSERT_EQ(cell->monsterId[1], 2);
  w.state.RemoveObjectAt(*centre, *centre->FindMonsterById(1));
  EXPECT_EQ(cell->monsterId[0], 2);
  EXPECT_EQ(cell->monsterId[1], 0);
  w.state.RemoveObjectAt(*centre, *centre->FindMonsterById(2));
  EXPECT_EQ(cell->monsterId[0], 0);
  i32 x = 0, y = 0;
  EXPECT_TRUE(w.state.window.LocateMonster(*centre, *centre->FindMonsterById(2), x, y));
  EXPECT_EQ(x, 17);
  EXPECT_EQ(y, 11);
}

TEST(JoinedWindow, BagsAreMadeAndPlacedAndNumbered) {
  JoinedWorld w;
  ASSERT_TRUE(w.opened);
  ASSERT_TRUE(w.Enter(2, 2, 17, 17));
  SMapWindow& window = w.state.window;
  SMapArea* centre = w.Tile(2, 2);
  // The archive's bag lies on the tile's (12, 12) and has the window's first bag number.
  SItemContainer* stored = centre->FindContainerById(1);
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(window.Cell(19, 19)->bagId, 1);
  EXPECT_EQ(stored->serial, 1);
  // A new bag goes into a free cell and records the tile's position; on a taken cell it lies nowhere.
  SItemContainer* fresh = window.CreateBagAt(20, 19);
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(window.Cell(20, 19)->bagId, fresh->id);
  EXPECT_EQ(fresh->cellX, 13);
  EXPECT_EQ(fresh->cellY, 12);
  EXPECT_EQ(fresh->serial, 2);
  SItemContainer* second = window.CreateBagAt(20, 19);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->cellX, 255);
  EXPECT_EQ(window.Cell(20, 19)->bagId, fresh->id);
}

TEST(HandWindow, WaterAndTheMonsterEntryTest) {
  HandWindow h;
  SMapObjectType* water = h.Make(3, "water");
  SMapObjectType* grass = h.Make(1, "grass");
  SMapObjectType* tree = h.Make(26, "tree");
  tree->typeFlags |= MapTypeFlag::kBlocks;
  h.area->textureType = grass;
  // A river three cells wide running east-west on rows 10..12, and a one-cell pond at (20, 20).
  for (i32 y = 10; y <= 12; ++y)
    for (i32 x = 0; x < 35; ++x) h.Cell(x, y).base1Type = water;
  h.Cell(20, 20).base1Type = water;
  // A cell whose second layer holds an object.
  h.state.window.Faces(5, 5)->centreType = tree;
  h.state.window.Faces(5, 5)->centreObjectId = 9;
  SMapObjectInst* hidden = h.AddObject(9, 5, 5, 0);

  SMonster walker, climber;
  climber.layer2Blocking = 1;
  SMapMonster m;
  m.monster = &walker;
  SMapMonster c;
  c.monster = &climber;
  const struct Case {
    SMapMonster* monster;
    i32 direction, x, y;
    bool blocked;
    const char* why;
  } cases[] = {
      {&m, 2, 15, 11, true, "three cells of water across a southward move"},
      {&m, 1, 15, 11, true, "three cells across an eastward move too"},
      {&m, 2, 15, 10, true, "the river's edge row: three across"},
      {&m, 0, 20, 20, false, "a pond one cell wide can be crossed"},
      {&m, 1, 20, 20, false, "also across"},
      {&m, 0, 15, 15, false, "grass"},
      {&m, 0, -1, 15, true, "outside the window"},
      {&m, 0, 5, 5, false, "the second layer stops only those it blocks"},
      {&c, 0, 5, 5, false, "a switched-off object there lets them pass"},
  };
  for (const Case& k : cases)
    EXPECT_EQ(h.state.window.IsMonsterBlocked(*k.monster, k.direction, k.x, k.y), k.blocked) << k.why;
  hidden->state = 1;
  EXPECT_TRUE(h.state.window.IsMonsterBlocked(c, 0, 5, 5)) << "an active second-layer object blocks";
  h.area->objects.Remove(hidden);
  delete hidden;
  EXPECT_TRUE(h.state.window.IsMonsterBlocked(c, 0, 5, 5)) << "a missing object blocks";
  // Both slots taken: full.
  h.Cell(7, 7).monsterId[0] = 1;
  h.Cell(7, 7).monsterId[1] = 2;
  EXPECT_TRUE(h.state.window.IsMonsterBlocked(m, 0, 7, 7));
  // The water query: the kind of water found, and strict or not past a non-water second slot.
  SMapObjectType* kind = nullptr;
  EXPECT_TRUE(h.state.window.IsWater(15, 11, true, kind));
  h.Cell(15, 11).base2Type = grass;
  kind = nullptr;
  EXPECT_FALSE(h.state.window.IsWater(15, 11, false, kind));
  kind = nullptr;
  EXPECT_TRUE(h.state.window.IsWater(15, 11, true, kind));
}

TEST(HandWindow, NumbersStopAtTheTablesEnd) {
  HandWindow h;
  SMonster rat;
  rat.maxHp = 5;
  // 254 monsters and bags in the centre tile and as many again around it, all in the window's cells.
  SMapArea* second = h.Joined();
  u32 placed = 0;
  for (SMapArea* area : {h.area, second})
    for (u32 i = 1; i <= 254; ++i) {
      auto* m = new SMapMonster;
      m->monster = &rat;
      m->id = u8(i);
      area->AddMonsterEntry(m);
      auto* bag = area->AddContainer();
      ASSERT_NE(bag, nullptr);
      // The centre tile's cells lie at 7..27, the other area's all around them.
      i32 x = 0, y = 0;
      u32 n = 0;
      for (y = 0; y < 35; ++y) {
        for (x = 0; x < 35; ++x) {
          const bool centre = x >= 7 && x <= 27 && y >= 7 && y <= 27;
          if (centre != (area == h.area) || h.Cell(x, y).monsterId[0]) continue;
          if (n++ == 0) break;
        }
        if (x < 35) break;
      }
      ASSERT_LT(y, 35);
      SMapCell& cell = h.Cell(x, y);
      cell.monsterId[0] = m->id;
      cell.bagId = bag->id;
      ++placed;
    }
  ASSERT_GT(placed, 255u);
  h.state.window.ResolveCellObjects();
  u32 numbered = 0, without = 0;
  for (SMapArea* area : {h.area, second})
    for (SMapMonster* m : area->monsters) {
      EXPECT_LE(m->displayIndex, 255);
      (m->displayIndex ? numbered : without) += 1;
    }
  EXPECT_EQ(numbered, 255u);
  EXPECT_GT(without, 0u);
  // Every cell builds: monsters and bags without numbers are simply not drawn.
  h.state.RebuildAllCells();
  h.state.BuildMonsterSprites();
  h.state.AnimateMonsterSprites(true, true);
  u32 drawn = 0;
  for (u32 i = 0; i < SSceneTables::kCells; ++i) drawn += h.state.scene.Cell(i)[RenderCell::kMonster1] ? 1 : 0;
  EXPECT_EQ(drawn, 255u);
  EXPECT_EQ(h.state.window.NextMonsterNumber(), 0);
  EXPECT_EQ(h.state.window.NextBagNumber(), 0);
}

}  // namespace
