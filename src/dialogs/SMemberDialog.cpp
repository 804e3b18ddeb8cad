#include "dialogs/SMemberDialog.h"

#include "core/SGameCore.h"
#include "core/ui/SRgb.h"
#include "graphics/SDisplay.h"
#include "graphics/SFont.h"

void SMemberDialog::Attach(SGameCore* gameCore) {
  SDialog::Attach(gameCore);
  ok.Attach(this);
}

void SMemberDialog::Show(const char* text, bool whole) {
  title.Assign(text ? text : "");
  fullScreen = whole ? 1 : 0;
  ClearControls();
  ok.SetText("Ok", closeCode);
  const i32 screenW = display ? display->Width() : 240, screenH = display ? display->Height() : 320;
  if (whole) {
    left = top = 0;
    width = screenW;
    height = screenH;
  } else {
    width = screenW * 3 / 4;
    height = (font ? font->LineHeight() : 12) + ok.height + 40;
    if (display) CenterInView();
  }
  ok.SetPos(u16(left + (width - ok.width) / 2), u16(top + height - ok.height - 12));
  AddControl(&ok);
  SetFullRepaint();
}

void SMemberDialog::Paint() { PaintControls(); }

void SMemberDialog::PaintGround() {
  if (fullScreen && display) display->FillRect(left, top, width, height, 0);
  if (core) core->DrawPanel3H(&core->pictures[1], 1, left, top, width, height);
  if (font) {
    font->Select(1, SGameCore::kMessageTextColour, SGameCore::kMessageShadeColour);
    font->DrawTextCentred(left + 12, top + 14, left + width - 12, top + height - 12, title.CStr());
  }
  SDialog::PaintGround();
}

u32 SMemberDialog::OnCommand(u16 code) {
  if (code != closeCode) return 0;
  return parent ? parent->OnCommand(closeCode) : 0;
}
