// Game state 3: the menu of an interior (inn, shop, guild, trainer). Created and attached once at
// start-up. Until its screen is built it shows nothing and answers every key, touch and tick with 0.
#pragma once
#include "core/ui/SState.h"
#include "foundation/SString.h"

class SStateDialogInterior : public SState {
 public:
  // The music the interior plays while this state is current; empty until one is chosen.
  SString musicTrack;
};
