#include "foundation/SString.h"

#include <cstring>
#include <functional>
#include <new>

namespace {

char* NewBuffer(u32 capacity) {
  char* p = new (std::nothrow) char[capacity];
  if (p) p[0] = 0;
  return p;
}

// A text that lies in the string's own buffer is copied before the buffer may move.
struct OwnCopy {
  const char* text;
  char* copy = nullptr;
  OwnCopy(const char* t, const char* buffer, u32 capacity) : text(t) {
    std::less_equal<const char*> le;
    if (t && buffer && le(buffer, t) && !le(buffer + capacity, t)) text = copy = StrDup(t);
  }
  ~OwnCopy() { delete[] copy; }
};

u32 Saturate(u32 capacity) { return capacity > SString::kMaxCapacity ? SString::kMaxCapacity : capacity; }

}  // namespace

SString::SString() { SetBuffer(kGrowStep); }

SString::SString(const char* text) {
  u32 len = StrLength(text);
  SetBuffer(Saturate((len / kGrowStep + 1) * kGrowStep));
  if (text_ && text) StrCopy(text_, capacity_, text);
}

SString::SString(const SString& other) { CopyConstruct(other); }

SString::SString(SString&& other) noexcept
    : text_(other.text_), capacity_(other.capacity_), growStep_(other.growStep_) {
  other.text_ = nullptr;
  other.capacity_ = 0;
  other.SetBuffer(kGrowStep);
}

SString& SString::operator=(const SString& other) {
  if (this != &other) Copy(other);
  return *this;
}

SString& SString::operator=(SString&& other) noexcept {
  if (this != &other) {
    delete[] text_;
    text_ = other.text_;
    capacity_ = other.capacity_;
    growStep_ = other.growStep_;
    other.text_ = nullptr;
    other.capacity_ = 0;
    other.SetBuffer(kGrowStep);
  }
  return *this;
}

SString& SString::operator=(const char* text) {
  Assign(text);
  return *this;
}

SString::~SString() { delete[] text_; }

void SString::SetBuffer(u32 capacity) {
  delete[] text_;
  text_ = NewBuffer(capacity);
  capacity_ = text_ ? u16(capacity) : 0;
}

void SString::CopyConstruct(const SString& other) {
  growStep_ = other.growStep_ ? other.growStep_ : kGrowStep;
  SetBuffer(other.capacity_ ? other.capacity_ : growStep_);
  if (text_ && other.text_) StrCopy(text_, capacity_, other.text_);
}

void SString::Copy(const SString& other) {
  if (this == &other) return;
  CopyConstruct(other);
}

void SString::Assign(const char* text) {
  if (!text || text == text_) return;
  OwnCopy own(text, text_, capacity_);
  text = own.text;
  if (!text) return;
  u32 len = StrLength(text);
  if (!text_ || capacity_ <= len) {
    u32 capacity = capacity_;
    while (capacity <= len && capacity < kMaxCapacity) capacity += growStep_;
    SetBuffer(Saturate(capacity));
  }
  if (text_) StrCopy(text_, capacity_, text);
}

void SString::Grow(u32 needed) {
  needed = Saturate(needed);
  if (text_ && capacity_ >= needed) return;
  char* buffer = NewBuffer(needed);
  if (!buffer) return;
  if (text_) StrCopy(buffer, needed, text_);
  delete[] text_;
  text_ = buffer;
  capacity_ = u16(needed);
}

void SString::Reserve(u32 n) {
  u64 want = u64(Length()) + n + 1;
  if (text_ && capacity_ > want) return;
  if (want > kMaxCapacity) want = kMaxCapacity;
  Grow(u32((want / growStep_ + 1) * growStep_));
}

void SString::Append(const char* text) {
  OwnCopy own(text, text_, capacity_);
  text = own.text;
  if (!text) return;
  Reserve(StrLength(text) + 1);
  if (text_) StrAppend(text_, capacity_, text);
}

void SString::AppendN(const char* text, u32 n) {
  OwnCopy own(text, text_, capacity_);
  text = own.text;
  if (!text) return;
  u32 len = StrLength(text);
  if (n > len) n = len;
  Reserve(n + 1);
  if (text_) StrAppendN(text_, capacity_, text, n);
}

void SString::AppendChar(char c) {
  Reserve(2);
  if (text_) StrAppendChar(text_, capacity_, c);
}

void SString::Prepend(const char* text) {
  OwnCopy own(text, text_, capacity_);
  text = own.text;
  if (!text) return;
  if (IsEmpty()) {
    Append(text);
    return;
  }
  u32 len = Length(), add = StrLength(text);
  Reserve(add + 1);
  if (!text_) return;
  u32 room = u32(capacity_) - 1;  // saturated strings keep what fits
  if (add > room) add = room;
  u32 keep = add + len > room ? room - add : len;
  std::memmove(text_ + add, text_, keep);
  text_[add + keep] = 0;
  std::memcpy(text_, text, add);
}

void SString::PrependChar(char c) {
  char text[2] = {c, 0};
  Prepend(text);
}

void SString::ReplaceAll(const char* find, const char* repl) {
  if (!find || !repl || !*find || !text_) return;
  u32 lf = StrLength(find), lr = StrLength(repl);
  if (lr > lf) Reserve((lr - lf) * u32(StrCount(text_, find)) + 1);
  if (text_) StrReplaceAll(text_, capacity_, find, repl);
}

void SString::ReplaceAllNoCase(const char* find, const char* repl) {
  if (!find || !repl || !*find || !text_) return;
  u32 lf = StrLength(find), lr = StrLength(repl);
  if (lr > lf) Reserve((lr - lf) * u32(StrCountNoCase(text_, find)) + 1);
  if (text_) StrReplaceAllNoCase(text_, capacity_, find, repl);
}

void SString::ReplaceDay(i32 n) {
  char number[16];
  StrFormat(number, "%ld", n);
  ReplaceAllNoCase("%Day%", number);
}

void SString::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatV(format, args);
  va_end(args);
}

// Formats into a temporary measured for the result (an argument may be this string's own text).
static char* FormatToHeap(const char* format, va_list args, u32* length) {
  va_list measure;
  va_copy(measure, args);
  u32 n = StrFormatV(nullptr, 0, format, measure);
  va_end(measure);
  char* temp = new (std::nothrow) char[u64(n) + 1];
  if (temp) StrFormatV(temp, n + 1, format, args);
  *length = n;
  return temp;
}

void SString::FormatV(const char* format, va_list args) {
  if (!format) return;
  u32 n = 0;
  char* temp = FormatToHeap(format, args, &n);
  if (!temp) return;
  if (!text_ || n >= capacity_) Reserve(n + 1);
  if (text_) StrCopy(text_, capacity_, temp);
  delete[] temp;
}

void SString::FormatAppend(const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatAppendV(format, args);
  va_end(args);
}

void SString::FormatAppendV(const char* format, va_list args) {
  if (!format) return;
  u32 n = 0;
  char* temp = FormatToHeap(format, args, &n);
  if (!temp) return;
  if (!text_ || Length() + n >= capacity_) Reserve(n + 1);
  if (text_) StrAppend(text_, capacity_, temp);
  delete[] temp;
}

void SString::RemoveFirstFive() {
  if (!text_) return;
  u32 len = Length();
  u32 cut = len < 5 ? len : 5;
  std::memmove(text_, text_ + cut, len - cut + 1);
}

void SString::MakeLower() { StrLower(text_); }
void SString::Trim() { StrTrimNonAlnum(text_); }

char SString::CharAt(u32 i) const { return i < Length() ? text_[i] : 0; }

u32 SString::SetCharAt(u32 i, char c) {
  u32 len = Length();
  if (i < len) text_[i] = c;
  return len;
}

int SString::Find(const char* sub) const { return sub ? StrFind(text_, sub) : -1; }
int SString::FindNoCase(const char* sub) const { return sub ? StrFindNoCase(text_, sub) : -1; }

bool SString::Equals(const char* text) const {
  if (!text || !text_) return false;
  return StrCompare(text_, text) == 0;
}

int SString::Compare(const char* text) const { return text ? StrCompare(text_, text) : -1; }
int SString::CompareNoCase(const char* text) const { return text ? StrCompareNoCase(text_, text) : -1; }

SString SString::Left(u32 n) const {
  char* part = StrDupLeft(text_ ? text_ : "", n);
  SString result(part);
  delete[] part;
  return result;
}

SString SString::Right(u32 n) const {
  char* part = StrDupRight(text_ ? text_ : "", n);
  SString result(part);
  delete[] part;
  return result;
}

void SString::Free() {
  delete[] text_;
  text_ = nullptr;
  capacity_ = 0;
}
