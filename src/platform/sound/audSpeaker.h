// The mixer: owns the output driver, 3 music channels (handles 0..2) and 64 sound channels (handles
// 3..66), two master volumes, and the routine the driver's feeder calls for every block.
#pragma once
#include <atomic>
#include <cstdint>

#include "platform/sound/audChannel.h"
#include "platform/sound/audDriver.h"
#include "platform/sound/audMusic.h"
#include "platform/sound/audSound.h"
#include "platform/sound/audTables.h"

// PlaySound flag: play this once looped, whatever the sound's own loop flag says.
inline constexpr u32 audPlayLooped = 0x1;

class audSpeaker {
 public:
  static constexpr u32 kMusicChannels = 3;
  static constexpr u32 kSoundChannels = 64;
  static constexpr u32 kOutputRate = 44100;

  audSpeaker();
  virtual ~audSpeaker();  // closes

  // The arguments carry no meaning: output is always 44,100 Hz, 16-bit, mono. Returns 0, -2 (already
  // open), -5 (no memory for the driver), -10 (no memory for channels) or the driver's own code. Every
  // failure leaves the speaker closed with no driver.
  i32 Open(u32 rate, u32 bits);
  i32 Close();
  void Pause();
  void Resume();
  bool IsOpen() const { return open_ != 0; }

  void SetMusicVolume(i32 v);
  void SetSoundVolume(i32 v);
  u32 MusicVolume() const { return audLoad(musicMaster_); }
  u32 SoundVolume() const { return audLoad(soundMaster_); }

  audChannel* GetChannel(i32 handle);
  void StopMusic();
  void StopSounds();
  // Returns the channel handle or -1000. flags: audPlayLooped loops this play only.
  i32 PlaySound(const audSound* sound, u32 flags);
  // Returns the music channel's handle (0..2) or -1000.
  i32 PlayMusic(const audMusic* music, u32 flags);
  u32 CountPlayingSounds() const;

  static void MixCallback(std::uintptr_t user, u8* block, u32 bytes);
  void Mix(u8* block, u32 bytes);

  // The note (0..83) whose finetune-0 period is nearest to a period (the lower note on a tie).
  static u32 NearestNote(i32 period) { return audNearestNote(period); }
  // Fills the step and note tables for the output rate (done by Open).
  void BuildTables();

  audDriver* Driver() { return driver_; }
  u32 OutputRate() const { return outputRate_; }
  u32 StepFor(u32 periodIndex) const { return stepTable_[periodIndex]; }
  u32 NoteFor(u32 periodIndex) const { return noteTable_[periodIndex]; }
  audMusicChannel* MusicChannel(u32 i) { return i < musicCount_ ? &musicChannels_[i] : nullptr; }
  audSoundChannel* SoundChannel(u32 i) { return i < soundCount_ ? &soundChannels_[i] : nullptr; }

 protected:
  // Output format the mixer writes (the driver is always opened 16-bit mono; tests mix other forms).
  void UseOutputFormat(bool sixteenBit, bool stereo) {
    sixteenBit_ = sixteenBit ? 1 : 0;
    stereo_ = stereo ? 1 : 0;
  }

 private:
  void FreeChannels();

  audDriver* driver_ = nullptr;
  u8 open_ = 0;
  u32 musicCount_ = 0;
  audMusicChannel* musicChannels_ = nullptr;
  audMusicChannel** activeMusic_ = nullptr;
  u32 soundCount_ = 0;
  audSoundChannel* soundChannels_ = nullptr;
  audSoundChannel** activeSounds_ = nullptr;
  u32 stepTable_[audStepTableSize] = {};
  u16 noteTable_[audStepTableSize] = {};
  std::atomic<u32> musicMaster_{0};
  std::atomic<u32> soundMaster_{0};
  u32 outputRate_ = kOutputRate;
  u32 stereo_ = 0;
  u32 sixteenBit_ = 1;
  u32 latencyMs_ = 180;
};
