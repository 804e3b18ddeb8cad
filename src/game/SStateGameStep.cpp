// The player's step and turn: the tests a step passes, its animation over the frames with the bump and
// the cell and tile crossings, the work after it, the turn's animation and the footsteps.
#include "core/SGameCore.h"
#include "foundation/TimeUtil.h"
#include "game/SStateGame.h"
#include "player/SPlayer.h"
#include "script/SScriptContext.h"
#include "world/SMapObjectType.h"
#include "world/SSoundTable.h"
#include "world/SWorldModule.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr u8 kWaterClass = 3, kTextureClass = 4, kWallClass = 5, kHoleClass = 15, kDoorClass = 20, kDoorClass2 = 22,
             kWebClass = 35, kTrapClass = 42;
constexpr u16 kUsedByTouch = 0x4000;  // type flags bit 14
constexpr i32 kCentre = 32768, kCell = 65536;

u8 Number(const SMapObjectType* t) { return SMapWindow::TypeNumber(t); }

}  // namespace

bool SStateGame::RegionOf(i32 x, i32 y, const void*& region) const {
  region = nullptr;
  const SMapCell* c = SMapWindow::Inside(x, y) ? &window.cells[x + SMapWindow::kSize * y] : nullptr;
  if (!c) return false;
  if (c->base2Type || c->base1Type) {
    const bool second = c->base2Type != nullptr;
    if (Number(second ? c->base2Type : c->base1Type) != kWaterClass) return false;
    // The slot's parameter word tells the region.
    region = second ? c->base2Type2 : c->base1Type2;
    return true;
  }
  return Number(window.DefaultBase(x, y)) == kWaterClass;
}

u32 SStateGame::StepPlayer(i32 d) {
  const i32 px = window.playerX, py = window.playerY;
  // A trap that has sprung holds the player while it runs.
  if (const SMapCell* own = window.Cell(px, py); own && Number(own->centreType) == kTrapClass) {
    const SMapObjectInst* trap = window.FindBlockObjectById(px, py, own->centreObjectId);
    if (trap && (u16(trap->packed) >> 12) != 0) return 0;
  }
  if (d < 0 || d > 3) return 0;
  const void* region = nullptr;
  const bool inRegion = RegionOf(px, py, region);
  const i32 tx = px + SMapWindow::kDx[d], ty = py + SMapWindow::kDy[d];
  SMapCell* target = window.Cell(tx, ty);
  if (!target) return 0;

  bool refused = false, touch = false, hole = false;
  SPlayer* player = core ? &core->player : nullptr;
  if (player && player->IsParalyzed()) {
    refused = true;
  } else if (player && i64(player->GetInventoryWeight()) > i64(player->GetCarryCapacity()) * 3 / 2) {
    QueueMessage("You carry way too much - you can't move.", 1, nullptr);
    refused = true;
  } else if (!target->monsterId[0] && !target->monsterId[1]) {
    const bool passage = window.IsPassage(tx, ty);
    if (inRegion && !passage && !(tx == previousX && ty == previousY)) {
      // Water of the player's own region three cells wide across the step cannot be swum on into.
      bool across = true;
      for (i32 k = -1; k <= 1 && across; ++k) {
        const void* other = nullptr;
        const i32 cx = (d & 1) ? tx : tx + k, cy = (d & 1) ? ty + k : ty;
        across = RegionOf(cx, cy, other) && other == region;
      }
      refused = across;
    }
    if (!refused && window.IsWall(tx, ty) && !passage) refused = true;
    if (!refused && target->centreType) {
      SMapObjectInst* inst = window.FindBlockObjectById(tx, ty, target->centreObjectId);
      if (!inst || inst->IsActive()) {
        refused = target->centreType->IsBlocking(inst);
        if ((target->centreType->typeFlags & kUsedByTouch) && inst && inst->targetText) {
          touch = true;
          hole = Number(target->centreType) == kHoleClass;
        }
      }
      const i32 facingSide = (d + 2) % 4;
      if (Number(target->centreType) == kWallClass && target->sideType[facingSide] &&
          (target->sideType[facingSide]->typeFlags & kUsedByTouch) &&
          window.FindBlockObjectById(tx, ty, target->sideObjectId[facingSide]))
        touch = true;
    }
  } else {
    // Only people stand aside: each decides again and moves on.
    for (u16 id : target->monsterId) {
      const SMapMonster* m = id ? window.FindBlockMonsterById(tx, ty, u8(id)) : nullptr;
      if (id && (!m || !m->monster || m->monster->kind != 4)) refused = true;
    }
    for (u32 slot = 0; slot < 2 && !refused; ++slot) {
      const SMapMonster* m = window.FindBlockMonsterById(tx, ty, u8(target->monsterId[slot]));
      if (SActiveMonster* walker = m ? FindActiveMonster(*m) : nullptr) {
        DecideMonsterAction(*walker);
        MoveMonster(*walker);
      }
    }
  }
  if (touch) {
    const u32 result = UseHand(d, 0);
    if (!hole) return result;
  }
  stepping = 1;
  if (refused) {
    bumpMoveFrames = largeScreen ? 2 : 3;
    bumpPauseFrames = largeScreen ? 1 : 3;
    stepSpeedX = SMapWindow::kDx[d] * 4096;
    stepSpeedY = SMapWindow::kDy[d] * 4096;
    bump = 1;
  } else {
    ++handBob;
    bobFrame = 0;
    previousX = px;
    previousY = py;
    const i32 speed = largeScreen ? 16384 : 8192;
    stepSpeedX = SMapWindow::kDx[d] * speed;
    stepSpeedY = SMapWindow::kDy[d] * speed;
    if (!window.IsJoined()) {
      ScanFightRange(true, tx, ty);
      if (!stepping) return 0;
    }
  }
  lastStepDirection = d;
  RunMonsters();
  if (!refused) PassMinute();
  return 0;
}

void SStateGame::StepBack() { StepPlayer((lastStepDirection + 2) % 4); }

void SStateGame::StartTurnTo(i32 quarter) {
  const i32 target = PositiveMod(quarter, 4) * 90;
  // Already there: no turn (a "turn" to the own facing would spin all the way round).
  if (PositiveMod(facing, 360) == target) return;
  targetFacing = target;
  const bool toLeft = PositiveMod(facing + 90, 360) == target;
  turnStep = (largeScreen ? 18 : 10) * (toLeft ? 1 : -1);
  turning = 1;
}

bool SStateGame::AnimateTurn() {
  if (!turning) return false;
  facing = PositiveMod(facing + turnStep, 360);
  compass.SetFacing(facing);
  compass.MarkDirty();
  compass.Redraw();
  if (facing != targetFacing) return false;
  turning = 0;
  MarkAutomapSeen();
  return true;
}

void SStateGame::EnterCellAt(i32 dx, i32 dy) {
  window.playerX += dx;
  window.playerY += dy;
  PlayFootstep(false);
  if (!window.IsJoined()) footstepCountdown = 2;
}

void SStateGame::CrossTile(i32 dx, i32 dy) {
  // The window moves over to the neighbouring tile: the player's cell (27 or 7) lands at the other edge.
  SMapArea* map = window.CurrentArea();
  SWorldModule* module = map ? map->module : nullptr;
  SMapArea* next = module ? module->FindNeighbourMap(dx, dy) : nullptr;
  if (!next) {
    EnterCellAt(dx, dy);
    return;
  }
  const i32 shiftX = -20 * dx, shiftY = -20 * dy;
  module->SetCurrentMap(next);
  window.playerX += shiftX;
  window.playerY += shiftY;
  previousX = std::clamp(previousX + shiftX, 0, SMapWindow::kSize - 1);
  previousY = std::clamp(previousY + shiftY, 0, SMapWindow::kSize - 1);
  // Entered with the player already on the new tile's edge cell, then a cell back for the monsters. The
  // walkers keep their places in their cells across the move.
  SaveMonsterPositions();
  EnterMap();
  window.playerX -= dx;
  window.playerY -= dy;
  RunMonsters();
  if (SScriptContext* context = core ? core->scriptContext : nullptr) context->AddChangedObject(next, 0, 0, -1, 1);
  EnterCellAt(dx, dy);
}

bool SStateGame::AnimateStep(bool& bumpFrame) {
  if (!stepping) return false;
  if (bump) {
    if (bumpPauseFrames > 0 && bumpMoveFrames == 0) {
      --bumpPauseFrames;
      bumpFrame = true;
      return false;
    }
    if (bumpMoveFrames <= 0) return false;
    --bumpMoveFrames;
    bumpFrame = true;
  }
  i32& offset = stepSpeedX ? offsetX : offsetY;
  const i32 speed = stepSpeedX ? stepSpeedX : stepSpeedY;
  offset += speed;
  if (offset == kCentre) {
    stepping = 0;
    bump = 0;
    return true;
  }
  const i32 dx = stepSpeedX ? (speed > 0 ? 1 : -1) : 0, dy = stepSpeedX ? 0 : (speed > 0 ? 1 : -1);
  if (offset >= kCell || offset <= 0) {
    offset = offset >= kCell ? 0 : kCell;
    const i32 edge = dx > 0 || dy > 0 ? 27 : 7;
    const bool crossing = window.IsJoined() && ((dx && window.playerX == edge) || (dy && window.playerY == edge));
    if (crossing)
      CrossTile(dx, dy);
    else
      EnterCellAt(dx, dy);
  }
  return false;
}

void SStateGame::ReverseBump() {
  if (!stepping || !bump || bumpMoveFrames || bumpPauseFrames) return;
  // The way out is spent: the same way back to the centre.
  stepSpeedX = -stepSpeedX;
  stepSpeedY = -stepSpeedY;
  bumpMoveFrames = largeScreen ? 2 : 3;
}

u32 SStateGame::FinishStep() {
  MarkAutomapSeen();
  u32 next = 0;
  const i32 px = window.playerX, py = window.playerY;
  if (SMapCell* behind = window.Cell(previousX, previousY); behind && behind->centreType)
    next = TriggerCellAction(MapEvent::kLeave, 1, nullptr, behind, previousX, previousY, -1, false, nullptr);
  if (SMapCell* here = window.Cell(px, py); here && here->centreType) {
    const u8 n = Number(here->centreType);
    if (n == kDoorClass || n == kDoorClass2 || n == kWebClass) RebuildCell(px, py);
    if (const u32 r = TriggerCellAction(MapEvent::kEnter, 1, nullptr, here, px, py, -1, false, nullptr)) next = r;
  }
  window.StoreWorldPosition();
  ScanFightRange(false, window.playerX, window.playerY);
  RunMonsters();
  UpdateAmbient();
  return next;
}

// ---- footsteps

SMapObjectType* SStateGame::FloorType(i32 x, i32 y) const {
  const SMapCell* c = SMapWindow::Inside(x, y) ? &window.cells[x + SMapWindow::kSize * y] : nullptr;
  if (!c) return nullptr;
  if (Number(c->centreType) == kTextureClass && c->centreType->texts[1] && *c->centreType->texts[1]) {
    const SMapObjectInst* o = c->centreObjectId ? window.FindBlockObjectById(x, y, c->centreObjectId) : nullptr;
    if (!o || o->IsActive()) return c->centreType;
  }
  if (c->base2Type) return c->base2Type;
  if (c->base1Type) return c->base1Type;
  return window.DefaultBase(x, y);
}

void SStateGame::PlayFootstep(bool quiet) {
  const i32 x = window.playerX, y = window.playerY;
  const SMapObjectType* floor = FloorType(x, y);
  if (!floor || !core) return;
  const i32 volume = quiet ? 6 : 10;
  const bool leftFoot = ((x + y) & 1) != 0;
  if (Number(floor) != kWaterClass && !core->player.Equipped(11)) {
    core->world.sounds.PlayByName(leftFoot ? "bsnd_stepbarefoot-left" : "bsnd_stepbarefoot-right", volume);
    return;
  }
  const char* first = floor->texts[1];
  if (!first || !*first) return;
  const char* sound = leftFoot ? first : floor->texts[2];
  if (sound && *sound) core->world.sounds.PlayByName(sound, volume);
}

void SStateGame::PlayFloorSoundAt(i32 x, i32 y) {
  const SMapObjectType* floor = FloorType(x, y);
  const char* sound = floor ? floor->texts[3] : nullptr;
  if (core && sound && *sound) core->world.sounds.PlayByName(sound, VolumeByDistance(x, y));
}

i32 SStateGame::VolumeByDistance(i32 x, i32 y) const {
  const i32 distance = std::abs(x - window.playerX) + std::abs(y - window.playerY);
  return std::clamp(10 - distance, 1, 10);
}
