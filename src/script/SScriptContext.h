// The script context: the state of the running script and where its output goes. So far what the player's
// reports use of it: the message output.
#pragma once
#include "os/Types.h"

class SGameCore;

class SScriptContext {
 public:
  void Bind(SGameCore* gameCore) { core = gameCore; }
  // Shows a message where the running script's output goes: the game's current message (a set flag marks
  // the paragraph as a report of the player's). Nothing without a game state.
  void ShowMessage(const char* text, u32 flag);

  SGameCore* core = nullptr;
};
