// What a monster does when the stroke of its attack begins, by its behaviour, and the sounds of its base
// type. The blow on the player, the flight of a missile and the monster's cast are the combat's and the
// spells' own operations; here they are set going.
#include "core/SGameCore.h"
#include "foundation/SRandom.h"
#include "game/SMonster.h"
#include "game/SStateGame.h"
#include "platform/sound/SSoundManager.h"
#include "player/SPlayer.h"
#include "world/SImageCache.h"
#include "world/SItemTable.h"
#include "world/SMapArea.h"
#include "world/SSoundTable.h"

#include <cstdlib>

namespace {

void PlayNamed(SStateGame& game, const char* name, i32 volume) {
  if (game.core && name && *name) game.core->world.sounds.PlayByName(name, volume);
}

}  // namespace

u32 SMonster::Act(SStateGame& game, SMapArea& area, SMapMonster& placed, const SSpell** spell) const {
  if (spell) *spell = nullptr;
  if (!game.core) return kActNone;
  u32 act = kActNone;
  bool melee = behaviour == 1;
  if (behaviour == 4) {
    i32 x = 0, y = 0;
    const i32 px = game.window.playerX, py = game.window.playerY;
    melee = game.window.LocateMonster(area, placed, x, y) && (x == px || y == py) &&
            std::abs(x - px) + std::abs(y - py) == 1;
  }
  if (melee) {
    game.core->player.TakeMonsterHit(&area, &placed, nullptr, -1, false);
    act = kActMelee;
  } else if (behaviour == 2) {
    CastAtTarget(game, area, placed);
    act = kActMissile;
  } else if (behaviour == 3 || behaviour == 4) {
    const SFightRecord* record = game.FindFightRecord(placed);
    const SSpell* cast = AttackTarget(game, area, placed, record && record->lineFlag);
    if (spell) *spell = cast;
    act = kActSpell;
  }
  // A monster that could not act (another behaviour, or a blow that found no record) must not hold the
  // turn open: the game stays busy while its record is listed.
  game.RemoveFightRecord(placed);
  return act;
}

const SSpell* SMonster::AttackTarget(SStateGame& game, SMapArea& area, SMapMonster& placed, bool areaOnly) const {
  i32 x = 0, y = 0, side = 0;
  SMapArea* recordArea = nullptr;
  if (!game.TakeFightRecord(placed, x, y, side, recordArea)) return nullptr;
  const SSpell* spell = ChooseSpell(game, x, y, area, placed, areaOnly);
  if (spell) game.MonsterCast(x, y, (side + 2) % 4, area, placed, *spell, GetSpellPower(area, placed));
  return spell;
}

bool SMonster::CastAtTarget(SStateGame& game, SMapArea& area, SMapMonster& placed) const {
  i32 x = 0, y = 0, side = 0;
  SMapArea* recordArea = nullptr;
  if (!game.TakeFightRecord(placed, x, y, side, recordArea) || !game.core) return false;
  SImageCache& images = game.core->world.images;
  SFpsItem* picture = baseType ? game.core->world.items.FindFpsItem(baseType->MissileName()) : nullptr;
  if (picture) picture->LoadFrames(images);
  const u16 palette = images.FindPaletteIndex(castPalette);
  if (SPaletteEntry* entry = palette ? images.GetPaletteEntry(palette) : nullptr; entry && !entry->IsResident())
    images.LoadPalette(entry);
  game.LaunchMonsterMissile(x, y, (side + 2) % 4, area, placed, picture, palette);
  return true;
}

void SMonster::PlayTypeSound1(SStateGame& game, i32 volume) const {
  if (baseType) PlayNamed(game, baseType->sound1, volume);
}

void SMonster::PlayHurtSound(SStateGame& game, i32 volume) const {
  if (baseType) PlayNamed(game, baseType->sound2, volume);
}

void SMonster::PlayDeathSound(SStateGame& game, i32 volume) const {
  if (baseType) PlayNamed(game, baseType->sound3, volume);
}

void SMonster::PlayVoiceSound(SStateGame& game, i32 volume) const { PlayNamed(game, PickVoice(game.Random()), volume); }

const char* SMonster::PickVoice(SRandom& random) const {
  if (!baseType) return nullptr;
  if (!IsPeople()) return baseType->sound4;
  const char* said[4] = {};
  i32 n = 0;
  for (const char* s : {baseType->sound1, baseType->sound2, baseType->sound3, baseType->sound4})
    if (s && *s) said[n++] = s;
  return n ? said[random.Next(n)] : nullptr;
}
