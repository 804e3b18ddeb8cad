// The frame: set-up, background, grid scan, sort, coverage and the draw step.
#include "graphics/renderer/SRenderer.h"

#include "foundation/QuickSort.h"

#include <cstring>

void SSpanTexture::FromImage(SSpanTexture& texture, const SImage* image) {
  texture.format = image->format;
  texture.width = image->width;
  texture.height = image->height;
  texture.data = image->Pixels();
  texture.palette = image->GetPalette();
}

void SRenderer::DrawView() {
  if (!view) return;
  SWorldView& wv = *view;
  // The coverage arrays hold 800 columns; a viewport that is empty, wider than that, or has no frame
  // buffer draws nothing.
  if (wv.viewWidth <= 0 || wv.viewHeight <= 0 || wv.viewWidth > kMaxColumns || !wv.frameBuffer) return;
  SetupProjection();
  SetupCamera();
  wv.flags |= 2;
  vertexCount = coordCount = lightCount = 0;
  drawCount = 0;
  stats = SRenderStats();

  EmitBackground();
  TraverseView();
  stats.polygonsEmitted = u32(drawCount);
  stats.vertexHighWater = vertexCount;
  SortDrawList();
  ComputeCoverage();
  DrawPolygons();
  if (wv.flags & 4) DrawRain(viewSurface.orientation, 1);
  DrawHandImages();
  if (wv.flags & 4) DrawRain(viewSurface.orientation, 0);
}

namespace {
inline i32 SaturateLight(i64 light);
}

bool SRenderer::StoreHasRoom(i32 count) const {
  return drawCount < kMaxPolygons && count >= 0 && vertexCount + u32(count) <= u32(kMaxVertices);
}

i32 SRenderer::VertexLight(i32 z, i32 scale) const {
  i32 span = farDist - fogStartDist;
  if (span <= 0) span = 1;  // fog starting at or beyond the far distance: no fog band at all
  const i64 f = (i64(farDist - z) << 10) / span;
  return SaturateLight((f * scale) >> 11);
}

namespace {
// Lights are stored in 16 bits and read as signed: 128 and more mean no fog. Very large values (fog
// starting at the far distance) are held at the largest positive value instead of wrapping into fog.
inline i32 SaturateLight(i64 light) { return light < 0 ? 0 : light > 0x7FFF ? 0x7FFF : i32(light); }

void DepthRange(const SRenderer::ClipVertex* v, i32 n, i32& maxZ, i32& minZ) {
  maxZ = minZ = v[0].z;
  for (i32 i = 1; i < n; ++i) {
    if (v[i].z > maxZ) maxZ = v[i].z;
    if (v[i].z < minZ) minZ = v[i].z;
  }
}
}  // namespace

bool SRenderer::AddPolygon(i32 count, i32 kind, i32 lightScale, i32 drawClass) {
  if (!StoreHasRoom(count)) {
    ++stats.droppedPolygons;
    return false;
  }
  SRenderPolygon& p = polygons[drawCount];
  p.kind = u8(kind);
  p.firstVertex = u16(vertexCount);
  p.vertexCount = u16(count);
  p.firstCoord = u16(coordCount);
  p.firstLight = u16(lightCount);
  for (i32 i = 0; i < count; ++i) {
    const ClipVertex& c = clipOut[i];
    vertices[vertexCount + i] = {c.x, c.y, c.z};
    if (kind != 0) {
      coords[coordCount + i] = {c.u, c.v};
      lights[lightCount + i] = u16(VertexLight(c.z, lightScale));
    }
  }
  vertexCount += u32(count);
  if (kind != 0) {
    coordCount += u32(count);
    lightCount += u32(count);
  }
  SDrawEntry& e = drawList[drawCount];
  if (preClipCount > 0)
    DepthRange(clipIn, preClipCount, e.maxDepth, e.minDepth);
  else
    DepthRange(clipOut, count, e.maxDepth, e.minDepth);
  e.polygon = i16(drawCount);
  e.drawClass = u8(drawClass);
  ++drawCount;
  return true;
}

bool SRenderer::AddSolidWallPolygon(i32 count, i32 lightScale) {
  if (!AddPolygon(count, 8, lightScale, 1)) return false;
  const SRenderPolygon& p = polygons[drawCount - 1];
  i32 span = farDist - fogStartDist;
  if (span <= 0) span = 1;
  for (i32 i = 0; i < count; ++i) {
    const ClipVertex& c = clipOut[i];
    const i64 f = (i64(farDist - c.z) << 10) / span;
    lights[p.firstLight + i] = u16(SaturateLight((((f * c.l) >> 16) * lightScale) >> 11));
  }
  return true;
}

// Background polygons are built on the screen directly: no clipping, lights given.
namespace {
struct BgQuad {
  i32 x[4], y[4];
  i32 u[4], v[4];
  u16 l[4];
};
}  // namespace

void SRenderer::EmitBackground() {
  const i32 W16 = view->viewWidth << 4;
  const i32 zb = farDist + 10;
  auto add = [&](i32 kind, const BgQuad& q) {
    if (!StoreHasRoom(4)) {
      ++stats.droppedPolygons;
      return;
    }
    SRenderPolygon& p = polygons[drawCount];
    std::memset(&p, 0, sizeof(p));
    p.kind = u8(kind);
    p.firstVertex = u16(vertexCount);
    p.vertexCount = 4;
    p.firstCoord = u16(coordCount);
    p.firstLight = u16(lightCount);
    if (kind == 12) {
      p.textures[0] = view->skyTexture;
      p.palettes[0] = view->skyPalette;
    }
    for (int i = 0; i < 4; ++i) {
      vertices[vertexCount + i] = {q.x[i], q.y[i], zb};
      if (kind != 0) {
        coords[coordCount + i] = {q.u[i], q.v[i]};
        lights[lightCount + i] = q.l[i];
      }
    }
    vertexCount += 4;
    if (kind != 0) {
      coordCount += 4;
      lightCount += 4;
    }
    drawList[drawCount] = {zb, zb, i16(drawCount), 0};
    ++drawCount;
  };
  const i32 b16 = skyBandBottom << 4;
  const i32 sh = skyHeight, sb = skyHeight + bandTop;
  if (view->flags & 1) {
    const i32 sp = skySplit;
    add(12, {{0, sp, sp, 0},
             {0, 0, sh, sh},
             {skyU0, skyU1, skyU1, skyU0},
             {skyT0, skyT0, skyT1, skyT1},
             {128, 128, 128, 128}});
    add(12,
        {{0, sp, sp, 0}, {sh, sh, sb, sb}, {skyU0, skyU1, skyU1, skyU0}, {skyT1, skyT1, b16, b16}, {128, 128, 0, 0}});
    add(0, {{0, W16, W16, 0}, {sb, sb, groundRow, groundRow}, {}, {}, {}});
    if (sp < W16) {
      const i32 e = skySecondEnd;
      add(12, {{sp, W16, W16, sp}, {0, 0, sh, sh}, {0, e, e, 0}, {skyT0, skyT0, skyT1, skyT1}, {128, 128, 128, 128}});
      add(12, {{sp, W16, W16, sp}, {sh, sh, sb, sb}, {0, e, e, 0}, {skyT1, skyT1, b16, b16}, {128, 128, 0, 0}});
    }
  } else {
    add(0, {{0, W16, W16, 0}, {ceilingRow, ceilingRow, groundRow, groundRow}, {}, {}, {}});
  }
}

int SRenderer::CompareDrawEntries(const void* pa, const void* pb) {
  const SDrawEntry& a = *static_cast<const SDrawEntry*>(pa);
  const SDrawEntry& b = *static_cast<const SDrawEntry*>(pb);
  if (a.drawClass > 6 || b.drawClass > 6) return 0;
  // Drawing order of the classes: 0, 6, 1, 2, 5, then 3 and 4 together.
  static const u8 rank[7] = {0, 2, 3, 5, 5, 4, 1};
  const int ra = rank[a.drawClass], rb = rank[b.drawClass];
  if (ra != rb) return ra < rb ? -1 : 1;
  if (a.drawClass == 0) return 0;
  if (a.drawClass != b.drawClass && a.minDepth == b.minDepth) {
    // Class 3 against class 4 at the same nearest depth.
    const SDrawEntry& three = a.drawClass == 3 ? a : b;
    const bool threeLast = three.minDepth == three.maxDepth;
    const int threeFirst = threeLast ? 1 : -1;  // class 3 relative to class 4
    return a.drawClass == 3 ? threeFirst : -threeFirst;
  }
  if (a.maxDepth != b.maxDepth) return a.maxDepth > b.maxDepth ? -1 : 1;
  if (a.minDepth != b.minDepth) return a.minDepth > b.minDepth ? -1 : 1;
  return 0;
}

void SRenderer::SortDrawList() {
  QuickSort(drawList, u32(drawCount), sizeof(SDrawEntry), &SRenderer::CompareDrawEntries);
}

bool SRenderer::GetTexture(u16 textureId, u16 paletteId, SSpanTexture& out, bool floorRows) const {
  out = SSpanTexture();
  if (!view->images) return false;
  if (view->imageCount && textureId >= view->imageCount) return false;
  const SImage* image = view->images[textureId];
  if (!image) return false;
  if (image->format < 0 || image->format > 2 || image->width <= 0 || image->height <= 0) return false;
  if (image->format != 0 && ((image->width | image->height) & 1)) return false;
  SSpanTexture::FromImage(out, image);
  if (paletteId != 0) {
    if (!view->palettes || (view->paletteCount && paletteId >= view->paletteCount)) return false;
    out.palette = view->palettes[paletteId];
    if (!out.palette) return false;
    // A palette in place of the image's own table (a codebook for the block formats) must hold every
    // entry the pixels read.
    if (view->paletteSizes && view->imageTableNeeds && view->paletteSizes[paletteId] < view->imageTableNeeds[textureId])
      return false;
  }
  if (floorRows) {
    // Floors read 256 texels per row whatever the width: the record must hold every row it reaches.
    const u32 w = u32(image->width), h = u32(image->height);
    u32 need;
    if (image->format == 0)
      need = (h - 1) * 256 + w;
    else
      need = (((h - 1) >> 1) * 128 + ((w - 1) >> 1) + 1) * (image->format == 2 ? 2 : 1);
    const u32 have = view->imageSizes ? (view->imageSizes[textureId] > 8 ? view->imageSizes[textureId] - 8 : 0)
                                      : SImage::PixelBytes(image->format, image->width, image->height);
    if (need > have) return false;
  }
  return true;
}

namespace {
bool MaskCovers(const SWorldView& wv, u16 id, i32 rows, SMaskImage& out) {
  if (!wv.images || (wv.imageCount && id >= wv.imageCount)) return false;
  const SImage* m = wv.images[id];
  if (!m) return false;
  // 4 words per mask row, a mask row per two texel rows.
  const u32 need = u32((rows - 1) / 2 + 1) * 16;
  const u32 have = wv.imageSizes ? (wv.imageSizes[id] > 8 ? wv.imageSizes[id] - 8 : 0)
                                 : (m->format >= 0 && m->format <= 2 && m->width > 0 && m->height > 0
                                        ? SImage::PixelBytes(m->format, m->width, m->height)
                                        : 0);
  if (need > have) return false;
  out.width = m->width;
  out.height = m->height;
  out.data = m->Pixels();
  return true;
}

// A wall's second layer is read with the first one's format, row length and limits.
bool SameLayout(const SSpanTexture& a, const SSpanTexture& b) {
  return a.format == b.format && a.width == b.width && a.height <= b.height;
}

bool FloorLayerFits(const SSpanTexture& t1, const SSpanTexture& t) {
  // Other layers are read in texture 1's format and within its limits.
  return t.format == t1.format && t.width >= t1.width && t.height >= t1.height;
}
}  // namespace

void SRenderer::DrawPolygons() {
  const int axis = facingCode == 4 ? 0 : (facingCode & 1) ? 2 : 1;
  for (i32 i = 0; i < drawCount; ++i) {
    const SRenderPolygon& p = polygons[drawList[i].polygon];
    if (!(p.flags & kPolyVisible) || p.kind > 14) continue;
    ++stats.polygonsVisible;
    const u32 fog = (p.flags & kPolyFadeToWhite) ? white : fogSpread;
    const SRenderVertex* v = &vertices[p.firstVertex];
    const STexCoord* c = &coords[p.firstCoord];
    const u16* l = &lights[p.firstLight];
    const i32 n = p.vertexCount;
    SSpanTexture t1, t2, t3;
    switch (p.kind) {
      case 0: FillFlat(viewSurface, n, v, view->fogColor); break;
      case 1:
      case 2:
      case 3:
      case 4:
      case 5:
      case 6: {
        const bool floorKind = p.kind != 6;
        const int k = floorKind ? p.kind : 1;
        const int ax = floorKind ? axis : 0;
        if (!GetTexture(p.textures[0], p.palettes[0], t1, true)) break;
        SMaskImage m1, m2;
        const SSpanTexture* pt2 = nullptr;
        const SSpanTexture* pt3 = nullptr;
        if (k >= 2) {
          if (!GetTexture(p.textures[1], p.palettes[1], t2, true) || !FloorLayerFits(t1, t2)) break;
          pt2 = &t2;
        }
        if (k == 3 || k == 5) {
          if (!GetTexture(p.textures[2], p.palettes[2], t3, true) || !FloorLayerFits(t1, t3)) break;
          pt3 = &t3;
        }
        if (k == 2 || k == 3 || k == 5) {
          if (!MaskCovers(*view, p.images[0], t1.height, m1)) break;
        }
        if (k == 3 && !MaskCovers(*view, p.images[1], t1.height, m2)) break;
        FillFloor(k, ax, viewSurface, n, v, t1, c, pt2, pt3, &m1, &m2, l, fog);
        break;
      }
      case 7:
        if (GetTexture(p.textures[0], p.palettes[0], t1)) FillKind7(viewSurface, n, v, t1, c, l, fog);
        break;
      case 8:
        if (GetTexture(p.textures[0], p.palettes[0], t1)) FillKind8(viewSurface, n, v, t1, c, l, fog);
        break;
      case 9:
        if (!GetTexture(p.textures[0], p.palettes[0], t1)) break;
        // The second layer is read with the first one's layout; one that differs is left out.
        if (GetTexture(p.textures[1], p.palettes[1], t2) && SameLayout(t1, t2))
          FillKind9(viewSurface, n, v, t1, t2, c, l, fog);
        else
          FillKind7(viewSurface, n, v, t1, c, l, fog);
        break;
      case 10:
        if (GetTexture(p.textures[0], p.palettes[0], t1, true)) FillKind10(viewSurface, n, v, t1, c, l, fog);
        break;
      case 11: {
        const SImage* alt = (p.flags & kPolyAltImageA)   ? view->altImageA
                            : (p.flags & kPolyAltImageB) ? view->altImageB
                                                         : nullptr;
        if (alt) {
          if (alt->format < 0 || alt->format > 2 || alt->width <= 0 || alt->height <= 0) break;
          SSpanTexture::FromImage(t1, alt);
        } else if ((p.flags & (kPolyAltImageA | kPolyAltImageB)) || !GetTexture(p.textures[0], p.palettes[0], t1)) {
          break;
        }
        FillKind11(viewSurface, n, v, t1, c, l, fog);
        break;
      }
      case 12:
        if (GetTexture(p.textures[0], p.palettes[0], t1)) FillKind12(viewSurface, n, v, t1, c, l, fog);
        break;
      case 13:
      case 14: {
        if (!GetTexture(p.textures[0], p.palettes[0], t1)) break;
        const bool aligned = n == 4 && ((v[0].x != v[1].x && v[0].y == v[1].y && v[2].y == v[3].y) ||
                                        (v[1].y == v[2].y && v[0].y == v[3].y));
        if (aligned)
          FillKind11(viewSurface, n, v, t1, c, l, fog);
        else if (p.kind == 13)
          FillKind13(viewSurface, n, v, t1, c, l, fog);
        else
          FillKind14(viewSurface, n, v, t1, c, l, fog);
        break;
      }
      default: break;
    }
  }
}

// ---- Grid scan ----

namespace {
struct CellWalker {
  const i32* xs;
  const i32* ys;
  int dir;  // -1: descending index, +1: ascending
  int cur, nxt, end;
  SEdgeStepper st;
  int stepRow;  // boundary the stepper stands at

  int Neighbour(int i) const { return dir < 0 ? (i + 2) % 3 : (i + 1) % 3; }
  void SetEdge() {
    st.InitCells(xs[cur], xs[nxt], ys[cur], ys[nxt]);
    stepRow = (ys[cur] + 1023) & ~1023;
  }
  // Moves to the edge that covers boundary b and steps to it.
  void MoveTo(i32 b) {
    bool changed = false;
    while (ys[nxt] < b && nxt != end) {
      cur = nxt;
      nxt = Neighbour(cur);
      changed = true;
    }
    if (changed) SetEdge();
    while (stepRow < b) {
      st.Step();
      stepRow += 1024;
    }
  }
  i32 Column() const {
    i32 t = 0;
    if (st.error != 0) {
      if (st.direction == 1 && (st.x & 1023) == 1023)
        t = 1;
      else if (st.direction == 0 && (st.x & 1023) == 0)
        t = -1;
    }
    return (st.x + t) >> 10;
  }
  bool TowardLarger() const { return st.direction == 1; }
};
}  // namespace

void SRenderer::TraverseView() {
  const i32* xs = triX;
  const i32* ys = triY;
  // Start vertices: smallest y; the first walker takes the smaller x on a tie, the second the larger.
  int top1 = 0, top2 = 0, bottom = 0;
  for (int i = 1; i < 3; ++i) {
    if (ys[i] < ys[top1] || (ys[i] == ys[top1] && xs[i] < xs[top1])) top1 = i;
    if (ys[i] < ys[top2] || (ys[i] == ys[top2] && xs[i] > xs[top2])) top2 = i;
    if (ys[i] > ys[bottom]) bottom = i;
  }
  // End vertices: the largest y; on a tie the first walker's is the one with the smaller x.
  int end1 = bottom, end2 = bottom;
  for (int i = 0; i < 3; ++i) {
    if (ys[i] != ys[bottom]) continue;
    if (xs[i] < xs[end1]) end1 = i;
    if (xs[i] > xs[end2]) end2 = i;
  }
  const i32 ybot = ys[bottom];
  CellWalker w1{xs, ys, -1, top1, 0, end1, {}, 0};
  CellWalker w2{xs, ys, +1, top2, 0, end2, {}, 0};
  w1.nxt = w1.cur == w1.end ? w1.cur : w1.Neighbour(w1.cur);
  w2.nxt = w2.cur == w2.end ? w2.cur : w2.Neighbour(w2.cur);
  w1.SetEdge();
  w2.SetEdge();

  i32 up1 = xs[top1] >> 10, up2 = xs[top2] >> 10;
  i32 b = (ys[top1] + 1023) & ~1023;
  i32 lastB = b - 1024;
  for (; b < ybot; b += 1024) {
    const i32 prevCol1 = w1.Column(), prevCol2 = w2.Column();
    w1.MoveTo(b);
    w2.MoveTo(b);
    // Upper column: at b - 1024, or the start vertex of an edge that begins inside the band.
    up1 = ys[w1.cur] > b - 1024 ? xs[w1.cur] >> 10 : prevCol1;
    up2 = ys[w2.cur] > b - 1024 ? xs[w2.cur] >> 10 : prevCol2;
    const i32 low1 = w1.Column(), low2 = w2.Column();
    const i32 left = w1.TowardLarger() ? up1 : low1;
    const i32 right = w2.TowardLarger() ? low2 : up2;
    const i32 row = (b >> 10) - 1;
    for (i32 c = left; c <= right; ++c) EmitCell(c, row);
    lastB = b;
  }
  // The last band, from the last boundary to the bottom vertex.
  const i32 row = (((ybot + 1023) & ~1023) >> 10) - 1;
  i32 left, right;
  if (w1.nxt != w2.nxt && ys[w1.nxt] >= lastB && ys[w2.nxt] >= lastB) {
    left = xs[w1.nxt] >> 10;
    right = xs[w2.nxt] >> 10;
  } else {
    left = w1.TowardLarger() ? up1 : xs[bottom] >> 10;
    right = w2.TowardLarger() ? xs[bottom] >> 10 : up2;
  }
  for (i32 c = left; c <= right; ++c) EmitCell(c, row);
}

void SRenderer::EmitCell(i32 x, i32 y) {
  if (x >= 0 && y >= 0 && x < view->mapWidth && y < view->mapHeight && view->cells) {
    EmitCellSolidOrFloor(x, y);
    EmitCellExtra(x, y);
    EmitCellThinWalls(x, y);
    EmitCellKind10(x, y);
    EmitCellObject(x, y);
    EmitCellObjectType8(x, y);
    EmitCellLayer(x, y, 0);
    EmitCellLayer(x, y, 1);
    EmitCellWord9(x, y);
    EmitCellWord3(x, y);
    EmitCellSprite(x, y);
  } else {
    EmitOutsideCell(x, y);
  }
}
