// The player's rules that run as game time passes and as weapons and armour are used: effects running
// out, wear and breaking, the damage of the player's blows, and items arriving in the inventory.
#include "core/SGameCore.h"
#include "game/SMonster.h"
#include "game/SStateGame.h"
#include "player/SPlayer.h"
#include "world/SItemTable.h"
#include "world/SWorldRules.h"

void SPlayer::TickEffects(u32 minutes) {
  bool paralysisEnded = false;
  for (u32 c = 1; c < kEffectCategories; ++c) {
    SPtrArray<SPlayerEffect>& list = effects[c];
    for (i32 i = list.Count() - 1; i >= 0; --i) {
      SPlayerEffect* e = list[i];
      const u8 t = e->sourceType;
      if (e->duration == 0 || (t != kSourceItem && t != kSourceSpell && t != kSourceCondition)) continue;
      e->duration = u8(e->duration < minutes ? 0 : e->duration - minutes);
      if (e->duration != 0) continue;
      delete list.RemoveAt(i);
      paralysisEnded = paralysisEnded || c == kCategoryParalysis;
    }
  }
  // The lowered hands come up again.
  if (paralysisEnded && game && game->stateGame) game->stateGame->SetHandView(false, false);
}

void SPlayer::WearEquipped(SItem* item, i32 amount, const char* message) {
  // An item without a condition (a maximum of 0) neither wears nor breaks.
  if (!item || !item->type || !item->type->HasCondition() || item->type->maxCondition == 0) return;
  if (amount >= 0) item->type->SubtractCondition(*item, u32(amount));
  const u32 percent = u32(item->count) * 100 / item->type->maxCondition;
  const u32 slot = EquipmentSlotOf(item);
  if (percent >= 10 || !slot) return;
  EmptySlot(slot);  // it stays in the inventory, broken
  RecalculateEquipment();
  if (game && game->stateGame) game->stateGame->SetHandView(false, false);
  SString itemName;
  if (rules_) item->type->GetDisplayName(*rules_, item, itemName, false);
  messageText.Format(message, itemName.CStr() ? itemName.CStr() : "");
  Queue(messageText.CStr(), nullptr);
}

void SPlayer::WearWeapon(SItem* item, i32 amount) { WearEquipped(item, amount, "Your %s broke!."); }
void SPlayer::WearItem(SItem* item, i32 amount) { WearEquipped(item, amount, "Your %s broke!"); }

void SPlayer::WearArmourFromHit(i32 amount, i32 direction, bool* shieldFlag) {
  if (shieldFlag) *shieldFlag = false;
  SItem* shield = Equipped(6);
  if (shield && (IsParalyzed() || !shield->type || shield->type->itemClass == kItemWeapon)) shield = nullptr;
  auto chance = [this](SItem* item, i32 above) { return item && Roll(100) > above; };
  if (direction == -1) {
    if (chance(Equipped(11), 50)) return WearItem(Equipped(11), amount);
  } else {
    // The grid side a blow comes from counts clockwise; the facing counter-clockwise: the player faces
    // the attacker when the side ahead is that side.
    const i32 facing = game && game->stateGame ? game->stateGame->facing : 0;
    const i32 ahead = ((360 - facing % 360) % 360) / 90;
    if (ahead == direction) {
      if (chance(shield, 50)) {
        if (shieldFlag) *shieldFlag = true;
        return WearItem(shield, amount);
      }
      if (chance(Equipped(4), 70)) return WearItem(Equipped(4), amount);
      if (chance(Equipped(1), 90)) return WearItem(Equipped(1), amount);
    } else if (chance(Equipped(4), 50)) {
      return WearItem(Equipped(4), amount);
    }
  }
  SItem* candidates[8];
  i32 n = 0;
  for (u32 slot : {1u, 2u, 4u, 7u, 10u, 11u, 13u})
    if (SItem* item = Equipped(slot)) candidates[n++] = item;
  if (shield) candidates[n++] = shield;
  if (n > 0) WearItem(candidates[Roll(n)], amount);
}

void SPlayer::WearItemByLoad() {
  if (SItem* feet = Equipped(11)) WearItem(feet, 1 + Roll(i32(GetInventoryWeight() / 20000)));
}

void SPlayer::GetWeaponDamageRange(i32& min, i32& max, bool wear) {
  const i32 a1 = GetAttributeEffective(1), a2 = GetAttributeEffective(2);
  SItem* weapon = GetMainWeapon();
  if (weapon && weapon->type && rules_) {
    const SItemType& t = *weapon->type;
    t.ComputeDamageRange(*rules_, min, max, weapon->count, false);
    SItem* second = nullptr;
    i32 secondMin = 0, secondMax = 0;
    if (t.itemClass == kItemWeapon && (t.subtype == 9 || t.subtype == 10 || t.subtype == 12)) {
      if (SItem* ammo = Equipped(12); ammo && ammo->type) {
        i32 lo = 0, hi = 0;
        ammo->type->ComputeDamageRange(*rules_, lo, hi, ammo->count, false);
        min += lo;
        max += hi;
      }
      min += a2 / 10;
      max += a2 / 8;
    } else {
      min += a1 / 10 + a2 / 10;
      max += a1 / 8 + a2 / 8;
      second = Equipped(6);
      if (second && second->type && second->type->itemClass == kItemWeapon) {
        second->type->ComputeDamageRange(*rules_, secondMin, secondMax, second->count, true);
        min += secondMin;
        max += secondMax;
      } else {
        second = nullptr;
      }
    }
    if (wear) {
      if (t.subtype != 8) WearWeapon(weapon, min + Roll(max - min + 1));
      if (second) WearWeapon(second, secondMin + Roll(secondMax - secondMin + 1));
    }
  } else {
    min = a1 / 16 + a2 / 16;
    max = a1 / 8 + a2 / 8;
  }
  if (i64(GetInventoryWeight()) > GetCarryCapacity()) {
    min /= 2;
    max /= 2;
  }
}

i32 SPlayer::RollDamage(bool wear) {
  i32 min = 0, max = 0;
  GetWeaponDamageRange(min, max, wear);
  return min + Roll(max - min + 1);
}

i32 SPlayer::RollWeaponDamage(const SMonster* target) {
  i32 damage = 0;
  if (!target) {
    damage = RollDamage(false);
  } else {
    damage = RollDamage(true) - target->armourClass;
    // A blow against heavy armour still lands a little half the time.
    if (damage < 1) damage = Roll(100) > 50 ? Roll(5) : 0;
  }
  PracticeWeaponSkills();
  return damage;
}

SItem* SPlayer::ReceiveReported(const char* typeName, i32 n, bool report, const char* opening) {
  SItemType* type = rules_ && rules_->items && typeName ? rules_->items->FindType(typeName) : nullptr;
  if (!type || n < 1) return nullptr;
  SItem* last = AddItems(type, n);
  if (report) {
    messageText.Assign(opening);
    FormatItemName(type, u32(n), messageText);
    messageText.Append(".");
    Report(messageText.CStr());
  }
  return last;
}

SItem* SPlayer::ReceiveItemsReported(const char* typeName, i32 n, bool report) {
  return ReceiveReported(typeName, n, report, "You have received ");
}

SItem* SPlayer::FindItemsReported(const char* typeName, i32 n, bool report) {
  return ReceiveReported(typeName, n, report, "You have found ");
}

void SPlayer::ReceiveItem(SItem* item) {
  if (!item) return;
  if (item->type && item->type->itemClass == kItemMoney) {
    AddItems(item->type, 1);
    delete item;
    return;
  }
  if (!inventory.AddItem(item)) delete item;
}
