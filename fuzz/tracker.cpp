// A tracker module file: split into its parts and played for a few hundred ticks.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "os/WaveOut.h"
#include "os/headless/SimWaveOut.h"
#include "platform/sound/audMusic.h"
#include "platform/sound/audSpeaker.h"

namespace {

struct Rig {
  Rig() {
    Os::InstallWaveOut(&wave);
    speaker.Open(44100, 16);
  }
  Os::SimWaveOut wave;
  audSpeaker speaker;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Rig* rig = new Rig();
  audModuleImage image;
  if (image.Parse(data, u32(size > 0xFFFFFFFFu ? 0xFFFFFFFFu : size)) != 0) {
    return 0;
  }
  audMusic music;
  if (music.Load(image.header, image.patterns, image.patternCount, &image.samples) != 0) {
    return 0;
  }
  music.loop = 1;
  // A fast tempo clock, so that a few hundred ticks take few samples.
  music.tempoRate = 44100 * 8;
  rig->speaker.StopMusic();
  if (rig->speaker.PlayMusic(&music, 0) != 0) {
    return 0;
  }
  std::vector<u8> block(2648);
  for (int i = 0; i < 30; ++i) {
    rig->speaker.Mix(block.data(), u32(block.size()));
  }
  rig->speaker.StopMusic();
  return 0;
}
