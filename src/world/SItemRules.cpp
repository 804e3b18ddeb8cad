// The rules and texts of single items: condition, scaled ratings, value, damage, names and descriptions.
#include "world/SEffect.h"
#include "world/SItemTable.h"
#include "world/SWorldRules.h"

namespace {
// Skill numbers the item rules name.
constexpr u32 kSkillLightWeapon = 2;
constexpr u32 kSkillHeavyWeapon = 3;
constexpr u32 kSkillDualWield = 4;
constexpr u32 kSkillLightArmor = 5;
constexpr u32 kSkillHeavyArmor = 6;
constexpr u32 kSkillAccuracy = 7;
constexpr u32 kAttributeStrength = 1;
constexpr u32 kAttributeDexterity = 2;
constexpr u32 kCategoryHalvedSpread = 22;

bool CompactLayout(i32 mode) {
  return mode == 2 || mode == 5 || mode == 6 || mode == 7 || mode == 8 || mode == 12 || mode == 13;
}
bool TightLayout(i32 mode) { return mode == 5 || mode == 8; }

// A skill factor: from 33 on the value grows by (s - 33) / 66 of itself, below it shrinks to s / 33.
i32 ApplySkill(i32 x, i32 s) { return s >= 33 ? x + (s - 33) * x / 66 : x * s / 33; }

// Money-number form: the number below 10,000, then thousands, millions, billions.
void MoneyNumber(u32 v, SString& out) {
  if (v < 10000)
    out.Format("%lu", (unsigned long)v);
  else if (v < 1000000)
    out.Format("%luK", (unsigned long)(v / 1000));
  else if (v < 1000000000)
    out.Format("%luM", (unsigned long)(v / 1000000));
  else
    out.Format("%luB", (unsigned long)(v / 1000000000));
}

const SEffectList* NonEmpty(const SEffectList* list) { return list && list->Count() ? list : nullptr; }

// The instance's own enchantment, else the type's; null when neither has an entry.
const SEffectList* EffectiveList(const SItemType& type, const SItem* item) {
  if (item && NonEmpty(item->enchantments)) return item->enchantments;
  return NonEmpty(type.enchantment);
}
}  // namespace

bool SItemType::HasCondition() const {
  switch (itemClass) {
    case kItemWeapon: return !IsMissile();
    case kItemHeavyArmor:
    case kItemLightArmor:
    case kItemAlchemy:
    case kItemRepair: return true;
    case kItemKey: return subtype == 2;
    default: return false;
  }
}

void SItemType::GetGoverningSkills(u32& skill, u32& second) const {
  skill = second = 0;
  if (itemClass == kItemWeapon) {
    skill = IsLightWeapon() ? kSkillLightWeapon : kSkillHeavyWeapon;
    if (subtype == 8 || subtype == 9 || subtype == 10 || subtype == 12) second = kSkillAccuracy;
  } else if (itemClass == kItemHeavyArmor) {
    skill = kSkillHeavyArmor;
  } else if (itemClass == kItemLightArmor) {
    skill = kSkillLightArmor;
  }
}

u32 SItemType::GetEnchantKind() const {
  switch (itemClass) {
    case kItemWeapon:
      if (subtype == 7) return 14;
      if (IsMissile()) return 15;
      if (subtype == 9 || subtype == 10) return 16;
      return 3;
    case kItemHeavyArmor:
    case kItemLightArmor: return 2;
    case kItemAccessory: return 4;
    case kItemBook: return 13;
    case kItemIngredient: return 7;
    case kItemPotion: return 6;
    case kItemMagic:
      if (subtype == 1 || subtype == 3) return 11;
      if (subtype == 2) return 12;
      if (subtype == 4 || subtype == 5) return 10;
      return 0;
    default: return 0;
  }
}

u32 SItemType::ConditionPercent(const SItem& item) const {
  // A type without condition (maximum 0) never breaks; a value above the maximum is whole.
  if (maxCondition == 0) return 100;
  const u32 percent = u32(item.count) * 100 / maxCondition;
  return percent > 100 ? 100 : percent;
}

void SItemType::AddCondition(SItem& item, u32 n) const {
  u32 v = u32(item.count) + n;
  item.count = u16(v > 0xFFFF ? 0xFFFF : v);
}

void SItemType::SubtractCondition(SItem& item, u32 n) const { item.count = u16(n >= item.count ? 0 : item.count - n); }

u32 SItemType::ScaleRating(u32 r, u32 k) const {
  const u32 m = maxCondition;
  if (itemClass == kItemAccessory || IsMissile() || m == 0) return r;
  u32 x = u32(u64(r) * k / m);
  const u32 p = u32(u64(k) * 1000 / m) / 100;
  if (p >= 5) ++x;
  return x < r ? x : r;
}

u32 SItemType::GetValue(SWorldRules& rules, const SItem* item) const {
  u32 v = value;
  if (!item) return v + (enchantment ? enchantment->worth : 0);
  if (HasCondition() && maxCondition) v = u32(u64(v) * item->count / maxCondition);
  const SEffectList* list = EffectiveList(*this, item);
  if (!list) return v + enchantCapacity;
  if (itemClass == kItemMagic && (subtype == 4 || subtype == 5)) {
    i32 charges = list->ChargeValue(rules, item->count);
    return charges > 0 ? v + u32(charges) : v;
  }
  return v + list->worth;
}

void SItemType::ComputeDamageRange(SWorldRules& rules, i32& min, i32& max, u32 condition, bool secondHand) const {
  min = i32(GetScaledDamageMin(condition));
  max = i32(GetScaledDamageMax(condition));
  auto apply = [&](u32 skill) {
    const i32 s = rules.PlayerSkill(skill);
    min = ApplySkill(min, s);
    max = ApplySkill(max, s);
  };
  if (itemClass == kItemWeapon && subtype >= 8 && subtype <= 13) apply(kSkillAccuracy);
  const bool light = IsLightWeapon() || IsMissile();
  apply(light ? kSkillLightWeapon : kSkillHeavyWeapon);
  if (SPlayerAccess* p = rules.player) {
    const i32 S = p->GetAttribute(kAttributeStrength), D = p->GetAttribute(kAttributeDexterity);
    const i32 bonus = light ? S / 25 + D / 16 : D / 25 + S / 16;
    min += bonus;
    max += bonus;
  }
  if (secondHand) apply(kSkillDualWield);
  if (SPlayerAccess* p = rules.player) {
    bool present = false;
    p->SumEffects(kCategoryHalvedSpread, 0, nullptr, &present);
    if (present) max = min + (max - min) / 2;
  }
}

bool SItemType::HasPermanentEffect(const SItem& item) const {
  const SEffectList* list = EffectiveList(*this, &item);
  return list && list->HasPermanentAttribute();
}

void SItemType::ResetCharges(SItem& item) const {
  const SEffectList* list = EffectiveList(*this, &item);
  if (list) item.count = u16(list->Entry(0)->base);
}

bool SItemType::HasUndeadSpell(SWorldRules& rules, const SItem& item) const {
  const SEffectList* list = EffectiveList(*this, &item);
  return list && list->HasUndeadSpell(rules);
}

bool SItemType::HasHealSpell(SWorldRules& rules, const SItem& item) const {
  const SEffectList* list = EffectiveList(*this, &item);
  return list && list->HasHealSpell(rules);
}

const char* SItemType::ConditionWord(u32 percent) {
  if (percent < 10) return "broken";
  if (percent < 30) return "poor";
  if (percent < 70) return "average";
  if (percent < 100) return "good";
  return "perfect";
}

const char* SItemType::OutfitWord(u32 score) {
  if (score < 60) return "regular";
  if (score < 90) return "fashionable";
  return "swell";
}

void SItemType::EnchantabilityWord(SString& text) const {
  const u32 c = enchantCapacity;
  text.Assign(c == 0    ? "Unenchantable"
              : c < 100 ? "Slightly enchantable"
              : c < 200 ? "Moderately enchantable"
              : c < 300 ? "May be enchantable"
              : c < 500 ? "Strongly enchantable"
                        : "Superiorly enchantable");
}

void SItemType::GetDisplayName(SWorldRules& rules, const SItem* item, SString& text, bool shortForm) const {
  const char* t3 = text3 ? text3 : "";
  switch (itemClass) {
    case kItemBook:
      if (subtype == 1) {
        text.Format("'%s' book", t3);
        return;
      }
      break;
    case kItemPotion: text.Format((flags & 1) ? "Homemade %s potion" : "%s potion", t3); return;
    case kItemGem: text.Format("%s gem", t3); return;
    case kItemCard: text.Format("'%s' card", t3); return;
    case kItemMagic:
      switch (subtype) {
        case 1:
          if (shortForm)
            text.Assign(t3);
          else
            text.Format("Scroll of %s", t3);
          return;
        case 2: text.Format("Spellbook of %s", t3); return;
        case 4:
          if (shortForm)
            text.Assign(t3);
          else
            text.Format("Wand of %s", t3);
          return;
        case 3:
        case 5: {
          const SEffectList* own = item ? NonEmpty(item->enchantments) : nullptr;
          if (!own) {
            text.Assign(t3);
            return;
          }
          const SSpell* spell = rules.spells.FindByName(own->Entry(0)->name);
          const char* spellName = spell ? (spell->texts[0] ? spell->texts[0] : "") : "Unknown";
          if (shortForm)
            text.Assign(spellName);
          else
            text.Format(subtype == 3 ? "Scroll of %s" : "Wand of %s", spellName);
          return;
        }
        default: text.Assign(""); return;
      }
    default: break;
  }
  text.Assign(t3);
}

void SItemType::Describe(SWorldRules& rules, const SItem* item, SString& text, bool detailed,
                         const SItemPlayerChecks* checks) const {
  const i32 mode = rules.Hooks().DisplayMode();
  const char* sep = CompactLayout(mode) ? ", " : "\r";
  const bool tight = TightLayout(mode);
  const bool weapon = itemClass == kItemWeapon;
  const bool missile = IsMissile();
  const u32 k = item ? item->count : maxCondition;
  SString part;
  text.Assign("");

  // 1. What kind of item.
  if (weapon)
    text.Append(IsLightWeapon() ? "Light weapon\r" : "Heavy weapon\r");
  else if (itemClass == kItemHeavyArmor || itemClass == kItemLightArmor) {
    text.Append(ItemClassName(itemClass));
    text.Append("\r");
  } else if (itemClass == kItemIngredient)
    text.Append("Alchemy ingredient\r");
  else if (itemClass == kItemMisc || itemClass == kItemCard) {
    text.Append(ItemSubtypeName(itemClass, subtype));
    text.Append("\r");
  } else if (itemClass == kItemComestible)
    text.Append("Comestible\r");

  // 2. Ratings.
  const char* damageForm = tight ? "Dam: %u-%u" : "Damage: %u-%u";
  if (itemClass == kItemHeavyArmor || itemClass == kItemLightArmor) {
    text.FormatAppend("AC: %u", GetScaledRating(k));
    text.Append(sep);
  } else if (weapon && !missile) {
    text.FormatAppend(damageForm, GetScaledDamageMin(k), GetScaledDamageMax(k));
    text.Append(sep);
  } else if (missile) {
    text.FormatAppend("Contains %u %s.\r", k, k == 1 ? "unit" : "units");
    text.FormatAppend(damageForm, u32(damageMin), u32(damageMax));
    text.Append(sep);
  }

  // 3. Weight.
  if (itemClass != kItemMoney) text.FormatAppend("Weight: %u.%u\r", weight / 100u, (weight % 100u) / 10u);

  // 4. Alignment.
  if (itemClass >= kItemWeapon && itemClass <= kItemAccessory) {
    if (alignment == 1) text.Append("Requires good alignment\r");
    if (alignment == 2) text.Append("Requires evil alignment\r");
  }

  // 5. Outfit.
  if ((weapon && !missile) || itemClass == kItemHeavyArmor || itemClass == kItemLightArmor ||
      itemClass == kItemAccessory) {
    const u32 o = GetScaledOutfitValue(k) * 10;
    text.Append("Outfit: ");
    text.Append(o < 30 ? "plain" : o < 60 ? "regular" : o < 90 ? "fashionable" : "swell");
    if (detailed) text.FormatAppend(" (%u)", o);
    text.Append("\r");
  }

  // 6. Condition (none for a type without one).
  if (HasCondition() && maxCondition) {
    if (detailed) {
      SString a, b;
      MoneyNumber(k, a);
      MoneyNumber(maxCondition, b);
      text.FormatAppend("Condition: %s/%s\r", a.CStr(), b.CStr());
    } else {
      text.FormatAppend("Condition: %s\r", ConditionWord(u32(u64(k) * 100 / maxCondition)));
    }
  }

  // 7. and 8. Effects, or how enchantable the item is.
  if (itemClass == kItemIngredient) text.Append(tight ? "\rEffects: " : "\rEffects:");
  const SEffectList* list = EffectiveList(*this, item);
  if (list) {
    list->Describe(rules, GetEnchantKind(), i32(k), part, CompactLayout(mode));
    if (!tight) text.Append("\r");
    text.Append(part.CStr());
  } else if ((itemClass >= kItemWeapon && itemClass <= kItemAccessory) ||
             (itemClass == kItemMagic && (subtype == 3 || subtype == 5))) {
    EnchantabilityWord(part);
    if (!tight) text.Append("\r");
    text.Append(part.CStr());
  }

  // 9. Spellbooks.
  SPlayerAccess* player = rules.player;
  if (itemClass == kItemMagic && subtype == 2 && list && player) {
    if (SSpell* spell = rules.spells.FindByName(list->Entry(0)->name)) {
      const bool undead = player->IsUndead();
      if ((spell->school == 1 && undead) || (spell->school == 5 && !undead))
        text.Append("\rYou can't learn this spell.");
      else
        text.Append(player->KnowsSpellRecord(spell) ? "\rYou already know this spell."
                                                    : "\rYou don't know this spell.");
    }
  }

  // 10. and 11. What the player can do with it.
  if (checks && item) {
    const bool ownList = NonEmpty(item->enchantments) != nullptr;
    if (itemClass == kItemMagic && (subtype == 1 || (subtype == 3 && ownList)) && !checks->CanReadScroll(*item))
      text.Append("\rYou can't read this scroll.");
    if (itemClass == kItemMagic && (subtype == 4 || (subtype == 5 && ownList)) && !checks->CanUseWand(*item))
      text.Append("\rYou can't use this wand.");
    if (itemClass == kItemBook && subtype == 1) {
      if (checks->HasReadBook(*this))
        text.Append("\rYou have already read this book.");
      else if (list && list->Entry(0)->kind == 1 && !checks->CanLearnSkill(list->Entry(0)->sub))
        text.Append("\rYou can't learn from this book.");
      else
        text.Append("\rYou haven't read this book yet.");
    }
  }
}
