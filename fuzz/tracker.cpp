// A tracker module file: split into its parts and played for a few hundred ticks.
#include "common/Outcome.h"
#include <cstddef>
#include <cstdint>

#include "common/SpeakerRig.h"
#include "platform/sound/audMusic.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzOutcome outcome;
  SpeakerRig& rig = Rig();
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
  rig.speaker.StopMusic();
  if (rig.speaker.PlayMusic(&music, 0) != 0) {
    return 0;
  }
  rig.Mix(30, &outcome);
  rig.speaker.StopMusic();
  return 0;
}
