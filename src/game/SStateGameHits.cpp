// The action list stepped each frame, and the records that show the player being struck: the hit
// indicator of a blow or of damage, a monster's blow on its way to the shield, the nudge of a paralysed
// swing and the drinking hand; the hit pictures over the view and a monster's poisoned look.
#include "core/SGameCore.h"
#include "core/SPictureRoles.h"
#include "game/SMonster.h"
#include "game/SStateGame.h"
#include "graphics/SDisplay.h"
#include "player/SPlayer.h"
#include "world/SImageCache.h"
#include "world/SItemTable.h"
#include "world/SMapArea.h"
#include "world/SSoundTable.h"
#include "world/SSpell.h"

#include <algorithm>
#include <new>

namespace {

constexpr u32 kStepInterval = 40, kPotionInterval = 80;
constexpr i32 kCentre = 32768;
// The paralysed swing's nudges along the facing, by phase.
constexpr i32 kNudge[5] = {0, 1, 2, 2, 1};

}  // namespace

bool SStateGame::HalfSizeView() const { return core && core->IsCompact(); }

// ---- the list

SActionRecord* SStateGame::FindAttackAction(i32 monsterId) const {
  for (SActionRecord* r : actions)
    if (r && r->kind == kActionMonsterAttack && (monsterId < 0 || r->monsterId == monsterId)) return r;
  return nullptr;
}

SActionRecord* SStateGame::FindAttackActionFrom(i32 direction) const {
  for (SActionRecord* r : actions)
    if (r && r->kind == kActionMonsterAttack && (direction < 0 || r->direction == direction)) return r;
  return nullptr;
}

bool SStateGame::StepAction(SActionRecord& r, u32 now) {
  switch (r.kind) {
    case kActionSwing: return StepSwing(r, now);
    case kActionMissile: return StepMissile(r, now);
    case kActionPotion: return StepPotion(r, now);
    case kActionHitIndicator: return StepHitIndicator(r, now);
    case kActionParalysedSwing: return StepParalysedSwing(r, now);
    case kActionMonsterAttack: return StepMonsterAttack(r);
    case kActionCast: return StepCast(r, now);
    case kActionSpellEffect: return StepSpellEffect(r, now);
    case kActionMonsterSpell: return StepSpellMissile(r, now);
    default: return true;
  }
}

void SStateGame::RunActions() {
  const u32 now = GetTicks();
  for (i32 i = 0; i < i32(actions.Count());) {
    SActionRecord* r = actions.At(i);
    const bool finished = !r || StepAction(*r, now);
    // A step may have changed the list (a blow that ended in a teleport empties it): the record is found
    // again before it goes.
    const i32 at = actions.IndexOf(r);
    if (at < 0) {
      if (i >= i32(actions.Count())) break;
      continue;
    }
    if (!finished) {
      i = at + 1;
      continue;
    }
    actions.RemoveAt(at);
    // The emptied stack of an arrow or a thrown weapon goes once it has landed.
    if (r->kind == kActionMissile && r->thrown && r->monsterId < 0 && r->item && r->item->count == 0 && core &&
        core->player.inventory.items.IndexOf(r->item) >= 0)
      core->player.DiscardEmptyItem(r->item);
    delete r;
    i = at;
  }
}

// ---- the player struck

void SStateGame::ShowPlayerHit(i32 attack, i32 direction) {
  auto* r = new (std::nothrow) SActionRecord;
  if (r) {
    r->kind = kActionHitIndicator;
    // Any hit but none carries its picture, also one that healed on balance.
    r->damage = u32(attack);
    r->direction = direction;
    if (!actions.Add(r)) delete r;
  }
  if (core) {
    // The shield that met the blow rings.
    const SActionRecord* blow = FindAttackActionFrom(direction);
    if (blow && blow->firstPicture) blow->firstPicture->PlaySound(core->world.sounds);
  }
  dangerCountdown = 4;
  SelectMusic();
}

void SStateGame::ShowPlayerDamage(i32 damage) {
  auto* r = new (std::nothrow) SActionRecord;
  if (r) {
    r->kind = kActionHitIndicator;
    r->damage = u32(damage > 0 ? damage : 0);
    r->direction = -1;
    r->isDamage = 1;
    if (!actions.Add(r)) delete r;
  }
}

bool SStateGame::StepHitIndicator(SActionRecord& r, u32 now) {
  if (!r.Due(now, kStepInterval)) return false;
  const bool half = HalfSizeView();
  if (r.phase == 0 && core) core->world.sounds.PlayByName(r.isDamage ? "bsnd_hitpoison" : "bsnd_hitclub", 10);
  if (r.phase >= (half ? 4 : 6)) {
    if (!r.isDamage) offsetX = offsetY = kCentre;
    SetHandView(false, false);
    return true;
  }
  if (!r.isDamage && r.direction >= 0) {
    // The view reels away from the blow, then comes back toward it.
    const i32 d = r.direction & 3, unit = (r.phase == 0 ? 10 : 1) * (half ? 200 : 400);
    const i32 sign = r.phase >= (half ? 2 : 3) ? 1 : -1;
    offsetX = std::clamp(offsetX + sign * SMapWindow::kDx[d] * unit, 0, 65536);
    offsetY = std::clamp(offsetY + sign * SMapWindow::kDy[d] * unit, 0, 65536);
  }
  ++r.phase;
  return false;
}

void SStateGame::DrawHitImage() {
  if (!core || !display) return;
  const SActionRecord* shown = nullptr;
  for (const SActionRecord* r : actions)
    if (r && r->kind == kActionHitIndicator && r->damage) shown = r;
  if (!shown) return;
  const SImage* picture = core->Picture(shown->isDamage ? PictureRole::kHitDamage : PictureRole::kHitBlow);
  if (!picture) return;
  display->DrawImage(picture, view.viewX + (view.viewWidth - picture->width) / 2,
                     view.viewY + (view.viewHeight - picture->height) / 2);
}

// ---- a monster's blow on its way

void SStateGame::StartMonsterAttack(SMapMonster& monster, i32 direction, i32 distance) {
  auto* r = new (std::nothrow) SActionRecord;
  if (!r) return;
  const bool half = HalfSizeView();
  r->kind = kActionMonsterAttack;
  r->direction = direction;
  r->monsterId = monster.id;
  r->delay = distance * 2 * (half ? 2 : 1);
  if (core) r->firstPicture = ItemHandPicture(core->player.Equipped(6), r->palette);
  r->stepX = (100 - handInputX[1]) / (half ? 2 : 4);
  r->stepY = (100 - handInputY[1]) / (half ? 2 : 4);
  if (!actions.Add(r)) delete r;
}

bool SStateGame::StepMonsterAttack(SActionRecord& r) {
  if (r.delay > 0) {
    --r.delay;
    return false;
  }
  const bool half = HalfSizeView();
  const i32 raise = half ? 3 : 6, raised = half ? 5 : 10, lower = half ? 8 : 18, end = half ? 12 : 26;
  if (r.phase >= raise && r.phase < raised) {
    // The shield comes up to meet the blow, and goes back down half as fast.
    handInputX[1] = u16(std::min(100, handInputX[1] + r.stepX));
    handInputY[1] = u16(std::min(100, handInputY[1] + r.stepY));
  } else if (r.phase > lower && r.phase < end) {
    handInputX[1] = u16(std::max(0, handInputX[1] - r.stepX / 2));
    handInputY[1] = u16(std::max(0, handInputY[1] - r.stepY / 2));
  }
  if (r.phase >= end) {
    SetHandView(false, true);
    return true;
  }
  ++r.phase;
  return false;
}

// ---- a paralysed swing

bool SStateGame::StepParalysedSwing(SActionRecord& r, u32 now) {
  if (!r.Due(now, kStepInterval)) return false;
  const i32 d = r.direction & 3;
  if (r.phase >= 5) {
    offsetX = offsetY = kCentre;
    SetHandView(false, false);
    ScanFightRange(false, window.playerX, window.playerY);
    return true;
  }
  offsetX = kCentre + SMapWindow::kDx[d] * kNudge[r.phase] * 2000;
  offsetY = kCentre + SMapWindow::kDy[d] * kNudge[r.phase] * 2000;
  ++r.phase;
  return false;
}

// ---- drinking

void SStateGame::ShowDrinkPotion(SSpellEffect* picture, u16 palette, const char* sound) {
  if (!core) return;
  if (!picture || !picture->frames.Count()) {
    if (sound && *sound) core->world.sounds.PlayByName(sound, 10);
    return;
  }
  auto* r = new (std::nothrow) SActionRecord;
  if (!r) return;
  picture->LoadFrames(core->world.images);
  r->kind = kActionPotion;
  r->effectPicture = picture;
  r->palette = palette;
  r->sound = sound;
  if (!actions.Add(r)) delete r;
}

bool SStateGame::StepPotion(SActionRecord& r, u32 now) {
  if (!r.Due(now, kPotionInterval)) return false;
  if (r.phase == 0 && r.sound && *r.sound && core) core->world.sounds.PlayByName(r.sound, 10);
  const u32 n = r.effectPicture ? r.effectPicture->frames.Count() : 0;
  if (u32(r.phase) >= n) {
    view.handRightImage = view.handLeftImage = 0;
    SetHandView(false, false);
    return true;
  }
  view.handRightImage = u16(r.effectPicture->frames[u32(r.phase)]);
  view.handRightPalette = r.palette;
  view.handLeftImage = 0;
  MakeResident(view.handRightImage);
  ++r.phase;
  return false;
}

// ---- a monster's look

void SStateGame::ShowMonsterPoisoned(SMapArea& area, SMapMonster& monster, u16 value) {
  // The poison shows as the view's second overlay over the monster while its countdown runs.
  if (u16* draw = scene.IsAllocated() ? scene.Monster(monster.displayIndex) : nullptr) {
    draw[MonsterDraw::kFlags] |= 2;
    draw[MonsterDraw::kOverlay] = value;
  }
  (void)area;
  monstersChanged = 1;
}
