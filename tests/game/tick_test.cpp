// The game state's frame and clock: the wrap-safe rate timers, death before anything else, volumes by
// distance, the ambient voice or marker, ambience and thunder after the wall clock goes back; the clock's
// texts and spans, the daily reset and the sky's hours, and the weather's rain.
#include "WalkGame.h"
#include "foundation/TimeUtil.h"
#include "game/SMonster.h"
#include "player/SPlayer.h"
#include "player/SSaveGame.h"
#include "world/SMapObjectType.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(GameTick, TimersFireOnlyAfterTheirIntervalAcrossTheWrap) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 5, 6, 180));
  SStateGame& s = w.state();
  SFrameTimer& timer = w.core().frameTimers[7];
  for (u32 last : {1000u, 0xFFFFFFF0u}) {
    timer.lastTick = last;
    const u32 counter = timer.counter;
    EXPECT_FALSE(s.TimerFires(7, last + 20)) << last;
    EXPECT_EQ(timer.counter, counter);
    EXPECT_TRUE(s.TimerFires(7, last + 21)) << last;
    EXPECT_EQ(timer.lastTick, last + 21);
    EXPECT_EQ(timer.counter, counter + 1);
    // Just after a firing, across the wrap, nothing fires every frame.
    EXPECT_FALSE(s.TimerFires(7, last + 22)) << last;
  }
}

TEST(GameTick, DeathComesBeforeAnythingElseEvenUnderABox) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 5, 6, 180));
  SStateGame& s = w.state();
  s.QueueMessage("Ouch.", 1, nullptr);
  ASSERT_TRUE(w.game.waitUntil(GameHarness::subModeIs(SStateGame::kMessageBox), 3));
  const u32 fired = w.core().frameTimers[7].counter;
  w.core().player.hp = 0;
  EXPECT_EQ(s.OnTick(w.core().frameCounter, w.core().display), u32(kStateDeath));
  EXPECT_EQ(s.gameInProgress, 0u);
  EXPECT_EQ(w.core().frameTimers[7].counter, fired) << "no timer was tested";
}

TEST(GameTick, VolumeFallsWithTheDistanceInCells) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 10, 10, 0));
  const struct {
    i32 x, y, volume;
  } cases[] = {{10, 10, 10}, {13, 12, 5}, {7, 8, 5}, {10, 19, 1}, {22, 10, 1}, {16, 13, 1}, {11, 10, 9}};
  for (const auto& c : cases) EXPECT_EQ(w.state().VolumeByDistance(c.x, c.y), c.volume) << c.x << "," << c.y;
}

TEST(GameTick, EachAmbientTurnPlaysTheVoiceOrTheMarkerNeverBoth) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_out0101", 17, 17, 0));
  SStateGame& s = w.state();
  s.soundPick = w.core().world.monsters.FindMonster("base_rat");
  ASSERT_NE(s.soundPick, nullptr);
  s.soundPickX = s.soundPickY = 17;
  s.ambientMarker = w.core().world.mapObjectTypes.FindType("base_birds");
  ASSERT_NE(s.ambientMarker, nullptr);
  s.ambientX = s.ambientY = 19;
  const char* voice = s.soundPick->baseType->sound4;
  ASSERT_TRUE(voice && *voice);
  int voices = 0, birds = 0;
  for (int i = 0; i < 40; ++i) {
    w.MarkSounds();
    s.lastAmbientSecond = 0;
    s.PlayAmbientTick();
    const std::vector<std::string> played = w.Sounds();
    ASSERT_EQ(played.size(), 1u) << i;
    voices += played[0] == voice;
    birds += played[0] == "bsnd_birds";
  }
  EXPECT_EQ(voices + birds, 40);
  EXPECT_GT(voices, 8);
  EXPECT_GT(birds, 8);
  // Within ten seconds of the last, nothing.
  w.MarkSounds();
  s.PlayAmbientTick();
  EXPECT_TRUE(w.Sounds().empty());
}

TEST(GameTick, AmbienceAndThunderGoOnAfterTheWallClockIsSetBack) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_out0101", 17, 17, 0));
  SStateGame& s = w.state();
  s.ambientMarker = w.core().world.mapObjectTypes.FindType("base_birds");
  s.ambientX = s.ambientY = 17;
  s.lastAmbientSecond = 0;
  s.PlayAmbientTick();
  // Summer time ends: the wall clock goes back an hour.
  Os::SystemTime t = WalkGame::Clock().LocalTime();
  t.hour = u16(t.hour - 1);
  WalkGame::Clock().SetLocalTime(t);
  w.MarkSounds();
  s.PlayAmbientTick();
  EXPECT_TRUE(w.Sounds().empty());
  WalkGame::Clock().Advance(11000);
  s.PlayAmbientTick();
  EXPECT_EQ(w.Sounds(), std::vector<std::string>{"bsnd_birds"}) << "eleven seconds later, not an hour";

  // Heavy rain outside: thunder comes within a few tries once ten seconds have passed.
  s.rainIntensity = s.rainTarget = 800;
  s.rainCountdown = 1000;
  s.thunderTime = u32(GetLocalTimeSeconds());
  t.hour = u16(t.hour - 1);
  WalkGame::Clock().SetLocalTime(t);
  bool thunder = false;
  for (int i = 0; i < 200 && !thunder; ++i) {
    WalkGame::Clock().Advance(11000);
    s.UpdateWeather(false);
    thunder = s.thunderPending != 0;
  }
  EXPECT_TRUE(thunder);
}

TEST(GameClock, TextsAndSpans) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 5, 6, 180, 0));
  SStateGame& s = w.state();
  const struct {
    u32 minutes;
    const char* time;
    const char* dayTime;
  } cases[] = {{0, "12:00 am", "Day 1, 12:00 am"},
               {5, "12:05 am", "Day 1, 12:05 am"},
               {12 * 60 + 30, "12:30 pm", "Day 1, 12:30 pm"},
               {1440 + 13 * 60 + 7, "1:07 pm", "Day 2, 1:07 pm"},
               {11 * 60 + 59, "11:59 am", "Day 1, 11:59 am"}};
  SString text;
  for (const auto& c : cases) {
    s.window.minutes = c.minutes;
    s.FormatTime(text);
    EXPECT_STREQ(text.CStr(), c.time);
    s.FormatDayTime(text);
    EXPECT_STREQ(text.CStr(), c.dayTime);
  }
  s.window.minutes = 3000;
  EXPECT_EQ(s.MinutesSince(2000), 1000u);
  EXPECT_EQ(s.HoursSince(2000), 16u);
  EXPECT_EQ(s.DaysSince(0), 2u);
  EXPECT_EQ(s.MinutesSince(3001), 0u);
  EXPECT_EQ(s.HoursSince(5000), 0u);
  EXPECT_EQ(s.DaysSince(0xFFFFFFFFu), 0u);
  s.window.minutes = 21 * 60 + 59;
  EXPECT_TRUE(s.IsDay());
  s.window.minutes += 1;
  EXPECT_TRUE(s.IsNight());
}

TEST(GameClock, HoursRebuildTheSkyOnlyAcrossDayAndNightAndDaysResetTheMarksOnce) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_out0101", 17, 17, 0, 9 * 60));
  SStateGame& s = w.state();
  SMapObjectInst* table = s.window.CurrentArea()->FindObjectByName("base_obj_table");
  ASSERT_NE(table, nullptr);
  // Hours within the same daylight: the sky stays as it is, and so do the built cells.
  s.skyImage = 0xBEEF;
  s.PassHours(3);
  EXPECT_EQ(s.skyImage, 0xBEEF);
  EXPECT_EQ(s.GetHour(), 12u);
  // Into the night: the sky is chosen again.
  s.PassHours(10);
  EXPECT_NE(s.skyImage, 0xBEEF);

  // 24 hours from 23:00: one daily reset, and a rebuild although it is night before and after.
  s.window.minutes = 23 * 60;
  table->state |= 0x80;
  s.skyImage = 0xBEEF;
  s.PassHours(24);
  EXPECT_EQ(table->state & 0x80, 0);
  EXPECT_NE(s.skyImage, 0xBEEF);
  EXPECT_EQ(s.GetDay(), 2u);
  // A single minute into a new day resets the marks too.
  s.window.minutes = 2 * 1440 - 1;
  table->state |= 0x80;
  s.PassMinute();
  EXPECT_EQ(table->state & 0x80, 0);
}

TEST(GameWeather, RainFromTheWeatherValue) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_out0101", 17, 17, 0));
  SStateGame& s = w.state();
  s.SetWeather(nullptr, 70);
  s.UpdateWeather(true);
  EXPECT_EQ(s.rainIntensity, 0);
  EXPECT_EQ(s.rainCountdown, 65535);
  EXPECT_EQ(s.rainStep, 0);
  s.SetWeather("", 71);
  s.UpdateWeather(true);
  EXPECT_EQ(s.rainIntensity, 275);
  EXPECT_GE(s.rainCountdown, 300);
  EXPECT_LT(s.rainCountdown, 600);
  EXPECT_EQ(s.rainStep, s.rainIntensity < s.rainTarget ? 1 : s.rainIntensity > s.rainTarget ? -1 : 0);
  s.SetWeather(nullptr, 250);
  EXPECT_EQ(s.GetWeatherValue(), 100);
  s.UpdateWeather(true);
  EXPECT_EQ(s.rainIntensity, 999);
  s.SetRainIntensity(5000);
  EXPECT_EQ(s.GetRainIntensity(), 999);

  // Minute by minute: the countdown first, then the intensity moves to its target and stays at 300 or more.
  s.SetWeather(nullptr, 0);
  s.UpdateWeather(true);
  s.rainCountdown = 1;
  s.UpdateWeather(false);
  EXPECT_EQ(s.rainCountdown, 0);
  for (int i = 0; i < 1000 && s.rainIntensity < 300; ++i) s.UpdateWeather(false);
  EXPECT_EQ(s.rainIntensity, 300) << "a dry spell that ran out rains toward 300";
}

TEST(GameWeather, RainOnceUnderWayNeverRunsDry) {
  // A new target that equals the intensity is met where it is: a step away from it would never meet it
  // again, and the rain would run down to nothing.
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 5, 6, 180));
  SStateGame& s = w.state();
  s.SetWeather(nullptr, 100);
  s.UpdateWeather(true);
  i32 lowest = 999;
  for (int i = 0; i < 200000; ++i) {
    s.UpdateWeather(false);
    lowest = std::min(lowest, s.rainIntensity);
  }
  EXPECT_GE(lowest, 300);
  s.rainIntensity = s.rainTarget = 450;
  s.rainStep = 0;
  s.rainCountdown = 0;
  s.UpdateWeather(false);
  EXPECT_EQ(s.rainIntensity, 450);
  EXPECT_GT(s.rainCountdown, 0);
}

TEST(GameWeather, NoThunderUnderground) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 5, 6, 180));
  SStateGame& s = w.state();
  s.rainIntensity = s.rainTarget = 999;
  s.rainCountdown = 100000;
  for (int i = 0; i < 100; ++i) {
    WalkGame::Clock().Advance(11000);
    s.UpdateWeather(false);
    EXPECT_EQ(s.thunderPending, 0u);
  }
}

// The sky turns while the sky chosen has an animation (the sample's night sky has one, its day sky none):
// two frames of the street some seconds apart differ in the view's sky by night and not by day.
TEST(GameSky, TheNightSkyTurnsAndTheDaySkyStandsStill) {
  for (const bool night : {true, false}) {
    SCOPED_TRACE(night ? "night" : "day");
    WalkGame w;
    ASSERT_TRUE(w.Enter("base_out0101", 17, 17, 0, night ? 23 * 60 : 12 * 60));
    const SWorldView& v = w.state().view;
    // The sky rows: the top fifth of the view, above the town's roofs.
    auto sky = [&] {
      std::vector<u16> rows;
      const Os::Panel& panel = w.game.panel();
      for (i32 y = v.viewY; y < v.viewY + v.viewHeight / 5; ++y)
        for (i32 x = v.viewX; x < v.viewX + v.viewWidth; ++x) rows.push_back(panel.At(x, y));
      return rows;
    };
    w.game.frame();
    const std::vector<u16> before = sky();
    const i32 angle = v.skyAngle;
    w.game.frame(100);
    EXPECT_EQ(sky() != before, night);
    EXPECT_EQ(v.skyAngle != angle, night);
  }
}

// The flag follows every choice of the sky: by the hour, by a forced name, the thunder sky, and a map
// without a sky.
TEST(GameSky, EveryChoiceOfTheSkySetsWhetherItTurns) {
  const struct {
    const char* what;
    const char* map;
    i32 x, y;
    u32 minutes;
    const char* forced;
    bool thunder;
    u32 turns;
  } cases[] = {
      {"the night sky by the hour", "base_out0101", 17, 17, 23 * 60, "", false, 1},
      {"the day sky by the hour", "base_out0101", 17, 17, 12 * 60, "", false, 0},
      {"the night sky forced by day", "base_out0101", 17, 17, 12 * 60, "bres_sky-night", false, 1},
      {"the day sky forced by night", "base_out0101", 17, 17, 23 * 60, "bres_sky-day", false, 0},
      {"the thunder sky by night", "base_out0101", 17, 17, 23 * 60, "", true, 0},
      {"a cellar by night", "base_dungeon1", 5, 6, 23 * 60, "", false, 0},
  };
  WalkGame w;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(w.Enter(c.map, c.x, c.y, 0, c.minutes));
    SStateGame& s = w.state();
    s.skyRotation = 1 - c.turns;
    s.forcedSky.Assign(c.forced);
    s.thunderPending = c.thunder;
    s.UpdateSkyAndLight(false);
    EXPECT_EQ(s.skyRotation, c.turns);
    s.forcedSky.Assign("");
    s.thunderPending = 0;
  }
  // A forced sky the table does not know gives way to the hour's sky: the night's again after a forced day.
  ASSERT_TRUE(w.Enter("base_out0101", 17, 17, 0, 23 * 60));
  SStateGame& s = w.state();
  s.forcedSky.Assign("bres_sky-day");
  s.UpdateSkyAndLight(false);
  ASSERT_EQ(s.skyRotation, 0u);
  s.forcedSky.Assign("bres_sky-nosuch");
  s.UpdateSkyAndLight(false);
  EXPECT_EQ(s.skyRotation, 1u);
  s.forcedSky.Assign("");
}

// An hour whose part of the day no sky serves keeps the sky that was: its picture, fog and turning.
TEST(GameSky, AnHourWithoutASkyKeepsTheLastOne) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_out0101", 17, 17, 0, 23 * 60));
  SStateGame& s = w.state();
  auto& skies = w.core().world.rules.skies.records;
  for (i32 i = i32(skies.Count()) - 1; i >= 0; --i)
    if (skies[i]->period == 4) delete skies.RemoveAt(i);  // no dawn, no dusk
  const u16 night = s.skyImage;
  const u16 fog = s.view.fogColor;
  ASSERT_NE(night, 0);
  ASSERT_EQ(s.skyRotation, 1u);
  s.window.minutes = 7 * 60;
  s.UpdateSkyAndLight(false);
  EXPECT_EQ(s.skyImage, night);
  EXPECT_EQ(s.view.fogColor, fog);
  EXPECT_EQ(s.skyRotation, 1u);
}

// The kept sky belongs to its world. A new game in a world with no sky by day, after a game at night in
// one with a turning night sky, shows no sky at all: neither the old world's picture slot nor its turning.
TEST(GameSky, ANewWorldWithoutASkyForTheHourShowsNoneOfTheOldOne) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_out0101", 17, 17, 0, 23 * 60));
  SStateGame& s = w.state();
  ASSERT_NE(s.skyImage, 0);
  ASSERT_EQ(s.skyRotation, 1u);
  SGameCore& core = w.core();
  ASSERT_EQ(core.saveGame.StartNewGame(nullptr), 1);
  auto& skies = core.world.rules.skies.records;
  for (i32 i = i32(skies.Count()) - 1; i >= 0; --i)
    if (skies[i]->period == 1) delete skies.RemoveAt(i);  // no day sky in this world
  w.game.setState(kStateGame, 1);
  w.game.frame();
  ASSERT_FALSE(s.IsNight()) << "the new game begins by day";
  EXPECT_EQ(s.skyImage, 0);
  EXPECT_EQ(s.view.skyTexture, 0);
  EXPECT_EQ(s.skyRotation, 0u);
}

}  // namespace
