// Icon shrinking of 50 x 50 pictures to 40, 30 and 20 pixels, and the view thumbnail.
#include "Fixtures.h"
#include "ImageEncode.h"
#include "graphics/SDraw2D.h"

#include <gtest/gtest.h>

namespace {

using ShrinkFn = void (*)(const SSurface&, i32, i32, const u8*, const u16*, i32);
struct Size {
  int n;
  ShrinkFn fn;
};
const Size kSizes[] = {{40, SDraw2D::ShrinkIcon40}, {30, SDraw2D::ShrinkIcon30}, {20, SDraw2D::ShrinkIcon20}};

TEST(Icons, UniformPictureKeepsItsColourAtEverySizeAndFormat) {
  const imageenc::Picture pic(50, 50, 0x8A52);
  for (int format = 0; format < 3; ++format) {
    Record r(imageenc::Encode(pic, format));
    for (const auto& size : kSizes) {
      Screen s(size.n + 2, size.n + 2, static_cast<u32>(format), 0);
      size.fn(s.surface, 1, 1, r.image()->Pixels(), r.image()->GetPalette(), format);
      for (int y = 0; y < size.n + 2; ++y)
        for (int x = 0; x < size.n + 2; ++x) {
          const bool inside = x >= 1 && y >= 1 && x <= size.n && y <= size.n;
          ASSERT_EQ(s.at(x, y), inside ? 0x8A52 : 0) << size.n << " format " << format << " " << x << "," << y;
        }
    }
  }
}

TEST(Icons, BoxFilterWeightsOfOneRedPixel) {
  // Only one source pixel is red (31): each destination pixel gets 31 x wx x wy / 25, truncated.
  struct Expect {
    int n, sx;
    std::vector<int> reds;  // first destination row of the first block
  } expects[] = {
      {40, 0, {31 * 16 / 25, 0, 0, 0}},            // (16 p00 + 4 p01 + 4 p10 + p11) / 25
      {40, 1, {31 * 4 / 25, 31 * 12 / 25, 0, 0}},  // source column 1 weighs 1 and 3 across, 4 down
      {30, 1, {31 * 6 / 25, 31 * 3 / 25, 0}},     {30, 2, {0, 31 * 9 / 25, 0}}, {20, 2, {31 * 2 / 25, 31 * 2 / 25}},
  };
  for (const auto& e : expects) {
    imageenc::Picture pic(50, 50, 0);
    pic.at(e.sx, 0) = 0xF800;
    Record r(imageenc::Encode(pic, 0));
    const Size* size = e.n == 40 ? &kSizes[0] : e.n == 30 ? &kSizes[1] : &kSizes[2];
    Screen s(e.n, e.n, 0, 0);
    size->fn(s.surface, 0, 0, r.image()->Pixels(), r.image()->GetPalette(), 0);
    for (int i = 0; i < static_cast<int>(e.reds.size()); ++i) {
      EXPECT_EQ(s.at(i, 0) >> 11, e.reds[i]) << e.n << " source " << e.sx << " destination " << i;
      EXPECT_EQ(s.at(i, 0) & 0x07FF, 0);  // green and blue stay 0
    }
    for (int y = 1; y < e.n; ++y)
      for (int x = 0; x < e.n; ++x)
        ASSERT_EQ(s.at(x, y), 0) << e.n << " " << x << "," << y;  // no weight on source row 0
  }
}

TEST(Icons, ExactPixelsOfAStripedPicture) {
  // Columns alternate between blue 31 and 0 in the first block: at 40 pixels destination i of the row
  // weights the source columns 4,1 / 3,2 / 2,3 / 1,4, all rows alike: blue = 5 x (weights on even columns).
  imageenc::Picture pic(50, 50, 0);
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 50; x += 2) pic.at(x, y) = 0x001F;
  Record r(imageenc::Encode(pic, 1));
  Screen s(40, 40, 2, 0);
  SDraw2D::ShrinkIcon40(s.surface, 0, 0, r.image()->Pixels(), r.image()->GetPalette(), 1);
  // Even source columns 0, 2, 4 within each block of 5 (block 0 starts at column 0).
  const int want[4] = {31 * 5 * 4 / 25, 31 * 5 * 2 / 25, 31 * 5 * 2 / 25, 31 * 5 * 4 / 25};
  for (int i = 0; i < 4; ++i)
    for (int y = 0; y < 4; ++y) EXPECT_EQ(s.at(i, y), want[i]) << i << "," << y;
}

TEST(Icons, PicturesOfOtherSizesAreReadWithTheirOwnStride) {
  // 20 x 10 with a colour per 5 x 5 block: at 40 pixels each block becomes a 4 x 4 square of its colour,
  // and nothing is drawn beyond the 16 x 8 icon. 48 x 48 repeats its edge into the last blocks.
  const u16 colours[2][4] = {{0x1111, 0x2222, 0x3333, 0x4444}, {0x5555, 0x6666, 0x7777, 0x0841}};
  imageenc::Picture pic(20, 10, 0);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) pic.at(x, y) = colours[y / 5][x / 5];
  for (int format = 0; format < 3; ++format) {
    Record r(imageenc::Encode(pic, format));
    Screen s(24, 12, 0, 0xABCD);
    SDraw2D::ShrinkIcon40(s.surface, 0, 0, r.image()->Pixels(), r.image()->GetPalette(), 20, 10, format);
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 24; ++x)
        ASSERT_EQ(s.at(x, y), (x < 16 && y < 8) ? colours[y / 4][x / 4] : 0xABCD) << format << " " << x << "," << y;
  }
  Record big(imageenc::Encode(imageenc::Picture(48, 48, 0x3A5C), 0));
  Screen s(40, 40, 0, 0);
  SDraw2D::ShrinkIcon20(s.surface, 0, 0, big.image()->Pixels(), big.image()->GetPalette(), 48, 48, 0);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(s.at(x, y), 0x3A5C) << x << "," << y;
  EXPECT_EQ(s.at(20, 0), 0);
}

TEST(Thumbnail, LetterBoxesTheViewInBlack) {
  // 380 x 320: width 59, 10 black columns left and 11 right.
  std::vector<u16> view(380 * 320, 0x1234), thumb(80 * 50, 0xEEEE);
  SDraw2D::MakeViewThumbnail(thumb.data(), view.data(), 380, 380, 320);
  for (int y = 0; y < 50; ++y) {
    for (int x = 0; x < 80; ++x) ASSERT_EQ(thumb[y * 80 + x], (x < 10 || x >= 69) ? 0 : 0x1234) << x << "," << y;
  }
  // 480 x 240: height 40, 5 black rows above and below.
  std::vector<u16> wide(480 * 240, 0x4321);
  SDraw2D::MakeViewThumbnail(thumb.data(), wide.data(), 480, 480, 240);
  for (int y = 0; y < 50; ++y) EXPECT_EQ(thumb[y * 80 + 40], (y < 5 || y >= 45) ? 0 : 0x4321) << y;
}

TEST(Thumbnail, ScalesByNearestPixelWithoutHalfStep) {
  std::vector<u16> src(8 * 4);
  for (int i = 0; i < 32; ++i) src[i] = static_cast<u16>(i);
  std::vector<u16> out(80 * 2, 0xFFFF);
  SDraw2D::ScaleToThumbnail(src.data(), 8, 8, 4, 0, out.data(), 4, 2);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[1], 2);
  EXPECT_EQ(out[3], 6);
  EXPECT_EQ(out[80], 16);
  EXPECT_EQ(out[4], 0xFFFF);
}

}  // namespace
