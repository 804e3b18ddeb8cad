// Arbitrary bytes as the text of a message: appended to the paged text control with each font selected,
// painted a page at a time and line by line, and shown in the message box (set-up, paint, and "Continue"
// until the last page) on a small and a large screen, with the built sample world's fonts and pictures.
// The first byte chooses the button mask, the width and the mode; the rest is the text.
#include "common/Outcome.h"
#include "core/SGameCore.h"
#include "core/ui/SDialogMessage.h"
#include "core/ui/SDialogTextCtrl.h"
#include "graphics/SDisplay.h"
#include "graphics/SFont.h"
#include "os/headless/VirtualClock.h"
#include "platform/hal/Game.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

// The longest text of the sample world (an item's description) fills five message boxes on the small
// screen; later pages take the same paths as the first ones, so a text of many short lines pages 8 times
// rather than 50.
constexpr int kMaxPages = 8;

// A game core with its screen in memory, made once per fuzzing process and never destroyed.
struct Screen {
  Screen(i32 mode, u16 width, u16 height) : pixels(size_t(width) * height) {
    core.SetDisplayMode(u32(mode));
    core.fileStore.SetFolder(DUSKMIRE_DATA_DIR);
    core.display = new SDisplay;
    core.display->UseMemory(pixels.data(), width, height);
    core.display->SetGameCore(&core);
    if (core.data.Open("DuskmireData"))
      if (auto record = core.data.ReadRecord(u16(SLayoutTable::RecordForMode(mode))))
        core.layouts.Load(record->data, record->size);
    core.display->SetViewRect();
    core.font = new SFont;
    ok = core.font->Create(&core, core.display, &core.data) && core.LoadPictures() > 0;
  }
  std::vector<u16> pixels;
  SGameCore core;
  bool ok = false;
};

Screen* Screens(u32 i) {
  static Os::VirtualClock* clock = [] {
    auto* c = new Os::VirtualClock;
    Os::InstallClock(c);
    Hal::ResetTimer();
    return c;
  }();
  static Screen* screens[2] = {new Screen(7, 240, 320), new Screen(10, 480, 640)};
  (void)clock;
  return screens[i & 1];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The longest text of the sample world (an item's description) is about 1,100 bytes: 2 KB leaves room,
  // where 4 KB made the slowest inputs page a text of some thirty boxes.
  if (size < 1 || size > 2048) return 0;
  FuzzOutcome outcome;
  const u8 choice = data[0];
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  Screen* screen = Screens(choice >> 7);
  if (!screen->ok) return 0;
  SGameCore& core = screen->core;
  // Nothing the previous input painted or counted shows through.
  std::memset(screen->pixels.data(), 0, screen->pixels.size() * sizeof(u16));
  core.frameCounter = 0;
  SDialog owner;
  owner.Attach(&core);

  // The paged text alone, in each font and both modes.
  for (i32 f = 0; f < 3; ++f) {
    SDialogTextCtrl paged;
    paged.Attach(&owner);
    paged.SetRect(u16(choice & 7) * 30, 20, u16(8 + (choice & 0x78) * 3), u16(f * 40));
    paged.SetStyle(1, 0x161616, 0x161616, 0x285050, 0x94D6E7, core.pictures[5]);
    paged.pageMode = f == 1;
    paged.growPage = f == 2;
    paged.keptLines = choice & 1;
    core.font->Select(f, 0, 0);
    paged.AddText(text.c_str(), u32(choice) % 4, choice & 2);
    for (int pass = 0; pass < kMaxPages && (pass == 0 || paged.HasWaitingLines()); ++pass) {
      paged.linesShown = 0;
      paged.Paint();
    }
  }

  // The message box, paged with "Continue" to its last page.
  SDialogTextCtrl body;
  SDialogMessage box;
  box.Attach(&core);
  // "Continue" comes with long texts: a mask naming it would keep it on the last page too.
  core.ShowMessageBox(text.c_str(), (u32(choice & 0x3F) * 17) & ~u32(SDialogMessage::kContinue), &body, &box, &owner);
  box.Paint();
  for (int page = 0; page < kMaxPages && box.IsListed(SDialogMessage::kContinue); ++page) {
    ++core.frameCounter;
    box.OnKey(SDialogMessage::kActionConfirm);  // "Continue" paints the next page itself
  }
  ++core.frameCounter;
  box.OnKey(SDialogMessage::kActionCancel);
  outcome.Add(std::span<const u16>(screen->pixels));
  outcome.AddValue(core.frameCounter);
  return 0;
}
