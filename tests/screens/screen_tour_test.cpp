// The screen tour that the every-screen checks stand on: in every display mode a device selects it reaches
// each of its stops, so that a check built on it never passes by seeing less. At each stop the frame shown
// equals the same state painted whole (RepaintCheck): nothing a change made on the way there is left behind;
// and so it does after each control of the stop is operated once, each from the stop as it stood
// (RepaintCheck::EachControl, which says what it leaves out). One test per mode, so that they run side by
// side.
#include "support/RepaintCheck.h"
#include "support/ScreenTour.h"

#include <gtest/gtest.h>

namespace {
// The sanitizers' build runs many times slower: there the controls are operated on the handhelds' own
// 240x320 (mode 7) only; the plain build operates them in every mode.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kEveryModeOperated = false;
#else
constexpr bool kEveryModeOperated = true;
#endif
}  // namespace

class ScreenTourMode : public testing::TestWithParam<i32> {};

TEST_P(ScreenTourMode, ReachesEveryStopAndEachControlRepaintsCleanly) {
  const i32 mode = GetParam();
  std::vector<std::string> seen;
  const std::vector<std::string> missed = ScreenTour(mode).run([&](const std::string& stop, GameHarness& game) {
    seen.push_back(stop);
    for (const std::string& fault : RepaintCheck::Stale(game))
      ADD_FAILURE() << "mode " << mode << " " << stop << ": " << fault;
    if (!kEveryModeOperated && mode != 7) return;
    for (const std::string& fault : RepaintCheck::EachControl(game))
      ADD_FAILURE() << "mode " << mode << " " << stop << ", " << fault;
  });
  EXPECT_EQ(missed, std::vector<std::string>{}) << "mode " << mode;
  EXPECT_EQ(seen, ScreenTour::stopNames()) << "mode " << mode;
}

INSTANTIATE_TEST_SUITE_P(EveryDeviceMode, ScreenTourMode, testing::ValuesIn(GameHarness::deviceModes()),
                         [](const testing::TestParamInfo<i32>& mode) { return "mode" + std::to_string(mode.param); });
