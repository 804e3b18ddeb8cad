// Game state 9: the main menu. Created and attached once at start-up. Until its screen is built it
// shows nothing and answers every key, touch and tick with 0 (stay).
#pragma once
#include "core/ui/SState.h"

class SStateMain : public SState {};
