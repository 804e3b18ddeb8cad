// Fixed-point trigonometry and the exact integer edge stepper shared by the renderer's grid scan and its
// polygon fillers. Angles are 16.16 radians; results are 16.16.
#pragma once
#include "os/Types.h"

namespace FixedAngle {
constexpr i32 kHalfPi = 102943;
constexpr i32 kPi = 205887;
constexpr i32 kThreeHalfPi = 308831;
constexpr i32 kTwoPi = 411774;
constexpr i32 kFullTurnDegrees = 360 << 16;
}  // namespace FixedAngle

// Taylor polynomial of the sine to the seventh power, for 0 <= a <= pi/2.
i32 FixedSinKernel(i32 a);
// Sine and cosine of 0 <= a < 2 pi (16.16 radians).
i32 FixedSin(i32 a);
i32 FixedCos(i32 a);
// 16.16 degrees (0 <= a < 360 << 16) to 16.16 radians.
i32 DegreesToRadians(i32 a);

// One quantity carried along one edge, row by row, with the exact remainder of its slope. The true value at
// a row is x + unit * error / height.
struct SEdgeStepper {
  i32 x = 0;
  i32 unit = 1;
  i32 wholeStep = 0;
  i32 remainderStep = 0;
  i32 height = 1;
  i32 error = 0;
  i32 direction = 1;

  // Edge from (x0, y0) to (x1, y1) in 22.10, rows at multiples of 1024.
  void InitCells(i32 x0, i32 x1, i32 y0, i32 y1);
  // The same for 28.4 values, rows at pixel centres (16 n + 8).
  void InitPixels(i32 x0, i32 x1, i32 y0, i32 y1);
  void Step() {
    x += wholeStep;
    error += remainderStep;
    if (error >= height) {
      error -= height;
      x += unit;
    }
  }
};
