// The game core's set-up of the message box over a screen.
#include "core/SGameCore.h"
#include "core/ui/SDialogMessage.h"
#include "core/ui/SDialogTextCtrl.h"
#include "graphics/SDisplay.h"
#include "graphics/SFont.h"

namespace {

constexpr u32 kMessageText = SGameCore::kMessageTextColour, kMessageShade = SGameCore::kMessageShadeColour;

}  // namespace

void SGameCore::StyleMessageText(SDialogTextCtrl* text) {
  if (!text) return;
  text->SetStyle(1, kMessageTextColour, kMessageTextColour, kMessageSubduedColour, kMessageShadeColour, pictures[5]);
  text->drawBackground = 0;
  text->centred = 1;
  text->bulletMargin = 0;
}

void SGameCore::SetupMessageBox(const char* text, u32 buttons, SDialogTextCtrl* textCtrl, SDialogMessage* box,
                                SDialog* owner) {
  if (!textCtrl || !box) return;
  // Four fifths of the game view, whatever screen the box opens over: the display holds the view from
  // start-up on.
  if (display) textCtrl->width = u16(display->View().viewWidth * 4 / 5);
  if (!box->core) box->Attach(this);
  textCtrl->Attach(owner);
  if (!owner) {
    // A box without an opener: the text still draws with this core's screen and fonts.
    textCtrl->core = this;
    textCtrl->display = display;
    textCtrl->font = font;
  }
  textCtrl->Clear();
  // The lines are cut with the font the box draws them in.
  if (font) font->Select(1, kMessageText, kMessageShade);
  textCtrl->AddText(text, 1, 0);
  StyleMessageText(textCtrl);
  box->Setup(textCtrl, buttons, 1);
  // Again: the rows per page follow the height the box gave the text.
  StyleMessageText(textCtrl);
}

void SGameCore::ShowMessageBox(const char* text, u32 buttons, SDialogTextCtrl* textCtrl, SDialogMessage* box,
                               SDialog* owner) {
  SetupMessageBox(text, buttons, textCtrl, box, owner);
  if (!box) return;
  box->ResetInputGuard();
  box->SetFullRepaint();
  box->child = nullptr;
  if (owner) owner->OpenChild(box);
}
