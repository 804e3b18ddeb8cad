// The compass as a player reads it while turning on the spot: its frame at each facing, north, east, south
// and west. On every screen the band fills the frame, so that none of the head-up strip's ground shows
// inside it; one stored strip per family of screens (the small letters and the large) keeps the look.
#include "app/DuskmireApp.h"
#include "core/SGameCore.h"
#include "core/SPictureRoles.h"
#include "game/SStateGame.h"
#include "graphics/SImage.h"
#include "support/GameHarness.h"
#include "support/Png.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

// The colours of the tile the head-up strip is laid with.
std::set<u16> GroundColours(const SGameCore& core) {
  std::set<u16> colours;
  const SImage* tile = core.Picture(PictureRole::kHudTile);
  if (!tile) return colours;
  for (i32 y = 0; y < tile->height; ++y)
    for (i32 x = 0; x < tile->width; ++x)
      colours.insert(SImage::Texel(tile->format, tile->Pixels(), tile->GetPalette(), tile->IndexStride(), x, y));
  return colours;
}

TEST(Compass, EachHeadingFillsTheFrameOnEveryScreen) {
  for (i32 mode : GameHarness::deviceModes()) {
    GameHarness::Options options = GameHarness::forMode(mode);
    options.newGame = true;
    GameHarness game(options);
    ASSERT_TRUE(game.boot()) << game.startError();
    ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 40));
    SStateGame& state = *game.core().stateGame;
    const SCtrl& frame = state.compassFrame;
    const SCompassCtrl& compass = state.compass;
    const i32 w = frame.width, h = frame.height;
    ASSERT_GT(w * h, 0) << mode;
    // The rows of the band the control copies are as many as its place is high: fewer leave the ground
    // showing under the band, more run over the frame onto the strip below.
    EXPECT_EQ(compass.bandHeight - (game.core().IsCompact() ? 2 : 0), i32(compass.height)) << "mode " << mode;
    const std::set<u16> ground = GroundColours(game.core());
    ASSERT_FALSE(ground.empty());
    std::vector<u16> strip(size_t(4 * w * h));
    // The new game faces north; a turn to the right takes a quarter off the angle.
    const i32 north = state.facing;
    i32 facing = north;
    for (i32 quarter = 0; quarter < 4; ++quarter) {
      if (quarter) {
        game.press(kActionTurnRight);
        ASSERT_TRUE(
            game.waitUntil({"a quarter turned", [&](const GameHarness&) { return state.facing != facing; }}, 40));
        ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 40)) << mode;
      }
      ASSERT_EQ(state.facing, (north + 360 - 90 * quarter) % 360) << mode;
      facing = state.facing;
      game.frame();
      const Os::Panel& panel = game.panel();
      i32 bare = 0;
      for (i32 y = 0; y < h; ++y)
        for (i32 x = 0; x < w; ++x) {
          const u16 c = panel.At(frame.left + x, frame.top + y);
          strip[size_t(y * 4 * w + quarter * w + x)] = c;
          bare += ground.count(c) ? 1 : 0;
        }
      EXPECT_EQ(bare, 0) << "mode " << mode << ", facing " << facing << ": pixels of the strip's ground in the frame";
    }
    if (mode == 7 || mode == 10) {
      EXPECT_EQ(testpng::CompareGolden("compass_headings_mode" + std::to_string(mode), strip.data(), 4 * w, h, 4 * w),
                "");
    }
  }
}

}  // namespace
