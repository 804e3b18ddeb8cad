// Image records as the data archives store them, RGB565 colour helpers and 16-bit surfaces.
//
// An image record is used in place: an 8-byte header (format, width, height), the pixel data, then the
// colour table (the palette for format 0, the 2x2-block codebook for formats 1 and 2). The record must be
// at least 2-byte aligned. Records from files are checked once with SImage::FromRecord before any drawing
// routine sees them; the drawing routines then trust the header.
#pragma once
#include "os/Types.h"

#include <bit>

static_assert(std::endian::native == std::endian::little, "image records are read in place as little-endian");

// The transparent colour of keyed drawing.
constexpr u16 kColorKey565 = 0xFFFF;

// RGB565 from 8-bit channels, each rounded to its field width.
u16 MakeColor565(u32 red, u32 green, u32 blue);
// RGB565 from a colour given as 0x00BBGGRR (red in the low byte).
u16 MakeColor565(u32 bgr);

// The spread form used for blending: green in the upper half, red and blue in the lower half, with guard
// bits between the channels so that one addition and one shift average all three.
constexpr u32 kSpreadMask = 0x07E0F81F;
inline u32 Spread565(u32 c) { return ((c & 0xFFFF) | (c & 0xFFFF) << 16) & kSpreadMask; }
inline u16 Unspread565(u32 s) { return static_cast<u16>(s | s >> 16); }
// Average of two RGB565 colours per channel, truncating.
inline u16 Blend565Half(u16 a, u16 b) { return Unspread565(((Spread565(a) + Spread565(b)) >> 1) & kSpreadMask); }

enum SImageFormat : i8 { kImagePalette8 = 0, kImageBlock8 = 1, kImageBlock16 = 2 };

// The header of an image record. Never constructed: a pointer to a record's first byte is viewed as one.
struct SImage {
  i8 format;
  u8 reserved0;
  i16 width;
  i16 height;
  u16 reserved1;

  const u8* Pixels() const { return reinterpret_cast<const u8*>(this) + 8; }
  // Size of the pixel data in bytes, raised to even (so the colour table starts 2-byte aligned).
  static u32 PixelBytes(int format, int width, int height);
  // Byte offset of the colour table from the start of the record.
  static u32 TableOffset(int format, int width, int height) { return 8 + PixelBytes(format, width, height); }
  u32 TableOffset() const { return TableOffset(format, width, height); }
  // The image's own palette or codebook.
  const u16* GetPalette() const {
    return reinterpret_cast<const u16*>(reinterpret_cast<const u8*>(this) + TableOffset());
  }
  // Pixel data bytes per index row: width for format 0, width / 2 blocks for 1, width bytes for 2.
  int IndexStride() const { return format == kImagePalette8 ? width : width / 2; }

  // Checks a record from a file: a known format, positive sizes, even sizes for the block formats, and the
  // pixel data within the record. Returns the image, or null for anything that is not a usable image.
  static const SImage* FromRecord(const void* data, u32 size);
  // As FromRecord, and the image's own colour table (whatever of the record follows the pixels) must
  // cover every index the pixels use: for images drawn with their own table.
  static const SImage* FromRecordWithOwnTable(const void* data, u32 size) {
    const SImage* image = FromRecord(data, size);
    return image && image->TableCovers(image->OwnTableEntries(size)) ? image : nullptr;
  }

  // The largest palette index (format 0) or block index (formats 1 and 2) that the pixels use.
  u32 MaxIndex() const;
  // Colours in the image's own table given the record's size (no length is stored: whatever follows).
  u32 OwnTableEntries(u32 recordSize) const {
    u32 off = TableOffset();
    return recordSize > off ? (recordSize - off) / 2 : 0;
  }
  // The RGB565 entries a colour table needs to cover every index the pixels use.
  u32 TableNeed() const;
  // True when a table of that many RGB565 entries covers every index the pixels use.
  bool TableCovers(u32 entries) const { return TableNeed() <= entries; }

  // Reference texel lookups; the span routines compute the same inline.
  static u16 TexelPalette(const u8* pixels, const u16* palette, int stride, int x, int y) {
    return palette[pixels[y * stride + x]];
  }
  static u16 TexelBlock8(const u8* pixels, const u16* codebook, int stride, int x, int y) {
    return codebook[pixels[(y >> 1) * stride + (x >> 1)] * 4 + (y & 1) * 2 + (x & 1)];
  }
  static u16 TexelBlock16(const u8* pixels, const u16* codebook, int stride, int x, int y) {
    const u16* idx = reinterpret_cast<const u16*>(pixels);
    return codebook[idx[(y >> 1) * stride + (x >> 1)] * 4 + (y & 1) * 2 + (x & 1)];
  }
  // Texel of any format (stride as IndexStride).
  static u16 Texel(int format, const u8* pixels, const u16* table, int stride, int x, int y) {
    if (format == kImagePalette8) return TexelPalette(pixels, table, stride, x, y);
    if (format == kImageBlock8) return TexelBlock8(pixels, table, stride, x, y);
    return TexelBlock16(pixels, table, stride, x, y);
  }
  // Block index of pixel (x, y) in a block format (0 is the transparent block of keyed drawing).
  static u32 BlockIndex(int format, const u8* pixels, int stride, int x, int y) {
    int at = (y >> 1) * stride + (x >> 1);
    return format == kImageBlock8 ? pixels[at] : reinterpret_cast<const u16*>(pixels)[at];
  }
};
static_assert(sizeof(SImage) == 8);

// 16-bit pixel memory seen through logical coordinates, in any of three orientations:
//   0 upright:            pixel(x, y) = x + y * pitch
//   1 rotated:            pixel(x, y) = y - x * pitch   (logical x runs up the physical rows)
//   2 rotated other way:  pixel(x, y) = x * pitch - y   (logical x runs down the physical rows)
// width and height are the logical size; text drawing clips its glyphs to them.
struct SSurface {
  u16* base = nullptr;  // pixel at logical (0, 0)
  u32 pitch = 0;        // pixels between physical rows
  u32 orientation = 0;
  i32 xStep = 1;
  i32 yStep = 0;
  i32 width = 0;
  i32 height = 0;

  // Offset in pixels of (x, y) from base.
  std::ptrdiff_t Offset(i32 x, i32 y) const {
    return static_cast<std::ptrdiff_t>(x) * xStep + static_cast<std::ptrdiff_t>(y) * yStep;
  }
  u16* Pixel(i32 x, i32 y) const { return base + Offset(x, y); }
  // The two ends of a row, (x1, y) and (x2, y); the row is walked by xStep from the first to the second.
  void RowSpan(i32 y, i32 x1, i32 x2, u16*& first, u16*& end) const {
    first = Pixel(x1, y);
    end = Pixel(x2, y);
  }
  void ColumnSpan(i32 x, i32 y1, i32 y2, u16*& first, u16*& end) const {
    first = Pixel(x, y1);
    end = Pixel(x, y2);
  }
  // Steps of the rotated orientations; an upright surface keeps the steps its builder stored.
  void SetSteps(u32 newPitch, u32 newOrientation) {
    pitch = newPitch;
    orientation = newOrientation;
    if (newOrientation == 1) {
      xStep = -static_cast<i32>(newPitch);
      yStep = 1;
    } else if (newOrientation == 2) {
      xStep = static_cast<i32>(newPitch);
      yStep = -1;
    }
  }
  // A surface over a memory block whose first pixel is the physical top-left corner, for a logical size
  // of width x height in that orientation (physically height x width when rotated).
  static SSurface ForMemory(u16* memory, u32 pitch, u32 orientation, i32 width, i32 height);
  bool Contains(i32 x, i32 y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};
