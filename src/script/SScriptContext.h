// The script context: the one object through which scripts reach the world. It says whose script runs
// and why (the current target and event), where the script's messages go, and keeps what a script leaves
// for its caller: the last answer to a question, the row chosen in a list, the map cells that changed. It
// executes the script functions: the global ones itself (SScriptContextGlobal.cpp), the others by their
// target on the player, a map object's type or a monster; and it expands the macros of the texts the game
// shows (SScriptMacros.cpp).
#pragma once
#include "foundation/SString.h"
#include "foundation/SValueArray.h"
#include "os/Types.h"
#include "script/SScriptCatalogue.h"

struct SDialogEntryList;
class SDialogEntryListTable;
class SDialogListCtrl;
class SGameCore;
class SItem;
class SMapArea;
class SMapObjectType;
class SMonster;
class SNpc;
class SScriptInterpreter;
class SScriptValue;
class SStateGame;
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

// What a script function is called on: the player; a map object (with its area and its place in the
// window: cell, side, layer); or a monster placeholder, the map object a monster record binds a monster
// to, with the monster entry still bound to it (or none: dead, or never placed).
struct SScriptTarget {
  enum Kind : u8 { kNone = 0, kPlayer, kObject, kMonster };
  Kind kind = kNone;
  SMapObjectInst* object = nullptr;
  SMapArea* area = nullptr;
  SMapMonster* monster = nullptr;
  SMapObjectType* type = nullptr;  // a map object's type where it is placed; null when unknown
  bool placed = false;             // the place below is a window cell
  i32 x = 0, y = 0;
  i32 side = -1;
  u32 layer = 1;
};

class SScriptContext {
 public:
  // The id lists of the catalogue: one per target, each ended by a 0 byte.
  enum IdList : u32 { kObjectIds = 0, kMonsterIds, kPlayerIds, kGlobalIds, kIdLists };
  static constexpr u32 kIdListSize = 100;

  SScriptContext();
  virtual ~SScriptContext();
  SScriptContext(const SScriptContext&) = delete;
  SScriptContext& operator=(const SScriptContext&) = delete;

  // Stores the game core and its interpreter, binds the interpreter back to this context, makes the plain
  // map-object type and gives the interpreter the catalogue.
  void Bind(SGameCore* gameCore);
  // The catalogue's rows into the interpreter's function list (once) and the four id lists.
  void BuildCatalogue();
  const u8* IdsOf(IdList list) const { return idLists_[list]; }

  // Forgets everything that points into a world: no target, no speaker, no list, no answer, no blow, no
  // changed places, event 0, damage 0, the stand-in monster; messages go to the game's message line.
  void Reset();
  // A monster entry is about to be freed: a target that is that monster keeps its object but loses the
  // monster, its cell and its speaker.
  void OnMonsterFreed(SMapArea* area, SMapMonster* monster);

  // ---- the current target
  // A map object (with its type, cell and place; side -1 for the centre) becomes the target for the
  // event code; the current monster becomes none. A person-type object's speaker is the person record
  // named like it. The last answer and the started list are cleared.
  void SetThisObject(u32 event, SMapObjectInst* object, SMapArea* area, SMapCell* cell, SMapObjectType* type, i32 x,
                     i32 y, i32 side, u32 layer, u32 output);
  // A placed monster becomes the target; its cell comes from its place in the window (none outside it).
  void SetThisMonster(u32 event, SMapObjectInst* object, SMapArea* area, SMapMonster* monster, u32 output);
  // The same for talking to a monster: event 32, output to the conversation, the person record as given.
  void SetTalkingMonster(SMapObjectInst* object, SMapArea* area, SMapMonster* monster, SNpc* person);
  // The two items of a blow and their type names ("" for a missing item).
  void SetBlowWeapons(SItem* first, SItem* second);
  void SetSpell(const char* name, i32 number);

  // Shows a message where the running script's output goes, its macros expanded: the game's current
  // message (a set flag marks the paragraph as a report of the player's), the conversation's answer or the
  // scene's text.
  void ShowMessage(const char* text, u32 flag);
  // Replaces the macros of a text shown to the player (names, money, the date, script globals, the map,
  // the article before a word), in place. Always ends, whatever the globals hold.
  void ExpandTextMacros(SString& text);
  // Adds the place to the changed-object list unless an equal entry is listed already.
  void AddChangedObject(SMapArea* area, i32 x, i32 y, i32 side, u32 layer);
  // Passes game time until the clock next shows the time of day ("2am", "3pm", "1130pm", "700"); a text
  // shorter than three characters, a time of 13:00 or more, or one that names no minute of the day does
  // nothing.
  void PassTimeTo(const char* text);
  // After a question or list a script opened has closed, with the answer stored here: the current
  // object's script runs again from its start, and the game rebuilds the cells it changed.
  void ResumeAfterDialog();
  // The built-in reaction of the current target to the current event, as if no script had taken it. A
  // screen it asks for (a person's conversation) is handed to the game state when the script runs for
  // the game's message line.
  void DoDefaultAction();

  // Executes script function `id` on the named target ("(this)": the running script's own; "player"; else
  // a map object of the current world) with three arguments (missing ones are empty strings). Returns 0
  // when done, 12 when there is no such target, 15 for an id outside 100..254, or the code of the target's
  // handler; a function that answers leaves a new value in `result`, which the caller owns. Virtual so that
  // a test can answer calls from a table.
  virtual u32 CallFunction(const char* target, u32 id, const SScriptValue& first, const SScriptValue& second,
                           const SScriptValue& third, SScriptValue*& result);
  // The 62 global functions (ids outside 100..253 do nothing); always 0.
  u32 CallGlobalFunction(u32 id, const SScriptValue& first, const SScriptValue& second, const SScriptValue& third,
                         SScriptValue*& result);
  // What a target name names; false when nothing (an unknown name, "(this)" without a target).
  bool ResolveTarget(const char* name, SScriptTarget& out);

  // ---- the clock (the game state's minute counter t; 0 without a game)
  u32 GetTime() const;
  u32 GetDay() const { return GetTime() / 1440 + 1; }
  u32 GetHour() const { return GetTime() % 1440 / 60; }
  u32 GetMinute() const { return GetTime() % 1440 % 60; }
  bool IsDaylight() const { return GetHour() >= 6 && GetHour() <= 21; }
  bool IsNight() const { return !IsDaylight(); }
  // From the time s (compared unsigned) to now; 0 when s lies in the future.
  u32 MinutesSince(u32 s) const { return s > GetTime() ? 0 : GetTime() - s; }
  u32 HoursSince(u32 s) const { return MinutesSince(s) / 60; }
  u32 DaysSince(u32 s) const { return MinutesSince(s) / 1440; }
  // As HoursSince and DaysSince from the time held in the named script global; 0 when there is none.
  u32 HoursSinceGlobal(const char* name) const;
  u32 DaysSinceGlobal(const char* name) const;

  // ---- accessors of the handlers and conditions
  i32 GetGlobalValue(const char* name) const;
  // The named global's text; null when there is none.
  const char* GetGlobalText(const char* name) const;
  // Nothing when there is no such global: scripts never create them.
  void SetGlobalInt(const char* name, i32 value);
  void SetGlobalText(const char* name, const char* text);
  i32 Random(i32 n);
  bool IsCurrentWorld(const char* name) const;
  bool IsCurrentMap(const char* name) const;
  // The current event is a blow and either of its items is of the named type (exact name).
  bool IsWeapon(const char* name) const;
  // The named item type's value with its enchantment's; 0 for an unknown type.
  i32 ItemValue(const char* name) const;
  // The current monster, and the monster bound to the named map object, carries a paralysis, a curse,
  // poison, any disease; is of the named template; false without one.
  bool IsThisMonsterParalyzed() const;
  bool IsThisMonsterCursed() const;
  bool IsThisMonsterPoisoned() const;
  bool ThisMonsterHasAnyEffect() const;
  bool IsThisMonsterType(const char* name) const;
  bool IsMonsterParalyzed(const char* object) const;
  bool IsMonsterCursed(const char* object) const;
  bool IsMonsterPoisoned(const char* object) const;
  bool MonsterHasAnyEffect(const char* object) const;
  // The chosen row's id text, "" when no list was started; false (no value) outside the game's message
  // line and the conversation.
  bool GetObjectListResult(const char*& text) const;
  // The picture of the current speaker: a person object's second picture (none with fewer than two), a
  // monster's base-type picture, else "bres_headunknown".
  const char* GetSpeakerPortraitName() const;

  SGameCore* core = nullptr;
  SScriptInterpreter* interpreter = nullptr;

  // The current event: 1 stepped on, 2 stepped off, 4 item changed, 8 struck, 16 hit by a spell, 32 used,
  // 64 died, 128 equipped, 256 removed, 512 arrived.
  u32 eventCode = 0;
  SScriptTarget::Kind thisKind = SScriptTarget::kNone;  // what the last setter made current
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
  i32 spellNumber = 0;  // kept as given; no function reads it
  SString blowNames[2];
  SItem* blowItems[2] = {};
  SValueArray<SChangedObject> changedObjects{4};

 protected:
  // The three handlers of the targets; virtual so that a test sees which one a call reaches.
  virtual u32 CallPlayerFunction(u32 id, const SScriptValue& first, const SScriptValue& second,
                                 const SScriptValue& third, SScriptValue*& result);
  virtual u32 CallObjectFunction(SMapObjectType& type, const SScriptTarget& target, u32 id, const SScriptValue& first,
                                 const SScriptValue& second, SScriptValue*& result, bool& changed);
  virtual u32 CallMonsterFunction(SMonster& monster, const SScriptTarget& target, u32 id, const SScriptValue& first,
                                  const SScriptValue& second, const SScriptValue& third, SScriptValue*& result,
                                  bool& changed);

 private:
  SStateGame* Game() const;
  // The stand-in monster of calls on a placeholder without a monster: made on first need with the base
  // type "bres_cyclops" (null when the world has none, or memory runs out).
  SMonster* StandInMonster();
  void ClearTarget();
  // The list a script builds for the game's message line (owned until the game takes it).
  void DropList();
  // Whether the monster carries an effect of the attribute (26 poison, 27 curse, 28 paralysis; 0 any
  // disease), and the same for the monster bound to the named map object of the current world.
  static bool MonsterHas(const SMapArea* area, const SMapMonster* monster, i8 attribute);
  bool NamedMonsterHas(const char* object, i8 attribute) const;

  // ---- the global functions (SScriptContextGlobal.cpp)
  void CreateObjectList(const char* title);
  void AddObjectToList(const char* id, const char* title);
  void ShowObjectList();
  void Ask(const char* text, u32 buttons);
  void SetMapFog(const char* map, i32 distance, const char* colour);
  void ResetMapFog(const char* map);
  void CreateMonsterAt(const char* templateName, SMapArea* area, i64 x, i64 y, bool marked);
  void CreateMonsterObj(const char* templateName, const char* object);
  void CreateMonsterPos(const char* templateName, i32 x, i32 y);
  void CreateMonsterDir(const char* templateName, const char* direction, i32 distance);
  void RemoveMonsterTypes(const char* templateName);
  void CalmOrAttract(i32 distance, bool attract);
  void PlayMusic(const char* name);

  u8 idLists_[kIdLists][kIdListSize + 1] = {};
  SMapObjectType* plainType_ = nullptr;  // for map objects whose type is not known where they lie
  SMonster* standIn_ = nullptr;
  SDialogListCtrl* list_ = nullptr;
};

// The dialog entry list of a person: the speaker's name with the current world's five-character prefix
// in place of its own, looked up among the table's second lists; failing that, with the prefix of the
// world named "bres". Null when neither names a list, or without a current world. A name shorter than five
// characters keeps all of it.
SDialogEntryList* FindDialogEntryListForSpeaker(const SDialogEntryListTable& table, const SWorldModuleList& worlds,
                                                const char* speakerName);
