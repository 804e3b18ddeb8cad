// The script interpreter on hand-assembled token streams: how its rules group, merge and skip; what
// ends a run and with which code; and malformed blobs, each ending in one "Script error!".
#include "ScriptAssembler.h"
#include "ScriptRig.h"
#include "script/SScriptTokens.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <sstream>

namespace {

constexpr u32 kGetGlobal = 100;

// What a run left: the variables asked for, then the calls made.
std::string Observed(const ScriptRig& rig, const std::string& variables) {
  std::string out;
  std::istringstream names(variables);
  for (std::string name; names >> name;) out += (out.empty() ? "" : " ") + name + "=" + rig.Var(name.c_str());
  for (const std::string& call : rig.context.calls) out += (out.empty() ? "" : " ") + call;
  return out;
}

bool Failed(u32 code) { return code != 0 && code != SScriptInterpreter::kReturn; }

// The language as the stored stream means it, quirks included.
TEST(ScriptInterpreter, RulesOfTheStream) {
  struct Case {
    const char* what;
    const char* program;
    u32 code;
    const char* variables;
    const char* observed;
  } cases[] = {
      {"at statement level - groups from the left", "a = 10 ; b = 3 ; c = 2 ; x = a - b - c ;", 0, "x", "x=5"},
      {"inside parentheses - groups from the right",
       "a = 3 ; b = 2 ; c = 1 ; if ( a - b - c ) { x = 1 ; } else { x = 2 ; } y = ( a - b - c ) ;", 0, "x y",
       "x=1 y=2"},
      {"* before + at statement level, + before *", "a = 2 ; b = 3 ; c = 4 ; x = a * b + c ; y = a + b * c ;", 0, "x y",
       "x=10 y=14"},
      {"a == 1 && b == 2 is a == (1 && (b == 2))",
       "a = 0 ; b = 5 ; if ( a == 1 && b == 2 ) { x = 1 ; } else { x = 2 ; }", 0, "x", "x=1"},
      {"* then * groups from the right", "x = 100 / 10 / 5 ;", 0, "x", "x=50"},
      {"adjacent string literals make one value", "x = \"ab\" \"cd\" \"\" ;", 0, "x", "x=\"abcd\""},
      {"an integer literal then a string of digits adds", "x = 5 \"10\" ;", 0, "x", "x=15 text \"5\""},
      {"a comma ends a run of literals", "getglobal ( \"a\" , \"b\" ) ; getglobal ( \"a\" \"b\" ) ;", 0, "",
       "getglobal(\"a\",\"b\",\"\") getglobal(\"ab\",\"\",\"\")"},
      {"four arguments pass three", "getglobal ( 1 , 2 , 3 , 4 ) ;", 0, "", "getglobal(1,2,3)"},
      {"no arguments pass three empty strings", "getglobal ( ) ;", 0, "", "getglobal(\"\",\"\",\"\")"},
      {"a call's value", "x = getglobal ( ) + 1 ;", 0, "x", "x=8 getglobal(\"\",\"\",\"\")"},
      {"a call that gives nothing used as a value", "x = message ( 1 ) ;", 19, "x", "x=\"\" message(1,\"\",\"\")"},
      {"a named target and a name as a string", "@player . getglobal ( 1 ) ; x = @gate ;", 0, "x",
       "x=\"gate\" player.getglobal(1,\"\",\"\")"},
      {"a variable read before assignment is the empty string", "x = never ;", 0, "x never", "x=\"\" never=\"\""},
      {"a fresh variable plus one concatenates", "n = n + 1 ; n = n + 1 ; m = 0 ; m = m + 1 ;", 0, "n m",
       "n=\"11\" m=1"},
      {"++ and -- as statements", "n = 0 ; n ++ ; n ++ ; -- n ;", 0, "n", "n=1"},
      {"assignment operators", "x = 7 ; x += 3 ; x -= 1 ; x *= 4 ; x /= 6 ; x %= 4 ; s = \"a\" ; s += 5 ;", 0, "x s",
       "x=2 s=\"a5\""},
      {"if takes the integer form of a string",
       "if ( \"abc\" ) { x = 1 ; } else { x = 2 ; } if ( \"7up\" ) { y = 1 ; }", 0, "x y", "x=2 y=1"},
      {"else if chains, run and skipped",
       "if ( 0 ) { if ( 1 ) { x = 1 ; } else { x = 2 ; } } else if ( 1 ) { x = 3 ; } else { x = 4 ; } "
       "if ( 1 ) { y = 1 ; } else if ( 1 ) { y = 2 ; } else { y = 3 ; } z = 5 ;",
       0, "x y z", "x=3 y=1 z=5"},
      {"bodies without braces", "if ( 0 ) x = 1 ; else x = 2 ; if ( 1 ) y = 1 ; z = 1 ;", 0, "x y z", "x=2 y=1 z=1"},
      {"an empty program succeeds", "", 0, "", ""},
      {"return ends the run successfully", "x = 1 ; return ; x = 2 ;", 20, "x", "x=1"},
      {"return with a value", "return ( getglobal ( ) ) ; x = 2 ;", 20, "x", "x=none getglobal(\"\",\"\",\"\")"},
      {"return without parentheses", "return 5 ;", 5, "", ""},
      {"a statement that starts with a literal", "x = 1 ; 5 ; x = 2 ;", 4, "x", "x=1"},
      {"++ on a value", "x = getglobal ( ) ++ ;", 4, "", "getglobal(\"\",\"\",\"\")"},
      {"a stray else", "else ;", 10, "", ""},
      {"a stray }", "x = 1 ; } ;", 9, "", ""},
      {"a statement that starts with )", ") ;", 7, "", ""},
      {"a statement that starts with {", "{ x = 1 ; }", 1, "x", "x=none"},
      {"a statement that starts with (", "( x ) ;", 1, "", ""},
      {"a statement that starts with ,", ", ;", 1, "", ""},
      {"a statement that starts with .", ". ;", 1, "", ""},
      {"a semicolon inside parentheses", "x = ( 1 ; ) ;", 6, "", ""},
      {"a function without (", "getglobal getglobal ( ) ;", 5, "", ""},
      {"a name before no function", "@gate . 5 ;", 13, "", ""},
      {"the program ends inside a statement", "x = 1", 11, "", ""},
      {"the program ends inside a block", "if ( 1 ) { x = 1 ;", 0, "x", "x=1"},
      {"the program ends in a skipped block", "if ( 0 ) { x = 1 ;", 11, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptRig rig;
    rig.context.answers[kGetGlobal] = Int(7);
    const u32 code = rig.Run(Assemble(c.program));
    EXPECT_EQ(code, c.code) << SScriptInterpreter::ErrorText(code);
    EXPECT_EQ(Observed(rig, c.variables), c.observed);
    EXPECT_EQ(rig.ScriptErrors(), Failed(c.code) ? 1u : 0u);
  }
}

// Padding counts from the start of the record: the same stream laid out for either half of a 4-byte
// word reads the same.
TEST(ScriptInterpreter, PaddingCountsFromTheRecord) {
  for (u32 mod4 : {0u, 1u, 2u, 3u}) {
    SCOPED_TRACE(mod4);
    ScriptRig rig;
    EXPECT_EQ(rig.Run(Assemble("line:3 x = i32:100000 ; y = i16:-300 ; s = \"t\" ;", mod4), mod4), 0u);
    EXPECT_EQ(Observed(rig, "x y s"), "x=100000 y=-300 s=\"t\"");
  }
}

// Malformed blobs: each run ends with its code, one "Script error!" and nothing read outside the blob.
TEST(ScriptInterpreter, MalformedBlobsEndTheRun) {
  auto withTableOffset = [](scriptc::Bytes b, u32 offset) {
    b[2] = u8(offset);
    b[3] = u8(offset >> 8);
    return b;
  };
  auto tableOffset = [](const scriptc::Bytes& b) { return u32(b[2] | b[3] << 8); };
  auto repeated = [](const std::string& word, u32 n) {
    std::string s;
    for (u32 i = 0; i < n; ++i) s += word;
    return s;
  };
  const scriptc::Bytes plain = Assemble("x = \"abc\" ;");
  scriptc::Bytes moreStrings = plain;
  ++moreStrings[tableOffset(plain)];
  scriptc::Bytes unterminated = plain;
  unterminated.pop_back();

  struct Case {
    const char* what;
    scriptc::Bytes blob;
    u32 code;
  } cases[] = {
      {"string index -1", Assemble("x = str:-1 ;"), 1},
      {"string index past the count", Assemble("x = str:1 ;"), 1},
      {"variable index past the count", Assemble("var:7 = 1 ;"), 1},
      {"name index -1", Assemble("name:-1 . getglobal ( ) ;"), 1},
      {"table offset past the end", withTableOffset(plain, u32(plain.size())), 1},
      {"table offset inside the header", withTableOffset(plain, 2), 1},
      {"more strings counted than present", moreStrings, 1},
      {"an unterminated string", unterminated, 1},
      {"shorter than its header", scriptc::Bytes{0, 0, 4}, 1},
      {"byte 9", Assemble("x = #9 ;"), 1},
      {"byte 34", Assemble("x = #34 ;"), 1},
      {"byte 94", Assemble("x = 1 #94 1 ;"), 1},
      {"byte 98", Assemble("#98 ;"), 1},
      {"byte 255", Assemble("#255 ( ) ;"), 15},
      {"an 8-bit operand cut off by the end", StreamWithoutStrings({tok::kInt8}), 1},
      {"a 32-bit operand cut off by the end", StreamWithoutStrings({tok::kInt32, 0, 0, 0, 1}), 1},
      {"a line marker cut off by the end", StreamWithoutStrings({tok::kLine, 0, 0}), 1},
      {"no end byte", StreamWithoutStrings({tok::kSemicolon, tok::kFiller, tok::kSemicolon}), 1},
      {"60,000 ( bytes", Assemble("x = " + repeated("( ", 60000)), 22},
      {"60,000 ! bytes", Assemble("x = " + repeated("! ", 60000) + "1 ;"), 22},
      {"300 nested ifs", Assemble(repeated("if ( 1 ) ", 300) + "x = 1 ;"), 22},
      {"300 nested blocks", Assemble(repeated("if ( 1 ) { ", 300) + "x = 1 ;" + repeated(" }", 300)), 22},
      {"a statement beginning with =", Assemble("= 1 ;"), 19},
      {"if ()", Assemble("if ( ) { x = 1 ; }"), 19},
      {"return ()", Assemble("return ( ) ;"), 19},
      {"an operator inside a call's arguments", Assemble("x = getglobal ( - 1 ) ;"), 19},
      {"an assignment inside a call's arguments", Assemble("x = getglobal ( = 2 ) ;"), 19},
      {"an operator at a parenthesis' start", Assemble("x = 2 * ( + 1 ) ;"), 19},
      {"a binary operator after ++", Assemble("x = 1 ; y = x ++ + 1 ;"), 19},
      {"a ) too many", Assemble("x = ( 1 ) ) ;"), 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptRig rig;
    rig.context.answers[kGetGlobal] = Int(7);
    EXPECT_EQ(rig.Run(c.blob), c.code);
    EXPECT_EQ(rig.ScriptErrors(), 1u);
    // The interpreter is ready for the next script.
    EXPECT_EQ(rig.Run(Assemble("x = 3 ;")), 0u);
    EXPECT_EQ(rig.Var("x"), "3");
  }
}

// Arithmetic that leaves the range or divides by zero goes on with a defined value.
TEST(ScriptInterpreter, DivisionEdgesGoOn) {
  ScriptRig rig;
  EXPECT_EQ(rig.Run(Assemble("a = i32:-2147483648 / -1 ; b = i32:-2147483648 % -1 ; c = 7 / 0 ; d = 7 % 0 ; "
                             "e = 7 ; e /= 0 ; f = i32:2147483647 + 1 ;")),
            0u);
  EXPECT_EQ(Observed(rig, "a b c d e f"), "a=-2147483648 b=0 c=0 d=0 e=0 f=-2147483648");
  EXPECT_EQ(rig.ScriptErrors(), 0u);
}

// Assigning to a variable while another is made: the target stays the variable it was read as.
TEST(ScriptInterpreter, AssignmentsSurviveNewVariables) {
  ScriptRig rig;
  std::string program = "x = 1 ;";
  // Each statement reads a fresh variable after pushing its target, so the table grows under it.
  for (int i = 0; i < 40; ++i) program += " x" + std::to_string(i) + " = y" + std::to_string(i) + " ;";
  program += " x = fresh ;";
  EXPECT_EQ(rig.Run(Assemble(program)), 0u);
  EXPECT_EQ(Observed(rig, "x x0 x39 y39"), "x=\"\" x0=\"\" x39=\"\" y39=\"\"");
  rig.Run(Assemble("x7 = 5 ; x7 += new1 ; x8 = 2 ; x8 *= new2 + 3 ;"));
  EXPECT_EQ(Observed(rig, "x7 x8"), "x7=5 x8=6");
}

// A run asked for from inside a run is refused; the running one goes on as it was.
TEST(ScriptInterpreter, NestedRunsAreRefused) {
  const scriptc::Bytes other = Assemble("x = 99 ;");
  {
    SCOPED_TRACE("the refusal passed up");
    ScriptRig rig;
    rig.context.hook = [&](u32, const SScriptValue&, const SScriptValue&, const SScriptValue&) {
      return rig.interpreter.Execute();
    };
    EXPECT_EQ(rig.Run(Assemble("x = 1 ; getglobal ( ) ; x = 2 ;")), SScriptInterpreter::kErrorInMethod);
    EXPECT_EQ(rig.Var("x"), "1");
    EXPECT_EQ(rig.ScriptErrors(), 1u);
  }
  {
    SCOPED_TRACE("the refusal ignored");
    ScriptRig rig;
    bool loaded = true, ran = true;
    rig.context.hook = [&](u32, const SScriptValue&, const SScriptValue&, const SScriptValue&) {
      EXPECT_TRUE(rig.interpreter.IsRunning());
      loaded = rig.interpreter.LoadProgram(other.data(), u32(other.size()), 0);
      ran = rig.interpreter.Run();
      return 0u;
    };
    rig.context.answers[kGetGlobal] = Int(4);
    EXPECT_EQ(rig.Run(Assemble("x = 1 ; y = 2 + getglobal ( ) ; x = y * 10 ;")), 0u);
    EXPECT_FALSE(loaded);
    EXPECT_FALSE(ran);
    EXPECT_EQ(Observed(rig, "x y"), "x=60 y=6 getglobal(\"\",\"\",\"\")");
    EXPECT_EQ(rig.ScriptErrors(), 0u);
  }
}

// A handler's code ends the run as it is; the result of a failed call is not pushed.
TEST(ScriptInterpreter, HandlerCodesEndTheRun) {
  ScriptRig rig;
  rig.context.hook = [](u32 id, const SScriptValue&, const SScriptValue&, const SScriptValue&) {
    return id == kGetGlobal ? 12u : 0u;
  };
  rig.context.answers[kGetGlobal] = Int(1);
  EXPECT_EQ(rig.Run(Assemble("x = 1 ; @nobody . getglobal ( ) ; x = 2 ;")), 12u);
  EXPECT_EQ(rig.Var("x"), "1");
  EXPECT_EQ(rig.ScriptErrors(), 1u);
}

// The last error: raised codes are stored with their text and the line the markers reached; codes
// passed up from an operator are returned only.
TEST(ScriptInterpreter, LastErrorKeepsRaisedCodes) {
  ScriptRig rig;
  EXPECT_EQ(rig.Run(Assemble("line:7 x = 1 ; line:9 5 ;")), 4u);
  EXPECT_EQ(rig.interpreter.LastError(), 4u);
  EXPECT_STREQ(rig.interpreter.LastErrorText(), "lvalue required");
  EXPECT_EQ(rig.interpreter.LastErrorLine(), 9);
  EXPECT_EQ(rig.Run(Assemble("line:3 = 1 ;")), 19u);
  EXPECT_EQ(rig.interpreter.LastError(), 0u);
  EXPECT_EQ(rig.Run(Assemble("line:4 return ;")), 20u);
  EXPECT_STREQ(rig.interpreter.LastErrorText(), "return");
  EXPECT_EQ(rig.ScriptErrors(), 2u);
  EXPECT_STREQ(SScriptInterpreter::ErrorText(24), "Invalid number of arguments.");
  EXPECT_STREQ(SScriptInterpreter::ErrorText(25), "Unknown error");
}

// No program, a refused one, and Run's answer.
TEST(ScriptInterpreter, LoadingAndRunning) {
  ScriptRig rig;
  EXPECT_TRUE(rig.interpreter.LoadProgram(nullptr, 0, 0));
  EXPECT_TRUE(rig.interpreter.Run());
  const scriptc::Bytes bad = {0, 0, 200, 0, 0, 0};
  EXPECT_FALSE(rig.interpreter.LoadProgram(bad.data(), u32(bad.size()), 0));
  EXPECT_FALSE(rig.interpreter.Run());
  const scriptc::Bytes good = Assemble("x = 1 ; return ; x = 2 ;");
  EXPECT_TRUE(rig.interpreter.LoadProgram(good.data(), u32(good.size()), 0));
  EXPECT_TRUE(rig.interpreter.Run());
  EXPECT_TRUE(rig.interpreter.Run());  // the program stays loaded
  EXPECT_EQ(rig.ScriptErrors(), 1u);
  EXPECT_EQ(rig.Var("x"), "1");
}

// The keyword and operator table names the tokens the stream stores.
TEST(ScriptInterpreter, KeywordTableMatchesTheTokens) {
  for (const SScriptKeyword& k : SScriptInterpreter::kKeywords) {
    EXPECT_EQ(k.length, std::strlen(k.text)) << k.text;
    if (k.kind == 2)
      EXPECT_STREQ(tok::OperatorText(k.token), k.text);
    else
      EXPECT_TRUE(k.token >= tok::kIf && k.token <= tok::kReturn) << k.text;
  }
}

// The catalogue's rows, as binding the context adds them (once, however often it is bound).
TEST(ScriptInterpreter, FunctionList) {
  ScriptRig rig;
  rig.context.Bind(&rig.core);
  for (const SScriptCatalogueRow& row : kScriptCatalogue) {
    const SScriptFunction* f = rig.interpreter.Function(row.id);
    ASSERT_NE(f, nullptr) << row.id;
    EXPECT_STREQ(f->name, row.name);
    EXPECT_EQ(f->flags, row.targets);
  }
  ASSERT_NE(rig.interpreter.Function(254), nullptr);
  EXPECT_STREQ(rig.interpreter.Function(254)->name, "movebyship");
  EXPECT_EQ(rig.interpreter.Function(100)->argumentCount, 1u);
  EXPECT_EQ(rig.interpreter.Function(99), nullptr);
  EXPECT_EQ(rig.interpreter.Function(255), nullptr);
}

}  // namespace
