// The game state's input: actions from keys, head-up buttons and the view's pen zones become steps,
// turns and hand use; the open sub-dialog takes input first; a busy state refuses movement.
#include "core/SGameCore.h"
#include "foundation/TimeUtil.h"
#include "game/SMonster.h"
#include "game/SStateGame.h"
#include "script/SScriptContext.h"
#include "script/SScriptInterpreter.h"
#include "script/SScriptTable.h"
#include "world/SMapObjectType.h"

namespace {

// The action codes.
constexpr u32 kForward = 1000, kBack = 1002, kTurnLeft = 1004, kTurnRight = 1006, kAttack = 3000, kMagicBook = 3001,
              kSideLeft = 3004, kSideRight = 3005, kUse = 3006;

// The seven movement buttons, in the order a pen-down asks them, with their actions.
constexpr struct {
  u16 id;
  u32 action;
} kMovementButtons[7] = {{SStateGame::kAttackId, kAttack},      {SStateGame::kTurnLeftId, kTurnLeft},
                         {SStateGame::kForwardId, kForward},    {SStateGame::kTurnRightId, kTurnRight},
                         {SStateGame::kSideLeftId, kSideLeft},  {SStateGame::kBackId, kBack},
                         {SStateGame::kSideRightId, kSideRight}};

constexpr u8 kWallClass = 5, kDoorClass = 20, kDoorClass2 = 22, kWebClass = 35;
constexpr u16 kDeathEvent = 64;  // a monster's death, which its handler carries out

}  // namespace

bool SStateGame::IsBusy() const {
  return turning || stepping || fightFlag || subDialog || actions.Count() || events.Count() ||
         (!objectWait && IsMonsterBusyNear()) || HasMovingObjects() || subMode != kWalking;
}

SButtonCtrl* SStateGame::ButtonWithId(u16 id) {
  for (u32 i = 0; i < kButtonCount; ++i)
    if (kButtonIds[i] == id) return &buttons[i];
  return nullptr;
}

void SStateGame::ReleaseMovementButtons(i32 x, i32 y) {
  for (const auto& m : kMovementButtons)
    if (SButtonCtrl* b = ButtonWithId(m.id); b && b->IsInDialog()) b->OnPen(x, y, 0, 0);
}

u32 SStateGame::OnKey(u32 action) {
  if (IsOpeningTick()) return 0;
  if (subDialog) {
    if (const u32 code = subDialog->OnKey(action)) OnSubDialogResult(code);
    Paint();
    return 0;
  }
  if (IsBusy()) return 0;
  return DoAction(action);
}

u32 SStateGame::DoAction(u32 action) {
  // The grid direction of each move by facing: forward T[q], back T[q + 2], right T[q + 1], left T[q - 1].
  const i32 q = (360 - PositiveMod(facing, 360)) / 90;
  i32 direction = -1;
  switch (action) {
    case kForward: direction = directionByFacing[q]; break;
    case kBack: direction = directionByFacing[q + 2]; break;
    case kSideRight: direction = directionByFacing[q + 1]; break;
    case kSideLeft: direction = directionByFacing[q - 1]; break;
    case kTurnLeft:
    case kTurnRight: {
      const bool toLeft = action == kTurnLeft;
      targetFacing = PositiveMod(facing + (toLeft ? 90 : -90), 360);
      turnStep = (largeScreen ? 18 : 10) * (toLeft ? 1 : -1);
      turning = 1;
      return 0;
    }
    case kUse: return UseHand(-1, selectedHand);
    case kAttack: return AttackCommand();
    case kMagicBook: OpenMagicBook(); return 0;
    default: return 0;
  }
  const u32 result = StepPlayer(direction);
  // The door or web just left is drawn open again at once: rebuilt as if the player stood a cell west.
  if (stepping && !bump) {
    const SMapCell* behind = window.Cell(previousX, previousY);
    const u8 n = behind ? SMapWindow::TypeNumber(behind->centreType) : 0;
    if (n == kDoorClass || n == kDoorClass2 || n == kWebClass) {
      const i32 x = window.playerX;
      window.playerX = x - 1;
      RebuildCell(previousX, previousY);
      window.playerX = x;
    }
  }
  return result;
}

u32 SStateGame::OnPen(i32 x, i32 y, u32 touching, u32 moving) {
  if (FilterPen(touching, moving)) return 0;
  if (!window.CurrentArea()) return 0;
  const bool down = touching && !moving, up = !touching;
  if (subDialog) {
    if (up) ReleaseMovementButtons(x, y);
    if (const u32 code = subDialog->OnPen(x, y, touching, moving)) OnSubDialogResult(code);
    Paint();
    return 0;
  }
  if (IsBusy()) {
    if (up) ReleaseMovementButtons(x, y);
    return 0;
  }
  if (down) {
    for (const auto& m : kMovementButtons) {
      SButtonCtrl* b = ButtonWithId(m.id);
      if (b && b->IsInDialog() && b->IsVisible() && b->OnPen(x, y, touching, moving)) return DoAction(m.action);
    }
    const SWorldView& v = view;
    if (x >= v.viewX && y >= v.viewY && x < v.viewX + v.viewWidth && y < v.viewY + v.viewHeight) {
      // A tap on a hand picture chooses that hand (and with it the monster of a full cell it strikes).
      for (i32 hand = 0; hand < 2; ++hand) {
        if (!handZones[hand].Contains(x, y)) continue;
        selectedHand = hand;
        labelRefresh = 1;
        return 0;
      }
      // The lowest three tenths hold the bag of the player's cell; without one the tap uses a hand.
      if (y >= v.viewY + v.viewHeight * 7 / 10)
        if (SItemContainer* bag = CellBag()) return ShowInventoryWith(bag, nullptr, window.CurrentArea(), 0);
      return UseHand(-1, x <= v.viewX + v.viewWidth / 2 ? 0 : 1);
    }
  }
  return SState::OnPen(x, y, touching, moving);
}

u32 SStateGame::OnCommand(u16 code) {
  // The movement buttons look pressed only for their own command.
  for (const auto& m : kMovementButtons)
    if (SButtonCtrl* b = ButtonWithId(m.id)) {
      b->SetPressed(b->commandCode == code);
      b->MarkDirty();
    }
  for (const auto& m : kMovementButtons)
    if (m.id == code) return IsBusy() ? 0 : DoAction(m.action);
  switch (code) {
    case SDialogSpellbook::kCloseCode:
    case SDialogPotion::kCloseCode:
    case SDialogLockpick::kCloseCode: CloseSubDialog(); return 0;
    case SDialogSpellbook::kCastCode:
      CloseSubDialog();
      CastCommand();
      return 0;
    case SDialogPotion::kDrinkCode:
      CloseSubDialog();
      DrinkPotion();
      return 0;
    case SDialogLockpick::kTrapCode:  // a failed pick sets the trap off
      CloseSubDialog();
      TriggerTrap();
      return 0;
    case kRestId: Rest(); return 0;
    case SDialogRest::kCloseCode:
      CloseSubDialog();
      rest.Reset();
      SetFullRepaint();
      UpdateAmbient();
      return 0;
    case SDialogShipTravel::kCloseCode:
      CloseSubDialog();
      shipTravel.ClearControls();
      SetFullRepaint();
      UpdateAmbient();
      return 0;
    case SDialogEnchantItem::kCloseCode:
      CloseSubDialog();
      SetFullRepaint();
      UpdateAmbient();
      return 0;
    case SDialogGameMap::kCloseCode:
    case SDialogMarkRecall::kCloseCode:
      CloseSubDialog();
      SetFullRepaint();
      return 0;
    case kMagicBookId: OpenMagicBook(); return 0;
    case kPotionsId: OpenPotions(); return 0;
    case kPortraitId: return OpenBagAtPlayer();
    case kAutomapId:
      // The world map opens over everything, but not while the view moves or actions are under way.
      if (stepping || turning || actions.Count() || subDialog) return 0;
      OpenSubDialog(&mapDialog, kWorldMap);
      mapDialog.Open();
      if (core) core->world.sounds.PlayByName("bsnd_letteropenclose", 10);
      return 0;
    default: return 0;
  }
}

// ---- hands and actions on cells

u32 SStateGame::UseHand(i32 direction, i32 hand) {
  // A person in the player's own cell, on the side the player faces, is spoken to first.
  const i32 px = window.playerX, py = window.playerY;
  if (SMapCell* own = window.Cell(px, py); own && own->monsterId[0] && scene.IsAllocated()) {
    SMapMonster* m = window.FindBlockMonsterById(px, py, u8(own->monsterId[0]));
    const u16* draw = m ? scene.Monster(m->displayIndex) : nullptr;
    if (m && m->monster && m->monster->IsPeople() && draw) {
      const i32 mx = draw[MonsterDraw::kX], my = draw[MonsterDraw::kY];
      bool behind = false;
      switch (SMapWindow::DirectionOfFacing(facing)) {
        case 0: behind = my >= 32768; break;
        case 3: behind = mx >= 32768; break;
        case 2: behind = my <= 32768; break;
        default: behind = mx <= 32768; break;
      }
      if (!behind) {
        const u32 result =
            TriggerCellAction(MapEvent::kUse, 4, window.BlockArea(px, py), own, px, py, -1, false, nullptr);
        if (result) return result;
      }
    }
  }
  i32 x = 0, y = 0, opposite = 0;
  SMapArea* area = nullptr;
  SMapCell* cell = window.GetCellAhead(direction, facing, x, y, opposite, area);
  if (!cell) return 0;
  const u32 result = TriggerCellAction(MapEvent::kUse, hand == 0 ? 7 : 15, area, cell, x, y, opposite, false, nullptr);
  if (subDialog) subDialog->Paint();
  return result;
}

u32 SStateGame::TriggerCellAction(u16 event, u32 targets, SMapArea* area, SMapCell* cell, i32 x, i32 y, i32 side,
                                  bool queryOnly, u32* out) {
  if (out) *out = 0;
  if (!cell) return 0;
  if (!area) area = window.BlockArea(x, y);
  // A monster of the cell first: the first slot's, or the second's for a blow of the second hand.
  if (((targets & 4) || ((targets & 8) && event == MapEvent::kStruck)) && (cell->monsterId[0] || cell->monsterId[1])) {
    u32 took = 0;
    const u32 result = TriggerMonsterAction(event, targets, area, cell, x, y, queryOnly, &took);
    if (took) {
      if (out) *out = 1;
      return result;
    }
  }
  SMapObjectType* type = nullptr;
  u8 id = 0;
  i32 targetSide = -1;
  if ((targets & 2) && side >= 0 && side < 4 && SMapWindow::TypeNumber(cell->centreType) == kWallClass &&
      cell->sideType[side]) {
    type = cell->sideType[side];
    id = cell->sideObjectId[side];
    targetSide = side;
  } else if ((targets & 1) && cell->centreType) {
    type = cell->centreType;
    id = cell->centreObjectId;
  }
  if (!type || !type->ReactsTo(event)) return 0;
  SMapObjectInst* inst = area && id ? area->FindObjectById(id) : nullptr;
  // A switched-off object neither takes the action nor lets it pass.
  if (inst && !inst->IsActive()) return 0;
  if (out) *out = 1;
  if (queryOnly) return 0;
  SScriptContext* context = core ? core->scriptContext : nullptr;
  if (context) context->SetThisObject(event, inst, area, cell, type, x, y, targetSide, 1, kOutputGameMessage);
  bool changed = false;
  u32 result = 0;
  const SNamedScript* script =
      core && inst && inst->scriptName && *inst->scriptName ? core->world.scripts.Find(inst->scriptName) : nullptr;
  if (script && script->HasProgram() && core->scriptInterpreter && !core->scriptInterpreter->IsRunning()) {
    // The object's own script decides (its "default" runs the built-in reaction).
    if (core->scriptInterpreter->LoadProgram(script->program, script->length, script->programOffset))
      core->scriptInterpreter->Run();
  } else {
    result = u32(type->OnEvent(event, area, inst, cell, x, y, changed));
  }
  // A kind that opened another screen (a chest's inventory) asked for the switch.
  if (!result && requestedState) result = requestedState;
  requestedState = 0;
  if (changed && context) context->AddChangedObject(area, x, y, targetSide, 1);
  labelRefresh = 1;
  if (context && context->changedObjects.Count()) {
    RebuildChangedCells();
    SetFullRepaint();
  }
  return result;
}

u32 SStateGame::TriggerMonsterAction(u16 event, u32 targets, SMapArea* area, SMapCell* cell, i32 x, i32 y,
                                     bool queryOnly, u32* took) {
  *took = 0;
  u32 slot = (targets & 8) && cell->monsterId[1] ? 1 : 0;
  if (!cell->monsterId[slot]) slot = 1 - slot;
  SMapMonster* monster = window.FindBlockMonsterById(x, y, u8(cell->monsterId[slot]));
  if (!area || !monster || !monster->monster) return 0;
  // A monster takes blows, spells, talk and its death.
  if (event != MapEvent::kStruck && event != MapEvent::kSpellHit && event != MapEvent::kUse && event != kDeathEvent)
    return 0;
  SMapObjectInst* object = monster->objectId ? area->FindObjectById(monster->objectId) : nullptr;
  // A monster bound to a switched-off object is out of the game.
  if (object && !object->IsActive()) return 0;
  *took = 1;
  if (queryOnly) return 0;
  SScriptContext* context = core ? core->scriptContext : nullptr;
  if (context) context->SetThisMonster(event, object, area, monster, kOutputGameMessage);
  bool changed = false;
  u32 result = 0;
  const SNamedScript* script = core && object && object->scriptName && *object->scriptName
                                   ? core->world.scripts.Find(object->scriptName)
                                   : nullptr;
  if (script && script->HasProgram() && core->scriptInterpreter && !core->scriptInterpreter->IsRunning()) {
    // The bound object's script decides (its "default" runs the monster's own reaction).
    if (core->scriptInterpreter->LoadProgram(script->program, script->length, script->programOffset))
      core->scriptInterpreter->Run();
  } else {
    result = u32(monster->monster->HandleAction(event, area, monster, object, cell, x, y, changed));
  }
  // The script's "default" asked for another screen (the conversation of a person it let talk).
  if (!result && requestedState) result = requestedState;
  requestedState = 0;
  if (changed && context) context->AddChangedObject(area, x, y, -1, 1);
  labelRefresh = 1;
  if (context && context->changedObjects.Count()) {
    RebuildChangedCells();
    SetFullRepaint();
  }
  return result;
}

u32 SStateGame::TriggerUseOnCurrentTarget(SMapArea* area) {
  SScriptContext* context = core ? core->scriptContext : nullptr;
  if (!context) return 0;
  return TriggerCellAction(MapEvent::kTargetAction, 3, area, window.Cell(context->thisX, context->thisY),
                           context->thisX, context->thisY, context->thisSide, false, nullptr);
}
