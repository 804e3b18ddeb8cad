#include "core/ui/SDialogLoading.h"

#include "core/SGameCore.h"
#include "game/SStateGame.h"
#include "graphics/SDisplay.h"
#include "graphics/SFont.h"

#include <algorithm>

namespace {

// Each picture control's layout entry and picture slot; the last is drawn keyed over the others.
constexpr struct {
  u32 control, slot, keyed;
} kPictureSlots[SDialogLoading::kPictures] = {{10, 420, 0}, {13, 421, 0}, {14, 422, 0}, {11, 423, 1}};
constexpr u32 kTextArea = 12;

}  // namespace

void SDialogLoading::Layout() {
  ClearControls();
  SetLayout(kLayout);
  SetBlackBackground();
  for (u32 i = 0; i < kPictures; ++i) {
    SPicCtrl& p = pictures[i];
    p.Attach(this);
    if (AddLayoutControl(&p, kPictureSlots[i].control))
      p.SetPicture(core ? core->Picture(kPictureSlots[i].slot) : nullptr, kPictureSlots[i].keyed, 0);
  }
  for (SCtrl* c : std::initializer_list<SCtrl*>{&text, &frame, &bar}) c->Attach(this);
  if (font) font->Select(1, 0, 0);
  const i32 glyph = font ? font->LineHeight() : 0;
  if (AddLayoutControl(&text, kTextArea)) {
    // One line across the middle of the area.
    text.SetRect(text.left, u16(text.top + text.height / 2), text.width, u16(glyph + 1));
    text.SetTextStyled("", STextCtrl::kCentred | STextCtrl::kMiddle, 2, 0x00FFFF, 0);
    text.outline = 1;
  }
  if (AddLayoutControl(&frame, kTextArea)) {
    const i32 w = 5 * glyph;
    frame.SetRect(u16(frame.left + (frame.width - w) / 2), u16(frame.top + frame.height / 2 + glyph + 10), u16(w),
                  u16(glyph));
    frame.SetFrame(core ? &core->pictures[77] : nullptr, 0, 0, 15);
  }
  if (AddLayoutControl(&bar, kTextArea)) {
    bar.SetRect(u16(frame.left + 4), u16(frame.top + 4), u16(std::max(0, frame.width - 8)),
                u16(std::max(0, frame.height - 8)));
    bar.SetDefaults();
  }
  SetFullRepaint();
}

void SDialogLoading::ShowLoadingText() {
  text.SetText("Loading...");
  SetFullRepaint();
  Paint();
}

void SDialogLoading::Begin(i32 steps) {
  bar.SetTotal(steps);
  PaintAndPresent();
}

void SDialogLoading::Step() {
  bar.Step();
  PaintAndPresent();
}

void SDialogLoading::PaintAndPresent() {
  Paint();
  if (!display || !display->FlipAndBegin()) return;
  // A new back buffer may lie elsewhere: the game view draws into the one just begun.
  if (core && core->stateGame) core->stateGame->frameBase = display->GetFrameBase();
}
