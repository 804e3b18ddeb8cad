// Clipping against the depth planes and the viewport edges.
#include "Scene.h"

#include <gtest/gtest.h>

namespace {
struct ClipFixture : ::testing::Test {
  scene::Scene sc{[] {
    scene::Options o;
    o.rows = {"..", ".."};
    o.viewWidth = 240;
    o.viewHeight = 180;
    return o;
  }()};
  SRenderer r;
  void SetUp() override {
    r.view = &sc.view;
    r.SetupProjection();
    r.SetupCamera();
  }
  void Set(int i, i32 x, i32 y, i32 z, i32 u = 0, i32 v = 0) { r.clipIn[i] = {x, y, z, u, v, 0}; }
  void ExpectInside(i32 n) {
    for (i32 i = 0; i < n; ++i) {
      EXPECT_GE(r.clipOut[i].x, 0);
      EXPECT_LE(r.clipOut[i].x, r.viewRight);
      EXPECT_GE(r.clipOut[i].y, 0);
      EXPECT_LE(r.clipOut[i].y, r.viewBottom);
      EXPECT_GE(r.clipOut[i].z, r.nearDist);
    }
  }
};
}  // namespace

TEST_F(ClipFixture, QuadNearerThanTheNearPlaneIsRejected) {
  Set(0, -100, 100, 100);
  Set(1, 100, 100, 100);
  Set(2, 100, -100, 400);
  Set(3, -100, -100, 400);
  EXPECT_EQ(r.ClipPolygon(4), 0);
  EXPECT_EQ(r.ClipPlainQuad(), 0);
}

TEST_F(ClipFixture, VertexOnTheNearPlaneStaysWithoutAnExtraVertex) {
  Set(0, -100, 100, 512);
  Set(1, 100, 100, 900);
  Set(2, 100, -100, 900);
  Set(3, -100, -100, 900);
  ASSERT_EQ(r.ClipPolygon(4), 4);
  EXPECT_EQ(r.clipOut[0].z, 512);
  EXPECT_EQ(r.clippedCount, 4);
}

TEST_F(ClipFixture, QuadAcrossTheLeftEdgeGainsAVertexOnTheEdge) {
  // One corner far to the left: cutting it off adds one vertex; both new ones lie at x = 0.
  Set(0, -3000, 200, 1500);
  Set(1, 100, 200, 1500);
  Set(2, 100, -200, 1500);
  Set(3, -200, -200, 1500);
  const i32 n = r.ClipPolygon(4);
  ASSERT_EQ(n, 5);
  int onEdge = 0;
  for (i32 i = 0; i < n; ++i) onEdge += r.clipOut[i].x == 0;
  EXPECT_EQ(onEdge, 2);
  ExpectInside(n);
}

TEST_F(ClipFixture, TriangleCutByTwoAdjacentEdgesHasFiveVertices) {
  // One vertex beyond the top-left corner; its two edges leave through the top and the left edge.
  Set(0, -1500, 1500, 1200);
  Set(1, 300, 100, 1200);
  Set(2, -300, -600, 1200);
  const i32 n = r.ClipPolygon(3);
  EXPECT_EQ(n, 5);
  ExpectInside(n);
}

TEST_F(ClipFixture, ScreenEdgeCoordinatesArePerspectiveCorrect) {
  // A receding wall crossing the left edge: the new vertex's texture coordinate equals the value of
  // interpolating u / z and 1 / z, to within rounding.
  const i32 xa = -4000, za = 1000, xb = 600, zb = 4000, ua = 0, ub = 1024;
  Set(0, xa, 300, za, ua, 0);
  Set(1, xb, 300, zb, ub, 0);
  Set(2, xb, -300, zb, ub, 512);
  Set(3, xa, -300, za, ua, 512);
  const i32 n = r.ClipPolygon(4);
  ASSERT_GE(n, 4);
  bool checked = false;
  for (i32 i = 0; i < n; ++i) {
    const auto& v = r.clipOut[i];
    if (v.x != 0) continue;
    // On the screen the crossing lies at fraction s between the projected ends.
    SRenderer::ClipVertex pa, pb;
    r.Project(r.clipIn[0], pa);
    r.Project(r.clipIn[1], pb);
    const double s = (0.0 - pa.x) / double(pb.x - pa.x);
    const double inv = (1.0 - s) / za + s / zb;
    const double u = ((1.0 - s) * ua / za + s * ub / zb) / inv;
    EXPECT_NEAR(v.u, u, 3.0);
    EXPECT_NEAR(v.z, 1.0 / inv, 3.0);
    checked = true;
  }
  EXPECT_TRUE(checked);
}

TEST_F(ClipFixture, ScreenQuadInterpolatesLinearly) {
  r.clipIn[0] = {-160, 160, 2000, 0, 0, 0};
  r.clipIn[1] = {480, 160, 2000, 640, 0, 0};
  r.clipIn[2] = {480, 640, 2000, 640, 480, 0};
  r.clipIn[3] = {-160, 640, 2000, 0, 480, 0};
  ASSERT_EQ(r.ClipScreenQuad(), 4);
  EXPECT_EQ(r.clipOut[0].x, 0);
  EXPECT_EQ(r.clipOut[0].u, 160);  // a quarter of the way along
  EXPECT_EQ(r.preClipCount, -1);
}
