#include "game/SMapWindow.h"

#include "core/SGameCore.h"
#include "foundation/TimeUtil.h"
#include "game/SMonster.h"
#include "game/SStateGame.h"
#include "player/SSaveGame.h"
#include "script/SScriptContext.h"
#include "world/SItemTable.h"
#include "world/SMapArea.h"
#include "world/SMapObjectType.h"
#include "world/SWorldModule.h"

#include <new>

namespace {

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
  ResetNumbers();
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
  const i32 start = Random()->Next(8);
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

void SMapWindow::RefreshMonsterPicture(SMapArea& area, SMapMonster& monster) {
  if (owner) owner->RefreshMonsterPicture(area, monster);
}

void SMapWindow::MonsterFreed(SMapArea& area, SMapMonster& monster) {
  if (owner && owner->core && owner->core->scriptContext) owner->core->scriptContext->OnMonsterFreed(&area, &monster);
}

void SMapWindow::ShowMonsterPoisoned(SMapArea& area, SMapMonster& monster, u16 value) {
  if (owner) owner->ShowMonsterPoisoned(area, monster, value);
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
  if (!monster.monster || !items) return;
  if (area.module) monster.monster->items.ResolveEntries(area.module->itemList);
  items->CreateItemsFromList(monster.monster->items.entries, bag.items, *Random());
}

u16 SMapWindow::InternMonster(const SMonster* m) { return saves ? saves->InternMonster(m) : 0; }

SMonster* SMapWindow::SavedMonster(u16 index) { return saves ? saves->MonsterAt(index) : nullptr; }

SItemNames* SMapWindow::ItemNames() { return saves; }

// ---- geometry and numbering

u8 SMapWindow::TypeNumber(const SMapObjectType* t) { return t ? t->classNumber : 0; }

bool SMapWindow::IsJoined() const {
  const SMapArea* current = slots[4].area;
  return current && current->IsOutdoor();
}

bool SMapWindow::AreaPosition(i32 x, i32 y, SMapArea*& area, i32& areaX, i32& areaY) const {
  area = BlockArea(x, y);
  areaX = x;
  areaY = y;
  if (!area) return false;
  if (IsJoined()) {
    const SSlot& slot = slots[kBlockSlot[(y / 7) * 5 + x / 7]];
    areaX = x - slot.windowX + slot.sourceX;
    areaY = y - slot.windowY + slot.sourceY;
  }
  return areaX >= 0 && areaY >= 0 && areaX < area->width && areaY < area->height;
}

u16 SMapWindow::NextMonsterNumber() {
  if (monsterCounter == 0 || monsterCounter > kLastNumber) return 0;
  return monsterCounter++;
}

u16 SMapWindow::NextBagNumber() {
  if (containerCounter == 0 || containerCounter > kLastNumber) return 0;
  return containerCounter++;
}

void SMapWindow::ResolveCellObjects() {
  ResetNumbers();
  if (!IsAllocated()) return;
  // Numbers of an earlier filling must not alias the new ones.
  for (const SSlot& slot : slots) {
    if (!slot.area) continue;
    for (SMapMonster* m : slot.area->monsters) m->displayIndex = 0;
    for (SItemContainer* c : slot.area->containers) c->serial = 0;
  }
  for (i32 y = 0; y < kSize; ++y)
    for (i32 x = 0; x < kSize; ++x) {
      const SMapCell& c = cells[x + kSize * y];
      for (u16 id : c.monsterId)
        if (id)
          if (SMapMonster* m = FindBlockMonsterById(x, y, u8(id))) m->displayIndex = NextMonsterNumber();
      if (c.bagId)
        if (SItemContainer* bag = FindBlockBagById(x, y, u8(c.bagId))) bag->serial = NextBagNumber();
      if (TypeNumber(c.centreType) != 5) continue;
      for (u32 side = 0; side < 4; ++side) {
        if (TypeNumber(c.sideType[side]) != 17) continue;
        const SMapObjectInst* o = FindBlockObjectById(x, y, c.sideObjectId[side]);
        if (!o || !o->containerId) continue;
        if (SItemContainer* bag = FindBlockBagById(x, y, o->containerId)) bag->serial = NextBagNumber();
      }
    }
}

// ---- lists by id

SMapMonster* SMapWindow::FindAreaMonster(const SMapArea& area, u8 id) {
  SMapMonster* m = id ? area.FindMonsterById(id) : nullptr;
  return m && m->monster ? m : nullptr;
}

SMapMonster* SMapWindow::FindBlockMonsterById(i32 x, i32 y, u8 id) const {
  SMapArea* area = BlockArea(x, y);
  return area && id ? area->FindMonsterById(id) : nullptr;
}

SItemContainer* SMapWindow::FindBlockBagById(i32 x, i32 y, u8 id) const {
  SMapArea* area = BlockArea(x, y);
  return area && id ? area->FindContainerById(id) : nullptr;
}

SMapObjectInst* SMapWindow::FindBlockObjectById(i32 x, i32 y, u8 id) const {
  SMapArea* area = BlockArea(x, y);
  return area && id ? area->FindObjectById(id) : nullptr;
}

// ---- places

bool SMapWindow::LocateObject(SMapArea& area, const SMapObjectInst& object, SPlace& place) {
  place = SPlace{};
  i32 x = object.cellX, y = object.cellY;
  if (area.IsOutdoor() && !GetAreaLocalPosition(area, object.cellX, object.cellY, x, y)) return false;
  const SMapCell* c = Cell(x, y);
  const SMapCellFaces* f = Faces(x, y);
  if (!c || !f || !object.id) return false;
  place.x = x;
  place.y = y;
  if (c->centreObjectId == object.id) return true;
  for (i32 side = 0; side < 4; ++side)
    if (c->sideObjectId[side] == object.id) {
      place.side = side;
      return true;
    }
  place.layer = 2;
  if (f->centreObjectId == object.id) return true;
  for (i32 side = 0; side < 4; ++side)
    if (f->sideObjectId[side] == object.id) {
      place.side = side;
      return true;
    }
  return true;
}

bool SMapWindow::LocateMonster(SMapArea& area, const SMapMonster& monster, i32& x, i32& y) {
  x = y = 0;
  bool listed = false;
  for (const SMapMonster* m : area.monsters) listed = listed || m == &monster;
  if (!listed) return false;
  i32 column = monster.cellX, row = monster.cellY;
  if (area.IsOutdoor() && !GetAreaLocalPosition(area, monster.cellX, monster.cellY, column, row)) return false;
  if (!Inside(column, row)) return false;
  x = column;
  y = row;
  return true;
}

SMapObjectType* SMapWindow::GetPlacedObjectType(SMapArea& area, const SMapObjectInst& object) {
  SPlace place;
  if (!LocateObject(area, object, place)) return nullptr;
  const u32 side = u32(place.side);
  if (place.layer == 1) {
    const SMapCell* c = Cell(place.x, place.y);
    return place.side >= 0 ? c->sideType[side] : c->centreType;
  }
  const SMapCellFaces* f = Faces(place.x, place.y);
  return place.side >= 0 ? f->sideType[side] : f->centreType;
}

void SMapWindow::RemoveMonsterFromCell(SMapArea& area, const SMapMonster& monster) {
  i32 x = monster.cellX, y = monster.cellY;
  if (area.IsOutdoor() && !GetAreaLocalPosition(area, monster.cellX, monster.cellY, x, y)) return;
  SMapCell* c = Cell(x, y);
  if (!c || !monster.id) return;
  if (c->monsterId[0] == monster.id) {
    c->monsterId[0] = c->monsterId[1];
    c->monsterId[1] = 0;
  } else if (c->monsterId[1] == monster.id) {
    c->monsterId[1] = 0;
  }
}

SItemContainer* SMapWindow::CreateBagAt(i32 x, i32 y) {
  SMapArea* map = CurrentArea();
  if (!map) return nullptr;
  SItemContainer* bag = map->AddContainer();
  if (!bag) return nullptr;
  if (!bag->serial) bag->serial = NextBagNumber();
  const i32 offset = map->IsOutdoor() ? 7 : 0;
  PlaceBagInCell(*map, *bag, x - offset, y - offset);
  return bag;
}

bool SMapWindow::IsCellSeen(i32 x, i32 y) const {
  SMapArea* area = nullptr;
  i32 ax = 0, ay = 0;
  return AreaPosition(x, y, area, ax, ay) && area->IsVisited(ax, ay);
}

void SMapWindow::MarkCellSeen(i32 x, i32 y) {
  SMapArea* area = nullptr;
  i32 ax = 0, ay = 0;
  if (AreaPosition(x, y, area, ax, ay)) area->MarkVisited(ax, ay);
}

i32 SMapWindow::GetContainerWeight(SMapArea* area, const SMapObjectInst* object, const SMapCell* cell) const {
  u8 id = object ? object->containerId : 0;
  if (!id && cell) id = u8(cell->bagId);
  const SItemContainer* bag = area && id ? area->FindContainerById(id) : nullptr;
  if (!bag) return 0;
  i32 total = 0;
  for (const SItem* item : bag->items)
    if (item && item->type) total += item->type->weight;
  return total;
}

i32 SMapWindow::DirectionOfFacing(i32 facing) { return PositiveMod(360 - facing, 360) / 90; }

SMapCell* SMapWindow::GetCellAhead(i32 direction, i32 facing, i32& x, i32& y, i32& opposite, SMapArea*& area) {
  const i32 d = direction < 0 ? DirectionOfFacing(facing) : direction & 3;
  x = playerX + kDx[d];
  y = playerY + kDy[d];
  opposite = (d + 2) % 4;
  area = BlockArea(x, y);
  return Cell(x, y);
}

// ---- tests

void SMapWindow::DefaultBaseSlot(i32 x, i32 y, SMapObjectType*& type, SPaletteEntry*& palette) const {
  type = nullptr;
  palette = nullptr;
  if (const SMapArea* area = BlockArea(x, y)) {
    type = static_cast<SMapObjectType*>(area->textureType);
    palette = area->texturePalette;
    return;
  }
  // Where no map lies the world's own ground (its sea) shows.
  const SMapArea* current = CurrentArea();
  if (current && current->module) {
    type = static_cast<SMapObjectType*>(current->module->waterType);
    palette = current->module->mapPalette;
  }
}

SMapObjectType* SMapWindow::DefaultBase(i32 x, i32 y) const {
  SMapObjectType* type = nullptr;
  SPaletteEntry* palette = nullptr;
  DefaultBaseSlot(x, y, type, palette);
  return type;
}

bool SMapWindow::IsWater(i32 x, i32 y, bool strict, SMapObjectType*& type) const {
  const SMapCell* c = Inside(x, y) ? &cells[x + kSize * y] : nullptr;
  if (!c) return false;
  const struct {
    SMapObjectType* base;
    SMapObjectType* second;
  } slotsOfCell[2] = {{c->base2Type, c->base2Type2}, {c->base1Type, c->base1Type2}};
  for (const auto& slot : slotsOfCell) {
    if (!slot.base) continue;
    if (TypeNumber(slot.base) == 3) {
      if (!type || type == slot.second) {
        type = slot.second;
        return true;
      }
    } else if (!strict) {
      return false;
    }
  }
  type = nullptr;
  return TypeNumber(DefaultBase(x, y)) == 3;
}

bool SMapWindow::IsWall(i32 x, i32 y) const { return Inside(x, y) && TypeNumber(cells[x + kSize * y].base1Type) == 5; }

bool SMapWindow::IsPassage(i32 x, i32 y) const {
  if (!IsWall(x, y)) return false;
  const SMapCell& c = cells[x + kSize * y];
  if (TypeNumber(c.centreType) != 4 || c.centreType->typeFlags < 0x8000) return false;
  const SMapObjectInst* o = FindBlockObjectById(x, y, c.centreObjectId);
  return !o || o->IsActive();
}

bool SMapWindow::IsSolidWall(i32 x, i32 y) const {
  if (!Inside(x, y)) return false;
  const SMapCell& c = cells[x + kSize * y];
  if (TypeNumber(c.centreType) != 5) return false;
  const SMapObjectInst* o = FindBlockObjectById(x, y, c.centreObjectId);
  return !o || o->IsActive();
}

bool SMapWindow::LacksWallsEastWest(i32 x, i32 y) {
  const SMapCell* east = Cell(x + 1, y);
  const SMapCell* west = Cell(x - 1, y);
  return !(east && west && TypeNumber(east->centreType) == 5 && TypeNumber(west->centreType) == 5);
}

bool SMapWindow::IsCentreBlocking(SMapArea* area, const SMapCell* cell) const {
  if (!cell || !cell->centreType) return false;
  SMapObjectInst* o = area && cell->centreObjectId ? area->FindObjectById(cell->centreObjectId) : nullptr;
  return cell->centreType->IsBlocking(o);
}

bool SMapWindow::IsPlayerCell(const SMapCell* cell) {
  SMapCell* own = Cell(playerX, playerY);
  return own ? cell == own : cell == nullptr;
}

bool SMapWindow::IsMonsterBlocked(const SMapMonster& monster, i32 direction, i32 x, i32 y) {
  SMapCell* c = Cell(x, y);
  if (!c || (c->monsterId[0] && c->monsterId[1])) return true;
  SMapObjectType* candidate = c->base2Type ? c->base2Type : c->base1Type ? c->base1Type : DefaultBase(x, y);
  if (TypeNumber(candidate) == 3) {
    // Water three cells wide across the way is deep: narrower water can be crossed.
    const bool eastWest = (direction & 1) != 0;
    bool allWater = true;
    for (i32 k = -1; k <= 1 && allWater; ++k) {
      SMapObjectType* found = nullptr;
      allWater = eastWest ? IsWater(x, y + k, true, found) : IsWater(x + k, y, true, found);
    }
    SMapObjectType* own = nullptr;
    if (allWater && IsWater(x, y, false, own) && !IsPassage(x, y)) return true;
  }
  if (IsWall(x, y) && !IsPassage(x, y)) return true;
  if (c->centreType) {
    SMapObjectInst* o = FindBlockObjectById(x, y, c->centreObjectId);
    if ((!o || o->IsActive()) && c->centreType->IsBlocking(o)) return true;
  }
  if (!monster.monster || !monster.monster->layer2Blocking) return false;
  const SMapCellFaces* f = Faces(x, y);
  if (!f->centreType) return false;
  const SMapObjectInst* o = FindBlockObjectById(x, y, f->centreObjectId);
  return !o || o->IsActive();
}

void SMapWindow::ClampPlayerIntoTile() {
  if (!IsJoined()) return;
  playerX = playerX < 7 ? 7 : playerX > 27 ? 27 : playerX;
  playerY = playerY < 7 ? 7 : playerY > 27 ? 27 : playerY;
}

void SMapWindow::StoreWorldPosition() {
  SMapArea* map = CurrentArea();
  if (!IsJoined() || !map->module) return;
  map->module->SetWorldPosition(map, playerX, playerY, minutes);
}
