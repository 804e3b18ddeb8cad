#include "game/SSceneTables.h"

#include <cstring>
#include <new>

namespace {

template <class T>
T* Zeroed(u32 n) {
  T* p = new (std::nothrow) T[n];
  if (p) std::memset(p, 0, sizeof(T) * n);
  return p;
}

constexpr u32 kCellWords = SSceneTables::kCells * RenderWords::kCellWords;
constexpr u32 kLayer2Words = SSceneTables::kCells * RenderWords::kCellSideWords;
constexpr u32 kGroundWords = SSceneTables::kGroundRecords * RenderWords::kFloorTypeWords;
constexpr u32 kObjectWords = SSceneTables::kWordRecords * RenderWords::kObjectWords;
constexpr u32 kFaceWords = SSceneTables::kWordRecords * RenderWords::kWallFaceWords;
constexpr u32 kBagWords = SSceneTables::kNumbered * RenderWords::kFloorItemWords;
constexpr u32 kMonsterWords = SSceneTables::kNumbered * RenderWords::kCreatureWords;

}  // namespace

bool SSceneTables::Allocate() {
  Free();
  cells = Zeroed<u16>(kCellWords);
  layer2 = Zeroed<u16>(kLayer2Words);
  ground = Zeroed<u16>(kGroundWords);
  words = Zeroed<u16>(kObjectWords);
  lights = Zeroed<u16>(kFaceWords);
  bags = Zeroed<u16>(kBagWords);
  monsters = Zeroed<u16>(kMonsterWords);
  if (cells && layer2 && ground && words && lights && bags && monsters) return true;
  Free();
  return false;
}

void SSceneTables::Free() {
  delete[] cells;
  delete[] layer2;
  delete[] ground;
  delete[] words;
  delete[] lights;
  delete[] bags;
  delete[] monsters;
  cells = layer2 = ground = words = lights = bags = monsters = nullptr;
}

void SSceneTables::Reset() {
  if (!IsAllocated()) return;
  std::memset(cells, 0, sizeof(u16) * kCellWords);
  std::memset(layer2, 0, sizeof(u16) * kLayer2Words);
  std::memset(ground, 0, sizeof(u16) * kGroundWords);
  std::memset(words, 0, sizeof(u16) * kObjectWords);
  std::memset(lights, 0, sizeof(u16) * kFaceWords);
  std::memset(bags, 0, sizeof(u16) * kBagWords);
  std::memset(monsters, 0, sizeof(u16) * kMonsterWords);
}

void SSceneTables::Publish(SWorldView& view) const {
  view.cells = cells;
  view.cellSides = layer2;
  view.floorTypes = ground;
  view.floorTypeCount = IsAllocated() ? kGroundRecords : 0;
  view.objects = words;
  view.objectCount = IsAllocated() ? kWordRecords : 0;
  view.wallFaces = lights;
  view.wallFaceCount = IsAllocated() ? kWordRecords : 0;
  view.floorItems = bags;
  view.floorItemCount = IsAllocated() ? kNumbered : 0;
  view.creatures = monsters;
  view.creatureCount = IsAllocated() ? kNumbered : 0;
  view.mapWidth = view.mapHeight = IsAllocated() ? 35 : 0;
}
