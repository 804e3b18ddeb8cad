// Trigonometry, edge steppers, camera and projection set-up.
#include "Scene.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(RendererMath, SineAndCosineFollowTheHostWithinAFewUnits) {
  EXPECT_EQ(FixedSin(0), 0);
  EXPECT_NEAR(FixedSin(102942), 65536, 8);
  EXPECT_NEAR(FixedCos(0), 65536, 8);
  for (i32 a = 0; a < FixedAngle::kTwoPi; a += 997) {
    const double r = a / 65536.0;
    ASSERT_NEAR(FixedSin(a), std::sin(r) * 65536, 40) << a;
    ASSERT_NEAR(FixedCos(a), std::cos(r) * 65536, 40) << a;
  }
  // Odd symmetry across pi.
  for (i32 d : {1, 50, 1000}) EXPECT_EQ(FixedSin(FixedAngle::kPi + d), -FixedSin(d)) << d;
  EXPECT_NEAR(DegreesToRadians(90 << 16), 102943, 10);
}

TEST(RendererMath, CellStepperStartsAtTheFirstBoundary) {
  SEdgeStepper s;
  s.InitCells(5000, 9000, 2048, 6144);  // starts on a boundary
  EXPECT_EQ(s.x, 5000);
  EXPECT_EQ(s.error, 0);
  // Stepping stays exact: after 4 rows the edge is at its end.
  for (int i = 0; i < 4; ++i) s.Step();
  EXPECT_EQ(s.x, 9000);
  s.InitCells(100, 100, 0, 3000);
  EXPECT_EQ(s.direction, 1);  // a vertical cell edge counts as growing
}

TEST(RendererMath, PixelStepperSamplesRowCentres) {
  struct Case {
    i32 y0;
    i32 first;
  };
  // From y0 = 0 the first centre is 8 away; from 8 it is there; from 9 it is row 1's centre.
  for (Case c : {Case{0, 8}, Case{8, 0}, Case{9, 15}}) {
    SEdgeStepper s;
    s.InitPixels(0, 1600, c.y0, c.y0 + 1600);  // slope 1: x equals the distance travelled
    EXPECT_EQ(s.x, c.first) << c.y0;
  }
  SEdgeStepper s;
  s.InitPixels(7, 7, 0, 100);
  EXPECT_EQ(s.direction, 0);  // a constant quantity counts as not growing
  // True value = x + unit * error / height, exactly, at every row.
  s.InitPixels(-300, 1000, 3, 200);
  for (int row = 0; row < 12; ++row) {
    const i32 y = 16 * row + 8;
    if (y < 3) continue;
    const double exact = -300 + 1300.0 * (y - 3) / 197;
    EXPECT_NEAR(s.x + s.unit * double(s.error) / s.height, exact, 1e-9);
    s.Step();
  }
}

TEST(RendererMath, LongEdgesStayExactAndEdgesWithoutRowsNeverStep) {
  // Perspective quantities (a texture coordinate times a depth) and long cell edges: the set-up's products
  // pass 32 bits, yet the stepper's value must stay the exact one at every row.
  struct Case {
    bool cells;
    i32 x0, x1, y0, y1;
  } const cases[] = {
      {true, 0, 1 << 22, 0, 3000},             // (d << 10) is 2^32
      {true, 1 << 21, -(1 << 21), 100, 9000},  // falling, starting off a boundary
      {false, -(1 << 28), 1 << 28, 3, 5000},   // (d << 4) and first x d pass 2^32
      {false, 1 << 30, 0, 9, 700},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x0 << " to " << c.x1 << (c.cells ? " cells" : " pixels"));
    SEdgeStepper s;
    c.cells ? s.InitCells(c.x0, c.x1, c.y0, c.y1) : s.InitPixels(c.x0, c.x1, c.y0, c.y1);
    const i32 unit = c.cells ? 1024 : 16;
    i32 y = c.cells ? (c.y0 + 1023) & ~1023 : ((c.y0 + 7) & ~15) + 8;
    for (int row = 0; row < 6 && y <= c.y1; ++row, y += unit) {
      // x + unit x error / height, times the height, against the edge's own value there.
      const i64 got = i64(s.x) * s.height + i64(s.unit) * s.error;
      const i64 want = i64(c.x0) * (c.y1 - c.y0) + (i64(c.x1) - c.x0) * (y - c.y0);
      EXPECT_EQ(got, want) << "row " << row;
      s.Step();
    }
  }
  // An edge with no extent along the scan axis keeps its start value.
  SEdgeStepper flat;
  flat.InitPixels(500, 9000, 40, 40);
  flat.Step();
  EXPECT_EQ(flat.x, 500);
  flat.InitCells(500, 9000, 2048, 1024);
  flat.Step();
  EXPECT_EQ(flat.x, 500);
}

namespace {
scene::Options Field(i32 width, i32 height) {
  scene::Options o;
  o.rows = {"....", "....", "....", "...."};
  o.camX = 2.5;
  o.camY = 2.5;
  o.viewWidth = width;
  o.viewHeight = height;
  return o;
}
}  // namespace

TEST(RendererCamera, ProjectionConstantsAt240Wide) {
  scene::Scene sc(Field(240, 180));
  SRenderer r;
  r.view = &sc.view;
  r.SetupProjection();
  EXPECT_NEAR(r.focal, 1003, 2);
  EXPECT_NEAR(r.eyeOffset, 491, 2);
  // The eye row lies 44 pixels above the viewport's middle row.
  EXPECT_NEAR(90 - (-r.negEyeRow) / 16.0, 44, 0.5);
  EXPECT_EQ(r.viewRight, 240 << 4);
}

TEST(RendererCamera, FacingCodesAndExactCosines) {
  scene::Scene sc(Field(240, 180));
  SRenderer r;
  r.view = &sc.view;
  r.SetupProjection();
  struct Case {
    i32 angle;
    i32 code, cos, minusSin;
  };
  for (Case c :
       {Case{0, 0, 1024, 0}, Case{90 << 16, 1, 0, -1024}, Case{180 << 16, 2, -1024, 0}, Case{270 << 16, 3, 0, 1024}}) {
    sc.view.angle = c.angle;
    r.SetupCamera();
    EXPECT_EQ(r.facingCode, c.code);
    EXPECT_EQ(r.cosA, c.cos);
    EXPECT_EQ(r.minusSin, c.minusSin);
  }
  sc.view.angle = (90 << 16) + 1;
  r.SetupCamera();
  EXPECT_EQ(r.facingCode, 4);
  EXPECT_NEAR(r.cosA, 0, 2);
  EXPECT_NEAR(r.minusSin, -1024, 2);
}

TEST(RendererCamera, AxisTransformMatchesTheGeneralRotation) {
  // Facing codes 0..3 skip the rotation; the general formula with exact cosines gives the same corners.
  scene::Scene sc(Field(240, 180));
  sc.view.cameraX = (2 << 16) + 20000;
  sc.view.cameraY = (2 << 16) + 41000;
  SRenderer r;
  r.view = &sc.view;
  r.SetupProjection();
  for (i32 code = 0; code < 4; ++code) {
    sc.view.angle = (code * 90) << 16;
    r.SetupCamera();
    for (i32 dx = -3; dx <= 3; ++dx)
      for (i32 dy = -3; dy <= 3; ++dy) {
        i32 x, z;
        r.TransformCorner(dx, dy, x, z);
        const i32 rx = dx * 1024 - (r.eyeX & 1023), ry = dy * 1024 - (r.eyeY & 1023);
        EXPECT_EQ(x, (r.cosA * rx + r.minusSin * ry) >> 10);
        EXPECT_EQ(z, (r.minusSin * rx - r.cosA * ry) >> 10);
        // The cached corner agrees, also for a corner at exactly (0, 0).
        i32 cx, cz;
        r.ViewCorner(dx, dy, cx, cz);
        EXPECT_EQ(cx, x);
        EXPECT_EQ(cz, z);
      }
  }
}

TEST(RendererCamera, SkySplitsIntoTwoPiecesThatFillTheViewport) {
  scene::Scene sc(Field(240, 180));
  SRenderer r;
  r.view = &sc.view;
  r.SetupProjection();
  bool sawSplit = false, sawWhole = false;
  for (i32 deg = 0; deg < 360; deg += 7) {
    sc.view.angle = deg << 16;
    r.SetupCamera();
    if (r.skySplit < (240 << 4)) {
      sawSplit = true;
      // First piece covers [0, split), second [split, W): widths in texture units add up to 6080.
      EXPECT_EQ((12160 - r.skyU0) + r.skySecondEnd, 6080);
      EXPECT_GT(r.skyU0, 6080);
    } else {
      sawWhole = true;
      EXPECT_LE(r.skyU0, 6080);
      EXPECT_EQ(r.skyU1 - r.skyU0, 6080);
    }
  }
  EXPECT_TRUE(sawSplit);
  EXPECT_TRUE(sawWhole);
  // A sky angle turns after turns away from the view still scrolls within the panorama (a true modulo).
  for (i32 turns : {-3, -1, 2}) {
    sc.view.skyAngle = turns * (360 << 16);
    sc.view.angle = 359 << 16;
    r.SetupCamera();
    EXPECT_GE(r.skyU0, 0) << turns;
    EXPECT_LT(r.skyU0, 12160) << turns;
  }
}
