// The automap: the explored cells of the game state's window as small pictures (floor, overlay, walls),
// markers for the signs on cell sides, the frame of a joined tile's centre and the player as an arrow.
// Follow mode shows the cells around the player (the map on the game screen); drag mode the whole window,
// slid with the stylus (the full-screen map). A map that forbids the automap shows a refusal instead.
#pragma once
#include "core/ui/SCtrl.h"
#include "foundation/SValueArray.h"

class SStateGame;

struct SAutomapMarker {
  i32 x = 0, y = 0;
  u16 picture = 0;  // image-cache id
};

class SGameMapCtrl : public SCtrl {
 public:
  SGameMapCtrl() { inputMask = kInputPen; }

  // Cell size, side offsets and the cells shown on each side of the player, for the display mode.
  void UpdateLayout();
  void SetDragMode() { dragMode = 1; }
  void CentreOrigin();
  // The arrow picture of the dragged map for a facing: the four pictures run north, east, south, west.
  static u32 ArrowIndex(i32 facing);

  u32 OnPen(i32 x, i32 y, u32 touching, u32 moving) override;
  void Paint() override;

  SStateGame* game = nullptr;
  i32 cellSize = 10;
  i32 halfColumns = 0, halfRows = 0;
  i32 originX = 0, originY = 0;
  u32 dragMode = 0;
  i32 sideOffset[4][2] = {};  // north, east, south, west
  SValueArray<SAutomapMarker> markers{4};
  u32 dragging = 0;
  i32 lastX = 0, lastY = 0;

 private:
  bool Inside(i32 x, i32 y) const { return x >= left && y >= top && x < left + width && y < top + height; }
  void DrawCell(i32 cx, i32 cy, i32 sx, i32 sy, i32 clipW, i32 clipH);
};
