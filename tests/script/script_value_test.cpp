#include "script/SScriptValue.h"

#include "foundation/SStream.h"

#include <gtest/gtest.h>

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

}  // namespace
