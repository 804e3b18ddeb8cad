#include "platform/hal/Blit.h"

#include <algorithm>
#include <cstring>

namespace Hal {

void FastCopy(void* destination, const void* source, u32 bytes) {
  u8* d = static_cast<u8*>(destination);
  const u8* s = static_cast<const u8*>(source);
  // Eight words a step while they last, then the tail.
  while (bytes >= 32) {
    u32 w[8];
    std::memcpy(w, s, 32);
    std::memcpy(d, w, 32);
    d += 32;
    s += 32;
    bytes -= 32;
  }
  std::memcpy(d, s, bytes);
}

void BlitRows(Surface* destination, const Surface* source, i32 top, i32 bottom) {
  if (bottom <= top) return;
  FastCopy(destination->Row(u32(top)), source->Row(u32(top)), u32(bottom - top) * source->pitch);
}

void BlitRect(Surface* destination, const Surface* source, const Rect& r) {
  if (r.right <= r.left) return;
  const u32 bytes = u32(r.right - r.left) * 2;
  for (i32 y = r.top; y < r.bottom; ++y)
    FastCopy(destination->Row(u32(y)) + r.left, source->Row(u32(y)) + r.left, bytes);
}

void BlitRectCopy(Surface* destination, const Surface* source, const Rect& rectangle) {
  BlitRect(destination, source, rectangle);
}

namespace {

// A 16 x 16 block: source top-left, its pitch in pixels; destination top-left and pitch. Each destination
// row is stored as eight words of two pixels, the left pixel in the low half.
using BlockRoutine = void (*)(u16* d, size_t dPitch, const u16* s, size_t sPitch);

inline void Store(u16* d, int j, u16 a, u16 b) {
  const u32 w = u32(a) | u32(b) << 16;
  std::memcpy(d + j, &w, 4);
}

void BlockCW(u16* d, size_t dp, const u16* s, size_t sp) {
  for (int i = 0; i < 16; ++i, d += dp)
    for (int j = 0; j < 16; j += 2) Store(d, j, s[(15 - j) * sp + i], s[(14 - j) * sp + i]);
}
void BlockCCW(u16* d, size_t dp, const u16* s, size_t sp) {
  for (int i = 0; i < 16; ++i, d += dp)
    for (int j = 0; j < 16; j += 2) Store(d, j, s[j * sp + 15 - i], s[(j + 1) * sp + 15 - i]);
}
void Block180(u16* d, size_t dp, const u16* s, size_t sp) {
  for (int i = 0; i < 16; ++i, d += dp) {
    const u16* row = s + (15 - i) * sp;
    for (int j = 0; j < 16; j += 2) Store(d, j, row[15 - j], row[14 - j]);
  }
}

// The same with the source rows fetched ahead, for processors with a weak cache.
void BlockCWPrefetch(u16* d, size_t dp, const u16* s, size_t sp) {
  for (int r = 0; r < 16; ++r) __builtin_prefetch(s + r * sp);
  BlockCW(d, dp, s, sp);
}
void BlockCCWPrefetch(u16* d, size_t dp, const u16* s, size_t sp) {
  for (int r = 0; r < 16; ++r) __builtin_prefetch(s + r * sp);
  BlockCCW(d, dp, s, sp);
}
void Block180Prefetch(u16* d, size_t dp, const u16* s, size_t sp) {
  for (int r = 0; r < 16; ++r) __builtin_prefetch(s + r * sp);
  Block180(d, dp, s, sp);
}

BlockRoutine blockCW = BlockCW;
BlockRoutine blockCCW = BlockCCW;
BlockRoutine block180 = Block180;

enum class Turn { CW, CCW, Half };

// Where destination pixel (dx, dy) comes from.
inline void SourceOf(Turn t, i32 dx, i32 dy, i32 ws, i32 hs, i32* sx, i32* sy) {
  switch (t) {
    case Turn::CW:
      *sx = dy;
      *sy = hs - 1 - dx;
      break;
    case Turn::CCW:
      *sx = ws - 1 - dy;
      *sy = dx;
      break;
    case Turn::Half:
      *sx = ws - 1 - dx;
      *sy = hs - 1 - dy;
      break;
  }
}

// One 16 x 16 destination block at (x, y). Blocks that are not wholly inside both surfaces (sizes that
// are no multiple of 16) are copied pixel by pixel, so nothing outside either surface is touched.
inline void CopyBlock(Turn t, Surface* dst, const Surface* src, i32 x, i32 y) {
  const i32 ws = i32(src->width), hs = i32(src->height);
  const size_t dp = dst->pitch / 2, sp = src->pitch / 2;
  i32 bx = 0, by = 0;  // source block top-left
  switch (t) {
    case Turn::CW:
      bx = y;
      by = hs - 16 - x;
      break;
    case Turn::CCW:
      bx = ws - 16 - y;
      by = x;
      break;
    case Turn::Half:
      bx = ws - 16 - x;
      by = hs - 16 - y;
      break;
  }
  const bool whole =
      x + 16 <= i32(dst->width) && y + 16 <= i32(dst->height) && bx >= 0 && by >= 0 && bx + 16 <= ws && by + 16 <= hs;
  if (whole) {
    const u16* s = src->pixels + size_t(by) * sp + size_t(bx);
    u16* d = dst->pixels + size_t(y) * dp + size_t(x);
    (t == Turn::CW ? blockCW : t == Turn::CCW ? blockCCW : block180)(d, dp, s, sp);
    return;
  }
  const i32 xEnd = std::min(x + 16, i32(dst->width)), yEnd = std::min(y + 16, i32(dst->height));
  for (i32 dy = y; dy < yEnd; ++dy)
    for (i32 dx = x; dx < xEnd; ++dx) {
      i32 sx, sy;
      SourceOf(t, dx, dy, ws, hs, &sx, &sy);
      if (sx >= 0 && sy >= 0 && sx < ws && sy < hs)
        dst->pixels[size_t(dy) * dp + size_t(dx)] = src->pixels[size_t(sy) * sp + size_t(sx)];
    }
}

// The rectangle limited to the destination, in steps of 16 from its left and top.
inline bool Limit(const Surface* dst, const Rect& r, Rect* out) {
  out->left = std::max(r.left, 0);
  out->top = std::max(r.top, 0);
  out->right = std::min(r.right, i32(dst->width));
  out->bottom = std::min(r.bottom, i32(dst->height));
  return out->right > out->left && out->bottom > out->top;
}

void ColumnsFirst(Turn t, Surface* dst, const Surface* src, const Rect& rectangle) {
  Rect r;
  if (!Limit(dst, rectangle, &r)) return;
  for (i32 x = r.left; x < r.right; x += 16)
    for (i32 y = r.top; y < r.bottom; y += 16) CopyBlock(t, dst, src, x, y);
}

void RowsFirst(Turn t, Surface* dst, const Surface* src, const Rect& rectangle) {
  Rect r;
  if (!Limit(dst, rectangle, &r)) return;
  for (i32 y = r.top; y < r.bottom; y += 16)
    for (i32 x = r.left; x < r.right; x += 16) CopyBlock(t, dst, src, x, y);
}

}  // namespace

void BlitRotate90CW(Surface* d, const Surface* s, const Rect& r) { ColumnsFirst(Turn::CW, d, s, r); }
void BlitRotate90CWByRows(Surface* d, const Surface* s, const Rect& r) { RowsFirst(Turn::CW, d, s, r); }
void BlitRotate90CCW(Surface* d, const Surface* s, const Rect& r) { ColumnsFirst(Turn::CCW, d, s, r); }
void BlitRotate90CCWByRows(Surface* d, const Surface* s, const Rect& r) { RowsFirst(Turn::CCW, d, s, r); }
void BlitRotate180(Surface* d, const Surface* s, const Rect& r) { RowsFirst(Turn::Half, d, s, r); }

void SelectBlockRoutines(u32 processorType) {
  const bool xscale = processorType == 2;
  blockCW = xscale ? BlockCWPrefetch : BlockCW;
  blockCCW = xscale ? BlockCCWPrefetch : BlockCCW;
  block180 = xscale ? Block180Prefetch : Block180;
}

}  // namespace Hal
