// The script interpreter on a representative script: assignments over some fifty variables, strings that
// grow, conditions, and calls with their arguments, compiled by the world builder's compiler. Loading (the
// string table) and running are timed at 200 statements, and from 50 to 800 for the fitted complexity,
// which should stay linear: a quadratic cost in variable lookup or string handling would show there.
#include "ScriptCompiler.h"
#include "core/SGameCore.h"
#include "script/SScriptContext.h"
#include "script/SScriptInterpreter.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// getglobal answers a number; every other call does its work elsewhere and gives nothing.
class BenchContext : public SScriptContext {
 public:
  u32 CallFunction(const char*, u32 id, const SScriptValue& first, const SScriptValue&, const SScriptValue&,
                   SScriptValue*& result) override {
    result = id == 100 ? SScriptValue::MakeInt(first.Int() + 1) : nullptr;
    return 0;
  }
};

std::string Script(u32 statements) {
  // Variables outlive a run: the texts start again each time, so that every run does the same work.
  std::string s = "c = 0; flag = 1;\n";
  for (u32 i = 0; i < 20; ++i) s += "s" + std::to_string(i) + " = \"\";\n";
  for (u32 i = 0; i < statements; ++i) {
    const std::string v = "v" + std::to_string(i % 50), w = "v" + std::to_string((i + 7) % 50),
                      t = "s" + std::to_string(i % 20), n = std::to_string(i);
    switch (i % 8) {
      case 0: s += v + " = " + n + " * 3 + " + w + ";\n"; break;
      case 1: s += t + " = " + t + " + \"ab\";\n"; break;
      case 2: s += "if (" + v + " > " + n + ") { c = c + 1; } else { c = c - 1; }\n"; break;
      case 3: s += "setglobal(\"g" + std::to_string(i % 10) + "\", " + v + " + 1);\n"; break;
      case 4: s += "x = getglobal(" + v + ") * 2 - (" + w + " % 7);\n"; break;
      case 5: s += "message(\"line \" + " + t + ");\n"; break;
      case 6: s += "if (flag == 1 && " + v + " != 0) { " + v + " = 0; } else if (" + w + " < 5) { c++; }\n"; break;
      default: s += "n" + std::to_string(i % 30) + "++;\n"; break;
    }
  }
  return s;
}

struct Loaded {
  explicit Loaded(u32 statements) {
    const scriptc::Result r = scriptc::CompileStatements(Script(statements));
    if (r.Ok() && !r.programs.empty()) blob = scriptc::Serialize(r.programs[0], 0);
    core.scriptInterpreter = new SScriptInterpreter;
    core.scriptInterpreter->Init(&core);
    context.Bind(&core);
  }
  SGameCore core;
  BenchContext context;
  scriptc::Bytes blob;
};

void BM_ScriptLoad(benchmark::State& state) {
  Loaded l(u32(state.range(0)));
  if (l.blob.empty()) return state.SkipWithError("the script does not compile");
  for (auto _ : state)
    benchmark::DoNotOptimize(l.core.scriptInterpreter->LoadProgram(l.blob.data(), u32(l.blob.size()), 0));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ScriptLoad)->Arg(50)->Arg(100)->Arg(200)->Arg(400)->Arg(800)->Complexity();

void BM_ScriptRun(benchmark::State& state) {
  Loaded l(u32(state.range(0)));
  if (l.blob.empty()) return state.SkipWithError("the script does not compile");
  SScriptInterpreter& interpreter = *l.core.scriptInterpreter;
  for (auto _ : state) {
    interpreter.LoadProgram(l.blob.data(), u32(l.blob.size()), 0);
    if (interpreter.Execute() != 0) return state.SkipWithError(interpreter.LastErrorText());
  }
  state.SetComplexityN(state.range(0));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ScriptRun)->Arg(50)->Arg(100)->Arg(200)->Arg(400)->Arg(800)->Complexity();

}  // namespace
