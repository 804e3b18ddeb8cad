// The world's sounds and music: sample modules (tracker headers with their sample data), songs (tracker
// headers with their patterns, each naming the sample module it plays with) and sounds (one RIFF wave
// each). Modules and songs are read whole when the world loads; sound data stays in the archive until it
// is first played or preloaded.
#pragma once
#include "foundation/SPtrArray.h"
#include "foundation/SString.h"
#include "platform/sound/SSoundManager.h"
#include "world/SWorldTable.h"

class SDatabase;
class SSoundManager;

class SResource : public SSoundRecord {
 public:
  SResource() { name.SetOwns(); }
  SResource(const SResource&) = delete;
  SResource& operator=(const SResource&) = delete;
  ~SResource() override;

  // The record's header, both directions: name, two u16, three bytes, from version 110 align 4. Reading
  // sets headerLength; false when the header is longer than a u8 counts or than the record.
  bool SerializeHeader(SStream& s, u32 version);
  // Reads the record when not loaded; false when it is missing or shorter than its header.
  bool LoadData();
  bool IsLoaded() const { return record != nullptr; }
  // Stops every channel still playing one of this sound's objects, then frees them and the data.
  void ReleaseSounds(audSpeaker* speaker);

  audSound* VolumeSlot(i32 level) override { return level >= 0 && level < kLevels ? sounds[level] : nullptr; }
  void LoadVolumeSlot(i32 level) override;

  SRecordData* record = nullptr;
  SDatabase* database = nullptr;
  u32 recordId = 0;
  SName name;
  const u8* sampleData = nullptr;
  u32 sampleBytes = 0;
  audSound* sounds[kLevels] = {};
  u16 value1 = 0, value2 = 0;
  u8 byte1 = 0, byte2 = 0, byte3 = 0;
  u8 global = 0;
  u8 needed = 0;
  u8 headerLength = 0;
};

// The tracker header in the archives' field form (20-byte title, 31 sample headers with their 16-bit
// fields aligned to 2, song length, restart, order table, tag), copied byte for byte into `header`.
void SerializeTrackerHeader(SStream& s, u8* header);

class SMusicModule {
 public:
  SMusicModule() : rawRecords(true, 4) {}
  SMusicModule(const SMusicModule&) = delete;
  SMusicModule& operator=(const SMusicModule&) = delete;
  ~SMusicModule();

  // The first record, both directions. Reading refuses more than 31 samples.
  bool SerializeHead(SStream& s, u32 version);
  // The first record and then the sample records (a sample above 32,000 words takes a second record).
  bool ReadWithSamples(SDatabase& db, u16& record, u32 version);
  u32 SampleWords(u32 i) const;

  SPtrArray<SRecordData> rawRecords;
  SName name;
  u8 header[audModuleHeaderSize] = {};
  u16 sampleCount = 0;
  u16 extra1 = 0, extra2 = 0;
  audSampleTable table = {};  // the samples as the player reads them (missing or short ones are cut)
};

class SMusicSong {
 public:
  SMusicSong() : rawRecords(true, 4) {}
  SMusicSong(const SMusicSong&) = delete;
  SMusicSong& operator=(const SMusicSong&) = delete;
  ~SMusicSong() { delete[] patterns; }

  bool SerializeHead(SStream& s, u32 version);
  bool Read(SDatabase& db, u16& record, u32 version);

  SPtrArray<SRecordData> rawRecords;
  SName name;
  SString sampleModule;
  u8 header[audModuleHeaderSize] = {};
  u16 patternCount = 0;
  u16 count2 = 0, count3 = 0;
  audPattern* patterns = nullptr;
};

template <>
struct SNameOf<SResource> {
  static const SName& Get(const SResource& r) { return r.name; }
};

// Per sample: beyond this many words a sample continues in a second record.
inline constexpr u32 kSampleWordsPerRecord = 32000;

class SSoundTable : public SWorldTable {
 public:
  SSoundTable() : sampleModules(true, 4), songs(true, 4), sounds(true, 4) {}
  ~SSoundTable() override { Clear(); }

  void SetSoundManager(SSoundManager* manager) { manager_ = manager; }
  void SetTables(SWorldTables* tables) { tables_ = tables; }
  bool Load(SDatabase& db, u16& record, u32 version) override;
  // Stops every channel, then deletes every module, song and sound.
  void Clear() override;

  SResource* FindSound(const char* name) const { return sounds.FindByName(name); }
  SMusicSong* FindSong(const char* name) const { return songs.FindByName(name); }
  SMusicModule* FindSampleModule(const char* name) const { return sampleModules.FindByName(name); }

  i32 PlayByName(const char* name, i32 volume) { return Play(FindSound(name), volume, false); }
  i32 PlayLoopByName(const char* name, i32 volume) { return Play(FindSound(name), volume, true); }
  i32 PlayLoop(SResource* sound, i32 volume) { return Play(sound, volume, true); }
  i32 PlayMusicByName(const char* name);

  void MarkSoundNeeded(const char* name);
  void ClearGlobalMark(const char* name);
  void ClearNeededFlags();
  void LoadNeededSounds();
  void ReleaseUnneededSounds();
  // Marks every sound global, clears the mark of those the tables name per map, loads the rest.
  void PreloadGlobalSounds();

  SPtrArray<SMusicModule> sampleModules;
  SPtrArray<SMusicSong> songs;
  SPtrArray<SResource> sounds;

 private:
  i32 Play(SResource* sound, i32 volume, bool loop);
  audSpeaker* Speaker() const { return manager_ ? manager_->Speaker() : nullptr; }

  SSoundManager* manager_ = nullptr;
  SWorldTables* tables_ = nullptr;
};
