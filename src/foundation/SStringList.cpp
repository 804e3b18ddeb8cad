#include "foundation/SStringList.h"

#include "foundation/QuickSort.h"

#include <cstring>
#include <new>

SStringList::SStringList() { Grow(growStep_); }

SStringList::~SStringList() {
  if (owns_) Clear();
  delete[] items_;
}

bool SStringList::Grow(u32 newCapacity) {
  if (newCapacity > kMaxCount) newCapacity = kMaxCount;
  if (newCapacity <= capacity_) return false;
  char** block = new (std::nothrow) char*[newCapacity];
  if (!block) return false;
  std::memset(static_cast<void*>(block), 0, sizeof(char*) * newCapacity);
  if (items_) std::memcpy(static_cast<void*>(block), items_, sizeof(char*) * count_);
  delete[] items_;
  items_ = block;
  capacity_ = u16(newCapacity);
  return true;
}

bool SStringList::Add(char* p) {
  if (count_ == capacity_ && !Grow(u32(capacity_) + growStep_)) return false;
  items_[count_++] = p;
  return true;
}

bool SStringList::AddText(const char* text) {
  char* copy = StrDup(text);
  if (text && !copy) return false;
  if (Add(copy)) return true;
  delete[] copy;
  return false;
}

char* SStringList::RemoveAt(i32 i) {
  if (i < 0 || i >= count_) return nullptr;
  char* p = items_[i];
  std::memmove(items_ + i, items_ + i + 1, sizeof(char*) * size_t(count_ - i - 1));
  items_[--count_] = nullptr;
  return p;
}

int SStringList::FindText(const char* text) const {
  if (!text) return -1;
  for (u32 i = 0; i < count_; ++i)
    if (items_[i] && StrCompare(items_[i], text) == 0) return int(i);
  return -1;
}

void SStringList::Clear() {
  for (u32 i = 0; i < count_; ++i) {
    delete[] items_[i];
    items_[i] = nullptr;
  }
  count_ = 0;
  // Capacity back to the grow step; the block is kept until the next growth replaces it.
  if (capacity_ > growStep_) capacity_ = growStep_;
}

void SStringList::Reset() {
  delete[] items_;
  items_ = nullptr;
  capacity_ = 0;
  count_ = 0;
  Grow(growStep_);
}

int SStringList::CompareTexts(const void* a, const void* b) {
  const char* x = *static_cast<char* const*>(a);
  const char* y = *static_cast<char* const*>(b);
  if (!x) return 1;
  if (!y) return -1;
  return StrCompare(x, y);
}

void SStringList::SortTexts() { QuickSort(items_, count_, sizeof(char*), CompareTexts); }

bool SStringList::SerializeTexts(SStream& s) {
  s.Align(2);
  u16 n = count_;
  s.SerializeU16(n);
  if (s.IsWriting()) {
    for (u32 i = 0; i < count_; ++i) {
      const char* text = items_[i];
      s.SerializeString(text);
    }
    return s.Ok();
  }
  if (s.Failed()) return false;
  if (u32(count_) + n > kMaxCount) {
    s.SetFailed();
    return false;
  }
  for (u32 i = 0; i < n; ++i) {
    const char* text = nullptr;
    s.SerializeString(text);
    // An empty text is stored as a null element, as the stream reads it.
    if (s.Failed() || !AddText(text)) {
      s.SetFailed();
      return false;
    }
  }
  return true;
}
