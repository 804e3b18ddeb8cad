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
class SItemContainer;
class SMapArea;
class SMapKindServices;
class SString;
class SMapObjectTypeTable;
class SSoundTable;
struct SMapCell;
struct SMapCellFaces;
struct SPaletteEntry;
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

// An argument of a script function on a map object: its integer and its text (an item type name).
struct SMapScriptArg {
  i32 number = 0;
  const char* text = nullptr;
};

// Words of an object render record (31 words) and of a wall-face record (36 words, per side s').
namespace MapRecord {
constexpr u32 kObjectWords = 31;
constexpr u32 kImage = 1, kPalette = 8, kPlaceA = 15, kPlaceB = 22, kFlags = 29, kPick = 30;
constexpr u32 kFaceWords = 36;
constexpr u32 kSidePlace = 0, kSideImage = 4, kSideOverlay = 8, kSidePalette = 12;
constexpr u32 kSide2Place = 16, kSide2Image = 20, kSide2Palette = 24, kSideFlags = 28, kSidePick = 32;
}  // namespace MapRecord

// One row of the class parameters: 9 words, of which columns 1, 2, 3 and 8 carry values.
struct SMapObjectClassRow {
  u32 column0 = 0;
  u32 classFlags = 0;  // column 1
  u32 typeFlags = 0;   // column 2 (low 16 bits used)
  u32 number = 0;      // column 3
  u32 column4 = 0;
  const char* texts[3] = {};  // columns 5..7
  u32 eventMask = 0;          // column 8 (low 16 bits used)
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

  // Virtual operations of the kinds; the base does nothing. Records: `record` is an object render record
  // (31 words) for the cell operations and a wall-face record (36 words) for the side operations; the
  // Layer2 forms read the face grid's cell. `light` is the cell's light scale (256 = normal).
  virtual void InitInstance(SMapObjectInst* inst) {}
  virtual bool IsBlocking(SMapObjectInst* inst) { return false; }
  virtual void BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) {}
  virtual void BuildCellLayer2(SMapObjectInst* inst, SMapCellFaces* cell, u16* record, u16& light) {}
  virtual void BuildSide(SMapObjectInst* inst, SMapCell* cell, u32 side, u16* record, u16& light) {}
  virtual void BuildSideLayer2(SMapObjectInst* inst, SMapCellFaces* cell, u32 side, u16* record, u16& light) {}
  virtual void RefreshCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) {}
  virtual void RefreshCellLayer2(SMapObjectInst* inst, SMapCellFaces* cell, u16* record, u16& light) {}
  virtual void LightSide(SMapObjectInst* inst, SMapCell* cell, u32 side, u16* record, u16& light) {}
  virtual void LightSideLayer2(SMapObjectInst* inst, SMapCellFaces* cell, u32 side, u16* record, u16& light) {}
  virtual const char* GetAmbientSound(SMapObjectInst* inst, SMapCell* cell) { return nullptr; }
  virtual const char* GetAmbientSoundLayer2(SMapObjectInst* inst, SMapCellFaces* cell) { return nullptr; }
  virtual void AnimateTick(SMapObjectInst* inst, i32 x, i32 y, SMapCell* cell, u16* record, u16& light) {}
  // A script function (ids 102..141) on a placed object: 1 when `result` was set, else 0. `changed` asks the
  // caller to rebuild the object's cell.
  virtual i32 ScriptCall(SMapArea* area, SMapObjectInst* inst, i32 x, i32 y, i32 function, const SMapScriptArg& first,
                         const SMapScriptArg& second, i32 argCount, i32& result, bool& changed);
  virtual i32 OnEvent(u16 event, SMapArea* area, SMapObjectInst* inst, SMapCell* cell, i32 x, i32 y, bool& changed) {
    return 0;
  }

  bool ReactsTo(u16 event) const { return (eventMask & event) != 0; }
  // The game services of the table (null when none is installed).
  SMapKindServices* Services() const;
  // Travel to an instance's target text "position#question" (shared by every travelling kind).
  void Travel(SMapObjectInst* inst, i32 kind, i32 flag) const;
  // The placement words of a wall side (s' = the side seen from the cell in front).
  u16 WallPlacement(u32 sidePrime, u16 image, i32 x, i32 y) const;
  u16 FloorPlacement(u32 sidePrime, u16 image, u16 overlay, i32 x, i32 y) const;
  // Lit: no day/night cycle, or night. Flicker: light 256 becomes `raised`, then += 16 << random(3).
  bool LitNow() const;
  void Flicker(u16& light, u16 raised = 512) const;
  // Non-empty image names.
  u32 NamedImageCount() const;
  static u16 PaletteId(const SPaletteEntry* entry);
  // The item functions 138..141 (add, add, remove, count) on one container; without a container or an
  // item type of that name nothing happens (count: 0).
  static i32 ContainerScriptCall(SMapKindServices* services, SItemContainer* bag, i32 function,
                                 const SMapScriptArg& first, const SMapScriptArg& second, i32& result);
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
  // The types of class 3 (the animated textures and water).
  u16 CountKind3() const;

  SMapObjectClassRow classParams[kClassRows];
  u16 classTypeFlags[kClassRows] = {};
  SPtrArray<SMapObjectType> types;
  SPtrArray<SRecordData> rawRecords;
  SMapKindServices* services = nullptr;  // the game's services the kinds call (not owned)
  SImageCache* images = nullptr;         // set by ResolveNames: where LoadImages and ReleaseImages go
  u32 droppedTypes = 0;                  // types of unknown classes stepped over by the last Load
};
