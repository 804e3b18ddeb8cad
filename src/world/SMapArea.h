// One map of a world module: its directory entry, its placed map objects and monsters, the effects on its
// monsters, and its automap. The cells are read into the game's window each time the player enters the
// map (Load) or an outdoor neighbour comes into view (LoadAt).
#pragma once
#include "foundation/SName.h"
#include "foundation/SPtrArray.h"
#include "foundation/SRecordData.h"
#include "os/Types.h"

class SDatabase;
class SItemContainer;
class SItemTable;
class SMapGame;
class SMonster;
class SStream;
class SWorldModule;
struct SPaletteEntry;

// A placed map object. `name` is what scripts and positions find it by; `targetText` is the travel
// target, key item name or message of the kinds; `scriptName` names its script.
struct SMapObjectInst {
  SName name;
  const char* targetText = nullptr;
  const char* scriptName = nullptr;
  i16 packed = 0;  // kind-specific bit fields
  u8 id = 0;       // 0 = none
  u8 containerId = 0;
  u8 state = 1;  // bit 0 active, bit 1 toggled or removed, bit 7 per-step mark
  u8 cellX = 255, cellY = 255;
  i8 scriptState = 0;  // not in the archive
  // Set whenever a monster record binds a monster to the object (also one dropped as dead): scripts then
  // address the monster through the object. Not in the archive or a saved game.
  u8 monsterPlaceholder = 0;

  void Serialize(SStream& s, u32 version);
  void WriteState(SStream& s);
  void ReadState(SStream& s);
  bool IsActive() const { return (state & 1) != 0; }
};

// A placed monster.
struct SMapMonster {
  static constexpr u8 kMarked = 0x01;
  static constexpr u8 kDefault = 0x02;
  static constexpr u8 kAggressive = 0x04;
  static constexpr u8 kPoisoned = 0x80;

  SMonster* monster = nullptr;  // the template, never null in an area's list
  u16 displayIndex = 0;
  i16 hp = 0;
  u8 id = 0;
  u8 flags = kDefault;
  u8 objectId = 0;
  u8 containerId = 0;
  u8 poisonShown = 0;  // 10 when poison hurt the monster this turn
  u8 cellX = 0, cellY = 0;

  // The archive form; the template position is the caller's ("E" list).
  void Serialize(SStream& s, u32 version, u16& templatePosition);
  void WriteState(SStream& s, SMapGame* game);
  // Reads the fields after the id and the template index.
  void ReadStateFields(SStream& s);
};

struct SMonsterEffect {
  static constexpr u8 kDisease = 1;
  static constexpr u8 kPlain = 2;

  SMonsterEffect() = default;
  SMonsterEffect(const SMonsterEffect&) = delete;
  SMonsterEffect& operator=(const SMonsterEffect&) = delete;
  ~SMonsterEffect() { delete[] text; }

  char* text = nullptr;  // owned: the disease name, or an optional text
  i16 value = 0;
  i8 duration = 0;  // 0 = lasting
  i8 attribute = 0;
  u8 kind = kPlain;
  u8 subkind = 0;

  void State(SStream& s);
};

struct SMonsterEffectHolder {
  SMonsterEffectHolder() : effects(true, 4) {}
  u8 monsterId = 0;
  SPtrArray<SMonsterEffect> effects;

  void WriteState(SStream& s);
  bool ReadState(SStream& s);
};

class SMapArea {
 public:
  static constexpr u16 kOutdoor = 0x80;
  static constexpr u32 kWindowSize = 35;
  static constexpr u32 kResetMinutes = 10080;  // a week
  // Attributes that effects on monsters act on.
  static constexpr i8 kPoison = 26, kCursed = 27, kParalysis = 28, kFlag39 = 39;

  SMapArea();
  SMapArea(const SMapArea&) = delete;
  SMapArea& operator=(const SMapArea&) = delete;
  virtual ~SMapArea();

  // The directory entry (marker "G"), both directions. Positions are kept as stored; the module
  // resolves them through its index lists (position 0, or one past the list, gives none).
  bool SerializeDirectoryEntry(SStream& s, u32 version);
  bool IsOutdoor() const { return (flags & kOutdoor) != 0; }

  // Reads the area's objects, monsters and (outdoor) cell offsets from records R+1..R+4 and keeps them.
  // A missing record is passed over; a malformed one fails (false) and leaves what was read before.
  bool LoadContent(SDatabase& db, u32 version);
  // The player enters the map: the weekly reset, then the cells of the stored rectangle into the window
  // (the rest cleared), then the monsters placed. False when the cell record is missing or malformed.
  bool Load(SMapGame& game);
  // Part of an outdoor map into the window: map rectangle (mapX, mapY, w, h) at window (windowX, windowY).
  bool LoadAt(SMapGame& game, i32 mapX, i32 mapY, i32 w, i32 h, i32 windowX, i32 windowY);
  // Empties the monster list and reads it again from the kept monster record.
  bool ReadMonsters();
  // Reads the containers of the kept container record; a persistent container whose id is already
  // present stays and the record's copy is dropped.
  bool ReadContainers();
  // The weekly reset: monsters and transient containers as the archive gave them.
  void Reset();

  // The automap (cells outside the area are ignored and read as not visited).
  bool AllocateAutomap();
  void ClearAutomap();
  void FillAutomap();
  void MarkVisited(i32 x, i32 y);
  bool IsVisited(i32 x, i32 y) const;
  // 0 never visited or no bit set, 1 all set, 2 mixed.
  u32 AutomapCoverage() const;

  SMapObjectInst* FindObjectById(u8 id) const;
  SMapObjectInst* FindObjectByName(const char* text) const { return objects.FindByName(text); }
  SMapMonster* FindMonsterById(u8 id) const;
  SMapMonster* FindMonsterOfObject(const SMapObjectInst* object) const;
  SItemContainer* FindContainerById(u8 id) const;
  void ClearObjectMarks();

  // Ids 1..254 come from the counter; once it stands at 255 the lowest free id is searched (0: none).
  u8 AllocateMonsterId();
  u8 AllocateContainerId();

  // A new container with a new id and no cell (null when every id is in use).
  SItemContainer* AddContainer();
  void RemoveContainer(u8 id);
  void RemoveTransientContainers();
  void DeleteAllContainers();

  SMapMonster* AddMonster(SMonster* monsterTemplate, i32 x, i32 y);
  SMapMonster* AddMarkedMonster(SMonster* monsterTemplate, i32 x, i32 y);
  void RemoveMonster(u8 id);
  void RemoveMonstersOfType(const SMonster* monsterTemplate);
  void RemoveAllMonsters();
  // Appends a monster made elsewhere (false when the list cannot grow) / takes one out without freeing.
  bool AddMonsterEntry(SMapMonster* m) { return monsters.Add(m); }
  void RemoveMonsterEntry(SMapMonster* m) { monsters.Remove(m); }
  // Moves a monster of this area into `to` under a new id of that area, with its effects and its container
  // (under a new container id). False, with nothing changed, when `to` has no free monster id (or, for a
  // monster with a container, no free container id) or its lists cannot grow.
  bool MoveMonsterTo(SMapMonster& m, SMapArea& to);
  // Hands every person (template kind 4) whose cell lies in the rectangle, and whose bound object (if
  // any) is active, to the game to be placed.
  void VisitKind4MonstersInRect(SMapGame& game, i32 x, i32 y, i32 w, i32 h);
  bool IsAggressive(const SMapMonster& m);
  u32 GetHealthPercent(const SMapMonster& m);
  void Heal(SMapMonster& m);
  void ClampHealth(SMapMonster& m);
  static void SetPlain(SMapMonster& m) { m.flags = u8(m.flags & ~6); }
  static void MakeAggressive(SMapMonster& m) { m.flags = u8((m.flags & ~6) | SMapMonster::kAggressive); }

  // Effects on monsters (n is a monster id).
  SMonsterEffectHolder* FindEffectHolder(u8 n) const;
  SMonsterEffectHolder* NewEffectHolder(u8 n);
  SMonsterEffectHolder* RemoveEffectHolder(u8 n);
  void DeleteEffectHolder(u8 n);
  bool AddEffectHolder(SMonsterEffectHolder* h) { return effectHolders.Add(h); }
  void AddMonsterEffect(u8 n, i16 value, i8 duration, i8 attribute, u8 subkind, const char* text);
  SMonsterEffect* FindMonsterEffect(u8 n, i8 attribute, u8 subkind, const char* text) const;
  i32 SumMonsterEffects(u8 n, i8 attribute) const;
  // Whether the monster holds a plain effect of the kind, whatever its strength.
  bool HasMonsterEffect(u8 n, i8 attribute) const;
  i16 SumMonsterEffectsWithDiseases(u8 n, i8 attribute, u8 subkind) const;
  bool IsMonsterCursed(u8 n) const { return SumMonsterEffects(n, kCursed) != 0; }
  bool IsMonsterParalysed(u8 n) const { return SumMonsterEffects(n, kParalysis) != 0; }
  i32 GetMonsterPoison(u8 n) const { return SumMonsterEffects(n, kPoison); }
  void RemoveMonsterEffects(u8 n, i8 attribute);
  bool MonsterHasDisease(u8 n, const char* disease) const;
  void InfectMonster(u8 n, const char* disease);
  void CureMonsterDisease(u8 n, const char* disease);
  void TickMonsterEffects(u8 n, u32 turns);

  // The area's part of a saved game (the module writes one record per area). The 2-argument forms use
  // the game the module's environment names (null: monsters cannot be named and are not kept).
  virtual bool WriteSavedState(SStream& s, u32 saveVersion);
  virtual bool ReadSavedState(SStream& s, u32 saveVersion);
  bool WriteSavedState(SStream& s, u32 saveVersion, SMapGame* game);
  bool ReadSavedState(SStream& s, u32 saveVersion, SMapGame* game);

  SMapGame* Game() const;

  SWorldModule* module = nullptr;
  SName name;
  const char* title = nullptr;
  u16 recordId = 0;
  u32 lastVisit = 0;
  void* textureType = nullptr;  // map-object types, resolved through the module's "C" list
  SPaletteEntry* texturePalette = nullptr;
  void* ceilingType = nullptr;
  SPaletteEntry* ceilingPalette = nullptr;
  u16 texturePosition = 0, texturePalettePosition = 0, ceilingPosition = 0, ceilingPalettePosition = 0;
  u8 width = 35, height = 35;
  u8 storedX = 0, storedY = 0, storedWidth = 0, storedHeight = 0;
  u16 automapRowBytes = 0;
  u8* automap = nullptr;
  u16 flags = 0;
  u16 fogColour = 0;
  u8 visibility = 100;
  u16 dataFogColour = 0;
  u8 dataVisibility = 100;
  const u8* cellOffsets = nullptr;  // outdoor maps: storedWidth x storedHeight u16 offsets into record R
  SRecordData* offsetRecord = nullptr;
  SRecordData* objectRecord = nullptr;
  SRecordData* monsterRecord = nullptr;
  SRecordData* containerRecord = nullptr;
  SDatabase* archive = nullptr;
  i32 dataVersion = 0;
  SPtrArray<SMapObjectInst> objects;
  u8 objectAreaByte = 1;
  SPtrArray<SMapMonster> monsters;
  u16 nextMonsterId = 1;
  SPtrArray<SMonsterEffectHolder> effectHolders;
  SPtrArray<SItemContainer> containers;
  u16 nextContainerId = 1;

 private:
  bool ReadObjects();
  bool ReadCellOffsets();
  // The stored rectangle clipped to the map's size.
  void StoredRect(i32& x0, i32& y0, i32& x1, i32& y1) const;
  void PlaceMonsters(SMapGame& game, bool inRect, i32 mapX, i32 mapY, i32 w, i32 h);
  void FillContainer(SMapGame& game, SItemContainer& bag);
  SItemTable* ItemTable() const;
  void RemoveMonsterAt(i32 index, bool withContainer = true);
  // The object a monster record binds a monster to becomes that monster's placeholder.
  void MarkPlaceholder(u8 objectId);
};
