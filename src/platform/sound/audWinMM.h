// The wave-out output driver: a ring of equal blocks queued on a wave-out device, refilled in ring order
// by a feeder thread as the device hands each block back.
#pragma once
#include <atomic>

#include "os/Sync.h"
#include "os/Thread.h"
#include "os/WaveOut.h"
#include "platform/sound/audDriver.h"

class audWinMM : public audDriver {
 public:
  // Each block holds this many milliseconds of output.
  static constexpr u32 kBlockMs = 30;
  static constexpr u32 kMinBlocks = 4;
  static constexpr u32 kMaxBlocks = 32;

  audWinMM();
  ~audWinMM() override;  // closes when still open

  i32 Open(const audFormat* format, u32 bufferFrames, audMixCallback callback, std::uintptr_t user) override;
  i32 Close() override;
  void Lock() override;
  void Unlock() override;
  void Pause() override;
  void Resume() override;

  bool IsOpen() const { return open_.load(std::memory_order_acquire); }
  bool IsPaused() const { return paused_.load(std::memory_order_acquire); }
  u32 BlockCount() const { return blockCount_; }
  u32 BlockLength() const { return blockLength_; }
  u32 NextBlock() const { return nextBlock_.load(std::memory_order_relaxed); }
  const Os::Thread* FeederThread() const { return thread_; }

 private:
  static u32 Feeder(void* argument);
  static void DeviceCallback(Os::WaveOutDevice* device, u32 message, std::uintptr_t instance, std::uintptr_t param1,
                             std::uintptr_t param2);
  void RefillNextBlock();
  // Tells a feeder that has not been started (or is held) to end, and waits for it.
  void EndFeeder();
  void FreeResources();

  Os::WaveOutDevice* device_ = nullptr;
  Os::WaveFormat waveFormat_;
  Os::WaveBlock* headers_ = nullptr;
  u32 blockCount_ = 0;
  std::atomic<u32> nextBlock_{0};
  Os::Thread* thread_ = nullptr;
  Os::Event* ended_ = nullptr;
  Os::Event* stop_ = nullptr;
  Os::Semaphore* semaphore_ = nullptr;
  Os::CriticalSection* lock_ = nullptr;
  audFormat format_{};
  u8* buffer_ = nullptr;
  u32 bytesPerFrame_ = 0;
  u32 blockLength_ = 0;
  u32 bufferLength_ = 0;
  audMixCallback callback_ = nullptr;
  std::uintptr_t user_ = 0;
  std::atomic<bool> open_{false};
  std::atomic<bool> paused_{true};
};
