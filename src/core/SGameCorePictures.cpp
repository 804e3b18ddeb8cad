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

bool SGameCore::LoadPictureSlot(u32 slot, u16 id) {
  std::unique_ptr<SRecordData> record = data.ReadRecord(id);
  // The pictures are drawn with their own colour tables: a record that does not hold one is left out.
  const SImage* image = record ? SImage::FromRecordWithOwnTable(record->data, record->size) : nullptr;
  if (!image) return false;
  SImageEntry* entry = new (std::nothrow) SImageEntry;
  if (!entry) return false;
  entry->recordId = id;
  entry->database = &data;
  entry->size = record->size;
  entry->image = image;
  entry->record = record.release();
  pictures[slot] = entry;
  return true;
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
