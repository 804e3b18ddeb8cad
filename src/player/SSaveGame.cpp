#include "player/SSaveGame.h"

#include "core/SGameCore.h"
#include "core/ui/SDialogLoading.h"
#include "foundation/SStream.h"
#include "foundation/StrUtil.h"
#include "game/SGameStateRecord.h"
#include "game/SMonster.h"
#include "game/SStateGame.h"
#include "screens/SStateGenerate.h"
#include "screens/SStateInventory.h"
#include "world/SItemTable.h"
#include "world/SSpell.h"
#include "world/SWorldBase.h"
#include "world/SWorldModule.h"

#include <new>
#include <vector>

namespace {

constexpr u8 kNamesTag = 'U';
constexpr u8 kHeaderMarkers[3] = {2, 3, 255};
// The archives of resources, music and sounds hold nothing a game changes.
constexpr const char* kUnsavedModules[3] = {"bres", "bmus", "bsnd"};

bool IsSavedModule(const SWorldModule& m) {
  for (const char* n : kUnsavedModules)
    if (m.name.Equals(n)) return false;
  return true;
}

const char* TextOf(const SString& s) { return s.CStr() ? s.CStr() : ""; }

// Reads record `id` of the save and hands a read stream over it to `read`; false when the record is
// missing or `read` fails.
template <class Read>
bool ReadSavedRecord(SDatabase& save, u16 id, u32 version, Read&& read) {
  std::unique_ptr<SRecordData> r = save.ReadRecord(id);
  if (!r) return false;
  SStream s(version);
  s.OpenForRead(*r);
  return read(s) && s.Ok();
}

// Record 3001's head and entries. `entry` is called with each module's name and first record id.
template <class Entry>
bool ReadModuleList(SStream& s, SString& module, SString& map, Entry&& entry) {
  u32 n = 0;
  s.SerializeU32(n);
  s.SerializeSString(module);
  s.SerializeSString(map);
  // Each entry takes at least its name's end and a four-byte id.
  if (s.Failed() || u64(n) * 5 > s.Remaining()) return false;
  for (u32 i = 0; i < n; ++i) {
    const char* name = nullptr;
    u32 first = 0;
    s.SerializeString(name);
    s.SerializeU32(first);
    if (s.Failed() || first > 0xFFFF || !entry(name, u16(first))) return false;
  }
  return true;
}

// A module's own record: the map record ids it lists must all be in the save.
bool CheckModuleRecord(SDatabase& save, u16 id, u32 version) {
  return ReadSavedRecord(save, id, version, [&](SStream& s) {
    i32 x = 0, y = 0;
    u32 minutes = 0;
    return SWorldModule::ReadSavedMaps(s, version, x, y, minutes,
                                       [&](const char*, u16 mapRecord) { return save.HasRecord(mapRecord); });
  });
}

}  // namespace

// ---- string-index tables

void SSaveNameTable::Clear() {
  entries_.DeleteAll();
  counter_ = 0;
  full_ = false;
}

void SSaveNameTable::Reset() {
  Clear();
  Append(nullptr, nullptr);
}

bool SSaveNameTable::Append(const char* name, void* record) {
  if (counter_ == 0xFFFF) return false;
  auto* e = new (std::nothrow) SSaveNameEntry;
  if (!e) return false;
  if (name && *name) e->name.Set(name);
  e->record = record;
  e->index = counter_;
  if ((name && *name && !e->name.Text()) || !entries_.Add(e)) {
    delete e;
    return false;
  }
  ++counter_;
  return true;
}

u16 SSaveNameTable::Intern(const char* name, void* record) {
  if (!name || !*name) return 0;
  // Entry 0 stands for no record: a table used before its reset gets it first.
  if (counter_ == 0 && !Append(nullptr, nullptr)) return 0;
  if (const SSaveNameEntry* e = entries_.FindByName(name)) return e->index;
  if (!Append(name, record)) {
    full_ = true;
    return 0;
  }
  return u16(counter_ - 1);
}

void* SSaveNameTable::At(u16 i) const {
  if (i == 0 || i >= counter_) return nullptr;
  const SSaveNameEntry* e = entries_.At(i);
  return e ? e->record : nullptr;
}

const char* SSaveNameTable::NameAt(u16 i) const {
  const SSaveNameEntry* e = i < counter_ ? entries_.At(i) : nullptr;
  return e ? e->name.Text() : nullptr;
}

void SSaveNameTable::Write(SStream& s) {
  u16 n = counter_;
  s.SerializeU16(n);
  for (u16 i = 0; i < n; ++i) {
    const char* text = NameAt(i);
    s.SerializeString(text);
  }
}

template <class Find>
bool SSaveNameTable::Read(SStream& s, Find&& find) {
  Clear();
  u16 n = 0;
  s.SerializeU16(n);
  // Every name takes at least its terminating zero.
  if (s.Failed() || n > s.Remaining()) return false;
  for (u16 i = 0; i < n; ++i) {
    const char* text = nullptr;
    s.SerializeString(text);
    if (s.Failed() || !Append(text, text ? find(text) : nullptr)) return false;
  }
  return true;
}

// ---- slot descriptions

void SSaveSlotInfo::Free() {
  thumbnail = nullptr;
  header.reset();
  database.reset();
}

// ---- the manager

void SSaveGame::SetCore(SGameCore* core) {
  core_ = core;
  if (!core) return;
  Bind(&core->fileStore, &core->world.items, &core->world.monsters, &core->world.rules.spells);
}

void SSaveGame::Bind(SFileStore* fileStore, SItemTable* itemTable, SMonsterTable* monsterTable,
                     SSpellTable* spellTable) {
  files = fileStore;
  items = itemTable;
  monsters = monsterTable;
  spells = spellTable;
}

void SSaveGame::SlotName(u32 slot, SString& out) { out.Format("DuskmireSave%u", slot); }

u16 SSaveGame::InternItemType(const SItemType* type) {
  return type ? itemNames_.Intern(type->name.Text(), const_cast<SItemType*>(type)) : 0;
}

u16 SSaveGame::InternItemName(const char* name) {
  return itemNames_.Intern(name, items && name ? items->FindType(name) : nullptr);
}

u16 SSaveGame::InternMonster(const SMonster* monster) {
  return monster ? monsterNames_.Intern(monster->name.Text(), const_cast<SMonster*>(monster)) : 0;
}

u16 SSaveGame::InternSpell(const SSpell* spell) {
  return spell ? spellNames_.Intern(spell->name.Text(), const_cast<SSpell*>(spell)) : 0;
}

SItemType* SSaveGame::ItemTypeAt(u16 i) const { return static_cast<SItemType*>(itemNames_.At(i)); }
SMonster* SSaveGame::MonsterAt(u16 i) const { return static_cast<SMonster*>(monsterNames_.At(i)); }
SSpell* SSaveGame::SpellAt(u16 i) const { return static_cast<SSpell*>(spellNames_.At(i)); }

void SSaveGame::ResetNameTables() {
  itemNames_.Reset();
  monsterNames_.Reset();
  spellNames_.Reset();
}

void SSaveGame::ClearNameTables() {
  itemNames_.Clear();
  monsterNames_.Clear();
  spellNames_.Clear();
}

void SSaveGame::WriteNameTables(SStream& s) {
  u8 tag = kNamesTag;
  s.SerializeByte(tag);
  itemNames_.Write(s);
  monsterNames_.Write(s);
  spellNames_.Write(s);
}

bool SSaveGame::ReadNameTables(SStream& s, bool resolve) {
  s.SerializeMarker(kNamesTag);
  const bool ok =
      itemNames_.Read(s, [&](const char* n) -> void* { return resolve && items ? items->FindType(n) : nullptr; }) &&
      monsterNames_.Read(
          s, [&](const char* n) -> void* { return resolve && monsters ? monsters->FindMonster(n) : nullptr; }) &&
      spellNames_.Read(s, [&](const char* n) -> void* { return resolve && spells ? spells->FindByName(n) : nullptr; });
  if (!ok) ClearNameTables();
  return ok;
}

bool SSaveGame::NameTablesFull() const { return itemNames_.Full() || monsterNames_.Full() || spellNames_.Full(); }

// ---- the header record

bool SSaveGame::ParseHeader(const SRecordData& record, SSaveHeader* out) {
  SStream s;
  s.OpenForRead(record);
  for (u8 marker : kHeaderMarkers) {
    u8 b = 0;
    s.SerializeByte(b);
    if (s.Failed() || b != marker) return false;
  }
  u8 version = 0;
  s.SerializeByte(version);
  // A newer format would be read with the wrong layout.
  if (s.Failed() || version > kSaveVersion) return false;
  const u8* thumbnail = nullptr;
  u16 n = 0;
  s.SerializeSizedBlock(thumbnail, n);
  const char* place = nullptr;
  const char* date = nullptr;
  s.SerializeString(place);
  s.SerializeString(date);
  if (s.Failed()) return false;
  if (out) {
    out->version = version;
    out->place = place;
    out->date = date;
    // A picture of another size is left out; the slot keeps its texts.
    out->thumbnail = n == kThumbnailBytes ? thumbnail : nullptr;
  }
  return true;
}

SSaveSlotInfo* SSaveGame::ReadSlotInfo(u32 slot) {
  SString name;
  SlotName(slot, name);
  auto save = std::make_unique<SDatabase>(files);
  if (!save->Open(name.CStr(), kSavedGameCode) || !save->HasType(kSavedGameCode)) return nullptr;
  std::unique_ptr<SRecordData> record = save->ReadRecord(kSaveHeaderRecord);
  SSaveHeader header;
  if (!record || !ParseHeader(*record, &header)) return nullptr;
  auto* info = new (std::nothrow) SSaveSlotInfo;
  if (!info) return nullptr;
  info->version = header.version;
  info->slot = slot;
  info->place.Assign(header.place ? header.place : "");
  info->date.Assign(header.date ? header.date : "");
  info->thumbnail = header.thumbnail;
  info->database = std::move(save);
  info->header = std::move(record);
  return info;
}

i32 SSaveGame::DeleteSlot(u32 slot) {
  SString name;
  SlotName(slot, name);
  const std::string file = DatabaseFileName(name.CStr());
  SFileStore defaultStore;
  SFileStore& store = files ? *files : defaultStore;
  if (!store.Exists(file.c_str())) return 1;
  SDatabase::DeleteFile(files, name.CStr());
  return store.Exists(file.c_str()) ? 0 : 1;
}

// ---- the check before loading

bool SSaveGame::CheckSave(SDatabase& save, const SString* modules, u32 count, SSaveCheck* out) {
  if (!save.HasType(kSavedGameCode) || !save.HasCreator(kSavedGameCode)) return false;
  for (u16 id = kSaveHeaderRecord; id <= kSaveNamesRecord; ++id)
    if (!save.HasRecord(id)) return false;
  SSaveHeader header;
  {
    std::unique_ptr<SRecordData> r = save.ReadRecord(kSaveHeaderRecord);
    if (!r || !ParseHeader(*r, &header)) return false;
  }
  const u32 version = header.version;
  SString module, map;
  const bool modulesOk = ReadSavedRecord(save, kSaveModulesRecord, version, [&](SStream& s) {
    return ReadModuleList(s, module, map, [&](const char*, u16 first) {
      return save.HasRecord(first) && CheckModuleRecord(save, first, version);
    });
  });
  // The game goes on in the module it was saved in, whichever of the loaded modules that is.
  bool loaded = false;
  for (u32 i = 0; i < count && modules; ++i) loaded = loaded || StrCompare(TextOf(module), TextOf(modules[i])) == 0;
  if (!modulesOk || !loaded || map.IsEmpty()) return false;

  // The other records through their own readers into scratch objects: only their bytes are checked, so
  // the names of record 3006 are not looked up.
  bool ok = ReadSavedRecord(save, kSaveNamesRecord, version, [&](SStream& s) { return ReadNameTables(s, false); });
  SGlobalVariables globals;
  ok = ok &&
       ReadSavedRecord(save, kSaveGlobalsRecord, version, [&](SStream& s) { return globals.ReadSaved(s, version); });
  {
    SPlayer player;
    ok = ok &&
         ReadSavedRecord(save, kSavePlayerRecord, version, [&](SStream& s) { return player.Read(s, version, *this); });
    player.ClearLists();
  }
  ok = ok && ReadSavedRecord(save, kSaveGameStateRecord, version, [&](SStream& s) {
         SGameStateRecord r;
         r.Serialize(s, version);
         return s.Ok() && r.Validate();
       });
  SStateInventory inventory;
  ok = ok && ReadSavedRecord(save, kSaveInventoryRecord, version,
                             [&](SStream& s) { return inventory.SerializeViewOnLoad(s, version); });
  ClearNameTables();
  if (!ok) return false;
  if (out) {
    out->version = version;
    out->module.Assign(TextOf(module));
    out->map.Assign(TextOf(map));
  }
  return true;
}

bool SSaveGame::ReadGameModuleNames(SString (&out)[4], u32& count) {
  count = 0;
  for (u32 i = 0; i < 4; ++i) {
    SDatabase archive(files);
    std::unique_ptr<SRecordData> r =
        archive.Open(SWorldModuleList::kGameArchives[i]) ? archive.ReadRecord(kWorldHeaderRecord) : nullptr;
    SWorldBaseHeader h;
    if (r) {
      SStream s;
      s.OpenForRead(*r);
      h.Serialize(s);
      if (s.Failed()) h.name = nullptr;
    }
    if (h.name) {
      out[count++].Assign(h.name);
    } else if (i == 3) {
      return false;  // without the maps' archive nothing can be loaded
    }
  }
  return true;
}

// ---- writing

bool SSaveGame::BuildRecords(SDatabaseWriter& writer) {
  // Without a map to come back to, the file could never be loaded: the slot keeps what it has.
  SStateGame* game = core_->stateGame;
  const SWorldModule* current = core_->CurrentWorld();
  const SMapArea* map = current ? current->currentMap : nullptr;
  if (!game || !map || !map->name.Text()) return false;
  const bool header = AddBuiltRecord(writer, kSaveHeaderRecord, kSaveVersion, [&](SStream& s) {
    for (u8 marker : kHeaderMarkers) s.SerializeByte(marker);
    u8 version = kSaveVersion;
    s.SerializeByte(version);
    u8 pixels[kThumbnailBytes];
    for (u32 i = 0; i < kThumbnailBytes / 2; ++i) {
      pixels[2 * i] = u8(game->thumbnail[i]);
      pixels[2 * i + 1] = u8(game->thumbnail[i] >> 8);
    }
    const u8* p = pixels;
    u16 n = kThumbnailBytes;
    s.SerializeSizedBlock(p, n);
    const char* place = map->title ? map->title : "";
    s.SerializeString(place);
    SString date;
    game->FormatDayTime(date);
    s.SerializeSString(date);
    return true;
  });
  if (!header) return false;

  std::vector<SWorldModule*> saved;
  std::vector<u16> firsts;
  u32 next = kSaveFirstModuleRecord;
  for (SWorldModule* m : core_->world.modules.modules) {
    if (!IsSavedModule(*m)) continue;
    if (next + m->maps.Count() > 0xFFFF) return false;
    saved.push_back(m);
    firsts.push_back(u16(next));
    next += m->maps.Count() + 1u;
  }
  const bool modules = AddBuiltRecord(writer, kSaveModulesRecord, kSaveVersion, [&](SStream& s) {
    u32 n = u32(saved.size());
    s.SerializeU32(n);
    const char* moduleName = current->name.CStr();
    const char* mapName = map->name.Text();
    s.SerializeString(moduleName);
    s.SerializeString(mapName);
    for (size_t i = 0; i < saved.size(); ++i) {
      s.SerializeSString(saved[i]->name);
      u32 first = firsts[i];
      s.SerializeU32(first);
    }
    return true;
  });
  if (!modules) return false;
  for (size_t i = 0; i < saved.size(); ++i)
    if (!saved[i]->WriteSavedState(writer, firsts[i], kSaveVersion)) return false;

  auto* inventory = static_cast<SStateInventory*>(core_->states[kStateInventory]);
  return AddBuiltRecord(writer, kSaveGlobalsRecord, kSaveVersion,
                        [&](SStream& s) { return core_->world.globals.WriteSaved(s, kSaveVersion); }) &&
         AddBuiltRecord(writer, kSavePlayerRecord, kSaveVersion,
                        [&](SStream& s) { return core_->player.Write(s, kSaveVersion, *this); }) &&
         AddBuiltRecord(writer, kSaveGameStateRecord, kSaveVersion,
                        [&](SStream& s) { return game->WriteSaveRecord(s); }) &&
         AddBuiltRecord(writer, kSaveInventoryRecord, kSaveVersion,
                        [&](SStream& s) {
                          SStateInventory none;
                          (inventory ? *inventory : none).SerializeViewOnSave(s, kSaveVersion);
                          return true;
                        }) &&
         !NameTablesFull() && AddBuiltRecord(writer, kSaveNamesRecord, kSaveVersion, [&](SStream& s) {
           WriteNameTables(s);
           return true;
         });
}

i32 SSaveGame::Write(u32 slot) {
  if (!core_) return 0;
  SString name;
  SlotName(slot, name);
  SDatabaseWriter writer(files);
  writer.InitSavedGameHeader(name.CStr(), kSavedGameCode);
  ResetNameTables();
  // The writer replaces the old file only once the new one is whole: a failure leaves it as it was.
  const bool ok = BuildRecords(writer) && writer.Write(name.CStr());
  ClearNameTables();
  return ok ? 1 : 0;
}

// ---- loading and the new game

bool SSaveGame::RebuildWorld(SDialogLoading* loading) {
  auto step = [loading] {
    if (loading) loading->Step();
  };
  if (loading) {
    loading->ShowLoadingText();
    loading->Begin(20);
  }
  core_->PopAllStates();
  step();
  core_->UnloadWorld();
  // The window's cells and areas, and the player's items, spells and effects, belonged to the world just
  // unloaded.
  core_->stateGame->window.Enter(nullptr);
  core_->player.ClearLists();
  step();
  core_->stateGame->ResetForNewGame();
  step();
  if (!core_->world.modules.OpenGameArchives(loading)) return false;
  step();
  core_->PrepareWorldTables(loading);
  step();
  core_->BindWorldResources(loading);
  step();
  core_->player.ResetForNewGame();
  step();
  return true;
}

i32 SSaveGame::Abandon() {
  core_->UnloadWorld();
  core_->stateGame->window.Enter(nullptr);
  // The player's items and effects name the world's records: they go with it.
  core_->player.ClearLists();
  core_->player.startPosition.Assign("");
  core_->stateGame->gameInProgress = 0;
  ClearNameTables();
  return 0;
}

bool SSaveGame::ReadRecords(SDatabase& save, const SSaveCheck& check, SDialogLoading* loading) {
  const u32 version = check.version;
  bool ok = ReadSavedRecord(save, kSaveNamesRecord, version, [&](SStream& s) { return ReadNameTables(s, true); });
  ok = ok && ReadSavedRecord(save, kSaveModulesRecord, version, [&](SStream& s) {
         SString module, map;
         return ReadModuleList(s, module, map, [&](const char* moduleName, u16 first) {
           // A module that is not loaded is passed over.
           SWorldModule* m = core_->world.modules.FindByName(moduleName);
           return !m || m->ReadSavedState(save, first, version);
         });
       });
  ok = ok && ReadSavedRecord(save, kSaveGlobalsRecord, version,
                             [&](SStream& s) { return core_->world.globals.ReadSaved(s, version); });
  ok = ok && ReadSavedRecord(save, kSavePlayerRecord, version,
                             [&](SStream& s) { return core_->player.Read(s, version, *this); });
  ok = ok && ReadSavedRecord(save, kSaveGameStateRecord, version,
                             [&](SStream& s) { return core_->stateGame->ReadSaveRecord(s, version); });
  auto* inventory = static_cast<SStateInventory*>(core_->states[kStateInventory]);
  ok = ok && (!inventory || ReadSavedRecord(save, kSaveInventoryRecord, version,
                                            [&](SStream& s) { return inventory->SerializeViewOnLoad(s, version); }));
  ClearNameTables();
  if (!ok) return false;
  if (loading) loading->Step();
  core_->player.PreloadInventoryPictures();
  // The saved module and map must exist in the world as it is now.
  SWorldModule* module = core_->world.modules.FindByName(check.module.CStr());
  SMapArea* map = module ? module->FindMap(check.map.CStr()) : nullptr;
  if (!map) return false;
  core_->SetCurrentWorld(module);
  module->SetCurrentMap(map);
  return true;
}

i32 SSaveGame::Load(u32 slot, SDialogLoading* loading) {
  if (!core_ || !core_->stateGame) return 0;
  SString modules[4], name;
  u32 moduleCount = 0;
  if (!ReadGameModuleNames(modules, moduleCount)) return 0;
  SlotName(slot, name);
  // The slot stays open from the check to the end of the load: what was checked is what is read.
  SDatabase save(files);
  if (!save.Open(name.CStr(), kSavedGameCode)) return 0;
  SSaveCheck check;
  if (!CheckSave(save, modules, moduleCount, &check)) return 0;
  // When the running world is the saved one, its maps show whether the saved map still exists.
  if (const SWorldModule* running = core_->world.modules.FindByName(check.module.CStr());
      running && !running->FindMap(check.map.CStr()))
    return 0;
  if (!RebuildWorld(loading) || !ReadRecords(save, check, loading)) return Abandon();
  return 1;
}

i32 SSaveGame::StartNewGame(SDialogLoading* loading) {
  if (!core_ || !core_->stateGame) return 0;
  if (!RebuildWorld(loading)) return Abandon();
  const auto* generate = static_cast<const SStateGenerate*>(core_->states[kStateGenerate]);
  const SNewPlayer defaults;
  core_->player.GiveStartingKit(generate ? generate->newPlayer : defaults);
  SWorldModule* world = core_->CurrentWorld();
  SMapArea* area = nullptr;
  // The race's start position must be there for the game state to put the player on it.
  if (!world || !world->FindObjectByName(core_->player.startPosition.CStr(), area) || !area) return Abandon();
  core_->player.PreloadInventoryPictures();
  if (loading) loading->Step();
  return 1;
}
