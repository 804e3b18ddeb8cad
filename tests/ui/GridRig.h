// A UI core with the built sample world loaded through the core's loading phases, a player, and an item
// grid on a plain dialog: items are made from the sample world's types, kept in one list that the grid
// is filled from, and may be equipped.
#pragma once
#include "UiRig.h"
#include "core/ui/SItemsCtrl.h"
#include "foundation/SRandom.h"
#include "world/SItem.h"
#include "world/SItemTable.h"

struct GridRig : UiRig {
  GridRig(i32 mode = 7, u16 width = 240, u16 height = 320) : UiRig(mode, width, height) {
    core.world.SetFileStore(&core.fileStore);
    loaded = ready && core.world.modules.OpenGameArchives(nullptr);
    if (loaded) {
      core.PrepareWorldTables(nullptr);
      core.BindWorldResources(nullptr);
      core.world.modules.current = core.world.modules.FindByName("base");
    }
    core.world.items.InitFlagValues();
    core.player.Attach(&core);
    random.Seed(nullptr, 7);
    owner.Attach(&core);
    grid.Attach(&owner);
    grid.id = 30;
    grid.flags = SCtrl::kPlaced;
  }
  ~GridRig() {
    for (SItem*& slot : core.player.equipment) slot = nullptr;
    items.DeleteAll();
    core.UnloadWorld();
  }
  SItemType* Type(const char* name) { return core.world.items.FindType(name); }
  // A new item of the type, in the list; `count` 0 keeps what the type gives it. Null for an unknown type.
  SItem* Add(const char* type, u16 count = 0) {
    SItemType* t = Type(type);
    SItem* item = t ? t->CreateInstance(-1, random) : nullptr;
    if (!item) return nullptr;
    if (count) item->count = count;
    items.Add(item);
    return item;
  }
  SItem* AddEquipped(const char* type, u32 slot) {
    SItem* item = Add(type);
    if (item && slot >= 1 && slot <= kEquipmentSlots) core.player.equipment[slot - 1] = item;
    return item;
  }
  // Places the grid and lays it out: `columns` x `rows` cells with the small frame as grid and border.
  void Layout(u16 x, u16 y, i32 cellW, i32 cellH, i32 columns, i32 rows, u32 buyFactor, u32 trade) {
    const i32 sep = 4;  // the small frame's corner
    grid.SetRect(x, y, u16(2 * sep + columns * cellW + (columns - 1) * sep),
                 u16(2 * sep + rows * cellH + (rows - 1) * sep));
    grid.SetLayout(&core.pictures[25], &core.pictures[77], cellW, cellH, columns, rows, 15, buyFactor, trade);
  }
  void Fill(u32 filter = 0, const SNpc* trader = nullptr) { grid.SetItems(items, filter, trader); }
  // The type names of the cells, with their counts when above 1: "base_x*3 base_y".
  std::string Cells() const {
    std::string s;
    for (u32 i = 0; i < grid.SlotCount(); ++i) {
      const SItemSlot* slot = grid.Slot(i32(i));
      if (!s.empty()) s += ' ';
      s += slot->type->name.Text();
      if (slot->count > 1) s += "*" + std::to_string(slot->count);
    }
    return s;
  }

  bool loaded = false;
  SRandom random;
  SDialog owner;
  SItemsCtrl grid;
  SPtrArray<SItem> items{true, 4};
};
