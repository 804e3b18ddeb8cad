#include "foundation/QuickSort.h"
#include "foundation/SPtrArray.h"
#include "foundation/SStringList.h"
#include "foundation/SValueArray.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

struct Named {
  SName name;
  int value = 0;
  explicit Named(const char* text = nullptr, int v = 0) : value(v) {
    name.SetOwns();
    name.Set(text);
  }
};

// Counts destructions, to see what an owning array deletes.
struct Counted {
  static int alive;
  Counted() { ++alive; }
  virtual ~Counted() { --alive; }
};
int Counted::alive = 0;

TEST(SPtrArrayTest, GrowsByStepWithZeroedSlots) {
  SPtrArray<int> a(false);
  int v[5];
  for (int i = 0; i < 4; ++i) a.Add(&v[i]);
  EXPECT_EQ(a.Capacity(), 4);
  a.Add(&v[4]);
  EXPECT_EQ(a.Count(), 5);
  EXPECT_EQ(a.Capacity(), 8);
  for (int i = 5; i < 8; ++i) EXPECT_EQ(a.Data()[i], nullptr);
  // Emptying keeps the block but counts it as one grow step again; the next growth replaces it.
  int** block = a.Data();
  a.Clear();
  EXPECT_EQ(a.Count(), 0);
  EXPECT_EQ(a.Capacity(), 4);
  EXPECT_EQ(a.Data(), block);
  for (int i = 0; i < 5; ++i) a.Add(&v[i]);
  EXPECT_EQ(a.Capacity(), 8);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(a[i], &v[i]);
}

TEST(SPtrArrayTest, InsertRemoveAndIndices) {
  SPtrArray<int> a(false);
  int v[4] = {0, 1, 2, 3};
  a.InsertFirst(&v[1]);   // empty: appends
  a.InsertAt(&v[3], 99);  // past the count: appends
  a.InsertAt(&v[0], -4);  // negative: front
  a.InsertAt(&v[2], 2);
  ASSERT_EQ(a.Count(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(a[i], &v[i]);
  EXPECT_EQ(a.RemoveAt(4), nullptr);  // index equal to the count
  EXPECT_EQ(a.RemoveAt(-1), nullptr);
  EXPECT_EQ(a.Count(), 4);
  EXPECT_EQ(a.RemoveAt(1), &v[1]);
  a.Remove(&v[1]);  // absent: nothing
  a.Remove(&v[0]);
  ASSERT_EQ(a.Count(), 2);
  EXPECT_EQ(a[0], &v[2]);
  EXPECT_EQ(a[1], &v[3]);
  EXPECT_EQ(a.Data()[2], nullptr);
}

TEST(SPtrArrayTest, NameHashOrderAndLookup) {
  // "ab" and "ba": same length and bytes, different hashes; "abc" vs a name built to share its hash.
  SPtrArray<Named> a;
  Named* abc = new Named("abc", 1);
  Named* other = new Named("xyz", 2);
  a.InsertByNameHash(abc);
  a.InsertByNameHash(other);
  // A record whose hash equals an existing one goes after it: returns index + 1.
  Named* abcAgain = new Named("abc", 3);
  i32 pos = a.InsertByNameHash(abcAgain);
  EXPECT_EQ(a[pos - 1], abcAgain);
  EXPECT_EQ(a.IndexOf(abc) + 1, a.IndexOf(abcAgain));
  for (int i = 1; i < a.Count(); ++i) EXPECT_LE(a[i - 1]->name.hash, a[i]->name.hash);
  EXPECT_EQ(a.FindByName("abc"), abc);  // the first of equal names
  EXPECT_EQ(a.FindByName("xyz"), other);
  EXPECT_EQ(a.FindByName("nope"), nullptr);
  EXPECT_EQ(a.FindByName(nullptr), nullptr);
}

TEST(SPtrArrayTest, FindByNameSkipsHashCollisionsWithOtherTexts) {
  // Same length, bytes at positions 0 and 11 swap into the same hash (shift k and k + 11 are equal).
  const char* a = "a0000000000b";
  const char* b = "b0000000000a";
  ASSERT_EQ(HashResourceName(a), HashResourceName(b));
  SPtrArray<Named> list;
  list.Add(new Named(a));
  list.Add(new Named(b));
  list.Add(new Named(nullptr));
  EXPECT_EQ(list.FindByName(b), list[1]);
}

TEST(SPtrArrayTest, OwningArrayDeletesThroughTheVirtualDestructor) {
  {
    SPtrArray<Counted> owning;
    for (int i = 0; i < 6; ++i) owning.Add(new Counted);
    EXPECT_EQ(Counted::alive, 6);
    owning.DeleteAll();
    EXPECT_EQ(Counted::alive, 0);
    EXPECT_EQ(owning.Count(), 0);
    EXPECT_EQ(owning.Capacity(), 4);
    owning.Add(new Counted);
  }
  EXPECT_EQ(Counted::alive, 0);
  Counted kept;
  {
    SPtrArray<Counted> borrowed(false);
    borrowed.Add(&kept);
  }
  EXPECT_EQ(Counted::alive, 1);
  // Destroy starts over with a block of one grow step; a borrowing array only forgets its elements.
  for (bool owns : {true, false}) {
    SPtrArray<Counted> a(owns);
    for (int i = 0; i < 6; ++i) a.Add(owns ? new Counted : &kept);
    a.Destroy();
    EXPECT_EQ(a.Count(), 0) << owns;
    EXPECT_EQ(a.Capacity(), 4) << owns;
    EXPECT_EQ(Counted::alive, 1) << owns;
  }
}

TEST(SPtrArrayTest, StreamTransferRoundTripAndCountLimits) {
  auto transfer = [](Named& n, SStream& s) {
    s.SerializeMarker(7);
    n.name.Serialize(s);
    s.SerializeI32(n.value);
  };
  SPtrArray<Named> source;
  source.Add(new Named("zeta", 1));
  source.Add(new Named("alpha", 2));
  source.Add(new Named("mid", 3));
  u8 buffer[256];
  SStream out;
  out.OpenForWrite(buffer, sizeof buffer);
  ASSERT_TRUE(source.SerializeNamed(out, transfer));
  u32 used = out.BytesUsed();

  SStream in;
  in.OpenForRead(buffer, used);
  SPtrArray<Named> loaded;
  ASSERT_TRUE(loaded.SerializeNamed(in, transfer));
  ASSERT_EQ(loaded.Count(), 3);
  for (int i = 1; i < 3; ++i) EXPECT_LE(loaded[i - 1]->name.hash, loaded[i]->name.hash);
  EXPECT_EQ(loaded.FindByName("mid")->value, 3);

  SStream list;
  list.OpenForRead(buffer, used);
  SPtrArray<Named> appended;
  ASSERT_TRUE(appended.SerializeList(list, transfer));
  EXPECT_STREQ(appended[0]->name.text, "zeta");  // appended in stored order

  // A null slot is not written, and the stored count leaves it out.
  SPtrArray<Named> gappy;
  gappy.Add(new Named("one", 1));
  gappy.Add(nullptr);
  u8 gapBuffer[64];
  SStream gapOut;
  gapOut.OpenForWrite(gapBuffer, sizeof gapBuffer);
  ASSERT_TRUE(gappy.SerializeList(gapOut, transfer));
  SStream gapIn;
  gapIn.OpenForRead(gapBuffer, gapOut.BytesUsed());
  SPtrArray<Named> gapBack;
  ASSERT_TRUE(gapBack.SerializeList(gapIn, transfer));
  EXPECT_EQ(gapBack.Count(), 1);

  // A count that claims more records than the bytes hold fails cleanly.
  SStream cut;
  cut.OpenForRead(buffer, used - 3);
  SPtrArray<Named> partial;
  EXPECT_FALSE(partial.SerializeNamed(cut, transfer));
  EXPECT_TRUE(cut.Failed());

  // A count that would pass 65,535 elements is refused before anything is made.
  u8 huge[2] = {0xFF, 0xFF};
  SStream big;
  big.OpenForRead(huge, 2);
  SPtrArray<Named> one;
  one.Add(new Named("x"));
  EXPECT_FALSE(one.SerializeList(big, transfer));
  EXPECT_EQ(one.Count(), 1);
}

TEST(SValueArrayTest, RecordsAreCopiedIntoAGrowingBlock) {
  SValueArray<SString> strings;
  for (int i = 0; i < 9; ++i) {
    SString s;
    s.Format("line %d", i);
    strings.Add(s);
  }
  EXPECT_EQ(strings.Count(), 9u);
  EXPECT_EQ(strings.Capacity(), 12u);
  EXPECT_STREQ(strings[8].CStr(), "line 8");
  EXPECT_EQ(strings.At(9), nullptr);
  strings.Clear();
  EXPECT_EQ(strings.Count(), 0u);
  EXPECT_EQ(strings.Capacity(), 4u);

  SCountedEntryArray counted;
  EXPECT_EQ(counted.Capacity(), 4u);
  EXPECT_EQ(counted.Data()[3].item, nullptr);  // fresh entries are cleared
  for (u32 i = 0; i < 5; ++i) counted.Add(i, &counted, i * 2, i);
  EXPECT_EQ(counted.Capacity(), 8u);
  EXPECT_EQ(counted[4].count, 8u);
  EXPECT_EQ(counted.Data()[7].key, 0u);
}

TEST(SStringListTest, FindSortAndSerialize) {
  SStringList list;
  list.AddText("pear");
  list.Add(nullptr);
  list.AddText("apple");
  list.AddText("fig");
  list.AddText("apple");
  EXPECT_EQ(list.FindText("apple"), 2);
  EXPECT_EQ(list.FindText("kiwi"), -1);
  list.SortTexts();
  EXPECT_STREQ(list.Text(0), "apple");
  EXPECT_STREQ(list.Text(3), "pear");
  EXPECT_EQ(list.Text(4), nullptr);  // null sorts last
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Capacity(), 4);

  SStringList named;
  named.AddText("one");
  named.AddText("");
  named.AddText("three");
  u8 buffer[64];
  SStream out;
  out.OpenForWrite(buffer, sizeof buffer);
  ASSERT_TRUE(named.SerializeTexts(out));
  SStream in;
  in.OpenForRead(buffer, out.BytesUsed());
  SStringList back;
  ASSERT_TRUE(back.SerializeTexts(in));
  ASSERT_EQ(back.Count(), 3);
  EXPECT_EQ(back.Text(1), nullptr);  // an empty text reads as a null element
  EXPECT_EQ(back.FindText(""), -1);
  EXPECT_STREQ(back.Text(2), "three");
  char* taken = back.RemoveAt(0);
  EXPECT_STREQ(taken, "one");
  delete[] taken;
  EXPECT_EQ(back.Count(), 2);
}

struct Rec {
  int key;
  char tag;
};
int CompareRec(const void* a, const void* b) {
  return static_cast<const Rec*>(a)->key - static_cast<const Rec*>(b)->key;
}

std::string Tags(const std::vector<Rec>& v) {
  std::string s;
  for (const Rec& r : v) s += r.tag;
  return s;
}

TEST(QuickSortTest, OrderOfEqualKeys) {
  // Up to 8 records: selection of the first largest, moved to the end, so equal keys come out reversed.
  std::vector<Rec> few = {{1, 'a'}, {1, 'b'}, {0, 'c'}};
  QuickSort(few.data(), u32(few.size()), sizeof(Rec), CompareRec);
  EXPECT_EQ(Tags(few), "cba");

  // Nine records: the middle one becomes the pivot and the partition runs first.
  std::vector<Rec> nine = {{2, 'a'}, {1, 'b'}, {2, 'c'}, {1, 'd'}, {2, 'e'}, {1, 'f'}, {2, 'g'}, {1, 'h'}, {2, 'i'}};
  QuickSort(nine.data(), u32(nine.size()), sizeof(Rec), CompareRec);
  EXPECT_EQ(Tags(nine), "bfdhagcei");  // traced by hand
}

TEST(QuickSortTest, SortsLargeInputsWithManyEqualKeys) {
  std::mt19937 gen(5);
  for (u32 n : {0u, 1u, 2u, 9u, 100u, 5000u}) {
    std::vector<Rec> v(n);
    for (auto& r : v) r = {int(gen() % 7), 'x'};
    QuickSort(v.data(), n, sizeof(Rec), CompareRec);
    for (u32 i = 1; i < n; ++i) ASSERT_LE(v[i - 1].key, v[i].key);
  }
  int a = 1, b = 2;
  SwapBytes(&a, &b, sizeof a);
  EXPECT_EQ(a, 2);
  SwapBytes(&a, &a, sizeof a);
  EXPECT_EQ(a, 2);
}

}  // namespace
