// The choice box: "What do you want?" over a list control the caller has filled, with "Ok" and "Cancel"
// and, for lists longer than a page of eight rows, two scroll buttons. "Ok" leaves the selected row's key
// text in `result`.
#pragma once
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SDialog.h"
#include "core/ui/STextCtrl.h"
#include "foundation/SString.h"

class SDialogListCtrl;

class SDialogList : public SDialog {
 public:
  static constexpr u32 kOk = 1, kCancel = 2, kScrollUp = 256, kScrollDown = 257;
  static constexpr u32 kMaxRowsWithoutScroll = 8;

  SDialogList() = default;

  // Builds the box around the list (attached, filled and sized by the caller; not owned) and places it
  // on the screen.
  void Create(SDialogListCtrl* listCtrl);

  void Paint() override;
  void PaintGround() override;
  u32 OnCommand(u16 code) override;
  u32 OnTick(u32 frameCounter, SDisplay* screen) override { return 0; }

  SString result;
  SDialogListCtrl* list = nullptr;
  u32 scrollShown = 0;
  STextCtrl prompt;
  SCtrlMessageButton ok;
  SCtrlMessageButton cancel;
  SButtonCtrl up;
  SButtonCtrl down;
};
