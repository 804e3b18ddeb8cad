// Music and ambience on the real program's sound manager: the track by screen, danger, map and hour; a
// paused track resumed rather than restarted; ambient loops shared by sound and volume, faint far off;
// the rain loop by class; and "no channel" that never stops the music playing on channel 0.
#include "WalkGame.h"
#include "screens/SStateDialogInterior.h"
#include "world/SMapCell.h"
#include "world/SMapObjectType.h"
#include "world/SSoundTable.h"

#include <gtest/gtest.h>

namespace {

GameHarness::Options WithSound() {
  GameHarness::Options o;
  o.soundDevice = true;
  return o;
}

// The requests of a kind since the mark, as "name@step" or "#handle".
std::vector<std::string> Requests(WalkGame& w, const char* what) {
  std::vector<std::string> out;
  const auto& all = w.game.sounds();
  for (size_t i = w.soundMark; i < all.size(); ++i)
    if (all[i].what == what)
      out.push_back(all[i].name.empty() ? "#" + std::to_string(all[i].handle)
                                        : all[i].name + "@" + std::to_string(all[i].step));
  return out;
}

TEST(GameMusic, TheTrackByScreenDangerMapAndHour) {
  WalkGame w(WithSound());
  ASSERT_TRUE(w.Enter("base_out0101", 17, 17, 0, 12 * 60));
  SStateGame& s = w.state();
  EXPECT_STREQ(s.musicName.CStr(), "bmus_surfaceday");
  EXPECT_GE(s.musicChannel, 0);
  const struct {
    const char* map;
    u32 minutes;
    i32 danger;
    const char* track;
  } cases[] = {{"base_out0101", 23 * 60, 0, "bmus_surfacenight"}, {"base_out0101", 5 * 60 + 59, 0, "bmus_surfacenight"},
               {"base_out0101", 6 * 60, 0, "bmus_surfaceday"},    {"base_dungeon1", 12 * 60, 0, "bmus_dungeon"},
               {"base_dungeon1", 12 * 60, 3, "bmus_fight"},       {"base_out0101", 23 * 60, 1, "bmus_fight"}};
  for (const auto& c : cases) {
    ASSERT_TRUE(w.Enter(c.map, 10, 10, 0, c.minutes));
    s.dangerCountdown = c.danger;
    w.MarkSounds();
    s.SelectMusic();
    EXPECT_STREQ(s.musicName.CStr(), c.track) << c.map << " " << c.minutes << " " << c.danger;
  }
  // Other screens play the main theme.
  SState* game = w.core().currentState;
  w.core().currentState = w.core().states[kStateMain];
  s.SelectMusic();
  EXPECT_STREQ(s.musicName.CStr(), "bmus_main");
  w.core().currentState = game;
}

TEST(GameMusic, APausedTrackIsResumedNotRestarted) {
  WalkGame w(WithSound());
  ASSERT_TRUE(w.Enter("base_out0101", 17, 17, 0));
  SStateGame& s = w.state();
  const i32 channel = s.musicChannel;
  ASSERT_GE(channel, 0);
  w.MarkSounds();
  s.StopAmbientSounds(true);
  EXPECT_EQ(Requests(w, "pause"), std::vector<std::string>{"#" + std::to_string(channel)});
  s.UpdateAmbient();
  EXPECT_EQ(Requests(w, "resume"), std::vector<std::string>{"#" + std::to_string(channel)});
  EXPECT_TRUE(Requests(w, "music").empty());
  EXPECT_EQ(s.musicChannel, channel);
  // The restart flag plays it again from its start.
  s.musicRestart = 1;
  s.SelectMusic();
  EXPECT_EQ(Requests(w, "music").size(), 1u);
}

TEST(GameMusic, NoChannelNeverStopsTheMusicOnChannelZero) {
  WalkGame w(WithSound());
  ASSERT_TRUE(w.Enter("base_out0101", 17, 17, 0));
  SStateGame& s = w.state();
  ASSERT_EQ(s.musicChannel, 0) << "the first music channel";
  // An interior whose song the world lacks: the old track goes, and nothing takes its place.
  auto* interior = static_cast<SStateDialogInterior*>(w.core().states[kStateDialogInterior]);
  interior->musicTrack.Assign("bmus_nosuch");
  SState* game = w.core().currentState;
  w.core().currentState = interior;
  s.SelectMusic();
  w.core().currentState = game;
  EXPECT_EQ(s.musicChannel, -1);
  // A script starts other music on channel 0; the game's stops and pauses of "none" leave it playing.
  ASSERT_EQ(w.core().world.sounds.PlayMusicByName("bmus_main"), 0);
  w.MarkSounds();
  s.PauseMusic();
  s.StopMusic();
  // No rain sound in the world: the loop is none, and stopping it stops nothing.
  SResource* rain = w.core().world.sounds.FindSound("bsnd_rain");
  ASSERT_NE(rain, nullptr);
  w.core().world.sounds.sounds.Remove(rain);
  delete rain;
  s.rainIntensity = 300;
  s.UpdateRainSound();
  EXPECT_EQ(s.rainChannel, -1);
  s.StopRainSound();
  s.StopAmbientSounds(true);
  for (const std::string& stopped : Requests(w, "stop"))
    EXPECT_NE(stopped, "#0") << "the ambient loops go, not the music";
  EXPECT_TRUE(Requests(w, "pause").empty());
  EXPECT_EQ(w.core().world.sounds.PlayMusicByName("bmus_nosuch"), 0) << "the table's own answer stays 0";
}

TEST(GameMusic, AmbientLoopsBySoundAndVolume) {
  WalkGame w(WithSound());
  ASSERT_TRUE(w.Enter("base_dungeon1", 10, 10, 0));
  SStateGame& s = w.state();
  s.StopAmbientSounds(false);
  w.MarkSounds();
  // Two torches at one distance share a loop; at another distance a second plays.
  s.PlayAmbientLayer1("bsnd_fire", 12, 10);
  s.PlayAmbientLayer1("bsnd_fire", 10, 8);
  s.PlayAmbientLayer1("bsnd_fire", 11, 10);
  // Far off, and on the second layer, the loop is faint but heard.
  s.PlayAmbientLayer1("bsnd_water", 19, 10);
  s.PlayAmbientLayer2("bsnd_water", 10, 11);
  s.PlayAmbientLayer1("bsnd_nosuch", 10, 10);
  EXPECT_EQ(Requests(w, "loop"),
            (std::vector<std::string>{"bsnd_fire@3", "bsnd_fire@4", "bsnd_water@1", "bsnd_water@3"}));
  EXPECT_EQ(s.ambientSounds.Count(), 4u);
  s.StopAmbientSounds(false);
  EXPECT_EQ(s.ambientSounds.Count(), 0u);
  EXPECT_EQ(Requests(w, "stop").size(), 4u);
}

// Each layer sounds from its own centre and sides: a sounding decoration on a wall of the first layer
// plays once, at the first layer's volume; on a wall of the second layer once, at the second's.
TEST(GameMusic, EachLayerSoundsFromItsOwnWalls) {
  WalkGame w(WithSound());
  ASSERT_TRUE(w.Enter("base_dungeon1", 10, 10, 0));
  SStateGame& s = w.state();
  SMapObjectTypeTable& types = w.core().world.mapObjectTypes;
  SMapObjectType* decor = types.FindType("base_signwords");  // the sample world's wall decoration
  SMapObjectType* wall = types.FindType("base_wallstone");
  ASSERT_TRUE(decor && wall);
  ASSERT_EQ(SMapWindow::TypeNumber(decor), 9);
  ASSERT_EQ(SMapWindow::TypeNumber(wall), 5);
  decor->texts[1] = "bsnd_thunderclose";  // heard nowhere else down here
  SMapCell& c = *s.window.Cell(13, 10);
  SMapCellFaces& f = *s.window.Faces(13, 10);
  const struct {
    const char* what;
    u32 layer;
    std::vector<std::string> loops;
  } cases[] = {
      {"on the first layer's wall", 1, {"bsnd_thunderclose@2"}},
      {"on the second layer's wall", 2, {"bsnd_thunderclose@1"}},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.what);
    c.centreType = k.layer == 1 ? wall : nullptr;
    c.sideType[1] = k.layer == 1 ? decor : nullptr;
    c.sideObjectId[1] = 0;
    f.centreType = k.layer == 2 ? wall : nullptr;
    f.centreObjectId = 0;
    f.sideType[1] = k.layer == 2 ? decor : nullptr;
    f.sideObjectId[1] = 0;
    w.MarkSounds();
    s.UpdateAmbient();
    std::vector<std::string> loops;
    for (const std::string& l : Requests(w, "loop"))
      if (l.rfind("bsnd_thunderclose", 0) == 0) loops.push_back(l);
    EXPECT_EQ(loops, k.loops);
  }
}

TEST(GameMusic, TheTownsSoundsAndItsMarkerByDayAndNight) {
  WalkGame w(WithSound());
  ASSERT_TRUE(w.Enter("base_out0101", 12, 11, 0, 12 * 60));
  SStateGame& s = w.state();
  w.MarkSounds();
  s.UpdateAmbient();
  EXPECT_EQ(Requests(w, "loop"), std::vector<std::string>{"bsnd_fire@2"}) << "the fire pit three cells away";
  EXPECT_EQ(s.ambientMarker, w.core().world.mapObjectTypes.FindType("base_birds"));
  ASSERT_TRUE(w.Enter("base_out0101", 24, 24, 0, 23 * 60));
  EXPECT_EQ(s.ambientMarker, w.core().world.mapObjectTypes.FindType("base_owl"));
  ASSERT_TRUE(w.Enter("base_out0101", 24, 24, 0, 12 * 60));
  EXPECT_EQ(s.ambientMarker, nullptr) << "the owl is quiet by day";

  // Rain: the loop of its class, switched at 500, stopped underground.
  w.MarkSounds();
  s.rainIntensity = 499;
  s.UpdateRainSound();
  s.rainIntensity = 500;
  s.UpdateRainSound();
  s.UpdateRainSound();
  EXPECT_EQ(Requests(w, "loop"), (std::vector<std::string>{"bsnd_rain@10", "bsnd_rainheavy@10"}));
  EXPECT_EQ(Requests(w, "stop").size(), 1u);
  ASSERT_TRUE(w.Enter("base_dungeon1", 10, 10, 0));
  EXPECT_EQ(s.rainChannel, -1);
}

}  // namespace
