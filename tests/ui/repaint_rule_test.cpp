// The rule by which a changed control that leaves what lies beneath showing is repainted: the dialog paints,
// cut to the area the control's paint covers, its ground and every control whose paint meets that area.
// Those neighbours show what they showed (a text's waiting lines stay waiting, nothing is presented and no
// time passes), and the area covers all a control draws past its rectangle (a framed picture's frame).
#include "UiRig.h"
#include "core/ui/SCardCtrls.h"
#include "core/ui/SDialogTextCtrl.h"
#include "core/ui/SPicCtrl.h"

#include <functional>
#include <vector>

namespace {

struct RepaintRig : UiRig {
  RepaintRig() : UiRig(7, 240, 320) {
    dialog.Attach(&core);
    dialog.SetPos(0, 0);
    dialog.width = 240;
    dialog.height = 320;
    dialog.backgroundColour = 0x203040;
    cell = core.Picture(277);
    ready = ready && cell;
  }
  void Add(SCtrl& c, i32 x, i32 y, i32 w, i32 h) {
    c.Attach(&dialog);
    c.SetRect(u16(x), u16(y), u16(w), u16(h));
    dialog.AddControl(&c);
  }
  // A control the size of the item cell picture at (100, 100).
  void AddCellSized(SCtrl& c) { Add(c, 100, 100, cell->width, cell->height); }
  // Everything painted afresh, then the screen as it stands.
  std::vector<u16> PaintWhole() {
    dialog.SetFullRepaint();
    dialog.Paint();
    return pixels;
  }
  // The screen after a change painted the incremental way, from everything painted afresh.
  std::vector<u16> PaintAfter(const std::function<void()>& change) {
    PaintWhole();
    change();
    dialog.Paint();
    return pixels;
  }
  EventLog log;
  LogDialog dialog{"dialog", &log};
  const SImage* cell = nullptr;
};

// A control that leaves what lies beneath showing and draws nothing: what its change repaints is all the
// dialog's doing.
struct Clear : LogCtrl {
  explicit Clear(EventLog* l) : LogCtrl("clear", l) { whole = false; }
};

TEST(RepaintRule, NeighboursShowWhatTheyShowedUnderTheClip) {
  RepaintRig rig;
  ASSERT_TRUE(rig.ready);
  SDialogTextCtrl text;
  rig.Add(text, 10, 10, 200, 60);
  text.SetStyle(1, 0xC8C8C8, 0x64C8C8, 0x6464C8, 0x161616, nullptr);
  text.AddText("The first line.", 0, 0);
  Clear changed(&rig.log);
  rig.Add(changed, 20, 72, 20, 10);  // within the reach of the text's bottom edge
  const std::vector<u16> before = rig.PaintWhole();
  ASSERT_FALSE(text.HasWaitingLines());

  // Lines wait to be revealed line by line, with a pause and a present each, at the text's next paint.
  text.AddText("A second line, and a third to reveal after it.", 1, 1);
  const u32 waiting = text.WaitingCount();
  const u64 now = rig.clock.ElapsedMilliseconds();
  changed.MarkDirty();
  rig.dialog.Paint();
  EXPECT_EQ(text.WaitingCount(), waiting) << "a neighbour reveals nothing";
  EXPECT_EQ(rig.clock.ElapsedMilliseconds(), now) << "a neighbour does not wait";
  EXPECT_EQ(rig.pixels, before) << "the neighbour's page as it was, and nothing outside the clip";

  // Changed itself, the text is repainted under the clip as its neighbours are: its page as it stands, its
  // lines still waiting for the reveal (a present and a pause would end the clip).
  text.MarkDirty();
  rig.dialog.Paint();
  EXPECT_EQ(text.WaitingCount(), waiting) << "a changed text reveals nothing under the clip";
  EXPECT_EQ(rig.clock.ElapsedMilliseconds(), now) << "a changed text does not wait under the clip";
  EXPECT_EQ(rig.pixels, before) << "the changed text's page as it was";
}

TEST(RepaintRule, TheAreaCoversAFramedPicturesFrame) {
  struct Case {
    const char* name;
    std::function<void(RepaintRig&, SPicCtrl&, Clear&)> change;
  } cases[] = {
      {"a neighbour whose area meets only the frame", [](RepaintRig&, SPicCtrl&, Clear& c) { c.MarkDirty(); }},
      {"the frame drawn closer to the picture: its old place is painted anew",
       [](RepaintRig&, SPicCtrl& p, Clear&) {
         p.frameMarginX = p.frameMarginY = 2;
         p.MarkDirty();
       }},
  };
  for (const Case& c : cases) {
    RepaintRig rig;
    ASSERT_TRUE(rig.ready);
    SPicCtrl picture;
    rig.AddCellSized(picture);
    picture.SetFrame(&rig.core.pictures[77]);
    // Further out than its usual 4, so that the frame's drawn pixels, not only its clear edge, lie past the
    // reach of 3 that a text or a list needs.
    picture.frameMarginX = picture.frameMarginY = 6;
    picture.SetPicture(rig.cell, 0, 0);
    // Its area ends where the reach of 3 around the picture would begin: it meets the frame only.
    Clear neighbour(&rig.log);
    rig.Add(neighbour, 90, 90, 4, 4);
    const std::vector<u16> shown = rig.PaintAfter([&] { c.change(rig, picture, neighbour); });
    EXPECT_EQ(shown, rig.PaintWhole()) << c.name;
  }
}

// A pile of cards draws its lower layers up and to the left of its place, one pixel a layer: a pile of 40
// on the handhelds' screen (8 cards a layer) reaches 4 pixels out, past the reach of 3.
TEST(RepaintRule, TheAreaCoversACardPile) {
  RepaintRig rig;
  ASSERT_TRUE(rig.ready);
  SDeckCtrl pile;
  rig.AddCellSized(pile);
  pile.ShowBack(rig.cell);
  pile.SetCount(40);
  ASSERT_EQ(SDeckCtrl::Layers(40, true), 5);
  // Its area ends where the reach of 3 around the pile's place would begin: it meets the lowest layer only.
  Clear neighbour(&rig.log);
  rig.Add(neighbour, 88, 100, 6, rig.cell->height);
  const std::vector<u16> shown = rig.PaintAfter([&] { neighbour.MarkDirty(); });
  EXPECT_EQ(shown, rig.PaintWhole());
}

}  // namespace
