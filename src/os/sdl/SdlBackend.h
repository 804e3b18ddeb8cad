// The SDL2 backend: the handheld's screen as a window scaled by a whole factor, keyboard and mouse as keys
// and stylus, SDL audio as the wave-out device. Everything else is the host's.
#pragma once
#include "os/Backend.h"

#include <string>

namespace Os {

// Opens the window and installs the services; false with a message (for instance when there is no
// display to open a window on). FinishBackend takes it down.
bool UseSdl(const BackendOptions& options, std::string* error);

// SDL key codes to the handheld's key codes (0 = a key the game does not know).
i32 KeyCodeFromSdl(i32 sdlKey);

}  // namespace Os
