// The SDL2 backend: the handheld's screen as a window scaled by a whole factor, keyboard and mouse as keys
// and stylus, SDL audio as the wave-out device. Everything else is the host's.
#pragma once
#include "os/Backend.h"

#include <string>

namespace Os {

// Connects to the display and installs the services; false with a message (for instance when there is
// no display to open a window on). The host window opens only with the game's window, so a start that
// finds the game running shows none. FinishBackend takes it down, and says why when the window could
// not be opened.
bool UseSdl(const BackendOptions& options, std::string* error);
// Whether the host window is open.
bool SdlHasWindow();

// SDL key codes to the handheld's key codes (0 = a key the game does not know). The arrows are turned for
// the key table of the orientation code the game reads (WindowSystem::SetKeyOrientation): a handheld held
// on its side turns its buttons with it, a keyboard beside the window does not, so that Up is always the
// button that lies up in the picture. 0 leaves them as they are; 1 (left landscape) gives for Up the
// handheld's Right, for Right its Down, for Down its Left and for Left its Up; any other code (right
// landscape) the other way round.
i32 KeyCodeFromSdl(i32 sdlKey, u32 orientation = 0);

// The host's keys going down and up as the handheld's: a key goes up as the key it went down as, even when
// the orientation changed while it was held.
class SdlKeys {
 public:
  i32 Down(i32 sdlKey, u32 orientation);
  i32 Up(i32 sdlKey, u32 orientation);
  // The keys were let go where the window could not see it.
  void Forget();

 private:
  i32* Held(i32 sdlKey);
  i32 heldArrows_[4] = {};  // per host arrow, the handheld key it went down as (0: not down)
};

}  // namespace Os
