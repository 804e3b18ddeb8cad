// The script compiler: the stored bytes of the worked examples at both record alignments, the lowering
// rules seen through the listing, and the sources it refuses with their positions.
#include "ScriptCompiler.h"
#include "script/SScriptCatalogue.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

using scriptc::Bytes;

std::string Hex(const Bytes& b) {
  std::string out;
  char buf[4];
  for (u8 x : b) {
    std::snprintf(buf, sizeof buf, "%02X ", x);
    out += buf;
  }
  if (!out.empty()) out.pop_back();
  return out;
}

scriptc::Program Compile(const std::string& source, bool lineMarkers = false) {
  scriptc::Options options;
  options.lineMarkers = lineMarkers;
  scriptc::Result r = scriptc::CompileStatements(source, options);
  EXPECT_TRUE(r.Ok()) << source << "\n" << (r.diagnostics.empty() ? "" : r.diagnostics[0].text);
  return r.programs.empty() ? scriptc::Program() : r.programs[0];
}

TEST(ScriptCompiler, WorkedExamplesByteForByte) {
  const scriptc::Program lever =
      Compile("if (getglobal(\"base_lever\") == 0) { setglobal(\"base_lever\", 1); message(\"The gate opens.\"); }");
  const std::string tokens =
      "00 00 26 00 5F 3C 64 3C 21 00 00 00 3D 4C 1E 00 3D 32 65 3C 21 00 00 00 0B 1E 01 3D 03 BB 3C 21 01 00 3D 03 33 "
      "00 02 00 "
      "62 61 73 65 5F 6C 65 76 65 72 00 54 68 65 20 67 61 74 65 20 6F 70 65 6E 73 2E 00";
  EXPECT_EQ(Hex(scriptc::Serialize(lever, 0)), tokens);
  EXPECT_EQ(Hex(scriptc::Serialize(lever, 2)), tokens);
  EXPECT_EQ(scriptc::Serialize(lever, 0).size(), 67u);

  const scriptc::Program big = Compile("x = 100000;");
  EXPECT_EQ(Hex(scriptc::Serialize(big, 0)), "00 00 12 00 08 00 00 00 51 20 00 00 A0 86 01 00 03 00 01 00 78 00");
  EXPECT_EQ(Hex(scriptc::Serialize(big, 2)), "00 00 10 00 08 00 00 00 51 20 A0 86 01 00 03 00 01 00 78 00");
}

std::string Listing(const std::string& source, bool lineMarkers = false) {
  return scriptc::Disassemble(scriptc::Serialize(Compile(source, lineMarkers), 0), 0);
}

// What the stored stream says, as a listing: every rule of the lowering on one line each.
TEST(ScriptCompiler, LoweringKeepsTheMeaningOfTheText) {
  struct Case {
    const char* source;
    const char* listing;
  } cases[] = {
      // Operators group from the right in storage: operands that are not atoms get parentheses.
      {"x = a * b + c;", "x = (a * b) + c;"},
      {"x = a - b - c;", "x = (a - b) - c;"},
      {"x = a - (b - c);", "x = a - (b - c);"},
      {"x = a + b * c;", "x = a + (b * c);"},
      {"if (a == 1 && b == 2 || c) { }", "if (((a == 1) && (b == 2)) || c) { }"},
      {"if (a < b == c > d) { }", "if ((a < b) == (c > d)) { }"},
      {"x = a & b | c % d;", "x = (a & b) | (c % d);"},
      // Arguments that are not atoms, and a string literal right after a literal.
      {"setglobal(\"g\", getglobal(\"g\") + 1);", "setglobal(\"g\", (getglobal(\"g\") + 1));"},
      {"setglobalstr(\"g\", \"t\");", "setglobalstr(\"g\", (\"t\"));"},
      {"addobjecttolist(7, \"t\");", "addobjecttolist(7, (\"t\"));"},
      {"addobjecttolist(x, \"t\");", "addobjecttolist(x, \"t\");"},
      {"passtime(1, 2, 3);", "passtime(1, 2, 3);"},
      {"message(\"a\" + \"b\");", "message((\"a\" + \"b\"));"},
      // ! takes an atom; there is no negation token.
      {"x = !a && b;", "x = (!a) && b;"},
      {"x = !(a == b);", "x = !(a == b);"},
      {"x = !!a;", "x = !(!a);"},
      {"x = -a;", "x = 0 - a;"},
      {"x = b * -a;", "x = b * (0 - a);"},
      {"x = -5 - -0x10;", "x = -5 - -16;"},
      {"x = -2147483648;", "x = -2147483648;"},
      {"x = 0xFFFFFFFF;", "x = -1;"},
      // Statements: braced bodies, else if, return with its value in parentheses.
      {"if (x) { } else if (y) { z = 1; } else { return; }", "if (x) { } else { if (y) { z = 1; } else { return; } }"},
      {"return x + 1;", "return (x + 1);"},
      {"x++; --x; x += 2; x %= 3;", "x ++; -- x; x += 2; x %= 3;"},
      {";", ";"},
      // Targets: a name token before the dot; this and none give none; the player by any case.
      {"this.open(); open();", "open(); open();"},
      {"base_obj_gate.open(); @\"odd name\".close();", "@base_obj_gate.open(); @\"odd name\".close();"},
      {"Player.addxp(1);", "@player.addxp(1);"},
      // Strings: \r is the line break, \g stays for the game to turn into the coin glyph.
      {"message(\"a\\rb \\\"c\\\" \\\\ 5\\g\"); // a comment\n/* and\nanother */",
       "message(\"a\\rb \\\"c\\\" \\\\ 5\\g\");"},
  };
  for (const Case& c : cases) EXPECT_EQ(Listing(c.source), c.listing) << c.source;

  // Literals take the smallest token; strings are stored once.
  const scriptc::Program p = Compile("x = 127; x = 128; x = -32768; x = 32768; message(\"x\");");
  std::vector<u8> kinds;
  for (const scriptc::Token& t : p.tokens)
    if (t.byte >= 30 && t.byte <= 32) kinds.push_back(t.byte);
  EXPECT_EQ(kinds, (std::vector<u8>{30, 31, 31, 32}));
  EXPECT_EQ(p.strings, (std::vector<std::string>{"x"}));
}

// Line markers stand before each statement with the statement's line; named scripts come from a file.
TEST(ScriptCompiler, FilesOfNamedScriptsWithLineMarkers) {
  scriptc::Result r = scriptc::CompileFile(
      "// two scripts\n"
      "script first {\n"
      "  if (evtuse()) {\n"
      "    message(\"used\");\n"
      "  }\n"
      "}\n"
      "script second { }\n");
  ASSERT_TRUE(r.Ok());
  ASSERT_EQ(r.programs.size(), 2u);
  EXPECT_EQ(r.programs[0].name, "first");
  EXPECT_EQ(r.programs[0].line, 2u);
  EXPECT_EQ(scriptc::Disassemble(scriptc::Serialize(r.programs[0], 2), 2),
            "3: if (evtuse()) {\n4:   message(\"used\"); }");
  EXPECT_EQ(r.programs[1].name, "second");
  EXPECT_TRUE(r.programs[1].tokens.empty());
  // The marker: token 13, padding to 2, an unused word, the line.
  EXPECT_EQ(Hex(scriptc::Serialize(r.programs[0], 0)).substr(0, 23), "00 00 20 00 0D 00 00 00");
  EXPECT_EQ(Hex(scriptc::Serialize(r.programs[1], 0)), "00 00 05 00 00 00 00");
}

// Sources the compiler refuses: the first error, where it stands, and no program.
TEST(ScriptCompiler, RefusedSources) {
  struct Case {
    const char* source;
    u32 line, column;
    const char* says;
    bool file = false;  // a file of named scripts, else statements alone
  } cases[] = {
      {"while (x) { }", 1, 1, "loops"},
      {"for (;;) { }", 1, 1, "loops"},
      {"x = (y = 1);", 1, 8, "assignment is a statement"},
      {"x = y++;", 1, 6, "++ and -- are statements"},
      {"x = ++y;", 1, 5, "++ and -- are statements"},
      {"x = a ? 1 : 2;", 1, 7, "?:"},
      {"frobnicate();", 1, 1, "unknown function frobnicate"},
      {"passtime(1, 2, 3, 4);", 1, 19, "at most three arguments"},
      {"x = open();", 1, 5, "open gives no value"},
      {"if (finditem(\"a\", 1)) { }", 1, 5, "finditem gives no value"},
      {"x = player.findgold(5);", 1, 12, "findgold gives no value"},
      {"x = playcard(5);", 1, 5, "playcard gives no value"},
      {"message(\"a\\nb\");", 1, 11, "\\r"},
      {"message(\"a\\q\");", 1, 11, "unknown escape"},
      {"message(\"open", 1, 9, "unterminated string"},
      {"x = 2147483648;", 1, 5, "32 bits"},
      {"x = 0x100000000;", 1, 5, "32 bits"},
      {"if (x) y = 1;", 1, 8, "always braced"},
      {"else { }", 1, 1, "else without if"},
      {"{ x = 1; }", 1, 1, "only after if or else"},
      {"(x) = 1;", 1, 1, "cannot begin with ("},
      {"x;", 1, 2, "expected =, +="},
      {"x &= 1;", 1, 3, "not an operator"},
      {"x = 1", 1, 6, "expected ;"},
      {"x = 1;\n  y = $;", 2, 7, "unexpected character"},
      {"/* open", 1, 1, "unterminated comment"},
      {"if (x) {\n x = 1;\n", 3, 1, "{ without its }"},
      {"}", 1, 1, "} without its {"},
      {"x = 1;", 1, 1, "expected \"script NAME", true},
      {"script a { }\nscript a { }", 2, 8, "a second script named a", true},
      {"script { }", 1, 8, "name", true},
      {"script a { x = 1;", 1, 18, "no closing }", true},
  };
  for (const Case& c : cases) {
    scriptc::Result r = c.file ? scriptc::CompileFile(c.source) : scriptc::CompileStatements(c.source);
    EXPECT_FALSE(r.Ok()) << c.source;
    EXPECT_TRUE(r.programs.empty()) << c.source;
    ASSERT_FALSE(r.diagnostics.empty()) << c.source;
    const scriptc::Diagnostic& d = r.diagnostics.back();
    EXPECT_TRUE(d.error) << c.source;
    EXPECT_EQ(d.line, c.line) << c.source << ": " << d.text;
    EXPECT_EQ(d.column, c.column) << c.source << ": " << d.text;
    EXPECT_NE(d.text.find(c.says), std::string::npos) << c.source << ": " << d.text;
  }
}

// The stored form's limits: a signed 16-bit string index and a 16-bit length.
TEST(ScriptCompiler, LimitsOfTheStoredForm) {
  std::string many;
  for (u32 i = 0; i <= scriptc::kMaxStrings; ++i) many += "message(\"" + std::to_string(i) + "\");\n";
  scriptc::Result r = scriptc::CompileStatements(many);
  ASSERT_FALSE(r.Ok());
  EXPECT_EQ(r.diagnostics.back().line, scriptc::kMaxStrings + 1);
  EXPECT_NE(r.diagnostics.back().text.find("32,767"), std::string::npos);

  std::string longScript;
  for (u32 i = 0; i < 7000; ++i) longScript += "x = 1;\n";
  r = scriptc::CompileStatements(longScript);
  ASSERT_FALSE(r.Ok());
  EXPECT_NE(r.diagnostics.back().text.find("65,535 bytes"), std::string::npos);
  scriptc::Options bare;
  bare.lineMarkers = false;  // without the markers it fits
  EXPECT_TRUE(scriptc::CompileStatements(longScript, bare).Ok());
}

// Hints that do not stop the build.
TEST(ScriptCompiler, Warnings) {
  struct Case {
    const char* source;
    const char* says;  // null: no warning
  } cases[] = {
      {"message();", "message takes 1 argument (text), here 0"},
      {"setglobal(\"g\");", "setglobal takes 2 arguments"},
      {"x = y;", "the variable y is read before"},
      {"y = 1; x = y;", nullptr},
      {"x += 1;", "the variable x is read before"},
      {"x = player.isvisible();", "isvisible gives a value only for map objects and monsters"},
      {"x = isvisible();", nullptr},
      {"x = player.isparalyzed();", nullptr},  // the player answers too
      {"x = player.isaggressive();", "isaggressive gives a value only for monsters"},
      {"x = this.isparalyzed();", nullptr},
      {"x = player.isdead();", "isdead gives a value only for map objects and monsters"},
      {"x = player.hasitem(\"k\", 1);", nullptr},
      {"x = getobjectlistresult();", "only while the game's message line or a conversation"},
  };
  for (const Case& c : cases) {
    scriptc::Result r = scriptc::CompileStatements(c.source);
    EXPECT_TRUE(r.Ok()) << c.source;
    ASSERT_EQ(r.diagnostics.size(), c.says ? 1u : 0u) << c.source;
    if (!c.says) continue;
    EXPECT_FALSE(r.diagnostics[0].error);
    EXPECT_NE(r.diagnostics[0].text.find(c.says), std::string::npos) << r.diagnostics[0].text;
  }
  scriptc::Options conversation;
  conversation.conversation = true;  // a dialog entry's script: its output is the conversation
  EXPECT_TRUE(scriptc::CompileStatements("x = getobjectlistresult();", conversation).diagnostics.empty());

  // What the builder checks afterwards: literal names and targets.
  scriptc::Program p = Compile("if (getglobal(\"g\")) { base_obj.open(); playsound(\"s\", 5); }");
  ASSERT_EQ(p.names.size(), 3u);
  EXPECT_EQ(p.names[0].function, 100);
  EXPECT_EQ(p.names[0].argument, 0);
  EXPECT_EQ(p.names[0].text, "g");
  EXPECT_EQ(p.names[1].argument, -1);
  EXPECT_EQ(p.names[1].text, "base_obj");
  EXPECT_EQ(p.names[2].function, 211);
  EXPECT_EQ(p.names[2].text, "s");
  EXPECT_EQ(p.names[2].column, 50u);
}

// Any bytes list without reading outside them.
TEST(ScriptCompiler, ListingOfDamagedBlobs) {
  EXPECT_EQ(scriptc::Disassemble(Bytes{0, 0}, 0), "(no program: shorter than its header)");
  // A string index past the table, a token no one knows, a 32-bit literal cut short.
  EXPECT_EQ(scriptc::Disassemble(Bytes{0, 0, 9, 0, 33, 0, 5, 0, 2, 0, 0, 0}, 0), "\"<string 5 missing>\" <token 2>");
  EXPECT_EQ(scriptc::Disassemble(Bytes{0, 0, 0, 1, 32, 0, 0, 0, 1}, 0), " <cut short> <string table out of bounds>");
  EXPECT_EQ(scriptc::Disassemble(Bytes{0, 0, 4, 0, 3}, 0), "; <no end byte> <string table out of bounds>");
}

// The catalogue's rows that the text of the function table adds or mends, and the lookups.
// Whether a script calls default() on every way a monster's death takes through it, on some or on none:
// event tests (negated, joined, nested, with else-if) decide their branches; other conditions go either
// way; a return ends a way; with line markers as the world stores named scripts.
TEST(ScriptCompiler, TheWaysAnEventTakesToDefault) {
  using scriptc::DefaultRun;
  const struct {
    const char* source;
    DefaultRun death;
  } cases[] = {
      {"default();", DefaultRun::kAlways},
      {"message(\"Hm.\");", DefaultRun::kNever},
      // The cyclops's shape: use and death answered, the rest left to the monster.
      {"if (evtuse()) { message(\"Grr.\"); } else if (evtdie()) { message(\"It falls.\"); } else { default(); }",
       DefaultRun::kNever},
      {"if (evtuse()) { message(\"Grr.\"); } else if (evtdie()) { message(\"It falls.\"); default(); } "
       "else { default(); }",
       DefaultRun::kAlways},
      {"if (!evtuse()) { default(); return; } message(\"Hello.\");", DefaultRun::kAlways},
      {"if (!evtuse()) { return; } default();", DefaultRun::kNever},
      {"if (evtdie()) { if (getglobal(\"g\") == 1) { default(); } }", DefaultRun::kSometimes},
      {"if (evtdie() && getglobal(\"g\") == 1) { return; } default();", DefaultRun::kSometimes},
      {"if (evtuse() && getglobal(\"g\") == 1) { return; } default();", DefaultRun::kAlways},
      {"if (evthit() || evtdie()) { default(); }", DefaultRun::kAlways},
      {"if (!(evtuse() || evtspell())) { default(); }", DefaultRun::kAlways},
      {"if (player.hasquest(\"q\")) { player.solvequest(\"q\"); } default();", DefaultRun::kAlways},
      {"return; default();", DefaultRun::kNever},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    for (bool markers : {false, true}) EXPECT_EQ(scriptc::RunsDefault(Compile(c.source, markers), 64), c.death);
  }
  // Use, for the script that answers it alone.
  EXPECT_EQ(scriptc::RunsDefault(Compile("if (!evtuse()) { default(); return; } message(\"Hello.\");"), 32),
            DefaultRun::kNever);
}

TEST(ScriptCatalogue, RowsAndLookups) {
  const SScriptCatalogueRow* movemode = FindScriptFunction("movemode");
  ASSERT_NE(movemode, nullptr);
  EXPECT_EQ(movemode->id, 151);
  EXPECT_EQ(movemode->argumentCount, 2);
  EXPECT_EQ(movemode->targets, ScriptTarget::kPlayer);
  EXPECT_STREQ(FindScriptFunction(203)->name, "setweathercloud");
  EXPECT_STREQ(FindScriptFunction(203)->help, "skyid[can be empty],value[0..100]");
  EXPECT_EQ(FindScriptFunction("createmonsterdir")->argumentCount, 3);
  for (const char* silent : {"finditem", "findgold", "playcard", "message"})
    EXPECT_FALSE(FindScriptFunction(silent)->GivesValue()) << silent;
  for (const char* answering : {"itemvalue", "knowsspell", "random", "answer", "evtuse", "hassavedxp"})
    EXPECT_TRUE(FindScriptFunction(answering)->GivesValue()) << answering;
  EXPECT_EQ(FindScriptFunction(99), nullptr);
  EXPECT_EQ(FindScriptFunction(255), nullptr);
  EXPECT_EQ(FindScriptFunction("Message"), nullptr);  // names are lower case
  EXPECT_EQ(FindScriptFunction("messag"), nullptr);
}

}  // namespace
