// The maker's logo as the logo screen writes it: fourteen strokes of points relative to the logo's
// origin, each with the animation steps it waits before starting. The world builder draws the revealed
// logo picture along the same strokes, so that uncovering the points writes the logo.
#pragma once
#include "os/Types.h"

#include <span>

struct SLogoStroke {
  const i16 (*points)[2];
  u16 count;
  i16 delay;  // animation steps before the stroke starts
};

std::span<const SLogoStroke> LogoStrokes();
// A coordinate of the large logo on the compact screens: two thirds, less one pixel.
constexpr i16 CompactLogoCoordinate(i16 c) { return i16(2 * c / 3 - 1); }
