// The game screen's compass: a band of headings that scrolls with the player's facing, under a keyed
// overlay, with two caps blended over its ends.
#pragma once
#include "core/ui/SCtrl.h"

struct SImage;

class SCompassCtrl : public SCtrl {
 public:
  // Stores the pictures; the band's size comes from the band picture (0 x 0 without one).
  void SetPictures(const SImage* bandPicture, const SImage* overlayPicture, const SImage* leftPicture,
                   const SImage* rightPicture);
  // The facing in degrees counter-clockwise from north; marks the control dirty when it changed.
  void SetFacing(i32 degrees);
  // The band column shown at the control's left edge for the facing.
  i32 BandStart() const;
  void Paint() override;

  const SImage* band = nullptr;     // opaque
  const SImage* overlay = nullptr;  // keyed, as wide as the band
  const SImage* leftCap = nullptr;
  const SImage* rightCap = nullptr;
  i32 bandWidth = 0, bandHeight = 0;
  i32 rightCapWidth = 0;
  i32 degreesPerPixel = 3;
  i32 centreShift = 10;
  i32 facing = 0;

 private:
  // Copies the control's width of the picture from band column `start` on, wrapping around the band's
  // width; no piece reaches past the picture, whatever its width.
  void CopyStrip(const SImage* picture, i32 start, i32 sourceRow, i32 rows, bool keyed);
};
