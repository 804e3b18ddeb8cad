// The screen layout table reader: lookups by screen, display mode and control, and damaged records.
#include "core/SLayoutTable.h"
#include "foundation/SDatabase.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <vector>

namespace {

// Builds a record from screens given as {id, {variants as {mode, w, h, {controls as {id, x, y, w, h}}}}}.
struct V {
  u16 mode, w, h;
  std::vector<std::vector<u16>> controls;
};
struct S {
  u16 id;
  std::vector<V> variants;
};

void Put(std::vector<u8>& b, size_t at, u16 v) {
  if (b.size() < at + 2) b.resize(at + 2);
  b[at] = static_cast<u8>(v);
  b[at + 1] = static_cast<u8>(v >> 8);
}

std::vector<u8> Build(const std::vector<S>& screens) {
  std::vector<u8> b(2 + 4 * screens.size());
  Put(b, 0, static_cast<u16>(screens.size()));
  for (size_t i = 0; i < screens.size(); ++i) {
    const size_t list = b.size();
    Put(b, 2 + 4 * i, static_cast<u16>(list));
    Put(b, 4 + 4 * i, screens[i].id);
    b.resize(list + 2 + 4 * screens[i].variants.size());
    Put(b, list, static_cast<u16>(screens[i].variants.size()));
    for (size_t j = 0; j < screens[i].variants.size(); ++j) {
      const V& v = screens[i].variants[j];
      const size_t at = b.size();
      Put(b, list + 2 + 4 * j, static_cast<u16>(at));
      Put(b, list + 4 + 4 * j, v.mode);
      Put(b, at, v.w);
      Put(b, at + 2, v.h);
      Put(b, at + 4, static_cast<u16>(v.controls.size()));
      for (size_t k = 0; k < v.controls.size(); ++k)
        for (size_t f = 0; f < 5; ++f) Put(b, at + 6 + 10 * k + 2 * f, v.controls[k][f]);
    }
  }
  return b;
}

TEST(LayoutTable, LookupsByScreenModeAndControl) {
  SLayoutTable t;
  EXPECT_FALSE(t.Load(nullptr, 0));
  std::vector<u8> rec =
      Build({{5, {{6, 320, 240, {{1, 10, 20, 30, 40}, {2, 0, 0, 5, 5}, {1, 9, 9, 9, 9}}}, {7, 240, 320, {}}}},
             {5, {{9, 640, 480, {{1, 1, 2, 3, 4}}}}},
             {43, {{9, 640, 480, {{550, 0, 0, 640, 400}}}}}});
  ASSERT_TRUE(t.Load(rec.data(), static_cast<u32>(rec.size())));
  const SLayoutItem* item = t.GetItem(5, 6, 1);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->x, 10);  // the first of two entries with the same control id wins
  EXPECT_EQ(item->h, 40);
  // Mode 7 has no controls: no item, but a size.
  u32 w = 0, h = 0;
  EXPECT_EQ(t.GetItem(5, 7, 1), nullptr);
  EXPECT_TRUE(t.GetSize(5, 7, w, h));
  EXPECT_EQ(w, 240u);
  EXPECT_EQ(h, 320u);
  // The first screen entry lacks mode 9: the walk goes on to the second one with the same id.
  ASSERT_NE(t.GetItem(5, 9, 1), nullptr);
  EXPECT_EQ(t.GetItem(5, 9, 1)->y, 2);
  // Absent mode: outputs untouched.
  w = 77;
  h = 88;
  EXPECT_FALSE(t.GetSize(5, 10, w, h));
  EXPECT_EQ(w, 77u);
  EXPECT_EQ(h, 88u);
  EXPECT_EQ(t.GetItem(5, 10, 1), nullptr);
  // Ids compare as whole values: 65536 + 1 is not control 1; the screen id uses its low 16 bits.
  EXPECT_EQ(t.GetItem(5, 6, 65537), nullptr);
  EXPECT_NE(t.GetItem(65536 + 5, 6, 1), nullptr);
  EXPECT_EQ(t.GetItem(43, 9, 550)->w, 640);
}

TEST(LayoutTable, RecordByDisplayMode) {
  for (i32 m : {8, 11, 14, 15, 16}) EXPECT_EQ(SLayoutTable::RecordForMode(m), 3003u) << m;
  for (i32 m : {6, 7, 9, 10, 12}) EXPECT_EQ(SLayoutTable::RecordForMode(m), 3001u) << m;
}

TEST(LayoutTable, DamagedRecordsOnlyMakeEntriesAbsent) {
  const std::vector<u8> good = Build({{43, {{7, 240, 320, {{550, 0, 0, 240, 200}, {551, 1, 1, 1, 1}}}}}});
  // Every truncation and every single corrupted word must be read safely (the sanitizer build checks).
  for (size_t n = 0; n <= good.size(); ++n) {
    SLayoutTable t;
    t.Load(good.data(), static_cast<u32>(n));
    const SLayoutItem* item = t.GetItem(43, 7, 551);
    if (n == good.size()) {
      ASSERT_NE(item, nullptr);
    } else {
      EXPECT_EQ(item, nullptr) << n;  // the second control ends at the very end
    }
  }
  for (size_t at = 0; at + 1 < good.size(); at += 2) {
    for (u16 v : {0xFFFF, 0x0001, 0x7FFF}) {
      std::vector<u8> bad = good;
      Put(bad, at, v);
      SLayoutTable t;
      t.Load(bad.data(), static_cast<u32>(bad.size()));
      u32 w = 0, h = 0;
      t.GetSize(43, 7, w, h);
      t.GetItem(43, 7, 550);
      t.GetItem(43, 7, 551);
    }
  }
  // An odd offset counts as the even one below it.
  std::vector<u8> odd = good;
  odd[2] |= 1;
  SLayoutTable t;
  t.Load(odd.data(), static_cast<u32>(odd.size()));
  EXPECT_NE(t.GetItem(43, 7, 550), nullptr);
}

TEST(LayoutTable, SampleWorldHasTheViewForEveryMode) {
  const std::string data = DUSKMIRE_DATA_DIR;
  ASSERT_TRUE(std::filesystem::exists(data + "/DuskmireData.pdb")) << "build the sample_world target first";
  SFileStore store(data);
  SDatabase db(&store);
  ASSERT_TRUE(db.Open("DuskmireData"));
  for (i32 mode : {6, 7, 8, 9, 10, 11, 14, 15, 16}) {
    auto rec = db.ReadRecord(static_cast<u16>(SLayoutTable::RecordForMode(mode)));
    ASSERT_NE(rec, nullptr) << mode;
    SLayoutTable t;
    ASSERT_TRUE(t.Load(rec->data, rec->size));
    const SLayoutItem* view = t.GetItem(SLayoutTable::kGameScreen, mode, SLayoutTable::kViewControl);
    ASSERT_NE(view, nullptr) << mode;
    EXPECT_GT(view->w, 0);
    EXPECT_LE(view->w, 800);
  }
}

}  // namespace
