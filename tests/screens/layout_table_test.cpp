// The sample world's screen layouts: every screen of the game has a variant for every display mode a
// device runs, holding every control its screen or dialog places, inside the screen (a panel open at its edge
// running past it by a frame's side at most).
#include "core/SLayoutTable.h"
#include "foundation/SDatabase.h"
#include "platform/hal/DisplayModes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace {

// ids a..b
std::vector<u16> Span(u16 first, u16 last) {
  std::vector<u16> out;
  for (u32 id = first; id <= last; ++id) out.push_back(u16(id));
  return out;
}

std::vector<u16> Join(std::initializer_list<std::vector<u16>> parts) {
  std::vector<u16> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// A screen's controls; a layout may leave out a frame where the screen has no room for its line, and may let a
// filled panel open at the screen's edge run past it by the side it does not draw, so that its fill reaches the
// edge (the pack's gold panel).
struct Screen {
  u16 id;
  std::vector<u16> controls;
  std::vector<std::pair<i32, u16>> absent = {};  // (mode, control)
  std::vector<u16> open = {};
};

// How far a panel open at the screen's edge may run past it: the widest side of a frame set.
constexpr u32 kOpenSide = 8;

std::vector<Screen> Screens() {
  const std::vector<u16> inventory = Join({{19, 293, 294, 22, 324, 329, 330}, Span(325, 328)});
  const std::vector<u16> sheet = Join({inventory, {357, 36, 358, 355, 356, 360, 361, 363, 364, 362, 359}});
  std::vector<u16> skillRows, mainRows;
  for (u16 k = 0; k < 6; ++k) skillRows.insert(skillRows.end(), {u16(412 + 2 * k), u16(413 + 2 * k), u16(454 + k)});
  for (u16 k = 0; k < 14; ++k) skillRows.insert(skillRows.end(), {u16(424 + 2 * k), u16(425 + 2 * k), u16(460 + k)});
  std::vector<u16> keyRows = Join({Span(623, 654), {152, 655, 656, 657, 658}});
  std::vector<u16> worldRows =
      Join({Span(666, 672), Span(674, 680), Span(682, 688), Span(690, 696), Span(699, 705), Span(706, 720)});
  return {
      {1, {19, 6, 2, 3, 4, 7, 5, 1}},
      {2, {8, 9}},
      {3, {10, 11, 12, 13, 14, 15}},
      {4, {19, 16, 20, 21, 22, 17, 18}},
      {5, {19, 23, 31, 27, 28, 29, 30, 32, 24, 33, 34, 25, 26}},
      {6, {19, 35, 36, 37, 38, 25, 26}},
      {7, {19, 39, 40, 41, 42, 43}},
      {8, {44, 45, 52, 46, 47, 51, 49, 50, 48}},
      {9, Join({{19, 16, 55, 54, 53, 56, 25, 26}, Span(57, 62)})},
      {10, Join({{19, 16, 83, 85, 84, 25, 26}, Span(63, 82)})},
      {11, Join({{19, 16, 94, 95, 26}, Span(86, 93), Span(96, 99)})},
      {12, {19, 16, 100, 105, 101, 102, 106, 103, 104}},
      {13, {560, 107, 561, 40, 25}},
      {14, Join({{19, 108, 109, 110, 120, 128, 129, 130, 131, 132, 133}, Span(111, 119), Span(121, 127)})},
      {15, {19, 16, 134, 135, 136, 137, 138, 25, 26}},
      {16, Join({{19,  551, 552, 553, 558, 559, 16,  139, 155, 140, 141, 145, 146, 147,
                  142, 143, 144, 148, 149, 153, 154, 150, 152, 151, 156, 25,  26},
                 Span(57, 62)})},
      {17, Join({{19, 196, 199, 40, 25, 26, 197, 198}, Span(157, 192)})},
      {18, {19, 16, 205, 201, 200, 202, 203, 204, 206, 25, 26}},
      {19, Join({{207, 220, 215, 216, 217, 218, 219}, Span(208, 214)})},
      {20, {221, 16, 226, 222, 223, 224, 225}},
      {21, {19, 229, 228, 227, 230}},
      {22, {19, 16, 233, 234, 235, 231, 232}},
      {23, Join({{19, 16, 236, 215, 241, 242, 237, 251, 239, 238, 252, 240, 253, 254, 25, 26}, Span(243, 250)})},
      {24, Join({{19, 16, 25, 26}, Span(247, 250), Span(255, 272)})},
      {25, {19, 568, 16, 273, 274, 275, 276, 277, 278, 25, 279}},
      {26, {19, 567, 568, 16, 280, 277, 249, 250, 284, 285, 286, 22, 255, 257, 281, 282, 283, 25, 26}},
      {27, {19, 16, 277, 287, 25, 26}},
      {28, {19, 293, 554, 292, 288, 289, 290, 291}},
      {29, {19, 23, 32, 24, 33, 34, 25, 26, 22, 294}},
      {30, Join({{19, 293, 555, 295, 292, 288, 289, 132, 110}, Span(296, 301)})},
      {31, {19, 302, 40, 303, 304, 25}},
      {32, {19, 302, 40, 303, 304, 25}},
      {33,
       Join({inventory, {557, 305, 562, 274, 308, 322, 323, 321, 331, 332, 320, 319, 306, 307, 309}, Span(310, 318)}),
       {},
       {294}},
      {34, Join({inventory, Span(333, 348)}), {}, {294}},
      {35, Join({inventory, {349, 566, 350, 215, 216, 217, 351, 352, 241, 242, 207, 353}, Span(208, 214)}), {}, {294}},
      {36,
       Join({sheet, {142, 143, 400, 563, 401, 410, 411, 557}, Span(365, 399), Span(402, 409)}),
       {{10, 557}, {8, 400}},
       {294}},
      {37, Join({sheet, {564, 565, 452, 453, 474, 557}, skillRows}), {{10, 557}}, {294}},
      {38, Join({{19, 476, 497, 493, 494, 226, 25, 26}, Span(477, 492)})},
      {39, Join({sheet, Span(498, 510), {557}}), {{10, 557}}, {294}},
      {40, Join({sheet, Span(511, 519), {557}}), {{10, 557}}, {294}},
      {41, Join({sheet, Span(520, 528), {557}}), {{10, 557}}, {294}},
      {42, {19, 293, 305, 562, 292, 288, 289, 274, 322, 320, 319, 531, 529, 530, 532, 533, 294, 22}},
      {43, Join({{550, 534, 721, 535, 36, 544, 545, 549, 548}, Span(536, 543), Span(546, 547)})},
      {46,
       Join(
           {{16, 595, 606, 619, 620, 621, 659, 660, 661, 662, 663, 622, 25}, Span(596, 605), Span(607, 618), keyRows})},
      {47, Join({{16, 664, 139, 673, 681, 689, 697, 698, 665, 25}, worldRows})},
  };
}

}  // namespace

TEST(Layouts, EveryScreenHasEveryControlOnEveryDeviceMode) {
  SFileStore files(DUSKMIRE_DATA_DIR);
  SDatabase data(&files);
  ASSERT_TRUE(data.Open("DuskmireData"));
  SLayoutTable tables[2];
  for (u32 i = 0; i < 2; ++i) {
    std::unique_ptr<SRecordData> record =
        data.ReadRecord(u16(i ? SLayoutTable::kRecordWide : SLayoutTable::kRecordSmall));
    ASSERT_TRUE(record);
    ASSERT_TRUE(tables[i].Load(record->data, record->size));
  }
  std::set<i32> modes;
  for (const Hal::DisplayModeRow& row : Hal::DisplayModeRows())
    if (row.screenWidth) modes.insert(row.mode);
  ASSERT_EQ(modes, (std::set<i32>{6, 7, 8, 9, 10, 11, 14, 15, 16}));
  for (const Screen& screen : Screens()) {
    for (i32 mode : modes) {
      const SLayoutTable& table = tables[SLayoutTable::RecordForMode(mode) == SLayoutTable::kRecordWide ? 1 : 0];
      u32 w = 0, h = 0;
      ASSERT_TRUE(table.GetSize(screen.id, mode, w, h)) << "screen " << screen.id << " mode " << mode;
      const Hal::DisplayModeRow* row = Hal::FindDisplayMode(mode);
      const u32 screenW = row->width ? row->width : row->screenWidth,
                screenH = row->height ? row->height : row->usedHeight;
      EXPECT_LE(w, screenW) << "screen " << screen.id << " mode " << mode;
      EXPECT_LE(h, screenH) << "screen " << screen.id << " mode " << mode;
      for (u16 id : screen.controls) {
        const bool absent = std::count(screen.absent.begin(), screen.absent.end(), std::pair<i32, u16>(mode, id));
        const SLayoutItem* item = table.GetItem(screen.id, mode, id);
        EXPECT_EQ(item == nullptr, absent) << "screen " << screen.id << " mode " << mode << " control " << id;
        if (!item) continue;
        const u32 past = std::count(screen.open.begin(), screen.open.end(), id) ? kOpenSide : 0;
        EXPECT_LT(item->x, w) << "screen " << screen.id << " mode " << mode << " control " << id;
        EXPECT_LT(item->y, h) << "screen " << screen.id << " mode " << mode << " control " << id;
        EXPECT_LE(item->x + item->w, w + past) << "screen " << screen.id << " mode " << mode << " control " << id;
        EXPECT_LE(item->y + item->h, h + past) << "screen " << screen.id << " mode " << mode << " control " << id;
      }
    }
  }
}
