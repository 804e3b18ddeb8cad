// A world is read from record-database archives; each opened archive is one world module. A module owns
// its archive, its maps, the raw records its data points into, and four index lists through which its
// maps name map-object types, item types, monster templates and palettes by small numbers.
#pragma once
#include "foundation/SPtrArray.h"
#include "foundation/SRecordData.h"
#include "foundation/SStream.h"
#include "foundation/SString.h"
#include "world/SImageCache.h"
#include "world/SMapArea.h"
#include "world/SWorldTable.h"

class SDatabase;
class SDatabaseWriter;
class SFileStore;
class SMapGame;

template <>
struct SNameOf<SMapArea> {
  static const SName& Get(const SMapArea& m) { return m.name; }
};

// What the base loader fills: the image cache and the tables of the blocks.
class SSoundManager;

struct SWorldEnv {
  SFileStore* files = nullptr;            // where the archives are opened (null: the program folder)
  SSoundManager* soundManager = nullptr;  // stopped before a world's archives are opened
  SImageCache* images = nullptr;
  SWorldTables* tables = nullptr;
  SMapGame* game = nullptr;  // what the maps ask of the game (monster templates, the window, saved names)
};

// Outcome of opening one archive.
enum class SArchiveResult : u8 {
  kOpened,   // the archive opened and its whole base was read
  kMissing,  // the file does not exist or is not a world archive: nothing was read
  kBadData,  // the archive opened but a record of its base is missing or malformed
};

// One index list: positions 1..count; position 0 and positions past the count give null.
struct SIndexList {
  void** items = nullptr;  // count + 1 pointers, element 0 unused; null while count is 0
  u16 count = 0;

  void* At(u32 position) const { return position >= 1 && position <= count && items ? items[position] : nullptr; }
  void Free() {
    delete[] items;
    items = nullptr;
    count = 0;
  }
};

class SWorldModule {
 public:
  SWorldModule();
  SWorldModule(const SWorldModule&) = delete;
  SWorldModule& operator=(const SWorldModule&) = delete;
  ~SWorldModule();

  void SetEnv(SWorldEnv* e) { env = e; }
  // Reads the archive's whole base into the tables and the module; keeps the database (also on
  // failure). False with a message when a record is missing or malformed.
  bool LoadBase(SDatabase* database);

  void SetCurrentMap(SMapArea* map) { currentMap = map; }
  SMapArea* FindMap(const char* text) const { return maps.FindByName(text); }
  // The tile of a map named by the prefix and exactly four decimal digits; false for any other name.
  bool GetMapGrid(const SMapArea* map, u32& column, u32& row) const;
  void SetWorldPosition(const SMapArea* map, i32 cellX, i32 cellY, u32 minutes);
  SMapArea* FindNeighbourMap(i32 dx, i32 dy) const;
  SMapArea* FindMapByGrid(u32 column, u32 row) const;
  SMapArea* FindMapAtWorldPosition(i32& column, i32& row) const;
  // The first map object of that name over the maps in list order, and the map holding it (null: none).
  SMapObjectInst* FindObjectByName(const char* text, SMapArea*& map) const;
  SMapObjectInst* LocateObjectByName(const char* text, SMapArea*& map) const { return FindObjectByName(text, map); }
  // As FindObjectByName, with the monster bound to the object (or null). When no map holds the name the
  // monster is null and `map` is left as it was.
  SMapObjectInst* FindObjectAndMonster(const char* text, SMapMonster*& monster, SMapArea*& map) const;

  // Index list lookups (null for position 0, a position past the list or an empty list).
  void* MapObjectTypeAt(u32 position) const { return typeList.At(position); }
  void* ItemTypeAt(u32 position) const { return itemList.At(position); }
  void* MonsterAt(u32 position) const { return monsterList.At(position); }
  SPaletteEntry* PaletteAt(u32 position) const { return static_cast<SPaletteEntry*>(paletteList.At(position)); }

  // The module's part of a saved game: record `first` (marker "V", the world position, the map names with
  // their record ids), then one record per map from first + 1 on. False when a record cannot be written.
  bool WriteSavedState(SDatabaseWriter& writer, u16 first, u32 saveVersion);
  // Reads it back from a saved game; maps the module no longer has are passed over.
  bool ReadSavedState(SDatabase& save, u16 id, u32 saveVersion);
  // The module's record of a saved game read through: the world position and clock (as far as the
  // version has them), then map(name, record id) -> bool for each map it lists. False when the record is
  // damaged (a count that cannot fit it, a text without its end) or map says so.
  template <class Map>
  static bool ReadSavedMaps(SStream& s, u32 saveVersion, i32& x, i32& y, u32& time, Map&& map) {
    s.SerializeMarker('V');
    if (saveVersion > 90) {
      s.SerializeI32(x);
      s.SerializeI32(y);
    }
    if (saveVersion > 99) s.SerializeU32(time);
    u16 count = 0;
    s.SerializeU16(count);
    // Each map takes at least its name's end and a two-byte id.
    if (s.Failed() || u32(count) * 3 > s.Remaining()) return false;
    for (u32 i = 0; i < count; ++i) {
      const char* mapName = nullptr;
      u16 mapRecord = 0;
      s.SerializeString(mapName);
      s.SerializeU16(mapRecord);
      if (s.Failed() || !map(mapName, mapRecord)) return false;
    }
    return true;
  }

  const char* LastError() const { return error.CStr(); }

  SWorldEnv* env = nullptr;
  u32 headerValue = 0;
  SString firstText;
  SString name;
  SString resourcePrefix;
  u16 prefixShortHash = 0;
  SString thirdText;
  u8 moduleByte1 = 1, moduleByte2 = 2;
  u8 dataVersion = 0;
  SDatabase* archive = nullptr;
  SPtrArray<SMapArea> maps;
  SPtrArray<SRecordData> rawRecords;
  SMapArea* currentMap = nullptr;
  i32 worldX = 0, worldY = 0;
  u32 minutes = 0;
  u16 value1 = 0, value2 = 0;
  SString mapPrefix;
  SImageEntry* mapPicture = nullptr;
  void* waterType = nullptr;
  SPaletteEntry* mapPalette = nullptr;
  SIndexList typeList;     // "C": map-object types
  SIndexList monsterList;  // "E": monster templates
  SIndexList itemList;     // "D": item types
  SIndexList paletteList;  // "F": palette entries
  SString error;

 private:
  bool Fail(const char* what, u32 record);
  bool ReadHeader(SStream& s);
  bool ReadIndexList(u16& record, u8 marker, SIndexList& list);
  bool ReadIndexLists(u16& record, u32 version);
  bool OpenMapPicture(u16& record);
  bool LoadBlock(SWorldBlock block, u16& record, u32 version);
  bool ReadMapDirectory(u16 record, u32 version);
};

// Loading progress: one step after each archive.
class SLoadingSteps {
 public:
  virtual ~SLoadingSteps() = default;
  virtual void Step() = 0;
};

// An additional world installed beside the game's own, as its screen lists it.
struct SAdditionalWorld {
  SString name;
  u8 official = 0;  // nonzero: published with the game; zero: a third party's
  u8 enabled = 0;
};

class SWorldModuleList {
 public:
  static constexpr const char* kGameArchives[4] = {"DuskmireMusic", "DuskmireSound", "DuskmireRes", "DuskmireBase"};

  SWorldModuleList();
  SWorldModuleList(const SWorldModuleList&) = delete;
  SWorldModuleList& operator=(const SWorldModuleList&) = delete;
  ~SWorldModuleList();

  void SetEnv(const SWorldEnv& e) { env = e; }
  // Opens one archive as a module and loads its base. A missing archive creates no module; one whose
  // base cannot be read is removed again (its archive stays open until Clear, since cache entries read
  // from it before the fault refer to it).
  SArchiveResult OpenArchive(const char* name);
  // Opens the four archives in order with a step after each. False when the archive that holds the maps
  // fails, or when no map exists afterwards; a missing music, sound or resource archive is passed over.
  bool OpenGameArchives(SLoadingSteps* steps);
  SWorldModule* Add();
  SWorldModule* FindByName(const char* text) const;
  SMapArea* FindMap(const char* text) const;
  // Clears the per-step mark (state bit 7) of every object of every map.
  void ClearObjectMarks();
  void Clear();

  const char* LastError() const { return error.CStr(); }
  u16 Count() const { return modules.Count(); }

  SWorldEnv env;
  SPtrArray<SWorldModule> modules;
  SWorldModule* current = nullptr;
  SString error;
  // The installed additional worlds. Nothing finds or adds them yet, so the list stays empty; unloading
  // the world leaves it alone.
  SPtrArray<SAdditionalWorld> additional{true, 4};

 private:
  SPtrArray<SDatabase> retired_;  // archives of modules that failed to load
};
