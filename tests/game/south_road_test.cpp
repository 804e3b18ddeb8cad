// The South Road as a player first meets it: from the town's gate, the road running south between the
// gate's pillars, past the milestone, toward the signpost; and, looking back from the signpost's fork, the
// road to the gate with the town's grass the same as the road's (no lighter band over a dark void).
#include "WalkGame.h"
#include "support/Png.h"

#include <gtest/gtest.h>

namespace {

TEST(SouthRoad, FromTheTownsGateAndBackTowardTheTown) {
  WalkGame w;
  const struct {
    i32 x, y, facing;  // cells of the road's map; 180 faces south, 0 north
    const char* golden;
  } views[] = {{10, 0, 180, "south_road_from_the_gate_240x320"}, {10, 6, 0, "south_road_toward_the_town_240x320"}};
  for (const auto& v : views) {
    // The window holds the road's cell (x, y) at (x + 7, y + 7).
    ASSERT_TRUE(w.Enter("base_out0102", v.x + 7, v.y + 7, v.facing)) << v.golden;
    w.game.frame(2);
    const Os::Panel& panel = w.game.panel();
    EXPECT_EQ(testpng::CompareGolden(v.golden, panel.pixels.data(), panel.width, panel.height, panel.width), "");
  }
}

}  // namespace
