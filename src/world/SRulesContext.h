// What the world's rule tables ask of the running game above the world layer: the player record and a
// few services of the game (message line, clock, script globals, monster types, random numbers, the
// display mode and the small-number glyphs). The player record and the game core implement these; the
// defaults are what a world without a running game answers.
#pragma once
#include "foundation/SString.h"
#include "os/Types.h"

class SSpell;

// One active effect of the player (owned by its category list).
struct SPlayerEffect {
  char* text = nullptr;          // owned copy, or null
  const void* source = nullptr;  // the record it came from
  i16 strength = 0;
  u8 duration = 0;  // stored one higher than given; 0 = no time limit
  u8 category = 0;
  u8 sourceType = 0;  // 1 equipment, 2 item, 3 spell, 4 disease, 5 ability, 6 condition
  u8 sub = 0;

  SPlayerEffect() = default;
  SPlayerEffect(const SPlayerEffect&) = delete;
  SPlayerEffect& operator=(const SPlayerEffect&) = delete;
  ~SPlayerEffect() { delete[] text; }
};

// Effect categories of the player's lists that the world's rules name.
enum : u32 {
  kCategoryFortifySkill = 1,
  kCategoryParalysis = 21,
  kCategoryPoison = 23,
};

// Sources of active effects.
enum : u32 {
  kSourceEquipment = 1,
  kSourceItem = 2,
  kSourceSpell = 3,
  kSourceDisease = 4,
  kSourceAbility = 5,
  kSourceCondition = 6,
};

class SPlayerAccess {
 public:
  virtual ~SPlayerAccess() = default;
  virtual i32 SumEffects(u32 category, u32 sub, const char* name, bool* present) = 0;
  virtual SPlayerEffect* FindEffect(u32 category, const void* source, u32 sub, const char* name) = 0;
  virtual void AddEffect(u32 sourceType, const void* source, i32 strength, u32 duration, u32 kind, u32 sub,
                         const char* name) = 0;
  // The category list of an effect kind (0 for kinds outside 0..58).
  virtual u32 EffectCategory(u32 kind) const = 0;
  virtual u32 Race() const = 0;
  virtual i32 Fame() const = 0;
  virtual i32 CrimeOwed() const = 0;
  // The attribute with its fortify effects, at least 1 (0 outside 1..5).
  virtual i32 GetAttribute(u32 attribute) = 0;
  // The same with the modifiers of drink, as others see the player (personality in conversation).
  virtual i32 GetAttributeEffective(u32 attribute) { return GetAttribute(attribute); }
  // The base level of a skill (0 outside 1..20).
  virtual u32 SkillLevel(u32 skill) const = 0;
  virtual bool KnowsSpellRecord(const SSpell* spell) const = 0;
  // Adds the spell to the known list of its school; false when it cannot.
  virtual bool AddKnownSpell(SSpell* spell) = 0;

  bool IsUndead() const { return Race() == 1; }
};

// One list of a person's conversation as the game judges it now: the list, its title, and its first entry
// whose conditions hold (null when the list's own condition or every entry's fails).
struct SConversationOpening {
  void* list = nullptr;
  void* entry = nullptr;
  const char* title = nullptr;
};

class SNpc;

class SGameHooks {
 public:
  virtual ~SGameHooks() = default;
  virtual void QueueMessage(const char* text, const char* sound) {}
  virtual u32 HourOfDay() { return 12; }
  // The value of a script global variable; false when no variable has that name.
  virtual bool GlobalValue(const char* name, i32& value) { return false; }
  virtual bool MonsterBaseTypeExists(const char* name) { return false; }
  virtual i32 DisplayMode() { return 0; }
  virtual i32 Random(i32 n) { return 0; }
  virtual void ConvertNumberGlyphs(SString& text) {}
  // List `index` of the person's conversation, in its topic lists (array 0) or greeting lists (1); false
  // past the end of the array (or without a conversation).
  virtual bool ConversationList(const SNpc& person, u32 array, u32 index, SConversationOpening& out) { return false; }
};
