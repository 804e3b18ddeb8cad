// The world builder's script compiler. Authors write a small C-like language; the world stores each
// script as a token stream with its own string table, which the game's interpreter walks without a
// parser of its own: operators group from the right without precedence, adjacent literals merge, commas
// are skipped. The compiler lowers the text so that the stored stream means what the text says
// (operands and arguments that are not atoms are parenthesised, "else if" is braced, negative literals
// fold), checks calls against the function catalogue, and reports errors and hints with line and column.
#pragma once
#include "os/Types.h"

#include <string>
#include <string_view>
#include <vector>

namespace scriptc {

using Bytes = std::vector<u8>;

// The limits of the stored form: a signed 16-bit string index and a 16-bit blob length.
inline constexpr u32 kMaxStrings = 32767;
inline constexpr u32 kMaxBlobBytes = 65535;

// One token before layout: the token byte and its operand (an integer literal's number; the string
// index of a string literal, variable or name; the line of a line marker).
struct Token {
  u8 byte = 0;
  i32 operand = 0;
  bool operator==(const Token&) const = default;
};

struct Diagnostic {
  bool error = true;  // else a warning
  u32 line = 0, column = 0;
  std::string text;
};

// A literal text that a call hands to a function (argument 0..2), or the name a call targets (-1):
// what the world builder checks against the world's tables.
struct NameUse {
  u8 function = 0;
  i8 argument = 0;
  std::string text;
  u32 line = 0, column = 0;
};

// One compiled script, relocatable: padding is added when it is laid out.
struct Program {
  std::string name;  // of "script NAME { }"; empty for statements alone
  u32 line = 0, column = 0;
  std::vector<Token> tokens;  // without the end byte
  std::vector<std::string> strings;
  std::vector<NameUse> names;
};

struct Options {
  bool lineMarkers = true;    // a line marker before each statement, so run-time errors carry the line
  bool conversation = false;  // the script writes into a conversation (a dialog entry's script)
  bool messageLine = false;   // the script writes to the game's message line (a map object's or monster's)
};

struct Result {
  std::vector<Program> programs;
  std::vector<Diagnostic> diagnostics;
  bool Ok() const;  // no error among the diagnostics
};

// A file of named scripts: { "script" NAME "{" statements "}" }. Compiling stops at the first error.
Result CompileFile(std::string_view source, const Options& options = {});
// Statements without a wrapper (a dialog entry's script): one program without a name.
Result CompileStatements(std::string_view source, const Options& options = {});

// The blob laid out where it will sit: padding counts from the start of the carrying record, so the
// record offset modulo 4 matters (0 and 2 differ only where a 32-bit literal is padded). Empty when the
// blob would pass kMaxBlobBytes.
Bytes Serialize(const std::vector<Token>& tokens, const std::vector<std::string>& strings, u32 recordOffsetMod4);
inline Bytes Serialize(const Program& p, u32 recordOffsetMod4) {
  return Serialize(p.tokens, p.strings, recordOffsetMod4);
}

// A readable listing of a stored blob (any bytes: what does not parse is shown as such). A line marker
// starts a new line with its line number.
std::string Disassemble(const u8* blob, size_t size, u32 recordOffsetMod4);
inline std::string Disassemble(const Bytes& blob, u32 recordOffsetMod4) {
  return Disassemble(blob.data(), blob.size(), recordOffsetMod4);
}

// Whether a script, run for an event (its code: 1 stepped on ... 64 died ... 512 arrived), calls default()
// on every way through it, on some, or on none. Only the event tests (evtuse() and the like, negated or
// joined by && and ||) are known; any other condition may go either way.
enum class DefaultRun { kNever, kSometimes, kAlways };
DefaultRun RunsDefault(const Program& program, u16 event);

// "where:line:column: error: text" (or "warning").
std::string Format(const std::string& where, const Diagnostic& d);

}  // namespace scriptc
