// The scrolling single-selection list of the dialogs and screens: a page of text rows with an optional
// right-hand column of icons or texts, a highlight bar on the selected row and a frame. The up, down and
// confirm actions and the pen move or confirm the selection; every change reports the control id, and
// `lastAction` says what happened.
#pragma once
#include "core/ui/SCtrl.h"
#include "foundation/SString.h"
#include "foundation/SValueArray.h"

struct SImage;

// One row of the list.
struct SListRow {
  SString text;
  SString keyText;  // what SelectByKey compares, and the list dialog's result
  u32 code = 0;
  u8 value = 0;  // index into the right column's icons
  SString rightText;
};

class SDialogListCtrl : public SCtrl {
 public:
  static constexpr u32 kActionUp = 1000, kActionDown = 1002, kActionConfirm = 3006;
  // What `lastAction` holds after a report.
  static constexpr i32 kMoved = 0, kConfirmed = 1, kDeselected = -1;
  static constexpr i32 kMaxLaidOutRows = 8;
  // The own highlight's colour words: yellow text on a dark red bar.
  static constexpr u32 kHighlightText = 0x00FFFF, kHighlightBar = 0x062A86;

  SDialogListCtrl() { inputMask = kInputKeys | kInputPen; }

  // Font, colours and background picture (null: the colour); the row height becomes the font's line
  // height; background and frame on, no right column, no selection.
  void SetFont(u32 fontNumber, u32 textColourWord, u32 backgroundColourWord, const SImage* picture);
  void SetOwnHighlight();
  void SetOutline();
  void SetRightColumn(i32 columnWidth);
  // The right column shows the icon of each row's value (the table holds `count` icons; a value past them,
  // or a null icon, shows nothing).
  void SetRightIcons(const SImage* const* iconTable, u32 count);

  void AddRow(u32 code, const char* text);
  void AddRowWithKey(const char* key, const char* text, u8 value);
  void AddRowWithRightText(const char* key, const char* text, const char* right);
  // For an index of a row: assigns the texts given (null keeps one), value 0.
  void SetRow(i32 index, const char* key, const char* text, const char* right);
  void Clear();

  // Sizes the control to its rows: as wide as the widest text at the wrap width plus 10, a page of all
  // rows up to eight; selects the first row.
  void LayoutRows(i32 wrapWidth);
  // Rows per page from the height; the first row selected unless the selection is kept (and valid).
  void ResetView(bool keepSelection);
  // An index past the rows selects the last one; a negative index or an empty list selects none.
  void Select(i32 index);
  // The first row with that code or key text; the first row when none has it; none on an empty list.
  void SelectByCode(u32 code);
  void SelectByKey(const char* key);
  // A whole page forward while rows follow the page, or back while the page is not the first; the new
  // page's first row becomes the selection. False when the list cannot move that way.
  bool PageDown();
  bool PageUp();
  // The page that holds the selection (the first page without one).
  void ShowSelection();

  u32 RowCount() const { return rows.Count(); }
  const SListRow* Row(i32 index) const { return index >= 0 ? rows.At(u32(index)) : nullptr; }
  const SListRow* SelectedRow() const { return Row(selected); }
  u32 SelectedCode() const;
  const char* SelectedText() const;
  const char* SelectedKeyText() const;
  // Rows per page as the paging divides by it: at least 1.
  i32 PageSize() const { return rowsPerPage > 0 ? rowsPerPage : 1; }

  u32 OnKey(u32 key) override;
  u32 OnPen(i32 x, i32 y, u32 touching, u32 moving) override;
  void Paint() override;
  // The frame lies outside the rectangle, over its neighbours' edges: a framed list is not whole.
  bool PaintsWhole() const override { return drawBackground && !framed; }

  i32 selected = -1;
  i32 lastAction = 0;
  i32 firstRow = 0;  // the first visible row
  u32 drawBackground = 0;
  u32 framed = 0;
  u32 centred = 0;
  i32 rowsPerPage = 0;
  i32 rowHeight = 0;
  u32 fontNumber = 0;
  u32 textColour = 0;
  u32 backgroundColour = 0;
  const SImage* backgroundPicture = nullptr;
  u32 outline = 0;
  u32 outlineColour = 0;
  u32 ownHighlight = 0;
  u32 highlightTextColour = 0;
  u32 highlightBarColour = 0;
  u32 deselectOutside = 0;
  u32 confirmBySecondTap = 0;
  u32 rightColumn = 0;
  i32 rightColumnWidth = 0;
  const SImage* const* icons = nullptr;
  u32 iconCount = 0;
  SValueArray<SListRow> rows{4};

 private:
  // The selection's page becomes the visible one and the control repaints.
  void SetSelection(i32 index);
  // The row under the pen, or -1.
  i32 RowAt(i32 x, i32 y) const;
  void PaintRow(i32 index, i32 rowY, i32 textWidth);
};
