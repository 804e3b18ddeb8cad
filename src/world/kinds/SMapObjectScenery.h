// Standing scenery, groups and markers.
#pragma once
#include "world/SMapObjectType.h"

class SItemType;

class SMapObjectTable : public SMapObjectType {
 public:
  bool IsBlocking(SMapObjectInst* inst) override;
  void BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) override;
  i32 OnEvent(u16 event, SMapArea* area, SMapObjectInst* inst, SMapCell* cell, i32 x, i32 y, bool& changed) override;
};

class SMapObjectStand : public SMapObjectType {
 public:
  bool IsBlocking(SMapObjectInst* inst) override;
  void BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) override;
};

class SMapObjectPillar : public SMapObjectType {
 public:
  void BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) override;
};

class SMapObjectTree : public SMapObjectType {
 public:
  bool IsBlocking(SMapObjectInst* inst) override;
  void BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) override;
};

class SMapObjectBush : public SMapObjectTree {
 public:
  void BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) override;
};

// A flower is picked once (state bit 1) and yields its item.
class SMapObjectFlower : public SMapObjectType {
 public:
  void BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) override;
  i32 OnEvent(u16 event, SMapArea* area, SMapObjectInst* inst, SMapCell* cell, i32 x, i32 y, bool& changed) override;
  // The first item type of class 7 named as the flower's item and drawn with the cell's palette.
  SItemType* FindHarvestItem(const SMapCell* cell) const;
  bool ShowsPicked(const SMapObjectInst* inst) const;
};

class SMapObjectFootbridge : public SMapObjectType {
 public:
  void BuildCellLayer2(SMapObjectInst* inst, SMapCellFaces* cell, u16* record, u16& light) override;
};

// A named position that travel targets point at.
class SMapObjectPosition : public SMapObjectType {};

// An ambient-sound source: the game's ambience plays it by day when its first placement number is
// non-zero and at night when its second is.
class SMapObjectAmbientSound : public SMapObjectType {
 public:
  bool PlaysAt(bool night) const { return night ? placement[1] != 0 : placement[0] != 0; }
};

// Up to four copies of the cell's type at the spots marked in the cell flag byte (bits 0..6).
class SMapObjectGroup : public SMapObjectType {
 public:
  void BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) override;
  void RefreshCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) override;
  const char* GetAmbientSound(SMapObjectInst* inst, SMapCell* cell) override;
};
