// The screen tour that the every-screen checks stand on: in every display mode a device selects it reaches
// each of its stops, so that a check built on it never passes by seeing less. At each stop the frame shown
// equals the same state painted whole (RepaintCheck): nothing a change made on the way there is left behind.
#include "support/RepaintCheck.h"
#include "support/ScreenTour.h"

#include <gtest/gtest.h>

TEST(ScreenTour, ReachesEveryStopInEveryDeviceMode) {
  const std::vector<std::string> all = ScreenTour::stopNames();
  for (i32 mode : GameHarness::deviceModes()) {
    std::vector<std::string> seen;
    const std::vector<std::string> missed = ScreenTour(mode).run([&](const std::string& stop, GameHarness& game) {
      seen.push_back(stop);
      for (const std::string& fault : RepaintCheck::Stale(game))
        ADD_FAILURE() << "mode " << mode << " " << stop << ": " << fault;
    });
    EXPECT_EQ(missed, std::vector<std::string>{}) << "mode " << mode;
    EXPECT_EQ(seen, all) << "mode " << mode;
  }
}
