// The message box as a person sees it, on a small and a large screen, with the pictures and fonts of the
// built sample world: each frame matches its stored PNG exactly.
#include "UiRig.h"
#include "core/ui/SDialogMessage.h"
#include "core/ui/SDialogTextCtrl.h"

namespace {

struct Screen {
  i32 mode;
  u16 width, height;
  const char* suffix;
};
constexpr Screen kScreens[] = {{7, 240, 320, "240x320"}, {10, 480, 640, "480x640"}};

constexpr const char* kTwelveLines =
    "The first line\rThe second line\rThe third line\rThe fourth line\rThe fifth line\rThe sixth line\r"
    "The seventh line\rThe eighth line\rThe ninth line\rThe tenth line\rThe eleventh line\rThe last line";

struct BoxRig {
  explicit BoxRig(const Screen& s) : rig(s.mode, s.width, s.height), owner("owner", &log) {
    owner.Attach(&rig.core);
    box.Attach(&rig.core);
  }
  void Show(const char* text, u32 mask) {
    rig.FillBackground();
    rig.core.ShowMessageBox(text, mask, &text_, &box, &owner);
    box.Paint();
  }
  UiRig rig;
  EventLog log;
  LogDialog owner;
  SDialogTextCtrl text_;
  SDialogMessage box;
};

TEST(MessageBoxFrames, ButtonRowsPagingAndNoButtons) {
  for (const Screen& s : kScreens) {
    const std::string suffix = std::string("_") + s.suffix;
    const struct {
      const char* name;
      const char* text;
      u32 mask;
    } boxes[] = {
        {"message_ok", "The door is locked.", SDialogMessage::kOk},
        {"message_yes_no", "Do you want to rest here\runtil the morning?", SDialogMessage::kYes | SDialogMessage::kNo},
        {"message_chest", "A heavy chest blocks the way. It is locked and looks trapped.",
         SDialogMessage::kOpen | SDialogMessage::kPick | SDialogMessage::kDisarm | SDialogMessage::kCancel},
        {"message_no_buttons", "You hear a distant bell.", 0},
    };
    for (const auto& b : boxes) {
      BoxRig r(s);
      ASSERT_TRUE(r.rig.ready);
      r.Show(b.text, b.mask);
      EXPECT_EQ(r.rig.Golden(b.name + suffix), "") << b.name << suffix;
    }

    // Twelve lines: the first page with "Continue" alone, then after it the rest and the buttons back.
    BoxRig r(s);
    r.Show(kTwelveLines, SDialogMessage::kYes | SDialogMessage::kNo);
    EXPECT_TRUE(r.box.IsListed(SDialogMessage::kContinue));
    EXPECT_FALSE(r.box.IsListed(SDialogMessage::kYes));
    EXPECT_EQ(r.rig.Golden("message_continue" + suffix), "");
    ++r.rig.core.frameCounter;
    EXPECT_EQ(r.box.OnKey(SDialogMessage::kActionConfirm), 0u);
    r.rig.FillBackground();
    r.box.Paint();  // the next frame's paint
    EXPECT_FALSE(r.box.IsListed(SDialogMessage::kContinue));
    EXPECT_TRUE(r.box.IsListed(SDialogMessage::kYes) && r.box.IsListed(SDialogMessage::kNo));
    EXPECT_EQ(r.rig.Golden("message_last_page" + suffix), "");
  }
}

}  // namespace
