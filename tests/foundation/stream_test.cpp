#include "foundation/SStream.h"
#include "support/SampleRecord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A record as the type tables have them, with a field that only newer data carries.
struct Sample : SampleRecordFields {
  u32 extra = 0;  // version 3 and later

  bool Transfer(SStream& s) {
    TransferFields(s);
    if (s.Version() >= 3) s.SerializeU32(extra);
    return s.Ok();
  }
};

std::vector<u8> WriteSample(u32 version) {
  static const u8 kBlob[5] = {1, 2, 3, 4, 5};
  Sample sample;
  sample.name.Set("bsnd_fire");
  sample.kind = 3;
  sample.count = 0xBEEF;
  sample.flags = 0x01020304;
  sample.delta = -2;
  sample.note = StrDup("a note");
  sample.label = "label";
  sample.blob = kBlob;
  sample.blobSize = 5;
  sample.extra = 77;
  std::vector<u8> buffer(SStream::kWriteBufferSize);
  SStream s(version);
  s.OpenForWrite(buffer.data());
  EXPECT_TRUE(sample.Transfer(s));
  buffer.resize(s.BytesUsed());
  sample.name.text = nullptr;  // pointed at a literal
  return buffer;
}

TEST(SStreamTest, RecordRoundTripWithLayout) {
  std::vector<u8> bytes = WriteSample(3);
  // tag, "bsnd_fire\0" (10), kind, pad to 12, u16, u32 at 16, i16 at 20, ...
  ASSERT_GE(bytes.size(), 22u);
  EXPECT_EQ(bytes[0], 42);
  EXPECT_EQ(std::memcmp(&bytes[1], "bsnd_fire", 10), 0);
  EXPECT_EQ(bytes[11], 3);
  EXPECT_EQ(bytes[12], 0xEF);
  EXPECT_EQ(bytes[13], 0xBE);
  EXPECT_EQ(bytes[14], 0);  // alignment filler
  EXPECT_EQ(bytes[16], 4);  // little-endian u32
  EXPECT_EQ(bytes[19], 1);

  Sample back;
  SStream in(3);
  in.OpenForRead(bytes.data(), u32(bytes.size()));
  ASSERT_TRUE(back.Transfer(in));
  EXPECT_EQ(in.BytesUsed(), bytes.size());
  EXPECT_STREQ(back.name.text, "bsnd_fire");
  EXPECT_EQ(back.name.hash, 19813);
  EXPECT_EQ(back.name.shortHash, 2028);
  EXPECT_EQ(back.kind, 3);
  EXPECT_EQ(back.count, 0xBEEF);
  EXPECT_EQ(back.flags, 0x01020304u);
  EXPECT_EQ(back.delta, -2);
  EXPECT_STREQ(back.note, "a note");
  EXPECT_STREQ(back.label.CStr(), "label");
  ASSERT_EQ(back.blobSize, 5);
  EXPECT_EQ(back.blob[4], 5);
  EXPECT_EQ(back.extra, 77u);

  // Older data has no extra field.
  std::vector<u8> old = WriteSample(2);
  EXPECT_LT(old.size(), bytes.size());
  Sample fromOld;
  SStream oldIn(2);
  oldIn.OpenForRead(old.data(), u32(old.size()));
  ASSERT_TRUE(fromOld.Transfer(oldIn));
  EXPECT_EQ(fromOld.extra, 0u);
}

TEST(SStreamTest, EveryTruncationFailsCleanly) {
  std::vector<u8> bytes = WriteSample(3);
  for (size_t n = 0; n < bytes.size(); ++n) {
    // An exact-size heap copy, so that a read past the end is a sanitizer finding.
    std::unique_ptr<u8[]> cut(new u8[n ? n : 1]);
    std::memcpy(cut.get(), bytes.data(), n);
    Sample back;
    SStream in(3);
    in.OpenForRead(cut.get(), u32(n));
    EXPECT_FALSE(back.Transfer(in)) << "cut at " << n;
    if (back.name.text) {
      EXPECT_LT(reinterpret_cast<const u8*>(back.name.text), cut.get() + n);
    }
    if (back.blob) {
      EXPECT_LE(back.blob + back.blobSize, cut.get() + n);
    }
    back.name.text = nullptr;
  }
}

TEST(SStreamTest, WritingPastTheCapacityWritesNothing) {
  u8 buffer[8];
  std::memset(buffer, 0xAA, sizeof buffer);
  SStream s;
  s.OpenForWrite(buffer, 6);
  u32 a = 0x11111111;
  s.SerializeU32(a);
  EXPECT_TRUE(s.Ok());
  s.SerializeU32(a);  // needs 4 more, 2 left
  EXPECT_TRUE(s.Failed());
  EXPECT_EQ(buffer[4], 0xAA);
  u8 b = 1;
  s.SerializeByte(b);  // the error is sticky
  EXPECT_EQ(buffer[4], 0xAA);
  EXPECT_FALSE(s.SerializeMarker(9));
}

TEST(SStreamTest, AlignmentTextsAndTags) {
  u8 buffer[16];
  std::memset(buffer, 0xAA, sizeof buffer);
  SStream w;
  w.OpenForWrite(buffer, sizeof buffer);
  w.Seek(5);
  w.Align(4);  // three filler bytes written as zeros
  EXPECT_EQ(w.BytesUsed(), 8u);
  EXPECT_EQ(buffer[5], 0);
  EXPECT_EQ(buffer[7], 0);
  const char* nothing = nullptr;
  w.SerializeString(nothing);  // a null text writes one zero byte
  EXPECT_EQ(w.BytesUsed(), 9u);
  EXPECT_EQ(buffer[8], 0);

  u8 data[] = {7, 0, 'h', 'i', 0, 0xAA, 0xAA, 0xAA, 9, 9, 9, 9};
  SStream r;
  r.OpenForRead(data, sizeof data);
  EXPECT_FALSE(r.SerializeMarker(5));  // no such tag: the cursor stays
  EXPECT_TRUE(r.SerializeMarker(7));
  const char* text = "x";
  r.SerializeString(text);
  EXPECT_EQ(text, nullptr);  // an empty text reads as null
  r.SerializeString(text);
  EXPECT_STREQ(text, "hi");
  r.Align(4);
  EXPECT_EQ(r.Position(), 8u);  // skipped without touching anything
  EXPECT_TRUE(r.Ok());

  u8 unterminated[] = {'a', 'b'};
  SStream u;
  u.OpenForRead(unterminated, 2);
  const char* p = "x";
  u.SerializeString(p);
  EXPECT_EQ(p, nullptr);
  EXPECT_TRUE(u.Failed());

  u8 block[] = {9, 0, 1, 2};  // claims 9 bytes, holds 2
  SStream b;
  b.OpenForRead(block, sizeof block);
  const u8* q = block;
  u16 n = 0;
  b.SerializeSizedBlock(q, n);
  EXPECT_EQ(q, nullptr);
  EXPECT_EQ(n, 0);
  EXPECT_TRUE(b.Failed());

  u32 value = 123;
  SStream z;
  z.OpenForRead(block, 2);
  z.Skip(1);
  z.SerializeU32(value);  // past the end: zeros
  EXPECT_EQ(value, 0u);
}

TEST(SNameTest, HashesAndOwnership) {
  EXPECT_EQ(HashResourceName("abc"), 0x012A);
  EXPECT_EQ(HashResourceNameShort("abc"), 0x0129);
  EXPECT_EQ(HashResourceName(""), 0);
  EXPECT_EQ(HashResourceNameShort(""), 0);
  EXPECT_EQ(HashResourceName(nullptr), 0);
  // A byte above 127 is negative: sign-extended before the shift (0xFF << 1 = 0x1FE vs -2 = 0xFFFE).
  EXPECT_EQ(HashResourceName("a\xFF"), u16(2 ^ 97 ^ 0xFFFE));
  EXPECT_EQ(HashResourceNameShort("a\xFF"), u16(97 ^ 0xFFFFFFFE));

  SName owned;
  owned.SetOwns();
  char source[] = "torch";
  owned.Set(source);
  source[0] = 'p';
  EXPECT_STREQ(owned.text, "torch");
  EXPECT_TRUE(owned.Equals("torch", HashResourceName("torch")));
  EXPECT_FALSE(owned.Equals("torch", 0));
  EXPECT_FALSE(owned.Equals(nullptr, owned.hash));
  SName copy = owned;
  EXPECT_NE(copy.text, owned.text);
  owned.Free();
  EXPECT_EQ(owned.hash, 0);
  EXPECT_STREQ(copy.text, "torch");

  SName borrowed;
  borrowed.Set(source);
  EXPECT_EQ(borrowed.text, source);
  borrowed.text = nullptr;
}

}  // namespace
