// Game state 8: loading and saving games in the save slots 1 to 4. Created and attached once at start-up. Until its
// screen is built it shows nothing and answers every key, touch and tick with 0 (stay).
#pragma once
#include "core/ui/SState.h"

class SStateLoadSave : public SState {};
