// A monster's statistics and resistances as its template and the effects on it make them, a template made
// from a base type, the damage of its blow and its choice of a spell.
#include "core/SGameCore.h"
#include "foundation/SRandom.h"
#include "game/SMonster.h"
#include "game/SStateGame.h"
#include "world/SEffectKinds.h"
#include "world/SMapArea.h"
#include "world/SSpell.h"

#include <algorithm>
#include <cstring>

namespace {

using namespace EffectKind;

// Where a template's effect entries come from.
enum : u8 { kSourceKnownSpell = 2, kSourceBonus = 3 };
// Whom a spell reaches.
enum : u8 { kTargetSelf = 1, kTargetTouch = 2, kTargetOther = 3 };

i32 Clamp100(i32 v) { return std::clamp(v, -100, 100); }

// The effects the area keeps on the monster, of a kind (and, for attributes and skills, a sub-kind).
i32 AreaEffects(SMapArea& area, const SMapMonster& placed, u8 kind, u8 sub = 0) {
  return area.SumMonsterEffectsWithDiseases(placed.id, i8(kind), sub);
}

// v / 3 + rand(2v / 3).
i32 VRule(SRandom& random, i32 v) { return v / 3 + random.Next(2 * v / 3); }

}  // namespace

void SMonster::SetType(SMonsterBaseType* type) {
  baseType = type;
  if (!type) return;
  normalLookName = type->text1;
  u16* const members[] = {&minDamage,  &maxDamage,  &armourClass, &maxHp,      &experience,
                          &attribute1, &attribute2, &attribute3,  &attribute4, &spareValue};
  for (u32 i = 0; i < 10; ++i) *members[i] = u16(type->stats[i] / 100);
  kind = type->kind;
  level = 1;
  flags = kind == 4 ? 8 : 12;
  behaviour = type->behaviour;
  widePlacement = type->p2;
  layer2Blocking = type->p3;
  theftDifficulty = 0;
  castPalette = nullptr;
}

i32 SMonster::GetAttribute(u32 n, SMapArea& area, const SMapMonster& placed) const {
  const u16 base[5] = {0, attribute1, attribute2, attribute3, attribute4};
  if (n < 1 || n > 4) return 1;
  return std::max(1, i32(base[n]) + AreaEffects(area, placed, kFortifyAttribute, u8(n)));
}

i32 SMonster::GetParalysisResistance(SMapArea& area, const SMapMonster& placed) const {
  return Clamp100(2 * GetAttribute(4, area, placed) + SumBonus(kResistParalysis) +
                  AreaEffects(area, placed, kResistParalysis));
}

i32 SMonster::GetPoisonResistance(SMapArea& area, const SMapMonster& placed) const {
  return Clamp100(GetAttribute(3, area, placed) + SumBonus(kResistPoison) + AreaEffects(area, placed, kResistPoison));
}

i32 SMonster::GetMagicResistance(SMapArea& area, const SMapMonster& placed) const {
  return Clamp100(GetAttribute(4, area, placed) + SumBonus(kResistMagic) + AreaEffects(area, placed, kResistMagic));
}

i32 SMonster::GetDiseaseResistance(SMapArea& area, const SMapMonster& placed) const {
  return Clamp100(GetAttribute(3, area, placed) / 2 + SumBonus(kResistDiseases) +
                  AreaEffects(area, placed, kResistDiseases) + AreaEffects(area, placed, kResistDisease));
}

i32 SMonster::GetSpellPower(SMapArea& area, const SMapMonster& placed) const {
  const i32 p = 2 * GetAttribute(4, area, placed);
  return std::clamp(p + p * AreaEffects(area, placed, kFortifyMagic) / 100, 0, 100);
}

i32 SMonster::SumBonus(u32 effectKind) const {
  i32 sum = 0;
  for (const SEffect* e : effects)
    if (e && e->mode == kSourceBonus && e->kind == effectKind) sum += DecodePercent(e->base);
  return sum;
}

bool SMonster::KnowsSpell(const char* spellName) const {
  if (!spellName) return false;
  for (const SEffect* e : effects)
    if (e && e->mode == kSourceKnownSpell && e->name && !std::strcmp(e->name, spellName)) return true;
  return false;
}

bool SMonster::HasMagicImmunity(SMapArea& area, const SMapMonster& placed) const {
  return area.SumMonsterEffects(placed.id, kMagicImmunity) != 0;
}

bool SMonster::HasAreaSpell(const SSpellTable& spells) const {
  for (const SEffect* e : effects) {
    if (!e || e->mode != kSourceKnownSpell) continue;
    if (const SSpell* spell = spells.FindByName(e->name); spell && spell->HasFlaggedEffect()) return true;
  }
  return false;
}

u32 SMonster::CountItemsOfType(SMapArea& area, const SMapMonster& placed, const SItemType* type) const {
  const SItemContainer* bag = placed.containerId ? area.FindContainerById(placed.containerId) : nullptr;
  return bag ? bag->CountItemsOfType(type) : 0;
}

i32 SMonster::RollDamage(SMapArea& area, const SMapMonster& placed, SRandom& random) const {
  i32 least = minDamage, most = maxDamage;
  for (const SEffect* e : effects) {
    if (!e || e->kind != kFortifyMelee) continue;
    const i32 p = e->Percent();
    least += i32(minDamage) * p / 100;
    most += i32(maxDamage) * p / 100;
  }
  if (area.IsMonsterCursed(placed.id)) most = least + (most - least) / 2;
  return least + random.Next(most - least + 1);
}

i32 SMonster::ScoreSpell(SStateGame& game, const SSpell& spell, SMapArea& area, const SMapMonster& placed,
                         bool adjacent, bool inLine, bool areaOnly) const {
  if (!game.core || spell.effects.entries.IsEmpty()) return -1;
  if (areaOnly && !spell.HasFlaggedEffect()) return -1;
  const u8 target = spell.extra[0];
  if (target == kTargetTouch && !adjacent) return -1;
  if (target == kTargetOther && !inLine && !areaOnly) return -1;
  SRandom& random = game.Random();
  const bool playerUndead = game.core->player.Race() == 1;
  const i32 hp = placed.hp, most = maxHp;
  const u8 id = placed.id;
  i32 score = 0;
  for (const SEffect* e : spell.effects.entries) {
    i32 s = 0;
    switch (e->kind) {
      case kFortifySkill:
      case kFortifyAttribute:
        if (target != kTargetSelf)
          s = random.Next(46) + 23;
        else
          s = area.HasMonsterEffect(id, i8(e->kind)) ? 0 : random.Next(53) + 26;
        break;
      case kRestoreHp:
      case kRestoreUnholy:
        if ((e->kind == kRestoreUnholy) != IsUndead()) break;
        s = hp < most / 4   ? random.Next(33) + 16
            : hp < most / 3 ? random.Next(26) + 13
            : hp < most / 2 ? random.Next(20) + 10
                            : random.Next(6) + 3;
        break;
      case kRestoreFullHp:
      case kRestoreFullUnholy:
        if ((e->kind == kRestoreFullUnholy) != IsUndead()) break;
        s = hp < most / 4 ? random.Next(26) + 13 : hp < most / 3 ? random.Next(20) + 10 : random.Next(6) + 3;
        break;
      case kFortifyAc: s = VRule(random, area.HasMonsterEffect(id, kFortifyAc) ? 80 : 40); break;
      case kCurePoison: s = VRule(random, area.HasMonsterEffect(id, kPoison) ? 90 : 0); break;
      case kCureParalysis: s = VRule(random, area.HasMonsterEffect(id, kParalyze) ? 90 : 0); break;
      case kRemoveCurse: s = VRule(random, area.HasMonsterEffect(id, kCurse) ? 90 : 0); break;
      case kCureDisease: s = VRule(random, area.MonsterHasDisease(id, e->name) ? 90 : 0); break;
      case kResistPoison:
      case kResistParalysis:
      case kResistMagic:
      case kResistDiseases: s = area.HasMonsterEffect(id, i8(e->kind)) ? 0 : random.Next(46) + 23; break;
      case kDispel:
        s = VRule(random, area.HasMonsterEffect(id, kParalyze) || area.HasMonsterEffect(id, kCurse) ? 90 : 0);
        break;
      case kDamageType:
        if ((e->sub == 3 && playerUndead) || (e->sub == 1 && !playerUndead)) s = random.Next(53) + 26;
        break;
      case 25:
      case kPoison:
      case kCurse:
      case 29:
      case 30:
      case 32:
      case 40:
      case 53: s = random.Next(53) + 26; break;
      case kParalyze: s = random.Next(40) + 20; break;
      default: break;
    }
    score = std::max(score, s);
  }
  return score;
}

const SSpell* SMonster::ChooseSpell(SStateGame& game, i32 x, i32 y, SMapArea& area, SMapMonster& placed,
                                    bool areaOnly) const {
  if (!game.core) return nullptr;
  const SSpellTable& spells = game.core->world.rules.spells;
  const i32 px = game.window.playerX, py = game.window.playerY;
  const bool inLine = x == px || y == py;
  const bool adjacent = inLine && std::abs(x - px) + std::abs(y - py) == 1;
  const SSpell* best = nullptr;
  i32 bestScore = 0;
  for (const SEffect* known : effects) {
    if (!known || known->mode != kSourceKnownSpell) continue;
    const SSpell* spell = spells.FindByName(known->name);
    if (!spell) continue;
    // A later spell must score more to take the place of an earlier one.
    const i32 score = ScoreSpell(game, *spell, area, placed, adjacent, inLine, areaOnly);
    if (score > bestScore) {
      best = spell;
      bestScore = score;
    }
  }
  return best;
}
