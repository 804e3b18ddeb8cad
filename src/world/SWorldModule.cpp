#include "world/SWorldModule.h"

#include "foundation/SDatabase.h"
#include "foundation/SStream.h"
#include "os/Process.h"
#include "platform/sound/SSoundManager.h"
#include "world/SWorldBase.h"

#include <cstdio>
#include <memory>
#include <new>

namespace {
// How a block without a registered table is consumed, so that the records after it stay in step.
enum class Shape : u8 { kOne, kHeaderN, kItems, kMonsters };
struct BlockShape {
  Shape shape;
  u8 marker;
  const char* what;
};
constexpr BlockShape kShapes[kBlockCount] = {
    {Shape::kOne, 10, "abilities"},
    {Shape::kOne, 14, "alchemy recipes"},
    {Shape::kOne, 12, "diseases"},
    {Shape::kOne, 16, "global variables"},
    {Shape::kItems, 20, "item table"},
    {Shape::kOne, 25, "map-object types"},
    {Shape::kMonsters, 28, "monster table"},
    {Shape::kOne, '$', "dialog entry lists"},
    {Shape::kOne, '%', "faces"},
    {Shape::kHeaderN, '+', "people"},
    {Shape::kOne, 8, "quests"},
    {Shape::kOne, '5', "scenes"},
    {Shape::kOne, 'B', "sky types"},
    {Shape::kHeaderN, '\'', "named scripts"},
    {Shape::kOne, ',', "sound table"},
    {Shape::kOne, '0', "spell effects"},
    {Shape::kHeaderN, 3, "spells"},
    {Shape::kOne, ';', "interiors"},
    {Shape::kOne, 'N', "races"},
    {Shape::kOne, 'P', "skills"},
    {Shape::kOne, 'R', "attributes"},
};

// Reads the u16 count of a header record (marker, align 2, count); false when it is missing or short.
bool ReadHeaderCount(SDatabase& db, u16 record, u8 marker, u16& n) {
  std::unique_ptr<SRecordData> r = db.ReadRecord(record);
  if (!r) return false;
  SStream s;
  s.OpenForRead(*r);
  s.SerializeMarker(marker);
  s.SerializeU16(n);
  return s.Ok();
}

bool Advance(u16& record, u32 n) {
  if (u32(record) + n > 0xFFFF) return false;
  record = u16(record + n);
  return true;
}
}  // namespace

SWorldModule::SWorldModule() : maps(true, 4), rawRecords(true, 4) {}

SWorldModule::~SWorldModule() {
  delete mapPicture;
  typeList.Free();
  monsterList.Free();
  itemList.Free();
  paletteList.Free();
  maps.DeleteAll();
  rawRecords.DeleteAll();
  delete archive;
}

bool SWorldModule::Fail(const char* what, u32 record) {
  error.Format("%s: record %u: %s", name.IsEmpty() ? "world archive" : name.CStr(), record, what);
  return false;
}

bool SWorldModule::ReadHeader(SStream& s) {
  SWorldBaseHeader h;
  h.Serialize(s);
  if (s.Failed()) return false;
  headerValue = h.value;
  dataVersion = h.dataVersion;
  moduleByte1 = h.moduleByte1;
  moduleByte2 = h.moduleByte2;
  firstText.Assign(h.firstText ? h.firstText : "");
  name.Assign(h.name ? h.name : "");
  thirdText.Assign(h.thirdText ? h.thirdText : "");
  value1 = h.value1;
  value2 = h.value2;
  mapPrefix.Assign(h.mapPrefix ? h.mapPrefix : "");
  resourcePrefix.Assign(name.CStr());
  resourcePrefix.AppendChar('_');
  prefixShortHash = HashResourceNameShort(resourcePrefix.CStr());
  return true;
}

bool SWorldModule::ReadIndexList(u16& record, u8 marker, SIndexList& list) {
  std::unique_ptr<SRecordData> r = archive->ReadRecord(record);
  if (!r) return Fail("index list missing", record);
  SStream s;
  s.OpenForRead(*r);
  s.SerializeMarker(marker);
  u16 n = 0;
  s.SerializeU16(n);
  if (s.Failed()) return Fail("index list too short", record);
  list.Free();
  if (n > 0) {
    list.items = new (std::nothrow) void*[u32(n) + 1];
    if (!list.items) return Fail("out of memory", record);
    list.items[0] = nullptr;
    list.count = n;
    SWorldTable* table = nullptr;
    if (env->tables) {
      if (marker == 'C') table = (*env->tables)[kBlockMapObjectTypes];
      if (marker == 'D') table = (*env->tables)[kBlockItems];
      if (marker == 'E') table = (*env->tables)[kBlockMonsters];
    }
    for (u32 i = 1; i <= n; ++i) {
      const char* text = nullptr;
      s.SerializeString(text);
      void* found = nullptr;
      if (text && marker == 'F')
        found = env->images ? env->images->FindPalette(text) : nullptr;
      else if (text && table)
        found = table->FindForIndex(text);
      list.items[i] = found;
    }
    if (s.Failed()) {
      list.Free();
      return Fail("index list names run past the record", record);
    }
  }
  ++record;
  return true;
}

bool SWorldModule::ReadIndexLists(u16& record, u32 version) {
  if (!ReadIndexList(record, 'C', typeList)) return false;
  if (!ReadIndexList(record, 'D', itemList)) return false;
  if (version < kIndexListsMovedVersion && !ReadIndexList(record, 'E', monsterList)) return false;
  return ReadIndexList(record, 'F', paletteList);
}

bool SWorldModule::OpenMapPicture(u16& record) {
  u16 at = record;
  if (!Advance(record, 2)) return Fail("record numbers run out", at);
  if (mapPrefix.IsEmpty()) return true;
  std::unique_ptr<SRecordData> r = archive->ReadRecord(at);
  if (!r) return Fail("map picture marker missing", at);
  SStream s;
  s.OpenForRead(*r);
  s.SerializeMarker('L');
  u16 unused = 0;
  s.SerializeU16(unused);
  if (s.Failed()) return Fail("map picture marker too short", at);
  delete mapPicture;
  mapPicture = new (std::nothrow) SImageEntry;
  if (!mapPicture) return Fail("out of memory", at);
  if (!mapPicture->Bind(archive, u16(at + 1))) return Fail("map picture missing or not an image", at + 1u);
  return true;
}

bool SWorldModule::LoadBlock(SWorldBlock block, u16& record, u32 version) {
  u16 at = record;
  SWorldTable* table = env->tables ? (*env->tables)[block] : nullptr;
  const BlockShape& shape = kShapes[block];
  if (table) {
    if (!table->Load(*archive, record, version)) {
      SString what;
      what.Format("%s malformed (records %u to %u)", shape.what, at, record);
      return Fail(what.CStr(), at);
    }
    return true;
  }
  // No table reads this block here: step over it by its shape.
  switch (shape.shape) {
    case Shape::kOne:
      if (!archive->HasRecord(record)) return Fail(shape.what, record);
      return Advance(record, 1) || Fail("record numbers run out", at);
    case Shape::kMonsters:
      if (!archive->HasRecord(record) || !archive->HasRecord(u16(record + 1))) return Fail(shape.what, record);
      return Advance(record, 2) || Fail("record numbers run out", at);
    case Shape::kHeaderN: {
      u16 n = 0;
      if (!ReadHeaderCount(*archive, record, shape.marker, n)) return Fail(shape.what, record);
      return Advance(record, 1u + n) || Fail("record numbers run out", at);
    }
    case Shape::kItems: {
      for (u32 i = 0; i < 3; ++i)
        if (!archive->HasRecord(u16(record + i))) return Fail(shape.what, record + i);
      u16 n = 0;
      if (!ReadHeaderCount(*archive, u16(record + 3), shape.marker, n)) return Fail(shape.what, record + 3u);
      return Advance(record, 4u + (version >= 48 ? n : 0)) || Fail("record numbers run out", at);
    }
  }
  return false;
}

bool SWorldModule::ReadMapDirectory(u16 record, u32 version) {
  std::unique_ptr<SRecordData> r = archive->ReadRecord(record);
  if (!r) return Fail("map directory missing", record);
  SStream s;
  s.OpenForRead(*r);
  SMapDirectoryHead head;
  head.Serialize(s);
  if (s.Failed()) return Fail("map directory too short", record);
  waterType = typeList.At(head.waterPosition);
  mapPalette = PaletteAt(head.palettePosition);
  if (!waterType && env->tables && (*env->tables)[kBlockMapObjectTypes])
    waterType = (*env->tables)[kBlockMapObjectTypes]->FindForIndex("base_water");
  for (u32 i = 0; i < head.mapCount; ++i) {
    SMapArea* map = new (std::nothrow) SMapArea;
    if (!map) return Fail("out of memory", record);
    map->module = this;
    s.SerializeU16(map->recordId);
    if (!map->SerializeDirectoryEntry(s, version)) {
      delete map;
      return Fail("map directory entry runs past the record", record);
    }
    map->textureType = typeList.At(map->texturePosition);
    map->texturePalette = PaletteAt(map->texturePalettePosition);
    map->ceilingType = typeList.At(map->ceilingPosition);
    map->ceilingPalette = PaletteAt(map->ceilingPalettePosition);
    // The directory order is reversed in the list, as the game has always kept it.
    if (!maps.InsertFirst(map)) {
      delete map;
      return Fail("out of memory", record);
    }
  }
  rawRecords.Add(r.release());
  // Each map's objects, monsters and cell offsets, from its own records after the directory.
  for (SMapArea* map : maps)
    if (!map->LoadContent(*archive, version)) {
      SString what;
      what.Format("map %s: content malformed", map->name.Text() ? map->name.Text() : "?");
      return Fail(what.CStr(), map->recordId);
    }
  return true;
}

bool SWorldModule::LoadBase(SDatabase* database) {
  archive = database;
  error.Assign("");
  if (!env) return Fail("no world tables", kWorldHeaderRecord);
  std::unique_ptr<SRecordData> r = archive->ReadRecord(kWorldHeaderRecord);
  if (!r) return Fail("base header missing", kWorldHeaderRecord);
  {
    SStream s;
    s.OpenForRead(*r);
    if (!ReadHeader(s)) return Fail("base header too short", kWorldHeaderRecord);
  }
  r.reset();
  const u32 version = dataVersion;

  u16 record = kWorldFirstRecord;
  if (!env->images) return Fail("no image cache", record);
  if (!env->images->ReadDirectory(*archive, record)) return Fail("image or palette directory malformed", record);
  if (!OpenMapPicture(record)) return false;

  const bool moved = version >= kIndexListsMovedVersion;
  static constexpr SWorldBlock kBefore[] = {kBlockAbilities, kBlockAlchemy, kBlockDiseases,
                                            kBlockGlobals,   kBlockItems,   kBlockMapObjectTypes};
  for (SWorldBlock b : kBefore)
    if (!LoadBlock(b, record, version)) return false;
  if (moved && !ReadIndexLists(record, version)) return false;
  if (!LoadBlock(kBlockMonsters, record, version)) return false;
  if (moved && !ReadIndexList(record, 'E', monsterList)) return false;
  static constexpr SWorldBlock kAfter[] = {kBlockDialogLists,  kBlockFaces,     kBlockPeople,    kBlockQuests,
                                           kBlockScenes,       kBlockSkies,     kBlockScripts,   kBlockSounds,
                                           kBlockSpellEffects, kBlockSpells,    kBlockInteriors, kBlockRaces,
                                           kBlockSkills,       kBlockAttributes};
  for (SWorldBlock b : kAfter)
    if (!LoadBlock(b, record, version)) return false;
  if (!moved && !ReadIndexLists(record, version)) return false;
  return ReadMapDirectory(record, version);
}

bool SWorldModule::GetMapGrid(const SMapArea* map, u32& column, u32& row) const {
  column = row = 0;
  if (!map || !map->name.Text() || mapPrefix.IsEmpty()) return false;
  const char* text = map->name.Text();
  u32 n = mapPrefix.Length();
  for (u32 i = 0; i < n; ++i)
    if (text[i] != mapPrefix.CStr()[i]) return false;
  const char* digits = text + n;
  for (u32 i = 0; i < 4; ++i)
    if (digits[i] < '0' || digits[i] > '9') return false;
  if (digits[4] != 0) return false;
  column = u32(digits[0] - '0') * 10 + u32(digits[1] - '0');
  row = u32(digits[2] - '0') * 10 + u32(digits[3] - '0');
  return true;
}

void SWorldModule::SetWorldPosition(const SMapArea* map, i32 cellX, i32 cellY, u32 time) {
  u32 column = 0, row = 0;
  if (GetMapGrid(map, column, row)) {
    worldX = cellX + 21 * i32(column) - 28;
    worldY = cellY + 21 * i32(row) - 28;
  }
  minutes = time;
}

SMapArea* SWorldModule::FindMapByGrid(u32 column, u32 row) const {
  if (column > 99 || row > 99 || mapPrefix.IsEmpty()) return nullptr;
  SString text;
  text.Format("%s%02u%02u", mapPrefix.CStr(), column, row);
  return maps.FindByName(text.CStr());
}

SMapArea* SWorldModule::FindNeighbourMap(i32 dx, i32 dy) const {
  u32 column = 0, row = 0;
  if (!GetMapGrid(currentMap, column, row)) return nullptr;
  i32 c = i32(column) + dx, r = i32(row) + dy;
  if (c < 0 || r < 0) return nullptr;
  return FindMapByGrid(u32(c), u32(r));
}

SMapArea* SWorldModule::FindMapAtWorldPosition(i32& column, i32& row) const {
  // Tile c covers world x 21 (c - 1) .. 21 c - 1 (the current tile lies at window cells 7..27).
  auto tile = [](i32 v) { return (v >= 0 ? v / 21 : -((20 - v) / 21)) + 1; };
  column = tile(worldX);
  row = tile(worldY);
  if (column < 0 || row < 0) return nullptr;
  return FindMapByGrid(u32(column), u32(row));
}

SMapObjectInst* SWorldModule::FindObjectByName(const char* text, SMapArea*& map) const {
  map = nullptr;
  for (SMapArea* m : maps)
    if (SMapObjectInst* o = m->FindObjectByName(text)) {
      map = m;
      return o;
    }
  return nullptr;
}

SMapObjectInst* SWorldModule::FindObjectAndMonster(const char* text, SMapMonster*& monster, SMapArea*& map) const {
  monster = nullptr;
  SMapArea* found = nullptr;
  SMapObjectInst* o = FindObjectByName(text, found);
  if (!o) return nullptr;
  map = found;
  monster = found->FindMonsterOfObject(o);
  return o;
}

SWorldModuleList::SWorldModuleList() : modules(true, 4), retired_(true, 4) {}

SWorldModuleList::~SWorldModuleList() { Clear(); }

SArchiveResult SWorldModuleList::OpenArchive(const char* archiveName) {
  error.Assign("");
  SDatabase* db = new (std::nothrow) SDatabase(env.files);
  if (!db) return SArchiveResult::kMissing;
  if (!archiveName || !db->Open(archiveName)) {
    delete db;
    error.Format("%s: cannot be opened", archiveName ? archiveName : "(none)");
    return SArchiveResult::kMissing;
  }
  SWorldModule* module = Add();
  if (!module) {
    delete db;
    return SArchiveResult::kMissing;
  }
  SWorldModule* previous = current;
  current = module;
  if (!module->LoadBase(db)) {
    error.Format("%s: %s", archiveName, module->LastError());
    // Cache entries read before the fault refer to this archive: keep it open until Clear.
    module->archive = nullptr;
    retired_.Add(db);
    modules.Remove(module);
    delete module;
    current = previous;
    return SArchiveResult::kBadData;
  }
  return SArchiveResult::kOpened;
}

bool SWorldModuleList::OpenGameArchives(SLoadingSteps* steps) {
  if (env.soundManager && env.soundManager->Speaker()) {
    env.soundManager->StopMusic();
    env.soundManager->StopSounds();
  }
  SString failure;
  bool ok = true;
  for (u32 i = 0; i < 4; ++i) {
    SArchiveResult result = OpenArchive(kGameArchives[i]);
    // Only the archive that holds the maps is required. A damaged optional one is passed over, but
    // aloud: the world then lacks its sounds, pictures or music.
    if (i == 3 && result != SArchiveResult::kOpened) {
      failure.Assign(error.CStr());
      ok = false;
    } else if (result == SArchiveResult::kBadData) {
      Os::Warn(std::string("passed over a damaged archive: ") + error.CStr());
    }
    if (steps) steps->Step();
  }
  if (ok) {
    u32 mapCount = 0;
    for (SWorldModule* m : modules) mapCount += m->maps.Count();
    if (mapCount == 0) {
      failure.Assign("The world has no maps.");
      ok = false;
    }
  }
  error.Assign(ok ? "" : failure.CStr());
  return ok;
}

SWorldModule* SWorldModuleList::Add() {
  SWorldModule* m = new (std::nothrow) SWorldModule;
  if (!m) return nullptr;
  m->SetEnv(&env);
  if (!modules.Add(m)) {
    delete m;
    return nullptr;
  }
  return m;
}

SWorldModule* SWorldModuleList::FindByName(const char* text) const {
  if (!text) return nullptr;
  for (SWorldModule* m : modules)
    if (m->name.Equals(text)) return m;
  return nullptr;
}

SMapArea* SWorldModuleList::FindMap(const char* text) const {
  for (SWorldModule* m : modules)
    if (SMapArea* map = m->FindMap(text)) return map;
  return nullptr;
}

void SWorldModuleList::ClearObjectMarks() {
  for (SWorldModule* m : modules)
    for (SMapArea* map : m->maps) map->ClearObjectMarks();
}

void SWorldModuleList::Clear() {
  while (modules.Count() > 0) delete modules.RemoveAt(0);
  retired_.DeleteAll();
  current = nullptr;
}

bool SWorldModule::WriteSavedState(SDatabaseWriter& writer, u16 first, u32 saveVersion) {
  if (u32(first) + maps.Count() > 0xFFFF) return false;
  const u16 count = maps.Count();
  const bool head = AddBuiltRecord(writer, first, saveVersion, [&](SStream& s) {
    s.SerializeMarker('V');
    s.SerializeI32(worldX);
    s.SerializeI32(worldY);
    s.SerializeU32(minutes);
    u16 n = count;
    s.SerializeU16(n);
    for (u32 i = 0; i < count; ++i) {
      const char* mapName = maps[i32(i)]->name.Text();
      u16 id = u16(first + 1 + i);
      s.SerializeString(mapName);
      s.SerializeU16(id);
    }
    return s.Ok();
  });
  if (!head) return false;
  // A busy map may not fit the first buffer: it is built again in a larger one.
  for (u32 i = 0; i < count; ++i)
    if (!AddBuiltRecord(writer, u16(first + 1 + i), saveVersion,
                        [&](SStream& s) { return maps[i32(i)]->WriteSavedState(s, saveVersion); }))
      return false;
  return true;
}

bool SWorldModule::ReadSavedState(SDatabase& save, u16 id, u32 saveVersion) {
  std::unique_ptr<SRecordData> r = save.ReadRecord(id);
  if (!r) return false;
  SStream s(saveVersion);
  s.OpenForRead(*r);
  i32 x = worldX, y = worldY;
  u32 time = minutes;
  const bool ok = ReadSavedMaps(s, saveVersion, x, y, time, [&](const char* mapName, u16 mapRecord) {
    SMapArea* map = FindMap(mapName);
    if (!map) return true;
    std::unique_ptr<SRecordData> state = save.ReadRecord(mapRecord);
    if (!state) return false;
    SStream ms(saveVersion);
    ms.OpenForRead(*state);
    return map->ReadSavedState(ms, saveVersion);
  });
  if (!ok) return false;
  worldX = x;
  worldY = y;
  minutes = time;
  return true;
}
