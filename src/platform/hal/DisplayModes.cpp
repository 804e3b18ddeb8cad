#include "platform/hal/DisplayModes.h"

namespace Hal {
namespace {

constexpr auto kEither = AskedOrientation::Either, kUpright = AskedOrientation::Upright,
               kTurned = AskedOrientation::Turned;
constexpr auto kSmall = FontFamily::Small, kLarge = FontFamily::Large, kBiggest = FontFamily::LargeBiggest;
constexpr auto kTall = LayoutFamily::Tall, kWide = LayoutFamily::Wide;

// clang-format off
constexpr DisplayModeRow kRows[] = {
  // screen     asked     land kbd fast used  mode  picture   fonts     layout view
  {240, 320, kTurned,  0,  0,  0,  320,  6, 320, 240, kSmall,   kTall, 0},
  {240, 320, kUpright, 0,  0,  0,  320,  7, 240, 320, kSmall,   kTall, 0},
  {320, 240, kTurned,  1,  0,  0,  240,  6, 320, 240, kSmall,   kTall, 0},
  {320, 240, kUpright, 1,  0,  0,  240,  7, 240, 320, kSmall,   kTall, 0},
  {480, 640, kTurned,  0,  0,  1,  640,  9, 640, 480, kBiggest, kTall, 1},
  {480, 640, kUpright, 0,  0,  1,  640, 10, 480, 640, kBiggest, kTall, 1},
  {640, 480, kTurned,  1,  0,  1,  480,  9, 640, 480, kBiggest, kTall, 1},
  {640, 480, kUpright, 1,  0,  1,  480, 10, 480, 640, kBiggest, kTall, 1},
  {240, 240, kEither,  0,  0,  0,  240,  8, 240, 240, kSmall,   kWide, 0},
  {480, 480, kEither,  0,  0,  1,  480, 11,   0,   0, kLarge,   kWide, 1},
  {800, 480, kEither,  1,  1,  1,  480, 14, 800, 480, kBiggest, kWide, 1},
  {800, 600, kEither,  1,  1,  1,  584, 15, 800, 584, kBiggest, kWide, 1},
  {640, 240, kEither,  1,  1,  0,  240, 16, 640, 240, kSmall,   kWide, 0},
  // Modes that no screen runs; the fonts and texts still treat them as small screens.
  {  0,   0, kEither,  0,  0,  0,    0,  2,   0,   0, kSmall,   kTall, 0},
  {  0,   0, kEither,  0,  0,  0,    0,  5,   0,   0, kSmall,   kTall, 0},
  {  0,   0, kEither,  0,  0,  0,    0, 12,   0,   0, kSmall,   kTall, 0},
  {  0,   0, kEither,  0,  0,  0,    0, 13,   0,   0, kSmall,   kTall, 0},
};
// clang-format on

bool Answers(AskedOrientation asked, u32 startMode) {
  switch (asked) {
    case AskedOrientation::Upright: return startMode == 0;
    case AskedOrientation::Turned: return startMode != 0;
    default: return true;
  }
}

}  // namespace

std::span<const DisplayModeRow> DisplayModeRows() { return kRows; }

const DisplayModeRow* FindScreenMode(u32 screenWidth, u32 screenHeight, u32 startMode) {
  for (const DisplayModeRow& r : kRows)
    if (r.screenWidth && r.screenWidth == screenWidth && r.screenHeight == screenHeight && Answers(r.asked, startMode))
      return &r;
  return nullptr;
}

bool IsKnownScreen(u32 screenWidth, u32 screenHeight) {
  return FindScreenMode(screenWidth, screenHeight, 0) != nullptr;
}

const DisplayModeRow* FindDisplayMode(i32 mode) {
  for (const DisplayModeRow& r : kRows)
    if (r.mode == mode) return &r;
  return nullptr;
}

}  // namespace Hal
