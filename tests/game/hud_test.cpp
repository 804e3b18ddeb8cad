// The game view's ten buttons on every device's screen: each takes its whole layout place, which is its
// picture's size, so a tap anywhere on the place presses it.
#include "WalkGame.h"
#include "core/SPictureRoles.h"
#include "graphics/SImage.h"

#include <gtest/gtest.h>

namespace {

TEST(GameButtons, EachFillsItsPlaceAndATapAtThePlacesCornerPressesIt) {
  for (i32 mode : GameHarness::deviceModes()) {
    SCOPED_TRACE(mode);
    WalkGame w(GameHarness::forMode(mode));
    ASSERT_TRUE(w.Enter("base_out0101", 17, 17, 0));
    ASSERT_TRUE(w.game.waitUntil(GameHarness::gameIdle(), 40));
    SStateGame& state = w.state();
    for (u32 i = 0; i < SStateGame::kButtonCount; ++i) {
      const SButtonCtrl& b = state.buttons[i];
      const SLayoutItem* place = w.core().GetLayoutItem(SLayoutTable::kGameScreen, b.id);
      const SImage* picture = w.core().Picture(PictureRole::kHudButtons + 2 * i);
      ASSERT_TRUE(place && picture) << b.id;
      // The button on its place, the place its picture's size.
      EXPECT_EQ(
          (std::vector<i32>{b.left, b.top, b.width, b.height, place->w, place->h}),
          (std::vector<i32>{place->x, place->y, picture->width, picture->height, picture->width, picture->height}))
          << b.id;
    }
    // Turn left from the place's top-left corner, back again from its bottom-right one (the stylus reaches
    // the even pixels).
    const SLayoutItem* left = w.core().GetLayoutItem(SLayoutTable::kGameScreen, SStateGame::kTurnLeftId);
    const SLayoutItem* right = w.core().GetLayoutItem(SLayoutTable::kGameScreen, SStateGame::kTurnRightId);
    const struct {
      i32 x, y, facing;
    } taps[] = {{(left->x + 1) & ~1, (left->y + 1) & ~1, 90},
                {(right->x + right->w - 1) & ~1, (right->y + right->h - 1) & ~1, 0}};
    for (const auto& t : taps) {
      w.game.penDown(t.x, t.y);
      w.game.penUp(t.x, t.y);
      ASSERT_TRUE(w.game.waitUntil(GameHarness::gameIdle(), 40));
      EXPECT_EQ(state.facing, t.facing);
    }
  }
}

}  // namespace
