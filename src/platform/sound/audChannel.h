// Speaker channels: the common part, wave-sample channels and tracker-music channels.
//
// Volume, pan and the paused and finished flags are changed by the game thread without the driver lock
// while the feeder mixes: they are atomics, read and written whole (relaxed order is enough: each is a
// single value, and anything that must change together is changed under the lock).
#pragma once
#include <atomic>

#include "os/Types.h"
#include "platform/sound/audMusic.h"

class audSpeaker;

template <class T>
inline T audLoad(const std::atomic<T>& a) {
  return a.load(std::memory_order_relaxed);
}
template <class T>
inline void audStore(std::atomic<T>& a, T v) {
  a.store(v, std::memory_order_relaxed);
}

class audChannel {
 public:
  audChannel() = default;
  virtual ~audChannel() = default;
  audChannel(const audChannel&) = delete;
  audChannel& operator=(const audChannel&) = delete;

  virtual void SetVolume(i32 v);
  virtual void SetPanning(i32 p);
  virtual u32 GetPosition() { return 0; }
  virtual void SetPosition(u32) {}
  virtual u32 GetLength() { return 0; }

  bool IsPlaying() const { return !audLoad(paused) && !audLoad(finished); }
  bool IsFree() const { return audLoad(finished) && !audLoad(paused); }
  void Pause() {
    if (!audLoad(finished)) audStore<u8>(paused, 1);
  }
  void Resume() {
    if (!audLoad(finished)) audStore<u8>(paused, 0);
  }
  void Stop() {
    audStore<u8>(finished, 1);
    audStore<u8>(paused, 0);
  }
  void Start(bool pausedAtStart) {
    audStore<u8>(finished, 0);
    audStore<u8>(paused, pausedAtStart ? 1 : 0);
  }

  audSpeaker* speaker = nullptr;
  std::atomic<u32> volume{64};
  std::atomic<u32> effective{0};
  std::atomic<u32> pan{128};
  u8 loop = 0;
  std::atomic<u8> paused{0};
  std::atomic<u8> finished{1};
};

class audSoundChannel : public audChannel {
 public:
  void SetVolume(i32 v) override;
  u32 GetPosition() override;
  void SetPosition(u32 p) override;
  u32 GetLength() override;

  // Frames are counted halved once for 16-bit and once more for stereo data.
  u32 PositionShift() const { return 8 + (eightBit ? 0 : 1) + (stereo ? 1 : 0); }

  // Adds the next `count` output samples into the sums (right ones only with stereo output); a sound that
  // does not loop finishes the channel at its end.
  void Render(i32* left, i32* right, u32 count, bool stereoOutput, u32 outputRate);

  u32 rate = 0;
  u8 recomputeStep = 1;
  const u8* data = nullptr;
  u32 step = 0;      // 24.8 frames per output sample
  u64 position = 0;  // 24.8 frames
  u64 end = 0;       // frames << 8
  u8 eightBit = 0;
  u8 stereo = 0;
};

// One track's player state; a default-made track is the state every song starts from.
struct audTrack {
  u32 noteIndex = 0;
  i32 period = 0;
  u32 sample = 0;
  u32 step = 0;  // 20.12 bytes per output sample
  std::atomic<u32> volume{0};
  std::atomic<u32> effective{0};
  u32 effect = 0;
  u32 x = 0;
  u32 y = 0;
  u32 parameter = 0;
  u32 position = 0;  // 20.12 bytes
  std::atomic<u32> pan{128};
  i32 volumeSlide = 0;
  i32 slidePeriod = 0;
  i32 portaTarget = 0;
  u32 portaSpeed = 0;
  u32 arpPhase = 0;
  u32 arpSteps[3] = {};
  u32 vibPosition = 0;
  u32 vibSpeed = 9;
  u32 vibDepth = 2;
  u32 delayCounter = 0;
  i32 delayedPeriod = 0;
  u32 cutCounter = 0;
  u8 loopState = 0;  // high nibble 0xF0 while a loop runs, low nibble the count left
  u8 loopStartRow = 0;
  u32 offsetMemory = 0;
};

struct audTrackSample {
  u32 length = 0;  // 20.12 bytes
  u32 loopStart = 0;
  u32 loopLength = 0;
  u32 volume = 0;
  u32 finetune = 0;
  const i8* first = nullptr;
  const i8* second = nullptr;
};

class audMusicChannel : public audChannel {
 public:
  static constexpr u32 kNoJump = 0xFFFFFF;

  void SetVolume(i32 v) override;
  void SetPanning(i32 p) override;
  u32 GetPosition() override;
  void SetPosition(u32 p) override;
  u32 GetLength() override;

  // Takes everything it plays from the music (the driver lock is held). tracks: 1..32 from the tag.
  void Begin(const audMusic& music, u32 tracks);
  // The next `count` output samples: runs the clock and the effects and adds the tracks into the sums
  // (right ones only with stereo output). Stops early when the song ends.
  void Render(i32* left, i32* right, u32 count, bool stereoOutput);

  u32 SongLength() const { return header != nullptr ? header[audModule::kSongLength] : 0; }

  u32 tempoRate = 44100;
  u8 recomputeTick = 1;
  const u8* header = nullptr;
  const audPattern* patterns = nullptr;
  u32 patternCount = 0;
  u32 trackCount = 0;
  u32 pattern = 0;
  u32 cellIndex = 0;
  u32 order = 0;
  u32 restartOrder = 0;
  u32 samplesPerTick = 0;
  u32 sampleCounter = 0;
  u32 speed = 6;
  u32 tick = 6;
  audTrack tracks[audMaxTracks];
  audTrackSample samples[audModuleSamples + 1];  // by sample number; entry 0 is "no sample"
  u32 jumpOrder = kNoJump;
  u32 jumpCell = 0;
  u32 patternDelay = 0;
  u32 tempo = 50;
  // The row being played is the song's last: the channel finishes when the row, pattern delay included, is over.
  u8 ending = 0;

 private:
  void ReadRow();
  // Moves to the row after the one just read: a pending jump, the next row or order, the restart order, or
  // the end of the song.
  void NextRow();
  void RowEffect(audTrack& track, u32 sampleNumber, i32 period, u32 effect, u32 parameter, u32 row);
  void TickEffects();
  void Porta(audTrack& track);
  void Vibrato(audTrack& track);
  void VolumeSlide(audTrack& track);
  void SetTrackVolume(audTrack& track, u32 v);
  void Jump(u32 toOrder, u32 toCell);
  void RecomputeTick();
  u32 Step(i32 period) const;
  // One output sample's turn of the clock (rows, ticks and their effects); false when the channel finished
  // and the sample is not mixed.
  bool ClockSample();
  // Adds `count` output samples of every track; the clock does not move within them.
  void MixTracks(i32* left, i32* right, u32 count, bool stereoOutput);
};
