// Cell emitters: which polygons a cell adds for its floor, pit and wall words.
#include "Scene.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
struct Emitted {
  std::unique_ptr<SRenderer> r = std::make_unique<SRenderer>();
  // Sets up the camera of the scene and emits the one cell at (x, y).
  void Cell(scene::Scene& sc, i32 x, i32 y, bool floor, bool walls) {
    r->view = &sc.view;
    r->SetupProjection();
    r->SetupCamera();
    r->vertexCount = r->coordCount = r->lightCount = 0;
    r->drawCount = 0;
    if (floor) r->EmitCellSolidOrFloor(x, y);
    if (walls) r->EmitCellThinWalls(x, y);
  }
  int Count(int kind, int cls = -1) const {
    int n = 0;
    for (i32 i = 0; i < r->drawCount; ++i)
      n += r->polygons[i].kind == kind && (cls < 0 || r->drawList[i].drawClass == cls);
    return n;
  }
};

scene::Options Looking(std::vector<std::string> rows, double x, double y, double angle) {
  scene::Options o;
  o.rows = std::move(rows);
  o.camX = x;
  o.camY = y;
  o.angleDegrees = angle;
  return o;
}
}  // namespace

TEST(RendererEmitters, WallFacesBetweenBlocksAndFromBehindAreNotEmitted) {
  // Seen from the south, two lower blocks side by side show their two south faces only: the faces
  // between them are never built, the outer side faces and the north faces look away.
  scene::Scene sc(Looking({".....", ".LL..", ".....", "....."}, 2.0, 3.5, 0));
  Emitted e;
  e.Cell(sc, 1, 1, false, true);
  EXPECT_EQ(e.Count(7, 3), 1);
  e.Cell(sc, 2, 1, false, true);
  EXPECT_EQ(e.Count(7, 3), 1);
  // The upper storey's blocks give class 5 faces between 213 and 944.
  scene::Scene up(Looking({".....", ".UU..", ".....", "....."}, 2.0, 3.5, 0));
  e.Cell(up, 1, 1, true, true);
  EXPECT_EQ(e.Count(7, 5), 1);
  EXPECT_EQ(e.Count(1, 2), 1);  // and its floor
  for (i32 i = 0; i < e.r->drawCount; ++i) {
    if (e.r->drawList[i].drawClass != 5) continue;
    for (i32 k = 0; k < e.r->polygons[i].vertexCount; ++k)
      EXPECT_LT(e.r->vertices[e.r->polygons[i].firstVertex + k].y, e.r->viewBottom);
  }
}

TEST(RendererEmitters, TwoLayerWallTakesItsSecondTextureFromTheFacingCell) {
  // The 'w' cell south of the block names a wall-face record whose north wall has a second layer.
  scene::Scene sc(Looking({".....", "..L..", "..w..", "....."}, 2.5, 3.5, 0));
  Emitted e;
  e.Cell(sc, 2, 1, false, true);
  ASSERT_EQ(e.Count(9, 3), 1);
  EXPECT_EQ(e.r->polygons[0].textures[1], scene::kWindow);
  scene::Scene plain(Looking({".....", "..L..", "..4..", "....."}, 2.5, 3.5, 0));
  e.Cell(plain, 2, 1, false, true);
  EXPECT_EQ(e.Count(7, 3), 1);
}

TEST(RendererEmitters, PitSidesOnlyTowardCellsThatAreNotPits) {
  // Looking east at a pit: its far (east) side shows unless the cell beyond is a pit too. Deep pits
  // give every side two quads; the bottom is one flat fill.
  Emitted e;
  scene::Scene single(Looking({"..........", "....p.....", ".........."}, 0.5, 1.5, 270));
  e.Cell(single, 4, 1, true, false);
  const int sides = e.Count(8, 1);
  EXPECT_EQ(e.Count(0, 1), 1);
  scene::Scene twin(Looking({"..........", "....pp....", ".........."}, 0.5, 1.5, 270));
  e.Cell(twin, 4, 1, true, false);
  EXPECT_EQ(e.Count(8, 1), sides - 2);
  // The two quads of a deep side meet at the same light.
  e.Cell(single, 4, 1, true, false);
  const SRenderPolygon* top = nullptr;
  const SRenderPolygon* bottom = nullptr;
  for (i32 i = 0; i < e.r->drawCount; ++i) {
    const SRenderPolygon& p = e.r->polygons[i];
    if (p.kind != 8) continue;
    (e.r->vertices[p.firstVertex].y < e.r->vertices[p.firstVertex + 2].y && !top ? top : bottom) = &p;
  }
  ASSERT_TRUE(top && bottom);
  // Light factors of 0.763 at the seam, 1.0 and 0 at the ends: the seam's light lies strictly between.
  const u16 seamUpper = e.r->lights[top->firstLight + 2], topLight = e.r->lights[top->firstLight];
  EXPECT_GT(topLight, seamUpper);
  EXPECT_GT(seamUpper, 0);
}

TEST(RendererEmitters, FloorKindFollowsTheLayersOfItsFloorType) {
  struct Case {
    char cell;
    int kind;
  };
  for (Case c : {Case{'.', 1}, Case{'m', 2}, Case{'3', 3}, Case{'4', 4}, Case{'5', 5}}) {
    scene::Scene sc(Looking({"...", std::string(".") + c.cell + ".", "..."}, 1.5, 2.9, 0));
    Emitted e;
    e.Cell(sc, 1, 1, true, false);
    EXPECT_EQ(e.Count(c.kind, 2), 1) << c.cell;
  }
  // A third layer without a second one still makes kind 3; no floor type, or a wall block, no floor.
  scene::Scene sc(Looking({"...", "...", "..."}, 1.5, 2.9, 0));
  std::vector<u16> types(sc.view.floorTypes, sc.view.floorTypes + 5 * RenderWords::kFloorTypeWords);
  types[1 * RenderWords::kFloorTypeWords + 2] = scene::kFloor3;
  sc.view.floorTypes = types.data();
  Emitted e;
  e.Cell(sc, 1, 1, true, false);
  EXPECT_EQ(e.Count(3, 2), 1);
  scene::Scene none(Looking({"...", ". .", "..."}, 1.5, 2.9, 0));
  e.Cell(none, 1, 1, true, false);
  EXPECT_EQ(e.r->drawCount, 0);
}
