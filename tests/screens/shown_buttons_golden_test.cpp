// The screens whose buttons once showed nothing, as frames of the small and the large screen: the items
// page with a selected item, the character sheet's Main page, the face-select dialog, a book of several
// pages being read, the world map, and the rest's wake-up over the game.
#include "support/Png.h"
#include "support/ScreenTour.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

TEST(ShownButtonsGolden, TheInventorySheetFacesReadingWorldMapAndRest) {
  const std::set<std::string> stops = {"inventory/items", "inventory/sheet-main", "dialog/face-select",
                                       "dialog/item-read", "dialog/worldmap",     "dialog/rest-result"};
  for (i32 mode : {7, 10}) {
    std::set<std::string> seen;
    const std::vector<std::string> missed = ScreenTour(mode).run([&](const std::string& stop, GameHarness& game) {
      if (!stops.count(stop)) return;
      seen.insert(stop);
      const Os::Panel& panel = game.panel();
      std::string name = "shown_" + stop + "_" + std::to_string(panel.width) + "x" + std::to_string(panel.height);
      for (char& c : name)
        if (c == '/' || c == '-') c = '_';
      EXPECT_EQ(testpng::CompareGolden(name, panel.pixels.data(), panel.width, panel.height, panel.width), "");
    });
    EXPECT_TRUE(missed.empty());
    EXPECT_EQ(seen, stops) << "mode " << mode;
  }
}
