// A game state: a screen the game core switches to by number. It is entered with four parameter words,
// left for good, or kept on the state stack while another state runs and resumed later.
#pragma once
#include "core/ui/SDialog.h"

class SState : public SDialog {
 public:
  // Becomes current through a switch, with the words of the state it replaced: the input guard is reset,
  // everything repaints, and a child dialog still open is dropped.
  virtual void Enter(u32 w0, u32 w1, u32 w2, u32 w3);
  // Stops being current and is not kept: the keep flag and the controls go.
  virtual void Leave(u32 next);
  // Becomes current again from the state stack, with its own words and screen: repaints at once.
  virtual void Resume();

  u32 params[4] = {};  // the words of the last Enter; the next state receives them
  u32 keep = 0;        // 1: push on the state stack instead of leaving when another state takes over
};
