// Wave-out over an SDL audio device: the device's callback drains the queued blocks in order, reports each
// one done as soon as it has been copied out, and plays silence (counted) when the queue runs dry.
#pragma once
#include <atomic>
#include <mutex>

#include "os/WaveBlockQueue.h"
#include "os/WaveOut.h"

namespace Os {

class SdlWaveOut : public WaveOut {
 public:
  SdlWaveOut() = default;
  ~SdlWaveOut() override;

  // One device (the host's default output) when SDL's audio starts, else none.
  u32 DeviceCount() override;
  u32 Open(WaveOutDevice** device, u32 id, const WaveFormat& format, WaveOutCallback callback,
           std::uintptr_t instance) override;
  u32 Close(WaveOutDevice* device) override;

  // Output bytes filled with silence because no block was queued.
  u64 UnderrunBytes() const { return underrunBytes_.load(std::memory_order_relaxed); }
  // Blocks played to the end.
  u64 BlocksPlayed() const { return blocksPlayed_.load(std::memory_order_relaxed); }

 private:
  class Device;
  friend class Device;

  bool StartAudio();

  bool audioStarted_ = false;
  bool audioFailed_ = false;
  Device* device_ = nullptr;
  std::atomic<u64> underrunBytes_{0};
  std::atomic<u64> blocksPlayed_{0};
};

}  // namespace Os
