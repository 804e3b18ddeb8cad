// Three small tables of the world base: interiors (the pictures composed into an inn, shop or trainer
// screen), alchemy recipes (which ingredient effects make which potion) and abilities (named effect lists
// the player can be granted).
#pragma once
#include "foundation/SValueArray.h"
#include "world/SEffect.h"
#include "world/STypeTable.h"

#include <vector>

class SImageCache;
class SWorldRules;

struct SInteriorPicture {
  const char* image = nullptr;
  u16 values[3] = {};
};

class SInterior {
 public:
  SInterior() : pictures(4) {}
  // Tag ":": name, (from version 112) text, u16 count, pictures.
  void Serialize(SStream& s, u32 version);
  void LoadImages(SImageCache& cache);
  void ReleaseImages(SImageCache& cache);

  SName name;
  SValueArray<SInteriorPicture> pictures;
  const char* text = nullptr;

 private:
  bool loaded_ = false;  // each picture is acquired once per load
};

class SInteriorTable : public SOneRecordTable<SInterior> {
 public:
  SInteriorTable() : SOneRecordTable<SInterior>(';', false) {}
};

struct SAlchemyRecipe {
  SName name;
  u8 kinds[3] = {};
  u8 subs[3] = {};
  const char* names[3] = {};
  const char* potion = nullptr;  // item type name
  i16 base = 0;
  i16 perSkill = 0;
  i16 duration = 0;
  i16 durationPerSkill = 0;
  u8 parameter = 0;

  // Tag 15: name, three (kind, sub, name), potion, four i16, the parameter byte.
  void Serialize(SStream& s, u32 version);
  // Sets the first entry of the potion type's effect list (a copy) for the alchemy skill.
  void ApplyToPotion(SEffectList& effects, i32 skill) const;
};

class SItem;
class SItemType;
class SRandom;

// A recipe the given ingredients make.
struct SMakeableRecipe {
  const SAlchemyRecipe* recipe = nullptr;
  SItemType* potion = nullptr;  // set by the listing over item types
  const char* text = nullptr;   // "? Unknown", or the potion's display name
  bool unknown = false;
  u8 used[3] = {};  // the ingredients (indices into the given list) that met each requirement
  u8 usedCount = 0;
};

class SAlchemyTable : public SOneRecordTable<SAlchemyRecipe> {
 public:
  SAlchemyTable() : SOneRecordTable<SAlchemyRecipe>(14, false) {}
  // The recipes the ingredients' effect lists make (null lists and empty lists are no ingredients), in
  // table order. Making the potion item is the item table's: `ApplyToPotion` sets its effects.
  void ListMakeable(i32 skill, const SEffectList* const* ingredients, u32 count,
                    std::vector<SMakeableRecipe>& out) const;
  // The same over up to three ingredient item types (their enchantments), keeping only the recipes whose
  // potion type exists, with their texts.
  void ListMakeable(SWorldRules& rules, i32 skill, const SItemType* const* ingredients, u32 count,
                    std::vector<SMakeableRecipe>& out) const;
  // The potion of a recipe for the alchemy skill: a new item of its type with its own copy of the type's
  // enchantment, the first entry set by the skill. Null when the type does not exist.
  SItem* CreatePotion(SWorldRules& rules, const SAlchemyRecipe& recipe, i32 skill, SRandom& random) const;
};

class SAbility {
 public:
  // Tag 11: name, text, the effect entries.
  void Serialize(SStream& s, u32 version);
  // The entries' texts, one a line: all of them in the plain wording, or a range in the wording of the
  // race picker (short on the compact screens, shortest on the smallest).
  void DescribeAll(SWorldRules& rules, SString& text) const;
  void DescribeRange(SWorldRules& rules, SString& text, u32 first, u32 last) const;
  void GrantToPlayer(SWorldRules& rules) const;

  SName name;
  const char* text = nullptr;
  SEffectList effects;

 private:
  void DescribeEntries(SWorldRules& rules, SString& text, u32 first, u32 last, bool compact, bool shortest) const;
};

class SAbilityTable : public SOneRecordTable<SAbility> {
 public:
  SAbilityTable() : SOneRecordTable<SAbility>(10, false) {}
};
