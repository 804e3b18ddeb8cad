// The main menu's list shows every entry on one page on every screen the game runs on, upright and turned:
// with a game in progress (its eight rows) and without one, each row inside the framed list and the frame
// inside the screen, none left for a second page that a new player would not find. The short landscape
// screens, where "Exit" once waited on a second page, keep their in-game menu as a stored frame.
#include "MenuScreen.h"
#include "support/Png.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(MenuFit, EveryEntryOnOnePageInsideTheScreen) {
  std::vector<GameHarness::Options> screens;
  for (i32 mode : GameHarness::deviceModes()) screens.push_back(GameHarness::forMode(mode));
  // The upright handhelds held on their side run the menu too.
  for (auto [w, h] : {std::pair{240, 320}, std::pair{480, 640}}) {
    GameHarness::Options turned;
    turned.width = w;
    turned.height = h;
    turned.startMode = 1;
    screens.push_back(turned);
  }
  for (const GameHarness::Options& screen : screens)
    for (bool inGame : {false, true}) {
      GameHarness game(MenuOptions(screen, inGame));
      ASSERT_TRUE(EnterMenu(game, inGame));
      const i32 mode = game.core().displayMode;
      const std::string where = "mode " + std::to_string(mode) + " on " + std::to_string(screen.width) + "x" +
                                std::to_string(screen.height) + (inGame ? " in a game" : "");
      const SDialogListCtrl& list = Menu(game).list;
      ASSERT_EQ(list.RowCount(), inGame ? 8u : 6u) << where;
      EXPECT_GE(list.rowsPerPage, i32(list.RowCount())) << where << ": a second page";
      EXPECT_EQ(list.firstRow, 0) << where;
      u32 width = 0, height = 0;
      game.core().GetLayoutSize(SStateMain::kLayout, width, height);
      EXPECT_LE(i32(list.top) + i32(list.RowCount()) * list.rowHeight, i32(list.top) + i32(list.height))
          << where << ": the last row leaves the list";
      // The list paints its own ground and its frame, three pixels round it.
      EXPECT_TRUE(list.drawBackground && list.framed) << where;
      EXPECT_GE(i32(list.left) - 3, 0) << where;
      EXPECT_GE(i32(list.top) - 3, 0) << where;
      EXPECT_LE(i32(list.left) + i32(list.width) + 3, i32(width)) << where << ": the frame leaves the screen";
      EXPECT_LE(i32(list.top) + i32(list.height) + 3, i32(height)) << where << ": the frame leaves the screen";
      if (inGame && (mode == 6 || mode == 16) && screen.width > screen.height) {
        game.frame(2);
        const Os::Panel& panel = game.panel();
        EXPECT_EQ(testpng::CompareGolden("menu_in_game_mode" + std::to_string(mode), panel.pixels.data(), panel.width,
                                         panel.height, panel.width),
                  "");
      }
    }
}

}  // namespace
