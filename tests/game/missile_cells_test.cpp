// The cells a missile or a touch meets and the line a missile flies, on a window filled by hand with the
// player at (17, 17): walls with and without the object on the side the missile meets, doors and blocks
// for melee and for missiles, webs by their torn bit, switched-off objects, the seven-cell reach and the
// stop-at-player flag.
#include "MonsterWindow.h"
#include "ui/UiRig.h"
#include "world/kinds/SMapObjectDoor.h"

#include <gtest/gtest.h>

namespace {

TEST(MissileCells, WhatStopsAMissileOrATouch) {
  constexpr i32 kX = 17, kY = 14, kSouth = 2;  // a missile flying south meets the cell's north side
  const struct {
    const char* what;
    u32 centre;       // class of the centre type (0: none)
    i32 objectState;  // the centre object's state (-1: none)
    u32 sideNorth;    // class of a type on the north side (0: none)
    i32 sideState;    // its object's state (-1: no object)
    bool monster;
    bool missile, melee;
    i32 side;  // reported for the missile test
  } cases[] = {
      {"an empty cell", 0, -1, 0, -1, false, false, false, -1},
      {"a monster", 0, -1, 0, -1, true, true, true, -1},
      {"a wall", 5, -1, 0, -1, false, true, true, -1},
      {"a wall with a plain side facing the missile", 5, -1, 6, -1, false, true, true, 0},
      {"a wall whose side object is active", 5, -1, 6, 1, false, true, true, 0},
      {"a wall whose side object is off", 5, -1, 6, 0, false, true, true, -1},
      {"a closed door", 20, 1 | SMapObjectDoor::kClosed, 0, -1, false, true, true, -1},
      {"an open door", 20, 1, 0, -1, false, false, true, -1},
      {"a switched-off door", 20, 0, 0, -1, false, false, false, -1},
      {"a block", 19, -1, 0, -1, false, true, true, -1},
      {"a web", 35, 1, 0, -1, false, true, true, -1},
      {"a torn web", 35, 1 | 2, 0, -1, false, false, false, -1},
      {"a web without its object", 35, -1, 0, -1, false, false, false, -1},
      {"another kind", 37, -1, 0, -1, false, false, true, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MonsterWindow w;
    SMapCell& cell = w.Cell(kX, kY);
    if (c.centre) cell.centreType = w.Make(c.centre, "centre");
    if (c.objectState >= 0) {
      w.AddObject(1, kX, kY, u8(c.objectState));
      cell.centreObjectId = 1;
    }
    if (c.sideNorth) {
      cell.sideType[0] = w.Make(c.sideNorth, "side");
      if (c.sideState >= 0) {
        w.AddObject(2, kX, kY, u8(c.sideState));
        cell.sideObjectId[0] = 2;
      }
    }
    if (c.monster) w.Place(w.Template(), kX, kY);
    i32 side = 7;
    EXPECT_EQ(w.state.IsMissileStopped(&cell, kX, kY, kSouth, side, false), c.missile);
    EXPECT_EQ(side, c.side);
    EXPECT_EQ(w.state.IsMissileStopped(&cell, kX, kY, kSouth, side, true), c.melee);
  }
}

TEST(MissileCells, TheLineReachesSevenCellsAndMayStopAtThePlayer) {
  const struct {
    const char* what;
    i32 fromY;
    i32 wallY;  // -1: none
    bool stopAtPlayer;
    bool result;
    i32 outY;
  } cases[] = {
      {"to the player, nothing between", 12, -1, true, true, 17},
      {"to the player, a wall between", 12, 15, true, false, 15},
      {"to the player, too far", 9, -1, true, false, 16},
      {"to a wall, seventh cell", 5, 12, false, true, 12},
      {"to a wall, eighth cell", 4, 12, false, false, 11},
      {"the player's cell is passed without the flag", 12, 19, false, true, 19},
      {"out of the window", 30, -1, false, false, 34},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MonsterWindow w;
    if (c.wallY >= 0) w.Wall(17, c.wallY);
    i32 x = 0, y = 0;
    EXPECT_EQ(w.state.TraceLine(17, c.fromY, 2, x, y, c.stopAtPlayer), c.result);
    EXPECT_EQ(x, 17);
    EXPECT_EQ(y, c.outY);
  }
}

TEST(MissileCells, AMissileChangesCellsAtTheBorderAndDriftsAtTheMiddleWhicheverWayItFlies) {
  // Per half-cell step: the cells it has moved on and how far it has drifted across its line.
  using Track = std::vector<std::pair<i32, i32>>;
  Track tracks[4];
  for (i32 d = 0; d < 4; ++d) {
    SCOPED_TRACE(d);
    VirtualTime time;
    MonsterWindow w;
    auto* r = new SActionRecord;
    r->kind = kActionMissile;
    r->direction = d;
    r->cellX = r->cellY = 17;
    w.state.actions.Add(r);
    const bool alongX = d & 1;
    Track& track = tracks[d];
    for (w.state.RunActions(); w.state.actions.Count() && track.size() < 100; w.state.RunActions()) {
      const i32 along = alongX ? r->cellX : r->cellY, across = alongX ? r->posY : r->posX;
      track.emplace_back(std::abs(along - 17), std::abs(across - 32768));
      time.clock.Advance(41);
    }
    ASSERT_GE(track.size(), 4u);
    // Into the next cell at the first border, a drift of 1000 as it passes that cell's middle.
    EXPECT_EQ(track[0], std::make_pair(1, 0));
    EXPECT_EQ(track[1], std::make_pair(1, 1000));
    EXPECT_EQ(track[2], std::make_pair(2, 1000));
    EXPECT_EQ(track[3], std::make_pair(2, 2000));
  }
  // The whole flight alike, out of the window on the same step.
  for (i32 d = 0; d < 3; ++d) EXPECT_EQ(tracks[d], tracks[3]) << d;
}

}  // namespace
