// Monster base types (pictures, sounds, statistics shared by a family) and monster templates (the named
// monsters maps place), with the table that reads both from the world base.
#pragma once
#include "foundation/SPtrArray.h"
#include "world/SEffect.h"
#include "world/SItem.h"
#include "world/SPaletteHolder.h"
#include "world/SWorldTable.h"

class SImageCache;
class SMapArea;
class SMonsterTable;
class SRandom;
class SScriptValue;
class SSpell;
class SSpellTable;
class SStateGame;
struct SMapCell;
struct SMapMonster;
struct SMapObjectInst;

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
  // The type's pictures and palettes, acquired from the image cache and released again as one; a
  // picture or palette another holder keeps stays resident.
  void LoadImages(SImageCache& cache);
  void ReleaseImages(SImageCache& cache);
  bool ImagesLoaded() const { return imagesLoaded_; }

  u32 soundsNeeded = 0;  // the needed mark: a monster of the maps being entered is of this type
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
  const char* text4 = nullptr;  // the name of its missile's first-person picture (with "left" and "right" variants)
  u8 p1 = 1, p2 = 0, p3 = 0;    // height (in 31sts of a cell), wide placement, second-layer blocking

  u8 Height() const { return p1; }
  const char* MissileName() const { return text4; }

 private:
  bool imagesLoaded_ = false;
};

class SMonster {
 public:
  SMonster() : effects(true, 4) {}
  SMonster(const SMonster&) = delete;
  SMonster& operator=(const SMonster&) = delete;
  ~SMonster() = default;

  // What `Act` set going.
  enum SAct : u32 { kActNone = 0, kActMelee = 1, kActMissile = 2, kActSpell = 3 };

  // The template record (tag 31). The base type is looked up by name in `table` (null: none).
  void Serialize(SStream& s, u32 version, const SMonsterTable* table);
  bool IsUndead() const { return kind == 3; }
  bool IsPeople() const { return kind == 4; }
  bool IsAggressive() const { return (flags & 4) != 0; }
  bool StandsStill() const { return (flags & 16) != 0; }
  // A template made by a script from a base type: its look, statistics (the base type's values in
  // hundredths), kind, behaviour and placement; level 1.
  void SetType(SMonsterBaseType* type);

  // ---- statistics of a placed monster (its area keeps the effects on it)
  i32 GetAttribute(u32 n, SMapArea& area, const SMapMonster& placed) const;  // n = 1..4, at least 1
  i32 GetAttribute1(SMapArea& area, const SMapMonster& placed) const { return GetAttribute(1, area, placed); }
  i32 GetAttribute2(SMapArea& area, const SMapMonster& placed) const { return GetAttribute(2, area, placed); }
  i32 GetAttribute3(SMapArea& area, const SMapMonster& placed) const { return GetAttribute(3, area, placed); }
  i32 GetAttribute4(SMapArea& area, const SMapMonster& placed) const { return GetAttribute(4, area, placed); }
  // -100..100 each.
  i32 GetParalysisResistance(SMapArea& area, const SMapMonster& placed) const;
  i32 GetPoisonResistance(SMapArea& area, const SMapMonster& placed) const;
  i32 GetMagicResistance(SMapArea& area, const SMapMonster& placed) const;
  i32 GetDiseaseResistance(SMapArea& area, const SMapMonster& placed) const;
  // 0..100.
  i32 GetSpellPower(SMapArea& area, const SMapMonster& placed) const;
  // The constant bonuses (source 3) of a kind, each moved 100 toward zero beyond plus or minus 100.
  i32 SumBonus(u32 effectKind) const;
  bool KnowsSpell(const char* spellName) const;
  bool HasMagicImmunity(SMapArea& area, const SMapMonster& placed) const;
  // Whether a known spell has an effect with an area.
  bool HasAreaSpell(const SSpellTable& spells) const;
  u32 CountItemsOfType(SMapArea& area, const SMapMonster& placed, const SItemType* type) const;

  // ---- fighting
  // The damage of its blow: the range widened by its Fortify melee bonuses, halved toward the least while
  // cursed, drawn from the game's generator.
  i32 RollDamage(SMapArea& area, const SMapMonster& placed, SRandom& random) const;
  // The known spell it casts now from (x, y) at the player, or null; `areaOnly` admits only spells with
  // an area effect. The first of equal best scores wins.
  const SSpell* ChooseSpell(SStateGame& game, i32 x, i32 y, SMapArea& area, SMapMonster& placed, bool areaOnly) const;
  // A spell's score for that choice (its best effect's, drawn now); -1 when it cannot reach the player.
  i32 ScoreSpell(SStateGame& game, const SSpell& spell, SMapArea& area, const SMapMonster& placed, bool adjacent,
                 bool inLine, bool areaOnly) const;
  // The stroke of its attack has begun: the blow, missile or spell its behaviour gives (the spell, when
  // one is cast, in `spell`). A monster that cannot act leaves the fight list all the same.
  u32 Act(SStateGame& game, SMapArea& area, SMapMonster& placed, const SSpell** spell = nullptr) const;
  // Takes its fight record out and casts its chosen spell along the record's line; the spell or null.
  const SSpell* AttackTarget(SStateGame& game, SMapArea& area, SMapMonster& placed, bool areaOnly) const;
  // Takes its fight record out and shoots its missile along the record's line; false without a record.
  bool CastAtTarget(SStateGame& game, SMapArea& area, SMapMonster& placed) const;

  // ---- what the player's blows and spells do to a placed monster (SMonsterStruck.cpp)
  // A peaceful monster: people, or one neither made hostile nor aggressive by its template.
  bool IsPeaceful(SMapArea& area, const SMapMonster& placed) const;
  // The player's blow (its damage and items are the script context's): crime on people, a warning for a
  // peaceful monster with something to say, else hostility, the hit points, the weapon's effects, the
  // recoil and its sound.
  void TakeBlow(SStateGame& game, SMapArea& area, SMapMonster& placed, SMapObjectInst* object, i32 x, i32 y,
                bool& changed) const;
  // A spell (damage, name and caster level in the script context).
  void TakeSpell(SStateGame& game, SMapArea& area, SMapMonster& placed, SMapObjectInst* object, bool& changed) const;
  void ApplySpellEffects(SStateGame& game, SMapArea& area, SMapMonster& placed, const SSpell& spell,
                         i32 casterLevel) const;
  // The special effects of the item of a blow of damage d.
  void ApplyWeaponEffects(SStateGame& game, SMapArea& area, SMapMonster& placed, const SItem& item, i32 damage) const;
  void Dispel(SStateGame& game, SMapArea& area, SMapMonster& placed) const;
  // Peaceful again, unless bound to an object or with something to say.
  void Calm(SStateGame& game, SMapMonster& placed) const;
  // Its loot into the bag of its cell (x, y), the experience unless `quiet`, and off the grid, the lists
  // and its area: `placed` is freed.
  void Die(SStateGame& game, SMapArea& area, SMapMonster& placed, SMapObjectInst* object, i32 x, i32 y, bool quiet,
           bool& changed) const;
  // A person with its back to the player offers a theft; otherwise it turns round and the conversation
  // runs. Other monsters go straight to the conversation. The state to switch to.
  i32 Talk(SStateGame& game, SMapArea& area, SMapMonster& placed, SMapObjectInst* object) const;

  // ---- sounds of its base type (a template without one is silent)
  void PlayTypeSound1(SStateGame& game, i32 volume) const;
  void PlayHurtSound(SStateGame& game, i32 volume) const;
  void PlayDeathSound(SStateGame& game, i32 volume) const;
  void PlayVoiceSound(SStateGame& game, i32 volume) const;
  // The voice it says now: people one of their sounds at random, others their fourth; null for none.
  const char* PickVoice(SRandom& random) const;

  // ---- the draw record of a placed monster (game/SSceneTables.h, MonsterDraw)
  // A new one shows picture 0 (people: 6) at the cell's centre, raised by the base type's height, with the
  // normal look, then refreshes. A template without a base type is not drawn: its record shows nothing.
  void InitDrawRecord(SMapArea* area, SMapMonster& placed, u16* record, i32 playerFacing) const;
  // The look for its paralysis, then one animation step.
  void RefreshPicture(SMapArea* area, SMapMonster& placed, u16* record, i32 playerFacing) const;
  // One animation step: the picture and its mirroring for the monster's state, frame and (people) the
  // direction it faces seen from the player (facing in degrees).
  void StepAnimation(SMapMonster& placed, u16* record, i32 playerFacing) const;

  // The built-in reaction of a placed monster (bound to `object`, may be null) in window cell (x, y) to an
  // event: 8 struck, 16 a spell, 32 talk, 64 death; other events do nothing. The talk gives the state to
  // switch to, the others 0; `changed` asks for the monster's cell to be rebuilt.
  i32 HandleAction(u32 event, SMapArea* area, SMapMonster* placed, SMapObjectInst* object, SMapCell* cell, i32 x, i32 y,
                   bool& changed);
  // A script function of the monster rows on the placed monster of this template (may be null) bound to the
  // object (may be null) at window cell (x, y): 0 when done, else the code that ends the script. A function
  // that answers leaves a new value in `result`; `changed` asks for the monster's cell to be rebuilt.
  u32 CallScriptFunction(SMapObjectInst* object, SMapArea* area, SMapMonster* placed, i32 x, i32 y, u32 id,
                         SScriptValue*& result, const SScriptValue& first, const SScriptValue& second,
                         const SScriptValue& third, bool& changed);

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
  // The needed marks of every base type cleared, before the maps being entered mark theirs.
  void ClearNeededMarks();
  // Every loaded base type that is no longer needed released, every needed one not loaded loaded.
  void UpdateResidency(SImageCache& images);
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
