// Where the paper doll puts its equipment slots on each family of display modes, and how large a slot is:
// read by the doll control and by the world builder, which draws the doll's pictures to match.
#pragma once
#include "os/Types.h"

namespace doll {

// The four families of places: large modes; modes 2, 6, 7, 12, 13, 16; modes 5, 8; the others.
enum Family { kLarge, kSmall, kTiny, kStandard };

constexpr Family FamilyOf(i32 mode) {
  switch (mode) {
    case 9:
    case 10:
    case 11:
    case 14:
    case 15: return kLarge;
    case 2:
    case 6:
    case 7:
    case 12:
    case 13:
    case 16: return kSmall;
    case 5:
    case 8: return kTiny;
    default: return kStandard;
  }
}

// (x, y) of slots 1 to 13 by family; slot 12 is never shown.
constexpr i32 kPlaces[4][13][2] = {
    {{85, 6}, {164, 66}, {8, 7}, {8, 66}, {164, 128}, {8, 128}, {85, 72}, {159, 198}, {11, 198}, {85, 125},
     {85, 195}, {0, 0}, {164, 7}},
    {{51, 3}, {99, 39}, {5, 4}, {5, 39}, {99, 77}, {5, 77}, {51, 43}, {96, 118}, {7, 118}, {51, 74}, {51, 116},
     {0, 0}, {99, 4}},
    {{33, 2}, {64, 25}, {3, 2}, {3, 25}, {64, 50}, {3, 50}, {33, 28}, {62, 77}, {4, 77}, {33, 48}, {33, 76},
     {0, 0}, {64, 2}},
    {{66, 4}, {128, 51}, {6, 5}, {6, 51}, {128, 100}, {6, 100}, {66, 56}, {124, 154}, {8, 154}, {66, 97},
     {66, 152}, {0, 0}, {128, 5}},
};
constexpr i32 kSlotSizes[4] = {50, 30, 20, 40};

}  // namespace doll
