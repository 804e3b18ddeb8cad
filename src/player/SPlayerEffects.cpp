// The player's active effects in their category lists, and every value derived from the record and the
// sums of those lists: attributes, skills, maxima, capacity, resistances and armour class.
#include "core/SGameCore.h"
#include "foundation/StrUtil.h"
#include "player/SPlayer.h"
#include "world/SItemTable.h"
#include "world/SWorldRules.h"

namespace {
bool TextsEqual(const char* a, const char* b) {
  if (!a || !b) return a == b;
  return StrCompare(a, b) == 0;
}
// Categories whose strengths above 100 or below -100 are percentages stored with an offset of 100.
bool IsOffsetCategory(u32 c) {
  return c == 7 || c == 8 || c == 9 || c == 11 || c == 12 || c == 13 || c == 14 || c == 15 || c == 16;
}
i32 Clamp32(i64 v) { return v > 0x7FFFFFFF ? 0x7FFFFFFF : v < -0x7FFFFFFF - 1 ? -0x7FFFFFFF - 1 : i32(v); }
i32 AtMost100(i32 v) { return v < 100 ? v : 100; }
}  // namespace

const char* SPlayer::CategoryName(u32 category) {
  static const char* const kNames[kEffectCategories] = {"",
                                                        "Fortify skill",
                                                        "Fortify attribute",
                                                        "Fortify hp",
                                                        "Fortify unholy",
                                                        "Fortify mana",
                                                        "Fortify ac",
                                                        "Resist poison",
                                                        "Resist paralysis",
                                                        "Resist disease",
                                                        "Feather",
                                                        "Resist magic",
                                                        "Resist diseases",
                                                        "Resist spell",
                                                        "Fortify spell",
                                                        "Fortify magic",
                                                        "Fortify melee",
                                                        "Magic immunity",
                                                        "Detect secrets",
                                                        "Alcoholic",
                                                        "Fortify outfit",
                                                        "Paralysis",
                                                        "Curse",
                                                        "Poison"};
  return category < kEffectCategories ? kNames[category] : nullptr;
}

i32 SPlayer::SumEffects(u32 category, u32 sub, const char* filter, bool* present) {
  if (present) *present = false;
  if (category == 0 || category >= kEffectCategories) return 0;
  i32 sum = 0;
  for (const SPlayerEffect* e : effects[category]) {
    switch (category) {
      case 1:
      case 2:
        if (e->sub != sub) continue;
        sum += e->strength;
        break;
      case 9:
      case 13:
      case 14:
        if (!e->text || !filter || StrCompare(e->text, filter) != 0) continue;
        [[fallthrough]];
      case 7:
      case 8:
      case 11:
      case 12:
      case 15:
      case 16: {
        i32 s = e->strength;
        if (IsOffsetCategory(category)) s = s > 100 ? s - 100 : s < -100 ? s + 100 : s;
        sum += s;
        break;
      }
      case 17:
      case 18:
      case 21:
      case 22:
        if (present) *present = true;
        return 1;
      case 23: sum += e->strength; continue;  // poison never sets the flag
      default: sum += e->strength; break;
    }
    if (present) *present = true;
  }
  return sum;
}

SPlayerEffect* SPlayer::FindEffect(u32 category, const void* source, u32 sub, const char* filter) {
  if (category >= kEffectCategories) return nullptr;
  for (SPlayerEffect* e : effects[category])
    if (e->source == source && e->sub == sub && TextsEqual(e->text, filter)) return e;
  return nullptr;
}

void SPlayer::AddEffect(u32 sourceType, const void* source, i32 strength, u32 duration, u32 kind, u32 sub,
                        const char* filter) {
  // Kinds come from the world's data: one outside the table, or without a category, acts nowhere and is
  // not kept.
  const u32 category = EffectCategory(kind);
  if (category == 0) return;
  if (kind == 26 && effects[kCategoryPoison].IsEmpty()) Queue("You're poisoned!", nullptr);
  if (kind == 28 && effects[kCategoryParalysis].IsEmpty()) Queue("You're paralyzed!", nullptr);
  // The stored duration is one higher; a long one stays the longest limited one rather than wrapping.
  const u32 stored = duration ? (duration >= 255 ? 255 : duration + 1) : 0;
  const i16 s = i16(strength > 32767 ? 32767 : strength < -32768 ? -32768 : strength);
  if (sourceType != kSourceEquipment) {
    if (SPlayerEffect* e = FindEffect(category, source, sub, filter)) {
      if (s > e->strength || (s == e->strength && stored > e->duration)) {
        e->strength = s;
        e->duration = u8(stored);
      }
      return;
    }
  }
  SPlayerEffect* e = new (std::nothrow) SPlayerEffect;
  if (!e) return;
  e->text = filter ? StrDup(filter) : nullptr;
  e->source = source;
  e->strength = s;
  e->duration = u8(stored);
  e->category = u8(category);
  e->sourceType = u8(sourceType);
  e->sub = u8(sub);
  if (!effects[category].Add(e)) delete e;
}

u32 SPlayer::CureEffect(u32 kind) {
  const u32 category = EffectCategory(kind);
  if (category == 0) return 0;
  SPtrArray<SPlayerEffect>& list = effects[category];
  u32 cured = 0;
  for (i32 i = list.Count() - 1; i >= 0; --i) {
    u8 t = list[i]->sourceType;
    if (t == kSourceItem || t == kSourceSpell || t == kSourceCondition) {
      delete list.RemoveAt(i);
      ++cured;
    }
  }
  return cured;
}

void SPlayer::RemoveEffectsFromSource(u32 sourceType) {
  for (u32 c = 1; c < kEffectCategories; ++c)
    for (i32 i = effects[c].Count() - 1; i >= 0; --i)
      if (effects[c][i]->sourceType == sourceType) delete effects[c].RemoveAt(i);
}

void SPlayer::ClearEffects() {
  for (u32 c = 1; c < kEffectCategories; ++c) effects[c].DeleteAll();
}

void SPlayer::RecalculateEquipment() {
  RemoveEffectsFromSource(kSourceEquipment);
  if (!rules_) return;
  for (u32 slot = 1; slot <= kEquipmentSlots; ++slot) {
    const SItem* item = Equipped(slot);
    if (slot == 12 || !item) continue;  // ammunition carries no effects
    if (const SEffectList* list = item->Enchantment()) list->ApplyToPlayer(*rules_, kSourceEquipment, item);
  }
}

void SPlayer::RecalculateAbilities() {
  RemoveEffectsFromSource(kSourceAbility);
  if (!rules_) return;
  for (SAbility* a : abilities) a->GrantToPlayer(*rules_);
}

void SPlayer::RecalculateDiseases() {
  RemoveEffectsFromSource(kSourceDisease);
  if (!rules_) return;
  for (SDisease* d : diseases) d->ApplyToPlayer(*rules_);
}

i32 SPlayer::GetDrunkenness() const {
  i32 d = 0;
  for (const SPlayerEffect* e : effects[19]) d += e->strength - 100;
  return d;
}

bool SPlayer::IsHeavilyDrunk() {
  i32 a3 = i32(attributes[3]) + SumEffects(2, 3, nullptr, nullptr);
  return GetDrunkenness() > 2 * (a3 > 1 ? a3 : 1);
}

void SPlayer::MakeDrunk(i32 amount, const void* source) {
  const i32 before = GetDrunkenness();
  const i32 a3 = GetAttributeEffective(3);
  const i64 base = i64(amount / 5) * 60;
  i64 duration = base - base * a3 / 100;
  if (duration > 240) duration = 240;
  // A hardy drinker's drink still wears off: never the unlimited 0.
  if (duration < 1) duration = 1;
  auto* e = new (std::nothrow) SPlayerEffect;
  if (!e) return;
  e->source = source;
  e->strength = i16(amount > 32767 ? 32767 : amount < -32768 ? -32768 : amount);
  e->duration = u8(duration);
  e->category = 19;
  e->sourceType = kSourceItem;
  if (!effects[19].Add(e)) {
    delete e;
    return;
  }
  const i32 after = GetDrunkenness();
  if (after > 2 * a3 && before <= 2 * a3) Queue("You're drunk!", "bsnd_ambientman4");
}

i32 SPlayer::GetAttribute(u32 attribute, bool* bonus, i32* baseOut, bool drunkAware) {
  if (bonus) *bonus = false;
  if (attribute < 1 || attribute > 5) return 0;
  const i32 base = attributes[attribute];
  if (baseOut) *baseOut = base;
  bool present = false;
  i32 value = base + SumEffects(2, attribute, nullptr, &present);
  if (bonus) *bonus = present;
  if (drunkAware) {
    if (bonus) *bonus = true;
    const i32 d = GetDrunkenness();
    if (d != 0) {
      const bool strong = attribute == 1 || attribute == 3;
      if (IsHeavilyDrunk())
        value += strong ? d / 8 + 1 : -(d / 5) - 1;
      else
        value += strong ? d / 10 + 1 : -(d / 10) - 1;
    }
  }
  return value > 1 ? value : 1;
}

i32 SPlayer::GetAttributeByKey(const char* key) {
  return rules_ ? GetAttributeEffective(rules_->attributes.FindByKey(key)) : 0;
}

i32 SPlayer::GetSkill(u32 skill) { return GetSkillParts(skill, nullptr, nullptr); }

i32 SPlayer::GetSkillParts(u32 skill, bool* bonus, i32* baseOut) {
  if (bonus) *bonus = false;
  if (baseOut) *baseOut = 0;
  if (skill < 1 || skill > kPlayerSkills || skill == BarredSkill(race)) return 0;
  if (baseOut) *baseOut = skills[skill];
  return skills[skill] + SumEffects(1, skill, nullptr, bonus);
}

i32 SPlayer::GetSkillByName(const char* key) {
  const u32 skill = rules_ && key ? rules_->skills.FindByName(key) : 0;
  return skill ? GetSkill(skill) : 0;
}

const char* SPlayer::GetBestSkillOf(const char* list) {
  const char* best = "";
  if (!rules_ || !list) return best;
  i32 bestValue = 0;
  bool found = false;
  SString key;
  for (const char* p = list;;) {
    const char* end = p;
    while (*end && *end != ',') ++end;
    key.Assign("");
    key.AppendN(p, u32(end - p));
    key.Trim();
    if (const u32 skill = rules_->skills.FindByName(key.CStr())) {
      const i32 value = GetSkill(skill);
      const char* id = rules_->skills.Row(skill)->id.Text();
      if (!found || value > bestValue) {
        best = id ? id : "";
        bestValue = value;
        found = true;
      }
    }
    if (!*end) break;
    p = end + 1;
  }
  return best;
}

bool SPlayer::CanRaiseSkill(u32 skill) const {
  if (skill < 1 || skill > kPlayerSkills || skill == BarredSkill(race)) return false;
  const u32 attribute = rules_ ? rules_->skills.Attribute(skill) : 0;
  const u32 limit = attribute >= 1 && attribute <= 5 ? 2u * attributes[attribute] : 0;
  return skills[skill] < limit;
}

i32 SPlayer::GetMaxHpForDisplay(bool* bonus) {
  bool present = false;
  const i32 fortify = SumEffects(race == kUndeadRace ? 4 : 3, 0, nullptr, &present);
  if (bonus) *bonus = present || GetDrunkenness() != 0;
  return Clamp32(4 * i64(GetAttributeEffective(3)) + fortify);
}

i32 SPlayer::GetMaxManaForDisplay(bool* bonus) {
  bool present = false;
  const i32 fortify = SumEffects(5, 0, nullptr, &present);
  if (bonus) *bonus = present || GetDrunkenness() != 0;
  return Clamp32(5 * i64(GetAttributeEffective(4)) + fortify);
}

i32 SPlayer::GetMaxHp() { return GetMaxHpForDisplay(nullptr); }
i32 SPlayer::GetMaxMana() { return GetMaxManaForDisplay(nullptr); }

i32 SPlayer::Percent(i32 value, i32 maximum) {
  // A cursed maximum can be 0 or below: the gauges then read empty rather than negative.
  if (maximum <= 0 || value <= 0) return 0;
  const i64 p = i64(value) * 100 / maximum;
  return p > 100 ? 100 : i32(p);
}

i32 SPlayer::GetHealthPercent() { return Percent(hp, GetMaxHp()); }
i32 SPlayer::GetManaPercent() { return Percent(mana, GetMaxMana()); }

i32 SPlayer::GetCarryCapacity() {
  const i64 a1 = GetAttributeEffective(1), a2 = GetAttributeEffective(2), a3 = GetAttributeEffective(3);
  return Clamp32((5 * a1 + 2 * (a2 + 2 * a3) + SumEffects(10, 0, nullptr, nullptr)) * 100);
}

// The attribute share of a resistance plus the category's sum; the bonus flag comes with an entry of the
// category or with drink.
i32 SPlayer::ResistancePart(i32 value, i32 category, const char* filter, bool* bonus) {
  bool present = false;
  const i32 sum = SumEffects(u32(category), 0, filter, &present);
  if (bonus) *bonus = present || GetDrunkenness() != 0;
  return Clamp32(i64(value) + sum);
}

i32 SPlayer::GetDiseaseResistance(bool* bonus, i32* part) {
  const i32 share = GetAttributeEffective(3) / 2;
  if (part) *part = share;
  return AtMost100(ResistancePart(share, 12, nullptr, bonus));
}

i32 SPlayer::GetNamedDiseaseResistance(const char* filter, bool* bonus, i32* part) {
  bool general = false;
  const i32 all = GetDiseaseResistance(&general, part);
  const i32 named = ResistancePart(GetAttributeEffective(3) / 2, 9, filter, bonus);
  if (bonus) *bonus = *bonus || general;
  return named > all ? named : all;
}

i32 SPlayer::GetParalysisResistance(bool* bonus, i32* part) {
  const i32 share = GetAttributeEffective(4) / 5 + GetAttributeEffective(3) / 5 + GetAttributeEffective(5) / 5;
  if (part) *part = share;
  return AtMost100(ResistancePart(share, 8, nullptr, bonus));
}

i32 SPlayer::GetPoisonResistance(bool* bonus, i32* part) {
  const i32 share = GetAttributeEffective(3) / 2;
  if (part) *part = share;
  return AtMost100(ResistancePart(share, 7, nullptr, bonus));
}

i32 SPlayer::GetMagicResistance(bool* bonus, i32* part) {
  const i32 share = GetAttributeEffective(4) / 2;
  if (part) *part = share;
  return AtMost100(ResistancePart(share, 11, nullptr, bonus));
}

i32 SPlayer::GetArmorClass(bool* bonus, i32 shieldMultiplier) {
  i64 p2 = 0, p3 = 0;
  for (u32 slot = 1; slot <= kEquipmentSlots; ++slot) {
    const SItem* item = Equipped(slot);
    if (slot == 12 || !item || !item->type) continue;
    const SItemType& t = *item->type;
    if (t.itemClass != kItemHeavyArmor && t.itemClass != kItemLightArmor) continue;
    const i64 rating = i64(t.GetScaledRating(item->count)) * (t.subtype == 1 ? shieldMultiplier : 1);
    (t.itemClass == kItemHeavyArmor ? p2 : p3) += rating;
  }
  // Below 33 the armour skill counts a share of the rating, from 33 on it adds to it.
  auto part = [this](i64 p, u32 skill) -> i64 {
    if (p <= 0) return 0;
    const i64 s = i64(skills[skill]) + SumEffects(1, skill, nullptr, nullptr);
    return s < 33 ? s * p / 33 : p + (s - 33) * p / 66;
  };
  bool present = false;
  const i32 fortify = SumEffects(6, 0, nullptr, &present);
  if (bonus) *bonus = present || GetDrunkenness() != 0;
  return Clamp32(part(p2, 6) + part(p3, 5) + GetAttributeEffective(2) / 10 + fortify);
}

i32 SPlayer::GetArmorClassWhenHit(bool blow) {
  const SItem* shield = Equipped(6);
  i32 m = 1;
  if (blow && shield && shield->type &&
      (shield->type->itemClass == kItemHeavyArmor || shield->type->itemClass == kItemLightArmor)) {
    const i32 s = skills[1] + SumEffects(1, 1, nullptr, nullptr);
    if (s <= 30) {
      if (Roll(100) < s) m = 2;
    } else if (Roll(100) < s / 2) {
      m = 3;
    } else if (Roll(100) < 2 * s / 3) {
      m = 2;
    }
    if (m > 1) PracticeSkill(1);
  }
  return GetArmorClass(nullptr, m);
}
