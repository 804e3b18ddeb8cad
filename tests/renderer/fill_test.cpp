// Edge walking, the column and floor fillers and their span routines, on small screen polygons.
#include "Scene.h"
#include "graphics/renderer/SpanRoutines.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A logical screen of w x h pixels filled with a marker colour.
struct Canvas {
  i32 w, h;
  std::vector<u16> px;
  SSurface s;
  Canvas(i32 width, i32 height) : w(width), h(height), px(size_t(width) * size_t(height), 0x1234) {
    s = SSurface::ForMemory(px.data(), u32(width), 0, width, height);
  }
  u16 at(i32 x, i32 y) const { return px[size_t(y) * size_t(w) + size_t(x)]; }
  int Changed() const {
    int n = 0;
    for (u16 p : px) n += p != 0x1234;
    return n;
  }
};

// A 16 x 16 format-0 texture whose texel (s, t) has colour t * 16 + s.
struct IndexTexture {
  std::vector<u16> rec = std::vector<u16>(4 + 128 + 256);
  SSpanTexture t;
  IndexTexture() {
    u8* b = reinterpret_cast<u8*>(rec.data());
    b[2] = 16;
    b[4] = 16;
    for (int i = 0; i < 256; ++i) {
      b[8 + i] = u8(i);
      rec[4 + 128 + size_t(i)] = u16(i);
    }
    SSpanTexture::FromImage(t, reinterpret_cast<const SImage*>(rec.data()));
  }
};

SSpanTexture FromRecord(const std::vector<u16>& rec) {
  SSpanTexture t;
  SSpanTexture::FromImage(t, reinterpret_cast<const SImage*>(rec.data()));
  return t;
}

// Rectangle (clockwise on the screen) in 28.4 with per-corner depths left and right.
struct Quad {
  SRenderVertex v[4];
  STexCoord c[4];
  u16 l[4] = {128, 128, 128, 128};
  Quad(i32 x0, i32 y0, i32 x1, i32 y1, i32 zl, i32 zr) {
    v[0] = {x0, y0, zl};
    v[1] = {x1, y0, zr};
    v[2] = {x1, y1, zr};
    v[3] = {x0, y1, zl};
  }
};

}  // namespace

TEST(RendererEdges, RoundingOfCrossings) {
  struct Case {
    i32 value;
    i32 direction;
    i32 error;
    bool column;
    i32 pixel;
  };
  const Case cases[] = {
      {16 * 5 + 8, 1, 0, true, 6},   // increasing column edge exactly on a centre: next pixel
      {16 * 5 + 8, 0, 0, true, 5},   // decreasing: that pixel
      {16 * 5 + 8, 1, 0, false, 5},  // row edge on a centre with no remainder: that pixel
      {16 * 5 + 8, 1, 1, false, 6},  // ... with a remainder it lies past the centre
      {16 * 5 + 3, 1, 0, true, 5},  {16 * 5 + 9, 0, 0, false, 6},
  };
  for (const Case& c : cases) {
    SEdgeWalker w{};
    w.cross.x = c.value;
    w.cross.direction = c.direction;
    w.cross.error = c.error;
    if (c.column)
      w.RoundColumnEdge();
    else
      w.RoundRowEdge();
    EXPECT_EQ(w.pixel, c.pixel) << c.value << " dir " << c.direction << " err " << c.error;
  }
}

TEST(RendererEdges, WalkersStartAtTheExtremeVertices) {
  // Two vertices share the top row: the left side starts at the one with the smaller x.
  const SRenderVertex tri[3] = {{160, 40, 0}, {480, 40, 0}, {320, 400, 0}};
  SEdgeWalker a, b;
  SRenderer::InitEdgeWalkers(a, b, 1, 0, 3, tri);
  EXPECT_EQ(a.start, 0);
  EXPECT_EQ(b.start, 1);
  EXPECT_EQ(a.end, 2);
}

TEST(RendererEdges, EachSideStopsAtItsOwnEndVertex) {
  // Clockwise on the screen, the top-most vertex at index 2: the right side runs 2, 3, 4, 0 across the end
  // of the array, the bottom side 1, 0, 4, 3; vertices 3 and 4 coincide (an edge of no length). Advanced
  // at or past its end vertex, a side stays there and reports it; it never wraps on round the polygon onto
  // an edge of the other side.
  const SRenderVertex poly[5] = {{192, 320, 0}, {32, 160, 0}, {160, 0, 0}, {320, 80, 0}, {320, 80, 0}};
  struct Visit {
    i32 s, current, next;
  };
  struct Case {
    const char* side;
    bool column, firstSide;
    std::vector<Visit> path;  // edges entered at these sample positions
    i32 end;
  };
  const Case cases[] = {
      {"top", true, true, {{40, 1, 2}, {168, 2, 3}}, 3},
      {"bottom", true, false, {{40, 1, 0}, {200, 0, 4}}, 3},
      {"left", false, true, {{8, 2, 1}, {168, 1, 0}}, 0},
      {"right", false, false, {{8, 2, 3}, {88, 4, 0}}, 0},
  };
  for (const Case& c : cases) {
    SEdgeWalker first, second;
    SRenderer::InitEdgeWalkers(first, second, c.column ? 0 : 1, c.column ? 1 : 0, 5, poly);
    SEdgeWalker& w = c.firstSide ? first : second;
    auto advance = [&](i32 s) {
      if (c.column) return c.firstSide ? w.AdvanceColumnForward(s) : w.AdvanceColumnBackward(s);
      return c.firstSide ? w.AdvanceRowBackward(s) : w.AdvanceRowForward(s);
    };
    for (const Visit& v : c.path) {
      ASSERT_TRUE(advance(v.s)) << c.side << " at " << v.s;
      EXPECT_EQ(w.current, v.current) << c.side << " at " << v.s;
      EXPECT_EQ(w.next, v.next) << c.side << " at " << v.s;
    }
    for (i32 s : {328, 1000}) {
      EXPECT_FALSE(advance(s)) << c.side << " at " << s;
      EXPECT_EQ(w.current, c.end) << c.side << " at " << s;
      EXPECT_EQ(w.pixel, 0x7FFFFFFF) << c.side;
    }
  }
}

TEST(RendererEdges, FlatFillCoversPixelCentresOnly) {
  Canvas cv(20, 12);
  // From (2.5625, 3) to (10, 7) pixels: centres 3..9 in x, 3..6 in y. A centre exactly on an edge
  // that does not grow (x = 2.5 here) would be included.
  const SRenderVertex quad[4] = {{41, 48, 0}, {160, 48, 0}, {160, 112, 0}, {41, 112, 0}};
  SRenderer::FillFlat(cv.s, 4, quad, 0x07E0);
  for (i32 y = 0; y < cv.h; ++y)
    for (i32 x = 0; x < cv.w; ++x) {
      const bool in = x >= 3 && x < 10 && y >= 3 && y < 7;
      ASSERT_EQ(cv.at(x, y), in ? 0x07E0 : 0x1234) << x << "," << y;
    }
  // The same quad wound the other way, and one lying between two sample rows, draw nothing.
  Canvas back(20, 12);
  const SRenderVertex reversed[4] = {quad[3], quad[2], quad[1], quad[0]};
  const SRenderVertex onCentre[4] = {{40, 48, 0}, {160, 48, 0}, {160, 112, 0}, {40, 112, 0}};
  Canvas left(20, 12);
  SRenderer::FillFlat(left.s, 4, onCentre, 0x07E0);
  EXPECT_EQ(left.at(2, 4), 0x07E0);
  SRenderer::FillFlat(back.s, 4, reversed, 0x07E0);
  const SRenderVertex thin[4] = {{40, 49, 0}, {160, 49, 0}, {160, 55, 0}, {40, 55, 0}};
  SRenderer::FillFlat(back.s, 4, thin, 0x07E0);
  EXPECT_EQ(back.Changed(), 0);
}

TEST(RendererFill, WallSeenStraightOnIsLinear) {
  IndexTexture tex;
  Canvas cv(12, 18);
  Quad q(0, 0, 160, 256, 1000, 1000);
  // Side-quad coordinates: u runs down the face, v along it.
  q.c[0] = {0, 0};
  q.c[1] = {0, 256};
  q.c[2] = {256, 256};
  q.c[3] = {256, 0};
  SRenderer::FillKind7(cv.s, 4, q.v, tex.t, q.c, q.l, 0);
  for (i32 x = 0; x < 10; ++x)
    for (i32 y = 0; y < 16; ++y) {
      const i32 t = ((x * 16 + 8) * 256 / 160) >> 4;
      ASSERT_EQ(cv.at(x, y), t * 16 + y) << x << "," << y;
    }
  EXPECT_EQ(cv.at(10, 0), 0x1234);
}

TEST(RendererFill, WallAtAnAngleIsPerspectiveCorrect) {
  IndexTexture tex;
  Canvas cv(12, 18);
  const i32 zn = 600, zf = 3000;
  Quad q(0, 0, 160, 256, zn, zf);
  q.c[0] = {0, 0};
  q.c[1] = {0, 256};
  q.c[2] = {256, 256};
  q.c[3] = {256, 0};
  SRenderer::FillKind7(cv.s, 4, q.v, tex.t, q.c, q.l, 0);
  for (i32 x = 0; x < 10; ++x) {
    const double a = (x * 16 + 8) / 160.0;
    const double v = (a * 256 / zf) / ((1 - a) / zn + a / zf);
    EXPECT_NEAR(cv.at(x, 3) >> 4, std::floor(v / 16), 1) << x;
  }
  EXPECT_LT(cv.at(5, 3) >> 4, 8);  // halfway across the screen is nearer the near end's texels
}

TEST(RendererFill, CoordinatesPastTheTextureRepeatTheLastTexel) {
  IndexTexture tex;
  Canvas cv(4, 40);
  Quad q(0, 0, 32, 512, 1000, 1000);
  q.c[0] = {0, 0};
  q.c[1] = {0, 0};
  q.c[2] = {32 * 16, 0};  // twice the texture's 16 texels down the column
  q.c[3] = {32 * 16, 0};
  SRenderer::FillKind7(cv.s, 4, q.v, tex.t, q.c, q.l, 0);
  // Never wrapped back to the first texel: the column climbs to the last one and stays inside.
  for (i32 y = 1; y < 32; ++y) {
    EXPECT_GE(cv.at(0, y), cv.at(0, y - 1)) << y;
    EXPECT_LE(cv.at(0, y), 15) << y;
  }
  EXPECT_EQ(cv.at(0, 31), 15);
}

TEST(RendererFill, TwoLayerWallFallsBackToTheFirstLayerOnlyWhereKeyed) {
  const auto wall = scene::Scene::MakeImage(scene::kWall, 0);
  const auto window = scene::Scene::MakeImage(scene::kWindow, 0);
  const SSpanTexture t1 = FromRecord(wall), t2 = FromRecord(window);
  Quad q(0, 0, 640, 640, 900, 1700);
  q.c[0] = {0, 0};
  q.c[1] = {0, 1024};
  q.c[2] = {1024, 1024};
  q.c[3] = {1024, 0};
  Canvas one(40, 40), two(40, 40), win(40, 40);
  SRenderer::FillKind7(one.s, 4, q.v, t1, q.c, q.l, 0);
  SRenderer::FillKind7(win.s, 4, q.v, t2, q.c, q.l, 0);
  SRenderer::FillKind9(two.s, 4, q.v, t1, t2, q.c, q.l, 0);
  int throughWindow = 0;
  for (size_t i = 0; i < one.px.size(); ++i) {
    const u16 expect = win.px[i] == 0xFFFF ? one.px[i] : win.px[i];
    ASSERT_EQ(two.px[i], expect) << i;
    throughWindow += win.px[i] == 0xFFFF && one.px[i] != 0x1234;
  }
  EXPECT_GT(throughWindow, 100);
}

TEST(RendererFill, PitSideShadesFromFogToTexture) {
  IndexTexture tex;
  Canvas cv(4, 40);
  Quad q(0, 0, 32, 528, 1000, 1000);  // 33 rows
  q.c[0] = {0, 0};
  q.c[1] = {0, 0};
  q.c[2] = {0, 0};
  q.c[3] = {0, 0};
  q.l[0] = q.l[1] = 128;  // 8 * 128 = 1024 at the top
  q.l[2] = q.l[3] = 0;
  const u32 fog = Spans::SpreadColor(0xF800);
  SRenderer::FillKind8(cv.s, 4, q.v, tex.t, q.c, q.l, fog);
  EXPECT_EQ(cv.at(0, 0), 0);          // the plain texel (colour 0) at full light
  EXPECT_GE(cv.at(0, 32) >> 11, 30);  // all but fog at the bottom
  EXPECT_EQ(cv.at(0, 32) & 0x07FF, 0);
  // The red channel rises monotonically toward the fog.
  for (i32 y = 1; y < 33; ++y) EXPECT_GE(cv.at(0, y) >> 11, cv.at(0, y - 1) >> 11);
}

TEST(RendererSpans, FogBlendEnds) {
  const u32 fog = Spans::SpreadColor(0x39E7);
  for (u16 c : {u16(0x0000), u16(0xF81F), u16(0x1234), u16(0xFFFF)}) {
    EXPECT_EQ(Spans::Fog(c, fog, 0), 0x39E7);
    EXPECT_EQ(Spans::Fog(c, fog, 32), c);
    EXPECT_EQ(Spans::Fog(c, 0x07E0F81F, 0), 0xFFFF);  // fade to white
  }
}

TEST(RendererSpans, KeyedBlockZeroLeavesTheWholeBlock) {
  // 4 x 2 texels in format 1: block 0 then block 1. Codebook entry 0 holds a real colour; it is never read.
  std::vector<u16> rec = {0x0001, 4, 2, 0, 0x0100, 0x1111, 0x1111, 0x1111, 0x1111, 0xAAAA, 0xBBBB, 0xCCCC, 0xDDDD};
  const SSpanTexture t = FromRecord(rec);
  for (i32 row = 0; row < 2; ++row) {
    std::vector<u16> dst(4, 0x5555);
    Spans::SSpan sp{};
    sp.dst = dst.data();
    sp.end = dst.data() + 4;
    sp.step = 1;
    sp.data[0] = t.data;
    sp.palette[0] = t.palette;
    sp.rowLength = 4;
    sp.u = 0;
    sp.du = 1 << 12;
    sp.constant = row;
    Spans::SpanKeyed<1, false, 0, false>(sp);
    EXPECT_EQ(dst[0], 0x5555);
    EXPECT_EQ(dst[1], 0x5555);
    EXPECT_EQ(dst[2], row ? 0xCCCC : 0xAAAA);
    EXPECT_EQ(dst[3], row ? 0xDDDD : 0xBBBB);
  }
}

namespace {
struct FloorLayers {
  std::vector<u16> r1, r2, r3, m1, m2;
  SSpanTexture t1, t2, t3;
  SMaskImage k1, k2;
  explicit FloorLayers(int format) {
    r1 = scene::Scene::MakeImage(scene::kFloor, format);
    r2 = scene::Scene::MakeImage(scene::kFloor2, format);
    r3 = scene::Scene::MakeImage(scene::kFloor3, format);
    m1 = scene::Scene::MakeImage(scene::kMask1, 0);
    m2 = scene::Scene::MakeImage(scene::kMask2, 0);
    t1 = FromRecord(r1);
    t2 = FromRecord(r2);
    t3 = FromRecord(r3);
    k1.data = reinterpret_cast<const u8*>(m1.data()) + 8;
    k2.data = reinterpret_cast<const u8*>(m2.data()) + 8;
  }
};
}  // namespace

TEST(RendererFill, AxisFloorFillersMatchTheAnyAngleFiller) {
  // A floor whose rows each have one depth and one v: the axis filler must give the any-angle pixels.
  for (int format = 0; format < 3; ++format) {
    FloorLayers L(format);
    for (int kind = 1; kind <= 5; ++kind) {
      Quad q(24, 8, 1000, 700, 2000, 2000);
      q.c[0] = {100, 300};
      q.c[1] = {3900, 300};
      q.c[2] = {3900, 3600};
      q.c[3] = {100, 3600};
      q.l[2] = q.l[3] = 40;  // fog toward the bottom rows
      Canvas any(64, 48), axis(64, 48);
      const u32 fog = Spans::SpreadColor(0x8410);
      SRenderer::FillFloor(kind, 0, any.s, 4, q.v, L.t1, q.c, &L.t2, &L.t3, &L.k1, &L.k2, q.l, fog);
      SRenderer::FillFloor(kind, 1, axis.s, 4, q.v, L.t1, q.c, &L.t2, &L.t3, &L.k1, &L.k2, q.l, fog);
      EXPECT_GT(any.Changed(), 2000);
      ASSERT_EQ(any.px, axis.px) << "format " << format << " kind " << kind;
      // The swapped axis: v along the rows, u constant.
      Quad s = q;
      s.c[0] = {300, 100};
      s.c[1] = {300, 3900};
      s.c[2] = {3600, 3900};
      s.c[3] = {3600, 100};
      Canvas any2(64, 48), axis2(64, 48);
      SRenderer::FillFloor(kind, 0, any2.s, 4, s.v, L.t1, s.c, &L.t2, &L.t3, &L.k1, &L.k2, s.l, fog);
      SRenderer::FillFloor(kind, 2, axis2.s, 4, s.v, L.t1, s.c, &L.t2, &L.t3, &L.k1, &L.k2, s.l, fog);
      ASSERT_EQ(any2.px, axis2.px) << "format " << format << " kind " << kind;
    }
  }
}

TEST(RendererFill, FloorLayerRules) {
  FloorLayers L(0);
  Quad q(0, 0, 1024, 1024, 1500, 1500);
  q.c[0] = {0, 0};
  q.c[1] = {4095, 0};
  q.c[2] = {4095, 4095};
  q.c[3] = {0, 4095};
  auto draw = [&](int kind, const SSpanTexture& a, const SSpanTexture& b, const SSpanTexture& c, const SMaskImage& m) {
    Canvas cv(64, 64);
    SRenderer::FillFloor(kind, 0, cv.s, 4, q.v, a, q.c, &b, &c, &m, &m, q.l, 0);
    return cv.px;
  };
  std::vector<u16> zeros(4 + 128 * 8, 0), ones(4 + 128 * 8, 0xFFFF);
  SMaskImage none, all;
  none.data = reinterpret_cast<const u8*>(zeros.data()) + 8;
  all.data = reinterpret_cast<const u8*>(ones.data()) + 8;
  const auto only1 = draw(1, L.t1, L.t1, L.t1, none), only2 = draw(1, L.t2, L.t2, L.t2, none);
  const auto only3 = draw(1, L.t3, L.t3, L.t3, none);
  EXPECT_EQ(draw(2, L.t1, L.t2, L.t3, none), only1);
  EXPECT_EQ(draw(2, L.t1, L.t2, L.t3, all), only2);
  EXPECT_EQ(draw(3, L.t1, L.t2, L.t3, all), only3);
  const auto k4 = draw(4, L.t1, L.t3, L.t3, none);  // texture 3 has keyed squares
  const auto k5 = draw(5, L.t1, L.t2, L.t3, all);
  int keyed = 0;
  for (size_t i = 0; i < only1.size(); ++i) {
    const bool hole = only3[i] == 0xFFFF;
    keyed += hole;
    ASSERT_EQ(k4[i], hole ? only1[i] : only3[i]);
    ASSERT_EQ(k5[i], hole ? only2[i] : only3[i]);
  }
  EXPECT_GT(keyed, 500);
}

TEST(RendererFill, FloorTextureRowsAre256TexelsWhateverTheWidth) {
  // A 64-texel-wide floor record padded to 256 texels per row: row t starts at t * 256.
  std::vector<u16> rec(4 + (256 * 64) / 2 + 256, 0);
  u8* b = reinterpret_cast<u8*>(rec.data());
  b[2] = 64;
  b[4] = 64;
  for (int t = 0; t < 64; ++t)
    for (int s = 0; s < 64; ++s) b[8 + t * 256 + s] = u8((t * 4 + s) & 255);
  u16 palette[256];
  for (int i = 0; i < 256; ++i) palette[i] = u16(i);
  SSpanTexture tex = FromRecord(rec);
  tex.palette = palette;
  Quad q(0, 0, 1024, 1024, 1500, 1500);
  q.c[0] = {0, 0};
  q.c[1] = {1024, 0};
  q.c[2] = {1024, 1024};
  q.c[3] = {0, 1024};
  Canvas cv(64, 64);
  SRenderer::FillFloor(1, 1, cv.s, 4, q.v, tex, q.c, nullptr, nullptr, nullptr, nullptr, q.l, 0);
  for (i32 y = 0; y < 64; y += 9)
    for (i32 x = 0; x < 64; x += 7) ASSERT_EQ(cv.at(x, y), (y * 4 + x) & 255) << x << "," << y;
}
