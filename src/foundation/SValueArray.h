// Growable array of records built in place (u32 grow step, count and capacity). Records of class type
// are constructed in the block and destroyed with it (plain records start zeroed); T needs a default
// constructor and copy assignment.
#pragma once
#include "os/Types.h"

#include <new>

template <class T>
class SValueArray {
 public:
  explicit SValueArray(u32 growStep = 4) : growStep_(growStep ? growStep : 4) {
    values_ = new (std::nothrow) T[growStep_]();
    if (values_) capacity_ = growStep_;
  }
  SValueArray(const SValueArray&) = delete;
  SValueArray& operator=(const SValueArray&) = delete;
  ~SValueArray() { delete[] values_; }

  u32 Count() const { return count_; }
  u32 Capacity() const { return capacity_; }
  u32 GrowStep() const { return growStep_; }
  T& operator[](u32 i) { return values_[i]; }
  const T& operator[](u32 i) const { return values_[i]; }
  // Null for an index outside the array.
  T* At(u32 i) { return i < count_ ? &values_[i] : nullptr; }
  const T* At(u32 i) const { return i < count_ ? &values_[i] : nullptr; }
  T* Data() { return values_; }
  T* begin() { return values_; }
  T* end() { return values_ + count_; }

  // Appends a copy; when full, a block of capacity + step fresh records replaces the old one.
  bool Add(const T& value) {
    if (count_ == capacity_) {
      if (capacity_ > 0xFFFFFFFFu - growStep_) return false;
      u32 newCapacity = capacity_ + growStep_;
      T* block = new (std::nothrow) T[newCapacity]();
      if (!block) return false;
      for (u32 i = 0; i < count_; ++i) block[i] = values_[i];
      delete[] values_;
      values_ = block;
      capacity_ = newCapacity;
    }
    values_[count_++] = value;
    return true;
  }
  // Destroys every record and starts again with grow-step fresh records.
  void Clear() {
    delete[] values_;
    values_ = new (std::nothrow) T[growStep_]();
    capacity_ = values_ ? growStep_ : 0;
    count_ = 0;
  }

 private:
  u32 growStep_;
  u32 count_ = 0;
  u32 capacity_ = 0;
  T* values_ = nullptr;
};

// Entries of counted items {key, item, count, index}, kept with the same growth.
struct SCountedEntry {
  u32 key = 0;
  void* item = nullptr;
  u32 count = 0;
  u32 index = 0;
};

class SCountedEntryArray : public SValueArray<SCountedEntry> {
 public:
  SCountedEntryArray() : SValueArray<SCountedEntry>(4) {}
  bool Add(u32 key, void* item, u32 count, u32 index) {
    return SValueArray::Add(SCountedEntry{key, item, count, index});
  }
};
