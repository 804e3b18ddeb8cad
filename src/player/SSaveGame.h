// The saved-game manager: slots 0 to 4, each one record-database file "DuskmireSave%u" written whole and
// read back record by record, the new game, and the three string-index tables through which saved records
// name item types, monsters and spells by a 16-bit index. Saved games are files the user may damage: a
// file is checked through and through before anything of the running game changes, and a save replaces
// the old file only when the new one is complete.
#pragma once
#include "foundation/SDatabase.h"
#include "foundation/SName.h"
#include "foundation/SPtrArray.h"
#include "foundation/SString.h"
#include "world/SItem.h"

#include <memory>

class SDialogLoading;
class SGameCore;
class SItemTable;
class SItemType;
class SMonster;
class SMonsterTable;
class SSpell;
class SSpellTable;
class SStream;

inline constexpr u32 kSaveVersion = 116;  // 't'
inline constexpr u32 kSaveSlots = 5;      // 0 the automatic save, 1 to 4 the load/save screen's
inline constexpr u32 kThumbnailBytes = 8000;

// The saved records by id.
enum : u16 {
  kSaveHeaderRecord = 3000,
  kSaveModulesRecord = 3001,
  kSaveGlobalsRecord = 3002,
  kSavePlayerRecord = 3003,
  kSaveGameStateRecord = 3004,
  kSaveInventoryRecord = 3005,
  kSaveNamesRecord = 3006,
  kSaveFirstModuleRecord = 3010,
};

// One name of a string-index table: the name (an owned copy), the record it stands for (null when the
// name is empty or the world holds no such record) and its index.
struct SSaveNameEntry {
  SName name;
  void* record = nullptr;
  u16 index = 0;
  SSaveNameEntry() { name.SetOwns(); }
};

template <>
struct SNameOf<SSaveNameEntry> {
  static const SName& Get(const SSaveNameEntry& e) { return e.name; }
};

// A string-index table. Entry i has index i and the counter is the number of entries.
class SSaveNameTable {
 public:
  // One empty entry, counter 1 (before a save), or none at all (between saves and loads).
  void Reset();
  void Clear();
  // The index of the name (appended with the counter as its index when new); 0 for an empty name, and
  // when the table cannot grow.
  u16 Intern(const char* name, void* record);
  // The record of entry i; null for entry 0, for i at or beyond the counter, and for a name the world
  // does not hold.
  void* At(u16 i) const;
  u16 Counter() const { return counter_; }
  const char* NameAt(u16 i) const;
  // A name could not be added since the last reset: a record written with this table lost it.
  bool Full() const { return full_; }
  // Pad to 2, the u16 counter, the names. Reading empties the table first, refuses a counter that cannot
  // fit the rest of the record, and resolves each name through `find` (null: nothing resolves).
  void Write(SStream& s);
  template <class Find>
  bool Read(SStream& s, Find&& find);

 private:
  bool Append(const char* name, void* record);
  SPtrArray<SSaveNameEntry> entries_{true, 4};
  u16 counter_ = 0;
  bool full_ = false;
};

// What a slot's header record tells the load/save screen without loading anything else. Owned by the
// caller: Free, then delete.
struct SSaveSlotInfo {
  u32 version = 0;
  u32 slot = 0;
  SString place;
  SString date;
  std::unique_ptr<SDatabase> database;  // the slot, open until Free
  std::unique_ptr<SRecordData> header;  // record 3000: the thumbnail points into it
  const u8* thumbnail = nullptr;        // 80 x 50 RGB565 pixels, little-endian; null when dropped
  u16 width = 80, height = 50;

  void Free();
};

// The header record as a reader finds it: the version, where the texts lie, the thumbnail when usable.
struct SSaveHeader {
  u32 version = 0;
  const char* place = nullptr;  // null for an empty text
  const char* date = nullptr;
  const u8* thumbnail = nullptr;
};

// What the check before loading found in a slot: the file's version and the module and map to play on.
struct SSaveCheck {
  u32 version = 0;
  SString module;
  SString map;
};

class SSaveGame : public SItemNames {
 public:
  SSaveGame() = default;
  SSaveGame(const SSaveGame&) = delete;
  SSaveGame& operator=(const SSaveGame&) = delete;
  ~SSaveGame() override = default;

  // Ties the manager to the game core: its files and the world's item, monster and spell tables.
  void SetCore(SGameCore* core);
  // Without a core (tools and tests): the files and the tables names are resolved against.
  void Bind(SFileStore* files, SItemTable* items, SMonsterTable* monsters, SSpellTable* spells);

  // "DuskmireSave<slot>".
  static void SlotName(u32 slot, SString& out);

  // Writes the running game to the slot's file. 1 when every record was built and the file written; 0
  // otherwise, the slot's old file then as it was.
  i32 Write(u32 slot);
  // Replaces the running world and player with the slot's. The file is checked through before anything
  // changes: 0 with the running game untouched when it is missing or damaged. A fault found only once the
  // world is reloaded (a module or map the world lacks) unloads the world again and clears the
  // game-running flag: 0. 1 on success; the caller then enters the game state with word 0 clear.
  i32 Load(u32 slot, SDialogLoading* loading);
  // A fresh world and the new-player screen's character. 0, with the world unloaded again and the
  // game-running flag clear, when the archives do not open or the race's start position does not exist;
  // 1 on success, the caller then enters the game state with word 0 set.
  i32 StartNewGame(SDialogLoading* loading);
  // A new description of the slot, or null (nothing left open) when the slot holds no saved game.
  SSaveSlotInfo* ReadSlotInfo(u32 slot);
  // 1 when no file was there or it is gone; 0 when it is still there.
  i32 DeleteSlot(u32 slot);

  // The records' checks, without the world: every record 3000 to 3006 present and complete, 3001's record
  // ids in the file, its current module one of the `count` modules a load opens. Nothing of the game
  // changes.
  bool CheckSave(SDatabase& save, const SString* modules, u32 count, SSaveCheck* out);
  // The header record's marker bytes, version (at most 116) and texts, which must end inside the record;
  // a thumbnail that is not 8,000 bytes whole is left out.
  static bool ParseHeader(const SRecordData& record, SSaveHeader* out);

  // ---- the string-index tables (used by the writers and readers of records 3003 and 3010 onward)
  u16 InternItemType(const SItemType* type);
  u16 InternItemName(const char* name);  // an item type by name (items read are kept as names)
  u16 InternMonster(const SMonster* monster);
  u16 InternSpell(const SSpell* spell);
  SItemType* ItemTypeAt(u16 i) const;
  SMonster* MonsterAt(u16 i) const;
  SSpell* SpellAt(u16 i) const;
  void ResetNameTables();
  void ClearNameTables();
  void WriteNameTables(SStream& s);
  // Record 3006, the names resolved against the world's tables unless `resolve` is false; false (the
  // tables empty) when it is damaged: counts that do not fit, texts without their end.
  bool ReadNameTables(SStream& s, bool resolve = true);

  // SItemNames: the item-type table, for the containers' saved states.
  u16 IndexOf(const SItemType* type) override { return InternItemType(type); }
  SItemType* TypeAt(u16 index) override { return ItemTypeAt(index); }

  SFileStore* files = nullptr;
  SItemTable* items = nullptr;
  SMonsterTable* monsters = nullptr;
  SSpellTable* spells = nullptr;

 private:
  // The names of the modules a load opens, from the game archives' headers in their order (an archive
  // that cannot be read gives none); false when the base archive's cannot be read.
  bool ReadGameModuleNames(SString (&out)[4], u32& count);
  // Builds every record into the writer; false when one cannot be built.
  bool BuildRecords(SDatabaseWriter& writer);
  // The saved records into the reloaded world; false on any fault.
  bool ReadRecords(SDatabase& save, const SSaveCheck& check, SDialogLoading* loading);
  // The teardown before a load or a new game: states, world, game state, archives, tables, player.
  bool RebuildWorld(SDialogLoading* loading);
  // After a failure past the teardown: no world, an empty player, no game running. Returns 0.
  i32 Abandon();
  bool NameTablesFull() const;

  SGameCore* core_ = nullptr;
  SSaveNameTable itemNames_, monsterNames_, spellNames_;
};
