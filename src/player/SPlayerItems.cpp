// The player's state in words and numbers for shops, messages and the character sheet: item texts,
// trading prices, the fame and outfit words, and whether the player's race may use an item.
#include "foundation/StrUtil.h"
#include "player/SPlayer.h"
#include "world/SEffect.h"
#include "world/SItemTable.h"
#include "world/SWorldRules.h"

namespace {
constexpr char kCoin = 9;  // the coin glyph of the game font
}

void SPlayer::FormatItemName(const SItemType* type, u32 count, SString& out) const {
  if (!type) return;
  const char* n = type->text3 ? type->text3 : "";
  if (count == 1 && type->itemClass == kItemMoney) {
    out.FormatAppend("%u%c", unsigned(type->value), kCoin);
    return;
  }
  if (count == 1 && type->itemClass == kItemGem) {
    out.FormatAppend("%s %s gem", StrIndefiniteArticle(n), n);
    return;
  }
  const char* one = "an item of %s";
  const char* many = "%u items of %s";
  const u32 sub = type->subtype;
  switch (type->itemClass) {
    case kItemBook:
      if (sub == 1) one = "a book of '%s'", many = "%u books of '%s'";
      break;
    case kItemPotion: one = "a potion of %s", many = "%u potions of %s"; break;
    case kItemGem: many = "%u %s gems"; break;
    case kItemCard: one = "a card of '%s'", many = "%u cards of '%s'"; break;
    case kItemMagic:
      if (sub == 1) one = "a scroll of %s", many = "%u scrolls of %s";
      if (sub == 2) one = "a spellbook of %s", many = "%u spellbooks of %s";
      if (sub == 4) one = "a wand of %s", many = "%u wands of %s";
      break;
    default: break;
  }
  if (count == 1)
    out.FormatAppend(one, n);
  else
    out.FormatAppend(many, unsigned(count), n);
}

u32 SPlayer::AdjustPrice(u32 price, bool lower) {
  const i64 trade = i64(skills[17]) + SumEffects(1, 17, nullptr, nullptr);
  const i64 speech = i64(skills[15]) + SumEffects(1, 15, nullptr, nullptr);
  const i64 v = trade / 2 + speech * 2 + GetAttributeEffective(5);
  // Skills and effects can take the percentage past 100 or, cursed, below 0: the change is figured in
  // 64 bits, a lowered price never falls below 0 and a raised one stays a 32-bit price.
  const i64 percent = v / 14 > 0 ? v / 14 : 0;
  const i64 change = percent * price / 100;
  const i64 result = lower ? i64(price) - change : i64(price) + change;
  return u32(result < 0 ? 0 : result > 0xFFFFFFFFll ? 0xFFFFFFFFll : result);
}

const char* SPlayer::GetFameWord() const {
  if (fame == 100) return "Saint";
  if (fame >= 80) return "Blessed";
  if (fame >= 50) return "Blameless";
  if (fame >= 20) return "Virtuous";
  if (fame >= 1) return "Good";
  if (fame == 0) return "Neutral";
  if (fame == -100) return "Demonic";
  if (fame <= -80) return "Pure evil";
  if (fame <= -50) return "Evil";
  if (fame <= -20) return "Corrupt";
  return "Immoral";
}

i32 SPlayer::GetOutfitScore(bool* bonus) {
  i64 sum = 0;
  for (u32 slot = 1; slot <= kEquipmentSlots; ++slot) {
    const SItem* item = Equipped(slot);
    if (slot == 12 || !item || !item->type) continue;  // ammunition is not worn
    sum += i64(slot == 4 ? 20 : 8) * item->type->GetScaledOutfitValue(item->count);
  }
  bool present = false;
  const i64 s = sum / 10 + SumEffects(20, 0, nullptr, &present);
  const i32 d = GetDrunkenness();
  i64 score = s;
  if (d != 0) {
    present = true;
    score = s - d * s / 100;
  }
  if (bonus) *bonus = present;
  return score > 1 ? i32(score > 0x7FFFFFFF ? 0x7FFFFFFF : score) : 1;
}

const char* SPlayer::GetOutfitWord() {
  const i32 s = GetOutfitScoreOnly();
  if (s < 11) return "threadbare";
  if (s < 21) return "shabby";
  if (s < 41) return "plain";
  if (s < 61) return "regular";
  if (s < 81) return "dressy";
  if (s < 91) return "well dressed";
  if (s < 96) return "fashionable";
  return "swell";
}

bool SPlayer::CanUseItem(const SItem& item) const {
  const SEffectList* list = item.Enchantment();
  if (!list || !rules_) return true;
  return race == kUndeadRace ? !list->HasHealSpell(*rules_) : !list->HasUndeadSpell(*rules_);
}
