// Cell emitters: floors, pits and the faces of wall blocks.
#include "graphics/renderer/SRenderer.h"

#include <cstring>

using namespace RenderWords;

const u16* SRenderer::CellSide(i32 index) const {
  return view->cellSides ? view->cellSides + index * kCellSideWords : nullptr;
}

const u16* SRenderer::FloorType(u16 id) const {
  if (!view->floorTypes || (view->floorTypeCount && id >= view->floorTypeCount)) return nullptr;
  return view->floorTypes + u32(id) * kFloorTypeWords;
}

const u16* SRenderer::Object(u16 id) const {
  if (id == 0 || !view->objects || (view->objectCount && id >= view->objectCount)) return nullptr;
  return view->objects + u32(id) * kObjectWords;
}

const u16* SRenderer::WallFace(u16 id) const {
  if (id == 0 || !view->wallFaces || (view->wallFaceCount && id >= view->wallFaceCount)) return nullptr;
  return view->wallFaces + u32(id) * kWallFaceWords;
}

i32 SRenderer::ObjectRenderType(u16 id) const {
  const u16* o = Object(id);
  return o ? (o[0] & 0xFF) : 0;
}

bool SRenderer::TextureSize(u16 textureId, i32& w, i32& h) const {
  w = h = 0;
  if (!view->images || (view->imageCount && textureId >= view->imageCount)) return false;
  const SImage* image = view->images[textureId];
  if (!image) return false;
  w = image->width;
  h = image->height;
  return true;
}

i32 SRenderer::CellWallClass(i32 cellIndex) const {
  i32 c = 0;
  if (ObjectRenderType(Cell(cellIndex)[1]) == 2) c |= 1;
  const u16* side = CellSide(cellIndex);
  if (side && ObjectRenderType(side[0]) == 2) c |= 2;
  return c;
}

bool SRenderer::IsPit(i32 cellIndex) const {
  const u16* ft = FloorType(Cell(cellIndex)[0]);
  return ft && (ft[6] & 1);
}

bool SRenderer::IsFrontFacing() const {
  const ClipVertex* v = clipOut;
  const i64 a = i64(v[1].x - v[0].x) * (v[2].y - v[1].y);
  const i64 b = i64(v[1].y - v[0].y) * (v[2].x - v[1].x);
  return a - b >= 0;
}

void SRenderer::SetPitLight(i32 storey) {
  i32 top = 65536, bottom = 0;
  if (deepPits) {
    if (storey == 0)
      bottom = 50000;
    else
      top = 50000;
  }
  clipIn[0].l = clipIn[1].l = top;
  clipIn[2].l = clipIn[3].l = bottom;
}

void SRenderer::BuildSideQuad(i32 px, i32 py, i32 qx, i32 qy, i32 top, i32 bottom, i32 w16, i32 h16) {
  i32 x, z;
  ViewCorner(px, py, x, z);
  clipIn[0] = {x, top, z, 0, 0, 0};
  clipIn[3] = {x, bottom, z, w16, 0, 0};
  ViewCorner(qx, qy, x, z);
  clipIn[1] = {x, top, z, 0, h16, 0};
  clipIn[2] = {x, bottom, z, w16, h16, 0};
}

void SRenderer::BuildFlatQuad(i32 dx, i32 dy, i32 height, i32 w16, i32 h16) {
  static const i32 cx[4] = {0, 1, 1, 0}, cy[4] = {0, 0, 1, 1};
  for (int i = 0; i < 4; ++i) {
    i32 x, z;
    ViewCorner(dx + cx[i], dy + cy[i], x, z);
    clipIn[i] = {x, height, z, cx[i] * w16, cy[i] * h16, 0};
  }
}

SRenderPolygon& SRenderer::NextPolygon() {
  SRenderPolygon& p = drawCount < kMaxPolygons ? polygons[drawCount] : scratchPolygon;
  std::memset(&p, 0, sizeof(p));
  return p;
}

void SRenderer::EmitCellSolidOrFloor(i32 x, i32 y) {
  const i32 idx = y * view->mapWidth + x;
  const u16* cell = Cell(idx);
  if (CellWallClass(idx) & 1) return;
  if (cell[0] == 0) return;
  if (ObjectRenderType(cell[1]) == 11) return;
  const u16* ft = FloorType(cell[0]);
  if (!ft) return;
  const i32 dx = x - eyeCellX, dy = y - eyeCellY;
  i32 w, h;
  TextureSize(ft[0], w, h);
  const i32 W16 = w * 16, H16 = h * 16;

  if (ft[6] & 1) {
    // Sides toward every neighbour that is not a pit (or toward the map's edge).
    struct Side {
      i32 nx, ny;
      i32 px, py, qx, qy;
    };
    const Side sides[4] = {
        {x, y - 1, dx, dy, dx + 1, dy},
        {x - 1, y, dx, dy + 1, dx, dy},
        {x, y + 1, dx + 1, dy + 1, dx, dy + 1},
        {x + 1, y, dx + 1, dy, dx + 1, dy + 1},
    };
    for (const Side& s : sides) {
      const bool inside = s.nx >= 0 && s.ny >= 0 && s.nx < view->mapWidth && s.ny < view->mapHeight;
      if (inside && IsPit(s.ny * view->mapWidth + s.nx)) continue;
      const int storeys = deepPits ? 2 : 1;
      for (int storey = 0; storey < storeys; ++storey) {
        const i32 top = storey == 0 ? -518 : -1249, bottom = storey == 0 ? -1249 : -1980;
        BuildSideQuad(s.px, s.py, s.qx, s.qy, top, bottom, W16, H16);
        SetPitLight(storey);
        const i32 n = ClipLitQuad();
        if (n < 3 || !IsFrontFacing()) continue;
        SRenderPolygon& p = NextPolygon();
        p.textures[0] = ft[0];
        p.palettes[0] = ft[3];
        AddSolidWallPolygon(n, cell[11]);
      }
    }
    BuildFlatQuad(dx, dy, deepPits ? -1980 : -1249, 0, 0);
    const i32 n = ClipPlainQuad();
    if (n >= 3) {
      NextPolygon();
      AddPolygon(n, 0, 0, 1);
    }
    return;
  }

  BuildFlatQuad(dx, dy, -518, W16, H16);
  const i32 n = ClipPolygon(4);
  if (n < 3) return;
  SRenderPolygon& p = NextPolygon();
  p.textures[0] = ft[0];
  p.palettes[0] = ft[3];
  const u16* obj = Object(cell[1]);
  const bool type6 = obj && (obj[0] & 0xFF) == 6;
  i32 kind;
  if (ft[2]) {
    p.textures[1] = ft[1];
    p.textures[2] = ft[2];
    p.palettes[1] = ft[4];
    p.palettes[2] = ft[5];
    p.images[0] = ft[7];
    p.images[1] = ft[8];
    kind = 3;
  } else if (ft[1]) {
    p.textures[1] = ft[1];
    p.palettes[1] = ft[4];
    p.images[0] = ft[7];
    if (type6) {
      p.textures[2] = obj[1];
      p.palettes[2] = obj[8];
      kind = 5;
    } else {
      kind = 2;
    }
  } else if (type6) {
    p.textures[1] = obj[1];
    p.palettes[1] = obj[8];
    kind = 4;
  } else {
    kind = 1;
  }
  AddPolygon(n, kind, cell[11], 2);
}

void SRenderer::EmitCellThinWalls(i32 x, i32 y) {
  const i32 idx = y * view->mapWidth + x;
  const i32 cls = CellWallClass(idx);
  if (!cls) return;
  const i32 dx = x - eyeCellX, dy = y - eyeCellY;
  // Faces north, west, south, east; `facing` is the side of the neighbour's wall-face record that looks
  // at this block (north 0, east 1, south 2, west 3).
  struct Face {
    i32 nx, ny;
    i32 px, py, qx, qy;
    int facing;
  };
  const Face faces[4] = {
      {x, y - 1, dx + 1, dy, dx, dy, 2},
      {x - 1, y, dx, dy, dx, dy + 1, 1},
      {x, y + 1, dx, dy + 1, dx + 1, dy + 1, 0},
      {x + 1, y, dx + 1, dy + 1, dx + 1, dy, 3},
  };
  for (int storey = 0; storey < 2; ++storey) {
    const i32 bit = storey == 0 ? 1 : 2;
    if (!(cls & bit)) continue;
    const u16* obj = storey == 0 ? Object(Cell(idx)[1]) : Object(CellSide(idx)[0]);
    if (!obj) continue;
    i32 w, h;
    TextureSize(obj[1], w, h);
    const i32 top = storey == 0 ? 213 : 944, bottom = storey == 0 ? -518 : 213;
    for (const Face& f : faces) {
      const bool inside = f.nx >= 0 && f.ny >= 0 && f.nx < view->mapWidth && f.ny < view->mapHeight;
      const i32 nIdx = inside ? f.ny * view->mapWidth + f.nx : -1;
      if (inside && (CellWallClass(nIdx) & bit)) continue;
      BuildSideQuad(f.px, f.py, f.qx, f.qy, top, bottom, w * 16, h * 16);
      const i32 n = ClipPolygon(4);
      if (n < 3 || !IsFrontFacing()) continue;
      SRenderPolygon& p = NextPolygon();
      p.textures[0] = obj[1];
      p.palettes[0] = obj[8];
      i32 kind = 7;
      i32 light;
      if (inside) {
        const u16* words = storey == 0 ? Cell(nIdx) : CellSide(nIdx);
        const u16* face = WallFace(storey == 0 ? words[2] : words[1]);
        if (face && (face[16 + f.facing] & 0x8000)) {
          p.textures[1] = face[20 + f.facing];
          p.palettes[1] = face[24 + f.facing];
          kind = 9;
        }
        light = storey == 0 ? words[11] : words[2];
      } else {
        light = storey == 0 ? Cell(idx)[11] : CellSide(idx)[2];
      }
      AddPolygon(n, kind, light, storey == 0 ? 3 : 5);
    }
  }
}
