// The script functions of the monster rows: queries and changes of a placed monster and its template, and
// of the map object the monster is bound to.
#include "core/SGameCore.h"
#include "game/SMonster.h"
#include "game/SStateGame.h"
#include "script/SScriptValue.h"
#include "world/SItemTable.h"
#include "world/SMapArea.h"

#include <algorithm>

namespace {

constexpr u8 kVisible = 1, kDead = 2;

SStateGame* GameOf(SMapArea* area) {
  auto* window = dynamic_cast<SMapWindow*>(area ? area->Game() : nullptr);
  return window ? window->owner : nullptr;
}

// Whether the window shows the monster in a cell of its own.
bool IsInCell(SStateGame& game, SMapArea& area, const SMapMonster& placed) {
  i32 x = 0, y = 0;
  if (!game.window.LocateMonster(area, placed, x, y)) return false;
  const SMapCell* cell = game.window.Cell(x, y);
  return cell && (cell->monsterId[0] == placed.id || cell->monsterId[1] == placed.id);
}

bool HasAnyDisease(const SMapArea& area, u8 id) {
  const SMonsterEffectHolder* h = area.FindEffectHolder(id);
  if (!h) return false;
  for (const SMonsterEffect* e : h->effects)
    if (e->kind == SMonsterEffect::kDisease) return true;
  return false;
}

}  // namespace

u32 SMonster::CallScriptFunction(SMapObjectInst* object, SMapArea* area, SMapMonster* placed, i32 /*x*/, i32 /*y*/,
                                 u32 id, SScriptValue*& result, const SScriptValue& first,
                                 const SScriptValue& /*second*/, const SScriptValue& /*third*/, bool& changed) {
  result = nullptr;
  changed = false;
  SStateGame* game = GameOf(area);
  // A placed monster is only reached through its area.
  if (!area) placed = nullptr;
  auto answer = [&result](i32 v) {
    result = SScriptValue::MakeInt(v);
    return 0u;
  };
  auto hp = [this, placed](i64 v) { placed->hp = i16(std::clamp<i64>(v, 0, maxHp)); };
  switch (id) {
    case 109: return answer(object && (object->state & kVisible) ? 1 : 0);
    case 110:  // setvisible
      if (object && (object->state & kVisible)) return 0;
      if (object) object->state |= kVisible;
      if (placed && game && !IsInCell(*game, *area, *placed)) {
        placed->displayIndex = game->window.NextMonsterNumber();
        game->PlaceObjectInArea(*area, *placed, placed->cellX, placed->cellY);
        game->labelRefresh = 1;
        game->monstersChanged = 1;
      }
      changed = true;
      return 0;
    case 111:  // sethidden
      if (object && !(object->state & kVisible)) return 0;
      if (object) object->state = u8(object->state & ~kVisible);
      if (placed && game) game->RemoveObjectAt(*area, *placed);
      if (game) game->monstersChanged = 1;
      changed = true;
      return 0;
    case 115: return answer(object ? object->state : 0);
    case 116:
      if (object) object->state = u8(first.Int());
      return 0;
    case 126: return answer(object && (object->state & kDead) ? 1 : 0);
    case 141: {
      const SItemType* type = game && game->core ? game->core->world.items.FindType(first.Text()) : nullptr;
      return answer(placed && type ? i32(CountItemsOfType(*area, *placed, type)) : 0);
    }
    case 156: return answer(KnowsSpell(first.Text()) ? 1 : 0);
    case 166: return answer(placed ? placed->cellX : 0);
    case 167: return answer(placed ? placed->cellY : 0);
    case 173:
      if (placed) area->InfectMonster(placed->id, first.Text());
      return 0;
    case 174:
      if (placed) area->CureMonsterDisease(placed->id, first.Text());
      return 0;
    case 175:
      if (!placed) return answer(0);
      // Without a name any disease counts.
      return answer(*first.Text() ? area->MonsterHasDisease(placed->id, first.Text())
                                  : HasAnyDisease(*area, placed->id));
    case 177: return answer(placed ? placed->hp : 0);
    case 178:
      if (placed) hp(first.Int());
      return 0;
    case 179:
      if (placed) hp(i64(placed->hp) + first.Int());
      return 0;
    case 180:
      if (placed) hp(maxHp);
      return 0;
    case 181: return answer(maxHp);
    case 194: return answer(IsUndead() ? 1 : 0);
    case 210: return answer(level);
    case 213: return answer(armourClass);
    case 214: return answer(placed ? (area->IsAggressive(*placed) ? 1 : 0) : 1);
    case 215:
    case 216:
      if (!placed) return 0;
      if (id == 215)
        SMapArea::MakeAggressive(*placed);
      else
        SMapArea::SetPlain(*placed);
      if (game) game->labelRefresh = 1;
      return 0;
    case 239: return answer(placed && area->IsMonsterParalysed(placed->id) ? 1 : 0);
    case 240: return answer(placed && area->GetMonsterPoison(placed->id) ? 1 : 0);
    case 241: return answer(placed && area->IsMonsterCursed(placed->id) ? 1 : 0);
    default: return 0;
  }
}
