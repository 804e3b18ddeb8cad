#include "ScriptCompiler.h"

#include "script/SScriptCatalogue.h"
#include "script/SScriptTokens.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>

namespace scriptc {
namespace {

// Thrown at the first error; caught where a compile starts.
struct Failure {
  u32 line, column;
  std::string text;
};

// --- reading the text ----------------------------------------------------------------------------------

struct Lexeme {
  enum Kind { kEnd, kIdent, kInt, kString, kPunct } kind = kEnd;
  std::string text;  // identifier, punctuation, or the string's stored bytes
  u64 value = 0;     // an integer's digits
  bool hex = false;
  u32 line = 1, column = 1;
};

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return s;
}

bool IsIdentStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }

std::vector<Lexeme> Lex(std::string_view src) {
  std::vector<Lexeme> out;
  size_t i = 0;
  u32 line = 1, column = 1;
  auto advance = [&](size_t n) {
    for (size_t k = 0; k < n && i < src.size(); ++k, ++i) {
      if (src[i] == '\n') {
        ++line;
        column = 1;
      } else {
        ++column;
      }
    }
  };
  auto fail = [&](const std::string& text) -> Failure { return Failure{line, column, text}; };
  static const char* const kLong[] = {"==", "!=", "<=", ">=", "&&", "||", "++", "--",
                                      "+=", "-=", "*=", "/=", "%=", "&=", "|="};
  while (i < src.size()) {
    const char c = src[i];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      advance(1);
      continue;
    }
    if (src.substr(i, 2) == "//") {
      while (i < src.size() && src[i] != '\n') advance(1);
      continue;
    }
    if (src.substr(i, 2) == "/*") {
      Failure open = fail("unterminated comment");
      advance(2);
      while (i < src.size() && src.substr(i, 2) != "*/") advance(1);
      if (i >= src.size()) throw open;
      advance(2);
      continue;
    }
    Lexeme l;
    l.line = line;
    l.column = column;
    if (IsIdentStart(c)) {
      size_t n = 1;
      while (i + n < src.size() && IsIdentChar(src[i + n])) ++n;
      l.kind = Lexeme::kIdent;
      l.text = std::string(src.substr(i, n));
      advance(n);
    } else if (c >= '0' && c <= '9') {
      l.kind = Lexeme::kInt;
      size_t n = 0;
      if (src.substr(i, 2) == "0x" || src.substr(i, 2) == "0X") {
        l.hex = true;
        n = 2;
        auto digit = [](char d) -> int {
          if (d >= '0' && d <= '9') return d - '0';
          if (d >= 'a' && d <= 'f') return d - 'a' + 10;
          if (d >= 'A' && d <= 'F') return d - 'A' + 10;
          return -1;
        };
        while (i + n < src.size() && digit(src[i + n]) >= 0) {
          l.value = l.value * 16 + u64(digit(src[i + n]));
          if (l.value > 0xFFFFFFFFull) throw fail("the number does not fit 32 bits");
          ++n;
        }
        if (n == 2) throw fail("0x without hexadecimal digits");
      } else {
        while (i + n < src.size() && src[i + n] >= '0' && src[i + n] <= '9') {
          l.value = l.value * 10 + u64(src[i + n] - '0');
          if (l.value > 0x80000000ull) throw fail("the number does not fit 32 bits");
          ++n;
        }
      }
      if (i + n < src.size() && IsIdentChar(src[i + n])) throw fail("a number runs into a name");
      advance(n);
    } else if (c == '"') {
      l.kind = Lexeme::kString;
      advance(1);
      for (;;) {
        if (i >= src.size() || src[i] == '\n') throw Failure{l.line, l.column, "unterminated string"};
        const char s = src[i];
        if (s == '"') {
          advance(1);
          break;
        }
        if (s == '\0') throw fail("a string cannot hold character 0");
        if (s != '\\') {
          l.text += s;
          advance(1);
          continue;
        }
        const char e = i + 1 < src.size() ? src[i + 1] : '\0';
        if (e == '"' || e == '\\') {
          l.text += e;
        } else if (e == 'r') {
          l.text += '\r';
        } else if (e == 'g') {
          l.text += "\\g";  // kept: the game turns it into the coin glyph
        } else if (e == 'n') {
          throw fail("\\n is not a line break here: write \\r");
        } else {
          throw fail(std::string("unknown escape \\") + e);
        }
        advance(2);
      }
    } else {
      l.kind = Lexeme::kPunct;
      for (const char* op : kLong)
        if (src.substr(i, 2) == op) l.text = op;
      if (l.text.empty()) {
        if (std::string_view("+-*/%<>!=&|(){};,.@?:").find(c) == std::string_view::npos)
          throw fail(std::string("unexpected character '") + c + "'");
        l.text = std::string(1, c);
      }
      advance(l.text.size());
    }
    out.push_back(std::move(l));
  }
  Lexeme end;
  end.line = line;
  end.column = column;
  out.push_back(end);
  return out;
}

// --- expressions -----------------------------------------------------------------------------------------

struct Expr {
  enum Kind { kInt, kString, kVar, kCall, kBinary, kNot } kind = kInt;
  i64 value = 0;
  bool hex = false;
  std::string text;  // a string's bytes or a variable's name
  u8 op = 0;         // a binary operator's token
  std::unique_ptr<Expr> left, right;
  // A call.
  const SScriptCatalogueRow* function = nullptr;
  enum Target { kThis, kPlayer, kNamed } target = kThis;
  std::string targetName;
  std::vector<std::unique_ptr<Expr>> args;
  u32 line = 0, column = 0;

  bool IsAtom() const { return kind == kInt || kind == kString || kind == kVar || kind == kCall; }
  bool IsLiteral() const { return kind == kInt || kind == kString; }
};
using ExprPtr = std::unique_ptr<Expr>;

struct BinaryLevel {
  std::vector<std::pair<const char*, u8>> ops;
};
// C precedence, loosest first.
const BinaryLevel kLevels[] = {
    {{{"||", tok::kOr}}},
    {{{"&&", tok::kAnd}}},
    {{{"|", tok::kBitOr}}},
    {{{"&", tok::kBitAnd}}},
    {{{"==", tok::kEqual}, {"!=", tok::kNotEqual}}},
    {{{"<", tok::kLess}, {"<=", tok::kLessOrEqual}, {">", tok::kGreater}, {">=", tok::kGreaterOrEqual}}},
    {{{"+", tok::kAdd}, {"-", tok::kSub}}},
    {{{"*", tok::kMul}, {"/", tok::kDiv}, {"%", tok::kMod}}},
};
constexpr u32 kLevelCount = sizeof kLevels / sizeof kLevels[0];

const std::map<std::string, u8> kAssignments = {{"=", tok::kAssign},     {"+=", tok::kAddAssign},
                                                {"-=", tok::kSubAssign}, {"*=", tok::kMulAssign},
                                                {"/=", tok::kDivAssign}, {"%=", tok::kModAssign}};

// --- what the stored stream costs the game's interpreter -------------------------------------------------

// The interpreter ends a run with error 22 when parentheses nest more than 64 deep, or blocks and
// expressions (each operator's right side that is not in parentheses, each call's arguments) more than 256
// deep. This walks a stored stream as the interpreter does, taking both branches of every "if", and finds
// the first token at which one of the two limits is passed.
class NestingCheck {
 public:
  static constexpr u32 kMaxNesting = 256;
  static constexpr i32 kMaxParentheses = 64;

  explicit NestingCheck(const std::vector<Token>& tokens) : tokens_(tokens) {}

  // False when a limit is passed: `at` is the token's index, `what` the limit.
  bool Run(size_t& at, std::string& what) {
    Block(kToEnd);
    at = failAt_;
    what = what_;
    return what_.empty();
  }

 private:
  enum Mode { kNext, kBraced, kSingle, kToEnd };

  // The token at the position (line markers and fillers are not tokens); 0 at the end.
  u8 Peek() {
    while (pos_ < tokens_.size() && (tokens_[pos_].byte == tok::kLine || tokens_[pos_].byte == tok::kFiller)) ++pos_;
    return pos_ < tokens_.size() ? tokens_[pos_].byte : tok::kEnd;
  }
  void Advance() { ++pos_; }
  bool Failed() const { return !what_.empty(); }
  // At the token at `index` (clamped to the last).
  void Fail(const char* what, size_t index) {
    if (Failed()) return;
    what_ = what;
    failAt_ = index < tokens_.size() ? index : tokens_.size() - 1;
  }
  static bool IsOperator(u8 t) { return t >= tok::kNotEqual && t <= tok::kBitOr; }
  static bool IsKeyword(u8 t) { return t == tok::kIf || t == tok::kElse || t == tok::kReturn; }
  static bool IsValue(u8 t) { return t == tok::kVariable || (t >= tok::kInt8 && t <= tok::kString); }
  static bool IsCall(u8 t) { return t == tok::kName || t >= tok::kFirstFunction; }

  struct Level {
    explicit Level(NestingCheck& c) : c_(c) {
      if (++c_.nesting_ > kMaxNesting) c_.Fail("blocks and expressions", c_.pos_);
    }
    ~Level() { --c_.nesting_; }
    NestingCheck& c_;
  };

  void Block(Mode mode) {
    Level level(*this);
    if (Failed() || Peek() == tok::kEnd) return;
    if (mode == kNext) {
      mode = Peek() == tok::kOpenBrace ? kBraced : kSingle;
      if (mode == kBraced) Advance();
    }
    while (!Failed()) {
      const u8 t = Peek();
      if (t == tok::kEnd) break;
      if (t == tok::kSemicolon) {
        Advance();
      } else if (t == tok::kCloseBrace) {
        Advance();
        break;
      } else {
        Statement();
      }
      if (mode == kSingle) break;
    }
  }

  void Statement() {
    while (!Failed()) {
      const u8 t = Peek();
      if (IsKeyword(t)) {
        Keyword();
        if (!Failed() && Peek() == tok::kSemicolon) Advance();
        return;
      }
      if (t == tok::kSemicolon) {
        Advance();
        return;
      }
      if (IsOperator(t)) {
        Advance();
        Expression(tok::kSemicolon, false);
      } else if (t == tok::kVariable) {
        Advance();
      } else if (IsCall(t)) {
        Call();
      } else {
        return;  // nothing the compiler writes
      }
    }
  }

  void Keyword() {
    const u8 keyword = Peek();
    Advance();
    if (Peek() == tok::kOpenParen) {
      Advance();
      Parenthesis();
    }
    if (keyword != tok::kIf || Failed()) return;
    // Either branch may run.
    Block(kNext);
    if (!Failed() && Peek() == tok::kElse) {
      Advance();
      Block(kNext);
    }
  }

  // After its "(".
  void Parenthesis() {
    if (++parentheses_ > kMaxParentheses) return Fail("parentheses", pos_ - 1);
    Expression(tok::kCloseParen, true);
  }

  void Expression(u8 end, bool closing) {
    Level level(*this);
    while (!Failed()) {
      const u8 t = Peek();
      if (IsValue(t) || t == tok::kComma) {
        Advance();
      } else if (IsCall(t)) {
        Call();
      } else if (t == tok::kOpenParen) {
        Advance();
        Parenthesis();
      } else if (t == tok::kCloseParen) {
        if (end != tok::kCloseParen || !closing) return;
        Advance();
        --parentheses_;
        return;
      } else if (IsOperator(t)) {
        Advance();
        if (t == tok::kIncrement || t == tok::kDecrement) continue;
        const u8 right = Peek();
        if (right == tok::kEnd) return;
        if (right == tok::kOpenParen) {
          Advance();
          Parenthesis();
        } else {
          Expression(parentheses_ > 0 ? tok::kCloseParen : tok::kSemicolon, false);
        }
      } else {
        return;  // ";", the end, or nothing the compiler writes there
      }
    }
  }

  void Call() {
    if (Peek() == tok::kName) {
      Advance();
      if (Peek() != tok::kDot) return;  // a string constant
      Advance();
    }
    if (Peek() < tok::kFirstFunction) return;
    Advance();
    if (Peek() != tok::kOpenParen) return;
    Advance();
    if (Peek() == tok::kCloseParen)
      Advance();
    else
      Parenthesis();
  }

  const std::vector<Token>& tokens_;
  size_t pos_ = 0;
  u32 nesting_ = 0;
  i32 parentheses_ = 0;
  std::string what_;
  size_t failAt_ = 0;
};

class Compiler {
 public:
  Compiler(std::string_view source, const Options& options, Result& result)
      : lex_(Lex(source)), options_(options), result_(result) {}

  void File() {
    std::set<std::string> names;
    while (Peek().kind != Lexeme::kEnd) {
      const Lexeme& kw = Peek();
      if (kw.kind != Lexeme::kIdent || kw.text != "script") Fail(kw, "expected \"script NAME { ... }\"");
      Next();
      const Lexeme& name = Peek();
      if (name.kind != Lexeme::kIdent) Fail(name, "expected the script's name after \"script\"");
      if (!names.insert(name.text).second) Fail(name, "a second script named " + name.text);
      Next();
      Begin(name.text, name);
      Expect("{", "expected { after the script's name");
      while (!IsPunct("}")) {
        if (Peek().kind == Lexeme::kEnd) Fail(Peek(), "the script " + name.text + " has no closing }");
        Statement();
      }
      Next();
      End();
    }
  }

  void Statements() {
    Begin("", Peek());
    while (Peek().kind != Lexeme::kEnd) {
      if (IsPunct("}")) Fail(Peek(), "a } without its {");
      Statement();
    }
    End();
  }

 private:
  // --- reading
  const Lexeme& Peek(u32 ahead = 0) const {
    size_t at = pos_ + ahead;
    return lex_[at < lex_.size() ? at : lex_.size() - 1];
  }
  const Lexeme& Next() {
    const Lexeme& l = Peek();
    if (pos_ + 1 < lex_.size()) ++pos_;
    return l;
  }
  bool IsPunct(const char* p, u32 ahead = 0) const {
    return Peek(ahead).kind == Lexeme::kPunct && Peek(ahead).text == p;
  }
  bool IsWord(const char* w, u32 ahead = 0) const {
    return Peek(ahead).kind == Lexeme::kIdent && Peek(ahead).text == w;
  }
  [[noreturn]] void Fail(const Lexeme& at, const std::string& text) { throw Failure{at.line, at.column, text}; }
  [[noreturn]] void Fail(const Expr& at, const std::string& text) { throw Failure{at.line, at.column, text}; }
  void Expect(const char* p, const std::string& message) {
    if (!IsPunct(p)) Fail(Peek(), message);
    Next();
  }
  void Warn(u32 line, u32 column, const std::string& text) {
    result_.diagnostics.push_back(Diagnostic{false, line, column, text});
  }

  // --- the program being written
  void Begin(const std::string& name, const Lexeme& at) {
    program_ = Program();
    places_.clear();
    program_.name = name;
    program_.line = at.line;
    program_.column = at.column;
    assigned_.clear();
    warnedUnassigned_.clear();
    stringIndex_.clear();
  }
  void End() {
    const size_t size = std::max(Serialize(program_, 0).size(), Serialize(program_, 2).size());
    if (size == 0) throw Failure{program_.line, program_.column, "the script takes more than 65,535 bytes; split it"};
    // No script compiles that the game would stop at run time for nesting too deeply.
    size_t at = 0;
    std::string what;
    if (!NestingCheck(program_.tokens).Run(at, what)) {
      const std::pair<u32, u32> place = at < places_.size() ? places_[at] : std::pair<u32, u32>{0, 0};
      throw Failure{place.first, place.second,
                    what == "parentheses"
                        ? "nested too deeply for the game: more than 64 parentheses inside each other as stored "
                          "(every operand that is not a single value is parenthesised); split the expression"
                        : "nested too deeply for the game: more than 256 blocks and expressions inside each other "
                          "(each else-if, and each operator of a long && or || chain, is one more); split it"};
    }
    result_.programs.push_back(std::move(program_));
  }
  void Emit(u8 byte, i32 operand = 0) {
    program_.tokens.push_back(Token{byte, operand});
    places_.push_back(at_);
  }
  // The place in the text that the tokens emitted next stand for.
  void At(u32 line, u32 column) { at_ = {line, column}; }
  void At(const Lexeme& l) { At(l.line, l.column); }
  void At(const Expr& e) { At(e.line, e.column); }
  // Strings are stored once per script, whatever uses them.
  i32 Intern(const std::string& text, u32 line, u32 column) {
    auto it = stringIndex_.find(text);
    if (it != stringIndex_.end()) return it->second;
    if (program_.strings.size() >= kMaxStrings)
      throw Failure{line, column, "more than 32,767 different strings in one script"};
    program_.strings.push_back(text);
    return stringIndex_[text] = i32(program_.strings.size() - 1);
  }
  void EmitInt(i32 n) {
    if (n >= -128 && n <= 127)
      Emit(tok::kInt8, n);
    else if (n >= -32768 && n <= 32767)
      Emit(tok::kInt16, n);
    else
      Emit(tok::kInt32, n);
  }

  // --- statements
  void Statement() {
    const Lexeme& first = Peek();
    At(first);
    if (IsPunct(";")) {
      Next();
      Emit(tok::kSemicolon);
      return;
    }
    if (options_.lineMarkers) Emit(tok::kLine, i32(std::min<u32>(first.line, 32767)));
    if (first.kind == Lexeme::kIdent) {
      const std::string& w = first.text;
      if (w == "while" || w == "for" || w == "do" || w == "goto")
        Fail(first, "loops are not part of the language; a script runs once from top to bottom");
      if (w == "if") return If();
      if (w == "else") Fail(first, "else without if");
      if (w == "return") return Return();
    }
    if (IsPunct("{")) Fail(first, "a block stands only after if or else");
    if (IsPunct("(")) Fail(first, "a statement cannot begin with (");
    if (IsPunct("++") || IsPunct("--")) {
      const u8 op = Next().text == "++" ? tok::kIncrement : tok::kDecrement;
      if (Peek().kind != Lexeme::kIdent || IsPunct("(", 1) || IsPunct(".", 1))
        Fail(Peek(), "++ and -- take a variable");
      Emit(op);
      const Lexeme& var = Next();
      Read(var.text, var.line, var.column);
      Assigned(var.text);
      Emit(tok::kVariable, Intern(var.text, var.line, var.column));
      Emit(tok::kSemicolon);
      Expect(";", "expected ; after the statement");
      return;
    }
    if (IsCallStart()) {
      ExprPtr call = Call();
      EmitCall(*call);
      Emit(tok::kSemicolon);
      Expect(";", "expected ; after the call");
      return;
    }
    if (first.kind == Lexeme::kIdent) {
      const Lexeme& var = Next();
      const Lexeme& op = Peek();
      if (IsPunct("++") || IsPunct("--")) {
        Next();
        Read(var.text, var.line, var.column);
        Assigned(var.text);
        Emit(tok::kVariable, Intern(var.text, var.line, var.column));
        Emit(op.text == "++" ? tok::kIncrement : tok::kDecrement);
        Emit(tok::kSemicolon);
        Expect(";", "expected ; after the statement");
        return;
      }
      auto it = op.kind == Lexeme::kPunct ? kAssignments.find(op.text) : kAssignments.end();
      if (it == kAssignments.end()) {
        if (op.text == "&=" || op.text == "|=") Fail(op, op.text + " is not an operator of the language");
        Fail(op, "expected =, +=, -=, *=, /=, %=, ++ or -- after the variable " + var.text);
      }
      Next();
      if (it->second != tok::kAssign) Read(var.text, var.line, var.column);
      ExprPtr value = Expression();
      Assigned(var.text);
      Emit(tok::kVariable, Intern(var.text, var.line, var.column));
      Emit(it->second);
      EmitTop(*value);
      Emit(tok::kSemicolon);
      Expect(";", "expected ; after the assignment");
      return;
    }
    Fail(first, "expected a statement");
  }

  // "if" "(" expr ")" block [ "else" ( block | if ) ]; the stored form braces every body.
  void If() {
    Nesting nesting(*this, Peek());
    Next();
    Emit(tok::kIf);
    Expect("(", "expected ( after if");
    ExprPtr condition = Expression();
    Expect(")", "expected ) after the condition");
    Emit(tok::kOpenParen);
    EmitTop(*condition);
    Emit(tok::kCloseParen);
    Block("if");
    if (!IsWord("else")) return;
    Next();
    Emit(tok::kElse);
    if (IsWord("if")) {
      Emit(tok::kOpenBrace);
      Statement();
      Emit(tok::kCloseBrace);
      return;
    }
    Block("else");
  }

  void Block(const char* after) {
    Nesting nesting(*this, Peek());
    if (!IsPunct("{")) Fail(Peek(), std::string("expected { after ") + after + ": bodies are always braced");
    Next();
    Emit(tok::kOpenBrace);
    while (!IsPunct("}")) {
      if (Peek().kind == Lexeme::kEnd) Fail(Peek(), "a { without its }");
      Statement();
    }
    Next();
    Emit(tok::kCloseBrace);
  }

  // "return" [ expr ] ";": a value is stored in parentheses, as the interpreter wants it.
  void Return() {
    Next();
    Emit(tok::kReturn);
    if (!IsPunct(";")) {
      ExprPtr value = Expression();
      Emit(tok::kOpenParen);
      EmitTop(*value);
      Emit(tok::kCloseParen);
    }
    Emit(tok::kSemicolon);
    Expect(";", "expected ; after return");
  }

  // --- expressions
  bool IsCallStart() const {
    if (IsPunct("@")) return true;
    if (Peek().kind != Lexeme::kIdent) return false;
    return IsPunct("(", 1) || IsPunct(".", 1);
  }

  ExprPtr Expression() {
    ExprPtr e = Binary(0);
    if (IsPunct("?")) Fail(Peek(), "the conditional operator ?: is not part of the language; use if");
    if (IsPunct("++") || IsPunct("--")) Fail(Peek(), "++ and -- are statements, not values");
    if (Peek().kind == Lexeme::kPunct &&
        (kAssignments.count(Peek().text) || Peek().text == "&=" || Peek().text == "|="))
      Fail(Peek(), "an assignment is a statement, not a value");
    return e;
  }

  ExprPtr Binary(u32 level) {
    if (level == kLevelCount) return Unary();
    ExprPtr left = Binary(level + 1);
    for (u32 chained = 0;; ++chained) {
      u8 op = 0;
      for (const auto& [text, token] : kLevels[level].ops)
        if (IsPunct(text)) op = token;
      if (!op) return left;
      // Each operator of a chain parenthesises the ones before it: past 65 the game refuses the nesting.
      if (chained >= kMaxChain)
        Fail(Peek(), "nested too deeply for the game: a chain of more than 65 " + Peek().text + " operators; split it");
      const Lexeme& at = Next();
      auto node = std::make_unique<Expr>();
      node->kind = Expr::kBinary;
      node->op = op;
      node->line = at.line;
      node->column = at.column;
      node->left = std::move(left);
      node->right = Binary(level + 1);
      left = std::move(node);
    }
  }

  // Bounds the recursion of the parser (and of everything that walks what it builds).
  struct Nesting {
    Nesting(Compiler& c, const Lexeme& at) : c_(c) {
      if (++c_.depth_ > kMaxNesting) c_.Fail(at, "nested too deeply");
    }
    ~Nesting() { --c_.depth_; }
    Compiler& c_;
  };
  static constexpr u32 kMaxNesting = 200;
  static constexpr u32 kMaxChain = 65;

  ExprPtr Unary() {
    const Lexeme& at = Peek();
    Nesting nesting(*this, at);
    if (IsPunct("!")) {
      Next();
      auto node = std::make_unique<Expr>();
      node->kind = Expr::kNot;
      node->line = at.line;
      node->column = at.column;
      node->left = Unary();
      return node;
    }
    if (IsPunct("-")) {
      Next();
      ExprPtr operand = Unary();
      if (operand->kind == Expr::kInt) {  // a negative literal folds
        operand->value = -operand->value;
        operand->line = at.line;
        operand->column = at.column;
        return operand;
      }
      // There is no negation token: -x is 0 - x.
      auto zero = std::make_unique<Expr>();
      zero->line = at.line;
      zero->column = at.column;
      auto node = std::make_unique<Expr>();
      node->kind = Expr::kBinary;
      node->op = tok::kSub;
      node->line = at.line;
      node->column = at.column;
      node->left = std::move(zero);
      node->right = std::move(operand);
      return node;
    }
    if (IsPunct("++") || IsPunct("--")) Fail(at, "++ and -- are statements, not values");
    return Primary();
  }

  ExprPtr Primary() {
    const Lexeme& at = Peek();
    auto node = std::make_unique<Expr>();
    node->line = at.line;
    node->column = at.column;
    switch (at.kind) {
      case Lexeme::kInt:
        node->kind = Expr::kInt;
        node->hex = at.hex;
        node->value = at.hex ? i64(i32(u32(at.value))) : i64(at.value);
        Next();
        return node;
      case Lexeme::kString:
        node->kind = Expr::kString;
        node->text = at.text;
        Next();
        return node;
      case Lexeme::kIdent:
        if (IsCallStart()) {
          ExprPtr call = Call();
          UsedAsValue(*call);
          return call;
        }
        if (at.text == "if" || at.text == "else" || at.text == "return" || at.text == "while" || at.text == "for")
          Fail(at, at.text + " cannot stand in an expression");
        node->kind = Expr::kVar;
        node->text = at.text;
        Read(at.text, at.line, at.column);
        Next();
        return node;
      case Lexeme::kPunct:
        if (at.text == "@") {
          ExprPtr call = Call();
          UsedAsValue(*call);
          return call;
        }
        if (at.text == "(") {
          Next();
          ExprPtr inner = Expression();
          Expect(")", "expected )");
          return inner;
        }
        [[fallthrough]];
      default:
        Fail(at, at.kind == Lexeme::kEnd ? "the expression ends too early" : "expected a value, found " + at.text);
    }
  }

  // [ target "." ] FUNC "(" [ expr { "," expr } ] ")"; target = "player" | "this" | IDENT | "@" STRING.
  ExprPtr Call() {
    auto node = std::make_unique<Expr>();
    node->kind = Expr::kCall;
    const Lexeme& start = Peek();
    node->line = start.line;
    node->column = start.column;
    if (IsPunct("@") || IsPunct(".", 1)) {
      const bool quoted = IsPunct("@");
      if (quoted) {
        Next();
        if (Peek().kind != Lexeme::kString) Fail(Peek(), "expected a string after @");
      }
      const std::string name = Next().text;
      if (name.empty()) Fail(start, "a target's name cannot be empty");
      // The game finds the player and the running script's own target by name ignoring case.
      node->target = Lower(name) == "player"              ? Expr::kPlayer
                     : (!quoted && Lower(name) == "this") ? Expr::kThis
                                                          : Expr::kNamed;
      if (node->target == Expr::kNamed) node->targetName = name;
      Expect(".", "expected . after the target");
    }
    const Lexeme& fn = Peek();
    if (fn.kind != Lexeme::kIdent) Fail(fn, "expected a function after the target");
    if (!IsPunct("(", 1)) Fail(fn, "expected ( after the function " + fn.text);
    node->function = FindScriptFunction(fn.text.c_str());
    if (!node->function) Fail(fn, "unknown function " + fn.text);
    node->line = fn.line;
    node->column = fn.column;
    Next();
    Next();
    if (!IsPunct(")")) {
      for (;;) {
        const Lexeme& argAt = Peek();
        node->args.push_back(Expression());
        if (node->args.size() > 3) Fail(argAt, "a call takes at most three arguments");
        if (IsPunct(")")) break;
        Expect(",", "expected , or ) after an argument");
      }
    }
    Next();
    const SScriptCatalogueRow& row = *node->function;
    if (node->args.size() != row.argumentCount)
      Warn(node->line, node->column,
           std::string(row.name) + " takes " + std::to_string(row.argumentCount) +
               (row.argumentCount == 1 ? " argument" : " arguments") + " (" + (*row.help ? row.help : "none") +
               "), here " + std::to_string(node->args.size()));
    if (node->target == Expr::kNamed)
      program_.names.push_back(NameUse{row.id, -1, node->targetName, start.line, start.column});
    for (size_t i = 0; i < node->args.size(); ++i)
      if (node->args[i]->kind == Expr::kString)
        program_.names.push_back(
            NameUse{row.id, i8(i), node->args[i]->text, node->args[i]->line, node->args[i]->column});
    return node;
  }

  // A call whose value is used: the function must give one, and should for the target it is called on.
  void UsedAsValue(const Expr& call) {
    using namespace ScriptTarget;
    const SScriptCatalogueRow& row = *call.function;
    if (!row.GivesValue()) Fail(call, std::string(row.name) + " gives no value");
    u8 asked = kGlobal;
    if (!(row.targets & kGlobal)) {
      const u8 possible = call.target == Expr::kPlayer ? kPlayer : u8(kObject | kMonster);
      asked = row.targets & possible ? u8(row.targets & possible) : possible;
    }
    if (asked & ~row.answers & 0x0F)
      Warn(call.line, call.column,
           std::string(row.name) + " gives a value only for " + TargetWords(row.answers) + "; here it may give none");
    else if ((row.answers & kAnswersInListOutput) && !options_.conversation && !options_.messageLine)
      Warn(call.line, call.column,
           std::string(row.name) +
               " gives a value only while the game's message line or a conversation takes the "
               "script's output");
  }

  static std::string TargetWords(u8 flags) {
    using namespace ScriptTarget;
    std::string out;
    const std::pair<u8, const char*> words[] = {
        {kObject, "map objects"}, {kMonster, "monsters"}, {kPlayer, "the player"}, {kGlobal, "everyone"}};
    for (const auto& [flag, word] : words) {
      if (!(flags & flag)) continue;
      if (!out.empty()) out += " and ";
      out += word;
    }
    return out;
  }

  // --- variables
  void Read(const std::string& name, u32 line, u32 column) {
    if (assigned_.count(name) || !warnedUnassigned_.insert(name).second) return;
    Warn(line, column,
         "the variable " + name +
             " is read before this script assigns it (variables are shared by all scripts; unset ones are \"\")");
  }
  void Assigned(const std::string& name) { assigned_.insert(name); }

  // --- lowering
  // Every operand of an operator and every argument that is not an atom goes in parentheses, since the
  // interpreter takes the rest of the expression as an operator's right side.
  void EmitOperand(const Expr& e) {
    if (e.IsAtom()) return EmitAtom(e);
    At(e);
    Emit(tok::kOpenParen);
    EmitTop(e);
    Emit(tok::kCloseParen);
  }
  void EmitTop(const Expr& e) {
    At(e);
    if (e.kind == Expr::kBinary) {
      EmitOperand(*e.left);
      Emit(e.op);
      EmitOperand(*e.right);
    } else if (e.kind == Expr::kNot) {
      Emit(tok::kNot);
      EmitOperand(*e.left);
    } else {
      EmitAtom(e);
    }
  }
  void EmitAtom(const Expr& e) {
    At(e);
    switch (e.kind) {
      case Expr::kInt:
        if (e.value < -2147483648LL || e.value > 2147483647LL) Fail(e, "the number does not fit 32 bits");
        EmitInt(i32(e.value));
        break;
      case Expr::kString: Emit(tok::kString, Intern(e.text, e.line, e.column)); break;
      case Expr::kVar: Emit(tok::kVariable, Intern(e.text, e.line, e.column)); break;
      case Expr::kCall: EmitCall(e); break;
      default: break;
    }
  }
  void EmitCall(const Expr& call) {
    At(call);
    if (call.target == Expr::kPlayer || call.target == Expr::kNamed) {
      Emit(tok::kName, Intern(call.target == Expr::kPlayer ? "player" : call.targetName, call.line, call.column));
      Emit(tok::kDot);
    }
    Emit(call.function->id);
    Emit(tok::kOpenParen);
    bool afterLiteral = false;
    for (size_t i = 0; i < call.args.size(); ++i) {
      if (i) Emit(tok::kComma);
      const Expr& a = *call.args[i];
      // A string literal right after a literal would merge into it: the comma does not separate them.
      if (!a.IsAtom() || (a.kind == Expr::kString && afterLiteral)) {
        At(a);
        Emit(tok::kOpenParen);
        EmitTop(a);
        Emit(tok::kCloseParen);
        afterLiteral = false;
      } else {
        EmitAtom(a);
        afterLiteral = a.IsLiteral();
      }
    }
    Emit(tok::kCloseParen);
  }

  std::vector<Lexeme> lex_;
  size_t pos_ = 0;
  Options options_;
  Result& result_;
  Program program_;
  std::set<std::string> assigned_, warnedUnassigned_;
  std::map<std::string, i32> stringIndex_;
  u32 depth_ = 0;
  std::vector<std::pair<u32, u32>> places_;  // the text's line and column of each token
  std::pair<u32, u32> at_{1, 1};
};

template <class F>
Result Run(std::string_view source, const Options& options, F&& body) {
  Result result;
  try {
    Compiler c(source, options, result);
    body(c);
  } catch (const Failure& f) {
    result.programs.clear();
    result.diagnostics.push_back(Diagnostic{true, f.line, f.column, f.text});
  }
  return result;
}

}  // namespace

bool Result::Ok() const {
  for (const Diagnostic& d : diagnostics)
    if (d.error) return false;
  return true;
}

Result CompileFile(std::string_view source, const Options& options) {
  return Run(source, options, [](Compiler& c) { c.File(); });
}

Result CompileStatements(std::string_view source, const Options& options) {
  return Run(source, options, [](Compiler& c) { c.Statements(); });
}

std::string Format(const std::string& where, const Diagnostic& d) {
  return where + ":" + std::to_string(d.line) + ":" + std::to_string(d.column) + ": " +
         (d.error ? "error: " : "warning: ") + d.text;
}

}  // namespace scriptc
