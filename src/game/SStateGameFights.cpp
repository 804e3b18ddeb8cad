// Fight turns of the hostile monsters near the player: one record per monster, its decision (stay,
// approach, line up, flee or act), the cell it claims, and frame by frame its slide from cell to cell and
// its act; the grid scans other parts ask for (enemies near, witnesses, busy monsters, calming) and the
// danger countdown that keeps the fight music.
#include "core/SGameCore.h"
#include "foundation/TimeUtil.h"
#include "game/SMonster.h"
#include "game/SStateGame.h"
#include "player/SPlayer.h"
#include "world/SItemTable.h"
#include "world/SMapArea.h"
#include "world/SSpell.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr i32 kSize = SMapWindow::kSize;
constexpr i32 kCell = 65536;

// The direction o of a monster seen from the centre, by the signs of its offset: (dy + 1) * 3 + (dx + 1);
// north 0, then clockwise (the centre's own cell gives 0).
constexpr u8 kDirectionOf[9] = {7, 0, 1, 6, 0, 2, 5, 4, 3};

struct Step {
  i8 dx, dy;
};
constexpr Step N{0, -1}, E{1, 0}, S{0, 1}, W{-1, 0}, Z{0, 0};
// The three steps a monster tries from direction o with axis preference p, in order; Z stays.
constexpr Step kCandidates[8][2][3] = {
    {{S, W, E}, {S, E, W}}, {{W, S, Z}, {S, W, Z}}, {{W, N, S}, {W, S, N}}, {{W, N, Z}, {N, W, Z}},
    {{N, W, E}, {N, E, W}}, {{E, N, Z}, {N, E, Z}}, {{E, N, S}, {E, S, N}}, {{E, S, Z}, {S, E, Z}},
};

i32 Sign(i32 v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }
// The grid direction of a one-cell step: 0 north, 1 east, 2 south, 3 west.
i32 GridDirection(i32 dx, i32 dy) { return dy < 0 ? 0 : dx > 0 ? 1 : dy > 0 ? 2 : 3; }

// Sub-cell places of monsters by view direction index: alone, then first and second of two, wide and
// narrow.
constexpr u16 kAlone[4][2] = {{32768, 65000}, {65000, 32768}, {32768, 535}, {535, 32768}};
constexpr u16 kFirstWide[4][2] = {{14480, 65000}, {65000, 51056}, {51056, 535}, {535, 14480}};
constexpr u16 kSecondWide[4][2] = {{51056, 64000}, {64000, 14480}, {14480, 1535}, {1535, 51056}};
constexpr u16 kFirstNarrow[4][2] = {{20480, 65000}, {65000, 45056}, {45056, 535}, {535, 20480}};
constexpr u16 kSecondNarrow[4][2] = {{45056, 64000}, {64000, 20480}, {20480, 1535}, {1535, 45056}};

}  // namespace

// ---- who takes part

bool SStateGame::IsMonsterAwake(SMapArea& area, const SMapMonster& monster) const {
  const SMapObjectInst* bound = monster.objectId ? area.FindObjectById(monster.objectId) : nullptr;
  return !bound || bound->IsActive();
}

bool SStateGame::IsHostile(SMapArea& area, const SMapMonster& monster) const { return area.IsAggressive(monster); }

void SStateGame::SubCellPosition(i32 x, i32 y, u32 slot, bool sharing, bool wide, u16& px, u16& py) const {
  const i32 ox = window.playerX, oy = window.playerY;
  if (!stepping && x == ox && y == oy) {
    px = py = 32768;
    return;
  }
  i32 index;
  if (!stepping && x == ox)
    index = y < oy ? 0 : 2;
  else if (!stepping && y == oy)
    index = x < ox ? 1 : 3;
  else
    index = (PositiveMod(facing, 360) + 45) % 360 / 90;
  const u16(*table)[2] = slot == 1 ? (wide ? kSecondWide : kSecondNarrow)
                         : sharing ? (wide ? kFirstWide : kFirstNarrow)
                                   : kAlone;
  px = table[index][0];
  py = table[index][1];
}

// ---- the list

SFightRecord* SStateGame::FindFightRecord(const SMapMonster& monster) const {
  for (SFightRecord* r : fightList)
    if (r->monster == &monster) return r;
  return nullptr;
}

SFightRecord* SStateGame::FindFightRecordById(const SMapArea* area, u8 id) const {
  for (SFightRecord* r : fightList)
    if (r->area == area && r->monster && r->monster->id == id) return r;
  return nullptr;
}

i32 SStateGame::RemoveFromFightList(const SMapMonster& monster) {
  i32 x = 0, y = 0, side = -1;
  SMapArea* area = nullptr;
  return TakeFightRecord(monster, x, y, side, area) ? side : -1;
}

bool SStateGame::TakeFightRecord(const SMapMonster& monster, i32& x, i32& y, i32& side, SMapArea*& area) {
  SFightRecord* r = FindFightRecord(monster);
  if (!r) return false;
  x = r->currentX;
  y = r->currentY;
  side = r->side;
  area = r->area;
  fightList.Remove(r);
  delete r;
  // The last act (or death) of a turn ends it, as the last move's end does.
  if (fightList.IsEmpty()) EndFightTurn();
  return true;
}

void SStateGame::EndFightTurn() {
  standby = 0;
  RebuildChangedCells();
  BuildMonsterSprites();
  UpdateFacedLabel();
}

void SStateGame::RemoveFightRecord(const SMapMonster& monster) { RemoveFromFightList(monster); }

void SStateGame::ClearFightList() {
  fightList.DeleteAll();
  soundPick = nullptr;
}

// ---- a turn

namespace {

// How the others stand in a cell a record is to hold: those present that stay (not this monster, and not
// a mover heading elsewhere) and the records heading there; `claimed` gets the slots they hold.
u32 CountOccupants(const SStateGame& game, const SFightRecord& record, i32 x, i32 y, bool claimed[2]) {
  claimed[0] = claimed[1] = false;
  const SMapCell* c = SMapWindow::Inside(x, y) ? &game.window.cells[x + kSize * y] : nullptr;
  SMapArea* area = game.window.BlockArea(x, y);
  if (!c || !area) return 2;
  u32 count = 0;
  for (u32 s = 0; s < 2; ++s) {
    const u8 id = u8(c->monsterId[s]);
    if (!id) continue;
    const SMapMonster* m = area->FindMonsterById(id);
    if (m == record.monster) continue;
    const SFightRecord* other = m ? game.FindFightRecord(*m) : nullptr;
    if (other && other->Moves() && (other->targetX != x || other->targetY != y)) continue;
    ++count;
    claimed[s] = true;
  }
  for (const SFightRecord* r : game.fightList) {
    if (r == &record || (r->currentX == x && r->currentY == y)) continue;
    if (r->targetX != x || r->targetY != y) continue;
    ++count;
    claimed[r->targetSlot & 1] = true;
  }
  return count;
}

}  // namespace

void SStateGame::ScanFightRange(bool check, i32 cx, i32 cy) {
  if (actions.Count() || !fightList.IsEmpty()) {
    if (!standby) fightFlag = 1;
    return;
  }
  if (!check) {
    if (IsMonsterBusyNear()) {
      if (!standby) fightFlag = 1;
      return;
    }
    // The turn of this step already ran with the list its check pass kept.
    if (standby) {
      standby = 0;
      fightFlag = 0;
      return;
    }
    cx = window.playerX;
    cy = window.playerY;
  }
  soundPick = nullptr;
  fightFlag = 0;
  if (!window.CurrentArea()) return;

  // First-slot monsters at random places of one list, second-slot ones of another; the first list leads.
  SPtrArray<SFightRecord> lists[2] = {SPtrArray<SFightRecord>(false, 4), SPtrArray<SFightRecord>(false, 4)};
  SRandom& random = Random();
  window.VisitMonsters(cx, cy, 7, [&](SMapArea& area, SMapMonster& m, i32 x, i32 y, u32 slot) {
    if (m.monster->IsPeople() || !IsMonsterAwake(area, m)) return;
    auto* r = new (std::nothrow) SFightRecord;
    if (!r) return;
    r->monster = &m;
    r->area = &area;
    r->slot = u8(slot);
    r->targetSlot = u8(slot);
    r->startX = r->currentX = r->targetX = i8(x);
    r->startY = r->currentY = r->targetY = i8(y);
    r->side = u8(x < cx ? 3 : x > cx ? 1 : y < cy ? 0 : 2);
    SPtrArray<SFightRecord>& list = lists[slot & 1];
    if (!list.InsertAt(r, random.Next(list.Count() + 1))) delete r;
  });
  for (SPtrArray<SFightRecord>& list : lists)
    for (SFightRecord* r : list)
      if (!fightList.Add(r)) delete r;

  for (SFightRecord* r : fightList) DecideFightKind(*r, cx, cy);

  if (check) {
    bool kept = false;
    for (const SFightRecord* r : fightList)
      kept = kept || r->Acts() ||
             (std::abs(r->currentX - window.playerX) <= 1 && std::abs(r->currentY - window.playerY) <= 1);
    if (!kept) {
      soundPick = nullptr;
      fightList.DeleteAll();
      return;
    }
    // The turn runs with the player's step: the scan at its end has nothing to start.
    standby = 1;
  } else {
    standby = 0;
    UpdateDanger();
    SelectMusic();
  }
  for (SFightRecord* r : fightList)
    if (r->Moves()) ChooseFightTarget(*r, cx, cy);
  for (SFightRecord* r : fightList) StartFightMove(*r);
}

void SStateGame::DecideFightKind(SFightRecord& r, i32 cx, i32 cy) {
  SMapMonster& m = *r.monster;
  const SMonster& t = *m.monster;
  SMapArea& area = *r.area;
  const u8 b = t.behaviour;
  const i32 mx = r.currentX, my = r.currentY;
  if (area.IsMonsterParalysed(m.id) || t.IsPeople() || !IsHostile(area, m)) {
    r.kind = kFightStay;
    return;
  }
  SRandom& random = Random();
  const i32 health = i32(area.GetHealthPercent(m));
  const bool inLine = mx == cx || my == cy;
  if (inLine && std::abs(mx - cx) + std::abs(my - cy) == 1) {
    if (b == 2 || b == 3) {
      const bool stand = random.Next(100) > 29 && (health > 29 || random.Next(100) > 39);
      r.kind = !stand ? kFightFlee : b == 3 ? kFightCast : kFightAct;
    } else {
      r.kind = health > 29 || random.Next(100) > 39 ? kFightAct : kFightFlee;
    }
    return;
  }
  i32 ox = 0, oy = 0;
  if (inLine) {
    const i32 direction = mx == cx ? (cy < my ? 0 : 2) : (cx < mx ? 3 : 1);
    const bool clear = TraceLine(mx, my, direction, ox, oy, true);
    r.kind = clear && b == 2 ? kFightAct : clear && (b == 3 || b == 4) ? kFightCast : kFightLineUp;
    return;
  }
  if ((b == 3 || b == 4) && core && t.HasAreaSpell(core->world.rules.spells)) {
    i32 direction = -1;
    if (std::abs(mx - cx) == 1)
      direction = cy < my ? 0 : 2;
    else if (std::abs(my - cy) == 1)
      direction = cx < mx ? 3 : 1;
    if (direction >= 0 && TraceLine(mx, my, direction, ox, oy, false) && (ox == cx || oy == cy)) {
      r.kind = kFightLine;
      r.side = u8((direction + 2) % 4);
      r.lineFlag = 1;
      return;
    }
  }
  r.kind = b == 2 || b == 3 || b == 4 ? kFightLineUp : kFightApproach;
}

bool SStateGame::ClaimFightCell(const SFightRecord& r, i32 x, i32 y, u8& slot, bool& sharing) const {
  bool claimed[2];
  const u32 count = CountOccupants(*this, r, x, y, claimed);
  if (count >= 2) return false;
  slot = claimed[0] ? 1 : 0;
  sharing = count == 1;
  return true;
}

void SStateGame::ChooseFightTarget(SFightRecord& r, i32 cx, i32 cy) {
  SRandom& random = Random();
  const i32 mx = r.currentX, my = r.currentY;
  const i32 a = std::abs(cx - mx), d = std::abs(cy - my);
  i32 p;
  if (a && d && a != d)
    p = (r.kind == kFightLineUp) == (d < a) ? 1 : 0;
  else
    p = random.Next(100) / 50;
  i32 o = kDirectionOf[(Sign(my - cy) + 1) * 3 + Sign(mx - cx) + 1];
  if (r.kind == kFightFlee) o = (o + 3 + random.Next(3)) % 8;
  for (const Step& step : kCandidates[o][p]) {
    if (!step.dx && !step.dy) break;
    const i32 tx = mx + step.dx, ty = my + step.dy;
    if (window.IsMonsterBlocked(*r.monster, GridDirection(step.dx, step.dy), tx, ty)) continue;
    u8 slot = 0;
    bool sharing = false;
    if (!ClaimFightCell(r, tx, ty, slot, sharing)) continue;
    r.targetX = i8(tx);
    r.targetY = i8(ty);
    r.targetSlot = slot;
    r.stepX = step.dx;
    r.stepY = step.dy;
    return;
  }
  r.kind = kFightStay;
}

void SStateGame::StartFightMove(SFightRecord& r) {
  SMapMonster& m = *r.monster;
  u16* draw = scene.Monster(m.displayIndex);
  const i32 x = draw ? draw[MonsterDraw::kX] : 32768, y = draw ? draw[MonsterDraw::kY] : 32768;
  bool claimed[2];
  const bool sharing = CountOccupants(*this, r, r.targetX, r.targetY, claimed) >= 1;
  u16 tx = 32768, ty = 32768;
  SubCellPosition(r.targetX, r.targetY, r.targetSlot, sharing, m.monster->widePlacement != 0, tx, ty);
  const i32 frames = largeScreen ? 4 : 8;
  r.velocityX = i16((r.stepX * kCell - x + tx) / frames);
  r.velocityY = i16((r.stepY * kCell - y + ty) / frames);
  r.remaining = (std::abs(r.velocityX) + std::abs(r.velocityY)) * frames;
  if (r.Moves()) {
    m.flags = u8((m.flags & 31) | 32 | 64);
    m.poisonShown = 8;
  }
}

// ---- frame by frame

void SStateGame::UnlinkMonsterFromCell(i32 x, i32 y, u8 id) {
  SMapCell* c = window.Cell(x, y);
  if (!c || !id) return;
  u16* rc = scene.IsAllocated() ? scene.Cell(u32(x + kSize * y)) : nullptr;
  if (c->monsterId[0] == id) {
    c->monsterId[0] = c->monsterId[1];
    c->monsterId[1] = 0;
    if (rc) {
      rc[RenderCell::kMonster1] = rc[RenderCell::kMonster2];
      rc[RenderCell::kMonster2] = 0;
    }
  } else if (c->monsterId[1] == id) {
    c->monsterId[1] = 0;
    if (rc) rc[RenderCell::kMonster2] = 0;
  }
}

bool SStateGame::LinkMonsterToCell(i32 x, i32 y, u8 id, u16 number) {
  SMapCell* c = window.Cell(x, y);
  if (!c || !id) return false;
  const u32 slot = c->monsterId[0] == 0 ? 0 : c->monsterId[1] == 0 ? 1 : 2;
  if (slot == 2) return false;
  c->monsterId[slot] = id;
  if (scene.IsAllocated()) scene.Cell(u32(x + kSize * y))[RenderCell::kMonster1 + slot] = number;
  return true;
}

void SStateGame::MoveMonsterCell(SMapMonster& m, u8 oldId, i32 x0, i32 y0, i32 x1, i32 y1) {
  UnlinkMonsterFromCell(x0, y0, oldId);
  LinkMonsterToCell(x1, y1, m.id, m.displayIndex);
  SMapArea* area = nullptr;
  i32 ax = 0, ay = 0;
  if (window.AreaPosition(x1, y1, area, ax, ay)) {
    m.cellX = u8(ax);
    m.cellY = u8(ay);
  }
}

bool SStateGame::RelinkFightMonster(SFightRecord& r, i32 dx, i32 dy) {
  SMapMonster& m = *r.monster;
  const i32 x0 = r.currentX, y0 = r.currentY, x1 = x0 + dx, y1 = y0 + dy;
  SMapCell* target = window.Cell(x1, y1);
  SMapArea* to = window.BlockArea(x1, y1);
  if (!target || !to || (target->monsterId[0] && target->monsterId[1])) return false;
  // A monster bound to an object keeps to its block's area.
  if (to != r.area && m.objectId) return false;
  const u8 oldId = m.id;
  // Into another area under a free id of that area; a full area cannot take it.
  if (to != r.area && !r.area->MoveMonsterTo(m, *to)) return false;
  MoveMonsterCell(m, oldId, x0, y0, x1, y1);
  r.area = to;
  r.currentX = i8(x1);
  r.currentY = i8(y1);
  return true;
}

bool SStateGame::StepFightMove(SFightRecord& r) {
  SMapMonster& m = *r.monster;
  u16* draw = scene.Monster(m.displayIndex);
  i32 x = (draw ? draw[MonsterDraw::kX] : 32768) + r.velocityX;
  i32 y = (draw ? draw[MonsterDraw::kY] : 32768) + r.velocityY;
  if (x < 0 || x >= kCell) {
    const i32 dx = x < 0 ? -1 : 1;
    if (!RelinkFightMonster(r, dx, 0)) return true;
    x -= dx * kCell;
  }
  if (y < 0 || y >= kCell) {
    const i32 dy = y < 0 ? -1 : 1;
    if (!RelinkFightMonster(r, 0, dy)) return true;
    y -= dy * kCell;
  }
  r.remaining -= std::abs(r.velocityX) + std::abs(r.velocityY);
  if (draw) {
    draw[MonsterDraw::kX] = u16(std::clamp(x, 0, kCell - 1));
    draw[MonsterDraw::kY] = u16(std::clamp(y, 0, kCell - 1));
  }
  if (r.remaining > 0) return false;
  r.velocityX = r.velocityY = 0;
  if (!r.Moves()) return false;
  m.poisonShown = 0;
  m.flags = u8(m.flags & 31);
  return true;
}

void SStateGame::UpdateMovingObjects() {
  // Two actions under way hold the monsters, unless one is a monster's blow.
  if (actions.Count() >= 2 && !FindAttackAction(-1)) return;
  SRandom& random = Random();
  const i32 px = window.playerX, py = window.playerY;
  for (i32 i = 0; i < i32(fightList.Count());) {
    SFightRecord& r = *fightList.At(i);
    SMapMonster& m = *r.monster;
    const SMonster& t = *m.monster;
    if (!soundPick || random.Next(100) < 49) {
      soundPick = &t;
      soundPickX = r.currentX;
      soundPickY = r.currentY;
    }
    if (r.Acts() && actCooldown == 0) {
      m.poisonShown = 8;
      m.flags = u8((m.flags & 31) | 32);
      t.PlayTypeSound1(*this, VolumeByDistance(r.currentX, r.currentY));
      if (r.kind == kFightAct && (r.currentX == px || r.currentY == py) && core) {
        // The blow on its way shows on the shield a player faces it with.
        SPlayer& player = core->player;
        const SItem* shield = player.Equipped(6);
        const u8 cls = shield && shield->type ? shield->type->itemClass : 0;
        if ((cls == 2 || cls == 3) && !FindAttackAction(-1) && !player.IsParalyzed() &&
            SMapWindow::DirectionOfFacing(facing) == r.side)
          StartMonsterAttack(m, r.side, t.behaviour == 1 ? 0 : std::abs(r.currentX - px) + std::abs(r.currentY - py));
      }
      r.kind = kFightActed;
      actCooldown = largeScreen ? 3 : 6;
    }
    bool finished = false;
    if (r.Moves())
      finished = StepFightMove(r);
    else if (r.kind == kFightStay)
      finished = true;
    else if (r.velocityX || r.velocityY)
      StepFightMove(r);
    if (finished) {
      delete fightList.RemoveAt(i);
      continue;
    }
    ++i;
  }
  if (actCooldown) --actCooldown;
  if (fightList.IsEmpty()) EndFightTurn();
}

// ---- danger and the grid scans

void SStateGame::UpdateDanger() {
  const i32 px = window.playerX, py = window.playerY;
  bool danger = false;
  window.VisitMonsters(px, py, 1, [&](SMapArea& area, SMapMonster& m, i32, i32, u32) {
    danger = danger || (IsMonsterAwake(area, m) && IsHostile(area, m));
  });
  for (const SFightRecord* r : fightList) {
    const bool pressing = r->kind == kFightAct || r->kind == kFightCast || r->Moves();
    danger = danger || (pressing && std::abs(r->currentX - px) <= 4 && std::abs(r->currentY - py) <= 4);
  }
  if (danger)
    dangerCountdown = 4;
  else if (dangerCountdown > 0)
    --dangerCountdown;
}

bool SStateGame::IsMonsterBusyNear() const {
  bool busy = false;
  window.VisitMonsters(window.playerX, window.playerY, 6, [&](SMapArea& area, SMapMonster& m, i32, i32, u32) {
    busy = busy || (!m.monster->IsPeople() && IsMonsterAwake(area, m) && m.poisonShown > 1);
  });
  return busy;
}

bool SStateGame::IsEnemyNear() {
  bool found = false;
  window.VisitMonsters(window.playerX, window.playerY, 7, [&](SMapArea& area, SMapMonster& m, i32, i32, u32) {
    found = found || (IsMonsterAwake(area, m) && IsHostile(area, m));
  });
  return found;
}

u32 SStateGame::CountTownspeopleNear() {
  u32 count = 0;
  window.VisitMonsters(window.playerX, window.playerY, 2, [&](SMapArea& area, SMapMonster& m, i32, i32, u32) {
    if (m.monster->IsPeople() && IsMonsterAwake(area, m)) ++count;
  });
  return count;
}

u32 SStateGame::CalmOrAttractMonsters(i32 radius, bool attract) {
  u32 changed = 0;
  window.VisitMonsters(window.playerX, window.playerY, radius < 0 ? 0 : radius,
                       [&](SMapArea& area, SMapMonster& m, i32, i32, u32) {
                         if (m.objectId) return;
                         if (attract && !(m.flags & SMapMonster::kAggressive)) {
                           SMapArea::MakeAggressive(m);
                           ++changed;
                         } else if (!attract && IsHostile(area, m)) {
                           SMapArea::SetPlain(m);
                           ++changed;
                         }
                       });
  return changed;
}
