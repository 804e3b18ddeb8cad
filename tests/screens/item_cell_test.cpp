// An item cell (the pick of the lock-picking dialog, the hammer of the repair dialog, the mortar and the
// ingredients of alchemy) is as large as what its mode draws in it: 40 x 40 on the compact screens, where the
// picture is shrunk to 40 x 40 at the cell's corner, and 60 x 56 on the large ones, where the 50 x 50 picture
// stands 5 pixels in and 3 down. A larger cell shows the picture small in a corner of a black box.
#include "core/SGameCore.h"
#include "core/ui/SDialog.h"
#include "core/ui/SGameCtrls.h"
#include "support/ScreenTour.h"

#include <gtest/gtest.h>

#include <set>

TEST(ItemCell, EveryItemCellIsTheSizeItsModeDraws) {
  for (i32 mode : GameHarness::deviceModes()) {
    std::set<std::string> seen;
    ScreenTour tour(mode);
    const std::vector<std::string> missed = tour.run([&](const std::string& stop, GameHarness& game) {
      const bool compact = game.core().IsCompact();
      const i32 w = compact ? 40 : 60, h = compact ? 40 : 56;
      for (const ScreenTour::Shown& s : ScreenTour::shownControls(game)) {
        const auto* cell = dynamic_cast<const SItemCtrl*>(s.control);
        if (!cell) continue;
        seen.insert(stop);
        EXPECT_TRUE(cell->width == w && cell->height == h)
            << "mode " << mode << " " << stop << ": " << GameHarness::className(typeid(*s.dialog)) << " cell "
            << cell->id << " is " << cell->width << "x" << cell->height << ", not " << w << "x" << h;
      }
    });
    EXPECT_EQ(missed, std::vector<std::string>{}) << "mode " << mode;
    EXPECT_EQ(seen, (std::set<std::string>{"dialog/alchemy", "dialog/lockpick", "dialog/repair"})) << "mode " << mode;
  }
}
