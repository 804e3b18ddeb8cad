// The renderer's innermost loops: one span (a screen column or row) of texels, with the texel fetch of the
// image format, the layer rule of the polygon kind, the colour key and the fog blend. Every variant is an
// instantiation of one template over (family, format, fog); the loops carry no tests beyond the colour
// key and the layer choice, and never divide or allocate.
#pragma once
#include "os/Types.h"

#include <cstring>

namespace Spans {

struct SSpan {
  u16* dst;
  u16* end;
  i32 step;  // destination advance per pixel (the surface's x- or y-step)
  const u8* data[3];
  const u16* palette[3];
  const u8* mask[2];
  i32 rowLength;  // texels per stored row for the families addressed by the texture's width
  i32 u, du;      // 20.12 texels
  i32 v, dv;
  i32 constant;          // whole texel index held for the whole span
  i32 ddu, ddv;          // kind 10: per-pixel change of du and dv (12.20)
  i32 light, lightStep;  // pit sides: 0..1024
  u32 fog;               // spread form
  i32 fogFactor;         // 0..32
};

inline u32 SpreadColor(u32 c) { return (c | c << 16) & 0x07E0F81Fu; }

// Moves a colour toward the fog colour: f = 0 gives the fog, 32 the colour itself.
inline u16 Fog(u32 c, u32 fog, i32 f) {
  const u32 s = SpreadColor(c);
  const u32 r = (fog + (((s - fog) * u32(f)) >> 5)) & 0x07E0F81Fu;
  return u16(r | r >> 16);
}

// Index of the texel (s, t): a palette index (format 0) or a block number (formats 1 and 2).
template <int Fmt>
inline u32 TexelIndex(const u8* data, i32 rowLength, i32 s, i32 t) {
  if constexpr (Fmt == 0) {
    return data[t * rowLength + s];
  } else if constexpr (Fmt == 1) {
    return data[(t >> 1) * (rowLength >> 1) + (s >> 1)];
  } else {
    u16 b;
    std::memcpy(&b, data + 2 * ((t >> 1) * (rowLength >> 1) + (s >> 1)), 2);
    return b;
  }
}

template <int Fmt>
inline u16 TexelColor(const u16* palette, u32 index, i32 s, i32 t) {
  if constexpr (Fmt == 0)
    return palette[index];
  else
    return palette[index * 4 + (t & 1) * 2 + (s & 1)];
}

template <int Fmt>
inline u16 Texel(const u8* data, const u16* palette, i32 rowLength, i32 s, i32 t) {
  return TexelColor<Fmt>(palette, TexelIndex<Fmt>(data, rowLength, s, t), s, t);
}

// Mask bit of the layered floors: one bit per 2x2 texel block of a 256-texel-wide texture.
inline u32 MaskBit(const u8* mask, i32 s, i32 t) {
  u32 w;
  std::memcpy(&w, mask + 4 * ((t >> 1) * 4 + (s >> 6)), 4);
  return (w >> ((s >> 1) & 31)) & 1;
}

// Layer rules. Kind 1 one layer; 2 mask 1 picks texture 2; 3 mask 2 picks texture 3, else the kind 2
// rule; 4 texture 2 over texture 1 by colour key; 5 texture 3 over the kind 2 rule by colour key;
// 9 (walls) as 4.
enum Layers { kOne = 1, kMask2 = 2, kMask3 = 3, kKey2 = 4, kKey3 = 5, kWallKey2 = 9 };

template <int Rule, int Fmt, int L>
inline u16 LayeredTexel(const SSpan& sp, i32 rowLength, i32 s, i32 t) {
  const i32 rl = L ? L : rowLength;
  if constexpr (Rule == kOne) {
    return Texel<Fmt>(sp.data[0], sp.palette[0], rl, s, t);
  } else if constexpr (Rule == kMask2) {
    const int k = int(MaskBit(sp.mask[0], s, t));
    return Texel<Fmt>(sp.data[k], sp.palette[k], rl, s, t);
  } else if constexpr (Rule == kMask3) {
    const int k = MaskBit(sp.mask[1], s, t) ? 2 : int(MaskBit(sp.mask[0], s, t));
    return Texel<Fmt>(sp.data[k], sp.palette[k], rl, s, t);
  } else if constexpr (Rule == kKey2 || Rule == kWallKey2) {
    const u16 c = Texel<Fmt>(sp.data[1], sp.palette[1], rl, s, t);
    return c != 0xFFFF ? c : Texel<Fmt>(sp.data[0], sp.palette[0], rl, s, t);
  } else {
    const u16 c = Texel<Fmt>(sp.data[2], sp.palette[2], rl, s, t);
    if (c != 0xFFFF) return c;
    const int k = int(MaskBit(sp.mask[0], s, t));
    return Texel<Fmt>(sp.data[k], sp.palette[k], rl, s, t);
  }
}

// Unkeyed span with one stepped coordinate. Axis 0: s from u, t constant; axis 1: s constant, t from v.
// L is the row length when fixed (floors: 256), 0 to use the span's.
template <int Rule, int Fmt, bool WithFog, int Axis, int L>
void SpanOneAxis(const SSpan& sp) {
  u16* d = sp.dst;
  u16* const e = sp.end;
  const i32 step = sp.step;
  const i32 rl = sp.rowLength;
  const i32 k = sp.constant;
  i32 c = Axis == 0 ? sp.u : sp.v;
  const i32 dc = Axis == 0 ? sp.du : sp.dv;
  const u32 fog = sp.fog;
  const i32 f = sp.fogFactor;
  while (d != e) {
    const i32 w = c >> 12;
    u16 col = Axis == 0 ? LayeredTexel<Rule, Fmt, L>(sp, rl, w, k) : LayeredTexel<Rule, Fmt, L>(sp, rl, k, w);
    if constexpr (WithFog) col = Fog(col, fog, f);
    *d = col;
    c += dc;
    d += step;
  }
}

// Unkeyed span stepping both coordinates (floors at any angle).
template <int Rule, int Fmt, bool WithFog, int L>
void SpanTwoAxes(const SSpan& sp) {
  u16* d = sp.dst;
  u16* const e = sp.end;
  const i32 step = sp.step;
  i32 u = sp.u, v = sp.v;
  const i32 du = sp.du, dv = sp.dv;
  const u32 fog = sp.fog;
  const i32 f = sp.fogFactor;
  while (d != e) {
    u16 col = LayeredTexel<Rule, Fmt, L>(sp, sp.rowLength, u >> 12, v >> 12);
    if constexpr (WithFog) col = Fog(col, fog, f);
    *d = col;
    u += du;
    v += dv;
    d += step;
  }
}

// Pit sides: fog factor per pixel from a stepped light.
template <int Fmt>
void SpanPit(const SSpan& sp) {
  u16* d = sp.dst;
  u16* const e = sp.end;
  const i32 step = sp.step;
  const i32 rl = sp.rowLength, t = sp.constant;
  i32 u = sp.u, light = sp.light;
  const i32 du = sp.du, dl = sp.lightStep;
  const u32 fog = sp.fog;
  while (d != e) {
    *d = Fog(Texel<Fmt>(sp.data[0], sp.palette[0], rl, u >> 12, t), fog, light >> 5);
    u += du;
    light += dl;
    d += step;
  }
}

// Keyed span with one stepped coordinate: 0xFFFF and block 0 leave the pixel; with ZeroIndexKey also
// palette index 0 (the column-order images).
template <int Fmt, bool WithFog, int Axis, bool ZeroIndexKey>
void SpanKeyed(const SSpan& sp) {
  u16* d = sp.dst;
  u16* const e = sp.end;
  const i32 step = sp.step;
  const i32 rl = sp.rowLength, k = sp.constant;
  i32 c = Axis == 0 ? sp.u : sp.v;
  const i32 dc = Axis == 0 ? sp.du : sp.dv;
  const u32 fog = sp.fog;
  const i32 f = sp.fogFactor;
  while (d != e) {
    const i32 w = c >> 12;
    const i32 s = Axis == 0 ? w : k, t = Axis == 0 ? k : w;
    const u32 index = TexelIndex<Fmt>(sp.data[0], rl, s, t);
    if (!((Fmt != 0 || ZeroIndexKey) && index == 0)) {
      u16 col = TexelColor<Fmt>(sp.palette[0], index, s, t);
      if (col != 0xFFFF) {
        if constexpr (WithFog) col = Fog(col, fog, f);
        *d = col;
      }
    }
    c += dc;
    d += step;
  }
}

// Pictures on walls (kind 10): 12.20 coordinates on a 256-texel row, stepped along a quadratic.
template <int Fmt, bool WithFog>
void SpanQuadratic(const SSpan& sp) {
  u16* d = sp.dst;
  u16* const e = sp.end;
  const i32 step = sp.step;
  i32 u = sp.u, v = sp.v, du = sp.du, dv = sp.dv;
  const i32 ddu = sp.ddu, ddv = sp.ddv;
  const u32 fog = sp.fog;
  const i32 f = sp.fogFactor;
  while (d != e) {
    u16 col = Texel<Fmt>(sp.data[0], sp.palette[0], 256, u >> 20, v >> 20);
    if constexpr (WithFog) col = Fog(col, fog, f);
    *d = col;
    u += du;
    du += ddu;
    v += dv;
    dv += ddv;
    d += step;
  }
}

// The rotated 2D image: both coordinates stepped, keyed (0xFFFF and block 0), no fog.
template <int Fmt>
void SpanRotated(const SSpan& sp) {
  u16* d = sp.dst;
  u16* const e = sp.end;
  const i32 step = sp.step;
  const i32 rl = sp.rowLength;
  i32 u = sp.u, v = sp.v;
  const i32 du = sp.du, dv = sp.dv;
  while (d != e) {
    const i32 s = u >> 12, t = v >> 12;
    const u32 index = TexelIndex<Fmt>(sp.data[0], rl, s, t);
    if (!(Fmt != 0 && index == 0)) {
      const u16 col = TexelColor<Fmt>(sp.palette[0], index, s, t);
      if (col != 0xFFFF) *d = col;
    }
    u += du;
    v += dv;
    d += step;
  }
}

}  // namespace Spans
