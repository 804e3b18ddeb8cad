// The acts a monster's turn sets going whose views belong to the fights' own animation: the blow on its
// way to the player's shield, a monster's missile and a monster's cast. Until that animation exists they
// show nothing: the blow's record lives one frame, the missile and the cast do not fly.
#include "game/SStateGame.h"
#include "world/SMapArea.h"

#include <new>

void SStateGame::StartMonsterAttack(SMapMonster& monster, i32 direction, i32 /*distance*/) {
  auto* r = new (std::nothrow) SActionRecord;
  if (!r) return;
  r->kind = kActionMonsterAttack;
  r->direction = direction;
  r->monsterId = monster.id;
  if (!actions.Add(r)) delete r;
}

void SStateGame::LaunchMonsterMissile(i32 /*x*/, i32 /*y*/, i32 /*direction*/, SMapArea& /*area*/,
                                      SMapMonster& /*monster*/, SFpsItem* /*picture*/, u16 /*palette*/) {}

void SStateGame::MonsterCast(i32 /*x*/, i32 /*y*/, i32 /*direction*/, SMapArea& /*area*/, SMapMonster& /*monster*/,
                             const SSpell& /*spell*/, i32 /*power*/) {}
