// Game state 15: the additional worlds installed beside the game's own. Created and attached once at start-up. Until
// its screen is built it shows nothing and answers every key, touch and tick with 0 (stay).
#pragma once
#include "core/ui/SState.h"

class SStateAddWorlds : public SState {};
