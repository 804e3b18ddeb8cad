// The SDL wave-out under SDL's disk audio driver: the real SDL path, with what it played kept in a file.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

#include <unistd.h>

#include "SoundKit.h"
#include "os/sdl/SdlWaveOut.h"

using namespace soundkit;

namespace {

TEST(SdlWaveOut, SpeakerPlaysAModuleThroughSdlAudio) {
  const std::string file = testing::TempDir() + "duskmire-sdl-audio-" + std::to_string(getpid()) + ".raw";
  std::remove(file.c_str());
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
  setenv("SDL_DISKAUDIODELAY", "1", 1);

  u64 played = 0;
  u64 underrun = 0;
  {
    Os::SdlWaveOut wave;
    Os::InstallWaveOut(&wave);
    ASSERT_EQ(wave.DeviceCount(), 1u);
    Module song;
    song.SetSample(1, std::vector<i8>(20000, 10));
    song.SetOrders({0});
    song.SetCell(0, 0, 0, 1, 428);
    audSpeaker speaker;
    ASSERT_EQ(speaker.Open(44100, 16), 0);
    ASSERT_EQ(speaker.PlayMusic(&song.Music(true), 0), 0);
    // Wait (with a generous guard against a hang) until SDL has drained a few rounds of the ring.
    for (int i = 0; i < 1000 && wave.BlocksPlayed() < 20; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    played = wave.BlocksPlayed();
    underrun = wave.UnderrunBytes();
    speaker.Close();
    Os::InstallWaveOut(nullptr);
  }
  EXPECT_GE(played, 20u);
  std::printf("blocks played %llu, underrun bytes %llu\n", (unsigned long long)played, (unsigned long long)underrun);

  std::ifstream in(file, std::ios::binary);
  const std::vector<u8> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GE(bytes.size(), 20u * 2648u);
  // The six blocks of silence queued at start, then the module: track volume 64 x sample value 10. A busy
  // machine may let SDL run dry between blocks, which writes silence in between, so count over the whole
  // file: at least the 14 module blocks played must be there.
  u32 loud = 0;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const i16 v = i16(u16(bytes[i] | bytes[i + 1] << 8));
    if (v == 640) ++loud;
  }
  EXPECT_GT(loud, 10000u);
  std::remove(file.c_str());
}

}  // namespace
