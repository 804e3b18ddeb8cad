// A game state: a screen the game core switches to by number, entered with four parameter words, left,
// or kept on the state stack and resumed.
#pragma once
#include "core/ui/SDialog.h"

class SState : public SDialog {
 public:
  // Becomes current through a switch, with the words of the state it replaced.
  virtual void Enter(u32 w0, u32 w1, u32 w2, u32 w3) {
    params[0] = w0;
    params[1] = w1;
    params[2] = w2;
    params[3] = w3;
  }
  // Stops being current and is not kept.
  virtual void Leave(u32 /*next*/) { keep = 0; }
  // Becomes current again from the state stack.
  virtual void Resume() {}

  u32 params[4] = {};
  u32 keep = 0;  // 1: push on the state stack instead of leaving when another state takes over
};
