#include "foundation/SString.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Fmt(const char* format, ...) {
  char buffer[256];
  va_list args;
  va_start(args, format);
  StrFormatV(buffer, sizeof buffer, format, args);
  va_end(args);
  return buffer;
}

TEST(StrFormat, ConversionsFlagsWidthAndPrecision) {
  struct Case {
    std::string got, want;
  } cases[] = {
      {Fmt("plain"), "plain"},
      {Fmt(""), ""},
      {Fmt("100%%"), "100%"},
      {Fmt("%d", i32(-42)), "-42"},
      {Fmt("%ld", i32(7)), "7"},
      {Fmt("%+d", i32(0)), "0"},
      {Fmt("%+d", i32(5)), "+5"},
      {Fmt("%+d", i32(-5)), "-5"},
      {Fmt("%u", u32(4000000000u)), "4000000000"},
      {Fmt("%04u", u32(7)), "0007"},
      {Fmt("%05d", i32(-42)), "00-42"},  // padding goes before the sign
      {Fmt("%5d|", i32(42)), "   42|"},
      {Fmt("%-4s|", "ab"), "ab  |"},
      {Fmt("%-04d|", i32(3)), "3000|"},  // zero padding also when left-aligned
      {Fmt("%.2s", "abcdef"), "ab"},
      {Fmt("%.2d", i32(12345)), "12"},  // precision cuts numbers too
      {Fmt("%6.3s|", "abcdef"), "   abc|"},
      {Fmt("%s|", static_cast<const char*>(nullptr)), "|"},
      {Fmt("%c%c", u32('o'), u32(0x100 + 'k')), "ok"},
      {Fmt("a%xb", i32(1)), "a"},  // an unknown conversion ends the output
      {Fmt("tail%"), "tail"},
      {Fmt("%d/%s/%u", i32(1), "two", u32(3)), "1/two/3"},
      {Fmt("%d", i32(-2147483647 - 1)), "-2147483648"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want);
}

TEST(StrFormat, NeverWritesPastTheBufferAndMeasures) {
  std::string longText(20000, 'x');
  char small[8];
  std::memset(small, '#', sizeof small);
  EXPECT_EQ(StrFormat(small, "[%s]", longText.c_str()), 20002u);
  EXPECT_STREQ(small, "[xxxxxx");
  EXPECT_EQ(StrFormat(nullptr, 0, "%d-%s", i32(12), "ab"), 5u);
  char untouched[4] = {'q', 'q', 'q', 0};
  EXPECT_EQ(StrFormat(untouched, sizeof untouched, nullptr), 0u);
  EXPECT_STREQ(untouched, "qqq");

  SString s;
  s.Format("<%s>", longText.c_str());  // would have overflowed a fixed temporary
  EXPECT_EQ(s.Length(), 20002u);
  s.FormatAppend("%s", longText.c_str());
  EXPECT_EQ(s.Length(), 40002u);
  s.Format("%s%s%s%s", longText.c_str(), longText.c_str(), longText.c_str(), longText.c_str());
  EXPECT_EQ(s.Capacity(), SString::kMaxCapacity);  // saturated, never wrapped
  EXPECT_EQ(s.Length(), SString::kMaxCapacity - 1u);
}

TEST(StrHelpers, ComparisonsUseSignedBytesAndFoldOnlyAsciiLetters) {
  EXPECT_EQ(StrCompareNoCase("B", "a"), -31);
  EXPECT_EQ(StrCompareNoCase("HeLLo", "hello"), 0);
  EXPECT_EQ(StrCompare("a", "b"), -1);
  EXPECT_EQ(StrCompare("abc", "ab"), 'c');
  EXPECT_LT(StrCompare("\xE9", "a"), 0);  // 0xE9 is negative as a signed byte
  EXPECT_EQ(StrCompare(nullptr, "a"), 1);
  EXPECT_EQ(StrCompare("a", nullptr), -1);
  EXPECT_EQ(StrCompareNoCase(nullptr, nullptr), 1);
  EXPECT_EQ(StrCompareNoCaseN("bsnd_fire", "BSND_water", 2), 0);  // always 5 characters
  EXPECT_NE(StrCompareNoCaseN("bsndX", "bsndY", 9), 0);
  EXPECT_EQ(StrCompareNoCase("\xC0", "\xE0"), -32);  // no folding outside A-Z
}

TEST(StrHelpers, NumbersSearchAndEdits) {
  EXPECT_EQ(StrToInt("  -123abc"), -123);
  EXPECT_EQ(StrToInt("+7"), 7);
  EXPECT_EQ(StrToInt(nullptr), 0);
  EXPECT_EQ(StrToInt("\t5"), 0);                // only blanks are skipped
  EXPECT_EQ(StrToShort("40000"), i16(-25536));  // 16-bit accumulator
  EXPECT_EQ(StrToShort("x1"), 0);

  EXPECT_EQ(StrFind("hello world", "o"), 4);
  EXPECT_EQ(StrFind("hello", ""), -1);
  EXPECT_EQ(StrFind(nullptr, "a"), -1);
  EXPECT_EQ(StrFindNoCase("Hello WORLD", "world"), 6);
  EXPECT_EQ(StrFindChar("abc", 'c'), 2);
  EXPECT_EQ(StrFindChar("", 'c'), -1);
  EXPECT_EQ(StrCount("aaaa", "aa"), 2);  // non-overlapping
  EXPECT_EQ(StrCountNoCase("aAaA", "aa"), 2);

  char buffer[32] = "one two one";
  EXPECT_TRUE(StrReplaceAll(buffer, sizeof buffer, "one", "three"));
  EXPECT_STREQ(buffer, "three two three");
  char tight[8] = "a-b-c";
  EXPECT_TRUE(StrReplaceAll(tight, sizeof tight, "-", "--"));  // 7 characters and the terminator fit
  EXPECT_STREQ(tight, "a--b--c");
  EXPECT_FALSE(StrReplaceAll(tight, sizeof tight, "-", "---"));  // 15 characters would not fit
  EXPECT_STREQ(tight, "a--b--c");                                // and nothing changed
}

TEST(StrHelpers, BoundedWritersAndSmallEdits) {
  char small[4];
  StrCopy(small, "abcdef");
  EXPECT_STREQ(small, "abc");
  StrCopy(small, "a");
  StrAppend(small, "bcdef");
  EXPECT_STREQ(small, "abc");
  StrCopy(small, "");
  StrAppendChar(small, 'x');
  StrAppendN(small, "yzw", 1);
  EXPECT_STREQ(small, "xy");

  char* left = StrDupLeft("abcdef", 2);
  char* right = StrDupRight("abcdef", 2);
  char* whole = StrDupRight("ab", 5);
  EXPECT_STREQ(left, "ab");
  EXPECT_STREQ(right, "ef");
  EXPECT_STREQ(whole, "ab");
  delete[] left;
  delete[] right;
  delete[] whole;
  EXPECT_EQ(StrDup(nullptr), nullptr);

  char trim[] = "--Hello, world!!";
  StrTrimNonAlnum(trim);
  EXPECT_STREQ(trim, "Hello, world");
  char none[] = "?!.";
  StrTrimNonAlnum(none);
  EXPECT_STREQ(none, "");
  char rev[] = "abc";
  StrReverse(rev);
  EXPECT_STREQ(rev, "cba");

  EXPECT_STREQ(StrIndefiniteArticle("apple"), "an");
  EXPECT_STREQ(StrIndefiniteArticle("Umbrella"), "an");
  EXPECT_STREQ(StrIndefiniteArticle("sword"), "a");
  EXPECT_STREQ(StrIndefiniteArticle(""), "a");
  EXPECT_STREQ(StrIndefiniteArticle(nullptr), "a");

  u16 wide[4];
  StrWiden(wide, 4,
           "a\xE9"
           "bc");
  EXPECT_EQ(wide[0], u16('a'));
  EXPECT_EQ(wide[1], u16(0xFFE9));  // sign-extended
  EXPECT_EQ(wide[3], 0);

  char number[12];
  IntToStr(-2147483647 - 1, number);
  EXPECT_STREQ(number, "-2147483648");
  UIntToStr(0, number);
  EXPECT_STREQ(number, "0");
}

TEST(SStringTest, CapacityFollowsTheGrowStep) {
  EXPECT_EQ(SString("123456789").Capacity(), 10);
  EXPECT_EQ(SString("1234567890").Capacity(), 20);
  EXPECT_EQ(SString().Capacity(), 10);
  EXPECT_EQ(SString(nullptr).Capacity(), 10);
  EXPECT_STREQ(SString(nullptr).CStr(), "");

  SString s;
  s.Assign("1234567890");
  EXPECT_EQ(s.Capacity(), 20);
  s.Assign(nullptr);
  EXPECT_STREQ(s.CStr(), "1234567890");
  s.Assign("x");
  EXPECT_EQ(s.Capacity(), 20);  // shrinking keeps the buffer

  SString r("abcdefgh");  // capacity 10
  r.Reserve(5);           // 8 + 5 + 1 = 14 -> 20
  EXPECT_EQ(r.Capacity(), 20);
  SString copy(r);
  EXPECT_EQ(copy.Capacity(), 20);
  EXPECT_STREQ(copy.CStr(), "abcdefgh");
}

TEST(SStringTest, EditingOperations) {
  SString s("world");
  s.Prepend("hello ");
  s.AppendChar('!');
  EXPECT_STREQ(s.CStr(), "hello world!");
  s.Append(s.CStr());  // appending its own text while the buffer moves
  EXPECT_STREQ(s.CStr(), "hello world!hello world!");
  SString e;
  e.PrependChar('x');
  EXPECT_STREQ(e.CStr(), "x");

  SString d("Day %day% of %DAY%");
  d.ReplaceDay(12);
  EXPECT_STREQ(d.CStr(), "Day 12 of 12");

  SString r("bres_torch");
  r.RemoveFirstFive();
  EXPECT_STREQ(r.CStr(), "torch");
  SString shortText("abc");
  shortText.RemoveFirstFive();
  EXPECT_STREQ(shortText.CStr(), "");

  SString c("Hello");
  EXPECT_EQ(c.CharAt(1), 'e');
  EXPECT_EQ(c.CharAt(5), 0);
  EXPECT_EQ(c.SetCharAt(0, 'J'), 5u);
  EXPECT_EQ(c.SetCharAt(9, 'J'), 5u);
  EXPECT_STREQ(c.CStr(), "Jello");
  EXPECT_STREQ(c.Left(2).CStr(), "Je");
  EXPECT_STREQ(c.Right(3).CStr(), "llo");
  EXPECT_TRUE(c.Equals("Jello"));
  EXPECT_FALSE(c.Equals(nullptr));
  EXPECT_EQ(c.Compare(nullptr), -1);
  EXPECT_EQ(c.Find(nullptr), -1);
  EXPECT_EQ(c.FindNoCase("LL"), 2);

  SString grow("a.b.c");
  grow.ReplaceAll(".", "---");
  EXPECT_STREQ(grow.CStr(), "a---b---c");
  grow.Format("%s and %s", grow.CStr(), "more");  // formatting its own text
  EXPECT_STREQ(grow.CStr(), "a---b---c and more");
  grow.Format(nullptr);
  EXPECT_STREQ(grow.CStr(), "a---b---c and more");

  SString freed("x");
  freed.Free();
  EXPECT_TRUE(freed.IsEmpty());
  EXPECT_EQ(freed.Length(), 0u);
  freed.Append("y");  // usable again after Free
  EXPECT_STREQ(freed.CStr(), "y");
}

}  // namespace
