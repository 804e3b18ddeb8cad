// The game's front to the sound library: plays sounds at volume steps 0..10 and music modules, and maps
// the player's "SoundVolume" and "MusicVolume" settings (0..10) to the speaker's master volumes.
#pragma once
#include "foundation/SSettings.h"
#include "os/Types.h"
#include "platform/sound/audMusic.h"
#include "platform/sound/audSound.h"
#include "platform/sound/audSpeaker.h"

// What a sound of the world's sound table offers the manager: one sound object per volume level 0..10,
// made on first use over the sound's wave data.
class SSoundRecord {
 public:
  static constexpr i32 kLevels = 11;
  virtual ~SSoundRecord() = default;
  // The object of a level (0..10), or null while it has not been made.
  virtual audSound* VolumeSlot(i32 level) = 0;
  // Makes the object of a level (0..10) over the sound's data (audSound::LoadWave).
  virtual void LoadVolumeSlot(i32 level) = 0;
};

// What the game asked of the sound manager: a sound, a loop or a song started, paused, resumed or
// stopped. Told as asked, whether or not a device plays it.
struct SSoundRequest {
  enum Kind : u8 { kSound, kLoop, kMusic, kStopMusic, kStopSounds, kPause, kResume, kStop };
  Kind kind = kSound;
  SSoundRecord* sound = nullptr;  // kSound, kLoop
  const char* music = nullptr;    // kMusic: the song's name, when the caller gave one
  i32 step = 0;                   // kSound, kLoop: the volume step asked for
  i32 handle = 0;                 // the channel handle the request returned or named
};

// Someone who watches the requests (tests record them; the game sets none).
class SSoundObserver {
 public:
  virtual ~SSoundObserver() = default;
  virtual void OnSoundRequest(const SSoundRequest& request) = 0;
};

class SSoundManager {
 public:
  SSoundManager();
  ~SSoundManager();
  SSoundManager(const SSoundManager&) = delete;
  SSoundManager& operator=(const SSoundManager&) = delete;

  // Builds and opens the speaker (a speaker that fails to open refuses every play) and applies the
  // volume settings of the record, which stays the caller's.
  void Init(SSettings* settings);
  // Clamps both to 0..10, stores them in the settings (record and registry) and applies them.
  void SetVolumes(i32 sound, i32 music);

  // Plays a sound at a volume step 0..10: the channel handle, -1000 when the speaker refuses, or 0 when no
  // sound object could be made (also for a step outside 0..10).
  i32 PlaySound(SSoundRecord* record, i32 step);
  // The same, looping this play only.
  i32 PlaySoundLooped(SSoundRecord* record, i32 step);

  // Replaces the current music by a song (its header, patterns and pattern count) played with the samples
  // of its sample module, looping. Returns the music channel's handle, or -1000 when nothing can play
  // (no sample module, a header the player refuses, no free channel). The header, the pattern table and
  // the data they point to must stay in memory while the song plays; the sample table is copied.
  i32 PlayMusic(const u8* header, const audPattern* patterns, u32 patternCount, const audSampleTable* samples,
                const char* name = nullptr);

  void StopMusic();
  void StopSounds();
  // By handle, as audSpeaker::GetChannel; out-of-range handles do nothing.
  void PauseChannel(i32 handle);
  void ResumeChannel(i32 handle);
  void StopChannel(i32 handle);

  void SetObserver(SSoundObserver* observer) { observer_ = observer; }

  audSpeaker* Speaker() { return speaker_; }
  const audMusic* CurrentMusic() const { return music_; }

 private:
  void ApplyVolumes(bool writeBack);
  i32 Play(SSoundRecord* record, i32 step, u32 flags);
  i32 Tell(SSoundRequest::Kind kind, i32 handle, SSoundRecord* sound = nullptr, i32 step = 0,
           const char* music = nullptr);

  SSettings* settings_ = nullptr;
  audSpeaker* speaker_ = nullptr;
  audMusic* music_ = nullptr;
  i32 soundScale_ = 10;
  i32 musicScale_ = 10;
  SSoundObserver* observer_ = nullptr;
};
