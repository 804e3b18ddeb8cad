// The list control's keys, pen and paging as one table, with the selections it must never leave (an empty
// list, the last page, a control without a font); the list dialog's width rule, its result, its scroll
// buttons and its place on the screen.
#include "UiRig.h"
#include "core/ui/SDialogList.h"
#include "core/ui/SDialogListCtrl.h"
#include "graphics/SFont.h"

#include <string>

namespace {

constexpr u16 kListId = 7;
constexpr i32 kX = 20, kY = 40;

// A list at (20, 40), 100 pixels wide, with `rows` rows "Row 0" ... (codes 100 + i, keys "k0" ...) and a
// page of `pageRows` rows (the height may hold a part row more: `extraPixels`).
struct ListRig {
  ListRig(i32 rows, i32 pageRows, i32 extraPixels = 0) : rig(7, 240, 320) {
    owner.Attach(&rig.core);
    list.Attach(&owner);
    list.id = kListId;
    list.flags = SCtrl::kPlaced;
    list.SetFont(1, 0x161616, 0xB0D0E0, nullptr);
    h = list.rowHeight;
    for (i32 i = 0; i < rows; ++i) {
      list.AddRow(u32(100 + i), ("Row " + std::to_string(i)).c_str());
      list.SetRow(i, ("k" + std::to_string(i)).c_str(), nullptr, nullptr);
    }
    list.SetRect(kX, kY, 100, u16(pageRows * h + extraPixels));
    list.ResetView(false);
  }
  // A point on the n-th row of the page.
  i32 RowY(i32 n) const { return kY + n * h + 1; }

  UiRig rig;
  SDialog owner;
  SDialogListCtrl list;
  i32 h = 0;
};

enum class Act { Key, PenDown, PenMove, PenUp, PageUp, PageDown };

TEST(ListControl, KeysPenAndPaging) {
  constexpr i32 kNone = -1, kSame = 99;
  const struct Case {
    const char* name;
    i32 rows, pageRows, extraPixels;
    i32 selectedBefore;  // kNone: no selection
    u32 deselectOutside, secondTap;
    Act act;
    i32 value;  // the key, or the row of the page under the pen
    i32 selected, firstRow;
    bool reported;   // the control id, else 0 (page moves: moved, else not)
    i32 lastAction;  // kSame: untouched
  } cases[] = {
      {"up without a selection: the first row", 5, 8, 0, kNone, 0, 0, Act::Key, 1000, 0, 0, true, 0},
      {"up on the first row wraps to the last", 5, 8, 0, 0, 0, 0, Act::Key, 1000, 4, 0, true, 0},
      {"down on the last row wraps to the first", 5, 8, 0, 4, 0, 0, Act::Key, 1002, 0, 0, true, 0},
      {"down without a selection: the first row", 5, 8, 0, kNone, 0, 0, Act::Key, 1002, 0, 0, true, 0},
      {"down off the page turns the page", 10, 8, 0, 7, 0, 0, Act::Key, 1002, 8, 8, true, 0},
      {"up from the second page's first row", 10, 8, 0, 8, 0, 0, Act::Key, 1000, 7, 0, true, 0},
      {"up on row 0 of two pages shows the last page", 10, 8, 0, 0, 0, 0, Act::Key, 1000, 9, 8, true, 0},
      {"confirm with a selection", 5, 8, 0, 2, 0, 0, Act::Key, 3006, 2, 0, true, 1},
      {"confirm without a selection", 5, 8, 0, kNone, 0, 0, Act::Key, 3006, kNone, 0, false, kSame},
      {"another key", 5, 8, 0, 2, 0, 0, Act::Key, 1004, 2, 0, false, kSame},
      {"an empty list: up", 0, 8, 0, kNone, 0, 0, Act::Key, 1000, kNone, 0, false, kSame},
      {"an empty list: down", 0, 8, 0, kNone, 0, 0, Act::Key, 1002, kNone, 0, false, kSame},
      {"an empty list: confirm", 0, 8, 0, kNone, 0, 0, Act::Key, 3006, kNone, 0, false, kSame},
      {"an empty list: page down", 0, 8, 0, kNone, 0, 0, Act::PageDown, 0, kNone, 0, false, kSame},
      {"page down on the first page", 10, 8, 0, 3, 0, 0, Act::PageDown, 0, 8, 8, true, kSame},
      {"page down on the last page", 10, 8, 0, 9, 0, 0, Act::PageDown, 0, 9, 8, false, kSame},
      {"page down with exactly one page", 8, 8, 0, 2, 0, 0, Act::PageDown, 0, 2, 0, false, kSame},
      {"page down to a third page", 20, 8, 0, 9, 0, 0, Act::PageDown, 0, 16, 16, true, kSame},
      {"page up on the first page", 10, 8, 0, 3, 0, 0, Act::PageUp, 0, 3, 0, false, kSame},
      {"page up from the last page", 10, 8, 0, 9, 0, 0, Act::PageUp, 0, 0, 0, true, kSame},
      {"pen down on another row moves", 5, 8, 0, 0, 0, 0, Act::PenDown, 2, 2, 0, true, 0},
      {"pen sliding onto a row moves", 5, 8, 0, 2, 0, 0, Act::PenMove, 3, 3, 0, true, 0},
      {"pen lifted on another row confirms it", 5, 8, 0, 0, 0, 0, Act::PenUp, 3, 3, 0, true, 1},
      {"pen down on the selected row", 5, 8, 0, 2, 0, 0, Act::PenDown, 2, 2, 0, false, kSame},
      {"pen lifted on the selected row", 5, 8, 0, 2, 0, 0, Act::PenUp, 2, 2, 0, false, kSame},
      {"pen lifted on the selected row, second tap", 5, 8, 0, 2, 0, 1, Act::PenUp, 2, 2, 0, true, 1},
      {"pen on the second page", 10, 8, 0, 8, 0, 0, Act::PenDown, 1, 9, 8, true, 0},
      {"pen below the rows", 5, 8, 0, 2, 0, 0, Act::PenDown, 6, 2, 0, false, kSame},
      {"pen below the rows, deselect outside", 5, 8, 0, 2, 1, 0, Act::PenDown, 6, kNone, 0, true, -1},
      {"a part row cannot be tapped", 5, 2, 4, 0, 0, 0, Act::PenDown, 2, 0, 0, false, kSame},
  };
  for (const Case& c : cases) {
    ListRig r(c.rows, c.pageRows, c.extraPixels);
    SDialogListCtrl& l = r.list;
    l.deselectOutside = c.deselectOutside;
    l.confirmBySecondTap = c.secondTap;
    l.Select(c.selectedBefore);
    l.lastAction = 55;
    u32 got = 0;
    switch (c.act) {
      case Act::Key: got = l.OnKey(u32(c.value)); break;
      case Act::PenDown: got = l.OnPen(kX + 5, r.RowY(c.value), 1, 0); break;
      case Act::PenMove: got = l.OnPen(kX + 5, r.RowY(c.value), 1, 1); break;
      case Act::PenUp: got = l.OnPen(kX + 5, r.RowY(c.value), 0, 0); break;
      case Act::PageUp: got = l.PageUp() ? kListId : 0; break;
      case Act::PageDown: got = l.PageDown() ? kListId : 0; break;
    }
    EXPECT_EQ(got, c.reported ? kListId : 0u) << c.name;
    EXPECT_EQ(l.selected, c.selected) << c.name;
    EXPECT_EQ(l.firstRow, c.firstRow) << c.name;
    EXPECT_EQ(l.lastAction, c.lastAction == kSame ? 55 : c.lastAction) << c.name;
    EXPECT_EQ(l.firstRow % l.PageSize(), 0) << c.name;
  }
}

TEST(ListControl, SelectionsStayOnTheRows) {
  ListRig r(10, 8);
  SDialogListCtrl& l = r.list;
  l.SelectByCode(104);
  EXPECT_EQ(l.selected, 4);
  l.SelectByCode(999);
  EXPECT_EQ(l.selected, 0) << "an unknown code selects the first row";
  l.SelectByKey("k9");
  EXPECT_EQ(l.selected, 9);
  EXPECT_EQ(l.firstRow, 8);
  EXPECT_STREQ(l.SelectedKeyText(), "k9");
  EXPECT_STREQ(l.SelectedText(), "Row 9");
  EXPECT_EQ(l.SelectedCode(), 109u);
  l.Select(42);
  EXPECT_EQ(l.selected, 9) << "past the rows: the last";
  l.Select(-1);
  EXPECT_EQ(l.selected, -1);
  EXPECT_EQ(l.SelectedCode(), 0u);
  EXPECT_STREQ(l.SelectedText(), "");
  EXPECT_STREQ(l.SelectedKeyText(), "");

  // Ten rows laid out make a page of eight, sized to the widest text.
  l.LayoutRows(200);
  EXPECT_EQ(l.rowsPerPage, 8);
  EXPECT_EQ(l.height, 8 * r.h);
  i32 widest = 0;
  for (const SListRow& row : l.rows) {
    i32 w = 0, lines = 0;
    r.rig.core.font->MeasureText(row.text.CStr(), 200, &w, &lines);
    widest = std::max(widest, w);
  }
  EXPECT_EQ(l.width, widest + 10);
  EXPECT_EQ(l.selected, 0);

  // Cleared, every selection is none and every read is safe.
  l.Clear();
  for (auto select :
       {+[](SDialogListCtrl& c) { c.SelectByCode(100); }, +[](SDialogListCtrl& c) { c.SelectByKey("k0"); },
        +[](SDialogListCtrl& c) { c.Select(3); }, +[](SDialogListCtrl& c) { c.ResetView(false); },
        +[](SDialogListCtrl& c) { c.LayoutRows(100); }}) {
    select(l);
    EXPECT_EQ(l.selected, -1);
    EXPECT_EQ(l.firstRow, 0);
    EXPECT_EQ(l.SelectedCode(), 0u);
    EXPECT_STREQ(l.SelectedKeyText(), "");
  }
  // A kept selection past the rows becomes the first row.
  ListRig kept(6, 8);
  kept.list.selected = 5;
  kept.list.rows.Clear();
  kept.list.AddRow(1, "only");
  kept.list.ResetView(true);
  EXPECT_EQ(kept.list.selected, 0);
}

// Before SetFont the row height is 0: nothing is under the pen, a page is one row, and nothing divides by
// zero.
TEST(ListControl, AControlBeforeSetFont) {
  CoreRig rig;
  SDialog owner;
  owner.Attach(&rig.core);
  SDialogListCtrl l;
  l.Attach(&owner);
  l.id = kListId;
  l.flags = SCtrl::kPlaced;
  l.SetRect(0, 0, 100, 100);
  for (u32 i = 0; i < 10; ++i) l.AddRow(i, "row");
  EXPECT_EQ(l.rowHeight, 0);
  l.ResetView(false);
  EXPECT_EQ(l.rowsPerPage, 1);
  EXPECT_EQ(l.OnPen(10, 10, 1, 0), 0u);
  l.Select(5);
  EXPECT_EQ(l.firstRow, 5);
  EXPECT_EQ(l.OnKey(1002), kListId);
  EXPECT_EQ(l.selected, 6);
  EXPECT_TRUE(l.PageDown());
  EXPECT_EQ(l.selected, 7);
  l.rowsPerPage = 0;  // as the constructor leaves it
  l.ShowSelection();
  EXPECT_EQ(l.firstRow, 7);
  l.LayoutRows(100);
  EXPECT_EQ(l.height, 0);
  l.Paint();  // no font, no screen: nothing happens
}

// The list dialog around a list of `rows` rows, 120 pixels wide.
struct ChoiceRig {
  ChoiceRig(i32 rows, i32 mode = 10, u16 w = 480, u16 h = 640, i32 listWidth = 120) : rig(mode, w, h) {
    box.Attach(&rig.core);
    list.Attach(&box);
    list.SetFont(1, 0x161616, 0xB0D0E0, nullptr);
    list.SetOwnHighlight();
    for (i32 i = 0; i < rows; ++i) {
      const std::string n = std::to_string(i + 1);
      list.AddRowWithKey(("choice" + n).c_str(), ("Choice " + n).c_str(), 0);
    }
    list.LayoutRows(listWidth);
    list.width = u16(listWidth);
    box.Create(&list);
  }
  UiRig rig;
  SDialogList box;
  SDialogListCtrl list;
};

TEST(ListDialog, ResultsAndScrollButtons) {
  {
    ChoiceRig r(5);
    r.list.Select(2);
    EXPECT_EQ(r.box.OnCommand(SDialogList::kOk), SDialogList::kOk);
    EXPECT_STREQ(r.box.result.CStr(), "choice3");
    r.list.Select(-1);
    EXPECT_EQ(r.box.OnCommand(SDialogList::kOk), SDialogList::kOk);
    EXPECT_STREQ(r.box.result.CStr(), "") << "Ok without a selection";
    r.list.Select(1);
    EXPECT_EQ(r.box.OnCommand(SDialogList::kCancel), SDialogList::kCancel);
    EXPECT_STREQ(r.box.result.CStr(), "");
  }
  for (i32 rows : {8, 9}) {
    ChoiceRig r(rows);
    const bool shown = rows > 8;
    EXPECT_EQ(r.box.scrollShown, shown ? 1u : 0u) << rows;
    EXPECT_EQ(r.box.controls.IndexOf(&r.box.up) >= 0, shown) << rows;
    EXPECT_EQ(r.box.controls.IndexOf(&r.box.down) >= 0, shown) << rows;
    EXPECT_EQ(r.box.controls.Count(), shown ? 6 : 4) << rows;
    if (!shown) continue;
    const SDialogListCtrl& l = r.list;
    EXPECT_EQ(r.box.up.left, l.left + l.width + 5);
    EXPECT_EQ(r.box.up.top, l.top);
    EXPECT_EQ(r.box.down.top, l.top + l.height - 12);
    EXPECT_EQ(r.box.down.width, 20);
    EXPECT_EQ(r.box.down.height, 12);
  }

  // Up on the first page and down on the last change nothing; the buttons reached through the pen page
  // the list.
  ChoiceRig r(12);
  SDialogListCtrl& l = r.list;
  l.Select(3);
  EXPECT_EQ(r.box.OnCommand(SDialogList::kScrollUp), 0u);
  EXPECT_EQ(l.selected, 3);
  EXPECT_EQ(l.firstRow, 0);
  ++r.rig.core.frameCounter;  // past the frame the box opened in
  const i32 dx = r.box.down.left + 5, dy = r.box.down.top + 5;
  EXPECT_EQ(r.box.OnPen(dx, dy, 1, 0), 0u);
  EXPECT_EQ(r.box.OnPen(dx, dy, 0, 0), 0u);
  EXPECT_EQ(l.firstRow, 8);
  EXPECT_EQ(l.selected, 8);
  EXPECT_EQ(r.box.OnCommand(SDialogList::kScrollDown), 0u);
  EXPECT_EQ(l.firstRow, 8);
  EXPECT_EQ(l.selected, 8);
  EXPECT_EQ(r.box.OnCommand(SDialogList::kScrollUp), 0u);
  EXPECT_EQ(l.firstRow, 0);
  EXPECT_EQ(l.selected, 0);
}

TEST(ListDialog, WidthOfAWrappingPromptAndPlaceOnTheScreen) {
  UiRig probe(10, 480, 640);
  probe.core.font->Select(1, 0, 0);
  const i32 promptWidth = probe.core.font->TextWidth("What do you want?");
  const i32 glyph = probe.core.font->LineHeight();

  // A narrow list: the prompt would wrap, so the list and the box take the prompt's width.
  ChoiceRig narrow(3, 10, 480, 640, 80);
  EXPECT_EQ(narrow.list.width, promptWidth + 1);
  EXPECT_EQ(narrow.box.width, std::max(promptWidth + 1 + 100, 180));
  EXPECT_EQ(narrow.box.prompt.height, glyph + glyph / 2);
  // A wide one keeps its width.
  ChoiceRig wide(3, 10, 480, 640, 260);
  EXPECT_EQ(wide.list.width, 260);
  EXPECT_EQ(wide.box.width, 360);
  // Where the box fits, it stands where the fixed formula puts it.
  EXPECT_EQ(wide.box.left, (380 - 360) / 2);
  EXPECT_EQ(wide.box.top, (320 - wide.box.height) / 3);
  EXPECT_EQ(wide.list.left, wide.box.left + 50);
  EXPECT_EQ(wide.box.ok.top, wide.box.top + wide.box.height - 70);

  // Moved onto the small screens, wholly.
  const struct {
    i32 mode;
    u16 w, h;
    i32 rows, listWidth;
  } screens[] = {{7, 240, 320, 9, 120}, {6, 320, 240, 8, 120}, {8, 240, 240, 9, 200}};
  for (const auto& s : screens) {
    ChoiceRig r(s.rows, s.mode, s.w, s.h, s.listWidth);
    const SDialogList& b = r.box;
    EXPECT_TRUE((380 - b.width) / 2 + b.width > s.w || (320 - b.height) / 3 + b.height > s.h)
        << "the fixed formula alone would cut the box off, mode " << s.mode;
    EXPECT_GE(b.left, 0) << s.mode;
    EXPECT_GE(b.top, 0) << s.mode;
    if (b.width <= s.w) {
      EXPECT_LE(b.left + b.width, s.w) << s.mode;
    }
    if (b.height <= s.h) {
      EXPECT_LE(b.top + b.height, s.h) << s.mode;
    }
    EXPECT_EQ(r.list.left, b.left + 50) << s.mode;
    EXPECT_EQ(b.cancel.left, b.ok.left + b.ok.width + 3) << "the compact gap, mode " << s.mode;
  }
}

}  // namespace
