#include "foundation/SName.h"

#include "foundation/SStream.h"
#include "foundation/StrUtil.h"

u16 HashResourceName(const char* text) {
  if (!text) return 0;
  u32 h = StrLength(text) & 0xFFFF;
  int k = 0;
  for (const char* p = text; *p; ++p) {
    i32 b = static_cast<signed char>(*p);
    h ^= u32(b * (1 << k)) & 0xFFFF;
    k = (k + 1) % 11;
  }
  return u16(h);
}

u16 HashResourceNameShort(const char* text) {
  if (!text) return 0;
  u32 h = 0;
  for (int i = 0; i < 5 && text[i]; ++i) {
    i32 b = static_cast<signed char>(text[i]);
    h ^= u32(b * (1 << i));
  }
  return u16(h);
}

SName::SName(const SName& other) : hash(other.hash), shortHash(other.shortHash), owns(other.owns) {
  text = owns ? StrDup(other.text) : other.text;
}

SName& SName::operator=(const SName& other) {
  if (this == &other) return *this;
  Free();
  owns = other.owns;
  text = owns ? StrDup(other.text) : other.text;
  hash = other.hash;
  shortHash = other.shortHash;
  return *this;
}

void SName::Set(const char* newText) {
  if (owns) {
    char* copy = StrDup(newText);
    delete[] text;
    text = copy;
  } else {
    text = const_cast<char*>(newText);
  }
  hash = HashResourceName(text);
  shortHash = HashResourceNameShort(text);
}

bool SName::Equals(const char* other, u16 otherHash) const {
  if (!other || !text || otherHash != hash) return false;
  return StrCompare(text, other) == 0;
}

bool SName::Equals(const char* other) const { return other && Equals(other, HashResourceName(other)); }

void SName::Serialize(SStream& stream, bool keepHashes) {
  if (owns)
    stream.SerializeStringAlloc(text);
  else
    stream.SerializeString(text);
  if (stream.IsReading() && !keepHashes) {
    hash = HashResourceName(text);
    shortHash = HashResourceNameShort(text);
  }
}

void SName::Free() {
  if (owns) delete[] text;
  text = nullptr;
  hash = 0;
  shortHash = 0;
}
