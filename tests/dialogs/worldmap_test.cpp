// The map screen through the game state: it opens in the local view with the map's title, the day and
// the time; the world view's title; tiles selected by the tap's place, including a tile's last pixel,
// taps left of or above the picture and a tile without a map; both switches clear the selection.
#include "GameDialogs.h"
#include "dialogs/SDialogGameMap.h"
#include "game/SStateGame.h"
#include "world/SWorldModule.h"

namespace {

struct MapGame : DialogGame {
  SDialogGameMap& dialog() { return state().mapDialog; }
  bool open() {
    state().OnCommand(SStateGame::kAutomapId);
    return state().subMode == SStateGame::kWorldMap && state().subDialog == &dialog();
  }
  std::string text(const STextCtrl& c) { return c.text.CStr() ? c.text.CStr() : ""; }
  // A tap at (dx, dy) from the world picture's corner.
  void TapTile(i32 dx, i32 dy) {
    SGameWorldMapCtrl& m = dialog().worldMap;
    m.lastX = i32(m.left) + m.offsetX + dx;
    m.lastY = i32(m.top) + m.offsetY + dy;
    dialog().SelectTile();
  }
};

TEST(WorldMap, OpensInTheLocalViewWithTheDayAndTime) {
  const struct {
    u32 minutes;
    const char* day;
    const char* time;
  } cases[] = {{0, "Day 1", "12:00 am"}, {1439, "Day 1", "11:59 pm"}, {1440, "Day 2", "12:00 am"}};
  MapGame g;
  for (const auto& c : cases) {
    ASSERT_TRUE(g.Enter("base_dungeon2", 3, 3, 0, c.minutes));
    ASSERT_TRUE(g.open());
    EXPECT_EQ(g.text(g.dialog().day), c.day);
    EXPECT_EQ(g.text(g.dialog().time), c.time);
    EXPECT_EQ(g.text(g.dialog().title), "Deep Cellars");
    EXPECT_EQ(g.text(g.dialog().selection), "");
    g.dialog().OnCommand(SDialogGameMap::kCloseCode);
    EXPECT_EQ(g.state().subDialog, nullptr);
  }
}

TEST(WorldMap, TheWorldViewNamesTheTappedTilesMap) {
  MapGame g;
  ASSERT_TRUE(g.Enter("base_out0101", 17, 17, 0));
  ASSERT_TRUE(g.open());
  g.dialog().OnCommand(SDialogGameMap::kWorldViewId);
  EXPECT_EQ(g.text(g.dialog().title), "Duskmire Vale");
  const struct {
    i32 dx, dy;
    const char* line;
    u32 column, row;
  } taps[] = {
      {0, 0, "Selected: Duskmire Town", 0, 0},
      {20, 20, "Selected: Duskmire Town", 0, 0},
      {21, 0, "Selected: East Fields", 1, 0},
      {41, 20, "Selected: East Fields", 1, 0},
      {5, 21, "Selected: South Road", 0, 1},
      {30, 30, "", 1, 1},  // tile 0202 has no map
      {62, 5, "", 2, 0},   // a column of the grid the module has no map for
      {63, 5, "", SGameWorldMapCtrl::kNoTarget, 0},
      {-1, 5, "", SGameWorldMapCtrl::kNoTarget, 0},
      {5, -1, "", SGameWorldMapCtrl::kNoTarget, 0},
      {5, 42, "", SGameWorldMapCtrl::kNoTarget, 0},
  };
  for (const auto& t : taps) {
    g.TapTile(t.dx, t.dy);
    EXPECT_EQ(g.text(g.dialog().selection), t.line) << t.dx << "," << t.dy;
    EXPECT_EQ(g.dialog().worldMap.targetColumn, t.column) << t.dx << "," << t.dy;
  }
  // Either switch clears the line.
  g.TapTile(0, 0);
  g.dialog().OnCommand(SDialogGameMap::kLocalViewId);
  EXPECT_EQ(g.text(g.dialog().selection), "");
  EXPECT_EQ(g.text(g.dialog().title), "Duskmire Town");
  g.dialog().OnCommand(SDialogGameMap::kWorldViewId);
  g.TapTile(0, 0);
  g.dialog().OnCommand(SDialogGameMap::kWorldViewId);
  EXPECT_EQ(g.text(g.dialog().selection), "");
  EXPECT_EQ(g.dialog().worldMap.targetColumn, SGameWorldMapCtrl::kNoTarget);
  // Closed in the world view, it opens in the local one again.
  g.dialog().OnCommand(SDialogGameMap::kCloseCode);
  ASSERT_TRUE(g.open());
  EXPECT_EQ(g.text(g.dialog().title), "Duskmire Town");
  g.dialog().OnCommand(SDialogGameMap::kCloseCode);
}

// A world without a map picture still offers its world view: the tiles of its grid on the map's ground.
TEST(WorldMap, AWorldWithoutAMapPictureStillOffersItsWorldView) {
  MapGame g;
  ASSERT_TRUE(g.Enter("base_out0101", 17, 17, 0));
  SWorldModule* world = g.core().CurrentWorld();
  ASSERT_NE(world, nullptr);
  SImageEntry* const picture = world->mapPicture;
  world->mapPicture = nullptr;
  ASSERT_TRUE(g.open());
  g.game.frame();
  g.game.tapControl(SDialogGameMap::kWorldViewId);
  EXPECT_TRUE(g.dialog().worldMap.IsVisible());
  EXPECT_EQ(g.text(g.dialog().title), "Duskmire Vale");
  g.TapTile(21, 0);
  EXPECT_EQ(g.text(g.dialog().selection), "Selected: East Fields");
  g.dialog().OnCommand(SDialogGameMap::kCloseCode);
  world->mapPicture = picture;
}

}  // namespace
