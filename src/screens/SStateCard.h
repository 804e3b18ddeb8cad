// Game state 12: the card game, played against a townsperson for a bet. Created and attached once at start-up. Until
// its screen is built it shows nothing and answers every key, touch and tick with 0 (stay).
#pragma once
#include "core/ui/SState.h"

class SStateCard : public SState {};
