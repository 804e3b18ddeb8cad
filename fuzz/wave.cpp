// A RIFF wave image: loaded and, when it loads, played into a few blocks.
#include "common/Outcome.h"
#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/SpeakerRig.h"
#include "platform/sound/audSound.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzOutcome outcome;
  SpeakerRig& rig = Rig();
  // A copy of exactly the input's size, so that any read past it is caught.
  std::vector<u8> image(data, data + size);
  audSound sound;
  if (sound.LoadWave(image.data(), u32(image.size())) != 0) {
    return 0;
  }
  rig.speaker.StopSounds();
  if (rig.speaker.PlaySound(&sound, size > 0 && (data[0] & 1) ? audPlayLooped : 0) < 0) {
    return 0;
  }
  rig.Mix(4, &outcome);
  rig.speaker.StopSounds();
  return 0;
}
