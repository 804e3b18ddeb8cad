// One frame of panels and controls on a small and a large screen, with the sample world's pictures and
// fonts: frames with several side masks and a fill, whole panels and bars, buttons up, down, disabled and
// latched, picture controls scaled, keyed, framed and without picture, a gradient with its marker, a
// progress bar, a name text and a text line with its caret.
#include "UiRig.h"
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SFaceCtrl.h"
#include "core/ui/SPicCtrl.h"
#include "core/ui/SSceneTextCtrl.h"
#include "core/ui/STextCtrl.h"

namespace {

TEST(ControlFrames, PanelsAndControls) {
  for (const auto& [mode, w, h] : {std::tuple<i32, u16, u16>{7, 240, 320}, {10, 480, 640}}) {
    UiRig rig(mode, w, h);
    ASSERT_TRUE(rig.ready);
    SGameCore& core = rig.core;
    const i32 k = mode == 7 ? 1 : 2;
    auto at = [k](i32 v) { return u16(v * k); };
    core.display->FillRect(0, 0, w, h, 0x2104);
    SDialog owner;
    owner.Attach(&core);

    SImageEntry* const* frame = &core.pictures[core.IsCompact() ? 77 : 16];
    core.DrawPanel9(frame, 1, at(4), at(4), at(50), at(40), 15, 0);
    core.DrawPanel9(frame, 1, at(60), at(4), at(50), at(40), 1 | 4, 0);
    core.DrawPanel9(frame, 1, at(116), at(4), at(50), at(40), 2 | 8, 0);
    core.DrawPanel9(frame, 1, at(172), at(4), at(62), at(40), 15 | 128, 0x605030);
    core.DrawPanel3H(&core.pictures[1], 1, at(4), at(50), at(110), at(60));
    const i32 bar = core.Picture(10)->height;  // the caps keep their own height
    core.DrawPanel3V(&core.pictures[10], 1, at(120), at(50), at(110), bar);
    core.DrawPanel3V(&core.pictures[13], 1, at(120), at(80), at(110), bar);

    // Buttons: up, down, disabled and latched, drawn from panels and from pictures.
    const char* labels[4] = {"Up", "Down", "Off", "Held"};
    SButtonCtrl panels[4], pictures[4];
    for (int i = 0; i < 4; ++i) {
      SButtonCtrl& b = panels[i];
      b.Attach(&owner);
      b.CreatePanel(&core.pictures[13], &core.pictures[10], labels[i], 1, 1, 0xC8C8C8, 0x585858, 0xFFFFFF, 0x585858, 0);
      b.SetRect(at(4 + 58 * i), at(116), at(54), u16(core.Picture(10)->height));
      SButtonCtrl& p = pictures[i];
      p.Attach(&owner);
      p.SetPicture(&core.pictures[60], 2, 0);
      p.hasDisabledPicture = 1;
      p.SetPos(at(4 + 58 * i), at(144));
      for (SButtonCtrl* c : {&b, &p}) {
        c->flags = SCtrl::kPlaced;
        if (i == 1) c->SetPressed(true);
        if (i == 2) c->Disable();
        if (i == 3) c->SetLatched(true);
        c->Paint();
      }
    }

    // Pictures: scaled, keyed at its own size, framed, and the placeholder.
    SPicCtrl scaled, keyed, framed, empty;
    for (SPicCtrl* p : {&scaled, &keyed, &framed, &empty}) p->Attach(&owner);
    scaled.SetRect(at(4), at(170), at(60), at(30));
    scaled.SetPicture(core.Picture(277), 0, 0);
    const SImage* marker = core.Picture(278);
    keyed.SetRect(at(72), at(180), u16(marker->width), u16(marker->height));
    keyed.SetPicture(marker, 1, 0);
    const SImage* cell = core.Picture(277);
    framed.SetRect(at(100), at(174), u16(cell->width), u16(cell->height));
    framed.SetFrame(&core.pictures[77]);
    framed.SetPicture(cell, 0, 0);
    empty.SetRect(at(170), at(170), at(40), at(40));
    empty.fill = 1;
    empty.fillColour = 0x403020;
    for (SPicCtrl* p : {&scaled, &keyed, &framed, &empty}) p->Paint();

    SGradientCtrl gradient;
    gradient.Attach(&owner);
    gradient.SetDefaults();
    gradient.SetRect(at(4), at(230), at(200), at(16));
    gradient.SetValue(40);
    gradient.Paint();
    SProgressCtrl progress;
    progress.Attach(&owner);
    progress.SetRect(at(4), at(252), at(200), at(8));
    progress.restColour = 0x202020;
    progress.SetTotal(5);
    progress.Step();
    progress.Step();
    progress.Paint();
    SNameTextCtrl name;
    name.Attach(&owner);
    name.SetDefaults();
    name.SetRect(at(4), at(266), at(200), at(18));
    name.SetLabel("Name:");
    name.SetValue("Aldric");
    name.Paint();
    STextCursorCtrl line;
    line.Attach(&owner);
    line.SetDefaults();
    line.SetRect(at(4), at(292), at(200), at(18));
    line.backgroundColour = 0x402818;
    line.AddChar('A');
    line.AddChar('l');
    line.Paint();

    EXPECT_EQ(rig.Golden(mode == 7 ? "controls_240x320" : "controls_480x640"), "");
  }
}

}  // namespace
