// Acts that fights set going and that belong to the spells and the event actions: a monster's cast and the
// conversation a talk leads to. Until those exist a cast does not fly and a talk opens nothing.
#include "game/SStateGame.h"

void SStateGame::MonsterCast(i32 /*x*/, i32 /*y*/, i32 /*direction*/, SMapArea& /*area*/, SMapMonster& /*monster*/,
                             const SSpell& /*spell*/, i32 /*power*/) {}

u32 SStateGame::TalkToNpc(SMapMonster* /*person*/, SMapArea* /*area*/, SMapObjectInst* /*object*/) { return 0; }
