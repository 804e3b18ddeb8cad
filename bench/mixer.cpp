// The mixer's cost per 30-ms block (2,648 bytes of 44,100 Hz 16-bit mono) under several loads, and its CPU
// time per second of audio for 4-track modules and for 64 sounds at once.
//
// The modules are made here as whole module files and read back through the module parser. Setting
// MIXER_BENCH_MODULES to a folder writes them there (busy.mod, sparse.mod), so another player can be timed
// on exactly the same songs: 44,100 Hz, mono, no interpolation, looping.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "os/WaveOut.h"
#include "os/headless/SimWaveOut.h"
#include "platform/sound/audMusic.h"
#include "platform/sound/audSound.h"
#include "platform/sound/audSpeaker.h"

namespace {

constexpr u32 kBlock = 2648;
constexpr u32 kRate = 44100;

// A module file built cell by cell.
class ModuleFile {
 public:
  ModuleFile(u32 tracks, u32 patterns) : tracks_(tracks), bytes_(audModuleHeaderSize, 0) {
    char tag[5];
    if (tracks == 4) {
      std::memcpy(tag, "M.K.", 4);
    } else {
      std::snprintf(tag, sizeof tag, tracks < 10 ? "%uCHN" : "%uCH", tracks);
    }
    std::memcpy(&bytes_[audModule::kTag], tag, 4);
    bytes_[audModule::kRestart] = 127;
    bytes_.resize(audModuleHeaderSize + patterns * 64 * tracks * 4, 0);
  }
  void Orders(const std::vector<u8>& orders) {
    bytes_[audModule::kSongLength] = u8(orders.size());
    std::memcpy(&bytes_[audModule::kOrders], orders.data(), orders.size());
  }
  // Samples go after the patterns, in number order: add them 1, 2, 3, ... (lengths and loops in bytes).
  void Sample(u32 n, const std::vector<i8>& data, u8 volume, u32 loopStart, u32 loopLength) {
    u8* h = &bytes_[audModule::kSampleHeaders + audModule::kSampleHeaderSize * (n - 1)];
    const u32 words = u32(data.size() / 2);
    h[22] = u8(words >> 8);
    h[23] = u8(words);
    h[25] = volume;
    h[26] = u8((loopStart / 2) >> 8);
    h[27] = u8(loopStart / 2);
    h[28] = u8((loopLength / 2) >> 8);
    h[29] = u8(loopLength / 2);
    bytes_.insert(bytes_.end(), reinterpret_cast<const u8*>(data.data()),
                  reinterpret_cast<const u8*>(data.data()) + words * 2);
  }
  void Cell(u32 pattern, u32 row, u32 track, u32 sample, u32 period, u32 effect, u32 parameter) {
    u8* c = &bytes_[audModuleHeaderSize + ((pattern * 64 + row) * tracks_ + track) * 4];
    c[0] = u8((sample & 0xF0) | (period >> 8));
    c[1] = u8(period);
    c[2] = u8((sample & 0x0F) << 4 | effect);
    c[3] = u8(parameter);
  }
  const std::vector<u8>& Bytes() const { return bytes_; }

 private:
  u32 tracks_;
  std::vector<u8> bytes_;
};

// Looping instruments of four shapes: saw, square, triangle and a noisy one.
std::vector<i8> Wave(u32 shape, u32 bytes) {
  std::vector<i8> d(bytes);
  u32 noise = 1;
  for (u32 i = 0; i < bytes; ++i) {
    const i32 phase = i32(i % 64);
    noise = noise * 1103515245u + 12345u;
    switch (shape) {
      case 0: d[i] = i8(phase * 4 - 128); break;
      case 1: d[i] = i8(phase < 32 ? 100 : -100); break;
      case 2: d[i] = i8(phase < 32 ? phase * 8 - 128 : 383 - phase * 8); break;
      default: d[i] = i8(i32(noise >> 24) / 2 + (phase < 32 ? 40 : -40)); break;
    }
  }
  return d;
}

const u16 kPeriods[] = {856, 762, 678, 640, 570, 508, 453, 428, 381, 339, 320, 285, 254, 226, 214, 190};

// A note on every row of every track, each carrying an effect: arpeggio, vibrato, volume slide, tone
// portamento, slides, and their combinations with volume slide.
std::vector<u8> BusyModule(u32 tracks) {
  ModuleFile m(tracks, 4);
  m.Orders({0, 1, 2, 3, 0, 2, 1, 3});
  for (u32 s = 0; s < 4; ++s) m.Sample(s + 1, Wave(s, 8000), 48, 4000, 4000);
  static const u8 effects[][2] = {{0, 0x37}, {4, 0x46}, {10, 0x02}, {0, 0x47}, {3, 0x08},
                                  {1, 0x02}, {2, 0x01}, {6, 0x01},  {5, 0x10}, {12, 40}};
  for (u32 p = 0; p < 4; ++p) {
    for (u32 r = 0; r < 64; ++r) {
      for (u32 t = 0; t < tracks; ++t) {
        const auto& e = effects[(r * 3 + t + p) % 10];
        m.Cell(p, r, t, 1 + (r + t + p) % 4, kPeriods[(r * 5 + t * 3 + p) % 16], e[0], e[1]);
      }
    }
  }
  return m.Bytes();
}

// A plainer song: longer instruments, a note on every third row, a few effects.
std::vector<u8> SparseModule() {
  ModuleFile m(4, 2);
  m.Orders({0, 1, 0, 1});
  for (u32 s = 0; s < 4; ++s) m.Sample(s + 1, Wave(s, 24000), 64, s == 3 ? 0 : 16000, s == 3 ? 0 : 8000);
  for (u32 p = 0; p < 2; ++p) {
    for (u32 r = 0; r < 64; r += 3) {
      for (u32 t = 0; t < 4; ++t) {
        const u32 effect = (r + t) % 7 == 0 ? 4 : (r + t) % 5 == 0 ? 10 : 0;
        const u32 parameter = effect == 4 ? 0x34 : effect == 10 ? 0x01 : 0;
        m.Cell(p, r, t, 1 + t, kPeriods[(r + t * 5 + p) % 16], effect, parameter);
      }
    }
  }
  return m.Bytes();
}

// A module file read back through the parser, ready to play (looping).
struct Song {
  explicit Song(std::vector<u8> bytes) : file(std::move(bytes)) {
    image.Parse(file.data(), u32(file.size()));
    music.Load(image.header, image.patterns, image.patternCount, &image.samples);
    music.loop = 1;
  }
  std::vector<u8> file;
  audModuleImage image;
  audMusic music;
};

// Writes the modules for another player when MIXER_BENCH_MODULES names a folder.
const bool kWritten = [] {
  const char* dir = std::getenv("MIXER_BENCH_MODULES");
  if (dir == nullptr) {
    return false;
  }
  const std::pair<const char*, std::vector<u8>> files[] = {{"busy.mod", BusyModule(4)}, {"sparse.mod", SparseModule()}};
  for (const auto& [name, bytes] : files) {
    const std::string path = std::string(dir) + "/" + name;
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
      std::fwrite(bytes.data(), 1, bytes.size(), f);
      std::fclose(f);
    }
  }
  return true;
}();

struct Rig {
  Rig() {
    Os::InstallWaveOut(&wave);
    speaker.Open(kRate, 16);
    for (u32 i = 0; i < 20000; ++i) pcm.push_back(i16((i * 37) % 20000 - 10000));
    for (u32 i = 0; i < 30000; ++i) pcm8.push_back(u8(128 + (i * 13) % 100 - 50));
    sound.data = reinterpret_cast<const u8*>(pcm.data());
    sound.frames = u32(pcm.size());
    sound.nativeRate = sound.playbackRate = 22050;
    sound.loop = 1;
    sound8.data = pcm8.data();
    sound8.eightBit = 1;
    sound8.frames = u32(pcm8.size());
    sound8.nativeRate = sound8.playbackRate = 11025;
    sound8.loop = 1;
  }
  ~Rig() {
    speaker.Close();
    Os::InstallWaveOut(nullptr);
  }
  Os::SimWaveOut wave;
  audSpeaker speaker;
  std::vector<i16> pcm;
  std::vector<u8> pcm8;
  audSound sound;   // 16-bit, 22,050 Hz
  audSound sound8;  // 8-bit, 11,025 Hz
};

void MixBlocks(benchmark::State& state, Rig& rig) {
  std::vector<u8> block(kBlock);
  for (auto _ : state) {
    rig.speaker.Mix(block.data(), kBlock);
    benchmark::DoNotOptimize(block.data());
  }
  state.SetItemsProcessed(state.iterations());
}

// Mixes ten seconds a time and reports the CPU time a second of audio costs.
void MixSeconds(benchmark::State& state, Rig& rig) {
  constexpr u32 kSeconds = 10;
  std::vector<u8> block(kBlock);
  const u32 blocks = kSeconds * kRate * 2 / kBlock;
  for (auto _ : state) {
    for (u32 b = 0; b < blocks; ++b) {
      rig.speaker.Mix(block.data(), kBlock);
    }
    benchmark::DoNotOptimize(block.data());
  }
  const double seconds = double(blocks) * kBlock / 2 / kRate;
  // CPU seconds a second of audio costs (shown with an SI prefix: 150u is 0.15 ms).
  state.counters["cpu_per_audio_s"] = benchmark::Counter(double(state.iterations()) * seconds,
                                                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_MixSilence(benchmark::State& state) {
  Rig rig;
  MixBlocks(state, rig);
}
BENCHMARK(BM_MixSilence);

void BM_MixTypical(benchmark::State& state) {
  Rig rig;
  Song song(BusyModule(u32(state.range(0))));
  rig.speaker.PlayMusic(&song.music, 0);
  for (int i = 0; i < 4; ++i) rig.speaker.PlaySound(&rig.sound, 0);
  MixBlocks(state, rig);
}
BENCHMARK(BM_MixTypical)->Arg(4)->Arg(8);

void BM_MixWorst(benchmark::State& state) {
  Rig rig;
  Song song(BusyModule(32));
  for (int i = 0; i < 3; ++i) rig.speaker.PlayMusic(&song.music, 0);
  for (int i = 0; i < 64; ++i) rig.speaker.PlaySound(i % 2 ? &rig.sound8 : &rig.sound, 0);
  MixBlocks(state, rig);
}
BENCHMARK(BM_MixWorst);

// CPU per second of audio of one 4-track module alone: the figure to hold against another player.
void BM_ModuleSecond(benchmark::State& state) {
  Rig rig;
  Song song(state.range(0) == 0 ? BusyModule(4) : SparseModule());
  rig.speaker.PlayMusic(&song.music, 0);
  MixSeconds(state, rig);
  state.SetLabel(state.range(0) == 0 ? "busy.mod" : "sparse.mod");
}
BENCHMARK(BM_ModuleSecond)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// CPU per second of audio of 64 looping sounds at once, 8- and 16-bit at two rates.
void BM_SixtyFourSoundsSecond(benchmark::State& state) {
  Rig rig;
  for (int i = 0; i < 64; ++i) rig.speaker.PlaySound(i % 2 ? &rig.sound8 : &rig.sound, 0);
  MixSeconds(state, rig);
}
BENCHMARK(BM_SixtyFourSoundsSecond)->Unit(benchmark::kMillisecond);

}  // namespace
