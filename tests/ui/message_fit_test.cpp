// The message box keeps to the screen on every screen size: the box lies on the screen, each button lies
// inside the box, beside the others, and is wide enough for its caption. The chest's question with its four
// buttons is the widest box the game asks.
#include "UiRig.h"
#include "core/ui/SDialogMessage.h"
#include "core/ui/SDialogTextCtrl.h"

#include <sstream>

namespace {

struct Screen {
  i32 mode;
  u16 width, height;
};
constexpr Screen kScreens[] = {{6, 320, 240},  {7, 240, 320},  {8, 240, 240},  {9, 640, 480}, {10, 480, 640},
                               {11, 480, 480}, {14, 800, 480}, {15, 800, 600}, {16, 640, 240}};

std::string Rect(const char* what, i32 x, i32 y, i32 w, i32 h) {
  std::ostringstream out;
  out << what << " at " << x << "," << y << " " << w << "x" << h;
  return out.str();
}

TEST(MessageBoxFit, TheBoxAndItsButtonsKeepToEveryScreen) {
  const struct {
    const char* text;
    u32 mask;
  } boxes[] = {
      {"A heavy chest blocks the way. It is locked and looks trapped.",
       SDialogMessage::kOpen | SDialogMessage::kPick | SDialogMessage::kDisarm | SDialogMessage::kCancel},
      {"The lock holds. Try again?", SDialogMessage::kOpen | SDialogMessage::kPick | SDialogMessage::kCancel},
      {"Do you want to rest here until the morning?", SDialogMessage::kYes | SDialogMessage::kNo},
      {"The door is locked.", SDialogMessage::kOk},
  };
  for (const Screen& s : kScreens) {
    for (const auto& b : boxes) {
      UiRig rig(s.mode, s.width, s.height);
      ASSERT_TRUE(rig.ready);
      EventLog log;
      LogDialog owner("owner", &log);
      owner.Attach(&rig.core);
      SDialogTextCtrl text;
      SDialogMessage box;
      box.Attach(&rig.core);
      rig.core.ShowMessageBox(b.text, b.mask, &text, &box, &owner);
      const std::string where = "mode " + std::to_string(s.mode) + " \"" + b.text + "\": ";
      const std::string boxRect = Rect("box", box.left, box.top, box.width, box.height);
      EXPECT_TRUE(box.left >= 0 && box.top >= 0 && box.left + box.width <= s.width && box.top + box.height <= s.height)
          << where << boxRect << " on a " << s.width << "x" << s.height << " screen";
      i32 previousRight = box.left;
      for (u32 i = 0; i < box.controls.Count(); ++i) {
        const auto* button = dynamic_cast<const SCtrlMessageButton*>(box.controls.At(i32(i)));
        if (!button) continue;
        const std::string rect = Rect(button->label.CStr(), button->left, button->top, button->width, button->height);
        // Inside the box's frame, which takes the outer 4 pixels.
        EXPECT_TRUE(button->left >= box.left + 4 && button->left + button->width <= box.left + box.width - 4 &&
                    button->top + button->height <= box.top + box.height - 4)
            << where << rect << " in the " << boxRect;
        EXPECT_GE(button->left, previousRight) << where << rect << " over its neighbour";
        previousRight = button->left + button->width;
        // The caption is drawn 8 pixels in from each end.
        i32 widest = 0, lines = 0;
        rig.core.font->Select(1, 0x161616, 0);
        rig.core.font->MeasureText(button->label.CStr(), 100, &widest, &lines);
        EXPECT_GE(button->width, widest + 16) << where << rect << " for a caption " << widest << " wide";
      }
    }
  }
}

}  // namespace
