// Which ways through a compiled script an event takes, and whether they call default(): the stored form
// braces every body and parenthesises every operand that is not a single value, so its statements and
// conditions read back without the compiler's text.
#include "ScriptCompiler.h"
#include "script/SScriptCatalogue.h"
#include "script/SScriptTokens.h"

namespace scriptc {
namespace {

constexpr u8 kDefault = 229;

// A condition's value for the event: known when it rests on event tests alone.
enum class Tri : u8 { kFalse, kTrue, kEither };
Tri Not(Tri v) { return v == Tri::kEither ? v : v == Tri::kTrue ? Tri::kFalse : Tri::kTrue; }

// The ways through the script, as a set of four bits: still running or ended by "return", each with or
// without default() called on the way.
enum : u8 { kRunning = 1, kRunningCalled = 2, kEnded = 4, kEndedCalled = 8, kRunningAny = 3 };

class Paths {
 public:
  Paths(const std::vector<Token>& tokens, u16 event) : t_(tokens), event_(event) {}

  u8 Script() {
    u8 ways = kRunning;
    while (pos_ < t_.size()) ways = Statement(ways);
    return ways;
  }

 private:
  bool At(u8 byte) const { return pos_ < t_.size() && t_[pos_].byte == byte; }
  static u8 Called(u8 ways) { return u8((ways & ~kRunningAny) | ((ways & kRunningAny) ? kRunningCalled : 0)); }

  // Past the token at `open` ("(" or "{") and everything up to its partner; whether default() is called
  // inside.
  bool SkipEnclosed(u8 open, u8 close) {
    bool calls = false;
    u32 depth = 0;
    for (; pos_ < t_.size(); ++pos_) {
      const u8 b = t_[pos_].byte;
      calls = calls || b == kDefault;
      if (b == open) ++depth;
      if (b == close && --depth == 0) {
        ++pos_;
        break;
      }
    }
    return calls;
  }
  // Up to and past the ";" that ends a statement (parentheses skipped whole); whether it calls default().
  bool SkipStatement() {
    bool calls = false;
    while (pos_ < t_.size() && !At(tok::kSemicolon)) {
      if (At(tok::kOpenParen)) {
        calls = SkipEnclosed(tok::kOpenParen, tok::kCloseParen) || calls;
        continue;
      }
      calls = calls || t_[pos_].byte == kDefault;
      ++pos_;
    }
    if (At(tok::kSemicolon)) ++pos_;
    return calls;
  }

  u8 Statement(u8 ways) {
    const u8 ended = ways & ~kRunningAny;
    const u8 running = ways & kRunningAny;
    if (At(tok::kIf)) {
      ++pos_;
      const size_t from = pos_;
      const bool calls = SkipEnclosed(tok::kOpenParen, tok::kCloseParen);
      const size_t to = pos_;
      const Tri value = Condition(from + 1, to - 1);
      const u8 in = calls ? Called(running) : running;
      const u8 then = Block(value == Tri::kFalse ? 0 : in);
      u8 otherwise = value == Tri::kTrue ? 0 : in;
      if (At(tok::kElse)) {
        ++pos_;
        otherwise = Block(otherwise);
      }
      return u8(ended | then | otherwise);
    }
    if (At(tok::kReturn)) {
      ++pos_;
      const u8 in = SkipStatement() ? Called(running) : running;
      return u8(ended | ((in & kRunning) ? kEnded : 0) | ((in & kRunningCalled) ? kEndedCalled : 0));
    }
    if (At(tok::kLine) || At(tok::kFiller) || At(tok::kSemicolon) || At(tok::kOpenBrace) || At(tok::kCloseBrace)) {
      ++pos_;
      return ways;
    }
    return SkipStatement() ? Called(ways) : ways;
  }

  // "{" statements "}".
  u8 Block(u8 ways) {
    if (!At(tok::kOpenBrace)) return ways;
    ++pos_;
    while (pos_ < t_.size() && !At(tok::kCloseBrace)) ways = Statement(ways);
    if (At(tok::kCloseBrace)) ++pos_;
    return ways;
  }

  // The condition between the tokens `from` and `to` (its parentheses left out).
  Tri Condition(size_t from, size_t to) {
    const size_t keep = pos_;
    pos_ = from;
    end_ = to;
    const Tri value = Expression();
    pos_ = keep;
    return value;
  }
  Tri Expression() {
    Tri left = Operand();
    while (pos_ < end_ && !At(tok::kCloseParen)) {
      const u8 op = t_[pos_++].byte;
      const Tri right = Operand();
      if (op == tok::kAnd)
        left = left == Tri::kFalse || right == Tri::kFalse ? Tri::kFalse
               : left == Tri::kTrue && right == Tri::kTrue ? Tri::kTrue
                                                           : Tri::kEither;
      else if (op == tok::kOr)
        left = left == Tri::kTrue || right == Tri::kTrue     ? Tri::kTrue
               : left == Tri::kFalse && right == Tri::kFalse ? Tri::kFalse
                                                             : Tri::kEither;
      else
        left = Tri::kEither;
    }
    return left;
  }
  Tri Operand() {
    if (pos_ >= end_) return Tri::kEither;
    if (At(tok::kNot)) {
      ++pos_;
      return Not(Operand());
    }
    if (At(tok::kOpenParen)) {
      ++pos_;
      const Tri value = Expression();
      if (At(tok::kCloseParen)) ++pos_;
      return value;
    }
    if (At(tok::kName) && pos_ + 1 < end_ && t_[pos_ + 1].byte == tok::kDot) {
      // A call on a target: no event test.
      pos_ += 2;
      if (pos_ < end_) ++pos_;
      if (At(tok::kOpenParen)) SkipEnclosed(tok::kOpenParen, tok::kCloseParen);
      return Tri::kEither;
    }
    const u8 b = t_[pos_++].byte;
    if (b < tok::kFirstFunction) return Tri::kEither;
    if (At(tok::kOpenParen)) SkipEnclosed(tok::kOpenParen, tok::kCloseParen);
    const u32 tested = ScriptEventTested(b);
    if (!tested) return Tri::kEither;
    return tested == event_ ? Tri::kTrue : Tri::kFalse;
  }

  const std::vector<Token>& t_;
  u16 event_;
  size_t pos_ = 0;
  size_t end_ = 0;
};

}  // namespace

DefaultRun RunsDefault(const Program& program, u16 event) {
  const u8 ways = Paths(program.tokens, event).Script();
  const bool with = ways & (kRunningCalled | kEndedCalled), without = ways & (kRunning | kEnded);
  return with && without ? DefaultRun::kSometimes : without ? DefaultRun::kNever : DefaultRun::kAlways;
}

}  // namespace scriptc
