#include "core/ui/SCompassCtrl.h"

#include "core/SGameCore.h"
#include "graphics/SDisplay.h"

#include <algorithm>

void SCompassCtrl::SetPictures(const SImage* bandPicture, const SImage* overlayPicture, const SImage* leftPicture,
                               const SImage* rightPicture) {
  band = bandPicture;
  overlay = overlayPicture;
  leftCap = leftPicture;
  rightCap = rightPicture;
  bandWidth = band ? band->width : 0;
  bandHeight = band ? band->height : 0;
  rightCapWidth = rightCap ? rightCap->width : 0;
  degreesPerPixel = 3;
  centreShift = 10;
  MarkDirty();
}

void SCompassCtrl::SetFacing(i32 degrees) {
  if (degrees == facing) return;
  facing = degrees;
  MarkDirty();
}

i32 SCompassCtrl::BandStart() const {
  const i32 a = ((360 - facing) % 360 + 360) % 360;
  return a / degreesPerPixel - i32(width) / 2 + centreShift;
}

void SCompassCtrl::CopyStrip(const SImage* picture, i32 start, i32 sourceRow, i32 rows, bool keyed) {
  // Without a band there is nothing to wrap around.
  if (!picture || bandWidth <= 0 || rows <= 0) return;
  const i32 pictureWidth = picture->width;
  i32 column = ((start % bandWidth) + bandWidth) % bandWidth;
  i32 x = left;
  i32 remaining = width;
  while (remaining > 0) {
    const i32 n = std::min(remaining, bandWidth - column);
    const i32 shown = std::min(n, pictureWidth - column);
    if (shown > 0) {
      if (keyed)
        display->DrawImagePart(picture, x, top, column, sourceRow, shown, rows);
      else
        display->DrawImagePartOpaque(picture, x, top, column, sourceRow, shown, rows);
    }
    x += n;
    remaining -= n;
    column = 0;
  }
}

void SCompassCtrl::Paint() {
  if (!display) return;
  const bool compact = core && core->IsCompact();
  const i32 row = compact ? 1 : 0;
  const i32 rows = compact ? bandHeight - 2 : bandHeight;
  const i32 start = BandStart();
  CopyStrip(band, start, row, rows, false);
  if (leftCap) display->DrawImagePartBlended(leftCap, left, top, row, leftCap->width, rows);
  if (rightCap)
    display->DrawImagePartBlended(rightCap, left + i32(width) - rightCapWidth, top, row, rightCapWidth, rows);
  CopyStrip(overlay, start, row, rows, true);
}
