// What the maps ask of the game above them: the monster templates' values, the game clock, the window of
// map cells that entering a map fills, where monsters and bags go, and the saved game's name tables. The
// game implements it (the game state's map link); the world layer only calls it.
#pragma once
#include "os/Types.h"

class SItemContainer;
class SItemNames;
class SMapArea;
class SMonster;
class SRandom;
class SStream;
class SWorldModule;
struct SMapMonster;

class SMapGame {
 public:
  virtual ~SMapGame() = default;

  // Monster templates (never null when called).
  virtual i16 TemplateMaxHp(const SMonster* m) = 0;
  virtual u8 TemplateKind(const SMonster* m) = 0;
  virtual bool TemplateAggressive(const SMonster* m) = 0;
  // Marks the template's base type and its four sounds needed by the map being entered.
  virtual void MarkTemplateNeeded(const SMonster* m) {}
  virtual void RefreshMonsterPicture(SMapArea& area, SMapMonster& monster) {}
  // The display entry of a poisoned monster: bit 1 and a countdown value.
  virtual void ShowMonsterPoisoned(SMapArea& area, SMapMonster& monster, u16 value) {}
  // A monster entry of the area is about to be freed.
  virtual void MonsterFreed(SMapArea& area, SMapMonster& monster) {}

  // Containers: the random source that fills them, the items a person carries (their container is
  // filled from the template's list), and a bag put into its window cell (false: it lies nowhere).
  virtual SRandom* Random() { return nullptr; }
  virtual void FillFromTemplate(SMapArea& area, SMapMonster& monster, SItemContainer& bag) {}
  virtual bool PlaceBagInCell(SMapArea& area, SItemContainer& bag, i32 x, i32 y) { return false; }

  // Game time in minutes.
  virtual u32 GameMinutes() { return 0; }
  // The serial number of a new container (the counter then advances).
  virtual u32 NextContainerSerial() { return 0; }

  // The window: a cell (and its faces) cleared, or read from the cell record at the stream's cursor with
  // the module's index lists. False when the record is malformed.
  virtual void ClearWindowCell(i32 column, i32 row) {}
  virtual bool ReadWindowCell(i32 column, i32 row, SStream& s, const SWorldModule& module, u32 version) = 0;
  // Placement of a monster near its cell; window cell of an area position (false when outside).
  virtual void PlaceObjectInArea(SMapArea& area, SMapMonster& monster, i32 x, i32 y) {}
  virtual bool GetAreaLocalPosition(SMapArea& area, i32 x, i32 y, i32& column, i32& row) { return false; }

  // The saved game's monster-name table: the index of a template's name (added when absent), and the
  // template of an index (null when the name is no longer known).
  virtual u16 InternMonster(const SMonster* m) = 0;
  virtual SMonster* SavedMonster(u16 index) = 0;
  // The saved game's item-name table (null: containers are saved without items' names and not read).
  virtual SItemNames* ItemNames() { return nullptr; }
};
