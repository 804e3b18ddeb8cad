#include "core/SLayoutTable.h"

#include "platform/hal/DisplayModes.h"

#include <cstring>

u32 SLayoutTable::RecordForMode(i32 displayMode) {
  const Hal::DisplayModeRow* row = Hal::FindDisplayMode(displayMode);
  return row && row->layout == Hal::LayoutFamily::Wide ? kRecordWide : kRecordSmall;
}

SLayoutTable::~SLayoutTable() { Clear(); }

void SLayoutTable::Clear() {
  delete[] words_;
  words_ = nullptr;
  size_ = 0;
}

bool SLayoutTable::Load(const u8* data, u32 size) {
  Clear();
  if (!data || size < 2) return false;
  words_ = new u16[(size + 1) / 2];
  std::memcpy(words_, data, size);
  size_ = size;
  return true;
}

bool SLayoutTable::Adopt(u8* data, u32 size) {
  if (!data || size < 2) {
    delete[] data;
    Clear();
    return false;
  }
  bool ok = Load(data, size);
  delete[] data;
  return ok;
}

bool SLayoutTable::Word(u32 byteOffset, u16& value) const {
  byteOffset &= ~1u;  // an odd offset counts as the even offset below it
  if (!words_ || static_cast<u64>(byteOffset) + 2 > size_) return false;
  value = words_[byteOffset / 2];
  return true;
}

i64 SLayoutTable::FindVariant(u32 screenId, i32 displayMode) const {
  const u16 mode = static_cast<u16>(displayMode), id = static_cast<u16>(screenId);
  u16 screens = 0;
  if (!Word(0, screens)) return -1;
  for (u32 i = 0; i < screens; ++i) {
    u16 listOffset = 0, entryId = 0;
    if (!Word(2 + 4 * i, listOffset) || !Word(4 + 4 * i, entryId)) return -1;
    if (entryId != id) continue;
    u16 variants = 0;
    if (!Word(listOffset, variants)) continue;
    const u32 list = listOffset & ~1u;
    for (u32 j = 0; j < variants; ++j) {
      u16 variantOffset = 0, variantMode = 0;
      if (!Word(list + 2 + 4 * j, variantOffset) || !Word(list + 4 + 4 * j, variantMode)) break;
      if (variantMode != mode) continue;
      // A variant must hold its size and control count to be used at all.
      if (static_cast<u32>(variantOffset & ~1u) + 6 > size_) break;
      return variantOffset & ~1u;
    }
  }
  return -1;
}

bool SLayoutTable::GetSize(u32 screenId, i32 displayMode, u32& width, u32& height) const {
  const i64 at = FindVariant(screenId, displayMode);
  if (at < 0) return false;
  u16 w = 0, h = 0;
  Word(static_cast<u32>(at), w);
  Word(static_cast<u32>(at) + 2, h);
  width = w;
  height = h;
  return true;
}

const SLayoutItem* SLayoutTable::GetItem(u32 screenId, i32 displayMode, u32 controlId) const {
  const i64 at = FindVariant(screenId, displayMode);
  if (at < 0) return nullptr;
  u16 count = 0;
  Word(static_cast<u32>(at) + 4, count);
  for (u32 k = 0; k < count; ++k) {
    const u32 entry = static_cast<u32>(at) + 6 + 10 * k;
    if (static_cast<u64>(entry) + 10 > size_) return nullptr;  // the list runs past the record
    if (words_[entry / 2] == controlId) return reinterpret_cast<const SLayoutItem*>(words_ + entry / 2);
  }
  return nullptr;
}
