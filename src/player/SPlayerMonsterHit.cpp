// A monster's blow on the player. Its damage, the armour it wears and what it carries over come with the
// fights' view of blows; what stands already is the side the blow comes from.
#include "core/SGameCore.h"
#include "game/SStateGame.h"
#include "player/SPlayer.h"

void SPlayer::TakeMonsterHit(SMapArea* /*area*/, SMapMonster* monster, SActionRecord* /*attack*/, i32 direction,
                             bool missile) {
  // A blow without a side takes it from the monster's fight record, which the blow ends.
  if (!missile && direction < 0 && monster && game && game->stateGame) game->stateGame->RemoveFromFightList(*monster);
}
