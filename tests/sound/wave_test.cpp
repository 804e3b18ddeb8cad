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

// An 8-bit mono wave whose format chunk carries the tag; the extensible tag 0xFFFE gets an extension of
// `extension` bytes naming `sub` as the sub-format (a GUID on the standard base).
std::vector<u8> Tagged(u16 tag, u16 sub = 1, u16 extension = 22) {
  std::vector<u8> image = MakeWave(1, 8000, 8, std::vector<u8>(20, 200));
  Put16(image, 20, tag);
  if (tag != 0xFFFE) return image;
  std::vector<u8> tail(24, 0);
  Put16(tail, 0, extension);
  Put16(tail, 2, 8);    // valid bits
  Put32(tail, 4, 4);    // channel mask: front centre
  Put16(tail, 8, sub);  // the GUID's first word: the format tag it stands for
  const u8 base[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
  std::memcpy(&tail[10], base, sizeof base);
  image.insert(image.begin() + 36, tail.begin(), tail.end());
  Put32(image, 16, 16 + 24);
  Put32(image, 4, u32(image.size() - 8));
  return image;
}

TEST(Wave, OnlyPcmDataIsTaken) {
  struct Case {
    const char* what;
    std::vector<u8> image;
    i32 code;
  } cases[] = {
      {"PCM", Tagged(1), 0},
      {"A-law", Tagged(6), -100},
      {"mu-law", Tagged(7), -100},
      {"ADPCM", Tagged(2), -100},
      {"tag 0", Tagged(0), -100},
      {"extensible PCM", Tagged(0xFFFE), 0},
      {"extensible A-law", Tagged(0xFFFE, 6), -100},
      {"extensible float", Tagged(0xFFFE, 3), -100},
      {"extensible with a short extension", Tagged(0xFFFE, 1, 0), -100},
      {"extensible in a plain 16-byte format chunk", Tagged(1), -100},
  };
  Put16(cases[9].image, 20, 0xFFFE);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    audSound s;
    EXPECT_EQ(s.LoadWave(c.image.data(), u32(c.image.size())), c.code);
    if (c.code == 0) {
      EXPECT_EQ(s.frames, 20u);
      EXPECT_EQ(s.data[0], 200);
    } else {
      EXPECT_EQ(s.data, nullptr);
    }
  }
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
