// The player's record in a saved game (record 3003): one layout for every version, written at the
// version asked for (the game writes 116) and read at the file's. Item types and spells travel as indexes
// of the save manager's tables, quests, abilities and diseases as their keys. A damaged record is
// refused, never clamped; only an equipment slot that names no item read, or one that cannot hold the
// item, is left empty.
#include "foundation/SStream.h"
#include "foundation/StrUtil.h"
#include "player/SPlayer.h"
#include "player/SSaveGame.h"
#include "world/SItemTable.h"
#include "world/SPeopleTables.h"
#include "world/SSpell.h"
#include "world/SWorldExtras.h"
#include "world/SWorldRules.h"

#include <new>

namespace {

// Attributes, skills and their counters are one byte each before this version.
constexpr u32 kWideVersion = 116;
// Versions before this one carry an unused number after hp and after mana.
constexpr u32 kOldPoolsBefore = 87;
// The permanent-potion flag is stored after this version.
constexpr u32 kPotionFlagAfter = 114;
// Marked positions are stored from this version on.
constexpr u32 kMarkedPositionsFrom = 90;
constexpr u16 kNoPosition = 0xFFFF;
constexpr u32 kSchools = 7;

// A counter of one or two bytes by version.
void Counter(SStream& s, u16& v, bool wide) {
  if (wide) {
    s.SerializeU16(v);
    return;
  }
  u8 b = u8(v);
  s.SerializeByte(b);
  if (s.IsReading()) v = b;
}

// Whether a count of entries of at least `least` bytes each can stand in what is left of the record.
bool Fits(const SStream& s, u32 count, u32 least) { return s.Ok() && u64(count) * least <= s.Remaining(); }

// Whether the slot holds an item of the type, as equipping it would put it there.
bool FitsSlot(const SItemType* t, u32 slot) {
  if (!t) return false;
  switch (t->itemClass) {
    case kItemWeapon: return t->subtype == 11 || t->subtype == 13 ? slot == 12 : slot == 5 || slot == 6;
    case kItemAccessory: return t->subtype == 2 ? slot == 8 || slot == 9 : slot == 3;
    case kItemHeavyArmor:
    case kItemLightArmor: {
      static const u8 kArmourSlot[9] = {0, 6, 10, 4, 1, 13, 11, 2, 7};  // by subtype 1..8
      return t->subtype >= 1 && t->subtype <= 8 && kArmourSlot[t->subtype] == slot;
    }
    default: return false;
  }
}

// Pad 2, a u16 count, then each record's key text.
template <class List>
void WriteKeys(SStream& s, const List& list) {
  u16 count = list.Count();
  s.SerializeU16(count);
  for (const auto* record : list) {
    const char* key = record->name.Text();
    s.SerializeString(key);
  }
}

// Pad 2, a u16 count, then count key texts: the records the table has are appended (once each), the
// others dropped. False when the count cannot fit the record or the stream fails.
template <class List, class Table>
bool ReadKeys(SStream& s, List& list, const Table* table) {
  u16 n = 0;
  s.SerializeU16(n);
  if (!Fits(s, n, 1)) return false;
  for (u16 i = 0; i < n; ++i) {
    const char* key = nullptr;
    s.SerializeString(key);
    auto* record = table && key ? table->FindByName(key) : nullptr;
    if (record && list.IndexOf(record) < 0) list.Add(record);
  }
  return s.Ok();
}

}  // namespace

// ---- the fields both directions share

void SMarkedPosition::Serialize(SStream& s) {
  s.SerializeSString(worldName);
  s.SerializeSString(worldTitle);
  s.SerializeSString(mapName);
  s.SerializeSString(mapTitle);
  s.SerializeByte(column);
  s.SerializeByte(row);
  s.SerializeByte(facing);
}

bool SPlayer::TransferFields(SStream& s, u32 version) {
  const bool wide = version >= kWideVersion;
  s.SerializeMarker('2');
  s.SerializeMarker('Y');
  s.SerializeSString(name);
  s.SerializeSString(portrait);
  s.SerializeByte(sex);
  s.SerializeU16(hp);
  u16 unused = 0;
  if (version < kOldPoolsBefore) s.SerializeU16(unused);
  s.SerializeU16(mana);
  if (version < kOldPoolsBefore) s.SerializeU16(unused);
  s.SerializeByte(level);
  s.SerializeU32(xp);
  s.SerializeU32(peakXp);
  s.SerializeU32(restorableXp);
  s.SerializeU32(nextLevelXp);
  s.SerializeU32(money);
  s.SerializeI16(fame);
  s.SerializeU32(crime);
  s.SerializeU32(race);
  if (version > kPotionFlagAfter) s.SerializeByte(permanentPotionTaken);
  s.SerializeMarker('Z');
  for (u32 a = 1; a <= 5; ++a) Counter(s, attributes[a], wide);
  Counter(s, attributePoints, wide);
  for (u16& allowance : attributeAllowance) Counter(s, allowance, wide);
  s.SerializeMarker('[');
  s.SerializeBytes(majorSkills, sizeof majorSkills);
  s.SerializeBytes(minorSkills, sizeof minorSkills);
  Counter(s, skillPoints, wide);
  for (u32 k = 1; k <= kPlayerSkills; ++k) Counter(s, skillAllowance[k], wide);
  for (u32 k = 1; k <= kPlayerSkills; ++k) Counter(s, skills[k], wide);
  for (u32 k = 1; k <= kPlayerSkills; ++k) s.SerializeU16(practice[k]);
  s.SerializeMarker('\\');
  return s.Ok();
}

// ---- writing

void SPlayer::SerializeEffect(SStream& s, SPlayerEffect& e, SSaveGame& saves) {
  s.SerializeByte(e.sourceType);
  s.SerializeByte(e.category);
  u16 index = 0;
  if (e.sourceType == kSourceItem) index = saves.InternItemType(static_cast<const SItemType*>(e.source));
  if (e.sourceType == kSourceSpell) index = saves.InternSpell(static_cast<const SSpell*>(e.source));
  s.SerializeU16(index);
  const char* text = e.text;
  s.SerializeString(text);
  s.SerializeI16(e.strength);
  s.SerializeByte(e.duration);
  s.SerializeByte(e.sub);
}

bool SPlayer::Write(SStream& s, u32 version, SSaveGame& saves) {
  if (!s.IsWriting() || !TransferFields(s, version)) return false;
  for (u32 school = 1; school <= kSchools; ++school) {
    u16 n = knownSpells[school].Count();
    s.SerializeU16(n);
    for (SSpell* spell : knownSpells[school]) {
      u16 index = saves.InternSpell(spell);
      s.SerializeU16(index);
    }
  }
  s.SerializeMarker(']');
  u16 n = quests.Count();
  s.SerializeU16(n);
  for (SQuestState* q : quests) {
    const char* key = q->name.Text();
    s.SerializeString(key);
    s.SerializeByte(q->state);
  }
  s.SerializeMarker('^');
  for (u32 slot = 1; slot <= kEquipmentSlots; ++slot) {
    const i32 at = Equipped(slot) ? inventory.items.IndexOf(Equipped(slot)) : -1;
    u16 position = at >= 0 ? u16(at) : kNoPosition;
    s.SerializeU16(position);
  }
  s.SerializeMarker('_');
  inventory.WriteState(s, saves);
  s.SerializeMarker('`');
  WriteKeys(s, abilities);
  s.SerializeMarker('a');
  WriteKeys(s, diseases);
  s.SerializeMarker('b');
  n = itemsRead.Count();
  s.SerializeU16(n);
  for (u16 i = 0; i < n; ++i) {
    u16 index = saves.InternItemName(itemsRead.Text(i));
    s.SerializeU16(index);
  }
  if (version >= kMarkedPositionsFrom) {
    s.SerializeMarker('f');
    n = markedPositions.Count();
    s.SerializeU16(n);
    for (SMarkedPosition* p : markedPositions) p->Serialize(s);
  }
  // The saved effects by source: used items, spells, conditions. Equipment, disease and ability effects
  // are derived again when the game is loaded.
  static const struct {
    u8 marker, source;
  } kSections[3] = {{'c', kSourceItem}, {'d', kSourceSpell}, {'e', kSourceCondition}};
  for (const auto& section : kSections) {
    s.SerializeMarker(section.marker);
    u16 count = 0;
    for (u32 c = 1; c < kEffectCategories; ++c)
      for (const SPlayerEffect* e : effects[c])
        if (e->sourceType == section.source) ++count;
    s.SerializeU16(count);
    for (u32 c = 1; c < kEffectCategories; ++c)
      for (SPlayerEffect* e : effects[c])
        if (e->sourceType == section.source) SerializeEffect(s, *e, saves);
  }
  return s.Ok();
}

// ---- reading

bool SPlayer::ReadEffect(SStream& s, SSaveGame& saves, SPlayerEffect** out) {
  *out = nullptr;
  u8 sourceType = 0, category = 0, duration = 0, sub = 0;
  u16 index = 0;
  i16 strength = 0;
  const char* text = nullptr;
  s.SerializeByte(sourceType);
  s.SerializeByte(category);
  s.SerializeU16(index);
  s.SerializeString(text);
  s.SerializeI16(strength);
  s.SerializeByte(duration);
  s.SerializeByte(sub);
  if (s.Failed() || category < 1 || category >= kEffectCategories ||
      (sourceType != kSourceItem && sourceType != kSourceSpell && sourceType != kSourceCondition))
    return false;
  const void* source = nullptr;
  if (sourceType == kSourceItem) source = saves.ItemTypeAt(index);
  if (sourceType == kSourceSpell) source = saves.SpellAt(index);
  // An item type or spell the world no longer has takes its effect with it.
  if (sourceType != kSourceCondition && !source) return true;
  auto* e = new (std::nothrow) SPlayerEffect;
  if (!e) return true;
  e->text = text ? StrDup(text) : nullptr;
  e->source = source;
  e->strength = strength;
  e->duration = duration;
  e->category = category;
  e->sourceType = sourceType;
  e->sub = sub;
  *out = e;
  return true;
}

void SPlayer::ClearLists() {
  ClearKnownSpells();
  knownSpells[0].Clear();
  knownSpells[7].Clear();
  quests.DeleteAll();
  for (SItem*& slot : equipment) slot = nullptr;
  inventory.DeleteAllItems();
  abilities.Clear();  // the records belong to the world
  diseases.Clear();
  itemsRead.Clear();
  markedPositions.DeleteAll();
  ClearEffects();
}

bool SPlayer::Read(SStream& s, u32 version, SSaveGame& saves) {
  if (!s.IsReading()) return false;
  // A loaded game never merges with the one before it.
  ClearLists();
  if (!TransferFields(s, version)) return false;
  if (race > 5 || level < 1 || level > kMaxLevel) return false;
  for (u8 id : majorSkills)
    if (id > kPlayerSkills) return false;
  for (u8 id : minorSkills)
    if (id > kPlayerSkills) return false;

  for (u32 school = 1; school <= kSchools; ++school) {
    u16 n = 0;
    s.SerializeU16(n);
    if (!Fits(s, n, 2)) return false;
    for (u16 i = 0; i < n; ++i) {
      u16 index = 0;
      s.SerializeU16(index);
      SSpell* spell = saves.SpellAt(index);
      if (spell && knownSpells[school].IndexOf(spell) < 0) knownSpells[school].Add(spell);
    }
  }
  s.SerializeMarker(']');
  u16 n = 0;
  s.SerializeU16(n);
  if (!Fits(s, n, 2)) return false;
  for (u16 i = 0; i < n; ++i) {
    const char* key = nullptr;
    u8 state = 0;
    s.SerializeString(key);
    s.SerializeByte(state);
    // A quest the world no longer has is dropped.
    if (s.Failed() || !key || !rules_ || !rules_->quests.FindByName(key) || FindQuest(key)) continue;
    auto* q = new (std::nothrow) SQuestState;
    if (!q) continue;
    q->name.Set(key);
    q->state = state;
    if (!quests.Add(q)) delete q;
  }
  s.SerializeMarker('^');
  i32 positions[kEquipmentSlots];
  for (i32& position : positions) {
    u16 p = kNoPosition;
    s.SerializeU16(p);
    position = p == kNoPosition ? -1 : p;
  }
  s.SerializeMarker('_');
  SItem* read[kEquipmentSlots] = {};
  if (s.Failed() || !inventory.ReadState(s, saves, positions, read)) return false;
  for (u32 slot = 1; slot <= kEquipmentSlots; ++slot)
    equipment[slot - 1] = read[slot - 1] && FitsSlot(read[slot - 1]->type, slot) ? read[slot - 1] : nullptr;

  s.SerializeMarker('`');
  if (!ReadKeys(s, abilities, rules_ ? &rules_->abilities : nullptr)) return false;
  s.SerializeMarker('a');
  if (!ReadKeys(s, diseases, rules_ ? &rules_->diseases : nullptr)) return false;
  s.SerializeMarker('b');
  s.SerializeU16(n);
  if (!Fits(s, n, 2)) return false;
  for (u16 i = 0; i < n; ++i) {
    u16 index = 0;
    s.SerializeU16(index);
    const SItemType* type = saves.ItemTypeAt(index);
    if (type) AddReadItemName(type->name.Text());
  }
  if (version >= kMarkedPositionsFrom) {
    s.SerializeMarker('f');
    s.SerializeU16(n);
    if (!Fits(s, n, 7)) return false;
    for (u16 i = 0; i < n && s.Ok(); ++i) {
      auto* p = new (std::nothrow) SMarkedPosition;
      if (!p) return false;
      p->Serialize(s);
      if (!markedPositions.Add(p)) delete p;
    }
  }
  for (u8 marker : {u8('c'), u8('d'), u8('e')}) {
    s.SerializeMarker(marker);
    s.SerializeU16(n);
    if (!Fits(s, n, 9)) return false;
    for (u16 i = 0; i < n; ++i) {
      SPlayerEffect* e = nullptr;
      if (!ReadEffect(s, saves, &e)) return false;
      if (e && !effects[e->category].Add(e)) delete e;
    }
  }
  if (s.Failed()) return false;

  // What equipment, abilities and diseases give is derived again.
  RecalculateEquipment();
  RecalculateAbilities();
  RecalculateDiseases();
  if (hp == 0) hp = 1;
  return true;
}
