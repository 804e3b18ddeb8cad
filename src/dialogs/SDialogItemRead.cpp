#include "dialogs/SDialogItemRead.h"

#include "core/SGameCore.h"
#include "core/ui/SPlaceControls.h"
#include "core/ui/SRgb.h"
#include "screens/inventory/SInventoryPictures.h"

void SDialogItemRead::Attach(SGameCore* gameCore) {
  SDialog::Attach(gameCore);
  SCtrl* const all[] = {&background, &frame, &text, &previous, &next, &close};
  for (SCtrl* c : all) c->Attach(this);
  if (gameCore) box.Attach(gameCore);
  boxText.Attach(&box);
}

void SDialogItemRead::Open(u32 readingKind) {
  kind = readingKind;
  page = 0;
  child = nullptr;
  ClearControls();
  SetLayout(kind == kLetter ? kLetterLayout : kBookLayout);
  CenterOnScreen();
  HideBackground();
  const bool compact = core && core->IsCompact();
  if (AddLayoutControl(&background, kBackgroundId)) {
    background.tileMode = 1;
    background.SetPicture(core ? core->Picture(InventoryPicture::kReadingPage) : nullptr);
  }
  if (AddLayoutControl(&frame, kFrameId)) frame.SetFrame(InventoryPicture::Border(core, compact ? 'S' : 'L'), 0, 0, 15);
  if (AddLayoutControl(&text, kTextId))
    text.Setup(1, RgbWord(0x161616), RgbWord(0x161616), RgbWord(0xC8B496), 0, 6, 4, RgbWord(0x161616),
               RgbWord(0x161616));
  text.SetText("", "", 0, 0);
  PlaceButton(*this, previous, kPrevId, InventoryPicture::kReadPrevious);
  PlaceButton(*this, next, kNextId, InventoryPicture::kReadNext);
  PlaceButton(*this, close, kCloseId, InventoryPicture::kReadClose, 3007);
  UpdatePageButtons();
  PlaySoundByName(kind == kLetter ? "bsnd_letteropenclose" : "bsnd_bookopen");
  ResetInputGuard();
  SetFullRepaint();
}

void SDialogItemRead::SetText(const char* title, const char* body) {
  text.SetText(title ? title : "", body ? body : "", 0, 0);
  ShowPage(0);
}

void SDialogItemRead::ShowPage(i32 n) {
  const i32 pages = i32(text.PageCount());
  page = n < 0 ? 0 : (pages > 0 && n >= pages ? pages - 1 : n);
  text.ShowPage(page);
  UpdatePageButtons();
  SetFullRepaint();
}

void SDialogItemRead::UpdatePageButtons() {
  const i32 pages = i32(text.PageCount());
  if (page == 0 && pages < 2) {
    previous.Hide();
    next.Hide();
    return;
  }
  if (previous.IsInDialog()) previous.Show(true);
  if (next.IsInDialog()) next.Show(true);
  previous.Enable(page >= 1);
  next.Enable(pages > page + 1);
}

void SDialogItemRead::ShowMessage(const char* message) {
  if (!core) return;
  core->ShowMessageBox(message, kOk, &boxText, &box, this);
}

u32 SDialogItemRead::OnCommand(u16 code) {
  switch (code) {
    case kPrevId:
    case kNextId:
      PlaySoundByName("bsnd_bookpage");
      ShowPage(code == kPrevId ? page - 1 : page + 1);
      return 0;
    case kCloseId:
      PlaySoundByName(kind == kLetter ? "bsnd_letteropenclose" : "bsnd_bookclose");
      return parent ? parent->OnCommand(code) : 0;
    case kOk:
      CloseChild();
      SetFullRepaint();
      return 0;
    default: return 0;
  }
}
