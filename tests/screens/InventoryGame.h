// The inventory through the real program: the game entered on the town's map, the pack opened from the
// portrait, and helpers that fill the pack and the bag, select an item's cell and tap what a player taps.
#pragma once
#include "game/SStateGame.h"
#include "game/WalkGame.h"
#include "screens/SStateInventory.h"
#include "world/SItemTable.h"

#include <gtest/gtest.h>

#include <string>

struct InventoryGame : WalkGame {
  explicit InventoryGame(const GameHarness::Options& options = {}) : WalkGame(options) {}

  SStateInventory& inv() { return *static_cast<SStateInventory*>(core().states[kStateInventory]); }
  SPlayer& player() { return core().player; }
  SItemType* Type(const char* name) {
    SItemType* t = core().world.items.FindType(name);
    EXPECT_NE(t, nullptr) << name;
    return t;
  }
  // A new item of the type at its full condition (or the percent given), in the container given or the
  // pack.
  SItem* Make(const char* name, SItemContainer* into = nullptr, i32 percent = -1) {
    SItemType* t = Type(name);
    SItem* item = t ? t->CreateInstance(percent, *core().random) : nullptr;
    if (item) (into ? into : &player().inventory)->AddItem(item);
    return item;
  }
  // The game on the town's street with an empty pack, and the pack opened by the portrait.
  bool Open() {
    if (!Enter("base_out0101", 17, 17, 0)) return false;
    player().ClearLists();
    player().money = 0;
    return Reopen();
  }
  bool Reopen() {
    game.tapControl(SStateGame::kPortraitId);
    return game.waitUntil(GameHarness::stateIs(kStateInventory), 10) && inv().page == SStateInventory::kItemsPage;
  }
  // The list shown again (after items were put in by hand), keeping the category.
  void Refresh() { inv().RebuildItemGrid(false); }
  // Selects the cell of the item type (the first such cell, or the n-th); false when none shows it.
  bool Select(const char* name, u32 nth = 0) {
    for (u32 i = 0; i < inv().grid.SlotCount(); ++i) {
      const SItemSlot* s = inv().grid.Slot(i32(i));
      if (s && s->type && std::string(s->type->name.Text()) == name && nth-- == 0) {
        inv().grid.Select(i32(i));
        inv().RefreshDescription();  // as a tap on the cell does
        return true;
      }
    }
    return false;
  }
  // The confirm key on the selected cell: equip or remove it (armament), or use it.
  void Confirm() { game.press(3006); }
  void TapCtrl(const SCtrl& c) {
    game.penDown(c.left + c.width / 2, c.top + c.height / 2);
    game.penUp(c.left + c.width / 2, c.top + c.height / 2);
  }
  std::string Title() { return inv().description.title.CStr() ? inv().description.title.CStr() : ""; }
  std::string Equipped(u32 slot) {
    const SItem* item = player().Equipped(slot);
    return item && item->type ? item->type->name.Text() : "-";
  }
  std::string LastMessage() {
    const auto& m = game.messages();
    return m.empty() ? "" : m.back().text;
  }
};
