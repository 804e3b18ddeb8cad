// The compass as a player reads it while turning on the spot: its frame at each facing, north, east, south
// and west, side by side in one stored strip per family of screens (the small letters and the large).
#include "app/DuskmireApp.h"
#include "core/SGameCore.h"
#include "game/SStateGame.h"
#include "support/GameHarness.h"
#include "support/Png.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(Compass, EachHeadingAsThePlayerTurns) {
  for (i32 mode : {7, 10}) {
    GameHarness::Options options = GameHarness::forMode(mode);
    options.newGame = true;
    GameHarness game(options);
    ASSERT_TRUE(game.boot()) << game.startError();
    ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 40));
    SStateGame& state = *game.core().stateGame;
    const SCtrl& frame = state.compassFrame;
    const i32 w = frame.width, h = frame.height;
    ASSERT_GT(w * h, 0) << mode;
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
      for (i32 y = 0; y < h; ++y)
        for (i32 x = 0; x < w; ++x)
          strip[size_t(y * 4 * w + quarter * w + x)] = panel.At(frame.left + x, frame.top + y);
    }
    EXPECT_EQ(testpng::CompareGolden("compass_headings_mode" + std::to_string(mode), strip.data(), 4 * w, h, 4 * w),
              "");
  }
}

}  // namespace
