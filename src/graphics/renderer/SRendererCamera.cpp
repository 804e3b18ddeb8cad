// Projection, camera and the view transform.
#include "graphics/renderer/SRenderer.h"

#include <cstring>

SRenderer::SRenderer() {
  ownRandom_.Seed(this, 0x2CAD);
  std::memset(wallOwners, 0xFF, sizeof(wallOwners));
  std::memset(upperOwners, 0xFF, sizeof(upperOwners));
}

void SRenderer::SetupProjection() {
  if (!view) return;
  const SWorldView& wv = *view;
  const i32 h = DegreesToRadians(fieldOfView << 15);
  const i32 c = FixedCos(h), s = FixedSin(h);
  focal = ((planeWidth >> 1) * (c >> 3)) / (s >> 3);
  eyeOffset = focal - cellSize / 2;

  const i32 W = wv.viewWidth, H = wv.viewHeight;
  if (W > 0) {
    const i32 d = i32((((i64(H) * 731 * 380 / W) >> 1) + 731 * 70) / 240);
    floorMargin = d != 0 ? i32((i64(-518 + d) * focal) / d) : 0;
  }
  farDist = i32(focal + (i64(wv.far) * cellSize) / cellPixels - 1);
  fogStartDist = i32(focal + (i64(wv.fogStart) * cellSize) / cellPixels);

  // Surfaces: the viewport's top-left pixel and the whole frame buffer, by orientation.
  const i32 p = wv.pitch;
  const u32 o = wv.orientation;
  const i32 x = wv.viewX, y = wv.viewY;
  std::ptrdiff_t offset;
  i32 xs, ys;
  if (o == 1) {
    offset = std::ptrdiff_t(y) - std::ptrdiff_t(x) * p;
    xs = -p;
    ys = 1;
  } else if (o == 2) {
    offset = std::ptrdiff_t(x) * p - y;
    xs = p;
    ys = -1;
  } else {
    offset = x + std::ptrdiff_t(y) * p;
    xs = 1;
    ys = p;
  }
  screenSurface.base = wv.frameBuffer;
  screenSurface.pitch = u32(p);
  screenSurface.orientation = o;
  screenSurface.xStep = xs;
  screenSurface.yStep = ys;
  screenSurface.width = x + W;
  screenSurface.height = y + H;
  viewSurface = screenSurface;
  viewSurface.base = wv.frameBuffer ? wv.frameBuffer + offset : nullptr;
  viewSurface.width = W;
  viewSurface.height = H;

  if (W > 0) {
    negCentreX = -(((referenceWidth >> 1) * W * 16) / referenceWidth);
    negEyeRow = (W * horizonShift * 16) / referenceWidth - (H >> 1) * 16;
    projScale = i32(((i64(W) * focal) << 10) / planeWidth) << 9;
  }
  viewRight = W << 4;
  viewBottom = H << 4;

  // Background rows: where heights project at the far distance.
  if (farDist > 0 && W > 0) {
    const i32 q = projScale / farDist;
    auto row = [&](i32 ht) { return i32((-(i64(ht) * q)) >> 15) - negEyeRow; };
    ceilingRow = row(944);
    if (ceilingRow < 0) ceilingRow = 0;
    floorRow = row(-518);
    groundRow = row(deepPits ? -1980 : -1249);
    if (groundRow > viewBottom) groundRow = viewBottom;
    bandTop = ((skyBandTop << 4) * W) / referenceWidth;
    bandBottom = ((skyBandBottom << 4) * W) / referenceWidth;
    skyHeight = (floorRow < bandBottom ? floorRow : bandBottom) - bandTop;
    skyT1 = (skyBandBottom - skyBandTop) << 4;
    skyT0 = skyT1 - (referenceWidth * skyHeight) / W;
    if (floorRow > bandBottom) skyHeight = floorRow - bandTop;
  }
  fogSpread = (u32(wv.fogColor) * 0x10001u) & 0x07E0F81Fu;
}

void SRenderer::SetupCamera() {
  const SWorldView& wv = *view;
  // The owner keeps the angle in 0..360 degrees; anything else is brought back into that turn.
  i32 a = wv.angle % FixedAngle::kFullTurnDegrees;
  if (a < 0) a += FixedAngle::kFullTurnDegrees;
  const i32 whole = a >> 16;
  facingCode = 4;
  if ((a & 0xFFFF) == 0 && whole % 90 == 0 && whole >= 0 && whole < 360) facingCode = whole / 90;
  const i32 cx = wv.cameraX >> 6, cy = wv.cameraY >> 6;
  switch (facingCode) {
    case 0:
      cosA = 1024;
      minusSin = 0;
      alongAxis = (cy & 1023) - 512;
      break;
    case 1:
      cosA = 0;
      minusSin = -1024;
      alongAxis = (cx & 1023) - 512;
      break;
    case 2:
      cosA = -1024;
      minusSin = 0;
      alongAxis = 512 - (cy & 1023);
      break;
    case 3:
      cosA = 0;
      minusSin = 1024;
      alongAxis = 512 - (cx & 1023);
      break;
    default: {
      i32 b = a + (90 << 16);
      if (b >= FixedAngle::kFullTurnDegrees) b -= FixedAngle::kFullTurnDegrees;
      const i32 r = DegreesToRadians(b);
      cosA = FixedSin(r) >> 6;
      minusSin = FixedCos(r) >> 6;
      alongAxis = 0;
      break;
    }
  }
  eyeX = cx - ((eyeOffset * minusSin) >> 10);
  eyeY = cy + ((cosA * eyeOffset) >> 10);
  eyeCellX = eyeX >> 10;
  eyeCellY = eyeY >> 10;

  const i32 g = DegreesToRadians(((fieldOfView + viewMargin) << 16) / 2);
  const i32 sg = FixedSin(g) >> 3, cg = FixedCos(g) >> 3;
  const i32 hw = cg != 0 ? i32((i64(farDist) * sg) / cg) : 0;
  const i32 fx = eyeX + i32((i64(farDist) * minusSin) >> 10);
  const i32 fy = eyeY - i32((i64(farDist) * cosA) >> 10);
  const i32 ox = i32((i64(cosA) * hw) >> 10), oy = i32((i64(minusSin) * hw) >> 10);
  triX[0] = eyeX;
  triY[0] = eyeY;
  triX[1] = fx - ox;
  triY[1] = fy - oy;
  triX[2] = fx + ox;
  triY[2] = fy + oy;

  std::memset(cornerCache, 0, sizeof(cornerCache));

  // Sky scroll: the panorama is 12160 units wide, a third of a turn; the view shows 6080 of them.
  const i64 d = (i64(wv.skyAngle) - a + (330 << 16)) >> 12;
  i32 offset = i32(((d * 380) / 60) % 12160);
  if (offset < 0) offset += 12160;
  offset %= 12160;
  if (offset < 0) offset += 12160;
  skyU0 = offset;
  skyU1 = offset + 6080;
  const i32 W = wv.viewWidth;
  skySplit = W << 4;
  skySecondEnd = 0;
  if (skyU1 > 12160) {
    skyU1 = 12160;
    skySecondEnd = offset - 6080;
    skySplit = (W << 4) - ((offset - 6080) * W) / referenceWidth;
  }
}

void SRenderer::TransformCorner(i32 dx, i32 dy, i32& x, i32& z) const {
  const i32 fx = eyeX & 1023, fy = eyeY & 1023;
  switch (facingCode) {
    case 0:
      x = dx * 1024 - fx;
      z = fy - dy * 1024;
      break;
    case 1:
      x = fy - dy * 1024;
      z = fx - dx * 1024;
      break;
    case 2:
      x = fx - dx * 1024;
      z = dy * 1024 - fy;
      break;
    case 3:
      x = dy * 1024 - fy;
      z = dx * 1024 - fx;
      break;
    default: {
      const i32 rx = dx * 1024 - fx, ry = dy * 1024 - fy;
      x = (cosA * rx + minusSin * ry) >> 10;
      z = (minusSin * rx - cosA * ry) >> 10;
      break;
    }
  }
}

void SRenderer::ViewCorner(i32 dx, i32 dy, i32& x, i32& z) {
  // Corners beyond the cache (a far distance of more than 13 cells) are computed every time.
  if (dx < -14 || dx > 13 || dy < -14 || dy > 13) {
    TransformCorner(dx, dy, x, z);
    return;
  }
  i32* e = cornerCache[(dx + 14) * kCacheSide + (dy + 14)];
  if (e[0] == 0 && e[1] == 0) TransformCorner(dx, dy, e[0], e[1]);
  x = e[0];
  z = e[1];
}

void SRenderer::ViewPoint(i32 dx, i32 dy, i32 ox, i32 oz, i32& x, i32& z) {
  if (facingCode == 4) {
    const i32 rx = dx * 1024 - (eyeX & 1023) + ox, ry = dy * 1024 - (eyeY & 1023) + oz;
    x = (cosA * rx + minusSin * ry) >> 10;
    z = (minusSin * rx - cosA * ry) >> 10;
    return;
  }
  i32 cx, cz;
  ViewCorner(dx, dy, cx, cz);
  switch (facingCode) {
    case 0:
      x = cx + ox;
      z = cz - oz;
      break;
    case 1:
      x = cx - oz;
      z = cz - ox;
      break;
    case 2:
      x = cx - ox;
      z = cz + oz;
      break;
    default:
      x = cx + oz;
      z = cz + ox;
      break;
  }
}

void SRenderer::Project(const ClipVertex& in, ClipVertex& out) const {
  const i32 q = projScale / in.z;
  // The products are widened: a wide polygon just past the near plane would overflow 32 bits.
  out.x = i32((i64(in.x) * q) >> 15) - negCentreX;
  out.y = i32((-i64(in.y) * q) >> 15) - negEyeRow;
  out.z = in.z;
  out.u = in.u;
  out.v = in.v;
  out.l = in.l;
}
