// An entry of the game state's action list: one thing animated over the frames (here, so far, the hit
// indicator of a blow or of damage taken by the player).
#pragma once
#include "foundation/SPtrArray.h"

enum SActionKind : u32 {
  kActionHitIndicator = 7,
  kActionMonsterAttack = 10,  // a monster's blow under way
};

struct SActionRecord {
  u32 kind = 0;
  i32 phase = 0;
  i32 direction = 0;  // the side a blow comes from, -1 none
  u32 damage = 0;
  u8 isDamage = 0;     // 1: damage without a blow
  i32 monsterId = -1;  // the monster a monster's attack belongs to
};

template <>
struct SNameOf<SActionRecord> {
  static const SName& Get(const SActionRecord&) {
    static const SName none;
    return none;
  }
};
