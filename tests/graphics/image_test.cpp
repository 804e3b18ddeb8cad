// Image records: colour-table offsets, texel addressing, colour helpers, the checks of records from files,
// and surface addressing in the three orientations.
#include "Fixtures.h"
#include "ImageEncode.h"
#include "graphics/SDraw2D.h"

#include <gtest/gtest.h>

namespace {

std::vector<u8> Header(int format, int width, int height, size_t total) {
  std::vector<u8> r(total, 0);
  r[0] = static_cast<u8>(format);
  r[2] = static_cast<u8>(width & 255);
  r[3] = static_cast<u8>(width >> 8);
  r[4] = static_cast<u8>(height & 255);
  r[5] = static_cast<u8>(height >> 8);
  return r;
}

TEST(ImageFormat, ColourTableOffsets) {
  struct Case {
    int format, width, height;
    u32 offset;
  } cases[] = {
      {0, 3, 3, 18},                     // 9 pixel bytes raised to 10
      {1, 50, 50, 634},                  // 625 block bytes raised to 626
      {2, 50, 50, 1258},                 // 625 u16 block indices
      {0, 4, 2, 16},     {1, 2, 2, 10},  // one block byte raised to 2
  };
  for (const auto& c : cases) EXPECT_EQ(SImage::TableOffset(c.format, c.width, c.height), c.offset) << c.format;
}

TEST(ImageFormat, BlockTexelAddressing) {
  // A 4x4 block image whose four blocks use indices 0..3; pixel (3, 2) is block row 1, column 1, top-right.
  std::vector<u8> rec = Header(1, 4, 4, 8 + 4 + 4 * 4 * 2);
  for (int i = 0; i < 4; ++i) rec[8 + i] = static_cast<u8>(i);
  for (int e = 0; e < 16; ++e) {
    rec[12 + 2 * e] = static_cast<u8>(e);
    rec[13 + 2 * e] = 0;
  }
  Record r(rec);
  const SImage* img = r.image();
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(SImage::TexelBlock8(img->Pixels(), img->GetPalette(), img->IndexStride(), 3, 2), 3 * 4 + 0 * 2 + 1);
  EXPECT_EQ(SImage::TexelBlock8(img->Pixels(), img->GetPalette(), img->IndexStride(), 0, 1), 0 * 4 + 1 * 2 + 0);
}

TEST(ImageFormat, MakeColor565RoundsEachChannel) {
  EXPECT_EQ(MakeColor565(255, 255, 255), 0xFFFF);
  EXPECT_EQ(MakeColor565(128, 128, 128), 0x8410);
  EXPECT_EQ(MakeColor565(0, 0, 0), 0x0000);
  EXPECT_EQ(MakeColor565(255, 0, 0), 0xF800);
  EXPECT_EQ(MakeColor565(0x0000FF), 0xF800);  // 0x00BBGGRR: red in the low byte
  EXPECT_EQ(Blend565Half(0xFFFF, 0x0000), 0x7BEF);
}

TEST(ImageFormat, RecordsFromFilesAreChecked) {
  struct Case {
    const char* what;
    std::vector<u8> bytes;
    bool valid;
  } cases[] = {
      {"3x3 palette image", Header(0, 3, 3, 18 + 2), true},
      {"format 3", Header(3, 2, 2, 64), false},
      {"format -1", Header(0xFF, 2, 2, 64), false},
      {"zero width", Header(0, 0, 2, 64), false},
      {"negative height", Header(0, 2, -2, 64), false},
      {"odd width in a block format", Header(1, 3, 2, 64), false},
      {"odd height in a block format", Header(2, 2, 5, 64), false},
      {"pixels past the record", Header(0, 10, 10, 100), false},
      {"header only", Header(0, 1, 1, 7), false},
  };
  for (const auto& c : cases) {
    Record r(c.bytes);
    EXPECT_EQ(SImage::FromRecord(r.data(), r.size) != nullptr, c.valid) << c.what;
  }
  EXPECT_EQ(SImage::FromRecord(nullptr, 100), nullptr);
}

TEST(ImageFormat, ColourTableMustCoverTheIndicesUsed) {
  // Format 0 using index 5: a table of 6 covers it, 5 does not; no full 256-entry palette is demanded.
  std::vector<u8> rec = Header(0, 2, 1, 10 + 6 * 2);
  rec[9] = 5;
  Record r(rec);
  ASSERT_NE(r.image(), nullptr);
  EXPECT_EQ(r.image()->MaxIndex(), 5u);
  EXPECT_TRUE(r.image()->TableCovers(6));
  EXPECT_FALSE(r.image()->TableCovers(5));
  EXPECT_NE(SImage::FromRecordWithOwnTable(r.data(), r.size), nullptr);
  EXPECT_EQ(SImage::FromRecordWithOwnTable(r.data(), r.size - 2), nullptr);
  // Block formats need 4 colours per block index.
  std::vector<u8> blocks = Header(2, 2, 2, 10 + 8 * 2);
  blocks[8] = 1;
  Record b(blocks);
  ASSERT_NE(b.image(), nullptr);
  EXPECT_TRUE(b.image()->TableCovers(8));
  EXPECT_FALSE(b.image()->TableCovers(7));
}

TEST(ImageFormat, EncoderRoundTripsEveryFormat) {
  imageenc::Picture p = imageenc::MakeChecker(8, 6, 2, 0x1234, 0xF81F);
  p.at(3, 3) = 0x07E0;
  for (int format = 0; format < 3; ++format) {
    std::vector<u8> bytes = imageenc::Encode(p, format);
    imageenc::Picture back;
    ASSERT_TRUE(imageenc::Decode(bytes, back)) << format;
    EXPECT_EQ(back.pixels, p.pixels) << format;
  }
  // More distinct blocks than an 8-bit codebook holds: quantised, still a valid record.
  imageenc::Picture noisy = imageenc::MakeNoise(64, 64, 0x8410, 60, 7);
  std::vector<u8> q = imageenc::EncodeBlocks(noisy, 1, false);
  Record r(q);
  ASSERT_NE(SImage::FromRecordWithOwnTable(r.data(), r.size), nullptr);
  EXPECT_LE(r.image()->MaxIndex(), 255u);
}

// A picture on a ground colour (an item in its slot): whole blocks of the ground are block 0, so the
// picture drawn whole shows its ground and drawn keyed leaves it out; a block only partly ground keeps it.
TEST(ImageFormat, GroundBlocksAreLeftOutWhereThePictureIsKeyed) {
  const u16 ground = 0x2124, object = 0xF800, behind = 0x07E0;
  imageenc::Picture p(4, 4, ground);
  p.at(2, 2) = p.at(3, 2) = p.at(2, 3) = p.at(3, 3) = object;
  p.at(1, 1) = object;  // the top-left block: ground with one pixel of the object
  for (int format : {1, 2}) {
    Record r(imageenc::EncodeBlocks(p, format, true, 0, ground));
    ASSERT_NE(r.image(), nullptr) << format;
    imageenc::Picture back;
    ASSERT_TRUE(imageenc::Decode(imageenc::EncodeBlocks(p, format, true, 0, ground), back)) << format;
    EXPECT_EQ(back.pixels, p.pixels) << format << ": drawn whole, the ground stays";
    Screen screen(4, 4, 0, behind);
    SDraw2D::BlitKeyed(screen.surface, 0, 0, SBlitSource::Of(r.image()), 0, 0, 4, 4);
    EXPECT_EQ(screen.at(3, 0), behind) << format << ": a whole ground block is left out";
    EXPECT_EQ(screen.at(0, 0), ground) << format << ": a block partly ground keeps it";
    EXPECT_EQ(screen.at(1, 1), object) << format;
    EXPECT_EQ(screen.at(3, 3), object) << format;
  }
}

TEST(Surface, AddressingByOrientation) {
  std::vector<u16> mem(320 * 240);
  // Orientation 1: one pixel right moves the address back one physical row.
  SSurface s1 = SSurface::ForMemory(mem.data(), 320, 1, 240, 320);
  EXPECT_EQ(s1.Pixel(1, 0) - s1.Pixel(0, 0), -320);
  EXPECT_EQ(s1.Pixel(0, 1) - s1.Pixel(0, 0), 1);
  SSurface s2 = SSurface::ForMemory(mem.data(), 320, 2, 240, 320);
  EXPECT_EQ(s2.Pixel(1, 0) - s2.Pixel(0, 0), 320);
  EXPECT_EQ(s2.Pixel(0, 1) - s2.Pixel(0, 0), -1);
  // Every logical pixel of a rotated surface lands inside its memory, each on its own place.
  for (u32 o = 0; o < 3; ++o) {
    Screen screen(5, 3, o);
    std::vector<int> hits(screen.memory.size(), 0);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x) {
        std::ptrdiff_t at = screen.surface.Pixel(x, y) - screen.memory.data();
        ASSERT_GE(at, 0);
        ASSERT_LT(at, static_cast<std::ptrdiff_t>(screen.memory.size()));
        ++hits[static_cast<size_t>(at)];
      }
    for (int h : hits) EXPECT_EQ(h, 1) << "orientation " << o;
  }
}

}  // namespace
