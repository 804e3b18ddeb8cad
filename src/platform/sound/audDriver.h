// The sound library's output driver: the abstract interface the speaker mixes into.
#pragma once
#include <cstdint>

#include "os/Types.h"

// Output format: rate in samples per second per channel; flags 2 = 16-bit samples (else 8-bit), 1 with 16
// or 2 with 32 may not be set together, 0 is refused; channels 1 or 2.
struct audFormat {
  u32 rate;
  u32 flags;
  u32 channels;
};

inline constexpr u32 audFormat16Bit = 2;

// Fills the whole block of output memory.
using audMixCallback = void (*)(std::uintptr_t user, u8* block, u32 bytes);

// Result codes of the sound library.
inline constexpr i32 audOk = 0;
inline constexpr i32 audErrBadArgs = -1;
inline constexpr i32 audErrAlreadyOpen = -2;
inline constexpr i32 audErrNotOpen = -3;
inline constexpr i32 audErrNoThread = -4;
inline constexpr i32 audErrNoDriverMemory = -5;
inline constexpr i32 audErrNoMemory = -10;
inline constexpr i32 audErrBadData = -100;
inline constexpr i32 audErrFormatNotFirst = -300;
inline constexpr i32 audErrNotPlayable = -1000;

class audDriver {
 public:
  virtual ~audDriver() = default;  // does not close: the owner closes first
  virtual i32 Open(const audFormat* format, u32 bufferFrames, audMixCallback callback, std::uintptr_t user) = 0;
  virtual i32 Close() = 0;
  virtual void Lock() = 0;
  virtual void Unlock() = 0;
  virtual void Pause() = 0;
  virtual void Resume() = 0;
};
