// Resting: a crackling fire while the hours count from 1 to 8, one a little over a second apart, then the
// wake-up text and "OK" (code 5, handed to the opener, which closes the dialog). Opened by the game state for
// rest in the open and by the interior for a night at an inn, whose innkeeper serves food and whose bed
// leaves the player with a quarter more than the maximum hit points and mana.
#pragma once
#include "core/ui/SAnimCtrl.h"
#include "dialogs/SGameDialog.h"
#include "world/SImageCache.h"

class SNpc;

class SDialogRest : public SGameDialog {
 public:
  static constexpr u32 kLayout = 1;
  static constexpr u16 kFireId = 1, kRestingId = 2, kHourId = 3, kHoursId = 4, kOk = 5, kBackFrameId = 6, kWakeUpId = 7,
                       kFrameId = 19;
  static constexpr u16 kCloseCode = kOk;
  static constexpr u16 kFirstFireRecord = 3062;
  static constexpr u32 kStepMs = 1000;

  ~SDialogRest() override { Reset(); }
  void Attach(SGameCore* gameCore) override;
  // The innkeeper, or null for rest in the open.
  void Open(const SNpc* innkeeper);
  // Clears the dialog after it closed and lets the fire pictures go.
  void Reset();
  u32 OnTick(u32 frameCounter, SDisplay* screen) override;
  // Everything, background first: over the game the view is drawn anew under the dialog every frame.
  void Paint() override;
  u32 OnCommand(u16 code) override;

  const SNpc* keeper = nullptr;
  i32 hour = 1;
  u32 lastStep = 0;
  u32 rained = 0;  // set by the game state when it rained on a resting player in the open

  SBorderCtrl frame, backFrame;
  STextCtrl resting, hourText, hoursWord, wakeUp;
  SButtonCtrl ok;
  SAnimCtrl fire;
  SImageEntry firePictures[8];
  const SImage* fireFrames[8] = {};

 private:
  void ShowHour();
  void WakeUp();
};
