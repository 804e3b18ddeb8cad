// The game's song across a visit to an interior without a song of its own: paused on entering, resumed
// where it stopped on leaving, never started again from its beginning.
#include "core/SStateNumbers.h"
#include "game/SStateGame.h"
#include "game/WalkGame.h"
#include "screens/SStateDialogInterior.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// The music channel's handles in the requests of a kind since the mark.
std::vector<i32> Handles(WalkGame& w, const char* what) {
  std::vector<i32> out;
  const auto& all = w.game.sounds();
  for (size_t i = w.soundMark; i < all.size(); ++i)
    if (all[i].what == what) out.push_back(all[i].handle);
  return out;
}

}  // namespace

TEST(InteriorMusic, AnInteriorWithoutASongLeavesTheGamesSongPaused) {
  GameHarness::Options options = GameHarness::forMode(7);
  options.soundDevice = true;
  WalkGame w(options);
  ASSERT_TRUE(w.Enter("base_out0101", 15, 20, 180, 1440 + 12 * 60));
  SStateGame& game = w.state();
  ASSERT_STREQ(game.musicName.CStr(), "bmus_surfaceday");
  const i32 channel = game.musicChannel;
  ASSERT_GE(channel, 0);

  w.MarkSounds();
  game.QueueService("base_merchant");
  ASSERT_TRUE(w.game.waitUntil(GameHarness::stateIs(kStateDialogInterior), 20));
  w.game.frame(2);
  auto& interior = *static_cast<SStateDialogInterior*>(w.core().states[kStateDialogInterior]);
  ASSERT_NE(interior.interior, nullptr);
  ASSERT_TRUE(interior.musicTrack.IsEmpty());
  EXPECT_EQ(Handles(w, "pause"), std::vector<i32>{channel});
  const std::vector<i32> stopped = Handles(w, "stop");
  EXPECT_EQ(std::count(stopped.begin(), stopped.end(), channel), 0) << "the ambient loops stop, not the song";
  EXPECT_TRUE(Handles(w, "music").empty());
  EXPECT_EQ(game.musicChannel, channel);

  w.MarkSounds();
  w.game.tapControl(SStateDialogInterior::kLeave);
  ASSERT_TRUE(w.game.waitUntil(GameHarness::stateIs(kStateGame), 5));
  w.game.frame(2);
  EXPECT_EQ(Handles(w, "resume"), std::vector<i32>{channel});
  EXPECT_TRUE(Handles(w, "music").empty()) << "the day song is not started again";
  EXPECT_EQ(game.musicChannel, channel);
}
