#include "platform/sound/SSoundManager.h"

#include <new>

namespace {

constexpr u32 kGamePlayFlags = 0x10000000;

i32 ClampStep(i32 v) { return v < 1 ? 0 : (v > 10 ? 10 : v); }

}  // namespace

SSoundManager::SSoundManager() = default;

SSoundManager::~SSoundManager() {
  delete speaker_;  // closes: no channel plays the music object below any more
  delete music_;
}

void SSoundManager::Init(SSettings* settings) {
  settings_ = settings;
  if (speaker_ == nullptr) {
    speaker_ = new (std::nothrow) audSpeaker();
  }
  if (speaker_ != nullptr && !speaker_->IsOpen()) {
    speaker_->Open(44100, 16);
  }
  soundScale_ = 10;
  musicScale_ = 10;
  ApplyVolumes(false);
}

void SSoundManager::SetVolumes(i32 sound, i32 music) {
  if (settings_ == nullptr) {
    return;
  }
  settings_->soundVolume = u32(ClampStep(sound));
  settings_->musicVolume = u32(ClampStep(music));
  ApplyVolumes(true);
}

void SSoundManager::ApplyVolumes(bool writeBack) {
  if (settings_ == nullptr) {
    return;
  }
  // The record holds u32 values: a negative number read from the registry arrives as a large one.
  const i32 sound = ClampStep(i32(settings_->soundVolume));
  const i32 music = ClampStep(i32(settings_->musicVolume));
  Os::RegistryBatch batch;  // both volumes in one write of the settings file
  if (writeBack || u32(sound) != settings_->soundVolume) {
    settings_->soundVolume = u32(sound);
    RegSetDword("SoundVolume", u32(sound));
  }
  if (writeBack || u32(music) != settings_->musicVolume) {
    settings_->musicVolume = u32(music);
    RegSetDword("MusicVolume", u32(music));
  }
  if (speaker_ != nullptr) {
    speaker_->SetSoundVolume(sound * 64 / 10);
    speaker_->SetMusicVolume(music * 64 / 10);
  }
}

i32 SSoundManager::Tell(SSoundRequest::Kind kind, i32 handle, SSoundRecord* sound, i32 step, const char* music) {
  if (observer_) {
    SSoundRequest request;
    request.kind = kind;
    request.sound = sound;
    request.music = music;
    request.step = step;
    request.handle = handle;
    observer_->OnSoundRequest(request);
  }
  return handle;
}

i32 SSoundManager::PlaySound(SSoundRecord* record, i32 step) {
  return Tell(SSoundRequest::kSound, Play(record, step, kGamePlayFlags), record, step);
}

i32 SSoundManager::PlaySoundLooped(SSoundRecord* record, i32 step) {
  return Tell(SSoundRequest::kLoop, Play(record, step, kGamePlayFlags | audPlayLooped), record, step);
}

i32 SSoundManager::Play(SSoundRecord* record, i32 step, u32 flags) {
  if (record == nullptr) {
    return 0;
  }
  // 64 bits: a step from script data may be any value, and the product must not wrap.
  const i64 scaled = i64(soundScale_) * step / 10;
  // A record holds eleven level slots: anything outside them makes no object.
  if (scaled < 0 || scaled >= SSoundRecord::kLevels) {
    return 0;
  }
  const i32 level = i32(scaled);
  audSound* sound = record->VolumeSlot(level);
  if (sound == nullptr) {
    record->LoadVolumeSlot(level);
    sound = record->VolumeSlot(level);
  }
  if (sound == nullptr) {
    return 0;
  }
  sound->SetVolume(u32(level * 64 / 10));
  if (speaker_ == nullptr) {
    return audErrNotPlayable;
  }
  return speaker_->PlaySound(sound, flags);
}

i32 SSoundManager::PlayMusic(const u8* header, const audPattern* patterns, u32 patternCount,
                             const audSampleTable* samples, const char* name) {
  i32 handle = audErrNotPlayable;
  // A song whose sample module is missing plays nothing.
  if (samples != nullptr && header != nullptr) {
    delete music_;
    music_ = new (std::nothrow) audMusic();
    if (music_ != nullptr) {
      music_->Load(header, patterns, patternCount, samples);
      music_->loop = 1;  // game music always repeats
      if (speaker_ != nullptr) handle = speaker_->PlayMusic(music_, kGamePlayFlags);
    }
  }
  return Tell(SSoundRequest::kMusic, handle, nullptr, 0, name);
}

void SSoundManager::StopMusic() {
  Tell(SSoundRequest::kStopMusic, 0);
  if (speaker_ != nullptr) {
    speaker_->StopMusic();
  }
}

void SSoundManager::StopSounds() {
  Tell(SSoundRequest::kStopSounds, 0);
  if (speaker_ != nullptr) {
    speaker_->StopSounds();
  }
}

void SSoundManager::PauseChannel(i32 handle) {
  Tell(SSoundRequest::kPause, handle);
  audChannel* channel = speaker_ != nullptr ? speaker_->GetChannel(handle) : nullptr;
  if (channel != nullptr) {
    channel->Pause();
  }
}

void SSoundManager::ResumeChannel(i32 handle) {
  Tell(SSoundRequest::kResume, handle);
  audChannel* channel = speaker_ != nullptr ? speaker_->GetChannel(handle) : nullptr;
  if (channel != nullptr) {
    channel->Resume();
  }
}

void SSoundManager::StopChannel(i32 handle) {
  Tell(SSoundRequest::kStop, handle);
  audChannel* channel = speaker_ != nullptr ? speaker_->GetChannel(handle) : nullptr;
  if (channel != nullptr) {
    channel->Stop();
  }
}
