#include "platform/sound/audSpeaker.h"

#include <cstring>
#include <new>

#include "platform/sound/audWinMM.h"

namespace {

inline i32 Clamp(i32 v, i32 low, i32 high) { return v < low ? low : (v > high ? high : v); }

inline i32 Sample16(const u8* p) { return i16(u16(p[0] | p[1] << 8)); }

}  // namespace

audSpeaker::audSpeaker() = default;

audSpeaker::~audSpeaker() { Close(); }

i32 audSpeaker::Open(u32, u32) {
  if (open_) {
    return audErrAlreadyOpen;
  }
  // A driver left from an attempt that failed goes before a new one is made.
  delete driver_;
  driver_ = new (std::nothrow) audWinMM();
  if (driver_ == nullptr) {
    return audErrNoDriverMemory;
  }
  const audFormat format{kOutputRate, 18, 1};
  const i32 result =
      driver_->Open(&format, latencyMs_ * kOutputRate / 1000, &audSpeaker::MixCallback, std::uintptr_t(this));
  if (result != 0) {
    delete driver_;
    driver_ = nullptr;
    return result;
  }
  outputRate_ = kOutputRate;
  sixteenBit_ = (format.flags & audFormat16Bit) ? 1 : 0;
  stereo_ = format.channels - 1;
  BuildTables();

  // The feeder is held until Resume below, so nothing mixes while the channels are made.
  musicChannels_ = new (std::nothrow) audMusicChannel[kMusicChannels];
  activeMusic_ = new (std::nothrow) audMusicChannel*[kMusicChannels];
  soundChannels_ = new (std::nothrow) audSoundChannel[kSoundChannels];
  activeSounds_ = new (std::nothrow) audSoundChannel*[kSoundChannels];
  if (musicChannels_ == nullptr || activeMusic_ == nullptr || soundChannels_ == nullptr || activeSounds_ == nullptr) {
    driver_->Close();
    delete driver_;
    driver_ = nullptr;
    FreeChannels();
    return audErrNoMemory;
  }
  musicCount_ = kMusicChannels;
  audStore<u32>(musicMaster_, 64);
  for (u32 i = 0; i < musicCount_; ++i) {
    musicChannels_[i].speaker = this;
  }
  soundCount_ = kSoundChannels;
  audStore<u32>(soundMaster_, 64);
  for (u32 i = 0; i < soundCount_; ++i) {
    soundChannels_[i].speaker = this;
  }
  driver_->Resume();
  open_ = 1;
  return audOk;
}

i32 audSpeaker::Close() {
  if (open_) {
    driver_->Close();
    open_ = 0;
  }
  delete driver_;
  driver_ = nullptr;
  FreeChannels();
  return audOk;
}

void audSpeaker::FreeChannels() {
  delete[] musicChannels_;
  musicChannels_ = nullptr;
  delete[] activeMusic_;
  activeMusic_ = nullptr;
  delete[] soundChannels_;
  soundChannels_ = nullptr;
  delete[] activeSounds_;
  activeSounds_ = nullptr;
  musicCount_ = 0;
  soundCount_ = 0;
}

void audSpeaker::Pause() {
  if (open_) {
    driver_->Pause();
  }
}

void audSpeaker::Resume() {
  if (open_) {
    driver_->Resume();
  }
}

void audSpeaker::BuildTables() {
  for (u32 p = 0; p < audStepTableSize; ++p) {
    stepTable_[p] = audStepForPeriod(p, outputRate_);
    noteTable_[p] = u16(audNearestNote(i32(p)));
  }
}

void audSpeaker::SetMusicVolume(i32 v) {
  audStore<u32>(musicMaster_, v < 0 || v > 64 ? 64u : u32(v));
  for (u32 i = 0; i < musicCount_; ++i) {
    musicChannels_[i].SetVolume(i32(audLoad(musicChannels_[i].volume)));
  }
}

void audSpeaker::SetSoundVolume(i32 v) {
  audStore<u32>(soundMaster_, v < 0 || v > 64 ? 64u : u32(v));
  for (u32 i = 0; i < soundCount_; ++i) {
    soundChannels_[i].SetVolume(i32(audLoad(soundChannels_[i].volume)));
  }
}

audChannel* audSpeaker::GetChannel(i32 handle) {
  if (handle < 0) {
    return nullptr;
  }
  const u32 h = u32(handle);
  if (h < musicCount_) {
    return &musicChannels_[h];
  }
  if (h < musicCount_ + soundCount_) {
    return &soundChannels_[h - musicCount_];
  }
  return nullptr;
}

void audSpeaker::StopMusic() {
  if (!open_) {
    return;
  }
  driver_->Lock();
  for (u32 i = 0; i < musicCount_; ++i) {
    musicChannels_[i].Stop();
  }
  driver_->Unlock();
}

void audSpeaker::StopSounds() {
  if (!open_) {
    return;
  }
  driver_->Lock();
  for (u32 i = 0; i < soundCount_; ++i) {
    soundChannels_[i].Stop();
  }
  driver_->Unlock();
}

i32 audSpeaker::PlaySound(const audSound* sound, u32 flags) {
  if (!open_ || sound == nullptr || sound->data == nullptr) {
    return audErrNotPlayable;
  }
  driver_->Lock();
  audSoundChannel* candidate = nullptr;
  u32 candidateIndex = 0;
  i32 instances = 0;
  for (u32 i = 0; i < soundCount_; ++i) {
    audSoundChannel& channel = soundChannels_[i];
    if (channel.IsFree()) {
      candidate = &channel;
      candidateIndex = i;
      if (sound->instanceLimit == -1) {
        break;
      }
    } else if (channel.data == sound->data) {
      ++instances;
    }
  }
  if ((sound->instanceLimit != -1 && instances >= sound->instanceLimit) || candidate == nullptr) {
    driver_->Unlock();
    return audErrNotPlayable;
  }
  audSoundChannel& channel = *candidate;
  channel.data = sound->data;
  channel.rate = sound->playbackRate;
  channel.recomputeStep = 1;
  channel.position = 0;
  channel.end = u64(sound->frames) << 8;
  channel.loop = (sound->loop || (flags & audPlayLooped)) ? 1 : 0;
  audStore<u32>(channel.pan, sound->pan > 255 ? 255u : sound->pan);
  channel.eightBit = sound->eightBit;
  channel.stereo = sound->stereo;
  channel.SetVolume(i32(sound->volume > 64 ? 64 : sound->volume));
  channel.Start(false);
  driver_->Unlock();
  return i32(musicCount_ + candidateIndex);
}

i32 audSpeaker::PlayMusic(const audMusic* music, u32) {
  if (!open_ || music == nullptr || music->header == nullptr) {
    return audErrNotPlayable;
  }
  if (audMusic::CheckHeader(music->header) != 0) {
    return audErrNotPlayable;
  }
  const u32 tracks = audMusic::ChannelCountFromTag(music->header + audModule::kTag);
  driver_->Lock();
  audMusicChannel* channel = nullptr;
  u32 index = 0;
  for (u32 i = 0; i < musicCount_; ++i) {
    if (musicChannels_[i].IsFree()) {
      channel = &musicChannels_[i];
      index = i;
      break;
    }
  }
  if (channel == nullptr) {
    driver_->Unlock();
    return audErrNotPlayable;
  }
  channel->Begin(*music, tracks);
  driver_->Unlock();
  return i32(index);
}

u32 audSpeaker::CountPlayingSounds() const {
  u32 count = 0;
  for (u32 i = 0; i < soundCount_; ++i) {
    if (soundChannels_[i].IsPlaying()) {
      ++count;
    }
  }
  return count;
}

void audSpeaker::MixCallback(std::uintptr_t user, u8* block, u32 bytes) {
  if (user != 0) {
    reinterpret_cast<audSpeaker*>(user)->Mix(block, bytes);
  }
}

void audSpeaker::Mix(u8* block, u32 bytes) {
  u32 musicActive = 0;
  for (u32 i = 0; i < musicCount_; ++i) {
    if (musicChannels_[i].IsPlaying()) {
      activeMusic_[musicActive++] = &musicChannels_[i];
    }
  }
  u32 soundActive = 0;
  for (u32 i = 0; i < soundCount_; ++i) {
    if (soundChannels_[i].IsPlaying()) {
      activeSounds_[soundActive++] = &soundChannels_[i];
    }
  }
  if (musicActive == 0 && soundActive == 0) {
    std::memset(block, sixteenBit_ ? 0 : 128, bytes);
    return;
  }
  const u32 samples = sixteenBit_ ? bytes / 2 : bytes;
  const bool stereoOut = stereo_ != 0;
  const u32 frames = stereoOut ? samples / 2 : samples;
  const i32 outputStep = i32(outputRate_ << 8);
  u8* out = block;

  for (u32 f = 0; f < frames; ++f) {
    i32 musicLeft = 0;
    i32 musicRight = 0;
    i32 soundLeft = 0;
    i32 soundRight = 0;

    for (u32 m = 0; m < musicActive; ++m) {
      audMusicChannel& channel = *activeMusic_[m];
      if (channel.IsPlaying()) {
        channel.Advance(musicLeft, musicRight, stereoOut);
      }
    }

    for (u32 s = 0; s < soundActive; ++s) {
      audSoundChannel& channel = *activeSounds_[s];
      if (!channel.IsPlaying()) {
        continue;
      }
      if (channel.recomputeStep) {
        channel.step = u32((u64(channel.rate) << 16) / u64(outputStep));
        channel.recomputeStep = 0;
      }
      if (channel.loop && channel.position >= channel.end) {
        channel.position -= channel.end;
      }
      if (channel.position >= channel.end) {
        channel.Stop();
        continue;
      }
      const u64 frame = channel.position >> 8;
      i32 left;
      i32 right;
      if (channel.eightBit) {
        if (channel.stereo) {
          left = (i32(channel.data[2 * frame]) - 128) * 256;
          right = (i32(channel.data[2 * frame + 1]) - 128) * 256;
        } else {
          left = right = (i32(channel.data[frame]) - 128) * 256;
        }
      } else if (channel.stereo) {
        left = Sample16(channel.data + 4 * frame);
        right = Sample16(channel.data + 4 * frame + 2);
      } else {
        left = right = Sample16(channel.data + 2 * frame);
      }
      const i32 v = i32(audLoad(channel.effective));
      if (!stereoOut) {
        soundLeft += channel.stereo ? v * left + v * right : v * left;
      } else {
        const i32 pan = i32(audLoad(channel.pan));
        if (pan == 128) {
          soundLeft += v * left;
          soundRight += v * right;
        } else {
          const i32 r = (2 * v * pan) >> 8;
          const i32 l = 2 * v - r;
          if (channel.stereo) {
            soundLeft += l * (left + right);
            soundRight += r * (left + right);
          } else {
            soundLeft += l * left;
            soundRight += r * left;
          }
        }
      }
      channel.position += channel.step;
    }

    if (sixteenBit_) {
      const i32 value = Clamp(musicLeft + (soundLeft >> 7), -32768, 32767);
      out[0] = u8(value);
      out[1] = u8(u32(value) >> 8);
      out += 2;
      if (stereoOut) {
        const i32 r = Clamp(musicRight + (soundRight >> 7), -32768, 32767);
        out[0] = u8(r);
        out[1] = u8(u32(r) >> 8);
        out += 2;
      }
    } else {
      *out++ = u8(Clamp((musicLeft + (soundLeft >> 7)) >> 8, -128, 127) + 128);
      if (stereoOut) {
        *out++ = u8(Clamp((musicRight + (soundRight >> 7)) >> 8, -128, 127) + 128);
      }
    }
  }
}
