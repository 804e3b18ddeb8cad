// The body text of the message box and of the conversation and message screens. Texts are appended as
// waiting lines (coloured, optionally bulleted); painting moves them onto a fixed page of rows, either a
// page at a time on demand (page mode: the message box's "Continue") or line by line with a short pause
// per line, scrolling the page.
#pragma once
#include "core/ui/SCtrl.h"
#include "foundation/SString.h"
#include "foundation/SValueArray.h"

struct SImage;
struct SImageEntry;

// One row of the page or one waiting line.
struct STextLine {
  u32 bullet = 0;  // draw the bullet prefix before it
  SString text;
  u32 colour = 0;  // index 0 to 2 of the control's colours
};

class SDialogTextCtrl : public SCtrl {
 public:
  static constexpr u32 kLineWait = 100;  // milliseconds per line of the line-by-line scroll
  static constexpr u32 kFinalWait = 50;  // before the last scroll of a pass that filled the page

  SDialogTextCtrl() = default;

  // Font 1 with the colours (the font argument is not used); N rows of the control's height; the bullet
  // prefix's width as the margin; an empty page; background drawing on, rows not centred.
  void SetStyle(u32 fontArg, u32 colour0, u32 colour1, u32 colour2, u32 shadeColour, SImageEntry* background);
  // Appends the text's lines, wrapped to the width less the bullet margin with the font's current
  // selection; the bullet goes on the first line only. An empty text adds nothing.
  void AddText(const char* text, u32 colourIndex, u32 bullet);
  // Keeps one row of the page and appends n blank lines, then paints.
  void AddBlankLines(i32 n);
  // An empty page and no waiting lines; the write row stays.
  void Clear();
  // The lines of all waiting lines wrapped to the width, and the widest of them.
  i32 MeasureText(i32 width, i32* widest);
  void ShiftLinesUp();
  void DrawPage();
  void Paint() override;
  // The page as it stands: waiting lines stay waiting.
  void PaintCurrent() override { DrawPage(); }
  bool HasWaitingLines() const { return firstWaiting < waiting.Count(); }
  u32 WaitingCount() const { return waiting.Count() - firstWaiting; }

  i32 rowsPerPage = 0;
  SValueArray<STextLine> page{4};
  SValueArray<STextLine> waiting{4};  // from firstWaiting on, oldest first
  u32 firstWaiting = 0;
  i32 linesShown = 0;  // moved onto the page in this pass; 0: a new pass begins at the next paint
  i32 keptLines = 0;   // rows of the previous page that stay when a pass ends with lines waiting
  u32 pageMode = 0;
  u32 greetingMark = 0;  // nonzero while a conversation shows its greeting
  u32 growPage = 0;      // outside page mode: at the end of a pass the write row advances instead of scrolling
  i32 writeRow = 0;
  i32 bulletMargin = 0;
  u32 fontNumber = 1;
  u32 drawBackground = 0;
  u32 centred = 0;
  u32 colours[3] = {};
  u32 shade = 0;
  i32 glyphHeight = 0;
  SImageEntry* background = nullptr;

 private:
  const char* BulletPrefix() const;
  void FillEmptyPage();
  STextLine TakeWaitingLine();
  void Present();
  void Wait(u32 ms);
  STextLine* Row(i32 i) { return i >= 0 ? page.At(u32(i)) : nullptr; }
};

// A title above a body text cut into pages of whole lines; the screens that use it choose the page, or,
// with line scrolling on, the first body line shown under the title.
class STitleTextCtrl : public SCtrl {
 public:
  void Setup(u32 titleFontNumber, u32 titleColourA, u32 bodyColourWord, u32 shadeColour, u32 fillFlag,
             i32 sideMarginPixels, i32 topOffsetPixels, u32 titleColourB, u32 titleColourC);
  // A null title keeps the old one. A new text, page or first line is drawn over the backdrop afresh: the
  // control draws only its text unless it fills, so without a fill its owner repaints everything first.
  void SetText(const char* titleText, const char* body, u32 useColourB, u32 useColourC);
  void ShowPage(i32 page);
  void ScrollTo(i32 line);
  void Paint() override;
  u32 PageCount() const { return pages.Count(); }
  u32 LineCount() const { return lines.Count(); }

  SString title;
  u32 titleFont = 0;
  u32 titleColourA = 0, titleColourB = 0, titleColourC = 0;
  SValueArray<SString> pages{4};
  u32 bodyFont = 1;
  u32 bodyColour = 0;
  u32 useColourB = 0, useColourC = 0;
  u32 twoLineTitle = 0, oneLineTitle = 0;
  i32 sideMargin = 0;
  i32 topOffset = 0;
  u32 shade = 0;  // also the fill colour
  u32 fill = 0;
  i32 bodyTop = 0;
  i32 currentPage = 0;
  SValueArray<SString> lines{4};  // the wrapped body, one entry a line
  u32 lineScroll = 0;
  i32 firstLine = 0;  // with line scrolling: the first body line shown

 private:
  // The width the title and the body are measured, wrapped and drawn in: one width, so that a title is counted
  // in the lines it is drawn in (the box reaches one pixel past the margin, as the font needs a pixel more
  // than a line's width to fit it).
  i32 TextBoxWidth() const { return width - 2 * sideMargin + 1; }
  void Changed();
};
