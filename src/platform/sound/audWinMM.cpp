#include "platform/sound/audWinMM.h"

#include <cstring>
#include <new>

namespace {
// The feeder runs just below time-critical so that a returned block is refilled at once.
constexpr i32 kFeederPriority = 1;
constexpr u32 kStopWaitMs = 1;
constexpr u32 kBlockWaitMs = 3;
}  // namespace

audWinMM::audWinMM() = default;

audWinMM::~audWinMM() {
  // The owner closes first; closing here too keeps a forgotten feeder from outliving its driver.
  if (IsOpen()) {
    Close();
  }
}

i32 audWinMM::Open(const audFormat* format, u32 bufferFrames, audMixCallback callback, std::uintptr_t user) {
  if (IsOpen()) {
    return audErrAlreadyOpen;
  }
  if (format == nullptr || callback == nullptr) {
    return audErrBadArgs;
  }
  callback_ = callback;
  user_ = user;
  format_ = *format;
  const u32 flags = format_.flags;
  if (flags == 0 || (flags & 0x11) == 0x11 || (flags & 0x22) == 0x22) {
    return audErrBadArgs;
  }
  if (format_.channels == 0 || format_.channels > 2) {
    return audErrBadArgs;
  }
  // A rate of 0 would divide by zero below, and rates this high overflow the block arithmetic.
  if (format_.rate == 0 || format_.rate > 1'000'000) {
    return audErrBadArgs;
  }

  const u32 milliseconds = u32(u64(bufferFrames) * 1000 / format_.rate);
  u32 count = milliseconds / kBlockMs;
  if (count < kMinBlocks) {
    count = kMinBlocks;
  }
  if (count > kMaxBlocks) {
    count = kMaxBlocks;
  }
  blockCount_ = count;
  nextBlock_.store(0, std::memory_order_relaxed);

  const bool sixteen = (flags & audFormat16Bit) != 0;
  bytesPerFrame_ = (sixteen ? 2 : 1) * format_.channels;
  blockLength_ = (format_.rate * bytesPerFrame_ * kBlockMs / 1000 + 7) & ~7u;
  bufferLength_ = blockLength_ * blockCount_;
  buffer_ = new (std::nothrow) u8[bufferLength_];
  if (buffer_ == nullptr) {
    return audErrNoMemory;
  }
  std::memset(buffer_, sixteen ? 0 : 128, bufferLength_);

  // The lock, the semaphore and both events exist before the feeder, so that every failure below can
  // end the feeder again instead of leaving a held thread behind.
  Os::SyncService& sync = Os::Sync();
  lock_ = sync.CreateCriticalSection();
  semaphore_ = sync.CreateSemaphore(0, i32(blockCount_ + 1));
  ended_ = sync.CreateEvent(false, false);
  stop_ = sync.CreateEvent(false, false);
  if (lock_ == nullptr || semaphore_ == nullptr || ended_ == nullptr || stop_ == nullptr) {
    FreeResources();
    return audErrNoThread;
  }

  thread_ = Os::Threads().CreateThread(&audWinMM::Feeder, this, true);
  if (thread_ == nullptr) {
    FreeResources();
    return audErrNoThread;
  }
  thread_->SetPriority(kFeederPriority);

  waveFormat_.formatTag = Os::kWaveFormatPcm;
  waveFormat_.channels = u16(format_.channels);
  waveFormat_.samplesPerSecond = format_.rate;
  waveFormat_.bitsPerSample = sixteen ? 16 : 8;
  waveFormat_.blockAlign = u16(waveFormat_.bitsPerSample / 8 * format_.channels);
  waveFormat_.averageBytesPerSecond = format_.rate * waveFormat_.blockAlign;
  waveFormat_.extraBytes = 0;

  Os::WaveOut& wave = Os::WaveOutDevices();
  const u32 devices = wave.DeviceCount();
  device_ = nullptr;
  for (u32 id = 0; id < devices; ++id) {
    Os::WaveOutDevice* device = nullptr;
    if (wave.Open(&device, id, waveFormat_, &audWinMM::DeviceCallback, std::uintptr_t(this)) == Os::kWaveOk &&
        device != nullptr) {
      device_ = device;
      break;
    }
  }
  if (device_ == nullptr) {
    EndFeeder();
    FreeResources();
    return audErrBadArgs;
  }
  device_->Pause();

  headers_ = new (std::nothrow) Os::WaveBlock[blockCount_];
  if (headers_ == nullptr) {
    wave.Close(device_);
    device_ = nullptr;
    EndFeeder();
    FreeResources();
    return audErrNoMemory;
  }
  for (u32 i = 0; i < blockCount_; ++i) {
    Os::WaveBlock& block = headers_[i];
    block.data = buffer_ + blockLength_ * i;
    block.length = blockLength_;
    if (device_->Prepare(&block) != Os::kWaveOk || device_->Write(&block) != Os::kWaveOk) {
      // A device that refuses its blocks cannot play: take back what it holds and give up.
      device_->Reset();
      for (u32 j = 0; j <= i; ++j) {
        device_->Unprepare(&headers_[j]);
      }
      wave.Close(device_);
      device_ = nullptr;
      EndFeeder();
      FreeResources();
      return audErrBadArgs;
    }
  }

  paused_.store(true, std::memory_order_release);
  open_.store(true, std::memory_order_release);
  return audOk;
}

i32 audWinMM::Close() {
  if (!IsOpen()) {
    return audErrNotOpen;
  }
  lock_->Enter();
  thread_->Resume();  // a paused feeder must be able to finish
  stop_->Set();
  lock_->Leave();

  ended_->Wait(Os::kWaitForever);
  delete thread_;  // joins: the feeder has returned
  thread_ = nullptr;

  device_->Reset();
  for (u32 i = 0; i < blockCount_; ++i) {
    device_->Unprepare(&headers_[i]);
  }
  Os::WaveOutDevices().Close(device_);
  device_ = nullptr;

  open_.store(false, std::memory_order_release);
  FreeResources();
  return audOk;
}

void audWinMM::Lock() {
  if (IsOpen()) {
    lock_->Enter();
  }
}

void audWinMM::Unlock() {
  if (IsOpen()) {
    lock_->Leave();
  }
}

void audWinMM::Pause() {
  if (!IsOpen() || IsPaused()) {
    return;
  }
  lock_->Enter();
  device_->Pause();
  thread_->Suspend();  // the feeder stops at its next safe point, never inside a refill
  lock_->Leave();
  paused_.store(true, std::memory_order_release);
}

void audWinMM::Resume() {
  if (!IsOpen() || !IsPaused()) {
    return;
  }
  lock_->Enter();
  thread_->Resume();
  device_->Restart();
  lock_->Leave();
  paused_.store(false, std::memory_order_release);
}

u32 audWinMM::Feeder(void* argument) {
  auto* driver = static_cast<audWinMM*>(argument);
  if (driver == nullptr) {
    return 0;
  }
  Os::Thread* self = driver->thread_;
  while (!driver->stop_->Wait(kStopWaitMs)) {
    while (driver->semaphore_->Wait(kBlockWaitMs)) {
      // The count just taken stays ours across a suspension: the block is refilled once resumed.
      self->SafePoint();
      driver->lock_->Enter();
      while (self->SuspendRequested()) {
        driver->lock_->Leave();
        self->SafePoint();
        driver->lock_->Enter();
      }
      driver->RefillNextBlock();
      driver->lock_->Leave();
    }
    self->SafePoint();
  }
  driver->ended_->Set();
  return 0;
}

void audWinMM::RefillNextBlock() {
  const u32 index = nextBlock_.load(std::memory_order_relaxed);
  Os::WaveBlock& block = headers_[index];
  u8* data = buffer_ + blockLength_ * index;
  callback_(user_, data, blockLength_);
  device_->Unprepare(&block);
  block = Os::WaveBlock{};
  block.data = data;
  block.length = blockLength_;
  device_->Prepare(&block);
  device_->Write(&block);
  nextBlock_.store(index + 1 == blockCount_ ? 0 : index + 1, std::memory_order_relaxed);
}

void audWinMM::DeviceCallback(Os::WaveOutDevice*, u32 message, std::uintptr_t instance, std::uintptr_t,
                              std::uintptr_t) {
  if (message == Os::kWaveMsgDone && instance != 0) {
    auto* driver = reinterpret_cast<audWinMM*>(instance);
    driver->semaphore_->Release(1);
  }
}

void audWinMM::EndFeeder() {
  if (thread_ == nullptr) {
    return;
  }
  stop_->Set();
  while (thread_->SuspendCount() > 0) {
    thread_->Resume();
  }
  ended_->Wait(Os::kWaitForever);
  delete thread_;
  thread_ = nullptr;
}

void audWinMM::FreeResources() {
  delete[] headers_;
  headers_ = nullptr;
  delete[] buffer_;
  buffer_ = nullptr;
  delete stop_;
  stop_ = nullptr;
  delete ended_;
  ended_ = nullptr;
  delete semaphore_;
  semaphore_ = nullptr;
  delete lock_;
  lock_ = nullptr;
}
