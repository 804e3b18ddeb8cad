// The screen layout table: one record of "DuskmireData" listing, per screen layout id and display mode, the
// screen's size and its control rectangles. It is read in place; every offset is checked against the
// record before it is followed, so a damaged record only makes entries absent.
#pragma once
#include "os/Types.h"

#include <span>

// One control entry as stored: id, x and y relative to the screen, width, height.
struct SLayoutItem {
  u16 id, x, y, w, h;
};
static_assert(sizeof(SLayoutItem) == 10);

class SLayoutTable {
 public:
  // Records of the two tables: 3001 for the tall screens, 3003 for the square and wide ones.
  static constexpr u32 kRecordSmall = 3001;
  static constexpr u32 kRecordWide = 3003;
  // The record of a display mode's layout family.
  static u32 RecordForMode(i32 displayMode);
  // The screen layout and control of the 3D view rectangle.
  static constexpr u32 kGameScreen = 43;
  static constexpr u32 kViewControl = 550;

  SLayoutTable() = default;
  ~SLayoutTable();
  SLayoutTable(const SLayoutTable&) = delete;
  SLayoutTable& operator=(const SLayoutTable&) = delete;

  // Takes a copy of the record (at least the screen count must be there); false when it is too short.
  bool Load(const u8* data, u32 size);
  // Takes over a new[] block as the record.
  bool Adopt(u8* data, u32 size);
  void Clear();
  bool IsLoaded() const { return words_ != nullptr; }
  // The record as held (empty when none is loaded).
  std::span<const u8> Bytes() const { return {reinterpret_cast<const u8*>(words_), words_ ? size_ : 0}; }

  // Stores the screen's size for the mode; leaves both untouched when absent. False when absent.
  bool GetSize(u32 screenId, i32 displayMode, u32& width, u32& height) const;
  // The control entry for the mode, or null when the screen, its variant or the control is absent.
  const SLayoutItem* GetItem(u32 screenId, i32 displayMode, u32 controlId) const;

 private:
  // Offset of the variant (in bytes) of the first screen entry with that id listing the mode, or -1.
  i64 FindVariant(u32 screenId, i32 displayMode) const;
  bool Word(u32 byteOffset, u16& value) const;

  u16* words_ = nullptr;  // the record, 2-byte aligned
  u32 size_ = 0;          // bytes
};
