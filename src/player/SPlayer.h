// The player character: the whole record (experience, hit and spell points, money, attributes and skills,
// spells, quests, inventory and equipment, abilities, diseases, fame and crime, marked positions) with the
// active effects in their category lists, and the rules that change the record and report the changes.
// The record (SPlayer.cpp), effects and derived values (SPlayerEffects.cpp), status changes
// (SPlayerChanges.cpp), items, prices and words (SPlayerItems.cpp), time, wear and damage
// (SPlayerTime.cpp), the saved record (SPlayerSave.cpp) and the new character (SPlayerNew.cpp) are one
// class over several files.
#pragma once
#include "foundation/SPtrArray.h"
#include "foundation/SRandom.h"
#include "foundation/SString.h"
#include "foundation/SStringList.h"
#include "world/SItem.h"
#include "world/SMapArea.h"
#include "world/SRulesContext.h"

class SAbility;
class SDisease;
class SGameCore;
class SItemType;
class SMapArea;
class SMonster;
class SSaveGame;
class SScriptValue;
class SSpell;
class SStream;
struct SNewPlayer;
class SWorldModule;
class SWorldRules;
struct SActionRecord;
struct SMapMonster;

template <>
struct SNameOf<SPlayerEffect> {
  static const SName& Get(const SPlayerEffect&) {
    static const SName none;
    return none;
  }
};

inline constexpr u32 kEffectCategories = 24;  // lists 0..23; kinds without a category are not stored
inline constexpr u32 kEffectKindCount = 59;   // kinds 0..58
inline constexpr u32 kPlayerSchools = 8;
inline constexpr u32 kMaxLevel = 99;  // the experience table ends here
inline constexpr u32 kMoneyCap = 1000000000;
inline constexpr u32 kPlayerSkills = 20;

// A quest taken: its key (an owned copy) and its state bits (1 solved, 2 failed; 0 open).
struct SQuestState {
  SName name;
  u8 state = 0;
  SQuestState() { name.SetOwns(); }
};

// A place remembered for a later return: the world's name and title, the map's name and title, the cell
// and the facing. An entry whose first text is empty holds no place.
struct SMarkedPosition {
  SString worldName;
  SString worldTitle{"-"};
  SString mapName;
  SString mapTitle;
  u8 column = 0, row = 0, facing = 0;
  bool IsHeld() const { return !worldName.IsEmpty(); }
  // In a saved game: the four texts, then column, row and facing.
  void Serialize(SStream& s);
};

template <>
struct SNameOf<SMarkedPosition> {
  static const SName& Get(const SMarkedPosition&) {
    static const SName none;
    return none;
  }
};

class SPlayer : public SPlayerAccess {
 public:
  SPlayer();
  ~SPlayer() override;
  SPlayer(const SPlayer&) = delete;
  SPlayer& operator=(const SPlayer&) = delete;

  // ---- the record (SPlayer.cpp)
  // Ties the player to the game core (its world rules, game state, script context, random generator).
  void Attach(SGameCore* game);
  // Ties the player to world rules alone (no game: reports and events go nowhere).
  void AttachRules(SWorldRules* rules);
  void BuildXpTable();
  // The new character's starting record; only for the game's own world (prefix "base_").
  void ResetForNewGame();
  // Adds unused marked positions up to max(1, intellect / 5); never shrinks the list.
  void GrowMarkedPositions();
  void SetMarkedPosition(u32 n, const SWorldModule* world, const SMapArea* map, u8 column, u8 row, u8 facing);
  void ClearKnownSpells();
  void UseCharge(SItem* item);

  u32 GetLevel() const { return level; }
  u32 GetSex() const { return sex; }
  u32 GetMoney() const { return money; }
  u32 GetCrime() const { return crime; }
  i32 GetFame() const { return fame; }
  bool IsRace(u32 n) const { return race == n; }
  bool IsFameNegative() const { return fame < 0; }
  bool IsFameNonNegative() const { return fame >= 0; }
  bool HasMoney(u32 n) const { return money >= n; }
  bool CanPayFine() const { return u64(money) >= u64(crime) * 100; }
  bool HasRestorableXp() const { return restorableXp > 0; }
  const char* GetRaceName() const;
  const char* GetRaceKey() const;
  SItem* Equipped(u32 slot) const { return slot >= 1 && slot <= kEquipmentSlots ? equipment[slot - 1] : nullptr; }
  SItem* GetMainWeapon() const { return Equipped(5); }
  SItem* GetSecondaryWeapon() const;
  bool IsEquipped(const SItem* item) const { return item && EquipmentSlotOf(item) != 0; }
  // The first slot 1..13 holding the item; 0 none.
  u32 EquipmentSlotOf(const SItem* item) const;
  SItem* GetInventoryItem(i32 n) const { return inventory.GetItem(n); }
  u32 CountItems(const char* typeName) const;
  u32 GetInventoryWeight() const;
  bool HasQuiver() const;
  bool HasFoodAndWater() const;
  bool HasEnchantableItem() const;
  bool MeetsItemAlignment(const SItemType* type) const;
  bool HasQuest(const char* key) const { return FindQuest(key) != nullptr; }
  SQuestState* FindQuest(const char* key) const;
  bool IsQuestSolved(const char* key) const;
  bool IsQuestFailed(const char* key) const;
  bool HasAbility(const char* key) const;
  bool HasDisease(const char* key) const;
  void GetFirstDiseaseName(SString& out) const;
  bool HasReadItem(const char* text) const;
  void AddReadItemName(const char* text);
  bool KnowsAnySpell() const;
  bool KnowsSpell(const char* key) const;
  bool CanLearnSpell(const char* key) const;
  bool CanLearnSpellRecord(const SSpell* spell) const;
  bool HasMarkedPosition() const;
  SMarkedPosition* GetMarkedPosition(i32 n) const { return markedPositions.At(n); }
  // The player's column and row on the current map.
  u32 GetMapX() const;
  u32 GetMapY() const;

  // ---- SPlayerAccess
  i32 SumEffects(u32 category, u32 sub, const char* name, bool* present) override;
  SPlayerEffect* FindEffect(u32 category, const void* source, u32 sub, const char* name) override;
  void AddEffect(u32 sourceType, const void* source, i32 strength, u32 duration, u32 kind, u32 sub,
                 const char* name) override;
  u32 EffectCategory(u32 kind) const override { return kind < kEffectKindCount ? categoryOfKind[kind] : 0; }
  u32 Race() const override { return race; }
  i32 Fame() const override { return fame; }
  i32 CrimeOwed() const override { return crime > 0x7FFFFFFF ? 0x7FFFFFFF : i32(crime); }
  i32 GetAttribute(u32 attribute) override { return GetAttribute(attribute, nullptr, nullptr, false); }
  u32 SkillLevel(u32 skill) const override { return skill >= 1 && skill <= kPlayerSkills ? skills[skill] : 0; }
  bool KnowsSpellRecord(const SSpell* spell) const override;
  bool AddKnownSpell(SSpell* spell) override;

  // ---- effects and derived values (SPlayerEffects.cpp)
  // Removes the kind's item, spell and condition entries (equipment, disease and ability ones stay) and
  // says how many went.
  u32 CureEffect(u32 kind);
  void RemoveEffectsFromSource(u32 sourceType);
  void ClearEffects();
  void RecalculateEquipment();
  void RecalculateAbilities();
  void ReapplyAbilities() { RecalculateAbilities(); }
  void RecalculateDiseases();
  bool IsCursed() { return SumEffects(22, 0, nullptr, nullptr) != 0; }
  bool IsParalyzed() { return SumEffects(21, 0, nullptr, nullptr) != 0; }
  bool HasMagicImmunity() { return SumEffects(17, 0, nullptr, nullptr) != 0; }
  i32 GetPoisonStrength() { return SumEffects(23, 0, nullptr, nullptr); }
  i32 GetMagicBonus() { return SumEffects(15, 0, nullptr, nullptr); }
  i32 GetDrunkenness() const;
  bool IsHeavilyDrunk();
  void MakeDrunk(i32 amount, const void* source);
  static const char* CategoryName(u32 category);

  // The attribute with its effects, at least 1 (0 outside 1..5); drunk-aware adds drink's modifiers.
  i32 GetAttribute(u32 attribute, bool* bonus, i32* baseOut, bool drunkAware);
  i32 GetAttributeEffective(u32 attribute) override { return GetAttribute(attribute, nullptr, nullptr, true); }
  i32 GetAttributeByKey(const char* key);
  i32 GetSkill(u32 skill);
  i32 GetSkillParts(u32 skill, bool* bonus, i32* baseOut);
  i32 GetSkillByName(const char* key);
  // Of a comma-separated list of skill keys, the key of the highest skill (the first of equals); "" none.
  const char* GetBestSkillOf(const char* list);
  bool CanRaiseSkill(u32 skill) const;
  i32 GetMaxHp();
  i32 GetMaxMana();
  i32 GetMaxHpForDisplay(bool* bonus);
  i32 GetMaxManaForDisplay(bool* bonus);
  i32 GetHealthPercent();
  i32 GetManaPercent();
  i32 GetCarryCapacity();
  i32 GetDiseaseResistance(bool* bonus = nullptr, i32* part = nullptr);
  i32 GetNamedDiseaseResistance(const char* name, bool* bonus = nullptr, i32* part = nullptr);
  i32 GetParalysisResistance(bool* bonus = nullptr, i32* part = nullptr);
  i32 GetPoisonResistance(bool* bonus = nullptr, i32* part = nullptr);
  i32 GetMagicResistance(bool* bonus = nullptr, i32* part = nullptr);
  i32 GetArmorClass(bool* bonus, i32 shieldMultiplier);
  i32 GetArmorClassPlain() { return GetArmorClass(nullptr, 1); }
  // The armour class against a blow: a shield may block (multiplier 2 or 3), practising its skill.
  i32 GetArmorClassWhenHit(bool blow);

  // ---- status changes and their reports (SPlayerChanges.cpp)
  void ChangeXp(i32 delta, bool report);
  void LoseXp(i32 amount, bool restorable);
  void DrainXp();
  void RestoreLostXp();
  void CheckLevelChange();
  // Raises up to three practised skills by one; the numbers raised, 0 for places not filled.
  void GainLevelSkills(u32 raised[3]);
  void ChangeHp(i32 delta, bool report);
  void ChangeMana(i32 delta, bool report);
  void SetHp(i32 value, bool report);
  void SetMana(i32 value, bool report);
  void RestoreFullHp(bool report);
  void RestoreFullMana(bool report);
  void TakeHit(i32 amount, i32 attackKind);
  // A monster's blow or missile reaches the player, from grid side `direction` (-1: the side its fight
  // record gives, the record then taken out).
  void TakeMonsterHit(SMapArea* area, SMapMonster* monster, SActionRecord* attack, i32 direction, bool missile);
  void ApplyPoisonDamage();
  i32 TakeMagicDamage(i32 amount);
  i32 TakeMagicManaDamage(i32 amount);
  void ChangeAttribute(u32 attribute, i32 delta, bool report);
  void ChangeAttributeByKey(const char* key, i32 delta);
  void ChangeSkill(u32 skill, i32 delta, bool report);
  void ChangeSkillByName(const char* key, i32 delta);
  u32 RaiseAttribute(u32 attribute);
  u32 RaiseSkill(u32 skill);
  void PracticeSkill(u32 skill);
  void PracticeWeaponSkills();
  void GainMoney(i32 amount, bool report, bool found);
  void LoseMoney(i32 amount, bool report);
  void ChangeFame(i32 delta);
  void ChangeCrime(i32 delta);
  void ClearCrime();
  void Infect(const char* key);
  void CureDisease(const char* key);
  void TryInfect(const char* key);
  void AddAbility(const char* key, bool report);
  void RemoveAbility(const char* key);
  void AddQuest(const char* key);
  void EndQuest(const char* key, bool solved);
  void RemoveQuest(const char* key);
  void LearnSpell(const char* key, bool report);
  void ForgetSpell(const char* key);
  void TryCurse(i32 duration);
  void EquipItem(SItem* item, bool secondHand);
  void UnequipItem(SItem* item);
  void UnequipAndRemoveItem(SItem* item);
  void DiscardEmptyItem(SItem* item);
  SItem* AddItems(SItemType* type, i32 n);
  void RemoveItems(const SItemType* type, i32 n);
  void LoseItems(const char* key, i32 n);
  void ConsumeFoodAndWater();
  void PreloadInventoryPictures();
  // Game events the scripts ask for.
  void QueueCellMove(i32 x, i32 y);
  void QueueTravel(const char* textA, const char* textB);
  void QueueStepBack();
  void QueueJail(const char* text);
  void QueueTurnTo(const char* direction);
  void QueueMapTransition(const char* position, const char* prompt, const char* transition);
  void QueueMapTransitionPlain(const char* position, const char* prompt);
  void QueueTeleport(const char* position, const char* transition);
  void QueueTeleportPlain(const char* position);
  // A script function of the player rows (ids 131 to 254): always 0; a function that answers leaves a new
  // value in `result`.
  u32 CallScriptFunction(u32 id, const SScriptValue& first, const SScriptValue& second, const SScriptValue& third,
                         SScriptValue*& result);

  // ---- the saved record (SPlayerSave.cpp): record 3003 of a saved game
  // Writes the record in the form of `version` (the game writes 116), item types and spells as indexes
  // of the save manager's tables; false when the stream fails.
  bool Write(SStream& s, u32 version, SSaveGame& saves);
  // Reads a record of `version` (86 to 116) into the player, whose lists are emptied first. False, the
  // record refused, when the stream fails, a count cannot fit the record, the race is not 0..5, the level
  // not 1..99, a skill id above 20, or an effect's category not 1..23 or its source not 2, 3 or 6. A
  // quest, ability, disease, spell or item type the world lacks is dropped; an equipment slot that names
  // no item read, or one whose item the slot cannot hold, stays empty.
  bool Read(SStream& s, u32 version, SSaveGame& saves);
  void SerializeEffect(SStream& s, SPlayerEffect& e, SSaveGame& saves);
  // One saved effect: false when it is damaged; *out null when its source is gone.
  bool ReadEffect(SStream& s, SSaveGame& saves, SPlayerEffect** out);
  // Empties every list: spells, quests, equipment, inventory, abilities, diseases, items read, marked
  // positions and effects.
  void ClearLists();

  // ---- the new character (SPlayerNew.cpp)
  // Race, attributes, skills, money, kit, provisions, spells, start time and start position from the
  // new-player screen's record; after ResetForNewGame.
  void GiveStartingKit(const SNewPlayer& record);

  // ---- item use, spells and hits (SPlayerItemUse.cpp, SPlayerMonsterHit.cpp)
  bool IsUndead() const { return race == 1; }
  // The effects of a potion, food or other item the player uses (its own list, else its type's).
  void ApplyItemEffects(SItem* item);
  // A spell of caster level `level` reaches the player; a hostile one meets the magic resistance. With
  // `ownEffects` only the effects that spread to the cells around take effect. A hit shows from the
  // grid side `direction` (-1 none).
  void ApplySpell(const SSpell* spell, i32 casterLevel, bool friendly, i32 direction, bool ownEffects);
  void TryPoison(i32 amount);
  void TryParalyze(i32 duration);
  // Takes away what magic gave or took for a time: spells', items' and conditions' effects but poison.
  void Dispel();
  // One food and one drink the player's race may have, with a message.
  void CreateFood();

  // ---- item texts, prices, fame and outfit words (SPlayerItems.cpp)
  // Appends "a potion of Healing", "3 books of 'Lore'" and the like.
  void FormatItemName(const SItemType* type, u32 count, SString& out) const;
  u32 AdjustPrice(u32 price, bool lower);
  const char* GetFameWord() const;
  i32 GetOutfitScore(bool* bonus);
  i32 GetOutfitScoreOnly() { return GetOutfitScore(nullptr); }
  const char* GetOutfitWord();
  bool CanUseItem(const SItem& item) const;
  bool CanUseChargedItem(const SItem& item) const { return item.count != 0 && CanUseItem(item); }

  // ---- passing time, wear and weapon damage (SPlayerTime.cpp)
  void TickEffects(u32 minutes);
  void WearWeapon(SItem* item, i32 amount);
  void WearItem(SItem* item, i32 amount);
  // Wears the armour piece a blow strikes; `direction` is the grid side it comes from (-1 none).
  void WearArmourFromHit(i32 amount, i32 direction, bool* shield);
  void WearItemByLoad();
  void GetWeaponDamageRange(i32& min, i32& max, bool wear);
  i32 RollDamage(bool wear);
  i32 RollWeaponDamage(const SMonster* target);
  SItem* ReceiveItemsReported(const char* typeName, i32 n, bool report);
  SItem* FindItemsReported(const char* typeName, i32 n, bool report);
  void ReceiveItem(SItem* item);

  // ---- the record's fields
  SMapObjectInst header;  // read by the map-object and script code, as a placed object's leading fields
  SString name;
  SString portrait;
  u8 sex = 1;
  u16 hp = 40;
  u16 mana = 40;
  u8 level = 1;
  u32 xp = 0;
  u32 peakXp = 0;        // the most held before a loss
  u32 restorableXp = 0;  // lost experience that can be given back
  u32 nextLevelXp = 0;
  u32 xpTable[kMaxLevel + 1] = {};
  u8 permanentPotionTaken = 0;
  u32 money = 0;
  u16 attributes[6] = {};
  u16 attributePoints = 0;
  u16 attributeAllowance[6] = {};
  u8 majorSkills[6] = {};
  u8 minorSkills[14] = {};
  u16 skillPoints = 0;
  u16 skillAllowance[kPlayerSkills + 1] = {};
  u16 skills[kPlayerSkills + 1] = {};
  u16 practice[kPlayerSkills + 1] = {};
  SPtrArray<SSpell> knownSpells[kPlayerSchools];
  SPtrArray<SQuestState> quests{true, 4};
  SItemContainer inventory;
  SItem* equipment[kEquipmentSlots] = {};  // slot n at n - 1
  SPtrArray<SAbility> abilities{false, 4};
  SPtrArray<SDisease> diseases{false, 4};
  SStringList itemsRead;
  i16 fame = 0;
  u32 crime = 0;
  u32 race = 1;
  SPtrArray<SMarkedPosition> markedPositions{true, 4};
  SString startPosition;  // where a new game puts the player: the game state teleports there on entering
  SGameCore* game = nullptr;
  SString messageText;  // where reports are formatted
  SPtrArray<SPlayerEffect> effects[kEffectCategories];
  u32 categoryOfKind[kEffectKindCount] = {};

 private:
  SWorldRules* Rules() const { return rules_; }
  // 0..n-1 from the game's generator.
  i32 Roll(i32 n);
  SRandom& Random();
  // A report to the running script's output, or queued as a message box with a sound (null: the default).
  void Report(const char* text);
  void Queue(const char* text, const char* sound);
  // Percentages of the current value of a maximum: 0 for a maximum of 0 or less, else within 0..100.
  static i32 Percent(i32 value, i32 maximum);
  i32 ResistancePart(i32 value, i32 category, const char* name, bool* bonus);
  void ChangePool(u16& value, i32 maximum, i32 delta, bool report, const char* what);
  // The game view's hp and mana bars follow every change made here.
  void RefreshGauges();
  void WearEquipped(SItem* item, i32 amount, const char* message);
  void EmptySlot(u32 slot);
  // Food or drink (class 14) the race may have.
  bool MayEat(const SItemType& type) const;
  // A timed effect of an item (source type 2) or spell (3): nothing without strength or for a duration
  // below 1; the entry of the same source lengthened or strengthened, else a new one.
  void AddTimedEffect(u32 sourceType, const void* source, i32 strength, i32 duration, u32 kind, u32 sub,
                      const char* key);
  // A condition of strength 0 (curse, paralysis, magic immunity) for `duration`: created, or renewed when
  // its strength is below 0 or it would last longer.
  void SetConditionEntry(u32 kind, u32 sourceType, const void* source, i32 duration);
  // The first-person hands follow a change of the player (paralysis lowers them).
  void SetHandsAgain();
  SItem* ReceiveReported(const char* typeName, i32 n, bool report, const char* opening);
  // The plain fields of the saved record, both directions; false when the stream failed.
  bool TransferFields(SStream& s, u32 version);
  // Steps of the new character.
  void GiveProvisions();
  SItem* GiveKitItem(const char* typeName, u32 count = 1);

  SWorldRules* rules_ = nullptr;
  SRandom fallbackRandom_;  // for a player without a started game
};
