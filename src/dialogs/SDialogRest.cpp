#include "dialogs/SDialogRest.h"

#include "core/SGameCore.h"
#include "core/ui/SPlaceControls.h"
#include "core/ui/SRgb.h"
#include "foundation/TimeUtil.h"
#include "game/SStateGame.h"
#include "platform/hal/Game.h"
#include "platform/sound/SSoundManager.h"
#include "player/SPlayer.h"
#include "world/SEffectKinds.h"
#include "world/SPeopleTables.h"
#include "world/SSoundTable.h"

namespace {
constexpr u32 kTextColour = RgbWord(0xC8C8C8), kEdgeColour = RgbWord(0x161616);

// A quarter above the maximum, figured in 32 bits and kept within the record's 16-bit field.
i32 InnBonus(i32 maximum) {
  const i64 v = i64(maximum > 0 ? maximum : 0) * 5 / 4;
  return v > 65535 ? 65535 : i32(v);
}
}  // namespace

void SDialogRest::Attach(SGameCore* gameCore) {
  SDialog::Attach(gameCore);
  SCtrl* const all[] = {&frame, &backFrame, &resting, &hourText, &hoursWord, &wakeUp, &ok, &fire};
  for (SCtrl* c : all) c->Attach(this);
}

void SDialogRest::Open(const SNpc* innkeeper) {
  for (u32 i = 0; i < 8; ++i) {
    if (!firePictures[i].IsResident() && core) LoadDataPicture(&core->data, u16(kFirstFireRecord + i), firePictures[i]);
    fireFrames[i] = firePictures[i].image;
  }
  ClearControls();
  SetLayout(kLayout);
  CenterOnScreen();
  SetBackgroundPicture(core ? core->Picture(0) : nullptr);
  AddFrame(frame, kFrameId, true);
  AddFrame(backFrame, kBackFrameId, true);
  if (AddLayoutControl(&fire, kFireId)) fire.SetFrames(fireFrames);
  const u32 centred = STextCtrl::kCentred | STextCtrl::kMiddle;
  AddText(resting, kRestingId, "Resting...", centred, kTextColour, kEdgeColour);
  AddText(hourText, kHourId, "", centred, RgbWord(0x64C8C8), kEdgeColour);
  AddText(hoursWord, kHoursId, "hours", centred, kTextColour, kEdgeColour);
  AddText(wakeUp, kWakeUpId, "", centred, kTextColour, kEdgeColour);
  AddPictureButton(ok, kOk, kConfirmSlot);
  keeper = innkeeper;
  rained = 0;
  hour = 1;
  lastStep = Hal::GetTime();
  ShowHour();
  if (core) core->world.sounds.PlayLoopByName("bsnd_fire", 6);
  wakeUp.SetText("");
  ok.Show(false);
  SetFullRepaint();
  ResetInputGuard();
}

void SDialogRest::Reset() {
  ClearControls();
  keeper = nullptr;
  for (u32 i = 0; i < 8; ++i) {
    fireFrames[i] = nullptr;
    firePictures[i].Unload();
  }
}

void SDialogRest::ShowHour() {
  SString text;
  text.Format("%u", u32(hour));
  hourText.SetText(text.CStr());
  hourText.MarkDirty();
}

void SDialogRest::WakeUp() {
  SString text;
  if (keeper && core) {
    SPlayer& player = core->player;
    text.Format("As you wake up, %s serves delicious food and water.\r", keeper->texts[0] ? keeper->texts[0] : "");
    text.Append("You feel you're fully rested.\r(hp and sp are increased for a while).\r");
    player.SetHp(InnBonus(player.GetMaxHp()), false);
    player.SetMana(InnBonus(player.GetMaxMana()), false);
    // A disease's poison stays with the disease: the line is only for a poison the night took away, and
    // only when none is left.
    if (player.CureEffect(EffectKind::kPoison) && player.effects[kCategoryPoison].IsEmpty())
      text.Append("You're no longer poisoned.\r");
  } else {
    text.Assign("You eat and drink as you wake up.\r");
    text.Append(rained ? "Because it was raining while you slept, your hp and sp may not have recovered fully."
                       : "Your hp and sp have been restored.");
  }
  wakeUp.SetText(text.CStr());
  ok.Show(true);
  SetFullRepaint();
}

u32 SDialogRest::OnTick(u32 frameCounter, SDisplay* screen) {
  const u32 now = Hal::GetTime();
  if (TicksElapsed(now, lastStep, kStepMs) && hour < 8) {
    ++hour;
    ShowHour();
    if (hour == 8) WakeUp();
    lastStep = now;
  }
  return SDialog::OnTick(frameCounter, screen);
}

void SDialogRest::Paint() {
  SetFullRepaint();
  SDialog::Paint();
}

u32 SDialogRest::OnCommand(u16 code) {
  if (code != kOk) return 0;
  if (core && core->soundManager) core->soundManager->StopSounds();
  Click(1);
  return parent ? parent->OnCommand(code) : code;
}
