// Game state 2: a conversation with a person of the world. Created and attached once at start-up. Until its screen is
// built it shows nothing and answers every key, touch and tick with 0 (stay).
#pragma once
#include "core/ui/SState.h"

class SStateDialog : public SState {
 public:
  // What the scripts of the entries do to the conversation while their output goes to it: end the topics,
  // start the choice list and add a row to it (id text, title), write a line of the answer text.
  void Goodbye() { finished = 1; }
  void StartChoiceList() {}
  void AddListEntry(const char* /*id*/, const char* /*title*/) {}
  void AddScriptText(const char* /*text*/) {}

  // Set by goodbye, gonext and gofirst.
  u32 finished = 0, goNext = 0, goFirst = 0;
};
