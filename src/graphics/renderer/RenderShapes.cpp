// The shape table. Shapes 0 and 16 are empty; shape 15 is the plinth (four sloping sides from the cell's
// square up to a raised inner square). The others are plain convex solids:
//   1-3 blocks over the whole cell (a third, two thirds and a whole storey high), 4-7 ramps rising toward
//   north, east, south, west (a storey), 8-11 the same half as high, 12-13 pyramids, 14 a column,
//   17 a thin column, 18 a pedestal, 19 a crate, 20-23 corner wedges (NE, SE, SW, NW), 24-27 gable roofs
//   (ridges east-west and north-south, half and whole storey), 28-31 obelisks and spikes, 32-35 ledges
//   along the north, east, south and west halves, 36-39 low ramps, 40-43 corner slopes rising to the NW,
//   NE, SE and SW corners, 44-47 truncated pyramids, 48-51 slabs under the ceiling, 52-55 benches along
//   the north, east, south and west edges, 56-57 eight-sided columns, 58-59 a diamond and a low step.
#include "graphics/renderer/RenderShapes.h"

#include <initializer_list>

namespace RenderShapes {
namespace {

constexpr i32 H = 731;  // one storey

struct Builder {
  Table& t;
  u32 shape = 0;
  u32 firstPoint = 0;
  i32 cx = 0, cy = 0, cz = 0;  // centre of the shape being built (for the face winding)

  u8 Point(i32 x, i32 y, i32 z) {
    t.points[t.pointCount] = {i16(x), i16(y), i16(z)};
    return u8(t.pointCount++ - firstPoint);
  }
  const SShapePoint& P(u8 i) const { return t.points[firstPoint + i]; }

  void Begin() {
    firstPoint = t.pointCount;
    t.shapes[shape] = {u16(t.faceCount), u16(t.pointCount), 0, 0};
  }
  void End() {
    SShape& s = t.shapes[shape];
    s.pointCount = u8(t.pointCount - firstPoint);
    s.faceCount = u8(t.faceCount - s.firstFace);
    ++shape;
  }
  void Centre() {
    i64 sx = 0, sy = 0, sz = 0;
    const u32 n = t.pointCount - firstPoint;
    for (u32 i = 0; i < n; ++i) {
      sx += P(u8(i)).x;
      sy += P(u8(i)).y;
      sz += P(u8(i)).z;
    }
    cx = i32(sx / i64(n));
    cy = i32(sy / i64(n));
    cz = i32(sz / i64(n));
  }

  // A face of 3 or 4 points in order around it; turned to be clockwise from outside, textured by its
  // orientation (flat faces by x and z, upright ones along their width and down from their top).
  void Face(std::initializer_list<u8> pts) {
    u8 p[4];
    int n = 0;
    for (u8 v : pts) p[n++] = v;
    const SShapePoint &a = P(p[0]), &b = P(p[1]), &c = P(p[2]);
    const i64 e1x = b.x - a.x, e1y = b.y - a.y, e1z = b.z - a.z;
    const i64 e2x = c.x - b.x, e2y = c.y - b.y, e2z = c.z - b.z;
    const i64 nx = e1y * e2z - e1z * e2y, ny = e1z * e2x - e1x * e2z, nz = e1x * e2y - e1y * e2x;
    i64 fx = 0, fy = 0, fz = 0;
    for (int i = 0; i < n; ++i) fx += P(p[i]).x, fy += P(p[i]).y, fz += P(p[i]).z;
    const i64 ox = fx / n - cx, oy = fy / n - cy, oz = fz / n - cz;
    // Clockwise from outside: the cross product of consecutive edges points inward (x east, y up, z south).
    if (nx * ox + ny * oy + nz * oz > 0) {
      for (int i = 0; i < n / 2; ++i) {
        const u8 tmp = p[i];
        p[i] = p[n - 1 - i];
        p[n - 1 - i] = tmp;
      }
    }
    const bool flat = (ny < 0 ? -ny : ny) * 2 > (nx < 0 ? -nx : nx) + (nz < 0 ? -nz : nz);
    i32 minY = 0x7FFF, maxY = -0x7FFF, minA = 0x7FFF, maxA = -0x7FFF;
    const bool alongX = (nz < 0 ? -nz : nz) >= (nx < 0 ? -nx : nx);
    for (int i = 0; i < n; ++i) {
      const SShapePoint& q = P(p[i]);
      const i32 a2 = alongX ? q.x : q.z;
      if (q.y < minY) minY = q.y;
      if (q.y > maxY) maxY = q.y;
      if (a2 < minA) minA = a2;
      if (a2 > maxA) maxA = a2;
    }
    t.faces[t.faceCount++] = {u16(t.vertexCount), u8(n)};
    for (int i = 0; i < n; ++i) {
      const SShapePoint& q = P(p[i]);
      i16 u, v;
      if (flat) {
        u = i16(q.x);
        v = i16(q.z);
      } else {
        const i32 a2 = alongX ? q.x : q.z;
        u = i16(maxA > minA ? (a2 - minA) * 1024 / (maxA - minA) : 0);
        v = i16(maxY > minY ? (maxY - q.y) * 1024 / (maxY - minY) : 0);
      }
      t.vertices[t.vertexCount++] = {p[i], u, v};
    }
  }

  void Empty() {
    Begin();
    End();
  }
  // A frustum from the rectangle (x0, z0)-(x1, z1) at y0 to (X0, Z0)-(X1, Z1) at y1; a box when both
  // rectangles are equal. Sides always, the top and bottom when asked.
  void Frustum(i32 x0, i32 z0, i32 x1, i32 z1, i32 y0, i32 X0, i32 Z0, i32 X1, i32 Z1, i32 y1, bool top,
               bool bottom = false) {
    Begin();
    const u8 a = Point(x0, y0, z0), b = Point(x1, y0, z0), c = Point(x1, y0, z1), d = Point(x0, y0, z1);
    const u8 e = Point(X0, y1, Z0), f = Point(X1, y1, Z0), g = Point(X1, y1, Z1), h = Point(X0, y1, Z1);
    Centre();
    Face({a, b, f, e});
    Face({b, c, g, f});
    Face({c, d, h, g});
    Face({d, a, e, h});
    if (top) Face({e, f, g, h});
    if (bottom) Face({a, b, c, d});
    End();
  }
  void Box(i32 x0, i32 z0, i32 x1, i32 z1, i32 y0, i32 y1, bool top = true, bool bottom = false) {
    Frustum(x0, z0, x1, z1, y0, x0, z0, x1, z1, y1, top, bottom);
  }
  // A pyramid over the rectangle with its apex at (ax, ay, az).
  void Pyramid(i32 x0, i32 z0, i32 x1, i32 z1, i32 ax, i32 ay, i32 az) {
    Begin();
    const u8 a = Point(x0, 0, z0), b = Point(x1, 0, z0), c = Point(x1, 0, z1), d = Point(x0, 0, z1);
    const u8 e = Point(ax, ay, az);
    Centre();
    Face({a, b, e});
    Face({b, c, e});
    Face({c, d, e});
    Face({d, a, e});
    End();
  }
  // A ramp over the cell rising to height h toward side s (0 north, 1 east, 2 south, 3 west).
  void Ramp(int s, i32 h) {
    Begin();
    // Corners NW, NE, SE, SW on the floor; the two of the high side raised.
    const i32 cxs[4] = {0, 1024, 1024, 0}, czs[4] = {0, 0, 1024, 1024};
    const int hi0 = s, hi1 = (s + 1) & 3;  // north: NW, NE; east: NE, SE; ...
    u8 lo[4], up[4];
    for (int i = 0; i < 4; ++i) lo[i] = Point(cxs[i], 0, czs[i]);
    up[hi0] = Point(cxs[hi0], h, czs[hi0]);
    up[hi1] = Point(cxs[hi1], h, czs[hi1]);
    Centre();
    const int l0 = (s + 2) & 3, l1 = (s + 3) & 3;
    Face({lo[l1], up[hi0], up[hi1], lo[l0]});    // the slope
    Face({lo[hi0], lo[hi1], up[hi1], up[hi0]});  // the high end
    Face({lo[hi1], lo[l0], up[hi1]});            // the two sides
    Face({lo[l1], lo[hi0], up[hi0]});
    End();
  }
  // A wedge standing in a corner: the triangle of the corner c (0 NE, 1 SE, 2 SW, 3 NW) and its two
  // neighbours, raised to h.
  void Wedge(int c, i32 h) {
    Begin();
    const i32 kx[4] = {1024, 1024, 0, 0}, kz[4] = {0, 1024, 1024, 0};
    const int n1 = (c + 1) & 3, n2 = (c + 3) & 3;
    const u8 a = Point(kx[c], 0, kz[c]), b = Point(kx[n1], 0, kz[n1]), d = Point(kx[n2], 0, kz[n2]);
    const u8 A = Point(kx[c], h, kz[c]), B = Point(kx[n1], h, kz[n1]), D = Point(kx[n2], h, kz[n2]);
    Centre();
    Face({a, b, B, A});
    Face({a, d, D, A});
    Face({b, d, D, B});
    Face({A, B, D});
    End();
  }
  // A gable roof over the cell with its ridge along x (alongX) or z at height h.
  void Gable(bool alongX, i32 h) {
    Begin();
    const u8 a = Point(0, 0, 0), b = Point(1024, 0, 0), c = Point(1024, 0, 1024), d = Point(0, 0, 1024);
    const u8 r0 = alongX ? Point(0, h, 512) : Point(512, h, 0);
    const u8 r1 = alongX ? Point(1024, h, 512) : Point(512, h, 1024);
    Centre();
    if (alongX) {
      Face({a, b, r1, r0});
      Face({c, d, r0, r1});
      Face({d, a, r0});
      Face({b, c, r1});
    } else {
      Face({a, d, r1, r0});
      Face({b, c, r1, r0});
      Face({a, b, r0});
      Face({c, d, r1});
    }
    End();
  }
  // A slope over the cell rising to the corner c (0 NW, 1 NE, 2 SE, 3 SW).
  void CornerSlope(int c, i32 h) {
    Begin();
    const i32 kx[4] = {0, 1024, 1024, 0}, kz[4] = {0, 0, 1024, 1024};
    u8 q[4];
    for (int i = 0; i < 4; ++i) q[i] = Point(kx[i], 0, kz[i]);
    const u8 top = Point(kx[c], h, kz[c]);
    Centre();
    const int n1 = (c + 1) & 3, o = (c + 2) & 3, n2 = (c + 3) & 3;
    Face({q[n1], q[o], top});
    Face({q[o], q[n2], top});
    Face({q[c], q[n1], top});
    Face({q[n2], q[c], top});
    End();
  }
  // An eight-sided column of radius r from y0 to y1.
  void Octagon(i32 r, i32 y0, i32 y1) {
    Begin();
    const i32 k = r * 414 / 1000;  // tan 22.5 degrees
    const i32 ox[8] = {512 - k, 512 + k, 512 + r, 512 + r, 512 + k, 512 - k, 512 - r, 512 - r};
    const i32 oz[8] = {512 - r, 512 - r, 512 - k, 512 + k, 512 + r, 512 + r, 512 + k, 512 - k};
    u8 lo[8], up[8];
    for (int i = 0; i < 8; ++i) lo[i] = Point(ox[i], y0, oz[i]);
    for (int i = 0; i < 8; ++i) up[i] = Point(ox[i], y1, oz[i]);
    Centre();
    for (int i = 0; i < 8; ++i) Face({lo[i], lo[(i + 1) & 7], up[(i + 1) & 7], up[i]});
    End();
  }
  // Two pyramids base to base: a diamond floating between y0 and y1.
  void Diamond(i32 r, i32 y0, i32 y1) {
    Begin();
    const i32 ym = (y0 + y1) / 2;
    const u8 n = Point(512, ym, 512 - r), e = Point(512 + r, ym, 512), s = Point(512, ym, 512 + r),
             w = Point(512 - r, ym, 512);
    const u8 top = Point(512, y1, 512), bottom = Point(512, y0, 512);
    Centre();
    Face({n, e, top});
    Face({e, s, top});
    Face({s, w, top});
    Face({w, n, top});
    Face({n, e, bottom});
    Face({e, s, bottom});
    Face({s, w, bottom});
    Face({w, n, bottom});
    End();
  }
};

Table Build() {
  Table t{};
  Builder b{t};
  b.Empty();                                                          // 0
  b.Box(0, 0, 1024, 1024, 0, H / 3);                                  // 1
  b.Box(0, 0, 1024, 1024, 0, 2 * H / 3);                              // 2
  b.Box(0, 0, 1024, 1024, 0, H);                                      // 3
  for (int s = 0; s < 4; ++s) b.Ramp(s, H);                           // 4-7
  for (int s = 0; s < 4; ++s) b.Ramp(s, H / 2);                       // 8-11
  b.Pyramid(0, 0, 1024, 1024, 512, H, 512);                           // 12
  b.Pyramid(0, 0, 1024, 1024, 512, H / 3, 512);                       // 13
  b.Box(352, 352, 672, 672, 0, H, false);                             // 14
  b.Frustum(0, 0, 1024, 1024, 0, 305, 305, 719, 719, 396, false);     // 15: the plinth
  b.Empty();                                                          // 16
  b.Box(432, 432, 592, 592, 0, H, false);                             // 17
  b.Box(256, 256, 768, 768, 0, H / 2);                                // 18
  b.Box(320, 320, 704, 704, 0, 384);                                  // 19
  for (int c = 0; c < 4; ++c) b.Wedge(c, H);                          // 20-23
  b.Gable(true, H / 2);                                               // 24
  b.Gable(false, H / 2);                                              // 25
  b.Gable(true, H);                                                   // 26
  b.Gable(false, H);                                                  // 27
  b.Pyramid(384, 384, 640, 640, 512, H, 512);                         // 28
  b.Pyramid(384, 384, 640, 640, 512, 2 * H / 3, 512);                 // 29
  b.Pyramid(448, 448, 576, 576, 512, H / 2, 512);                     // 30
  b.Frustum(384, 384, 640, 640, 0, 448, 448, 576, 576, H, true);      // 31
  b.Box(0, 0, 1024, 512, 0, H);                                       // 32
  b.Box(512, 0, 1024, 1024, 0, H);                                    // 33
  b.Box(0, 512, 1024, 1024, 0, H);                                    // 34
  b.Box(0, 0, 512, 1024, 0, H);                                       // 35
  for (int s = 0; s < 4; ++s) b.Ramp(s, H / 3);                       // 36-39
  for (int c = 0; c < 4; ++c) b.CornerSlope(c, H);                    // 40-43
  b.Frustum(0, 0, 1024, 1024, 0, 256, 256, 768, 768, H / 3, true);    // 44
  b.Frustum(0, 0, 1024, 1024, 0, 256, 256, 768, 768, H, true);        // 45
  b.Frustum(128, 128, 896, 896, 0, 320, 320, 704, 704, H / 2, true);  // 46
  b.Frustum(256, 256, 768, 768, 0, 352, 352, 672, 672, H, true);      // 47
  b.Box(0, 0, 1024, 1024, H - 122, H, false, true);                   // 48
  b.Box(0, 0, 1024, 1024, H - 244, H, false, true);                   // 49
  b.Box(0, 0, 1024, 512, H - 244, H, false, true);                    // 50
  b.Box(0, 512, 1024, 1024, H - 244, H, false, true);                 // 51
  b.Box(64, 64, 960, 320, 0, H / 4);                                  // 52
  b.Box(704, 64, 960, 960, 0, H / 4);                                 // 53
  b.Box(64, 704, 960, 960, 0, H / 4);                                 // 54
  b.Box(64, 64, 320, 960, 0, H / 4);                                  // 55
  b.Octagon(200, 0, H);                                               // 56
  b.Octagon(320, 0, H / 2);                                           // 57
  b.Diamond(256, H / 4, 3 * H / 4);                                   // 58
  b.Box(0, 0, 1024, 1024, 0, H / 6);                                  // 59
  return t;
}

}  // namespace

const Table& Get() {
  static const Table table = Build();
  return table;
}

}  // namespace RenderShapes
