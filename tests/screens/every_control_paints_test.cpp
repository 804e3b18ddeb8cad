// Every control a player can tap is seen: on every screen and dialog of the game, each control that is
// shown, enabled and takes the pen must change its own area when it paints itself. Its area is filled with
// one colour and the control painted, then again with another colour; a control that left both fills as
// they were paints nothing (a button wired to no picture, say) and is named.
#include "core/SGameCore.h"
#include "core/SPictureRoles.h"
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SCtrl.h"
#include "core/ui/SDialog.h"
#include "core/ui/SDialogListCtrl.h"
#include "core/ui/SSceneTextCtrl.h"
#include "core/ui/SState.h"
#include "graphics/SDisplay.h"
#include "support/ScreenTour.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <typeinfo>
#include <vector>

namespace {

// Whether painting the control over a fill of `colour` leaves every pixel of its area that colour.
bool LeavesFill(SDisplay& display, SCtrl& control, i32 x0, i32 y0, i32 x1, i32 y1, u16 colour) {
  display.FillRect(x0, y0, x1 - x0, y1 - y0, colour);
  control.Paint();
  const SSurface& screen = display.Screen();
  for (i32 y = y0; y < y1; ++y)
    for (i32 x = x0; x < x1; ++x)
      if (*screen.Pixel(x, y) != colour) return false;
  return true;
}

// The controls of the screen as it stands that take the pen but paint nothing, a line each. The screen's
// pixels are put back afterwards.
std::vector<std::string> SilentControls(const std::string& stop, const GameHarness& game) {
  std::vector<std::string> out;
  SDisplay* display = game.core().display;
  if (!display) return {stop + ": no display"};
  const SSurface& screen = display->Screen();
  for (const ScreenTour::Shown& shown : ScreenTour::shownControls(game)) {
    SCtrl& c = *shown.control;
    if (!c.IsEnabled() || !c.TakesInput(SCtrl::kInputPen)) continue;
    // The scene's text draws its scrolling lines from its ticks, over its owner's repaint, never in Paint.
    if (dynamic_cast<const SSceneTextCtrl*>(&c)) continue;
    // A list without rows holds nothing to show; the frame around it is its dialog's.
    if (auto* list = dynamic_cast<const SDialogListCtrl*>(&c); list && list->RowCount() == 0) continue;
    const i32 x0 = std::max<i32>(c.left, 0), y0 = std::max<i32>(c.top, 0);
    const i32 x1 = std::min<i32>(c.left + c.width, screen.width), y1 = std::min<i32>(c.top + c.height, screen.height);
    if (x1 <= x0 || y1 <= y0) continue;
    std::vector<u16> kept;
    for (i32 y = y0; y < y1; ++y)
      for (i32 x = x0; x < x1; ++x) kept.push_back(*screen.Pixel(x, y));
    const bool silent = LeavesFill(*display, c, x0, y0, x1, y1, 0xF81F) && LeavesFill(*display, c, x0, y0, x1, y1, 0x07E0);
    size_t i = 0;
    for (i32 y = y0; y < y1; ++y)
      for (i32 x = x0; x < x1; ++x) *screen.Pixel(x, y) = kept[i++];
    if (!silent) continue;
    std::ostringstream line;
    line << stop << ": " << typeid(*shown.dialog).name() << " " << typeid(c).name() << " " << c.id << " at " << c.left
         << "," << c.top << " " << c.width << "x" << c.height;
    out.push_back(line.str());
  }
  return out;
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) s += l + "\n";
  return s;
}

TEST(EveryControlPaints, OnEveryScreenAndDialogInACompactAndALargeMode) {
  for (i32 mode : {7, 10}) {
    std::vector<std::string> silent;
    const std::vector<std::string> missed = ScreenTour(mode).run([&](const std::string& stop, GameHarness& game) {
      for (const std::string& line : SilentControls(stop, game)) silent.push_back(line);
    });
    EXPECT_EQ(Lines(missed), "") << "mode " << mode;
    EXPECT_EQ(Lines(silent), "") << "mode " << mode;
  }
}

// The check itself: a button wired to no picture, planted on the game's view, is named; given its pictures
// it passes.
TEST(EveryControlPaints, APlantedButtonWithoutAPictureIsNamed) {
  SButtonCtrl planted;
  std::vector<std::string> named;
  ScreenTour tour(7);
  tour.only("game/view");
  const std::vector<std::string> missed = tour.run([&](const std::string& stop, GameHarness& game) {
    SDialog& state = *game.core().currentState;
    planted.Attach(&state);
    planted.SetPicture(nullptr, 77, 0);
    planted.SetRect(20, 20, 24, 24);
    planted.id = 777;
    state.AddControl(&planted);
    named = SilentControls(stop, game);
    planted.SetPicture(&game.core().pictures[PictureRole::kHudButtons], 77, 0);
    planted.SetRect(20, 20, 24, 24);
    const std::vector<std::string> wired = SilentControls(stop, game);
    EXPECT_EQ(Lines(wired), "");
    state.RemoveControl(&planted);
  });
  EXPECT_EQ(Lines(missed), "");
  ASSERT_EQ(named.size(), 1u) << Lines(named);
  EXPECT_NE(named[0].find("777 at 20,20 24x24"), std::string::npos) << named[0];
}

}  // namespace
