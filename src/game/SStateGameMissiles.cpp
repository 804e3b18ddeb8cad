// Missiles in flight: the player's arrows, bolts and thrown weapons, and the missiles monsters shoot at
// the player. Each flies half a cell per step along a grid direction, shown as the sprite of the cell it
// is in, until a cell stops it: the player's strikes there, a monster's strikes the player or the monster
// it meets.
#include "core/SGameCore.h"
#include "game/SMonster.h"
#include "game/SStateGame.h"
#include "player/SPlayer.h"
#include "script/SScriptContext.h"
#include "world/SItemTable.h"
#include "world/SMapArea.h"

#include <new>

namespace {

constexpr u32 kStepInterval = 40;
constexpr i32 kHalfCell = 32768, kCell = 65536;
constexpr i32 kArrowOffset = 20384, kThrownOffset = 32767;  // the player's hand, beside the view's centre
constexpr i32 kSharedOffset = 10000, kSharedWideOffset = 16000;
constexpr i32 kDrift = 1000;
constexpr u16 kArrowSize = 4000, kThrownSize = 8000;
// Missiles fly a little below the eye.
constexpr u16 kMissileHeight = 30000;

}  // namespace

void SStateGame::ShowMissile(const SActionRecord& r, bool shown) {
  if (!scene.IsAllocated() || !SMapWindow::Inside(r.cellX, r.cellY)) return;
  u16* rc = scene.Cell(u32(r.cellX + SMapWindow::kSize * r.cellY));
  u16 image = 0;
  if (shown && r.firstPicture && r.firstPicture->frames.Count()) {
    image = u16(r.firstPicture->frames[0]);
    MakeResident(image);
  }
  rc[RenderCell::kSprite] = image;
  rc[RenderCell::kSpritePalette] = image ? r.palette : 0;
  rc[RenderCell::kSpriteX] = u16(r.posX > 65535 ? 65535 : r.posX < 0 ? 0 : r.posX);
  rc[RenderCell::kSpriteY] = u16(r.posY > 65535 ? 65535 : r.posY < 0 ? 0 : r.posY);
  rc[RenderCell::kSpriteHeight] = image ? kMissileHeight : 0;
}

void SStateGame::LaunchPlayerMissile(SActionRecord& swing) {
  if (!core) return;
  SItem* item = swing.thrown ? swing.item : swing.secondItem;
  if (!item) return;
  auto* r = new (std::nothrow) SActionRecord;
  if (!r) return;
  r->kind = kActionMissile;
  r->direction = swing.direction & 3;
  r->item = item;
  r->thrown = 1;  // a unit of the stack flies: the emptied stack goes when it lands
  r->bow = swing.bow;
  r->crossbow = swing.crossbow;
  r->cellX = window.playerX;
  r->cellY = window.playerY;
  // It leaves from the hand, beside the centre of the view.
  const i32 side = (r->direction + 1) & 3, offset = swing.thrown ? kThrownOffset : kArrowOffset;
  r->posX = kHalfCell + SMapWindow::kDx[side] * offset;
  r->posY = kHalfCell + SMapWindow::kDy[side] * offset;
  r->size = swing.thrown ? kThrownSize : kArrowSize;
  r->firstPicture = ItemHandPicture(item, r->palette);
  if (item->count) --item->count;
  if (!actions.Add(r)) delete r;
}

void SStateGame::LaunchMonsterMissile(i32 x, i32 y, i32 direction, SMapArea& area, SMapMonster& monster,
                                      SFpsItem* picture, u16 palette) {
  auto* r = new (std::nothrow) SActionRecord;
  if (!r) return;
  r->kind = kActionMissile;
  r->direction = direction & 3;
  r->area = &area;
  r->monsterId = monster.id;
  r->cellX = x;
  r->cellY = y;
  r->size = kArrowSize;
  r->firstPicture = picture;
  r->palette = palette;
  const SMapCell* cell = window.Cell(x, y);
  if (cell && cell->monsterId[0] && cell->monsterId[1]) {
    // Two in the cell: each shoots from its own side, with the picture for that side.
    const u32 slot = cell->monsterId[1] == monster.id ? 1 : 0;
    const i32 side = (r->direction + 1) & 3;
    const i32 offset =
        (monster.monster && monster.monster->widePlacement ? kSharedWideOffset : kSharedOffset) * (slot == 0 ? 1 : -1);
    r->posX = kHalfCell + SMapWindow::kDx[side] * offset;
    r->posY = kHalfCell + SMapWindow::kDy[side] * offset;
    const SMonsterBaseType* base = monster.monster ? monster.monster->baseType : nullptr;
    if (base && base->MissileName()) {
      SString name(base->MissileName());
      name.Append(slot == 0 ? "left" : "right");
      if (SFpsItem* own = FindHandPicture(name.CStr())) r->firstPicture = own;
    }
  }
  if (!actions.Add(r)) delete r;
}

bool SStateGame::StepMissile(SActionRecord& r, u32 now) {
  if (!r.Due(now, kStepInterval)) return false;
  const i32 d = r.direction & 3;
  ShowMissile(r, false);
  const i32 ax = r.cellX * kCell + r.posX + SMapWindow::kDx[d] * kHalfCell;
  const i32 ay = r.cellY * kCell + r.posY + SMapWindow::kDy[d] * kHalfCell;
  // Flying north or west it is in the cell ahead as soon as it reaches the border (at that cell's place
  // 65536), as it is flying south or east (at place 0): each way passes the middles, and drifts there.
  const i32 x = d == 3 ? (ax - 1) >> 16 : ax >> 16, y = d == 0 ? (ay - 1) >> 16 : ay >> 16;
  // Out of the window it flies on unseen.
  if (x < 0 || y < 0 || !SMapWindow::Inside(x, y)) return true;
  const bool entered = x != r.cellX || y != r.cellY;
  r.cellX = x;
  r.cellY = y;
  r.posX = ax - x * kCell;
  r.posY = ay - y * kCell;
  if (entered) {
    ++r.cells;
    SMapCell* cell = window.Cell(x, y);
    if (r.monsterId < 0) {
      i32 side = -1;
      if (IsMissileStopped(cell, x, y, d, side, false)) {
        StrikeAt(x, y, MissilePercent(), r);
        return true;
      }
    } else {
      SMapMonster* attacker = r.area ? r.area->FindMonsterById(u8(r.monsterId)) : nullptr;
      if (!attacker || !attacker->monster) return true;
      if (x == window.playerX && y == window.playerY) {
        if (core) core->player.TakeMonsterHit(r.area, attacker, &r, (d + 2) & 3, true);
        return true;
      }
      i32 side = -1;
      if (IsMissileStopped(cell, x, y, d, side, false)) {
        if (cell && (cell->monsterId[0] || cell->monsterId[1])) MonsterMissileHits(*r.area, *cell, *attacker, x, y);
        return true;
      }
    }
  } else if ((d & 1 ? r.posX : r.posY) == kHalfCell) {
    // Past the middle of a cell it drifts back toward the line it flies on.
    const i32 toward = (d + 3) & 3;
    r.posX += SMapWindow::kDx[toward] * kDrift;
    r.posY += SMapWindow::kDy[toward] * kDrift;
  }
  ShowMissile(r, true);
  return false;
}

void SStateGame::MonsterMissileHits(SMapArea& area, SMapCell& cell, SMapMonster& attacker, i32 x, i32 y) {
  if (!core || !attacker.monster) return;
  SMapArea* targetArea = window.BlockArea(x, y);
  SMapMonster* target = targetArea ? window.FindBlockMonsterById(x, y, u8(cell.monsterId[0])) : nullptr;
  if (!target || !target->monster || target->monster->IsPeople()) return;
  SScriptContext* context = core->scriptContext;
  if (context) {
    context->SetBlowWeapons(nullptr, nullptr);
    context->damage = attacker.monster->RollDamage(area, attacker, Random());
  }
  SMapObjectInst* object = target->objectId ? targetArea->FindObjectById(target->objectId) : nullptr;
  bool changed = false;
  target->monster->TakeBlow(*this, *targetArea, *target, object, x, y, changed);
  RemoveFightRecord(*target);
  if (target->hp < 1) {
    // Killed by another monster: no experience for the player.
    target->hp = 1;
    target->monster->Die(*this, *targetArea, *target, object, x, y, true, changed);
  }
  if (context) context->AddChangedObject(targetArea, x, y, -1, 1);
  RebuildChangedCells();
}
