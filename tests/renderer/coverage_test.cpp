// Column occlusion by walls.
#include "Scene.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
// Polygons placed straight into the stores (screen rectangles in whole pixels).
struct CoverFixture : ::testing::Test {
  scene::Scene sc{[] {
    scene::Options o;
    o.rows = {".."};
    o.viewWidth = 200;
    o.viewHeight = 150;
    return o;
  }()};
  SRenderer r;
  void SetUp() override {
    r.view = &sc.view;
    r.SetupProjection();
    r.vertexCount = 0;
    r.drawCount = 0;
  }
  // Adds a trapezoid with vertical sides; entries are added in drawing order (the pass walks backwards).
  i32 Add(i32 kind, i32 cls, i32 x0, i32 x1, i32 top0, i32 bot0, i32 top1, i32 bot1, i32 depth) {
    r.clipOut[0] = {x0 * 16, top0 * 16, depth, 0, 0, 0};
    r.clipOut[1] = {x1 * 16, top1 * 16, depth, 0, 0, 0};
    r.clipOut[2] = {x1 * 16, bot1 * 16, depth, 0, 0, 0};
    r.clipOut[3] = {x0 * 16, bot0 * 16, depth, 0, 0, 0};
    r.preClipCount = -1;
    std::memset(&r.polygons[r.drawCount], 0, sizeof(SRenderPolygon));
    EXPECT_TRUE(r.AddPolygon(4, kind, 2048, cls));
    return r.drawCount - 1;
  }
  bool Visible(i32 i) const { return r.polygons[i].flags & kPolyVisible; }
};
}  // namespace

TEST_F(CoverFixture, FloorBehindAWallIsHidden) {
  const i32 hidden = Add(1, 2, 40, 80, 60, 90, 60, 90, 3000);
  const i32 partly = Add(1, 2, 90, 150, 60, 90, 60, 90, 3000);
  const i32 wall = Add(7, 3, 30, 120, 20, 120, 20, 120, 1500);
  r.ComputeCoverage();
  EXPECT_TRUE(Visible(wall));
  EXPECT_FALSE(Visible(hidden));
  EXPECT_TRUE(Visible(partly));  // sticks out past the wall's right column
  EXPECT_EQ(r.runCount, 1);
}

TEST_F(CoverFixture, HiddenEvenWhenANearerShorterWallOwnsSomeColumns) {
  const i32 floor = Add(1, 2, 50, 90, 50, 80, 50, 80, 4000);
  const i32 far = Add(7, 3, 40, 140, 20, 120, 20, 120, 2500);
  const i32 nearShort = Add(7, 3, 60, 70, 70, 100, 70, 100, 1200);
  r.ComputeCoverage();
  EXPECT_TRUE(Visible(nearShort));
  EXPECT_TRUE(Visible(far));  // rows above the short wall are not covered by it
  EXPECT_FALSE(Visible(floor));
}

TEST_F(CoverFixture, NarrowPolygonAndWallsBehindWalls) {
  const i32 sliver = Add(1, 2, 100, 100, 10, 20, 10, 20, 2000);  // narrower than a pixel
  const i32 behind = Add(7, 3, 50, 90, 40, 80, 40, 80, 3000);
  const i32 front = Add(7, 3, 40, 100, 30, 90, 30, 90, 1000);
  r.ComputeCoverage();
  EXPECT_FALSE(Visible(sliver));
  EXPECT_TRUE(Visible(front));
  EXPECT_FALSE(Visible(behind));
  EXPECT_EQ(r.runCount, 1);
}

TEST_F(CoverFixture, UpperWallStandingOnALowerWallMergesIntoOneRun) {
  const i32 upper = Add(7, 5, 40, 100, 10, 50, 10, 50, 1500);
  const i32 lower = Add(7, 3, 40, 100, 50, 120, 50, 120, 1500);
  r.ComputeCoverage();
  EXPECT_TRUE(Visible(lower));
  EXPECT_TRUE(Visible(upper));
  ASSERT_EQ(r.runCount, 1);
  EXPECT_EQ(r.runs[0].topLeft, 10);
  EXPECT_EQ(r.runs[0].bottomLeft, 120);
  // The sky band behind both is hidden where the merged run covers it.
  r.drawCount = 0;
  r.vertexCount = 0;
  const i32 sky = Add(12, 0, 50, 90, 20, 100, 20, 100, 5000);
  Add(7, 5, 40, 100, 10, 50, 10, 50, 1500);
  Add(7, 3, 40, 100, 50, 120, 50, 120, 1500);
  r.ComputeCoverage();
  EXPECT_FALSE(Visible(sky));
}

TEST_F(CoverFixture, FullRunTableFallsBackToTheOrdinaryTest) {
  // 60 side-by-side walls: 50 claim runs, the rest are tested like any polygon and stay visible.
  std::vector<i32> walls;
  for (i32 i = 0; i < 60; ++i) walls.push_back(Add(7, 3, i * 3, i * 3 + 3, 10, 100, 10, 100, 1000 + i));
  r.ComputeCoverage();
  EXPECT_EQ(r.runCount, SRenderer::kMaxRuns);
  EXPECT_EQ(r.stats.droppedRuns, 10u);
  for (i32 w : walls) EXPECT_TRUE(Visible(w));
}
