#include "dialogs/SDialogMarkRecall.h"

#include "core/SGameCore.h"
#include "core/SPictureRoles.h"
#include "core/ui/SRgb.h"
#include "foundation/TimeUtil.h"
#include "game/SStateGame.h"
#include "player/SPlayer.h"
#include "world/SMapArea.h"
#include "world/SWorldModule.h"

void SDialogMarkRecall::Attach(SGameCore* gameCore) {
  SDialog::Attach(gameCore);
  SCtrl* const all[] = {&frame, &title, &list, &pageUp, &pageDown, &ok, &cancel};
  for (SCtrl* c : all) c->Attach(this);
}

void SDialogMarkRecall::Open(u32 markMode) {
  mode = markMode;
  ClearControls();
  SetLayout(kLayout);
  CenterInView();
  SetBackgroundPicture(core ? core->Picture(PictureRole::kParchment) : nullptr);
  AddFrame(frame, kFrameId, true);
  AddText(title, kTitleId, mode ? "Mark a position" : "Recall a position", STextCtrl::kCentred | STextCtrl::kMiddle,
          RgbWord(0x161616), SGameCore::kLightTextColour);
  AddList(list, kListId, RgbWord(0x161616), SGameCore::kMessageShadeColour);
  AddPictureButton(pageUp, kPageUpId, kPageUpSlot);
  AddPictureButton(pageDown, kPageDownId, kPageDownSlot);
  AddPictureButton(ok, kOkId, kConfirmSlot);
  AddPictureButton(cancel, kCloseCode, kCloseSlot);
  if (mode)
    if (SPlayer* player = Player()) player->GrowMarkedPositions();
  FillList(false);
  ResetInputGuard();
}

void SDialogMarkRecall::FillList(bool keepSelection) {
  const i32 kept = list.selected;
  list.Clear();
  SString text;
  if (const SPlayer* player = Player())
    for (u32 i = 0; i < player->markedPositions.Count(); ++i) {
      const SMarkedPosition* p = player->GetMarkedPosition(i32(i));
      if (!p) continue;
      if (p->IsHeld())
        text.Format("%u. %s, %s", i + 1, p->worldTitle.CStr(), p->mapTitle.CStr());
      else
        text.Format("%u. -", i + 1);
      list.AddRow(0, text.CStr());
    }
  list.selected = keepSelection ? kept : -1;
  list.ResetView(keepSelection);
  UpdatePageButtons(list, pageUp, pageDown);
  SetFullRepaint();
}

void SDialogMarkRecall::Mark() {
  SPlayer* player = Player();
  SStateGame* game = core ? core->stateGame : nullptr;
  if (!player || !game || list.selected < 0) return;
  player->SetMarkedPosition(u32(list.selected), core->CurrentWorld(), game->window.CurrentArea(), u8(player->GetMapX()),
                            u8(player->GetMapY()), u8(PositiveMod(game->facing, 360) / 90));
  FillList(true);
  game->QueueMessage("Position has been marked.", 0, nullptr);
}

void SDialogMarkRecall::Recall() {
  SPlayer* player = Player();
  SStateGame* game = core ? core->stateGame : nullptr;
  const SMarkedPosition* p = player ? player->GetMarkedPosition(list.selected) : nullptr;
  if (!game || !p || !p->IsHeld()) return;
  SWorldModule* module = core->world.modules.FindByName(p->worldName.CStr());
  SMapArea* map = module ? module->FindMap(p->mapName.CStr()) : nullptr;
  // A stored cell comes from a saved game: one outside the map is refused like a missing map.
  if (!map || p->column >= map->width || p->row >= map->height) {
    game->QueueMessage("Teleport failed.", 0, nullptr);
    return;
  }
  game->QueueCellTransition(module, map, p->column, p->row, p->facing % 4, 1);
}

u32 SDialogMarkRecall::OnCommand(u16 code) {
  switch (code) {
    case kOkId:
      if (mode)
        Mark();
      else
        Recall();
      Click(1);
      return parent ? parent->OnCommand(kCloseCode) : 0;
    case kCloseCode: Click(1); return parent ? parent->OnCommand(kCloseCode) : 0;
    case kListId: Click(0); return 0;
    case kPageUpId:
    case kPageDownId:
      Click(0);
      Page(list, code == kPageDownId, pageUp, pageDown);
      return 0;
    default: return 0;
  }
}
