// Script blobs on arbitrary bytes: the world builder's listing at both alignments and its compiler on the
// bytes as source text; and the interpreter running the bytes as a blob at both record alignments, and
// whatever compiled, with every call answered. A run ends (the interpreter's step budget bounds it) and
// queues at most one "Script error!"; a run asked for from inside a run is refused.
#include "common/Outcome.h"
#include "ScriptCompiler.h"
#include "core/SGameCore.h"
#include "game/SStateGame.h"
#include "script/SScriptCatalogue.h"
#include "script/SScriptContext.h"
#include "script/SScriptInterpreter.h"

#include <string_view>

namespace {

// Answers every function with a value made from its id and arguments, text for the functions that give
// text; "default" tries to start a script from inside the run.
class AnsweringContext : public SScriptContext {
 public:
  u32 CallFunction(const char*, u32 id, const SScriptValue& first, const SScriptValue& second, const SScriptValue&,
                   SScriptValue*& result) override {
    const SScriptCatalogueRow* row = FindScriptFunction(id);
    if (!row) __builtin_trap();  // the interpreter passes only function ids
    if (id == 229) {
      static const u8 other[] = {0, 0, 6, 0, 0, 0, 0, 0};
      if (interpreter->LoadProgram(other, sizeof other, 0) || interpreter->Execute() != 21) __builtin_trap();
    }
    result = row->answers & ScriptTarget::kAnswersText ? SScriptValue::MakeString(second.Text())
                                                       : SScriptValue::MakeInt(first.Int() ^ i32(id));
    return 0;
  }
};

struct Rig {
  Rig() {
    core.stateGame = &state;
    state.Attach(&core);
  }
  // A fresh interpreter for each input: variables outlive runs, and inputs would pile them up.
  void NewInterpreter() {
    delete core.scriptInterpreter;
    core.scriptInterpreter = new SScriptInterpreter;
    core.scriptInterpreter->Init(&core);
    context.Bind(&core);
  }
  void Run(const u8* blob, size_t size, u32 offset) {
    state.events.DeleteAll();
    core.scriptInterpreter->LoadProgram(blob, u32(size), offset);
    const u32 code = core.scriptInterpreter->Execute();
    const bool failed = code != 0 && code != 20;
    if (seen) seen->AddValue(u64(code) << 32 | state.events.Count());
    if (state.events.Count() != (failed ? 1 : 0) || core.scriptInterpreter->IsRunning()) __builtin_trap();
  }
  SGameCore core;
  SStateGame state;
  AnsweringContext context;
  FuzzHash* seen = nullptr;  // the running input's outcome
};

// Made once per fuzzing process and never destroyed, as the fuzzer may exit from any input.
Rig& TheRig() {
  static Rig* rig = new Rig;
  return *rig;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  FuzzOutcome outcome;
  Rig& rig = TheRig();
  rig.seen = &outcome;
  rig.NewInterpreter();
  for (u32 mod4 : {0u, 2u}) {
    (void)scriptc::Disassemble(data, size, mod4);
    rig.Run(data, size, mod4);
  }
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const scriptc::Result& r : {scriptc::CompileStatements(text), scriptc::CompileFile(text)})
    for (const scriptc::Program& p : r.programs) {
      const scriptc::Bytes blob = scriptc::Serialize(p, 2);
      (void)scriptc::Disassemble(blob, 2);
      rig.Run(blob.data(), blob.size(), 2);
    }
  return 0;
}
