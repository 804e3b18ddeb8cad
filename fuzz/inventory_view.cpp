// Arbitrary bytes as the inventory's view record of a saved game (record 3005), read through the stream's
// checks; whatever was read, the inventory is then entered, every page shown, a child opened and closed,
// and the page left for the main menu and resumed, on a screen built from the sample world's layouts.
#include "core/SGameCore.h"
#include "foundation/SStream.h"
#include "graphics/SDisplay.h"
#include "graphics/SFont.h"
#include "os/headless/VirtualClock.h"
#include "platform/hal/Game.h"
#include "screens/SStateInventory.h"

#include <vector>

namespace {

struct Screen {
  Screen() : pixels(size_t(240) * 320) {
    core.SetDisplayMode(7);
    core.fileStore.SetFolder(DUSKMIRE_DATA_DIR);
    core.display = new SDisplay;
    core.display->UseMemory(pixels.data(), 240, 320);
    core.display->SetGameCore(&core);
    if (core.data.Open("DuskmireData"))
      if (auto record = core.data.ReadRecord(u16(SLayoutTable::RecordForMode(7))))
        core.layouts.Load(record->data, record->size);
    core.display->SetViewRect();
    core.font = new SFont;
    ok = core.font->Create(&core, core.display, &core.data) && core.LoadPictures() > 0;
    inventory.Attach(&core);
  }
  std::vector<u16> pixels;
  SGameCore core;
  SStateInventory inventory;
  bool ok = false;
};

Screen& TheScreen() {
  static Os::VirtualClock* clock = [] {
    auto* c = new Os::VirtualClock;
    Os::InstallClock(c);
    Hal::ResetTimer();
    return c;
  }();
  static Screen* screen = new Screen;
  (void)clock;
  return *screen;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 256) return 0;
  Screen& screen = TheScreen();
  if (!screen.ok) return 0;
  SStateInventory& inv = screen.inventory;
  SStream s;
  s.OpenForRead(const_cast<uint8_t*>(data), u32(size));
  inv.SerializeViewOnLoad(s, 116);
  // The record's words as they stand after a load, then what a player does with the screen.
  inv.Rebuild();
  inv.Paint();
  inv.Enter(size & 1, 0, 0, 0);
  for (u16 code : {SStateInventory::kSheetTab, SStateInventory::kQuestsTab, SStateInventory::kSpellsTab,
                   SStateInventory::kItemsTab, SStateInventory::kShowDescriptionId, SStateInventory::kHideDescriptionId,
                   u16(SStateInventory::kFirstCategoryId + (size % 9)), SStateInventory::kGridNextId,
                   SStateInventory::kDropId, SStateInventory::kTakeId}) {
    inv.OnCommand(code);
    inv.Paint();
  }
  inv.OnCommand(SStateInventory::kSheetTab);
  inv.OnCommand(SStateInventory::kFaceId);
  inv.Paint();
  inv.OnCommand(SDialogFaceSelect::kOkId);
  inv.OnCommand(SStateInventory::kMainMenuId);
  inv.Resume();
  inv.OnTick(1, screen.core.display);
  inv.Leave(kStateGame);
  return 0;
}
