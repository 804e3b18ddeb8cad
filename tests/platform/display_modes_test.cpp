#include "platform/hal/DisplayModes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Name(const Hal::DisplayModeRow& r) {
  return std::to_string(r.screenWidth) + "x" + std::to_string(r.screenHeight) + " mode " + std::to_string(r.mode);
}

}  // namespace

// Whatever row of a mode is read, the mode looks the same; every screen answers every "StartMode" with the
// row written for it, so no row hides behind another.
TEST(DisplayModes, RowsAgreeAndEveryScreenReachesItsRows) {
  for (i32 mode = 6; mode <= 16; ++mode) EXPECT_NE(Hal::FindDisplayMode(mode), nullptr) << mode;
  for (i32 mode : {0, 1, 3, 4, 17, -1}) EXPECT_EQ(Hal::FindDisplayMode(mode), nullptr) << mode;
  for (const Hal::DisplayModeRow& r : Hal::DisplayModeRows()) {
    const Hal::DisplayModeRow* first = Hal::FindDisplayMode(r.mode);
    ASSERT_NE(first, nullptr) << Name(r);
    EXPECT_EQ(r.width, first->width) << Name(r);
    EXPECT_EQ(r.height, first->height) << Name(r);
    EXPECT_EQ(r.font, first->font) << Name(r);
    EXPECT_EQ(r.layout, first->layout) << Name(r);
    EXPECT_EQ(r.viewSizes, first->viewSizes) << Name(r);
    if (!r.screenWidth) {
      EXPECT_EQ(r.screenHeight, 0) << Name(r);
      continue;
    }
    EXPECT_TRUE(Hal::IsKnownScreen(r.screenWidth, r.screenHeight)) << Name(r);
    EXPECT_EQ(r.landscape, r.screenWidth > r.screenHeight) << Name(r);
    for (u32 startMode : {0u, 1u, 2u}) {
      const bool asked =
          r.asked == Hal::AskedOrientation::Either || (r.asked == Hal::AskedOrientation::Upright) == (startMode == 0);
      if (!asked) continue;
      EXPECT_EQ(Hal::FindScreenMode(r.screenWidth, r.screenHeight, startMode), &r) << Name(r) << " " << startMode;
    }
  }
  EXPECT_FALSE(Hal::IsKnownScreen(0, 0)) << "the rows of modes without a screen are never picked";
}
