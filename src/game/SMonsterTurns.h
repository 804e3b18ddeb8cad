// The records the game state keeps while monsters take their turns: one fight record per hostile monster
// near the player for the turn under way, one active record per person walking the streets near the
// player, and the draw positions of those people kept while the window moves over the maps.
#pragma once
#include "foundation/SPtrArray.h"

class SMapArea;
struct SMapMonster;

// The lists hold these records unnamed: they are found by their monster, never by a name.
struct SUnnamedEntry {
  inline static const SName name{};
};

// What a monster does in a fight turn.
enum SFightKind : u8 {
  kFightAct = 1,       // acts from its cell (the melee blow or missile; the only one that starts the blow's view)
  kFightCast = 2,      // acts from its cell: a spell caster
  kFightApproach = 3,  // moves toward the centre
  kFightStay = 4,      // stays (finished at once)
  kFightActed = 5,     // has acted this turn
  kFightFlee = 6,      // moves away from the centre
  kFightLineUp = 7,    // moves into the centre's row or column, the shorter distance first
  kFightLine = 8,      // acts along a clear line that reaches the centre's row or column
};

struct SFightRecord : SUnnamedEntry {
  SMapMonster* monster = nullptr;
  SMapArea* area = nullptr;  // whose monster list holds it
  u8 slot = 0;               // its cell's monster slot at the start of the turn
  i8 startX = 0, startY = 0;
  u8 targetSlot = 0;
  i8 targetX = 0, targetY = 0;  // the cell it heads for (its own when it does not move)
  i8 currentX = 0, currentY = 0;
  u8 side = 0;  // grid direction of the monster seen from the centre: 3 west of it, 1 east, else 0 north or 2 south
  u8 kind = 0;
  i32 remaining = 0;  // travel left, 16.16
  i16 velocityX = 0, velocityY = 0;
  i8 stepX = 0, stepY = 0;
  u8 lineFlag = 0;  // set for kind 8: its spell must reach by its area
  // The draw record of a slide under way, kept while every cell is rebuilt (`drawKept` set).
  static constexpr u32 kDrawWords = 14;
  u16 keptDraw[kDrawWords] = {};
  u8 drawKept = 0;

  bool Moves() const { return kind == kFightApproach || kind == kFightFlee || kind == kFightLineUp; }
  bool Acts() const { return kind == kFightAct || kind == kFightCast || kind == kFightLine; }
};

// A person walking near the player.
struct SActiveMonster : SUnnamedEntry {
  enum : u8 { kUndecided = 0, kWalk = 1, kStand = 2, kLookAround = 3 };
  SMapMonster* monster = nullptr;
  SMapArea* area = nullptr;  // of the block that held the person when the record was made
  i32 budget = 0;            // walk left, or wait left, in 1/65536 cell
  i16 stepX = 0, stepY = 0;  // per tick inside the cell
  u8 originX = 0, originY = 0;
  u8 destX = 0, destY = 0;
  i8 cellX = 0, cellY = 0;  // the window cell it stands in now
  u8 seen = 0;
  u8 action = kUndecided;
  u8 facing = 0;   // 0 north, 1 west, 2 south, 3 east
  i8 turnTo = -1;  // the facing shown on the way through a half turn, -1 none
  u8 turnTicks = 0;
};

// A person's place in its cell and its frame, kept across a move of the window.
struct SSavedMonsterPos : SUnnamedEntry {
  SMapMonster* monster = nullptr;
  u16 x = 32768, y = 32768;
  u16 frame = 0;
};
