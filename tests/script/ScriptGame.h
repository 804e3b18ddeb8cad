// The real program on the sample world (game/WalkGame.h) with what the script tests add: statements run
// through the game's own interpreter and script context, and a context that tells which target handler a
// call reached.
#pragma once
#include "ScriptRig.h"
#include "app/DuskmireApp.h"
#include "game/SMonster.h"
#include "game/WalkGame.h"
#include "script/SScriptContext.h"
#include "script/SScriptInterpreter.h"
#include "script/SScriptValue.h"
#include "world/SMapObjectType.h"

#include <gtest/gtest.h>

#include <string>

// A value as the tables show it: "none", a number, or a text in quotes.
inline std::string Shown(const SScriptValue* v) {
  if (!v) return "none";
  return v->IsString() ? std::string("\"") + v->Text() + "\"" : std::to_string(v->Int());
}

// The game's context, telling which handler each call reached: "player", "object TYPE" ("object plain"
// for the context's own type), "monster TEMPLATE ENTRY OBJECT". The player's and the monsters' handlers
// come with the player's and the monsters' script functions: here they answer a text naming themselves.
class RecordingContext : public SScriptContext {
 public:
  std::string handler;

 protected:
  u32 CallPlayerFunction(u32, const SScriptValue&, const SScriptValue&, const SScriptValue&,
                         SScriptValue*& result) override {
    handler = "player";
    result = SScriptValue::MakeString("from the player");
    return 0;
  }
  u32 CallObjectFunction(SMapObjectType& type, const SScriptTarget& target, u32 id, const SScriptValue& first,
                         const SScriptValue& second, SScriptValue*& result, bool& changed) override {
    handler = std::string("object ") + (type.name.Text() ? type.name.Text() : "plain");
    return SScriptContext::CallObjectFunction(type, target, id, first, second, result, changed);
  }
  u32 CallMonsterFunction(SMonster& monster, const SScriptTarget& target, u32, const SScriptValue&, const SScriptValue&,
                          const SScriptValue&, SScriptValue*& result, bool& changed) override {
    const char* name = monster.name.Text() ? monster.name.Text()
                       : monster.baseType  ? monster.baseType->name.Text()
                                           : "?";
    handler = std::string("monster ") + name + (target.monster ? " entry " : " none ") +
              (target.object && target.object->name.Text() ? target.object->name.Text() : "-");
    result = SScriptValue::MakeString("from the monster");
    changed = false;
    return 0;
  }
};

struct ScriptGame : WalkGame {
  // With `monsters` the maps keep their monsters and people (who then take their turns).
  explicit ScriptGame(bool monsters = false) { withMonsters = monsters; }
  ~ScriptGame() { UseOwnContext(); }

  SScriptContext& Context() { return *core().scriptContext; }
  // The recording context takes the game's place (and gives it back).
  RecordingContext& UseRecording() {
    own = core().scriptContext;
    core().scriptContext = &recording;
    recording.Bind(&core());
    return recording;
  }
  void UseOwnContext() {
    if (!own) return;
    core().scriptContext = own;
    own->Bind(&core());
    own = nullptr;
  }

  // Statements compiled and run by the game's interpreter with the game's context: the run's code (a source
  // that does not compile fails the test).
  u32 Run(const std::string& source) {
    blob = CompileStatementsForTest(source);
    if (blob.empty()) return ~0u;
    SScriptInterpreter& interpreter = *core().scriptInterpreter;
    interpreter.LoadProgram(blob.data(), u32(blob.size()), 0);
    return interpreter.Execute();
  }
  // The value a statement gives ("x = EXPRESSION;"), as Shown writes it; "error N" when the run fails.
  std::string Value(const std::string& expression) {
    const u32 code = Run("x = " + expression + ";");
    if (code != 0) return "error " + std::to_string(code);
    const SScriptVariable* x = core().scriptInterpreter->FindVariable("x");
    return x ? Shown(&x->value) : "none";
  }

  // The open box's text, its lines joined again ("" when none is open).
  std::string BoxText() const {
    for (const GameHarness::Control& c : game.controls())
      if (c.type == "SDialogTextCtrl") {
        std::string text = c.text;
        for (char& ch : text)
          if (ch == '\r') ch = ' ';
        return text;
      }
    return "";
  }
  // The use action on what lies ahead, and the text of the box it opens.
  std::string UseAndRead() {
    game.press(kActionUse);
    if (!game.waitUntil(GameHarness::subModeIs(SStateGame::kMessageBox), 10)) return "(no box)";
    return BoxText();
  }

  // How many "Script error!" boxes the game has queued or shown.
  u32 ScriptErrors() const {
    u32 n = 0;
    for (const GameHarness::Message& m : game.messages()) n += m.text == "Script error!" && m.source == "queued";
    return n;
  }

  RecordingContext recording;
  SScriptContext* own = nullptr;
  scriptc::Bytes blob;
};
