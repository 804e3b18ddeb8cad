#include "core/ui/SDialogListCtrl.h"

#include "core/SGameCore.h"
#include "graphics/SDisplay.h"
#include "graphics/SFont.h"

#include <algorithm>

void SDialogListCtrl::SetFont(u32 number, u32 textColourWord, u32 backgroundColourWord, const SImage* picture) {
  fontNumber = number;
  textColour = textColourWord;
  backgroundColour = backgroundColourWord;
  backgroundPicture = picture;
  if (font) {
    font->Select(i32(fontNumber), textColour, backgroundColour);
    rowHeight = font->LineHeight();
  }
  drawBackground = 1;
  framed = 1;
  rightColumn = 0;
  selected = -1;
}

void SDialogListCtrl::SetOwnHighlight() {
  ownHighlight = 1;
  highlightTextColour = kHighlightText;
  highlightBarColour = kHighlightBar;
}

void SDialogListCtrl::SetOutline() {
  outline = 1;
  outlineColour = 0;
}

void SDialogListCtrl::SetRightColumn(i32 columnWidth) {
  rightColumn = 1;
  rightColumnWidth = columnWidth;
  icons = nullptr;
  iconCount = 0;
}

void SDialogListCtrl::SetRightIcons(const SImage* const* iconTable, u32 count) {
  rightColumn = 1;
  rightColumnWidth = 20;
  icons = iconTable;
  iconCount = iconTable ? count : 0;
}

void SDialogListCtrl::AddRow(u32 code, const char* text) {
  SListRow row;
  row.code = code;
  row.text = text ? text : "";
  rows.Add(row);
  MarkDirty();
}

void SDialogListCtrl::AddRowWithKey(const char* key, const char* text, u8 value) {
  SListRow row;
  row.keyText = key ? key : "";
  row.text = text ? text : "";
  row.value = value;
  rows.Add(row);
}

void SDialogListCtrl::AddRowWithRightText(const char* key, const char* text, const char* right) {
  SListRow row;
  row.keyText = key ? key : "";
  row.text = text ? text : "";
  row.rightText = right ? right : "";
  rows.Add(row);
}

void SDialogListCtrl::SetRow(i32 index, const char* key, const char* text, const char* right) {
  if (index < 0) return;
  SListRow* row = rows.At(u32(index));
  if (!row) return;
  row->keyText.AssignIfNotNull(key);
  row->text.AssignIfNotNull(text);
  row->rightText.AssignIfNotNull(right);
  row->value = 0;
  MarkDirty();
}

void SDialogListCtrl::Clear() {
  rows.Clear();
  selected = -1;
  firstRow = 0;
  MarkDirty();
}

void SDialogListCtrl::SetSelection(i32 index) {
  // Whatever asks, the selection is a row of the list or none.
  const i32 count = i32(rows.Count());
  selected = count == 0 || index < 0 ? -1 : std::min(index, count - 1);
  ShowSelection();
}

void SDialogListCtrl::ShowSelection() {
  firstRow = selected >= 0 ? selected / PageSize() * PageSize() : 0;
  MarkDirty();
}

void SDialogListCtrl::LayoutRows(i32 wrapWidth) {
  i32 widest = 0;
  if (font) {
    font->Select(i32(fontNumber), textColour, backgroundColour);
    for (const SListRow& row : rows) {
      i32 w = 0, lines = 0;
      font->MeasureText(row.text.CStr(), wrapWidth, &w, &lines);
      widest = std::max(widest, w);
    }
  }
  width = u16(widest + 10);
  rowsPerPage = std::min<i32>(i32(rows.Count()), kMaxLaidOutRows);
  height = u16(std::max(0, rowsPerPage * rowHeight));
  SetSelection(rows.Count() ? 0 : -1);
}

void SDialogListCtrl::ResetView(bool keepSelection) {
  // Without a usable row height, a page is one row.
  rowsPerPage = rowHeight >= 1 ? height / rowHeight : 1;
  firstRow = 0;
  if (rows.Count() && (!keepSelection || selected < 0)) selected = 0;
  if (selected >= i32(rows.Count())) selected = 0;
  SetSelection(selected);
}

void SDialogListCtrl::Select(i32 index) { SetSelection(index < 0 ? -1 : index); }

void SDialogListCtrl::SelectByCode(u32 code) {
  i32 found = 0;
  for (u32 i = 0; i < rows.Count(); ++i)
    if (rows[i].code == code) {
      found = i32(i);
      break;
    }
  SetSelection(found);
}

void SDialogListCtrl::SelectByKey(const char* key) {
  i32 found = 0;
  for (u32 i = 0; i < rows.Count(); ++i)
    if (StrCompare(rows[i].keyText.CStr(), key ? key : "") == 0) {
      found = i32(i);
      break;
    }
  SetSelection(found);
}

bool SDialogListCtrl::PageDown() {
  if (firstRow + PageSize() >= i32(rows.Count())) return false;
  firstRow += PageSize();
  selected = firstRow;
  MarkDirty();
  return true;
}

bool SDialogListCtrl::PageUp() {
  if (firstRow <= 0) return false;
  firstRow = std::max(0, firstRow - PageSize());
  selected = firstRow;
  MarkDirty();
  return true;
}

u32 SDialogListCtrl::SelectedCode() const {
  const SListRow* row = SelectedRow();
  return row ? row->code : 0;
}

const char* SDialogListCtrl::SelectedText() const {
  const SListRow* row = SelectedRow();
  return row && row->text.CStr() ? row->text.CStr() : "";
}

const char* SDialogListCtrl::SelectedKeyText() const {
  const SListRow* row = SelectedRow();
  return row && row->keyText.CStr() ? row->keyText.CStr() : "";
}

u32 SDialogListCtrl::OnKey(u32 key) {
  const i32 count = i32(rows.Count());
  switch (key) {
    case kActionUp:
    case kActionDown:
      // An empty list has nothing to move to.
      if (count == 0) return 0;
      if (key == kActionUp) {
        SetSelection(selected < 0 ? 0 : selected == 0 ? count - 1 : selected - 1);
      } else {
        SetSelection(selected < 0 || selected >= count - 1 ? 0 : selected + 1);
      }
      lastAction = kMoved;
      return id;
    case kActionConfirm:
      if (selected < 0) return 0;
      lastAction = kConfirmed;
      return id;
    default: return 0;
  }
}

i32 SDialogListCtrl::RowAt(i32 x, i32 y) const {
  if (rowHeight < 1 || x < left || x >= left + width || y < top || y >= top + height) return -1;
  const i32 onPage = (y - top) / rowHeight;
  const i32 r = firstRow + onPage;
  if (r >= i32(rows.Count()) || (onPage + 1) * rowHeight > height) return -1;
  return r;
}

u32 SDialogListCtrl::OnPen(i32 x, i32 y, u32 touching, u32 /*moving*/) {
  const i32 r = RowAt(x, y);
  if (r < 0) {
    if (!deselectOutside) return 0;
    selected = -1;
    Redraw();
    // What its old highlight covered is repainted with it by its dialog.
    MarkDirty();
    lastAction = kDeselected;
    return id;
  }
  if (r == selected && (touching || !confirmBySecondTap)) return 0;
  // The row under the pen follows it; the row it is lifted from is confirmed.
  selected = r;
  Redraw();
  MarkDirty();
  lastAction = touching ? kMoved : kConfirmed;
  return id;
}

void SDialogListCtrl::Paint() {
  if (!display) return;
  if (drawBackground) {
    if (backgroundPicture) {
      display->TileImage(left, top, width, height, backgroundPicture);
    } else {
      display->FillRect(left, top, width, height, MakeColor565(backgroundColour));
    }
  }
  if (framed && core) core->DrawPanel9(&core->pictures[51], 0, left - 3, top - 3, width + 6, height + 6, 15, 0);
  if (!font || rowHeight < 1) return;
  const i32 textWidth = width - (rightColumn ? rightColumnWidth : 0);
  const i32 end = std::min<i32>(i32(rows.Count()), firstRow + PageSize());
  for (i32 i = std::max(0, firstRow), n = 0; i < end; ++i, ++n) PaintRow(i, top + n * rowHeight, textWidth);
}

void SDialogListCtrl::PaintRow(i32 index, i32 rowY, i32 textWidth) {
  const SListRow& row = rows[u32(index)];
  const bool isSelected = index == selected;
  if (isSelected)
    display->FillRect(left, rowY, width, rowHeight, MakeColor565(ownHighlight ? highlightBarColour : textColour));
  font->Select(i32(fontNumber), textColour, backgroundColour);
  const i32 textY = rowY + (rowHeight - font->LineHeight()) / 2;
  const char* text = row.text.CStr() ? row.text.CStr() : "";
  if (outline) {
    const i32 p = core && core->IsLarge() ? 2 : 1;
    font->Select(i32(fontNumber), outlineColour, outlineColour);
    if (centred) {
      const i32 shifts[4][2] = {{-p, 0}, {p, 0}, {0, -p}, {0, p}};
      for (const auto& s : shifts)
        font->DrawText(left + 1 + s[0], textY + s[1], left + textWidth - 1 + s[0], rowY + rowHeight + s[1], text, 4);
    } else {
      font->DrawText(left + p + 1, textY + p, left + textWidth - 1 + p, rowY + rowHeight + p, text, 1);
    }
  }
  if (ownHighlight) {
    font->Select(i32(fontNumber), isSelected ? highlightTextColour : textColour,
                 isSelected ? highlightBarColour : backgroundColour);
  } else {
    font->Select(i32(fontNumber), isSelected ? backgroundColour : textColour,
                 isSelected ? textColour : backgroundColour);
  }
  font->DrawText(left + 1, textY, left + textWidth - 1, rowY + rowHeight, text, centred ? 4 : 1);
  if (!rightColumn) return;
  const i32 columnX = left + width - rightColumnWidth;
  if (icons) {
    if (const SImage* icon = row.value < iconCount ? icons[row.value] : nullptr)
      display->DrawImage(icon, columnX, rowY);
  } else if (row.rightText.CStr()) {
    font->DrawText(columnX, rowY, left + width - 1, rowY + rowHeight, row.rightText.CStr(), 1);
  }
}
