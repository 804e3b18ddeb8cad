// The game state: the first-person view of the world. What the application and the lower layers use of it
// so far: its flags and its busy test.
#pragma once
#include "core/ui/SState.h"
#include "game/SMapWindow.h"

class SStateGame : public SState {
 public:
  // True while input must wait: turning, stepping, or a sub-dialog open.
  bool IsBusy() const;

  u8 turning = 0;
  u8 stepping = 0;
  SDialog* subDialog = nullptr;  // the open sub-dialog, null when none
  u8 gameInProgress = 0;         // the quit sequence saves only when set
  u16* frameBase = nullptr;      // the back buffer's pixels as beginning a frame last saw them

  // The 35 x 35 window of map cells and faces, and the placement the maps ask for while loading.
  bool GetAreaLocalPosition(SMapArea& area, i32 x, i32 y, i32& column, i32& row) {
    return window.GetAreaLocalPosition(area, x, y, column, row);
  }
  bool PlaceObjectInArea(SMapArea& area, SMapMonster& monster, i32 x, i32 y) {
    return window.PlaceMonster(area, monster, x, y);
  }
  bool PlaceBagInCell(SMapArea& area, SItemContainer& bag, i32 x, i32 y) {
    return window.PlaceBagInCell(area, bag, x, y);
  }
  SMapWindow window;
};
