// Objects, images, ceilings, shapes, decorations and cells outside the map: golden frames of hand-filled
// views (each also drawn from the block formats, which must give the same pixels), and the rules that
// frames show less directly.
#include "Scene.h"
#include "graphics/SDraw2D.h"
#include "graphics/renderer/RenderShapes.h"
#include "support/Png.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using namespace scene;

// An object render record: render type and shape, up to seven images with positions, the height word
// and more bits of word 0 (bit 8 the plane, bits 10-15 a door's progress).
std::vector<u16> Obj(int type, int shape, std::vector<u16> images, std::vector<u16> xs = {}, std::vector<u16> zs = {},
                     i16 height = 0, u16 extra0 = 0) {
  std::vector<u16> w(31, 0);
  w[0] = u16(type | shape << 8 | extra0);
  for (size_t i = 0; i < images.size() && i < 7; ++i) w[1 + i] = images[i];
  for (size_t i = 0; i < 7; ++i) {
    w[15 + i] = i < xs.size() ? xs[i] : 32768;
    w[22 + i] = i < zs.size() ? zs[i] : 32768;
  }
  w[29] = u16(height);
  return w;
}

// A placement word of a wall decoration: fields 1..31 across, along and up.
u16 Place(int x, int z, int h, bool out = false) { return u16(x | z << 5 | h << 10 | (out ? 0x8000 : 0)); }

struct ObjectScene {
  const char* name;
  std::vector<std::string> rows;
  double x, y, angle;
  i32 width, height;
  bool sky;
  std::function<void(Scene&)> fill;
};

void FillField(Scene& s) {
  // A tree with a shield laid over it, creatures (one mirrored, one with the alternative image over it),
  // items on the floor (some in the camera's own cell), a banner across a cell, four copies, large and
  // raised images, a hanging banner and the cell sprite.
  s.SetCell(3, 5, 1, s.AddObject(Obj(1, 0, {kTree, kShield}, {32768, 20, 0}, {32768, 40, 0})));
  s.SetCell(5, 5, 1, s.AddObject(Obj(5, 0, {kGhost, kGhost, kCreature}, {16000, 50000, 32768}, {20000, 24000, 50000})));
  s.SetCell(4, 6, 9, s.AddCreature({kCreature, 0, 32768, 32768, 0, 2, kGhost}));
  s.SetCell(3, 4, 10, s.AddCreature({kCreature, 0, 12000, 50000, 0, 1, 0}));
  s.SetCell(4, 8, 3, s.AddFloorItems({kItem, kItem, 0, kItem, kItem}));
  s.SetCell(4, 7, 3, s.AddFloorItems({kItem, 0, kItem, 0, 0, kItem, kItem, kItem, kItem, kItem}));
  s.SetCell(2, 3, 1, s.AddObject(Obj(10, 0, {kBanner})));
  s.SetCell(6, 5, 1, s.AddObject(Obj(10, 0, {kBanner}, {}, {}, 0, 0x100)));
  s.SetCell(6, 4, 1, s.AddObject(Obj(4, 0, {kItem})));
  s.SetCell(4, 2, 1, s.AddObject(Obj(12, 0, {kTree})));
  s.SetCell(5, 3, 1, s.AddObject(Obj(13, 0, {kShield, kShield}, {16000, 48000}, {32768, 32768}, 24000)));
  s.SetCell(3, 2, 1, s.AddObject(Obj(7, 0, {kBanner})));
  s.SetCell(5, 6, 4, kShield);
  s.SetCell(5, 6, 6, 10000);
  s.SetCell(5, 6, 7, 20000);
  s.SetCell(5, 6, 8, 30000);
  s.view.altImageB = s.view.images[kGhost];
}

void FillDoors(Scene& s) {
  // A door seen from the cell before it (arch backdrop, leaf and handle), a door seen from inside its own
  // cell with an overlay, an upper-storey gate, a hanging banner, wall decorations flat on the walls,
  // standing out of a wall, standing free, and one drawn in plain white; a ceiling tile with a shape.
  s.SetCell(3, 2, 1, s.AddObject(Obj(3, 0, {0, kDoor, kHandle, kArch}, {0, 32, 80}, {0, 0, 60})));
  s.SetCell(3, 4, 1, s.AddObject(Obj(9, 0, {kDoor, kHandle}, {0, 40}, {0, 60})));
  s.SetSide(3, 3, 0, s.AddObject(Obj(8, 0, {kBanner})));
  s.SetCell(5, 5, 1, s.AddObject(Obj(7, 0, {kBanner})));
  std::vector<u16> west(36, 0), east(36, 0), free(36, 0);
  west[3] = Place(1, 14, 10);
  west[7] = kShield;
  west[11] = kShield;
  east[1] = Place(31, 16, 6);
  east[5] = kBanner;
  east[9] = kBanner;
  east[0] = Place(20, 1, 8, true);
  east[4] = kShield;
  east[8] = kShield;
  east[28] = 0x8000;
  free[0] = Place(16, 16, 1);
  free[4] = kGhost;
  free[17] = Place(24, 10, 1);
  free[21] = kTree;
  s.SetCell(1, 3, 2, s.AddWallFace(west));
  s.SetCell(5, 3, 2, s.AddWallFace(east));
  s.SetCell(2, 5, 2, s.AddWallFace(free));
  s.SetSide(4, 5, 0, s.AddObject(Obj(11, 46, {kFloor2, kFloor3})));
  s.SetSide(3, 5, 0, s.AddObject(Obj(2, 0, {kUpperWall, 0, kCeiling})));
}

void FillShapes(Scene& s) {
  // Shapes standing on the floor (plinth, pyramid, block, ramp, truncated pyramid, gable roof), one on top
  // of a lower wall block, and a ceiling under an upper wall block.
  const int shapes[][3] = {{1, 1, 15}, {3, 1, 12}, {5, 1, 3}, {1, 3, 4}, {5, 3, 45}, {3, 0, 26}, {2, 4, 40}};
  for (const auto& sh : shapes) s.SetCell(sh[0], sh[1], 1, s.AddObject(Obj(11, sh[2], {kFloor2})));
  s.SetCell(4, 4, 1, s.AddObject(Obj(2, 24, {kWall, kFloor3})));
  s.SetSide(4, 3, 0, s.AddObject(Obj(2, 0, {kUpperWall, 0, kCeiling})));
}

const ObjectScene kScenes[] = {
    {"renderer_objects_380", std::vector<std::string>(9, "........."), 4.5, 8.6, 0, 380, 240, true, FillField},
    {"renderer_objects_40_240", std::vector<std::string>(9, "........."), 6.7, 8.2, 40, 240, 180, true, FillField},
    {"renderer_doors_380",
     {"#######", "#.....#", "##L.L##", "#.....#", "#.....#", "#..U..#", "#.....#", "#######"},
     3.5,
     6.5,
     0,
     380,
     240,
     false,
     FillDoors},
    {"renderer_doors_45_480",
     {"#######", "#.....#", "##L.L##", "#.....#", "#.....#", "#..U..#", "#.....#", "#######"},
     3.6,
     4.6,
     45,
     480,
     300,
     false,
     FillDoors},
    {"renderer_shapes_380",
     {".......", ".......", ".......", "....U..", ".......", "......."},
     3.5,
     5.5,
     0,
     380,
     240,
     false,
     FillShapes},
    {"renderer_shapes_outside_20_480",
     {".......", ".......", ".......", "....U..", ".......", "......."},
     3.5,
     3.6,
     20,
     480,
     300,
     true,
     FillShapes},
};

Options OptionsOf(const ObjectScene& d, int format) {
  Options o;
  o.rows = d.rows;
  o.camX = d.x;
  o.camY = d.y;
  o.angleDegrees = d.angle;
  o.viewWidth = d.width;
  o.viewHeight = d.height;
  o.sky = d.sky;
  o.format = format;
  return o;
}

class ObjectFrames : public ::testing::TestWithParam<ObjectScene> {};

}  // namespace

TEST_P(ObjectFrames, MatchesStoredImageInEveryFormat) {
  const ObjectScene& d = GetParam();
  auto r = std::make_unique<SRenderer>();
  Scene sc(OptionsOf(d, 0));
  d.fill(sc);
  sc.Render(*r);
  EXPECT_EQ(r->stats.droppedPolygons, 0u);
  const std::vector<u16> frame = sc.Viewport();
  EXPECT_EQ(testpng::CompareGolden(d.name, frame.data(), d.width, d.height, d.width), "");
  for (int format = 1; format <= 2; ++format) {
    Scene other(OptionsOf(d, format));
    d.fill(other);
    other.Render(*r);
    ASSERT_EQ(other.Viewport(), frame) << "format " << format;
  }
}

INSTANTIATE_TEST_SUITE_P(Renderer, ObjectFrames, ::testing::ValuesIn(kScenes),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(RendererObjects, ThumbnailOfAKnownView) {
  // A 380 x 240 view is 380 x 50 / 240 = 79 columns wide in the thumbnail: one black column on the right.
  const ObjectScene& d = kScenes[0];
  auto r = std::make_unique<SRenderer>();
  Scene sc(OptionsOf(d, 0));
  d.fill(sc);
  sc.Render(*r);
  std::vector<u16> thumb(80 * 50, 0xF81F);
  SDraw2D::MakeViewThumbnail(thumb.data(), sc.screen.Pixel(0, 0), sc.pitch, d.width, d.height);
  EXPECT_EQ(testpng::CompareGolden("renderer_thumbnail_80x50", thumb.data(), 80, 50, 80), "");
}

TEST(RendererObjects, RandomObjectWordsAreDrawnSafely) {
  // Object records, creatures, floor items and wall faces as careless data might hold them: any render
  // type and shape number, image and palette ids past their tables, any positions, heights, flags and foot
  // values, with rain falling, at any camera. Nothing outside the frame may be touched (the sanitizer build
  // checks that).
  Options o;
  o.rows.assign(10, std::string(10, '.'));
  o.viewWidth = 800;
  o.viewHeight = 600;
  Scene sc(o);
  u32 seed = 777;
  auto next = [&](u32 n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % n;
  };
  // Image ids: any drawable image of the scene, none, or past the table. (The floor masks are not images
  // with colour tables of their own; the image cache hands out only checked records.)
  auto image = [&]() -> u16 {
    const u16 id = u16(next(kImageCount + 3));
    return id == kMask1 || id == kMask2 ? u16(kTree) : id;
  };
  auto word = [&]() -> u16 {
    switch (next(4)) {
      case 0: return image();
      case 1: return u16(next(65536));
      case 2: return 0;
      default: return 32768;
    }
  };
  for (int i = 0; i < 24; ++i) {
    std::vector<u16> w(31);
    for (u16& x : w) x = word();
    w[0] = u16(next(16) | next(70) << 8 | (next(2) << 8) | (next(64) << 10));
    for (int k = 1; k <= 7; ++k) w[size_t(k)] = image();
    for (int k = 8; k <= 14; ++k) w[size_t(k)] = u16(next(3));
    sc.AddObject(w);
    std::vector<u16> f(36);
    for (u16& x : f) x = word();
    for (int k = 4; k < 12; ++k) f[size_t(k)] = image();
    sc.AddWallFace(f);
    std::vector<u16> c(14);
    for (u16& x : c) x = word();
    c[0] = image();
    sc.AddCreature(c);
    std::vector<u16> items(10);
    for (u16& x : items) x = image();
    sc.AddFloorItems(items);
  }
  for (i8& f : sc.feet) f = i8(next(256));
  sc.view.altImageA = sc.view.images[kGhost];
  SRandom rng;
  rng.Seed(nullptr, 5);
  auto r = std::make_unique<SRenderer>();
  r->random = &rng;
  for (int frame = 0; frame < 150; ++frame) {
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 10; ++x) {
        sc.SetCell(x, y, 1, u16(next(30)));
        sc.SetCell(x, y, 2, u16(next(30)));
        for (int k : {3, 9, 10}) sc.SetCell(x, y, k, u16(next(3) ? 0 : next(30)));
        sc.SetCell(x, y, 4, u16(next(4) ? 0 : image()));
        for (int k : {5, 6, 7, 8}) sc.SetCell(x, y, k, word());
        sc.SetSide(x, y, 0, u16(next(30)));
        sc.SetSide(x, y, 1, u16(next(30)));
      }
    sc.view.cameraX = i32(next(14 << 16)) - (2 << 16);
    sc.view.cameraY = i32(next(14 << 16)) - (2 << 16);
    sc.view.angle = i32(next(360 << 16));
    sc.view.far = i32(next(4000)) + 100;
    sc.view.flags = u16(next(2) | 4);
    sc.view.viewWidth = i32(next(800)) + 1;
    sc.view.viewHeight = i32(next(600)) + 1;
    sc.view.handRightImage = image();
    sc.view.handLeftImage = image();
    sc.view.handSecondFollows = u8(next(2));
    sc.view.handSecondDx = i16(next(400)) - 200;
    sc.view.handSecondDy = i16(next(400)) - 200;
    sc.view.handLeftMirrored = u8(next(2));
    r->view = &sc.view;
    if (frame % 10 == 0) r->ResetRain(i32(next(1200)), 0x6B4D);
    r->UpdateRain(i32(next(1 << 16)));
    sc.view.handRightWidthPct = u16(next(150));
    sc.view.handLeftHeightPct = u16(next(150));
    sc.Render(*r);
  }
  EXPECT_LE(r->rainCount, SRenderer::kMaxRaindrops);
}

TEST(RendererObjects, DecorationFlatOnAWallIsDrawnOverItFromEveryPosition) {
  // The overlay lies in the wall's own plane: seen straight on, its depths equal the wall's. It must still
  // be drawn over the wall (and not be hidden by it) whatever the camera's place in the cell.
  struct Case {
    double y, angle;
    u16 image;
  } const cases[] = {{3.5, 0, kShield}, {4.5, 0, kShield}, {6.5, 0, kShield}, {3.5, 270, kBanner}};
  const ObjectScene& d = kScenes[2];
  auto r = std::make_unique<SRenderer>();
  for (const Case& c : cases) {
    int seen = 0;
    for (int step = 0; step < 19; ++step) {
      Options o = OptionsOf(d, 0);
      o.camX = c.angle == 0 ? 5.05 + step * 0.05 : 3.05 + step * 0.05;
      o.camY = c.y;
      o.angleDegrees = c.angle;
      Scene sc(o);
      d.fill(sc);
      sc.Render(*r);
      for (i32 i = 0; i < r->drawCount; ++i) {
        const SRenderPolygon& p = r->polygons[r->drawList[i].polygon];
        if (p.kind != 14 || p.textures[0] != c.image || r->drawList[i].maxDepth != r->drawList[i].minDepth) continue;
        ++seen;
        EXPECT_TRUE(p.flags & kPolyVisible) << o.camX << ", " << o.camY << " at " << c.angle;
      }
    }
    EXPECT_GT(seen, 0) << c.y << " at " << c.angle;
  }
}

TEST(RendererObjects, AWallPictureInACornerLiesOnItsOwnSidesWall) {
  // A narrow picture placed at the end of its wall has both fields on an edge: it belongs to the wall of
  // the side that holds it. Seen straight on, facing that wall, it lies flat across the view (all its
  // depths equal); on the other wall it would recede from the viewer.
  struct Case {
    int side;
    u16 placement;
    double x, y, angle;
  } const cases[] = {
      {0, Place(1, 1, 10), 3.5, 5.5, 0},     {0, Place(31, 1, 10), 3.5, 5.5, 0},   {2, Place(1, 31, 10), 3.5, 1.5, 180},
      {2, Place(31, 31, 10), 3.5, 1.5, 180}, {1, Place(31, 1, 10), 1.5, 3.5, 270}, {3, Place(1, 31, 10), 5.5, 3.5, 90},
  };
  auto r = std::make_unique<SRenderer>();
  for (const Case& c : cases) {
    Options o;
    o.rows = {"#######", "#.....#", "#.....#", "#.....#", "#.....#", "#.....#", "#######"};
    o.camX = c.x;
    o.camY = c.y;
    o.angleDegrees = c.angle;
    Scene sc(o);
    std::vector<u16> face(36, 0);
    face[c.side] = c.placement;
    face[4 + c.side] = kShield;
    face[8 + c.side] = kShield;
    sc.SetCell(3, 3, 2, sc.AddWallFace(face));
    sc.Render(*r);
    int seen = 0;
    for (i32 i = 0; i < r->drawCount; ++i) {
      if (r->polygons[r->drawList[i].polygon].textures[0] != kShield) continue;
      ++seen;
      EXPECT_EQ(r->drawList[i].maxDepth, r->drawList[i].minDepth) << "side " << c.side << " at " << c.placement;
    }
    EXPECT_EQ(seen, 1) << "side " << c.side << " at " << c.placement;
  }
}

TEST(RendererObjects, LaidImagesAndCreatureOverlaysAreDrawnOverTheirBase) {
  // A shield laid over a tree and a creature's alternative image share their base's depths: from every
  // position they must still be drawn after it.
  auto r = std::make_unique<SRenderer>();
  int shields = 0, overlays = 0;
  for (int step = 0; step < 24; ++step) {
    Options o = OptionsOf(kScenes[0], 0);
    o.camX = 2.05 + step * 0.2;
    o.camY = 8.6;
    o.angleDegrees = (step % 3) * 15 - 15;
    Scene sc(o);
    sc.SetCell(3, 5, 1, sc.AddObject(Obj(1, 0, {kTree, kShield}, {32768, 20, 0}, {32768, 40, 0})));
    sc.SetCell(5, 5, 9, sc.AddCreature({kCreature, 0, 32768, 32768, 0, 0, kGhost}));
    sc.Render(*r);
    auto entry = [&](i32 i) -> const SRenderPolygon& { return r->polygons[r->drawList[i].polygon]; };
    for (i32 i = 0; i < r->drawCount; ++i) {
      const SRenderPolygon& top = entry(i);
      const bool shield = top.textures[0] == kShield;
      const bool overlay = top.textures[0] == kCreature && (top.flags & kPolyAltImageA);
      if (!shield && !overlay) continue;
      (shield ? shields : overlays)++;
      // No part of its base of the same draw class comes after it.
      for (i32 k = i + 1; k < r->drawCount; ++k) {
        const SRenderPolygon& later = entry(k);
        if (r->drawList[k].drawClass != r->drawList[i].drawClass) continue;
        const bool base =
            shield ? later.textures[0] == kTree : later.textures[0] == kCreature && !(later.flags & kPolyAltImageA);
        EXPECT_FALSE(base) << (shield ? "shield" : "overlay") << " under its base at " << o.camX << " turned "
                           << o.angleDegrees;
      }
    }
  }
  EXPECT_GT(shields, 0);
  EXPECT_GT(overlays, 0);
}

TEST(RendererObjects, AShapesFacesSeenFromBehindAreNotStored) {
  // A plinth two cells ahead lies wholly in view. Its faces seen from behind, stored, would be drawn over
  // what lies before them; only those facing the viewer are added.
  Options o;
  o.rows.assign(5, ".....");
  o.camX = 2.5;
  o.camY = 4.5;
  Scene sc(o);
  sc.SetCell(2, 2, 1, sc.AddObject(Obj(11, 15, {kFloor2})));
  auto r = std::make_unique<SRenderer>();
  sc.Render(*r);
  u32 faces = 0;
  for (i32 i = 0; i < r->drawCount; ++i) {
    const SRenderPolygon& p = r->polygons[r->drawList[i].polygon];
    if (p.kind != 10) continue;
    ++faces;
    const SRenderVertex* v = r->vertices + p.firstVertex;
    const i64 turn = i64(v[1].x - v[0].x) * (v[2].y - v[1].y) - i64(v[1].y - v[0].y) * (v[2].x - v[1].x);
    EXPECT_GE(turn, 0) << "face " << faces;
  }
  EXPECT_GT(faces, 0u);
  EXPECT_LT(faces, RenderShapes::Get().shapes[15].faceCount);
}
