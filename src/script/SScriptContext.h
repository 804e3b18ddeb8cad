// The script context: the state of the running script and where its output goes. So far what the player's
// reports use of it (the message output) and the door through which the interpreter calls the script
// functions.
#pragma once
#include "foundation/SValueArray.h"
#include "os/Types.h"

class SGameCore;
class SMapArea;
class SScriptInterpreter;
class SScriptValue;

// A place a script changed, for the game state to rebuild: a window cell (x, y) of the area, in layer 1
// or 2, the whole cell (side -1) or one wall side.
struct SChangedObject {
  SMapArea* area = nullptr;
  u32 layer = 1;
  i32 x = 0, y = 0;
  i32 side = -1;
};

class SScriptContext {
 public:
  virtual ~SScriptContext() = default;

  // Stores the game core and its interpreter, and binds the interpreter back to this context.
  void Bind(SGameCore* gameCore);
  // Shows a message where the running script's output goes: the game's current message (a set flag marks
  // the paragraph as a report of the player's). Nothing without a game state.
  void ShowMessage(const char* text, u32 flag);
  // Adds the place to the changed-object list unless an equal entry is listed already.
  void AddChangedObject(SMapArea* area, i32 x, i32 y, i32 side, u32 layer);

  SValueArray<SChangedObject> changedObjects{4};

  // Executes script function `id` on the named target ("(this)": the running script's own) with three
  // arguments (missing ones are empty strings). Returns 0 when done, else the error code that ends the
  // script's run; a function that answers leaves a new value in `result`, which the caller owns. Ids
  // outside 100..254 fail with 15. Virtual so that a test can answer calls from a table.
  virtual u32 CallFunction(const char* target, u32 id, const SScriptValue& first, const SScriptValue& second,
                           const SScriptValue& third, SScriptValue*& result);

  SGameCore* core = nullptr;
  SScriptInterpreter* interpreter = nullptr;
};
