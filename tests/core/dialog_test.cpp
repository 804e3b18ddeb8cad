// The dialog base: routing of keys, pen and ticks to an open child or to the controls, the pen guard,
// command codes, incremental painting, and the control list.
#include "CoreRig.h"

#include "graphics/SImage.h"

#include <functional>
#include <initializer_list>

namespace {

constexpr u8 kAll = SCtrl::kInputKeys | SCtrl::kInputPen | SCtrl::kInputTick;

struct DialogRig : CoreRig {
  DialogRig() : CoreRig(7, 32, 24) {
    dialog.Attach(&core);
    child.Attach(&core);
    for (LogCtrl* c : {&a, &b, &c3}) c->Attach(&dialog);
    core.frameCounter = 10;
    dialog.ResetInputGuard();
    child.ResetInputGuard();
    core.frameCounter = 11;  // a later frame: the pen is taken
  }
  // Adds clean controls: only what a handler changes is painted afterwards.
  static void Add(SDialog& d, std::initializer_list<SCtrl*> list) {
    for (SCtrl* c : list) {
      d.AddControl(c);
      c->ClearDirty();
    }
  }
  EventLog log;
  LogDialog dialog{"dialog", &log};
  LogDialog child{"child", &log};
  LogCtrl a{"a", &log, 5}, b{"b", &log, 0}, c3{"c", &log, 7};
};

TEST(Dialog, RoutesInputToTheChildOrTheControlsLastAddedFirst) {
  struct Case {
    const char* name;
    std::function<u32(DialogRig&)> run;
    const char* log;
    u32 result;
  } cases[] = {
      {"no controls", [](DialogRig& r) { return r.dialog.OnKey(1) | r.dialog.OnTick(1, nullptr); }, "", 0},
      {"the last added control asks first; the first code wins",
       [](DialogRig& r) {
         r.dialog.result = 40;
         DialogRig::Add(r.dialog, {&r.a, &r.b, &r.c3});
         return r.dialog.OnKey(1);
       },
       "c key; dialog command 7", 40},
      {"controls answering 0 pass the input on",
       [](DialogRig& r) {
         DialogRig::Add(r.dialog, {&r.a, &r.b, &r.c3});
         r.c3.code = 0;
         return r.dialog.OnTick(1, nullptr);
       },
       "c tick; b tick; a tick; dialog command 5", 0},
      {"a command above 0xFFFF arrives as its low 16 bits",
       [](DialogRig& r) {
         DialogRig::Add(r.dialog, {&r.a});
         r.a.code = 0x12345;
         return r.dialog.OnKey(1);
       },
       "a key; dialog command 9029", 0},
      {"an open child takes all input; its result comes back unchanged",
       [](DialogRig& r) {
         DialogRig::Add(r.dialog, {&r.a});
         r.b.Attach(&r.child);
         r.b.code = 3;
         DialogRig::Add(r.child, {&r.b});
         r.child.result = 77;
         r.dialog.OpenChild(&r.child);
         r.dialog.paints = 0;
         const u32 got = r.dialog.OnKey(1) + r.dialog.OnPen(1, 1, 1, 0) + r.dialog.OnTick(1, nullptr);
         EXPECT_EQ(r.dialog.paints, 0);
         return got;
       },
       // Opening asked the child for a full repaint, which its first input brings.
       "b key; b paint; child command 3; b pen; child command 3; b tick; child command 3", 231},
      {"input mask bits choose the kinds of input",
       [](DialogRig& r) {
         r.a.inputMask = SCtrl::kInputPen;
         r.b.inputMask = 0;
         r.c3.inputMask = SCtrl::kInputKeys;
         r.c3.code = 0;
         DialogRig::Add(r.dialog, {&r.a, &r.b, &r.c3});
         r.dialog.OnKey(1);
         r.dialog.OnTick(1, nullptr);
         return r.dialog.OnPen(1, 1, 1, 0);
       },
       "c key; a pen; dialog command 5", 0},
      {"hidden controls and controls outside the dialog are not asked",
       [](DialogRig& r) {
         DialogRig::Add(r.dialog, {&r.a, &r.b, &r.c3});
         r.c3.Hide();
         r.b.flags &= u16(~SCtrl::kInDialog);
         r.b.MarkDirty();  // not painted either: it is not in the dialog
         r.a.code = 0;
         return r.dialog.OnKey(1) | r.dialog.OnPen(1, 1, 1, 0) | r.dialog.OnTick(1, nullptr);
       },
       "a key; a paint; a pen; a tick", 0},  // hiding asked for a full repaint
      {"a disabled control gets keys and ticks, never the pen",
       [](DialogRig& r) {
         DialogRig::Add(r.dialog, {&r.a});
         r.a.Disable();
         r.a.ClearDirty();
         r.a.code = 0;
         return r.dialog.OnKey(1) | r.dialog.OnPen(1, 1, 1, 0) | r.dialog.OnTick(1, nullptr);
       },
       "a key; a tick", 0},
  };
  for (const Case& c : cases) {
    DialogRig r;
    EXPECT_EQ(c.run(r), c.result) << c.name;
    EXPECT_EQ(r.log.Take(), c.log) << c.name;
  }
}

TEST(Dialog, PenGuardDropsTheOpeningFrameAndStrayMovesAndLifts) {
  struct Step {
    u32 frame, touching, moving;
    bool taken;
  };
  const struct Case {
    const char* name;
    std::vector<Step> steps;
  } cases[] = {
      {"a down in the opening frame is dropped, the next frame's taken", {{10, 1, 0, false}, {11, 1, 0, true}}},
      {"moves and lifts wait for a down",
       {{11, 1, 1, false}, {11, 0, 0, false}, {12, 1, 0, true}, {12, 1, 1, true}, {13, 0, 0, true}, {14, 1, 1, true}}},
  };
  for (const Case& c : cases) {
    DialogRig r;
    DialogRig::Add(r.dialog, {&r.a});
    r.a.code = 0;
    // The guard comes before the child: a child opened on this dialog is asked only for taken events.
    r.b.Attach(&r.child);
    DialogRig::Add(r.child, {&r.b});
    r.dialog.OpenChild(&r.child);
    r.child.ClearFullRepaint();
    for (const Step& s : c.steps) {
      r.core.frameCounter = s.frame;
      r.dialog.OnPen(1, 1, s.touching, s.moving);
      EXPECT_EQ(r.log.Take(), s.taken ? "b pen" : "") << c.name << " frame " << s.frame;
    }
  }
  // Closing a child resets the guard: the pen-up that closed it is not taken by the opener.
  DialogRig r;
  r.dialog.AddControl(&r.a);
  r.dialog.OnPen(1, 1, 1, 0);
  r.dialog.CloseChild();
  r.log.Take();
  EXPECT_EQ(r.dialog.OnPen(1, 1, 0, 0), 0u);
  EXPECT_EQ(r.log.Take(), "");
  EXPECT_EQ(r.dialog.FilterPen(1, 0), 1u);  // still the frame it was reopened in
  r.core.frameCounter++;
  EXPECT_EQ(r.dialog.FilterPen(0, 0), 1u);
  EXPECT_EQ(r.dialog.FilterPen(1, 0), 0u);
  EXPECT_EQ(r.dialog.FilterPen(0, 0), 0u);
}

TEST(Dialog, RepaintsAgainAfterACommandWhenItOrItsParentIsTheCurrentState) {
  for (bool parentCurrent : {false, true}) {
    DialogRig r;
    SState state;
    state.Attach(&r.core);
    r.core.currentState = &state;
    if (parentCurrent) state.OpenChild(&r.dialog);
    r.dialog.AddControl(&r.a);
    r.dialog.paints = 0;
    r.dialog.OnKey(1);
    EXPECT_EQ(r.dialog.paints, parentCurrent ? 2 : 1);
    r.dialog.paints = 0;
    r.dialog.OnPen(1, 1, 1, 0);
    EXPECT_EQ(r.dialog.paints, parentCurrent ? 2 : 1);
    r.dialog.paints = 0;
    r.dialog.OnTick(1, nullptr);
    EXPECT_EQ(r.dialog.paints, 1) << "a tick never repaints twice";
  }
  // The dialog is itself the current state.
  DialogRig r;
  LogState s;
  s.log = &r.log;
  s.name = "s";
  s.Attach(&r.core);
  LogCtrl k("k", &r.log, 5, kAll);
  k.Attach(&s);
  s.AddControl(&k);
  r.core.currentState = &s;
  s.SState::OnKey(1);  // the dialog routing, not the test state's own answer
  EXPECT_EQ(r.log.Take(), "k key; s paint; s paint");
  s.SState::OnTick(1, nullptr);
  EXPECT_EQ(r.log.Take(), "k tick; s paint");
}

// A 1 x 1 picture of one colour, in aligned storage.
struct OnePixel {
  explicit OnePixel(u16 colour) {
    words[0] = 0;  // format 0
    words[1] = 1;  // width
    words[2] = 1;  // height
    words[3] = 0;
    words[4] = 0;  // pixel index 0, padded to even
    words[5] = colour;
  }
  const SImage* image() const { return SImage::FromRecord(words, sizeof words); }
  u16 words[6];
};

TEST(Dialog, PaintsBackgroundAndControlsInAddingOrderThenTheChild) {
  const u16 grey = MakeColor565(0xC8C8C8), picture = 0x1234;
  OnePixel tile(picture);
  ASSERT_NE(tile.image(), nullptr);
  struct Case {
    const char* name;
    std::function<void(DialogRig&)> run;
    const char* log;
    u16 inside;  // the pixel inside the dialog's rectangle afterwards
  } cases[] = {
      {"a full repaint: background, then every control in adding order",
       [](DialogRig& r) {
         r.dialog.backgroundColour = 0xC8C8C8;
         r.dialog.SetFullRepaint();
         r.dialog.Paint();
         EXPECT_FALSE(r.dialog.NeedsFullRepaint());
       },
       "a paint; b paint; c paint", grey},
      {"a background picture is tiled",
       [&tile](DialogRig& r) {
         r.dialog.SetBackgroundPicture(tile.image());
         r.dialog.SetFullRepaint();
         r.dialog.Paint();
       },
       "a paint; b paint; c paint", picture},
      {"a hidden background leaves the area alone",
       [](DialogRig& r) {
         r.dialog.backgroundColour = 0xC8C8C8;
         r.dialog.HideBackground();
         r.dialog.SetFullRepaint();
         r.dialog.Paint();
       },
       "a paint; b paint; c paint", 0xFFFF},
      {"a full repaint with a child: own controls, then the child, fully",
       [](DialogRig& r) {
         r.child.Paint();  // its control is clean now: only a full repaint paints it
         r.log.Take();
         r.dialog.OpenChild(&r.child);
         r.child.ClearFullRepaint();
         r.dialog.SetFullRepaint();
         r.dialog.Paint();
       },
       "a paint; b paint; c paint; x paint", 0},
      {"without a full repaint only dirty controls paint",
       [](DialogRig& r) {
         r.dialog.Paint();
         r.b.MarkDirty();
         r.c3.SetPressed(true);
         r.dialog.Paint();
       },
       "a paint; b paint; c paint; b paint; c paint", 0},
      {"with a child open, own dirty controls wait for it to close",
       [](DialogRig& r) {
         r.dialog.Paint();
         r.dialog.OpenChild(&r.child);
         r.child.Paint();
         r.a.MarkDirty();
         r.dialog.Paint();
         EXPECT_TRUE(r.a.IsDirty());
         r.dialog.CloseChild();
         r.dialog.Paint();
       },
       "a paint; b paint; c paint; x paint; a paint", 0},
      {"a changed control that leaves what lies beneath showing: that is repainted with it, cut to its "
       "rectangle and the reach of its edges, and so are the controls near it",
       [](DialogRig& r) {
         r.dialog.backgroundColour = 0xC8C8C8;
         r.dialog.SetFullRepaint();
         r.dialog.Paint();
         r.a.SetRect(4, 4, 8, 6);
         r.b.SetRect(5, 5, 1, 1);
         r.b.whole = false;
         r.c3.SetRect(20, 20, 2, 2);
         std::fill(r.pixels.begin(), r.pixels.end(), u16(0xFFFF));
         r.b.MarkDirty();
         r.dialog.Paint();
         EXPECT_EQ(r.Pixel(4, 4), MakeColor565(0xC8C8C8)) << "beneath it: the background";
         EXPECT_EQ(r.Pixel(9, 9), 0xFFFF) << "beyond the reach: left alone";
       },
       "a paint; b paint; c paint; a paint; b paint", 0},
      {"hidden controls are not painted, even fully",
       [](DialogRig& r) {
         r.b.Hide();
         r.dialog.SetFullRepaint();
         r.dialog.Paint();
       },
       "a paint; c paint", 0},
  };
  for (const Case& c : cases) {
    DialogRig r;
    std::fill(r.pixels.begin(), r.pixels.end(), u16(0xFFFF));
    r.dialog.SetPos(4, 4);
    r.dialog.width = 8;
    r.dialog.height = 6;
    for (SCtrl* k : {&r.a, &r.b, &r.c3}) r.dialog.AddControl(k);
    LogCtrl x("x", &r.log);
    x.Attach(&r.child);
    r.child.AddControl(&x);
    r.child.HideBackground();
    c.run(r);
    EXPECT_EQ(r.log.Take(), c.log) << c.name;
    if (c.inside) {
      EXPECT_EQ(r.Pixel(4, 4), c.inside) << c.name;
      EXPECT_EQ(r.Pixel(11, 9), c.inside) << c.name;
      EXPECT_EQ(r.Pixel(12, 9), 0xFFFF) << c.name << ": outside the rectangle";
    }
  }
}

TEST(Dialog, ControlListAddRemoveAndClear) {
  DialogRig r;
  r.a.flags = SCtrl::kPressed;
  EXPECT_TRUE(r.dialog.AddControl(&r.a));
  EXPECT_TRUE(r.dialog.AddControl(&r.a));  // listed once, flags set again
  EXPECT_EQ(r.dialog.controls.Count(), 1);
  EXPECT_EQ(r.a.flags, SCtrl::kPressed | SCtrl::kPlaced);

  r.dialog.AddControl(&r.b);
  r.dialog.ClearFullRepaint();
  r.dialog.RemoveControl(&r.c3);  // not listed: the list stays
  EXPECT_EQ(r.dialog.controls.Count(), 2);
  r.dialog.ClearFullRepaint();
  r.dialog.RemoveControl(&r.a);
  EXPECT_EQ(r.dialog.controls.Count(), 1);
  EXPECT_EQ(r.dialog.controls[0], &r.b);
  EXPECT_FALSE(r.a.IsShown());
  EXPECT_TRUE(r.dialog.NeedsFullRepaint());

  // Clearing hides every control and asks the owner of each for a full repaint.
  LogDialog other("other", &r.log);
  r.c3.Attach(&other);
  r.dialog.AddControl(&r.c3);
  r.dialog.ClearFullRepaint();
  r.dialog.ClearControls();
  EXPECT_EQ(r.dialog.controls.Count(), 0);
  EXPECT_EQ(r.dialog.controls.Capacity(), 4);
  EXPECT_FALSE(r.b.IsShown());
  EXPECT_FALSE(r.c3.IsShown());
  EXPECT_TRUE(other.NeedsFullRepaint());
  EXPECT_TRUE(r.dialog.NeedsFullRepaint());
  EXPECT_TRUE(r.b.IsInDialog());  // only shown goes

  r.dialog.AddControl(&r.a);
  r.dialog.AddControl(&r.b);
  r.a.ClearDirty();
  r.b.ClearDirty();
  r.dialog.MarkAllDirty();
  EXPECT_TRUE(r.a.IsDirty() && r.b.IsDirty());
}

TEST(Dialog, TakesItsSizeFromTheLayoutAndCentres) {
  CoreRig rig(7, 240, 320);
  ASSERT_TRUE(rig.LoadSampleLayouts());
  SDialog d;
  d.Attach(&rig.core);
  u32 w = 0, h = 0;
  rig.core.GetLayoutSize(17, w, h);
  d.SetLayout(17);
  EXPECT_EQ(d.layoutId, 17u);
  EXPECT_EQ(d.width, i32(w));
  EXPECT_EQ(d.height, i32(h));
  d.CenterOnScreen();
  EXPECT_EQ(d.left, (240 - i32(w)) / 2);
  EXPECT_EQ(d.top, (320 - i32(h)) / 2);
  // An absent layout leaves the size as it was.
  d.width = 245;
  d.height = 11;
  d.SetLayout(9999);
  EXPECT_EQ(d.width, 245);
  d.CenterOnScreen();
  EXPECT_EQ(d.left, -2);  // truncated toward zero
  // Centred in the 3D view rectangle.
  SWorldView& view = rig.core.display->View();
  view.viewX = 10;
  view.viewY = 20;
  view.viewWidth = 100;
  view.viewHeight = 50;
  d.width = 40;
  d.height = 10;
  d.CenterInView();
  EXPECT_EQ(d.left, 40);
  EXPECT_EQ(d.top, 40);
}

}  // namespace
