#include "dialogs/SDialogShipTravel.h"

#include "core/SGameCore.h"
#include "core/ui/SPlaceControls.h"
#include "core/ui/SRgb.h"
#include "game/SStateGame.h"
#include "platform/sound/SSoundManager.h"

void SDialogShipTravel::Attach(SGameCore* gameCore) {
  SDialog::Attach(gameCore);
  SCtrl* const all[] = {&frame, &pictureFrame, &picture, &text, &ok};
  for (SCtrl* c : all) c->Attach(this);
}

void SDialogShipTravel::Open(const char* shown, const char* destinationName) {
  if (!shipPicture.IsResident() && LoadDataPicture(data, kShipPictureRecord, shipPicture)) ++pictureReads;
  voyage.Assign(shown ? shown : "");
  ClearControls();
  SetLayout(kLayout);
  SetPos(0, 0);
  SetBackgroundPicture(core ? core->Picture(0) : nullptr);
  SStateGame* game = core ? core->stateGame : nullptr;
  if (game) game->StopAmbientSounds(true);
  if (destinationName) destination.Assign(destinationName);
  AddFrame(frame, kFrameId, true);
  AddFrame(pictureFrame, kPictureFrameId, true);
  AddPictureButton(ok, kCloseCode, kConfirmSlot);
  AddLayoutControl(&picture, kPictureId);
  picture.SetPicture(shipPicture.image, 0, 0);
  picture.SetFrame(SmallFrameSet());
  if (core) core->world.sounds.PlayLoopByName("bsnd_shiptravel", 10);
  AddText(text, kTextId, voyage.CStr(), STextCtrl::kCentred | STextCtrl::kMiddle, RgbWord(0xC8C8C8), 0);
  ResetInputGuard();
  SetFullRepaint();
}

u32 SDialogShipTravel::OnTick(u32 frameCounter, SDisplay* screen) {
  SetFullRepaint();
  return SDialog::OnTick(frameCounter, screen);
}

u32 SDialogShipTravel::OnCommand(u16 code) {
  if (code != kCloseCode) return 0;
  if (core && core->soundManager) core->soundManager->StopSounds();
  Click(1);
  if (core && core->stateGame) core->stateGame->TeleportToPosition(destination.CStr(), 0);
  return parent ? parent->OnCommand(kCloseCode) : 0;
}
