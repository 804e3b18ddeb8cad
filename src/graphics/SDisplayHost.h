// What the screen manager and the fonts need of the game core that owns them. The game core implements it;
// tests and tools give a small fake.
#pragma once
#include "os/Types.h"

struct SWorldView;

class SDisplayHost {
 public:
  virtual ~SDisplayHost() = default;
  // The current display mode (6 to 16).
  virtual i32 DisplayMode() const = 0;
  // The 3D view rectangle of the layout table for the current mode (layout 43, control 550); false when the
  // table has none.
  virtual bool ViewLayoutRect(i32& x, i32& y, i32& w, i32& h) const = 0;
  // The view size setting (0 largest, 1 moderate, 2 smallest) of an orientation: 0 "ViewSize",
  // 1 "LViewSize", 2 "RViewSize".
  virtual u32 ViewSizeSetting(u32 orientation) const = 0;
  // The game state's world view, or null while there is none (the screen manager then uses its own).
  virtual SWorldView* WorldView() { return nullptr; }
};
