// The script context: the one object through which scripts reach the world. It says whose script runs
// and why (the current target and event), where the script's messages go, and keeps what a script leaves
// for its caller: the last answer to a question, the row chosen in a list, the map cells that changed.
#pragma once
#include "foundation/SString.h"
#include "foundation/SValueArray.h"
#include "os/Types.h"

struct SDialogEntryList;
class SDialogEntryListTable;
class SGameCore;
class SItem;
class SMapArea;
class SMapObjectType;
class SNpc;
class SScriptInterpreter;
class SScriptValue;
class SWorldModuleList;
struct SMapCell;
struct SMapMonster;
struct SMapObjectInst;

// A place a script changed, for the game state to rebuild: a window cell (x, y) of the area, in layer 1
// or 2, the whole cell (side -1) or one wall side.
struct SChangedObject {
  SMapArea* area = nullptr;
  u32 layer = 1;
  i32 x = 0, y = 0;
  i32 side = -1;
};

// Where a script's messages go.
enum SScriptOutput : u32 { kOutputGameMessage = 1, kOutputConversation = 2, kOutputScene = 3 };

class SScriptContext {
 public:
  virtual ~SScriptContext() = default;

  // Stores the game core and its interpreter, and binds the interpreter back to this context.
  void Bind(SGameCore* gameCore);

  // ---- the current target
  // A map object (with its type, cell and place; side -1 for the centre) becomes the target for the
  // event code; the current monster becomes none. A person-type object's speaker is the person record
  // named like it. The last answer and the started list are cleared.
  void SetThisObject(u32 event, SMapObjectInst* object, SMapArea* area, SMapCell* cell, SMapObjectType* type, i32 x,
                     i32 y, i32 side, u32 layer, u32 output);
  // A placed monster becomes the target; its cell comes from its place in the window (none outside it).
  void SetThisMonster(u32 event, SMapObjectInst* object, SMapArea* area, SMapMonster* monster, u32 output);
  // The two items of a blow and their type names ("" for a missing item).
  void SetBlowWeapons(SItem* first, SItem* second);
  void SetSpell(const char* name, i32 number);

  // Shows a message where the running script's output goes: the game's current message (a set flag
  // marks the paragraph as a report of the player's). Conversation and scene texts come with their
  // screens. Nothing without a game state.
  void ShowMessage(const char* text, u32 flag);
  // Adds the place to the changed-object list unless an equal entry is listed already.
  void AddChangedObject(SMapArea* area, i32 x, i32 y, i32 side, u32 layer);
  // Passes game time until the clock next shows the time of day ("2am", "3pm", "1130pm", "700"); a text
  // shorter than three characters or a time of 13:00 or more does nothing.
  void PassTimeTo(const char* text);
  // After a question or list a script opened has closed, with the answer stored here: the current
  // object's script runs again from its start, and the game rebuilds the cells it changed.
  void ResumeAfterDialog();

  // Executes script function `id` on the named target ("(this)": the running script's own) with three
  // arguments (missing ones are empty strings). Returns 0 when done, else the error code that ends the
  // script's run; a function that answers leaves a new value in `result`, which the caller owns. Ids
  // outside 100..254 fail with 15. Virtual so that a test can answer calls from a table.
  virtual u32 CallFunction(const char* target, u32 id, const SScriptValue& first, const SScriptValue& second,
                           const SScriptValue& third, SScriptValue*& result);

  SGameCore* core = nullptr;
  SScriptInterpreter* interpreter = nullptr;

  // The current event: 1 stepped on, 2 stepped off, 4 item changed, 8 struck, 16 hit by a spell, 32 used,
  // 64 died, 128 equipped, 256 removed, 512 arrived.
  u32 eventCode = 0;
  SMapObjectInst* thisObject = nullptr;
  i32 thisX = 0, thisY = 0;
  i32 thisSide = -1;
  u32 thisLayer = 1;
  SMapObjectType* thisType = nullptr;
  SMapMonster* thisMonster = nullptr;
  SNpc* speaker = nullptr;
  SMapArea* thisArea = nullptr;
  SMapCell* thisCell = nullptr;  // the window cell holding the target; null outside the window
  u32 output = kOutputGameMessage;
  i32 lastAnswer = 0;  // the button code the last question closed with, 0 none
  u32 listStarted = 0;
  SString listTitle;
  SString chosenText;  // the id text of the row chosen in the list
  i32 damage = 0;
  SString spellName;
  i32 spellNumber = 0;
  SString blowNames[2];
  SItem* blowItems[2] = {};
  SValueArray<SChangedObject> changedObjects{4};
};

// The dialog entry list of a person: the speaker's name with the current world's five-character prefix
// in place of its own, looked up among the table's second lists; failing that, with the prefix of the
// world named "bres". Null when neither names a list.
SDialogEntryList* FindDialogEntryListForSpeaker(const SDialogEntryListTable& table, const SWorldModuleList& worlds,
                                                const char* speakerName);
