// The control base: placing from present and missing layout entries, the flag setters, and a builder asking
// for a control its layout lacks.
#include "CoreRig.h"

namespace {

TEST(Control, PlacedFromALayoutEntryRelativeToItsOwner) {
  SDialog owner;
  owner.SetPos(30, 40);
  SCtrl c;
  c.Attach(&owner);
  c.flags = SCtrl::kPressed | SCtrl::kLatched;
  const SLayoutItem entry{550, 1, 2, 100, 50};
  c.PlaceFromLayout(&entry);
  EXPECT_EQ(c.flags, 0x36);  // dirty, enabled, shown, in dialog; pressed and latched cleared
  EXPECT_EQ(c.id, 550);
  EXPECT_EQ(c.left, 31);
  EXPECT_EQ(c.top, 42);
  EXPECT_EQ(c.width, 100);
  EXPECT_EQ(c.height, 50);

  // A missing entry: flags 0, and neither enabling nor showing makes it part of the dialog.
  c.PlaceFromLayout(nullptr);
  EXPECT_EQ(c.flags, 0);
  c.Enable(true);
  c.Show(true);
  EXPECT_TRUE(c.IsShown());
  EXPECT_FALSE(c.IsVisible());
  c.SetInDialog();
  EXPECT_TRUE(c.IsVisible());
}

TEST(Control, SettersMarkDirtyAndHidingRepaintsTheOwner) {
  struct Case {
    const char* name;
    void (*change)(SCtrl&);
    u16 before, after;
  } cases[] = {
      {"enable", [](SCtrl& c) { c.Enable(true); }, 0, SCtrl::kEnabled | SCtrl::kDirty},
      {"disable", [](SCtrl& c) { c.Disable(); }, SCtrl::kEnabled, SCtrl::kDirty},
      {"press", [](SCtrl& c) { c.SetPressed(true); }, 0, SCtrl::kPressed | SCtrl::kDirty},
      {"release", [](SCtrl& c) { c.Release(); }, SCtrl::kPressed, SCtrl::kDirty},
      {"latch", [](SCtrl& c) { c.SetLatched(true); }, 0, SCtrl::kLatched | SCtrl::kDirty},
      {"show", [](SCtrl& c) { c.Show(true); }, 0, SCtrl::kShown | SCtrl::kDirty},
      {"hide", [](SCtrl& c) { c.Hide(); }, SCtrl::kShown | SCtrl::kInDialog, SCtrl::kInDialog},
      {"clear dirty", [](SCtrl& c) { c.ClearDirty(); }, SCtrl::kDirty | SCtrl::kEnabled, SCtrl::kEnabled},
  };
  for (const Case& k : cases) {
    SCtrl alone;  // no owner: only the flags change
    alone.flags = k.before;
    k.change(alone);
    EXPECT_EQ(alone.flags, k.after) << k.name;
  }
  SDialog owner;
  SCtrl c;
  c.Attach(&owner);
  c.Show(true);
  EXPECT_FALSE(owner.NeedsFullRepaint());
  c.Hide();
  EXPECT_TRUE(owner.NeedsFullRepaint());
}

TEST(Control, ABuilderAskingForAnAbsentControlDrawsNothingAndTakesNoInput) {
  CoreRig rig(7, 240, 320);
  ASSERT_TRUE(rig.LoadSampleLayouts());
  EventLog log;
  LogDialog d("d", &log);
  d.Attach(&rig.core);
  d.SetLayout(SLayoutTable::kGameScreen);
  d.SetPos(5, 6);
  LogCtrl view("view", &log, 550), absent("absent", &log, 1);
  view.Attach(&d);
  absent.Attach(&d);
  absent.flags = SCtrl::kPressed;
  EXPECT_TRUE(d.AddLayoutControl(&view, SLayoutTable::kViewControl));
  EXPECT_FALSE(d.AddLayoutControl(&absent, 9999));
  EXPECT_EQ(absent.flags, 0);
  EXPECT_EQ(d.controls.Count(), 1);
  const SLayoutItem* entry = rig.core.GetLayoutItem(SLayoutTable::kGameScreen, SLayoutTable::kViewControl);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(view.left, entry->x + 5);
  EXPECT_EQ(view.top, entry->y + 6);
  EXPECT_EQ(view.width, entry->w);
  EXPECT_EQ(view.flags, SCtrl::kPlaced);

  rig.core.frameCounter = 1;
  d.SetFullRepaint();
  d.Paint();
  d.OnKey(1);
  d.OnPen(1, 1, 1, 0);
  d.OnTick(1, nullptr);
  EXPECT_EQ(log.Take(), "view paint; view key; d command 550; view pen; d command 550; view tick; d command 550");
  // A dialog without a core places nothing.
  SDialog bare;
  LogCtrl lone("lone", &log);
  lone.Attach(&bare);
  EXPECT_FALSE(bare.AddLayoutControl(&lone, 550));
  EXPECT_EQ(lone.flags, 0);
}

}  // namespace
