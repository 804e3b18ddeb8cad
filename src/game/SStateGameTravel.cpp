// The player changing place: teleports to a named position or a cell, the transition effects (the
// teleport's fade, falls, holes, ladders and stairs), the game state's reset before a new or loaded game,
// and its record in the saved game.
#include "core/SGameCore.h"
#include "core/ui/SDialogMessage.h"
#include "foundation/SStream.h"
#include "foundation/TimeUtil.h"
#include "game/SGameStateRecord.h"
#include "game/SStateGame.h"
#include "graphics/SDisplay.h"
#include "os/Clock.h"
#include "player/SPlayer.h"
#include "script/SScriptContext.h"
#include "world/SSoundTable.h"
#include "world/SWorldModule.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

constexpr u8 kTeleportClass = 25, kPositionClass = 39;

struct STransitionKind {
  u32 length;
  const char* sound;      // null: none, or chosen by the player
  const char* bareSound;  // stairs without boots
};

constexpr STransitionKind kKinds[8] = {
    {0, nullptr, nullptr},
    {10, nullptr, nullptr},  // the teleport's sound plays with its event
    {20, nullptr, nullptr},
    {20, nullptr, nullptr},  // the fall: by the player's sex
    {50, "bsnd_ladderdown", nullptr},
    {50, "bsnd_ladderup", nullptr},
    {40, "bsnd_stairdown", "bsnd_stairdownbare"},
    {40, "bsnd_stairup", "bsnd_stairupbare"},
};

}  // namespace

u32 TransitionLength(u32 kind) { return kind < 8 ? kKinds[kind].length : 0; }

void SStateGame::PlayTransitionSound(const char* position, u32 transition) {
  if (transition == 0 || transition > 7) {
    TeleportToPosition(position, 0);
    return;
  }
  transitionTarget.Assign(position ? position : "");
  BeginCellTransition(nullptr, nullptr, 0, 0, 0, transition);
}

void SStateGame::BeginCellTransition(SWorldModule* module, SMapArea* area, i32 x, i32 y, i32 quarter, u32 transition) {
  if (!module && !area && transitionTarget.IsEmpty() && transition == 0) return;
  if (module || area) transitionTarget.Assign("");
  transitionModule = module;
  transitionArea = area;
  transitionX = x;
  transitionY = y;
  transitionFacing = quarter;
  if (transition == 0 || transition > 7) {
    if (!transitionTarget.IsEmpty())
      TeleportToPosition(transitionTarget.CStr(), 0);
    else
      TeleportToCell(module, area, x, y, quarter, 0);
    return;
  }
  transitionKind = transition;
  transitionFrames = kKinds[transition].length;
  subMode = kTransition;
  const STransitionKind& k = kKinds[transition];
  const SPlayer* player = core ? &core->player : nullptr;
  const char* sound = k.sound;
  if (transition == 3 && player) sound = player->GetSex() ? "bsnd_fallmale" : "bsnd_fallfemale";
  if (k.bareSound && player && !player->Equipped(11)) sound = k.bareSound;
  if (sound && core) core->world.sounds.PlayByName(sound, 10);
  if (transition == 1) {
    // The fog fades to white over the effect's frames.
    const i32 e = nearDistance;
    const u16 fog = view.fogColor;
    const i32 r = (fog >> 11) << 3, g = ((fog >> 5) & 63) << 2, b = (fog & 31) << 3;
    fadeFogStartStep = e * 6 / 10;
    fadeFogEndStep = (e - 672) / 10;
    fadeRedStep = (255 - r) / 10;
    fadeGreenStep = (255 - g) / 11;
    fadeBlueStep = (255 - b) / 10;
  }
}

void SStateGame::StepTeleportFade() {
  const u16 fog = view.fogColor;
  const i32 r = std::clamp(((fog >> 8) & 248) + fadeRedStep, 0, 255);
  const i32 g = std::clamp(((fog >> 3) & 252) + fadeGreenStep, 0, 255);
  const i32 b = std::clamp(((fog << 3) & 255) + fadeBlueStep, 0, 255);
  auto five = [](i32 c) { return ((c * 7936 / 255 + 128) >> 8) & 31; };
  const i32 six = ((g * 16128 / 255 + 128) >> 8) & 63;
  view.fogColor = u16((five(r) << 11) | (six << 5) | five(b));
  farDistance -= fadeFogStartStep;
  nearDistance -= fadeFogEndStep;
}

void SStateGame::RunTransitionEffect(bool paintOnly) {
  if (display) {
    const bool white = transitionKind == 1 && transitionFrames == 1;
    if (transitionKind != 1 || white) display->FillRect(viewX, viewY, viewWidth, viewHeight, white ? 0xFFFF : 0);
  }
  if (paintOnly) return;
  if (transitionFrames > 1) {
    --transitionFrames;
    return;
  }
  transitionFrames = 0;
  Os::Clocks().Sleep(100);
  subMode = kWalking;
  transitionKind = 0;
  // The effect's last frame (white or black) is the one shown; the new place paints from the next frame.
  paintOnArrival = 0;
  if (!transitionTarget.IsEmpty()) {
    SString target(transitionTarget.CStr());
    transitionTarget.Assign("");
    TeleportToPosition(target.CStr(), 0);
  } else {
    TeleportToCell(transitionModule, transitionArea, transitionX, transitionY, transitionFacing, 0);
  }
  paintOnArrival = 1;
}

void SStateGame::TeleportToPosition(const char* position, u32 transition) {
  if (transition) {
    QueueTransition(position, transition);
    return;
  }
  SWorldModule* module = core ? core->CurrentWorld() : nullptr;
  SMapArea* area = nullptr;
  const SMapObjectInst* target = module && position ? module->FindObjectByName(position, area) : nullptr;
  // A position no map of the world has changes nothing: the player stays where he is.
  if (!target || !area) return;
  SMapArea* current = window.CurrentArea();
  const bool changed = area != current;
  if (changed && current && !current->IsOutdoor() && area->IsOutdoor() && window.minutes - area->lastVisit > 60)
    UpdateWeather(true);
  module->SetCurrentMap(area);
  const i32 offset = area->IsOutdoor() ? 7 : 0;
  window.playerX = std::clamp(i32(target->cellX) + offset, 0, SMapWindow::kSize - 1);
  window.playerY = std::clamp(i32(target->cellY) + offset, 0, SMapWindow::kSize - 1);
  if (changed) EnterMap();
  window.StoreWorldPosition();
  SMapCell* cell = window.Cell(window.playerX, window.playerY);
  TakeArrivalFacing(cell);
  ArriveAt(changed);
  if (cell && cell->centreType && cell->centreObjectId) {
    SMapObjectInst* here = window.FindBlockObjectById(window.playerX, window.playerY, cell->centreObjectId);
    if (here && here->IsActive())
      TriggerCellAction(MapEvent::kPutOnPosition, 1, nullptr, cell, window.playerX, window.playerY, -1, false, nullptr);
  }
}

void SStateGame::TeleportToCell(SWorldModule* module, SMapArea* area, i32 x, i32 y, i32 quarter, u32 transition) {
  if (transition) {
    QueueCellTransition(module, area, x, y, quarter, transition);
    return;
  }
  if (!core || !module || !area) return;
  core->SetCurrentWorld(module);
  module->SetCurrentMap(area);
  const i32 offset = area->IsOutdoor() ? 7 : 0;
  window.playerX = std::clamp(x + offset, 0, SMapWindow::kSize - 1);
  window.playerY = std::clamp(y + offset, 0, SMapWindow::kSize - 1);
  EnterMap();
  facing = PositiveMod(quarter, 4) * 90;
  TakeArrivalFacing(window.Cell(window.playerX, window.playerY));
  ArriveAt(true);
}

void SStateGame::TakeArrivalFacing(const SMapCell* cell) {
  // A teleport or position with facing bits f (1..4) turns the arriving player: 1 north, 2 east, 3 south,
  // 4 west.
  const u8 n = cell ? SMapWindow::TypeNumber(cell->centreType) : 0;
  const u32 f = cell ? cell->cellFlags & 7u : 0;
  if ((n == kTeleportClass || n == kPositionClass) && f >= 1 && f <= 4) facing = i32((5 - f) * 90 % 360);
}

void SStateGame::ArriveAt(bool mapChanged) {
  MarkAutomapSeen();
  window.StoreWorldPosition();
  RunMonsters();
  UpdateAmbient();
  if (mapChanged)
    ArrivalScan();
  else
    ScanFightRange(false, window.playerX, window.playerY);
  if (core && core->player.IsParalyzed()) {
    core->player.effects[kCategoryParalysis].DeleteAll();
    QueueMessage("You're no longer paralyzed.", SDialogMessage::kOk, nullptr);
    SetHandView(false, false);
  }
  BuildMonsterSprites();
  CollectVisibleCells(true, true);
  SetFullRepaint();
  if (paintOnArrival) Paint();
  ResetInputGuard();
  stepping = bump = turning = 0;
  footstepCountdown = 0;
  offsetX = offsetY = 32768;
}

void SStateGame::ResetForNewGame() {
  DestroyEventDialog();
  if (subDialog) CloseSubDialog();
  StopAmbientSounds(false);
  facing = targetFacing = 0;
  window.playerX = window.playerY = 0;
  offsetX = offsetY = 32768;
  window.minutes = 0;
  weather = 0;
  forcedSky.Assign("");
  thunderPending = thunderAudible = 0;
  labelRefresh = 0;
  // The hand chosen in the last game (perhaps forced to the left by a lone monster) is not this game's.
  selectedHand = 1;
  forcedStep = 0;
  subMode = kWalking;
  imprisoned = sentenceBegan = 0;
  prisonMap.Assign("");
  soundPick = nullptr;
  ambientMarker = nullptr;
  lastAmbientSecond = 0;
  stepping = bump = turning = 0;
  footstepCountdown = 0;
  transitionTarget.Assign("");
  transitionKind = transitionFrames = 0;
  events.DeleteAll();
  actions.DeleteAll();
  ClearFightList();
  activeMonsters.DeleteAll();
  savedPositions.DeleteAll();
  fightFlag = standby = actCooldown = 0;
  dangerCountdown = 0;
}

bool SStateGame::EnterMapAgain() {
  SWorldModule* module = core ? core->CurrentWorld() : nullptr;
  std::vector<std::pair<SMapArea*, u32>> visits;
  if (module)
    for (SMapArea* m : module->maps)
      if (m->lastVisit) {
        visits.emplace_back(m, m->lastVisit);
        m->lastVisit = window.minutes;
      }
  const bool entered = EnterMap();
  for (const auto& [m, visit] : visits) m->lastVisit = visit;
  return entered;
}

// ---- the saved record

bool SStateGame::WriteSaveRecord(SStream& s) {
  SGameStateRecord r;
  r.facing = facing;
  r.cellX = window.playerX;
  r.cellY = window.playerY;
  r.previousX = previousX;
  r.previousY = previousY;
  r.lastStepDirection = lastStepDirection;
  r.minutes = window.minutes;
  r.weather = weather;
  r.forcedSky.Assign(forcedSky.CStr() ? forcedSky.CStr() : "");
  r.rainIntensity = rainIntensity;
  r.rainTarget = rainTarget;
  r.rainCountdown = rainCountdown;
  r.rainStep = rainStep;
  r.subMode = subMode;
  r.imprisoned = imprisoned;
  r.sentenceBegan = sentenceBegan;
  r.prisonMap.Assign(prisonMap.CStr() ? prisonMap.CStr() : "");
  r.Serialize(s, SGameStateRecord::kRainFieldsVersion);
  return s.Ok();
}

bool SStateGame::ReadSaveRecord(SStream& s, u32 dataVersion) {
  SGameStateRecord r;
  // An older record lacks the rain's target, countdown and step: they keep their values.
  r.rainTarget = rainTarget;
  r.rainCountdown = rainCountdown;
  r.rainStep = rainStep;
  r.Serialize(s, dataVersion);
  if (s.Failed() || !r.Validate()) return false;
  ApplySaveRecord(r);
  return true;
}

void SStateGame::ApplySaveRecord(const SGameStateRecord& r) {
  facing = targetFacing = r.facing;
  window.playerX = r.cellX;
  window.playerY = r.cellY;
  previousX = r.previousX;
  previousY = r.previousY;
  lastStepDirection = r.lastStepDirection;
  window.minutes = r.minutes;
  weather = r.weather;
  forcedSky.Assign(r.forcedSky.CStr() ? r.forcedSky.CStr() : "");
  rainIntensity = r.rainIntensity;
  rainTarget = r.rainTarget;
  rainCountdown = r.rainCountdown;
  rainStep = r.rainStep;
  subMode = r.subMode;
  imprisoned = r.imprisoned;
  sentenceBegan = r.sentenceBegan;
  prisonMap.Assign(r.prisonMap.CStr() ? r.prisonMap.CStr() : "");
}
