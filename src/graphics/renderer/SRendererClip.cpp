// Polygon clipping: near and far depth planes in view space, projection, then the four viewport edges.
#include "graphics/renderer/SRenderer.h"

namespace {
enum Payload { kLit = 0, kCoords = 1, kPlain = 2, kLinear = 3 };
enum Plane { kNear = 0, kFar = 1, kLeft = 2, kRight = 3, kTop = 4, kBottom = 5 };
using CV = SRenderer::ClipVertex;

template <int P>
inline i32 Coord(const CV& v) {
  if constexpr (P == kNear || P == kFar)
    return v.z;
  else if constexpr (P == kLeft || P == kRight)
    return v.x;
  else
    return v.y;
}

// +1 inside, 0 on the plane, -1 outside.
template <int P>
inline int Side(const CV& v, i32 e) {
  const i32 c = Coord<P>(v);
  if (c == e) return 0;
  if constexpr (P == kNear || P == kLeft || P == kTop)
    return c > e ? 1 : -1;
  else
    return c < e ? 1 : -1;
}

inline i32 Lerp(i32 a, i32 b, i64 n, i64 m) { return i32(a + ((i64(b) - a) * n) / m); }

// Intersection with a depth plane, measured from the outside vertex.
template <int Pay>
CV DepthCross(const CV& out, const CV& in, i32 d) {
  const i64 n = i64(d) - out.z, m = i64(in.z) - out.z;
  CV r;
  r.x = Lerp(out.x, in.x, n, m);
  r.y = Lerp(out.y, in.y, n, m);
  r.z = d;
  r.u = r.v = r.l = 0;
  if constexpr (Pay != kPlain) {
    r.u = Lerp(out.u, in.u, n, m);
    r.v = Lerp(out.v, in.v, n, m);
  }
  if constexpr (Pay == kLit) r.l = Lerp(out.l, in.l, n, m);
  return r;
}

inline i32 PerspectiveCoord(i32 au, i32 bu, i32 az, i32 bz, i64 n, i64 m, i64 D) {
  const i64 cross = ((i64(bu) * az - i64(au) * bz) >> 9) * (n >> 1) / m;
  return i32((i64(au) * bz + cross * 1024) / D);
}

// Intersection with a screen edge, measured from the inside vertex a toward b.
template <int P, int Pay>
CV ScreenCross(const CV& a, const CV& b, i32 e) {
  constexpr bool onX = (P == kLeft || P == kRight);
  const i32 ac = onX ? a.x : a.y, bc = onX ? b.x : b.y;
  const i64 n = i64(e) - ac, m = i64(bc) - ac;
  CV r;
  if (onX) {
    r.x = e;
    r.y = Lerp(a.y, b.y, n, m);
  } else {
    r.y = e;
    r.x = Lerp(a.x, b.x, n, m);
  }
  i64 D = i64(b.z) + ((i64(a.z) - b.z) * n) / m;
  if (D == 0) D = 1;
  r.z = i32((i64(a.z) * b.z) / D);
  r.u = r.v = r.l = 0;
  if constexpr (Pay == kLinear) {
    r.u = Lerp(a.u, b.u, n, m);
    r.v = Lerp(a.v, b.v, n, m);
  } else if constexpr (Pay == kLit || Pay == kCoords) {
    r.u = PerspectiveCoord(a.u, b.u, a.z, b.z, n, m, D);
    r.v = PerspectiveCoord(a.v, b.v, a.z, b.z, n, m, D);
  }
  if constexpr (Pay == kLit) r.l = Lerp(a.l, b.l, n, m);
  return r;
}

// One Sutherland-Hodgman stage. A vertex exactly on the plane is kept and adds no intersection.
template <int P, int Pay>
i32 Stage(const CV* in, i32 n, CV* out, i32 e) {
  i32 k = 0;
  auto emit = [&](const CV& v) {
    if (k < SRenderer::kClipMax) out[k++] = v;
  };
  for (i32 i = 0; i < n; ++i) {
    const CV& a = in[i];
    const CV& b = in[i + 1 < n ? i + 1 : 0];
    const int sa = Side<P>(a, e), sb = Side<P>(b, e);
    if (sa == 0) {
      emit(a);
    } else if (sa > 0) {
      emit(a);
      if (sb < 0) {
        if constexpr (P == kNear || P == kFar)
          emit(DepthCross<Pay>(b, a, e));
        else
          emit(ScreenCross<P, Pay>(a, b, e));
      }
    } else if (sb > 0) {
      if constexpr (P == kNear || P == kFar)
        emit(DepthCross<Pay>(a, b, e));
      else
        emit(ScreenCross<P, Pay>(b, a, e));
    }
  }
  return k;
}
}  // namespace

template <int Pay>
i32 SRenderer::RunClip(i32 count, bool depthStages) {
  if (count < 3 || count > kClipMaxIn) return 0;
  const CV* src = clipIn;
  i32 n = count;
  if (depthStages) {
    n = Stage<kNear, Pay>(src, n, clipA, nearDist);
    if (n < 3) return n;
    n = Stage<kFar, Pay>(clipA, n, clipB, farDist);
    if (n < 3) return n;
    for (i32 i = 0; i < n; ++i) Project(clipB[i], clipA[i]);
    src = clipA;
  } else {
    for (i32 i = 0; i < n; ++i) clipA[i] = clipIn[i];
    src = clipA;
  }
  clippedCount = n;
  n = Stage<kLeft, Pay>(src, n, clipB, 0);
  if (n < 3) return n;
  n = Stage<kRight, Pay>(clipB, n, clipA, viewRight);
  if (n < 3) return n;
  n = Stage<kTop, Pay>(clipA, n, clipB, 0);
  if (n < 3) return n;
  n = Stage<kBottom, Pay>(clipB, n, clipOut, viewBottom);
  return n;
}

i32 SRenderer::ClipLitQuad() {
  preClipCount = 4;
  return RunClip<kLit>(4, true);
}

i32 SRenderer::ClipScreenQuad() {
  preClipCount = -1;
  return RunClip<kLinear>(4, false);
}

i32 SRenderer::ClipUprightQuad() {
  preClipCount = 4;
  return RunClip<kLinear>(4, true);
}

i32 SRenderer::ClipPolygon(i32 count) {
  preClipCount = count;
  return RunClip<kCoords>(count, true);
}

i32 SRenderer::ClipPlainQuad() {
  preClipCount = 4;
  return RunClip<kPlain>(4, true);
}
