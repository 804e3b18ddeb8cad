// Game state 11: a scene (pictures with scrolling text: the introduction, the credits, the story's
// scenes). Created and attached once at start-up. Until its screen is built it shows nothing and answers
// every key, touch and tick with 0.
#pragma once
#include "core/ui/SState.h"
#include "foundation/SString.h"

class SStateScene : public SState {
 public:
  // The music the scene plays while this state is current; empty until one is chosen.
  SString musicTrack;

  // A page script's message, added to the scrolling text.
  void AddScriptText(const char* /*text*/) {}
};
