#include "dialogs/SDialogCardBet.h"

#include "core/SGameCore.h"
#include "core/ui/SRgb.h"
#include "platform/sound/SSoundManager.h"
#include "world/SPeopleTables.h"

namespace {
constexpr char kCoin = 9;
}  // namespace

i32 SDialogCardBet::StepFor(i32 most) {
  if (most <= 100) return 10;
  if (most <= 300) return 50;
  if (most <= 1000) return 100;
  return 1000;
}

void SDialogCardBet::Attach(SGameCore* gameCore) {
  SDialog::Attach(gameCore);
  SCtrl* const all[] = {&frame, &title, &raise, &lower, &toMaximum, &toMinimum, &amount, &accept, &cancel};
  for (SCtrl* c : all) c->Attach(this);
}

void SDialogCardBet::Open(const SNpc* partner) {
  // The person record keeps the most it bets in a signed 16-bit field; the bet reads it unsigned, so that
  // 32,768 to 65,535 stay bets rather than none.
  maximum = partner ? u16(partner->param16) : 0;
  step = StepFor(maximum);
  bet = step;

  ClearControls();
  SetLayout(kLayout);
  CenterOnScreen();
  SetBackgroundPicture(core ? core->Picture(0) : nullptr);
  SImageEntry* const* pictures = core ? core->pictures : nullptr;
  if (AddLayoutControl(&frame, kFrameId)) frame.SetFrame(core ? core->FrameSet() : nullptr, 0, 0, 15);
  if (AddLayoutControl(&title, kTitleId))
    title.SetTextStyled("Bet?", STextCtrl::kCentred | STextCtrl::kMiddle, 1, RgbWord(0xFFFFFF), RgbWord(0x161616));
  // Lower and raise by a step: the decrease and increase arrows; to the least and the most: the page
  // buttons.
  const struct {
    SButtonCtrl* button;
    u16 id;
    u32 slot;
  } buttons[] = {{&lower, kLower, 449},       {&raise, kRaise, 451},   {&toMinimum, kMinimum, 135},
                 {&toMaximum, kMaximum, 137}, {&accept, kAccept, 145}, {&cancel, kCancel, 143}};
  for (const auto& b : buttons)
    if (AddLayoutControl(b.button, b.id)) b.button->SetPicture(pictures ? &pictures[b.slot] : nullptr, b.id, 0);
  if (AddLayoutControl(&amount, kAmountId))
    amount.SetTextStyled("", STextCtrl::kCentred | STextCtrl::kMiddle, 1, RgbWord(0x64C8C8), RgbWord(0x161616));
  Refresh();
  ResetInputGuard();
}

void SDialogCardBet::Refresh() {
  raise.Enable(bet < maximum);
  toMaximum.Enable(bet < maximum);
  lower.Enable(bet > step);
  toMinimum.Enable(bet > step);
  SString text;
  text.Format("%u%c", u32(bet), kCoin);
  SGameCore::ConvertNumberGlyphs(text);
  amount.SetText(text.CStr());
  SetFullRepaint();
}

void SDialogCardBet::Click(u32 which) {
  if (core && core->soundManager && core->clickSounds[which])
    core->soundManager->PlaySound(core->clickSounds[which], 10);
}

u32 SDialogCardBet::OnCommand(u16 code) {
  switch (code) {
    case kRaise:
    case kLower:
    case kMaximum:
    case kMinimum:
      Click(0);
      if (code == kRaise) bet = bet + step < maximum ? bet + step : maximum;
      if (code == kLower) bet = bet - step > step ? bet - step : step;
      if (code == kMaximum) bet = maximum;
      if (code == kMinimum) bet = step;
      Refresh();
      return 0;
    case kAccept:
    case kCancel: Click(1); return parent ? parent->OnCommand(code) : code;
    default: return 0;
  }
}
