// Wave-out audio: devices that play PCM blocks queued in order and report each finished block through a
// callback. Codes, messages and block flags keep the handheld's values.
#pragma once
#include <cstdint>

#include "os/Types.h"

namespace Os {

inline constexpr u16 kWaveFormatPcm = 1;

struct WaveFormat {
  u16 formatTag = kWaveFormatPcm;
  u16 channels = 1;
  u32 samplesPerSecond = 44100;
  u32 averageBytesPerSecond = 88200;
  u16 blockAlign = 2;
  u16 bitsPerSample = 16;
  u16 extraBytes = 0;
};

// Block flags.
inline constexpr u32 kWaveBlockDone = 0x01;
inline constexpr u32 kWaveBlockPrepared = 0x02;
inline constexpr u32 kWaveBlockQueued = 0x10;

// One block of output memory as queued on a device.
struct WaveBlock {
  u8* data = nullptr;
  u32 length = 0;
  u32 flags = 0;
  std::uintptr_t user = 0;
};

// Messages to the callback.
inline constexpr u32 kWaveMsgOpen = 955;
inline constexpr u32 kWaveMsgClose = 956;
inline constexpr u32 kWaveMsgDone = 957;  // param1: the finished WaveBlock*

// Result codes.
inline constexpr u32 kWaveOk = 0;
inline constexpr u32 kWaveError = 1;
inline constexpr u32 kWaveBadDevice = 2;
inline constexpr u32 kWaveAllocated = 4;
inline constexpr u32 kWaveInvalidHandle = 5;
inline constexpr u32 kWaveNoMemory = 7;
inline constexpr u32 kWaveInvalidParam = 11;
inline constexpr u32 kWaveBadFormat = 32;
inline constexpr u32 kWaveStillPlaying = 33;
inline constexpr u32 kWaveUnprepared = 34;

class WaveOutDevice;

// Called by the device, on any thread, with the instance word given to Open.
using WaveOutCallback = void (*)(WaveOutDevice* device, u32 message, std::uintptr_t instance, std::uintptr_t param1,
                                 std::uintptr_t param2);

class WaveOutDevice {
 public:
  virtual ~WaveOutDevice() = default;
  virtual u32 Prepare(WaveBlock* block) = 0;
  virtual u32 Unprepare(WaveBlock* block) = 0;  // kWaveStillPlaying while it is queued
  virtual u32 Write(WaveBlock* block) = 0;      // queues a prepared block behind the others
  virtual u32 Pause() = 0;
  virtual u32 Restart() = 0;
  virtual u32 Reset() = 0;  // stops and completes every queued block (one done message each)
};

class WaveOut {
 public:
  virtual ~WaveOut() = default;
  virtual u32 DeviceCount() = 0;
  // Opens device id (0 .. DeviceCount() - 1) for format; *device receives it on success.
  virtual u32 Open(WaveOutDevice** device, u32 id, const WaveFormat& format, WaveOutCallback callback,
                   std::uintptr_t instance) = 0;
  // Closes and frees the device; kWaveStillPlaying (device kept) while blocks are queued.
  virtual u32 Close(WaveOutDevice* device) = 0;
};

WaveOut& WaveOutDevices();
void InstallWaveOut(WaveOut* w);  // nullptr restores the host default

}  // namespace Os
