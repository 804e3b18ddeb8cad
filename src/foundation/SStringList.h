// A growable owning list of heap texts (new[] blocks), with find and sort by text.
#pragma once
#include "foundation/SStream.h"

class SStringList {
 public:
  static constexpr u32 kMaxCount = 0xFFFF;

  SStringList();
  SStringList(const SStringList&) = delete;
  SStringList& operator=(const SStringList&) = delete;
  ~SStringList();

  u16 Count() const { return count_; }
  u16 Capacity() const { return capacity_; }
  bool Owns() const { return owns_ != 0; }
  void SetOwns(bool owns) { owns_ = owns ? 1 : 0; }
  // Takes over a new[] block; false (nothing taken) when the list cannot grow.
  bool Add(char* p);
  // Adds a heap copy of the text.
  bool AddText(const char* text);
  char* RemoveAt(i32 i);  // the caller owns the result; null for an index outside the list
  int FindText(const char* text) const;
  const char* Text(i32 i) const { return i >= 0 && i < count_ ? items_[i] : nullptr; }
  char** At(i32 i) { return items_ + i; }
  char** Data() { return items_; }
  void Clear();  // deletes every element; count 0, capacity the grow step (the block kept)
  void Reset();  // a fresh block of grow-step slots; count 0 (elements not deleted)
  void SortTexts();
  // Align 2, u16 count, the texts zero-terminated. Reading adds heap copies of the texts.
  bool SerializeTexts(SStream& s);

  static int CompareTexts(const void* a, const void* b);

 private:
  bool Grow(u32 newCapacity);

  u16 growStep_ = 4;
  u16 count_ = 0;
  u16 capacity_ = 0;
  char** items_ = nullptr;
  u32 owns_ = 1;
};
