// The game state's window onto the world: 35 x 35 cells (world/SMapCell.h) around the player, filled from
// the map area the player is in and, outdoors, from the eight tiles around it. Everything else addresses the
// world through window coordinates (x, y), each 0..34. It also answers what the maps ask of the game while
// they load into it.
#pragma once
#include "foundation/SRandom.h"
#include "foundation/SStringList.h"
#include "world/SItem.h"
#include "world/SMapCell.h"
#include "world/SMapGame.h"

class SItemTable;
class SMapArea;
class SMonster;
class SMonsterTable;
class SSoundTable;
class SStream;
class SWorldModule;
struct SMapMonster;

// A saved game's item-name table: positions 1..n of the names it holds.
class SSavedItemNames : public SItemNames {
 public:
  u16 IndexOf(const SItemType* type) override;
  SItemType* TypeAt(u16 index) override;
  SItemTable* table = nullptr;
  SStringList names;
};

// The window and what the maps ask of the game (monster templates, placement, saved monster names).
class SMapWindow : public SMapGame {
 public:
  static constexpr i32 kSize = 35;
  static constexpr i32 kCells = kSize * kSize;
  static constexpr i32 kDx[4] = {0, 1, 0, -1};
  static constexpr i32 kDy[4] = {-1, 0, 1, 0};

  // Where an area slot's source rectangle lands in the window (3 x 3 neighbourhood, slot 4 the current).
  struct SSlot {
    SMapArea* area;
    i32 dx, dy, sourceX, sourceY, width, height, windowX, windowY;
  };

  SMapWindow();
  SMapWindow(const SMapWindow&) = delete;
  SMapWindow& operator=(const SMapWindow&) = delete;
  ~SMapWindow() override;
  bool IsAllocated() const { return cells && faces; }

  SMapCell* Cell(i32 x, i32 y) { return Inside(x, y) ? &cells[x + kSize * y] : nullptr; }
  SMapCellFaces* Faces(i32 x, i32 y) { return Inside(x, y) ? &faces[x + kSize * y] : nullptr; }
  static bool Inside(i32 x, i32 y) { return x >= 0 && y >= 0 && x < kSize && y < kSize; }
  void Reset();
  // Enters a map: a stand-alone map fills the window from (0, 0); a joined outdoor tile fills the
  // centre and its neighbours (found by tile in the map's module) their strips. False when the map's
  // cells cannot be read.
  bool Enter(SMapArea* map);
  SMapArea* CurrentArea() const { return slots[4].area; }
  SMapArea* BlockArea(i32 x, i32 y) const;

  // SMapGame
  i16 TemplateMaxHp(const SMonster* m) override;
  u8 TemplateKind(const SMonster* m) override;
  bool TemplateAggressive(const SMonster* m) override;
  void MarkTemplateNeeded(const SMonster* m) override;
  u32 GameMinutes() override { return minutes; }
  u32 NextContainerSerial() override { return containerCounter++; }
  void ClearWindowCell(i32 column, i32 row) override;
  bool ReadWindowCell(i32 column, i32 row, SStream& s, const SWorldModule& module, u32 version) override;
  void PlaceObjectInArea(SMapArea& area, SMapMonster& monster, i32 x, i32 y) override;
  bool GetAreaLocalPosition(SMapArea& area, i32 x, i32 y, i32& column, i32& row) override;
  u16 InternMonster(const SMonster* m) override;
  SMonster* SavedMonster(u16 index) override;
  SItemNames* ItemNames() override { return &savedItemNames; }
  SRandom* Random() override { return &random; }
  void FillFromTemplate(SMapArea& area, SMapMonster& monster, SItemContainer& bag) override;
  bool PlaceBagInCell(SMapArea& area, SItemContainer& bag, i32 x, i32 y) override;

  // Puts a monster into the cell (never the player's) or a free neighbour of the same area; the monster
  // records the area position it got. False when nowhere is free or the position is outside the window.
  bool PlaceMonster(SMapArea& area, SMapMonster& monster, i32 x, i32 y);

  SMapCell* cells = nullptr;
  SMapCellFaces* faces = nullptr;
  SSlot slots[9];
  i32 playerX = -1, playerY = -1;
  u32 minutes = 0;
  u16 containerCounter = 1;
  SMonsterTable* monsterTable = nullptr;  // where saved monster names are found again
  SSoundTable* sounds = nullptr;          // types read into the window mark their sounds needed here
  SStringList savedMonsterNames;          // the saved game's monster-name table (index = position + 1)
  SSavedItemNames savedItemNames;         // and its item-name table (set its `table` to the item table)
  SRandom random;

 private:
  SMapCell* FreeCell(SMapArea& area, i32 x, i32 y);
};
