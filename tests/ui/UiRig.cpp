#include "UiRig.h"

#include <cstring>

SImageEntry* MakePictureEntry(const std::vector<u8>& record) {
  auto* entry = new SImageEntry;
  entry->record = new SRecordData(new u8[record.size()], u32(record.size()));
  std::memcpy(entry->record->data, record.data(), record.size());
  entry->image = SImage::FromRecordWithOwnTable(entry->record->data, entry->record->size);
  return entry;
}
