// The small picture of the 3D view kept by the game state (shown when a bag is opened).
#include "graphics/renderer/SRenderer.h"

namespace {
constexpr i32 kThumbWidth = 80;
constexpr i32 kThumbHeight = 50;
}  // namespace

void SRenderer::ScaleToThumbnail(const u16* source, i32 pitch, i32 sourceWidth, i32 sourceHeight, u32 orientation,
                                 u16* dest, i32 destWidth, i32 destHeight) {
  if (!source || !dest || destWidth <= 0 || destHeight <= 0 || sourceWidth <= 0 || sourceHeight <= 0) return;
  const i32 xStep = i32((i64(sourceWidth) << 16) / destWidth);
  const i32 yStep = i32((i64(sourceHeight) << 16) / destHeight);
  std::ptrdiff_t sx1, sy1;  // source address steps of one logical pixel right and down
  if (orientation == 1) {
    sx1 = -std::ptrdiff_t(pitch);
    sy1 = 1;
  } else if (orientation == 2) {
    sx1 = pitch;
    sy1 = -1;
  } else {
    sx1 = 1;
    sy1 = pitch;
  }
  for (i32 r = 0; r < destHeight; ++r) {
    const i32 sy = i32((i64(r) * yStep) >> 16);
    u16* row = dest + std::ptrdiff_t(r) * kThumbWidth;
    for (i32 c = 0; c < destWidth; ++c) {
      const i32 sx = i32((i64(c) * xStep) >> 16);
      row[c] = source[sy * sy1 + sx * sx1];
    }
  }
}

void SRenderer::ClearThumbnailRect(i32 x, i32 y, u16* buffer, i32 w, i32 h) {
  if (!buffer) return;
  for (i32 r = y; r < y + h && r < kThumbHeight; ++r)
    for (i32 c = x; c < x + w && c < kThumbWidth; ++c)
      if (r >= 0 && c >= 0) buffer[r * kThumbWidth + c] = 0;
}

void SRenderer::MakeViewThumbnail(u16* buffer, i32, i32) const {
  if (!buffer || !view) return;
  const i32 W = view->viewWidth, H = view->viewHeight;
  if (W <= 0 || H <= 0 || W > kMaxColumns || !viewSurface.base) return;
  const i32 tw = W * kThumbHeight / H;
  if (tw > kThumbWidth) {
    const i32 th = H * kThumbWidth / W;
    const i32 m = (kThumbHeight - th) / 2;
    ScaleToThumbnail(viewSurface.base, i32(viewSurface.pitch), W, H, viewSurface.orientation,
                     buffer + m * kThumbWidth, kThumbWidth, th);
    if (th < kThumbHeight) {
      ClearThumbnailRect(0, 0, buffer, kThumbWidth, m);
      ClearThumbnailRect(0, m + th, buffer, kThumbWidth, kThumbHeight - m - th);
    }
  } else {
    const i32 m = (kThumbWidth - tw) / 2;
    ScaleToThumbnail(viewSurface.base, i32(viewSurface.pitch), W, H, viewSurface.orientation, buffer + m, tw,
                     kThumbHeight);
    if (tw < kThumbWidth) {
      ClearThumbnailRect(0, 0, buffer, m, kThumbHeight);
      ClearThumbnailRect(m + tw, 0, buffer, kThumbWidth - m - tw, kThumbHeight);
    }
  }
}
