// The tables a world base fills, seen by the base loader. Each table of the world database consumes its
// block of the archive's fixed record sequence; tables that live in higher layers (scripts, monsters)
// register themselves here, so the loader reaches them without knowing their classes.
#pragma once
#include "os/Types.h"

class SDatabase;
class SImageCache;
class SSoundTable;

class SWorldTable {
 public:
  virtual ~SWorldTable() = default;
  // Consumes the table's block from record `record` on, advancing it past every record the block takes.
  // False when a record is missing or its content is malformed (what was read before stays).
  virtual bool Load(SDatabase& db, u16& record, u32 version) = 0;
  // Deletes every record read from a world, and the kept raw records.
  virtual void Clear() = 0;
  // A record by name for the module's index lists; null when none (or the table has no such lookup).
  virtual void* FindForIndex(const char* name) { return nullptr; }
  // Clears the global mark of every sound the table's records play per map (they are loaded and released
  // with the maps that need them).
  virtual void ClearGlobalSoundMarks(SSoundTable& sounds) {}
  // After every archive is loaded and the image cache published: resolves the picture and palette names
  // the records hold to cache slots; `imageFlags` has one byte per image slot.
  virtual void ResolveNames(SImageCache& images, u8* imageFlags) {}
};

// The blocks of the record sequence, in archive order (index lists and the sound table are the
// loader's own steps).
enum SWorldBlock : u8 {
  kBlockAbilities,
  kBlockAlchemy,
  kBlockDiseases,
  kBlockGlobals,
  kBlockItems,
  kBlockMapObjectTypes,
  kBlockMonsters,
  kBlockDialogLists,
  kBlockFaces,
  kBlockPeople,
  kBlockQuests,
  kBlockScenes,
  kBlockSkies,
  kBlockScripts,
  kBlockSounds,
  kBlockSpellEffects,
  kBlockSpells,
  kBlockInteriors,
  kBlockRaces,
  kBlockSkills,
  kBlockAttributes,
  kBlockCount
};

// The table of each block, or null: a block without a table is consumed by its shape and dropped.
struct SWorldTables {
  SWorldTable* tables[kBlockCount] = {};
  SWorldTable*& operator[](SWorldBlock b) { return tables[b]; }
  SWorldTable* operator[](SWorldBlock b) const { return tables[b]; }
  void ClearAll() {
    for (SWorldTable* t : tables)
      if (t) t->Clear();
  }
};
