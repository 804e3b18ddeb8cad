// One playable wave sample: PCM data in memory with its format and the parameters a sound channel copies
// when it starts playing it.
#pragma once
#include "os/Types.h"

class audSound {
 public:
  audSound();
  virtual ~audSound();  // frees the data when owned

  // Points the sound at the sample data of a RIFF wave image of size bytes, without copying it. Returns 0,
  // -10 (no image), -300 (the first chunk is not the format chunk) or -100 (anything else the player
  // cannot play: data other than PCM, unsupported bits, channels or rate, a missing data chunk, a truncated
  // image). Every
  // failure leaves the sound without data.
  i32 LoadWave(const u8* image, u32 size);
  void SetLoop() { loop = 1; }
  void SetVolume(u32 v) { volume = v > 64 ? 64 : v; }
  void Unload();

  const u8* data = nullptr;  // 8-bit unsigned or 16-bit signed little-endian frames, left/right when stereo
  u8 eightBit = 0;
  u8 stereo = 0;
  u32 nativeRate = 0;
  u32 frames = 0;
  u32 volume = 64;
  u8 loop = 0;
  u32 pan = 128;
  i32 instanceLimit = -1;  // channels that may play this data at once; -1 unlimited
  u32 playbackRate = 1;
  u8 ownsData = 0;  // data was allocated with new[] and is freed with the sound
};
