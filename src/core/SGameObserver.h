// Someone who watches what the running game tells the player: every message it queues, every paragraph
// it adds to one and every message a script shows, with where each went, and every sound it asks for.
// Tests record them; the game itself sets none.
#pragma once
#include "os/Types.h"
#include "platform/sound/SSoundManager.h"

class SGameObserver : public SSoundObserver {
 public:
  // `source` says what produced the message ("queued", "appended", "script"), `destination` where it went
  // (for instance "message box" or "game message"), `detail` the button bits or the paragraph's style.
  virtual void OnMessage(const char* source, const char* destination, const char* text, u32 detail) = 0;
};
