// The shop's gold and pack text keeps inside the frames round it: no glyph of it lies on a frame's edge or
// touches it, on any screen size, for the merchant's stock and for the player's pack.
#include "core/SGameCore.h"
#include "core/ui/SDialog.h"
#include "core/ui/SPicCtrl.h"
#include "foundation/SDatabase.h"
#include "graphics/SDisplay.h"
#include "graphics/SImage.h"
#include "screens/SStateShop.h"
#include "support/ScreenTour.h"
#include "support/TextRecord.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

i32 PieceWidth(const SBorderCtrl& f, u32 i) {
  const SImageEntry* e = f.frameSet ? f.frameSet[i] : nullptr;
  return e && e->image ? e->image->width : 0;
}
i32 PieceHeight(const SBorderCtrl& f, u32 i) {
  const SImageEntry* e = f.frameSet ? f.frameSet[i] : nullptr;
  return e && e->image ? e->image->height : 0;
}

TEST(ShopGold, TheGoldTextKeepsOffEveryFramesEdge) {
  for (i32 mode : GameHarness::deviceModes()) {
    ScreenTour tour(mode);
    tour.only("screen/shop");
    u32 seen = 0;
    const std::vector<std::string> missed = tour.run([&](const std::string& stop, GameHarness& game) {
      if (stop != "screen/shop" && stop != "screen/shop-sell") return;
      TextRecord texts(game);
      SDialog& shop = *game.core().currentState;
      SDisplay& display = *game.core().display;
      ASSERT_TRUE(display.FlipAndBegin());
      shop.SetFullRepaint();
      shop.Paint();
      display.Present();
      const Os::Panel& panel = game.panel();
      for (const TextRecord::Text& t : texts.texts()) {
        if (!t.control || t.controlId != SStateShop::kGoldId || t.lines == 0) continue;
        ++seen;
        // Where its glyphs show: the pixels of its colour within its lines.
        i32 gx0 = panel.width, gy0 = panel.height, gx1 = 0, gy1 = 0;
        for (i32 y = std::max(0, t.top); y < std::min(panel.height, t.bottom); ++y)
          for (i32 x = std::max(0, t.left); x < std::min(panel.width, t.right); ++x)
            if (panel.At(x, y) == t.shade) {
              gx0 = std::min(gx0, x);
              gy0 = std::min(gy0, y);
              gx1 = std::max(gx1, x + 1);
              gy1 = std::max(gy1, y + 1);
            }
        ASSERT_LT(gx0, gx1) << "mode " << mode << " " << stop << ": no glyph of the gold text shows";
        for (u32 i = 0; i < shop.controls.Count(); ++i) {
          const auto* f = dynamic_cast<const SBorderCtrl*>(shop.controls.At(i32(i)));
          if (!f || !f->IsVisible()) continue;
          const i32 fx1 = f->left + f->width, fy1 = f->top + f->height;
          // Only the frames round the text: those that hold its control.
          if (t.cx < f->left || t.cy < f->top || t.cx + t.cw > fx1 || t.cy + t.ch > fy1) continue;
          // The inner area within the edges the frame draws (1 top, 2 left, 4 bottom, 8 right), and a pixel
          // of room inside it.
          const i32 x0 = f->left + ((f->sides & 2) ? PieceWidth(*f, 0) : 0);
          const i32 y0 = f->top + ((f->sides & 1) ? PieceHeight(*f, 0) : 0);
          const i32 x1 = fx1 - ((f->sides & 8) ? PieceWidth(*f, 6) : 0);
          const i32 y1 = fy1 - ((f->sides & 4) ? PieceHeight(*f, 2) : 0);
          EXPECT_TRUE(gx0 > x0 && gy0 > y0 && gx1 < x1 && gy1 < y1)
              << "mode " << mode << " " << stop << ": \"" << t.text << "\" shows from " << gx0 << "," << gy0 << " to "
              << gx1 << "," << gy1 << " within frame " << f->id << " whose inside is " << x0 << "," << y0 << " to "
              << x1 << "," << y1;
        }
      }
    });
    EXPECT_EQ(missed, std::vector<std::string>{}) << "mode " << mode;
    EXPECT_GT(seen, 0u) << "mode " << mode;
  }
}

}  // namespace
