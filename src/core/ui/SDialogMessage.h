// The game's one message box: a panel with a body text and a row of up to ten text buttons chosen by a
// mask. It sizes itself to its text and the display mode, centres itself on the screen or on the game
// view, shows long texts a page at a time behind "Continue", lets the confirm and cancel actions press
// the default buttons, clicks on every press, and hands the pressed button's code to the dialog that
// opened it.
#pragma once
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SDialog.h"

class SDialogTextCtrl;

class SDialogMessage : public SDialog {
 public:
  static constexpr u32 kButtons = 10;
  // The button codes, in the order the buttons are added.
  static constexpr u32 kOk = 1, kCancel = 2, kYes = 4, kNo = 8, kContinue = 16, kLeft = 32, kRight = 64, kOpen = 128,
                       kDisarm = 256, kPick = 512;
  static constexpr u32 kActionConfirm = 3006, kActionCancel = 3007;

  SDialogMessage() = default;
  ~SDialogMessage() override;

  void Attach(SGameCore* gameCore) override;
  // Lays the box out around the text control (attached, filled and styled by the caller) with the mask's
  // buttons, centred on the screen (centreOnScreen) or on the game view. Input waits for the next frame.
  void Setup(SDialogTextCtrl* textCtrl, u32 buttonMask, u32 centreOnScreen);
  void SetOwnsText(u32 owns) { ownsText = owns; }
  // Adds the member button of a code with its caption; a code outside the table does nothing.
  void AddButton(u32 code);
  void LayoutButtons(i32 xOffset, i32 yOffset);
  i32 ButtonsWidth() const;

  void Paint() override;
  void PaintGround() override;
  u32 OnCommand(u16 code) override;
  u32 OnKey(u32 key) override;
  u32 OnPen(i32 x, i32 y, u32 touching, u32 moving) override;
  u32 OnTick(u32 frameCounter, SDisplay* screen) override { return 0; }

  // The member button of a code, or null.
  SCtrlMessageButton* Button(u32 code);
  bool IsListed(u32 code);

  u32 buttonCodes[kButtons] = {};
  SDialogTextCtrl* text = nullptr;
  u32 ownsText = 0;
  u32 buttonMask = 0;
  u32 buttonCount = 0;
  SCtrlMessageButton buttons[kButtons];
  i32 textHeight = 0;  // the text control's height from the last set-up

 private:
  // Adds the mask's buttons; a row wider than the screen allows narrows (NarrowButtons).
  void AddMaskButtons();
  // Takes pixels off the listed buttons, one at a time from each in turn, until their row is no wider than
  // `room`, but never below a button's caption and the 8 pixels at each of its ends.
  void NarrowButtons(i32 room);
  i32 Gap() const;
  void DrawPanel();
  void Click(u32 which);
};
