// Arbitrary bytes as the inventory's view record of a saved game (record 3005), read through the stream's
// checks; whatever was read, the inventory is then entered, every page shown, a child opened and closed,
// and the page left for the main menu and resumed, on a screen built from the sample world's layouts.
#include "common/Outcome.h"
#include "core/SGameCore.h"
#include "foundation/SStream.h"
#include "graphics/SDisplay.h"
#include "graphics/SFont.h"
#include "os/headless/VirtualClock.h"
#include "platform/hal/Game.h"
#include "screens/SStateInventory.h"

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

namespace {

// The game core, its screen, fonts and pictures, made once per fuzzing process and never destroyed; the
// inventory state is made anew for every input.
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
    // The state's background picture, the same for every input, took most of an input's time to tile
    // (the image target tiles pictures): without it a full repaint fills the background colour.
    background = core.pictures[0];
    core.pictures[0] = nullptr;
  }
  // The standard library's hash is built without coverage tracing, so it costs little.
  u64 PixelsHash() const {
    return std::hash<std::string_view>{}(
        std::string_view(reinterpret_cast<const char*>(pixels.data()), pixels.size() * sizeof(u16)));
  }
  std::vector<u16> pixels;
  SGameCore core;
  std::optional<SStateInventory> inventory;
  SImageEntry* background = nullptr;
  bool ok = false;
  // Entering resets the view but for its description option and spell school, so the pages shown after it
  // depend on a few words only: what they showed is kept by those words (and the screen they start from)
  // and shown again only for words not seen before. A crash there comes with the first input reaching
  // the words, in a batch as alone.
  using TailKey = std::array<u64, SStateInventory::kViewFields + 2>;
  std::map<TailKey, u64> tails;
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

// What a player does with the screen after entering it; the screen's pixels after each step, hashed.
u64 ShowEveryPage(Screen& screen, SStateInventory& inv, size_t size) {
  FuzzHash seen;
  const auto paint = [&] {
    inv.Paint();
    seen.AddValue(screen.PixelsHash());
  };
  for (u16 code : {SStateInventory::kSheetTab, SStateInventory::kQuestsTab, SStateInventory::kSpellsTab,
                   SStateInventory::kItemsTab, SStateInventory::kShowDescriptionId, SStateInventory::kHideDescriptionId,
                   u16(SStateInventory::kFirstCategoryId + (size % 9)), SStateInventory::kGridNextId,
                   SStateInventory::kDropId, SStateInventory::kTakeId}) {
    inv.OnCommand(code);
    paint();
  }
  inv.OnCommand(SStateInventory::kSheetTab);
  inv.OnCommand(SStateInventory::kFaceId);
  paint();
  inv.OnCommand(SDialogFaceSelect::kOkId);
  inv.OnCommand(SStateInventory::kMainMenuId);
  inv.Resume();
  inv.OnTick(1, screen.core.display);
  seen.AddValue(screen.PixelsHash());
  return seen.Value();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 256) return 0;
  FuzzOutcome outcome;
  Screen& screen = TheScreen();
  if (!screen.ok) return 0;
  SStateInventory& inv = screen.inventory.emplace();
  inv.Attach(&screen.core);
  SStream s;
  s.OpenForRead(const_cast<uint8_t*>(data), u32(size));
  inv.SerializeViewOnLoad(s, 116);
  // The record's words as they stand after a load.
  inv.Rebuild();
  inv.Paint();
  outcome.Add(std::span<const u16>(screen.pixels));
  inv.Enter(size & 1, 0, 0, 0);
  outcome.Add(std::span<const u16>(screen.pixels));

  Screen::TailKey key{};
  SStream view(116);
  if (view.OpenForWriteOwned(64)) {
    inv.SerializeViewOnSave(view, 116);  // a marker, then the words
    for (u32 i = 1; i < view.Size() && (i - 1) / 4 < SStateInventory::kViewFields; ++i)
      key[(i - 1) / 4] |= u64(view.Data()[i]) << (8 * ((i - 1) % 4));
  }
  key[SStateInventory::kViewFields] = size % 18;  // the category tapped, and whether the bag button opened it
  key[SStateInventory::kViewFields + 1] = screen.PixelsHash();
  if (auto tail = screen.tails.find(key); tail != screen.tails.end()) {
    outcome.AddValue(tail->second);
  } else {
    const u64 shown = ShowEveryPage(screen, inv, size);
    outcome.AddValue(shown);
    if (screen.tails.size() < 65536) screen.tails.emplace(key, shown);  // a bound on the memory kept
  }
  inv.Leave(kStateGame);
  return 0;
}
