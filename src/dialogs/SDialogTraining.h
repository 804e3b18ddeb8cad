// Training with a person: the skill it teaches raised for money. Opened by the conversation as its modal
// child; its "Ok" reports 25 to the owner.
#pragma once
#include "dialogs/SMemberDialog.h"

class SNpc;

class SDialogTraining : public SMemberDialog {
 public:
  static constexpr u16 kCloseCode = 25;

  SDialogTraining() : SMemberDialog(kCloseCode) {}
  void Open(const SNpc* trainer);

  const SNpc* person = nullptr;
};
