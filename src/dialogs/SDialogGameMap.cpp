#include "dialogs/SDialogGameMap.h"

#include "core/SGameCore.h"
#include "core/SPictureRoles.h"
#include "core/SRolePictures.h"
#include "core/ui/SRgb.h"
#include "game/SStateGame.h"
#include "world/SMapArea.h"
#include "world/SWorldModule.h"

namespace {

// Dark blue on the game core's light interface colour (a colour word already).
constexpr u32 kColour = RgbWord(0x151C34), kShade = SGameCore::kLightTextColour;

}  // namespace

void SDialogGameMap::Attach(SGameCore* gameCore) {
  SDialog::Attach(gameCore);
  SCtrl* const all[] = {&frame, &title, &selection, &day, &time, &automap, &worldMap, &worldView, &localView, &close};
  for (SCtrl* c : all) c->Attach(this);
}

void SDialogGameMap::Open() {
  ClearControls();
  SetLayout(kLayout);
  SetPos(0, 0);
  SetBackgroundPicture(core ? core->Picture(PictureRole::kParchment) : nullptr);
  SStateGame* game = core ? core->stateGame : nullptr;
  const u32 centred = STextCtrl::kCentred | STextCtrl::kMiddle;
  AddFrame(frame, kFrameId, true);
  AddText(title, kTitleId, "", centred, kColour, kShade);
  AddText(selection, kSelectionId, "", centred, kColour, kShade);
  automap.game = game;
  AddLayoutControl(&automap, kMapId);
  automap.SetDragMode();
  automap.UpdateLayout();
  automap.CentreOrigin();
  AddLayoutControl(&worldMap, kMapId);
  worldMap.Setup();
  worldMap.SetTarget(SGameWorldMapCtrl::kNoTarget, SGameWorldMapCtrl::kNoTarget);
  SString text;
  text.Format("Day %u", game ? game->GetDay() : 1u);
  AddText(day, kDayId, text.CStr(), centred, kColour, kShade);
  if (game)
    game->FormatTime(text);
  else
    text.Assign("");
  AddText(time, kTimeId, text.CStr(), centred, kColour, kShade);
  AddPictureButton(worldView, kWorldViewId, RolePicture::Slot(RolePicture::kWorldView));
  AddPictureButton(localView, kLocalViewId, RolePicture::Slot(RolePicture::kLocalView));
  AddPictureButton(close, kCloseCode, kCloseSlot);
  ShowWorldView(false);
  ResetInputGuard();
}

void SDialogGameMap::ShowWorldView(bool world) {
  selection.SetText("");
  worldMap.SetTarget(SGameWorldMapCtrl::kNoTarget, SGameWorldMapCtrl::kNoTarget);
  const SWorldModule* module = core ? core->CurrentWorld() : nullptr;
  // A controls the layout lacks stays out of the dialog, shown or not.
  auto show = [](SCtrl& c, bool on) {
    if (c.IsInDialog()) c.Show(on);
  };
  show(worldMap, world);
  show(automap, !world);
  show(localView, world);
  show(worldView, !world);
  if (world) {
    title.SetText(module ? module->firstText.CStr() : "");
  } else {
    const SStateGame* game = core ? core->stateGame : nullptr;
    const SMapArea* map = game ? game->window.CurrentArea() : nullptr;
    title.SetText(map && map->title ? map->title : "");
  }
  SetFullRepaint();
}

void SDialogGameMap::SelectTile() {
  const SWorldModule* module = core ? core->CurrentWorld() : nullptr;
  const i32 dx = worldMap.lastX - i32(worldMap.left) - worldMap.offsetX;
  const i32 dy = worldMap.lastY - i32(worldMap.top) - worldMap.offsetY;
  const i32 column = dx / SGameWorldMapCtrl::kTilePixels, row = dy / SGameWorldMapCtrl::kTilePixels;
  if (!module || dx < 0 || dy < 0 || column >= i32(module->value1) || row >= i32(module->value2)) {
    selection.SetText("");
    worldMap.SetTarget(SGameWorldMapCtrl::kNoTarget, SGameWorldMapCtrl::kNoTarget);
    return;
  }
  worldMap.SetTarget(u32(column), u32(row));
  // A tile the module has no map for names nothing.
  const SMapArea* map = module->FindMapByGrid(u32(column) + 1, u32(row) + 1);
  SString text;
  if (map && map->title) text.Format("Selected: %s", map->title);
  selection.SetText(text.CStr());
}

u32 SDialogGameMap::OnCommand(u16 code) {
  switch (code) {
    case kMapId:
      if (worldMap.IsVisible()) SelectTile();
      return 0;
    case kCloseCode: Click(1); return parent ? parent->OnCommand(kCloseCode) : 0;
    case kWorldViewId:
    case kLocalViewId:
      Click(0);
      ShowWorldView(code == kWorldViewId);
      return 0;
    default: return 0;
  }
}
