// The script context: the state of the running script and where its output goes. So far what the player's
// reports use of it (the message output) and the door through which the interpreter calls the script
// functions.
#pragma once
#include "os/Types.h"

class SGameCore;
class SScriptInterpreter;
class SScriptValue;

class SScriptContext {
 public:
  virtual ~SScriptContext() = default;

  // Stores the game core and its interpreter, and binds the interpreter back to this context.
  void Bind(SGameCore* gameCore);
  // Shows a message where the running script's output goes: the game's current message (a set flag marks
  // the paragraph as a report of the player's). Nothing without a game state.
  void ShowMessage(const char* text, u32 flag);

  // Executes script function `id` on the named target ("(this)": the running script's own) with three
  // arguments (missing ones are empty strings). Returns 0 when done, else the error code that ends the
  // script's run; a function that answers leaves a new value in `result`, which the caller owns. Ids
  // outside 100..254 fail with 15. Virtual so that a test can answer calls from a table.
  virtual u32 CallFunction(const char* target, u32 id, const SScriptValue& first, const SScriptValue& second,
                           const SScriptValue& third, SScriptValue*& result);

  SGameCore* core = nullptr;
  SScriptInterpreter* interpreter = nullptr;
};
