#include "os/sdl/SdlWaveOut.h"

#include <SDL.h>

#include <cstring>
#include <new>
#include <vector>

namespace Os {

class SdlWaveOut::Device : public WaveOutDevice {
 public:
  Device(SdlWaveOut* owner, WaveOutCallback callback, std::uintptr_t instance, u8 silence)
      : owner_(owner), callback_(callback), instance_(instance), silence_(silence) {}

  bool OpenAudio(const WaveFormat& format) {
    SDL_AudioSpec want;
    SDL_zero(want);
    want.freq = int(format.samplesPerSecond);
    want.format = format.bitsPerSample == 16 ? AUDIO_S16LSB : AUDIO_U8;
    want.channels = u8(format.channels);
    want.samples = 1024;
    want.callback = &Device::AudioCallback;
    want.userdata = this;
    SDL_AudioSpec have;
    // No changes allowed: SDL converts to what the hardware plays.
    id_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (id_ == 0) {
      return false;
    }
    SDL_PauseAudioDevice(id_, 0);
    return true;
  }

  void CloseAudio() {
    if (id_ != 0) {
      SDL_CloseAudioDevice(id_);  // waits for a running callback
      id_ = 0;
    }
  }

  u32 Prepare(WaveBlock* block) override {
    std::lock_guard<std::mutex> lock(mutex_);
    return WaveBlockQueue::Prepare(block);
  }
  u32 Unprepare(WaveBlock* block) override {
    std::lock_guard<std::mutex> lock(mutex_);
    return WaveBlockQueue::Unprepare(block);
  }
  u32 Write(WaveBlock* block) override {
    std::lock_guard<std::mutex> lock(mutex_);
    return queue_.Write(block);
  }
  u32 Pause() override {
    std::lock_guard<std::mutex> lock(mutex_);
    paused_ = true;
    return kWaveOk;
  }
  u32 Restart() override {
    std::lock_guard<std::mutex> lock(mutex_);
    paused_ = false;
    return kWaveOk;
  }
  u32 Reset() override {
    std::deque<WaveBlock*> done;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      done = queue_.CompleteAll();
      offset_ = 0;
    }
    for (WaveBlock* block : done) {
      Done(block);
    }
    return kWaveOk;
  }

 private:
  void Done(WaveBlock* block) {
    if (callback_ != nullptr) {
      callback_(this, kWaveMsgDone, instance_, std::uintptr_t(block), 0);
    }
  }

  static void SDLCALL AudioCallback(void* user, Uint8* stream, int length) {
    static_cast<Device*>(user)->Fill(stream, u32(length));
  }

  // Runs on SDL's audio thread.
  void Fill(u8* stream, u32 length) {
    WaveBlock* finished[64];
    u32 finishedCount = 0;
    u32 filled = 0;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (!paused_) {
        while (filled < length && !queue_.Empty() && finishedCount < 64) {
          WaveBlock* block = queue_.Front();
          const u32 take = block->length - offset_ < length - filled ? block->length - offset_ : length - filled;
          std::memcpy(stream + filled, block->data + offset_, take);
          filled += take;
          offset_ += take;
          if (offset_ >= block->length) {
            queue_.CompleteFront();
            offset_ = 0;
            finished[finishedCount++] = block;
          }
        }
        if (filled < length) {
          owner_->underrunBytes_.fetch_add(length - filled, std::memory_order_relaxed);
        }
      }
    }
    if (filled < length) {
      std::memset(stream + filled, silence_, length - filled);
    }
    owner_->blocksPlayed_.fetch_add(finishedCount, std::memory_order_relaxed);
    for (u32 i = 0; i < finishedCount; ++i) {
      Done(finished[i]);
    }
  }

  SdlWaveOut* owner_;
  WaveOutCallback callback_;
  std::uintptr_t instance_;
  u8 silence_;
  SDL_AudioDeviceID id_ = 0;
  std::mutex mutex_;
  WaveBlockQueue queue_;
  u32 offset_ = 0;
  bool paused_ = false;
};

SdlWaveOut::~SdlWaveOut() {
  if (device_ != nullptr) {
    device_->CloseAudio();
    delete device_;
  }
  if (audioStarted_) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
}

bool SdlWaveOut::StartAudio() {
  if (!audioStarted_ && !audioFailed_) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
      audioStarted_ = true;
    } else {
      audioFailed_ = true;
    }
  }
  return audioStarted_;
}

u32 SdlWaveOut::DeviceCount() { return StartAudio() ? 1 : 0; }

u32 SdlWaveOut::Open(WaveOutDevice** device, u32 id, const WaveFormat& format, WaveOutCallback callback,
                     std::uintptr_t instance) {
  if (device == nullptr) {
    return kWaveInvalidParam;
  }
  *device = nullptr;
  if (!StartAudio() || id != 0) {
    return kWaveBadDevice;
  }
  if (device_ != nullptr) {
    return kWaveAllocated;
  }
  if (format.formatTag != kWaveFormatPcm || format.channels < 1 || format.channels > 2 ||
      (format.bitsPerSample != 8 && format.bitsPerSample != 16) || format.samplesPerSecond == 0) {
    return kWaveBadFormat;
  }
  Device* d = new (std::nothrow) Device(this, callback, instance, format.bitsPerSample == 16 ? 0 : 128);
  if (d == nullptr) {
    return kWaveNoMemory;
  }
  if (!d->OpenAudio(format)) {
    delete d;
    return kWaveBadDevice;
  }
  device_ = d;
  *device = d;
  if (callback != nullptr) {
    callback(d, kWaveMsgOpen, instance, 0, 0);
  }
  return kWaveOk;
}

u32 SdlWaveOut::Close(WaveOutDevice* device) {
  if (device == nullptr || device != device_) {
    return kWaveInvalidHandle;
  }
  device_->CloseAudio();
  delete device_;
  device_ = nullptr;
  return kWaveOk;
}

}  // namespace Os
