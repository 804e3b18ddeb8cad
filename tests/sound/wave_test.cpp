// Loading RIFF wave images, and playing what was loaded.
#include <gtest/gtest.h>

#include "SoundKit.h"
#include "platform/sound/audSound.h"

using namespace soundkit;

namespace {

TEST(Wave, LoadsEveryPcmForm) {
  struct Case {
    u16 channels, bits;
    u32 dataBytes, frames;
  } cases[] = {
      {1, 8, 1000, 1000},
      {2, 8, 1000, 500},
      {1, 16, 1000, 500},
      {2, 16, 4000, 1000},
  };
  for (const Case& c : cases) {
    const std::vector<u8> image = MakeWave(c.channels, 22050, c.bits, std::vector<u8>(c.dataBytes, 7));
    audSound s;
    ASSERT_EQ(s.LoadWave(image.data(), u32(image.size())), 0);
    EXPECT_EQ(s.frames, c.frames);
    EXPECT_EQ(s.eightBit, c.bits == 8 ? 1 : 0);
    EXPECT_EQ(s.stereo, c.channels == 2 ? 1 : 0);
    EXPECT_EQ(s.nativeRate, 22050u);
    EXPECT_EQ(s.playbackRate, 22050u);
    EXPECT_EQ(s.data, image.data() + image.size() - c.dataBytes);  // points into the image
    EXPECT_EQ(s.ownsData, 0);
  }
}

TEST(Wave, SkipsOtherChunksBeforeTheData) {
  const std::vector<u8> image =
      MakeWave(1, 44100, 16, Samples16({1, 2, 3}), {{"LIST", std::vector<u8>(10, 1)}, {"fact", {4, 0, 0, 0}}});
  audSound s;
  ASSERT_EQ(s.LoadWave(image.data(), u32(image.size())), 0);
  EXPECT_EQ(s.frames, 3u);
  EXPECT_EQ(s.data[0], 1);
}

TEST(Wave, MalformedImagesAreRefused) {
  const std::vector<u8> good = MakeWave(1, 22050, 8, std::vector<u8>(100, 128));
  auto with = [&](auto change) {
    std::vector<u8> w = good;
    change(w);
    return w;
  };
  struct Case {
    const char* what;
    std::vector<u8> image;
    i32 code;
  } cases[] = {
      {"format chunk not first", MakeWave(1, 22050, 8, {}, {}) /* patched below */, -300},
      {"4-bit data", MakeWave(1, 22050, 4, std::vector<u8>(10)), -100},
      {"12-bit data", MakeWave(1, 22050, 12, std::vector<u8>(10)), -100},
      {"no channels", with([](auto& w) { Put16(w, 22, 0); }), -100},
      {"three channels", with([](auto& w) { Put16(w, 22, 3); }), -100},
      {"rate 0", with([](auto& w) { Put32(w, 24, 0); }), -100},
      {"no data chunk", with([](auto& w) { w[36] = 'x'; }), -100},
      {"format chunk too small", with([](auto& w) { Put32(w, 16, 8); }), -100},
      {"cut inside the format", std::vector<u8>(good.begin(), good.begin() + 30), -100},
      {"cut inside the chunk ids", std::vector<u8>(good.begin(), good.begin() + 14), -100},
      {"chunk size runs past the end", with([](auto& w) { Put32(w, 16, 0xFFFFFFF0u); }), -100},
  };
  // An image whose first chunk is another kind is refused whatever follows.
  std::memcpy(&cases[0].image[12], "LIST", 4);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    audSound s;
    EXPECT_EQ(s.LoadWave(c.image.data(), u32(c.image.size())), c.code);
    EXPECT_EQ(s.data, nullptr);
  }
  audSound s;
  EXPECT_EQ(s.LoadWave(nullptr, 100), -10);
}

TEST(Wave, FramesAreHeldToTheBytesPresent) {
  // The data chunk claims more than the image holds; the RIFF size bounds it further.
  std::vector<u8> image = MakeWave(1, 22050, 16, std::vector<u8>(100, 0));
  Put32(image, 40, 1'000'000);
  audSound s;
  ASSERT_EQ(s.LoadWave(image.data(), u32(image.size())), 0);
  EXPECT_EQ(s.frames, 50u);
  Put32(image, 4, u32(image.size() - 8 - 40));  // RIFF size stops 40 bytes into the data
  ASSERT_EQ(s.LoadWave(image.data(), u32(image.size())), 0);
  EXPECT_EQ(s.frames, 30u);
}

TEST(Wave, LoadingAgainFreesOwnedData) {
  audSound s;
  s.data = new u8[16];
  s.ownsData = 1;
  const std::vector<u8> image = MakeWave(1, 22050, 8, std::vector<u8>(10, 128));
  ASSERT_EQ(s.LoadWave(image.data(), u32(image.size())), 0);  // the leak checker sees the old data go
  EXPECT_EQ(s.ownsData, 0);
  s.SetVolume(90);
  EXPECT_EQ(s.volume, 64u);
}

class WavePlay : public SpeakerTest {};

TEST_F(WavePlay, HighRatesStepWithoutOverflow) {
  // 96 kHz: the step (rate << 16) / (44,100 << 8) is 557 and needs more than 32 bits on the way.
  std::vector<u8> data(64);
  for (u32 i = 0; i < 64; ++i) data[i] = u8(128 + i + 1);
  const std::vector<u8> image = MakeWave(1, 96000, 8, data);
  audSound s;
  ASSERT_EQ(s.LoadWave(image.data(), u32(image.size())), 0);
  ASSERT_GE(speaker.PlaySound(&s, 0), 3);
  std::vector<i16> out = MixSamples(4);
  for (i16& v : out) v = i16(v / 128);
  // positions 0, 557, 1114, 1671 (24.8): frames 0, 2, 4, 6
  EXPECT_EQ(out, (std::vector<i16>{1, 3, 5, 7}));
  EXPECT_EQ(speaker.SoundChannel(0)->step, 557u);
}

}  // namespace
