#include "core/ui/SSceneTextCtrl.h"

#include "core/SGameCore.h"
#include "core/ui/SDialog.h"
#include "core/ui/STextWrap.h"
#include "graphics/SDisplay.h"
#include "platform/hal/Game.h"

#include <algorithm>
#include <cstring>

namespace {

// Each channel of the way v / n from a to b.
u32 Fade(u32 a, u32 b, i32 v, i32 n) {
  u32 word = 0;
  for (u32 shift = 0; shift < 24; shift += 8) {
    const i32 from = i32((a >> shift) & 0xFF), to = i32((b >> shift) & 0xFF);
    word |= u32(std::clamp(from + (to - from) * v / n, 0, 255)) << shift;
  }
  return word;
}

}  // namespace

void SSceneTextCtrl::Start(const char* text, bool centredText) {
  edgeColour = core ? core->lightTextColour : 0x94D6EF;
  textColour = 0x161616;
  finished = ending = endTime = 0;
  centred = centredText ? 1 : 0;
  lines.Clear();
  fontNumber = core && core->displayMode == 2 ? 2 : 1;
  if (font) {
    font->Select(i32(fontNumber), textColour, edgeColour);
    lineHeight = font->LineHeight() + 1;
  }
  AddText(text);
  position = lineHeight / 2;
  lastStep = Hal::GetTime();
  MarkDirty();
}

u32 SSceneTextCtrl::OnPen(i32 x, i32 y, u32 touching, u32 moving) {
  const bool inside = x >= left && x < left + width && y >= top && y < top + height;
  return touching && !moving && inside ? id : 0;
}

void SSceneTextCtrl::AddText(const char* text) {
  if (font)
    ForEachWrappedLine(*font, text, width, [&](i32 start, i32 length) {
      SString line;
      line.AppendN(text + start, u32(length));
      lines.Add(line);
    });
  // The last line's position is the block's height; a centred block stops where it stands in the middle.
  const i32 block = i32(lines.Count()) * lineHeight;
  endPosition = centred && block < height ? (height + block) / 2 : block;
}

void SSceneTextCtrl::Pause(bool on) {
  running = on ? 0 : 1;
  if (running) lastStep = Hal::GetTime();
}

void SSceneTextCtrl::DrawLines() {
  if (!font || lineHeight <= 0) return;
  linesShown = 1;
  const i32 h = height;
  for (u32 k = 0; k < lines.Count(); ++k) {
    const i32 v = position - i32(k) * lineHeight;
    if (v <= 0) break;
    if (v > h) continue;
    u32 colour = textColour;
    if (v < lineHeight) {
      colour = Fade(edgeColour, textColour, v, lineHeight);
    } else if (v > h - lineHeight) {
      colour = Fade(edgeColour, textColour, h - v, lineHeight);
    }
    font->Select(i32(fontNumber), colour, edgeColour);
    font->DrawText(left, top + h - v, left + width, top + h, lines[k].CStr(), 4);
  }
}

u32 SSceneTextCtrl::OnTick(u32) {
  if (!running) return 0;
  const u32 now = Hal::GetTime();
  if (ending) {
    if (now - endTime >= kFinishDelay) finished = 1;
    return 0;
  }
  if (position < endPosition) {
    if (now - lastStep < stepTime) return 0;
    lastStep = now;
    // The owner repaints its area first: the lines are drawn anew one pixel higher.
    if (owner) {
      owner->SetFullRepaint();
      owner->Paint();
    }
    ++position;
    Drawing drawing(this);
    DrawLines();
    return 0;
  }
  ending = 1;
  endTime = now;
  return 0;
}

u32 STextCursorCtrl::Capacity() const {
  const i32 limit = std::min<i32>(maxLength, kTextSize - 1);
  return limit > 0 ? u32(limit) : 0;
}

void STextCursorCtrl::Touched() {
  caretShown = 1;
  lastBlink = Hal::GetTime();
  MarkDirty();
}

void STextCursorCtrl::SetDefaults() {
  text[0] = 0;
  fontNumber = 1;
  textColour = 0xC8C8C8;
  backgroundColour = 0;
  caretColour = 0xBDC4;
  maxLength = 50;
  lastBlink = 0;
  MarkDirty();
}

void STextCursorCtrl::SetText(const char* value) {
  const u32 n = value ? std::min<u32>(u32(std::strlen(value)), Capacity()) : 0;
  if (n) std::memcpy(text, value, n);
  text[n] = 0;
  lastBlink = 0;
  MarkDirty();
}

void STextCursorCtrl::AddChar(char c) {
  const u32 n = u32(std::strlen(text));
  if (c == 0 || n >= Capacity()) return;
  text[n] = c;
  text[n + 1] = 0;
  if (font) {
    font->Select(i32(fontNumber), textColour, backgroundColour);
    if (font->TextWidth(text) + 2 >= width) text[n] = 0;
  }
  Touched();
}

void STextCursorCtrl::Backspace() {
  const u32 n = u32(std::strlen(text));
  if (n) text[n - 1] = 0;
  Touched();
}

u32 STextCursorCtrl::OnTick(u32) {
  const u32 now = Hal::GetTime();
  if (now - lastBlink < kBlinkTime) return 0;
  caretShown = !caretShown;
  lastBlink = now;
  Redraw();
  return 0;
}

void STextCursorCtrl::Paint() {
  if (!display || !font) return;
  const u16 background = MakeColor565(backgroundColour);
  display->FillRect(left, top, width, height, background);
  font->Select(i32(fontNumber), textColour, backgroundColour);
  font->DrawText(left, top, left + width, top + height, text, 0);
  display->FillRect(left + font->TextWidth(text), top, 2, height, caretShown ? caretColour : background);
}
