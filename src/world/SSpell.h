// Spells (name, texts, mana cost, school, effect list) with the seven schools and their governing skills,
// and the visual spell effects (animation frames and palettes of a cast or a hit).
#pragma once
#include "foundation/SStringList.h"
#include "foundation/SValueArray.h"
#include "world/SEffect.h"
#include "world/SPaletteHolder.h"
#include "world/STypeTable.h"

class SImageCache;
class SWorldRules;

inline constexpr u32 kSpellSchools = 8;  // 0 and 1..7

class SSpell {
 public:
  SSpell() = default;

  // Tag 4; text 5 is stored before text 4.
  void Serialize(SStream& s, u32 version);
  u32 GetManaCost(SWorldRules& rules) const;
  // The name players see: text 1, else the key.
  const char* DisplayName() const { return texts[0] ? texts[0] : name.Text(); }
  u32 CostAtLevel(i32 level) const { return u32(i32(baseCost) + i32(costPerSkill) * level / 100); }
  bool PreventsWandRecharge() const;
  bool HasGradedEffect() const;
  bool HasFlaggedEffect() const;
  bool HasEffectKind(u32 kind) const;
  // A placed monster as a spell sees it.
  struct Target {
    u32 monsterKind = 0;
    i32 hp = 0;
    i32 magicResistance = 0;  // -100..100
    const char* baseTypeName = nullptr;
  };
  // Damage to a monster; a null target counts only the kinds that need none.
  i32 ComputeMonsterDamage(i32 casterLevel, const Target* target) const;

  // Whom the spell reaches (1 self, 2 touch, 3 other) and the names texts 3 to 8 carry: the cast and hit
  // sounds, the missile's picture and palette, the effect's picture and palette (null or empty: none).
  u8 TargetKind() const { return extra[0]; }
  const char* CastSound() const { return texts[2]; }
  const char* HitSound() const { return texts[3]; }
  const char* MissilePicture() const { return texts[4]; }
  const char* MissilePalette() const { return texts[5]; }
  const char* EffectPicture() const { return texts[6]; }
  const char* EffectPalette() const { return texts[7]; }

  u32 leading = 0;
  SName name;
  const char* texts[9] = {};  // text 1..9 at index 0..8
  u16 enchantValue = 0;
  u16 baseCost = 0;
  u16 costPerSkill = 0;
  SEffectList effects;
  u8 school = 3;
  u8 extra[3] = {3, 0, 0};
};

class SSpellTable : public SHeaderTable<SSpell> {
 public:
  SSpellTable() : SHeaderTable<SSpell>(3) { InitSchoolNames(); }
  void InitSchoolNames();
  const char* SchoolName(u32 school) const { return school >= 1 && school <= 7 ? schoolNames[school] : "?"; }
  // The skill that governs a spell (0: none, also for schools outside 1..7).
  u32 SchoolSkill(const SSpell* spell) const {
    return spell && spell->school < kSpellSchools ? schoolSkills[spell->school] : 0;
  }
  bool IsHarmfulSpell(const char* name) const;

  const char* schoolNames[kSpellSchools] = {};
  u8 schoolSkills[kSpellSchools] = {};
};

class SSpellEffect : public SPaletteHolder {
 public:
  SSpellEffect() : frames(4) {}
  // Tag "1": name, kind, (versions 26..108 a dropped text), frame names, palettes.
  void Serialize(SStream& s, u32 version);
  // Makes the frame images resident, then the palettes.
  void LoadFrames(SImageCache& cache);

  SStringList frameNames;
  SValueArray<u32> frames;
  u8 kind = 1;
};

class SSpellEffectTable : public SOneRecordTable<SSpellEffect> {
 public:
  SSpellEffectTable() : SOneRecordTable<SSpellEffect>('0', true) {}
  // Each frame name to its image number (0, the empty entry, when the cache has no such image).
  void ResolveFrames(SImageCache& cache);
  void ResolveNames(SImageCache& cache, u8*) override { ResolveFrames(cache); }
};
