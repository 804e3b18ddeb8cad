// The cells a missile or a touch meets, and the line a missile flies: monsters deciding how to fight
// trace it to the player, and the fights' missiles fly it.
#include "game/SStateGame.h"
#include "world/SMapArea.h"
#include "world/SMapObjectType.h"

bool SStateGame::IsMissileStopped(const SMapCell* cell, i32 x, i32 y, i32 direction, i32& side, bool melee) {
  side = -1;
  if (!cell) return false;
  if (cell->monsterId[0] || cell->monsterId[1]) return true;
  if (!cell->centreType) return false;
  SMapObjectInst* centre = cell->centreObjectId ? window.FindBlockObjectById(x, y, cell->centreObjectId) : nullptr;
  if (centre && !centre->IsActive()) return false;
  switch (SMapWindow::TypeNumber(cell->centreType)) {
    case 5:
      // A wall; the object on the side the missile meets is reported when it is there.
      FindDoorSide(cell, x, y, direction, side);
      return true;
    case 7:
    case 8:
    case 20:
    case 22:
    case 26:
    case 38: return melee || cell->centreType->IsBlocking(centre);
    case 19:
    case 25:
    case 32:
    case 33: return true;
    case 35: return centre && !(centre->state & 2);  // a web until it is torn
    default: return melee;
  }
}

bool SStateGame::FindDoorSide(const SMapCell* cell, i32 x, i32 y, i32 direction, i32& side) {
  side = -1;
  if (!cell || !cell->centreType || SMapWindow::TypeNumber(cell->centreType) != 5) return true;
  const u32 s = u32(direction + 2) & 3;
  if (!cell->sideType[s]) return true;
  // A switched-off object on that side neither takes what arrives nor lets it through to the wall.
  const u8 id = cell->sideObjectId[s];
  const SMapObjectInst* o = id ? window.FindBlockObjectById(x, y, id) : nullptr;
  if (id && !(o && o->IsActive())) return false;
  side = i32(s);
  return true;
}

bool SStateGame::TraceLine(i32 x, i32 y, i32 direction, i32& outX, i32& outY, bool stopAtPlayer) {
  outX = x;
  outY = y;
  const i32 d = direction & 3;
  for (i32 i = 0; i < 7; ++i) {
    x += SMapWindow::kDx[d];
    y += SMapWindow::kDy[d];
    if (!SMapWindow::Inside(x, y)) return false;
    outX = x;
    outY = y;
    if (stopAtPlayer && x == window.playerX && y == window.playerY) return true;
    i32 side = -1;
    if (IsMissileStopped(window.Cell(x, y), x, y, d, side, false)) return !stopAtPlayer;
  }
  return false;
}
