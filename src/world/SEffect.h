// An effect entry as the world archives store it (tag 5): what a spell, item, monster or disease does.
#pragma once
#include "foundation/SStream.h"
#include "os/Types.h"

struct SEffect {
  char* name = nullptr;  // owned copy
  i16 base = 0;
  i16 perLevel = 0;
  i16 duration = 0;
  i16 durationPerLevel = 0;
  u8 radius = 0;
  u8 sub = 0;
  u8 mode = 0;
  u8 kind = 0;

  SEffect() = default;
  SEffect(const SEffect&) = delete;
  SEffect& operator=(const SEffect&) = delete;
  ~SEffect() { delete[] name; }

  // The archive form: tag 5, name, four 16-bit values, sub, mode, kind, and from version 25 the radius.
  void Serialize(SStream& s, u32 version) {
    s.SerializeMarker(5);
    s.SerializeStringAlloc(name);
    s.SerializeI16(base);
    s.SerializeI16(perLevel);
    s.SerializeI16(duration);
    s.SerializeI16(durationPerLevel);
    s.SerializeByte(sub);
    s.SerializeByte(mode);
    s.SerializeByte(kind);
    if (version >= 25) s.SerializeByte(radius);
  }
};
