// The script interpreter: runs one compiled script (a token stream with its own string table) at a time,
// statement by statement, straight from its bytes. Every failure ends the run with a numbered error and
// queues "Script error!" for the player once; a malformed script never reads outside its blob.
#pragma once
#include "foundation/SPtrArray.h"
#include "foundation/SString.h"
#include "foundation/SValueArray.h"
#include "script/SScriptValue.h"

class SGameCore;
class SScriptContext;

// One row of the function catalogue as the interpreter keeps it: function id n is entry n - 100.
struct SScriptFunction {
  const char* name = nullptr;
  u32 id = 0;
  u32 argumentCount = 0;  // as documented; calls are not checked against it
  const char* help = nullptr;
  u32 flags = 0;  // targets: 1 global, 2 map object, 4 monster, 8 player
};

// A variable of the scripts: created on first read as the empty string, shared by every script and
// kept as long as the interpreter. Variables never move once made, so stack entries may point at them.
struct SScriptVariable {
  SName name;
  SScriptValue value;
};

// An entry of the value stack: a value, and the variable it was read from (null for any other value).
struct SScriptStackEntry {
  SScriptVariable* variable = nullptr;
  SScriptValue value;
};

// The value stack. It doubles as it grows, so that a long malformed statement costs linear time.
class SScriptValueStack {
 public:
  SScriptValueStack() = default;
  SScriptValueStack(const SScriptValueStack&) = delete;
  SScriptValueStack& operator=(const SScriptValueStack&) = delete;
  ~SScriptValueStack() { delete[] entries_; }

  u32 Count() const { return count_; }
  SScriptStackEntry& At(u32 i) { return entries_[i]; }
  SScriptStackEntry& Top() { return entries_[count_ - 1]; }
  // False when memory runs out.
  bool Push(SScriptVariable* variable, const SScriptValue& value);
  // Drops the entries from `count` up.
  void Truncate(u32 count) {
    if (count < count_) count_ = count;
  }
  // Drops every entry and frees the block.
  void Clear();

 private:
  SScriptStackEntry* entries_ = nullptr;
  u32 count_ = 0;
  u32 capacity_ = 0;
};

// A row of the keyword and operator table: kind 1 keyword or 2 operator, text, its length, token.
struct SScriptKeyword {
  u8 kind;
  const char* text;
  u8 length;
  u8 token;
};

class SScriptInterpreter {
 public:
  // Token classes (the class of a byte that is no token of the language is kClassNone).
  enum TokenClass : u8 {
    kClassNone = 0,
    kClassKeyword = 1,
    kClassOperator = 2,
    kClassSemicolon = 3,
    kClassLiteral = 4,
    kClassDot = 6,
    kClassBrace = 7,
    kClassVariable = 8,
    kClassFunction = 9,
    kClassName = 10,
    kClassComma = 11,
    kClassParenthesis = 14,
  };

  // Error codes the interpreter raises itself (the table has the others).
  enum Error : u32 {
    kNoError = 0,
    kInvalidToken = 1,
    kLvalueRequired = 4,
    kParenthesisRequired = 5,
    kUnexpectedSemicolon = 6,
    kUnexpectedClose = 7,
    kUnexpectedBrace = 9,
    kElseWithoutIf = 10,
    kUnexpectedEnd = 11,
    kNotAnObject = 12,
    kMethodRequired = 13,
    kInvalidMethod = 15,
    kRvalueRequired = 19,
    kReturn = 20,  // how "return" ends a run: success
    kErrorInMethod = 21,
    kUnenclosed = 22,
  };

  // What one run may do before it is ended as malformed: tokens read, and nesting of blocks and
  // expressions (parentheses, operators, calls) on the machine stack.
  static constexpr u32 kStepBudget = 1000000;
  static constexpr u32 kMaxNesting = 256;
  static constexpr i32 kMaxParentheses = 64;

  static constexpr u32 kKeywordCount = 27;
  static const SScriptKeyword kKeywords[kKeywordCount];

  SScriptInterpreter();
  SScriptInterpreter(const SScriptInterpreter&) = delete;
  SScriptInterpreter& operator=(const SScriptInterpreter&) = delete;

  // Stores the owner (whose game state shows "Script error!") and fills the token class table.
  void Init(SGameCore* owner);
  // The context that executes the script functions; its Bind sets it.
  void SetContext(SScriptContext* context) { context_ = context; }
  SScriptContext* Context() const { return context_; }
  // Appends a catalogue row (the catalogue adds them in id order). False when memory runs out.
  bool AddFunction(const char* name, u32 id, u32 argumentCount, const char* help, u32 flags);
  // The row of function id (100 to 254), or null.
  const SScriptFunction* Function(u32 id) const;

  // Makes a program blob current: `length` bounds every read, and `recordOffset` (where the blob sits in
  // the record that carries it, modulo 4 is enough) places the token padding. A null or empty blob is no
  // program, which runs as an empty one. A blob whose string table does not fit it is refused: false, and
  // its run fails. Refused too while a run is active (false, nothing changed).
  bool LoadProgram(const u8* blob, u32 length, u32 recordOffset);
  // Runs the loaded program from its start: true when it ended normally or by "return", false on any
  // other error, after queueing "Script error!".
  bool Run();
  // The same run, returning the code: 0 done, 20 ended by "return", else the error. A run asked for while
  // one is active is refused with 21 and leaves the running one as it was (nothing recorded or queued).
  u32 Execute();
  bool IsRunning() const { return running_; }

  // The variable of that exact name, made as the empty string when there is none; null when memory runs
  // out or the name is null.
  SScriptVariable* GetVariable(const char* name);
  // The variable of that name when there is one.
  const SScriptVariable* FindVariable(const char* name) const { return variables_.FindByName(name); }
  // String n of the loaded program's table, or null outside it.
  const char* GetString(i32 index) const;
  // The text of an error code ("Unknown error" outside the table).
  static const char* ErrorText(u32 code);

  // The last error recorded: code, text, and the line the stream's markers had reached.
  u32 LastError() const { return lastError_; }
  const char* LastErrorText() const { return lastErrorText_.CStr() ? lastErrorText_.CStr() : ""; }
  i32 LastErrorLine() const { return lastErrorLine_; }

 private:
  class Nesting;
  class StatementScope;
  class FloorScope;

  // The token record filled by the reader.
  struct Token {
    i32 number = 0;              // an integer literal's number
    const char* text = nullptr;  // the string of a string literal, variable or name
    u8 token = 0;
    u8 tokenClass = 0;
    u8 line = 0;
  };

  // ExecuteBlock modes: to the program's end; the next statement (a braced block when one follows); and
  // the two that mode becomes.
  enum Mode : u32 { kModeNext = 0, kModeBlock = 1, kModeSingle = 2, kModeToEnd = 5 };

  u32 ExecuteBlock(u32 mode);
  u32 ExecuteStatement();
  u32 ExecuteKeyword();
  u32 SkipStatement();
  u32 SkipBlock();
  u32 EvaluateExpression(u8 end, bool closing);
  // After a consumed "(": evaluates up to and including its ")", with the values inside it its own.
  u32 EvaluateParenthesis();
  u32 ApplyOperator(u8 op);
  // The value of an operator that gives one (`value` is the left operand, or the only one for "!");
  // false for a token that is no such operator.
  static bool Combine(SScriptValue& value, u8 op, const SScriptValue& right);
  u32 CallFunction();
  u32 PushVariable();

  // Looks at the token at the current position without making it current: 0 with the record filled,
  // kEndOfTokens at the end byte, or the code of a token that cannot be read.
  u32 NextToken();
  void Advance() {
    previous_ = current_;
    current_ = next_;
  }
  void StepBack() { current_ = previous_; }
  u32 Aligned(u32 position, u32 to) const;
  u16 Read16(u32 at) const { return u16(program_[at] | program_[at + 1] << 8); }

  // Stores code, text and line as the last error and returns the code.
  u32 Record(u32 code);
  u32 Done() { return Record(kNoError); }
  bool Refuse();

  static constexpr u32 kEndOfTokens = 0xFFFFFFFFu;

  SGameCore* owner_ = nullptr;
  SScriptContext* context_ = nullptr;
  u32 lastError_ = 0;
  SString lastErrorText_;
  i32 lastErrorLine_ = 0;
  i32 line_ = 0;
  i32 parenDepth_ = 0;
  u8 classes_[256] = {};
  // The loaded program.
  const u8* program_ = nullptr;
  u32 length_ = 0;
  u32 recordOffset_ = 0;  // modulo 4
  bool refused_ = false;
  SPtrArray<const char> strings_{false, 4};
  SValueArray<SScriptFunction> functions_{4};
  SScriptValueStack stack_;
  SPtrArray<SScriptVariable> variables_{true, 4};
  Token token_;
  u32 current_ = 4, next_ = 0, previous_ = 0;
  // The run.
  bool running_ = false;
  u32 steps_ = 0;
  u32 nesting_ = 0;
  u32 statementBase_ = 0;  // the stack depth at which the current statement began
  u32 floor_ = 0;          // no pop goes below it: where the statement, parenthesis or call began
};
