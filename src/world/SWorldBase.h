// Record layouts of the world base that belong to no table: the base header (record 3999), the index
// lists and the map directory's head. One transfer routine each, for the loader and the world builder.
#pragma once
#include "foundation/SStream.h"
#include "os/Types.h"

inline constexpr u16 kWorldHeaderRecord = 3999;
inline constexpr u16 kWorldFirstRecord = 4000;
// The data version index lists moved from after the attributes to their own places.
inline constexpr u32 kIndexListsMovedVersion = 72;

struct SWorldBaseHeader {
  u32 value = 0;
  u8 dataVersion = 0;
  u8 moduleByte1 = 1;
  u8 moduleByte2 = 2;
  const char* firstText = nullptr;  // the world's title
  const char* name = nullptr;       // module name: resource prefix without its "_"
  const char* thirdText = nullptr;
  u16 value1 = 0;                   // tile columns of the world picture
  u16 value2 = 0;                   // tile rows
  const char* mapPrefix = nullptr;  // empty for archives without maps

  void Serialize(SStream& s) {
    s.SerializeU32(value);
    s.SerializeMarker(158);
    s.SerializeMarker('I');
    s.SerializeMarker(17);
    s.SerializeByte(dataVersion);
    s.SerializeByte(moduleByte1);
    s.SerializeByte(moduleByte2);
    s.SerializeString(firstText);
    s.SerializeString(name);
    s.SerializeString(thirdText);
    s.SerializeU16(value1);
    s.SerializeU16(value2);
    s.SerializeString(mapPrefix);
  }
};

// The head of the map directory (marker 1): the water type's "C" position, the map palette's "F"
// position and the map count; each map's record id and directory entry follow.
struct SMapDirectoryHead {
  u16 waterPosition = 0;
  u16 palettePosition = 0;
  u8 mapCount = 0;

  void Serialize(SStream& s) {
    s.SerializeMarker(1);
    s.SerializeU16(waterPosition);
    s.SerializeU16(palettePosition);
    s.SerializeByte(mapCount);
  }
};

// An index list record for writing: marker, align 2, u16 count, the names.
inline void WriteIndexList(SStream& s, u8 marker, const char* const* names, u16 count) {
  s.SerializeMarker(marker);
  s.SerializeU16(count);
  for (u32 i = 0; i < count; ++i) {
    const char* n = names[i];
    s.SerializeString(n);
  }
}
