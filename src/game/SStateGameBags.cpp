// The game state's ways into the inventory with a container: the bag on the player's cell (made when the
// cell has none) and the container of a chest or shelf the player uses.
#include "core/SGameCore.h"
#include "game/SStateGame.h"
#include "graphics/SDisplay.h"
#include "screens/SStateInventory.h"
#include "script/SScriptContext.h"
#include "world/SMapArea.h"

namespace {

SStateInventory* Inventory(SGameCore* core) {
  return core ? static_cast<SStateInventory*>(core->states[kStateInventory]) : nullptr;
}

}  // namespace

u32 SStateGame::ShowInventoryWith(SItemContainer* bag, SMapObjectInst* inst, SMapArea* area, u32 byButton) {
  SStateInventory* inventory = Inventory(core);
  if (!inventory) return 0;
  MakeViewThumbnail();
  if (bag && !inst && core->scriptContext)
    core->scriptContext->AddChangedObject(area, window.playerX, window.playerY, -1, 1);
  core->world.sounds.PlayByName("bsnd_bagopen", 10);
  inventory->PrepareEntry(bag, inst, area);
  params[0] = byButton;
  params[1] = params[2] = params[3] = 0;
  keep = 1;
  return u32(kStateInventory);
}

u32 SStateGame::OpenBagAtPlayer() {
  SMapArea* area = window.CurrentArea();
  if (!area || !Inventory(core)) return 0;
  const i32 x = window.playerX, y = window.playerY;
  SMapCell* cell = window.Cell(x, y);
  SItemContainer* bag = cell && cell->bagId ? window.FindBlockBagById(x, y, u8(cell->bagId)) : nullptr;
  if (!bag && cell) {
    bag = window.CreateBagAt(x, y);
    // A cell that takes no bag keeps none: the pack opens alone.
    if (bag && cell->bagId != bag->id) {
      area->RemoveContainer(bag->id);
      bag = nullptr;
    }
  }
  return ShowInventoryWith(bag, nullptr, area, 1);
}

SItemContainer* SStateGame::CellBag() {
  const i32 x = window.playerX, y = window.playerY;
  const SMapCell* cell = window.Cell(x, y);
  return cell && cell->bagId ? window.FindBlockBagById(x, y, u8(cell->bagId)) : nullptr;
}

void SStateGame::MakeViewThumbnail() {
  if (!display) return;
  // The view as it stands now, drawn afresh: the frame buffer may hold an older frame between frames.
  PaintView();
  display->MakeViewThumbnail(thumbnail);
}

void SStateGame::OpenBag(SMapArea* area, SMapObjectInst* inst) {
  if (!area || !inst || !Inventory(core)) return;
  SItemContainer* bag = inst->containerId ? area->FindContainerById(inst->containerId) : nullptr;
  if (!bag) {
    // A container the object has not had yet: an empty one of its own.
    bag = area->AddContainer();
    if (!bag) return;
    inst->containerId = bag->id;
  }
  requestedState = ShowInventoryWith(bag, inst, area, 0);
}
