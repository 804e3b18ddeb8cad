// Bitmap fonts: font choice by display mode, shades, fitting, measuring, wrapping and boxed drawing.
#include "Fixtures.h"
#include "ImageEncode.h"
#include "foundation/SString.h"
#include "graphics/SDisplay.h"
#include "graphics/SFont.h"
#include "graphics/SFontTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A solid strip (every pixel value 1, but its first blankRows rows) of the record's minimum width and its
// line height.
SRecordData* SolidStrip(u32 record, int blankRows = 0) {
  const SFontStripInfo* info = FontStripInfo(record);
  const int w = static_cast<int>(FontStripMinWidth(*info)), h = info->lineHeight;
  std::vector<u8> values(static_cast<size_t>(w) * h, 1);
  std::fill(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(blankRows) * w, u8(0));
  std::vector<u8> bytes = imageenc::EncodeIndexed(w, h, values, {0, 0});
  u8* data = new u8[bytes.size()];
  std::memcpy(data, bytes.data(), bytes.size());
  return new SRecordData(data, static_cast<u32>(bytes.size()));
}

struct FontFixture {
  FakeHost host;
  std::vector<u16> pixels;
  SDisplay display;
  SFont font;
  explicit FontFixture(i32 mode, u16 width = 240, u16 height = 320, int blankRows = 0)
      : pixels(static_cast<size_t>(width) * height, 0) {
    host.mode = mode;
    display.SetGameCore(&host);
    display.UseMemory(pixels.data(), width, height);
    SRecordData* strips[3];
    for (int f = 0; f < 3; ++f) strips[f] = SolidStrip(FontRecordFor(f, mode), blankRows);
    EXPECT_TRUE(font.CreateWithStrips(&host, &display, strips));
    for (auto* s : strips) delete s;
    font.Select(1, 0xFFFFFF, 0);
  }
  u16 at(int x, int y) const { return pixels[static_cast<size_t>(y) * display.Width() + x]; }
  // Columns of row y that were drawn.
  std::string Row(int y, int from, int to) const {
    std::string s;
    for (int x = from; x < to; ++x) s += at(x, y) ? '#' : '.';
    return s;
  }
};

TEST(Font, SelectionFollowsTheDisplayMode) {
  struct Case {
    i32 mode;
    u32 record;
    int lineHeight;
  } cases[] = {{7, 3010, 15}, {9, 3014, 26}, {11, 3013, 20}, {8, 3010, 15}, {14, 3014, 26}};
  for (const auto& c : cases) {
    FontFixture f(c.mode);
    f.font.Select(1, 0xFFFFFF, 0);
    EXPECT_EQ(f.font.Current()->recordId, c.record) << c.mode;
    EXPECT_EQ(f.font.LineHeight(), c.lineHeight) << c.mode;
  }
  FontFixture f(7);
  f.font.Select(0, 0xFFFFFF, 0);
  EXPECT_EQ(f.font.Current()->recordId, 3011u);
  // An unlisted code is 5 wide from column 0; small-number and coin glyphs come from the table.
  EXPECT_EQ(f.font.GlyphWidth(1), 5);
  EXPECT_EQ(f.font.Current()->start[1], 0);
  f.font.Select(1, 0xFFFFFF, 0);
  EXPECT_EQ(f.font.GlyphWidth(14), 6);
  EXPECT_EQ(f.font.Current()->start[14], 804);
  EXPECT_EQ(f.font.GlyphWidth(9), 8);
}

TEST(Font, ShadesRunFromTextTowardEdgeColour) {
  FontFixture f(7);
  f.font.Select(1, 0xFFFFFF, 0x000000);
  EXPECT_EQ(f.font.TextRecord().shade1, 0xFFFF);
  EXPECT_EQ(f.font.TextRecord().shade2, 0xAD75);
  EXPECT_EQ(f.font.TextRecord().shade3, 0x52AA);
  f.font.Select(1, 0x0000FF, 0xFFFFFF);  // red toward white
  EXPECT_EQ(f.font.TextRecord().shade1, 0xF800);
  f.font.Select(2, 0xFFFFFF, 0x000000);  // back to a cached pair
  EXPECT_EQ(f.font.TextRecord().shade2, 0xAD75);
}

TEST(Font, FittingStopsAtBlanksAndBreaks) {
  FontFixture f(7);  // font 1 of the small screens: a, b, c, d are 6 wide, the blank 2 (advances 7 and 3)
  i32 width = -1, stop = -1;
  // "ab" and the blank stay below 20; with "c" they reach it: the line ends at the blank.
  EXPECT_EQ(f.font.FitText("ab cd", 0, 20, &width, true, &stop), 2);
  EXPECT_EQ(width, 14);
  EXPECT_EQ(stop, 0);
  // Without wrap the line ends at the glyph that did not fit, whose advance is still counted.
  EXPECT_EQ(f.font.FitText("ab cd", 0, 20, &width, false, &stop), 3);
  EXPECT_EQ(width, 24);
  EXPECT_EQ(f.font.FitText("ab\ncd", 0, 100, &width, true, &stop), 2);
  EXPECT_EQ(stop, 1);
  EXPECT_EQ(f.font.FitText("ab\rcd", 0, 100, &width, true, &stop), 2);
  EXPECT_EQ(stop, 0);
  // A word longer than the box with no blank: the rest of the text is one line (never broken inside).
  EXPECT_EQ(f.font.FitText("abcdabcd x", 0, 15, &width, true, &stop), 10);
  EXPECT_EQ(width, 7);
  EXPECT_EQ(f.font.FitText("abc", 5, 15, &width, true, &stop), 5);
  EXPECT_EQ(f.font.TextWidth("abcd"), 28);
}

TEST(Font, MeasuringAndWrapping) {
  FontFixture f(7);
  i32 widest = 0, lines = 0;
  f.font.MeasureText("word\r\rword", 200, &widest, &lines);
  EXPECT_EQ(lines, 3);  // the empty middle line counts
  EXPECT_EQ(widest, f.font.TextWidth("word") + 1);
  f.font.MeasureText("ab\ncd", 200, &widest, &lines);
  EXPECT_EQ(lines, 1);  // "\n" ends the text after the line it closes
  f.font.MeasureText("\nab", 200, &widest, &lines);
  EXPECT_EQ(lines, 2);  // a "\n" that opens a line only adds an empty line
  f.font.MeasureText(nullptr, 200, &widest, &lines);
  EXPECT_EQ(lines, 0);

  SString out;
  f.font.WrapText("ab cd\rab", 20, out);
  EXPECT_STREQ(out.CStr(), "ab\rcd\rab\r");
}

TEST(Font, DrawingInABox) {
  FontFixture f(7);
  // Two lines, 15 pixels apart; glyphs with one blank column between them.
  EXPECT_EQ(f.font.DrawText(10, 5, 200, 100, "ab\rcd", 0), 2);
  EXPECT_EQ(f.Row(5, 8, 26), "..######.######...");
  EXPECT_EQ(f.Row(20, 8, 26), "..######.######...");
  EXPECT_EQ(f.at(10, 35), 0);

  // Single-line flag: only the first line, count 1.
  FontFixture g(7);
  EXPECT_EQ(g.font.DrawText(0, 0, 200, 100, "ab\rcd", 1), 1);
  EXPECT_EQ(g.at(0, 15), 0);
  // "\n" stops drawing but counts the line it kept from being drawn.
  FontFixture h(7);
  EXPECT_EQ(h.font.DrawText(0, 0, 200, 100, "ab\ncd\rab", 0), 2);
  EXPECT_EQ(h.at(0, 15), 0);
  // The box: a line may reach 3 pixels below it, no further.
  FontFixture b(7);
  EXPECT_EQ(b.font.DrawText(0, 0, 200, 27, "a\ra\ra", 0), 3);
  EXPECT_NE(b.at(0, 15), 0);
  EXPECT_EQ(b.at(0, 30), 0);
  // Centred and right-aligned.
  FontFixture c(7);
  c.font.DrawText(0, 0, 30, 50, "a", 4);
  EXPECT_EQ(c.Row(0, 0, 30), "...........######.............");
  c.font.DrawText(0, 20, 30, 50, "a", 2);
  EXPECT_EQ(c.Row(20, 20, 30), "...######.");
}

TEST(Font, AnOverlongLineIsCutAndClippedToTheScreen) {
  FontFixture f(7, 64, 32);
  // No blank anywhere: the whole rest of the text becomes one line far wider than the screen and the
  // 1,000-byte line buffer. It is drawn up to the screen's edge and nothing beyond it is touched.
  std::string text(3000, 'a');
  EXPECT_EQ(f.font.DrawText(-5, 20, 50, 40, text.c_str(), 0), 1);
  EXPECT_EQ(f.Row(20, 0, 8), "#.######");
  EXPECT_NE(f.at(63, 31), 0);  // the strip rows below the screen edge are cut
  // The blank comes after the break point: still one line, longer than the line buffer.
  EXPECT_EQ(f.font.DrawText(0, 0, 2500, 40, (std::string(1500, 'b') + " c").c_str(), 0), 1);
}

TEST(Font, AnObserverHearsWhereEachTextLandedAndWhatWasLeftOut) {
  struct Heard : STextObserver {
    std::vector<STextDrawn> all;
    void OnText(const STextDrawn& d) override { all.push_back(d); }
  };
  // Glyphs of mode 7's solid strip: "a" to "d" 6 pixels wide, a blank column between two, lines 15 high; the
  // glyphs' pixels start two rows down their cells.
  struct Case {
    const char* text;
    u32 flags;
    i32 x2, y2;
    i32 lines, left, right, bottom;
    bool cut;
  } cases[] = {
      {"ab", 0, 200, 100, 1, 10, 23, 20, false},     {"ab", 4, 40, 100, 1, 18, 31, 20, false},  // centred in 10..40
      {"ab cd", 1, 30, 100, 1, 10, 26, 20, true},     // one line: the box ends after the blank
      {"ab\rcd", 1, 200, 100, 1, 10, 23, 20, true},   // one line: the second is left out
      {"ab\ncd", 0, 200, 100, 1, 10, 23, 20, false},  // "\n" ends the text on purpose
      {"ab cd", 0, 30, 100, 2, 10, 23, 35, false},    // wrapped at the blank, the box tall enough
      {"a\ra\ra", 0, 200, 32, 2, 10, 16, 35, true},   // the third line would leave the box
      {"aaaaaa", 0, 30, 100, 1, 10, 51, 20, false},   // no blank: one line wider than the box
  };
  for (const Case& c : cases) {
    FontFixture f(7, 240, 320, 2);
    Heard heard;
    f.font.SetObserver(&heard);
    f.font.Select(1, 0x0000FF, 0x161616);
    f.font.DrawText(10, 5, c.x2, c.y2, c.text, c.flags);
    ASSERT_EQ(heard.all.size(), 1u) << c.text;
    const STextDrawn& d = heard.all[0];
    EXPECT_STREQ(d.text, c.text);
    EXPECT_EQ(d.x1, 10);
    EXPECT_EQ(d.y1, 5);
    EXPECT_EQ(d.x2, c.x2);
    EXPECT_EQ(d.y2, c.y2);
    EXPECT_EQ(d.lines, c.lines) << c.text;
    EXPECT_EQ(d.left, c.left) << c.text;
    EXPECT_EQ(d.right, c.right) << c.text;
    EXPECT_EQ(d.top, 5) << c.text;
    EXPECT_EQ(d.bottom, c.bottom) << c.text;
    EXPECT_EQ(d.cut, c.cut) << c.text;
    EXPECT_EQ(d.lineHeight, 15);
    EXPECT_EQ(d.textColour, 0x0000FFu);
    EXPECT_EQ(d.edgeColour, 0x161616u);
    EXPECT_EQ(d.shade, f.font.Shade(0));
    // Where the glyphs' pixels lie is where the display got them.
    i32 x0 = 9999, y0 = 9999, x1 = 0, y1 = 0;
    for (i32 y = 0; y < 320; ++y)
      for (i32 x = 0; x < 240; ++x)
        if (f.at(x, y)) x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x + 1), y1 = std::max(y1, y + 1);
    EXPECT_EQ(std::vector<i32>({d.inkLeft, d.inkTop, d.inkRight, d.inkBottom}), std::vector<i32>({x0, y0, x1, y1}))
        << c.text;
    // Detached, the font says nothing.
    f.font.SetObserver(nullptr);
    f.font.DrawText(10, 5, c.x2, c.y2, c.text, c.flags);
    EXPECT_EQ(heard.all.size(), 1u);
  }
}

TEST(Font, StripsAreCheckedWhenLoaded) {
  FakeHost host;
  SFont font;
  // A strip using value 7 needs a palette with at least 8 entries; values up to 3 need none.
  std::vector<u8> good = imageenc::EncodeIndexed(2, 1, {3, 7}, std::vector<u16>(8, 0));
  std::vector<u8> bad = imageenc::EncodeIndexed(2, 1, {3, 7}, std::vector<u16>(7, 0));
  std::vector<u8> blocks = {1, 0, 2, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  Record g(good), b(bad), k(blocks);
  EXPECT_NE(SFont::CheckStrip(g.data(), g.size), nullptr);
  EXPECT_EQ(SFont::CheckStrip(b.data(), b.size), nullptr);
  EXPECT_EQ(SFont::CheckStrip(k.data(), k.size), nullptr);  // not format 0
  SRecordData* strips[3] = {SolidStrip(3011), nullptr, SolidStrip(3012)};
  EXPECT_FALSE(font.CreateWithStrips(&host, nullptr, strips));
  EXPECT_FALSE(font.IsUsable());
  delete strips[0];
  delete strips[2];
}

}  // namespace
