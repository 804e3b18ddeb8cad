// The sound fuzz targets' player: a speaker opened on the simulated wave-out device, made once per
// fuzzing process and mixed into a block of the size the game queues.
#pragma once
#include "Outcome.h"
#include "os/WaveOut.h"
#include "os/headless/SimWaveOut.h"
#include "platform/sound/audSpeaker.h"

#include <vector>

struct SpeakerRig {
  SpeakerRig() {
    Os::InstallWaveOut(&wave);
    speaker.Open(44100, 16);
  }
  // Mixes `blocks` blocks of what plays, each added to `seen` when given.
  void Mix(int blocks, FuzzHash* seen = nullptr) {
    for (int i = 0; i < blocks; ++i) {
      speaker.Mix(block.data(), u32(block.size()));
      if (seen) seen->Add(block.data(), block.size());
    }
  }

  Os::SimWaveOut wave;
  audSpeaker speaker;
  std::vector<u8> block = std::vector<u8>(2648);
};

// The process's one rig; never destroyed, as the fuzzer may exit from any input.
inline SpeakerRig& Rig() {
  static SpeakerRig* rig = new SpeakerRig();
  return *rig;
}
