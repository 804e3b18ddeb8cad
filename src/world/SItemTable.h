// Item types, the pictures that show items in the inventory and in the first-person view, the picture
// records tying a type to its picture, and the lists by level and class from which shops and loot draw.
// The rules and texts of single items (SItemRules.cpp) are members of SItemType.
#pragma once
#include "foundation/SPtrArray.h"
#include "foundation/SString.h"
#include "foundation/SStringList.h"
#include "foundation/SValueArray.h"
#include "world/SItem.h"
#include "world/SPaletteHolder.h"
#include "world/SWorldTable.h"

class SImageCache;
class SRandom;
class SSoundTable;
class SWorldRules;
class SItemTable;
struct SRecordData;

inline constexpr u32 kItemLevels = 7;    // 0..6 (0 = never offered)
inline constexpr u32 kItemClasses = 17;  // 0..16

enum SItemClass : u8 {
  kItemNone = 0,
  kItemWeapon = 1,
  kItemHeavyArmor = 2,
  kItemLightArmor = 3,
  kItemAccessory = 4,
  kItemBook = 5,
  kItemAlchemy = 6,
  kItemIngredient = 7,
  kItemPotion = 8,
  kItemMagic = 9,
  kItemMoney = 10,
  kItemKey = 11,
  kItemRepair = 12,
  kItemMisc = 13,
  kItemComestible = 14,
  kItemGem = 15,
  kItemCard = 16,
};

// Class and subtype names ("?" outside the table).
const char* ItemClassName(u32 itemClass);
const char* ItemSubtypeName(u32 itemClass, u32 subtype);
const char* ItemAlignmentName(u32 alignment);

// What item texts ask of the player beyond the world's rules; a null checker leaves those lines out.
class SItemPlayerChecks {
 public:
  virtual ~SItemPlayerChecks() = default;
  virtual bool CanReadScroll(const SItem& item) const = 0;
  virtual bool CanUseWand(const SItem& item) const = 0;
  virtual bool HasReadBook(const SItemType& type) const = 0;
  virtual bool CanLearnSkill(u32 skill) const = 0;  // skill number 1..20
};

class SItemType {
 public:
  SItemType() = default;
  SItemType(const SItemType&) = delete;
  SItemType& operator=(const SItemType&) = delete;
  ~SItemType();

  // Tag 21. Writing stores the enchantment when the type has one (the world builder's records).
  void Serialize(SStream& s, u32 version);

  // A new instance: missiles 10..19 units; weapons, armour, alchemy tools, keys and repair hammers their
  // condition (`maxCondition`, or that x percent / 100 for percent 0..100); wands their charges.
  SItem* CreateInstance(i32 conditionPercent, SRandom& random);
  // The count a new instance of this type starts with.
  u16 DefaultCount(i32 conditionPercent, SRandom& random) const;
  // Makes the inventory picture of the type's picture record resident.
  bool LoadPicture(SImageCache& cache);

  // ---- rules (SItemRules.cpp). A maxCondition of 0 means the type has no condition.
  bool IsMissile() const { return itemClass == kItemWeapon && (subtype == 8 || subtype == 11 || subtype == 13); }
  bool IsLightWeapon() const { return (flags & 2) != 0; }
  bool HasCondition() const;  // the classes whose count value is a condition
  void GetGoverningSkills(u32& skill, u32& second) const;
  u32 GetEnchantKind() const;
  bool IsFullCondition(const SItem& item) const { return item.count == maxCondition; }
  // The condition as a percentage of the maximum, at most 100; a type without condition reads 100.
  u32 ConditionPercent(const SItem& item) const;
  bool IsBroken(const SItem& item) const { return ConditionPercent(item) < 10; }
  void Repair(SItem& item) const { item.count = maxCondition; }
  void AddCondition(SItem& item, u32 n) const;
  void SubtractCondition(SItem& item, u32 n) const;
  u32 ScaleRating(u32 rating, u32 k) const;
  u32 GetScaledRating(u32 k) const { return ScaleRating(armorClass, k); }
  u32 GetScaledOutfitValue(u32 k) const { return ScaleRating(outfit, k); }
  u32 GetScaledDamageMin(u32 k) const { return ScaleRating(damageMin, k); }
  u32 GetScaledDamageMax(u32 k) const { return ScaleRating(damageMax, k); }
  u32 GetValue(SWorldRules& rules, const SItem* item) const;
  void ComputeDamageRange(SWorldRules& rules, i32& min, i32& max, u32 condition, bool secondHand) const;
  bool HasPermanentEffect(const SItem& item) const;
  void ResetCharges(SItem& item) const;
  bool HasUndeadSpell(SWorldRules& rules, const SItem& item) const;
  bool HasHealSpell(SWorldRules& rules, const SItem& item) const;
  void GetDisplayName(SWorldRules& rules, const SItem* item, SString& text, bool shortForm) const;
  void Describe(SWorldRules& rules, const SItem* item, SString& text, bool detailed,
                const SItemPlayerChecks* checks = nullptr) const;
  static const char* ConditionWord(u32 percent);
  static const char* OutfitWord(u32 score);
  void EnchantabilityWord(SString& text) const;

  SItemTable* table = nullptr;
  SName name;
  const char* text1 = nullptr;
  const char* text2 = nullptr;  // picture record name
  const char* text3 = nullptr;  // display name
  const char* text4 = nullptr;
  const char* text5 = nullptr;
  const char* text6 = nullptr;
  const char* text7 = nullptr;
  SEffectList* enchantment = nullptr;  // owned
  u32 value = 0;
  u16 spare1 = 0;
  u16 weight = 0;  // hundredths
  u16 spare2 = 0;
  u16 damageMin = 0, damageMax = 0;
  u16 armorClass = 0;
  u16 enchantCapacity = 0;
  u16 maxCondition = 1000;
  u16 picture = 0;
  u8 outfit = 0;
  u8 level = 0;
  u8 frequency = 1;
  u8 itemClass = 0;
  u8 subtype = 0;
  u8 alignment = 0;
  u8 flags = 0;  // 1 home-made potion, 2 light weapon, 8 undead food
  u8 order = 0;  // the potion list shows higher values first; no record stores it
};

class SItemPicture : public SPaletteHolder {
 public:
  // Tag 23: name, kind, (versions 45 and 46, kind 0: a dropped byte), palettes.
  void Serialize(SStream& s, u32 version);
  u16 image = 0;
  u8 pictureKind = 1;
};

class SFpsItem : public SPaletteHolder {
 public:
  SFpsItem() : frames(4) {}
  // Tag "9".
  void Serialize(SStream& s, u32 version);
  bool IsPreloaded() const { return !(kind == 1 || kind == 2 || kind == 3 || kind == 5 || kind == 13); }
  // Frame images resident, then the palettes.
  void LoadFrames(SImageCache& cache);
  // The attack sound at volume 10; nothing when there is none.
  void PlaySound(SSoundTable& sounds) const;

  SStringList frameNames;
  SValueArray<u32> frames;  // one image number per frame name (0 for a name the cache lacks)
  const char* textA = nullptr;
  const char* sound = nullptr;
  const char* textB = nullptr;
  i16 value1 = 0, value2 = 0;
  u8 p1 = 0, p2 = 0, p3 = 0, p4 = 0, p5 = 0;
  u8 kind = 1;
};

class SItemTextPicture {
 public:
  // Untagged.
  void Serialize(SStream& s, u32 version);
  SName name;
  const char* text1 = nullptr;  // the picture loaded on demand
  const char* text2 = nullptr;  // the picture whose image becomes the type's `picture`
  const char* text3 = nullptr;
  u32 value = 100;
  u16 values[3] = {10, 100, 5};
  u16 values2[2] = {10, 5};
  u16 value6 = 1000;
  u8 bytes[2] = {2, 3};
};

class SItemTable : public SWorldTable {
 public:
  SItemTable();
  ~SItemTable() override;

  static const u16 kClassFlags[kItemClasses];
  static const u8 kClassStock[kItemClasses];

  // Pictures, first-person pictures, picture records, then the item types (in one record below version
  // 48, else one record each after the header).
  bool Load(SDatabase& db, u16& record, u32 version) override;
  void Clear() override;
  void* FindForIndex(const char* name) override { return FindType(name); }
  void ResolveNames(SImageCache& images, u8* imageFlags) override;

  // The first three records, both directions; and the fourth's header (writing also writes the types
  // into it below version 48).
  bool SerializePictures(SStream& s, u32 version);
  bool SerializeFpsItems(SStream& s, u32 version);
  bool SerializeTextPictures(SStream& s, u32 version);
  bool SerializeTypeHeader(SStream& s, u32 version);

  SItemType* FindType(const char* name) const { return types.FindByName(name); }
  SItemPicture* FindPicture(const char* name) const { return pictures.FindByName(name); }
  SFpsItem* FindFpsItem(const char* name) const { return fpsItems.FindByName(name); }
  SItemTextPicture* FindTextPicture(const char* name) const { return textPictures.FindByName(name); }

  // Null for level 0, a level or class out of range, or an empty list.
  SItemType* RandomTypeOfLevel(u32 level, SRandom& random) const;
  SItemType* RandomTypeOfLevelAndClass(u32 level, u32 itemClass, SRandom& random) const;
  SItemType* TypeAt(u32 level, u32 itemClass, u32 index) const;
  u32 LevelCount(u32 level) const { return level < kItemLevels ? levelCount_[level] : 0; }
  u32 LevelClassCount(u32 level, u32 itemClass) const {
    return level < kItemLevels && itemClass < kItemClasses ? levelClassCount_[level][itemClass] : 0;
  }
  // Spawns the entries' items into `out`: per entry, `count` draws of random(100) < chance.
  void CreateItemsFromList(const SPtrArray<SItemSpawn>& list, SPtrArray<SItem>& out, SRandom& random) const;
  // Preloads the kind-0 item pictures and the first-person frames of preloaded kinds.
  void LoadItemPictures(SImageCache& cache);
  // Fills classFlags from kClassFlags (the game core does it at start-up).
  void InitFlagValues();

  // One bit per item class (0 for classes 0 and 10), which traders' accepted-class masks are tested against.
  u16 classFlags[kItemClasses] = {};

  SPtrArray<SItemTextPicture> textPictures;
  SPtrArray<SItemType> types;
  SPtrArray<SFpsItem> fpsItems;
  SPtrArray<SItemPicture> pictures;
  SPtrArray<SRecordData> rawRecords;

 private:
  void BuildLists();
  void FreeLists();

  u16 levelClassCount_[kItemLevels][kItemClasses] = {};
  u16* levelClass_[kItemLevels][kItemClasses] = {};
  u16 levelCount_[kItemLevels] = {};
  u16* level_[kItemLevels] = {};
};
