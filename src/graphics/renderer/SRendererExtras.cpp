// Ceilings, shapes, wall decorations and the cells outside the map.
#include "graphics/renderer/RenderShapes.h"
#include "graphics/renderer/SRenderer.h"

using namespace RenderWords;

namespace {
constexpr i32 kFloor = -518;
constexpr i32 kCeiling = 213;
constexpr i32 kUpperCeiling = 944;
}  // namespace

void SRenderer::BuildCeilingQuad(i32 dx, i32 dy, i32 height, i32 w16, i32 h16) {
  // The floor's corners wound the other way: a ceiling is seen from below.
  static const i32 cx[4] = {0, 1, 1, 0}, cy[4] = {1, 1, 0, 0};
  for (int i = 0; i < 4; ++i) {
    i32 x, z;
    ViewCorner(dx + cx[i], dy + cy[i], x, z);
    clipIn[i] = {x, height, z, cx[i] * w16, cy[i] * h16, 0};
  }
}

void SRenderer::EmitCellExtra(i32 x, i32 y) {
  const i32 idx = y * view->mapWidth + x;
  const u16* cell = Cell(idx);
  const u16* side = CellSide(idx);
  const i32 dx = x - eyeCellX, dy = y - eyeCellY;
  const i32 cls = CellWallClass(idx);
  auto ceiling = [&](i32 height, u16 image, u16 palette, i32 light, i32 drawClass) {
    i32 w, h;
    if (!ImageSize(image, w, h)) return;
    BuildCeilingQuad(dx, dy, height, w * 16, h * 16);
    const i32 n = ClipPolygon(4);
    if (n < 3) return;
    SRenderPolygon& p = NextPolygon();
    p.textures[0] = image;
    p.palettes[0] = palette;
    AddPolygon(n, 6, light, drawClass);
  };
  if (cls != 3) {
    if (!(view->flags & 1) && !(cls & 2))
      ceiling(kUpperCeiling, view->skyTexture, view->skyPalette, side ? side[2] : cell[11], 6);
    if (cls & 2) {
      const u16* upper = Object(side[0]);
      if (upper) ceiling(kCeiling, upper[3], upper[10], cell[11], 3);
    }
  }
  if (side) {
    const u16* upper = Object(side[0]);
    if (upper && (upper[0] & 0xFF) == 11) ceiling(kCeiling, upper[1], upper[8], cell[11], 3);
  }
}

void SRenderer::EmitCellKind10(i32 x, i32 y) {
  const i32 idx = y * view->mapWidth + x;
  const u16* cell = Cell(idx);
  const u16* side = CellSide(idx);
  const i32 cls = CellWallClass(idx);
  const u16* lower = Object(cell[1]);
  const u16* upper = side ? Object(side[0]) : nullptr;
  const u16* obj;
  i32 base;
  u16 image, palette;
  if ((cls & 1) && lower && lower[2]) {
    obj = lower, base = kCeiling, image = lower[2], palette = lower[9];
  } else if (upper && (upper[0] & 0xFF) == 11) {
    obj = upper, base = kCeiling, image = upper[2], palette = upper[9];
  } else if ((cls & 2) && upper && upper[2]) {
    obj = upper, base = kUpperCeiling, image = upper[2], palette = upper[9];
  } else if (lower && (lower[0] & 0xFF) == 11) {
    obj = lower, base = kFloor, image = lower[1], palette = lower[8];
  } else {
    return;
  }
  const i32 shapeNumber = obj[0] >> 8;
  if (shapeNumber >= RenderShapes::kShapeCount) return;
  const i32 drawClass = base == kFloor ? 4 : 5;
  const i32 light = base == kUpperCeiling ? side[2] : cell[11];
  i32 w, h;
  if (!ImageSize(image, w, h)) return;
  const i32 dx = x - eyeCellX, dy = y - eyeCellY;
  const RenderShapes::Table& t = RenderShapes::Get();
  const SShape& shape = t.shapes[shapeNumber];
  for (u32 f = 0; f < shape.faceCount; ++f) {
    const SShapeFace& face = t.faces[shape.firstFace + f];
    for (u32 k = 0; k < face.count; ++k) {
      const SShapeFaceVertex& fv = t.vertices[face.firstVertex + k];
      const SShapePoint& pt = t.points[shape.firstPoint + fv.point];
      i32 vx, vz;
      ViewPoint(dx, dy, pt.x, pt.z, vx, vz);
      clipIn[k] = {vx, pt.y + base, vz, (fv.u * w * 16) >> 10, (fv.v * h * 16) >> 10, 0};
    }
    const i32 n = ClipPolygon(face.count);
    // Faces seen from behind would draw nothing: they are not stored.
    if (n < 3 || !IsFrontFacing()) continue;
    SRenderPolygon& p = NextPolygon();
    p.textures[0] = image;
    p.palettes[0] = palette;
    AddPolygon(n, 10, light, drawClass);
  }
}

namespace {
// A placement word's field (1..31) as a fraction of a cell or storey.
inline i32 Field(i32 field, i32 unit) { return (field - 1) * unit / 30; }
}  // namespace

void SRenderer::EmitDecoration(i32 dx, i32 dy, i32 side, u16 placement, u16 image, u16 palette, u16 overlay,
                               bool plainWhite, i32 base, i32 layer, i32 drawClass, i32 light, bool second) {
  const i32 fx = placement & 31, fz = (placement >> 5) & 31, fh = (placement >> 10) & 31;
  const i32 cellUnit = second ? 1023 : 1024, storeyUnit = second ? 730 : 731;
  const i32 px = Field(fx, cellUnit), pz = Field(fz, cellUnit), height = base + Field(fh, storeyUnit);
  const bool onEdge = fx == 1 || fx == 31 || fz == 1 || fz == 31;
  if (!overlay || !onEdge) {
    // Standing free: faces the viewer, mirrored when seen from the side of the cell it looks away from.
    const i32 a =
        ((view->angle % FixedAngle::kFullTurnDegrees) + FixedAngle::kFullTurnDegrees) % FixedAngle::kFullTurnDegrees;
    const i32 deg = a >> 16;
    bool mirrored;
    if (deg >= 315 || deg < 45)
      mirrored = px < 512;
    else if (deg < 135)
      mirrored = pz > 512;
    else if (deg < 225)
      mirrored = px > 512;
    else
      mirrored = pz < 512;
    EmitUprightImage(dx, dy, px, height, pz, 0, false, layer != 0, image, palette, light, nullptr, mirrored,
                     layer != 0 ? drawClass : -1);
    return;
  }
  // Flat on the wall it touches. The wall's inward normal (nx, nz) and the along-wall direction (from a to b,
  // left to right as seen from inside the cell). A picture at the end of its wall touches two: it belongs to
  // the wall of the side that holds it (0 north, 1 east, 2 south, 3 west).
  i32 w, h;
  if (!ImageSize(overlay, w, h)) return;
  const i32 len = w * 1024 / 336, top = height + (h * 731) / 240;
  const bool onOwnWall = side == 0 ? fz == 1 : side == 1 ? fx == 31 : side == 2 ? fz == 31 : fx == 1;
  const i32 wall = onOwnWall ? side : fx == 1 ? 3 : fx == 31 ? 1 : fz == 1 ? 0 : 2;
  i32 wallX, wallZ, nx, nz;
  if (wall == 3)
    wallX = 0, wallZ = pz, nx = 1, nz = 0;
  else if (wall == 1)
    wallX = 1024, wallZ = pz, nx = -1, nz = 0;
  else if (wall == 0)
    wallX = px, wallZ = 0, nx = 0, nz = 1;
  else
    wallX = px, wallZ = 1024, nx = 0, nz = -1;
  // Looking at the wall (against its normal), the right hand is (nz, -nx) on the map.
  const i32 rx = nz, rz = -nx;
  // The angle between the view direction and the direction into the wall: above 60 degrees the quad may
  // stand out of the wall instead.
  const i32 into = -(minusSin * nx + (-cosA) * nz);
  const bool standOut = (placement & 0x8000) && into < 512;
  i32 ax, az, bx, bz;
  if (standOut) {
    ax = wallX, az = wallZ;
    bx = wallX + nx * len, bz = wallZ + nz * len;
  } else {
    ax = wallX - rx * len / 2, az = wallZ - rz * len / 2;
    bx = ax + rx * len, bz = az + rz * len;
  }
  const bool column = standOut || overlay == image;
  const i32 p = EmitWallQuad(dx, dy, ax, az, bx, bz, top, height, 0, w * 16, 0, h * 16, overlay, palette,
                             column ? 14 : 13, light, drawClass, 1, 0, !column);
  // Lying in the wall's own plane, seen straight on its depths equal the wall's and the sort could put it
  // behind the wall (which then also hides it from the coverage pass): it sorts just in front instead.
  if (p >= 0 && !standOut) LowerDepth(p, 2, 2);
  if (p >= 0 && plainWhite) {
    // Drawn in plain white: fade to white with no light.
    polygons[p].flags |= kPolyFadeToWhite;
    for (u32 i = 0; i < polygons[p].vertexCount; ++i) lights[polygons[p].firstLight + i] = 0;
  }
}

void SRenderer::EmitCellLayer(i32 x, i32 y, i32 layer) {
  const i32 idx = y * view->mapWidth + x;
  const u16* cell = Cell(idx);
  const u16* side = CellSide(idx);
  const u16* face;
  i32 base, drawClass, light;
  if (layer == 0) {
    face = WallFace(cell[2]);
    base = kFloor, drawClass = 3, light = cell[11];
  } else {
    if (!side) return;
    face = WallFace(side[1]);
    base = kCeiling, drawClass = 5, light = side[2];
  }
  if (!face) return;
  const i32 dx = x - eyeCellX, dy = y - eyeCellY;
  for (i32 s = 0; s < 4; ++s) {
    if (face[4 + s])
      EmitDecoration(dx, dy, s, face[s], face[4 + s], face[12 + s], face[8 + s], (face[28 + s] & 0x8000) != 0, base,
                     layer, drawClass, light, false);
  }
  // Second-layer entries that are decorations rather than the wall's second texture.
  for (i32 s = 0; s < 4; ++s) {
    if (face[20 + s] && !(face[16 + s] & 0x8000))
      EmitDecoration(dx, dy, s, face[16 + s], face[20 + s], face[24 + s], 0, false, base, layer, drawClass, light,
                     true);
  }
}

void SRenderer::EmitOutsideCell(i32 x, i32 y) {
  const i32 dx = x - eyeCellX, dy = y - eyeCellY;
  BuildFlatQuad(dx, dy, kFloor, 0, 0);
  i32 n = ClipPlainQuad();
  if (n >= 3) {
    NextPolygon();
    AddPolygon(n, 0, 0, 2);
  }
  if (view->flags & 1) return;
  BuildCeilingQuad(dx, dy, kUpperCeiling, 0, 0);
  n = ClipPlainQuad();
  if (n >= 3) {
    NextPolygon();
    AddPolygon(n, 0, 0, 6);
  }
}
