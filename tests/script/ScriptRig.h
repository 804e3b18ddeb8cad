// An interpreter on a game core that has not been started, with the real game state (whose event queue
// shows what the player is told) and a script context that answers calls from a table and records them.
#pragma once
#include "ScriptCompiler.h"
#include "core/SGameCore.h"
#include "game/SStateGame.h"
#include "script/SScriptCatalogue.h"
#include "script/SScriptContext.h"
#include "script/SScriptInterpreter.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

// A value as tests compare it: a string in quotes, an integer bare; a form that does not follow from
// the other (as a merged literal leaves it) is added.
inline std::string Describe(const SScriptValue& v) {
  if (v.IsString()) {
    std::string s = std::string("\"") + v.Text() + "\"";
    return StrToInt(v.Text()) == v.Int() ? s : s + " int " + std::to_string(v.Int());
  }
  const std::string n = std::to_string(v.Int());
  return n == v.Text() ? n : n + " text \"" + v.Text() + "\"";
}

// Statements compiled without line markers and laid out at offset 0; empty (and the test failed) when the
// source does not compile.
inline scriptc::Bytes CompileStatementsForTest(const std::string& source) {
  scriptc::Options options;
  options.lineMarkers = false;
  const scriptc::Result r = scriptc::CompileStatements(source, options);
  if (!r.Ok() || r.programs.empty()) {
    ADD_FAILURE() << "does not compile: " << source << "\n" << (r.diagnostics.empty() ? "" : r.diagnostics[0].text);
    return {};
  }
  return scriptc::Serialize(r.programs[0], 0);
}

// Answers each function id from a table (no row: no value) and records every call as
// "target.name(arguments)" ("(this)." left out).
class TableContext : public SScriptContext {
 public:
  u32 CallFunction(const char* target, u32 id, const SScriptValue& first, const SScriptValue& second,
                   const SScriptValue& third, SScriptValue*& result) override {
    const SScriptCatalogueRow* row = FindScriptFunction(id);
    std::string call = std::string(target) == "(this)" ? "" : std::string(target) + ".";
    call += (row ? row->name : "?") + std::string("(") + Describe(first) + "," + Describe(second) + "," +
            Describe(third) + ")";
    calls.push_back(call);
    result = nullptr;
    if (hook)
      if (const u32 code = hook(id, first, second, third)) return code;
    if (answer) {
      result = answer(id, first, second, third);
      return 0;
    }
    auto it = answers.find(id);
    if (it != answers.end()) result = new SScriptValue(it->second);
    return 0;
  }

  std::map<u32, SScriptValue> answers;
  // Computes the value instead of the table, when set.
  std::function<SScriptValue*(u32 id, const SScriptValue&, const SScriptValue&, const SScriptValue&)> answer;
  // Runs first; a nonzero code is the call's.
  std::function<u32(u32 id, const SScriptValue&, const SScriptValue&, const SScriptValue&)> hook;
  std::vector<std::string> calls;
};

inline SScriptValue Int(i32 n) {
  SScriptValue v;
  v.SetInt(n);
  return v;
}
inline SScriptValue Text(const char* text) {
  SScriptValue v;
  v.SetText(text);
  return v;
}

class ScriptRig {
 public:
  ScriptRig() : interpreter(*new SScriptInterpreter) {
    core.scriptInterpreter = &interpreter;  // the core owns it
    interpreter.Init(&core);
    core.stateGame = &state;
    state.Attach(&core);
    core.scriptContext = &context;
    context.Bind(&core);
  }
  ~ScriptRig() {
    core.stateGame = nullptr;
    core.scriptContext = nullptr;
  }
  ScriptRig(const ScriptRig&) = delete;
  ScriptRig& operator=(const ScriptRig&) = delete;

  // Loads a copy of the blob (kept until the next run) and runs it; the code.
  u32 Run(const scriptc::Bytes& blob, u32 recordOffsetMod4 = 0) {
    blob_ = blob;
    interpreter.LoadProgram(blob_.data(), u32(blob_.size()), recordOffsetMod4);
    return interpreter.Execute();
  }
  // Compiles statements and runs them; the code (a source that does not compile fails the test).
  u32 RunSource(const std::string& source) {
    const scriptc::Bytes blob = CompileStatementsForTest(source);
    return blob.empty() ? ~0u : Run(blob);
  }

  // How many "Script error!" messages the game state has queued.
  u32 ScriptErrors() const {
    u32 n = 0;
    for (const SGameEvent* e : state.events)
      if (e->kind == kEventMessage && e->textA.Equals("Script error!")) ++n;
    return n;
  }
  // The variable as Describe shows it; "none" when it was never made.
  std::string Var(const char* name) const {
    const SScriptVariable* v = interpreter.FindVariable(name);
    return v ? Describe(v->value) : "none";
  }

  SGameCore core;
  SStateGame state;
  TableContext context;
  SScriptInterpreter& interpreter;

 private:
  scriptc::Bytes blob_;
};
