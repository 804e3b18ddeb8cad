#include "game/SMapWindow.h"

#include "game/SMonster.h"
#include "world/SItemTable.h"
#include "world/SMapArea.h"
#include "world/SMapObjectType.h"
#include "world/SWorldModule.h"

#include <new>

namespace {

// The placement of each area slot of a joined outdoor map (a 3 x 3 neighbourhood of 21 x 21 tiles).
constexpr i32 kPlacement[9][8] = {
    {-1, -1, 14, 14, 7, 7, 0, 0}, {0, -1, 0, 14, 21, 7, 7, 0}, {1, -1, 0, 14, 7, 7, 28, 0},
    {-1, 0, 14, 0, 7, 21, 0, 7},  {0, 0, 0, 0, 21, 21, 7, 7},  {1, 0, 0, 0, 7, 21, 28, 7},
    {-1, 1, 14, 0, 7, 7, 0, 28},  {0, 1, 0, 0, 21, 7, 7, 28},  {1, 1, 0, 0, 7, 7, 28, 28},
};
constexpr u8 kBlockSlot[25] = {0, 1, 1, 1, 2, 3, 4, 4, 4, 5, 3, 4, 4, 4, 5, 3, 4, 4, 4, 5, 6, 7, 7, 7, 8};

}  // namespace

SMapWindow::SMapWindow() {
  cells = new (std::nothrow) SMapCell[kCells];
  faces = new (std::nothrow) SMapCellFaces[kCells];
  for (SSlot& slot : slots) slot = SSlot{};
  random.Seed(this, 1);
}

SMapWindow::~SMapWindow() {
  delete[] cells;
  delete[] faces;
}

void SMapWindow::Reset() {
  if (!IsAllocated()) return;
  for (i32 i = 0; i < kCells; ++i) {
    cells[i].Clear();
    faces[i].Clear();
  }
}

SMapArea* SMapWindow::BlockArea(i32 x, i32 y) const {
  if (!Inside(x, y)) return nullptr;
  SMapArea* current = slots[4].area;
  if (!current || !current->IsOutdoor()) return current;
  return slots[kBlockSlot[(y / 7) * 5 + x / 7]].area;
}

bool SMapWindow::Enter(SMapArea* map) {
  for (SSlot& slot : slots) slot = SSlot{};
  Reset();
  if (!map || !IsAllocated()) return false;
  if (!map->IsOutdoor()) {
    for (SSlot& slot : slots) {
      slot.area = map;
      slot.width = slot.height = kSize;
    }
    return map->Load(*this);
  }
  // A joined tile: the centre first, then every neighbour the module has at its tile.
  for (u32 i = 0; i < 9; ++i) {
    SSlot& slot = slots[i];
    const i32* p = kPlacement[i];
    slot = SSlot{nullptr, p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7]};
  }
  slots[4].area = map;
  if (map->module) {
    SMapArea* previous = map->module->currentMap;
    map->module->SetCurrentMap(map);
    for (u32 i = 0; i < 9; ++i)
      if (i != 4) slots[i].area = map->module->FindNeighbourMap(slots[i].dx, slots[i].dy);
    map->module->SetCurrentMap(previous);
  }
  bool ok = true;
  for (u32 i = 0; i < 9; ++i) {
    SSlot& slot = slots[i];
    if (!slot.area || !slot.area->IsOutdoor()) {
      slot.area = nullptr;
      continue;
    }
    if (!slot.area->LoadAt(*this, slot.sourceX, slot.sourceY, slot.width, slot.height, slot.windowX, slot.windowY))
      ok = false;
  }
  return ok;
}

i16 SMapWindow::TemplateMaxHp(const SMonster* m) { return m ? i16(m->maxHp) : 0; }
u8 SMapWindow::TemplateKind(const SMonster* m) { return m ? m->kind : 0; }
// Bit 2 of the template's flags makes it attack on sight.
bool SMapWindow::TemplateAggressive(const SMonster* m) { return m && (m->flags & 0x04); }

void SMapWindow::MarkTemplateNeeded(const SMonster* m) {
  if (!m || !m->baseType) return;
  if (sounds)
    m->baseType->MarkSoundsNeeded(*sounds);
  else
    m->baseType->soundsNeeded = 1;
}

void SMapWindow::ClearWindowCell(i32 column, i32 row) {
  if (SMapCell* c = Cell(column, row)) {
    c->Clear();
    faces[column + kSize * row].Clear();
  }
}

bool SMapWindow::ReadWindowCell(i32 column, i32 row, SStream& s, const SWorldModule& module, u32 version) {
  SMapCell scratchCell;
  SMapCellFaces scratchFaces;
  SMapCell* c = Cell(column, row);
  SMapCellFaces* f = Faces(column, row);
  if (!c || !f) {
    c = &scratchCell;
    f = &scratchFaces;
  }
  u16 recordFlags = 0;
  if (!c->Read(s, module, version, recordFlags)) return false;
  c->MarkTypesNeeded(sounds);
  if (!(recordFlags & 0x8000)) {
    f->Clear();
    return true;
  }
  if (!f->Read(s, module, version)) return false;
  f->MarkTypesNeeded(sounds);
  return true;
}

bool SMapWindow::GetAreaLocalPosition(SMapArea& area, i32 x, i32 y, i32& column, i32& row) {
  column = x;
  row = y;
  if (!area.IsOutdoor()) return true;
  if (&area == slots[4].area) {
    column = x + 7;
    row = y + 7;
    return true;
  }
  for (const SSlot& slot : slots)
    if (slot.area == &area && x >= slot.sourceX && x < slot.sourceX + slot.width && y >= slot.sourceY &&
        y < slot.sourceY + slot.height) {
      column = slot.windowX - slot.sourceX + x;
      row = slot.windowY - slot.sourceY + y;
      return true;
    }
  return false;
}

SMapCell* SMapWindow::FreeCell(SMapArea& area, i32 x, i32 y) {
  SMapCell* c = Cell(x, y);
  if (!c) return nullptr;
  if (c->centreType && c->centreType->IsBlocking(area.FindObjectById(c->centreObjectId))) return nullptr;
  return c->monsterId[0] == 0 || c->monsterId[1] == 0 ? c : nullptr;
}

bool SMapWindow::PlaceMonster(SMapArea& area, SMapMonster& monster, i32 x, i32 y) {
  i32 column = 0, row = 0;
  if (!GetAreaLocalPosition(area, x, y, column, row)) return true;
  SMapCell* c = Cell(column, row);
  if (!c) return false;
  auto put = [&monster](SMapCell* cell) {
    (cell->monsterId[0] == 0 ? cell->monsterId[0] : cell->monsterId[1]) = monster.id;
  };
  if ((column != playerX || row != playerY) && (c->monsterId[0] == 0 || c->monsterId[1] == 0)) {
    put(c);
    monster.cellX = u8(x);
    monster.cellY = u8(y);
    return true;
  }
  static constexpr i32 kRing[8][2] = {{0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}};
  const i32 start = random.Next(8);
  for (i32 i = 0; i < 8; ++i) {
    const i32* d = kRing[(start + i) % 8];
    const i32 nx = column + d[0], ny = row + d[1];
    if (!Inside(nx, ny) || BlockArea(nx, ny) != BlockArea(column, row)) continue;
    if (nx == playerX && ny == playerY) continue;
    SMapCell* n = FreeCell(area, nx, ny);
    if (!n) continue;
    put(n);
    monster.cellX = u8(x + d[0]);
    monster.cellY = u8(y + d[1]);
    return true;
  }
  return false;
}

void SMapWindow::PlaceObjectInArea(SMapArea& area, SMapMonster& monster, i32 x, i32 y) {
  PlaceMonster(area, monster, x, y);
}

// The bag goes into the cell's bag slot and keeps its area position; outside the window or onto a taken
// slot it lies nowhere (255, 255). A position no slot shows changes nothing.
bool SMapWindow::PlaceBagInCell(SMapArea& area, SItemContainer& bag, i32 x, i32 y) {
  i32 column = 0, row = 0;
  if (!GetAreaLocalPosition(area, x, y, column, row)) return true;
  SMapCell* c = Cell(column, row);
  if (!c || c->bagId) {
    bag.cellX = bag.cellY = 255;
    return false;
  }
  c->bagId = bag.id;
  bag.cellX = u8(x);
  bag.cellY = u8(y);
  return true;
}

void SMapWindow::FillFromTemplate(SMapArea& area, SMapMonster& monster, SItemContainer& bag) {
  if (!monster.monster || !savedItemNames.table) return;
  if (area.module) monster.monster->items.ResolveEntries(area.module->itemList);
  savedItemNames.table->CreateItemsFromList(monster.monster->items.entries, bag.items, random);
}

u16 SSavedItemNames::IndexOf(const SItemType* type) {
  if (!type || !type->name.Text()) return 0;
  int at = names.FindText(type->name.Text());
  if (at < 0) {
    if (!names.AddText(type->name.Text())) return 0;
    at = names.Count() - 1;
  }
  return u16(at + 1);
}

SItemType* SSavedItemNames::TypeAt(u16 index) {
  const char* text = index ? names.Text(i32(index) - 1) : nullptr;
  return text && table ? table->FindType(text) : nullptr;
}

u16 SMapWindow::InternMonster(const SMonster* m) {
  if (!m || !m->name.Text()) return 0;
  int at = savedMonsterNames.FindText(m->name.Text());
  if (at < 0) {
    if (!savedMonsterNames.AddText(m->name.Text())) return 0;
    at = savedMonsterNames.Count() - 1;
  }
  return u16(at + 1);
}

SMonster* SMapWindow::SavedMonster(u16 index) {
  const char* text = index ? savedMonsterNames.Text(i32(index) - 1) : nullptr;
  return text && monsterTable ? monsterTable->FindMonster(text) : nullptr;
}
