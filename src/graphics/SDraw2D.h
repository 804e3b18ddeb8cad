// The 2D drawing family: image blits in the three formats, fills, raw copies, glyphs and text, and the
// icon shrinkers and thumbnail scaling. Everything draws through an SSurface, so every orientation works.
//
// Every operation clips to the surface's logical size (width x height); callers that stay on the screen
// see exactly the unclipped result. Source rectangles are cut to the image as well, so a caller's bad
// rectangle never reads outside the record.
#pragma once
#include "graphics/SImage.h"

// One image as the blits read it: pixel data, the palette or codebook to use, size and format.
struct SBlitSource {
  const u8* pixels = nullptr;
  const u16* table = nullptr;
  i32 width = 0;
  i32 height = 0;
  i32 format = 0;

  // The image with its own table, or with an explicit one when table is not null.
  static SBlitSource Of(const SImage* image, const u16* table = nullptr) {
    SBlitSource s;
    s.pixels = image->Pixels();
    s.table = table ? table : image->GetPalette();
    s.width = image->width;
    s.height = image->height;
    s.format = image->format;
    return s;
  }
};

// Glyph table of one font (built by SFont): where each character sits in the font's strip image.
struct SGlyphTable {
  const SImage* strip = nullptr;  // format 0; null when the strip could not be loaded
  const u16* palette = nullptr;   // the strip's own palette (values 4 and up)
  u32 recordId = 0;
  u16 start[256] = {};
  u8 width[256] = {};
  u8 lineHeight = 0;
};

// What SDraw2D::DrawText draws: one line of text at (x, y) in the three shades of a font.
struct STextRecord {
  const SGlyphTable* font = nullptr;
  u16 shade1 = 0, shade2 = 0, shade3 = 0;
  i32 x = 0, y = 0;
  const char* text = nullptr;
};

class SDraw2D {
 public:
  // Copies sw x sh source pixels from (sx, sy) to (x, y); every texel is written.
  static void Blit(const SSurface& s, i32 x, i32 y, const SBlitSource& src, i32 sx, i32 sy, i32 sw, i32 sh);
  // As Blit, skipping 0xFFFF and, in the block formats, block index 0.
  static void BlitKeyed(const SSurface& s, i32 x, i32 y, const SBlitSource& src, i32 sx, i32 sy, i32 sw, i32 sh);
  // The top-left sw x sh pixels, mirrored left to right, keyed.
  static void BlitMirroredKeyed(const SSurface& s, i32 x, i32 y, const SBlitSource& src, i32 sw, i32 sh);
  // Source rows sy .. sy + sh - 1, columns 0 .. sw - 1, averaged with the screen per channel.
  static void BlitHalfBlend(const SSurface& s, i32 x, i32 y, const SBlitSource& src, i32 sy, i32 sw, i32 sh);
  // The top-left sw x sh pixels sampled at pixel centres onto dw x dh.
  static void BlitScaled(const SSurface& s, i32 x, i32 y, const SBlitSource& src, i32 sw, i32 sh, i32 dw, i32 dh);
  // As BlitScaled, skipping what BlitKeyed skips.
  static void BlitScaledKeyed(const SSurface& s, i32 x, i32 y, const SBlitSource& src, i32 sw, i32 sh, i32 dw,
                              i32 dh);
  // w x h RGB565 pixels from rows of sourceWidth pixels, starting at (sx, sy); cut to the source's
  // sourceWidth x sourceHeight pixels.
  static void BlitRaw16(const SSurface& s, i32 x, i32 y, const u16* pixels, i32 sourceWidth, i32 sourceHeight, i32 sx,
                        i32 sy, i32 w, i32 h);
  static void FillRect(const SSurface& s, i32 x, i32 y, i32 w, i32 h, u16 colour);
  // Strip columns start .. start + glyphWidth - 1 of every strip row: 0 transparent, 1 to 3 the shades,
  // other values the strip's palette.
  static void BlitGlyph(const SSurface& s, i32 x, i32 y, const u8* strip, i32 glyphWidth, i32 start, const u16* palette,
                        i32 stripWidth, i32 stripHeight, u16 shade1, u16 shade2, u16 shade3);
  // Draws the record's text as one line; returns the x after the last glyph.
  static i32 DrawText(const SSurface& s, const STextRecord& text);

  // Box-filter shrinking of a 50 x 50 picture to 40, 30 or 20: each 5 x 5 block of source pixels becomes
  // 4 x 4, 3 x 3 or 2 x 2 pixels.
  static void ShrinkIcon40(const SSurface& s, i32 x, i32 y, const u8* pixels, const u16* table, i32 format);
  static void ShrinkIcon30(const SSurface& s, i32 x, i32 y, const u8* pixels, const u16* table, i32 format);
  static void ShrinkIcon20(const SSurface& s, i32 x, i32 y, const u8* pixels, const u16* table, i32 format);
  // The same for a picture of any valid size, read with its own stride: up to its first 50 x 50 pixels are
  // shrunk (a smaller picture gives a smaller icon; a last partial block repeats the edge pixels).
  static void ShrinkIcon40(const SSurface& s, i32 x, i32 y, const u8* pixels, const u16* table, i32 width, i32 height,
                           i32 format);
  static void ShrinkIcon30(const SSurface& s, i32 x, i32 y, const u8* pixels, const u16* table, i32 width, i32 height,
                           i32 format);
  static void ShrinkIcon20(const SSurface& s, i32 x, i32 y, const u8* pixels, const u16* table, i32 width, i32 height,
                           i32 format);

  // Nearest-pixel scaling of a source rectangle into rows of 80 pixels (orientation as SSurface; the
  // source pointer is the first pixel of the rectangle's memory in the rotated cases).
  static void ScaleToThumbnail(const u16* source, i32 sourcePitch, i32 sourceWidth, i32 sourceHeight, u32 orientation,
                               u16* dest, i32 destWidth, i32 destHeight);
  static void ClearThumbnailRect(i32 x, i32 y, u16* buffer, i32 w, i32 h);
  // Fills an 80 x 50 thumbnail from a W x H upright view (letter-boxed in black).
  static void MakeViewThumbnail(u16* buffer, const u16* view, i32 viewPitch, i32 viewWidth, i32 viewHeight);

  // Fills areaWidth x areaHeight at (x, y) with copies of the image, keyed or opaque, the first whole at
  // (x, y): the tiles at the right and the bottom that do not fit show the image's top-left part.
  static void TileImage(const SSurface& s, i32 x, i32 y, const SBlitSource& src, i32 areaWidth, i32 areaHeight,
                        bool keyed);
};
