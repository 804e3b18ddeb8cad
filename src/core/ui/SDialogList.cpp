#include "core/ui/SDialogList.h"

#include "core/SGameCore.h"
#include "core/ui/SDialogListCtrl.h"
#include "graphics/SDisplay.h"
#include "graphics/SFont.h"

#include <algorithm>

namespace {

constexpr const char* kPrompt = "What do you want?";
constexpr u32 kPromptColour = 0x161616, kPromptShade = 0x94D6E7;
constexpr i32 kWidestPrompt = 340;

}  // namespace

void SDialogList::Create(SDialogListCtrl* listCtrl) {
  list = listCtrl;
  ClearControls();
  for (SCtrl* c : std::initializer_list<SCtrl*>{&ok, &cancel, &up, &down, &prompt}) c->Attach(this);
  ok.SetText("Ok", kOk);
  cancel.SetText("Cancel", kCancel);
  up.SetPicture(core ? &core->pictures[60] : nullptr, kScrollUp, 0);
  down.SetPicture(core ? &core->pictures[62] : nullptr, kScrollDown, 0);
  up.keyed = down.keyed = 1;
  prompt.SetTextStyled(kPrompt, STextCtrl::kLeft, 1, kPromptColour, kPromptShade);
  if (!list || !core || !font) return;

  // A prompt that wraps in a narrow list widens the box to its own width, up to 340 pixels.
  font->Select(1, kPromptColour, kPromptShade);
  i32 w = list->width, widest = 0, lines = 0;
  font->MeasureText(kPrompt, w, &widest, &lines);
  if (lines >= 2 && w < kWidestPrompt) {
    const i32 unwrapped = font->TextWidth(kPrompt);
    const i32 wider = unwrapped > kWidestPrompt ? kWidestPrompt : unwrapped + 1;
    font->MeasureText(kPrompt, wider, &widest, &lines);
    w = std::max(widest, wider);
  }
  list->width = u16(w);
  const i32 glyph = font->LineHeight();
  const i32 promptHeight = lines * glyph + glyph / 2;

  width = std::max(w + 100, 180);
  height = std::max(list->height + ok.height + promptHeight + 102, 154);
  // Placed for the 240 x 320 screen's frame of reference, then moved wholly onto the screen: on the
  // narrow and the short screens the box would otherwise run off the right or the bottom edge.
  left = (380 - width) / 2;
  top = (320 - height) / 3;
  if (display) {
    left = std::clamp(left, 0, std::max(0, i32(display->Width()) - width));
    top = std::clamp(top, 0, std::max(0, i32(display->Height()) - height));
  }

  list->SetRect(u16(left + 50), u16(top + promptHeight + 41), u16(width - 100), list->height);
  prompt.SetRect(u16(left + 50), u16(top + 41), u16(w), u16(promptHeight));
  prompt.UpdateLayout();
  const i32 gap = core->IsCompact() ? 3 : 5;
  const i32 okX = left + (width - cancel.width - ok.width - gap) / 2;
  ok.SetPos(u16(okX), u16(top + height - 70));
  cancel.SetPos(u16(okX + ok.width + gap), u16(top + height - 70));

  for (SCtrl* c : std::initializer_list<SCtrl*>{list, &prompt, &ok, &cancel}) AddControl(c);
  scrollShown = list->RowCount() > kMaxRowsWithoutScroll;
  if (scrollShown) {
    const i32 x = list->left + list->width + 5;
    up.SetRect(u16(x), list->top, 20, 12);
    down.SetRect(u16(x), u16(list->top + list->height - 12), 20, 12);
    AddControl(&up);
    AddControl(&down);
  }
  ResetInputGuard();
}

void SDialogList::Paint() {
  PaintGround();
  PaintEveryControl();
}

void SDialogList::PaintGround() {
  if (core) core->DrawPanel3H(&core->pictures[1], 1, left, top, width, height);
}

u32 SDialogList::OnCommand(u16 code) {
  if (scrollShown && list && (code == kScrollUp || code == kScrollDown)) {
    if (code == kScrollUp ? list->PageUp() : list->PageDown()) Paint();
    return 0;
  }
  if (code == kOk) {
    result = list ? list->SelectedKeyText() : "";
    return kOk;
  }
  result = "";
  return code;
}
