// Edge walking and the polygon fillers: columns for walls, pit sides and column-order images; rows for
// floors, ceilings, upright images, the sky and flat fills.
#include "graphics/renderer/SRenderer.h"
#include "graphics/renderer/SpanRoutines.h"

using namespace Spans;

// ---- Edge walkers ----

void SRenderer::InitEdgeWalkers(SEdgeWalker& first, SEdgeWalker& second, int scan, int cross, i32 n,
                                const SRenderVertex* v) {
  auto S = [&](i32 i) { return scan == 0 ? v[i].x : v[i].y; };
  auto C = [&](i32 i) { return cross == 0 ? v[i].x : v[i].y; };
  first.vertexCount = second.vertexCount = n;
  first.vertices = second.vertices = v;
  i32 fs = 0, ss = 0, fe = 0, se = 0;
  for (i32 i = 1; i < n; ++i) {
    if (S(i) < S(fs) || (S(i) == S(fs) && C(i) < C(fs))) fs = i;
    if (S(i) < S(ss) || (S(i) == S(ss) && C(i) > C(ss))) ss = i;
    if (S(i) > S(fe) || (S(i) == S(fe) && C(i) < C(fe))) fe = i;
    if (S(i) > S(se) || (S(i) == S(se) && C(i) > C(se))) se = i;
  }
  first.start = fs;
  first.end = fe;
  second.start = ss;
  second.end = se;
  first.current = first.next = fs;
  second.current = second.next = ss;
  first.pixel = second.pixel = 0;
}

namespace {

// The scan loop shared by every filler. F supplies SetupA/SetupB (companions for a new edge),
// StepA/StepB and Span(scan pixel, first side, second side). Spans are kept on the surface: polygons from
// the clippers always lie on it, so this only guards the ones built on the screen directly.
template <bool Column, class F>
void ScanPolygon(const SSurface& surface, i32 n, const SRenderVertex* v, F& f) {
  const i32 scanLimit = Column ? surface.width : surface.height;
  const i32 crossLimit = Column ? surface.height : surface.width;
  if (n < 2) return;
  SEdgeWalker a, b;
  SRenderer::InitEdgeWalkers(a, b, Column ? 0 : 1, Column ? 1 : 0, n, v);
  auto S = [&](i32 i) { return Column ? v[i].x : v[i].y; };
  const i32 last = S(a.end);
  for (i32 s = ((S(a.start) + 7) & ~15) + 8; s < last; s += 16) {
    // s stays short of the last vertex, so neither side reaches its end here; the checks keep it that way.
    if (s < S(a.next)) {
      a.cross.Step();
      f.StepA();
    } else {
      if (!(Column ? a.AdvanceColumnForward(s) : a.AdvanceRowBackward(s))) break;
      f.SetupA(a);
    }
    if (s < S(b.next)) {
      b.cross.Step();
      f.StepB();
    } else {
      if (!(Column ? b.AdvanceColumnBackward(s) : b.AdvanceRowForward(s))) break;
      f.SetupB(b);
    }
    if (Column) {
      a.RoundColumnEdge();
      b.RoundColumnEdge();
    } else {
      a.RoundRowEdge();
      b.RoundRowEdge();
    }
    // Pictures end at the first row whose sides have crossed.
    if constexpr (requires { F::kStopWhenCrossed; }) {
      if (b.pixel < a.pixel) break;
    }
    const i32 line = s >> 4;
    if (line < 0 || line >= scanLimit) continue;
    if (a.pixel < 0) a.pixel = 0;
    if (b.pixel > crossLimit) b.pixel = crossLimit;
    if (a.pixel < b.pixel) f.Span(line, a, b);
  }
}

inline i32 Clamp(i32 x, i32 lo, i32 hi) { return x < lo ? lo : x > hi ? hi : x; }
inline i32 FogFactor(i32 light) { return u32(light) > 32 ? 32 : light; }

// Step of a coordinate known at the two crossings, and its value at the first pixel centre (20.12).
inline void SpanStart(i32 qa, i32 qb, i32 va, i32 vb, i32 first, i32& start, i32& step) {
  step = vb != va ? i32((i64(qb - qa) << 12) / (vb - va)) : 0;
  start = i32((i64(qa) << 8) + ((i64(first * 16 + 8 - va) * step) >> 4));
}

// Keeps a stepped coordinate inside [0, hi] over n pixels. It only changes anything where the rounding
// of the start and the step would otherwise reach one texel outside the texture.
inline void Bound(i32& c, i32& dc, i32 n, i32 hi) {
  c = Clamp(c, 0, hi);
  if (n > 1) {
    const i64 last = i64(c) + i64(dc) * (n - 1);
    if (last < 0 || last > hi) {
      const i64 end = last < 0 ? 0 : hi;
      dc = i32((end - c) / (n - 1));
    }
  }
}

// A quantity carried perspective-correctly along an edge: start q_a x z_b, end q_b x z_a.
inline void InitPersp(SEdgeStepper& st, i32 qa, i32 qb, const SRenderVertex& va, const SRenderVertex& vb, bool column) {
  const i32 sa = column ? va.x : va.y, sb = column ? vb.x : vb.y;
  st.InitPixels(i32(i64(qa) * vb.z), i32(i64(qb) * va.z), sa, sb);
}
// A light carried as 8 l z must stay within 32 bits. Lights that large all mean "no fog", so a light is
// held below that level; ordinary lights (a few thousand at most) are never touched.
inline i32 EightLight(u16 stored, i32 otherZ) {
  const i32 l = i16(stored);
  const i32 cap = otherZ > 0 ? i32(0x7FFFFFFF / (i64(8) * otherZ)) : 0x7FFF;
  return 8 * (l > cap ? cap : l);
}
inline void InitLinear(SEdgeStepper& st, i32 qa, i32 qb, const SRenderVertex& va, const SRenderVertex& vb,
                       bool column) {
  st.InitPixels(qa, qb, column ? va.x : va.y, column ? vb.x : vb.y);
}

struct TextureRefs {
  SSpan sp{};
  i32 uLimit = 0, vLimit = 0;
  void Set(const SSurface& s, const SSpanTexture& t1, u32 fog, bool column) {
    sp.step = column ? s.yStep : s.xStep;
    sp.data[0] = t1.data;
    sp.palette[0] = t1.palette;
    sp.rowLength = t1.width;
    sp.fog = fog;
    uLimit = t1.width * 16 - 1;
    vLimit = t1.height * 16 - 1;
  }
};

// ---- Column fillers: walls (7, 9), pit sides (8), keyed images in column order (13, 14) ----

template <int Kind, int Fmt>
struct ColumnFiller : TextureRefs {
  const SSurface* surf;
  const SRenderVertex* v;
  const STexCoord* c;
  const u16* l;
  // Top side: U, V, W, L (kind 13: u, v, 8l). Bottom side: Q (U, or V for 13/14), W, and L for kind 8.
  SEdgeStepper tU, tV, tW, tL, bQ, bW, bL;

  static constexpr bool kPersp = Kind != 13;
  static constexpr bool kVStepped = Kind == 13 || Kind == 14;

  void SetupA(const SEdgeWalker& w) {
    const SRenderVertex &A = v[w.current], &B = v[w.next];
    const STexCoord &ca = c[w.current], &cb = c[w.next];
    const i32 la = EightLight(l[w.current], kPersp ? B.z : 1), lb = EightLight(l[w.next], kPersp ? A.z : 1);
    if constexpr (kPersp) {
      InitPersp(tU, ca.u, cb.u, A, B, true);
      InitPersp(tV, ca.v, cb.v, A, B, true);
      tW.InitPixels(B.z, A.z, A.x, B.x);
      InitPersp(tL, la, lb, A, B, true);
    } else {
      InitLinear(tU, ca.u, cb.u, A, B, true);
      InitLinear(tV, ca.v, cb.v, A, B, true);
      InitLinear(tL, la, lb, A, B, true);
    }
  }
  void SetupB(const SEdgeWalker& w) {
    const SRenderVertex &A = v[w.current], &B = v[w.next];
    const STexCoord &ca = c[w.current], &cb = c[w.next];
    const i32 qa = kVStepped ? ca.v : ca.u, qb = kVStepped ? cb.v : cb.u;
    if constexpr (kPersp) {
      InitPersp(bQ, qa, qb, A, B, true);
      bW.InitPixels(B.z, A.z, A.x, B.x);
      if constexpr (Kind == 8) InitPersp(bL, EightLight(l[w.current], B.z), EightLight(l[w.next], A.z), A, B, true);
    } else {
      InitLinear(bQ, qa, qb, A, B, true);
    }
  }
  void StepA() {
    tU.Step();
    tV.Step();
    tL.Step();
    if constexpr (kPersp) tW.Step();
  }
  void StepB() {
    bQ.Step();
    if constexpr (kPersp) bW.Step();
    if constexpr (Kind == 8) bL.Step();
  }
  void Span(i32 x, const SEdgeWalker& top, const SEdgeWalker& bottom) {
    const i32 yt = top.cross.x, yb = bottom.cross.x;
    const i32 first = top.pixel, second = bottom.pixel;
    i32 qt, qb, whole, f;
    if constexpr (Kind == 13) {
      qt = tV.x;
      qb = bQ.x;
      whole = Clamp(tU.x, 0, uLimit) >> 4;
      f = FogFactor(tL.x >> 5);
    } else {
      const i32 wt = tW.x, wb = bW.x;
      if (wt == 0 || wb == 0) return;
      if constexpr (Kind == 14) {
        qt = Clamp(tV.x / wt, 0, vLimit);
        qb = Clamp(bQ.x / wb, 0, vLimit);
        whole = Clamp(tU.x / wt, 0, uLimit) >> 4;
      } else {
        qt = Clamp(tU.x / wt, 0, uLimit);
        qb = Clamp(bQ.x / wb, 0, uLimit);
        whole = Clamp(tV.x / wt, 0, vLimit) >> 4;
      }
      f = FogFactor((tL.x / wt) >> 5);
    }
    SpanStart(qt, qb, yt, yb, first, kVStepped ? sp.v : sp.u, kVStepped ? sp.dv : sp.du);
    const i32 n = second - first;
    if constexpr (kVStepped) {
      Bound(sp.v, sp.dv, n, ((vLimit + 1) << 8) - 1);
      whole = Clamp(whole, 0, sp.rowLength - 1);
    } else {
      Bound(sp.u, sp.du, n, ((uLimit + 1) << 8) - 1);
    }
    sp.constant = whole;
    surf->ColumnSpan(x, first, second, sp.dst, sp.end);
    if constexpr (Kind == 8) {
      const i32 wt = tW.x, wb = bW.x;
      const i32 lt = Clamp(tL.x / wt, 0, 1024), lb = Clamp(bL.x / wb, 0, 1024);
      sp.light = lt;
      sp.lightStep = yb != yt ? ((lb - lt) << 4) / (yb - yt) : 0;
      SpanPit<Fmt>(sp);
      return;
    }
    sp.fogFactor = f;
    if constexpr (Kind == 7) {
      if (f == 32)
        SpanOneAxis<kOne, Fmt, false, 0, 0>(sp);
      else
        SpanOneAxis<kOne, Fmt, true, 0, 0>(sp);
    } else if constexpr (Kind == 9) {
      if (f == 32)
        SpanOneAxis<kWallKey2, Fmt, false, 0, 0>(sp);
      else
        SpanOneAxis<kWallKey2, Fmt, true, 0, 0>(sp);
    } else {
      if (f == 32)
        SpanKeyed<Fmt, false, 1, true>(sp);
      else
        SpanKeyed<Fmt, true, 1, true>(sp);
    }
  }
};

template <int Kind, int Fmt>
void RunColumn(const SSurface& s, i32 n, const SRenderVertex* v, const SSpanTexture& t1, const SSpanTexture* t2,
               const STexCoord* c, const u16* l, u32 fog) {
  ColumnFiller<Kind, Fmt> f;
  f.Set(s, t1, fog, true);
  if (t2) {
    f.sp.data[1] = t2->data;
    f.sp.palette[1] = t2->palette;
  }
  f.surf = &s;
  f.v = v;
  f.c = c;
  f.l = l;
  ScanPolygon<true>(s, n, v, f);
}

template <int Kind>
void DispatchColumn(const SSurface& s, i32 n, const SRenderVertex* v, const SSpanTexture& t1, const SSpanTexture* t2,
                    const STexCoord* c, const u16* l, u32 fog) {
  if (!t1.data || !t1.palette || t1.width <= 0 || t1.height <= 0) return;
  switch (t1.format) {
    case 0: RunColumn<Kind, 0>(s, n, v, t1, t2, c, l, fog); break;
    case 1: RunColumn<Kind, 1>(s, n, v, t1, t2, c, l, fog); break;
    case 2: RunColumn<Kind, 2>(s, n, v, t1, t2, c, l, fog); break;
    default: break;  // no span routine for other formats
  }
}

// ---- Floor and ceiling fillers ----

// Axis: 0 any angle, 1 facing 0 or 180 (u stepped, t whole), 2 facing 90 or 270 (v stepped, s whole).
template <int Rule, int Axis, int Fmt>
struct FloorFiller : TextureRefs {
  const SSurface* surf;
  const SRenderVertex* v;
  const STexCoord* c;
  const u16* l;
  SEdgeStepper lU, lV, lW, lL, rU, rV, rW;

  void SetupA(const SEdgeWalker& w) {
    const SRenderVertex &A = v[w.current], &B = v[w.next];
    InitPersp(lU, c[w.current].u, c[w.next].u, A, B, false);
    InitPersp(lV, c[w.current].v, c[w.next].v, A, B, false);
    lW.InitPixels(B.z, A.z, A.y, B.y);
    InitPersp(lL, EightLight(l[w.current], B.z), EightLight(l[w.next], A.z), A, B, false);
  }
  void SetupB(const SEdgeWalker& w) {
    const SRenderVertex &A = v[w.current], &B = v[w.next];
    if constexpr (Axis != 2) InitPersp(rU, c[w.current].u, c[w.next].u, A, B, false);
    if constexpr (Axis != 1) InitPersp(rV, c[w.current].v, c[w.next].v, A, B, false);
    rW.InitPixels(B.z, A.z, A.y, B.y);
  }
  void StepA() {
    lU.Step();
    lV.Step();
    lW.Step();
    lL.Step();
  }
  void StepB() {
    if constexpr (Axis != 2) rU.Step();
    if constexpr (Axis != 1) rV.Step();
    rW.Step();
  }
  void Span(i32 y, const SEdgeWalker& left, const SEdgeWalker& right) {
    const i32 wl = lW.x, wr = rW.x;
    if (wl == 0 || wr == 0) return;
    const i32 xl = left.cross.x, xr = right.cross.x;
    const i32 first = left.pixel, second = right.pixel, n = second - first;
    const i32 ul = Clamp(lU.x / wl, 0, uLimit), vl = Clamp(lV.x / wl, 0, vLimit);
    const i32 uHi = ((uLimit + 1) << 8) - 1, vHi = ((vLimit + 1) << 8) - 1;
    if constexpr (Axis != 2) {
      SpanStart(ul, Clamp(rU.x / wr, 0, uLimit), xl, xr, first, sp.u, sp.du);
      Bound(sp.u, sp.du, n, uHi);
    }
    if constexpr (Axis != 1) {
      SpanStart(vl, Clamp(rV.x / wr, 0, vLimit), xl, xr, first, sp.v, sp.dv);
      Bound(sp.v, sp.dv, n, vHi);
    }
    if constexpr (Axis == 1) sp.constant = vl >> 4;
    if constexpr (Axis == 2) sp.constant = ul >> 4;
    const i32 f = FogFactor((lL.x / wl) >> 5);
    sp.fogFactor = f;
    surf->RowSpan(y, first, second, sp.dst, sp.end);
    if constexpr (Axis == 0) {
      if (f == 32)
        SpanTwoAxes<Rule, Fmt, false, 256>(sp);
      else
        SpanTwoAxes<Rule, Fmt, true, 256>(sp);
    } else {
      constexpr int A = Axis == 1 ? 0 : 1;
      if (f == 32)
        SpanOneAxis<Rule, Fmt, false, A, 256>(sp);
      else
        SpanOneAxis<Rule, Fmt, true, A, 256>(sp);
    }
  }
};

template <int Rule, int Axis, int Fmt>
void RunFloor(const SSurface& s, i32 n, const SRenderVertex* v, const SSpanTexture& t1, const STexCoord* c,
              const SSpanTexture* t2, const SSpanTexture* t3, const SMaskImage* m1, const SMaskImage* m2, const u16* l,
              u32 fog) {
  FloorFiller<Rule, Axis, Fmt> f;
  f.Set(s, t1, fog, false);
  f.sp.rowLength = 256;
  if (t2) {
    f.sp.data[1] = t2->data;
    f.sp.palette[1] = t2->palette;
  }
  if (t3) {
    f.sp.data[2] = t3->data;
    f.sp.palette[2] = t3->palette;
  }
  f.sp.mask[0] = m1 ? m1->data : nullptr;
  f.sp.mask[1] = m2 ? m2->data : nullptr;
  f.surf = &s;
  f.v = v;
  f.c = c;
  f.l = l;
  ScanPolygon<false>(s, n, v, f);
}

template <int Rule, int Axis>
void DispatchFloor(const SSurface& s, i32 n, const SRenderVertex* v, const SSpanTexture& t1, const STexCoord* c,
                   const SSpanTexture* t2, const SSpanTexture* t3, const SMaskImage* m1, const SMaskImage* m2,
                   const u16* l, u32 fog) {
  switch (t1.format) {
    case 0: RunFloor<Rule, Axis, 0>(s, n, v, t1, c, t2, t3, m1, m2, l, fog); break;
    case 1: RunFloor<Rule, Axis, 1>(s, n, v, t1, c, t2, t3, m1, m2, l, fog); break;
    case 2: RunFloor<Rule, Axis, 2>(s, n, v, t1, c, t2, t3, m1, m2, l, fog); break;
    default: break;
  }
}

template <int Rule>
void DispatchFloorAxis(int axis, const SSurface& s, i32 n, const SRenderVertex* v, const SSpanTexture& t1,
                       const STexCoord* c, const SSpanTexture* t2, const SSpanTexture* t3, const SMaskImage* m1,
                       const SMaskImage* m2, const u16* l, u32 fog) {
  if (axis == 1)
    DispatchFloor<Rule, 1>(s, n, v, t1, c, t2, t3, m1, m2, l, fog);
  else if (axis == 2)
    DispatchFloor<Rule, 2>(s, n, v, t1, c, t2, t3, m1, m2, l, fog);
  else
    DispatchFloor<Rule, 0>(s, n, v, t1, c, t2, t3, m1, m2, l, fog);
}

// ---- Row fillers with linear coordinates: upright images (11, keyed) and the sky (12) ----

template <bool Keyed, int Fmt>
struct LinearRowFiller : TextureRefs {
  const SSurface* surf;
  const SRenderVertex* v;
  const STexCoord* c;
  const u16* l;
  SEdgeStepper lU, lV, lL, rU;

  void SetupA(const SEdgeWalker& w) {
    const SRenderVertex &A = v[w.current], &B = v[w.next];
    InitLinear(lU, c[w.current].u, c[w.next].u, A, B, false);
    InitLinear(lV, c[w.current].v, c[w.next].v, A, B, false);
    InitLinear(lL, 8 * i16(l[w.current]), 8 * i16(l[w.next]), A, B, false);
  }
  void SetupB(const SEdgeWalker& w) { InitLinear(rU, c[w.current].u, c[w.next].u, v[w.current], v[w.next], false); }
  void StepA() {
    lU.Step();
    lV.Step();
    lL.Step();
  }
  void StepB() { rU.Step(); }
  void Span(i32 y, const SEdgeWalker& left, const SEdgeWalker& right) {
    const i32 first = left.pixel, second = right.pixel;
    const i32 f = FogFactor(lL.x >> 5);
    // The emitters keep these inside the texture; the clamps only guard the reads.
    sp.constant = Clamp(lV.x >> 4, 0, vLimit >> 4);
    SpanStart(lU.x, rU.x, left.cross.x, right.cross.x, first, sp.u, sp.du);
    Bound(sp.u, sp.du, second - first, ((uLimit + 1) << 8) - 1);
    sp.fogFactor = f;
    surf->RowSpan(y, first, second, sp.dst, sp.end);
    if constexpr (Keyed) {
      if (f == 32)
        SpanKeyed<Fmt, false, 0, false>(sp);
      else
        SpanKeyed<Fmt, true, 0, false>(sp);
    } else {
      if (f == 32)
        SpanOneAxis<kOne, Fmt, false, 0, 0>(sp);
      else
        SpanOneAxis<kOne, Fmt, true, 0, 0>(sp);
    }
  }
};

template <bool Keyed>
void DispatchLinearRow(const SSurface& s, i32 n, const SRenderVertex* v, const SSpanTexture& t1, const STexCoord* c,
                       const u16* l, u32 fog) {
  if (!t1.data || !t1.palette || t1.width <= 0 || t1.height <= 0) return;
  auto run = [&](auto fmtTag) {
    constexpr int Fmt = decltype(fmtTag)::value;
    LinearRowFiller<Keyed, Fmt> f;
    f.Set(s, t1, fog, false);
    f.surf = &s;
    f.v = v;
    f.c = c;
    f.l = l;
    ScanPolygon<false>(s, n, v, f);
  };
  switch (t1.format) {
    case 0: run(std::integral_constant<int, 0>()); break;
    case 1: run(std::integral_constant<int, 1>()); break;
    case 2: run(std::integral_constant<int, 2>()); break;
    default: break;
  }
}

// ---- Pictures on walls (kind 10): perspective by a quadratic per row ----

// Keeps a quadratic run of n pixels from `start` (steps d, second steps dd) inside [0, hi]; where rounding
// would carry it outside, the run is stepped linearly to `end` instead.
inline void KeepQuadratic(i32 start, i32 end, i32& d, i32& dd, i32 n, i32 hi) {
  auto at = [&](i64 k) { return i64(start) + k * d + i64(dd) * k * (k - 1) / 2; };
  auto outside = [&](i64 k) {
    if (k < 0 || k > n - 1) return false;
    const i64 value = at(k);
    return value < 0 || value > hi;
  };
  bool bad = outside(n - 1);
  if (!bad && dd != 0) {
    // Turning point of the parabola: k = 1/2 - d / dd.
    const i64 k = (i64(dd) - 2 * i64(d)) / (2 * i64(dd));
    bad = outside(k) || outside(k + 1);
  }
  if (bad) {
    dd = 0;
    d = i32((i64(end) - start) / n);
  }
}

template <int Fmt>
struct PictureFiller {
  static constexpr bool kStopWhenCrossed = true;
  const SSurface* surf;
  const SRenderVertex* v;
  const STexCoord* c;
  const u16* l;
  Spans::SSpan sp{};
  i32 uHi = 0, vHi = 0;
  SEdgeStepper lQ, lA, lB, lL, rQ, rA, rB;

  static i32 Q(const SRenderVertex& p) { return 0x2000000 / p.z; }
  static i32 Over(i32 q, const SRenderVertex& p) { return i32((i64(q) << 18) / p.z); }
  void SetupA(const SEdgeWalker& w) {
    const SRenderVertex &A = v[w.current], &B = v[w.next];
    InitLinear(lQ, Q(A), Q(B), A, B, false);
    InitLinear(lA, Over(c[w.current].u, A), Over(c[w.next].u, B), A, B, false);
    InitLinear(lB, Over(c[w.current].v, A), Over(c[w.next].v, B), A, B, false);
    InitLinear(lL, 8 * i16(l[w.current]), 8 * i16(l[w.next]), A, B, false);
  }
  void SetupB(const SEdgeWalker& w) {
    const SRenderVertex &A = v[w.current], &B = v[w.next];
    InitLinear(rQ, Q(A), Q(B), A, B, false);
    InitLinear(rA, Over(c[w.current].u, A), Over(c[w.next].u, B), A, B, false);
    InitLinear(rB, Over(c[w.current].v, A), Over(c[w.next].v, B), A, B, false);
  }
  void StepA() {
    lQ.Step();
    lA.Step();
    lB.Step();
    lL.Step();
  }
  void StepB() {
    rQ.Step();
    rA.Step();
    rB.Step();
  }
  void Span(i32 y, const SEdgeWalker& left, const SEdgeWalker& right) {
    const i32 first = left.pixel, second = right.pixel;
    const i32 n = second - first;
    const i64 xl = left.cross.x, xr = right.cross.x, dx = xr - xl;
    const i64 Ql = lQ.x, Qr = rQ.x, Al = lA.x, Ar = rA.x, Bl = lB.x, Br = rB.x;
    i64 dQ = 0, dA = 0, dB = 0;
    if (dx != 0) {
      dQ = ((Qr - Ql) << 4) / dx;
      dA = ((Ar - Al) << 4) / dx;
      dB = ((Br - Bl) << 4) / dx;
    }
    auto divide = [](i64 num, i64 q) { return q > 0 ? (num / q) << 15 : 0; };
    auto clampTo = [](i64 x, i64 hi) { return i32(x < 0 ? 0 : x > hi ? hi : x); };
    // First pixel centre, last pixel centre and the middle of the row.
    const i64 p = i64(first) * 16 + 8 - xl;
    i64 q = Ql + ((p * dQ) >> 4);
    const i32 us = clampTo(divide(((Al << 4) + p * dA) << 4, q), uHi);
    const i32 vs = clampTo(divide(((Bl << 4) + p * dB) << 4, q), vHi);
    const i64 r = xr - i64(second) * 16 + 8;
    q = Qr - ((r * dQ) >> 4);
    const i32 ue = clampTo(divide(((Ar << 4) - r * dA) << 4, q), uHi);
    const i32 ve = clampTo(divide(((Br << 4) - r * dB) << 4, q), vHi);
    q = (Ql + Qr) >> 1;
    const i32 um = clampTo(divide((Al + Ar) << 7, q), uHi);
    const i32 vm = clampTo(divide((Bl + Br) << 7, q), vHi);
    const i64 nn = i64(n) * n;
    sp.ddu = i32((4 * (i64(ue) - 2 * i64(um) + us)) / nn);
    sp.du = i32((sp.ddu >> 1) - (3 * i64(us) - 4 * i64(um) + ue) / n);
    sp.ddv = i32((4 * (i64(ve) - 2 * i64(vm) + vs)) / nn);
    sp.dv = i32((sp.ddv >> 1) - (3 * i64(vs) - 4 * i64(vm) + ve) / n);
    KeepQuadratic(us, ue, sp.du, sp.ddu, n, uHi);
    KeepQuadratic(vs, ve, sp.dv, sp.ddv, n, vHi);
    sp.u = us;
    sp.v = vs;
    const i32 f = FogFactor(lL.x >> 5);
    sp.fogFactor = f;
    surf->RowSpan(y, first, second, sp.dst, sp.end);
    if (f == 32)
      SpanQuadratic<Fmt, false>(sp);
    else
      SpanQuadratic<Fmt, true>(sp);
  }
};

// ---- The rotated 2D image: u and v stepped linearly, keyed ----

template <int Fmt>
struct RotatedFiller : TextureRefs {
  const SSurface* surf;
  const SRenderVertex* v;
  const STexCoord* c;
  SEdgeStepper lU, lV, rU, rV;

  void SetupA(const SEdgeWalker& w) {
    InitLinear(lU, c[w.current].u, c[w.next].u, v[w.current], v[w.next], false);
    InitLinear(lV, c[w.current].v, c[w.next].v, v[w.current], v[w.next], false);
  }
  void SetupB(const SEdgeWalker& w) {
    InitLinear(rU, c[w.current].u, c[w.next].u, v[w.current], v[w.next], false);
    InitLinear(rV, c[w.current].v, c[w.next].v, v[w.current], v[w.next], false);
  }
  void StepA() {
    lU.Step();
    lV.Step();
  }
  void StepB() {
    rU.Step();
    rV.Step();
  }
  void Span(i32 y, const SEdgeWalker& left, const SEdgeWalker& right) {
    const i32 first = left.pixel, second = right.pixel, n = second - first;
    SpanStart(lU.x, rU.x, left.cross.x, right.cross.x, first, sp.u, sp.du);
    SpanStart(lV.x, rV.x, left.cross.x, right.cross.x, first, sp.v, sp.dv);
    Bound(sp.u, sp.du, n, ((uLimit + 1) << 8) - 1);
    Bound(sp.v, sp.dv, n, ((vLimit + 1) << 8) - 1);
    surf->RowSpan(y, first, second, sp.dst, sp.end);
    SpanRotated<Fmt>(sp);
  }
};

// ---- Flat fill ----

struct FlatFiller {
  const SSurface* surf;
  u16 colour;
  void SetupA(const SEdgeWalker&) {}
  void SetupB(const SEdgeWalker&) {}
  void StepA() {}
  void StepB() {}
  void Span(i32 y, const SEdgeWalker& left, const SEdgeWalker& right) {
    u16 *d, *e;
    surf->RowSpan(y, left.pixel, right.pixel, d, e);
    const i32 step = surf->xStep;
    while (d != e) {
      *d = colour;
      d += step;
    }
  }
};

}  // namespace

void SRenderer::FillFlat(const SSurface& s, i32 n, const SRenderVertex* v, u16 colour) {
  FlatFiller f{&s, colour};
  ScanPolygon<false>(s, n, v, f);
}

void SRenderer::FillKind7(const SSurface& s, i32 n, const SRenderVertex* v, const SSpanTexture& t1, const STexCoord* c,
                          const u16* l, u32 fog) {
  DispatchColumn<7>(s, n, v, t1, nullptr, c, l, fog);
}

void SRenderer::FillKind8(const SSurface& s, i32 n, const SRenderVertex* v, const SSpanTexture& t1, const STexCoord* c,
                          const u16* l, u32 fog) {
  DispatchColumn<8>(s, n, v, t1, nullptr, c, l, fog);
}

void SRenderer::FillKind9(const SSurface& s, i32 n, const SRenderVertex* v, const SSpanTexture& t1,
                          const SSpanTexture& t2, const STexCoord* c, const u16* l, u32 fog) {
  DispatchColumn<9>(s, n, v, t1, &t2, c, l, fog);
}

void SRenderer::FillKind13(const SSurface& s, i32 n, const SRenderVertex* v, const SSpanTexture& t1, const STexCoord* c,
                           const u16* l, u32 fog) {
  DispatchColumn<13>(s, n, v, t1, nullptr, c, l, fog);
}

void SRenderer::FillKind14(const SSurface& s, i32 n, const SRenderVertex* v, const SSpanTexture& t1, const STexCoord* c,
                           const u16* l, u32 fog) {
  DispatchColumn<14>(s, n, v, t1, nullptr, c, l, fog);
}

void SRenderer::FillKind11(const SSurface& s, i32 n, const SRenderVertex* v, const SSpanTexture& t1, const STexCoord* c,
                           const u16* l, u32 fog) {
  DispatchLinearRow<true>(s, n, v, t1, c, l, fog);
}

void SRenderer::FillKind12(const SSurface& s, i32 n, const SRenderVertex* v, const SSpanTexture& t1, const STexCoord* c,
                           const u16* l, u32 fog) {
  DispatchLinearRow<false>(s, n, v, t1, c, l, fog);
}

void SRenderer::FillFloor(int kind, int axis, const SSurface& s, i32 n, const SRenderVertex* v, const SSpanTexture& t1,
                          const STexCoord* c, const SSpanTexture* t2, const SSpanTexture* t3, const SMaskImage* m1,
                          const SMaskImage* m2, const u16* l, u32 fog) {
  if (!t1.data || !t1.palette || t1.width <= 0 || t1.height <= 0) return;
  if (kind >= 2 && (!t2 || !t2->data || !t2->palette)) return;
  if ((kind == 3 || kind == 5) && (!t3 || !t3->data || !t3->palette)) return;
  if ((kind == 2 || kind == 3 || kind == 5) && (!m1 || !m1->data)) return;
  if (kind == 3 && (!m2 || !m2->data)) return;
  switch (kind) {
    case 1: DispatchFloorAxis<kOne>(axis, s, n, v, t1, c, t2, t3, m1, m2, l, fog); break;
    case 2: DispatchFloorAxis<kMask2>(axis, s, n, v, t1, c, t2, t3, m1, m2, l, fog); break;
    case 3: DispatchFloorAxis<kMask3>(axis, s, n, v, t1, c, t2, t3, m1, m2, l, fog); break;
    case 4: DispatchFloorAxis<kKey2>(axis, s, n, v, t1, c, t2, t3, m1, m2, l, fog); break;
    case 5: DispatchFloorAxis<kKey3>(axis, s, n, v, t1, c, t2, t3, m1, m2, l, fog); break;
    default: break;
  }
}

void SRenderer::FillKind10(const SSurface& s, i32 n, const SRenderVertex* v, const SSpanTexture& t1, const STexCoord* c,
                           const u16* l, u32 fog) {
  if (!t1.data || !t1.palette || t1.width <= 0 || t1.height <= 0) return;
  auto run = [&](auto fmtTag) {
    constexpr int Fmt = decltype(fmtTag)::value;
    PictureFiller<Fmt> f;
    f.sp.step = s.xStep;
    f.sp.data[0] = t1.data;
    f.sp.palette[0] = t1.palette;
    f.sp.rowLength = 256;
    f.sp.fog = fog;
    f.uHi = t1.width * 0x100000 - 1;
    f.vHi = t1.height * 0x100000 - 1;
    f.surf = &s;
    f.v = v;
    f.c = c;
    f.l = l;
    ScanPolygon<false>(s, n, v, f);
  };
  switch (t1.format) {
    case 0: run(std::integral_constant<int, 0>()); break;
    case 1: run(std::integral_constant<int, 1>()); break;
    case 2: run(std::integral_constant<int, 2>()); break;
    default: break;
  }
}

void SRenderer::FillRotatedImage(const SSurface& s, i32, const SRenderVertex* v, const SSpanTexture& t1,
                                 const STexCoord* c) {
  if (!t1.data || !t1.palette || t1.width <= 0 || t1.height <= 0) return;
  auto run = [&](auto fmtTag) {
    constexpr int Fmt = decltype(fmtTag)::value;
    RotatedFiller<Fmt> f;
    f.Set(s, t1, 0, false);
    f.surf = &s;
    f.v = v;
    f.c = c;
    ScanPolygon<false>(s, 4, v, f);
  };
  switch (t1.format) {
    case 0: run(std::integral_constant<int, 0>()); break;
    case 1: run(std::integral_constant<int, 1>()); break;
    case 2: run(std::integral_constant<int, 2>()); break;
    default: break;
  }
}
