// The compiler refuses what the interpreter would stop at run time for nesting too deeply (error 22):
// more than 64 parentheses inside each other, or more than 256 blocks and expressions. Around each limit,
// every source either compiles and then runs without that error, or is refused with its place.
#include "ScriptRig.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

std::string Repeat(const std::string& s, u32 n) {
  std::string out;
  for (u32 i = 0; i < n; ++i) out += s;
  return out;
}

struct Outcome {
  bool compiled = false;
  std::string says;  // the error, when refused
  u32 line = 0, column = 0;
  u32 code = 0;  // the run's, when compiled
};

Outcome CompileAndRun(const std::string& source) {
  Outcome o;
  scriptc::Result r = scriptc::CompileStatements(source);
  if (!r.Ok()) {
    o.says = r.diagnostics.back().text;
    o.line = r.diagnostics.back().line;
    o.column = r.diagnostics.back().column;
    return o;
  }
  o.compiled = true;
  ScriptRig rig;
  rig.context.answer = [](u32, const SScriptValue&, const SScriptValue&, const SScriptValue&) {
    return SScriptValue::MakeInt(1);
  };
  o.code = rig.Run(scriptc::Serialize(r.programs[0], 0));
  return o;
}

TEST(ScriptNesting, NoScriptCompilesThatTheGameStopsForNesting) {
  struct Case {
    const char* what;
    std::function<std::string(u32)> source;
    u32 from, to, step;
    u32 firstRefused;  // where the interpreter's limit is passed; 0: the parser's own, lower limit
    const char* says;
  } cases[] = {
      // Each operator of a chain parenthesises the ones before it.
      {"an && chain", [](u32 n) { return "x = a" + Repeat(" && a", n) + ";"; }, 60, 70, 1, 66, "more than 65 &&"},
      {"an || chain in a condition", [](u32 n) { return "if (a" + Repeat(" || a", n) + ") { x = 1; }"; }, 60, 70, 1, 65,
       "nested too deeply for the game"},
      {"operands nested to the right", [](u32 n) { return "x = 1" + Repeat(" - (1", n) + Repeat(")", n) + ";"; }, 60,
       70, 1, 66, "more than 64 parentheses"},
      {"calls inside calls", [](u32 n) { return "x = " + Repeat("random(", n) + "9" + Repeat(")", n) + ";"; }, 60, 70,
       1, 65, "more than 64 parentheses"},
      {"an else-if chain",
       [](u32 n) {
         std::string s = "if (a == 0) { x = 0; }";
         for (u32 i = 1; i <= n; ++i) s += " else if (a == " + std::to_string(i) + ") { x = 1; }";
         return s + " else { x = 2; }";
       },
       150, 300, 10, 0, "nested too deeply"},
      {"ifs inside ifs", [](u32 n) { return Repeat("if (1) { ", n) + "x = 1;" + Repeat(" }", n); }, 50, 300, 10, 0,
       "nested too deeply"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    u32 refusedFrom = 0;
    for (u32 n = c.from; n <= c.to; n += c.step) {
      SCOPED_TRACE(n);
      const Outcome o = CompileAndRun(c.source(n));
      if (o.compiled) {
        EXPECT_EQ(refusedFrom, 0u) << "compiled after a shorter one was refused";
        EXPECT_TRUE(o.code == 0 || o.code == SScriptInterpreter::kReturn) << o.code;
        continue;
      }
      if (!refusedFrom) refusedFrom = n;
      EXPECT_NE(o.says.find(c.says), std::string::npos) << o.says;
      EXPECT_EQ(o.line, 1u);
      EXPECT_GT(o.column, 1u);
    }
    EXPECT_NE(refusedFrom, 0u) << "the longest is refused";
    if (c.firstRefused) {
      EXPECT_EQ(refusedFrom, c.firstRefused);
    }
  }
}

// A file names the line and column: where the innermost parenthesis opens (the first operator of the
// chain), or the first operator past a chain's length.
TEST(ScriptNesting, TheRefusalNamesThePlace) {
  for (u32 n : {65u, 70u}) {
    const std::string source = "script deep {\n  message(\"fine\");\n  if (a" + Repeat(" || a", n) + ") {\n  }\n}\n";
    scriptc::Result r = scriptc::CompileFile(source);
    ASSERT_FALSE(r.Ok()) << n;
    EXPECT_EQ(scriptc::Format("deep.script", r.diagnostics.back()).rfind("deep.script:3:", 0), 0u);
    EXPECT_EQ(r.diagnostics.back().column, n == 65 ? 9u : 9u + 5 * 65) << r.diagnostics.back().text;
  }
}

}  // namespace
