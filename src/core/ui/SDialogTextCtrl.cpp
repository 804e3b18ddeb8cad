#include "core/ui/SDialogTextCtrl.h"

#include "core/SGameCore.h"
#include "core/ui/SDialog.h"
#include "core/ui/STextWrap.h"
#include "graphics/SDisplay.h"
#include "os/Clock.h"

#include <algorithm>

namespace {
// The bullet prefix of the compact modes: a dash and character 11 of the game font.
constexpr char kCompactBullet[] = {'-', 11, 0};
}  // namespace

const char* SDialogTextCtrl::BulletPrefix() const { return core && core->IsCompact() ? kCompactBullet : "- "; }

void SDialogTextCtrl::FillEmptyPage() {
  page.Clear();
  for (i32 i = 0; i < rowsPerPage; ++i) page.Add(STextLine{});
}

void SDialogTextCtrl::SetStyle(u32, u32 colour0, u32 colour1, u32 colour2, u32 shadeColour, SImageEntry* picture) {
  fontNumber = 1;
  colours[0] = colour0;
  colours[1] = colour1;
  colours[2] = colour2;
  shade = shadeColour;
  background = picture;
  if (font) {
    font->Select(1, colour0, shadeColour);
    glyphHeight = font->LineHeight();
    bulletMargin = font->TextWidth(BulletPrefix());
  }
  rowsPerPage = height / (glyphHeight + 1);
  FillEmptyPage();
  writeRow = 0;
  linesShown = 0;
  keptLines = 0;
  growPage = 0;
  drawBackground = 1;
  centred = 0;
}

void SDialogTextCtrl::AddText(const char* text, u32 colourIndex, u32 bullet) {
  if (!font || !text || !*text) return;
  bool first = true;
  ForEachWrappedLine(*font, text, width - bulletMargin, [&](i32 start, i32 length) {
    STextLine line;
    line.bullet = first ? bullet : 0;
    line.text.AppendN(text + start, u32(length));
    line.colour = colourIndex;
    waiting.Add(line);
    first = false;
  });
}

void SDialogTextCtrl::AddBlankLines(i32 n) {
  keptLines = 1;
  for (i32 i = 0; i < n; ++i) {
    STextLine line;
    line.text = " ";
    line.colour = 1;
    waiting.Add(line);
  }
  Redraw();
}

void SDialogTextCtrl::Clear() {
  FillEmptyPage();
  waiting.Clear();
  firstWaiting = 0;
  linesShown = 0;
}

STextLine SDialogTextCtrl::TakeWaitingLine() {
  STextLine line = waiting[firstWaiting];
  waiting[firstWaiting++] = STextLine{};
  // The storage goes once every line has been taken.
  if (firstWaiting >= waiting.Count()) {
    waiting.Clear();
    firstWaiting = 0;
  }
  return line;
}

i32 SDialogTextCtrl::MeasureText(i32 measureWidth, i32* widest) {
  i32 lines = 0, most = 0;
  if (font) {
    font->Select(1, colours[0], shade);
    for (u32 i = firstWaiting; i < waiting.Count(); ++i) {
      const STextLine& line = waiting[i];
      i32 w = 0, n = 0;
      font->MeasureText(line.text.CStr(), measureWidth, &w, &n);
      lines += n;
      most = std::max(most, w);
    }
  }
  if (widest) *widest = most;
  return lines;
}

void SDialogTextCtrl::ShiftLinesUp() {
  for (i32 i = 1; i < rowsPerPage; ++i) {
    STextLine* from = Row(i);
    STextLine* to = Row(i - 1);
    if (!from || !to) break;
    to->bullet = from->bullet;
    to->text = from->text;
    to->colour = from->colour;
  }
  if (STextLine* last = Row(rowsPerPage - 1)) last->text = "";
}

void SDialogTextCtrl::DrawPage() {
  if (!display) return;
  if (drawBackground && background && background->image)
    display->TileImage(left, top, width, height, background->image);
  if (!font) return;
  for (i32 i = 0; i < rowsPerPage; ++i) {
    const STextLine* row = Row(i);
    if (!row || row->text.IsEmpty()) continue;
    const i32 y = top + i * (glyphHeight + 1);
    font->Select(1, colours[row->colour < 3 ? row->colour : 0], shade);
    if (centred) {
      font->DrawText(left, y, left + width, y + glyphHeight, row->text.CStr(), 4);
      continue;
    }
    if (row->bullet) font->DrawText(left, y, left + width, y + glyphHeight, BulletPrefix(), 0);
    font->DrawText(left + bulletMargin, y, left + width, y + glyphHeight, row->text.CStr(), 0);
  }
}

void SDialogTextCtrl::Present() {
  if (display) display->FlipAndBegin();
}

void SDialogTextCtrl::Wait(u32 ms) { Os::Clocks().Sleep(ms); }

void SDialogTextCtrl::Paint() {
  if (linesShown != 0) {
    DrawPage();
    return;
  }
  if (font) font->Select(1, colours[0], shade);
  const i32 n = rowsPerPage;
  const bool compact = core && core->IsCompact();
  STextLine last;
  for (;;) {
    if (HasWaitingLines()) {
      last = TakeWaitingLine();
      ++linesShown;
      // A write row past the page (a page grown at the end of a pass) scrolls like a full one.
      if (writeRow >= n) {
        ShiftLinesUp();
        writeRow = n - 1;
      }
      if (STextLine* row = Row(writeRow)) *row = last;
      ++writeRow;
    }
    DrawPage();
    if (!HasWaitingLines()) {
      linesShown = 0;
      if (writeRow == n && !pageMode && !compact) {
        Wait(kFinalWait);
        ShiftLinesUp();
        --writeRow;
        DrawPage();
        Present();
      }
      return;
    }
    if (!pageMode) {
      Present();
      Wait(kLineWait);
    }
    if (linesShown > n - keptLines - 1) {
      if (pageMode) {
        DrawPage();
        return;
      }
      if (growPage) {
        ++writeRow;
      } else {
        ShiftLinesUp();
      }
      if (STextLine* row = Row(writeRow - 1)) {
        *row = last;
        row->text = core && (core->displayMode == 5 || core->displayMode == 8) ? "" : "...";
      }
      DrawPage();
      return;
    }
  }
}

void STitleTextCtrl::Setup(u32 titleFontNumber, u32 colourA, u32 bodyColourWord, u32 shadeColour, u32 fillFlag,
                           i32 sideMarginPixels, i32 topOffsetPixels, u32 colourB, u32 colourC) {
  titleFont = titleFontNumber;
  titleColourA = colourA;
  bodyColour = bodyColourWord;
  shade = shadeColour;
  fill = fillFlag;
  sideMargin = sideMarginPixels;
  topOffset = topOffsetPixels;
  titleColourB = colourB;
  titleColourC = colourC;
  bodyFont = 1;
  twoLineTitle = 1;
  oneLineTitle = 0;
  title = "";
  pages.Clear();
  currentPage = 0;
  MarkDirty();
}

void STitleTextCtrl::SetText(const char* titleText, const char* body, u32 colourB, u32 colourC) {
  useColourB = colourB;
  useColourC = colourC;
  if (titleText) title = titleText;
  const i32 textWidth = TextBoxWidth();
  const bool compact = core && core->IsCompact();
  pages.Clear();
  lines.Clear();
  currentPage = 0;
  firstLine = 0;
  Changed();
  if (!font) return;
  font->Select(i32(titleFont), titleColourA, shade);
  i32 widest = 0, titleLines = 0;
  font->MeasureText(title.CStr(), textWidth, &widest, &titleLines);
  if (twoLineTitle && titleText && *titleText && titleLines < 2 && !compact) titleLines = 2;
  if (oneLineTitle) titleLines = 1;
  const i32 titleHeight = titleLines * (font->LineHeight() + 1);
  if (compact) {
    const i32 mode = core->displayMode;
    bodyTop = top + titleHeight + topOffset - 2 + (twoLineTitle && titleLines < 2 && mode != 5 && mode != 8 ? 2 : 0);
  } else {
    bodyTop = top + titleHeight + topOffset - 3;
  }
  font->Select(i32(bodyFont), bodyColour, shade);
  const i32 line = font->LineHeight() + 1;
  // A page holds at least one line, however small the control.
  const i32 firstPage = std::max(1, (height - (bodyTop - top) + topOffset + 4) / line);
  const i32 laterPages = std::max(1, height / line);

  SString text(body ? body : "");
  text.ReplaceAll("\n", "\r");
  SString wrapped;
  font->WrapText(text.CStr(), textWidth, wrapped);
  const char* s = wrapped.CStr() ? wrapped.CStr() : "";
  SString current;
  i32 linesOnPage = 0;
  for (const char* p = s; *p;) {
    const char* end = p;
    while (*end && *end != '\r') ++end;
    current.AppendN(p, u32(end - p));
    current.AppendChar('\r');
    SString wrappedLine;
    wrappedLine.AppendN(p, u32(end - p));
    lines.Add(wrappedLine);
    if (++linesOnPage >= (pages.Count() == 0 ? firstPage : laterPages)) {
      pages.Add(current);
      current = "";
      linesOnPage = 0;
    }
    p = *end ? end + 1 : end;
  }
  if (!current.IsEmpty() || pages.Count() == 0) pages.Add(current);
}

void STitleTextCtrl::ShowPage(i32 page) {
  currentPage = page;
  Changed();
}

void STitleTextCtrl::ScrollTo(i32 line) {
  firstLine = line;
  Changed();
}

void STitleTextCtrl::Changed() {
  MarkDirty();
  if (!fill && owner && IsVisible()) owner->SetFullRepaint();
}

void STitleTextCtrl::Paint() {
  if (!IsVisible() || !display || !font) return;
  if (fill) display->FillRect(left, top, width, height, MakeColor565(shade));
  const i32 x1 = left + sideMargin, x2 = x1 + TextBoxWidth(), bottom = top + height;
  if (lineScroll) {
    // The title stays; the body shows its lines from the first shown one down to the bottom.
    font->Select(i32(titleFont), useColourC ? titleColourC : useColourB ? titleColourB : titleColourA, shade);
    font->DrawText(x1, top + topOffset, x2, bottom, title.CStr(), oneLineTitle ? 1 : 0);
    SString body;
    for (u32 i = firstLine > 0 ? u32(firstLine) : 0; i < lines.Count(); ++i) {
      body.Append(lines.At(i)->CStr());
      body.AppendChar('\r');
    }
    font->Select(i32(bodyFont), bodyColour, shade);
    font->DrawText(x1, bodyTop, x2, bottom, body.CStr(), 0);
    return;
  }
  if (currentPage == 0) {
    font->Select(i32(titleFont), useColourC ? titleColourC : useColourB ? titleColourB : titleColourA, shade);
    font->DrawText(x1, top + topOffset, x2, bottom, title.CStr(), oneLineTitle ? 1 : 0);
  }
  const SString* text = currentPage >= 0 ? pages.At(u32(currentPage)) : nullptr;
  if (!text) return;
  font->Select(i32(bodyFont), bodyColour, shade);
  font->DrawText(x1, currentPage == 0 ? bodyTop : top + topOffset, x2, bottom, text->CStr(), 0);
}
