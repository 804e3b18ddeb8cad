#include "world/SSoundTable.h"

#include "foundation/SDatabase.h"
#include "foundation/SStream.h"
#include "platform/sound/audDriver.h"

#include <cstring>
#include <new>

namespace {
// Reads a module's or song's head record through its SerializeHead and keeps the record: the head's texts
// point into it.
template <class T>
bool ReadHeadRecord(T& owner, SDatabase& db, u16& record, u32 version) {
  std::unique_ptr<SRecordData> head = db.TakeRecord(record);
  if (!head) return false;
  SStream s(version);
  s.OpenForRead(*head);
  bool ok = owner.SerializeHead(s, version);
  owner.rawRecords.Add(head.release());
  return ok;
}

// A new element, filled by read(T&) and kept in the list in name-hash order; freed when either fails.
template <class T, class Read>
bool ReadInto(SPtrArray<T>& list, Read&& read) {
  T* item = new (std::nothrow) T;
  if (!item) return false;
  if (!read(*item) || !list.InsertByNameHash(item)) {
    delete item;
    return false;
  }
  return true;
}
}  // namespace

void SerializeTrackerHeader(SStream& s, u8* header) {
  s.SerializeBytes(header, 20);
  for (u32 i = 0; i < audModuleSamples; ++i) {
    u8* h = header + audModule::kSampleHeaders + i * audModule::kSampleHeaderSize;
    s.SerializeBytes(h, 22);
    s.Align(2);
    s.SerializeBytes(h + 22, 2);
    s.SerializeBytes(h + 24, 2);  // finetune, volume
    s.Align(2);
    s.SerializeBytes(h + 26, 2);
    s.Align(2);
    s.SerializeBytes(h + 28, 2);
  }
  s.SerializeBytes(header + audModule::kSongLength, 2);  // song length, restart
  s.SerializeBytes(header + audModule::kOrders, 128);
  s.SerializeBytes(header + audModule::kTag, 4);
}

SResource::~SResource() { ReleaseSounds(nullptr); }

bool SResource::SerializeHeader(SStream& s, u32 version) {
  s.SerializeName(name);
  s.SerializeU16(value1);
  s.SerializeU16(value2);
  s.SerializeByte(byte1);
  s.SerializeByte(byte2);
  s.SerializeByte(byte3);
  if (version > 109) s.Align(4);
  if (s.Failed()) return false;
  // The header length is kept in a byte: a longer header is refused rather than wrapped.
  if (s.Position() > 255) {
    s.SetFailed();
    return false;
  }
  headerLength = u8(s.Position());
  return true;
}

bool SResource::LoadData() {
  if (record) return true;
  if (!database) return false;
  std::unique_ptr<SRecordData> r = database->ReadRecord(u16(recordId));
  if (!r || r->size < headerLength) return false;
  record = r.release();
  sampleData = record->data + headerLength;
  sampleBytes = record->size - headerLength;
  return true;
}

void SResource::LoadVolumeSlot(i32 level) {
  if (level < 0 || level >= kLevels) return;
  delete sounds[level];
  sounds[level] = nullptr;
  if (!LoadData()) return;
  audSound* sound = new (std::nothrow) audSound;
  if (!sound) return;
  if (sound->LoadWave(sampleData, sampleBytes) != 0) {
    delete sound;
    return;
  }
  sounds[level] = sound;
}

void SResource::ReleaseSounds(audSpeaker* speaker) {
  if (!record) return;
  // The mixer plays the data in place: stop the channels on it before it goes.
  audDriver* driver = speaker ? speaker->Driver() : nullptr;
  if (speaker) {
    if (driver) driver->Lock();
    const u8* begin = record->data;
    const u8* end = record->data + record->size;
    for (u32 i = 0; i < audSpeaker::kSoundChannels; ++i) {
      audSoundChannel* c = speaker->SoundChannel(i);
      if (c && c->data && c->data >= begin && c->data < end) c->Stop();
    }
    if (driver) driver->Unlock();
  }
  for (audSound*& sound : sounds) {
    delete sound;
    sound = nullptr;
  }
  delete record;
  record = nullptr;
  sampleData = nullptr;
  sampleBytes = 0;
}

SMusicModule::~SMusicModule() = default;

bool SMusicModule::SerializeHead(SStream& s, u32 version) {
  s.SerializeName(name);
  SerializeTrackerHeader(s, header);
  s.SerializeU16(sampleCount);
  if (version > 65) {
    s.SerializeU16(extra1);
    s.SerializeU16(extra2);
  }
  if (s.IsReading() && sampleCount > audModuleSamples) s.SetFailed();
  return s.Ok();
}

u32 SMusicModule::SampleWords(u32 i) const {
  if (i >= audModuleSamples) return 0;
  const u8* h = header + audModule::kSampleHeaders + i * audModule::kSampleHeaderSize + 22;
  return u32(h[0]) << 8 | h[1];
}

bool SMusicModule::ReadWithSamples(SDatabase& db, u16& record, u32 version) {
  if (!ReadHeadRecord(*this, db, record, version)) return false;
  for (u32 i = 0; i < sampleCount && i < audModuleSamples; ++i) {
    std::unique_ptr<SRecordData> r = db.TakeRecord(record);
    if (!r) return false;
    u32 bytes = SampleWords(i) * 2;
    audSample& sample = table.sample[i];
    sample.first = reinterpret_cast<const i8*>(r->data);
    // A record shorter than the sample plays what it holds.
    sample.firstBytes = bytes < audSecondPartStart ? bytes : audSecondPartStart;
    if (sample.firstBytes > r->size) sample.firstBytes = r->size;
    rawRecords.Add(r.release());
    if (SampleWords(i) > kSampleWordsPerRecord) {
      std::unique_ptr<SRecordData> rest = db.TakeRecord(record);
      if (!rest) return false;
      sample.second = reinterpret_cast<const i8*>(rest->data);
      sample.secondBytes = bytes - audSecondPartStart;
      if (sample.secondBytes > rest->size) sample.secondBytes = rest->size;
      rawRecords.Add(rest.release());
    }
  }
  return true;
}

bool SMusicSong::SerializeHead(SStream& s, u32 version) {
  s.SerializeName(name);
  s.SerializeSString(sampleModule);
  s.SerializeU16(patternCount);
  s.SerializeU16(count2);
  s.SerializeU16(count3);
  return s.Ok();
}

bool SMusicSong::Read(SDatabase& db, u16& record, u32 version) {
  if (!ReadHeadRecord(*this, db, record, version)) return false;
  std::unique_ptr<SRecordData> head = db.TakeRecord(record);
  if (!head) return false;
  SStream s(version);
  s.OpenForRead(*head);
  SerializeTrackerHeader(s, header);
  if (s.Failed()) return false;
  delete[] patterns;
  patterns = new (std::nothrow) audPattern[patternCount ? patternCount : 1];
  if (!patterns) return false;
  for (u32 i = 0; i < patternCount; ++i) {
    std::unique_ptr<SRecordData> r = db.TakeRecord(record);
    if (!r) return false;
    patterns[i].cells = r->data;
    patterns[i].bytes = r->size;
    rawRecords.Add(r.release());
  }
  return true;
}

bool SSoundTable::Load(SDatabase& db, u16& record, u32 version) {
  u16 a = 0, b = 0, c = 0;
  {
    std::unique_ptr<SRecordData> header = db.TakeRecord(record);
    if (!header) return false;
    SStream s(version);
    s.OpenForRead(*header);
    s.SerializeMarker(',');
    s.SerializeU16(a);
    s.SerializeU16(b);
    s.SerializeU16(c);
    if (s.Failed()) return false;
  }
  for (u32 i = 0; i < a; ++i)
    if (!ReadInto(sampleModules, [&](SMusicModule& m) { return m.ReadWithSamples(db, record, version); })) return false;
  for (u32 i = 0; i < b; ++i)
    if (!ReadInto(songs, [&](SMusicSong& song) { return song.Read(db, record, version); })) return false;
  // A sound keeps only its header: the wave is read from its record when it is needed.
  auto readSound = [&](SResource& sound) {
    u16 id = record;
    std::unique_ptr<SRecordData> r = db.TakeRecord(record);
    if (!r) return false;
    SStream s(version);
    s.OpenForRead(*r);
    if (!sound.SerializeHeader(s, version) || sound.headerLength > r->size) return false;
    sound.database = &db;
    sound.recordId = id;
    return true;
  };
  for (u32 i = 0; i < c; ++i)
    if (!ReadInto(sounds, readSound)) return false;
  return true;
}

void SSoundTable::Clear() {
  if (audSpeaker* speaker = Speaker()) {
    speaker->StopSounds();
    speaker->StopMusic();
  }
  if (manager_) manager_->StopMusic();
  for (SResource* r : sounds) r->ReleaseSounds(Speaker());
  sounds.DeleteAll();
  songs.DeleteAll();
  sampleModules.DeleteAll();
}

i32 SSoundTable::Play(SResource* sound, i32 volume, bool loop) {
  if (!sound || !manager_) return 0;
  if (!sound->LoadData()) return 0;
  return loop ? manager_->PlaySoundLooped(sound, volume) : manager_->PlaySound(sound, volume);
}

i32 SSoundTable::PlayMusicByName(const char* name) {
  SMusicSong* song = FindSong(name);
  if (!song || !manager_) return 0;
  SMusicModule* module = FindSampleModule(song->sampleModule.CStr());
  return manager_->PlayMusic(song->header, song->patterns, song->patternCount, module ? &module->table : nullptr,
                             song->name.Text());
}

void SSoundTable::MarkSoundNeeded(const char* name) {
  if (SResource* r = FindSound(name)) r->needed = 1;
}

void SSoundTable::ClearGlobalMark(const char* name) {
  if (SResource* r = FindSound(name)) r->global = 0;
}

void SSoundTable::ClearNeededFlags() {
  for (SResource* r : sounds)
    if (!r->global) r->needed = 0;
}

void SSoundTable::LoadNeededSounds() {
  for (SResource* r : sounds)
    if (r->needed && !r->global && !r->IsLoaded()) r->LoadData();
}

void SSoundTable::ReleaseUnneededSounds() {
  for (SResource* r : sounds)
    if (!r->global && !r->needed) r->ReleaseSounds(Speaker());
}

void SSoundTable::PreloadGlobalSounds() {
  for (SResource* r : sounds) r->global = 1;
  if (tables_)
    for (SWorldTable* t : tables_->tables)
      if (t) t->ClearGlobalSoundMarks(*this);
  for (SResource* r : sounds)
    if (r->global && !r->IsLoaded()) r->LoadData();
}
