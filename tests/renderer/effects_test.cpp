// Rain, first-person overlays, tiles, rotated images, the picture filler, and the emitter rules of images,
// ceilings and cells outside the map.
#include "Scene.h"
#include "graphics/renderer/RenderShapes.h"
#include "support/Png.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <set>

namespace {

using namespace scene;

Options Field(i32 w, i32 h, double x = 4.5, double y = 8.5, double angle = 0) {
  Options o;
  o.rows = std::vector<std::string>(9, ".........");
  o.camX = x;
  o.camY = y;
  o.angleDegrees = angle;
  o.viewWidth = w;
  o.viewHeight = h;
  return o;
}

// A renderer with the scene's projection and camera set up and empty stores, for emitting by hand.
struct Prepared {
  std::unique_ptr<SRenderer> r = std::make_unique<SRenderer>();
  explicit Prepared(Scene& sc) {
    r->view = &sc.view;
    r->SetupProjection();
    r->SetupCamera();
    Clear();
  }
  void Clear() {
    r->vertexCount = r->coordCount = r->lightCount = 0;
    r->drawCount = 0;
  }
  std::vector<std::pair<int, int>> KindsAndClasses() const {
    std::vector<std::pair<int, int>> out;
    for (i32 i = 0; i < r->drawCount; ++i) out.push_back({r->polygons[i].kind, r->drawList[i].drawClass});
    return out;
  }
};

using KC = std::vector<std::pair<int, int>>;

// A format-0 image record with its own 256-colour palette (colour = index + 1, never the key).
struct Picture {
  std::vector<u16> rec;
  Picture(int w, int h, int stride, u8 (*index)(int x, int y)) {
    rec.assign(4 + size_t(stride * h + 1) / 2 + 256, 0);
    u8* b = reinterpret_cast<u8*>(rec.data());
    b[2] = u8(w), b[3] = u8(w >> 8), b[4] = u8(h), b[5] = u8(h >> 8);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) b[8 + y * stride + x] = index(x, y);
    for (int i = 0; i < 256; ++i) palette()[i] = u16(i + 1);
    stride_ = stride;
  }
  const u8* pixels() const { return reinterpret_cast<const u8*>(rec.data()) + 8; }
  u16* palette() { return rec.data() + rec.size() - 256; }
  u16 at(int x, int y) const { return u16(pixels()[y * stride_ + x] + 1); }
  int stride_ = 0;
};

u8 Diagonal(int x, int y) { return u8(x * 3 + y * 17); }

}  // namespace

TEST(RendererImages, UprightImagesAreSplitAndClassedByTheCeilingLine) {
  Scene sc(Field(240, 180));
  Prepared p(sc);
  struct Case {
    u16 image;
    i32 height;
    bool ceilingAbove;
    KC expect;
  } cases[] = {
      {kDoor, 213, false, {{11, 5}}},           // bottom exactly on the ceiling line: one upper part
      {kTree, 100, false, {{11, 3}, {11, 5}}},  // crossing it: the part below, then the part above
      {kItem, -518, false, {{11, 3}}},          // on the floor, well below it
      {kTree, 100, true, {{11, 3}}},            // a closed storey above: never split
  };
  for (const Case& c : cases) {
    p.Clear();
    EXPECT_TRUE(p.r->EmitUprightImage(0, -2, 512, c.height, 512, 0, false, c.ceilingAbove, c.image, 0, 2048));
    EXPECT_EQ(p.KindsAndClasses(), c.expect) << c.image << " at " << c.height;
  }
  // The split parts meet at the ceiling row, and the texture row there is the same for both.
  p.Clear();
  p.r->EmitUprightImage(0, -2, 512, 100, 512, 0, false, false, kTree, 0, 2048);
  ASSERT_EQ(p.r->drawCount, 2);
  const SRenderPolygon &below = p.r->polygons[0], &above = p.r->polygons[1];
  EXPECT_EQ(p.r->vertices[below.firstVertex].y, p.r->vertices[above.firstVertex + 2].y);
  EXPECT_EQ(p.r->coords[below.firstCoord].v, p.r->coords[above.firstCoord + 2].v);
  // Anchors nearer than the near distance or beyond the far one emit nothing at all.
  for (i32 dy : {0, -9}) {
    p.Clear();
    EXPECT_FALSE(p.r->EmitUprightImage(0, dy, 512, -518, 512, 512, false, false, kTree, 0, 2048)) << dy;
    EXPECT_EQ(p.r->drawCount, 0);
  }
}

TEST(RendererImages, CeilingsAndCellsOutsideTheMap) {
  struct Case {
    bool sky;
    char cell;
    bool tile;  // the upper object is a ceiling tile (render type 11)
    KC extra, outside;
  } cases[] = {
      {false, '.', false, {{6, 6}}, {{0, 2}, {0, 6}}},  // sky off: the upper ceiling; outside: ground and ceiling
      {true, '.', false, {}, {{0, 2}}},                 // sky on: no ceiling; outside: fog-coloured ground only
      {true, 'U', false, {{6, 3}}, {{0, 2}}},           // under an upper wall block: its underside at 213
      {true, '.', true, {{6, 3}}, {{0, 2}}},            // a ceiling tile
      {true, '#', false, {}, {{0, 2}}},                 // a block of both storeys: nothing
  };
  for (const Case& c : cases) {
    Options o = Field(240, 320, 1.5, 7.5);
    o.sky = c.sky;
    o.rows[2][1] = c.cell;
    Scene sc(o);
    std::vector<u16> upper(31, 0);
    upper[0] = c.tile ? 11 : 2;
    upper[1] = c.tile ? kFloor2 : kUpperWall;
    upper[3] = kCeiling;
    if (c.tile || c.cell == 'U') sc.SetSide(1, 2, 0, sc.AddObject(upper));
    Prepared p(sc);
    p.r->EmitCellExtra(1, 2);
    EXPECT_EQ(p.KindsAndClasses(), c.extra) << c.sky << c.cell << c.tile;
    p.Clear();
    p.r->EmitOutsideCell(1, 2);
    EXPECT_EQ(p.KindsAndClasses(), c.outside) << c.sky << c.cell << c.tile;
  }
}

TEST(RendererImages, ShapeTable) {
  const RenderShapes::Table& t = RenderShapes::Get();
  EXPECT_EQ(t.shapes[0].faceCount, 0);
  EXPECT_EQ(t.shapes[16].faceCount, 0);
  // The plinth: the cell's square and a raised inner square, four sloping sides.
  const SShape& plinth = t.shapes[15];
  ASSERT_EQ(plinth.pointCount, 8);
  EXPECT_EQ(plinth.faceCount, 4);
  const i16 want[8][3] = {{0, 0, 0},       {1024, 0, 0},    {1024, 0, 1024}, {0, 0, 1024},
                          {305, 396, 305}, {719, 396, 305}, {719, 396, 719}, {305, 396, 719}};
  for (int i = 0; i < 8; ++i) {
    const SShapePoint& q = t.points[plinth.firstPoint + i];
    EXPECT_EQ((std::vector<i16>{q.x, q.y, q.z}), (std::vector<i16>(want[i], want[i] + 3))) << i;
  }
  for (int s = 0; s < RenderShapes::kShapeCount; ++s) {
    const SShape& sh = t.shapes[s];
    if (s != 0 && s != 16) {
      EXPECT_GT(sh.faceCount, 0) << s;
    }
    for (u32 f = 0; f < sh.faceCount; ++f) {
      const SShapeFace& face = t.faces[sh.firstFace + f];
      ASSERT_TRUE(face.count == 3 || face.count == 4) << s;
      for (u32 k = 0; k < face.count; ++k) {
        const SShapeFaceVertex& v = t.vertices[face.firstVertex + k];
        ASSERT_LT(v.point, sh.pointCount) << s;
        ASSERT_TRUE(v.u >= 0 && v.u <= 1024 && v.v >= 0 && v.v <= 1024) << s;
      }
    }
  }
}

u8 ColumnAndRow(int x, int y) { return u8(x + 64 * (y & 3)); }

TEST(RendererFillers, PictureFacingTheViewerMapsTexelsOneToOne) {
  // Equal depth at every corner: the quadratic degenerates to a line. A 64 x 64 quad with coordinates
  // 0..64 texels shows texel row y on pixel row y and, since the line is fitted to reach the last pixel's
  // value one step late, a texel column within one of the pixel column (rows addressed 256 texels apart).
  Picture pic(64, 64, 256, ColumnAndRow);
  std::vector<u16> frame(64 * 64, 0);
  const SSurface s = SSurface::ForMemory(frame.data(), 64, 0, 64, 64);
  SSpanTexture t;
  t.format = 0;
  t.width = 64;
  t.height = 64;
  t.data = pic.pixels();
  t.palette = pic.palette();
  for (i32 z : {700, 4000}) {
    const SRenderVertex v[4] = {{0, 0, z}, {1024, 0, z}, {1024, 1024, z}, {0, 1024, z}};
    const STexCoord c[4] = {{0, 0}, {1024, 0}, {1024, 1024}, {0, 1024}};
    const u16 l[4] = {128, 128, 128, 128};
    SRenderer::FillKind10(s, 4, v, t, c, l, 0);
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) {
        const int index = frame[size_t(y * 64 + x)] - 1, column = index & 63;
        ASSERT_EQ(index >> 6, y & 3) << z << ": " << x << "," << y;
        ASSERT_LE(std::abs(column - x), 1) << z << ": " << x << "," << y;
      }
    EXPECT_EQ(frame[0], pic.at(0, 0));
  }
  // Seen at a slant (right edge four times deeper), the left column still starts the texture and every
  // texel drawn lies inside it.
  std::fill(frame.begin(), frame.end(), 0);
  const SRenderVertex v[4] = {{0, 0, 600}, {1024, 256, 2400}, {1024, 768, 2400}, {0, 1024, 600}};
  const STexCoord c[4] = {{0, 0}, {1024, 0}, {1024, 1024}, {0, 1024}};
  const u16 l[4] = {128, 128, 128, 128};
  SRenderer::FillKind10(s, 4, v, t, c, l, 0);
  EXPECT_EQ(frame[size_t(32 * 64)], pic.at(0, 32));
  std::set<u16> colours;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) colours.insert(pic.at(x, y));
  for (u16 px : frame) ASSERT_TRUE(px == 0 || colours.count(px));
}

namespace {
struct Screen2D {
  std::vector<u16> frame;
  SWorldView view;
  std::unique_ptr<SRenderer> r = std::make_unique<SRenderer>();
  i32 w, h;
  Screen2D(i32 width, i32 height, u16 fill) : frame(size_t(width * height), fill), w(width), h(height) {
    view.frameBuffer = frame.data();
    view.pitch = width;
    view.viewWidth = width;
    view.viewHeight = height;
    r->view = &view;
    r->SetupProjection();
  }
  u16 at(i32 x, i32 y) const { return frame[size_t(y * w + x)]; }
};
}  // namespace

TEST(RendererOverlays, TilingCoversTheAreaWithTopLeftPieces) {
  // 32 x 32 over 100 x 40: 3 x 1 whole tiles, a right strip 4 wide, three 32 x 8 pieces and a 4 x 8 corner.
  Picture pic(32, 32, 32, Diagonal);
  for (bool keyed : {false, true}) {
    Screen2D s(110, 50, 0);
    if (keyed)
      s.r->TileImageKeyed(3, 2, pic.pixels(), pic.palette(), 32, 32, 0, 100, 40);
    else
      s.r->TileImage(3, 2, pic.pixels(), pic.palette(), 32, 32, 0, 100, 40);
    for (i32 y = 0; y < 50; ++y)
      for (i32 x = 0; x < 110; ++x) {
        const bool inside = x >= 3 && x < 103 && y >= 2 && y < 42;
        ASSERT_EQ(s.at(x, y), inside ? pic.at((x - 3) % 32, (y - 2) % 32) : 0) << keyed << " " << x << "," << y;
      }
  }
}

TEST(RendererOverlays, RotatedBlit) {
  Picture pic(20, 10, 20, Diagonal);
  // Angle 0: the image axis-aligned with its centre at (x, y).
  Screen2D s(100, 80, 0);
  s.r->BlitRotated(50, 40, pic.pixels(), pic.palette(), 20, 10, 0, 0);
  for (i32 y = 0; y < 80; ++y)
    for (i32 x = 0; x < 100; ++x) {
      const bool inside = x >= 40 && x < 60 && y >= 35 && y < 45;
      ASSERT_EQ(s.at(x, y), inside ? pic.at(x - 40, y - 35) : 0) << x << "," << y;
    }
  // A quarter turn: 10 wide and 20 high, each screen row walks down an image column (v steps, u holds).
  Screen2D q(100, 80, 0);
  q.r->BlitRotated(50, 40, pic.pixels(), pic.palette(), 20, 10, 0, 90 << 16);
  i32 x0 = 100, x1 = -1, y0 = 80, y1 = -1;
  for (i32 y = 0; y < 80; ++y)
    for (i32 x = 0; x < 100; ++x)
      if (q.at(x, y)) {
        x0 = std::min(x0, x), x1 = std::max(x1, x);
        y0 = std::min(y0, y), y1 = std::max(y1, y);
      }
  EXPECT_EQ(x1 - x0 + 1, 10);
  EXPECT_EQ(y1 - y0 + 1, 20);
  std::set<u16> row;
  for (i32 x = x0; x <= x1; ++x) row.insert(q.at(x, 40));
  EXPECT_EQ(row.size(), 10u);
  // Images it cannot read are refused and draw nothing: no pixels or palette, no size, an unknown format,
  // and odd sizes in a block format (whose blocks are 2 x 2).
  Screen2D bad(100, 80, 0);
  bad.r->BlitRotated(50, 40, nullptr, pic.palette(), 20, 10, 0, 0);
  bad.r->BlitRotated(50, 40, pic.pixels(), nullptr, 20, 10, 0, 0);
  bad.r->BlitRotated(50, 40, pic.pixels(), pic.palette(), 0, 10, 0, 0);
  bad.r->BlitRotated(50, 40, pic.pixels(), pic.palette(), 20, -10, 0, 0);
  bad.r->BlitRotated(50, 40, pic.pixels(), pic.palette(), 20, 10, 3, 0);
  bad.r->BlitRotated(50, 40, pic.pixels(), pic.palette(), 19, 10, 1, 0);
  for (i32 y = 0; y < 80; ++y)
    for (i32 x = 0; x < 100; ++x) ASSERT_EQ(bad.at(x, y), 0) << x << "," << y;
  // A golden of a turned picture over tiles.
  Scene sc(Field(160, 120));
  Screen2D g(160, 120, 0);
  const SImage* shield = sc.view.images[kShield];
  const SImage* tree = sc.view.images[kTree];
  g.r->TileImage(0, 0, shield->Pixels(), shield->GetPalette(), 32, 32, 0, 160, 120);
  g.r->BlitRotated(80, 60, tree->Pixels(), tree->GetPalette(), 64, 96, 0, 30 << 16);
  EXPECT_EQ(testpng::CompareGolden("renderer_rotated_blit", g.frame.data(), 160, 120, 160), "");
}

TEST(RendererRain, AmountsAreHeldToTheDropArray) {
  Scene sc(Field(240, 180));
  Prepared p(sc);
  p.r->ResetRain(5000, 0xA534);
  EXPECT_EQ(p.r->rainCount, SRenderer::kMaxRaindrops);
  EXPECT_EQ(p.r->rainWanted, SRenderer::kMaxRaindrops);
  // Lowering the amount keeps every drop until drops leave the view.
  p.r->ResetRain(100, 0xA534);
  p.r->SetRainAmount(50, 0xA534);
  p.r->UpdateRain(0);
  EXPECT_EQ(p.r->rainCount, 100);
  p.r->UpdateRain(3 << 16);  // three seconds: every drop has left
  EXPECT_EQ(p.r->rainCount, 50);
  for (i32 i = 0; i < 50; ++i) {
    const SRaindrop& d = p.r->raindrops[i];
    EXPECT_TRUE((d.x >> 16) >= 0 && (d.x >> 16) < 240 && (d.y >> 16) < 180) << i;
  }
}

TEST(RendererRain, TwoPassesAndTheViewEdges) {
  Scene sc(Field(320, 60));
  Prepared p(sc);
  p.r->SetupRain(0x1234);
  p.r->rainCount = p.r->rainWanted = 100;
  p.r->rainSlope = 0;
  // Drop i: one row at row 10, column 2 + 3i (the jitter moves it by at most one column).
  for (i32 i = 0; i < 100; ++i) p.r->raindrops[i] = {65536, (2 + 3 * i) << 16, 10 << 16, 0, 0};
  auto drawn = [&](i32 i) {
    const i32 c = 2 + 3 * i;
    int n = 0;
    for (i32 x = c - 1; x <= c + 1; ++x) n += *sc.screen.Pixel(x, 10) == 0x1234;
    return n;
  };
  std::fill(sc.frame.begin(), sc.frame.end(), 0);
  p.r->DrawRain(0, 1);
  for (i32 i = 0; i < 100; ++i) ASSERT_EQ(drawn(i), i < 90 ? 1 : 0) << i;
  std::fill(sc.frame.begin(), sc.frame.end(), 0);
  p.r->DrawRain(0, 0);
  for (i32 i = 0; i < 100; ++i) ASSERT_EQ(drawn(i), i < 90 ? 0 : 1) << i;
  // Row 0 is never drawn; a drop above the view shows only its rows inside it.
  p.r->rainCount = 2;
  p.r->raindrops[0] = {3 << 16, 50 << 16, 0, 0, 0};
  p.r->raindrops[1] = {8 << 16, 100 << 16, -5 << 16, 0, 0};
  std::fill(sc.frame.begin(), sc.frame.end(), 0);
  p.r->DrawRain(0, 0);
  p.r->DrawRain(0, 1);
  for (i32 x : {50, 100}) {
    int rows[4] = {};
    for (i32 y = 0; y < 4; ++y)
      for (i32 dx = -1; dx <= 1; ++dx) rows[y] += *sc.screen.Pixel(x + dx, y) == 0x1234;
    EXPECT_EQ(rows[0], 0) << x;
    EXPECT_EQ(rows[1], 1) << x;
    EXPECT_EQ(rows[2], 1) << x;
    EXPECT_EQ(rows[3], 0) << x;
  }
}

TEST(RendererRain, GoldenFramesByDayAndNightWithTheHands) {
  struct Case {
    const char* name;
    u16 colour;
    bool follows;
  } cases[] = {{"renderer_rain_day_hands_240", 0xA534, false}, {"renderer_rain_night_hands_240", 0x6B4D, true}};
  for (const Case& c : cases) {
    Scene sc(Field(240, 180));
    sc.view.flags |= 4;
    sc.view.handRightImage = kHand;
    sc.view.handLeftImage = c.follows ? kShield : kHand;
    sc.view.handLeftMirrored = 1;
    sc.view.handLeftWidthPct = 80;
    sc.view.handSecondFollows = c.follows;
    sc.view.handSecondDx = -20;
    sc.view.handSecondDy = 30;
    SRandom rng;
    rng.Seed(nullptr, 1234);
    auto r = std::make_unique<SRenderer>();
    r->random = &rng;
    r->view = &sc.view;
    r->ResetRain(300, c.colour);
    for (int k = 0; k < 5; ++k) r->UpdateRain((50 << 16) / 1000);
    sc.Render(*r);
    const std::vector<u16> frame = sc.Viewport();
    EXPECT_EQ(testpng::CompareGolden(c.name, frame.data(), 240, 180, 240), "");
  }
}
