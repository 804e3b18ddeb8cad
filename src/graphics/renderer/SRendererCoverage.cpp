// Column occlusion: walls claim the viewport columns they cover as runs; everything else is tested
// against the runs that own the columns under its bounding box.
#include "graphics/renderer/SRenderer.h"

namespace {
inline i32 ToPixel(i32 v) { return (v + 7) >> 4; }
inline i32 InnerTop(const SCoverRun& r) { return r.topLeft > r.topRight ? r.topLeft : r.topRight; }
inline i32 InnerBottom(const SCoverRun& r) { return r.bottomLeft < r.bottomRight ? r.bottomLeft : r.bottomRight; }
// True when the run's inner rectangle holds the rows y0..y1.
inline bool Contains(const SCoverRun& r, i32 y0, i32 y1) { return !(InnerTop(r) > y0 || InnerBottom(r) < y1); }
}  // namespace

void SRenderer::PolygonBounds(const SRenderPolygon& p, i32 out[4]) const {
  const SRenderVertex* v = &vertices[p.firstVertex];
  i32 x0 = v[0].x, y0 = v[0].y, x1 = v[0].x, y1 = v[0].y;
  for (i32 i = 1; i < p.vertexCount; ++i) {
    if (v[i].x < x0) x0 = v[i].x;
    if (v[i].x > x1) x1 = v[i].x;
    if (v[i].y < y0) y0 = v[i].y;
    if (v[i].y > y1) y1 = v[i].y;
  }
  out[0] = ToPixel(x0);
  out[1] = ToPixel(y0);
  out[2] = ToPixel(x1);
  out[3] = ToPixel(y1);
}

void SRenderer::PolygonRun(const SRenderPolygon& p, SCoverRun& out) const {
  const SRenderVertex* v = &vertices[p.firstVertex];
  i32 lx = v[0].x, rx = v[0].x;
  for (i32 i = 1; i < p.vertexCount; ++i) {
    if (v[i].x < lx) lx = v[i].x;
    if (v[i].x > rx) rx = v[i].x;
  }
  i32 lt = 0x7FFFFFFF, lb = -0x7FFFFFFF, rt = 0x7FFFFFFF, rb = -0x7FFFFFFF;
  for (i32 i = 0; i < p.vertexCount; ++i) {
    if (v[i].x == lx) {
      if (v[i].y < lt) lt = v[i].y;
      if (v[i].y > lb) lb = v[i].y;
    }
    if (v[i].x == rx) {
      if (v[i].y < rt) rt = v[i].y;
      if (v[i].y > rb) rb = v[i].y;
    }
  }
  out.left = ToPixel(lx);
  out.right = ToPixel(rx);
  out.topLeft = ToPixel(lt);
  out.topRight = ToPixel(rt);
  out.bottomLeft = ToPixel(lb);
  out.bottomRight = ToPixel(rb);
}

void SRenderer::TestCoverage(const u16* owners, SRenderPolygon& p) const {
  p.flags &= u8(~kPolyVisible);
  i32 b[4];
  PolygonBounds(p, b);
  i32 x0 = b[0], x1 = b[2];
  if (x0 >= x1) return;
  const i32 W = view->viewWidth;
  if (x0 < 0) x0 = 0;
  if (x1 > W) x1 = W;
  i32 c = x0;
  while (c < x1) {
    const u16 r = owners[c];
    i32 e = c + 1;
    while (e < x1 && owners[e] == r) ++e;
    if (r == 0xFFFF) {
      p.flags |= kPolyVisible;
    } else {
      const SCoverRun& run = runs[r];
      if (!Contains(run, b[1], b[3])) {
        p.flags |= kPolyVisible;
      } else if (run.left <= b[0] && run.right >= b[2]) {
        p.flags &= u8(~kPolyVisible);
        return;
      }
    }
    c = e;
  }
}

void SRenderer::CoverWall(SRenderPolygon& p) {
  // Once the run table is full the wall is only tested, as any other polygon.
  if (runCount >= kMaxRuns) {
    ++stats.droppedRuns;
    TestCoverage(wallOwners, p);
    return;
  }
  SCoverRun& run = runs[runCount];
  PolygonRun(p, run);
  const i32 newTop = run.topLeft < run.topRight ? run.topLeft : run.topRight;
  const i32 newBottom = run.bottomLeft > run.bottomRight ? run.bottomLeft : run.bottomRight;
  const i32 W = view->viewWidth;
  i32 c = run.left < 0 ? 0 : run.left;
  const i32 end = run.right > W ? W : run.right;
  bool visible = false;
  i32 index = runCount;
  while (c < end) {
    const u16 r = wallOwners[c];
    i32 e = c + 1;
    while (e < end && wallOwners[e] == r) ++e;
    if (r == 0xFFFF) {
      if (!visible) {
        ++runCount;
        visible = true;
      }
      for (i32 k = c; k < e; ++k) wallOwners[k] = u16(index);
    } else if (!visible && !Contains(runs[r], newTop, newBottom)) {
      ++runCount;
      visible = true;
    }
    c = e;
  }
  if (visible)
    p.flags |= kPolyVisible;
  else
    p.flags &= u8(~kPolyVisible);
  if (u32(runCount) > stats.runHighWater) stats.runHighWater = u32(runCount);
}

bool SRenderer::CoverUpperWall(SRenderPolygon& p) {
  if (runCount >= kMaxRuns) {
    ++stats.droppedRuns;
    TestCoverage(upperOwners, p);
    return false;
  }
  const i32 provisional = runCount;
  SCoverRun& run = runs[provisional];
  PolygonRun(p, run);
  const i32 newTop = run.topLeft < run.topRight ? run.topLeft : run.topRight;
  const i32 newBottom = run.bottomLeft > run.bottomRight ? run.bottomLeft : run.bottomRight;
  const i32 W = view->viewWidth;
  const i32 start = run.left < 0 ? 0 : run.left;
  const i32 end = run.right > W ? W : run.right;
  bool visible = false;
  bool merged = false;
  i32 mergedInto = -1;
  i32 assign = provisional;  // run index given to free columns

  // The new wall stands directly on run t when they share columns and its bottom rows meet t's top rows.
  auto tryMerge = [&](u16 target) -> bool {
    if (merged || target == 0xFFFF) return false;
    SCoverRun& t = runs[target];
    if (t.left == run.left && t.right == run.right && t.topLeft == run.bottomLeft && t.topRight == run.bottomRight) {
      t.topLeft = run.topLeft;
      t.topRight = run.topRight;
      merged = true;
      mergedInto = target;
      assign = target;
      return true;
    }
    return false;
  };
  auto commit = [&]() {
    if (runCount < kMaxRuns && runCount == provisional) ++runCount;
    assign = provisional;
  };

  i32 c = start;
  while (c < end) {
    const u16 r = upperOwners[c];
    i32 e = c + 1;
    while (e < end && upperOwners[e] == r) ++e;
    if (r != 0xFFFF) {
      if (!visible && !Contains(runs[r], newTop, newBottom)) {
        visible = true;
        if (!tryMerge(wallOwners[c])) commit();
      }
    } else {
      const u16 target = wallOwners[c];
      if (!tryMerge(target) && !visible && !merged) commit();
      visible = true;
      for (i32 k = c; k < e; ++k) {
        if (wallOwners[k] != target) tryMerge(wallOwners[k]);
        upperOwners[k] = u16(assign);
      }
    }
    c = e;
  }
  if (merged) {
    for (i32 k = start; k < end; ++k)
      if (upperOwners[k] == provisional) upperOwners[k] = u16(mergedInto);
  }
  if (visible)
    p.flags |= kPolyVisible;
  else
    p.flags &= u8(~kPolyVisible);
  if (u32(runCount) > stats.runHighWater) stats.runHighWater = u32(runCount);
  return merged;
}

void SRenderer::ComputeCoverage() {
  runCount = 0;
  const i32 W = view->viewWidth;
  for (i32 c = 0; c < W; ++c) {
    wallOwners[c] = 0xFFFF;
    upperOwners[c] = 0xFFFF;
  }
  for (i32 i = drawCount - 1; i >= 0; --i) {
    const SDrawEntry& e = drawList[i];
    SRenderPolygon& p = polygons[e.polygon];
    const bool wall = p.kind == 7 || p.kind == 9;
    switch (e.drawClass) {
      case 0:
      case 6:
        TestCoverage(upperOwners, p);
        if (p.flags & kPolyVisible) TestCoverage(wallOwners, p);
        break;
      case 1:
      case 2: TestCoverage(wallOwners, p); break;
      case 3:
      case 4:
        if (wall)
          CoverWall(p);
        else
          TestCoverage(wallOwners, p);
        break;
      case 5:
        if (!wall) {
          TestCoverage(upperOwners, p);
          if (p.flags & kPolyVisible) TestCoverage(wallOwners, p);
        } else {
          const bool merged = CoverUpperWall(p);
          if (!merged && (p.flags & kPolyVisible)) TestCoverage(wallOwners, p);
        }
        break;
      default: break;
    }
  }
}
