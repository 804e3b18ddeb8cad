// The player character: the fields the world's rules read and change, and the active effects in their
// category lists with the sums every derived value is built from. The rest of the record (experience,
// inventory, equipment, quests, saving) grows here with the player's own rules.
#pragma once
#include "foundation/SPtrArray.h"
#include "foundation/SString.h"
#include "foundation/SStringList.h"
#include "world/SRulesContext.h"

class SAbility;
class SDisease;
class SGameCore;
class SSpell;
class SWorldRules;

template <>
struct SNameOf<SPlayerEffect> {
  static const SName& Get(const SPlayerEffect&) {
    static const SName none;
    return none;
  }
};

inline constexpr u32 kEffectCategories = 24;  // lists 0..23; 0 collects kinds without a category
inline constexpr u32 kPlayerSchools = 8;

class SPlayer : public SPlayerAccess {
 public:
  SPlayer();
  ~SPlayer() override;
  SPlayer(const SPlayer&) = delete;
  SPlayer& operator=(const SPlayer&) = delete;

  // Ties the player to the game core's world rules (and them to the player).
  void Attach(SGameCore* game);
  void AttachRules(SWorldRules* rules);

  // SPlayerAccess
  i32 SumEffects(u32 category, u32 sub, const char* name, bool* present) override;
  SPlayerEffect* FindEffect(u32 category, const void* source, u32 sub, const char* name) override;
  void AddEffect(u32 sourceType, const void* source, i32 strength, u32 duration, u32 kind, u32 sub,
                 const char* name) override;
  u32 EffectCategory(u32 kind) const override { return kind <= 58 ? categoryOfKind[kind] : 0; }
  u32 Race() const override { return race; }
  i32 Fame() const override { return fame; }
  i32 CrimeOwed() const override { return crime > 0x7FFFFFFF ? 0x7FFFFFFF : i32(crime); }
  i32 GetAttribute(u32 attribute) override { return GetAttributeEx(attribute, nullptr, nullptr, false); }
  u32 SkillLevel(u32 skill) const override { return skill >= 1 && skill <= 20 ? skills[skill] : 0; }
  bool KnowsSpellRecord(const SSpell* spell) const override;
  bool AddKnownSpell(SSpell* spell) override;

  // Effects
  void CureEffect(u32 kind);
  void RemoveEffectsFromSource(u32 sourceType);
  void ClearEffects();
  void RecalculateAbilities();
  void RecalculateDiseases();
  bool IsCursed() { return SumEffects(22, 0, nullptr, nullptr) != 0; }
  bool IsParalyzed() { return SumEffects(21, 0, nullptr, nullptr) != 0; }
  bool HasMagicImmunity() { return SumEffects(17, 0, nullptr, nullptr) != 0; }
  i32 GetPoisonStrength() { return SumEffects(23, 0, nullptr, nullptr); }
  i32 GetDrunkenness() const;
  bool IsHeavilyDrunk();
  static const char* CategoryName(u32 category);

  // Derived values
  i32 GetAttributeEx(u32 attribute, bool* bonus, i32* baseOut, bool drunkAware);
  i32 GetAttributeEffective(u32 attribute) { return GetAttributeEx(attribute, nullptr, nullptr, true); }
  i32 GetSkill(u32 skill);
  bool CanRaiseSkill(u32 skill) const;

  // Spells
  bool KnowsSpell(const char* key) const;
  bool CanLearnSpellRecord(const SSpell* spell) const;
  bool KnowsAnySpell() const;

  SString name;
  SString portrait;
  u8 sex = 1;
  u16 hp = 40;
  u16 mana = 40;
  u8 level = 1;
  u32 money = 0;
  u16 attributes[6] = {};
  u16 skills[21] = {};
  u16 practice[21] = {};
  SPtrArray<SSpell> knownSpells[kPlayerSchools];
  SPtrArray<SAbility> abilities{false, 4};
  SPtrArray<SDisease> diseases{false, 4};
  SStringList itemsRead;
  i16 fame = 0;
  u32 crime = 0;
  u32 race = 1;
  SPtrArray<SPlayerEffect> effects[kEffectCategories];
  u32 categoryOfKind[59] = {};

 private:
  SWorldRules* rules_ = nullptr;
};
