// The game core's fixed interface pictures and click sounds, read from the data archive.
#include "core/SGameCore.h"
#include "core/SPictureTable.h"
#include "graphics/SImage.h"
#include "platform/sound/audSound.h"
#include "world/SSoundTable.h"

#include <memory>
#include <new>

namespace {
// The first click (selections, arrows, "Continue") and the second (confirm, cancel, close).
constexpr u16 kClickSoundRecords[2] = {4031, 4032};
}  // namespace

namespace {

// The picture of a record, read as the interface pictures are; null when it holds none.
SImageEntry* ReadPicture(SDatabase& data, u16 id) {
  std::unique_ptr<SRecordData> record = data.ReadRecord(id);
  // The pictures are drawn with their own colour tables: a record that does not hold one is left out.
  const SImage* image = record ? SImage::FromRecordWithOwnTable(record->data, record->size) : nullptr;
  if (!image) return nullptr;
  SImageEntry* entry = new (std::nothrow) SImageEntry;
  if (!entry) return nullptr;
  entry->recordId = id;
  entry->database = &data;
  entry->size = record->size;
  entry->image = image;
  entry->record = record.release();
  return entry;
}

}  // namespace

bool SGameCore::LoadPictureSlot(u32 slot, u16 id) {
  if (slot >= kPictureSlots) return false;
  pictures[slot] = ReadPicture(data, id);
  return pictures[slot] != nullptr;
}

u32 SGameCore::LoadRolePictures() {
  u32 filled = 0;
  for (u16 role = 0; role < RolePicture::kCount; ++role) {
    if (rolePictures[role]) continue;
    rolePictures[role] = ReadPicture(data, RolePicture::RecordFor(role, displayMode));
    if (rolePictures[role]) ++filled;
  }
  return filled;
}

void SGameCore::SetDisplayMode(u32 mode) {
  if (i32(mode) == displayMode) return;
  displayMode = i32(mode);
  if (ReleaseRolePictures()) LoadRolePictures();
}

bool SGameCore::ReleaseRolePictures() {
  bool loaded = false;
  for (SImageEntry*& entry : rolePictures) {
    loaded = loaded || entry;
    delete entry;
    entry = nullptr;
  }
  return loaded;
}

SImageEntry* const* SGameCore::PictureSet(u32 slot) {
  if (slot < kPictureSlots) return &pictures[slot];
  if (slot >= RolePicture::kFirstRoleSlot && slot - RolePicture::kFirstRoleSlot < RolePicture::kCount)
    return &rolePictures[slot - RolePicture::kFirstRoleSlot];
  return nullptr;
}

u32 SGameCore::LoadPictures() {
  u32 filled = 0;
  for (u32 slot = 0; slot < kPictureSlots; ++slot) {
    if (pictures[slot]) continue;
    const u16 id = SPictureTable::RecordFor(slot, displayMode);
    if (id && LoadPictureSlot(slot, id)) ++filled;
  }
  return filled;
}

void SGameCore::LoadMenuPictures() {
  for (const SPictureRun& run : SPictureTable::MenuRuns())
    if (!pictures[run.firstSlot])
      if (const u16 id = SPictureTable::MenuRecordFor(run.firstSlot, displayMode)) LoadPictureSlot(run.firstSlot, id);
}

bool SGameCore::LoadClickSounds() {
  bool all = true;
  for (u32 i = 0; i < 2; ++i) {
    if (clickSounds[i]) continue;
    std::unique_ptr<SRecordData> record = data.ReadRecord(kClickSoundRecords[i]);
    // The record is a wave from its first byte, played in place: one the mixer refuses is left out.
    audSound probe;
    SResource* sound =
        record && probe.LoadWave(record->data, record->size) == 0 ? new (std::nothrow) SResource : nullptr;
    if (!sound) {
      all = false;
      continue;
    }
    sound->database = &data;
    sound->recordId = kClickSoundRecords[i];
    sound->sampleData = record->data;
    sound->sampleBytes = record->size;
    sound->record = record.release();
    clickSounds[i] = sound;
  }
  return all;
}
