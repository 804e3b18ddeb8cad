// The software 3D renderer: draws the first-person view of the cell grid described by an SWorldView into a
// viewport of a 16-bit frame buffer. Painter's algorithm over the grid: polygons are emitted per covered
// cell, clipped, sorted back to front by draw class and depth, culled by column occlusion, then filled.
// Integer fixed point throughout: world and view space 22.10 (a cell is 1024), screen 28.4.
#pragma once
#include "foundation/SRandom.h"
#include "graphics/SImage.h"
#include "graphics/renderer/FixedMath.h"
#include "graphics/renderer/SWorldView.h"
#include "os/Types.h"

struct SRenderVertex {
  i32 x, y;  // 28.4 screen, relative to the viewport's top-left corner
  i32 z;     // 22.10 depth
};

struct STexCoord {
  i32 u, v;  // 1/16 texel
};

// Polygon flags.
enum : u8 {
  kPolyFadeToWhite = 1,
  kPolyVisible = 2,
  kPolyAltImageA = 4,
  kPolyAltImageB = 8,
};

struct SRenderPolygon {
  u8 flags;
  u8 kind;  // 0..14: the filler that draws it
  u16 firstVertex;
  u16 vertexCount;
  u16 firstCoord;
  u16 firstLight;
  u16 textures[3];
  u16 palettes[3];
  u16 images[2];
};

struct SDrawEntry {
  i32 maxDepth;
  i32 minDepth;
  i16 polygon;
  u8 drawClass;
};

// A wall's screen trapezoid with vertical sides, in whole pixels.
struct SCoverRun {
  i32 left, right;  // right is exclusive
  i32 topLeft, topRight;
  i32 bottomLeft, bottomRight;
};

// One texture layer as the span routines read it.
struct SSpanTexture {
  i8 format = -1;
  i16 width = 0;
  i16 height = 0;
  const u8* data = nullptr;
  const u16* palette = nullptr;
  static void FromImage(SSpanTexture& texture, const SImage* image);
};

// A mask image of the layered floors: only the pixel data is read, as 32-bit words.
struct SMaskImage {
  i16 width = 0;
  i16 height = 0;
  const u8* data = nullptr;
};

// Follows one side of a convex screen polygon from its first to its last scan position.
struct SEdgeWalker {
  i32 vertexCount;
  const SRenderVertex* vertices;
  i32 start, end, current, next;
  SEdgeStepper cross;
  i32 pixel;

  // Moves to the edge that covers scan position s (28.4) and sets the cross stepper up over it. False, with
  // pixel = 0x7FFFFFFF, once s lies at or past the side's end vertex: the walker then stays there.
  bool AdvanceColumnForward(i32 s) { return Advance<0, true>(s); }    // top side of column fillers
  bool AdvanceColumnBackward(i32 s) { return Advance<0, false>(s); }  // bottom side of column fillers
  bool AdvanceRowBackward(i32 s) { return Advance<1, false>(s); }     // left side of row fillers
  bool AdvanceRowForward(i32 s) { return Advance<1, true>(s); }       // right side of row fillers
  void RoundColumnEdge() {
    const i32 v = cross.x;
    const i32 adj = ((v & 15) == 8 && cross.direction == 1) ? 1 : 0;
    pixel = (v + 7 + adj) >> 4;
  }
  void RoundRowEdge() {
    const i32 v = cross.x;
    const i32 adj = ((v & 15) == 8 && cross.direction == 1 && cross.error != 0) ? 1 : 0;
    pixel = (v + 7 + adj) >> 4;
  }

 private:
  // The one walk behind the four sides: Scan is the scan axis (0 = x, 1 = y), Forward walks toward higher
  // indices, and both directions wrap around the array. It stops at the side's own end vertex, never by a
  // count: end is one of the polygon's vertices, so it is reached within vertexCount - 1 steps whichever way
  // the walker goes, and the walker never leaves its side for an edge of the other one.
  template <int Scan, bool Forward>
  bool Advance(i32 s) {
    auto scanOf = [this](i32 i) { return Scan == 0 ? vertices[i].x : vertices[i].y; };
    while (current != end && s >= scanOf(next)) {
      current = next;
      if constexpr (Forward)
        next = next + 1 < vertexCount ? next + 1 : 0;
      else
        next = next > 0 ? next - 1 : vertexCount - 1;
    }
    if (current == end) {
      pixel = 0x7FFFFFFF;
      return false;
    }
    const SRenderVertex& a = vertices[current];
    const SRenderVertex& b = vertices[next];
    if constexpr (Scan == 0)
      cross.InitPixels(a.y, b.y, a.x, b.x);
    else
      cross.InitPixels(a.x, b.x, a.y, b.y);
    return true;
  }
};

// One falling raindrop, 16.16 fixed point: streak length and top in view pixels, velocity in pixels per second.
struct SRaindrop {
  i32 length;
  i32 x, y;
  i32 vx, vy;
};

// A screen rectangle in 28.4.
struct SScreenRect {
  i32 left, top, right, bottom;
};

// Counters a test or benchmark can read after a frame. Nothing in the renderer depends on them.
struct SRenderStats {
  u32 droppedPolygons = 0;  // polygons not stored because a store was full (this frame)
  u32 droppedRuns = 0;      // walls not given a run because the run table was full (this frame)
  u32 polygonsEmitted = 0;
  u32 polygonsVisible = 0;
  u32 vertexHighWater = 0;
  u32 runHighWater = 0;
};

class SRenderer {
 public:
  static constexpr int kMaxVertices = 1200;
  static constexpr int kMaxPolygons = 300;
  static constexpr int kMaxRuns = 50;
  static constexpr int kMaxColumns = 800;
  static constexpr int kClipMaxIn = 10;
  static constexpr int kClipMax = kClipMaxIn + 6;
  static constexpr int kCacheSide = 28;

  // A vertex of the clip buffers: position, texture coordinate and light factor.
  struct ClipVertex {
    i32 x, y, z;
    i32 u, v;
    i32 l;
  };

  SRenderer();

  SWorldView* view = nullptr;  // read every frame; the renderer sets flags bit 1

  // Constants (constructor defaults).
  i32 cellSize = 1024;
  i32 levelHeight = 731;
  i32 planeWidth = 1158;
  i32 heightLevels[5] = {-1980, -1249, -518, 213, 944};
  i32 viewMargin = 2;
  i32 referenceWidth = 380;
  i32 cellPixels = 336;
  i32 storeyPixels = 240;
  i32 horizonShift = 70;
  i32 fieldOfView = 60;
  i32 skyBandTop = 10;
  i32 skyBandBottom = 110;
  u32 white = 0x07E0F81F;
  u8 deepPits = 1;

  // Projection (SetupProjection).
  i32 focal = 0;
  i32 eyeOffset = 0;
  i32 floorMargin = 0;
  i32 farDist = 0;
  i32 nearDist = 512;
  i32 fogStartDist = 0;
  i32 projScale = 0;
  i32 negCentreX = 0;
  i32 negEyeRow = 0;
  i32 viewRight = 0;
  i32 viewBottom = 0;
  SSurface viewSurface;
  SSurface screenSurface;
  i32 ceilingRow = 0, floorRow = 0, groundRow = 0;
  i32 bandTop = 0, bandBottom = 0, skyHeight = 0;
  i32 skyT0 = 0, skyT1 = 0;
  u32 fogSpread = 0;

  // Camera (SetupCamera).
  i32 facingCode = 4;
  i32 cosA = 1024, minusSin = 0;
  i32 triX[3] = {}, triY[3] = {};
  i32 eyeX = 0, eyeY = 0;
  i32 eyeCellX = 0, eyeCellY = 0;
  i32 alongAxis = 0;
  i32 skyU0 = 0, skyU1 = 0, skySplit = 0, skySecondEnd = 0;
  i32 cornerCache[kCacheSide * kCacheSide][2] = {};

  // Clipping.
  i32 preClipCount = -1;
  i32 clippedCount = 0;
  ClipVertex clipIn[kClipMax];
  ClipVertex clipA[kClipMax];
  ClipVertex clipB[kClipMax];
  ClipVertex clipOut[kClipMax];

  // Stores.
  SRenderVertex vertices[kMaxVertices];
  STexCoord coords[kMaxVertices];
  u16 lights[kMaxVertices];
  u32 vertexCount = 0, coordCount = 0, lightCount = 0;
  SRenderPolygon polygons[kMaxPolygons];
  SDrawEntry drawList[kMaxPolygons];
  i32 drawCount = 0;

  // Coverage.
  u16 wallOwners[kMaxColumns];
  u16 upperOwners[kMaxColumns];
  SCoverRun runs[kMaxRuns + 1];  // one spare slot: the uncommitted run of a full table
  i32 runCount = 0;

  u32 rainState[2] = {0, 0};

  // Rain (SetupRain, SetRainAmount, UpdateRain, DrawRain).
  static constexpr int kMaxRaindrops = 1000;
  i32 rainWanted = 0;
  i32 rainCount = 0;
  i32 rainSlope = 0;  // 16.16 sin of the fall angle: x advance per streak row
  i32 rainDrift = 0;  // pixels a drop drifts sideways while crossing the view
  i32 rainMinLength = 0, rainMaxLength = 0;
  i32 rainMinSpeed = 0, rainMaxSpeed = 0;
  i32 rainFall = 0;  // 16.16 cos of the fall angle
  u16 rainColour = 0;
  SRaindrop raindrops[kMaxRaindrops];
  // The game's generator; the renderer's own (fixed seed) when none is given.
  SRandom* random = nullptr;
  SRenderPolygon scratchPolygon{};
  SRenderStats stats;

  // Frame.
  void DrawView();
  void SetupProjection();
  void SetupCamera();
  void ViewCorner(i32 dx, i32 dy, i32& x, i32& z);
  void ViewPoint(i32 dx, i32 dy, i32 ox, i32 oz, i32& x, i32& z);
  void TransformCorner(i32 dx, i32 dy, i32& x, i32& z) const;
  void Project(const ClipVertex& in, ClipVertex& out) const;

  // Stores and the draw list. Both return false (and count a drop) when a store is full.
  // The caller sets the flags, textures, palettes and images of polygons[drawCount] before the call.
  bool AddPolygon(i32 count, i32 kind, i32 lightScale, i32 drawClass);
  // The cleared polygon record the next add fills (a scratch record once the store is full).
  SRenderPolygon& NextPolygon();
  bool AddSolidWallPolygon(i32 count, i32 lightScale);
  bool StoreHasRoom(i32 count) const;
  static int CompareDrawEntries(const void* a, const void* b);
  void SortDrawList();
  void DrawPolygons();
  bool GetTexture(u16 textureId, u16 paletteId, SSpanTexture& out, bool floorRows = false) const;
  void TraverseView();
  void EmitCell(i32 x, i32 y);
  void EmitBackground();

  // Clipping drivers: return the final vertex count (below 3 means rejected).
  i32 ClipLitQuad();
  i32 ClipScreenQuad();
  i32 ClipUprightQuad();
  i32 ClipPolygon(i32 count);
  i32 ClipPlainQuad();

  // Coverage.
  void ComputeCoverage();
  void PolygonBounds(const SRenderPolygon& p, i32 out[4]) const;
  void PolygonRun(const SRenderPolygon& p, SCoverRun& out) const;
  void TestCoverage(const u16* owners, SRenderPolygon& p) const;
  void CoverWall(SRenderPolygon& p);
  bool CoverUpperWall(SRenderPolygon& p);

  // Cell emitters.
  i32 CellWallClass(i32 cellIndex) const;
  bool IsPit(i32 cellIndex) const;
  bool IsFrontFacing() const;
  void EmitCellSolidOrFloor(i32 x, i32 y);
  void EmitCellThinWalls(i32 x, i32 y);
  void SetPitLight(i32 storey);
  // Side quads from corner P (px, py) to corner Q (qx, qy) between two heights; texture size in 1/16 texel.
  void BuildSideQuad(i32 px, i32 py, i32 qx, i32 qy, i32 top, i32 bottom, i32 w16, i32 h16);
  void BuildFlatQuad(i32 dx, i32 dy, i32 height, i32 w16, i32 h16);
  i32 VertexLight(i32 z, i32 scale) const;

  // Ceilings, shapes, wall decorations and cells outside the map.
  void EmitCellExtra(i32 x, i32 y);
  void EmitCellKind10(i32 x, i32 y);
  void EmitCellLayer(i32 x, i32 y, i32 layer);
  void EmitOutsideCell(i32 x, i32 y);
  // Objects and images.
  void EmitCellObject(i32 x, i32 y);
  void EmitCellObjectType8(i32 x, i32 y);
  void EmitCellWord9(i32 x, i32 y);
  void EmitCellWord3(i32 x, i32 y);
  void EmitCellSprite(i32 x, i32 y);
  void EmitObjectType1(i32 x, i32 y, const u16* obj, bool hanging);
  void EmitObjectType1Layer(i32 dx, i32 dy, const u16* obj, const SScreenRect& rect, i32 z, i32 drawClass, i32 light);
  void EmitObjectType3(i32 x, i32 y, const u16* obj);
  void EmitObjectType4(i32 x, i32 y, const u16* obj);
  void EmitObjectType4Part(i32 dx, i32 dy, i32 ox, i32 oz, u16 image, u16 palette, bool mirrored, i32 light);
  void EmitObjectType5(i32 x, i32 y, const u16* obj);
  void EmitObjectType8(i32 x, i32 y, const u16* obj);
  void EmitObjectType9(i32 x, i32 y, const u16* obj);
  void EmitObjectType10(i32 x, i32 y, const u16* obj);
  void EmitObjectType12(i32 x, i32 y, const u16* obj);
  void EmitObjectType13(i32 x, i32 y, const u16* obj);
  // An upright image facing the viewer, anchored at (ox, height, oz) of cell (dx, dy) from the eye cell.
  // Split at the ceiling line unless ceilingAbove; drawClass < 0 classes each part by that line.
  // Returns true when something was emitted; rect is the image's screen rectangle, z its depth.
  bool EmitUprightImage(i32 dx, i32 dy, i32 ox, i32 height, i32 oz, i32 size, bool hanging, bool ceilingAbove,
                        u16 image, u16 palette, i32 lightScale, SScreenRect* rect = nullptr, bool mirrored = false,
                        i32 drawClass = -1, u8 overlayFlags = 0, i32* depth = nullptr);
  // A vertical quad from (ax, az) to (bx, bz) inside cell (dx, dy) between two heights, u running from a to
  // b. Sides: 0 keeps the winding and drops it when seen from behind; 1 turns a quad seen from behind
  // (mirrored); 2 swaps a and b for a quad seen from behind (never mirrored). Returns the polygon's index or -1.
  i32 EmitWallQuad(i32 dx, i32 dy, i32 ax, i32 az, i32 bx, i32 bz, i32 top, i32 bottom, i32 u0, i32 u1, i32 v0, i32 v1,
                   u16 image, u16 palette, i32 kind, i32 light, i32 drawClass, int sides, u8 flags = 0,
                   bool uprightClip = false);
  // As EmitWallQuad, cut at the ceiling (213) into a class-3 part below and a class-5 part above.
  void EmitWallQuadSplit(i32 dx, i32 dy, i32 ax, i32 az, i32 bx, i32 bz, i32 top, i32 bottom, i32 u0, i32 u1, i32 v0,
                         i32 v1, u16 image, u16 palette, i32 light, u8 flags, i32 depthAdjust);
  void BuildCeilingQuad(i32 dx, i32 dy, i32 height, i32 w16, i32 h16);
  void EmitDecoration(i32 dx, i32 dy, i32 side, u16 placement, u16 image, u16 palette, u16 overlay, bool white,
                      i32 base, i32 layer, i32 drawClass, i32 light, bool second);
  bool ImageSize(u16 id, i32& w, i32& h) const;
  i32 ImageFoot(u16 id) const;
  bool InMap(i32 x, i32 y) const { return x >= 0 && y >= 0 && x < view->mapWidth && y < view->mapHeight; }
  // Lowers a just-added polygon's depths so that it sorts in front of an image at the same depth.
  void LowerDepth(i32 polygon, i32 maxBy, i32 minBy);

  // Rain and first-person overlays, drawn after the polygons.
  void SetupRain(u16 colour);
  void SetRainAmount(i32 n, u16 colour);
  void ResetRain(i32 n, u16 colour);
  void UpdateRain(i32 dt);
  void PlaceRaindrop(SRaindrop& d);
  void RespawnRaindrop(SRaindrop& d);
  void DrawRain(u32 orientation, i32 firstPart);
  void DrawHandImages();
  // Fill a rectangle with copies of an image (keyed or not), on the screen surface.
  void TileImageKeyed(i32 x, i32 y, const u8* pixels, const u16* palette, i32 w, i32 h, i32 format, i32 areaWidth,
                      i32 areaHeight);
  void TileImage(i32 x, i32 y, const u8* pixels, const u16* palette, i32 w, i32 h, i32 format, i32 areaWidth,
                 i32 areaHeight);
  // Draws an image rotated about (x, y) by angle (16.16 degrees) on the screen surface, keyed.
  void BlitRotated(i32 x, i32 y, const u8* pixels, const u16* palette, i32 w, i32 h, i32 format, i32 angle);
  // The same on any surface (the screen manager draws on the whole frame).
  static void BlitRotatedOn(const SSurface& surface, i32 x, i32 y, const u8* pixels, const u16* palette, i32 w, i32 h,
                            i32 format, i32 angle);
  i32 RainRandom(i32 scale);

  // Edge walkers (both start at the polygon's extreme vertices along the scan axis).
  static void InitEdgeWalkers(SEdgeWalker& first, SEdgeWalker& second, int scan, int cross, i32 n,
                              const SRenderVertex* verts);

  // Fillers. Each draws one convex screen polygon through the viewport surface.
  static void FillFlat(const SSurface& s, i32 n, const SRenderVertex* v, u16 colour);
  static void FillKind7(const SSurface& s, i32 n, const SRenderVertex* v, const SSpanTexture& t1, const STexCoord* c,
                        const u16* l, u32 fog);
  static void FillKind8(const SSurface& s, i32 n, const SRenderVertex* v, const SSpanTexture& t1, const STexCoord* c,
                        const u16* l, u32 fog);
  static void FillKind9(const SSurface& s, i32 n, const SRenderVertex* v, const SSpanTexture& t1,
                        const SSpanTexture& t2, const STexCoord* c, const u16* l, u32 fog);
  static void FillKind13(const SSurface& s, i32 n, const SRenderVertex* v, const SSpanTexture& t1, const STexCoord* c,
                         const u16* l, u32 fog);
  static void FillKind14(const SSurface& s, i32 n, const SRenderVertex* v, const SSpanTexture& t1, const STexCoord* c,
                         const u16* l, u32 fog);
  // Floors and ceilings: kind 1..5 by layer rule; axis 0 any angle, 1 facing 0 or 180, 2 facing 90 or 270.
  static void FillFloor(int kind, int axis, const SSurface& s, i32 n, const SRenderVertex* v, const SSpanTexture& t1,
                        const STexCoord* c, const SSpanTexture* t2, const SSpanTexture* t3, const SMaskImage* m1,
                        const SMaskImage* m2, const u16* l, u32 fog);
  // Row fillers of images, pictures and the sky.
  static void FillKind10(const SSurface& s, i32 n, const SRenderVertex* v, const SSpanTexture& t1, const STexCoord* c,
                         const u16* l, u32 fog);
  static void FillKind11(const SSurface& s, i32 n, const SRenderVertex* v, const SSpanTexture& t1, const STexCoord* c,
                         const u16* l, u32 fog);
  static void FillKind12(const SSurface& s, i32 n, const SRenderVertex* v, const SSpanTexture& t1, const STexCoord* c,
                         const u16* l, u32 fog);
  // The rotated 2D image: 4 vertices, keyed, no fog.
  static void FillRotatedImage(const SSurface& s, i32 n, const SRenderVertex* v, const SSpanTexture& t1,
                               const STexCoord* c);

 private:
  const u16* Cell(i32 index) const { return view->cells + index * RenderWords::kCellWords; }
  const u16* CellSide(i32 index) const;
  const u16* FloorType(u16 id) const;
  const u16* Object(u16 id) const;
  const u16* WallFace(u16 id) const;
  const u16* FloorItem(u16 id) const;
  const u16* Creature(u16 id) const;
  bool UpperWallBlock(i32 x, i32 y) const { return InMap(x, y) && (CellWallClass(y * view->mapWidth + x) & 2); }
  bool LowerWallBlock(i32 x, i32 y) const { return InMap(x, y) && (CellWallClass(y * view->mapWidth + x) & 1); }
  SRandom ownRandom_;
  // A map cell's index, its words and its offset from the eye cell.
  struct CellRef {
    i32 idx;
    const u16* cell;
    i32 dx, dy;
  };
  CellRef Locate(i32 x, i32 y) const;
  i32 ObjectRenderType(u16 id) const;
  bool TextureSize(u16 textureId, i32& w, i32& h) const;
  template <int Payload>
  i32 RunClip(i32 count, bool depthStages);
};
