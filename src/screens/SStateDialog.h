// Game state 2: a conversation with a person of the world. Created and attached once at start-up. Until its screen is
// built it shows nothing and answers every key, touch and tick with 0 (stay).
#pragma once
#include "core/ui/SState.h"

class SStateDialog : public SState {};
