// 2D blits and fills: exact pixels in small fixtures, on surfaces of every orientation.
#include "Fixtures.h"
#include "ImageEncode.h"
#include "graphics/SDraw2D.h"

#include <gtest/gtest.h>

namespace {

constexpr u16 kBg = 0x1111;

// A picture whose every pixel tells its own coordinates (never the key colour).
imageenc::Picture Numbered(int w, int h) {
  imageenc::Picture p(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.at(x, y) = static_cast<u16>(0x100 + y * 32 + x);
  return p;
}

struct Encoded {
  Record record;
  SBlitSource src;
  Encoded(const imageenc::Picture& p, int format) : record(imageenc::Encode(p, format)) {
    EXPECT_NE(record.image(), nullptr);
    src = SBlitSource::Of(record.image());
  }
};

class BlitOrientations : public ::testing::TestWithParam<u32> {};

TEST_P(BlitOrientations, OpaqueBlitCopiesTheSourceRectangleInEveryFormat) {
  const imageenc::Picture pic = Numbered(6, 4);
  for (int format = 0; format < 3; ++format) {
    Encoded e(pic, format);
    Screen s(10, 8, GetParam(), kBg);
    SDraw2D::Blit(s.surface, 3, 2, e.src, 1, 1, 4, 3);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 10; ++x) {
        const bool inside = x >= 3 && x < 7 && y >= 2 && y < 5;
        const u16 want = inside ? pic.at(x - 3 + 1, y - 2 + 1) : kBg;
        ASSERT_EQ(s.at(x, y), want) << "format " << format << " at " << x << "," << y;
      }
  }
}

TEST_P(BlitOrientations, MirroredKeyedAndScaled) {
  imageenc::Picture pic = Numbered(4, 2);
  pic.at(0, 0) = kColorKey565;
  Encoded e(pic, 0);
  Screen s(8, 4, GetParam(), kBg);
  SDraw2D::BlitMirroredKeyed(s.surface, 1, 1, e.src, 4, 2);
  EXPECT_EQ(s.at(1, 1), pic.at(3, 0));
  EXPECT_EQ(s.at(3, 2), pic.at(1, 1));
  EXPECT_EQ(s.at(4, 1), kBg);  // source (0, 0) is the key colour

  // A 10-pixel row scaled to 20 repeats every source pixel twice (step 0x8000, first sample 0x4000).
  Encoded row(Numbered(10, 1), 0);
  Screen wide(20, 2, GetParam(), kBg);
  SDraw2D::BlitScaled(wide.surface, 0, 0, row.src, 10, 1, 20, 2);
  for (int x = 0; x < 20; ++x) {
    EXPECT_EQ(wide.at(x, 0), static_cast<u16>(0x100 + x / 2));
    EXPECT_EQ(wide.at(x, 1), static_cast<u16>(0x100 + x / 2));
  }
}

TEST_P(BlitOrientations, FillCoversExactlyItsRectangle) {
  // An odd size, so that rows start at every alignment; rectangles short and long against the wide stores,
  // whole screens and whole memory rows, and ones cut by the edges.
  struct Rect {
    i32 x, y, w, h;
  } rects[] = {{0, 0, 37, 29}, {0, 4, 37, 9}, {2, 0, 5, 29},   {1, 2, 1, 1},    {3, 1, 17, 5},
               {5, 7, 32, 3},  {2, 3, 9, 26}, {-4, -3, 12, 8}, {30, 20, 20, 20}};
  for (u16 colour : {0x2222, 0x1234, 0x00FF}) {
    for (const Rect& r : rects) {
      SCOPED_TRACE(testing::Message() << colour << " at " << r.x << "," << r.y << " " << r.w << "x" << r.h);
      Screen s(37, 29, GetParam(), kBg);
      SDraw2D::FillRect(s.surface, r.x, r.y, r.w, r.h, colour);
      int wrong = 0;
      for (int y = 0; y < 29; ++y)
        for (int x = 0; x < 37; ++x) {
          const bool inside = x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h;
          wrong += s.at(x, y) != (inside ? colour : kBg);
        }
      EXPECT_EQ(wrong, 0);
    }
  }
}

TEST_P(BlitOrientations, TilesRepeatFromTheAreaCornerAndClip) {
  // A 6 x 4 picture (even, for the block formats) tiled over areas that start off the surface, end inside
  // a tile, or lie wholly outside; keyed tiles leave the key colour's pixels alone.
  imageenc::Picture pic = Numbered(6, 4);
  pic.at(1, 0) = kColorKey565;
  struct Area {
    i32 x, y, w, h;
  } areas[] = {{0, 0, 17, 11}, {-5, -3, 20, 9}, {2, 1, 3, 2}, {4, 2, 40, 40}, {17, 0, 5, 5}, {3, 3, -6, 4}};
  for (int format = 0; format < 3; ++format) {
    Encoded e(pic, format);
    for (bool keyed : {false, true})
      for (const Area& a : areas) {
        SCOPED_TRACE(testing::Message() << "format " << format << " keyed " << keyed << " at " << a.x << "," << a.y
                                        << " " << a.w << "x" << a.h);
        Screen s(17, 11, GetParam(), kBg);
        SDraw2D::TileImage(s.surface, a.x, a.y, e.src, a.w, a.h, keyed);
        int wrong = 0;
        for (int y = 0; y < 11; ++y)
          for (int x = 0; x < 17; ++x) {
            const bool inside = x >= a.x && x < a.x + a.w && y >= a.y && y < a.y + a.h;
            u16 want = inside ? pic.at((x - a.x) % 6, (y - a.y) % 4) : kBg;
            if (keyed && want == kColorKey565) want = kBg;
            wrong += s.at(x, y) != want;
          }
        EXPECT_EQ(wrong, 0);
      }
  }
}

INSTANTIATE_TEST_SUITE_P(Orientations, BlitOrientations, ::testing::Values(0u, 1u, 2u));

TEST(Blit, KeyedBlitClipsAtTheTop) {
  Encoded e(Numbered(2, 10), 0);
  Screen s(4, 12, 0, kBg);
  SDraw2D::BlitKeyed(s.surface, 0, -3, e.src, 0, 0, 2, 10);
  for (int y = 0; y < 7; ++y) EXPECT_EQ(s.at(0, y), static_cast<u16>(0x100 + (y + 3) * 32)) << y;
  EXPECT_EQ(s.at(0, 7), kBg);
  Screen untouched(4, 12, 0, kBg);
  SDraw2D::BlitKeyed(untouched.surface, 0, -10, e.src, 0, 0, 2, 10);
  for (u16 v : untouched.memory) ASSERT_EQ(v, kBg);
}

TEST(Blit, BlockZeroIsTransparentOnlyWhenKeyed) {
  // Format 1, one block with index 0 whose codebook entry holds opaque colours.
  std::vector<u8> bytes = {1, 0, 2, 0, 2, 0, 0, 0, 0, 0};
  for (u16 c : {0x0001, 0x0002, 0x0003, 0x0004}) {
    bytes.push_back(static_cast<u8>(c));
    bytes.push_back(0);
  }
  Record r(bytes);
  ASSERT_NE(r.image(), nullptr);
  SBlitSource src = SBlitSource::Of(r.image());
  Screen keyed(2, 2, 0, kBg), opaque(2, 2, 0, kBg);
  SDraw2D::BlitKeyed(keyed.surface, 0, 0, src, 0, 0, 2, 2);
  SDraw2D::Blit(opaque.surface, 0, 0, src, 0, 0, 2, 2);
  EXPECT_EQ(keyed.memory, std::vector<u16>(4, kBg));
  EXPECT_EQ(opaque.memory, (std::vector<u16>{1, 2, 3, 4}));
}

TEST(Blit, HalfBlendAveragesPerChannel) {
  Encoded white(imageenc::Picture(3, 2, 0xFFFF - 0x20), 0);  // 0xFFDF: white with green one step down
  Screen s(3, 2, 1, 0x0000);
  SDraw2D::BlitHalfBlend(s.surface, 0, 0, white.src, 0, 3, 2);
  EXPECT_EQ(s.at(2, 1), Blend565Half(0xFFDF, 0));
  imageenc::Picture key(1, 1, 0xFFFF);
  Record rec(imageenc::EncodeIndexed(1, 1, {0}, {0xFFFF}));
  Screen b(1, 1, 0, 0x0000);
  SDraw2D::BlitHalfBlend(b.surface, 0, 0, SBlitSource::Of(rec.image()), 0, 1, 1);
  EXPECT_EQ(b.at(0, 0), 0x7BEF);  // the key colour is blended like any other
}

TEST(Blit, RawCopyStaysInsideItsSource) {
  const std::vector<u16> raw = {1, 2, 3, 4, 5, 6};  // 3 x 2
  Screen s(4, 4, 2, kBg);
  SDraw2D::BlitRaw16(s.surface, 0, 0, raw.data(), 3, 2, 1, 0, 10, 10);
  EXPECT_EQ(s.at(0, 0), 2);
  EXPECT_EQ(s.at(1, 1), 6);
  EXPECT_EQ(s.at(2, 0), kBg);
  EXPECT_EQ(s.at(0, 2), kBg);
}

TEST(Blit, GlyphsUseShadesForValuesOneToThree) {
  // Strip of 4 columns: values 0, 1, 2, 9; the palette holds other colours at 1 and 2.
  std::vector<u16> palette(10, 0x5555);
  Record strip(imageenc::EncodeIndexed(4, 1, {0, 1, 2, 9}, palette));
  const SImage* img = strip.image();
  Screen s(4, 1, 0, kBg);
  SDraw2D::BlitGlyph(s.surface, 0, 0, img->Pixels(), 4, 0, img->GetPalette(), 4, 1, 0xAAAA, 0xBBBB, 0xCCCC);
  EXPECT_EQ(s.memory, (std::vector<u16>{kBg, 0xAAAA, 0xBBBB, 0x5555}));
}

TEST(Blit, EveryOperationStaysOnTheSurface) {
  // Rectangles hanging over every edge: only the visible part is drawn, nothing outside is written (the
  // sanitizer build checks the memory), and the source is never read past the image.
  Encoded e(Numbered(6, 6), 2);
  std::vector<u8> icon = imageenc::Encode(imageenc::MakeNoise(50, 50, 0x8410, 20, 3), 0);
  Record iconRec(icon);
  for (u32 o = 0; o < 3; ++o) {
    Screen s(16, 12, o, kBg);
    for (int x : {-20, -3, 0, 13, 40}) {
      for (int y : {-20, -3, 0, 9, 40}) {
        SDraw2D::Blit(s.surface, x, y, e.src, -2, 1, 9, 9);
        SDraw2D::BlitKeyed(s.surface, x, y, e.src, 0, 0, 6, 6);
        SDraw2D::BlitMirroredKeyed(s.surface, x, y, e.src, 60, 60);
        SDraw2D::BlitHalfBlend(s.surface, x, y, e.src, 0, 6, 6);
        SDraw2D::BlitScaled(s.surface, x, y, e.src, 6, 6, 25, 7);
        SDraw2D::FillRect(s.surface, x, y, 30, 30, 0x2222);
        SDraw2D::ShrinkIcon40(s.surface, x, y, iconRec.image()->Pixels(), iconRec.image()->GetPalette(), 0);
      }
    }
    SDraw2D::FillRect(s.surface, 2, 3, 1, 1, 0x7777);
    EXPECT_EQ(s.at(2, 3), 0x7777);
    SDraw2D::FillRect(s.surface, 2, 3, 0, 5, 0x9999);  // zero width draws nothing
    EXPECT_EQ(s.at(2, 3), 0x7777);
  }
}

}  // namespace
