// The bet before a card game: the player steps the amount between the step and the partner's maximum bet
// and accepts or cancels. The conversation and the interior hold one and open it as their modal child;
// accepting (25) and cancelling (26) go to the owner, which checks the purse and starts the game.
#pragma once
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SDialog.h"
#include "core/ui/SPicCtrl.h"
#include "core/ui/STextCtrl.h"

class SNpc;

class SDialogCardBet : public SDialog {
 public:
  static constexpr u32 kLayout = 15;
  // Layout ids, which are also the command codes.
  static constexpr u16 kFrameId = 19, kTitleId = 16, kRaise = 134, kLower = 135, kMaximum = 136, kMinimum = 137,
                       kAmountId = 138, kAccept = 25, kCancel = 26;

  void Attach(SGameCore* gameCore) override;
  // Lays the dialog out, centred on the screen, for the partner's maximum bet (none: 0): the step is 10
  // up to a maximum of 100, 50 up to 300, 100 up to 1,000, else 1,000; the bet starts at the step.
  void Open(const SNpc* partner);
  // The step buttons change the bet; accept and cancel go to the owner's OnCommand.
  u32 OnCommand(u16 code) override;
  u32 OnTick(u32 frameCounter, SDisplay* screen) override { return 0; }

  // The step for a maximum bet.
  static i32 StepFor(i32 maximum);

  i32 bet = 0;
  i32 maximum = 0;
  i32 step = 0;  // also the least bet

  SBorderCtrl frame;
  STextCtrl title;
  SButtonCtrl raise, lower, toMaximum, toMinimum;
  STextCtrl amount;
  SButtonCtrl accept, cancel;

 private:
  // Enables the buttons for the bet and rewrites the amount.
  void Refresh();
  void Click(u32 which);
};
