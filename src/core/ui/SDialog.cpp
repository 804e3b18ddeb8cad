#include "core/ui/SDialog.h"

#include "core/SGameCore.h"
#include "core/ui/SState.h"
#include "graphics/SDisplay.h"
#include "graphics/SImage.h"
#include "platform/sound/SSoundManager.h"
#include "world/SSoundTable.h"

void SDialog::Attach(SGameCore* gameCore) {
  core = gameCore;
  display = core ? core->display : nullptr;
  font = core ? core->font : nullptr;
  data = core ? &core->data : nullptr;
}

void SDialog::PlayClick(u32 which) {
  if (core && core->soundManager && which < 2 && core->clickSounds[which])
    core->soundManager->PlaySound(core->clickSounds[which], 10);
}

void SDialog::PlaySoundByName(const char* name) {
  if (core && name) core->world.sounds.PlayByName(name, 10);
}

u32 SDialog::FrameCounter() const { return core ? core->frameCounter : 0; }

u32 SDialog::AskControls(u8 kind, u32 value, i32 x, i32 y, u32 touching, u32 moving) {
  // Keys and ticks reach disabled controls too; a control that must ignore them tests it itself.
  const u16 needed = SCtrl::kShown | SCtrl::kInDialog | (kind == SCtrl::kInputPen ? SCtrl::kEnabled : 0);
  // By index: a handler may change the list, and At() answers null past its end.
  for (i32 i = i32(controls.Count()) - 1; i >= 0; --i) {
    SCtrl* c = controls.At(i);
    if (!c || !c->TakesInput(kind) || (c->flags & needed) != needed) continue;
    const u32 code = kind == SCtrl::kInputKeys  ? c->OnKey(value)
                     : kind == SCtrl::kInputPen ? c->OnPen(x, y, touching, moving)
                                                : c->OnTick(value);
    if (code) return code;
  }
  return 0;
}

u32 SDialog::Finish(u32 code, bool repaintAfter) {
  Paint();
  if (!code) return 0;
  SDialog* const opener = parent;
  const u32 result = OnCommand(u16(code & 0xFFFF));
  if (repaintAfter && core) {
    // The command may have changed what is shown, opened a dialog over this one or closed this one. At any
    // depth over the current state, this dialog paints, with what it opened; or, closed, its opener.
    SDialog* shown = nullptr;
    for (SDialog* d = core->currentState; d && shown != this; d = d->child)
      if (d == this || (opener && d == opener)) shown = d;
    // Closed and opened again (a box that answers with another): what its opener changed meanwhile, and
    // the size the box had before, are painted with the opener's full repaint.
    if (shown == this && opener && opener->child == this && opener->NeedsFullRepaint()) shown = opener;
    if (shown) shown->Paint();
  }
  return result;
}

u32 SDialog::OnKey(u32 key) {
  if (child) return child->OnKey(key);
  return Finish(AskControls(SCtrl::kInputKeys, key, 0, 0, 0, 0), true);
}

u32 SDialog::OnPen(i32 x, i32 y, u32 touching, u32 moving) {
  if (FilterPen(touching, moving)) return 0;
  if (child) return child->OnPen(x, y, touching, moving);
  return Finish(AskControls(SCtrl::kInputPen, 0, x, y, touching, moving), true);
}

u32 SDialog::OnTick(u32 frameCounter, SDisplay* screen) {
  if (child) return child->OnTick(frameCounter, screen);
  return Finish(AskControls(SCtrl::kInputTick, frameCounter, 0, 0, 0, 0), false);
}

bool SDialog::AddControl(SCtrl* control) {
  if (!control) return false;
  if (controls.IndexOf(control) < 0 && !controls.Add(control)) return false;
  control->flags |= SCtrl::kPlaced;
  return true;
}

bool SDialog::AddLayoutControl(SCtrl* control, u32 controlId) {
  if (!control) return false;
  control->PlaceFromLayout(core ? core->GetLayoutItem(layoutId, controlId) : nullptr);
  return control->IsInDialog() && AddControl(control);
}

void SDialog::RemoveControl(SCtrl* control) {
  if (!control) return;
  controls.Remove(control);
  control->flags &= u16(~SCtrl::kShown);
  if (control->owner) control->owner->SetFullRepaint();
  SetFullRepaint();
}

void SDialog::ClearControls() {
  for (SCtrl* c : controls) {
    if (!c) continue;
    c->flags &= u16(~SCtrl::kShown);
    if (c->owner) c->owner->SetFullRepaint();
  }
  controls.Destroy();
  SetFullRepaint();
}

void SDialog::MarkAllDirty() {
  for (SCtrl* c : controls)
    if (c) c->MarkDirty();
}

void SDialog::Paint() {
  if (NeedsFullRepaint()) {
    PaintControls();
    if (child) {
      child->SetFullRepaint();
      child->Paint();
    }
    return;
  }
  // With a child open, this dialog's own dirty controls wait until it closes.
  if (child) {
    child->Paint();
  } else {
    PaintControls();
  }
}

void SDialog::PaintGround() {
  if (!drawBackground || !display) return;
  if (backgroundPicture) {
    display->TileImage(left, top, width, height, backgroundPicture);
  } else {
    display->FillRect(left, top, width, height, MakeColor565(backgroundColour));
  }
}

void SDialog::PaintLayer(const SCtrl::Area& area) {
  PaintGround();
  for (i32 i = 0; i < i32(controls.Count()); ++i) {
    SCtrl* c = controls.At(i);
    if (c && c->IsVisible() && c->PaintedArea().Meets(area)) c->RedrawCurrent();
  }
}

void SDialog::RepaintUnder(const SCtrl& control) {
  // Where it paints now, and where it painted last: what it stops covering is painted anew.
  SCtrl::Area area = control.PaintedArea();
  if (const SCtrl::Area& last = control.LastPainted(); last.x1 > last.x0) area.Add(last);
  display->SetClip(area.x0, area.y0, area.x1 - area.x0, area.y1 - area.y0);
  // The dialogs beneath, when this one is open over the current state.
  bool beneath = false;
  for (const SDialog* d = core ? core->currentState : nullptr; d && !beneath; d = d->child) beneath = d == this;
  if (beneath)
    for (SDialog* d = core->currentState; d != this; d = d->child) d->PaintLayer(area);
  PaintLayer(area);
  display->ClearClip();
}

void SDialog::PaintControls() {
  const bool full = NeedsFullRepaint();
  if (full) PaintGround();
  // First added first: later controls are painted over earlier ones. A changed control that leaves pixels
  // of what lies beneath has that repainted with it, so that nothing of its old picture stays.
  for (i32 i = 0; i < i32(controls.Count()); ++i) {
    SCtrl* c = controls.At(i);
    if (!c || !c->IsVisible() || !(full || c->IsDirty())) continue;
    if (full || c->PaintsWhole() || !display || display->Clipped()) {
      c->Redraw();
    } else {
      RepaintUnder(*c);
    }
    c->ClearDirty();
  }
  ClearFullRepaint();
}

void SDialog::PaintEveryControl() {
  for (u32 i = 0; i < controls.Count(); ++i) {
    SCtrl* c = controls.At(i32(i));
    if (!c || !c->IsVisible()) continue;
    c->Redraw();
    c->ClearDirty();
  }
  ClearFullRepaint();
}

void SDialog::OpenChild(SDialog* dialog) {
  child = dialog;
  if (!dialog) return;
  dialog->parent = this;
  dialog->SetFullRepaint();
}

void SDialog::CloseChild() {
  child = nullptr;
  ResetInputGuard();
}

void SDialog::Reopen() {
  CloseChild();
  SetFullRepaint();
}

void SDialog::ResetInputGuard() {
  openingTick = FrameCounter();
  penLatch = 0;
}

bool SDialog::IsOpeningTick() const { return FrameCounter() == openingTick; }

u32 SDialog::FilterPen(u32 touching, u32 moving) {
  if (IsOpeningTick()) return 1;
  if (touching && !moving) {
    penLatch = 1;
    return 0;
  }
  // A move or lift of a stylus put down on the previous screen never reaches this one.
  return penLatch ? 0 : 1;
}

void SDialog::SetLayout(u32 id) {
  layoutId = id;
  if (!core) return;
  u32 w = u32(width), h = u32(height);
  core->GetLayoutSize(id, w, h);
  width = i32(w);
  height = i32(h);
}

void SDialog::CenterOnScreen() {
  if (!display) return;
  left = (i32(display->Width()) - width) / 2;
  top = (i32(display->Height()) - height) / 2;
}

void SDialog::CenterInView() {
  if (!display) return;
  const SWorldView& view = display->View();
  left = view.viewX + (view.viewWidth - width) / 2;
  top = view.viewY + (view.viewHeight - height) / 2;
}
