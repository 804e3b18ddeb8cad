// The map records of world archives, written through the game's own transfers where it has them.
#include "WorldMaps.h"

#include "foundation/SStream.h"
#include "world/SItem.h"
#include "world/SMapObjectType.h"

namespace worldbuild {

namespace {

constexpr u32 kBig = 1u << 20;

void U16(SStream& s, u16 v) { s.SerializeU16(v); }
void U8(SStream& s, u8 v) { s.SerializeByte(v); }

void WriteCell(SStream& s, const CellDef& c, u32 version) {
  const bool old = version < 34;
  u16 f = 0;
  if (c.base1 || c.base1Second) f |= 0x0001 | (c.base1Palette ? 0x1000 : 0);
  if (c.base2 || c.base2Second) f |= 0x0002 | (c.base2Palette ? 0x2000 : 0);
  if (c.centre) f |= 0x0004 | (c.centrePalette ? 0x4000 : 0);
  if (c.style) f |= 0x0008;
  for (u32 i = 0; i < 4; ++i) {
    if (c.side[i]) f |= u16(0x0010 << i);
    if (c.side2[i]) f |= u16(0x0100 << i);
  }
  const bool faces = c.face0 || c.faceCentre;
  if (faces) f |= 0x8000;
  U16(s, f);
  if ((f & 0x7FFF) == 0 && !faces) return;
  if (f & 0x0001) {
    U16(s, c.base1);
    if ((f & 0x1000) || old) U16(s, c.base1Palette);
    U16(s, c.base1Second);
  }
  if (f & 0x0002) {
    U16(s, c.base2);
    if ((f & 0x2000) || old) U16(s, c.base2Palette);
    U16(s, c.base2Second);
  }
  if (f & 0x0004) {
    U16(s, c.centre);
    if ((f & 0x4000) || old) U16(s, c.centrePalette);
    U8(s, c.centreId);
    if (version > 42) U8(s, c.cellFlags);
  }
  if (f & 0x0008) {
    U16(s, c.style);
    U16(s, c.stylePalette);
  }
  for (u32 i = 0; i < 4; ++i)
    if (f & (0x0010 << i)) {
      U16(s, c.side[i]);
      U16(s, c.sidePalette[i]);
      U8(s, c.sideId[i]);
    }
  for (u32 i = 0; i < 4; ++i)
    if (f & (0x0100 << i)) {
      U16(s, c.side2[i]);
      U16(s, c.side2Palette[i]);
    }
  s.Align(2);
  if (!faces) return;
  u16 ff = 0;
  if (c.face0) ff |= 0x0001 | (c.face0Palette ? 0x1000 : 0);
  if (c.faceCentre) ff |= 0x0004 | (c.faceCentrePalette ? 0x4000 : 0);
  U16(s, ff);
  if (ff & 0x0001) {
    U16(s, c.face0);
    if ((ff & 0x1000) || old) U16(s, c.face0Palette);
  }
  if (ff & 0x0004) {
    U16(s, c.faceCentre);
    if ((ff & 0x4000) || old) U16(s, c.faceCentrePalette);
    U8(s, c.faceCentreId);
  }
  s.Align(2);
}

}  // namespace

Bytes CellRecord(const std::vector<CellDef>& cells, u32 version, std::vector<u16>* offsets) {
  Bytes out;
  if (offsets) offsets->clear();
  StreamRecord(
      out, version,
      [&](SStream& s) {
        u8 marker = 'H';
        s.SerializeByte(marker);
        for (const CellDef& c : cells) {
          s.Align(2);
          if (offsets) offsets->push_back(u16(s.Position()));
          WriteCell(s, c, version);
        }
      },
      kBig);
  return out;
}

Bytes OffsetRecord(const std::vector<u16>& offsets) {
  Bytes out = {0, 0};
  for (u16 o : offsets) {
    out.push_back(u8(o));
    out.push_back(u8(o >> 8));
  }
  return out;
}

Bytes MonsterRecord(const std::vector<MonsterDef>& monsters, u8 nextId, u32 version) {
  Bytes out;
  StreamRecord(
      out, version,
      [&](SStream& s) {
        u32 n = u32(monsters.size());
        s.SerializeU32(n);
        s.SerializeByte(nextId);
        for (const MonsterDef& d : monsters) {
          SMapMonster m;
          m.id = d.id;
          m.flags = d.flags;
          m.objectId = d.objectId;
          m.cellX = d.x;
          m.cellY = d.y;
          m.containerId = d.containerId;
          m.hp = d.hp;
          u16 position = d.templatePosition;
          m.Serialize(s, version, position);
        }
      },
      kBig);
  return out;
}

Bytes ObjectRecord(const std::vector<SMapObjectInst*>& objects, u32 version) {
  Bytes out;
  StreamRecord(
      out, version,
      [&](SStream& s) {
        u8 marker = 'I', areaByte = 1;
        s.SerializeByte(marker);
        s.SerializeByte(areaByte);
        u16 n = u16(objects.size());
        s.SerializeU16(n);
        for (SMapObjectInst* o : objects) o->Serialize(s, version);
      },
      kBig);
  return out;
}

Bytes ContainerRecord(const std::vector<SItemContainer*>& containers, u8 nextId, u32 version) {
  Bytes out;
  StreamRecord(
      out, version,
      [&](SStream& s) {
        u16 n = u16(containers.size());
        s.SerializeU16(n);
        s.SerializeByte(nextId);
        for (SItemContainer* c : containers) c->Serialize(s, version);
      },
      kBig);
  return out;
}

Bytes EmptyContainerRecord(u32 version) { return ContainerRecord({}, 1, version); }

Bytes TypeBlockRecord(SMapObjectTypeTable& table, u32 version) {
  Bytes out;
  StreamRecord(
      out, version, [&](SStream& s) { table.SerializeBlock(s, version); }, kBig);
  return out;
}

}  // namespace worldbuild
