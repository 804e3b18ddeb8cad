#include "world/SMapCell.h"

#include "foundation/SStream.h"
#include "world/SItemTable.h"
#include "world/SMapArea.h"
#include "world/SMapObjectType.h"
#include "world/SWorldModule.h"

#include <cstring>
#include <new>

namespace {

SMapObjectType* ReadType(SStream& s, const SWorldModule& module) {
  u16 position = 0;
  s.SerializeU16(position);
  return static_cast<SMapObjectType*>(module.MapObjectTypeAt(position));
}

SPaletteEntry* ReadPalette(SStream& s, const SWorldModule& module) {
  u16 position = 0;
  s.SerializeU16(position);
  return module.PaletteAt(position);
}

// The four sides and their second layers, stored alike in the cell and in its face record.
template <class Cell>
void ReadSides(SStream& s, const SWorldModule& module, u16 f, Cell& c) {
  for (u32 side = 0; side < 4; ++side)
    if (f & (0x0010 << side)) {
      c.sideType[side] = ReadType(s, module);
      c.sidePalette[side] = ReadPalette(s, module);
      s.SerializeByte(c.sideObjectId[side]);
    }
  for (u32 side = 0; side < 4; ++side)
    if (f & (0x0100 << side)) {
      c.side2Type[side] = ReadType(s, module);
      c.side2Palette[side] = ReadPalette(s, module);
    }
}

}  // namespace

void SMapCell::Clear() { std::memset(static_cast<void*>(this), 0, sizeof(*this)); }

void SMapCell::ClearSide(u32 side) {
  if (side >= 4) return;
  sideType[side] = side2Type[side] = nullptr;
  sidePalette[side] = side2Palette[side] = nullptr;
  sideObjectId[side] = 0;
}

void SMapCell::ClearObjectGroup() {
  centreType = nullptr;
  centrePalette = nullptr;
  centreObjectId = 0;
  cellFlags = 0;
}

bool SMapCell::Read(SStream& s, const SWorldModule& module, u32 version, u16& recordFlags) {
  Clear();
  u16 f = 0;
  s.SerializeU16(f);
  recordFlags = f;
  if (f == 0) return s.Ok();
  const bool old = version < 34;
  if (f & 0x0001) {
    base1Type = ReadType(s, module);
    if ((f & 0x1000) || old) base1Palette = ReadPalette(s, module);
    base1Type2 = ReadType(s, module);
  }
  if (f & 0x0002) {
    base2Type = ReadType(s, module);
    if ((f & 0x2000) || old) base2Palette = ReadPalette(s, module);
    base2Type2 = ReadType(s, module);
  }
  if (f & 0x0004) {
    centreType = ReadType(s, module);
    if ((f & 0x4000) || old) centrePalette = ReadPalette(s, module);
    // Older data carries only the object's id; the cell flag byte came later.
    s.SerializeByte(centreObjectId);
    if (version > 42) s.SerializeByte(cellFlags);
  }
  if (f & 0x0008) {
    styleType = ReadType(s, module);
    stylePalette = ReadPalette(s, module);
  }
  ReadSides(s, module, f, *this);
  s.Align(2);
  return s.Ok();
}

void SMapCell::MarkTypesNeeded(SSoundTable* table) const {
  SMapObjectType* const all[] = {base1Type,    base1Type2,   base2Type,    base2Type2,  centreType,
                                 styleType,    sideType[0],  sideType[1],  sideType[2], sideType[3],
                                 side2Type[0], side2Type[1], side2Type[2], side2Type[3]};
  for (SMapObjectType* t : all)
    if (t) t->MarkNeeded(table);
}

void SMapCellFaces::MarkTypesNeeded(SSoundTable* table) const {
  SMapObjectType* const all[] = {type0,       centreType,   type3,        sideType[0],  sideType[1], sideType[2],
                                 sideType[3], side2Type[0], side2Type[1], side2Type[2], side2Type[3]};
  for (SMapObjectType* t : all)
    if (t) t->MarkNeeded(table);
}

void SMapCellFaces::Clear() { std::memset(static_cast<void*>(this), 0, sizeof(*this)); }

void SMapCellFaces::ClearSide(u32 side) {
  if (side >= 4) return;
  sideType[side] = side2Type[side] = nullptr;
  sidePalette[side] = side2Palette[side] = nullptr;
  sideObjectId[side] = 0;
}

void SMapCellFaces::ClearGroups() {
  type0 = centreType = type3 = nullptr;
  palette0 = centrePalette = palette3 = nullptr;
  centreObjectId = 0;
}

bool SMapCellFaces::Read(SStream& s, const SWorldModule& module, u32 version) {
  Clear();
  u16 f = 0;
  s.SerializeU16(f);
  const bool old = version < 34;
  if (f & 0x0001) {
    type0 = ReadType(s, module);
    if ((f & 0x1000) || old) palette0 = ReadPalette(s, module);
  }
  if (f & 0x0004) {
    centreType = ReadType(s, module);
    if ((f & 0x4000) || old) centrePalette = ReadPalette(s, module);
    s.SerializeByte(centreObjectId);
  }
  if (f & 0x0008) {
    type3 = ReadType(s, module);
    if (f & 0x8000) palette3 = ReadPalette(s, module);
  }
  ReadSides(s, module, f, *this);
  s.Align(2);
  return s.Ok();
}
