// Random expressions written as authors write them, compiled by the world builder's compiler and run by
// the interpreter, against a small evaluator that groups as C does and applies the value rules directly:
// the stored stream must mean what the text says, whatever the interpreter's right grouping, step back
// and literal merging would make of it unlowered.
#include "ScriptRig.h"
#include "script/SScriptTokens.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr u32 kGetGlobal = 100;     // the stand-in answers an integer
constexpr u32 kGetGlobalStr = 252;  // and a text

// The stand-in function: a value computed from all three arguments, so that each one counts.
SScriptValue* Answer(u32 id, const SScriptValue& a, const SScriptValue& b, const SScriptValue& c) {
  if (id == kGetGlobal) return SScriptValue::MakeInt(i32(u32(a.Int()) * 3u + u32(b.Int()) - u32(c.Int())));
  if (id == kGetGlobalStr)
    return SScriptValue::MakeString((std::string(a.Text()) + "|" + b.Text() + "|" + c.Text()).c_str());
  return nullptr;
}

struct Node {
  enum Kind { kInt, kString, kVariable, kCall, kBinary, kNot, kNegate } kind = kInt;
  i64 number = 0;
  std::string text;  // a string's stored bytes, a variable's name, or an operator
  u8 token = 0;      // an operator's or a function's
  u32 level = 0;     // an operator's C precedence, loosest 0
  std::vector<std::unique_ptr<Node>> children;
};

struct Operator {
  const char* text;
  u8 token;
  u32 level;
};
constexpr Operator kOperators[] = {
    {"||", tok::kOr, 0},     {"&&", tok::kAnd, 1},
    {"|", tok::kBitOr, 2},   {"&", tok::kBitAnd, 3},
    {"==", tok::kEqual, 4},  {"!=", tok::kNotEqual, 4},
    {"<", tok::kLess, 5},    {"<=", tok::kLessOrEqual, 5},
    {">", tok::kGreater, 5}, {">=", tok::kGreaterOrEqual, 5},
    {"+", tok::kAdd, 6},     {"-", tok::kSub, 6},
    {"*", tok::kMul, 7},     {"/", tok::kDiv, 7},
    {"%", tok::kMod, 7},
};
constexpr i64 kNumbers[] = {0, 1, -1, 2, 3, 7, 10, 127, 128, -129, 300, 32767, 32768, -32769, 100000, INT_MAX, INT_MIN};
// Stored texts: digits, digits then letters, letters in either case, a blank before digits, a sign, and
// the coin escape.
const char* const kTexts[] = {"", "7", "12abc", "abc", "ABC", " 42", "-3", "x\\gy", "0"};
const char* const kVariables[] = {"va", "vs", "vn"};  // 7, "5b", never assigned

class Generator {
 public:
  explicit Generator(u32 seed) : random_(seed) {}

  std::unique_ptr<Node> Expression(u32 depth) {
    auto n = std::make_unique<Node>();
    const u32 pick = Below(100);
    if (depth == 0 || pick < 25) {
      const u32 leaf = Below(10);
      if (leaf < 4) {
        n->kind = Node::kInt;
        n->number = Below(3) ? kNumbers[Below(std::size(kNumbers))] : i64(Below(41)) - 20;
      } else if (leaf < 7) {
        n->kind = Node::kString;
        n->text = kTexts[Below(std::size(kTexts))];
      } else if (leaf < 9 || depth == 0) {
        n->kind = Node::kVariable;
        n->text = kVariables[Below(std::size(kVariables))];
      } else {
        n->kind = Node::kCall;
        n->token = Below(2) ? kGetGlobal : kGetGlobalStr;
        for (u32 i = 0, count = 1 + Below(3); i < count; ++i) n->children.push_back(Expression(depth - 1));
      }
      return n;
    }
    if (pick < 85) {
      const Operator& op = kOperators[Below(std::size(kOperators))];
      n->kind = Node::kBinary;
      n->text = op.text;
      n->token = op.token;
      n->level = op.level;
      n->children.push_back(Expression(depth - 1));
      n->children.push_back(Expression(depth - 1));
      return n;
    }
    n->kind = pick < 93 ? Node::kNot : Node::kNegate;
    n->children.push_back(Expression(depth - 1));
    // The compiler folds a negated literal: the least integer negated has no literal.
    if (n->kind == Node::kNegate && n->children[0]->kind == Node::kInt && n->children[0]->number == INT_MIN)
      n->children[0]->number = 5;
    return n;
  }

 private:
  u32 Below(size_t n) { return u32(random_() % n); }
  std::mt19937 random_;
};

// The text, with the parentheses C needs and no others; `level` is how tightly the result binds.
std::string Source(const Node& n, u32& level) {
  constexpr u32 kUnary = 8, kAtom = 9;
  switch (n.kind) {
    case Node::kInt: level = kAtom; return std::to_string(n.number);
    case Node::kString: level = kAtom; return "\"" + n.text + "\"";
    case Node::kVariable: level = kAtom; return n.text;
    case Node::kCall: {
      level = kAtom;
      std::string s = n.token == kGetGlobal ? "getglobal(" : "getglobalstr(";
      for (size_t i = 0; i < n.children.size(); ++i) {
        u32 inner = 0;
        s += (i ? ", " : "") + Source(*n.children[i], inner);
      }
      return s + ")";
    }
    case Node::kBinary: {
      u32 l = 0, r = 0;
      std::string left = Source(*n.children[0], l), right = Source(*n.children[1], r);
      if (l < n.level) left = "(" + left + ")";
      if (r <= n.level) right = "(" + right + ")";
      level = n.level;
      return left + " " + n.text + " " + right;
    }
    default: {
      u32 inner = 0;
      std::string operand = Source(*n.children[0], inner);
      if (inner < kUnary) operand = "(" + operand + ")";
      level = kUnary;
      return (n.kind == Node::kNot ? "! " : "- ") + operand;
    }
  }
}
std::string Source(const Node& n) {
  u32 level = 0;
  return Source(n, level);
}

// The reference: C grouping, the value rules applied as they are.
SScriptValue Evaluate(const Node& n) {
  SScriptValue v;
  switch (n.kind) {
    case Node::kInt: v.SetInt(i32(n.number)); break;
    case Node::kString: v.SetText(n.text.c_str()); break;
    case Node::kVariable:
      if (n.text == "va")
        v.SetInt(7);
      else
        v.SetText(n.text == "vs" ? "5b" : "");
      break;
    case Node::kCall: {
      SScriptValue args[3];
      for (SScriptValue& a : args) a.SetText("");
      for (size_t i = 0; i < n.children.size(); ++i) args[i] = Evaluate(*n.children[i]);
      std::unique_ptr<SScriptValue> r(Answer(n.token, args[0], args[1], args[2]));
      v = *r;
      break;
    }
    case Node::kNot:
      v = Evaluate(*n.children[0]);
      v.LogicalNot();
      break;
    case Node::kNegate:
      v.SetInt(0);
      v.SubAssign(Evaluate(*n.children[0]));
      break;
    case Node::kBinary: {
      v = Evaluate(*n.children[0]);
      const SScriptValue r = Evaluate(*n.children[1]);
      switch (n.token) {
        case tok::kOr: v.SetInt(v.LogicalOr(r)); break;
        case tok::kAnd: v.SetInt(v.LogicalAnd(r)); break;
        case tok::kBitOr: v.OrAssign(r); break;
        case tok::kBitAnd: v.AndAssign(r); break;
        case tok::kEqual: v.SetInt(v.Equal(r)); break;
        case tok::kNotEqual: v.SetInt(v.NotEqual(r)); break;
        case tok::kLess: v.SetInt(v.Less(r)); break;
        case tok::kLessOrEqual: v.SetInt(v.LessOrEqual(r)); break;
        case tok::kGreater: v.SetInt(v.Greater(r)); break;
        case tok::kGreaterOrEqual: v.SetInt(v.GreaterOrEqual(r)); break;
        case tok::kAdd: v.AddAssign(r); break;
        case tok::kSub: v.SubAssign(r); break;
        case tok::kMul: v.MulAssign(r); break;
        case tok::kDiv: v.DivAssign(r); break;
        default: v.ModAssign(r); break;
      }
      break;
    }
  }
  return v;
}

// Each program uses its expressions as an assigned value, as a condition and as call arguments.
TEST(ScriptProperty, CompiledExpressionsMeanWhatTheTextSays) {
  Generator generate(20240611);
  for (u32 round = 0; round < 1500; ++round) {
    const auto value = generate.Expression(1 + round % 5), condition = generate.Expression(1 + round % 4),
               first = generate.Expression(round % 4), second = generate.Expression(round % 3);
    const std::string source = "va = 7; vs = \"5b\";\nx = " + Source(*value) + ";\nif (" + Source(*condition) +
                               ") { y = 1; } else { y = 0; }\nmessage(" + Source(*first) + ", " + Source(*second) +
                               ");";
    SCOPED_TRACE(source);
    scriptc::Options options;
    options.lineMarkers = round % 2 == 0;
    const scriptc::Result compiled = scriptc::CompileStatements(source, options);
    ASSERT_TRUE(compiled.Ok()) << compiled.diagnostics[0].text;
    const u32 mod4 = round % 4 < 2 ? 0 : 2;
    const scriptc::Bytes blob = scriptc::Serialize(compiled.programs[0], mod4);
    SCOPED_TRACE(scriptc::Disassemble(blob, mod4));

    ScriptRig rig;
    rig.context.answer = Answer;
    ASSERT_EQ(rig.Run(blob, mod4), 0u) << rig.interpreter.LastErrorText();
    EXPECT_EQ(rig.Var("x"), Describe(Evaluate(*value)));
    EXPECT_EQ(rig.Var("y"), Evaluate(*condition).Int() ? "1" : "0");
    ASSERT_FALSE(rig.context.calls.empty());
    EXPECT_EQ(rig.context.calls.back(),
              "message(" + Describe(Evaluate(*first)) + "," + Describe(Evaluate(*second)) + ",\"\")");
    if (HasFailure()) break;
  }
}

}  // namespace
