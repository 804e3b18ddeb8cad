// How a piece of the map (a ground, a wall style, a second-layer centre) joins its eight neighbours: the
// neighbours that hold the same piece set their bits (north 1, then clockwise to north-west 128), a
// diagonal counts only with both straight neighbours beside it, and the 47 masks that remain each pick a
// variant 0..47 of the piece's pictures (0: surrounded on all sides).
#pragma once
#include "os/Types.h"

namespace ConnectionVariants {

inline constexpr u32 kCount = 48;

// The masks that give a variant (every other mask gives 0).
inline constexpr u16 kTable[][2] = {
    {124, 1},  {31, 2},   {199, 4},  {241, 8},  {28, 3},   {68, 5},   {112, 9},  {7, 6},    {17, 10},  {193, 12},
    {1, 14},   {64, 13},  {16, 11},  {4, 7},    {0, 15},   {127, 17}, {223, 18}, {247, 20}, {253, 24}, {95, 19},
    {119, 21}, {125, 25}, {215, 22}, {221, 26}, {245, 28}, {213, 30}, {117, 29}, {93, 27},  {87, 23},  {85, 31},
    {116, 33}, {92, 34},  {84, 35},  {29, 37},  {23, 38},  {21, 39},  {71, 41},  {197, 42}, {69, 43},  {209, 45},
    {113, 46}, {81, 47},  {65, 32},  {80, 36},  {20, 40},  {5, 44},
};

// The mask of a variant (255 for variant 0 and for numbers no mask gives).
constexpr u32 MaskOf(u32 variant) {
  for (const auto& entry : kTable)
    if (entry[1] == variant) return entry[0];
  return 255;
}

}  // namespace ConnectionVariants
