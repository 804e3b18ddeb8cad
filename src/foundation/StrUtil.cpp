#include "foundation/StrUtil.h"

#include <cstring>
#include <new>

namespace {

inline int Signed(char c) { return static_cast<signed char>(c); }
inline bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
inline bool IsLower(char c) { return c >= 'a' && c <= 'z'; }
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
inline bool IsAlnum(char c) { return IsUpper(c) || IsLower(c) || IsDigit(c); }
inline char Fold(char c) { return IsUpper(c) ? char(c + 32) : c; }

int FindImpl(const char* text, const char* sub, bool noCase, int from = 0) {
  if (!text || !sub || !*text || !*sub) return -1;
  for (int i = from; text[i]; ++i) {
    int k = 0;
    while (sub[k] && text[i + k] && (noCase ? Fold(text[i + k]) == Fold(sub[k]) : text[i + k] == sub[k])) ++k;
    if (!sub[k]) return i;
  }
  return -1;
}

int CountImpl(const char* text, const char* sub, bool noCase) {
  if (!text || !sub || !*sub) return 0;
  int count = 0;
  int at = 0;
  const int n = int(std::strlen(sub));
  while ((at = FindImpl(text, sub, noCase, at)) >= 0) {
    ++count;
    at += n;
  }
  return count;
}

bool ReplaceImpl(char* buffer, u32 bufferSize, const char* find, const char* repl, bool noCase) {
  if (!buffer || !find || !repl || !*find) return false;
  const int count = CountImpl(buffer, find, noCase);
  if (count == 0) return true;
  const u64 len = std::strlen(buffer), lf = std::strlen(find), lr = std::strlen(repl);
  const u64 newLen = len - lf * u64(count) + lr * u64(count);
  if (newLen + 1 > bufferSize) return false;
  char* temp = new (std::nothrow) char[newLen + 1];
  if (!temp) return false;
  u64 out = 0;
  int at = 0;
  int prev = 0;
  while ((at = FindImpl(buffer, find, noCase, prev)) >= 0) {
    std::memcpy(temp + out, buffer + prev, size_t(at - prev));
    out += u64(at - prev);
    std::memcpy(temp + out, repl, lr);
    out += lr;
    prev = at + int(lf);
  }
  std::memcpy(temp + out, buffer + prev, size_t(len - u64(prev)));
  out += len - u64(prev);
  temp[out] = 0;
  std::memcpy(buffer, temp, out + 1);
  delete[] temp;
  return true;
}

// Output of the formatter: counts everything, stores what fits.
struct Out {
  char* dest;
  u32 size;
  u32 length = 0;
  void Put(char c) {
    if (dest && length + 1 < size) dest[length] = c;
    ++length;
  }
  void Put(const char* text, u32 n) {
    for (u32 i = 0; i < n; ++i) Put(text[i]);
  }
  void Pad(char c, i32 n) {
    for (i32 i = 0; i < n; ++i) Put(c);
  }
  void Finish() {
    if (dest && size) dest[length < size ? length : size - 1] = 0;
  }
};

}  // namespace

i32 StrToInt(const char* text) {
  if (!text) return 0;
  while (*text == ' ') ++text;
  bool negative = false;
  if (*text == '+' || *text == '-') negative = *text++ == '-';
  u32 value = 0;
  while (IsDigit(*text)) value = value * 10 + u32(*text++ - '0');
  return i32(negative ? 0u - value : value);
}

i16 StrToShort(const char* text) {
  if (!text) return 0;
  while (*text == ' ') ++text;
  bool negative = false;
  if (*text == '+' || *text == '-') negative = *text++ == '-';
  u16 value = 0;
  while (IsDigit(*text)) value = u16(value * 10 + u16(*text++ - '0'));
  return i16(negative ? u16(0u - value) : value);
}

int StrCompare(const char* a, const char* b) {
  if (!a) return 1;
  if (!b) return -1;
  for (;; ++a, ++b) {
    if (*a != *b) return Signed(*a) - Signed(*b);
    if (!*a) return 0;
  }
}

static int CompareNoCaseLimited(const char* a, const char* b, int limit) {
  if (!a) return 1;
  if (!b) return -1;
  for (int i = 0; limit < 0 || i < limit; ++i) {
    if (Fold(a[i]) != Fold(b[i])) return Signed(a[i]) - Signed(b[i]);
    if (!a[i]) return 0;
  }
  return 0;
}

int StrCompareNoCase(const char* a, const char* b) { return CompareNoCaseLimited(a, b, -1); }
int StrCompareNoCaseN(const char* a, const char* b, int) { return CompareNoCaseLimited(a, b, 5); }

int StrFind(const char* text, const char* sub) { return FindImpl(text, sub, false); }
int StrFindNoCase(const char* text, const char* sub) { return FindImpl(text, sub, true); }

int StrFindChar(const char* text, char c) {
  if (!text) return -1;
  for (int i = 0; text[i]; ++i)
    if (text[i] == c) return i;
  return -1;
}

int StrCount(const char* text, const char* sub) { return CountImpl(text, sub, false); }
int StrCountNoCase(const char* text, const char* sub) { return CountImpl(text, sub, true); }

bool StrReplaceAll(char* buffer, u32 bufferSize, const char* find, const char* repl) {
  return ReplaceImpl(buffer, bufferSize, find, repl, false);
}
bool StrReplaceAllNoCase(char* buffer, u32 bufferSize, const char* find, const char* repl) {
  return ReplaceImpl(buffer, bufferSize, find, repl, true);
}

static char* DupRange(const char* text, size_t n) {
  char* copy = new (std::nothrow) char[n + 1];
  if (!copy) return nullptr;
  std::memcpy(copy, text, n);
  copy[n] = 0;
  return copy;
}

char* StrDup(const char* text) { return text ? DupRange(text, std::strlen(text)) : nullptr; }

char* StrDupLeft(const char* text, u32 n) {
  if (!text) return nullptr;
  size_t len = std::strlen(text);
  return DupRange(text, len <= n ? len : n);
}

char* StrDupRight(const char* text, u32 n) {
  if (!text) return nullptr;
  size_t len = std::strlen(text);
  return len <= n ? DupRange(text, len) : DupRange(text + len - n, n);
}

u32 StrLength(const char* text) { return text ? u32(std::strlen(text)) : 0; }

void StrCopy(char* dest, u32 destSize, const char* src) { StrCopyN(dest, destSize, src, 0xFFFFFFFFu); }

void StrCopyN(char* dest, u32 destSize, const char* src, u32 n) {
  if (!dest || !src || !destSize) return;
  u32 i = 0;
  for (; i < n && i + 1 < destSize && src[i]; ++i) dest[i] = src[i];
  dest[i] = 0;
}

void StrAppend(char* dest, u32 destSize, const char* src) { StrAppendN(dest, destSize, src, 0xFFFFFFFFu); }

void StrAppendN(char* dest, u32 destSize, const char* src, u32 n) {
  if (!dest || !src || !destSize) return;
  u32 len = 0;
  while (len < destSize && dest[len]) ++len;
  if (len == destSize) {  // not terminated inside the buffer: terminate it
    dest[destSize - 1] = 0;
    return;
  }
  StrCopyN(dest + len, destSize - len, src, n);
}

void StrAppendChar(char* dest, u32 destSize, char c) {
  char text[2] = {c, 0};
  StrAppend(dest, destSize, text);
}

void StrWiden(u16* dest, u32 destCount, const char* src) {
  if (!dest || !src || !destCount) return;
  u32 i = 0;
  for (; i + 1 < destCount && src[i]; ++i) dest[i] = u16(i16(Signed(src[i])));
  dest[i] = 0;
}

char CharToUpper(char c) { return IsLower(c) ? char(c - 32) : c; }
char CharToLower(char c) { return IsUpper(c) ? char(c + 32) : c; }

void StrLower(char* text) {
  if (!text) return;
  for (; *text; ++text) *text = CharToLower(*text);
}

void StrReverse(char* text) {
  if (!text) return;
  size_t n = std::strlen(text);
  for (size_t i = 0; i < n / 2; ++i) {
    char c = text[i];
    text[i] = text[n - 1 - i];
    text[n - 1 - i] = c;
  }
}

void StrTrimNonAlnum(char* text) {
  if (!text) return;
  size_t n = std::strlen(text);
  size_t first = 0;
  while (first < n && !IsAlnum(text[first])) ++first;
  size_t last = n;
  while (last > first && !IsAlnum(text[last - 1])) --last;
  std::memmove(text, text + first, last - first);
  text[last - first] = 0;
}

const char* StrIndefiniteArticle(const char* word) {
  if (word && *word && std::strchr("aeiouAEIOU", *word)) return "an";
  return "a";
}

void UIntToStr(u32 value, char* buffer, u32 bufferSize) {
  char digits[12];
  int n = 0;
  do {
    digits[n++] = char('0' + value % 10);
    value /= 10;
  } while (value);
  char text[12];
  for (int i = 0; i < n; ++i) text[i] = digits[n - 1 - i];
  text[n] = 0;
  StrCopy(buffer, bufferSize, text);
}

void IntToStr(i32 value, char* buffer, u32 bufferSize) {
  char text[12];
  if (value < 0) {
    text[0] = '-';
    UIntToStr(0u - u32(value), text + 1, 11);
  } else {
    UIntToStr(u32(value), text, 12);
  }
  StrCopy(buffer, bufferSize, text);
}

u32 StrFormatV(char* dest, u32 destSize, const char* format, va_list args) {
  if (!format) return 0;
  Out out{dest, destSize};
  for (const char* p = format; *p;) {
    if (*p != '%') {
      out.Put(*p++);
      continue;
    }
    ++p;
    if (*p == '%') {
      out.Put('%');
      ++p;
      continue;
    }
    bool left = false, zero = false, plus = false;
    if (*p == '-') left = true, ++p;
    if (*p == '0') zero = true, ++p;
    if (*p == '+') plus = true, ++p;
    i32 width = 0, precision = 0;
    if (IsDigit(*p)) {
      width = StrToShort(p);
      while (IsDigit(*p)) ++p;
    }
    if (*p == '.') {
      ++p;
      if (IsDigit(*p)) precision = StrToShort(p);
      while (IsDigit(*p)) ++p;
    }
    if (*p == 'l') ++p;
    char number[14];
    const char* text;
    u32 length;
    switch (*p) {
      case 'd': {
        i32 v = va_arg(args, i32);
        number[0] = '+';
        IntToStr(v, number + (plus && v > 0 ? 1 : 0), 13);
        text = number;
        length = StrLength(number);
        break;
      }
      case 'u':
        UIntToStr(va_arg(args, u32), number, 14);
        text = number;
        length = StrLength(number);
        break;
      case 's':
        text = va_arg(args, const char*);
        if (!text) text = "";
        length = 0;
        while (text[length] && (precision <= 0 || length < u32(precision))) ++length;
        break;
      case 'c':
        number[0] = char(va_arg(args, u32) & 0xFF);
        text = number;
        length = 1;
        break;
      default:  // an unknown conversion (or the end of the format) ends the output
        out.Finish();
        return out.length;
    }
    ++p;
    if (precision > 0 && length > u32(precision)) length = u32(precision);
    i32 pad = width - i32(length);
    char padChar = zero ? '0' : ' ';
    if (!left) out.Pad(padChar, pad);
    out.Put(text, length);
    if (left) out.Pad(padChar, pad);
  }
  out.Finish();
  return out.length;
}

u32 StrFormat(char* dest, u32 destSize, const char* format, ...) {
  va_list args;
  va_start(args, format);
  u32 n = StrFormatV(dest, destSize, format, args);
  va_end(args);
  return n;
}
