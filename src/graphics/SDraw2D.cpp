#include "graphics/SDraw2D.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <type_traits>

namespace {

enum PutMode { kOpaque, kKeyed, kBlend };

template <int M>
inline void Put(u16* d, u16 c) {
  if constexpr (M == kOpaque) {
    *d = c;
  } else if constexpr (M == kKeyed) {
    if (c != kColorKey565) *d = c;
  } else {
    *d = Blend565Half(c, *d);
  }
}

// One destination row of n pixels from source row `row`, starting at source column `col` and moving by
// colStep (1, or -1 when mirrored).
template <int F, int M>
void SpanRow(u16* d, i32 step, i32 n, const SBlitSource& src, i32 row, i32 col, i32 colStep) {
  const u16* table = src.table;
  if constexpr (F == kImagePalette8) {
    const u8* rp = src.pixels + static_cast<std::ptrdiff_t>(row) * src.width;
    for (i32 k = 0; k < n; ++k, d += step, col += colStep) Put<M>(d, table[rp[col]]);
  } else {
    const i32 stride = src.width / 2;
    const u16* half = table + (row & 1) * 2;
    using Index = std::conditional_t<F == kImageBlock8, u8, u16>;
    const Index* bp = reinterpret_cast<const Index*>(src.pixels) + static_cast<std::ptrdiff_t>(row >> 1) * stride;
    for (i32 k = 0; k < n; ++k, d += step, col += colStep) {
      u32 idx = bp[col >> 1];
      if (M == kKeyed && idx == 0) continue;
      Put<M>(d, half[idx * 4 + (col & 1)]);
    }
  }
}

// One row of a glyph: 0 leaves the pixel, 1 to 3 are the shades, higher values come from the palette.
void GlyphRow(u16* d, i32 step, i32 n, const u8* from, const u16 (&shades)[4], const u16* palette) {
  for (i32 k = 0; k < n; ++k, d += step) {
    const u8 v = from[k];
    if (v == 0) continue;
    if (v < 4)
      *d = shades[v];
    else if (palette)
      *d = palette[v];
  }
}

// One destination row of n pixels across tiles of the source, starting at source column `col` of `row`.
template <int F, int M>
void TileRow(u16* d, i32 step, i32 n, const SBlitSource& src, i32 row, i32 col) {
  while (n > 0) {
    const i32 k = std::min(n, src.width - col);
    SpanRow<F, M>(d, step, k, src, row, col, 1);
    d += static_cast<std::ptrdiff_t>(k) * step;
    n -= k;
    col = 0;
  }
}

template <int M>
void TileRowAny(u16* d, i32 step, i32 n, const SBlitSource& src, i32 row, i32 col) {
  switch (src.format) {
    case kImagePalette8: TileRow<kImagePalette8, M>(d, step, n, src, row, col); break;
    case kImageBlock8: TileRow<kImageBlock8, M>(d, step, n, src, row, col); break;
    case kImageBlock16: TileRow<kImageBlock16, M>(d, step, n, src, row, col); break;
    default: break;
  }
}

template <int M>
void SpanRowAny(u16* d, i32 step, i32 n, const SBlitSource& src, i32 row, i32 col, i32 colStep) {
  switch (src.format) {
    case kImagePalette8: SpanRow<kImagePalette8, M>(d, step, n, src, row, col, colStep); break;
    case kImageBlock8: SpanRow<kImageBlock8, M>(d, step, n, src, row, col, colStep); break;
    case kImageBlock16: SpanRow<kImageBlock16, M>(d, step, n, src, row, col, colStep); break;
    default: break;
  }
}

// The part of the destination rectangle (x, y, w, h) on the surface; false when nothing is.
struct Clip {
  i32 x0, y0, x1, y1;  // visible destination, x1 and y1 exclusive
  i32 skipX, skipY;    // destination columns and rows cut on the left and the top
};

bool ClipRect(const SSurface& s, i32 x, i32 y, i32 w, i32 h, Clip& c) {
  if (w <= 0 || h <= 0 || !s.base) return false;
  i64 x1 = std::min<i64>(static_cast<i64>(x) + w, s.width), y1 = std::min<i64>(static_cast<i64>(y) + h, s.height);
  i64 x0 = std::max<i64>(x, 0), y0 = std::max<i64>(y, 0);
  if (x0 >= x1 || y0 >= y1) return false;
  c = {static_cast<i32>(x0), static_cast<i32>(y0),     static_cast<i32>(x1),
       static_cast<i32>(y1), static_cast<i32>(x0 - x), static_cast<i32>(y0 - y)};
  return true;
}

// Cuts the source rectangle to the image, moving the destination with it.
bool ClipSource(const SBlitSource& src, i32& x, i32& y, i32& sx, i32& sy, i32& sw, i32& sh) {
  if (!src.pixels || !src.table) return false;
  if (sx < 0) {
    x -= sx;
    sw += sx;
    sx = 0;
  }
  if (sy < 0) {
    y -= sy;
    sh += sy;
    sy = 0;
  }
  if (sx >= src.width || sy >= src.height) return false;
  sw = std::min(sw, src.width - sx);
  sh = std::min(sh, src.height - sy);
  return sw > 0 && sh > 0;
}

template <int M>
void BlitRows(const SSurface& s, i32 x, i32 y, const SBlitSource& src, i32 sx, i32 sy, i32 sw, i32 sh) {
  if (!ClipSource(src, x, y, sx, sy, sw, sh)) return;
  Clip c;
  if (!ClipRect(s, x, y, sw, sh, c)) return;
  const i32 n = c.x1 - c.x0;
  for (i32 dy = c.y0; dy < c.y1; ++dy)
    SpanRowAny<M>(s.Pixel(c.x0, dy), s.xStep, n, src, sy + (dy - y), sx + c.skipX, 1);
}

}  // namespace

void SDraw2D::Blit(const SSurface& s, i32 x, i32 y, const SBlitSource& src, i32 sx, i32 sy, i32 sw, i32 sh) {
  BlitRows<kOpaque>(s, x, y, src, sx, sy, sw, sh);
}

void SDraw2D::BlitKeyed(const SSurface& s, i32 x, i32 y, const SBlitSource& src, i32 sx, i32 sy, i32 sw, i32 sh) {
  BlitRows<kKeyed>(s, x, y, src, sx, sy, sw, sh);
}

void SDraw2D::BlitHalfBlend(const SSurface& s, i32 x, i32 y, const SBlitSource& src, i32 sy, i32 sw, i32 sh) {
  BlitRows<kBlend>(s, x, y, src, 0, sy, sw, sh);
}

void SDraw2D::BlitMirroredKeyed(const SSurface& s, i32 x, i32 y, const SBlitSource& src, i32 sw, i32 sh) {
  if (!src.pixels || !src.table) return;
  sw = std::min(sw, src.width);
  sh = std::min(sh, src.height);
  Clip c;
  if (!ClipRect(s, x, y, sw, sh, c)) return;
  const i32 n = c.x1 - c.x0;
  for (i32 dy = c.y0; dy < c.y1; ++dy)
    SpanRowAny<kKeyed>(s.Pixel(c.x0, dy), s.xStep, n, src, dy - y, sw - 1 - c.skipX, -1);
}

namespace {

// The scaled copy of both modes: keyed skips 0xFFFF and, in the block formats, block index 0.
template <int M>
void ScaledRows(const SSurface& s, i32 x, i32 y, const SBlitSource& src, i32 sw, i32 sh, i32 dw, i32 dh) {
  if (!src.pixels || !src.table || dw <= 0 || dh <= 0) return;
  sw = std::min(sw, src.width);
  sh = std::min(sh, src.height);
  if (sw <= 0 || sh <= 0) return;
  Clip c;
  if (!ClipRect(s, x, y, dw, dh, c)) return;
  const i64 xStep = (static_cast<i64>(sw) << 16) / dw, yStep = (static_cast<i64>(sh) << 16) / dh;
  const i32 n = c.x1 - c.x0;
  const u16* table = src.table;
  const i32 stride = src.format == kImagePalette8 ? src.width : src.width / 2;
  const bool blocks = src.format != kImagePalette8;
  for (i32 dy = c.y0; dy < c.y1; ++dy) {
    const i32 row = static_cast<i32>((yStep / 2 + (dy - y) * yStep) >> 16);
    i64 colValue = xStep / 2 + c.skipX * xStep;
    u16* d = s.Pixel(c.x0, dy);
    for (i32 k = 0; k < n; ++k, d += s.xStep, colValue += xStep) {
      const i32 col = static_cast<i32>(colValue >> 16);
      if (M == kKeyed && blocks && SImage::BlockIndex(src.format, src.pixels, stride, col, row) == 0) continue;
      Put<M>(d, SImage::Texel(src.format, src.pixels, table, stride, col, row));
    }
  }
}

}  // namespace

void SDraw2D::BlitScaled(const SSurface& s, i32 x, i32 y, const SBlitSource& src, i32 sw, i32 sh, i32 dw, i32 dh) {
  ScaledRows<kOpaque>(s, x, y, src, sw, sh, dw, dh);
}

void SDraw2D::BlitScaledKeyed(const SSurface& s, i32 x, i32 y, const SBlitSource& src, i32 sw, i32 sh, i32 dw,
                              i32 dh) {
  ScaledRows<kKeyed>(s, x, y, src, sw, sh, dw, dh);
}

void SDraw2D::BlitRaw16(const SSurface& s, i32 x, i32 y, const u16* pixels, i32 sourceWidth, i32 sourceHeight, i32 sx,
                        i32 sy, i32 w, i32 h) {
  if (!pixels) return;
  // Keep to the source rows and columns (its height only bounds the copy).
  if (sx < 0) {
    x -= sx;
    w += sx;
    sx = 0;
  }
  if (sy < 0) {
    y -= sy;
    h += sy;
    sy = 0;
  }
  w = std::min(w, sourceWidth - sx);
  h = std::min(h, sourceHeight - sy);
  Clip c;
  if (!ClipRect(s, x, y, w, h, c)) return;
  const i32 n = c.x1 - c.x0;
  for (i32 dy = c.y0; dy < c.y1; ++dy) {
    const u16* from = pixels + static_cast<std::ptrdiff_t>(sy + dy - y) * sourceWidth + sx + c.skipX;
    u16* d = s.Pixel(c.x0, dy);
    for (i32 k = 0; k < n; ++k, d += s.xStep) *d = from[k];
  }
}

namespace {

// n pixels of one colour from d on, with wide stores: a byte fill when both bytes of the colour agree,
// else 16 bytes a store once d is aligned.
void FillSpan(u16* d, size_t n, u16 colour) {
  if ((colour & 0xFF) == (colour >> 8)) {
    std::memset(d, colour & 0xFF, n * sizeof(u16));
    return;
  }
  for (; n > 0 && reinterpret_cast<std::uintptr_t>(d) % 16 != 0; --n) *d++ = colour;
  u16 wide[8];
  std::fill_n(wide, 8, colour);
  for (; n >= 8; n -= 8, d += 8) std::memcpy(d, wide, sizeof wide);
  for (; n > 0; --n) *d++ = colour;
}

}  // namespace

void SDraw2D::FillRect(const SSurface& s, i32 x, i32 y, i32 w, i32 h, u16 colour) {
  Clip c;
  if (!ClipRect(s, x, y, w, h, c)) return;
  const i32 n = c.x1 - c.x0;
  const i32 rows = c.y1 - c.y0;
  if (s.xStep == 1 || s.yStep == 1 || s.yStep == -1) {
    // Fill memory rows: the rectangle's rows when upright, its columns when rotated.
    const bool upright = s.xStep == 1;
    const size_t along = static_cast<size_t>(upright ? n : rows);
    const i32 lines = upright ? rows : n;
    const std::ptrdiff_t apart = std::abs(upright ? s.yStep : s.xStep);
    u16* first = s.Pixel(s.xStep < 0 ? c.x1 - 1 : c.x0, s.yStep < 0 ? c.y1 - 1 : c.y0);  // lowest address
    if (static_cast<size_t>(apart) == along) {
      FillSpan(first, along * lines, colour);  // the lines lie end to end
      return;
    }
    for (i32 k = 0; k < lines; ++k) FillSpan(first + k * apart, along, colour);
    return;
  }
  for (i32 dy = c.y0; dy < c.y1; ++dy) {
    u16* d = s.Pixel(c.x0, dy);
    for (i32 k = 0; k < n; ++k, d += s.xStep) *d = colour;
  }
}

void SDraw2D::BlitGlyph(const SSurface& s, i32 x, i32 y, const u8* strip, i32 glyphWidth, i32 start, const u16* palette,
                        i32 stripWidth, i32 stripHeight, u16 shade1, u16 shade2, u16 shade3) {
  if (!strip || start < 0 || start >= stripWidth) return;
  glyphWidth = std::min(glyphWidth, stripWidth - start);
  Clip c;
  if (!ClipRect(s, x, y, glyphWidth, stripHeight, c)) return;
  const u16 shades[4] = {0, shade1, shade2, shade3};
  const i32 n = c.x1 - c.x0;
  for (i32 dy = c.y0; dy < c.y1; ++dy)
    GlyphRow(s.Pixel(c.x0, dy), s.xStep, n, strip + static_cast<std::ptrdiff_t>(dy - y) * stripWidth + start + c.skipX,
             shades, palette);
}

i32 SDraw2D::DrawText(const SSurface& s, const STextRecord& text) {
  i32 x = text.x;
  const SGlyphTable* font = text.font;
  if (!font || !font->strip || !text.text) return x;
  const SImage* strip = font->strip;
  for (const char* p = text.text; *p; ++p) {
    const u8 code = static_cast<u8>(*p);
    const i32 w = font->width[code];
    if (x < s.width)
      BlitGlyph(s, x, text.y, strip->Pixels(), w, font->start[code], font->palette, strip->width, strip->height,
                text.shade1, text.shade2, text.shade3);
    x += w + 1;
  }
  return x;
}

namespace {

// Weights of the 5 source pixels for each destination pixel of an n-pixel block (they sum to 5).
constexpr u8 kWeights4[4][5] = {{4, 1, 0, 0, 0}, {0, 3, 2, 0, 0}, {0, 0, 2, 3, 0}, {0, 0, 0, 1, 4}};
constexpr u8 kWeights3[3][5] = {{3, 2, 0, 0, 0}, {0, 1, 3, 1, 0}, {0, 0, 0, 2, 3}};
constexpr u8 kWeights2[2][5] = {{2, 2, 1, 0, 0}, {0, 0, 1, 2, 2}};

template <int N>
void Shrink(const SSurface& s, i32 x, i32 y, const u8* pixels, const u16* table, i32 width, i32 height, i32 format,
            const u8 (&weights)[N][5]) {
  if (!pixels || !table || format < kImagePalette8 || format > kImageBlock16 || width <= 0 || height <= 0) return;
  if (format != kImagePalette8 && ((width | height) & 1)) return;
  // The picture is read with its own stride. Every 5 x 5 block becomes N x N pixels, up to the 10 x 10 blocks
  // of a 50 x 50 picture (the icon's box); a partial block at the right or bottom repeats the edge pixels.
  const i32 stride = format == kImagePalette8 ? width : width / 2;
  const i32 blocksX = std::min<i32>(10, (width + 4) / 5), blocksY = std::min<i32>(10, (height + 4) / 5);
  Clip c;
  if (!ClipRect(s, x, y, blocksX * N, blocksY * N, c)) return;
  u8 red[25], green[25], blue[25];
  for (i32 by = 0; by < blocksY * 5; by += 5) {
    for (i32 bx = 0; bx < blocksX * 5; bx += 5) {
      const i32 ox = x + bx / 5 * N, oy = y + by / 5 * N;
      if (ox + N <= c.x0 || ox >= c.x1 || oy + N <= c.y0 || oy >= c.y1) continue;
      for (i32 j = 0; j < 5; ++j) {
        for (i32 i = 0; i < 5; ++i) {
          const u16 t =
              SImage::Texel(format, pixels, table, stride, std::min(bx + i, width - 1), std::min(by + j, height - 1));
          red[j * 5 + i] = static_cast<u8>(t >> 11);
          green[j * 5 + i] = static_cast<u8>((t >> 5) & 63);
          blue[j * 5 + i] = static_cast<u8>(t & 31);
        }
      }
      for (i32 dj = 0; dj < N; ++dj) {
        const i32 py = oy + dj;
        if (py < c.y0 || py >= c.y1) continue;
        for (i32 di = 0; di < N; ++di) {
          const i32 px = ox + di;
          if (px < c.x0 || px >= c.x1) continue;
          u32 r = 0, g = 0, b = 0;
          for (i32 j = 0; j < 5; ++j) {
            const u32 wy = weights[dj][j];
            if (!wy) continue;
            for (i32 i = 0; i < 5; ++i) {
              const u32 w = wy * weights[di][i];
              r += w * red[j * 5 + i];
              g += w * green[j * 5 + i];
              b += w * blue[j * 5 + i];
            }
          }
          *s.Pixel(px, py) = static_cast<u16>((r / 25) << 11 | (g / 25) << 5 | (b / 25));
        }
      }
    }
  }
}

}  // namespace

void SDraw2D::ShrinkIcon40(const SSurface& s, i32 x, i32 y, const u8* pixels, const u16* table, i32 format) {
  Shrink<4>(s, x, y, pixels, table, 50, 50, format, kWeights4);
}
void SDraw2D::ShrinkIcon30(const SSurface& s, i32 x, i32 y, const u8* pixels, const u16* table, i32 format) {
  Shrink<3>(s, x, y, pixels, table, 50, 50, format, kWeights3);
}
void SDraw2D::ShrinkIcon20(const SSurface& s, i32 x, i32 y, const u8* pixels, const u16* table, i32 format) {
  Shrink<2>(s, x, y, pixels, table, 50, 50, format, kWeights2);
}
void SDraw2D::ShrinkIcon40(const SSurface& s, i32 x, i32 y, const u8* pixels, const u16* table, i32 width, i32 height,
                           i32 format) {
  Shrink<4>(s, x, y, pixels, table, width, height, format, kWeights4);
}
void SDraw2D::ShrinkIcon30(const SSurface& s, i32 x, i32 y, const u8* pixels, const u16* table, i32 width, i32 height,
                           i32 format) {
  Shrink<3>(s, x, y, pixels, table, width, height, format, kWeights3);
}
void SDraw2D::ShrinkIcon20(const SSurface& s, i32 x, i32 y, const u8* pixels, const u16* table, i32 width, i32 height,
                           i32 format) {
  Shrink<2>(s, x, y, pixels, table, width, height, format, kWeights2);
}

void SDraw2D::ScaleToThumbnail(const u16* source, i32 sourcePitch, i32 sourceWidth, i32 sourceHeight, u32 orientation,
                               u16* dest, i32 destWidth, i32 destHeight) {
  if (!source || !dest || destWidth <= 0 || destHeight <= 0 || sourceWidth <= 0 || sourceHeight <= 0) return;
  const i64 xStep = (static_cast<i64>(sourceWidth) << 16) / destWidth;
  const i64 yStep = (static_cast<i64>(sourceHeight) << 16) / destHeight;
  for (i32 r = 0; r < destHeight; ++r) {
    const i64 sy = (r * yStep) >> 16;
    u16* out = dest + static_cast<std::ptrdiff_t>(r) * 80;
    for (i32 col = 0; col < destWidth; ++col) {
      const i64 sx = (col * xStep) >> 16;
      std::ptrdiff_t at;
      if (orientation == 1)
        at = (sourceHeight - 1 - sx) * sourcePitch + sy;
      else if (orientation == 2)
        at = (sourceWidth - 1) - sy + sx * sourcePitch;
      else
        at = sy * sourcePitch + sx;
      out[col] = source[at];
    }
  }
}

void SDraw2D::ClearThumbnailRect(i32 x, i32 y, u16* buffer, i32 w, i32 h) {
  if (!buffer) return;
  for (i32 r = 0; r < h; ++r)
    for (i32 col = 0; col < w; ++col) buffer[(y + r) * 80 + x + col] = 0;
}

void SDraw2D::MakeViewThumbnail(u16* buffer, const u16* view, i32 viewPitch, i32 viewWidth, i32 viewHeight) {
  if (!buffer) return;
  if (!view || viewWidth <= 0 || viewHeight <= 0) {
    ClearThumbnailRect(0, 0, buffer, 80, 50);
    return;
  }
  const i32 tw = viewWidth * 50 / viewHeight;
  if (tw > 80) {
    const i32 th = std::min(50, viewHeight * 80 / viewWidth);
    const i32 m = (50 - th) / 2;
    ScaleToThumbnail(view, viewPitch, viewWidth, viewHeight, 0, buffer + m * 80, 80, th);
    if (th < 50) {
      ClearThumbnailRect(0, 0, buffer, 80, m);
      ClearThumbnailRect(0, m + th, buffer, 80, 50 - m - th);
    }
  } else {
    const i32 m = (80 - tw) / 2;
    ScaleToThumbnail(view, viewPitch, viewWidth, viewHeight, 0, buffer + m, tw, 50);
    if (tw < 80) {
      ClearThumbnailRect(0, 0, buffer, m, 50);
      ClearThumbnailRect(m + tw, 0, buffer, 80 - m - tw, 50);
    }
  }
}

void SDraw2D::TileImage(const SSurface& s, i32 x, i32 y, const SBlitSource& src, i32 areaWidth, i32 areaHeight,
                        bool keyed) {
  const i32 w = src.width, h = src.height;
  if (!src.pixels || !src.table || w <= 0 || h <= 0 || src.format < kImagePalette8 || src.format > kImageBlock16)
    return;
  // Row by row across the tiles: a panel's small tiles would otherwise cost a clipped blit each.
  Clip c;
  if (!ClipRect(s, x, y, areaWidth, areaHeight, c)) return;
  const i32 n = c.x1 - c.x0, col = c.skipX % w;
  for (i32 dy = c.y0; dy < c.y1; ++dy) {
    const i32 row = (dy - y) % h;
    if (keyed)
      TileRowAny<kKeyed>(s.Pixel(c.x0, dy), s.xStep, n, src, row, col);
    else
      TileRowAny<kOpaque>(s.Pixel(c.x0, dy), s.xStep, n, src, row, col);
  }
}
