// A RIFF wave image: loaded and, when it loads, played into a few blocks.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "os/WaveOut.h"
#include "os/headless/SimWaveOut.h"
#include "platform/sound/audSound.h"
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
  // A copy of exactly the input's size, so that any read past it is caught.
  std::vector<u8> image(data, data + size);
  audSound sound;
  if (sound.LoadWave(image.data(), u32(image.size())) != 0) {
    return 0;
  }
  rig->speaker.StopSounds();
  if (rig->speaker.PlaySound(&sound, size > 0 && (data[0] & 1) ? audPlayLooped : 0) < 0) {
    return 0;
  }
  std::vector<u8> block(2648);
  for (int i = 0; i < 4; ++i) {
    rig->speaker.Mix(block.data(), u32(block.size()));
  }
  rig->speaker.StopSounds();
  return 0;
}
