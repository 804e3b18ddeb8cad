// The game state's window onto the world: 35 x 35 cells (world/SMapCell.h) around the player, filled from
// the map area the player is in and, outdoors, from the eight tiles around it. Everything else addresses the
// world through window coordinates (x, y), each 0..34. It also answers what the maps ask of the game while
// they load into it.
#pragma once
#include "foundation/SRandom.h"
#include "world/SItem.h"
#include "world/SMapCell.h"
#include "world/SMapGame.h"

class SGameCore;
class SItemTable;
class SMapArea;
class SMapObjectType;
struct SMapObjectInst;
class SMonster;
class SMonsterTable;
class SSaveGame;
class SSoundTable;
class SStateGame;
class SStream;
class SWorldModule;
struct SMapMonster;

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

  // Sequence numbers of monsters and bags index the scene's 256-record tables: 1..255, then 0 (the
  // monster or bag is not drawn).
  static constexpr u16 kLastNumber = 255;

  // Where a placed object lies in the window.
  struct SPlace {
    i32 x = 0, y = 0;
    i32 side = -1;  // -1: the centre
    i32 layer = 1;  // 1 the cells, 2 the faces
  };

  // The placement of each area slot of a joined outdoor map (a 3 x 3 neighbourhood of 21 x 21 tiles):
  // map offset dx, dy, source x, y, width, height, window x, y.
  static constexpr i32 kPlacement[9][8] = {
      {-1, -1, 14, 14, 7, 7, 0, 0}, {0, -1, 0, 14, 21, 7, 7, 0}, {1, -1, 0, 14, 7, 7, 28, 0},
      {-1, 0, 14, 0, 7, 21, 0, 7},  {0, 0, 0, 0, 21, 21, 7, 7},  {1, 0, 0, 0, 7, 21, 28, 7},
      {-1, 1, 14, 0, 7, 7, 0, 28},  {0, 1, 0, 0, 21, 7, 7, 28},  {1, 1, 0, 0, 7, 7, 28, 28},
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
  // The current map is an outdoor tile joined to its neighbours.
  bool IsJoined() const;
  // The area-local position of a window cell through its block's slot; false outside the area.
  bool AreaPosition(i32 x, i32 y, SMapArea*& area, i32& areaX, i32& areaY) const;
  // The map-object class of a type (0 for none): the kinds are told by it.
  static u8 TypeNumber(const SMapObjectType* t);

  // ---- sequence numbers
  u16 NextMonsterNumber();
  u16 NextBagNumber();
  void ResetNumbers() { monsterCounter = containerCounter = 1; }
  // Numbers every monster and bag the window's cells show (and the bags on shelves), row by row, from 1.
  void ResolveCellObjects();

  // Calls f(area, monster, x, y, slot) for every placed monster in the cells within `radius` of (cx, cy)
  // (a square, clipped to the window), row by row, first slot first.
  template <class F>
  void VisitMonsters(i32 cx, i32 cy, i32 radius, F&& f) const {
    if (!IsAllocated()) return;
    const i32 x0 = cx - radius < 0 ? 0 : cx - radius, x1 = cx + radius >= kSize ? kSize - 1 : cx + radius;
    const i32 y0 = cy - radius < 0 ? 0 : cy - radius, y1 = cy + radius >= kSize ? kSize - 1 : cy + radius;
    for (i32 y = y0; y <= y1; ++y)
      for (i32 x = x0; x <= x1; ++x) {
        const SMapCell& c = cells[x + kSize * y];
        if (!c.monsterId[0] && !c.monsterId[1]) continue;
        SMapArea* area = BlockArea(x, y);
        if (!area) continue;
        for (u32 slot = 0; slot < 2; ++slot) {
          SMapMonster* m = c.monsterId[slot] ? FindAreaMonster(*area, u8(c.monsterId[slot])) : nullptr;
          if (m) f(*area, *m, x, y, slot);
        }
      }
  }
  // The area's monster with the id that has a template; null otherwise.
  static SMapMonster* FindAreaMonster(const SMapArea& area, u8 id);

  // ---- lists of the cell's block area by id (0 never matches)
  SMapMonster* FindBlockMonsterById(i32 x, i32 y, u8 id) const;
  SItemContainer* FindBlockBagById(i32 x, i32 y, u8 id) const;
  SMapObjectInst* FindBlockObjectById(i32 x, i32 y, u8 id) const;

  // ---- where things lie
  // False when the object's cell is not in the window (the place is then (0, 0), centre, layer 1).
  bool LocateObject(SMapArea& area, const SMapObjectInst& object, SPlace& place);
  // The window cell of an area's monster; false (0, 0) when the area has no such monster or no slot shows it.
  bool LocateMonster(SMapArea& area, const SMapMonster& monster, i32& x, i32& y);
  // The type at the object's place (centre or side, either layer); null outside the window.
  SMapObjectType* GetPlacedObjectType(SMapArea& area, const SMapObjectInst& object);
  // Takes the monster out of its cell's slots (a second monster moves into the first slot).
  void RemoveMonsterFromCell(SMapArea& area, const SMapMonster& monster);
  // A new empty bag of the current map in the cell's bag slot (it lies nowhere when the slot is taken);
  // null when the map has no free bag id.
  SItemContainer* CreateBagAt(i32 x, i32 y);
  // The automap bit of a window cell (false outside its area), and setting it.
  bool IsCellSeen(i32 x, i32 y) const;
  void MarkCellSeen(i32 x, i32 y);
  // Total weight of the bag of a floor object (its container, else the cell's bag); 0 without one.
  i32 GetContainerWeight(SMapArea* area, const SMapObjectInst* object, const SMapCell* cell) const;
  // The cell one step from the player in a grid direction (-1: the facing one); null outside.
  SMapCell* GetCellAhead(i32 direction, i32 facing, i32& x, i32& y, i32& opposite, SMapArea*& area);
  // The facing's grid direction: 0 north, 1 east, 2 south, 3 west.
  static i32 DirectionOfFacing(i32 facing);

  // ---- tests
  // A monster may not enter the cell (travelling in grid direction `direction`).
  bool IsMonsterBlocked(const SMapMonster& monster, i32 direction, i32 x, i32 y);
  // Base slot 1 holds a wall (a pit's walls); a passage is such a cell bridged by a passable decoration.
  bool IsWall(i32 x, i32 y) const;
  bool IsPassage(i32 x, i32 y) const;
  // The centre is a wall whose object is absent or active.
  bool IsSolidWall(i32 x, i32 y) const;
  // False when the cells east and west of (x, y) both hold wall centres.
  bool LacksWallsEastWest(i32 x, i32 y);
  bool IsCentreBlocking(SMapArea* area, const SMapCell* cell) const;
  bool IsPlayerCell(const SMapCell* cell);
  // The water query of a cell: `type` in: the water kind wanted (null any), out: the kind found.
  bool IsWater(i32 x, i32 y, bool strict, SMapObjectType*& type) const;
  // The default ground of the cell's block area (the module's when the block has none).
  SMapObjectType* DefaultBase(i32 x, i32 y) const;
  void DefaultBaseSlot(i32 x, i32 y, SMapObjectType*& type, SPaletteEntry*& palette) const;

  // ---- after a fill of a joined tile
  void ClampPlayerIntoTile();
  void StoreWorldPosition();

  // SMapGame
  i16 TemplateMaxHp(const SMonster* m) override;
  u8 TemplateKind(const SMonster* m) override;
  bool TemplateAggressive(const SMonster* m) override;
  void MarkTemplateNeeded(const SMonster* m) override;
  // The monster's look follows its paralysis (its draw record belongs to the game state that owns the window).
  void RefreshMonsterPicture(SMapArea& area, SMapMonster& monster) override;
  // Poison hurt the monster: its look shows it (the game state's draw record).
  void ShowMonsterPoisoned(SMapArea& area, SMapMonster& monster, u16 value) override;
  u32 GameMinutes() override { return minutes; }
  u32 NextContainerSerial() override { return NextBagNumber(); }
  void ClearWindowCell(i32 column, i32 row) override;
  bool ReadWindowCell(i32 column, i32 row, SStream& s, const SWorldModule& module, u32 version) override;
  void PlaceObjectInArea(SMapArea& area, SMapMonster& monster, i32 x, i32 y) override;
  bool GetAreaLocalPosition(SMapArea& area, i32 x, i32 y, i32& column, i32& row) override;
  u16 InternMonster(const SMonster* m) override;
  SMonster* SavedMonster(u16 index) override;
  SItemNames* ItemNames() override;
  SRandom* Random() override { return generator ? generator : &random; }
  void FillFromTemplate(SMapArea& area, SMapMonster& monster, SItemContainer& bag) override;
  bool PlaceBagInCell(SMapArea& area, SItemContainer& bag, i32 x, i32 y) override;
  // The script context lets go of a monster it targets.
  void MonsterFreed(SMapArea& area, SMapMonster& monster) override;

  // Puts a monster into the cell (never the player's) or a free neighbour of the same area; the monster
  // records the area position it got. False when nowhere is free or the position is outside the window.
  bool PlaceMonster(SMapArea& area, SMapMonster& monster, i32 x, i32 y);

  SMapCell* cells = nullptr;
  SMapCellFaces* faces = nullptr;
  SSlot slots[9];
  i32 playerX = -1, playerY = -1;
  u32 minutes = 0;
  u16 monsterCounter = 1;                 // the next monster's draw slot
  u16 containerCounter = 1;               // the next bag's sequence number
  SMonsterTable* monsterTable = nullptr;  // where saved monster names are found again
  SSoundTable* sounds = nullptr;          // types read into the window mark their sounds needed here
  SSaveGame* saves = nullptr;             // the saved game's name tables (none: monsters and bags unsaved)
  SItemTable* items = nullptr;            // what monsters carry is made from it
  SRandom random;                         // the window's own, until the game's generator is given
  SRandom* generator = nullptr;           // the game's single generator
  SStateGame* owner = nullptr;            // the game state the window belongs to

 private:
  SMapCell* FreeCell(SMapArea& area, i32 x, i32 y);
};
