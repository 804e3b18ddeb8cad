// The people's walks: after each player turn the people within 7 cells get an active record and decide to
// walk, stand or look around; every tick they slide about inside their cells and from cell to cell, face
// the player who stands next to them and stop by people who stand; by night they leave the streets.
#include "core/SGameCore.h"
#include "foundation/TimeUtil.h"
#include "game/SMonster.h"
#include "game/SStateGame.h"
#include "world/SMapArea.h"
#include "world/SMapObjectType.h"

#include <cstdlib>
#include <new>

namespace {

constexpr i32 kCell = 65536;
constexpr i32 kMainStep = 2048;

// The walkers' direction tables, eight entries so that a scan of four may start at any index 0..3:
// grid steps north, east, south, west, and the facing (0 north, 1 west, 2 south, 3 east) of each.
constexpr i32 kStepX[8] = {0, 1, 0, -1, 0, 1, 0, -1};
constexpr i32 kStepY[8] = {-1, 0, 1, 0, -1, 0, 1, 0};
constexpr u8 kFacing[8] = {0, 3, 2, 1, 0, 3, 2, 1};
// The facing of a step (dx, dy), at (dy + 1) * 3 + dx + 1.
constexpr u8 kStepFacing[9] = {0, 0, 0, 1, 0, 3, 2, 2, 2};

u8 FacingOfStep(i32 dx, i32 dy) { return kStepFacing[(dy + 1) * 3 + dx + 1]; }
u8 ShownFacing(const SMapMonster& m) { return (m.flags >> 3) & 3; }
void ShowFacing(SMapMonster& m, u8 facing) { m.flags = u8((m.flags & ~0x18) | ((facing & 3) << 3)); }

constexpr u8 kWindUp = 32, kStroke = 64, kRecoil = 128;

}  // namespace

// ---- the records

SActiveMonster* SStateGame::FindActiveMonster(const SMapMonster& monster) const {
  for (SActiveMonster* r : activeMonsters)
    if (r->monster == &monster) return r;
  return nullptr;
}

void SStateGame::RemoveActiveMonster(const SMapMonster& monster) {
  if (SActiveMonster* r = FindActiveMonster(monster)) {
    activeMonsters.Remove(r);
    delete r;
  }
}

void SStateGame::SaveMonsterPositions() {
  for (SActiveMonster* r : activeMonsters) {
    const u16* draw = scene.Monster(r->monster->displayIndex);
    if (!draw) continue;
    SSavedMonsterPos* saved = nullptr;
    for (SSavedMonsterPos* s : savedPositions)
      if (s->monster == r->monster) saved = s;
    if (!saved) {
      saved = new (std::nothrow) SSavedMonsterPos;
      if (!saved) continue;
      if (!savedPositions.Add(saved)) {
        delete saved;
        continue;
      }
      saved->monster = r->monster;
    }
    saved->x = draw[MonsterDraw::kX];
    saved->y = draw[MonsterDraw::kY];
    saved->frame = draw[MonsterDraw::kFrame];
  }
}

void SStateGame::RestoreMonsterPosition(SActiveMonster& r, i32 x, i32 y) {
  for (const SSavedMonsterPos* s : savedPositions) {
    if (s->monster != r.monster) continue;
    if (u16* draw = scene.Monster(r.monster->displayIndex)) {
      draw[MonsterDraw::kX] = s->x;
      draw[MonsterDraw::kY] = s->y;
      draw[MonsterDraw::kFrame] = s->frame;
    }
    break;
  }
  const i32 dx = x - r.cellX, dy = y - r.cellY;
  r.originX = u8(r.originX + dx);
  r.originY = u8(r.originY + dy);
  r.destX = u8(r.destX + dx);
  r.destY = u8(r.destY + dy);
  r.cellX = i8(x);
  r.cellY = i8(y);
}

// ---- the pass after a player turn

void SStateGame::RunMonsters() {
  if (!window.CurrentArea()) return;
  for (SActiveMonster* r : activeMonsters) r->seen = 0;
  SRandom& random = Random();
  const i32 px = window.playerX, py = window.playerY;
  window.VisitMonsters(px, py, 7, [&](SMapArea& area, SMapMonster& m, i32 x, i32 y, u32) {
    if (!m.monster->IsPeople() || !IsMonsterAwake(area, m)) return;
    if (std::abs(x - px) <= 2 && std::abs(y - py) <= 2 && (!soundPick || random.Next(100) > 50)) {
      soundPick = m.monster;
      soundPickX = x;
      soundPickY = y;
    }
    if (SActiveMonster* r = FindActiveMonster(m)) {
      r->seen = 1;
      // Found again after the window moved, or placed anew: its walk goes on from the cell it is in.
      RestoreMonsterPosition(*r, x, y);
      return;
    }
    auto* r = new (std::nothrow) SActiveMonster;
    if (!r) return;
    r->monster = &m;
    r->area = &area;
    r->originX = r->destX = u8(x);
    r->originY = r->destY = u8(y);
    r->cellX = i8(x);
    r->cellY = i8(y);
    r->seen = 1;
    if (!activeMonsters.Add(r)) delete r;
  });
  for (i32 i = i32(activeMonsters.Count()) - 1; i >= 0; --i)
    if (!activeMonsters.At(i)->seen) delete activeMonsters.RemoveAt(i);
  savedPositions.DeleteAll();
  for (SActiveMonster* r : activeMonsters)
    if (r->action == SActiveMonster::kUndecided) {
      DecideMonsterAction(*r);
      r->seen = 1;
    }
  for (SActiveMonster* r : activeMonsters)
    if (r->seen) MoveMonster(*r);
}

void SStateGame::RunMonsterMoves() {
  for (SActiveMonster* r : activeMonsters) {
    SMapMonster& m = *r->monster;
    if (r->action == SActiveMonster::kUndecided) {
      DecideMonsterAction(*r);
      MoveMonster(*r);
    }
    const u8 before = ShownFacing(m);
    if (r->turnTo != -1) {
      ShowFacing(m, u8(r->turnTo));
      if (r->turnTicks <= 1) r->turnTo = -1;
      if (r->turnTicks) --r->turnTicks;
    } else {
      ShowFacing(m, r->facing);
    }
    // A person that turned shows its new side at once.
    if (ShownFacing(m) != before)
      if (u16* draw = scene.Monster(m.displayIndex)) {
        m.monster->StepAnimation(m, draw, facing);
        MakeResident(draw[MonsterDraw::kPicture]);
      }
    switch (r->action) {
      case SActiveMonster::kWalk: AdvanceMonster(*r); break;
      case SActiveMonster::kStand:
        r->budget -= 409;
        if (r->budget < 1) r->action = SActiveMonster::kUndecided;
        break;
      case SActiveMonster::kLookAround:
        r->action = SActiveMonster::kStand;
        r->budget -= 2048;
        break;
      default: break;
    }
  }
}

// ---- decisions and moves

void SStateGame::ChooseTurn(SActiveMonster& r) {
  const u8 shown = ShownFacing(*r.monster);
  if (PositiveMod(r.facing - shown, 4) != 2) {
    r.turnTo = -1;
    return;
  }
  // Half way round: a quarter turn shows first, to one side or the other.
  r.turnTicks = 3;
  r.turnTo = i8(Random().Next(100) < 50 ? (shown + 1) % 4 : (shown + 3) % 4);
}

void SStateGame::FaceThePlayer(SMapMonster& monster) {
  SActiveMonster* r = FindActiveMonster(monster);
  if (!r) return;
  r->destX = u8(r->cellX);
  r->destY = u8(r->cellY);
  r->budget = Random().Next(32768) + 32768;
  r->action = SActiveMonster::kStand;
  r->facing = u8((PositiveMod(facing, 360) / 90 + 2) % 4);
  ChooseTurn(*r);
  monster.poisonShown = 0;
  monster.flags = u8(monster.flags & ~(kWindUp | kStroke));
}

void SStateGame::DecideMonsterAction(SActiveMonster& r) {
  SMapMonster& m = *r.monster;
  if (m.monster->StandsStill()) {
    r.action = SActiveMonster::kStand;
    r.facing = ShownFacing(m);
    return;
  }
  const i32 x = r.cellX, y = r.cellY, px = window.playerX, py = window.playerY;
  const bool adjacent = (x == px || y == py) && std::abs(x - px) + std::abs(y - py) == 1;
  const i32 roll = Random().Next(100);
  if (adjacent) {
    if (roll < 30) {
      FaceThePlayer(m);
      r.action = SActiveMonster::kStand;
    } else {
      r.action = roll < 50 ? SActiveMonster::kLookAround : SActiveMonster::kWalk;
    }
    return;
  }
  if (roll < 20) {
    r.action = SActiveMonster::kStand;
    return;
  }
  // People stop by people, the more readily by one who stands.
  const i32 first = ShownFacing(m);
  for (i32 k = first; k < first + 4; ++k) {
    const i32 nx = x + kStepX[k], ny = y + kStepY[k];
    const SMapCell* c = window.Cell(nx, ny);
    SMapArea* area = window.BlockArea(nx, ny);
    const SMapMonster* other = c && area && c->monsterId[0] ? area->FindMonsterById(u8(c->monsterId[0])) : nullptr;
    const SActiveMonster* o = other ? FindActiveMonster(*other) : nullptr;
    if (!o || !((o->action == SActiveMonster::kStand && roll < 80) || roll < 60)) continue;
    r.facing = kFacing[k];
    ChooseTurn(r);
    r.action = SActiveMonster::kStand;
    return;
  }
  r.action = SActiveMonster::kWalk;
}

bool SStateGame::IsCellTaken(i32 x, i32 y) const {
  if (!SMapWindow::Inside(x, y)) return true;
  const SMapCell& c = window.cells[x + SMapWindow::kSize * y];
  if (c.monsterId[0] || c.monsterId[1] || (x == window.playerX && y == window.playerY)) return true;
  for (const SFightRecord* r : fightList)
    if (r->Moves() && r->targetX == x && r->targetY == y) return true;
  return false;
}

void SStateGame::MoveMonster(SActiveMonster& r) {
  SMapMonster& m = *r.monster;
  SRandom& random = Random();
  u16* draw = scene.Monster(m.displayIndex);
  switch (r.action) {
    case SActiveMonster::kWalk: break;
    case SActiveMonster::kStand:
      r.destX = u8(r.cellX);
      r.destY = u8(r.cellY);
      r.budget = random.Next(16384) + 16384;
      if (draw) draw[MonsterDraw::kFrame] = u16((draw[MonsterDraw::kFrame] & ~0x0700) | (1 << 8));
      m.poisonShown = 0;
      m.flags = u8(m.flags & ~(kWindUp | kStroke | kRecoil));
      r.stepX = r.stepY = 0;
      return;
    case SActiveMonster::kLookAround:
      r.facing = u8(random.Next(4));
      ChooseTurn(r);
      r.budget = random.Next(8192) + 8192;
      return;
    default: return;
  }
  // A walk: to a neighbour of the same area that lets the person in, or to a new point inside its cell.
  const i32 x = r.cellX, y = r.cellY;
  r.originX = u8(x);
  r.originY = u8(y);
  i32 dx = 0, dy = 0;
  const i32 k0 = random.Next(4);
  for (i32 k = k0; k < k0 + 4; ++k) {
    const i32 nx = x + kStepX[k], ny = y + kStepY[k];
    if ((nx == window.playerX && ny == window.playerY) || !SMapWindow::Inside(nx, ny)) continue;
    if (window.BlockArea(nx, ny) != window.BlockArea(x, y)) continue;
    if (window.IsMonsterBlocked(m, k & 3, nx, ny) || IsCellTaken(nx, ny)) continue;
    const SMapCell* c = window.Cell(nx, ny);
    if (c->centreType) {
      const SMapObjectInst* o = window.FindBlockObjectById(nx, ny, c->centreObjectId);
      if (!o || o->IsActive()) continue;
    }
    dx = kStepX[k];
    dy = kStepY[k];
    break;
  }
  const bool staying = !dx && !dy;
  if (!staying) {
    r.facing = FacingOfStep(dx, dy);
    ChooseTurn(r);
  }
  r.destX = u8(x + dx);
  r.destY = u8(y + dy);
  const i32 cx = draw ? draw[MonsterDraw::kX] : 32768, cy = draw ? draw[MonsterDraw::kY] : 32768;
  i32 u = random.Next(49152) + 8192, v = random.Next(49152) + 8192;
  // Inside its own cell the person goes neither to a point just beside it nor to the far corner.
  for (i32 tries = 0; staying && tries < 64; ++tries) {
    const i32 ax = std::abs(u - cx), ay = std::abs(v - cy);
    if (!((ax < 16384 && ay < 16384) || (ax > 32768 && ay > 32768))) break;
    u = random.Next(49152) + 8192;
    v = random.Next(49152) + 8192;
  }
  i32 moveX = dx * kCell - cx + u, moveY = dy * kCell - cy + v;
  if (!moveX) moveX = 1;
  if (!moveY) moveY = 1;
  const bool alongX = staying ? !(std::abs(moveX) < std::abs(moveY)) : dx != 0;
  const i32 main = alongX ? moveX : moveY, other = alongX ? moveY : moveX;
  const i32 mainStep = main < 0 ? -kMainStep : kMainStep;
  i32 ticks = main / mainStep;
  if (ticks < 1) ticks = 1;
  const i32 otherStep = other / ticks;
  if (staying) r.facing = alongX ? FacingOfStep(mainStep < 0 ? -1 : 1, 0) : FacingOfStep(0, mainStep < 0 ? -1 : 1);
  r.stepX = i16(alongX ? mainStep : otherStep);
  r.stepY = i16(alongX ? otherStep : mainStep);
  r.budget = (std::abs(otherStep) + kMainStep) * ticks;
  m.flags = u8(m.flags | kWindUp | kStroke);
  m.poisonShown = u8(4 * ticks);
}

void SStateGame::AdvanceMonster(SActiveMonster& r) {
  SMapMonster& m = *r.monster;
  u16* draw = scene.Monster(m.displayIndex);
  if (!draw) {
    r.stepX = r.stepY = 0;
    r.action = SActiveMonster::kUndecided;
    return;
  }
  // The steps go with the walking frames: every fourth count of the countdown, and not while turning.
  if (r.turnTo != -1 || m.poisonShown % 4 != 0) return;
  i32 x = draw[MonsterDraw::kX] + r.stepX, y = draw[MonsterDraw::kY] + r.stepY;
  bool refused = false;
  if (x < 0 || x >= kCell) {
    const i32 dx = x < 0 ? -1 : 1;
    if (MoveMonsterToCell(r, r.cellX, r.cellY, dx, 0))
      x -= dx * kCell;
    else
      refused = true;
  }
  if (!refused && (y < 0 || y >= kCell)) {
    const i32 dy = y < 0 ? -1 : 1;
    if (MoveMonsterToCell(r, r.cellX, r.cellY, 0, dy))
      y -= dy * kCell;
    else
      refused = true;
  }
  if (refused) {
    r.stepX = r.stepY = 0;
    r.action = SActiveMonster::kUndecided;
    return;
  }
  draw[MonsterDraw::kX] = u16(x);
  draw[MonsterDraw::kY] = u16(y);
  r.budget -= std::abs(r.stepX) + std::abs(r.stepY);
  if (r.budget < 1) {
    r.stepX = r.stepY = 0;
    r.action = SActiveMonster::kUndecided;
  }
}

bool SStateGame::MoveMonsterToCell(SActiveMonster& r, i32 x, i32 y, i32 dx, i32 dy) {
  SMapMonster& m = *r.monster;
  const i32 nx = x + dx, ny = y + dy;
  const SMapCell* own = window.Cell(x, y);
  if (!SMapWindow::Inside(nx, ny) || IsCellTaken(nx, ny)) return false;
  // A record that lost its cell (the person was taken off the grid) walks nowhere.
  if (!own || (own->monsterId[0] != m.id && own->monsterId[1] != m.id)) return false;
  MoveMonsterCell(m, m.id, x, y, nx, ny);
  r.cellX = i8(nx);
  r.cellY = i8(ny);
  const i32 px = window.playerX, py = window.playerY;
  if (x == px || y == py || nx == px || ny == py) monstersChanged = 1;
  return true;
}

// ---- day and night

void SStateGame::RemoveDaytimeMonsters(bool clearLists) {
  for (i32 y = 0; y < SMapWindow::kSize && window.IsAllocated(); ++y)
    for (i32 x = 0; x < SMapWindow::kSize; ++x) {
      SMapCell& c = *window.Cell(x, y);
      SMapArea* area = window.BlockArea(x, y);
      for (u32 slot = 0; area && slot < 2;) {
        SMapMonster* m = SMapWindow::FindAreaMonster(*area, u8(c.monsterId[slot]));
        if (m && m->monster->IsPeople() && IsMonsterAwake(*area, *m))
          UnlinkMonsterFromCell(x, y, m->id);  // the second slot moves up: look at this slot again
        else
          ++slot;
      }
    }
  if (clearLists) {
    activeMonsters.DeleteAll();
    savedPositions.DeleteAll();
  }
}

void SStateGame::PlaceDaytimeMonsters() {
  SMapArea* map = window.CurrentArea();
  if (!map) return;
  if (!window.IsJoined()) {
    map->VisitKind4MonstersInRect(window, 0, 0, map->width, map->height);
    return;
  }
  for (const SMapWindow::SSlot& slot : window.slots)
    if (slot.area) slot.area->VisitKind4MonstersInRect(window, slot.sourceX, slot.sourceY, slot.width, slot.height);
}

void SStateGame::QueueTheftEvent(SMapArea* area, SMapMonster* monster, u32 out) {
  if (SGameEvent* e = AddEvent(kEventTheft)) {
    e->area = area;
    e->monster = monster;
    e->numberA = out;
  }
}
