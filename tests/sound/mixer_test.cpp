// The mixer: exact output samples for sounds of every source form, volumes, pan, loops and clamping.
#include <gtest/gtest.h>

#include "SoundKit.h"
#include "platform/sound/audSound.h"

using namespace soundkit;

namespace {

// A sound over raw PCM frames (no wave image needed for mixing).
audSound RawSound(const std::vector<u8>& bytes, bool eightBit, bool stereo, u32 rate) {
  audSound s;
  s.data = bytes.data();
  s.eightBit = eightBit ? 1 : 0;
  s.stereo = stereo ? 1 : 0;
  const u32 frameBytes = (eightBit ? 1 : 2) * (stereo ? 2 : 1);
  s.frames = u32(bytes.size() / frameBytes);
  s.nativeRate = s.playbackRate = rate;
  return s;
}

// 8-bit frames holding 1, 2, 3, ... above the midpoint: at volume 64 output sample = frame value x 128.
std::vector<u8> Counting8(u32 n) {
  std::vector<u8> v(n);
  for (u32 i = 0; i < n; ++i) v[i] = u8(128 + i + 1);
  return v;
}

class Mixer : public SpeakerTest {};

TEST_F(Mixer, NothingPlayingGivesSilenceInEitherSampleSize) {
  std::vector<u8> block(2648, 0x55);
  speaker.Mix(block.data(), u32(block.size()));
  EXPECT_EQ(std::vector<u8>(2648, 0), block);

  speaker.UseOutputFormat(false, false);
  std::vector<u8> block8(30, 0x55);
  speaker.Mix(block8.data(), 30);  // not a multiple of 4: nothing past the block is touched
  EXPECT_EQ(std::vector<u8>(30, 128), block8);
}

TEST_F(Mixer, FullScaleSoundsSaturateInsteadOfWrapping) {
  const std::vector<u8> high = Samples16(std::vector<i16>(64, 32767));
  const std::vector<u8> low = Samples16(std::vector<i16>(64, -32768));
  audSound up = RawSound(high, false, false, 44100);
  audSound down = RawSound(low, false, false, 44100);

  ASSERT_EQ(speaker.PlaySound(&up, 0), 3);
  EXPECT_EQ(MixSamples(1)[0], 16383);  // 32,767 x 64 >> 7
  ASSERT_EQ(speaker.PlaySound(&up, 0), 4);
  EXPECT_EQ(MixSamples(1)[0], 32767);  // the sum is shifted once: 2 x 32,767 x 64 >> 7
  ASSERT_EQ(speaker.PlaySound(&up, 0), 5);
  EXPECT_EQ(MixSamples(1)[0], 32767);  // 49,150 held at the top

  speaker.StopSounds();
  for (int i = 0; i < 3; ++i) ASSERT_GE(speaker.PlaySound(&down, 0), 3);
  EXPECT_EQ(MixSamples(1)[0], -32768);
}

TEST_F(Mixer, CountingSourceShowsWhichFrameEachOutputSampleReads) {
  const std::vector<u8> frames = Counting8(64);
  struct Case {
    u32 rate;
    std::vector<i16> frameNumbers;  // 1-based input frame per output sample
  } cases[] = {
      {44100, {1, 2, 3, 4, 5, 6, 7, 8}},    {22050, {1, 1, 2, 2, 3, 3, 4, 4}}, {11025, {1, 1, 1, 1, 2, 2, 2, 2}},
      {88200, {1, 3, 5, 7, 9, 11, 13, 15}}, {33075, {1, 1, 2, 3, 4, 4, 5, 6}},  // step 192: 0.75 frames per output
                                                                                // sample
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rate);
    speaker.StopSounds();
    audSound s = RawSound(frames, true, false, c.rate);
    ASSERT_GE(speaker.PlaySound(&s, 0), 3);
    std::vector<i16> out = MixSamples(8);
    for (i16& v : out) v = i16(v / 128);
    EXPECT_EQ(out, c.frameNumbers);
  }
}

TEST_F(Mixer, SourceFormsIntoMonoOutput) {
  // Stereo sources add both sides into the single output sample.
  const std::vector<u8> st16 = Samples16({1000, 3000, -2000, 500});
  const std::vector<u8> st8 = {128 + 10, 128 + 20, 128 - 5, 128 + 1};
  const std::vector<u8> mono16 = Samples16({-1000, 2000});
  struct Case {
    const std::vector<u8>* data;
    bool eightBit, stereo;
    std::vector<i16> expected;
  } cases[] = {
      {&st16, false, true, {(1000 + 3000) * 64 >> 7, (-2000 + 500) * 64 >> 7}},
      {&st8, true, true, {(10 + 20) * 256 * 64 >> 7, (-5 + 1) * 256 * 64 >> 7}},
      {&mono16, false, false, {-1000 * 64 >> 7, 2000 * 64 >> 7}},
  };
  for (const Case& c : cases) {
    speaker.StopSounds();
    audSound s = RawSound(*c.data, c.eightBit, c.stereo, 44100);
    ASSERT_GE(speaker.PlaySound(&s, 0), 3);
    EXPECT_EQ(MixSamples(2), c.expected);
  }
}

TEST_F(Mixer, VolumeStepsScaleTheOutput) {
  const std::vector<u8> data = Samples16(std::vector<i16>(16, 12800));
  audSound s = RawSound(data, false, false, 44100);
  struct Case {
    i32 master, volume;
    i16 expected;
  } cases[] = {
      {64, 64, 6400}, {64, 32, 3200}, {32, 64, 3200}, {6, 64, 600}, {0, 64, 0}, {70, 64, 6400}, {64, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.master << "/" << c.volume);
    speaker.StopSounds();
    speaker.SetSoundVolume(c.master);
    s.volume = u32(c.volume);
    const i32 handle = speaker.PlaySound(&s, 0);
    ASSERT_GE(handle, 3);
    EXPECT_EQ(MixSamples(1)[0], c.expected);
  }
  EXPECT_EQ(speaker.SoundVolume(), 64u);  // 70 became 64

  // A master change reaches a channel that is already playing.
  speaker.StopSounds();
  s.volume = 64;
  ASSERT_GE(speaker.PlaySound(&s, 0), 3);
  speaker.SetSoundVolume(16);
  EXPECT_EQ(MixSamples(1)[0], 1600);
}

TEST_F(Mixer, PanSplitsMonoAndStereoSourcesOverStereoOutput) {
  speaker.UseOutputFormat(true, true);
  const std::vector<u8> mono = Samples16(std::vector<i16>(8, 1000));
  const std::vector<u8> stereo = Samples16({1000, 3000, 1000, 3000});
  struct Case {
    const std::vector<u8>* data;
    bool stereoSource;
    u32 pan;
    i16 left, right;
  } cases[] = {
      {&mono, false, 128, 500, 500},
      {&mono, false, 0, 1000, 0},                                        // r = 0, l = 2v
      {&mono, false, 255, (2 * 64 - 127) * 1000 >> 7, 127 * 1000 >> 7},  // r = 128 x 255 >> 8 = 127
      {&mono, false, 64, 96 * 1000 >> 7, 32 * 1000 >> 7},
      {&stereo, true, 128, 500, 1500},
      {&stereo, true, 0, 128 * 4000 >> 7, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pan);
    speaker.StopSounds();
    audSound s = RawSound(*c.data, false, c.stereoSource, 44100);
    s.pan = c.pan;
    ASSERT_GE(speaker.PlaySound(&s, 0), 3);
    const std::vector<i16> out = MixSamples(2);
    EXPECT_EQ(out[0], c.left);
    EXPECT_EQ(out[1], c.right);
  }
}

TEST_F(Mixer, LoopingSoundWrapsAndOneShotFrees) {
  const std::vector<u8> frames = Counting8(3);
  audSound s = RawSound(frames, true, false, 44100);
  s.loop = 1;
  const i32 looped = speaker.PlaySound(&s, 0);
  ASSERT_EQ(looped, 3);
  std::vector<i16> out = MixSamples(7);
  for (i16& v : out) v = i16(v / 128);
  EXPECT_EQ(out, (std::vector<i16>{1, 2, 3, 1, 2, 3, 1}));

  speaker.StopSounds();
  s.loop = 0;
  const i32 once = speaker.PlaySound(&s, 0);
  ASSERT_EQ(once, 3);
  out = MixSamples(5);
  for (i16& v : out) v = i16(v / 128);
  EXPECT_EQ(out, (std::vector<i16>{1, 2, 3, 0, 0}));
  EXPECT_TRUE(speaker.GetChannel(once)->IsFree());
  EXPECT_EQ(speaker.CountPlayingSounds(), 0u);

  // Looping one play through the flag leaves the sound itself one-shot.
  ASSERT_EQ(speaker.PlaySound(&s, audPlayLooped), 3);
  EXPECT_EQ(s.loop, 0);
  out = MixSamples(4);
  EXPECT_EQ(out[3] / 128, 1);
}

TEST_F(Mixer, InstanceLimitCountsEverySoundOverTheSameData) {
  const std::vector<u8> frames = Counting8(100);
  audSound a = RawSound(frames, true, false, 44100);
  audSound b = RawSound(frames, true, false, 44100);
  a.instanceLimit = 2;
  b.instanceLimit = 2;
  // With a limit the last free channel of the scan is taken; without one, the first.
  EXPECT_EQ(speaker.PlaySound(&a, 0), 66);
  EXPECT_EQ(speaker.PlaySound(&b, 0), 65);
  EXPECT_EQ(speaker.PlaySound(&a, 0), -1000);
  EXPECT_EQ(speaker.PlaySound(&b, 0), -1000);
  speaker.GetChannel(65)->Pause();  // a paused instance still counts
  EXPECT_EQ(speaker.PlaySound(&a, 0), -1000);
  speaker.GetChannel(66)->Stop();
  EXPECT_EQ(speaker.PlaySound(&a, 0), 66);
  audSound unlimited = RawSound(frames, true, false, 44100);
  EXPECT_EQ(speaker.PlaySound(&unlimited, 0), 3);
}

TEST_F(Mixer, ChannelHandlesAndRefusals) {
  EXPECT_EQ(speaker.GetChannel(-1), nullptr);
  EXPECT_EQ(speaker.GetChannel(67), nullptr);
  EXPECT_EQ(speaker.GetChannel(3), speaker.SoundChannel(0));
  EXPECT_EQ(speaker.GetChannel(2), speaker.MusicChannel(2));
  EXPECT_EQ(speaker.GetChannel(66), speaker.SoundChannel(63));

  audSound empty;
  EXPECT_EQ(speaker.PlaySound(&empty, 0), -1000);
  EXPECT_EQ(speaker.PlaySound(nullptr, 0), -1000);

  // All 64 channels busy: the next play is refused.
  const std::vector<u8> frames = Counting8(10);
  audSound s = RawSound(frames, true, false, 44100);
  for (int i = 0; i < 64; ++i) ASSERT_EQ(speaker.PlaySound(&s, 0), 3 + i);
  EXPECT_EQ(speaker.PlaySound(&s, 0), -1000);
  EXPECT_EQ(speaker.CountPlayingSounds(), 64u);

  // Positions count frames halved for 16-bit and again for stereo data.
  speaker.StopSounds();
  const std::vector<u8> st16 = Samples16(std::vector<i16>(400, 0));
  audSound t = RawSound(st16, false, true, 44100);  // 200 frames
  const i32 h = speaker.PlaySound(&t, 0);
  EXPECT_EQ(speaker.GetChannel(h)->GetLength(), 50u);
  speaker.GetChannel(h)->SetPosition(10);
  EXPECT_EQ(speaker.GetChannel(h)->GetPosition(), 10u);

  speaker.Close();
  EXPECT_EQ(speaker.PlaySound(&s, 0), -1000);
  EXPECT_EQ(speaker.GetChannel(3), nullptr);
}

// A fixed scene: a looping 4-track song whose cells run through every effect, over looping, one-shot and
// long samples of several finetunes, with eight sounds of every source form and pan. Returns a hash of
// `frames` output frames of frameBytes each, mixed in blocks of the given sizes taken in turn.
u64 MixScene(TestSpeaker& speaker, u32 frameBytes, const std::vector<u32>& blockFrames, u32 frames) {
  Module m;
  std::vector<i8> noise(70000);  // past the first part: read through the second
  u32 seed = 7;
  for (i8& v : noise) v = i8((seed = seed * 1103515245u + 12345u) >> 24);
  m.SetSample(1, std::vector<i8>(noise.begin(), noise.begin() + 3000), 64, 0, 1000, 1200);
  m.SetSample(2, std::vector<i8>(noise.begin() + 5000, noise.begin() + 5600), 40, 0x0E);
  m.SetSample(3, noise, 50, 3, 60000, 9000);
  m.SetSample(4, std::vector<i8>(noise.begin() + 100, noise.begin() + 164), 64, 0, 0, 64);
  m.SetOrders({0, 1, 0});
  static const u32 periods[] = {856, 428, 381, 339, 320, 285, 254, 226, 214, 113, 1712, 57, 0};
  static const u32 effects[][2] = {{0, 0x37},  {1, 0x05},  {2, 0x07},  {3, 0x10},  {4, 0x8F},  {5, 0x21},
                                   {6, 0x03},  {9, 0x10},  {10, 0x40}, {12, 0x20}, {14, 0xA3}, {14, 0xB2},
                                   {14, 0xC3}, {14, 0xD2}, {14, 0x61}, {15, 0x04}, {15, 0x90}, {0, 0}};
  for (u32 p = 0; p < 2; ++p) {
    for (u32 r = 0; r < 64; ++r) {
      for (u32 t = 0; t < 4; ++t) {
        const u32 i = p * 256 + r * 4 + t;
        const auto& e = effects[(i * 7) % 18];
        m.SetCell(p, r, t, i % 5 == 4 ? 0 : 1 + (i * 3) % 4, periods[(i * 5) % 13], e[0], e[1]);
      }
    }
  }
  m.SetCell(1, 40, 2, 0, 0, 14, 0xE2);  // pattern delay
  m.SetCell(1, 41, 3, 0, 0, 13, 0x10);  // and a break into the next order
  audMusic& music = m.Music(true);
  music.pan = 200;
  EXPECT_EQ(speaker.PlayMusic(&music, 0), 0);

  std::vector<u8> pcm(4000);
  for (u8& v : pcm) v = u8((seed = seed * 1103515245u + 12345u) >> 24);
  std::vector<audSound> sounds;
  for (u32 k = 0; k < 8; ++k) {
    const bool eightBit = k & 1, stereo = k & 2;
    audSound s = RawSound(pcm, eightBit, stereo, k < 4 ? 22050 : 48000);
    s.loop = k % 3 == 0;
    s.pan = k * 40;
    s.volume = 64 - k * 5;
    sounds.push_back(s);
  }
  for (const audSound& s : sounds) EXPECT_GE(speaker.PlaySound(&s, 0), 3);

  u64 hash = 1469598103934665603ull;
  std::vector<u8> block;
  for (u32 done = 0, b = 0; done < frames; ++b) {
    const u32 n = std::min(blockFrames[b % blockFrames.size()], frames - done);
    block.assign(n * frameBytes, 0);
    speaker.Mix(block.data(), u32(block.size()));
    for (u8 v : block) hash = (hash ^ v) * 1099511628211ull;
    done += n;
  }
  speaker.StopMusic();
  speaker.StopSounds();
  return hash;
}

TEST_F(Mixer, ASceneMixesToTheSameSamplesInEveryOutputFormAndBlockSize) {
  // Hashes of the output as the mixer gave it when it mixed one sample of every channel at a time.
  struct Case {
    bool sixteenBit, stereo;
    u64 hash;
  } cases[] = {
      {true, false, 11619571952394475705ull},
      {true, true, 17690918764049315894ull},
      {false, false, 4898888142287149775ull},
      {false, true, 8507818431065546839ull},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.sixteenBit << c.stereo);
    speaker.UseOutputFormat(c.sixteenBit, c.stereo);
    const u32 frameBytes = (c.sixteenBit ? 2 : 1) * (c.stereo ? 2 : 1);
    EXPECT_EQ(MixScene(speaker, frameBytes, {1324}, 3 * 44100), c.hash);
    EXPECT_EQ(MixScene(speaker, frameBytes, {2, 1, 511, 512, 513, 7, 4000}, 3 * 44100), c.hash);
  }
}

}  // namespace
