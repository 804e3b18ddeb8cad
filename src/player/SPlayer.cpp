#include "player/SPlayer.h"

#include "core/SGameCore.h"
#include "foundation/StrUtil.h"
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
}  // namespace

SPlayer::SPlayer() {
  for (auto& list : knownSpells) list.SetOwns(false);
  static const u8 kKinds[][2] = {{1, 1},   {2, 2},   {5, 3},   {8, 4},   {10, 5},  {11, 6},  {15, 7},  {16, 8},
                                 {17, 9},  {20, 10}, {22, 11}, {33, 12}, {34, 13}, {35, 14}, {36, 15}, {38, 16},
                                 {39, 17}, {42, 18}, {57, 19}, {58, 20}, {28, 21}, {27, 22}, {26, 23}};
  for (const auto& k : kKinds) categoryOfKind[k[0]] = k[1];
}

SPlayer::~SPlayer() {
  if (rules_ && rules_->player == this) rules_->player = nullptr;
}

void SPlayer::Attach(SGameCore* game) { AttachRules(game ? &game->world.rules : nullptr); }

void SPlayer::AttachRules(SWorldRules* rules) {
  rules_ = rules;
  if (rules_) rules_->player = this;
}

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
  if (kind > 58) return;
  if (rules_) {
    if (kind == 26 && effects[23].IsEmpty()) rules_->Hooks().QueueMessage("You're poisoned!", nullptr);
    if (kind == 28 && effects[21].IsEmpty()) rules_->Hooks().QueueMessage("You're paralyzed!", nullptr);
  }
  const u32 category = categoryOfKind[kind];
  const u32 stored = duration ? (duration + 1 > 255 ? 255 : duration + 1) : 0;
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

void SPlayer::CureEffect(u32 kind) {
  if (kind > 58) return;
  SPtrArray<SPlayerEffect>& list = effects[categoryOfKind[kind]];
  for (i32 i = list.Count() - 1; i >= 0; --i) {
    u8 t = list[i]->sourceType;
    if (t == kSourceItem || t == kSourceSpell || t == kSourceCondition) delete list.RemoveAt(i);
  }
}

void SPlayer::RemoveEffectsFromSource(u32 sourceType) {
  for (u32 c = 1; c < kEffectCategories; ++c)
    for (i32 i = effects[c].Count() - 1; i >= 0; --i)
      if (effects[c][i]->sourceType == sourceType) delete effects[c].RemoveAt(i);
}

void SPlayer::ClearEffects() {
  for (u32 c = 1; c < kEffectCategories; ++c) effects[c].DeleteAll();
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

i32 SPlayer::GetAttributeEx(u32 attribute, bool* bonus, i32* baseOut, bool drunkAware) {
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

i32 SPlayer::GetSkill(u32 skill) {
  if (skill < 1 || skill > 20 || skill == BarredSkill(race)) return 0;
  return skills[skill] + SumEffects(1, skill, nullptr, nullptr);
}

bool SPlayer::CanRaiseSkill(u32 skill) const {
  if (skill < 1 || skill > 20 || skill == BarredSkill(race)) return false;
  const u32 attribute = rules_ ? rules_->skills.Attribute(skill) : 0;
  const u32 limit = attribute >= 1 && attribute <= 5 ? 2u * attributes[attribute] : 0;
  return skills[skill] < limit;
}

bool SPlayer::KnowsSpellRecord(const SSpell* spell) const {
  if (!spell || spell->school >= kPlayerSchools) return false;
  return knownSpells[spell->school].IndexOf(spell) >= 0;
}

bool SPlayer::KnowsSpell(const char* key) const { return rules_ && KnowsSpellRecord(rules_->spells.FindByName(key)); }

bool SPlayer::CanLearnSpellRecord(const SSpell* spell) const {
  if (!spell) return false;
  return spell->school != (race == kUndeadRace ? 1 : 5);
}

bool SPlayer::AddKnownSpell(SSpell* spell) {
  // A school outside 1..7 has no list: such a spell cannot be learned.
  if (!spell || spell->school < 1 || spell->school > 7 || KnowsSpellRecord(spell)) return false;
  return knownSpells[spell->school].Add(spell);
}

bool SPlayer::KnowsAnySpell() const {
  for (u32 s = 1; s <= 6; ++s)
    if (!knownSpells[s].IsEmpty()) return true;
  return false;
}
