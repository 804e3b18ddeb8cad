// A panel opened over a screen covers each control of the screen beneath it whole or leaves it whole: a button, a
// portrait or a text half under a panel's edge reads as a fault. Checked at every stop of the screen tour where a
// dialog stands over another, in every display mode a device selects. What a screen lays as ground (frames,
// backgrounds, its pictures) may run under a panel; a panel opened over another panel (not over a screen) covers it
// whole, ground and all. Two panels place themselves by rules of their own, not by their layout's size: a message
// box sizes itself to its text and buttons, and the spell book keeps to the bottom right of the view.
#include "core/SGameCore.h"
#include "core/ui/SCtrl.h"
#include "core/ui/SDialog.h"
#include "core/ui/SState.h"
#include "dialogs/enchant/SDialogEnchant.h"
#include "graphics/SDisplay.h"
#include "support/ScreenTour.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

bool Ground(const SCtrl& c) {
  static const std::set<std::string> kGround = {"SBorderCtrl",   "SFillBmpCtrl", "SFillColorCtrl",
                                                "SGradientCtrl", "SPicCtrl",     "SAnimCtrl"};
  return kGround.count(GameHarness::className(typeid(c))) > 0;
}

bool PlacedByItsOwnRule(const SDialog& d) {
  const std::string n = GameHarness::className(typeid(d));
  return n == "SDialogMessage" || n == "SDialogSpellbook";
}

// The pixels that the dialog and those open over it paint: it is painted whole twice, over two grounds of
// different colours, and a pixel that keeps neither ground is the panel's. (A panel need not paint its whole
// rectangle: what it leaves shows the screen beneath.)
std::vector<bool> Painted(GameHarness& game, SDialog& panel) {
  SDisplay& display = *game.core().display;
  const Os::Panel& shown = game.panel();
  std::vector<bool> painted(shown.pixels.size(), false);
  for (const u16 ground : {u16(0xF81F), u16(0x07E0)}) {
    if (!display.FlipAndBegin()) break;
    display.FillRect(0, 0, shown.width, shown.height, ground);
    for (SDialog* d = &panel; d; d = d->child) d->SetFullRepaint();
    panel.Paint();
    display.Present();
    for (size_t i = 0; i < painted.size(); ++i) painted[i] = painted[i] || shown.pixels[i] != ground;
  }
  return painted;
}

std::string Describe(const SCtrl& c) {
  std::ostringstream out;
  out << GameHarness::className(typeid(c)) << " " << c.id << " at " << c.left << "," << c.top << " " << c.width << "x"
      << c.height;
  return out.str();
}

// The controls of each dialog of the stop that the panels opened over it cover in part.
std::vector<std::string> HalfCovered(GameHarness& game) {
  std::vector<std::string> faults;
  std::vector<SDialog*> chain = ScreenTour::dialogs(game);
  // The chain ends where a dialog placed by its own rule opens; it is left out while the others paint.
  size_t end = 0;
  while (end < chain.size() && !PlacedByItsOwnRule(*chain[end])) ++end;
  SDialog* const last = end > 0 ? chain[end - 1] : nullptr;
  SDialog* const ownRule = last ? last->child : nullptr;
  if (last) last->child = nullptr;
  const i32 width = game.panel().width, height = game.panel().height;
  for (size_t below = 0; below + 1 < end; ++below) {
    const std::vector<bool> painted = Painted(game, *chain[below + 1]);
    const SDialog& screen = *chain[below];
    // A panel over a panel covers it whole: what shows of the one beneath (its buttons, its frame) reads as the
    // upper panel's own.
    if (below > 0) {
      const i32 x0 = std::max<i32>(0, screen.left), y0 = std::max<i32>(0, screen.top);
      const i32 x1 = std::min<i32>(width, screen.left + screen.width),
                y1 = std::min<i32>(height, screen.top + screen.height);
      i64 showing = 0;
      for (i32 y = y0; y < y1; ++y)
        for (i32 x = x0; x < x1; ++x) showing += !painted[size_t(y) * size_t(width) + size_t(x)];
      if (showing > 0)
        faults.push_back(GameHarness::className(typeid(*chain[below + 1])) + " leaves " + std::to_string(showing) +
                         " of " + std::to_string(i64(x1 - x0) * (y1 - y0)) + " pixels of " +
                         GameHarness::className(typeid(screen)) + " at " + std::to_string(screen.left) + "," +
                         std::to_string(screen.top) + " " + std::to_string(screen.width) + "x" +
                         std::to_string(screen.height) + " showing");
    }
    for (u32 i = 0; i < screen.controls.Count(); ++i) {
      const SCtrl* c = screen.controls.At(i32(i));
      if (!c || !c->IsVisible() || !c->width || !c->height || Ground(*c)) continue;
      // What runs past the screen's edge is no one's to cover.
      const i32 x0 = std::max<i32>(0, c->left), y0 = std::max<i32>(0, c->top);
      const i32 x1 = std::min<i32>(width, c->left + c->width), y1 = std::min<i32>(height, c->top + c->height);
      if (x0 >= x1 || y0 >= y1) continue;
      i64 covered = 0;
      for (i32 y = y0; y < y1; ++y)
        for (i32 x = x0; x < x1; ++x) covered += painted[size_t(y) * size_t(width) + size_t(x)];
      const i64 area = i64(x1 - x0) * (y1 - y0);
      if (covered == 0 || covered == area) continue;
      faults.push_back(GameHarness::className(typeid(screen)) + " " + Describe(*c) + ": " + std::to_string(covered) +
                       " of " + std::to_string(area) + " pixels covered");
    }
  }
  if (last) last->child = ownRule;
  return faults;
}

TEST(PanelCover, EveryPanelCoversAControlBeneathWholeOrLeavesItWhole) {
  for (i32 mode : GameHarness::deviceModes()) {
    const std::vector<std::string> missed = ScreenTour(mode).run([&](const std::string& stop, GameHarness& game) {
      for (const std::string& f : HalfCovered(game)) ADD_FAILURE() << "mode " << mode << " " << stop << ": " << f;
    });
    EXPECT_EQ(missed, std::vector<std::string>{}) << "mode " << mode;
  }
}

// The judge: the enchanting entry over the enchanting panel covers it; made shorter than the panel beneath, as
// it once was, it is named for what it leaves of that panel showing.
TEST(PanelCover, APanelOverAPanelIsNamedForWhatItLeavesShowing) {
  ScreenTour tour(7);
  tour.only("dialog/enchant-entry");
  u32 visited = 0;
  const std::vector<std::string> missed = tour.run([&](const std::string&, GameHarness& game) {
    ++visited;
    EXPECT_EQ(HalfCovered(game), std::vector<std::string>{});
    SDialog& entry = *ScreenTour::dialogs(game).back();
    ASSERT_EQ(GameHarness::className(typeid(*entry.parent)), "SDialogEnchant");
    entry.top += 28;
    entry.height -= 56;
    const std::vector<std::string> faults = HalfCovered(game);
    ASSERT_EQ(faults.size(), 1u);
    EXPECT_EQ(faults[0].rfind(GameHarness::className(typeid(entry)) + " leaves ", 0), 0u) << faults[0];
    EXPECT_NE(faults[0].find(" of 76800 pixels of SDialogEnchant at 0,0 240x320 showing"), std::string::npos)
        << faults[0];
  });
  EXPECT_EQ(missed, std::vector<std::string>{});
  EXPECT_EQ(visited, 1u);
}

}  // namespace

// The enchanting dialog cancelled over the merchant's item picker, which stays: the screen shows the picker
// over the merchant's menu as a fresh painting of both shows it, with nothing of the closed dialog left
// around the picker.
TEST(PanelCover, AClosedPanelLeavesNothingBehindTheOneThatStays) {
  for (i32 mode : {7, 10}) {
    ScreenTour tour(mode);
    tour.only("dialog/enchant-paid");
    u32 visited = 0;
    const std::vector<std::string> missed = tour.run([&](const std::string&, GameHarness& game) {
      ++visited;
      game.tapControl(SDialogEnchant::kCancel);
      game.frame(2);
      ASSERT_EQ(ScreenTour::dialogs(game).back()->child, nullptr);
      ASSERT_EQ(GameHarness::className(typeid(*ScreenTour::dialogs(game).back())), "SDialogEnchantItem");
      const std::vector<u16> shown = game.panel().pixels;
      SDisplay& display = *game.core().display;
      ASSERT_TRUE(display.FlipAndBegin());
      game.core().currentState->SetFullRepaint();
      game.core().currentState->Paint();
      display.Present();
      const std::vector<u16>& fresh = game.panel().pixels;
      size_t stale = 0;
      for (size_t i = 0; i < shown.size(); ++i) stale += shown[i] != fresh[i];
      EXPECT_EQ(stale, 0u) << "mode " << mode << ": pixels of the closed dialog left on the screen";
    });
    EXPECT_EQ(missed, std::vector<std::string>{});
    EXPECT_EQ(visited, 1u);
  }
}
