#include "core/ui/SCtrl.h"

#include "core/SGameCore.h"
#include "core/ui/SDialog.h"

#include <algorithm>

void SCtrl::Attach(SDialog* dialog) {
  owner = dialog;
  core = dialog ? dialog->core : nullptr;
  display = core ? core->display : nullptr;
  font = core ? core->font : nullptr;
}

const SCtrl* SCtrl::painting_ = nullptr;

void SCtrl::Redraw() {
  Drawing drawing(this);
  lastPainted_ = PaintedArea();
  Paint();
}

void SCtrl::RedrawCurrent() {
  Drawing drawing(this);
  lastPainted_ = PaintedArea();
  PaintCurrent();
}

void SCtrl::Area::Add(const Area& o) {
  x0 = std::min(x0, o.x0);
  y0 = std::min(y0, o.y0);
  x1 = std::max(x1, o.x1);
  y1 = std::max(y1, o.y1);
}

SCtrl::Area SCtrl::PaintedArea() const {
  return {left - kReach, top - kReach, left + width + kReach, top + height + kReach};
}

void SCtrl::Show(bool on) {
  if (on) {
    flags |= kShown | kDirty;
    return;
  }
  flags &= u16(~kShown);
  if (owner) owner->SetFullRepaint();
}

void SCtrl::PlaceFromLayout(const SLayoutItem* entry) {
  if (!entry) {
    flags = 0;
    return;
  }
  const i32 x = owner ? owner->left : 0, y = owner ? owner->top : 0;
  id = entry->id;
  left = u16(entry->x + x);
  top = u16(entry->y + y);
  width = entry->w;
  height = entry->h;
  flags = kPlaced;
}
