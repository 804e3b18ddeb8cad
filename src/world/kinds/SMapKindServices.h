// What the map-object kinds ask of the game above them: the clock, the player, the event queue, sounds,
// services, the script context's spell and the view's counters. The game state implements it and hands it
// to the type table (`SMapObjectTypeTable::services`); the world layer only calls it. Without services the
// kinds still keep their own state, but nothing is shown, played or queued.
#pragma once
#include "os/Types.h"

class SItemContainer;
class SItemTable;
class SItemType;
class SMapArea;
class SMapObjectType;
class SRandom;
class SSpellTable;
class SString;
struct SMapCell;
struct SMapObjectInst;

class SMapKindServices {
 public:
  virtual ~SMapKindServices() = default;

  // Clock and map: night is hour < 6 or >= 22; a map with a day/night cycle (joined outdoor maps).
  virtual bool IsNight() = 0;
  virtual bool HasDayNightCycle() = 0;
  // The view's first (0) and second (1) animation counters.
  virtual u32 AnimationCounter(u32 which) = 0;
  // 0..n-1 (0 when n <= 0).
  virtual i32 Random(i32 n) = 0;
  virtual SRandom& Rng() = 0;
  // Width and height of an image of the cache (0 when absent).
  virtual void ImageSize(u16 image, i32& width, i32& height) = 0;

  // The player's window cell, its facing in degrees, whether a step is under way, and its cell record.
  virtual void PlayerPosition(i32& x, i32& y) = 0;
  virtual i32 PlayerFacing() = 0;
  virtual bool PlayerStepping() = 0;
  virtual SMapCell* PlayerCell() = 0;
  // Of the cell being prepared: false when both east and west neighbours hold walls (class 5).
  virtual bool LacksWallsEastWest() = 0;

  // Game-state fields the kinds use: the door highlight counter, the four door-handle images by opening
  // method, the trap spikes' two tables of four placement values per facing (0..3), and the groups' two
  // tables of seven spot positions.
  virtual u8& HighlightCounter() = 0;
  virtual u16 HandleImage(u32 method) = 0;
  virtual i16 SpikePlacement(u32 table, u32 facing, u32 i) = 0;
  virtual i16 GroupSpot(u32 table, u32 spot) = 0;

  // Sounds (volume 1..10) and the game event queue. A message's sound: null = the default click, "" = none.
  virtual void PlaySound(const char* name, i32 volume) = 0;
  virtual void QueueMessage(const char* text, u32 flag, const char* sound) = 0;
  virtual void QueuePrompt(const char* text, SMapArea* area, SMapObjectInst* inst, SMapCell* cell, SMapObjectType* type,
                           i32 value, u8 flag1, u8 flag2, u8 flag3) = 0;
  // Travel: to the named position of the current map, or a queued transition (position, question).
  virtual void TeleportToPosition(const char* position, i32 kind) = 0;
  virtual void QueueMapTransition(const char* position, const char* question, i32 kind, i32 flag) = 0;

  // Containers and services.
  virtual void OpenBag(SMapArea* area, SMapObjectInst* inst) = 0;
  // Enters the service; `closed` is set when it stayed closed.
  virtual void EnterService(SMapArea* area, SMapObjectInst* inst, SMapObjectType* type, bool& closed) = 0;
  virtual void RefreshServiceScreens() = 0;
  virtual i32 GetContainerWeight(SMapArea* area, SMapObjectInst* inst, SMapCell* cell) = 0;
  // The container of the player's current cell (null when none).
  virtual SItemContainer* PlayerCellContainer(SMapArea* area) = 0;

  // The player.
  virtual i32 DisarmValue() = 0;  // disarm skill plus its effects
  virtual i32 ArmorClass() = 0;
  virtual void ChangeHp(i32 delta) = 0;
  virtual void ShowPlayerHit(i32 damage, i32 direction) = 0;
  virtual u32 CountItems(SItemType* type) = 0;
  virtual void LoseItems(SItemType* type, u32 count) = 0;
  virtual void AddItems(SItemType* type, u32 count) = 0;
  virtual bool HasLockPicks() = 0;
  virtual void FormatItemName(SItemType* type, u32 count, SString& out) = 0;
  // The palette name an item type is drawn with (null when none).
  virtual const char* ItemPaletteName(SItemType* type) = 0;
  virtual void RaiseCrime(i32 amount, i32 cap) = 0;

  // The script context: the spell being cast and its level, text macros, the game's message line.
  virtual const char* CurrentSpell() = 0;
  virtual i32 CurrentSpellLevel() = 0;
  virtual void ExpandTextMacros(SString& text) = 0;
  virtual void ShowScriptMessage(const char* text) = 0;

  // The wall type the world data falls back on where a wall's upper storey names none (null: none).
  virtual SMapObjectType* FallbackWallType() = 0;

  // Tables.
  virtual SItemTable* Items() = 0;
  virtual SSpellTable* Spells() = 0;
};
