// Object and image emitters: upright images facing the viewer (scenery, creatures, floor items, the cell
// sprite), doors and gates in doorways, and images standing across a cell.
#include "graphics/renderer/SRenderer.h"

#include <utility>

using namespace RenderWords;

namespace {
constexpr i32 kFloor = -518;
constexpr i32 kCeiling = 213;
constexpr i32 kUpperCeiling = 944;

// A height word: 65536 is one storey above the floor.
inline i32 HeightWord(i32 h) { return kFloor + i32((i64(h) * 731) >> 16); }
// An in-cell position word (0..65535 for one cell) in 22.10.
inline i32 PositionWord(u16 p) { return p >> 6; }

// Ten spots for the items lying on a cell's floor, in slot order.
constexpr i32 kItemSpots[10][2] = {{512, 512}, {438, 500}, {578, 520}, {496, 438}, {528, 578},
                                   {444, 469}, {469, 570}, {560, 453}, {594, 547}, {475, 531}};
}  // namespace

const u16* SRenderer::FloorItem(u16 id) const {
  if (id == 0 || !view->floorItems || (view->floorItemCount && id >= view->floorItemCount)) return nullptr;
  return view->floorItems + u32(id) * kFloorItemWords;
}

const u16* SRenderer::Creature(u16 id) const {
  if (id == 0 || !view->creatures || (view->creatureCount && id >= view->creatureCount)) return nullptr;
  return view->creatures + u32(id) * kCreatureWords;
}

bool SRenderer::ImageSize(u16 id, i32& w, i32& h) const {
  w = h = 0;
  if (id == 0 || !TextureSize(id, w, h)) return false;
  return w > 0 && h > 0;
}

i32 SRenderer::ImageFoot(u16 id) const {
  if (!view->imageFeet || (view->imageCount && id >= view->imageCount)) return 0;
  return view->imageFeet[id];
}

void SRenderer::LowerDepth(i32 polygon, i32 maxBy, i32 minBy) {
  if (polygon < 0 || polygon >= drawCount) return;
  drawList[polygon].maxDepth -= maxBy;
  drawList[polygon].minDepth -= minBy;
}

namespace {
// Fills the clip input with a screen rectangle at depth z.
void ScreenQuad(SRenderer::ClipVertex* in, i32 l, i32 t, i32 r, i32 b, i32 z, i32 u0, i32 u1, i32 v0, i32 v1) {
  in[0] = {l, t, z, u0, v0, 0};
  in[1] = {r, t, z, u1, v0, 0};
  in[2] = {r, b, z, u1, v1, 0};
  in[3] = {l, b, z, u0, v1, 0};
}
}  // namespace

bool SRenderer::EmitUprightImage(i32 dx, i32 dy, i32 ox, i32 height, i32 oz, i32 size, bool hanging, bool ceilingAbove,
                                 u16 image, u16 palette, i32 lightScale, SScreenRect* rect, bool mirrored,
                                 i32 drawClass, u8 overlayFlags, i32* depth) {
  i32 w, h;
  if (!ImageSize(image, w, h)) return false;
  i32 x, z;
  ViewPoint(dx, dy, ox, oz, x, z);
  if (z >= farDist || z <= nearDist) return false;
  const i32 W = view->viewWidth;
  const i32 scale = i32(((i64(cellSize) * size + (i64(focal) << 10)) / z) * W / referenceWidth);
  const i32 q = projScale / z;
  const i32 ax = i32((i64(x) * q) >> 15) - negCentreX;
  const i32 ay = i32((-i64(height) * q) >> 15) - negEyeRow;
  const i32 hw = i32((i64(w) * scale) >> 7);
  const i32 left = ax - hw, right = left + 2 * hw;
  const i32 f = ImageFoot(image);
  i32 top, bottom;
  if (!hanging) {
    top = ay - i32((i64(h - f) * scale) >> 6);
    bottom = ay + i32((i64(f) * scale) >> 6);
  } else {
    top = ay - i32((i64(f) * scale) >> 6);
    bottom = ay + i32((i64(h - f) * scale) >> 6);
  }
  if (rect) *rect = {left, top, right, bottom};
  if (depth) *depth = z;
  const i32 w16 = w * 16, h16 = h * 16;
  const i32 u0 = mirrored ? w16 - 1 : 0, u1 = mirrored ? -1 : w16;
  auto part = [&](i32 pt, i32 pb, i32 vt, i32 vb, i32 cls) {
    ScreenQuad(clipIn, left, pt, right, pb, z, u0, u1, vt, vb);
    const i32 n = ClipScreenQuad();
    if (n < 3) return false;
    SRenderPolygon& p = NextPolygon();
    p.flags = overlayFlags;
    p.textures[0] = image;
    p.palettes[0] = palette;
    return AddPolygon(n, 11, lightScale, cls);
  };
  const i32 c = i32((-(i64(kCeiling) * q)) >> 15) - negEyeRow;
  if (!ceilingAbove && c > top && c < bottom && bottom > top) {
    // Split at the ceiling line: the lower part sorts with the lower storey, the upper with the upper one.
    const i32 vc = i32((i64(c - top) * h16) / (bottom - top));
    const bool below = part(c, bottom, vc, h16, drawClass >= 0 ? drawClass : 3);
    const bool above = part(top, c, 0, vc, drawClass >= 0 ? drawClass : 5);
    return below || above;
  }
  const i32 cls = drawClass >= 0 ? drawClass : (!ceilingAbove && c >= bottom) ? 5 : 3;
  return part(top, bottom, 0, h16, cls);
}

i32 SRenderer::EmitWallQuad(i32 dx, i32 dy, i32 ax, i32 az, i32 bx, i32 bz, i32 top, i32 bottom, i32 u0, i32 u1, i32 v0,
                            i32 v1, u16 image, u16 palette, i32 kind, i32 light, i32 drawClass, int sides, u8 flags,
                            bool uprightClip) {
  i32 pax, paz, pbx, pbz;
  ViewPoint(dx, dy, ax, az, pax, paz);
  ViewPoint(dx, dy, bx, bz, pbx, pbz);
  // Seen from the front when a lies left of b as the viewer sees them.
  const bool front = i64(pbx) * paz > i64(pax) * pbz;
  if (!front) {
    if (sides == 0) return -1;
    std::swap(pax, pbx);
    std::swap(paz, pbz);
    if (sides == 1) std::swap(u0, u1);
  }
  clipIn[0] = {pax, top, paz, u0, v0, 0};
  clipIn[1] = {pbx, top, pbz, u1, v0, 0};
  clipIn[2] = {pbx, bottom, pbz, u1, v1, 0};
  clipIn[3] = {pax, bottom, paz, u0, v1, 0};
  const i32 n = uprightClip ? ClipUprightQuad() : ClipPolygon(4);
  if (n < 3) return -1;
  SRenderPolygon& p = NextPolygon();
  p.flags = flags;
  p.textures[0] = image;
  p.palettes[0] = palette;
  const i32 index = drawCount;
  if (!AddPolygon(n, kind, light, drawClass)) return -1;
  return index;
}

void SRenderer::EmitWallQuadSplit(i32 dx, i32 dy, i32 ax, i32 az, i32 bx, i32 bz, i32 top, i32 bottom, i32 u0, i32 u1,
                                  i32 v0, i32 v1, u16 image, u16 palette, i32 light, u8 flags, i32 depthAdjust) {
  if (top <= bottom) return;
  auto add = [&](i32 t, i32 b, i32 vt, i32 vb, i32 cls) {
    const i32 p = EmitWallQuad(dx, dy, ax, az, bx, bz, t, b, u0, u1, vt, vb, image, palette, 14, light, cls, 2, flags);
    if (p >= 0 && depthAdjust) LowerDepth(p, depthAdjust, depthAdjust);
  };
  if (top > kCeiling && bottom < kCeiling) {
    const i32 vc = v0 + i32((i64(v1 - v0) * (top - kCeiling)) / (top - bottom));
    add(kCeiling, bottom, vc, v1, 3);
    add(top, kCeiling, v0, vc, 5);
  } else {
    add(top, bottom, v0, v1, bottom >= kCeiling ? 5 : 3);
  }
}

// ---- The lower-storey object by render type ----

void SRenderer::EmitCellObject(i32 x, i32 y) {
  const u16* obj = Object(Cell(y * view->mapWidth + x)[1]);
  if (!obj) return;
  switch (obj[0] & 0xFF) {
    case 1: EmitObjectType1(x, y, obj, false); break;
    case 7: EmitObjectType1(x, y, obj, true); break;
    case 3: EmitObjectType3(x, y, obj); break;
    case 4: EmitObjectType4(x, y, obj); break;
    case 5: EmitObjectType5(x, y, obj); break;
    case 9: EmitObjectType9(x, y, obj); break;
    case 10: EmitObjectType10(x, y, obj); break;
    case 12: EmitObjectType12(x, y, obj); break;
    case 13: EmitObjectType13(x, y, obj); break;
    default: break;
  }
}

void SRenderer::EmitCellObjectType8(i32 x, i32 y) {
  const u16* side = CellSide(y * view->mapWidth + x);
  if (!side) return;
  const u16* obj = Object(side[0]);
  if (obj && (obj[0] & 0xFF) == 8) EmitObjectType8(x, y, obj);
}

SRenderer::CellRef SRenderer::Locate(i32 x, i32 y) const {
  const i32 idx = y * view->mapWidth + x;
  return {idx, Cell(idx), x - eyeCellX, y - eyeCellY};
}

namespace {
// True when the upper storey is closed above the cell: its images are then not split at the ceiling line.
bool CeilingAbove(const SRenderer&, i32 wallClass, const u16* side, i32 sideType) {
  return (wallClass & 2) || (side && sideType == 11);
}
}  // namespace

void SRenderer::EmitObjectType1(i32 x, i32 y, const u16* obj, bool hanging) {
  const CellRef at = Locate(x, y);
  const i32 cls = CellWallClass(at.idx);
  const u16* side = CellSide(at.idx);
  const bool above = CeilingAbove(*this, cls, side, side ? ObjectRenderType(side[0]) : 0);
  const i32 height = hanging ? ((cls & 2) ? kCeiling : kUpperCeiling) : HeightWord(i16(obj[29]));
  SScreenRect rect;
  i32 z;
  if (!EmitUprightImage(at.dx, at.dy, PositionWord(obj[15]), height, PositionWord(obj[22]), 512, hanging, above, obj[1],
                        obj[8], at.cell[11], &rect, false, -1, 0, &z))
    return;
  // The laid images sort with the part of the first image at their height.
  const i32 q = projScale / z;
  const i32 c = i32((-(i64(kCeiling) * q)) >> 15) - negEyeRow;
  EmitObjectType1Layer(at.dx, at.dy, obj, rect, z, (!above && c >= rect.bottom) ? 5 : 3, at.cell[11]);
}

void SRenderer::EmitObjectType1Layer(i32 dx, i32 dy, const u16* obj, const SScreenRect& rect, i32 z, i32 drawClass,
                                     i32 light) {
  (void)dx;
  (void)dy;
  i32 w1, h1;
  if (!ImageSize(obj[1], w1, h1)) return;
  const i32 rw = rect.right - rect.left, rh = rect.bottom - rect.top;
  for (int i = 2; i <= 6; ++i) {
    i32 w, h;
    if (!ImageSize(obj[i], w, h)) continue;
    // Offsets and sizes in the first image's pixels, scaled to its screen rectangle.
    const i32 l = rect.left + i32(i64(obj[14 + i]) * rw / w1);
    const i32 t = rect.top + i32(i64(obj[21 + i]) * rh / h1);
    const i32 r = l + i32(i64(w) * rw / w1), b = t + i32(i64(h) * rh / h1);
    ScreenQuad(clipIn, l, t, r, b, z, 0, w * 16, 0, h * 16);
    const i32 n = ClipScreenQuad();
    if (n < 3) continue;
    SRenderPolygon& p = NextPolygon();
    p.textures[0] = obj[i];
    p.palettes[0] = obj[7 + i];
    const i32 index = drawCount;
    if (AddPolygon(n, 11, light, drawClass)) LowerDepth(index, i - 1, i - 1);
  }
}

void SRenderer::EmitObjectType5(i32 x, i32 y, const u16* obj) {
  const CellRef at = Locate(x, y);
  const u16* side = CellSide(at.idx);
  const bool above = CeilingAbove(*this, CellWallClass(at.idx), side, side ? ObjectRenderType(side[0]) : 0);
  for (int i = 1; i <= 6; ++i)
    if (obj[i])
      EmitUprightImage(at.dx, at.dy, PositionWord(obj[14 + i]), kFloor, PositionWord(obj[21 + i]), 512, false, above,
                       obj[i], obj[7 + i], at.cell[11]);
}

void SRenderer::EmitObjectType13(i32 x, i32 y, const u16* obj) {
  const CellRef at = Locate(x, y);
  const u16* side = CellSide(at.idx);
  const bool above = CeilingAbove(*this, CellWallClass(at.idx), side, side ? ObjectRenderType(side[0]) : 0);
  const i32 height = HeightWord(i16(obj[29]));
  for (int i = 1; i <= 6; ++i)
    if (obj[i])
      EmitUprightImage(at.dx, at.dy, PositionWord(obj[14 + i]), height, PositionWord(obj[21 + i]), 512, false, above,
                       obj[i], obj[7 + i], at.cell[11]);
}

void SRenderer::EmitObjectType12(i32 x, i32 y, const u16* obj) {
  const CellRef at = Locate(x, y);
  const u16* side = CellSide(at.idx);
  const bool above = CeilingAbove(*this, CellWallClass(at.idx), side, side ? ObjectRenderType(side[0]) : 0);
  EmitUprightImage(at.dx, at.dy, PositionWord(obj[15]), HeightWord(i16(obj[29])), PositionWord(obj[22]), 1024, false,
                   above, obj[1], obj[8], at.cell[11]);
}

void SRenderer::EmitObjectType10(i32 x, i32 y, const u16* obj) {
  const CellRef at = Locate(x, y);
  i32 w, h;
  if (!ImageSize(obj[1], w, h)) return;
  const bool northSouth = (obj[0] & 0x100) != 0;
  const i32 top = kFloor + i32(i64(h) * 336 * 731 / (i64(w) * 240));
  // The plane is moved toward the camera by the part of the view that looks across it.
  const i32 across = northSouth ? minusSin : cosA;
  const i32 shift = ((across < 0 ? -across : across) * 312) >> 10;
  const i32 eyeAlong = northSouth ? eyeX - x * 1024 : eyeY - y * 1024;
  const i32 pos = eyeAlong < 512 ? 512 - shift : 512 + shift;
  const i32 p = northSouth ? EmitWallQuad(at.dx, at.dy, pos, 1, pos, 1023, top, kFloor, 0, w * 16, 0, h * 16, obj[1],
                                          obj[8], 14, at.cell[11], 3, 2)
                           : EmitWallQuad(at.dx, at.dy, 1, pos, 1023, pos, top, kFloor, 0, w * 16, 0, h * 16, obj[1],
                                          obj[8], 14, at.cell[11], 3, 2);
  if (p >= 0) LowerDepth(p, 10, 0);
}

namespace {
// Distance of a door's backdrop plane from the cell edge that faces the camera: where an image w pixels wide
// spans the cell at its own size. Kept inside the cell.
i32 BackdropOffset(i32 focal, i32 w) {
  i32 d = (336 * focal) / w - focal;
  return d < 0 ? 0 : d > 1023 ? 1023 : d;
}
}  // namespace

void SRenderer::EmitObjectType3(i32 x, i32 y, const u16* obj) {
  const CellRef at = Locate(x, y);
  i32 w4, h4;
  if (!ImageSize(obj[4], w4, h4)) return;
  const bool northSouth = LowerWallBlock(x, y - 1) && LowerWallBlock(x, y + 1);
  const i32 d = BackdropOffset(focal, w4);
  const i32 eyeAlong = northSouth ? eyeX - x * 1024 : eyeY - y * 1024;
  const i32 pos = eyeAlong < 512 ? d : 1024 - d;
  const i32 bh = i32(i64(h4) * 336 * 731 / (i64(w4) * 240));
  const i32 topY = kFloor + bh;
  const u8 flags = (obj[29] & 1) ? kPolyFadeToWhite : 0;
  auto quad = [&](i32 a0, i32 a1, i32 yt, i32 yb, u16 img, u16 pal, i32 w16, i32 h16, i32 adjust) {
    if (northSouth)
      EmitWallQuadSplit(at.dx, at.dy, pos, a0, pos, a1, yt, yb, 0, w16, 0, h16, img, pal, at.cell[11], flags, adjust);
    else
      EmitWallQuadSplit(at.dx, at.dy, a0, pos, a1, pos, yt, yb, 0, w16, 0, h16, img, pal, at.cell[11], flags, adjust);
  };
  quad(1, 1023, topY, kFloor, obj[4], obj[11], w4 * 16, h4 * 16, 0);
  const bool open = ((obj[0] >> 10) & 63) == 63;
  for (int i = 0; i < 3; ++i) {
    const u16 img = obj[1 + i];
    if (!img || (i == 1 && open)) continue;
    i32 w, h;
    if (!ImageSize(img, w, h)) continue;
    // Offsets in the backdrop's pixels; the laid images sort in front of it, later ones in front of earlier.
    const i32 a0 = i32(i64(obj[15 + i]) * 1024 / w4), a1 = a0 + i32(i64(w) * 1024 / w4);
    const i32 yt = topY - i32(i64(obj[22 + i]) * bh / h4), yb = yt - i32(i64(h) * bh / h4);
    quad(a0, a1, yt, yb, img, obj[8 + i], w * 16, h * 16, 2 + i);
  }
}

void SRenderer::EmitObjectType9(i32 x, i32 y, const u16* obj) {
  const CellRef at = Locate(x, y);
  i32 w, h;
  if (!ImageSize(obj[1], w, h)) return;
  const bool alongX = LowerWallBlock(x, y - 1) && LowerWallBlock(x, y + 1);
  const i32 f = ImageFoot(obj[1]);
  const i32 ww = w * 1024 / 336;
  const i32 bottom = kFloor - (f * 731) / 240, top = kFloor + ((h - f) * 731) / 240;
  const i32 a0 = 512 - ww / 2, a1 = a0 + ww;
  for (int edge = 0; edge < 2; ++edge) {
    // a to b runs left to right as seen from inside the at.cell; the opposite edge is wound the other way.
    i32 ax, az, bx, bz;
    if (!alongX) {
      if (edge == 0)
        ax = 0, az = a1, bx = 0, bz = a0;
      else
        ax = 1024, az = a0, bx = 1024, bz = a1;
    } else {
      if (edge == 0)
        ax = a0, az = 0, bx = a1, bz = 0;
      else
        ax = a1, az = 1024, bx = a0, bz = 1024;
    }
    const i32 main = EmitWallQuad(at.dx, at.dy, ax, az, bx, bz, top, bottom, 0, w * 16, 0, h * 16, obj[1], obj[8], 14,
                                  at.cell[11], 3, 0);
    if (main < 0) continue;
    LowerDepth(main, 4, 4);
    const i32 mainMax = drawList[main].maxDepth;
    for (int k = 0; k < 2; ++k) {
      const u16 img = obj[2 + k];
      i32 wi, hi;
      if (!img || !ImageSize(img, wi, hi)) continue;
      const i32 t0 = i32(i64(obj[16 + k]) * ww / w), t1 = t0 + i32(i64(wi) * ww / w);
      const i32 yt = top - i32(i64(obj[23 + k]) * (top - bottom) / h), yb = yt - i32(i64(hi) * (top - bottom) / h);
      auto along = [&](i32 t, i32& px, i32& pz) {
        px = ax + i32(i64(bx - ax) * t / ww);
        pz = az + i32(i64(bz - az) * t / ww);
      };
      i32 px0, pz0, px1, pz1;
      along(t0, px0, pz0);
      along(t1, px1, pz1);
      const i32 o = EmitWallQuad(at.dx, at.dy, px0, pz0, px1, pz1, yt, yb, 0, wi * 16, 0, hi * 16, img, obj[9 + k], 14,
                                 at.cell[11], 3, 0);
      if (o >= 0) drawList[o].maxDepth = mainMax - 1;
    }
  }
}

void SRenderer::EmitObjectType4(i32 x, i32 y, const u16* obj) {
  const CellRef at = Locate(x, y);
  i32 w, h;
  if (!ImageSize(obj[1], w, h)) return;
  // Four copies in a 2 x 2 arrangement, each half its width in from the at.cell's edges.
  i32 o = (w * 512) / 336;
  if (o > 512) o = 512;
  const i32 a = view->angle % FixedAngle::kFullTurnDegrees;
  const i32 sector = (((a < 0 ? a + FixedAngle::kFullTurnDegrees : a) + (45 << 16)) / (90 << 16)) & 3;
  const i32 spots[4][2] = {{o, o}, {1024 - o, o}, {o, 1024 - o}, {1024 - o, 1024 - o}};
  for (int k = 0; k < 4; ++k)
    EmitObjectType4Part(at.dx, at.dy, spots[k][0], spots[k][1], obj[1], obj[8], ((k + sector) & 1) != 0, at.cell[11]);
}

void SRenderer::EmitObjectType4Part(i32 dx, i32 dy, i32 ox, i32 oz, u16 image, u16 palette, bool mirrored, i32 light) {
  i32 w, h;
  if (!ImageSize(image, w, h)) return;
  i32 x, z;
  ViewPoint(dx, dy, ox, oz, x, z);
  if (z >= farDist || z <= nearDist) return;
  const i32 scale = i32((i64(focal) << 10) / z * view->viewWidth / referenceWidth);
  const i32 q = projScale / z;
  const i32 ax = i32((i64(x) * q) >> 15) - negCentreX;
  const i32 ay = i32((-i64(kFloor) * q) >> 15) - negEyeRow;
  const i32 hw = i32((i64(w) * scale) >> 7);
  const i32 top = ay - i32((i64(h) * scale) >> 6);
  const i32 u0 = mirrored ? w * 16 - 1 : 0, u1 = mirrored ? -1 : w * 16;
  ScreenQuad(clipIn, ax - hw, top, ax + hw, ay, z, u0, u1, 0, h * 16);
  const i32 n = ClipScreenQuad();
  if (n < 3) return;
  SRenderPolygon& p = NextPolygon();
  p.textures[0] = image;
  p.palettes[0] = palette;
  AddPolygon(n, 11, light, 3);
}

void SRenderer::EmitObjectType8(i32 x, i32 y, const u16* obj) {
  const CellRef at = Locate(x, y);
  const u16* side = CellSide(at.idx);
  i32 w, h;
  if (!side || !ImageSize(obj[1], w, h)) return;
  const bool northSouth = UpperWallBlock(x, y - 1) && UpperWallBlock(x, y + 1);
  const i32 d = BackdropOffset(focal, w);
  const i32 eyeAlong = northSouth ? eyeX - x * 1024 : eyeY - y * 1024;
  const i32 pos = eyeAlong < 512 ? d : 1024 - d;
  const i32 top = kCeiling + i32(i64(h) * 336 * 731 / (i64(w) * 240));
  if (northSouth)
    EmitWallQuad(at.dx, at.dy, pos, 1, pos, 1023, top, kCeiling, 0, w * 16, 0, h * 16, obj[1], obj[8], 14, side[2], 5,
                 2);
  else
    EmitWallQuad(at.dx, at.dy, 1, pos, 1023, pos, top, kCeiling, 0, w * 16, 0, h * 16, obj[1], obj[8], 14, side[2], 5,
                 2);
}

// ---- Creatures, floor items and the cell sprite ----

void SRenderer::EmitCellWord9(i32 x, i32 y) {
  const CellRef at = Locate(x, y);
  for (int word = 9; word <= 10; ++word) {
    const u16* c = Creature(at.cell[word]);
    if (!c) continue;
    const bool mirrored = (c[5] & 1) != 0;
    const i32 height = HeightWord(c[4]);
    EmitUprightImage(at.dx, at.dy, PositionWord(c[2]), height, PositionWord(c[3]), 0, false, false, c[0], c[1],
                     at.cell[11], nullptr, mirrored);
    if (!c[6]) continue;
    // The same quad again, drawn with the view's alternative image in front of the creature.
    const i32 first = drawCount;
    EmitUprightImage(at.dx, at.dy, PositionWord(c[2]), height, PositionWord(c[3]), 0, false, false, c[0], c[1],
                     at.cell[11], nullptr, mirrored, -1, (c[5] & 2) ? kPolyAltImageB : kPolyAltImageA);
    for (i32 i = first; i < drawCount; ++i) LowerDepth(i, 1, 1);
  }
}

void SRenderer::EmitCellWord3(i32 x, i32 y) {
  const CellRef at = Locate(x, y);
  const u16* items = FloorItem(at.cell[3]);
  if (!items) return;
  // In the camera's own at.cell and the one just ahead the spots are pulled into the part of the floor that
  // can be seen.
  const i32 camX = view->cameraX >> 16, camY = view->cameraY >> 16;
  i32 aheadX = 0, aheadY = 0;
  switch (facingCode) {
    case 0: aheadY = -1; break;
    case 1: aheadX = -1; break;
    case 2: aheadY = 1; break;
    case 3: aheadX = 1; break;
    default: {
      const i32 mx = minusSin, my = -cosA;
      if ((mx < 0 ? -mx : mx) > (my < 0 ? -my : my))
        aheadX = mx < 0 ? -1 : 1;
      else
        aheadY = my < 0 ? -1 : 1;
      break;
    }
  }
  const bool pulled = (x == camX && y == camY) || (x == camX + aheadX && y == camY + aheadY);
  const i32 r = floorMargin;
  for (int i = 0; i < 10; ++i) {
    if (!items[i]) continue;
    i32 ox = kItemSpots[i][0], oz = kItemSpots[i][1];
    if (pulled) {
      i32 px = ox - 516, pz = oz - 508;
      const i32 k = r - 2 > 0 ? r - 2 : 0;
      if (r < 156) px = px * k / 156;
      if (r < 141) pz = pz * k / 141;
      ox = 516 + px;
      oz = 508 + pz;
      // Beyond the nearest floor the viewport shows, moved along the view direction when nearer.
      i32 vx, vz;
      ViewPoint(at.dx, at.dy, ox, oz, vx, vz);
      i32 want = focal - r;
      if (want < nearDist) want = nearDist;
      want += 64;
      if (vz < want) {
        const i32 t = want - vz;
        ox += (minusSin * t) >> 10;
        oz -= (cosA * t) >> 10;
      }
    }
    EmitUprightImage(at.dx, at.dy, ox, kFloor, oz, 0, false, true, items[i], 0, at.cell[11], nullptr, false, 3);
  }
}

void SRenderer::EmitCellSprite(i32 x, i32 y) {
  const CellRef at = Locate(x, y);
  if (!at.cell[4]) return;
  const u16* side = CellSide(at.idx);
  const bool above = CeilingAbove(*this, CellWallClass(at.idx), side, side ? ObjectRenderType(side[0]) : 0);
  EmitUprightImage(at.dx, at.dy, PositionWord(at.cell[6]), HeightWord(at.cell[8]), PositionWord(at.cell[7]), 512, false,
                   above, at.cell[4], at.cell[5], at.cell[11]);
}
