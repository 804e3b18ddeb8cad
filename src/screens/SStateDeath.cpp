#include "screens/SStateDeath.h"

#include "core/SGameCore.h"
#include "core/SStateNumbers.h"
#include "core/ui/SPlaceControls.h"
#include "core/ui/SRgb.h"

namespace {
constexpr u32 kUseAction = 3006;
constexpr u32 kButtonSlot = 145;
}  // namespace

void SStateDeath::Attach(SGameCore* gameCore) {
  SState::Attach(gameCore);
  for (SPicCtrl& p : pictures) p.Attach(this);
  epitaph.Attach(this);
  button.Attach(this);
}

void SStateDeath::Enter(u32 w0, u32 w1, u32 w2, u32 w3) {
  SState::Enter(w0, w1, w2, w3);
  for (u32 i = 0; i < 3; ++i)
    if (!holders[i].IsResident()) LoadDataPicture(data, u16(kFirstRecord + i), holders[i]);
  ClearControls();
  SetLayout(kLayout);
  SetPos(0, 0);
  SetBlackBackground();
  for (u32 i = 0; i < 3; ++i)
    if (AddLayoutControl(&pictures[i], kPictureIds[i])) pictures[i].SetPicture(holders[i].image, 0, 1);
  if (AddLayoutControl(&epitaph, kTextId))
    epitaph.SetTextStyled(kEpitaph, STextCtrl::kCentred, 1, RgbWord(0xC8C8C8), RgbWord(0x5B3A34));
  if (AddLayoutControl(&button, kButtonId))
    button.SetPicture(core ? &core->pictures[kButtonSlot] : nullptr, kButtonId, kUseAction);
  Paint();
  ResetInputGuard();
}

void SStateDeath::Leave(u32 next) {
  for (SImageEntry& h : holders) h.Unload();
  SState::Leave(next);
}

u32 SStateDeath::OnCommand(u16 code) {
  if (code != kButtonId) return 0;
  params[0] = params[1] = params[2] = params[3] = 0;
  return kStateMain;
}
