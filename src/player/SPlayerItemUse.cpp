// What an item the player uses and a spell that reaches the player do, effect by effect; the dispel, and
// the food a spell creates.
#include "core/SGameCore.h"
#include "game/SStateGame.h"
#include "player/SPlayer.h"
#include "world/SCharacterTables.h"
#include "world/SEffectKinds.h"
#include "world/SItemTable.h"
#include "world/SSpell.h"
#include "world/SWorldRules.h"

#include <algorithm>

namespace {

using namespace EffectKind;

// The kinds a dispel takes away; poison and fortified skills stay.
constexpr u8 kDispelled[] = {2, 5, 8, 10, 11, 15, 16, 17, 20, 22, 27, 28, 33, 34, 35, 36, 38, 39, 58};

// Spell effects that a hostile spell's resistance roll may turn aside.
bool IsRolled(u8 kind) {
  switch (kind) {
    case kFortifyAttribute:
    case kFortifyHp:
    case kFortifyAc:
    case kResistPoison:
    case kResistParalysis:
    case kResistDisease:
    case kFeather:
    case kResistMagic:
    case kCurse:
    case kResistDiseases:
    case kFortifyMagic:
    case kFortifyMelee:
    case kMagicImmunity: return true;
    default: return false;
  }
}

}  // namespace

void SPlayer::AddTimedEffect(u32 sourceType, const void* source, i32 strength, i32 duration, u32 kind, u32 sub,
                             const char* key) {
  // A timed effect needs a strength and a time: a duration below 1 would be kept as lasting for ever.
  if (strength == 0 || duration < 1) return;
  AddEffect(sourceType, source, strength, u32(duration), kind, sub, key);
}

void SPlayer::SetConditionEntry(u32 kind, u32 sourceType, const void* source, i32 duration) {
  if (duration < 1) return;
  const u32 category = EffectCategory(kind);
  if (category == 0) return;
  // Stored one higher, in one byte: a long condition stays the longest limited one.
  const u8 stored = u8(duration >= 255 ? 255 : duration + 1);
  if (SPlayerEffect* e = FindEffect(category, source, 0, nullptr)) {
    if (e->strength < 0) {
      e->strength = 0;
      e->duration = stored;
    } else if (e->strength == 0 && e->duration != 0 && stored > e->duration) {
      e->duration = stored;
    }
    return;
  }
  auto* e = new (std::nothrow) SPlayerEffect;
  if (!e) return;
  e->source = source;
  e->duration = stored;
  e->category = u8(category);
  e->sourceType = u8(sourceType);
  if (!effects[category].Add(e)) delete e;
}

void SPlayer::SetHandsAgain() {
  if (game && game->stateGame) game->stateGame->SetHandView(false, false);
}

// ---- an item used

void SPlayer::ApplyItemEffects(SItem* item) {
  const SEffectList* list = item ? item->Enchantment() : nullptr;
  if (!list || !item->type) return;
  const SItemType* source = item->type;
  const bool undead = IsUndead();
  for (const SEffect* e : list->entries) {
    if (!e) continue;
    const i32 s = e->base, d = e->duration;
    auto timed = [&](u32 sub, const char* key) { AddTimedEffect(kSourceItem, source, s, d, e->kind, sub, key); };
    // Hit points an effect takes, never the last one.
    auto lower = [&]() { SetHp(std::max<i64>(1, i64(hp) - s), false); };
    switch (e->kind) {
      case kFortifyAttribute: timed(e->sub, nullptr); break;
      case kRestoreHp: ChangeHp(undead ? -s : s, false); break;
      case kRestoreFullHp:
        if (undead)
          SetHp(1, false);
        else
          RestoreFullHp(false);
        break;
      case kFortifyHp:
        if (undead)
          lower();
        else
          timed(0, nullptr);
        break;
      case kRestoreUnholy: ChangeHp(undead ? s : -s, false); break;
      case kRestoreFullUnholy:
        if (undead)
          RestoreFullHp(false);
        else
          SetHp(1, false);
        break;
      case kFortifyUnholy:
        if (undead)
          timed(0, nullptr);
        else
          lower();
        break;
      case kRestoreMana: ChangeMana(s, false); break;
      case kFortifyMana:
      case kResistPoison:
      case kResistParalysis:
      case kFeather:
      case kResistMagic:
      case kResistDiseases:
      case kFortifyMagic:
      case kFortifyMelee: timed(0, nullptr); break;
      case kResistDisease: timed(0, e->name); break;
      case kCurePoison: CureEffect(kPoison); break;
      case kCureParalysis:
        CureEffect(kParalyze);
        SetHandsAgain();
        break;
      case kCureDisease: CureDisease(e->name); break;
      case kDispel: Dispel(); break;
      case kPoison: {
        const i32 rp = GetPoisonResistance();
        const i32 p = s - s * rp / 100;
        if (p == 0) break;
        AddEffect(kSourceItem, source, p, 0, kPoison, 0, nullptr);
        ApplyPoisonDamage();
        break;
      }
      case kRestoreFullMana: RestoreFullMana(false); break;
      case kPermanentAttribute:
        if (e->sub >= 1 && e->sub <= 5) ChangeAttribute(e->sub, 1, false);
        break;
      case kAlcoholic: MakeDrunk(s, source); break;
      default: break;
    }
  }
}

// ---- a spell that reaches the player

void SPlayer::ApplySpell(const SSpell* spell, i32 casterLevel, bool friendly, i32 direction, bool ownEffects) {
  if (!spell) return;
  const i32 r = std::clamp(GetMagicResistance(), 0, 100);
  const bool immune = HasMagicImmunity();
  const bool undead = IsUndead();
  i64 total = 0;
  bool crush = false;
  for (const SEffect* e : spell->effects.entries) {
    if (!e || (ownEffects && !e->radius)) continue;
    const i32 s = e->MagnitudeAt(casterLevel), d = e->DurationAt(casterLevel);
    const i32 s2 = friendly ? s : s - s * r / 100, d2 = friendly ? d : d - d * r / 100;
    if (immune && e->kind != kDispel) continue;
    if (!friendly && IsRolled(e->kind) && Roll(100) <= r) continue;
    auto timed = [&](i32 strength, u32 sub, const char* key) {
      AddTimedEffect(kSourceSpell, spell, strength, d2, e->kind, sub, key);
    };
    switch (e->kind) {
      case kFortifyAttribute: timed(s2, e->sub, nullptr); break;
      case kRestoreHp:
        if (undead)
          total += s2;
        else
          ChangeHp(s2, false);
        break;
      case kRestoreFullHp:
        if (undead)
          total += hp - 1;
        else
          RestoreFullHp(false);
        break;
      case kFortifyHp:
        if (undead)
          total += std::min<i32>(s2, hp - 1);
        else
          timed(s2, 0, nullptr);
        break;
      case kRestoreUnholy:
        if (undead)
          ChangeHp(s2, false);
        else
          total += s2;
        break;
      case kRestoreFullUnholy:
        if (undead)
          RestoreFullHp(false);
        else
          total += hp - 1;
        break;
      case kFortifyUnholy:
        if (undead)
          timed(s2, 0, nullptr);
        else
          total += std::min<i32>(s2, hp - 1);
        break;
      case kFortifyAc:
      case kResistParalysis:
      case kFeather:
      case kResistMagic:
      case kResistDiseases:
      case kFortifyMagic:
      case kFortifyMelee: timed(s2, 0, nullptr); break;
      case kResistDisease: timed(s2, 0, e->name); break;
      case kResistPoison: {
        // The strength is a percentage beyond 100: reduced in its plain form, stored beyond 100 again.
        const i32 v = friendly ? DecodePercent(s) : DecodePercent(s) - DecodePercent(s) * r / 100;
        timed(v > 0 ? v + 100 : v < 0 ? v - 100 : 0, 0, nullptr);
        break;
      }
      case kCurePoison: CureEffect(kPoison); break;
      case kCureParalysis:
        CureEffect(kParalyze);
        SetHandsAgain();
        break;
      case kCureDisease: CureDisease(e->name); break;
      case kDispel: Dispel(); break;
      case kRemoveCurse: CureEffect(kCurse); break;
      case kDamageType:
        if ((e->sub == 1 && !undead) || (e->sub == 3 && undead)) total += s2;
        break;
      case kDamageAll:
      case kDrainHp: total += s2; break;
      case kPoison: {
        const i32 rp = GetPoisonResistance();
        if (!friendly && Roll(100) <= rp) break;
        const i32 p = s - s * rp / 100;
        if (p == 0) break;
        AddEffect(kSourceSpell, spell, p, 0, kPoison, 0, nullptr);
        total += p;
        break;
      }
      case kCurse: SetConditionEntry(kCurse, kSourceSpell, spell, d2); break;
      case kParalyze: {
        const i32 rz = GetParalysisResistance();
        if (!friendly && Roll(100) <= rz) break;
        const i32 dz = d - d * rz / 100;
        if (dz < 1) break;
        AddEffect(kSourceSpell, spell, 0, u32(dz), kParalyze, 0, nullptr);
        SetHandsAgain();
        break;
      }
      case kDrainSp:
        if (s2) ChangeMana(-s2, false);
        break;
      case kInfect: TryInfect(e->name); break;
      case kMagicImmunity:
        if (d2 < 1) break;
        Dispel();
        SetConditionEntry(kMagicImmunity, kSourceSpell, spell, d2);
        break;
      case kCrush:
        total += s2;
        crush = true;
        break;
      case kCalm:
        if (game && game->stateGame) game->stateGame->CalmOrAttractMonsters(casterLevel / 10, false);
        break;
      case kCreateFood: CreateFood(); break;
      case kLevelDrops: DrainXp(); break;
      case kMark:
      case kRecall:
      case kTownPortal:
      case kRechargeWand:
      case kEnchant:
      case kEnchantOther:
        // Acts of the game rather than of the player: carried out when the game is idle.
        if (game && game->stateGame)
          game->stateGame->QueueEventOfKind(e->kind >= kEnchant ? kEventEnchantItem : e->kind - kMark + kEventMark,
                                            e->kind >= kEnchant ? u8(std::clamp(casterLevel, 0, 255)) : 0);
        break;
      default: break;
    }
  }
  SStateGame* state = game ? game->stateGame : nullptr;
  if (total != 0) {
    ChangeHp(i32(std::clamp<i64>(-total, -0x7FFFFFFF, 0x7FFFFFFF)), false);
    if (state) state->ShowPlayerHit(i32(std::clamp<i64>(total, -0x7FFFFFFF, 0x7FFFFFFF)), direction);
  }
  // A crushing spell may finish a badly hurt player.
  if (crush && hp != 0) {
    const i32 health = GetHealthPercent();
    if (health <= 25 && Roll(100) > 3 * health) {
      const i32 rest = hp;
      SetHp(0, false);
      if (state) state->ShowPlayerHit(rest, direction);
    }
  }
}

void SPlayer::Dispel() {
  for (u8 kind : kDispelled) CureEffect(kind);
  SetHandsAgain();
}

// ---- food from a spell

void SPlayer::CreateFood() {
  SItemTable* items = rules_ ? rules_->items : nullptr;
  if (game && game->stateGame) game->stateGame->QueueMessage("You have created some food.", 1, "bsnd_click");
  if (!items) return;
  SPtrArray<SItemType> halves[2] = {SPtrArray<SItemType>(false, 4), SPtrArray<SItemType>(false, 4)};
  for (SItemType* t : items->types)
    if (t && t->itemClass == kItemComestible) halves[t->subtype == 1 ? 0 : 1].Add(t);
  for (SPtrArray<SItemType>& half : halves) {
    // The living redraw what only the undead eat; a half with nothing they may eat gives nothing.
    bool usable = false;
    for (const SItemType* t : half) usable = usable || MayEat(*t);
    if (!usable) continue;
    SItemType* drawn = half[Roll(half.Count())];
    while (!MayEat(*drawn)) drawn = half[Roll(half.Count())];
    AddItems(items->FindType(drawn->name.Text()), 1);
  }
}
