// The colours of the screens and dialogs as they reach the panel: a colour the screens write as 0xRRGGBB
// shows as that colour, with red and blue not swapped, on every screen and dialog that draws it; the game
// core's and the controls' own colour words (the light text colour, the highlight yellow, the fame
// gauge's stops) keep their reading with red in the low byte.
#include "GameDialogs.h"
#include "core/SStateNumbers.h"
#include "dialogs/SDialogGameMap.h"
#include "dialogs/SDialogSpellbook.h"
#include "game/SStateGame.h"
#include "graphics/SImage.h"
#include "screens/SStateGenerate.h"
#include "screens/SStateInventory.h"
#include "screens/SStateSettings.h"

#include <functional>

namespace {

u16 FromRgb(u32 rgb) { return MakeColor565(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF); }

// Pixels of the colour inside the shown control with that id (the deepest dialog's first), as the panel
// shows them; -1 when no such control shows.
int CountIn(const GameHarness& game, u32 id, u16 colour) {
  const std::vector<GameHarness::Control> all = game.controls();
  for (auto c = all.rbegin(); c != all.rend(); ++c) {
    if (c->id != id) continue;
    const Os::Panel& p = game.panel();
    int n = 0;
    for (i32 y = std::max(0, c->y); y < std::min(p.height, c->y + c->height); ++y)
      for (i32 x = std::max(0, c->x); x < std::min(p.width, c->x + c->width); ++x) n += p.At(x, y) == colour;
    return n;
  }
  return -1;
}

struct Case {
  const char* what;
  std::function<bool(DialogGame&)> open;  // shows the screen or dialog; false when it did not open
  std::function<u32(DialogGame&)> control;
  u32 value;   // as the screens write it
  bool word;   // a colour word of the core or a control (red in the low byte), not 0xRRGGBB
};

SStateInventory& Pack(DialogGame& g) { return *static_cast<SStateInventory*>(g.core().states[kStateInventory]); }

// The pack opened on the town's street, then the tab (and the sheet's sub-page) tapped.
bool OpenPack(DialogGame& g, u16 tab, i32 subPage = -1) {
  if (!g.Enter("base_out0101", 17, 17, 0)) return false;
  g.game.tapControl(SStateGame::kPortraitId);
  if (!g.game.waitUntil(GameHarness::stateIs(kStateInventory), 10)) return false;
  g.game.tapControl(tab);
  if (subPage >= 0) g.game.tapControl(SStateInventory::kSubPageIds[subPage]);
  return true;
}

bool OpenOver(DialogGame& g, i32 state) {
  if (!g.Enter("base_out0101", 17, 17, 0)) return false;
  g.core().currentState->keep = 1;
  g.game.setState(state);
  return g.game.state() == state;
}

TEST(InterfaceColours, ScreensShowTheirColoursUnswappedAndCoreWordsAsWords) {
  const Case cases[] = {
      {"settings: a key's value, teal",
       [](DialogGame& g) { return OpenOver(g, kStateSettings); },
       [](DialogGame&) { return u32(SStateSettings::kKeyValueIds[0]); }, 0x64C8C8, false},
      {"new player: the race name in the highlight yellow",
       [](DialogGame& g) { return OpenOver(g, kStateGenerate); },
       [](DialogGame&) { return u32(SStateGenerate::kRaceText); }, 0x00FFFF, true},
      {"sheet: a label of the main page",
       [](DialogGame& g) { return OpenPack(g, SStateInventory::kSheetTab, 0); },
       [](DialogGame& g) { return u32(Pack(g).sheetLabels[0].id); }, 0xBEC8D2, false},
      {"sheet: the fame gauge's left stop, a gradient control's word",
       [](DialogGame& g) { return OpenPack(g, SStateInventory::kSheetTab, 0); },
       [](DialogGame&) { return u32(SStateInventory::kFameGaugeId); }, 0x5064FA, true},
      {"sheet: a primary skill's name",
       [](DialogGame& g) { return OpenPack(g, SStateInventory::kSheetTab, 1); },
       [](DialogGame& g) { return u32(Pack(g).sheetLabels[0].id); }, 0x64C8C8, false},
      {"quests page: the heading",
       [](DialogGame& g) { return OpenPack(g, SStateInventory::kQuestsTab); },
       [](DialogGame& g) { return u32(Pack(g).listHeading.id); }, 0x293052, false},
      {"world map: the title, dark blue",
       [](DialogGame& g) {
         if (!g.Enter("base_dungeon2", 3, 3, 0)) return false;
         g.game.tapControl(SStateGame::kAutomapId);
         return g.state().subDialog == &g.state().mapDialog;
       },
       [](DialogGame&) { return u32(SDialogGameMap::kTitleId); }, 0x151C34, false},
      {"spell book: the message",
       [](DialogGame& g) {
         if (!g.Enter("base_dungeon1", 5, 6, 180)) return false;
         g.clearInventory();
         g.state().spellbook.category = 7;
         g.game.press(3001);
         return g.state().subDialog == &g.state().spellbook;
       },
       [](DialogGame&) { return u32(SDialogSpellbook::kMessageId); }, 0x00141E, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DialogGame g;
    ASSERT_TRUE(c.open(g));
    g.game.frame(2);
    const u32 id = c.control(g);
    // The value as the panel should show it, and the same value read the other way round.
    const u16 shows = c.word ? MakeColor565(c.value) : FromRgb(c.value);
    const u16 swapped = c.word ? FromRgb(c.value) : MakeColor565(c.value);
    EXPECT_GT(CountIn(g.game, id, shows), 0) << std::hex << "0x" << c.value;
    if (swapped != shows) {
      EXPECT_EQ(CountIn(g.game, id, swapped), 0) << std::hex << "0x" << c.value;
    }
  }
}

}  // namespace
