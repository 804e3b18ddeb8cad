// A panel opened over a screen covers each control of the screen beneath it whole or leaves it whole: a
// button, a portrait or a text half under a panel's edge reads as a fault. Checked at every stop of the
// screen tour where a dialog stands over another, in every display mode a device selects. What a screen
// lays as ground (frames, backgrounds, its pictures) may run under a panel. Two panels place themselves
// by rules of their own, not by their layout's size: a message box sizes itself to its text and buttons,
// and the spell book keeps to the bottom right of the view.
#include "core/ui/SCtrl.h"
#include "core/ui/SDialog.h"
#include "support/ScreenTour.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Box {
  i32 x0, y0, x1, y1;
  bool empty() const { return x0 >= x1 || y0 >= y1; }
  i64 area() const { return empty() ? 0 : i64(x1 - x0) * (y1 - y0); }
};

bool Ground(const SCtrl& c) {
  static const std::set<std::string> kGround = {"SBorderCtrl", "SFillBmpCtrl", "SFillColorCtrl", "SGradientCtrl",
                                                "SPicCtrl", "SAnimCtrl"};
  return kGround.count(GameHarness::className(typeid(c))) > 0;
}

bool PlacedByItsOwnRule(const SDialog& d) {
  const std::string n = GameHarness::className(typeid(d));
  return n == "SDialogMessage" || n == "SDialogSpellbook";
}

// The part of `box` that the panels cover, in pixels (the panels may overlap each other).
i64 Covered(const Box& box, const std::vector<Box>& panels) {
  i64 n = 0;
  for (i32 y = box.y0; y < box.y1; ++y)
    for (i32 x = box.x0; x < box.x1; ++x)
      for (const Box& p : panels)
        if (x >= p.x0 && x < p.x1 && y >= p.y0 && y < p.y1) {
          ++n;
          break;
        }
  return n;
}

std::string Describe(const SCtrl& c) {
  std::ostringstream out;
  out << GameHarness::className(typeid(c)) << " " << c.id << " at " << c.left << "," << c.top << " " << c.width
      << "x" << c.height;
  return out.str();
}

// The controls of each dialog of the stop that the dialogs opened over it cover in part.
std::vector<std::string> HalfCovered(const GameHarness& game) {
  std::vector<std::string> faults;
  const std::vector<SDialog*> chain = ScreenTour::dialogs(game);
  for (size_t below = 0; below + 1 < chain.size(); ++below) {
    std::vector<Box> panels;
    for (size_t above = below + 1; above < chain.size(); ++above) {
      const SDialog& d = *chain[above];
      if (!PlacedByItsOwnRule(d)) panels.push_back({d.left, d.top, d.left + d.width, d.top + d.height});
    }
    const SDialog& screen = *chain[below];
    for (u32 i = 0; i < screen.controls.Count(); ++i) {
      const SCtrl* c = screen.controls.At(i32(i));
      if (!c || !c->IsVisible() || !c->width || !c->height || Ground(*c)) continue;
      const Box box{c->left, c->top, c->left + c->width, c->top + c->height};
      const i64 covered = Covered(box, panels);
      if (covered == 0 || covered == box.area()) continue;
      faults.push_back(GameHarness::className(typeid(screen)) + " " + Describe(*c) + ": " +
                       std::to_string(covered * 100 / box.area()) + "% covered");
    }
  }
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

}  // namespace

