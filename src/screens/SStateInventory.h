// Game state 4: the inventory and character sheet. Created and attached once at start-up. Until its
// screen is built it shows nothing and answers every key, touch and tick with 0; what it already does is
// carry its view's record in saved games, so that games saved now stay readable.
#pragma once
#include "core/ui/SState.h"

class SStream;

class SStateInventory : public SState {
 public:
  static constexpr u32 kViewFields = 8;

  // The view's part of a saved game: marker 'X', then the eight fields. Load is false when the record
  // ends early.
  void SerializeViewOnSave(SStream& s, u32 version);
  bool SerializeViewOnLoad(SStream& s, u32 version);

  u32 viewFields[kViewFields] = {};  // 0 until the inventory screen gives them meaning
};
