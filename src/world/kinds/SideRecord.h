// Small writers of render-record entries shared by the kinds' sources.
#pragma once
#include "world/SMapObjectType.h"

namespace MapRecordWrite {

// First-layer entries of wall side s' of a wall-face record.
inline void Side(u16* record, u32 sidePrime, u16 placement, u16 image, u16 overlay, u16 palette) {
  const u32 s = sidePrime & 3;
  record[MapRecord::kSidePlace + s] = placement;
  record[MapRecord::kSideImage + s] = image;
  record[MapRecord::kSideOverlay + s] = overlay;
  record[MapRecord::kSidePalette + s] = palette;
}
// Second-layer entries of side s'.
inline void Side2(u16* record, u32 sidePrime, u16 placement, u16 image, u16 palette) {
  const u32 s = sidePrime & 3;
  record[MapRecord::kSide2Place + s] = placement;
  record[MapRecord::kSide2Image + s] = image;
  record[MapRecord::kSide2Palette + s] = palette;
}
inline void Pick(u16* record, u32 sidePrime, u16 code) { record[MapRecord::kSidePick + (sidePrime & 3)] = code; }
inline u32 SidePrime(u32 side) { return (side + 2) & 3; }

// An upright image centred in its cell: kind, image, palette, full-size placement and a pick code.
inline void Upright(u16* record, u16 kind, u16 image, u16 palette, u16 pick) {
  record[0] = kind;
  record[MapRecord::kImage] = image;
  record[MapRecord::kPalette] = palette;
  record[MapRecord::kPlaceA] = 32768;
  record[MapRecord::kPlaceB] = 32768;
  record[MapRecord::kPick] = pick;
}

}  // namespace MapRecordWrite
