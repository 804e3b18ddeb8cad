#include "core/ui/SDialogMessage.h"

#include "core/SGameCore.h"
#include "core/ui/SDialogTextCtrl.h"
#include "graphics/SDisplay.h"
#include "graphics/SFont.h"
#include "platform/sound/SSoundManager.h"
#include "world/SSoundTable.h"

#include <algorithm>
#include <bit>

namespace {

constexpr const char* kCaptions[SDialogMessage::kButtons] = {"Ok",   "Cancel", "Yes",  "No",     "Continue",
                                                             "Left", "Right",  "Open", "Disarm", "Pick"};

// The mask bits that name a button of the box.
constexpr u32 kKnownButtons = 0x3FF;

}  // namespace

SDialogMessage::~SDialogMessage() {
  if (ownsText) delete text;
}

void SDialogMessage::Attach(SGameCore* gameCore) {
  SDialog::Attach(gameCore);
  for (u32 i = 0; i < kButtons; ++i) {
    buttonCodes[i] = 1u << i;
    buttons[i].Attach(this);
  }
}

SCtrlMessageButton* SDialogMessage::Button(u32 code) {
  for (u32 i = 0; i < kButtons; ++i)
    if (buttonCodes[i] == code && code) return &buttons[i];
  return nullptr;
}

bool SDialogMessage::IsListed(u32 code) {
  SCtrlMessageButton* b = Button(code);
  return b && b->IsVisible() && controls.IndexOf(b) >= 0;
}

void SDialogMessage::AddButton(u32 code) {
  SCtrlMessageButton* b = Button(code);
  if (!b) return;
  b->SetText(kCaptions[b - buttons], code);
  AddControl(b);
}

// The pixels the box's frame and a margin take at each side of the row of buttons.
constexpr i32 kRowEdge = 8;

void SDialogMessage::AddMaskButtons() {
  for (u32 i = 0; i < kButtons; ++i)
    if (buttonMask & buttonCodes[i]) AddButton(buttonCodes[i]);
  // Captions and their ends as the message box gives them make the chest's four buttons wider than the
  // smallest screens: the box keeps to the screen (Setup), and the row to the box.
  if (display) NarrowButtons(i32(display->Width()) - 2 * kRowEdge);
}

void SDialogMessage::NarrowButtons(i32 room) {
  i32 excess = ButtonsWidth() - room;
  if (excess <= 0 || !font) return;
  font->Select(1, 0x161616, core ? core->lightTextColour : 0);
  i32 least[kButtons] = {};
  for (u32 i = 0; i < controls.Count() && i < kButtons; ++i)
    if (const auto* b = dynamic_cast<const SCtrlMessageButton*>(controls.At(i32(i)))) {
      i32 widest = 0, lines = 0;
      font->MeasureText(b->label.CStr(), 100, &widest, &lines);
      least[i] = widest + 16;
    }
  for (bool narrowed = true; excess > 0 && narrowed;) {
    narrowed = false;
    for (u32 i = 0; i < controls.Count() && i < kButtons && excess > 0; ++i) {
      SCtrl* c = controls.At(i32(i));
      if (!c || c->width <= least[i]) continue;
      c->width = u16(c->width - 1);
      --excess;
      narrowed = true;
    }
  }
}

i32 SDialogMessage::Gap() const { return core && core->IsCompact() ? 3 : 5; }

i32 SDialogMessage::ButtonsWidth() const {
  i32 total = 0;
  for (u32 i = 0; i < controls.Count(); ++i)
    if (const SCtrl* c = controls.At(i)) total += c->width + (i ? Gap() : 0);
  return total;
}

void SDialogMessage::LayoutButtons(i32 xOffset, i32 yOffset) {
  i32 cursor = xOffset;
  for (u32 i = 0; i < controls.Count(); ++i) {
    SCtrl* c = controls.At(i);
    if (!c) continue;
    i32 x;
    if (c == Button(kContinue)) {
      x = left + (width - c->width) / 2;
    } else {
      x = left + cursor;
      cursor += c->width + Gap();
    }
    c->SetPos(u16(x), u16(top + yOffset));
  }
}

void SDialogMessage::Setup(SDialogTextCtrl* textCtrl, u32 mask, u32 centreOnScreen) {
  text = textCtrl;
  buttonMask = mask;
  ClearControls();
  // Only the bits of the ten buttons count: a box whose mask names none of them closes on any input.
  buttonCount = u32(std::popcount(mask & kKnownButtons));
  AddMaskButtons();
  if (!core || !display) return;
  const bool compact = core->IsCompact(), large = core->IsLarge();
  const i32 b = ButtonsWidth();
  const i32 bmin = b + (compact ? 10 : 30);

  i32 widest = 0;
  i32 lines = text ? text->MeasureText(display->View().viewWidth * 4 / 5, &widest) : 0;
  const i32 mode = core->displayMode;
  lines = std::min(lines, compact ? (mode == 5 || mode == 8 ? 6 : 8) : 10);
  if (font) font->Select(1, 0x161616, 0x94D6E7);
  const i32 glyph = font ? font->LineHeight() : 0;

  const i32 s = compact ? 20 : 24;
  width = std::max(180, (large ? 20 : 0) + 2 * s + std::max(widest, bmin));
  // Never wider than the screen: the row of buttons fits it already, and the text is narrower.
  width = std::min(width, i32(display->Width()));
  const i32 m = compact ? 34 : large ? 50 : 41;
  height = (lines + (buttonCount ? 1 : 0)) * (glyph + 1) + 2 * m + 5;
  i32 t = m;
  const i32 minimum = compact ? 100 : 154;
  if (height < minimum) {
    t = m + (minimum - height) / (buttonCount ? 4 : 2) + (lines == 1 ? 10 : 0);
    height = minimum;
  }
  textHeight = height - 2 * (m + 10);
  // Without buttons the text also takes the button row's place: the height above holds one row fewer
  // than the text's lines (none at all for one line on the small screens).
  if (!buttonCount) textHeight += glyph + 1;

  if (centreOnScreen) {
    const i32 sw = display->Width(), sh = display->Height();
    left = (sw - width) / 2;
    top = (sh - height) / 2;
    if (mode == 16 && core->currentState && core->currentState == core->states[kStateMain]) left += sw / 4;
  } else {
    CenterInView();
  }
  // Controls keep their places as unsigned 16-bit values: a box larger than the screen starts at its
  // top-left corner rather than above or left of it, where its text and buttons would land 65,000 pixels
  // away.
  left = std::max(0, left);
  top = std::max(0, top);
  // (This centres the row in the box, as the buttons' minimum width has the offset's twice.)
  LayoutButtons((compact ? 5 : 15) + (width - bmin) / 2, textHeight + m + (compact ? 4 : 0));
  if (text) {
    text->SetRect(u16(left + s), u16(top + t), u16(std::max(0, width - 2 * s)), u16(std::max(0, textHeight)));
    text->pageMode = 1;
  }
  ResetInputGuard();
}

void SDialogMessage::DrawPanel() {
  if (core) core->DrawPanel3H(&core->pictures[1], 1, left, top, width, height);
}

void SDialogMessage::PaintGround() {
  DrawPanel();
  // As a layer beneath a changed control the text shows its page as it stands; Paint moves it on.
  if (text) text->RedrawCurrent();
}

void SDialogMessage::Paint() {
  DrawPanel();
  if (text) text->Redraw();
  SCtrl* more = Button(kContinue);
  const bool waiting = text && text->HasWaitingLines();
  if (!waiting) {
    if (IsListed(kContinue)) {
      // The last page: the mask's buttons come back.
      RemoveControl(more);
      AddMaskButtons();
      LayoutButtons((width - ButtonsWidth()) / 2, textHeight + 41);
      DrawPanel();
    }
  } else if (!IsListed(kContinue)) {
    ClearControls();
    AddButton(kContinue);
    LayoutButtons(0, textHeight + 41);
    DrawPanel();
    if (text) text->Redraw();
  }
  PaintEveryControl();
}

void SDialogMessage::Click(u32 which) {
  if (core && core->soundManager && core->clickSounds[which])
    core->soundManager->PlaySound(core->clickSounds[which], 10);
}

u32 SDialogMessage::OnCommand(u16 code) {
  if (code == kContinue) {
    Click(0);
    // The next page is shown by the next pass of the text.
    if (text) text->linesShown = 0;
    Paint();
    return 0;
  }
  Click(1);
  if (parent) return parent->OnCommand(code);
  return code ? code : 1;
}

u32 SDialogMessage::OnKey(u32 key) {
  if (IsOpeningTick()) return 0;
  if (buttonCount == 0) return OnCommand(0);
  if (key == kActionConfirm) {
    for (u32 code : {kOk, kYes, kContinue})
      if (IsListed(code)) return OnCommand(u16(code));
  } else if (key == kActionCancel) {
    for (u32 code : {kCancel, kNo})
      if (IsListed(code)) return OnCommand(u16(code));
  }
  return 0;
}

u32 SDialogMessage::OnPen(i32 x, i32 y, u32 touching, u32 moving) {
  if (IsOpeningTick()) return 0;
  if (touching && !moving) {
    penLatch = 1;
  } else if (!penLatch) {
    return 0;
  }
  if (buttonCount) return SDialog::OnPen(x, y, touching, moving);
  if (!touching && x >= left && x < left + width && y >= top && y < top + height) return OnCommand(0);
  return 0;
}
