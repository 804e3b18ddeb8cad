// What befalls a placed monster when the player acts on it: blows and spells with the peaceful-monster
// check, crime and hostility, hit points and the special effects of weapons and spells, its death with
// its loot, and the talk with a person.
#include "core/SGameCore.h"
#include "foundation/SRandom.h"
#include "game/SMonster.h"
#include "game/SStateGame.h"
#include "player/SPlayer.h"
#include "script/SScriptContext.h"
#include "world/SEffectKinds.h"
#include "world/SItemTable.h"
#include "world/SMapArea.h"
#include "world/SSpell.h"

#include <algorithm>

namespace {

using namespace EffectKind;

// The events a monster reacts to.
enum : u32 { kEventStruck = 8, kEventSpell = 16, kEventTalk = 32, kEventDeath = 64 };

// State bits of a placed monster.
constexpr u8 kLowBits = 31, kWindUp = 32, kStroke = 64, kRecoil = 128;
constexpr u8 kDeadObject = 2;  // a bound object's mark of its monster's death
constexpr u8 kWeaponSource = 1;

// The kinds a dispel takes away.
constexpr u8 kDispelled[] = {2, 5, 8, 10, 11, 15, 16, 17, 20, 22, 27, 33, 34, 35, 36, 38, 39, 58};

// Monster effects keep their duration in a signed byte: a longer one is kept as the longest that fits.
i8 Duration(i32 t) { return i8(std::clamp(t, 0, 127)); }
i16 Value(i64 v) { return i16(std::clamp<i64>(v, -32768, 32767)); }

SStateGame* GameOf(SMapArea* area) {
  auto* window = dynamic_cast<SMapWindow*>(area ? area->Game() : nullptr);
  return window ? window->owner : nullptr;
}

void SetHp(SMapMonster& placed, i64 hp, i32 maxHp) { placed.hp = i16(std::clamp<i64>(hp, 0, std::max(0, maxHp))); }

// The crime of striking a person: the counter, the message line, fame.
void AttackedPeople(SStateGame& game) {
  game.QueueMessage("You've tried to attack peaceful people!", 1, nullptr);
  if (!game.core) return;
  game.core->player.ChangeCrime(5);
  game.core->player.ChangeFame(-5);
}

constexpr const char* kPeacefulWarning =
    "You shouldn't attack this monster - it looks peaceful, maybe it has something to say or do for you.";

void MakeHostile(SStateGame& game, SMapMonster& placed, bool& changed) {
  SMapArea::MakeAggressive(placed);
  changed = true;
  game.labelRefresh = 1;
  game.monstersChanged = 1;
}

}  // namespace

bool SMonster::IsPeaceful(SMapArea& area, const SMapMonster& placed) const {
  return IsPeople() || !area.IsAggressive(placed);
}

i32 SMonster::HandleAction(u32 event, SMapArea* area, SMapMonster* placed, SMapObjectInst* object, SMapCell*, i32 x,
                           i32 y, bool& changed) {
  changed = false;
  SStateGame* game = GameOf(area);
  if (!game || !area || !placed) return 0;
  switch (event) {
    case kEventStruck: TakeBlow(*game, *area, *placed, object, x, y, changed); return 0;
    case kEventSpell: TakeSpell(*game, *area, *placed, object, changed); return 0;
    case kEventTalk: return Talk(*game, *area, *placed, object);
    case kEventDeath: Die(*game, *area, *placed, object, x, y, false, changed); return 0;
    default: return 0;
  }
}

void SMonster::TakeBlow(SStateGame& game, SMapArea& area, SMapMonster& placed, SMapObjectInst* object, i32 x, i32 y,
                        bool& changed) const {
  const SScriptContext* context = game.core ? game.core->scriptContext : nullptr;
  const i32 d = context ? context->damage : 0;
  if (d == 0 || (object && (object->state & kDeadObject))) return;
  if (IsPeople()) {
    AttackedPeople(game);
    return;
  }
  const bool peaceful = IsPeaceful(area, placed);
  if (peaceful && (object || (talk && *talk))) {
    game.QueueMessage(kPeacefulWarning, 1, nullptr);
    return;
  }
  if (peaceful) MakeHostile(game, placed, changed);
  SetHp(placed, i64(placed.hp) - d, 32767);
  // The weapon's own effects: each of two items with half the blow.
  SItem* const* blow = context->blowItems;
  if (blow[0] && blow[1]) {
    ApplyWeaponEffects(game, area, placed, *blow[0], d / 2);
    ApplyWeaponEffects(game, area, placed, *blow[1], d / 2);
  } else if (blow[0] || blow[1]) {
    ApplyWeaponEffects(game, area, placed, *(blow[0] ? blow[0] : blow[1]), d);
  }
  // The recoil, stronger for a heavier blow, with the blow's picture over it.
  placed.flags = u8((placed.flags & kLowBits) | kRecoil);
  placed.poisonShown = 10;
  if (u16* draw = game.scene.IsAllocated() ? game.scene.Monster(placed.displayIndex) : nullptr) {
    draw[MonsterDraw::kFlags] = u16(draw[MonsterDraw::kFlags] & ~2);
    draw[MonsterDraw::kOverlay] = u16(d <= 10 ? 50 : d < 60 ? 50 + (d - 10) * 100 / 50 : 100);
    RefreshPicture(&area, placed, draw, game.facing);
  }
  game.monstersChanged = 1;
  const i32 volume = game.VolumeByDistance(x, y);
  if (placed.hp > 0)
    PlayHurtSound(game, volume);
  else
    PlayDeathSound(game, volume);
}

void SMonster::TakeSpell(SStateGame& game, SMapArea& area, SMapMonster& placed, SMapObjectInst* object,
                         bool& changed) const {
  if (!game.core || (object && (object->state & kDeadObject))) return;
  const SScriptContext* context = game.core->scriptContext;
  if (!context) return;
  const SSpellTable& spells = game.core->world.rules.spells;
  const SSpell* spell = spells.FindByName(context->spellName.CStr());
  const bool harmful = spells.IsHarmfulSpell(context->spellName.CStr());
  if (IsPeople()) {
    if (harmful && game.spellHitMessage) AttackedPeople(game);
    return;
  }
  const bool peaceful = IsPeaceful(area, placed);
  if (peaceful && harmful && (object || (talk && *talk))) {
    if (game.spellHitMessage) game.QueueMessage(kPeacefulWarning, 1, nullptr);
    return;
  }
  if (peaceful && harmful) MakeHostile(game, placed, changed);
  // No lower bound here: the caller judges death at hp below 1.
  placed.hp = Value(i64(placed.hp) - context->damage);
  if (spell) ApplySpellEffects(game, area, placed, *spell, context->spellNumber);
  if (context->damage != 0) {
    if (((placed.flags & kWindUp) != 0) == ((placed.flags & kStroke) != 0)) {
      placed.flags = u8((placed.flags & kLowBits) | kRecoil);
      placed.poisonShown = 10;
    } else {
      placed.flags |= kRecoil;
    }
    game.monstersChanged = 1;
  }
}

void SMonster::ApplySpellEffects(SStateGame& game, SMapArea& area, SMapMonster& placed, const SSpell& spell,
                                 i32 casterLevel) const {
  if (!game.core) return;
  SRandom& random = game.Random();
  SPlayer& player = game.core->player;
  const u8 id = placed.id;
  const i32 r = GetMagicResistance(area, placed);
  const bool immune = HasMagicImmunity(area, placed);
  bool crush = false;
  auto add = [&](i32 value, i32 duration, u8 effectKind, u8 attribute, const char* text) {
    area.AddMonsterEffect(id, Value(value), Duration(duration), i8(effectKind), attribute, text);
  };
  for (const SEffect* e : spell.effects.entries) {
    if (!e || (immune && e->kind != kDispel)) continue;
    const i32 m = e->MagnitudeAt(casterLevel);
    const i32 m2 = m - m * r / 100;
    const i32 t = e->DurationAt(casterLevel) + 1;
    const i32 t2 = t - t * r / 100;
    switch (e->kind) {
      case kFortifyAttribute:
      case kFortifyAc:
        if (m2 && t2 >= 1) add(m2, t2, e->kind, e->kind == kFortifyAttribute ? e->sub : 0, nullptr);
        break;
      case kRestoreHp:
        if (m2) SetHp(placed, i64(placed.hp) + (IsUndead() ? -m2 : m2), maxHp);
        break;
      case kRestoreFullHp: SetHp(placed, IsUndead() ? (maxHp ? 1 : 0) : maxHp, maxHp); break;
      case kRestoreUnholy: SetHp(placed, i64(placed.hp) + (IsUndead() ? m2 : -m2), maxHp); break;
      case kRestoreFullUnholy: SetHp(placed, IsUndead() ? maxHp : (maxHp ? 1 : 0), maxHp); break;
      case kResistPoison:
      case kResistParalysis:
      case kResistDisease:
      case kResistMagic:
      case kResistDiseases:
      case kFortifyMagic:
      case kFortifyMelee: {
        // Percentages are reduced in their plain form and stored in the form beyond 100 again.
        const i32 v = DecodePercent(m), q = v - v * r / 100;
        if (q && t2 >= 1) add(q > 0 ? q + 100 : q - 100, t2, e->kind, 0, e->kind == kResistDisease ? e->name : nullptr);
        break;
      }
      case kCurePoison: area.RemoveMonsterEffects(id, kPoison); break;
      case kCureParalysis:
        if (area.IsMonsterParalysed(id)) {
          area.RemoveMonsterEffects(id, kParalyze);
          game.RefreshMonsterPicture(area, placed);
        }
        break;
      case kCureDisease: area.CureMonsterDisease(id, e->name); break;
      case kDispel: Dispel(game, area, placed); break;
      case kRemoveCurse: area.RemoveMonsterEffects(id, kCurse); break;
      case kPoison: {
        const i32 p = GetPoisonResistance(area, placed), v = m - m * p / 100;
        if (v) add(v, 0, kPoison, 0, nullptr);
        break;
      }
      case kCurse:
        if (t2 >= 1) add(0, t2, kCurse, 0, nullptr);
        break;
      case kParalyze: {
        const i32 p = GetParalysisResistance(area, placed), tz = t - t * p / 100;
        if (tz >= 1) {
          add(0, tz, kParalyze, 0, nullptr);
          game.RefreshMonsterPicture(area, placed);
        }
        break;
      }
      case kDrainHp: player.ChangeHp(2 * casterLevel - 2 * casterLevel * r / 100, false); break;
      case kDrainSp: player.ChangeMana(2 * casterLevel - 2 * casterLevel * r / 100, false); break;
      case kInfect:
        if (random.Next(100) > GetDiseaseResistance(area, placed)) area.InfectMonster(id, e->name);
        break;
      case kMagicImmunity:
        if (t2 >= 1) {
          Dispel(game, area, placed);
          add(0, t2, kMagicImmunity, 0, nullptr);
        }
        break;
      case kCrush: crush = true; break;
      case kDetectMind: game.QueueTargetInfo(&area, &placed, u8(std::clamp(m, 0, 255))); break;
      case kCalm:
        if (random.Next(100) > r && !IsPeople() && area.IsAggressive(placed)) Calm(game, placed);
        break;
      default: break;
    }
  }
  // A crushing spell finishes a badly hurt monster now and then; a template of no hit points is at 0
  // percent rather than a division by zero.
  if (crush) {
    const i32 h = i32(area.GetHealthPercent(placed));
    if (h < 26 && random.Next(100) > 3 * h) placed.hp = 0;
  }
}

void SMonster::ApplyWeaponEffects(SStateGame& game, SMapArea& area, SMapMonster& placed, const SItem& item,
                                  i32 damage) const {
  const SEffectList* list = item.Enchantment();
  if (!list || !game.core) return;
  SRandom& random = game.Random();
  SPlayer& player = game.core->player;
  const u8 id = placed.id;
  const i32 x = damage / 5;
  for (const SEffect* e : list->entries) {
    if (!e || e->mode != kWeaponSource || e->kind < kPoison || e->kind > kInfect) continue;
    switch (e->kind) {
      case kPoison: {
        const i32 p = GetPoisonResistance(area, placed);
        if (random.Next(100) <= p) break;
        const i32 v = (x + 1) - p * (x + 1) / 100;
        if (v >= 1) area.AddMonsterEffect(id, Value(v), 0, kPoison, 0, nullptr);
        break;
      }
      case kCurse: area.AddMonsterEffect(id, 0, Duration(x + 1), kCurse, 0, nullptr); break;
      case kParalyze: {
        const i32 p = GetParalysisResistance(area, placed);
        if (random.Next(100) <= p) break;
        const i32 t = (x + 1) - p * (x + 1) / 100;
        if (t >= 1) {
          area.AddMonsterEffect(id, 0, Duration(t), kParalyze, 0, nullptr);
          game.RefreshMonsterPicture(area, placed);
        }
        break;
      }
      case kDrainHp:
      case kDrainSp: {
        const i32 r = GetMagicResistance(area, placed);
        if (random.Next(100) <= r) break;
        const i32 gain = damage - damage * r / 100;
        if (gain < 1) break;
        if (e->kind == kDrainHp)
          player.ChangeHp(gain, false);
        else
          player.ChangeMana(gain, false);
        break;
      }
      case kInfect:
        if (random.Next(100) > GetDiseaseResistance(area, placed)) area.InfectMonster(id, e->name);
        break;
      default: break;
    }
  }
}

void SMonster::Dispel(SStateGame& game, SMapArea& area, SMapMonster& placed) const {
  if (area.IsMonsterParalysed(placed.id)) {
    area.RemoveMonsterEffects(placed.id, kParalyze);
    game.RefreshMonsterPicture(area, placed);
  }
  for (u8 dispelled : kDispelled) area.RemoveMonsterEffects(placed.id, i8(dispelled));
}

void SMonster::Calm(SStateGame& game, SMapMonster& placed) const {
  if (placed.objectId || (talk && *talk)) return;
  SMapArea::SetPlain(placed);
  game.monstersChanged = 1;
  game.labelRefresh = 1;
}

void SMonster::Die(SStateGame& game, SMapArea& area, SMapMonster& placed, SMapObjectInst* object, i32 x, i32 y,
                   bool quiet, bool& changed) const {
  changed = true;
  game.monstersChanged = 1;
  if (object) object->state |= kDeadObject;
  SItemContainer* carried = placed.containerId ? area.FindContainerById(placed.containerId) : nullptr;
  if (carried || !items.entries.IsEmpty()) {
    // The loot goes into the bag of the cell, or a new one. An area whose bag ids are all in use has no
    // bag to give: the loot is lost rather than put where no cell reaches it.
    SMapCell* cell = game.window.Cell(x, y);
    SItemContainer* bag = cell && cell->bagId ? area.FindContainerById(u8(cell->bagId)) : nullptr;
    if (!bag && cell && !cell->bagId) {
      bag = area.AddContainer();
      if (bag && !game.window.PlaceBagInCell(area, *bag, placed.cellX, placed.cellY)) {
        area.RemoveContainer(bag->id);
        bag = nullptr;
      }
    }
    if (bag) {
      if (carried) bag->MoveAllFrom(*carried);
      game.window.FillFromTemplate(area, placed, *bag);
    }
  }
  // The kill's experience, unreported: the death is seen and heard, and a level it brings has its own box.
  if (!quiet && game.core && experience) game.core->player.ChangeXp(experience, false);
  game.RemoveObjectAt(area, placed);
  if (game.soundPick == this) game.soundPick = nullptr;
  area.RemoveMonster(placed.id);  // frees `placed` with its own container and effects
  game.labelRefresh = 1;
}

i32 SMonster::Talk(SStateGame& game, SMapArea& area, SMapMonster& placed, SMapObjectInst* object) const {
  if (IsPeople()) {
    const i32 own = (placed.flags >> 3) & 3;
    if (PositiveMod(game.facing, 360) / 90 == own) {
      // Its back is turned: a chance to steal.
      game.QueueTheftEvent(&area, &placed, 1);
      return 0;
    }
    game.FaceThePlayer(placed);
  }
  return i32(game.TalkToNpc(&placed, &area, object));
}
