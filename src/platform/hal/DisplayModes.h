// The display modes of the game in one table: which device screen and "StartMode" setting run each mode, and
// what goes with it (the picture's size, the fonts, the screen layouts, the view size setting). The start-up,
// the screen manager, the fonts, the layout table, the world builder and the program's options read it here.
#pragma once
#include "os/Types.h"

#include <span>

namespace Hal {

// Which "StartMode" setting a row answers: either, 0 (the upright picture), or 1 and 2 (a turned one).
enum class AskedOrientation : u8 { Either, Upright, Turned };
// The bitmap fonts of a mode: the small set, the large set, or the large set with every text in its
// biggest font.
enum class FontFamily : u8 { Small, Large, LargeBiggest };
// The screen layout record that serves a mode: the tall screens' one or the square and wide screens' one.
enum class LayoutFamily : u8 { Tall, Wide };

struct DisplayModeRow {
  u16 screenWidth, screenHeight;  // the device's screen that runs the mode; 0 x 0 when none does
  AskedOrientation asked;
  u8 landscape;       // the screen is wider than high
  u8 keyboard;        // the device has a keyboard: keys are bound by character
  u8 fastFrames;      // a frame every 30 ms instead of 40
  u16 usedHeight;     // the screen height the game uses (800x600 loses the task bar's 16 rows)
  i32 mode;           // the display mode this screen and setting run
  u16 width, height;  // the mode's logical picture; 0 x 0 keeps the device's screen size
  FontFamily font;
  LayoutFamily layout;
  u8 viewSizes;  // the view size settings may shrink the 3D view
};

// Every row: the screens in the order the program lists them, then the modes that the texts know but no
// screen runs. The rows of one mode agree on everything from `mode` on.
std::span<const DisplayModeRow> DisplayModeRows();
// The row of a screen size and "StartMode" setting, or null for a screen the game does not run on.
const DisplayModeRow* FindScreenMode(u32 screenWidth, u32 screenHeight, u32 startMode);
// True when the game runs on a screen of that size (with some "StartMode").
bool IsKnownScreen(u32 screenWidth, u32 screenHeight);
// The first row of a display mode, or null for a mode outside the table.
const DisplayModeRow* FindDisplayMode(i32 mode);

}  // namespace Hal
