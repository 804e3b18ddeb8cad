#include "dialogs/SDialogFaceSelect.h"

#include "core/SGameCore.h"
#include "core/ui/SPlaceControls.h"
#include "core/ui/SRgb.h"
#include "screens/inventory/SInventoryPictures.h"

void SDialogFaceSelect::Attach(SGameCore* gameCore) {
  SDialog::Attach(gameCore);
  SCtrl* const all[] = {&frame, &title, &face, &previous, &next, &ok, &cancel};
  for (SCtrl* c : all) c->Attach(this);
}

void SDialogFaceSelect::Open() {
  child = nullptr;
  ClearControls();
  SetLayout(kLayout);
  CenterOnScreen();
  SetBackgroundPicture(core ? core->Picture(0) : nullptr);
  const bool compact = core && core->IsCompact();
  if (AddLayoutControl(&frame, kFrameId)) frame.SetFrame(InventoryPicture::Border(core, compact ? 'S' : 'L'), 0, 0, 15);
  if (AddLayoutControl(&title, kTitleId))
    title.SetTextStyled("Select player face", STextCtrl::kCentred | STextCtrl::kMiddle, 1, RgbWord(0xFFFFFF),
                        RgbWord(0x585858));
  AddLayoutControl(&face, kFaceId);
  PlaceButton(*this, previous, kPrevId, InventoryPicture::kFacePrevious);
  PlaceButton(*this, next, kNextId, InventoryPicture::kFaceNext);
  PlaceButton(*this, ok, kOkId, InventoryPicture::kFaceOk);
  PlaceButton(*this, cancel, kCancelId, InventoryPicture::kFaceCancel, 3007);

  faces.Clear();
  if (core)
    for (const SFace* f : core->world.faces.faces)
      if (f && f->selectable) faces.AddText(f->name.Text());
  faces.SortTexts();
  const char* current = core ? core->player.portrait.CStr() : nullptr;
  index = current && *current ? faces.FindText(current) : -1;
  UpdateArrows();
  ShowFace();
  ResetInputGuard();
  SetFullRepaint();
}

void SDialogFaceSelect::UpdateArrows() {
  previous.Enable(index > 0);
  next.Enable(index < i32(faces.Count()) - 1);
}

void SDialogFaceSelect::ShowFace() {
  if (const char* name = faces.Text(index)) {
    face.SetFace(name);
  } else {
    face.SetPicture(core ? core->Picture(InventoryPicture::kPlaceholderFace) : nullptr);
  }
  face.MarkDirty();
}

u32 SDialogFaceSelect::OnCommand(u16 code) {
  switch (code) {
    case kOkId:
    case kCancelId: PlayClick(1); return parent ? parent->OnCommand(code) : 0;
    case kPrevId:
    case kNextId: {
      // The arrows go no further than the list's ends (the buttons say so, keys may not).
      const i32 last = i32(faces.Count()) - 1;
      const i32 to = code == kPrevId ? index - 1 : index + 1;
      if (to < 0 || to > last) return 0;
      index = to;
      PlayClick(0);
      UpdateArrows();
      ShowFace();
      return 0;
    }
    default: return 0;
  }
}
