// Whole frames: golden images, the same frame from every image format and surface orientation, the
// background set, the sort order and the fixed stores.
#include "Scene.h"
#include "support/Png.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

const std::vector<std::string> kField = {".........", ".........", ".........", ".........", ".........",
                                         ".........", ".........", ".........", "........."};

const std::vector<std::string> kCorridor = {"#########", "#.......#", "###U#w###", "  #...#  ", "  #L.L#  ",
                                            "  #w.U#  ", "  ##.##  ", "  #...#  ", "  #####  "};

const std::vector<std::string> kPits = {".........", "..pp.....", "..pp..p..", ".........", "....p....",
                                        ".........", "...p.#...", ".........", "........."};

const std::vector<std::string> kLayers = {"mmm333...", "mmm333...", "444555...", "444555...",
                                          ".........", "....4....", ".........", "........."};

struct GoldenCase {
  const char* name;
  const std::vector<std::string>* rows;
  double camX, camY, angle;
  i32 width, height;
  bool sky;
  i32 fogStart;
  u16 lightScale = 2048;
};

// fogStart 1680 (the far distance) draws no fog at all.
const GoldenCase kGolden[] = {
    {"renderer_field_sky_240", &kField, 4.5, 7.5, 0, 240, 180, true, 1008},
    {"renderer_field_sky_45_380", &kField, 4.5, 4.5, 45, 380, 240, true, 1008},
    {"renderer_corridor_380", &kCorridor, 4.5, 7.5, 0, 380, 240, true, 1008},
    {"renderer_corridor_90_240", &kCorridor, 6.2, 1.5, 90, 240, 180, false, 1008},
    {"renderer_corridor_nofog_480", &kCorridor, 4.5, 7.5, 0, 480, 300, false, 1680},
    {"renderer_corridor_fog_480", &kCorridor, 4.5, 7.5, 0, 480, 300, false, 200, 300},
    {"renderer_pits_fog_45_380", &kPits, 7.5, 7.5, 45, 380, 240, true, 0, 256},
    {"renderer_pits_270_480", &kPits, 0.5, 4.5, 270, 480, 360, true, 1008},
    {"renderer_pits_30_5_240", &kPits, 5.5, 7.3, 30.5, 240, 180, false, 1008},
    {"renderer_layers_180_800", &kLayers, 3.5, 0.5, 180, 800, 480, true, 1008},
    {"renderer_layers_45_640", &kLayers, 5.2, 5.6, 45, 640, 400, true, 1008},
};

scene::Options OptionsFor(const GoldenCase& g, int format) {
  scene::Options o;
  o.rows = *g.rows;
  o.camX = g.camX;
  o.camY = g.camY;
  o.angleDegrees = g.angle;
  o.viewWidth = g.width;
  o.viewHeight = g.height;
  o.sky = g.sky;
  o.fogStart = g.fogStart;
  o.format = format;
  o.lightScale = g.lightScale;
  return o;
}

class GoldenFrames : public ::testing::TestWithParam<GoldenCase> {};

}  // namespace

TEST_P(GoldenFrames, MatchesStoredImageInEveryFormat) {
  const GoldenCase& g = GetParam();
  auto renderer = std::make_unique<SRenderer>();
  scene::Scene sc(OptionsFor(g, 0));
  sc.Render(*renderer);
  EXPECT_EQ(renderer->stats.droppedPolygons, 0u);
  EXPECT_GT(renderer->stats.polygonsVisible, 0u);
  const std::vector<u16> frame = sc.Viewport();
  EXPECT_EQ(testpng::CompareGolden(g.name, frame.data(), g.width, g.height, g.width), "");
  // The same textures in the block formats give the same pixels.
  for (int format = 1; format <= 2; ++format) {
    scene::Scene other(OptionsFor(g, format));
    other.Render(*renderer);
    ASSERT_EQ(other.Viewport(), frame) << "format " << format;
  }
}

INSTANTIATE_TEST_SUITE_P(Renderer, GoldenFrames, ::testing::ValuesIn(kGolden),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(RendererFrame, SameFrameOnRotatedSurfacesAndAtAViewportOffset) {
  auto renderer = std::make_unique<SRenderer>();
  scene::Options o = OptionsFor(kGolden[2], 0);
  scene::Scene upright(o);
  upright.Render(*renderer);
  for (u32 orientation : {0u, 1u, 2u}) {
    o.orientation = orientation;
    o.viewX = 12;
    o.viewY = 30;
    o.screenWidth = 420;
    o.screenHeight = 300;
    scene::Scene moved(o);
    moved.Render(*renderer);
    ASSERT_EQ(moved.Viewport(), upright.Viewport()) << "orientation " << orientation;
    // Nothing outside the viewport is touched.
    for (i32 y = 0; y < 300; ++y)
      for (i32 x = 0; x < 420; ++x) {
        const bool inside = x >= 12 && x < 12 + o.viewWidth && y >= 30 && y < 30 + o.viewHeight;
        if (!inside) {
          ASSERT_EQ(*moved.screen.Pixel(x, y), 0xF81F) << x << "," << y;
        }
      }
  }
}

TEST(RendererFrame, BackgroundPolygonCount) {
  auto r = std::make_unique<SRenderer>();
  scene::Options o = OptionsFor(kGolden[0], 0);
  scene::Scene sc(o);
  r->view = &sc.view;
  r->SetupProjection();
  auto count = [&](bool sky, i32 angle) {
    sc.view.flags = sky ? 1 : 0;
    sc.view.angle = angle << 16;
    r->SetupCamera();
    r->drawCount = 0;
    r->vertexCount = r->coordCount = r->lightCount = 0;
    r->EmitBackground();
    return r->drawCount;
  };
  EXPECT_EQ(count(false, 0), 1);
  int three = 0, five = 0;
  for (i32 a = 0; a < 360; a += 10) {
    const i32 n = count(true, a);
    EXPECT_TRUE(n == 3 || n == 5) << a;
    (n == 3 ? three : five)++;
    EXPECT_EQ(n == 5, r->skyU0 > 6080) << a;
  }
  EXPECT_GT(three, 0);
  EXPECT_GT(five, 0);
}

TEST(RendererFrame, DrawOrderOfClassesAndDepths) {
  auto cmp = [](SDrawEntry a, SDrawEntry b) { return SRenderer::CompareDrawEntries(&a, &b); };
  // Classes in drawing order 0, 6, 1, 2, 5, then 3 and 4 together.
  const u8 order[] = {0, 6, 1, 2, 5, 3};
  for (int i = 0; i + 1 < 6; ++i) EXPECT_LT(cmp({100, 50, 0, order[i]}, {100, 50, 1, order[i + 1]}), 0);
  EXPECT_EQ(cmp({100, 50, 0, 7}, {100, 50, 1, 0}), 0);
  // Within a class the farther first.
  EXPECT_LT(cmp({200, 50, 0, 2}, {100, 50, 1, 2}), 0);
  EXPECT_LT(cmp({100, 60, 0, 2}, {100, 50, 1, 2}), 0);
  EXPECT_EQ(cmp({100, 50, 0, 0}, {300, 50, 1, 0}), 0);
  // Classes 3 and 4 with equal min depth: a class-3 polygon of one depth is drawn after the class-4 one.
  EXPECT_GT(cmp({80, 80, 0, 3}, {120, 80, 1, 4}), 0);
  EXPECT_LT(cmp({120, 80, 1, 4}, {80, 80, 0, 3}), 0);
  EXPECT_LT(cmp({90, 80, 0, 3}, {120, 80, 1, 4}), 0);
  // Different min depths: ordered as within a class, the larger max depth first.
  EXPECT_GT(cmp({90, 85, 0, 3}, {120, 80, 1, 4}), 0);
  EXPECT_LT(cmp({120, 85, 0, 3}, {120, 80, 1, 4}), 0);
}

TEST(RendererFrame, SceneBeyondThePolygonStoreDrawsAndReportsTheDrops) {
  // A wide field of pits seen from afar: far more polygons than the stores hold.
  scene::Options o;
  for (int y = 0; y < 27; ++y) {
    std::string row;
    for (int x = 0; x < 27; ++x) row += ((x + y) % 2) ? 'p' : '.';
    o.rows.push_back(row);
  }
  o.camX = 13.5;
  o.camY = 26.5;
  o.far = 4300;
  o.fogStart = 3000;
  o.viewWidth = 800;
  o.viewHeight = 480;
  scene::Scene sc(o);
  auto r = std::make_unique<SRenderer>();
  sc.Render(*r);
  EXPECT_EQ(r->drawCount, SRenderer::kMaxPolygons);
  EXPECT_GT(r->stats.droppedPolygons, 0u);
  EXPECT_LE(r->vertexCount, u32(SRenderer::kMaxVertices));
  EXPECT_GT(r->stats.polygonsVisible, 0u);
}

TEST(RendererFrame, BadViewsDrawNothing) {
  auto r = std::make_unique<SRenderer>();
  scene::Options o = OptionsFor(kGolden[0], 0);
  o.viewWidth = 801;  // wider than the coverage arrays
  o.viewHeight = 100;
  scene::Scene wide(o);
  wide.Render(*r);
  for (u16 p : wide.frame) ASSERT_EQ(p, 0xF81F);
  // An empty view, and one without a frame buffer, draw nothing either.
  for (int bad = 0; bad < 3; ++bad) {
    scene::Scene sc(OptionsFor(kGolden[0], 0));
    if (bad == 0) sc.view.viewWidth = 0;
    if (bad == 1) sc.view.viewHeight = -4;
    if (bad == 2) sc.view.frameBuffer = nullptr;
    sc.Render(*r);
    for (u16 p : sc.frame) ASSERT_EQ(p, 0xF81F) << bad;
  }
  // Render words naming records past their tables are treated as absent.
  scene::Scene sc(OptionsFor(kGolden[2], 0));
  std::vector<u16> cells(sc.view.cells, sc.view.cells + 9 * 9 * RenderWords::kCellWords);
  for (size_t i = 0; i < cells.size(); i += RenderWords::kCellWords) {
    cells[i + 0] = u16(cells[i + 0] ? 999 : 0);
    cells[i + 1] = u16(cells[i + 1] ? 999 : 0);
  }
  sc.view.cells = cells.data();
  sc.Render(*r);
  EXPECT_EQ(r->stats.droppedPolygons, 0u);
}

TEST(RendererFrame, OpenFieldLeavesNoPixelUndrawnAtAnyAngle) {
  // Every covered cell is emitted and neighbouring floors meet without cracks: with the sky on, nothing
  // of the frame's marker colour survives, whatever the angle and the camera's place inside its cell.
  scene::Options o;
  o.rows.assign(30, std::string(30, '.'));
  o.viewWidth = 240;
  o.viewHeight = 200;
  o.fogColor = 0x07FF;
  auto r = std::make_unique<SRenderer>();
  for (int i = 0; i < 40; ++i) {
    o.far = i % 2 ? 1680 : 4600;  // beyond 13 cells the corner cache is bypassed
    o.camX = 15 + (i * 37 % 100) / 100.0;
    o.camY = 15 + (i * 61 % 100) / 100.0;
    o.angle16 = (i * 9 * 65536 + i * 1237) % (360 << 16);
    scene::Scene sc(o);
    sc.Render(*r);
    const auto px = sc.Viewport();
    int undrawn = 0;
    for (u16 p : px) undrawn += p == 0xF81F;
    ASSERT_EQ(undrawn, 0) << "angle " << o.angle16 / 65536.0 << " at " << o.camX << "," << o.camY;
    // Below the far edge of the floor only floor shows: no cell inside the view was left out (the flat
    // band behind it has the fog colour, which no texture uses).
    int band = 0;
    for (i32 y = (r->floorRow >> 4) + 2; y < o.viewHeight; ++y)
      for (i32 x = 0; x < o.viewWidth; ++x) band += px[size_t(y) * size_t(o.viewWidth) + size_t(x)] == 0x07FF;
    ASSERT_EQ(band, 0) << "angle " << o.angle16 / 65536.0 << " at " << o.camX << "," << o.camY;
  }
}

TEST(RendererFrame, RandomRenderWordsAndCamerasAreDrawnSafely) {
  // Render words as a careless scene preparation might leave them: any mix of floors, pits, walls,
  // overlays and wall faces, indices past their tables, any light, any camera place and angle. The frame
  // must be drawn without touching memory it does not own (the sanitizer build checks that).
  scene::Options o;
  o.rows.assign(12, std::string(12, '.'));
  o.viewWidth = 800;
  o.viewHeight = 600;
  scene::Scene sc(o);
  std::vector<u16> cells(sc.view.cells, sc.view.cells + 12 * 12 * RenderWords::kCellWords);
  std::vector<u16> sides(sc.view.cellSides, sc.view.cellSides + 12 * 12 * RenderWords::kCellSideWords);
  sc.view.cells = cells.data();
  sc.view.cellSides = sides.data();
  u32 seed = 12345;
  auto next = [&](u32 n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % n;
  };
  auto r = std::make_unique<SRenderer>();
  for (int frame = 0; frame < 400; ++frame) {
    for (size_t c = 0; c < 144; ++c) {
      u16* w = &cells[c * RenderWords::kCellWords];
      w[0] = u16(next(7));
      w[1] = u16(next(6));
      w[2] = u16(next(4));
      w[11] = u16(next(3) == 0 ? next(65536) : 2048);
      u16* s = &sides[c * RenderWords::kCellSideWords];
      s[0] = u16(next(5));
      s[1] = u16(next(3));
      s[2] = u16(next(4096));
    }
    sc.view.cameraX = i32(next(16 << 16)) - (2 << 16);
    sc.view.cameraY = i32(next(16 << 16)) - (2 << 16);
    sc.view.angle = i32(next(360 << 16));
    sc.view.skyAngle = i32(next(720 << 16)) - (360 << 16);
    sc.view.fogStart = i32(next(3000));
    sc.view.far = i32(next(6000)) + 100;
    sc.view.flags = u16(next(2));
    sc.view.viewWidth = i32(next(800)) + 1;
    sc.view.viewHeight = i32(next(600)) + 1;
    sc.Render(*r);
    ASSERT_LE(r->drawCount, SRenderer::kMaxPolygons);
  }
}

TEST(RendererFrame, ScreenAlignedColumnImagesAreDrawnAsUprightImages) {
  // A kind-13 quad with horizontal top and bottom goes to the upright-image filler; tilted, it does not.
  auto r = std::make_unique<SRenderer>();
  scene::Scene sc(OptionsFor(kGolden[0], 0));
  r->view = &sc.view;
  r->SetupProjection();
  r->SetupCamera();
  auto drawOne = [&](const SRenderVertex(&quad)[4]) {
    std::fill(sc.frame.begin(), sc.frame.end(), u16(0xF81F));
    r->vertexCount = r->coordCount = r->lightCount = 0;
    r->drawCount = 0;
    for (int i = 0; i < 4; ++i) {
      r->clipOut[i] = {quad[i].x, quad[i].y, quad[i].z, i == 1 || i == 2 ? 1023 : 0, i >= 2 ? 1023 : 0, 0};
      r->clipIn[i] = r->clipOut[i];
    }
    r->preClipCount = 4;
    std::memset(&r->polygons[0], 0, sizeof(SRenderPolygon));
    r->polygons[0].textures[0] = scene::kWindow;
    r->AddPolygon(4, 13, 2048, 3);
    r->polygons[0].flags = kPolyVisible;
    r->DrawPolygons();
    return sc.Viewport();
  };
  const SRenderVertex aligned[4] = {{320, 320, 1000}, {1600, 320, 1000}, {1600, 1600, 1000}, {320, 1600, 1000}};
  const auto viaDraw = drawOne(aligned);
  std::fill(sc.frame.begin(), sc.frame.end(), u16(0xF81F));
  SSpanTexture t;
  r->GetTexture(scene::kWindow, 0, t);
  SRenderer::FillKind11(r->viewSurface, 4, &r->vertices[0], t, &r->coords[0], &r->lights[0], r->fogSpread);
  EXPECT_EQ(viaDraw, sc.Viewport());
  // Holes of the window texture leave the frame untouched.
  int untouched = 0;
  for (i32 y = 22; y < 98; ++y)
    for (i32 x = 22; x < 98; ++x) untouched += viaDraw[size_t(y) * 240 + size_t(x)] == 0xF81F;
  EXPECT_GT(untouched, 1000);
  const SRenderVertex tilted[4] = {{320, 320, 1000}, {1600, 400, 1000}, {1600, 1500, 1000}, {320, 1600, 1000}};
  const auto columns = drawOne(tilted);
  std::fill(sc.frame.begin(), sc.frame.end(), u16(0xF81F));
  SRenderer::FillKind13(r->viewSurface, 4, &r->vertices[0], t, &r->coords[0], &r->lights[0], r->fogSpread);
  EXPECT_EQ(columns, sc.Viewport());
}

TEST(RendererFrame, FogOffIsFogFreeUpToAFarDistance) {
  // With the fog starting at the far distance no floor pixel depends on the fog colour, also at depths
  // where the saturated lights times the depth exceed 32 bits.
  scene::Options o;
  o.rows.assign(30, std::string(30, '.'));
  o.camX = 15.5;
  o.camY = 29.5;
  o.far = o.fogStart = 4400;
  o.viewWidth = 380;
  o.viewHeight = 240;
  auto r = std::make_unique<SRenderer>();
  std::vector<u16> frames[2];
  const u16 fogs[2] = {0x0000, 0xFFFF};
  for (int i = 0; i < 2; ++i) {
    o.fogColor = fogs[i];
    scene::Scene sc(o);
    sc.Render(*r);
    frames[i] = sc.Viewport();
  }
  ASSERT_GT(r->farDist, 8192);
  // From just below the floor's far edge (depths up to the far distance) to the bottom.
  const i32 firstRow = (r->floorRow >> 4) + 2;
  for (i32 y = firstRow; y < 240; ++y)
    for (i32 x = 40; x < 340; ++x)
      ASSERT_EQ(frames[0][size_t(y) * 380 + size_t(x)], frames[1][size_t(y) * 380 + size_t(x)]) << x << "," << y;
}

// A palette drawn in place of an image's own table must hold every entry the image reads: a short palette on
// a block-format texture (four entries a block index) is refused rather than read past its end.
TEST(RendererFrame, APaletteShorterThanTheImageReadsIsNotDrawn) {
  auto r = std::make_unique<SRenderer>();
  scene::Options o = OptionsFor(kGolden[0], 1);  // block textures with 8-bit indices
  scene::Scene sc(o);
  const SImage* wall = sc.view.images[scene::kWall];
  ASSERT_NE(wall, nullptr);
  ASSERT_EQ(wall->format, kImageBlock8);
  std::vector<u32> needs(scene::kImageCount, 0);
  for (u16 id = 1; id < scene::kImageCount; ++id)
    if (sc.view.images[id]) needs[id] = sc.view.images[id]->TableNeed();
  ASSERT_GT(needs[scene::kWall], 4u);
  std::vector<u16> shortPalette(needs[scene::kWall] - 1, 0x1234), longPalette(needs[scene::kWall], 0x4321);
  const u16* palettes[3] = {nullptr, shortPalette.data(), longPalette.data()};
  const u32 sizes[3] = {0, u32(shortPalette.size()), u32(longPalette.size())};
  sc.view.palettes = palettes;
  sc.view.paletteCount = 3;
  r->view = &sc.view;
  SSpanTexture t;
  EXPECT_TRUE(r->GetTexture(scene::kWall, 1, t));  // unchecked without the sizes: the owner vouches
  sc.view.imageTableNeeds = needs.data();
  sc.view.paletteSizes = sizes;
  EXPECT_FALSE(r->GetTexture(scene::kWall, 1, t));
  EXPECT_TRUE(r->GetTexture(scene::kWall, 2, t));
  EXPECT_EQ(t.palette, longPalette.data());
  EXPECT_TRUE(r->GetTexture(scene::kWall, 0, t));  // its own table
}
