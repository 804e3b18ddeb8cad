// Frame copies of the display layer: plain block and rectangle copies, and the rotated copies that turn a
// frame by quarter turns in 16 x 16 pixel blocks.
#pragma once
#include "platform/hal/Surface.h"

namespace Hal {

// Memory-copy semantics, word-unrolled.
void FastCopy(void* destination, const void* source, u32 bytes);
// Rows top to bottom - 1 as one block of (bottom - top) x source pitch bytes, at the same row offset.
void BlitRows(Surface* destination, const Surface* source, i32 top, i32 bottom);
// The rectangle, row by row, at the same position in both surfaces.
void BlitRect(Surface* destination, const Surface* source, const Rect& rectangle);

// Rotated copies over a rectangle of the destination (native) surface. A clockwise copy puts source pixel
// (sx, sy) at destination (Hs - 1 - sy, sx), a counter-clockwise one at (sy, Ws - 1 - sx), a half turn at
// (Ws - 1 - sx, Hs - 1 - sy), with Ws and Hs the source's width and height. The ...ByRows forms walk the
// blocks row by row instead of column by column; the result is the same.
using RotatedCopy = void (*)(Surface* destination, const Surface* source, const Rect& rectangle);
void BlitRotate90CW(Surface* destination, const Surface* source, const Rect& rectangle);
void BlitRotate90CWByRows(Surface* destination, const Surface* source, const Rect& rectangle);
void BlitRotate90CCW(Surface* destination, const Surface* source, const Rect& rectangle);
void BlitRotate90CCWByRows(Surface* destination, const Surface* source, const Rect& rectangle);
void BlitRotate180(Surface* destination, const Surface* source, const Rect& rectangle);
// The rectangle copy in the same signature (rotation 0).
void BlitRectCopy(Surface* destination, const Surface* source, const Rect& rectangle);

// Picks the 16 x 16 block routines for the processor (2 = XScale: the set that prefetches source rows).
void SelectBlockRoutines(u32 processorType);

}  // namespace Hal
