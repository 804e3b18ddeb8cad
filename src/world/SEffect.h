// Effect entries and effect lists: what spells, items, potions, diseases, abilities and monsters do, with
// their archive and saved forms, enchanting costs and texts; and the code-made effect table (kind names
// and the effects each item kind may carry).
#pragma once
#include "foundation/SPtrArray.h"
#include "foundation/SStream.h"
#include "foundation/SString.h"
#include "os/Types.h"

class SWorldRules;

inline constexpr u32 kEffectKinds = 58;  // kinds 1..58
inline constexpr u32 kItemKinds = 17;    // item kinds (contexts) 0..16
inline constexpr u32 kItemKindAbility = 8;
inline constexpr u32 kItemKindDisease = 9;
inline constexpr u32 kItemKindSpell = 5;
inline constexpr u32 kItemKindPotion = 6;
inline constexpr u32 kItemKindIngredient = 7;

struct SEffect {
  char* name = nullptr;  // owned copy
  i16 base = 0;
  i16 perLevel = 0;
  i16 duration = 0;
  i16 durationPerLevel = 0;
  u8 radius = 0;
  u8 sub = 0;
  u8 mode = 0;
  u8 kind = 0;

  SEffect() = default;
  // A new entry for an item kind: that kind's default mode, kind 1 (3 for potions), the rest zero.
  explicit SEffect(u32 itemKind);
  SEffect(const SEffect&) = delete;
  SEffect& operator=(const SEffect&) = delete;
  ~SEffect() { delete[] name; }

  void Clear();
  SEffect* Copy() const;  // null when out of memory
  void SetName(const char* text);
  bool Equals(const SEffect& other) const;
  bool Matches(u32 kind, u32 sub, const char* name) const;
  bool IsHarmful() const { return IsHarmfulKind(kind); }
  static bool IsHarmfulKind(u32 kind);
  i32 MagnitudeAt(i32 level) const { return base + perLevel * level / 100; }
  i32 DurationAt(i32 level) const { return duration + durationPerLevel * level / 100; }
  // The percentage of the offset form (base - 100, or base + 100 below -100).
  i32 Percent() const { return base >= -100 ? base - 100 : base + 100; }

  void GetEnchantCost(SWorldRules& rules, u32 itemKind, i32& storage, i32& price) const;
  // The entry's text for a context (item kind) at a caster level; empty where the kind has none.
  void Describe(SWorldRules& rules, u32 context, i32 level, SString& text, bool shortForm, bool shortest) const;

  // The archive form: tag 5, name, four 16-bit values, sub, mode, kind, and from version 25 the radius.
  void Serialize(SStream& s, u32 version) {
    s.SerializeMarker(5);
    SerializeFields(s, version >= 25);
  }
  // The saved form: no tag, every field.
  void SerializeSaved(SStream& s) { SerializeFields(s, true); }

 private:
  void SerializeFields(SStream& s, bool withRadius) {
    s.SerializeStringAlloc(name);
    s.SerializeI16(base);
    s.SerializeI16(perLevel);
    s.SerializeI16(duration);
    s.SerializeI16(durationPerLevel);
    s.SerializeByte(sub);
    s.SerializeByte(mode);
    s.SerializeByte(kind);
    if (withRadius) s.SerializeByte(radius);
  }
};

// Entries are kept in order, never looked up by name.
template <>
struct SNameOf<SEffect> {
  static const SName& Get(const SEffect&) {
    static const SName none;
    return none;
  }
};

class SEffectList {
 public:
  SEffectList() : entries(true, 4) {}
  SEffectList(const SEffectList&) = delete;
  SEffectList& operator=(const SEffectList&) = delete;

  u16 Count() const { return entries.Count(); }
  SEffect* Entry(i32 i) const { return entries.At(i); }
  bool Add(SEffect* e) { return entries.Add(e); }
  bool InsertAt(SEffect* e, i32 i) { return entries.InsertAt(e, i); }
  // Takes the entry out and deletes it.
  void Remove(SEffect* e);
  void Clear() { entries.DeleteAll(); }
  // Empties the list, then copies `worth` and a deep copy of every entry; false when out of memory.
  bool Assign(const SEffectList& other);
  SEffectList* Clone() const;
  bool Equals(const SEffectList* other) const;

  bool HasPermanentAttribute() const;
  bool HasUndeadSpell(SWorldRules& rules) const;
  bool HasHealSpell(SWorldRules& rules) const;
  // Every entry of mode 3 becomes an active effect of the player from `source`.
  void ApplyToPlayer(SWorldRules& rules, u32 sourceType, const void* source) const;
  void GetEnchantCost(SWorldRules& rules, u32 itemKind, i32& storage, i32& price) const;
  i32 ChargeValue(SWorldRules& rules, i32 charges) const;
  void Describe(SWorldRules& rules, u32 context, i32 level, SString& text, bool comma) const;

  // Archive form: align 2, u16 count, tag-5 entries. False when the data is short or bad.
  bool Serialize(SStream& s, u32 version) {
    return entries.SerializeList(s, [version](SEffect& e, SStream& st) { e.Serialize(st, version); });
  }
  // An item's enchantment in the archive: tag 6, align 4, worth; below version 84 a dropped u16; the list.
  bool SerializeEnchantment(SStream& s, u32 version);
  // Saved form: align 4, worth; align 2, u16 count, the entries without tags.
  bool SerializeSaved(SStream& s);

  SPtrArray<SEffect> entries;
  u32 worth = 0;
};

class SEffectTable {
 public:
  static constexpr u32 kMaxAllowed = 49;

  SEffectTable() { Fill(); }
  void Fill();
  const char* KindName(u32 kind) const { return kind <= kEffectKinds ? names[kind] : nullptr; }
  // The allowed kinds of an item kind, zero-terminated, and the mode each takes there.
  const u8* Allowed(u32 itemKind) const { return itemKind < kItemKinds ? allowed[itemKind] : allowed[0]; }
  u8 AllowedMode(u32 itemKind, u32 kind) const;
  static u8 DefaultMode(u32 itemKind);

  const char* names[kEffectKinds + 1] = {};
  u8 allowed[kItemKinds][kMaxAllowed + 1] = {};
  u8 modes[kItemKinds][kMaxAllowed + 1] = {};
};
