// One map of a world module as its directory entry describes it. The cells, objects, monsters and
// containers are read by the map code from the map's own records (first record `recordId`).
#pragma once
#include "foundation/SName.h"
#include "os/Types.h"

class SStream;
class SWorldModule;
struct SPaletteEntry;

class SMapArea {
 public:
  static constexpr u16 kOutdoor = 0x80;

  SMapArea() = default;
  SMapArea(const SMapArea&) = delete;
  SMapArea& operator=(const SMapArea&) = delete;
  virtual ~SMapArea() { delete[] automap; }

  // The directory entry (marker "G"), both directions. Positions are kept as stored; the module
  // resolves them through its index lists (position 0, or one past the list, gives none).
  bool SerializeDirectoryEntry(SStream& s, u32 version);
  bool IsOutdoor() const { return (flags & kOutdoor) != 0; }
  // The map's part of a saved game: its objects', monsters' and containers' state. The map code
  // overrides these; a bare directory entry has nothing to keep.
  virtual bool WriteSavedState(SStream& s, u32 saveVersion) { return true; }
  virtual bool ReadSavedState(SStream& s, u32 saveVersion) { return true; }

  SWorldModule* module = nullptr;
  SName name;
  const char* title = nullptr;
  u16 recordId = 0;
  u32 lastVisit = 0;
  void* textureType = nullptr;   // map-object types, resolved through the module's "C" list
  SPaletteEntry* texturePalette = nullptr;
  void* ceilingType = nullptr;
  SPaletteEntry* ceilingPalette = nullptr;
  u16 texturePosition = 0, texturePalettePosition = 0, ceilingPosition = 0, ceilingPalettePosition = 0;
  u8 width = 35, height = 35;
  u8 storedX = 0, storedY = 0, storedWidth = 0, storedHeight = 0;
  u16 automapRowBytes = 0;
  u8* automap = nullptr;
  u16 flags = 0;
  u16 fogColour = 0;
  u8 visibility = 100;
  u16 dataFogColour = 0;
  u8 dataVisibility = 100;
  i32 dataVersion = 0;
};
