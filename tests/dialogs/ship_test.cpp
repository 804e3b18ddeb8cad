// Ship travel through the game state: the travel event opens the voyage with its text, an hour passes at
// once, OK stops the sea sound and lands the player on the position, and the picture is read only once.
#include "GameDialogs.h"
#include "dialogs/SDialogShipTravel.h"
#include "game/SStateGame.h"
#include "world/SMapArea.h"

namespace {

TEST(ShipTravel, TheVoyageTakesAnHourAndLandsOnThePosition) {
  DialogGame g(true);
  ASSERT_TRUE(g.Enter("base_out0101", 17, 17, 0, 600));
  SDialogShipTravel& ship = g.state().shipTravel;
  for (u32 voyage = 0; voyage < 2; ++voyage) {
    const u32 before = g.state().GetClockMinutes();
    g.MarkSounds();
    g.player().QueueTravel("base_pos_deep", "The ship sails through the night.");
    ASSERT_TRUE(g.game.waitUntil(GameHarness::subModeIs(SStateGame::kShipTravel), 10));
    EXPECT_EQ(g.state().subDialog, &ship);
    EXPECT_EQ(g.state().GetClockMinutes(), before + 60);
    EXPECT_STREQ(ship.text.text.CStr(), "The ship sails through the night.");
    EXPECT_STREQ(ship.destination.CStr(), "base_pos_deep");
    EXPECT_TRUE(g.Played("bsnd_shiptravel", "loop"));
    EXPECT_NE(ship.picture.picture, nullptr);
    g.game.frame();
    ship.OnCommand(SDialogShipTravel::kCloseCode);
    EXPECT_FALSE(g.Sounds("stop sounds").empty());  // the sea sound ends
    EXPECT_EQ(g.state().subDialog, nullptr);
    EXPECT_TRUE(ship.shipPicture.IsResident()) << "the picture is kept for the next voyage";
    ASSERT_TRUE(g.Settle());
    EXPECT_STREQ(g.state().window.CurrentArea()->name.Text(), "base_dungeon2");
    EXPECT_EQ(g.state().window.playerX, 5);
    EXPECT_EQ(g.state().window.playerY, 5);
    ASSERT_TRUE(g.Enter("base_out0101", 17, 17, 0, 600));
  }
  EXPECT_EQ(ship.pictureReads, 1u);
}

}  // namespace
