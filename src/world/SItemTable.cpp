#include "world/SItemTable.h"

#include "foundation/SDatabase.h"
#include "foundation/SRandom.h"
#include "world/SEffect.h"
#include "world/SImageCache.h"
#include "world/SSoundTable.h"

#include <cstring>
#include <memory>
#include <new>

namespace {
const char* const kClassNames[kItemClasses] = {
    "?",     "Weapon", "Heavy armor", "Light armor", "Accessory",    "Book",       "Alchemy", "Ingredient", "Potion",
    "Magic", "Money",  "Key",         "Repair",      "Miscellanous", "Comestible", "Gem",     "Card"};

const char* const kWeaponSubtypes[] = {"hand",     "short sword", "long sword", "mace",       "axe",
                                       "hammer",   "club",        "magicstaff", "throwing",   "short bow",
                                       "long bow", "quiver",      "crossbow",   "bolt quiver"};
const char* const kArmorSubtypes[] = {"?",         "Shield", "Arm. pants", "Armor", "Helm",
                                      "Gauntlets", "Boots",  "Cloak",      "Belt"};
const char* const kAccessorySubtypes[] = {"?", "Amulet", "Ring"};
const char* const kBookSubtypes[] = {"?", "Book", "Letter", "Map"};
const char* const kMagicSubtypes[] = {"?", "Scroll", "Spellbook", "Blank scroll", "Wand", "Empty wand"};
const char* const kKeySubtypes[] = {"?", "Key", "Lockpick"};
const char* const kComestibleSubtypes[] = {"?", "Food", "Water"};

template <u32 N>
const char* Pick(const char* const (&names)[N], u32 i) {
  return i < N ? names[i] : "?";
}

// Count lists are u16: sums beyond that are capped, and the fill never writes more than the cap.
constexpr u32 kListCap = 0xFFFF;
}  // namespace

const char* ItemClassName(u32 itemClass) { return itemClass < kItemClasses ? kClassNames[itemClass] : "?"; }

const char* ItemSubtypeName(u32 itemClass, u32 subtype) {
  switch (itemClass) {
    case kItemWeapon: return Pick(kWeaponSubtypes, subtype);
    case kItemHeavyArmor:
    case kItemLightArmor: return Pick(kArmorSubtypes, subtype);
    case kItemAccessory: return Pick(kAccessorySubtypes, subtype);
    case kItemBook: return Pick(kBookSubtypes, subtype);
    case kItemAlchemy: return subtype == 1 ? "Mortar/pestle" : "?";
    case kItemIngredient: return subtype == 1 ? "Ingredient" : "?";
    case kItemPotion: return subtype == 1 ? "Potion" : "?";
    case kItemMagic: return Pick(kMagicSubtypes, subtype);
    case kItemMoney: return subtype == 1 ? "Money" : "?";
    case kItemKey: return Pick(kKeySubtypes, subtype);
    case kItemRepair: return subtype == 1 ? "Hammer" : "?";
    case kItemMisc: return subtype == 1 ? "Miscellanous" : "?";
    case kItemComestible: return Pick(kComestibleSubtypes, subtype);
    case kItemGem: return subtype == 1 ? "Gem" : "?";
    case kItemCard: return subtype == 1 ? "Card" : "?";
    default: return "?";
  }
}

const char* ItemAlignmentName(u32 alignment) {
  static const char* const kNames[] = {"none", "good", "evil"};
  return alignment < 3 ? kNames[alignment] : "?";
}

// ---- item types

SItemType::~SItemType() { delete enchantment; }

void SItemType::Serialize(SStream& s, u32 version) {
  s.SerializeMarker(21);
  s.SerializeName(name);
  s.SerializeString(text1);
  s.SerializeString(text2);
  s.SerializeString(text3);
  if (version >= 62 && version <= 72) {
    const char* dropped = nullptr;
    s.SerializeString(dropped);
  }
  s.SerializeString(text4);
  s.SerializeString(text5);
  s.SerializeString(text6);
  if (version >= 114) s.SerializeString(text7);
  u8 presence = enchantment ? 1 : 0;
  s.SerializeByte(presence);
  if (s.IsReading() && presence && s.Ok()) {
    delete enchantment;
    enchantment = new (std::nothrow) SEffectList;
    if (!enchantment) {
      s.SetFailed();
      return;
    }
  }
  if (presence && enchantment && !enchantment->SerializeEnchantment(s, version)) s.SetFailed();
  s.Align(4);
  s.SerializeU32(value);
  for (u16* v : {&weight, &damageMin, &damageMax, &armorClass, &enchantCapacity, &maxCondition}) {
    s.Align(2);
    s.SerializeU16(*v);
  }
  s.SerializeByte(level);
  s.SerializeByte(itemClass);
  s.SerializeByte(subtype);
  s.SerializeByte(alignment);
  s.SerializeByte(flags);
  if (version >= 64) s.SerializeByte(outfit);
  if (version >= 85) s.SerializeByte(frequency);
}

u16 SItemType::DefaultCount(i32 conditionPercent, SRandom& random) const {
  switch (itemClass) {
    case kItemWeapon:
      if (IsMissile()) return u16(10 + random.Next(10));
      [[fallthrough]];
    case kItemHeavyArmor:
    case kItemLightArmor:
    case kItemAlchemy:
    case kItemKey:
    case kItemRepair:
      if (conditionPercent < 0) return maxCondition;
      if (conditionPercent > 100) conditionPercent = 100;
      return u16(u32(maxCondition) * u32(conditionPercent) / 100);
    case kItemMagic:
      if (subtype == 4) {
        const SEffect* first = enchantment ? enchantment->Entry(0) : nullptr;
        return first ? u16(first->base) : 0;
      }
      return 0;
    default: return 0;
  }
}

SItem* SItemType::CreateInstance(i32 conditionPercent, SRandom& random) {
  SItem* item = new (std::nothrow) SItem;
  if (!item) return nullptr;
  item->type = this;
  item->count = DefaultCount(conditionPercent, random);
  return item;
}

bool SItemType::LoadPicture(SImageCache& cache) {
  if (!table) return false;
  SItemTextPicture* record = table->FindTextPicture(text2);
  SItemPicture* pic = record ? table->FindPicture(record->text1) : nullptr;
  if (!pic) return false;
  bool ok = cache.LoadImageByName(pic->name.Text());
  pic->AcquirePalettes(cache);
  return ok;
}

// ---- pictures

void SItemPicture::Serialize(SStream& s, u32 version) {
  s.SerializeMarker(23);
  s.SerializeName(name);
  s.SerializeByte(pictureKind);
  if ((version == 45 || version == 46) && pictureKind == 0) {
    u8 dropped = 0;
    s.SerializeByte(dropped);
  }
  SPaletteHolder::Serialize(s, version);
}

void SFpsItem::Serialize(SStream& s, u32 version) {
  s.SerializeMarker('9');
  s.SerializeName(name);
  s.SerializeByte(kind);
  s.SerializeString(textB);
  s.Align(2);
  s.SerializeI16(value1);
  s.Align(2);
  s.SerializeI16(value2);
  if (version >= 4) s.SerializeByte(p1);
  if (version >= 75) {
    s.SerializeByte(p4);
    s.SerializeByte(p5);
  }
  if (version >= 77) s.SerializeByte(p2);
  if (version >= 78) s.SerializeByte(p3);
  if (version >= 82) s.SerializeString(textA);
  if (version >= 107) s.SerializeString(sound);
  if (!frameNames.SerializeTexts(s)) s.SetFailed();
  if (version >= 18) SPaletteHolder::Serialize(s, version);
}

void SFpsItem::LoadFrames(SImageCache& cache) {
  // By name: preloading may run before the frame numbers are resolved.
  for (u32 i = 0; i < frameNames.Count(); ++i)
    if (const char* n = frameNames.Text(i32(i))) cache.LoadImageByName(n);
  AcquirePalettes(cache);
}

void SFpsItem::PlaySound(SSoundTable& sounds) const {
  if (sound) sounds.PlayByName(sound, 10);
}

void SItemTextPicture::Serialize(SStream& s, u32 version) {
  s.SerializeName(name);
  s.SerializeString(text1);
  s.SerializeString(text2);
  s.SerializeString(text3);
  s.Align(4);
  s.SerializeU32(value);
  for (u16& v : values) {
    s.Align(2);
    s.SerializeU16(v);
  }
  for (u16& v : values2) {
    s.Align(2);
    s.SerializeU16(v);
  }
  if (version >= 29) {
    s.Align(2);
    s.SerializeU16(value6);
  }
  s.SerializeByte(bytes[0]);
  s.SerializeByte(bytes[1]);
}

// ---- the table

const u16 SItemTable::kClassFlags[kItemClasses] = {0,   1, 2,   4,    8,    16,   32,   64,   128,
                                                   256, 0, 512, 1024, 2048, 4096, 8192, 16384};
const u8 SItemTable::kClassStock[kItemClasses] = {0, 10, 10, 10, 5, 10, 1, 10, 10, 10, 0, 5, 5, 1, 10, 5, 5};

SItemTable::SItemTable()
    : textPictures(true, 4), types(true, 4), fpsItems(true, 4), pictures(true, 4), rawRecords(true, 4) {}

SItemTable::~SItemTable() { Clear(); }

void SItemTable::InitFlagValues() {
  for (u32 c = 0; c < kItemClasses; ++c) classFlags[c] = kClassFlags[c];
}

bool SItemTable::SerializePictures(SStream& s, u32 version) {
  s.SerializeMarker(22);
  if (!pictures.SerializeNamed(s, [version](SItemPicture& p, SStream& st) { p.Serialize(st, version); })) return false;
  if (s.IsWriting()) {
    u16 none = 0;
    if (version > 41) s.SerializeU16(none);
    return s.Ok();
  }
  return ReadPaletteBlock(s, version, [this](const char* n) -> SPaletteHolder* { return FindPicture(n); });
}

bool SItemTable::SerializeFpsItems(SStream& s, u32 version) {
  s.SerializeMarker('8');
  if (!fpsItems.SerializeNamed(s, [version](SFpsItem& p, SStream& st) { p.Serialize(st, version); })) return false;
  if (s.IsWriting()) {
    u16 none = 0;
    if (version > 41) s.SerializeU16(none);
    return s.Ok();
  }
  return ReadPaletteBlock(s, version, [this](const char* n) -> SPaletteHolder* { return FindFpsItem(n); });
}

bool SItemTable::SerializeTextPictures(SStream& s, u32 version) {
  s.SerializeMarker(18);
  return textPictures.SerializeNamed(s, [version](SItemTextPicture& p, SStream& st) { p.Serialize(st, version); });
}

bool SItemTable::SerializeTypeHeader(SStream& s, u32 version) {
  s.SerializeMarker(20);
  if (version < 48) {
    bool ok = types.SerializeNamed(s, [version](SItemType& t, SStream& st) { t.Serialize(st, version); });
    if (s.IsReading())
      for (SItemType* t : types) t->table = this;
    return ok;
  }
  s.Align(2);
  u16 n = types.Count();
  s.SerializeU16(n);
  return s.Ok();
}

bool SItemTable::Load(SDatabase& db, u16& record, u32 version) {
  // Everything read keeps pointing into its record: each record is kept, also after a fault.
  auto keep = [this](std::unique_ptr<SRecordData>& r) {
    SRecordData* kept = r.release();
    rawRecords.Add(kept);
  };
  for (u32 k = 0; k < 3; ++k) {
    std::unique_ptr<SRecordData> r = db.TakeRecord(record);
    if (!r) return false;
    SStream s(version);
    s.OpenForRead(*r);
    bool ok = k == 0   ? SerializePictures(s, version)
              : k == 1 ? SerializeFpsItems(s, version)
                       : SerializeTextPictures(s, version);
    keep(r);
    if (!ok) return false;
  }
  u16 n = 0;
  {
    std::unique_ptr<SRecordData> r = db.TakeRecord(record);
    if (!r) return false;
    SStream s(version);
    s.OpenForRead(*r);
    if (version < 48) {
      bool ok = SerializeTypeHeader(s, version);
      keep(r);
      return ok;
    }
    s.SerializeMarker(20);
    s.Align(2);
    s.SerializeU16(n);
    if (s.Failed()) return false;
  }
  for (u32 i = 0; i < n; ++i) {
    std::unique_ptr<SRecordData> r = db.TakeRecord(record);
    if (!r) return false;
    SItemType* t = new (std::nothrow) SItemType;
    if (!t) return false;
    SStream s(version);
    s.OpenForRead(*r);
    t->Serialize(s, version);
    t->table = this;
    if (s.Failed() || types.InsertByNameHash(t) <= 0) {
      delete t;
      keep(r);
      return false;
    }
    keep(r);
  }
  return true;
}

void SItemTable::FreeLists() {
  for (u32 l = 0; l < kItemLevels; ++l) {
    delete[] level_[l];
    level_[l] = nullptr;
    levelCount_[l] = 0;
    for (u32 c = 0; c < kItemClasses; ++c) {
      delete[] levelClass_[l][c];
      levelClass_[l][c] = nullptr;
      levelClassCount_[l][c] = 0;
    }
  }
}

void SItemTable::Clear() {
  FreeLists();
  types.DeleteAll();
  textPictures.DeleteAll();
  fpsItems.DeleteAll();
  pictures.DeleteAll();
  rawRecords.DeleteAll();
}

void SItemTable::BuildLists() {
  FreeLists();
  // Counts in 32 bits: a type's copies (5 x frequency) summed over many types may pass a u16.
  u32 levelSum[kItemLevels] = {};
  u32 classSum[kItemLevels][kItemClasses] = {};
  auto copies = [](const SItemType* t) -> u32 { return t->frequency == 1 ? 1u : 5u * t->frequency; };
  for (SItemType* t : types) {
    // Level 0 is never offered; levels and classes past the tables are not offered either.
    if (t->level == 0 || t->level >= kItemLevels || t->itemClass >= kItemClasses) continue;
    ++levelSum[t->level];
    classSum[t->level][t->itemClass] += copies(t);
  }
  for (u32 l = 0; l < kItemLevels; ++l) {
    u32 n = levelSum[l] < kListCap ? levelSum[l] : kListCap;
    if (n) {
      level_[l] = new (std::nothrow) u16[n];
      if (level_[l]) levelCount_[l] = u16(n);
    }
    for (u32 c = 0; c < kItemClasses; ++c) {
      u32 m = classSum[l][c] < kListCap ? classSum[l][c] : kListCap;
      if (!m) continue;
      levelClass_[l][c] = new (std::nothrow) u16[m];
      if (levelClass_[l][c]) levelClassCount_[l][c] = u16(m);
    }
  }
  u32 levelFill[kItemLevels] = {};
  u32 classFill[kItemLevels][kItemClasses] = {};
  for (u32 i = 0; i < types.Count(); ++i) {
    const SItemType* t = types.At(i32(i));
    if (t->level == 0 || t->level >= kItemLevels || t->itemClass >= kItemClasses) continue;
    const u32 l = t->level, c = t->itemClass;
    if (levelFill[l] < levelCount_[l]) level_[l][levelFill[l]++] = u16(i);
    for (u32 k = copies(t); k > 0 && classFill[l][c] < levelClassCount_[l][c]; --k)
      levelClass_[l][c][classFill[l][c]++] = u16(i);
  }
}

void SItemTable::ResolveNames(SImageCache& images, u8* /*imageFlags*/) {
  // Every frame keeps its position: a name the cache lacks becomes image 0, so frame numbers stay valid.
  for (SFpsItem* f : fpsItems) {
    f->frames.Clear();
    for (u32 i = 0; i < f->frameNames.Count(); ++i) f->frames.Add(images.FindImageIndex(f->frameNames.Text(i32(i))));
  }
  for (SItemPicture* p : pictures)
    if (p->pictureKind == 0) {
      u16 image = images.FindImageIndex(p->name.Text());
      if (image) p->image = image;
    }
  for (SItemType* t : types) {
    SItemTextPicture* record = FindTextPicture(t->text2);
    SItemPicture* pic = record ? FindPicture(record->text2) : nullptr;
    if (pic) t->picture = pic->image;
  }
  BuildLists();
}

SItemType* SItemTable::TypeAt(u32 level, u32 itemClass, u32 index) const {
  if (level >= kItemLevels || itemClass >= kItemClasses || index >= levelClassCount_[level][itemClass]) return nullptr;
  return types.At(levelClass_[level][itemClass][index]);
}

SItemType* SItemTable::RandomTypeOfLevel(u32 level, SRandom& random) const {
  if (level == 0 || level >= kItemLevels || !levelCount_[level]) return nullptr;
  return types.At(level_[level][random.Next(levelCount_[level])]);
}

SItemType* SItemTable::RandomTypeOfLevelAndClass(u32 level, u32 itemClass, SRandom& random) const {
  if (level == 0 || level >= kItemLevels || itemClass >= kItemClasses) return nullptr;
  const u32 n = levelClassCount_[level][itemClass];
  if (!n) return nullptr;
  return types.At(levelClass_[level][itemClass][random.Next(i32(n))]);
}

void SItemTable::CreateItemsFromList(const SPtrArray<SItemSpawn>& list, SPtrArray<SItem>& out, SRandom& random) const {
  for (const SItemSpawn* e : list) {
    for (u32 k = 0; k < e->count; ++k) {
      if (random.Next(100) >= e->chance) continue;
      SItemType* type = nullptr;
      if (e->type)
        type = e->type;
      else if (e->index == 0)
        type = RandomTypeOfLevel(e->level, random);
      if (!type) continue;
      SItem* item = type->CreateInstance(e->condition, random);
      if (item && !out.Add(item)) delete item;
    }
  }
}

void SItemTable::LoadItemPictures(SImageCache& cache) {
  for (SItemPicture* p : pictures)
    if (p->pictureKind == 0) {
      cache.LoadImageByName(p->name.Text());
      p->AcquirePalettes(cache);
    }
  for (SFpsItem* f : fpsItems)
    if (f->IsPreloaded()) f->LoadFrames(cache);
}
