// The display layer's pixel surface and the records the display and its video drivers exchange.
#pragma once
#include "os/Types.h"

namespace Hal {

enum Orientation : u32 {
  ORIENTATION_NORMAL = 0,
  ORIENTATION_ROTATE90CCW = 1,
  ORIENTATION_ROTATE180 = 2,
  ORIENTATION_ROTATE90CW = 3,
  ORIENTATION_UNKNOWN = 4,  // when asked for: any orientation
};

enum SwapEffect : u32 {
  SWAP_NONE = 0,     // drawing goes straight into the visible frame memory
  SWAP_DISCARD = 1,  // the surface's contents are undefined after a swap
  SWAP_COPY = 2,     // the surface keeps the frame's contents across a swap
};

// Asked for by the game and overwritten with what it got.
struct DisplayParameters {
  u32 width = 0;
  u32 height = 0;
  u32 orientation = ORIENTATION_NORMAL;
  u32 swapEffect = SWAP_COPY;
};

// What the detector found, and what each driver keeps of its device.
struct DeviceDescription {
  u32 width = 0;
  u32 height = 0;
  u32 depth = 0;                          // bits per pixel
  u32 pitch = 0;                          // bytes per row
  u32 orientation = ORIENTATION_UNKNOWN;  // native
  u32 swapEffect = SWAP_NONE;
  u32 frameBuffer = 0;  // device address; 0 while unknown
};

// Right and bottom are exclusive.
struct Rect {
  i32 left = 0;
  i32 top = 0;
  i32 right = 0;
  i32 bottom = 0;
};

// 16-bit pixels, rows top to bottom.
class Surface {
 public:
  Surface() = default;
  Surface(u32 w, u32 h, u32 p, u16* base) : width(w), height(h), pitch(p), pixels(base) {}
  virtual ~Surface();
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  // An owning surface with pitch = width x 2 rounded up to a multiple of 4; null when it cannot be made.
  static Surface* Create(u32 width, u32 height);

  u16* Row(u32 y) const { return reinterpret_cast<u16*>(reinterpret_cast<u8*>(pixels) + size_t(y) * pitch); }

  u32 width = 0;
  u32 height = 0;
  u32 pitch = 0;  // bytes
  u16* pixels = nullptr;
  u8 ownsPixels = 0;
};

}  // namespace Hal
