// Growable array of pointers: u16 grow step, count and capacity, and an owns-items flag (an owning array
// deletes its elements). Counts never pass 65,535: an operation that would needs refuses.
#pragma once
#include "foundation/SName.h"
#include "foundation/SStream.h"
#include "foundation/StrUtil.h"

#include <cstring>
#include <new>
#include <utility>

// Where an element's name is. Specialise for element types whose name member is not `name`.
template <class T>
struct SNameOf {
  static const SName& Get(const T& t) { return t.name; }
};

template <class T>
class SPtrArray {
 public:
  static constexpr u32 kMaxCount = 0xFFFF;

  explicit SPtrArray(bool owns = true, u16 growStep = 4) : growStep_(growStep ? growStep : 4), owns_(owns ? 1 : 0) {
    items_ = NewBlock(growStep_);
    if (items_) capacity_ = growStep_;
  }
  SPtrArray(const SPtrArray&) = delete;
  SPtrArray& operator=(const SPtrArray&) = delete;
  ~SPtrArray() {
    if (owns_) DeleteAll();
    delete[] items_;
  }

  u16 Count() const { return count_; }
  u16 Capacity() const { return capacity_; }
  u16 GrowStep() const { return growStep_; }
  bool Owns() const { return owns_ != 0; }
  void SetOwns(bool owns) { owns_ = owns ? 1 : 0; }
  bool IsEmpty() const { return count_ == 0; }
  T* At(i32 i) const { return i >= 0 && i < count_ ? items_[i] : nullptr; }
  T* operator[](i32 i) const { return At(i); }
  T** Data() const { return items_; }
  T** begin() const { return items_; }
  T** end() const { return items_ + count_; }

  // Appends; false (nothing changed) when the array cannot grow.
  bool Add(T* p) {
    if (count_ == capacity_ && !Grow(u32(capacity_) + growStep_)) return false;
    items_[count_++] = p;
    return true;
  }
  // A negative index becomes 0; an index at or past the count appends.
  bool InsertAt(T* p, i32 i) {
    if (i < 0) i = 0;
    if (i >= count_) return Add(p);
    if (count_ == capacity_ && !Grow(u32(capacity_) + growStep_)) return false;
    std::memmove(items_ + i + 1, items_ + i, sizeof(T*) * size_t(count_ - i));
    items_[i] = p;
    ++count_;
    return true;
  }
  bool InsertFirst(T* p) { return InsertAt(p, 0); }
  i32 IndexOf(const T* p) const {
    for (u32 i = 0; i < count_; ++i)
      if (items_[i] == p) return i32(i);
    return -1;
  }
  // Takes the first occurrence out (the element is not deleted).
  void Remove(const T* p) { RemoveAt(IndexOf(p)); }
  // The element at i, taken out; null and no change for an index outside the array.
  T* RemoveAt(i32 i) {
    if (i < 0 || i >= count_) return nullptr;
    T* p = items_[i];
    std::memmove(items_ + i, items_ + i + 1, sizeof(T*) * size_t(count_ - i - 1));
    items_[--count_] = nullptr;
    return p;
  }
  // Inserts after every element whose name hash is smaller or equal; returns the position + 1, 0 when
  // the array cannot grow.
  i32 InsertByNameHash(T* p) {
    u16 h = SNameOf<T>::Get(*p).hash;
    i32 pos = 0;
    while (pos < count_ && SNameOf<T>::Get(*items_[pos]).hash <= h) ++pos;
    return InsertAt(p, pos) ? pos + 1 : 0;
  }
  // The first element whose name has the text's hash and equals it byte for byte; null when none.
  T* FindByName(const char* text) const {
    if (!text) return nullptr;
    u16 h = HashResourceName(text);
    for (u32 i = 0; i < count_; ++i) {
      if (!items_[i]) continue;
      if (SNameOf<T>::Get(*items_[i]).Equals(text, h)) return items_[i];
    }
    return nullptr;
  }
  // Deletes every element: count 0, capacity back to the grow step (the block is kept; the next growth
  // replaces it).
  void DeleteAll() {
    for (u32 i = 0; i < count_; ++i) {
      delete items_[i];
      items_[i] = nullptr;
    }
    count_ = 0;
    ShrinkToStep();
  }
  // Forgets the elements without deleting them, as DeleteAll leaves the array.
  void Clear() {
    if (items_) std::memset(static_cast<void*>(items_), 0, sizeof(T*) * capacity_);
    count_ = 0;
    ShrinkToStep();
  }
  // As DeleteAll when owning, then frees the block (a fresh empty one of grow-step slots replaces it).
  void Destroy() {
    if (owns_) DeleteAll();
    count_ = 0;
    delete[] items_;
    items_ = NewBlock(growStep_);
    capacity_ = items_ ? growStep_ : 0;
  }
  // Room for n more elements: when count + n reaches the capacity the block grows to step + count + n.
  bool Reserve(u32 n) {
    u32 need = u32(count_) + n;
    if (need < capacity_) return true;
    return Grow(need + growStep_) || need <= capacity_;
  }

  // Named-record table transfer: align 2, u16 count, then the elements. Reading constructs each
  // element, lets transfer(T&, SStream&) read it and inserts it by name hash; writing writes the count
  // and each element. False (the stream's error set) when the data is short or bad.
  template <class F>
  bool SerializeNamed(SStream& s, F&& transfer) {
    return Transfer(s, std::forward<F>(transfer), true);
  }
  // List transfer: the same, appending in order on reading.
  template <class F>
  bool SerializeList(SStream& s, F&& transfer) {
    return Transfer(s, std::forward<F>(transfer), false);
  }

 private:
  static T** NewBlock(u32 n) {
    T** block = new (std::nothrow) T*[n];
    if (block) std::memset(static_cast<void*>(block), 0, sizeof(T*) * n);
    return block;
  }
  // The block has at least the grow step's slots whenever there is one.
  void ShrinkToStep() {
    if (capacity_ > growStep_) capacity_ = growStep_;
  }
  bool Grow(u32 newCapacity) {
    if (newCapacity > kMaxCount) newCapacity = kMaxCount;
    if (newCapacity <= capacity_) return false;
    T** block = NewBlock(newCapacity);
    if (!block) return false;
    if (items_) std::memcpy(static_cast<void*>(block), items_, sizeof(T*) * count_);
    delete[] items_;
    items_ = block;
    capacity_ = u16(newCapacity);
    return true;
  }
  template <class F>
  bool Transfer(SStream& s, F&& transfer, bool byHash) {
    s.Align(2);
    if (s.IsWriting()) {
      // Null slots are skipped, so the stored count leaves them out.
      u16 n = 0;
      for (u32 i = 0; i < count_; ++i)
        if (items_[i]) ++n;
      s.SerializeU16(n);
      for (u32 i = 0; i < count_ && s.Ok(); ++i)
        if (items_[i]) transfer(*items_[i], s);
      return s.Ok();
    }
    u16 n = 0;
    s.SerializeU16(n);
    if (s.Failed()) return false;
    if (u32(count_) + n > kMaxCount || !Reserve(n)) {
      s.SetFailed();
      return false;
    }
    for (u32 i = 0; i < n; ++i) {
      T* p = new (std::nothrow) T();
      if (!p) {
        s.SetFailed();
        return false;
      }
      transfer(*p, s);
      if (s.Failed() || !(byHash ? InsertByNameHash(p) > 0 : Add(p))) {
        delete p;
        s.SetFailed();
        return false;
      }
    }
    return true;
  }

  u16 growStep_;
  u16 count_ = 0;
  u16 capacity_ = 0;
  T** items_ = nullptr;
  u32 owns_;
};
