// A monster's blow or missile on the player: its damage less the armour it meets, the armour worn, the hit
// shown, and what the monster's touch carries over (poison, curse, paralysis, drains, disease, lost
// experience); and the poison and paralysis a touch tries to bring.
#include "core/SGameCore.h"
#include "game/SMonster.h"
#include "game/SStateGame.h"
#include "player/SPlayer.h"
#include "world/SEffectKinds.h"
#include "world/SItemTable.h"
#include "world/SMapArea.h"
#include "world/SSoundTable.h"

#include <algorithm>

namespace {

using namespace EffectKind;
constexpr u8 kOnHit = 1;  // a monster effect that strikes with its blow

}  // namespace

void SPlayer::TakeMonsterHit(SMapArea* area, SMapMonster* monster, SActionRecord* /*attack*/, i32 direction,
                             bool missile) {
  SStateGame* state = game ? game->stateGame : nullptr;
  if (!monster || !monster->monster || !area) {
    if (!missile && direction < 0 && monster && state) state->RemoveFromFightList(*monster);
    return;
  }
  const SMonster& type = *monster->monster;
  i32 x = type.RollDamage(*area, *monster, Random());
  i32 d = direction;
  if (missile) {
    // Rain and the dark take from a missile outdoors.
    const SMapArea* map = state ? state->window.CurrentArea() : nullptr;
    if (map && map->IsOutdoor()) {
      const i32 p = state->GetRainIntensity() / 20 + (state->IsNight() ? 50 : 0);
      x -= x * std::clamp(p, 0, 100) / 100;
    }
  } else if (d == -1) {
    // The blow ends the monster's turn; its record knows the side it strikes from.
    d = state ? state->RemoveFromFightList(*monster) : -1;
  } else {
    d = (d + 2) & 3;
  }
  bool shield = false;
  WearArmourFromHit(x, d, &shield);
  i32 net = x - GetArmorClassWhenHit(shield);
  if (net < 1) net = Roll(100) < 51 ? 0 : Roll(5);
  if (net == 0) {
    // Missed: a shield raised against it learns, and rings.
    SActionRecord* blow = state ? state->FindAttackActionFrom(d) : nullptr;
    if (blow && blow->monsterId == monster->id) {
      if (practice[1] < 255) ++practice[1];
      if (blow->firstPicture && blow->firstPicture->textA && game)
        game->world.sounds.PlayByName(blow->firstPicture->textA, 10);
    }
    return;
  }
  ChangeHp(-net, false);
  if (state) state->ShowPlayerHit(net, d);
  for (const SEffect* e : type.effects) {
    if (!e || e->mode != kOnHit) continue;
    // The strength is the chance in percent, beyond 100.
    if (Roll(100) >= e->Percent()) continue;
    switch (e->kind) {
      case kPoison: TryPoison(net / 10 + (net < 10 ? 1 : 0)); break;
      case kCurse: TryCurse(net / 5 + (net < 5 ? 1 : 0)); break;
      case kParalyze:
        TryParalyze(net / 10 + (net < 5 ? 1 : 0));
        SetHandsAgain();
        break;
      case kDrainHp: {
        const i32 before = hp;
        TakeMagicDamage(net / 2);
        // What the player lost heals the monster, up to its template's maximum.
        monster->hp = i16(std::clamp(i32(monster->hp) + (before - i32(hp)), 0, i32(type.maxHp)));
        break;
      }
      case kDrainSp: TakeMagicManaDamage(net / 2); break;
      case kInfect: TryInfect(e->name); break;
      case kLevelDrops: DrainXp(); break;
      default: break;
    }
  }
}

void SPlayer::TryPoison(i32 amount) {
  const i32 rp = GetPoisonResistance();
  const i32 p = amount - amount * rp / 100;
  if (Roll(100) <= rp || p < 1) return;
  AddEffect(kSourceCondition, nullptr, p, 0, kPoison, 0, nullptr);
  ApplyPoisonDamage();
}

void SPlayer::TryParalyze(i32 duration) {
  const i32 rz = GetParalysisResistance();
  const i32 q = duration - duration * rz / 100;
  if (Roll(100) <= rz || q < 1) return;
  if (effects[kCategoryParalysis].IsEmpty()) Queue("You're paralyzed!", nullptr);
  SetConditionEntry(kParalyze, kSourceCondition, nullptr, q);
  SetHandsAgain();
}
