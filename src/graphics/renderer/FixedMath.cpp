#include "graphics/renderer/FixedMath.h"

i32 FixedSinKernel(i32 a) {
  const i32 t = a >> 3;  // 13 fraction bits
  const i32 t3 = (((t * t) >> 13) * t) >> 13;
  const i32 t5 = (((t3 * t) >> 13) * t) >> 13;
  const i32 t7 = (((t5 * t) >> 13) * t) >> 13;
  return (t - t3 / 6 + t5 / 120 - t7 / 5040) * 8;
}

i32 FixedSin(i32 a) {
  using namespace FixedAngle;
  if (a < kHalfPi) return FixedSinKernel(a);
  if (a < kPi) return FixedSinKernel(kPi - a);
  if (a < kThreeHalfPi) return -FixedSinKernel(a - kPi);
  return -FixedSinKernel(kTwoPi - a);
}

i32 FixedCos(i32 a) {
  using namespace FixedAngle;
  if (a < kHalfPi) return FixedSinKernel(kHalfPi - a);
  if (a < kPi) return -FixedSinKernel(a - kHalfPi);
  if (a < kThreeHalfPi) return -FixedSinKernel(kThreeHalfPi - a);
  return FixedSinKernel(a - kThreeHalfPi);
}

i32 DegreesToRadians(i32 a) {
  // 20.4 degrees times pi in 4.12, over 180.
  return ((a >> 12) * 12867) / 180;
}

namespace {
// Shared set-up; `shift` is 10 for cell rows and 4 for pixel rows. Intermediate products are widened so an
// edge of any length cannot overflow; the results equal the 32-bit ones wherever those do not overflow.
void InitStepper(SEdgeStepper& s, i32 x0, i32 x1, i32 y0, i32 y1, i32 first, int shift, bool growsWhenZero) {
  const i32 height = y1 - y0;
  const i64 d = i64(x1) - x0;
  if (height <= 0) {
    // No row lies on the edge: keep the start value and never step.
    s.x = x0;
    s.wholeStep = 0;
    s.remainderStep = 0;
    s.height = 1;
    s.error = 0;
    s.unit = (d > 0 || (d == 0 && growsWhenZero)) ? 1 : -1;
    s.direction = s.unit > 0 ? 1 : 0;
    return;
  }
  s.height = height;
  s.x = i32(x0 + (i64(first) * d) / height);
  s.wholeStep = i32((d * (i64(1) << shift)) / height);
  const bool grows = d > 0 || (d == 0 && growsWhenZero);
  s.unit = grows ? 1 : -1;
  s.direction = grows ? 1 : 0;
  const i64 a = d < 0 ? -d : d;
  s.error = i32((a * first) % height);
  s.remainderStep = i32((a << shift) % height);
}
}  // namespace

void SEdgeStepper::InitCells(i32 x0, i32 x1, i32 y0, i32 y1) {
  const i32 first = ((y0 + 1023) & ~1023) - y0;
  InitStepper(*this, x0, x1, y0, y1, first, 10, true);
}

void SEdgeStepper::InitPixels(i32 x0, i32 x1, i32 y0, i32 y1) {
  const i32 first = ((y0 + 7) & ~15) - y0 + 8;
  InitStepper(*this, x0, x1, y0, y1, first, 4, false);
}
