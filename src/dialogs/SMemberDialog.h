// The common frame of the dialogs the game state holds as members and opens over the game view: a panel
// with a title and an "Ok" button whose press reports the dialog's close code to the command handler of
// the dialog that opened it. The dialogs' own screens are built on it.
#pragma once
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SDialog.h"
#include "foundation/SString.h"

class SMemberDialog : public SDialog {
 public:
  explicit SMemberDialog(u16 code) : closeCode(code) {}

  void Attach(SGameCore* gameCore) override;
  // Lays the dialog out with its title: over the whole screen, or as a panel centred on the game view.
  void Show(const char* text, bool fullScreen);
  void Paint() override;
  void PaintGround() override;
  // The "Ok" button's code goes to the parent as the close code.
  u32 OnCommand(u16 code) override;

  const u16 closeCode;
  SString title;
  u32 fullScreen = 0;
  SCtrlMessageButton ok;
};
