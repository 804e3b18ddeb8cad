// An entry of the game state's action list: one thing animated over the frames (a swing of the hands, a
// flying missile, a cast, a drink, a hit indicator, the nudge of a paralysed swing, a monster's blow on
// its way). The game state is busy while any exists.
#pragma once
#include "foundation/SPtrArray.h"
#include "foundation/TimeUtil.h"

class SFpsItem;
class SItem;
class SMapArea;
class SSpellEffect;
class SSpell;

enum SActionKind : u32 {
  kActionSwing = 1,
  kActionMissile = 2,
  kActionCast = 3,
  kActionPotion = 4,
  kActionSpellEffect = 5,
  kActionMonsterSpell = 6,
  kActionHitIndicator = 7,
  kActionParalysedSwing = 9,
  kActionMonsterAttack = 10,  // a monster's blow under way
};

// How the hands of a swing strike.
enum SHandMode : u8 { kHandsRanged = 0, kHandsBoth = 1, kHandsFirst = 2 };

struct SActionRecord {
  u32 kind = 0;
  u8 handMode = kHandsFirst;
  u32 lastTick = 0;   // the tick of the last step
  u8 stepped = 0;     // set once the record has taken its first step
  u32 startTick = 0;  // a second-hand strike may begin at this tick
  i32 phase = 0;
  i32 secondPhase = -1;         // the second hand's own swing, -1 before it begins
  u32 done = 0;                 // the strike (or launch) of the record has happened
  SItem* item = nullptr;        // the weapon, or the missile's item
  SItem* secondItem = nullptr;  // the second hand's item or the ammunition
  SFpsItem* firstPicture = nullptr;
  SFpsItem* secondPicture = nullptr;
  u16 palette = 0, secondPalette = 0;
  u8 singlePhase = 0, secondSinglePhase = 0;  // swings of one phase (a jab) rather than a full swing
  u8 thrown = 0;                              // the record uses up a unit of its item
  u8 bow = 0, crossbow = 0;
  // A missile: its cell, its place inside the cell (16-bit fractions, 32768 the centre) and drawn size.
  i32 cellX = 0, cellY = 0;
  i32 posX = 32768, posY = 32768;
  u16 size = 4000;
  i32 cells = 0;             // cells entered
  i32 direction = 0;         // a grid direction; for a hit indicator the side a blow comes from, -1 none
  SMapArea* area = nullptr;  // the attacking monster's area (monster records)
  i32 monsterId = -1;        // the attacking monster, -1 the player's own record
  u32 damage = 0;            // damage shown by a hit indicator
  u8 isDamage = 0;           // 1: damage without a blow
  // A monster's blow under way: frames to wait before the shield moves, and its steps.
  i32 delay = 0;
  i32 stepX = 0, stepY = 0;
  // A drink: the effect picture, its palette and the sound.
  SSpellEffect* effectPicture = nullptr;
  const char* sound = nullptr;
  // A cast: the spell and its power, the casting item (null: from the book), and a cast that uses
  // the item's own picture; a spell's effect picture frames shown.
  const SSpell* spell = nullptr;
  i32 power = 0;
  u8 itemCast = 0;
  u8 staff = 0;

  // Whether the record takes a step now: its first step at once, then one each time more than
  // `interval` milliseconds have passed since the last.
  bool Due(u32 now, u32 interval) {
    if (stepped && !TicksElapsed(now, lastTick, interval)) return false;
    stepped = 1;
    lastTick = now;
    return true;
  }
};

template <>
struct SNameOf<SActionRecord> {
  static const SName& Get(const SActionRecord&) {
    static const SName none;
    return none;
  }
};
