// Game state 7: the screen shown when the player has died. Created and attached once at start-up. Until its screen is
// built it shows nothing and answers every key, touch and tick with 0 (stay).
#pragma once
#include "core/ui/SState.h"

class SStateDeath : public SState {};
