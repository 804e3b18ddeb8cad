// Names of records: a text with its two 16-bit hashes, used by every name table for lookup.
#pragma once
#include "os/Types.h"

class SStream;

// Length, then each signed byte shifted left by its position modulo 11, XORed in; low 16 bits.
u16 HashResourceName(const char* text);
// XOR of the first five signed bytes, byte i shifted left by i; low 16 bits.
u16 HashResourceNameShort(const char* text);

struct SName {
  char* text = nullptr;
  u16 hash = 0;
  u16 shortHash = 0;
  u32 owns = 0;  // 1: text is a private heap copy (new[])

  SName() = default;
  SName(const SName& other);  // an owning name copies its text
  SName& operator=(const SName& other);
  ~SName() { Free(); }

  void SetOwns() { owns = 1; }
  void Set(const char* newText);
  void AssignText(const char* newText) { Set(newText); }
  void AssignName(const char* const* p) { Set(p ? *p : nullptr); }
  bool Equals(const char* other, u16 otherHash) const;
  bool Equals(const char* other) const;  // hashes the text first
  u16 Hash() const { return hash; }
  const char* Text() const { return text; }
  // Through the stream; on reading the hashes are recomputed unless keepHashes.
  void Serialize(SStream& stream, bool keepHashes = false);
  void Free();
};
