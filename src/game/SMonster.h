// Monster base types (pictures, sounds, statistics shared by a family) and monster templates (the named
// monsters maps place), with the table that reads both from the world base.
#pragma once
#include "foundation/SPtrArray.h"
#include "world/SEffect.h"
#include "world/SItem.h"
#include "world/SPaletteHolder.h"
#include "world/SWorldTable.h"

class SMonsterTable;
struct SMapMonster;

class SMonsterBaseType : public SPaletteHolder {
 public:
  SMonsterBaseType() = default;
  ~SMonsterBaseType() override;
  // The record (tag 29). The frame arrays are sized by the kind, read after the names: names past that
  // size are dropped and missing ones stay null. False when the data is short.
  bool Serialize(SStream& s, u32 version);
  u32 FrameCount() const { return kind == 4 ? 10 : 7; }
  const char* FrameName(u32 index) const { return index < FrameCount() ? frameNames[index] : nullptr; }
  u16 FrameImage(u32 index) const { return index < FrameCount() ? frames[index] : 0; }
  const char* LastFrameName() const { return frameNames[FrameCount() - 1]; }
  // Marks the type's sounds as needed by the current map, so they load with it.
  void MarkSoundsNeeded(SSoundTable& sounds);

  u32 soundsNeeded = 0;
  const char* text1 = nullptr;
  const char* text2 = nullptr;
  const char* frameNames[10] = {};
  u16 frames[10] = {};
  const char* text3 = nullptr;  // palette name
  const char* sound1 = nullptr;
  const char* sound2 = nullptr;
  const char* sound3 = nullptr;
  const char* sound4 = nullptr;
  u16 stats[10] = {300, 600, 200, 2000, 10000, 200, 300, 300, 300, 300};
  u8 kind = 1;
  u8 imageFlag = 0;
  u8 behaviour = 1;
  const char* text4 = nullptr;
  u8 p1 = 1, p2 = 0, p3 = 0;
};

class SMonster {
 public:
  SMonster() : effects(true, 4) {}
  SMonster(const SMonster&) = delete;
  SMonster& operator=(const SMonster&) = delete;
  ~SMonster() = default;

  // The template record (tag 31). The base type is looked up by name in `table` (null: none).
  void Serialize(SStream& s, u32 version, const SMonsterTable* table);
  bool IsUndead() const { return kind == 3; }

  // The draw record of a placed monster (game/SSceneTables.h, MonsterDraw): a new one shows the first
  // picture (people: their seventh) at the cell's centre with the normal look, then steps. A template
  // without a base type has no pictures: its record shows nothing.
  void InitDrawRecord(SMapMonster& placed, u16* record, i32 playerFacing) const;
  // One animation step: the picture and its mirroring for the monster's state, frame and (people) the
  // direction it faces seen from the player (facing in degrees).
  void StepAnimation(SMapMonster& placed, u16* record, i32 playerFacing) const;

  SName name;
  SPtrArray<SEffect> effects;
  SItemContainer items;  // its spawn entries are the items the monster carries
  SMonsterBaseType* baseType = nullptr;
  const char* baseTypeName = nullptr;
  const char* label = nullptr;
  const char* normalLookName = nullptr;
  const char* talk = nullptr;
  const char* castPalette = nullptr;
  u16 lookNormal = 0, lookParalysed = 0;
  u16 castPaletteSlot = 0, basePaletteSlot = 0;
  u16 spare[3] = {0, 0, 120};
  u16 minDamage = 0, maxDamage = 0, armourClass = 0, maxHp = 0, experience = 0;
  u16 attribute1 = 0, attribute2 = 0, attribute3 = 0, attribute4 = 0, spareValue = 0;
  u8 kind = 0;
  u8 level = 0;
  u8 flags = 12;
  u8 behaviour = 1;
  u8 widePlacement = 0;
  u8 layer2Blocking = 0;
  u8 theftDifficulty = 0;
};

class SMonsterTable : public SWorldTable {
 public:
  SMonsterTable() : baseTypes(true, 4), monsters(true, 4), rawRecords(true, 4) { InitKindNames(); }
  // Kind names of kinds 1 to 3 and their plurals (kind 0 and others: empty).
  void InitKindNames();
  const char* KindName(u32 kind) const { return kind < 4 ? kindNames[kind] : ""; }
  const char* KindPlural(u32 kind) const { return kind < 4 ? kindPlurals[kind] : ""; }
  const char* kindNames[4] = {};
  const char* kindPlurals[4] = {};
  // Two records: base types (marker 28) with their palette block, then templates (marker 30).
  bool Load(SDatabase& db, u16& record, u32 version) override;
  void Clear() override;
  void* FindForIndex(const char* name) override { return FindMonster(name); }
  void ClearGlobalSoundMarks(SSoundTable& sounds) override;
  // Frames and looks to image slots (0 for a name the cache lacks), palettes to palette slots.
  void ResolveNames(SImageCache& images, u8* imageFlags) override;
  SMonsterBaseType* FindBaseType(const char* name) const;
  SMonster* FindMonster(const char* name) const;
  // The two records' transfer, both directions.
  bool SerializeBaseTypes(SStream& s, u32 version);
  bool SerializeMonsters(SStream& s, u32 version);

  SPtrArray<SMonsterBaseType> baseTypes;
  SPtrArray<SMonster> monsters;
  SPtrArray<SRecordData> rawRecords;
};
