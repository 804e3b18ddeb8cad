// Every control a player can tap is seen: each control that is shown, enabled and takes the pen must change
// its own area when it paints itself (RepaintCheck::Silent). The screen tour holds every screen and dialog of
// the game to it, in every mode and with both characters (screen_tour_test.cpp); here the check itself.
#include "core/SGameCore.h"
#include "core/SPictureRoles.h"
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SDialog.h"
#include "core/ui/SState.h"
#include "support/RepaintCheck.h"
#include "support/ScreenTour.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Lines(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) s += l + "\n";
  return s;
}

// A button wired to no picture, planted on the game's view, is named; given its pictures it passes.
TEST(EveryControlPaints, APlantedButtonWithoutAPictureIsNamed) {
  SButtonCtrl planted;
  std::vector<std::string> named;
  ScreenTour tour(7);
  tour.only("game/view");
  const std::vector<std::string> missed = tour.run([&](const std::string&, GameHarness& game) {
    SDialog& state = *game.core().currentState;
    planted.Attach(&state);
    planted.SetPicture(nullptr, 77, 0);
    planted.SetRect(20, 20, 24, 24);
    planted.id = 777;
    state.AddControl(&planted);
    named = RepaintCheck::Silent(game);
    planted.SetPicture(&game.core().pictures[PictureRole::kHudButtons], 77, 0);
    planted.SetRect(20, 20, 24, 24);
    const std::vector<std::string> wired = RepaintCheck::Silent(game);
    EXPECT_EQ(Lines(wired), "");
    state.RemoveControl(&planted);
  });
  EXPECT_EQ(Lines(missed), "");
  ASSERT_EQ(named.size(), 1u) << Lines(named);
  EXPECT_NE(named[0].find("777 at 20,20 24x24"), std::string::npos) << named[0];
}

}  // namespace
