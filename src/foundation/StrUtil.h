// Helpers on zero-terminated 8-bit texts, and the program's own printf-style formatter.
// Characters are signed bytes; letters are ASCII A-Z and a-z only. Every helper that writes into a
// caller's buffer takes the buffer's size and never writes past it (array overloads deduce the size).
#pragma once
#include "os/Types.h"

#include <cstdarg>
#include <cstddef>

i32 StrToInt(const char* text);
i16 StrToShort(const char* text);

int StrCompare(const char* a, const char* b);
int StrCompareNoCase(const char* a, const char* b);
// Compares at most 5 characters, whatever n is (every caller passes 5).
int StrCompareNoCaseN(const char* a, const char* b, int n);

int StrFind(const char* text, const char* sub);
int StrFindNoCase(const char* text, const char* sub);
int StrFindChar(const char* text, char c);
int StrCount(const char* text, const char* sub);
int StrCountNoCase(const char* text, const char* sub);

// Replaces every occurrence in place. False, with the buffer unchanged, when the result would not fit
// in bufferSize bytes (terminator included) or an argument is null or find is empty.
bool StrReplaceAll(char* buffer, u32 bufferSize, const char* find, const char* repl);
bool StrReplaceAllNoCase(char* buffer, u32 bufferSize, const char* find, const char* repl);

// New heap texts (free with delete[]); null gives null.
char* StrDup(const char* text);
char* StrDupLeft(const char* text, u32 n);
char* StrDupRight(const char* text, u32 n);

u32 StrLength(const char* text);

// Writers: never past destSize bytes, always terminated when destSize > 0; nothing when an argument is null.
void StrCopy(char* dest, u32 destSize, const char* src);
void StrCopyN(char* dest, u32 destSize, const char* src, u32 n);
void StrAppend(char* dest, u32 destSize, const char* src);
void StrAppendN(char* dest, u32 destSize, const char* src, u32 n);
void StrAppendChar(char* dest, u32 destSize, char c);
// Byte text to 16-bit text, each byte sign-extended.
void StrWiden(u16* dest, u32 destCount, const char* src);

template <size_t N>
void StrCopy(char (&dest)[N], const char* src) {
  StrCopy(dest, u32(N), src);
}
template <size_t N>
void StrCopyN(char (&dest)[N], const char* src, u32 n) {
  StrCopyN(dest, u32(N), src, n);
}
template <size_t N>
void StrAppend(char (&dest)[N], const char* src) {
  StrAppend(dest, u32(N), src);
}
template <size_t N>
void StrAppendN(char (&dest)[N], const char* src, u32 n) {
  StrAppendN(dest, u32(N), src, n);
}
template <size_t N>
void StrAppendChar(char (&dest)[N], char c) {
  StrAppendChar(dest, u32(N), c);
}

char CharToUpper(char c);
char CharToLower(char c);
void StrLower(char* text);
void StrReverse(char* text);
void StrTrimNonAlnum(char* text);
const char* StrIndefiniteArticle(const char* word);

// Decimal digits with a leading '-' for negative values; the buffer needs 12 bytes.
void UIntToStr(u32 value, char* buffer, u32 bufferSize = 12);
void IntToStr(i32 value, char* buffer, u32 bufferSize = 12);

// The formatter: %[-][0][+][width][.precision][l](d|u|s|c) and %%; every argument is 32 bits (pass i32,
// u32 or a text pointer). An unknown conversion ends the output. Writes at most destSize bytes, always
// terminated; returns the length of the whole result (as if the buffer were large enough), so
// StrFormatV(nullptr, 0, ...) measures. A null format gives 0 and writes nothing.
u32 StrFormatV(char* dest, u32 destSize, const char* format, va_list args);
u32 StrFormat(char* dest, u32 destSize, const char* format, ...);
template <size_t N>
u32 StrFormat(char (&dest)[N], const char* format, ...) {
  va_list args;
  va_start(args, format);
  u32 n = StrFormatV(dest, u32(N), format, args);
  va_end(args);
  return n;
}
