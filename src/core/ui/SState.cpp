#include "core/ui/SState.h"

void SState::Enter(u32 w0, u32 w1, u32 w2, u32 w3) {
  ResetInputGuard();
  SetFullRepaint();
  child = nullptr;
  params[0] = w0;
  params[1] = w1;
  params[2] = w2;
  params[3] = w3;
}

void SState::Leave(u32) {
  keep = 0;
  ClearControls();
}

void SState::Resume() {
  SetFullRepaint();
  Paint();
  ResetInputGuard();
}
