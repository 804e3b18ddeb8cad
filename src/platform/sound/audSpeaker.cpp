#include "platform/sound/audSpeaker.h"

#include <bit>
#include <cstring>
#include <new>

#include "platform/sound/audWinMM.h"

namespace {

// Output frames mixed at a time.
constexpr u32 kChunk = 512;

inline i32 Clamp(i32 v, i32 low, i32 high) { return v < low ? low : (v > high ? high : v); }

// Output values of one side: music + sounds / 128, held to the sample's range. Whole chunks, so that the
// compiler may do several at once.
void Output16(i16* to, const i32* music, const i32* sound) {
  for (u32 k = 0; k < kChunk; ++k) {
    to[k] = i16(Clamp(music[k] + (sound[k] >> 7), -32768, 32767));
  }
}

void Output8(u8* to, const i32* music, const i32* sound) {
  for (u32 k = 0; k < kChunk; ++k) {
    to[k] = u8(Clamp((music[k] + (sound[k] >> 7)) >> 8, -128, 127) + 128);
  }
}

// The wave-out data is 16-bit little-endian whatever the host.
void StoreLittleEndian(u8* to, const i16* values, u32 n) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(to, values, n * sizeof(i16));
  } else {
    for (u32 k = 0; k < n; ++k) {
      to[2 * k] = u8(u16(values[k]));
      to[2 * k + 1] = u8(u16(values[k]) >> 8);
    }
  }
}

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
  u8* out = block;

  // Each channel adds a whole chunk at a time into sums kept apart for music and sounds: the sound sum is
  // scaled down once, after all sounds are in.
  i32 musicLeft[kChunk];
  i32 musicRight[kChunk];
  i32 soundLeft[kChunk];
  i32 soundRight[kChunk];
  i16 values[2][kChunk];
  u8 bytes8[2][kChunk];
  for (u32 at = 0; at < frames; at += kChunk) {
    const u32 n = frames - at < kChunk ? frames - at : kChunk;
    std::memset(musicLeft, 0, sizeof musicLeft);
    std::memset(soundLeft, 0, sizeof soundLeft);
    if (stereoOut) {
      std::memset(musicRight, 0, sizeof musicRight);
      std::memset(soundRight, 0, sizeof soundRight);
    }
    for (u32 m = 0; m < musicActive; ++m) {
      audMusicChannel& channel = *activeMusic_[m];
      if (channel.IsPlaying()) {
        channel.Render(musicLeft, musicRight, n, stereoOut);
      }
    }
    for (u32 s = 0; s < soundActive; ++s) {
      audSoundChannel& channel = *activeSounds_[s];
      if (channel.IsPlaying()) {
        channel.Render(soundLeft, soundRight, n, stereoOut, outputRate_);
      }
    }

    if (sixteenBit_) {
      Output16(values[0], musicLeft, soundLeft);
      if (!stereoOut) {
        StoreLittleEndian(out, values[0], n);
        out += 2 * n;
        continue;
      }
      Output16(values[1], musicRight, soundRight);
      for (u32 k = 0; k < n; ++k) {
        StoreLittleEndian(out, &values[0][k], 1);
        StoreLittleEndian(out + 2, &values[1][k], 1);
        out += 4;
      }
    } else {
      Output8(bytes8[0], musicLeft, soundLeft);
      if (!stereoOut) {
        std::memcpy(out, bytes8[0], n);
        out += n;
        continue;
      }
      Output8(bytes8[1], musicRight, soundRight);
      for (u32 k = 0; k < n; ++k) {
        *out++ = bytes8[0][k];
        *out++ = bytes8[1][k];
      }
    }
  }
}
