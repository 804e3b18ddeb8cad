// Growable 8-bit text: a zero-terminated heap buffer, a u16 capacity and a u16 grow step (10). No length
// is stored. Capacities never pass 65,535: longer texts are cut to 65,534 characters.
#pragma once
#include "foundation/StrUtil.h"

class SString {
 public:
  static constexpr u16 kGrowStep = 10;
  static constexpr u32 kMaxCapacity = 0xFFFF;

  SString();
  SString(const char* text);      // NOLINT: texts convert implicitly
  SString(const SString& other);  // CopyConstruct: the other's capacity and grow step
  SString(SString&& other) noexcept;
  SString& operator=(const SString& other);  // Copy
  SString& operator=(SString&& other) noexcept;
  SString& operator=(const char* text);  // Assign
  ~SString();

  void CopyConstruct(const SString& other);  // as the copy constructor, over a live string
  void Assign(const char* text);
  void Copy(const SString& other);
  void AssignString(const SString& other) { Copy(other); }
  void AssignIfNotNull(const char* text) {
    if (text) Assign(text);
  }
  void Reserve(u32 n);
  void Append(const char* text);
  void AppendIfNotNull(const char* text) { Append(text); }
  void AppendN(const char* text, u32 n);
  void AppendChar(char c);
  void Prepend(const char* text);
  void PrependChar(char c);
  void ReplaceAll(const char* find, const char* repl);
  void ReplaceAllNoCase(const char* find, const char* repl);
  void ReplaceDay(i32 n);
  void Format(const char* format, ...);
  void FormatV(const char* format, va_list args);
  void FormatAppend(const char* format, ...);
  void FormatAppendV(const char* format, va_list args);
  void RemoveFirstFive();
  void MakeLower();
  void Trim();
  bool IsEmpty() const { return !text_ || !*text_; }
  u32 Length() const { return StrLength(text_); }
  char CharAt(u32 i) const;
  u32 SetCharAt(u32 i, char c);
  int Find(const char* sub) const;
  int FindNoCase(const char* sub) const;
  bool Equals(const char* text) const;
  bool NotEquals(const char* text) const { return !Equals(text); }
  int Compare(const char* text) const;
  int CompareNoCase(const char* text) const;
  SString Left(u32 n) const;
  SString Right(u32 n) const;
  const char* CStr() const { return text_; }
  char* Buffer() { return text_; }
  void Free();

  u16 Capacity() const { return capacity_; }
  u16 GrowStep() const { return growStep_; }

 private:
  void SetBuffer(u32 capacity);  // a fresh empty buffer, old one freed
  void Grow(u32 needed);         // keep the text, capacity >= needed (saturated)

  char* text_ = nullptr;
  u16 capacity_ = 0;
  u16 growStep_ = kGrowStep;
};
