// The game state's window onto the world: 35 x 35 cells around the player, two layers (the map cells and
// their faces), filled from the map area the player is in and, outdoors, from the eight tiles around it.
// Everything else addresses the world through window coordinates (x, y), each 0..34.
//
// `cellFlags` means different things by the kind in the cell (they never meet within one kind):
//   doors: bits 0-1 orientation, bits 2-3 opening method;   groups: bits 0-6 the spots;
//   teleports and positions: bits 0-2 the arrival facing 1..4;   traps: bits 4-6 the trap kind;
//   bit 7: a block-animation centre built by the game state's own substitute type.
#pragma once
#include "foundation/SRandom.h"
#include "foundation/SStringList.h"
#include "os/Types.h"
#include "world/SItem.h"
#include "world/SMapGame.h"

class SItemTable;
class SMapArea;
class SMapObjectType;
class SMonster;
class SMonsterTable;
class SSoundTable;
class SStream;
class SWorldModule;
struct SMapMonster;
struct SPaletteEntry;

struct SMapCell {
  SMapObjectType* base1Type;
  SPaletteEntry* base1Palette;
  SMapObjectType* base1Type2;
  SMapObjectType* base2Type;
  SPaletteEntry* base2Palette;
  SMapObjectType* base2Type2;
  SMapObjectType* centreType;
  SPaletteEntry* centrePalette;
  SMapObjectType* styleType;
  SPaletteEntry* stylePalette;
  SMapObjectType* sideType[4];
  SPaletteEntry* sidePalette[4];
  SMapObjectType* side2Type[4];
  SPaletteEntry* side2Palette[4];
  u16 monsterId[2];
  u16 bagId;
  u8 sideObjectId[4];
  u8 cellFlags;
  u8 centreObjectId;
  u8 spare;

  SMapCell() { Clear(); }
  void Clear();
  void ClearSide(u32 side);
  void ClearObjectGroup();
  // One cell of a map's cell record (its types and palettes resolved through the module's index lists).
  // `recordFlags` gets the cell's flag word (bit 15: a face record follows). False when the record ends.
  bool Read(SStream& s, const SWorldModule& module, u32 version, u16& recordFlags);
  // Every type the cell names is in use on the map (its sounds are then needed too).
  void MarkTypesNeeded(SSoundTable* sounds) const;
};

struct SMapCellFaces {
  SMapObjectType* type0;
  SPaletteEntry* palette0;
  SMapObjectType* centreType;
  SPaletteEntry* centrePalette;
  SMapObjectType* type3;
  SPaletteEntry* palette3;
  SMapObjectType* sideType[4];
  SPaletteEntry* sidePalette[4];
  SMapObjectType* side2Type[4];
  SPaletteEntry* side2Palette[4];
  u8 sideObjectId[4];
  u8 centreObjectId;

  SMapCellFaces() { Clear(); }
  void Clear();
  void ClearSide(u32 side);
  void ClearGroups();
  bool Read(SStream& s, const SWorldModule& module, u32 version);
  void MarkTypesNeeded(SSoundTable* sounds) const;
};

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
