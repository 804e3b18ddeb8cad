#include "core/ui/SCtrl.h"

#include "core/SGameCore.h"
#include "core/ui/SDialog.h"

void SCtrl::Attach(SDialog* dialog) {
  owner = dialog;
  core = dialog ? dialog->core : nullptr;
  display = core ? core->display : nullptr;
  font = core ? core->font : nullptr;
}

const SCtrl* SCtrl::painting_ = nullptr;

void SCtrl::Redraw() {
  Drawing drawing(this);
  Paint();
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
