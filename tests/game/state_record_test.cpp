// The game state's record in a saved game: a round trip through the game state, the older version without
// the rain's last three fields, and damaged records refused or fitted before the game is touched.
#include "GameRig.h"
#include "foundation/SStream.h"
#include "game/SGameStateRecord.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<u8> Write(SGameStateRecord& r) {
  SStream s;
  EXPECT_TRUE(s.OpenForWriteOwned(256));
  r.Serialize(s, SGameStateRecord::kRainFieldsVersion);
  EXPECT_TRUE(s.Ok());
  return std::vector<u8>(s.Data(), s.Data() + s.BytesUsed());
}

SGameStateRecord Sample() {
  SGameStateRecord r;
  r.facing = 270;
  r.cellX = 12;
  r.cellY = 30;
  r.previousX = 12;
  r.previousY = 31;
  r.lastStepDirection = 0;
  r.minutes = 98765;
  r.weather = 81;
  r.forcedSky.Assign("bres_skystorm");
  r.rainIntensity = 520;
  r.rainTarget = 610;
  r.rainCountdown = 412;
  r.rainStep = 1;
  r.subMode = 1;
  r.imprisoned = 1;
  r.sentenceBegan = 98000;
  r.prisonMap.Assign("base_out0101_jail");
  return r;
}

TEST(StateRecord, ARoundTripThroughTheGameState) {
  GameRig rig;
  ASSERT_TRUE(rig.ready);
  SGameStateRecord r = Sample();
  std::vector<u8> bytes = Write(r);
  EXPECT_EQ(bytes[0], 'W');
  SStream in;
  in.OpenForRead(bytes.data(), u32(bytes.size()));
  ASSERT_TRUE(rig.state.ReadSaveRecord(in, 110));
  SStateGame& s = rig.state;
  EXPECT_EQ(s.facing, 270);
  EXPECT_EQ(s.window.playerX, 12);
  EXPECT_EQ(s.window.playerY, 30);
  EXPECT_EQ(s.previousY, 31);
  EXPECT_EQ(s.window.minutes, 98765u);
  EXPECT_EQ(s.weather, 81);
  EXPECT_STREQ(s.forcedSky.CStr(), "bres_skystorm");
  EXPECT_EQ(s.rainIntensity, 520);
  EXPECT_EQ(s.rainTarget, 610);
  EXPECT_EQ(s.rainCountdown, 412);
  EXPECT_EQ(s.rainStep, 1);
  EXPECT_EQ(s.imprisoned, 1u);
  EXPECT_STREQ(s.prisonMap.CStr(), "base_out0101_jail");

  SStream out;
  ASSERT_TRUE(out.OpenForWriteOwned(256));
  ASSERT_TRUE(s.WriteSaveRecord(out));
  EXPECT_EQ(std::vector<u8>(out.Data(), out.Data() + out.BytesUsed()), bytes);
}

// The stored layout written field by field: 'W', then 32-bit numbers each aligned to 4, the texts as they
// are; from version 99 on the rain's target, countdown and step follow its intensity.
std::vector<u8> Layout(const SGameStateRecord& r, bool rainFields) {
  SStream s;
  EXPECT_TRUE(s.OpenForWriteOwned(256));
  auto number = [&s](i32 v) {
    s.Align(4);
    s.SerializeI32(v);
  };
  s.SerializeMarker('W');
  for (i32 v : {r.facing, r.cellX, r.cellY, r.previousX, r.previousY, r.lastStepDirection, i32(r.minutes), r.weather})
    number(v);
  SString sky(r.forcedSky.CStr());
  s.SerializeSString(sky);
  number(r.rainIntensity);
  if (rainFields)
    for (i32 v : {r.rainTarget, r.rainCountdown, r.rainStep}) number(v);
  for (i32 v : {r.subMode, i32(r.imprisoned), i32(r.sentenceBegan)}) number(v);
  SString prison(r.prisonMap.CStr());
  s.SerializeSString(prison);
  return std::vector<u8>(s.Data(), s.Data() + s.BytesUsed());
}

TEST(StateRecord, TheLayoutAndVersion98WithoutTheRainsLastFields) {
  SGameStateRecord r = Sample();
  EXPECT_EQ(Write(r), Layout(r, true));
  GameRig rig;
  rig.state.rainTarget = 0;
  rig.state.rainCountdown = 65535;
  rig.state.rainStep = 0;
  const std::vector<u8> old = Layout(r, false);
  SStream in;
  in.OpenForRead(old.data(), u32(old.size()));
  ASSERT_TRUE(rig.state.ReadSaveRecord(in, 98));
  EXPECT_EQ(rig.state.rainIntensity, 520);
  EXPECT_EQ(rig.state.rainTarget, 0);
  EXPECT_EQ(rig.state.rainCountdown, 65535);
  EXPECT_EQ(rig.state.rainStep, 0);
  EXPECT_EQ(rig.state.imprisoned, 1u);
  EXPECT_EQ(rig.state.sentenceBegan, 98000u);
  EXPECT_STREQ(rig.state.prisonMap.CStr(), "base_out0101_jail");
}

TEST(StateRecord, DamagedRecordsAreRefusedOrFitted) {
  const struct {
    const char* what;
    void (*change)(SGameStateRecord&);
    bool accepted;
    i32 facing = 0, weather = 0, rain = 0, target = 0, step = 0, countdown = 0, subMode = 0;
  } cases[] = {
      {"a facing of 135", [](SGameStateRecord& r) { r.facing = 135; }, true, 90, 81, 520, 610, 1, 412, 1},
      {"a facing of -90", [](SGameStateRecord& r) { r.facing = -90; }, true, 270, 81, 520, 610, 1, 412, 1},
      {"a facing of 450", [](SGameStateRecord& r) { r.facing = 450; }, true, 90, 81, 520, 610, 1, 412, 1},
      {"a stored sub-mode", [](SGameStateRecord& r) { r.subMode = 4; }, true, 270, 81, 520, 610, 1, 412, 1},
      {"weather and rain out of range",
       [](SGameStateRecord& r) {
         r.weather = 1000;
         r.rainIntensity = -5;
         r.rainTarget = 70000;
         r.rainStep = -9;
         r.rainCountdown = -3;
       },
       true, 270, 100, 0, 999, -1, 0, 1},
      {"a cell outside the window", [](SGameStateRecord& r) { r.cellX = 35; }, false},
      {"a negative cell", [](SGameStateRecord& r) { r.cellY = -1; }, false},
      {"a previous cell outside", [](SGameStateRecord& r) { r.previousX = 1225; }, false},
      {"a step direction of 4", [](SGameStateRecord& r) { r.lastStepDirection = 4; }, false},
      {"a step direction of -1", [](SGameStateRecord& r) { r.lastStepDirection = -1; }, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    GameRig rig;
    SGameStateRecord r = Sample();
    c.change(r);
    std::vector<u8> bytes = Write(r);
    rig.state.window.playerX = 3;
    rig.state.facing = 180;
    SStream in;
    in.OpenForRead(bytes.data(), u32(bytes.size()));
    EXPECT_EQ(rig.state.ReadSaveRecord(in, 99), c.accepted);
    if (!c.accepted) {
      EXPECT_EQ(rig.state.window.playerX, 3) << "nothing of the game changed";
      EXPECT_EQ(rig.state.facing, 180);
      continue;
    }
    EXPECT_EQ(rig.state.facing, c.facing);
    EXPECT_EQ(rig.state.weather, c.weather);
    EXPECT_EQ(rig.state.rainIntensity, c.rain);
    EXPECT_EQ(rig.state.rainTarget, c.target);
    EXPECT_EQ(rig.state.rainStep, c.step);
    EXPECT_EQ(rig.state.rainCountdown, c.countdown);
    EXPECT_EQ(rig.state.subMode, c.subMode);
  }
  // A record cut short, or a text without its end, fails the stream and is refused.
  GameRig rig;
  SGameStateRecord r = Sample();
  std::vector<u8> bytes = Write(r);
  for (size_t cut : {size_t(1), size_t(20), bytes.size() - 1}) {
    SStream in;
    in.OpenForRead(bytes.data(), u32(cut));
    EXPECT_FALSE(rig.state.ReadSaveRecord(in, 99)) << cut;
  }
}

}  // namespace
