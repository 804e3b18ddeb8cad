// Map-object types: every object that can stand on the map grid (walls, textures, doors, levers, stairs,
// trees, ...) is an instance of a type. A type is a record of the world data plus a class number 1..43
// that selects one of the kinds (classes derived from SMapObjectType, in world/kinds/). The table owns
// the types, the raw records their texts point into, and the fixed class parameters.
#pragma once
#include "foundation/SPtrArray.h"
#include "foundation/SRecordData.h"
#include "foundation/SValueArray.h"
#include "world/SPaletteHolder.h"
#include "world/SWorldTable.h"

class SImageCache;
class SMapArea;
class SMapObjectTypeTable;
class SSoundTable;
struct SMapCell;
struct SMapObjectInst;

// Type flags that kinds test.
namespace MapTypeFlag {
constexpr u16 kInCell = 0x0001;
constexpr u16 kOnSide = 0x0002;
constexpr u16 kDoor = 0x0005;
constexpr u16 kSurface = 0x0008;
constexpr u16 kBlocks = 0x0040;
constexpr u16 kBlockClass = 0x0200;  // set by the factory for classes 7, 8 and 41
constexpr u16 kBlockDepth = 0x0400;
constexpr u16 kFlat = 0x0800;
constexpr u16 kDecalMark = 0x1000;
constexpr u16 kNightLight = 0x2000;
constexpr u16 kTravels = 0x4000;  // set by the reader for classes 11 and 33
constexpr u16 kKind12 = 0x8000;
}  // namespace MapTypeFlag

// Event codes (bits), tested against a type's event mask before anything runs.
namespace MapEvent {
constexpr u16 kEnter = 1;
constexpr u16 kLeave = 2;
constexpr u16 kTargetAction = 4;
constexpr u16 kStruck = 8;
constexpr u16 kSpellHit = 16;
constexpr u16 kUse = 32;
constexpr u16 kFirstHit = 64;
constexpr u16 kPutOnPosition = 512;
}  // namespace MapEvent

// One row of the class parameters: 9 words, of which columns 1, 2, 3 and 8 carry values.
struct SMapObjectClassRow {
  u32 column0 = 0;
  u32 classFlags = 0;    // column 1
  u32 typeFlags = 0;     // column 2 (low 16 bits used)
  u32 number = 0;        // column 3
  u32 column4 = 0;
  const char* texts[3] = {};  // columns 5..7
  u32 eventMask = 0;     // column 8 (low 16 bits used)
};

class SMapObjectType : public SPaletteHolder {
 public:
  static constexpr u8 kFirstClass = 1;
  static constexpr u8 kLastClass = 43;

  SMapObjectType();
  ~SMapObjectType() override;

  // The factory: the kind of class number `classNumber`, bound to the table (its class parameters are
  // copied in). Null for a number outside 1..43.
  static SMapObjectType* Create(SMapObjectTypeTable* table, u32 classNumber);

  // One type's fields, both directions. Reading takes the class defaults from `params` (may be null:
  // zero defaults). The texts point into the record being read.
  void Serialize(SStream& s, u32 version, const SMapObjectClassRow* params);

  // Virtual operations of the kinds; the base does nothing.
  virtual void InitInstance(SMapObjectInst* inst) {}
  virtual bool IsBlocking(SMapObjectInst* inst) { return false; }
  virtual void BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) {}
  virtual void BuildCellLayer2(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) {}
  virtual void BuildSide(SMapObjectInst* inst, SMapCell* cell, u32 side, u16* record, u16& light) {}
  virtual void BuildSideLayer2(SMapObjectInst* inst, SMapCell* cell, u32 side, u16* record, u16& light) {}
  virtual void RefreshCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) {}
  virtual void RefreshCellLayer2(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) {}
  virtual void LightSide(SMapObjectInst* inst, SMapCell* cell, u32 side, u16* record, u16& light) {}
  virtual void LightSideLayer2(SMapObjectInst* inst, SMapCell* cell, u32 side, u16* record, u16& light) {}
  virtual const char* GetAmbientSound(SMapObjectInst* inst, SMapCell* cell) { return nullptr; }
  virtual const char* GetAmbientSoundLayer2(SMapObjectInst* inst, SMapCell* cell) { return nullptr; }
  virtual void AnimateTick(SMapObjectInst* inst, i32 x, i32 y, SMapCell* cell, u16* record, u16& light) {}
  virtual i32 ScriptCall(SMapArea* area, SMapObjectInst* inst, i32 x, i32 y, i32 function, i32 first, i32 second,
                         i32 argCount, i32& result, bool& changed) {
    return 0;
  }
  virtual i32 OnEvent(u16 event, SMapArea* area, SMapObjectInst* inst, SMapCell* cell, i32 x, i32 y,
                      bool& changed) {
    return 0;
  }

  bool ReactsTo(u16 event) const { return (eventMask & event) != 0; }
  u32 ImageCount() const { return imageIndices.Count(); }
  // Image-cache index of image `i`; 0 for a position beyond the list (so a kind's fixed positions never
  // read past the type's images).
  u16 ImageAt(u32 i) const { return i < imageIndices.Count() ? imageIndices[i] : 0; }
  // counter mod A (frame 0 when A is 0) and the same for B.
  u32 FrameA(u32 counter) const { return frameCountA ? counter % frameCountA : 0; }
  u32 FrameB(u32 counter) const { return frameCountB ? counter % frameCountB : 0; }
  const char* ImageName(u32 i) const { return imageNames.Text(i32(i)); }
  SMapObjectType* LinkedType() const;

  // Residency of the type's images (and its linked type's) and palettes. Each type holds its images at
  // most once; the cache counts acquisitions, so shared images stay while any holder needs them.
  void LoadImages(SImageCache& cache);
  void ReleaseImages(SImageCache& cache);
  // Sets the needed flag and marks the three sound texts needed.
  void MarkNeeded(SSoundTable* sounds);

  class SMapObjectTypeTable* table = nullptr;
  SValueArray<u16> imageIndices;
  SStringList imageNames;  // points into the kept record (not owned); entries may be null
  const char* secondText = nullptr;
  u32 classFlags = 0;
  u16 typeFlags = 0;
  u8 classNumber = 0;
  u16 eventMask = 0;
  u8 defaultState = 0;
  bool imagesLoaded = false;
  bool needed = false;
  const char* linkedTypeName = nullptr;
  i16 placement[4] = {};
  i16 decalX = 0;
  i16 decalY = 0;
  const char* texts[4] = {};
  u8 frameCountA = 0;
  u8 frameCountB = 0;
  bool animated = false;

 private:
  SMapObjectType* linkedLoaded_ = nullptr;  // the linked type whose images this type loaded
};

class SMapObjectTypeTable : public SWorldTable {
 public:
  static constexpr u8 kTag = 25;
  static constexpr u32 kClassRows = 44;

  SMapObjectTypeTable();
  ~SMapObjectTypeTable() override;

  // Fills the class parameters (done by the constructor too; the values never change).
  void InitClassParameters();
  const SMapObjectClassRow& ClassRow(u32 classNumber) const {
    return classParams[classNumber < kClassRows ? classNumber : 0];
  }

  // One record: [tag 25], count, the types, the palette block. A type of an unknown class is read into a
  // scratch plain type and dropped, so the stream stays in step.
  bool Load(SDatabase& db, u16& record, u32 version) override;
  void Clear() override;
  void* FindForIndex(const char* name) override { return FindType(name); }
  void ClearGlobalSoundMarks(SSoundTable& sounds) override;
  void ResolveNames(SImageCache& images, u8* imageFlags) override;
  // The types named "bres_animfire" and those of class 34 are needed always; every other is cleared.
  void MarkAlwaysNeeded(SSoundTable* sounds);

  // The record's transfer, both directions (writing stores the types and their palette lists).
  bool SerializeBlock(SStream& s, u32 version);
  // Adds a type made elsewhere (the builder, tests); kept in name-hash order.
  bool AddType(SMapObjectType* type) { return types.InsertByNameHash(type) != 0; }
  SMapObjectType* FindType(const char* name) const { return types.FindByName(name); }
  // The first type of a class (the maps' default texture and ceiling: class 1).
  SMapObjectType* FirstOfClass(u8 classNumber) const;
  u16 Count() const { return types.Count(); }

  SMapObjectClassRow classParams[kClassRows];
  u16 classTypeFlags[kClassRows] = {};
  SPtrArray<SMapObjectType> types;
  SPtrArray<SRecordData> rawRecords;
  SImageCache* images = nullptr;  // set by ResolveNames: where LoadImages and ReleaseImages go
  u32 droppedTypes = 0;           // types of unknown classes stepped over by the last Load
};
