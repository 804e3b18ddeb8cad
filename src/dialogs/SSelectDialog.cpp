#include "dialogs/SSelectDialog.h"

#include "core/SGameCore.h"
#include "core/ui/SRgb.h"
#include "platform/sound/SSoundManager.h"

namespace {
constexpr u32 kSmallPanels = 77, kLargePanels = 16, kOkSlot = 145, kCancelSlot = 143;
}  // namespace

void SSelectDialog::BeginLayout(u32 layout, const char* titleText) {
  ClearControls();
  SetLayout(layout);
  CenterOnScreen();
  HideBackground();
  for (SCtrl* c : std::initializer_list<SCtrl*>{&frame, &title, &ok, &cancel}) c->Attach(this);
  if (AddLayoutControl(&frame, kFrameId))
    frame.SetFrame(core ? &core->pictures[core->IsCompact() ? kSmallPanels : kLargePanels] : nullptr, 1,
                   RgbWord(0x101418), 15);
  if (AddLayoutControl(&title, kTitleId))
    title.SetTextStyled(titleText, STextCtrl::kCentred, 1, RgbWord(0xFFFFFF), kEdgeColour);
}

void SSelectDialog::EndLayout() {
  if (AddLayoutControl(&ok, kOkId)) ok.SetPicture(core ? &core->pictures[kOkSlot] : nullptr, kOkId, 0);
  if (AddLayoutControl(&cancel, kCancelId))
    cancel.SetPicture(core ? &core->pictures[kCancelSlot] : nullptr, kCancelId, 0);
  SetFullRepaint();
}

void SSelectDialog::AddInnerFrame(SBorderCtrl& inner, u16 id) {
  inner.Attach(this);
  if (AddLayoutControl(&inner, id)) inner.SetFrame(core ? &core->pictures[kSmallPanels] : nullptr, 0, 0, 15);
}

void SSelectDialog::ListClick() {
  if (core && core->soundManager && core->clickSounds[0]) core->soundManager->PlaySound(core->clickSounds[0], 10);
}

u32 SSelectDialog::OnCommand(u16 code) {
  if (code != kOkId && code != kCancelId) return 0;
  if (core && core->soundManager && core->clickSounds[1]) core->soundManager->PlaySound(core->clickSounds[1], 10);
  return parent ? parent->OnCommand(code) : code;
}
