// The colours of the screens and dialogs as they reach the panel: a colour the screens write as 0xRRGGBB
// shows as that colour, red and blue not swapped, on the screen or dialog that draws it; the game core's and
// the controls' own colour words (the highlight yellow, the fame gauge's stops) keep their reading with red
// in the low byte.
#include "core/ui/SDialog.h"
#include "graphics/SImage.h"
#include "screens/SStateGenerate.h"
#include "screens/SStateInventory.h"
#include "screens/SStateSettings.h"
#include "support/ScreenTour.h"

#include <gtest/gtest.h>

#include <map>

namespace {

u16 FromRgb(u32 rgb) { return MakeColor565(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF); }

// Pixels of the colour inside the shown control with that id (the deepest dialog's first); -1 when no
// such control shows.
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
  const char* stop;
  u32 control;
  u32 value;  // as the screens write it
  bool word;  // a colour word of the core or a control (red in the low byte), not 0xRRGGBB
};

const Case kCases[] = {
    {"a key's value, teal", "screen/settings", SStateSettings::kKeyValueIds[0], 0x64C8C8, false},
    {"the race name in the highlight yellow", "screen/new-player", SStateGenerate::kRaceText, 0x00FFFF, true},
    {"the sheet's \"Race:\" label", "inventory/sheet-main", 142, 0xBEC8D2, false},
    {"the fame gauge's left stop", "inventory/sheet-main", SStateInventory::kFameGaugeId, 0x5064FA, true},
    {"a primary skill's name", "inventory/sheet-skills", 412, 0x64C8C8, false},
    {"the quests page's heading", "inventory/quests", 333, 0x293052, false},
    {"the world map's title, dark blue", "dialog/worldmap-world", 45, 0x151C34, false},
    {"the spell book's message", "dialog/spellbook", 220, 0x00141E, false},
    {"the speaker's name", "screen/conversation", 289, 0xBEC8D2, false},
    {"the speaker's words", "screen/conversation", 290, 0xE6D2C8, false},
};

TEST(InterfaceColours, ScreensShowTheirColoursUnswappedAndCoreWordsAsWords) {
  std::multimap<std::string, const Case*> byStop;
  for (const Case& c : kCases) byStop.emplace(c.stop, &c);
  size_t checked = 0;
  ScreenTour(7).run([&](const std::string& stop, GameHarness& game) {
    const auto [first, last] = byStop.equal_range(stop);
    if (first == last) return;
    ScreenTour::dialogs(game).back()->SetFullRepaint();
    game.frame();
    for (auto it = first; it != last; ++it) {
      const Case& c = *it->second;
      SCOPED_TRACE(std::string(c.stop) + ": " + c.what);
      // The value as the panel should show it, and the same value read the other way round.
      const u16 shows = c.word ? MakeColor565(c.value) : FromRgb(c.value);
      const u16 swapped = c.word ? FromRgb(c.value) : MakeColor565(c.value);
      EXPECT_GT(CountIn(game, c.control, shows), 0) << std::hex << "0x" << c.value;
      if (swapped != shows) {
        EXPECT_EQ(CountIn(game, c.control, swapped), 0) << std::hex << "0x" << c.value;
      }
      ++checked;
    }
  });
  EXPECT_EQ(checked, std::size(kCases)) << "every row's screen was visited";
}

}  // namespace
