// The sample world's scene: the town shows all three grounds, its walls join by style, its shelf holds
// more items than a shelf shows, its sign marks the automap; the dungeon's doors and the denied map; the
// borders of the joined tiles.
#include "GameRig.h"
#include "core/SPictureRoles.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(SampleScene, TheTownShowsEveryGroundAndItsWallsJoinByStyle) {
  GameRig rig;
  ASSERT_TRUE(rig.ready);
  ASSERT_TRUE(rig.Enter("base_out0101", 18, 15, 0));
  SStateGame& s = rig.state;
  std::set<u16> kinds;
  for (u32 i = 0; i < SSceneTables::kCells; ++i) kinds.insert(s.scene.Cell(i)[RenderCell::kKind]);
  EXPECT_TRUE(kinds.count(54)) << "the default ground";
  EXPECT_TRUE(kinds.count(59)) << "water";
  EXPECT_TRUE(kinds.count(60)) << "drawn grass";
  // The wall row in front: brick and brick join, the door between, stone and stone join.
  EXPECT_EQ(s.WallMask(17, 14), 64u) << "joins its brick neighbour to the west only";
  EXPECT_EQ(s.WallMask(19, 14), 4u) << "joins its stone neighbour to the east only";
  EXPECT_EQ(s.scene.Words(17 + 35 * 14, 1)[0] >> 8, s.Variant(64));
  // Of the class-3 types (water and the fire), the water has frames to step through.
  EXPECT_EQ(rig.core.world.mapObjectTypes.CountKind3(), 2);
  ASSERT_EQ(s.animatedTypes.Count(), 1);
  EXPECT_STREQ(s.animatedTypes.At(0)->name.Text(), "base_water");
}

TEST(SampleScene, AShelfShowsTenOfItsTwelveItems) {
  GameRig rig;
  ASSERT_TRUE(rig.Enter("base_out0101", 18, 15, 0));
  SStateGame& s = rig.state;
  SMapArea* town = s.window.CurrentArea();
  const SItemContainer* shelfBag = town->FindContainerById(2);
  ASSERT_NE(shelfBag, nullptr);
  ASSERT_EQ(shelfBag->GetItemCount(), 12);
  ASSERT_NE(shelfBag->serial, 0);
  const u16* record = s.scene.Bag(shelfBag->serial);
  ASSERT_NE(record, nullptr);
  u32 shown = 0;
  for (u32 k = 0; k < 10; ++k) shown += record[k] ? 1 : 0;
  EXPECT_EQ(shown, 10u);
  // The shelf hangs on the wall north of (19, 15): its number rides in that side's word.
  const u16 word = s.scene.Lights(19 + 35 * 15, 1)[MapRecord::kSideFlags + 0];
  EXPECT_EQ((word >> 12) & 7, shelfBag->serial);
}

TEST(SampleScene, TheSignMarksTheAutomap) {
  GameRig rig;
  ASSERT_TRUE(rig.Enter("base_out0101", 17, 16, 0));
  SGameMapCtrl& map = rig.state.automap;
  const u16 marker = rig.core.world.images.FindImageIndex("bres_marker");
  ASSERT_NE(marker, 0);
  map.Paint();
  // The marker's red corner lies one cell above the sign's wall cell.
  bool red = false;
  for (i32 y = map.top; y < map.top + map.height; ++y)
    for (i32 x = map.left; x < map.left + map.width; ++x) red = red || rig.Pixel(x, y) == 0xF800;
  EXPECT_TRUE(red);
}

TEST(SampleScene, AutomapFrames) {
  struct Case {
    const char* map;
    i32 x, y, facing;
    bool drag;
    i32 mode;
    u16 w, h;
    i32 seen;  // the cells seen: x and y below it
    const char* golden;
  } cases[] = {
      // A walk round the cellar: all but its eastern rooms.
      {"base_dungeon1", 5, 5, 90, true, 7, 240, 320, 16, "automap_drag_dungeon_240x320"},
      {"base_dungeon2", 5, 5, 0, true, 7, 240, 320, 16, "automap_denied_240x320"},
      {"base_dungeon2", 5, 5, 0, false, 10, 480, 640, 16, "automap_denied_480x640"},
      // The town and the tiles joined to it east and south, all explored: the lines between the tiles run
      // on through the neighbours.
      {"base_out0101", 17, 17, 0, true, 7, 240, 320, 35, "automap_drag_town_240x320"},
      {"base_out0101", 17, 17, 0, true, 10, 480, 640, 35, "automap_drag_town_480x640"},
  };
  for (const Case& c : cases) {
    GameRig rig(c.mode, c.w, c.h);
    ASSERT_TRUE(rig.Enter(c.map, c.x, c.y, c.facing));
    for (i32 y = 0; y < c.seen; ++y)
      for (i32 x = 0; x < c.seen; ++x) rig.state.window.MarkCellSeen(x, y);
    std::fill(rig.pixels.begin(), rig.pixels.end(), 0);
    SGameMapCtrl map;
    map.Attach(&rig.state);
    map.game = &rig.state;
    map.SetRect(0, 0, c.w, c.h);
    map.UpdateLayout();
    if (c.drag) map.SetDragMode();
    map.CentreOrigin();
    map.Paint();
    EXPECT_EQ(rig.Golden(c.golden), "") << c.golden;
  }
}

}  // namespace
