// The mixer's cost per 30-ms block (2,648 bytes of 44,100 Hz 16-bit mono) under three loads, and the time
// to render a minute of a 4-track module.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "os/WaveOut.h"
#include "os/headless/SimWaveOut.h"
#include "platform/sound/audMusic.h"
#include "platform/sound/audSound.h"
#include "platform/sound/audSpeaker.h"

namespace {

constexpr u32 kBlock = 2648;

// A busy module: a note on every row of every track, with vibrato, slides and arpeggio, looping samples.
struct Song {
  explicit Song(u32 tracks) : header(audModuleHeaderSize, 0) {
    char tag[5];
    if (tracks == 4) {
      std::memcpy(tag, "M.K.", 4);
    } else {
      std::snprintf(tag, sizeof tag, tracks < 10 ? "%uCHN" : "%uCH", tracks);
    }
    std::memcpy(&header[audModule::kTag], tag, 4);
    header[audModule::kSongLength] = 2;
    header[audModule::kOrders + 1] = 1;
    for (u32 s = 0; s < 4; ++s) {
      data[s].resize(8000);
      for (u32 i = 0; i < data[s].size(); ++i) data[s][i] = i8((i * (s + 3)) & 0x7F) - 64;
      u8* h = &header[audModule::kSampleHeaders + audModule::kSampleHeaderSize * s];
      h[22] = u8(4000 >> 8);
      h[23] = u8(4000 & 0xFF);
      h[25] = 48;
      h[28] = u8(2000 >> 8);  // loop the second half
      h[26] = u8(2000 >> 8);
      samples.sample[s].first = data[s].data();
      samples.sample[s].firstBytes = u32(data[s].size());
    }
    static const u16 periods[] = {428, 381, 339, 320, 285, 254, 226, 214};
    static const u8 effects[][2] = {{0, 0}, {4, 0x46}, {10, 0x02}, {0, 0x37}, {3, 0x08}, {1, 0x02}};
    for (u32 p = 0; p < 2; ++p) {
      cells[p].resize(64 * tracks * 4);
      for (u32 r = 0; r < 64; ++r) {
        for (u32 t = 0; t < tracks; ++t) {
          u8* c = &cells[p][(r * tracks + t) * 4];
          const u32 period = periods[(r + t + p) % 8];
          const u32 sample = 1 + (r + t) % 4;
          const auto& e = effects[(r * 3 + t) % 6];
          c[0] = u8((sample & 0xF0) | (period >> 8));
          c[1] = u8(period);
          c[2] = u8((sample & 0x0F) << 4 | e[0]);
          c[3] = e[1];
        }
      }
      patterns[p].cells = cells[p].data();
      patterns[p].bytes = u32(cells[p].size());
    }
    music.Load(header.data(), patterns, 2, &samples);
    music.loop = 1;
  }
  std::vector<u8> header;
  std::vector<i8> data[4];
  std::vector<u8> cells[2];
  audPattern patterns[2];
  audSampleTable samples{};
  audMusic music;
};

struct Rig {
  Rig() {
    Os::InstallWaveOut(&wave);
    speaker.Open(44100, 16);
    for (u32 i = 0; i < 20000; ++i) pcm.push_back(i16((i * 37) % 20000 - 10000));
    sound.data = reinterpret_cast<const u8*>(pcm.data());
    sound.frames = u32(pcm.size());
    sound.nativeRate = sound.playbackRate = 22050;
    sound.loop = 1;
  }
  ~Rig() {
    speaker.Close();
    Os::InstallWaveOut(nullptr);
  }
  Os::SimWaveOut wave;
  audSpeaker speaker;
  std::vector<i16> pcm;
  audSound sound;
};

void MixBlocks(benchmark::State& state, Rig& rig) {
  std::vector<u8> block(kBlock);
  for (auto _ : state) {
    rig.speaker.Mix(block.data(), kBlock);
    benchmark::DoNotOptimize(block.data());
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_MixSilence(benchmark::State& state) {
  Rig rig;
  MixBlocks(state, rig);
}
BENCHMARK(BM_MixSilence);

void BM_MixTypical(benchmark::State& state) {
  Rig rig;
  Song song(u32(state.range(0)));
  rig.speaker.PlayMusic(&song.music, 0);
  for (int i = 0; i < 4; ++i) rig.speaker.PlaySound(&rig.sound, 0);
  MixBlocks(state, rig);
}
BENCHMARK(BM_MixTypical)->Arg(4)->Arg(8);

void BM_MixWorst(benchmark::State& state) {
  Rig rig;
  Song song(32);
  for (int i = 0; i < 3; ++i) rig.speaker.PlayMusic(&song.music, 0);
  for (int i = 0; i < 64; ++i) rig.speaker.PlaySound(&rig.sound, 0);
  MixBlocks(state, rig);
}
BENCHMARK(BM_MixWorst);

// A minute of a 4-track module rendered to a buffer.
void BM_RenderMinuteOfModule(benchmark::State& state) {
  Rig rig;
  Song song(4);
  std::vector<u8> out(60u * 44100u * 2u);
  for (auto _ : state) {
    rig.speaker.StopMusic();
    rig.speaker.PlayMusic(&song.music, 0);
    for (u32 at = 0; at < out.size(); at += kBlock) {
      const u32 n = u32(out.size() - at < kBlock ? out.size() - at : kBlock);
      rig.speaker.Mix(out.data() + at, n);
    }
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_RenderMinuteOfModule)->Unit(benchmark::kMillisecond);

}  // namespace
