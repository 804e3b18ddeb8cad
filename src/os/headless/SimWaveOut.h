// A headless wave-out device for tests: blocks complete only when the test plays them, every byte played
// is kept, and opening can be made to fail. One device may be open at a time.
#pragma once
#include <condition_variable>
#include <mutex>
#include <vector>

#include "os/WaveBlockQueue.h"
#include "os/WaveOut.h"

namespace Os {

class SimWaveOut : public WaveOut {
 public:
  explicit SimWaveOut(u32 deviceCount = 1);
  ~SimWaveOut() override;

  u32 DeviceCount() override;
  u32 Open(WaveOutDevice** device, u32 id, const WaveFormat& format, WaveOutCallback callback,
           std::uintptr_t instance) override;
  u32 Close(WaveOutDevice* device) override;

  // Set-up.
  void SetDeviceCount(u32 count);
  // Devices below this id refuse to open (0 = none refuse; DeviceCount() or more = every one refuses).
  void FailOpensBelow(u32 id);

  // Plays up to n queued blocks in queue order, keeping their bytes and reporting each done; a paused or
  // closed device plays nothing. Returns how many were played.
  u32 PlayBlocks(u32 n);
  // Waits (up to ms, as a guard against a hang) until at least count blocks have been written in all.
  bool WaitForWrites(u64 count, u32 ms = 10000);

  // What happened.
  bool IsOpen() const;
  bool Paused() const;
  u32 OpenedId() const;  // id of the open (or last opened) device
  WaveFormat Format() const;
  u32 Queued() const;  // blocks waiting to be played
  u64 Writes() const;  // blocks written since construction
  u32 Opens() const;   // successful opens
  u32 Closes() const;
  u32 Resets() const;
  u32 OpenAttempts() const;
  std::vector<u8> Captured() const;  // every byte played, in order
  void ClearCaptured();

 private:
  class Device;
  friend class Device;

  mutable std::mutex mutex_;
  std::condition_variable written_;
  u32 deviceCount_;
  u32 failBelow_ = 0;
  Device* device_ = nullptr;
  WaveFormat format_;
  u32 openedId_ = 0;
  bool paused_ = false;
  WaveBlockQueue queue_;
  std::vector<u8> captured_;
  u64 writes_ = 0;
  u32 opens_ = 0;
  u32 closes_ = 0;
  u32 resets_ = 0;
  u32 attempts_ = 0;
  WaveOutCallback callback_ = nullptr;
  std::uintptr_t instance_ = 0;
};

}  // namespace Os
