// The screen tour that the every-screen checks stand on: in every display mode a device selects it reaches
// each of its stops, so that a check built on it never passes by seeing less. At each stop:
//   - the frame shown equals the same state painted whole (RepaintCheck::Stale): nothing a change made on the
//     way there is left behind;
//   - every control draws inside the area its paint is said to cover (RepaintCheck::OutOfReach), which a
//     change repaints;
//   - every control a player can tap paints something (RepaintCheck::Silent);
//   - each control operated, and the keys pressed, leave nothing behind, after it and in each frame
//     presented meanwhile (RepaintCheck::EachControl, which says what it operates and what it leaves out).
// Each mode is toured with the new character and with a seasoned one (several rows in every list, several
// worn items, spells in every school), one test each, so that they run side by side.
#include "support/RepaintCheck.h"
#include "support/ScreenTour.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {
// The sanitizers' build runs many times slower: there only the handhelds' own 240x320 (mode 7) is toured,
// with both characters. The plain build tours every mode, and the sanitizers' build opens every stop of every
// mode in the other tours (the fit and panel checks).
std::vector<i32> TouredModes() {
#if defined(__SANITIZE_ADDRESS__)
  return {7};
#else
  return GameHarness::deviceModes();
#endif
}
}  // namespace

class ScreenTourMode : public testing::TestWithParam<std::tuple<i32, bool>> {};

TEST_P(ScreenTourMode, ReachesEveryStopAndEachControlRepaintsCleanly) {
  const auto [mode, seasoned] = GetParam();
  const std::string who = std::string("mode ") + std::to_string(mode) + (seasoned ? " seasoned" : "");
  ScreenTour tour(mode);
  if (seasoned) tour.seasoned();
  std::vector<std::string> seen;
  const std::vector<std::string> missed = tour.run([&](const std::string& stop, GameHarness& game) {
    seen.push_back(stop);
    for (const std::string& fault : RepaintCheck::Stale(game)) ADD_FAILURE() << who << " " << stop << ": " << fault;
    for (const std::string& fault : RepaintCheck::OutOfReach(game))
      ADD_FAILURE() << who << " " << stop << ": " << fault;
    for (const std::string& silent : RepaintCheck::Silent(game)) ADD_FAILURE() << who << " " << stop << ": " << silent;
    for (const std::string& fault : RepaintCheck::EachControl(game))
      ADD_FAILURE() << who << " " << stop << ", " << fault;
  });
  EXPECT_EQ(missed, std::vector<std::string>{}) << who;
  EXPECT_EQ(seen, ScreenTour::stopNames()) << who;
}

INSTANTIATE_TEST_SUITE_P(EveryDeviceMode, ScreenTourMode,
                         testing::Combine(testing::ValuesIn(TouredModes()), testing::Bool()),
                         [](const testing::TestParamInfo<std::tuple<i32, bool>>& p) {
                           return "mode" + std::to_string(std::get<0>(p.param)) +
                                  (std::get<1>(p.param) ? "_seasoned" : "");
                         });
