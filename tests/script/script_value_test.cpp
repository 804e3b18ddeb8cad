#include "script/SScriptValue.h"

#include "foundation/SStream.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

TEST(SScriptValueTest, StoredFormRoundTrip) {
  SScriptValue number, text;
  number.SetInt(-1234);
  text.SetText("gold\\g");
  EXPECT_STREQ(number.Text(), "-1234");
  EXPECT_STREQ(text.Text(), "gold\t");  // backslash-g is the coin glyph

  u8 buffer[64];
  std::memset(buffer, 0xAA, sizeof buffer);
  SStream out;
  out.OpenForWrite(buffer, sizeof buffer);
  out.SerializeScriptValue(text);
  out.SerializeScriptValue(number);
  // type 1, "gold\t\0" (6 bytes), type 0 at offset 7, integer at the next 4-byte boundary (8).
  EXPECT_EQ(out.BytesUsed(), 12u);
  EXPECT_EQ(buffer[0], 1);
  EXPECT_EQ(buffer[7], 0);
  EXPECT_EQ(std::memcmp(&buffer[8], "\x2e\xfb\xff\xff", 4), 0);

  SScriptValue a, b;
  SStream in;
  in.OpenForRead(buffer, out.BytesUsed());
  a.Serialize(in);
  b.Serialize(in);
  ASSERT_TRUE(in.Ok());
  EXPECT_TRUE(a.IsString());
  EXPECT_STREQ(a.Text(), "gold\t");
  EXPECT_EQ(a.Int(), 0);
  EXPECT_FALSE(b.IsString());
  EXPECT_EQ(b.Int(), -1234);
  EXPECT_STREQ(b.Text(), "-1234");  // rebuilt from the integer
}

TEST(SScriptValueTest, ReadingRebuildsTheOtherFormAndRejectsBadData) {
  u8 stringWithNumber[] = {1, ' ', '4', '2', 'x', 0};
  SScriptValue v;
  SStream in;
  in.OpenForRead(stringWithNumber, sizeof stringWithNumber);
  v.Serialize(in);
  EXPECT_TRUE(in.Ok());
  EXPECT_EQ(v.Int(), 42);

  u8 unknownType[] = {7, 0, 0, 0, 1, 0, 0, 0};
  SStream bad;
  bad.OpenForRead(unknownType, sizeof unknownType);
  v.Serialize(bad);
  EXPECT_TRUE(bad.Failed());

  for (u32 n = 0; n < 8; ++n) {  // an integer cut short
    u8 intValue[8] = {0, 0, 0, 0, 5, 0, 0, 0};
    std::unique_ptr<u8[]> cut(new u8[n ? n : 1]);
    std::memcpy(cut.get(), intValue, n);
    SStream s;
    s.OpenForRead(cut.get(), n);
    SScriptValue w;
    w.Serialize(s);
    EXPECT_TRUE(s.Failed()) << n;
  }
}

TEST(SScriptValueTest, Construction) {
  SScriptValue v;
  EXPECT_EQ(v.Int(), 0);
  EXPECT_STREQ(v.Text(), "0");
  std::unique_ptr<SScriptValue> i(SScriptValue::MakeInt(17));
  EXPECT_STREQ(i->Text(), "17");
  std::unique_ptr<SScriptValue> s(SScriptValue::MakeString(nullptr));
  EXPECT_TRUE(s->IsString());
  EXPECT_STREQ(s->Text(), "");
  EXPECT_EQ(s->Int(), 0);
}

// The operators as one table: the left operand decides how both are judged.
TEST(SScriptValueTest, OperatorsFollowTheLeftOperand) {
  auto str = [](const char* t) {
    SScriptValue v;
    v.SetText(t);
    return v;
  };
  auto num = [](i32 n) {
    SScriptValue v;
    v.SetInt(n);
    return v;
  };
  struct Case {
    const char* what;
    SScriptValue a, b;
    i32 (SScriptValue::*op)(const SScriptValue&) const;
    i32 expected;
  } cases[] = {
      {"string 10 < integer 9 compares texts", str("10"), num(9), &SScriptValue::Less, 1},
      {"integer 10 < string 9 compares integers", num(10), str("9"), &SScriptValue::Less, 0},
      {"texts differing in case are equal", str("Gold"), str("gOLD"), &SScriptValue::Equal, 1},
      {"a string against an integer's text", str("0042"), num(42), &SScriptValue::Equal, 0},
      {"an integer against a string's number", num(42), str("0042"), &SScriptValue::Equal, 1},
      {"!= on texts", str("a"), str("A"), &SScriptValue::NotEqual, 0},
      {"<= on integers", num(-3), num(-3), &SScriptValue::LessOrEqual, 1},
      {"> on texts", str("b"), str("A"), &SScriptValue::Greater, 1},
      {">= on integers", num(-4), num(-3), &SScriptValue::GreaterOrEqual, 0},
      {"a text && an empty text", str("yes"), str(""), &SScriptValue::LogicalAnd, 0},
      {"texts && integer 0 (its text \"0\")", str("yes"), num(0), &SScriptValue::LogicalAnd, 1},
      {"integer 0 || a text of letters", num(0), str("abc"), &SScriptValue::LogicalOr, 0},
      {"an empty text || a text", str(""), str("x"), &SScriptValue::LogicalOr, 1},
      {"integers && ", num(2), num(-1), &SScriptValue::LogicalAnd, 1},
  };
  for (Case& c : cases) {
    const std::string before = c.a.Text();
    EXPECT_EQ((c.a.*c.op)(c.b), c.expected) << c.what;
    EXPECT_EQ(before, c.a.Text()) << c.what << ": comparisons change nothing";
  }
}

// Arithmetic, concatenation and the reading of numbers.
TEST(SScriptValueTest, ArithmeticAndText) {
  struct Case {
    const char* what;
    bool leftText;
    const char* left;  // a text, or the integer's decimal digits
    void (SScriptValue::*op)(const SScriptValue&);
    bool rightText;
    const char* right;
    bool resultText;
    i32 resultInt;
    const char* resultString;
  } cases[] = {
      {"\"7\" + 3 concatenates", true, "7", &SScriptValue::AddAssign, false, "3", true, 73, "73"},
      {"3 + \"7\" adds", false, "3", &SScriptValue::AddAssign, true, "7", false, 10, "10"},
      {"\"gold\" + \"\\g\" is the coin glyph", true, "gold ", &SScriptValue::AddAssign, true, "\\g", true, 0,
       "gold \t"},
      {"a split backslash-g joins", true, "a\\", &SScriptValue::AddAssign, true, "g", true, 0, "a\t"},
      {"\"12ab\" - 2 takes the digits", true, "12ab", &SScriptValue::SubAssign, false, "2", false, 10, "10"},
      {"letters read as 0", true, "ab", &SScriptValue::MulAssign, false, "5", false, 0, "0"},
      {"a leading minus", true, " -8", &SScriptValue::DivAssign, false, "3", false, -2, "-2"},
      {"remainder takes the dividend's sign", false, "-7", &SScriptValue::ModAssign, false, "3", false, -1, "-1"},
      {"& and | on integer forms", false, "12", &SScriptValue::AndAssign, true, "10", false, 8, "8"},
      {"|", true, "12", &SScriptValue::OrAssign, false, "3", false, 15, "15"},
      {"division by zero gives 0", false, "7", &SScriptValue::DivAssign, false, "0", false, 0, "0"},
      {"remainder by zero gives 0", false, "7", &SScriptValue::ModAssign, false, "0", false, 0, "0"},
      {"INT_MAX + 1 wraps", false, "2147483647", &SScriptValue::AddAssign, false, "1", false, INT32_MIN, "-2147483648"},
      {"INT_MIN - 1 wraps", false, "-2147483648", &SScriptValue::SubAssign, false, "1", false, INT32_MAX, "2147483647"},
      {"multiplication wraps", false, "65536", &SScriptValue::MulAssign, false, "65536", false, 0, "0"},
      {"INT_MIN / -1 gives INT_MIN", false, "-2147483648", &SScriptValue::DivAssign, false, "-1", false, INT32_MIN,
       "-2147483648"},
      {"INT_MIN % -1 gives 0", false, "-2147483648", &SScriptValue::ModAssign, false, "-1", false, 0, "0"},
  };
  auto make = [](bool text, const char* t) {
    SScriptValue v;
    if (text)
      v.SetText(t);
    else
      v.SetInt(i32(std::strtoll(t, nullptr, 10)));
    return v;
  };
  for (const Case& c : cases) {
    SScriptValue a = make(c.leftText, c.left);
    (a.*c.op)(make(c.rightText, c.right));
    EXPECT_EQ(a.IsString(), c.resultText) << c.what;
    EXPECT_EQ(a.Int(), c.resultInt) << c.what;
    EXPECT_STREQ(a.Text(), c.resultString) << c.what;
  }

  SScriptValue n;
  n.SetInt(INT32_MAX);
  n.Increment();
  EXPECT_EQ(n.Int(), INT32_MIN);
  n.Decrement();
  EXPECT_EQ(n.Int(), INT32_MAX);
  SScriptValue s;
  s.SetText("41 apples");
  s.Increment();  // becomes an integer
  EXPECT_FALSE(s.IsString());
  EXPECT_STREQ(s.Text(), "42");
  s.LogicalNot();
  EXPECT_EQ(s.Int(), 0);
  s.SetText("letters");  // judged by its integer form, 0
  s.LogicalNot();
  EXPECT_EQ(s.Int(), 1);
  EXPECT_STREQ(s.Text(), "1");
}

// Merging a literal leaves the form it does not set as it was.
TEST(SScriptValueTest, AppendTextLeavesTheOtherFormStale) {
  SScriptValue s;
  s.SetText("12");
  s.AppendText("3\\g");
  EXPECT_STREQ(s.Text(), "123\t");
  EXPECT_EQ(s.Int(), 12);  // not read again

  SScriptValue n;
  n.SetInt(5);
  n.AppendText("70000");  // read as a signed 16-bit number: 70000 - 65536
  EXPECT_EQ(n.Int(), 5 + 4464);
  EXPECT_STREQ(n.Text(), "5");  // not formatted again
  n.AppendText("-6");
  EXPECT_EQ(n.Int(), 4463);
}

}  // namespace
