// Game state 6: the maker's logo, the first state entered after start-up. Created and attached once at start-up. Until
// its screen is built it shows nothing and answers every key, touch and tick with 0 (stay).
#pragma once
#include "core/ui/SState.h"

class SStateCorvanth : public SState {};
