// A cell of the game state's 35 x 35 window onto the world, in two layers: the map cell (types and palettes
// of its floor, ceiling, centre and sides, its monsters and bag) and its faces. Maps read their cell records
// into these; map-object kinds read and change them.
//
// `cellFlags` means different things by the kind in the cell (they never meet within one kind):
//   doors: bits 0-1 orientation, bits 2-3 opening method;   groups: bits 0-6 the spots;
//   teleports and positions: bits 0-2 the arrival facing 1..4;   traps: bits 4-6 the trap kind;
//   bit 7: a block-animation centre built by the game state's own substitute type.
#pragma once
#include "os/Types.h"

class SMapObjectType;
class SSoundTable;
class SStream;
class SWorldModule;
struct SPaletteEntry;

struct SMapCell {
  SMapObjectType* base1Type;
  SPaletteEntry* base1Palette;
  SMapObjectType* base1Type2;
  SMapObjectType* base2Type;
  SPaletteEntry* base2Palette;
  SMapObjectType* base2Type2;
  SMapObjectType* centreType;
  SPaletteEntry* centrePalette;
  SMapObjectType* styleType;
  SPaletteEntry* stylePalette;
  SMapObjectType* sideType[4];
  SPaletteEntry* sidePalette[4];
  SMapObjectType* side2Type[4];
  SPaletteEntry* side2Palette[4];
  u16 monsterId[2];
  u16 bagId;
  u8 sideObjectId[4];
  u8 cellFlags;
  u8 centreObjectId;
  u8 spare;

  SMapCell() { Clear(); }
  void Clear();
  void ClearSide(u32 side);
  void ClearObjectGroup();
  // One cell of a map's cell record (its types and palettes resolved through the module's index lists).
  // `recordFlags` gets the cell's flag word (bit 15: a face record follows). False when the record ends.
  bool Read(SStream& s, const SWorldModule& module, u32 version, u16& recordFlags);
  // Every type the cell names is in use on the map (its sounds are then needed too).
  void MarkTypesNeeded(SSoundTable* sounds) const;
};

struct SMapCellFaces {
  SMapObjectType* type0;
  SPaletteEntry* palette0;
  SMapObjectType* centreType;
  SPaletteEntry* centrePalette;
  SMapObjectType* type3;
  SPaletteEntry* palette3;
  SMapObjectType* sideType[4];
  SPaletteEntry* sidePalette[4];
  SMapObjectType* side2Type[4];
  SPaletteEntry* side2Palette[4];
  u8 sideObjectId[4];
  u8 centreObjectId;

  SMapCellFaces() { Clear(); }
  void Clear();
  void ClearSide(u32 side);
  void ClearGroups();
  bool Read(SStream& s, const SWorldModule& module, u32 version);
  void MarkTypesNeeded(SSoundTable* sounds) const;
};
