// The tracker player: the clock, every effect command, song flow, and malformed modules.
#include <gtest/gtest.h>

#include <algorithm>

#include "SoundKit.h"
#include "platform/sound/audTables.h"

using namespace soundkit;

namespace {

constexpr u32 kTick = 883;           // samples per tick + 1 at tempo 50
constexpr u32 kRow = 6 * kTick + 1;  // samples per row at speed 6
// Output samples mixed when tick k of row r has run (the first sample reads row 0).
constexpr u32 AtTick(u32 row, u32 k) { return 1 + row * kRow + k * kTick; }

class Tracker : public SpeakerTest {
 protected:
  Tracker() {
    m.SetSample(1, std::vector<i8>(2000, 64), 64);
    m.SetSample(2, std::vector<i8>(2000, 64), 32);
    m.SetOrders({0});
  }
  audMusicChannel& Play(bool loop = false) {
    EXPECT_EQ(speaker.PlayMusic(&m.Music(loop), 0), 0);
    mixed = 0;
    return *speaker.MusicChannel(0);
  }
  // Mixes until `total` output samples have been mixed since Play.
  std::vector<i16> MixTo(u32 total) {
    std::vector<i16> out = MixSamples(total - mixed);
    mixed = total;
    return out;
  }
  audMusicChannel& ch() { return *speaker.MusicChannel(0); }
  audTrack& t0() { return ch().tracks[0]; }
  u32 StepOf(i32 period) { return speaker.StepFor(audPeriodIndex(period)); }

  Module m;
  u32 mixed = 0;
};

TEST(TrackerTables, TagsPeriodsAndSteps) {
  struct Case {
    const char* tag;
    u32 tracks;
  } tags[] = {{"M.K.", 4},  {"M!K!", 4},  {"8CHN", 8}, {"6CHN", 6}, {"16CH", 16},
              {"32CH", 32}, {"33CH", 33}, {"FLT4", 0}, {"ABCD", 0}, {"xCHN", 0}};
  for (const Case& c : tags) {
    EXPECT_EQ(audMusic::ChannelCountFromTag(reinterpret_cast<const u8*>(c.tag)), c.tracks) << c.tag;
  }
  EXPECT_EQ(audStepForPeriod(428, 44100), 776u);
  EXPECT_EQ(audStepForPeriod(0, 44100), 0u);
  EXPECT_EQ(audStepForPeriod(1, 44100), 332467u);  // wider than 32 bits before the division
  EXPECT_EQ(audNearestNote(0), 83u);
  EXPECT_EQ(audNearestNote(428), 24u);
  EXPECT_EQ(audNearestNote(4000), 0u);
  EXPECT_EQ(audNearestNote(440), 24u);  // 453 and 428: 428 is nearer
  EXPECT_EQ(audNearestNote(427), 24u);
  EXPECT_EQ(audNearestNote(416), 24u);  // tie between 428 and 404: the lower note
  EXPECT_EQ(audPeriodTable[0], 1712);
  EXPECT_EQ(audPeriodTable[8 * 84], 1813);
  EXPECT_EQ(audPeriodTable[8 * 84 + 29], 340);  // finetune -8 has 340 where finetune 0 has 339
  EXPECT_EQ(audPeriodTable[1 * 84 + 24], 425);
  EXPECT_EQ(audPeriodTable[83], 13);
  const u16* const tableEnd = audPeriodTable + audFinetuneRows * audNoteCount;
  EXPECT_EQ(*std::max_element(audPeriodTable, tableEnd), 1813);
  EXPECT_EQ(*std::min_element(audPeriodTable, tableEnd), 12);  // the last note of finetune +7
  EXPECT_EQ(audPeriodIndex(4095), 1712u);
  EXPECT_EQ(audPeriodIndex(-5), 1u);
  EXPECT_EQ(audPeriodIndex(0), 0u);
}

TEST_F(Tracker, ClockReadsRowsAtTheTempo) {
  m.SetCell(0, 0, 0, 1, 428);
  audMusicChannel& c = Play();
  const std::vector<i16> first = MixTo(1);
  EXPECT_EQ(c.samplesPerTick, 882u);
  EXPECT_EQ(c.restartOrder, 0u);  // restart byte 127
  EXPECT_EQ(c.GetPosition(), 1u);
  EXPECT_EQ(t0().period, 428);
  EXPECT_EQ(t0().noteIndex, 24u);
  EXPECT_EQ(t0().step, 776u);
  EXPECT_EQ(t0().position, 776u);  // one sample mixed
  EXPECT_EQ(first[0], 64 * 64);    // track effective volume x sample value
  MixTo(kRow);
  EXPECT_EQ(c.GetPosition(), 1u);
  MixTo(kRow + 1);
  EXPECT_EQ(c.GetPosition(), 2u);
  EXPECT_EQ(c.GetLength(), 64u);
}

TEST_F(Tracker, FinetuneAndSampleVolumeComeFromTheSample) {
  m.SetSample(3, std::vector<i8>(100, 1), 200, 0xF1);  // finetune masked to 1, volume held to 64
  m.SetCell(0, 0, 0, 3, 428);
  Play();
  MixTo(1);
  EXPECT_EQ(t0().period, 425);
  EXPECT_EQ(t0().noteIndex, 84u + 24u);
  EXPECT_EQ(audLoad(t0().volume), 64u);
}

struct EffectCase {
  const char* what;
  u32 period, effect, param;
  u32 samples;  // mixed before checking
  i32 period_;  // expected period (or -1 to skip)
  i32 step;     // expected step as a period to look up (or -1)
  i32 volume;   // expected track volume (or -1)
};

TEST_F(Tracker, EffectsWithinARow) {
  const EffectCase cases[] = {
      {"arpeggio phase 1", 428, 0, 0x47, AtTick(0, 1), 428, audPeriodTable[28], -1},
      {"arpeggio phase 2", 428, 0, 0x47, AtTick(0, 2), 428, audPeriodTable[31], -1},
      {"arpeggio phase 0 again", 428, 0, 0x47, AtTick(0, 3), 428, 428, -1},
      {"slide up", 428, 1, 16, AtTick(0, 1), 412, 412, -1},
      {"slide up stops at 13", 113, 1, 0xFF, AtTick(0, 2), 13, 13, -1},
      {"slide down", 428, 2, 3, AtTick(0, 2), 434, 434, -1},
      {"slide down stops at 1712", 856, 2, 0xFF, AtTick(0, 5), 1712, 1712, -1},
      {"vibrato first tick: sine 0", 428, 4, 0x48, AtTick(0, 1), 428, 428, -1},
      {"vibrato second tick", 428, 4, 0x48, AtTick(0, 2), 428, 428 + (97 * 8 >> 7), -1},
      {"volume slide up", 428, 10, 0x20, AtTick(0, 3), -1, -1, 64},  // from 64: held
      {"volume slide down", 428, 10, 0x03, AtTick(0, 2), -1, -1, 58},
      {"volume slide below 0", 428, 10, 0x0F, AtTick(0, 5), -1, -1, 0},
      {"set volume", 428, 12, 0x30, 1, -1, -1, 48},
      {"set volume above 64 taken as it is", 428, 12, 0x99, 1, -1, -1, 0x99},
      {"fine volume down from above 64", 428, 14, 0xB5, 1, -1, -1, 59},
      {"fine volume down", 428, 14, 0xB5, AtTick(0, 2), -1, -1, 59},
      {"fine volume up held at 64", 428, 14, 0xA5, 1, -1, -1, 64},
      {"note delay: not yet", 428, 14, 0xD0, 1, 0, 0, -1},
      {"note delay: sounds on tick 1", 428, 14, 0xD0, AtTick(0, 1), 428, 428, -1},
      {"note delay 2: tick 3", 428, 14, 0xD2, AtTick(0, 3), 428, 428, -1},
      {"note delay 2: not on tick 2", 428, 14, 0xD2, AtTick(0, 2), 0, 0, -1},
  };
  for (const EffectCase& c : cases) {
    SCOPED_TRACE(c.what);
    speaker.StopMusic();
    m.SetCell(0, 0, 0, 1, c.period, c.effect, c.param);
    Play();
    MixTo(c.samples);
    if (c.period_ >= 0) {
      EXPECT_EQ(t0().period, c.period_);
    }
    if (c.step >= 0) {
      EXPECT_EQ(t0().step, StepOf(c.step));
    }
    if (c.volume >= 0) {
      EXPECT_EQ(audLoad(t0().volume), u32(c.volume));
    }
  }
}

TEST_F(Tracker, SampleOffsetNoteCutAndPortamento) {
  m.SetCell(0, 0, 0, 1, 428, 9, 0x02);
  m.SetCell(0, 0, 1, 1, 428, 14, 0xC0);
  m.SetCell(0, 0, 2, 1, 428, 14, 0xC2);
  m.SetCell(0, 1, 3, 0, 404, 3, 8);  // row 1: glide towards 404
  m.SetCell(0, 0, 3, 1, 428);
  audMusicChannel& c = Play();
  MixTo(1);
  EXPECT_EQ(t0().position, (2u << 20) + 776);  // 512 bytes in, one sample mixed
  MixTo(AtTick(0, 1));
  EXPECT_EQ(audLoad(c.tracks[1].effective), 0u);  // cut from the first tick
  EXPECT_EQ(audLoad(c.tracks[2].effective), 64u);
  MixTo(AtTick(0, 3));
  EXPECT_EQ(audLoad(c.tracks[2].effective), 0u);  // cut on the third
  MixTo(AtTick(1, 0));
  EXPECT_EQ(c.tracks[3].portaTarget, 404);
  EXPECT_EQ(c.tracks[3].period, 428);  // the row itself does not move the period
  MixTo(AtTick(1, 1));
  EXPECT_EQ(c.tracks[3].period, 420);
  MixTo(AtTick(1, 3));
  EXPECT_EQ(c.tracks[3].period, 404);  // 412, then held at the target
  EXPECT_EQ(c.tracks[3].step, StepOf(404));
}

TEST_F(Tracker, CombinedEffectsContinueVibratoAndPortamento) {
  m.SetCell(0, 0, 0, 2, 428, 4, 0x48);  // sample 2: volume 32
  m.SetCell(0, 1, 0, 0, 0, 6, 0x20);
  m.SetCell(0, 0, 1, 1, 428);
  m.SetCell(0, 1, 1, 0, 381, 3, 4);
  m.SetCell(0, 2, 1, 0, 0, 5, 0x03);
  audMusicChannel& c = Play();
  // Row 0 runs five vibrato ticks (position 0 to 20); row 1 carries on from there.
  MixTo(AtTick(1, 2));
  EXPECT_EQ(c.tracks[0].step, StepOf(428 + (180 * 8 >> 7)));  // sine at position 24
  EXPECT_EQ(c.tracks[0].period, 428);
  EXPECT_EQ(audLoad(c.tracks[0].volume), 36u);
  MixTo(AtTick(1, 5));
  EXPECT_EQ(c.tracks[1].period, 408);
  MixTo(AtTick(2, 2));
  EXPECT_EQ(c.tracks[1].period, 400);
  EXPECT_EQ(c.tracks[1].portaTarget, 381);
  EXPECT_EQ(audLoad(c.tracks[1].volume), 58u);
}

TEST_F(Tracker, SpeedAndTempo) {
  struct Case {
    u32 param, speed, tempo, samplesPerTick;
  } cases[] = {{0x7D, 6, 50, 882}, {0x20, 32, 50, 882}, {0xFF, 6, 102, 432}, {0x00, 6, 50, 882}};
  for (const auto& c : cases) {
    speaker.StopMusic();
    m.SetCell(0, 0, 0, 0, 0, 15, c.param);
    audMusicChannel& ch = Play();
    MixTo(1);
    EXPECT_EQ(ch.speed, c.speed) << c.param;
    EXPECT_EQ(ch.tempo, c.tempo) << c.param;
    EXPECT_EQ(ch.samplesPerTick, c.samplesPerTick) << c.param;
  }
  // Speed 2: a row lasts 2 x 883 + 1 samples.
  speaker.StopMusic();
  m.SetCell(0, 0, 0, 0, 0, 15, 2);
  audMusicChannel& ch = Play();
  MixTo(2 * kTick + 1);
  EXPECT_EQ(ch.GetPosition(), 1u);
  MixTo(2 * kTick + 2);
  EXPECT_EQ(ch.GetPosition(), 2u);
}

TEST_F(Tracker, PatternDelayRepeatsTheRow) {
  m.SetCell(0, 0, 0, 1, 428, 14, 0xE1);
  audMusicChannel& c = Play();
  MixTo(kRow + 1);
  EXPECT_EQ(c.GetPosition(), 1u);
  MixTo(2 * kRow);
  EXPECT_EQ(c.GetPosition(), 1u);
  MixTo(2 * kRow + 1);
  EXPECT_EQ(c.GetPosition(), 2u);
}

TEST_F(Tracker, PatternLoopPlaysTheRowsThreeTimes) {
  m.SetCell(0, 0, 0, 0, 0, 14, 0x60);
  m.SetCell(0, 1, 0, 0, 0, 14, 0x62);
  audMusicChannel& c = Play();
  std::vector<u32> positions;
  for (u32 r = 0; r < 7; ++r) {
    MixTo(1 + r * kRow);
    positions.push_back(c.GetPosition());
  }
  EXPECT_EQ(positions, (std::vector<u32>{1, 0, 1, 0, 1, 2, 3}));
}

TEST_F(Tracker, JumpsBreaksAndTheEndOfTheSong) {
  struct Case {
    const char* what;
    bool loop;
    u32 effect1, param1;  // in order 1, row 0 (order 0 breaks straight to it)
    bool ends;            // the song ends once that row has played
    u32 position;         // when it does not: where the row led
    u8 restart = 127;
  } cases[] = {
      {"jump back without loop ends", false, 11, 0, true, 0},
      {"jump back with loop continues", true, 11, 0, false, 0},
      {"jump forward", false, 11, 2, false, 2 * 64},
      {"jump past the end without loop ends", false, 11, 254, true, 0},
      {"jump past the end with loop goes to the restart order", true, 11, 254, false, 2 * 64, 2},
      {"jump just past the end with loop", true, 11, 3, false, 0},
      {"break at the last order ends", false, 13, 0x10, true, 0},
      {"break at the last order loops to the restart", true, 13, 0x10, false, 10},
      {"break row above 63 starts at row 0", false, 13, 0x99, false, 2 * 64},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    speaker.StopMusic();
    Module mm;
    mm.SetSample(1, std::vector<i8>(100, 1));
    mm.SetOrders({0, 1, 2});
    mm.Header()[audModule::kRestart] = c.restart;
    mm.SetCell(0, 0, 0, 0, 0, 13, 0);
    mm.SetCell(1, 0, 0, 0, 0, c.effect1, c.param1);
    if (c.effect1 == 13 && c.param1 != 0x99) mm.Header()[audModule::kSongLength] = 2;
    ASSERT_EQ(speaker.PlayMusic(&mm.Music(c.loop), 0), 0);
    audMusicChannel& ch = *speaker.MusicChannel(0);
    MixSamples(1);
    EXPECT_EQ(ch.GetPosition(), 64u);  // the break took order 0 to order 1, row 0
    MixSamples(kRow);                  // reads order 1, row 0
    EXPECT_TRUE(ch.IsPlaying());       // a row that ends the song is still heard
    if (!c.ends) {
      EXPECT_EQ(ch.GetPosition(), c.position);
    }
    MixSamples(kRow);
    EXPECT_EQ(ch.IsPlaying(), !c.ends);
  }

  // An 8-track module: break 0x42 continues at row 42 of the next order.
  speaker.StopMusic();
  Module eight(8);
  eight.SetOrders({0, 0});
  eight.SetCell(0, 0, 7, 0, 0, 13, 0x42);
  ASSERT_EQ(speaker.PlayMusic(&eight.Music(), 0), 0);
  MixSamples(1);
  EXPECT_EQ(speaker.MusicChannel(0)->GetPosition(), 64u + 42u);
  EXPECT_EQ(speaker.MusicChannel(0)->trackCount, 8u);
}

TEST_F(Tracker, TheLastRowPlaysToItsEnd) {
  // A looping sample of constant value: every output sample of a held note is 64 x 64.
  struct Case {
    const char* what;
    u32 effect, param;  // track 3, row 0 (none: the song runs to the end of its one pattern)
    u32 speed, delay;   // speed and pattern delay set on row 0 (0: none)
    u32 heard;          // output samples before the song ends
  } cases[] = {
      {"end of the pattern", 0, 0, 0, 0, 64 * kRow},
      {"pattern break", 13, 0, 0, 0, kRow},
      {"position jump far past the end", 11, 254, 0, 0, kRow},
      {"pattern delay at a slow speed", 11, 254, 31, 3, 4 * (31 * kTick + 1)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    speaker.StopMusic();
    Module mm;
    mm.SetSample(1, std::vector<i8>(1000, 64), 64, 0, 0, 1000);
    mm.SetOrders({0});
    mm.SetCell(0, 0, 0, 1, 428);
    if (c.speed != 0) mm.SetCell(0, 0, 1, 0, 0, 15, c.speed);
    if (c.delay != 0) mm.SetCell(0, 0, 2, 0, 0, 14, 0xE0 | c.delay);
    if (c.effect != 0) mm.SetCell(0, 0, 3, 0, 0, c.effect, c.param);
    ASSERT_EQ(speaker.PlayMusic(&mm.Music(false), 0), 0);
    const std::vector<i16> out = MixSamples(c.heard + 10);
    EXPECT_EQ(std::count(out.begin(), out.begin() + c.heard, 64 * 64), c.heard);
    EXPECT_EQ(std::count(out.begin() + c.heard, out.end(), 0), 10);
    EXPECT_TRUE(speaker.MusicChannel(0)->IsFree());
  }
}

TEST_F(Tracker, AReplayedSongSoundsLikeItsFirstPlay) {
  // Rows 0 and 1 lean on effect memories (vibrato speed and depth, the portamento target) that rows 2 and
  // 3 set; the song ends after row 3.
  Module mm;
  std::vector<i8> ramp(4000);
  for (u32 i = 0; i < ramp.size(); ++i) ramp[i] = i8(i % 100) - 50;
  mm.SetSample(1, ramp, 64, 0, 0, 4000);
  mm.SetOrders({0});
  mm.SetCell(0, 0, 0, 1, 428, 4, 0);
  mm.SetCell(0, 1, 0, 0, 0, 4, 0);
  mm.SetCell(0, 2, 0, 0, 0, 4, 0x4F);
  mm.SetCell(0, 0, 1, 1, 428);
  mm.SetCell(0, 1, 1, 0, 0, 3, 8);
  mm.SetCell(0, 2, 1, 0, 320, 3, 8);
  mm.SetCell(0, 3, 2, 1, 0, 9, 0x08);  // sample offset memory
  mm.SetCell(0, 3, 3, 0, 0, 13, 0);
  std::vector<i16> plays[3];
  for (int i = 0; i < 3; ++i) {
    if (i == 2) {  // the third on a channel never used before
      speaker.Close();
      ASSERT_EQ(speaker.Open(44100, 16), 0);
    }
    ASSERT_EQ(speaker.PlayMusic(&mm.Music(false), 0), 0);
    plays[i] = MixSamples(4 * kRow + 1);
    EXPECT_TRUE(speaker.MusicChannel(0)->IsFree());
  }
  EXPECT_NE(std::count(plays[0].begin(), plays[0].end(), 0), i64(plays[0].size()));
  EXPECT_EQ(plays[1], plays[0]);
  EXPECT_EQ(plays[2], plays[0]);
}

TEST_F(Tracker, SongEndsOrRestartsAfterItsLastRow) {
  m.SetOrders({0, 0});
  m.Header()[audModule::kRestart] = 1;
  audMusicChannel& c = Play(true);
  EXPECT_EQ(c.restartOrder, 1u);
  MixTo(1 + 128 * kRow);
  EXPECT_TRUE(c.IsPlaying());
  EXPECT_EQ(c.GetPosition(), 64u + 1u);  // back at order 1 after the end
  speaker.StopMusic();
  audMusicChannel& once = Play(false);
  MixTo(128 * kRow);
  EXPECT_TRUE(once.IsPlaying());  // the last row is heard to its end
  EXPECT_EQ(once.GetPosition(), once.GetLength());
  MixTo(1 + 128 * kRow);
  EXPECT_FALSE(once.IsPlaying());
  EXPECT_TRUE(once.IsFree());
  // SetPosition and GetPosition by order and row.
  Play();
  ch().SetPosition(64 + 5);
  EXPECT_EQ(ch().GetPosition(), 69u);
  ch().SetPosition(2 * 64);  // past the song: ignored
  EXPECT_EQ(ch().GetPosition(), 69u);
}

TEST_F(Tracker, VolumeAndPanReachTheTracks) {
  m.SetCell(0, 0, 0, 1, 428);
  m.SetCell(0, 0, 1, 1, 428);
  audMusicChannel& c = Play();
  MixTo(1);
  speaker.SetMusicVolume(32);
  EXPECT_EQ(audLoad(c.effective), 32u);
  EXPECT_EQ(audLoad(t0().effective), 32u);
  c.SetVolume(32);
  EXPECT_EQ(audLoad(t0().effective), 16u);
  EXPECT_EQ(MixSamples(1)[0], 2 * 16 * 64);
  c.SetPanning(255);
  EXPECT_EQ(audLoad(c.tracks[0].pan), 64u);
  EXPECT_EQ(audLoad(c.tracks[1].pan), 192u);
  c.SetPanning(0);
  EXPECT_EQ(audLoad(c.tracks[0].pan), 64u + 63u);
  EXPECT_EQ(audLoad(c.tracks[1].pan), 192u - 63u);

  // Stereo output: each track splits by its pan.
  speaker.UseOutputFormat(true, true);
  c.SetPanning(255);
  c.SetVolume(64);
  speaker.SetMusicVolume(64);
  const std::vector<i16> lr = MixSamples(2);
  const i32 r0 = 64 * 64 >> 8, r1 = 64 * 192 >> 8;
  EXPECT_EQ(lr[0], (64 - r0) * 64 * 2 + (64 - r1) * 64 * 2);
  EXPECT_EQ(lr[1], r0 * 64 * 2 + r1 * 64 * 2);
}

TEST_F(Tracker, SetVolumeAbove64IsTakenAsItIsAndTheMixSaturates) {
  // C64 (hex): volume 100, louder than the sample's own 64.
  m.SetCell(0, 0, 0, 1, 428, 12, 0x64);
  // Four tracks at the loudest a cell can ask, on full-scale samples: the sums pass the 16-bit range.
  m.SetSample(3, std::vector<i8>(2000, 127), 64);
  m.SetSample(4, std::vector<i8>(2000, -128), 64);
  for (u32 t = 0; t < 4; ++t) {
    m.SetCell(0, 1, t, 3, 428, 12, 0xFF);
    m.SetCell(0, 2, t, 4, 428, 12, 0xFF);
  }
  Play();
  EXPECT_EQ(MixTo(1)[0], 100 * 64);
  const std::vector<i16> row1 = MixTo(AtTick(1, 0));
  EXPECT_EQ(row1.back(), 32767);
  const std::vector<i16> row2 = MixTo(AtTick(2, 0));
  EXPECT_EQ(row2.back(), -32768);
  // The same loud row in every output form saturates at its own limits.
  for (bool sixteen : {true, false}) {
    for (bool stereo : {false, true}) {
      SCOPED_TRACE(testing::Message() << "16-bit " << sixteen << " stereo " << stereo);
      speaker.StopMusic();
      speaker.UseOutputFormat(sixteen, stereo);
      Play();
      std::vector<u8> block(AtTick(1, 0) * (stereo ? 2 : 1) * (sixteen ? 2 : 1));
      speaker.Mix(block.data(), u32(block.size()));
      const size_t last = block.size() - (sixteen ? 2 : 1);
      if (sixteen) {
        EXPECT_EQ(i16(u16(block[last] | block[last + 1] << 8)), 32767);
      } else {
        EXPECT_EQ(block[last], 255);
      }
    }
  }
}

TEST_F(Tracker, RefusedModules) {
  struct Case {
    const char* tag;
    u8 songLength;
  } cases[] = {{"FLT4", 1}, {"33CH", 1}, {"M.K.", 0}, {"M.K.", 129}, {"M.K.", 255}};
  for (const Case& c : cases) {
    Module mm(4, c.tag);
    mm.Header()[audModule::kSongLength] = c.songLength;
    mm.Parts();
    audMusic music;
    EXPECT_EQ(music.Load(mm.Header().data(), mm.PatternTable().data(), 1, &mm.SampleTable()), -100);
    EXPECT_EQ(music.header, nullptr);
    music.header = mm.Header().data();  // forced past Load: the speaker checks again
    EXPECT_EQ(speaker.PlayMusic(&music, 0), -1000) << c.tag << " " << int(c.songLength);
  }
  audMusic none;
  EXPECT_EQ(speaker.PlayMusic(&none, 0), -1000);
  // Three music channels, then no more.
  for (int i = 0; i < 3; ++i) EXPECT_EQ(speaker.PlayMusic(&m.Music(), 0), i);
  EXPECT_EQ(speaker.PlayMusic(&m.Music(), 0), -1000);
}

TEST_F(Tracker, MalformedDataPlaysWithoutReadingOutOfBounds) {
  Module bad;
  bad.SetSample(1, std::vector<i8>(3000, 10), 64, 0x0F);  // finetune 15 (-1)
  bad.SetSample(2, std::vector<i8>(3000, 10), 64);
  bad.SetSample(4, std::vector<i8>(1000, 10), 64);
  bad.SetOrders({0, 1, 7});              // pattern 7 does not exist
  bad.SetCell(0, 0, 0, 1, 4095);         // period past the tables
  bad.SetCell(0, 0, 1, 2, 13, 4, 0x1F);  // deep vibrato at the top of the table
  bad.SetCell(0, 0, 2, 2, 1712, 4, 0xFF);
  bad.SetCell(0, 0, 3, 1, 13, 0, 0xFF);  // arpeggio past the last note of the row
  bad.SetCell(0, 1, 0, 0xFF, 428);       // sample number above 31
  bad.SetCell(0, 1, 1, 2, 0, 1, 0xFF);
  bad.SetCell(0, 1, 2, 2, 0, 2, 0xFF);
  bad.SetCell(0, 1, 3, 2, 428, 3, 0xFF);
  bad.SetCell(0, 2, 0, 2, 428, 6, 0xF0);
  bad.SetCell(0, 2, 1, 2, 428, 5, 0x0F);
  bad.SetCell(0, 2, 2, 2, 428, 14, 0x9F);  // an extended command that is ignored
  bad.SetCell(0, 2, 3, 4, 428, 9, 0xFF);   // offset past the sample's end
  bad.SetCell(1, 0, 0, 2, 428);
  bad.Parts();
  // The sample table says sample 4 has fewer bytes than its header claims; pattern 1 is cut short.
  bad.SampleTable().sample[3].firstBytes = 500;
  bad.PatternTable()[1].bytes = 10;
  audMusic music;
  ASSERT_EQ(music.Load(bad.Header().data(), bad.PatternTable().data(), 2, &bad.SampleTable()), 0);
  music.loop = 1;
  ASSERT_EQ(speaker.PlayMusic(&music, 0), 0);
  audMusicChannel& c = *speaker.MusicChannel(0);
  MixSamples(1);
  EXPECT_EQ(c.tracks[0].period, audPeriodTable[15 * 84]);  // nearest note 0, finetune row 15
  EXPECT_EQ(c.tracks[0].step, StepOf(audPeriodTable[15 * 84]));
  MixSamples(kRow);
  EXPECT_EQ(c.tracks[0].sample, 1u);       // sample number 255 counted as 0: the track kept sample 1
  EXPECT_EQ(c.samples[4].first, nullptr);  // short sample: silent
  // Order 1 plays the short pattern as empty rows; order 2 names no pattern and ends the song.
  MixSamples(64 * kRow);
  EXPECT_EQ(c.order, 1u);
  MixSamples(64 * kRow);
  EXPECT_FALSE(c.IsPlaying());

  // A tempo rate below 173 leaves the tick's divisor at 0: the song plays on, a tick every sample.
  audMusic& slow = m.Music(true);
  slow.tempoRate = 172;
  ASSERT_EQ(speaker.PlayMusic(&slow, 0), 0);
  MixSamples(2 * kRow);
  EXPECT_EQ(speaker.MusicChannel(0)->samplesPerTick, 0u);
  EXPECT_TRUE(speaker.MusicChannel(0)->IsPlaying());
}

TEST_F(Tracker, ModuleFileImageSplitsIntoParts) {
  m.SetSample(1, std::vector<i8>(70000, 5), 64);  // past the first part: read through the second
  m.SetOrders({0, 1});
  m.SetCell(1, 0, 0, 1, 428);
  const std::vector<u8> file = m.File();
  audModuleImage image;
  ASSERT_EQ(image.Parse(file.data(), u32(file.size())), 0);
  EXPECT_EQ(image.tracks, 4u);
  EXPECT_EQ(image.patternCount, 2u);
  EXPECT_EQ(image.patterns[1].bytes, 1024u);
  EXPECT_EQ(image.samples.sample[0].firstBytes, 64000u);
  EXPECT_EQ(image.samples.sample[0].secondBytes, 6000u);
  EXPECT_EQ(image.samples.sample[1].firstBytes, 2000u);

  // Cut inside the samples: the cut sample keeps the bytes present and plays as silence.
  ASSERT_EQ(image.Parse(file.data(), u32(file.size() - 100)), 0);
  EXPECT_EQ(image.samples.sample[1].firstBytes, 1900u);
  EXPECT_EQ(image.Parse(file.data(), 1000), -100);

  // Play it into the second part of the long sample.
  ASSERT_EQ(image.Parse(file.data(), u32(file.size())), 0);
  audMusic music;
  ASSERT_EQ(music.Load(image.header, image.patterns, image.patternCount, &image.samples), 0);
  ASSERT_EQ(speaker.PlayMusic(&music, 0), 0);
  audMusicChannel& c = *speaker.MusicChannel(0);
  c.SetPosition(64);
  MixSamples(1);
  c.tracks[0].position = 65000u << 12;
  EXPECT_EQ(MixSamples(1)[0], 64 * 5);
}

}  // namespace
