// The fixed table of small 3D shapes that cells can stand on their floor or ceiling (plinths, blocks,
// steps, ramps, columns, roofs). Points are 22.10 relative to the cell's north-west corner and the base
// height (x east, y up, z south); a face vertex names a point of its shape and a texture position in
// 1/1024 of the texture (0..1024 across and down).
#pragma once
#include "os/Types.h"

struct SShapePoint {
  i16 x, y, z;
};
struct SShapeFaceVertex {
  u8 point;
  i16 u, v;
};
struct SShapeFace {
  u16 firstVertex;
  u8 count;  // 3 or 4
};
struct SShape {
  u16 firstFace;
  u16 firstPoint;
  u8 pointCount;
  u8 faceCount;
};

namespace RenderShapes {
constexpr int kShapeCount = 60;
struct Table {
  SShape shapes[kShapeCount];
  SShapeFace faces[512];
  SShapeFaceVertex vertices[2048];
  SShapePoint points[512];
  u32 faceCount, vertexCount, pointCount;
};
// Built once; every face is wound clockwise as seen from outside its shape.
const Table& Get();
}  // namespace RenderShapes
