// The game state's dialogs played through the real program on the sample world: the game entered on a
// map, items given to the player by type name, and the open dialog's texts read back.
#pragma once
#include "core/ui/SDialogListCtrl.h"
#include "game/WalkGame.h"
#include "player/SPlayer.h"
#include "support/MakeEffect.h"
#include "world/SItem.h"
#include "world/SItemTable.h"

#include <string>
#include <vector>

struct DialogGame : WalkGame {
  explicit DialogGame(bool sound = false) : WalkGame(Options(sound)) {}
  explicit DialogGame(const GameHarness::Options& options) : WalkGame(options) {}

  static GameHarness::Options Options(bool sound) {
    GameHarness::Options o;
    o.soundDevice = sound;
    return o;
  }

  SPlayer& player() { return core().player; }
  SItemType* type(const char* name) { return core().world.items.FindType(name); }
  // n items of the type, the last returned; its count set when given (not negative).
  SItem* give(const char* name, i32 n = 1, i32 count = -1) {
    SItem* last = nullptr;
    for (i32 i = 0; i < n; ++i) {
      last = player().AddItems(type(name), 1);
      if (last && count >= 0) last->count = u16(count);
    }
    return last;
  }
  // An item of the type carrying its own enchantment: one spell effect of that base.
  SItem* giveEnchanted(const char* name, const char* spell, i16 base, i32 count) {
    SItem* item = give(name, 1, count);
    if (!item) return nullptr;
    item->enchantments = new SEffectList;
    item->enchantments->Add(MakeEffect(0, base, 2, 0, spell));
    return item;
  }
  void clearInventory() {
    for (SItem*& slot : player().equipment) slot = nullptr;
    player().inventory.DeleteAllItems();
  }

  static std::vector<std::string> Rows(const SDialogListCtrl& list) {
    std::vector<std::string> out;
    for (u32 i = 0; i < list.RowCount(); ++i) out.emplace_back(list.Row(i32(i))->text.CStr());
    return out;
  }
};
