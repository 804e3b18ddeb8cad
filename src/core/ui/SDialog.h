// The base of every screen and window of the game, and of the game states: the input and tick operations
// the game core hands events to. Each returns the number of the next state (0 stays).
#pragma once
#include "os/Types.h"

class SGameCore;
class SDisplay;

class SDialog {
 public:
  SDialog() = default;
  virtual ~SDialog() = default;
  SDialog(const SDialog&) = delete;
  SDialog& operator=(const SDialog&) = delete;

  virtual void Attach(SGameCore* gameCore) { core = gameCore; }
  virtual void Paint() {}
  virtual u32 OnCommand(u16) { return 0; }
  virtual u32 OnKey(u32) { return 0; }
  // Pen events: down (touching 1, moving 0), move (1, 1), up (0, 0).
  virtual u32 OnPen(i32, i32, u32, u32) { return 0; }
  virtual u32 OnTick(u32 /*frameCounter*/, SDisplay*) { return 0; }

  SDialog* child = nullptr;  // the open modal child dialog
  SDialog* parent = nullptr;
  SGameCore* core = nullptr;
};
