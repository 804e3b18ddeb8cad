// The sound manager over the headless wave-out: settings, volume steps, looped plays, music, channels,
// and whole blocks played through the feeder.
#include <gtest/gtest.h>

#include <cstdint>

#include "SoundKit.h"
#include "os/headless/MemoryRegistry.h"
#include "platform/sound/SSoundManager.h"

using namespace soundkit;

namespace {

// A sound record over one wave image, counting how often a level object was made.
class Record : public SSoundRecord {
 public:
  explicit Record(std::vector<u8> image) : image_(std::move(image)) {}
  audSound* VolumeSlot(i32 level) override { return slots_[level].get(); }
  void LoadVolumeSlot(i32 level) override {
    ++loads;
    auto s = std::make_unique<audSound>();
    if (s->LoadWave(image_.data(), u32(image_.size())) == 0) slots_[level] = std::move(s);
  }
  int loads = 0;

 private:
  std::vector<u8> image_;
  std::unique_ptr<audSound> slots_[kLevels];
};

std::vector<u8> ConstantWave(i16 value, u32 frames) {
  return MakeWave(1, 44100, 16, Samples16(std::vector<i16>(frames, value)));
}

class Manager : public SimAudio {
 protected:
  void SetUp() override {
    SimAudio::SetUp();
    Os::InstallRegistry(&registry);
  }
  void TearDown() override {
    manager.reset();
    Os::InstallRegistry(nullptr);
    SimAudio::TearDown();
  }
  u32 Stored(const char* name) {
    u32 v = 0xDEAD;
    registry.Get(std::string("HKLM\\SOFTWARE\\Duskmire\\") + name, &v);
    return v;
  }
  SSoundManager& Start() {
    manager = std::make_unique<SSoundManager>();
    manager->Init(&settings);
    return *manager;
  }
  Os::MemoryRegistry registry;
  SSettings settings;
  std::unique_ptr<SSoundManager> manager;
};

TEST_F(Manager, SettingsBecomeMasterVolumes) {
  struct Case {
    u32 sound, music;
    u32 soundAfter, musicAfter, soundMaster, musicMaster;
  } cases[] = {
      {10, 5, 10, 5, 64, 32},
      {15, u32(-3), 10, 0, 64, 0},
      {1, 0, 1, 0, 6, 0},
  };
  for (const Case& c : cases) {
    registry.Clear();
    settings.soundVolume = c.sound;
    settings.musicVolume = c.music;
    SSoundManager& m = Start();
    EXPECT_EQ(settings.soundVolume, c.soundAfter);
    EXPECT_EQ(settings.musicVolume, c.musicAfter);
    EXPECT_EQ(m.Speaker()->SoundVolume(), c.soundMaster);
    EXPECT_EQ(m.Speaker()->MusicVolume(), c.musicMaster);
    // Only values that had to be mended are written back at start-up.
    EXPECT_EQ(Stored("SoundVolume"), c.sound == c.soundAfter ? 0xDEADu : c.soundAfter);
    EXPECT_EQ(Stored("MusicVolume"), c.music == c.musicAfter ? 0xDEADu : c.musicAfter);
  }
  manager->SetVolumes(-4, 12);
  EXPECT_EQ(settings.soundVolume, 0u);
  EXPECT_EQ(settings.musicVolume, 10u);
  EXPECT_EQ(Stored("SoundVolume"), 0u);
  EXPECT_EQ(Stored("MusicVolume"), 10u);
  EXPECT_EQ(manager->Speaker()->SoundVolume(), 0u);
  EXPECT_EQ(manager->Speaker()->MusicVolume(), 64u);
}

TEST_F(Manager, SoundsPlayAtTheirStepAndOnlyInsideTheSteps) {
  SSoundManager& m = Start();
  Record record(ConstantWave(1000, 100));
  struct Case {
    i32 step;
    i32 handle;
    u32 volume;
  } cases[] = {{7, 3, 44}, {0, 4, 0}, {10, 5, 64}, {5, 6, 32}};
  for (const Case& c : cases) {
    EXPECT_EQ(m.PlaySound(&record, c.step), c.handle);
    EXPECT_EQ(audLoad(m.Speaker()->GetChannel(c.handle)->volume), c.volume);
    EXPECT_EQ(record.VolumeSlot(c.step)->volume, c.volume);
  }
  EXPECT_EQ(record.loads, 4);
  EXPECT_EQ(m.PlaySound(&record, 7), 7);
  EXPECT_EQ(record.loads, 4);  // made once per level
  for (i32 step : {-1, 11, 1000, -1000, INT32_MAX, INT32_MIN}) EXPECT_EQ(m.PlaySound(&record, step), 0) << step;
  EXPECT_EQ(record.loads, 4);
  EXPECT_EQ(m.PlaySound(nullptr, 3), 0);

  Record broken(std::vector<u8>(40, 0));
  EXPECT_EQ(m.PlaySound(&broken, 3), 0);
}

TEST_F(Manager, LoopingOnePlayLeavesLaterPlaysOneShot) {
  SSoundManager& m = Start();
  Record record(ConstantWave(1000, 10));
  const i32 looped = m.PlaySoundLooped(&record, 10);
  const i32 once = m.PlaySound(&record, 10);
  EXPECT_EQ(m.Speaker()->GetChannel(looped)->loop, 1);
  EXPECT_EQ(m.Speaker()->GetChannel(once)->loop, 0);
  EXPECT_EQ(record.VolumeSlot(10)->loop, 0);
}

TEST_F(Manager, MusicNeedsItsSampleModule) {
  SSoundManager& m = Start();
  Module song;
  song.SetSample(1, std::vector<i8>(2000, 100));
  song.SetOrders({0});
  song.SetCell(0, 0, 0, 1, 428);
  song.Parts();
  EXPECT_EQ(m.PlayMusic(song.Header().data(), song.PatternTable().data(), 1, nullptr), -1000);
  EXPECT_EQ(m.CurrentMusic(), nullptr);
  EXPECT_EQ(m.PlayMusic(song.Header().data(), song.PatternTable().data(), 1, &song.SampleTable()), 0);
  ASSERT_NE(m.CurrentMusic(), nullptr);
  EXPECT_EQ(m.CurrentMusic()->loop, 1);
  // A second song takes the next channel; the first plays on.
  EXPECT_EQ(m.PlayMusic(song.Header().data(), song.PatternTable().data(), 1, &song.SampleTable()), 1);
  EXPECT_TRUE(m.Speaker()->MusicChannel(0)->IsPlaying());
  std::vector<u8> refused = song.Header();
  std::memcpy(&refused[audModule::kTag], "FLT4", 4);
  EXPECT_EQ(m.PlayMusic(refused.data(), song.PatternTable().data(), 1, &song.SampleTable()), -1000);

  // Music volume 0: the music channels play silently.
  m.StopMusic();
  m.SetVolumes(10, 0);
  ASSERT_EQ(m.PlayMusic(song.Header().data(), song.PatternTable().data(), 1, &song.SampleTable()), 0);
  std::vector<u8> block(200, 0x55);
  m.Speaker()->Mix(block.data(), 200);
  EXPECT_EQ(block, std::vector<u8>(200, 0));
}

TEST_F(Manager, ChannelsByHandle) {
  SSoundManager& m = Start();
  Record record(ConstantWave(1000, 100));
  const i32 h = m.PlaySound(&record, 10);
  m.PauseChannel(h);
  EXPECT_FALSE(m.Speaker()->GetChannel(h)->IsPlaying());
  EXPECT_EQ(m.Speaker()->CountPlayingSounds(), 0u);
  m.ResumeChannel(h);
  EXPECT_TRUE(m.Speaker()->GetChannel(h)->IsPlaying());
  m.StopChannel(h);
  EXPECT_TRUE(m.Speaker()->GetChannel(h)->IsFree());
  m.PauseChannel(h);  // a finished channel stays free
  EXPECT_TRUE(m.Speaker()->GetChannel(h)->IsFree());
  for (i32 bad : {-1, 67, 100000}) {
    m.PauseChannel(bad);
    m.ResumeChannel(bad);
    m.StopChannel(bad);
  }
  m.PlaySound(&record, 10);
  m.StopSounds();
  EXPECT_EQ(m.Speaker()->CountPlayingSounds(), 0u);
}

TEST_F(Manager, ASpeakerWithoutDeviceRefusesAndCanBeOpenedLater) {
  sim.SetDeviceCount(0);
  SSoundManager& m = Start();
  EXPECT_FALSE(m.Speaker()->IsOpen());
  EXPECT_EQ(m.Speaker()->Driver(), nullptr);  // the failed driver is not kept
  EXPECT_EQ(threads->alive.load(), 0);
  Record record(ConstantWave(1000, 100));
  EXPECT_EQ(m.PlaySound(&record, 5), -1000);
  m.StopMusic();
  m.StopSounds();

  sim.SetDeviceCount(1);
  EXPECT_EQ(m.Speaker()->Open(44100, 16), 0);
  EXPECT_EQ(m.Speaker()->Open(44100, 16), -2);
  EXPECT_EQ(threads->created.load(), 2);
  EXPECT_EQ(threads->alive.load(), 1);
  EXPECT_EQ(m.PlaySound(&record, 5), 3);
}

TEST_F(Manager, SoundAndMusicPlayThroughTheFeeder) {
  settings.soundVolume = 10;
  settings.musicVolume = 10;
  SSoundManager& m = Start();
  Record record(ConstantWave(2000, 44100));
  Module song;
  song.SetSample(1, std::vector<i8>(20000, 10));
  song.SetOrders({0});
  song.SetCell(0, 0, 0, 1, 428);
  song.Parts();
  ASSERT_EQ(m.PlaySound(&record, 10), 3);
  ASSERT_EQ(m.PlayMusic(song.Header().data(), song.PatternTable().data(), 1, &song.SampleTable()), 0);
  // Six blocks of silence were queued at start; each played block is refilled with the mix.
  for (u64 n = 1; n <= 8; ++n) {
    ASSERT_EQ(sim.PlayBlocks(1), 1u);
    ASSERT_TRUE(sim.WaitForWrites(6 + n));
  }
  ASSERT_EQ(sim.PlayBlocks(2), 2u);
  const std::vector<u8> bytes = sim.Captured();
  ASSERT_EQ(bytes.size(), 10u * 2648u);
  for (u32 i = 0; i < 6 * 2648; ++i) ASSERT_EQ(bytes[i], 0) << i;
  // Sound 2,000 x 64 >> 7 = 1,000 plus the music track 64 x 10 = 640.
  const i16 first = i16(u16(bytes[6 * 2648] | bytes[6 * 2648 + 1] << 8));
  EXPECT_EQ(first, 1000 + 640);
  manager.reset();  // the feeder may still be mixing blocks: close before the song and sound go
}

}  // namespace
