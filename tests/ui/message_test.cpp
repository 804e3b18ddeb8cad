// The paged text control and the message box: how texts are cut into lines, how pages pass, the box's
// layout numbers on each family of screens, and its keys, pen, clicks and results.
#include "UiRig.h"
#include "core/ui/SDialogMessage.h"
#include "core/ui/SDialogTextCtrl.h"

#include <string>
#include <vector>

namespace {

std::vector<std::string> Waiting(const SDialogTextCtrl& t) {
  std::vector<std::string> lines;
  for (u32 i = t.firstWaiting; i < t.waiting.Count(); ++i) lines.push_back(t.waiting[i].text.CStr());
  return lines;
}

std::vector<std::string> Page(const SDialogTextCtrl& t) {
  std::vector<std::string> rows;
  for (u32 i = 0; i < t.page.Count(); ++i) rows.push_back(t.page[i].text.CStr());
  return rows;
}

// A text control of `rows` rows, 200 pixels wide, in a dialog of the rig's core.
struct TextRig {
  TextRig(i32 mode, i32 rows) : rig(mode, mode == 7 ? 240 : 480, mode == 7 ? 320 : 640) {
    owner.Attach(&rig.core);
    text.Attach(&owner);
    rig.core.font->Select(1, 0, 0);
    text.SetRect(10, 10, 200, u16(rows * (rig.core.font->LineHeight() + 1)));
    text.SetStyle(1, 0x161616, 0x161616, 0x285050, 0x94D6E7, nullptr);
    text.bulletMargin = 0;
  }
  UiRig rig;
  SDialog owner;
  SDialogTextCtrl text;
};

TEST(PagedText, LinesAreCutAtBlanksAndBreaks) {
  TextRig r(7, 4);
  ASSERT_TRUE(r.rig.ready);
  const std::string wide(60, 'W');
  const struct {
    std::string text;
    std::vector<std::string> lines;
  } cases[] = {
      {"", {}},
      {"\r\r\rword", {"", "word"}},    // leading breaks: one empty line for all of them
      {"one\r\rtwo", {"one", "two"}},  // two breaks between words: no empty line
      {"one\n\ttwo", {"one", "two"}},
      {"a " + wide + " b c\rd", {"a", wide + " b c\rd"}},  // a word wider than the line takes the rest
  };
  for (const auto& c : cases) {
    r.text.Clear();
    r.rig.core.font->Select(1, 0, 0);
    r.text.AddText(c.text.c_str(), 2, 1);
    std::vector<std::string> got = Waiting(r.text);
    EXPECT_EQ(got, c.lines) << c.text;
    if (!got.empty()) {
      EXPECT_EQ(r.text.waiting[r.text.firstWaiting].bullet, 1u);
      EXPECT_EQ(r.text.waiting[r.text.waiting.Count() - 1].bullet, got.size() == 1 ? 1u : 0u);
    }
  }
  // A long text: every line fits the width and the words are kept in order, one blank between lines.
  const std::string text = "the quick brown fox jumps over the lazy dog and runs far away across the fields";
  r.text.Clear();
  r.text.AddText(text.c_str(), 0, 0);
  std::string joined;
  for (const std::string& l : Waiting(r.text)) {
    EXPECT_LT(r.rig.core.font->TextWidth(l.c_str()), 200) << l;
    joined += (joined.empty() ? "" : " ") + l;
  }
  EXPECT_GT(r.text.WaitingCount(), 1u);
  EXPECT_EQ(joined, text);
}

TEST(PagedText, PageModeShowsAPageAtATime) {
  TextRig r(7, 4);
  ASSERT_TRUE(r.rig.ready);
  r.text.pageMode = 1;
  r.text.centred = 1;
  // Exactly N lines: all shown in one pass, nothing waits.
  r.text.AddText("1\r2\r3\r4", 0, 0);
  r.text.Paint();
  EXPECT_EQ(Page(r.text), (std::vector<std::string>{"1", "2", "3", "4"}));
  EXPECT_FALSE(r.text.HasWaitingLines());
  EXPECT_EQ(r.text.linesShown, 0);

  // N + 3: the first paint fills the page and keeps 3 waiting; paints only redraw until the count is
  // reset; then the rest scroll in a row per line.
  r.text.SetStyle(1, 0, 0, 0, 0, nullptr);
  r.text.pageMode = 1;
  r.text.AddText("1\r2\r3\r4\r5\r6\r7", 0, 0);
  r.text.Paint();
  EXPECT_EQ(Page(r.text), (std::vector<std::string>{"1", "2", "3", "4"}));
  EXPECT_EQ(r.text.WaitingCount(), 3u);
  r.text.Paint();
  EXPECT_EQ(r.text.WaitingCount(), 3u);
  r.text.linesShown = 0;
  r.text.Paint();
  EXPECT_EQ(Page(r.text), (std::vector<std::string>{"4", "5", "6", "7"}));
  EXPECT_FALSE(r.text.HasWaitingLines());
  EXPECT_EQ(r.rig.clock.ElapsedMilliseconds(), 0u) << "page mode never waits";
}

TEST(PagedText, LineByLineScrollWaitsAndEndsWithAnEmptyLastRow) {
  for (i32 mode : {7, 10}) {
    TextRig r(mode, 4);
    ASSERT_TRUE(r.rig.ready);
    r.text.AddText("1\r2\r3\r4", 0, 0);
    r.text.Paint();
    const bool compact = mode == 7;
    // 100 ms after each line but the last; on the larger screens a last scroll after 50 ms more.
    EXPECT_EQ(r.rig.clock.ElapsedMilliseconds(), compact ? 300u : 350u);
    EXPECT_EQ(Page(r.text),
              compact ? (std::vector<std::string>{"1", "2", "3", "4"}) : (std::vector<std::string>{"2", "3", "4", ""}));
    // Six lines on four rows: the pass stops with a page of four and "..." in the row above the write row.
    TextRig s(mode, 4);
    s.text.AddText("1\r2\r3\r4\r5\r6", 0, 0);
    s.text.Paint();
    EXPECT_EQ(Page(s.text), (std::vector<std::string>{"2", "3", "4", "..."}));
    EXPECT_EQ(s.text.WaitingCount(), 2u);
  }
}

TEST(PagedText, RowsNeverRunPastThePage) {
  // A control lower than one row, and a grown page: lines are taken, nothing is written outside the rows.
  TextRig r(10, 0);
  ASSERT_TRUE(r.rig.ready);
  r.text.pageMode = 1;
  r.text.AddText("1\r2", 0, 0);
  r.text.Paint();
  EXPECT_TRUE(Page(r.text).empty());
  TextRig g(10, 2);
  g.text.growPage = 1;
  g.text.AddText("1\r2\r3\r4\r5", 0, 0);
  g.text.Paint();
  g.text.linesShown = 0;
  g.text.Paint();
  EXPECT_EQ(g.text.page.Count(), 2u);
}

// A message box over an owner that logs the commands it receives.
struct BoxRig {
  BoxRig(i32 mode, u16 w, u16 h) : rig(mode, w, h), owner("owner", &log) {
    owner.Attach(&rig.core);
    rig.LogClicks(&log);
  }
  void Setup(const char* text, u32 mask) { rig.core.SetupMessageBox(text, mask, &text_, &box, &owner); }
  void Show(const char* text, u32 mask) {
    rig.core.ShowMessageBox(text, mask, &text_, &box, &owner);
    box.Paint();
  }
  i32 Glyph() {
    rig.core.font->Select(1, 0, 0);
    return rig.core.font->LineHeight();
  }
  UiRig rig;
  EventLog log;
  LogDialog owner;
  SDialogTextCtrl text_;
  SDialogMessage box;
};

TEST(MessageBox, LayoutNumbersOfEachFamily) {
  const struct Case {
    const char* name;
    i32 mode;
    u16 w, h;
    const char* text;
    u32 mask;
    i32 lines;       // after the cap
    i32 height;      // 0: from the lines, no minimum
    i32 textTop;     // from the box's top
    i32 buttonDrop;  // y offset of the buttons: text height + margin (+ 4 compact)
  } cases[] = {
      {"compact, one line and a button", 7, 240, 320, "Hi", 1, 1, 0, 34, 4},
      {"compact, no buttons, raised to the minimum, 10 pixels lower", 7, 240, 320, "Hi", 0, 1, 100,
       34 + (100 - (16 + 73)) / 2 + 10, 0},
      {"compact, two lines", 7, 240, 320, "Hi\rthere", 1, 2, 0, 34, 4},
      {"compact, capped at 8 lines", 7, 240, 320, "1\r2\r3\r4\r5\r6\r7\r8\r9\r10\r11\r12", 1, 8, 0, 34, 4},
      {"240 x 240: capped at 6 lines", 8, 240, 240, "1\r2\r3\r4\r5\r6\r7\r8\r9\r10\r11\r12", 1, 6, 0, 34, 4},
      {"large, one line and a button", 10, 480, 640, "Hi", 1, 1, 0, 50, 0},
      {"large, no buttons, raised", 10, 480, 640, "Hi", 0, 1, 154, 50 + (154 - (27 + 105)) / 2 + 10, 0},
      {"large, capped at 10 lines", 10, 480, 640, "1\r2\r3\r4\r5\r6\r7\r8\r9\r10\r11\r12", 4 | 8, 10, 0, 50, 0},
      {"480 x 480, two buttons, raised", 11, 480, 480, "Hi", 4 | 8, 1, 154, 0, 0},
  };
  for (const Case& c : cases) {
    BoxRig r(c.mode, c.w, c.h);
    ASSERT_TRUE(r.rig.ready) << c.name;
    r.Setup(c.text, c.mask);
    const bool compact = c.mode == 7 || c.mode == 8;
    const i32 g = r.Glyph() + 1, m = compact ? 34 : 50, s = compact ? 20 : 24;
    const i32 natural = (c.lines + (c.mask ? 1 : 0)) * g + 2 * m + 5;
    const i32 height = c.height ? c.height : natural;
    EXPECT_EQ(r.box.height, height) << c.name;
    // Short texts: the buttons' row (with its margin) or the least width, 180, sets the width.
    const i32 large = c.mode == 7 || c.mode == 8 ? 0 : 20;
    const i32 width = std::max(180, large + 2 * s + r.box.ButtonsWidth() + (compact ? 10 : 30));
    EXPECT_EQ(r.box.width, width) << c.name;
    EXPECT_EQ(r.box.left, (c.w - width) / 2) << c.name;
    EXPECT_EQ(r.box.top, (c.h - height) / 2) << c.name;
    const i32 textTop = c.textTop ? c.textTop : m + (height - natural) / (c.mask ? 4 : 2) + (c.lines == 1 ? 10 : 0);
    EXPECT_EQ(r.text_.top - r.box.top, textTop) << c.name;
    EXPECT_EQ(r.text_.left - r.box.left, s) << c.name;
    EXPECT_EQ(r.text_.width, width - 2 * s) << c.name;
    // Without buttons the text also takes the button row.
    const i32 textHeight = height - 2 * (m + 10) + (c.mask ? 0 : g);
    EXPECT_EQ(r.text_.height, textHeight) << c.name;
    EXPECT_EQ(r.text_.rowsPerPage, textHeight / g) << c.name;
    EXPECT_GE(r.text_.rowsPerPage, c.lines) << c.name;
    for (u32 i = 0; i < r.box.controls.Count(); ++i)
      EXPECT_EQ(r.box.controls.At(i)->top - r.box.top, textHeight + m + c.buttonDrop) << c.name;
    EXPECT_EQ(r.text_.pageMode, 1u);
    EXPECT_TRUE(r.box.IsOpeningTick());
  }
}

TEST(MessageBox, ButtonsInARowCentredWithTheModesGap) {
  for (i32 mode : {7, 10}) {
    BoxRig r(mode, mode == 7 ? 240 : 480, mode == 7 ? 320 : 640);
    r.Setup("Hi", SDialogMessage::kYes | SDialogMessage::kNo | SDialogMessage::kCancel);
    ASSERT_EQ(r.box.controls.Count(), 3u);
    // Code order: Cancel, Yes, No.
    const SCtrl* cancel = r.box.controls.At(0);
    const SCtrl* yes = r.box.controls.At(1);
    const SCtrl* no = r.box.controls.At(2);
    EXPECT_EQ(cancel, r.box.Button(SDialogMessage::kCancel));
    const i32 gap = mode == 7 ? 3 : 5;
    EXPECT_EQ(yes->left - (cancel->left + cancel->width), gap);
    EXPECT_EQ(no->left - (yes->left + yes->width), gap);
    EXPECT_EQ(r.box.ButtonsWidth(), cancel->width + yes->width + no->width + 2 * gap);
    const i32 slack = (r.box.left + r.box.width) - (no->left + no->width) - (cancel->left - r.box.left);
    EXPECT_NEAR(slack, 0, 1) << "the row is centred";
  }
}

TEST(MessageBox, CentredOnTheViewOrOnTheScreen) {
  BoxRig r(7, 240, 320);
  r.text_.Attach(&r.owner);
  r.box.Attach(&r.rig.core);
  r.rig.core.font->Select(1, 0, 0);
  r.text_.width = 192;
  r.text_.AddText("Hi", 1, 0);
  r.box.Setup(&r.text_, 1, 0);
  const SWorldView& view = r.rig.core.display->View();
  EXPECT_EQ(r.box.top, view.viewY + (view.viewHeight - r.box.height) / 2);
  // The 640 x 240 screen with the main menu current: a quarter of the screen further right.
  BoxRig wide(16, 640, 240);
  LogState menu;
  menu.log = &wide.log;
  wide.rig.core.states[kStateMain] = &menu;
  wide.rig.core.currentState = &menu;
  wide.Setup("Hi", 1);
  EXPECT_EQ(wide.box.left, (640 - 180) / 2 + 160);
  wide.rig.core.currentState = nullptr;
  wide.Setup("Hi", 1);
  EXPECT_EQ(wide.box.left, (640 - 180) / 2);
  wide.rig.core.states[kStateMain] = nullptr;
}

TEST(MessageBox, TextIsWrappedToFourFifthsOfTheGameView) {
  for (i32 mode : {7, 10}) {
    BoxRig r(mode, mode == 7 ? 240 : 480, mode == 7 ? 320 : 640);
    r.rig.core.font->Select(7, 0, 0);  // whatever the screen below selected last
    r.Setup(
        "The ferryman looks at you for a long while, then shakes his head and turns back to his nets by "
        "the water.",
        1);
    const i32 wrap = r.rig.core.display->View().viewWidth * 4 / 5;
    ASSERT_GT(r.text_.WaitingCount(), 1u);
    r.rig.core.font->Select(1, 0, 0);
    for (u32 i = r.text_.firstWaiting; i < r.text_.waiting.Count(); ++i)
      EXPECT_LE(r.rig.core.font->TextWidth(r.text_.waiting[i].text.CStr()), wrap) << i;
  }
}

TEST(MessageBox, LinesAreCutWithTheBoxsOwnFontWhateverWasSelectedBefore) {
  // Cut with a wider font, a line ends early although its next word would still fit in font 1.
  for (i32 before : {0, 2}) {
    BoxRig r(7, 240, 320);
    r.rig.core.font->Select(before, 0, 0);
    r.Setup(
        "The ferryman looks at you for a long while, then shakes his head and turns back to his nets by the "
        "water, where the reeds bend in the evening wind and the lanterns of the town are lit one by one.",
        1);
    const i32 wrap = r.rig.core.display->View().viewWidth * 4 / 5;
    ASSERT_GT(r.text_.WaitingCount(), 2u) << before;
    r.rig.core.font->Select(1, 0, 0);
    for (u32 i = r.text_.firstWaiting; i + 1 < r.text_.waiting.Count(); ++i) {
      std::string line = r.text_.waiting[i].text.CStr(), next = r.text_.waiting[i + 1].text.CStr();
      EXPECT_LE(r.rig.core.font->TextWidth(line.c_str()), wrap) << before << ": " << line;
      const std::string longer = line + " " + next.substr(0, next.find(' '));
      EXPECT_GE(r.rig.core.font->TextWidth(longer.c_str()), wrap) << before << ": " << line;
    }
  }
}

TEST(MessageBox, KeysPressTheDefaultButtons) {
  const struct Case {
    const char* name;
    u32 mask;
    u32 key;
    u32 result;
    const char* log;
  } cases[] = {
      {"confirm presses Yes", 4 | 8, 3006, 4, "click 2 at 10; owner command 4"},
      {"cancel presses No", 4 | 8, 3007, 8, "click 2 at 10; owner command 8"},
      {"confirm presses Ok before Yes", 1 | 4, 3006, 1, "click 2 at 10; owner command 1"},
      {"cancel presses Cancel before No", 2 | 8, 3007, 2, "click 2 at 10; owner command 2"},
      {"confirm on a box with only Cancel does nothing", 2, 3006, 0, ""},
      {"other keys do nothing", 1, 1000, 0, ""},
      {"no buttons: any key closes", 0, 1002, 0, "click 2 at 10; owner command 0"},
  };
  for (const Case& c : cases) {
    BoxRig r(7, 240, 320);
    r.owner.result = c.result;
    r.Show("Hi", c.mask);
    EXPECT_EQ(r.box.OnKey(c.key), 0u) << c.name << ": the frame of set-up is ignored";
    EXPECT_EQ(r.log.Take(), "") << c.name;
    ++r.rig.core.frameCounter;
    EXPECT_EQ(r.box.OnKey(c.key), c.result) << c.name;
    EXPECT_EQ(r.log.Take(), c.log) << c.name;
  }
}

TEST(MessageBox, WithoutAParentTheCodeIsTheResult) {
  for (const auto& [mask, key, result] : std::vector<std::tuple<u32, u32, u32>>{{0, 5, 1}, {4 | 8, 3007, 8}}) {
    BoxRig r(7, 240, 320);
    r.Setup("Hi", mask);
    r.box.parent = nullptr;
    ++r.rig.core.frameCounter;
    EXPECT_EQ(r.box.OnKey(key), result);
    EXPECT_EQ(r.log.Take(), "click 2 at 10");
    // A tap released inside a box without buttons closes it too; one outside does nothing.
    if (mask == 0) {
      const i32 x = r.box.left + 5, y = r.box.top + 5;
      EXPECT_EQ(r.box.OnPen(x, y, 0, 0), 0u) << "a lift before any pen-down";
      EXPECT_EQ(r.box.OnPen(x, y, 1, 0), 0u);
      EXPECT_EQ(r.box.OnPen(1, 1, 0, 0), 0u);
      EXPECT_EQ(r.box.OnPen(x, y, 1, 0), 0u);
      EXPECT_EQ(r.box.OnPen(x, y, 0, 0), 1u);
    }
  }
}

TEST(MessageBox, PenPressesItsButtonsAndContinuePages) {
  BoxRig r(7, 240, 320);
  r.owner.result = 77;
  r.Show("1\r2\r3\r4\r5\r6\r7\r8\r9\r10", 4 | 8);
  ASSERT_TRUE(r.box.IsListed(SDialogMessage::kContinue));
  EXPECT_EQ(r.box.controls.Count(), 1u) << "Continue alone while lines wait";
  const SCtrl* more = r.box.Button(SDialogMessage::kContinue);
  EXPECT_EQ(more->left, r.box.left + (r.box.width - more->width) / 2);
  const i32 x = more->left + 2, y = more->top + 2;
  EXPECT_EQ(r.box.OnPen(x, y, 1, 0), 0u) << "the frame of set-up";
  ++r.rig.core.frameCounter;
  EXPECT_EQ(r.box.OnPen(x, y, 1, 0), 0u);
  EXPECT_EQ(r.box.OnPen(x, y, 0, 0), 0u) << "Continue never reaches the owner";
  EXPECT_EQ(r.log.Take(), "click 1 at 10");
  EXPECT_FALSE(r.box.IsListed(SDialogMessage::kContinue));
  ASSERT_TRUE(r.box.IsListed(SDialogMessage::kYes));
  const SCtrl* no = r.box.Button(SDialogMessage::kNo);
  // Down on No, off it and up: nothing; down and up on it: the owner's answer.
  EXPECT_EQ(r.box.OnPen(no->left + 1, no->top + 1, 1, 0), 0u);
  EXPECT_EQ(r.box.OnPen(0, 0, 1, 1), 0u);
  EXPECT_EQ(r.box.OnPen(0, 0, 0, 0), 0u);
  EXPECT_EQ(r.log.Take(), "");
  EXPECT_EQ(r.box.OnPen(no->left + 1, no->top + 1, 1, 0), 0u);
  EXPECT_EQ(r.box.OnPen(no->left + 1, no->top + 1, 0, 0), 77u);
  EXPECT_EQ(r.log.Take(), "click 2 at 10; owner command 8");
}

}  // namespace
