// One inventory session played headless through the program's input: the pack opened from the portrait,
// a category chosen, a sword wielded by the confirm key, the cursor keys moving the selection to the
// letter, which is dropped into the bag, taken back and read, the sheet shown and the pack closed; then
// the game saved. Each group's summary, the description's title and the sounds, then the pack and the bag, and the
// saved view record, against a golden log.
#include "InventoryGame.h"
#include "app/DuskmireApp.h"
#include "foundation/SDatabase.h"
#include "player/SSaveGame.h"
#include "support/GoldenText.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

namespace {

std::string Escaped(const char* text) {
  std::string out;
  for (const char* p = text ? text : ""; *p; ++p) {
    const u8 c = u8(*p);
    if (c >= 32 && c < 127) {
      out += char(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

std::string Contents(const SItemContainer& c) {
  std::string out;
  for (const SItem* item : c.items)
    out += std::string(" ") + item->type->name.Text() + ":" + std::to_string(item->count);
  return out.empty() ? " -" : out;
}

}  // namespace

TEST(InventoryReplay, ASessionAndItsSavedGame) {
  GameHarness::Options options;
  options.copyData = true;
  InventoryGame g(options);
  ASSERT_TRUE(g.Enter("base_out0101", 17, 17, 0));
  SPlayer& p = g.player();
  p.ClearLists();
  p.money = 250;
  g.Make("base_weap_shortswordcheap");
  for (u32 i = 0; i < 2; ++i) g.Make("base_food_bread");
  g.Make("base_book_letter");
  g.Make("base_acc_amulet");

  std::ostringstream log;
  size_t sounds = 0;
  auto group = [&](const char* title) {
    log << "== " << title << "\n" << g.game.summary() << "title \"" << Escaped(g.Title().c_str()) << "\"\nsounds";
    for (size_t i = sounds; i < g.game.sounds().size(); ++i)
      if (g.game.sounds()[i].what == "sound") log << " " << g.game.sounds()[i].name;
    sounds = g.game.sounds().size();
    log << "\n";
  };
  ASSERT_TRUE(g.Reopen());
  group("opened from the portrait");
  g.game.tapControl(SStateInventory::kFirstCategoryId + 1);
  g.game.press(kActionUse);
  group("weapons, the sword wielded");
  g.game.tapControl(SStateInventory::kFirstCategoryId);
  g.game.press(1006);
  g.game.press(1006);
  group("all items, two steps right");
  g.game.tapControl(SStateInventory::kDropId);
  group("dropped");
  g.game.tapControl(SStateInventory::kTakeId);
  g.game.tapControl(SStateInventory::kTakeId);
  group("taken back");
  g.game.tapControl(SStateInventory::kDropId);
  ASSERT_TRUE(g.Select("base_book_letter"));
  g.game.tapControl(SStateInventory::kUseId);
  group("the letter read");
  g.game.tapControl(SDialogItemRead::kCloseId);
  g.game.tapControl(SStateInventory::kSheetTab);
  group("the sheet");
  g.game.tapControl(SStateInventory::kCloseId);
  ASSERT_TRUE(g.game.waitUntil(GameHarness::stateIs(kStateGame), 10));
  group("closed");
  log << "pack" << Contents(p.inventory) << "\nbag" << Contents(*g.inv().container) << "\n";

  ASSERT_EQ(g.core().saveGame.Write(1), 1);
  SFileStore store;
  store.SetFolder(g.game.dataFolder());
  SDatabase save(&store);
  ASSERT_TRUE(save.Open("DuskmireSave1", kSavedGameCode));
  const auto view = save.ReadRecord(kSaveInventoryRecord);
  ASSERT_NE(view, nullptr);
  log << "record 3005";
  for (u32 i = 0; i < view->size; ++i) {
    char hex[4];
    std::snprintf(hex, sizeof hex, " %02X", view->data[i]);
    log << hex;
  }
  log << "\n";
  EXPECT_EQ(testgolden::CompareText("inventory_replay", log.str()), "");
}
