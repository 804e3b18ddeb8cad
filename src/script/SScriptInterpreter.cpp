#include "script/SScriptInterpreter.h"

#include "core/SGameCore.h"
#include "game/SStateGame.h"
#include "script/SScriptContext.h"
#include "script/SScriptTokens.h"

#include <cstring>
#include <new>

namespace {

struct ErrorRow {
  u32 code;
  const char* text;
};

constexpr ErrorRow kErrors[] = {
    {0, "no error"},
    {1, "invalid token"},
    {2, "end of string"},
    {3, "empty prog"},
    {4, "lvalue required"},
    {5, "( required"},
    {6, "unexpected ;"},
    {7, "unexpected )"},
    {8, "empty func"},
    {9, "unexpected }"},
    {10, "else without if"},
    {11, "unexpected end of file"},
    {12, "not an object"},
    {13, "object method required"},
    {14, "properties aren't supported"},
    {15, "invalid method"},
    {16, "invalid define"},
    {17, "not implemented"},
    {18, "parameter required"},
    {19, "rvalue required"},
    {20, "return"},
    {21, "error in method"},
    {22, "unenclosed block(s)"},
    {23, "invalid close block(s)"},
    {24, "Invalid number of arguments."},
};

// The class of a token byte. Bytes that are no token of the language (the reader skips 12 and 13 and
// stops at 0 before it asks) have none, so that a stray byte is refused rather than taken for a token.
constexpr u8 ClassOf(u32 byte) {
  using I = SScriptInterpreter;
  switch (byte) {
    case tok::kSemicolon: return I::kClassSemicolon;
    case tok::kDot: return I::kClassDot;
    case tok::kVariable: return I::kClassVariable;
    case tok::kName: return I::kClassName;
    case tok::kComma: return I::kClassComma;
    case tok::kInt8:
    case tok::kInt16:
    case tok::kInt32:
    case tok::kString: return I::kClassLiteral;
    case tok::kOpenBrace:
    case tok::kCloseBrace: return I::kClassBrace;
    case tok::kOpenParen:
    case tok::kCloseParen: return I::kClassParenthesis;
    case tok::kIf:
    case tok::kElse:
    case tok::kReturn: return I::kClassKeyword;
    default: break;
  }
  if (byte >= tok::kNotEqual && byte <= tok::kBitOr) return I::kClassOperator;
  if (byte >= tok::kFirstFunction && byte <= 255) return I::kClassFunction;
  return I::kClassNone;
}

bool IsAssignment(u8 op) { return op == tok::kAssign || (op >= tok::kAddAssign && op <= tok::kModAssign); }

}  // namespace

const SScriptKeyword SScriptInterpreter::kKeywords[kKeywordCount] = {
    {1, "if", 2, tok::kIf},         {1, "else", 4, tok::kElse},
    {1, "return", 6, tok::kReturn}, {2, "!=", 2, tok::kNotEqual},
    {2, "&&", 2, tok::kAnd},        {2, "++", 2, tok::kIncrement},
    {2, "--", 2, tok::kDecrement},  {2, "<=", 2, tok::kLessOrEqual},
    {2, "==", 2, tok::kEqual},      {2, ">=", 2, tok::kGreaterOrEqual},
    {2, "||", 2, tok::kOr},         {2, "!", 1, tok::kNot},
    {2, "=", 1, tok::kAssign},      {2, "+=", 2, tok::kAddAssign},
    {2, "-=", 2, tok::kSubAssign},  {2, "*=", 2, tok::kMulAssign},
    {2, "/=", 2, tok::kDivAssign},  {2, "%=", 2, tok::kModAssign},
    {2, "+", 1, tok::kAdd},         {2, "-", 1, tok::kSub},
    {2, "*", 1, tok::kMul},         {2, "/", 1, tok::kDiv},
    {2, "%", 1, tok::kMod},         {2, "&", 1, tok::kBitAnd},
    {2, "|", 1, tok::kBitOr},       {2, "<", 1, tok::kLess},
    {2, ">", 1, tok::kGreater},
};

// ---- the value stack

bool SScriptValueStack::Push(SScriptVariable* variable, const SScriptValue& value) {
  if (count_ == capacity_) {
    const u32 capacity = capacity_ ? capacity_ * 2 : 8;
    auto* block = new (std::nothrow) SScriptStackEntry[capacity];
    if (!block) return false;
    for (u32 i = 0; i < count_; ++i) block[i] = entries_[i];
    delete[] entries_;
    entries_ = block;
    capacity_ = capacity;
  }
  entries_[count_].variable = variable;
  entries_[count_].value = value;
  ++count_;
  return true;
}

void SScriptValueStack::Clear() {
  delete[] entries_;
  entries_ = nullptr;
  count_ = capacity_ = 0;
}

// ---- scopes of a run

// Counts the nesting of blocks and expressions; too deep a nesting ends the run.
class SScriptInterpreter::Nesting {
 public:
  explicit Nesting(SScriptInterpreter& interpreter) : i_(interpreter) { ++i_.nesting_; }
  ~Nesting() { --i_.nesting_; }
  bool TooDeep() const { return i_.nesting_ > kMaxNesting; }

 private:
  SScriptInterpreter& i_;
};

// A statement: its values start at the current depth, and nothing it pops goes below.
class SScriptInterpreter::StatementScope {
 public:
  explicit StatementScope(SScriptInterpreter& interpreter)
      : i_(interpreter), base_(interpreter.statementBase_), floor_(interpreter.floor_) {
    i_.statementBase_ = i_.floor_ = i_.stack_.Count();
  }
  ~StatementScope() {
    i_.statementBase_ = base_;
    i_.floor_ = floor_;
  }

 private:
  SScriptInterpreter& i_;
  u32 base_, floor_;
};

// A parenthesis or a call's arguments: their values start at the current depth.
class SScriptInterpreter::FloorScope {
 public:
  explicit FloorScope(SScriptInterpreter& interpreter) : i_(interpreter), floor_(interpreter.floor_) {
    i_.floor_ = i_.stack_.Count();
  }
  ~FloorScope() { i_.floor_ = floor_; }

 private:
  SScriptInterpreter& i_;
  u32 floor_;
};

// ---- set-up

SScriptInterpreter::SScriptInterpreter() = default;

void SScriptInterpreter::Init(SGameCore* owner) {
  owner_ = owner;
  for (u32 b = 0; b < 256; ++b) classes_[b] = ClassOf(b);
  lastErrorText_.Assign(ErrorText(kNoError));
}

bool SScriptInterpreter::AddFunction(const char* name, u32 id, u32 argumentCount, const char* help, u32 flags) {
  SScriptFunction f;
  f.name = name;
  f.id = id;
  f.argumentCount = argumentCount;
  f.help = help;
  f.flags = flags;
  return functions_.Add(f);
}

const SScriptFunction* SScriptInterpreter::Function(u32 id) const {
  if (id < tok::kFirstFunction || id > 254) return nullptr;
  const SScriptFunction* f = functions_.At(id - tok::kFirstFunction);
  return f && f->id == id ? f : nullptr;
}

const char* SScriptInterpreter::ErrorText(u32 code) {
  for (const ErrorRow& row : kErrors)
    if (row.code == code) return row.text;
  return "Unknown error";
}

// ---- loading and running

bool SScriptInterpreter::Refuse() {
  refused_ = true;
  strings_.Clear();
  return false;
}

bool SScriptInterpreter::LoadProgram(const u8* blob, u32 length, u32 recordOffset) {
  if (running_) return false;
  program_ = nullptr;
  length_ = 0;
  recordOffset_ = recordOffset & 3;
  refused_ = false;
  strings_.Clear();
  current_ = next_ = previous_ = 4;
  if (!blob || length == 0) return true;
  // The string table: a count at an offset past the header, then that many strings, each ending inside
  // the blob. The count is read byte by byte, as it may stand at an odd offset.
  if (length < 6) return Refuse();
  const u32 table = u32(blob[2]) | u32(blob[3]) << 8;
  if (table < 4 || table + 2 > length) return Refuse();
  const u32 count = u32(blob[table]) | u32(blob[table + 1]) << 8;
  if (count > length - table - 2 || !strings_.Reserve(count)) return Refuse();
  u32 at = table + 2;
  for (u32 n = 0; n < count; ++n) {
    const void* end = at < length ? std::memchr(blob + at, 0, length - at) : nullptr;
    if (!end || !strings_.Add(reinterpret_cast<const char*>(blob + at))) return Refuse();
    at = u32(static_cast<const u8*>(end) - blob) + 1;
  }
  program_ = blob;
  length_ = length;
  return true;
}

bool SScriptInterpreter::Run() {
  const u32 code = Execute();
  return code == kNoError || code == kReturn;
}

u32 SScriptInterpreter::Execute() {
  // One program and one set of positions: a run asked for from inside a run (a script function that
  // would start a script) is refused, and the running one goes on untouched.
  if (running_) return kErrorInMethod;
  running_ = true;
  current_ = 4;
  next_ = previous_ = 0;
  line_ = 0;
  parenDepth_ = 0;
  steps_ = 0;
  nesting_ = 0;
  statementBase_ = floor_ = 0;
  const u32 code = refused_ ? Record(kInvalidToken) : ExecuteBlock(kModeToEnd);
  // A failed statement leaves its values behind; the next run starts with none.
  stack_.Clear();
  running_ = false;
  if (code != kNoError && code != kReturn && owner_ && owner_->stateGame)
    owner_->stateGame->QueueMessage("Script error!", 1, nullptr);
  return code;
}

u32 SScriptInterpreter::Record(u32 code) {
  if (code != lastError_ || !lastErrorText_.CStr()) {
    lastError_ = code;
    lastErrorText_.Assign(ErrorText(code));
  }
  lastErrorLine_ = line_;
  return code;
}

// ---- the token reader

u32 SScriptInterpreter::Aligned(u32 position, u32 to) const {
  while ((recordOffset_ + position) % to) ++position;
  return position;
}

const char* SScriptInterpreter::GetString(i32 index) const {
  return index >= 0 && index < strings_.Count() ? strings_[index] : nullptr;
}

u32 SScriptInterpreter::NextToken() {
  token_ = Token{};
  if (!program_) return kEndOfTokens;
  u32 pos = current_;
  for (;;) {
    // Nothing in the language loops; a stream that keeps the reader busy this long is malformed.
    if (++steps_ > kStepBudget) return Record(kUnexpectedEnd);
    if (pos >= length_) return Record(kInvalidToken);  // no end byte inside the blob
    const u8 byte = program_[pos];
    if (byte == tok::kEnd) return kEndOfTokens;
    if (byte == tok::kFiller) {
      ++pos;
      continue;
    }
    if (byte == tok::kLine) {
      const u32 at = Aligned(pos + 1, 2);
      if (at + 4 > length_) return Record(kInvalidToken);
      line_ = i16(Read16(at + 2));
      pos = at + 4;
      continue;
    }
    if (byte == 255) return Record(kInvalidMethod);  // past the last function id
    const u8 tokenClass = classes_[byte];
    if (tokenClass == kClassNone) return Record(kInvalidToken);
    token_.token = byte;
    token_.tokenClass = tokenClass;
    token_.line = u8(line_);
    u32 end = pos + 1;
    switch (byte) {
      case tok::kInt8:
        if (end + 1 > length_) return Record(kInvalidToken);
        token_.number = i8(program_[end]);
        end += 1;
        break;
      case tok::kInt16:
        end = Aligned(end, 2);
        if (end + 2 > length_) return Record(kInvalidToken);
        token_.number = i16(Read16(end));
        end += 2;
        break;
      case tok::kInt32:
        end = Aligned(end, 4);
        if (end + 4 > length_) return Record(kInvalidToken);
        token_.number = i32(u32(Read16(end)) | u32(Read16(end + 2)) << 16);
        end += 4;
        break;
      case tok::kString:
      case tok::kVariable:
      case tok::kName:
        end = Aligned(end, 2);
        if (end + 2 > length_) return Record(kInvalidToken);
        token_.text = GetString(i16(Read16(end)));
        if (!token_.text) return Record(kInvalidToken);
        end += 2;
        break;
      default: break;
    }
    next_ = end;
    return 0;
  }
}

// ---- statements

u32 SScriptInterpreter::ExecuteBlock(u32 mode) {
  Nesting nesting(*this);
  if (nesting.TooDeep()) return Record(kUnenclosed);
  u32 r = NextToken();
  if (r == kEndOfTokens) return mode == kModeToEnd ? Done() : Record(kUnexpectedEnd);
  if (r) return r;
  if (mode == kModeNext) {
    if (token_.token == tok::kOpenBrace) {
      Advance();
      mode = kModeBlock;
    } else {
      mode = kModeSingle;
    }
  }
  for (;;) {
    r = NextToken();
    if (r == kEndOfTokens) break;  // the program ends a block without an error
    if (r) return r;
    if (token_.token == tok::kSemicolon) {
      Advance();
    } else if (token_.token == tok::kCloseBrace) {
      if (mode != kModeBlock) return Record(kUnexpectedBrace);
      Advance();
      break;
    } else if ((r = ExecuteStatement()) != 0) {
      return r;
    }
    if (mode == kModeSingle) break;
  }
  return Done();
}

u32 SScriptInterpreter::ExecuteStatement() {
  StatementScope scope(*this);
  const u32 base = stack_.Count();
  for (;;) {
    u32 r = NextToken();
    if (r == kEndOfTokens) return Record(kUnexpectedEnd);
    if (r) return r;
    switch (token_.tokenClass) {
      case kClassKeyword:
        r = ExecuteKeyword();
        stack_.Truncate(base);
        if (r) return r;
        if (NextToken() == 0 && token_.token == tok::kSemicolon) Advance();
        return Done();
      case kClassOperator: {
        const u8 op = token_.token;
        Advance();
        if ((r = EvaluateExpression(tok::kSemicolon, false)) != 0) return r;
        if ((r = ApplyOperator(op)) != 0) return r;
        break;
      }
      case kClassSemicolon:
        // The values a statement leaves (a call's result, a stray value) go with it.
        Advance();
        stack_.Truncate(base);
        return Done();
      case kClassLiteral: return Record(kLvalueRequired);  // a statement cannot begin with a value
      case kClassVariable:
        if ((r = PushVariable()) != 0) return r;
        break;
      case kClassFunction:
      case kClassName:
        if ((r = CallFunction()) != 0) return r;
        break;
      case kClassParenthesis: return Record(token_.token == tok::kCloseParen ? kUnexpectedClose : kInvalidToken);
      case kClassBrace: return Record(token_.token == tok::kCloseBrace ? kUnexpectedBrace : kInvalidToken);
      default: return Record(kInvalidToken);  // "," and "." start nothing
    }
  }
}

u32 SScriptInterpreter::ExecuteKeyword() {
  const u8 keyword = token_.token;
  Advance();
  i32 condition = 0;
  u32 r = NextToken();
  if (r == kEndOfTokens) return Record(kUnexpectedEnd);
  if (r) return r;
  if (token_.token == tok::kOpenParen) {
    Advance();
    const u32 base = stack_.Count();
    if ((r = EvaluateParenthesis()) != 0) return r;
    if (stack_.Count() <= base) return Record(kRvalueRequired);  // nothing inside the parentheses
    // A string is judged by the number its text reads as.
    condition = stack_.Top().value.Int();
    stack_.Truncate(stack_.Count() - 1);
  } else if (token_.token != tok::kSemicolon) {
    return Record(kParenthesisRequired);
  }
  switch (keyword) {
    case tok::kIf:
      if (condition) {
        if ((r = ExecuteBlock(kModeNext)) != 0) return r;
        if (NextToken() == 0 && token_.token == tok::kElse) {
          Advance();
          if ((r = SkipStatement()) != 0) return r;
        }
      } else {
        if ((r = SkipStatement()) != 0) return r;
        if (NextToken() == 0 && token_.token == tok::kElse) {
          Advance();
          if ((r = ExecuteBlock(kModeNext)) != 0) return r;
        }
      }
      return Done();
    case tok::kElse: return Record(kElseWithoutIf);
    case tok::kReturn: return Record(kReturn);  // ends the whole run, successfully
    default: return Record(kInvalidToken);
  }
}

u32 SScriptInterpreter::SkipBlock() {
  u32 depth = 0;
  for (;;) {
    const u32 r = NextToken();
    if (r == kEndOfTokens) return Record(kUnexpectedEnd);
    if (r) return r;
    if (token_.token == tok::kOpenBrace) ++depth;
    if (token_.token == tok::kCloseBrace) --depth;
    Advance();
    if (depth == 0) return Done();
  }
}

u32 SScriptInterpreter::SkipStatement() {
  // An "if" with "else" parts skips them too: the loop goes round once per "else".
  for (;;) {
    u32 r = NextToken();
    if (r == kEndOfTokens) return Record(kUnexpectedEnd);
    if (r) return r;
    if (token_.token == tok::kOpenBrace) return SkipBlock();
    if (token_.token != tok::kIf) {
      for (;;) {
        if (token_.token == tok::kCloseBrace) return Record(kUnexpectedBrace);
        Advance();
        if (token_.token == tok::kSemicolon) return Done();
        r = NextToken();
        if (r == kEndOfTokens) return Record(kUnexpectedEnd);
        if (r) return r;
      }
    }
    // An "if": its tokens up to the first ";", or up to a block, which is skipped whole.
    for (;;) {
      if (token_.token == tok::kOpenBrace) {
        if ((r = SkipBlock()) != 0) return r;
        break;
      }
      Advance();
      if (token_.token == tok::kSemicolon) break;
      r = NextToken();
      if (r == kEndOfTokens) return Record(kUnexpectedEnd);
      if (r) return r;
    }
    if (NextToken() != 0 || token_.token != tok::kElse) return Done();
    Advance();
  }
}

// ---- expressions

u32 SScriptInterpreter::PushVariable() {
  if (!token_.text || !*token_.text) return Record(kInvalidToken);
  SScriptVariable* variable = GetVariable(token_.text);
  if (!variable || !stack_.Push(variable, variable->value)) return Record(kInvalidToken);  // out of memory
  Advance();
  return 0;
}

u32 SScriptInterpreter::EvaluateParenthesis() {
  if (++parenDepth_ > kMaxParentheses) return Record(kUnenclosed);
  FloorScope floor(*this);
  return EvaluateExpression(tok::kCloseParen, true);
}

u32 SScriptInterpreter::EvaluateExpression(u8 end, bool closing) {
  Nesting nesting(*this);
  if (nesting.TooDeep()) return Record(kUnenclosed);
  bool afterLiteral = false;  // the previous item at this level was a literal
  for (;;) {
    u32 r = NextToken();
    if (r == kEndOfTokens) return Record(kUnexpectedEnd);
    if (r) return r;
    const bool literal = token_.tokenClass == kClassLiteral;
    switch (token_.tokenClass) {
      case kClassLiteral:
        if (afterLiteral && stack_.Count() > floor_ && token_.token == tok::kString) {
          stack_.Top().value.AppendText(token_.text);
        } else {
          SScriptValue value;
          if (token_.token == tok::kString)
            value.SetText(token_.text);
          else
            value.SetInt(token_.number);
          if (!stack_.Push(nullptr, value)) return Record(kInvalidToken);  // out of memory
        }
        Advance();
        break;
      case kClassVariable:
        if ((r = PushVariable()) != 0) return r;
        break;
      case kClassFunction:
      case kClassName: {
        const u32 before = stack_.Count();
        if ((r = CallFunction()) != 0) return r;
        if (stack_.Count() == before) return kRvalueRequired;  // a call used as a value gave none
        break;
      }
      case kClassComma:
        // Arguments stay side by side on the stack; a comma also ends a run of literals, so that
        // f("a", "b") passes two of them.
        Advance();
        break;
      case kClassParenthesis:
        if (token_.token == tok::kOpenParen) {
          Advance();
          if ((r = EvaluateParenthesis()) != 0) return r;
          break;
        }
        if (end != tok::kCloseParen) return Record(kUnexpectedClose);
        if (!closing) return Done();
        Advance();
        if (--parenDepth_ < 0) return Record(kUnexpectedClose);
        return Done();
      case kClassSemicolon:
        if (end == tok::kSemicolon) return Done();
        return Record(kUnexpectedSemicolon);
      case kClassOperator: {
        const u8 op = token_.token;
        Advance();
        if (op != tok::kIncrement && op != tok::kDecrement) {
          // The right side: the rest of the expression up to the end token.
          r = NextToken();
          if (r == kEndOfTokens) return Done();
          if (r) return r;
          if (token_.token == tok::kOpenParen) {
            Advance();
            if ((r = EvaluateParenthesis()) != 0) return r;
          } else if (stack_.Count() >= statementBase_ + 3 && end == tok::kSemicolon &&
                     (op == tok::kAdd || op == tok::kSub)) {
            // With an assignment target and a left operand waiting, the operator before this one is
            // applied first: leave this one unread.
            StepBack();
            return Done();
          } else if ((r = EvaluateExpression(parenDepth_ > 0 ? tok::kCloseParen : tok::kSemicolon, false)) != 0) {
            return r;
          }
        }
        r = NextToken();
        if (r == kEndOfTokens) return Done();
        if (r) return r;
        if ((r = ApplyOperator(op)) != 0) return r;
        break;
      }
      default: return kRvalueRequired;  // a keyword, a brace or a "." where a value belongs
    }
    afterLiteral = literal;
  }
}

u32 SScriptInterpreter::ApplyOperator(u8 op) {
  const bool unary = op == tok::kIncrement || op == tok::kDecrement || op == tok::kNot;
  const u32 operands = unary ? 1 : 2;
  // Only values of the current statement, parenthesis or call are operands.
  if (stack_.Count() < floor_ + operands) return kRvalueRequired;
  const u32 at = stack_.Count() - operands;
  SScriptStackEntry& left = stack_.At(at);
  const SScriptValue& right = stack_.Top().value;
  if (op == tok::kIncrement || op == tok::kDecrement) {
    if (!left.variable) return kLvalueRequired;
    if (op == tok::kIncrement)
      left.variable->value.Increment();
    else
      left.variable->value.Decrement();
    stack_.Truncate(at);
    return 0;
  }
  if (IsAssignment(op)) {
    if (!left.variable) return kLvalueRequired;
    // The variable gets its value as read combined with the right one: "+=" is "+" and so on.
    if (op != tok::kAssign && !Combine(left.value, u8(op - (tok::kAddAssign - tok::kAdd)), right)) return kInvalidToken;
    left.variable->value = op == tok::kAssign ? right : left.value;
    stack_.Truncate(at);
    return 0;
  }
  // Every other operator leaves its result where the left operand was; an unknown one leaves 0.
  const bool known = Combine(left.value, op, right);
  if (!known) left.value.SetInt(0);
  left.variable = nullptr;
  stack_.Truncate(at + 1);
  return known ? 0u : u32(kInvalidToken);
}

bool SScriptInterpreter::Combine(SScriptValue& value, u8 op, const SScriptValue& right) {
  switch (op) {
    case tok::kEqual: value.SetInt(value.Equal(right)); break;
    case tok::kNotEqual: value.SetInt(value.NotEqual(right)); break;
    case tok::kLess: value.SetInt(value.Less(right)); break;
    case tok::kLessOrEqual: value.SetInt(value.LessOrEqual(right)); break;
    case tok::kGreater: value.SetInt(value.Greater(right)); break;
    case tok::kGreaterOrEqual: value.SetInt(value.GreaterOrEqual(right)); break;
    case tok::kAnd: value.SetInt(value.LogicalAnd(right)); break;
    case tok::kOr: value.SetInt(value.LogicalOr(right)); break;
    case tok::kNot: value.LogicalNot(); break;
    case tok::kAdd: value.AddAssign(right); break;
    case tok::kSub: value.SubAssign(right); break;
    case tok::kMul: value.MulAssign(right); break;
    case tok::kDiv: value.DivAssign(right); break;
    case tok::kMod: value.ModAssign(right); break;
    case tok::kBitAnd: value.AndAssign(right); break;
    case tok::kBitOr: value.OrAssign(right); break;
    default: return false;
  }
  return true;
}

u32 SScriptInterpreter::CallFunction() {
  const char* target = "(this)";
  u32 r = 0;
  if (token_.token == tok::kName) {
    const char* name = token_.text;
    Advance();
    r = NextToken();
    if (r == 0 && token_.token == tok::kDot) {
      Advance();
      target = name;
    } else {
      if (r != 0 && r != kEndOfTokens) return r;
      // A name without a call after it is a string constant.
      SScriptValue constant;
      constant.SetText(name);
      if (!stack_.Push(nullptr, constant)) return Record(kInvalidToken);  // out of memory
      return Done();
    }
  }
  r = NextToken();
  if (r != 0 && r != kEndOfTokens) return r;
  if (r == kEndOfTokens || token_.tokenClass != kClassFunction) return Record(kMethodRequired);
  const u32 id = token_.token;
  Advance();
  r = NextToken();
  if (r != 0 && r != kEndOfTokens) return r;
  if (r == kEndOfTokens || token_.token != tok::kOpenParen) return Record(kParenthesisRequired);
  Advance();
  const u32 base = stack_.Count();
  if (NextToken() == 0 && token_.token == tok::kCloseParen) {
    Advance();
  } else if ((r = EvaluateParenthesis()) != 0) {
    return r;
  }
  // The first three values are the arguments; more are dropped, missing ones are empty strings.
  SScriptValue arguments[3];
  for (u32 i = 0; i < 3; ++i) {
    if (base + i < stack_.Count())
      arguments[i] = stack_.At(base + i).value;
    else
      arguments[i].SetText("");
  }
  stack_.Truncate(base);
  if (!context_) return Record(kNotAnObject);
  SScriptValue* result = nullptr;
  r = context_->CallFunction(target, id, arguments[0], arguments[1], arguments[2], result);
  if (r) {
    delete result;
    return r;
  }
  if (result) {
    const bool pushed = stack_.Push(nullptr, *result);
    delete result;
    if (!pushed) return Record(kInvalidToken);  // out of memory
  }
  return Done();
}

SScriptVariable* SScriptInterpreter::GetVariable(const char* name) {
  if (!name) return nullptr;
  if (SScriptVariable* found = variables_.FindByName(name)) return found;
  auto* variable = new (std::nothrow) SScriptVariable;
  if (!variable) return nullptr;
  variable->name.SetOwns();
  variable->name.Set(name);
  variable->value.SetText("");
  if (!variable->name.Text() || !variables_.Add(variable)) {
    delete variable;
    return nullptr;
  }
  return variable;
}
