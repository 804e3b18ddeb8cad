#include "os/headless/SimWaveOut.h"

#include <chrono>
#include <new>

namespace Os {

class SimWaveOut::Device : public WaveOutDevice {
 public:
  explicit Device(SimWaveOut* owner) : owner_(owner) {}

  u32 Prepare(WaveBlock* block) override {
    std::lock_guard<std::mutex> lock(owner_->mutex_);
    return WaveBlockQueue::Prepare(block);
  }
  u32 Unprepare(WaveBlock* block) override {
    std::lock_guard<std::mutex> lock(owner_->mutex_);
    return WaveBlockQueue::Unprepare(block);
  }
  u32 Write(WaveBlock* block) override {
    std::lock_guard<std::mutex> lock(owner_->mutex_);
    const u32 result = owner_->queue_.Write(block);
    if (result == kWaveOk) {
      ++owner_->writes_;
      owner_->written_.notify_all();
    }
    return result;
  }
  u32 Pause() override {
    std::lock_guard<std::mutex> lock(owner_->mutex_);
    owner_->paused_ = true;
    return kWaveOk;
  }
  u32 Restart() override {
    std::lock_guard<std::mutex> lock(owner_->mutex_);
    owner_->paused_ = false;
    return kWaveOk;
  }
  u32 Reset() override {
    std::deque<WaveBlock*> done;
    WaveOutCallback callback;
    std::uintptr_t instance;
    {
      std::lock_guard<std::mutex> lock(owner_->mutex_);
      done = owner_->queue_.CompleteAll();
      ++owner_->resets_;
      callback = owner_->callback_;
      instance = owner_->instance_;
    }
    for (WaveBlock* block : done) {
      if (callback != nullptr) {
        callback(this, kWaveMsgDone, instance, std::uintptr_t(block), 0);
      }
    }
    return kWaveOk;
  }

 private:
  SimWaveOut* owner_;
};

SimWaveOut::SimWaveOut(u32 deviceCount) : deviceCount_(deviceCount) {}

SimWaveOut::~SimWaveOut() { delete device_; }

u32 SimWaveOut::DeviceCount() {
  std::lock_guard<std::mutex> lock(mutex_);
  return deviceCount_;
}

u32 SimWaveOut::Open(WaveOutDevice** device, u32 id, const WaveFormat& format, WaveOutCallback callback,
                     std::uintptr_t instance) {
  if (device == nullptr) {
    return kWaveInvalidParam;
  }
  *device = nullptr;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++attempts_;
    if (id >= deviceCount_) {
      return kWaveBadDevice;
    }
    if (id < failBelow_) {
      return kWaveNoMemory;
    }
    if (device_ != nullptr) {
      return kWaveAllocated;
    }
    if (format.formatTag != kWaveFormatPcm || format.channels < 1 || format.channels > 2 ||
        (format.bitsPerSample != 8 && format.bitsPerSample != 16) || format.samplesPerSecond == 0) {
      return kWaveBadFormat;
    }
    device_ = new (std::nothrow) Device(this);
    if (device_ == nullptr) {
      return kWaveNoMemory;
    }
    format_ = format;
    openedId_ = id;
    paused_ = false;
    callback_ = callback;
    instance_ = instance;
    ++opens_;
    *device = device_;
  }
  if (callback != nullptr) {
    callback(*device, kWaveMsgOpen, instance, 0, 0);
  }
  return kWaveOk;
}

u32 SimWaveOut::Close(WaveOutDevice* device) {
  WaveOutCallback callback;
  std::uintptr_t instance;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (device == nullptr || device != device_) {
      return kWaveInvalidHandle;
    }
    if (!queue_.Empty()) {
      return kWaveStillPlaying;
    }
    callback = callback_;
    instance = instance_;
  }
  if (callback != nullptr) {
    callback(device, kWaveMsgClose, instance, 0, 0);
  }
  std::lock_guard<std::mutex> lock(mutex_);
  delete device_;
  device_ = nullptr;
  callback_ = nullptr;
  ++closes_;
  return kWaveOk;
}

void SimWaveOut::SetDeviceCount(u32 count) {
  std::lock_guard<std::mutex> lock(mutex_);
  deviceCount_ = count;
}

void SimWaveOut::FailOpensBelow(u32 id) {
  std::lock_guard<std::mutex> lock(mutex_);
  failBelow_ = id;
}

u32 SimWaveOut::PlayBlocks(u32 n) {
  u32 played = 0;
  for (; played < n; ++played) {
    WaveBlock* block;
    WaveOutDevice* device;
    WaveOutCallback callback;
    std::uintptr_t instance;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      device = device_;
      if (device_ == nullptr || paused_ || queue_.Empty()) {
        break;
      }
      block = queue_.CompleteFront();
      captured_.insert(captured_.end(), block->data, block->data + block->length);
      callback = callback_;
      instance = instance_;
    }
    if (callback != nullptr) {
      callback(device, kWaveMsgDone, instance, std::uintptr_t(block), 0);
    }
  }
  return played;
}

bool SimWaveOut::WaitForWrites(u64 count, u32 ms) {
  std::unique_lock<std::mutex> lock(mutex_);
  return written_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return writes_ >= count; });
}

bool SimWaveOut::IsOpen() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return device_ != nullptr;
}
bool SimWaveOut::Paused() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return paused_;
}
u32 SimWaveOut::OpenedId() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return openedId_;
}
WaveFormat SimWaveOut::Format() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return format_;
}
u32 SimWaveOut::Queued() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return queue_.Size();
}
u64 SimWaveOut::Writes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return writes_;
}
u32 SimWaveOut::Opens() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return opens_;
}
u32 SimWaveOut::Closes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return closes_;
}
u32 SimWaveOut::Resets() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return resets_;
}
u32 SimWaveOut::OpenAttempts() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return attempts_;
}
std::vector<u8> SimWaveOut::Captured() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return captured_;
}
void SimWaveOut::ClearCaptured() {
  std::lock_guard<std::mutex> lock(mutex_);
  captured_.clear();
}

}  // namespace Os
