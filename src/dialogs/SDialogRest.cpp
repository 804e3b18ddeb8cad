#include "dialogs/SDialogRest.h"

void SDialogRest::Open(const SNpc* innkeeper) {
  keeper = innkeeper;
  rained = 0;
  Show("Rest", false);
}

void SDialogRest::Reset() {
  keeper = nullptr;
  ClearControls();
}
