// The 2D effects over the view: rain streaks, the first-person overlay images, tiling and rotated images.
#include "graphics/SDraw2D.h"
#include "graphics/renderer/SRenderer.h"

// ---- Rain ----

i32 SRenderer::RainRandom(i32 scale) {
  // A value 0..32767 from the game's generator, scaled: scale x r / 32768, truncating toward zero.
  SRandom& g = random ? *random : ownRandom_;
  const i64 r = g.Next(32768);
  return i32((i64(scale) * r) / 32768);
}

void SRenderer::SetupRain(u16 colour) {
  if (!view) return;
  const i32 W = view->viewWidth, H = view->viewHeight;
  rainColour = colour;
  rainSlope = FixedSin(0x2CAD);  // 10 degrees
  rainFall = FixedCos(0x2CAD);
  const i64 drift = (i64(H) * rainSlope) >> 16;
  rainDrift = i32(drift < 0 ? -drift : drift);
  // 8 and 20 pixels long, 400 and 600 pixels per second, for a view 380 pixels wide.
  rainMinLength = (((i64(W) << 19) / 380) >> 8) * (rainFall >> 8);
  rainMaxLength = i32((((i64(5 * W) << 18) / 380) >> 8) * (rainFall >> 8));
  rainMinSpeed = i32(((i64(102400) * W) / 380) << 8);
  rainMaxSpeed = i32(((i64(153600) * W) / 380) << 8);
}

namespace {
void SetVelocity(SRaindrop& d, i32 slope, i32 fall, i32 speed) {
  d.vx = (slope >> 8) * speed;
  d.vy = (fall >> 8) * speed;
}
}  // namespace

void SRenderer::PlaceRaindrop(SRaindrop& d) {
  const i32 W = view->viewWidth, H = view->viewHeight;
  d.length = ((rainMinLength >> 6) + RainRandom((rainMaxLength >> 6) - (rainMinLength >> 6))) << 6;
  d.x = RainRandom(32 * W - 32) << 11;
  d.y = RainRandom(32 * H - 32) << 11;
  const i32 s = (rainMinSpeed >> 8) + RainRandom((rainMaxSpeed >> 8) - (rainMinSpeed >> 8));
  SetVelocity(d, rainSlope, rainFall, s);
}

void SRenderer::RespawnRaindrop(SRaindrop& d) {
  const i32 W = view->viewWidth, H = view->viewHeight;
  d.length = ((rainMinLength >> 6) + RainRandom((rainMaxLength >> 6) - (rainMinLength >> 6))) << 6;
  d.x = RainRandom(32 * (W + rainDrift) - 1) << 11;
  if (d.x >= (W << 16) && rainDrift > 0) {
    // Past the right edge: the drop enters from the side the wind blows from, as far down as it drifted.
    d.y = i32(((i64(d.x - (W << 16)) >> 8) * H / rainDrift) << 8);
    if (rainSlope >= 0)
      d.x = RainRandom(32 * W / 20) << 11;
    else
      d.x = (32 * W - RainRandom(32 * W / 20) - 16) << 11;
  } else {
    d.y = RainRandom(32 * W / 20) << 11;
  }
  const i32 s = (rainMinSpeed >> 8) + RainRandom((rainMaxSpeed >> 8) - (rainMinSpeed >> 8));
  SetVelocity(d, rainSlope, rainFall, s);
}

void SRenderer::SetRainAmount(i32 n, u16 colour) {
  if (!view) return;
  // The drop array holds 1,000 drops: larger amounts are held there.
  if (n < 0) n = 0;
  if (n > kMaxRaindrops) n = kMaxRaindrops;
  SetupRain(colour);
  rainWanted = n;
  // New drops appear at once; surplus drops go as they leave the view.
  while (rainCount < rainWanted) PlaceRaindrop(raindrops[rainCount++]);
}

void SRenderer::ResetRain(i32 n, u16 colour) {
  rainCount = 0;
  SetRainAmount(n, colour);
}

void SRenderer::UpdateRain(i32 dt) {
  if (!view) return;
  const i32 W = view->viewWidth, H = view->viewHeight;
  i32 i = 0;
  while (i < rainCount) {
    SRaindrop& d = raindrops[i];
    d.x += (d.vx >> 10) * (dt >> 6);
    d.y += (d.vy >> 10) * (dt >> 6);
    const i32 px = d.x >> 16, py = d.y >> 16;
    if (py <= H - 1 && px >= 0 && px <= W - 1) {
      ++i;
      continue;
    }
    if (rainCount > rainWanted) {
      for (i32 k = i; k + 1 < rainCount; ++k) raindrops[k] = raindrops[k + 1];
      --rainCount;
      continue;
    }
    RespawnRaindrop(d);
    ++i;
  }
}

namespace {
// Streaks of drops [from, to) into the view surface. Orientation fixes the surface steps at compile time.
template <int Orientation>
void DrawStreaks(const SSurface& s, const SRaindrop* drops, i32 from, i32 to, i32 j, i32 slope, u16 colour) {
  const i32 W = s.width, H = s.height;
  const i32 pitch = i32(s.pitch);
  for (i32 i = from; i < to; ++i) {
    const SRaindrop& d = drops[i];
    const i32 jitter = (j + i) % 3 - 1;
    i32 column = d.x;
    const i32 end = (d.y + d.length) >> 16;
    for (i32 row = i16(d.y >> 16); row < end; ++row, column += slope) {
      const i32 px = jitter + (column >> 16);
      if (row <= 0 || row >= H || px < 1 || px >= W) continue;
      std::ptrdiff_t at;
      if constexpr (Orientation == 1)
        at = std::ptrdiff_t(row) - std::ptrdiff_t(px) * pitch;
      else if constexpr (Orientation == 2)
        at = std::ptrdiff_t(px) * pitch - row;
      else
        at = px + std::ptrdiff_t(row) * pitch;
      s.base[at] = colour;
    }
  }
}
}  // namespace

void SRenderer::DrawRain(u32 orientation, i32 firstPart) {
  if (!view || !viewSurface.base || rainCount <= 0) return;
  const i32 j = RainRandom(3);
  const i32 split = 9 * rainCount / 10;
  const i32 from = firstPart ? 0 : split, to = firstPart ? split : rainCount;
  if (orientation == 1)
    DrawStreaks<1>(viewSurface, raindrops, from, to, j, rainSlope, rainColour);
  else if (orientation == 2)
    DrawStreaks<2>(viewSurface, raindrops, from, to, j, rainSlope, rainColour);
  else
    DrawStreaks<0>(viewSurface, raindrops, from, to, j, rainSlope, rainColour);
}

// ---- First-person overlay images ----

void SRenderer::DrawHandImages() {
  if (!view) return;
  const SWorldView& wv = *view;
  const i32 x0 = wv.viewX, y0 = wv.viewY, W = wv.viewWidth, H = wv.viewHeight;
  auto source = [&](u16 id, u16 palette, SBlitSource& out) {
    SSpanTexture t;
    if (!id || !GetTexture(id, palette, t)) return false;
    out.pixels = t.data;
    out.table = t.palette;
    out.width = t.width;
    out.height = t.height;
    out.format = t.format;
    return true;
  };
  SBlitSource right, left;
  i32 sw = 0, sh = 0;
  if (wv.handRightImage && source(wv.handRightImage, wv.handRightPalette, right)) {
    sw = wv.handRightWidthPct * right.width / 100;
    sh = wv.handRightHeightPct * right.height / 100;
    SDraw2D::BlitKeyed(screenSurface, x0 + W - sw, y0 + H - sh, right, 0, 0, sw, sh);
  }
  if (wv.handSecondFollows && wv.handLeftImage) {
    if (!source(wv.handLeftImage, wv.handLeftPalette, left)) return;
    // The second image lies relative to the first one's top-left corner, cut to the view.
    i32 x = x0 + W + wv.handSecondDx - sw, y = y0 + H + wv.handSecondDy - sh;
    i32 skip = 0;
    if (y < 0) {
      skip = -y;
      y = 0;
    }
    i32 dw = left.width;
    if (x + dw >= x0 + W) dw = x0 + W - x;
    i32 dh = left.height - skip;
    if (y + dh > y0 + H) dh = y0 + H - y;
    if (dw > 0 && dh > 0) SDraw2D::BlitKeyed(screenSurface, x, y, left, 0, skip, dw, dh);
    return;
  }
  if (wv.handLeftImage && source(wv.handLeftImage, wv.handLeftPalette, left)) {
    const i32 lh = wv.handLeftHeightPct * left.height / 100, lw = wv.handLeftWidthPct * left.width / 100;
    if (wv.handLeftMirrored) {
      SDraw2D::BlitMirroredKeyed(screenSurface, x0, y0 + H - lh, left, lw, lh);
    } else {
      // The right-hand part of the image.
      const i32 sx = (100 - wv.handLeftWidthPct) * left.width / 100;
      SDraw2D::BlitKeyed(screenSurface, x0, y0 + H - lh, left, sx, 0, lw, lh);
    }
  }
}

// ---- Tiles and rotated images ----

namespace {
SBlitSource TileSource(const u8* pixels, const u16* palette, i32 w, i32 h, i32 format) {
  SBlitSource src;
  src.pixels = pixels;
  src.table = palette;
  src.width = w;
  src.height = h;
  src.format = format;
  return src;
}
}  // namespace

void SRenderer::TileImageKeyed(i32 x, i32 y, const u8* pixels, const u16* palette, i32 w, i32 h, i32 format,
                               i32 areaWidth, i32 areaHeight) {
  SDraw2D::TileImage(screenSurface, x, y, TileSource(pixels, palette, w, h, format), areaWidth, areaHeight, true);
}

void SRenderer::TileImage(i32 x, i32 y, const u8* pixels, const u16* palette, i32 w, i32 h, i32 format, i32 areaWidth,
                          i32 areaHeight) {
  SDraw2D::TileImage(screenSurface, x, y, TileSource(pixels, palette, w, h, format), areaWidth, areaHeight, false);
}

void SRenderer::BlitRotated(i32 x, i32 y, const u8* pixels, const u16* palette, i32 w, i32 h, i32 format, i32 angle) {
  BlitRotatedOn(screenSurface, x, y, pixels, palette, w, h, format, angle);
}

void SRenderer::BlitRotatedOn(const SSurface& surface, i32 x, i32 y, const u8* pixels, const u16* palette, i32 w, i32 h,
                              i32 format, i32 angle) {
  if (!pixels || !palette || w <= 0 || h <= 0 || format < 0 || format > 2 || !surface.base) return;
  if (format != 0 && ((w | h) & 1)) return;
  i32 t = FixedAngle::kFullTurnDegrees - angle;
  if (t == FixedAngle::kFullTurnDegrees) t = 0;
  t %= FixedAngle::kFullTurnDegrees;
  if (t < 0) t += FixedAngle::kFullTurnDegrees;
  const i32 r = DegreesToRadians(t);
  const i64 s = FixedSin(r) >> 3, c = FixedCos(r) >> 3;
  // Corners: the centre plus the rotation of (-w/2, -h/2), (w/2, -h/2), (w/2, h/2), (-w/2, h/2).
  const i32 cx = 16 * x, cy = 16 * y;
  const i64 hx[4] = {-8 * i64(w), 8 * i64(w), 8 * i64(w), -8 * i64(w)};
  const i64 hy[4] = {-8 * i64(h), -8 * i64(h), 8 * i64(h), 8 * i64(h)};
  SRenderVertex v[4];
  for (int i = 0; i < 4; ++i) {
    v[i].x = cx + i32((hx[i] * c - hy[i] * s) >> 13);
    v[i].y = cy + i32((hx[i] * s + hy[i] * c) >> 13);
    v[i].z = 0;
  }
  const STexCoord corners[4] = {{0, 0}, {16 * w, 0}, {16 * w, 16 * h}, {0, 16 * h}};
  SSpanTexture tex;
  tex.format = i8(format);
  tex.width = i16(w);
  tex.height = i16(h);
  tex.data = pixels;
  tex.palette = palette;
  FillRotatedImage(surface, 4, v, tex, corners);
}
