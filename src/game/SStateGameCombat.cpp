// The player's side of a fight in the first-person view: the attack command with its checks, the hands
// shown for the equipped items, the hand bob of a step, the swing of the hands and the blow it strikes
// at a cell, with its damage, its sounds and its way to the monster or the map object there.
#include "core/SGameCore.h"
#include "foundation/TimeUtil.h"
#include "game/SMonster.h"
#include "game/SStateGame.h"
#include "player/SPlayer.h"
#include "script/SScriptContext.h"
#include "world/SImageCache.h"
#include "world/SItemTable.h"
#include "world/SMapArea.h"
#include "world/SMapObjectType.h"
#include "world/SSoundTable.h"

#include <algorithm>
#include <new>

namespace {

constexpr u32 kStepInterval = 40;        // a swing's phase, in milliseconds
constexpr u32 kSecondHandWait = 80;      // a second weapon strikes this long after the first
constexpr u32 kFirstPhaseWithTwo = 120;  // a swing of two weapons holds its first phase at least this long
constexpr i32 kFullSwingEnd = 5;         // a full swing strikes at this phase and ends with it
constexpr i32 kJabStrike = 3;            // a swing of one phase strikes here
constexpr i32 kLaunchPhase = 2;          // a ranged weapon lets its missile go here
constexpr u8 kSingleSwing = 255;         // the swing byte of a picture whose swing has one phase
constexpr u16 kFirstRest = 96, kSecondRest = 100;
constexpr u16 kDeath = 64;  // the action that kills a monster

// The hand's reach and lift over a full swing's phases (added to its rest offsets): drawn back and
// low, then thrust up and in.
constexpr i32 kSwingReach[6] = {-6, -4, -2, 2, 4, 2};
constexpr i32 kSwingLift[6] = {-14, -10, -6, 0, 4, 2};

bool IsWeapon(const SItem* item) { return item && item->type && item->type->itemClass == kItemWeapon; }
u8 WeaponSubtype(const SItem* item) { return IsWeapon(item) ? item->type->subtype : 0; }
bool IsBowSubtype(u8 s) { return s == 9 || s == 10; }

u16 ClampOffset(i32 v) { return u16(std::clamp(v, 0, 100)); }

}  // namespace

// ---- pictures of the hands

SFpsItem* SStateGame::FindHandPicture(const char* name) {
  if (!core || !name || !*name) return nullptr;
  SFpsItem* picture = core->world.items.FindFpsItem(name);
  if (!picture) return nullptr;
  // Frames are read from the archive once; the palettes are acquired once per picture.
  SImageCache& images = core->world.images;
  bool resident = true;
  for (u32 i = 0; i < picture->frameNames.Count() && resident; ++i) {
    const SImageEntry* e = images.FindImage(picture->frameNames.Text(i32(i)));
    resident = !e || e->IsResident();
  }
  if (!resident || !picture->PalettesAcquired()) picture->LoadFrames(images);
  return picture;
}

u16 SStateGame::ResidentPalette(const char* name) {
  if (!core || !name || !*name) return 0;
  SImageCache& images = core->world.images;
  const u16 slot = images.FindPaletteIndex(name);
  SPaletteEntry* entry = slot ? images.GetPaletteEntry(slot) : nullptr;
  if (entry && !entry->IsResident()) images.LoadPalette(entry);
  return entry && entry->IsResident() ? slot : 0;
}

u16 SStateGame::HandPalette(const SFpsItem* picture, u16 palette) {
  if (!picture || !core || !core->player.IsParalyzed()) return palette;
  const u16 other = ResidentPalette(picture->textB);
  return other ? other : palette;
}

SFpsItem* SStateGame::ItemHandPicture(const SItem* item, u16& palette) {
  palette = 0;
  const SItemType* type = item ? item->type : nullptr;
  if (!type) return nullptr;
  // The type names its first-person picture and the palette the picture is drawn with.
  SFpsItem* picture = FindHandPicture(type->text1);
  if (picture) palette = ResidentPalette(type->text4);
  return picture;
}

void SStateGame::ShowHand(u32 hand, const SFpsItem* picture, u16 palette, u32 frame) {
  u16 image = 0;
  if (picture && picture->frames.Count()) {
    const u32 n = picture->frames.Count();
    image = u16(picture->frames[frame < n ? frame : n - 1]);
    MakeResident(image);
  }
  if (hand == 0) {
    view.handRightImage = image;
    view.handRightPalette = image ? palette : 0;
  } else {
    view.handLeftImage = image;
    view.handLeftPalette = image ? palette : 0;
    view.handLeftMirrored = 1;
  }
}

void SStateGame::SetHandView(bool keepSecond, bool keepFirst) {
  if (!core) return;
  SPlayer& player = core->player;
  const bool paralysed = player.IsParalyzed();
  const SItem* weapon = player.GetMainWeapon();
  const u8 sub = WeaponSubtype(weapon);
  const bool ranged = IsBowSubtype(sub) || sub == 12;
  SFpsItem* fist = FindHandPicture("bres_fpsfist");
  auto set = [&](u32 hand, SFpsItem* picture, u16 palette) {
    handPicture[hand] = picture;
    handPalette[hand] = palette;
    ShowHand(hand, picture, HandPalette(picture, palette), HandRestFrame(picture));
    // A paralysed player's hands keep their place.
    if (paralysed) return;
    const i32 atRest = hand == 0 ? kFirstRest : kSecondRest;
    handInputX[hand] = ClampOffset(atRest - (picture ? picture->value1 : 0));
    handInputY[hand] = ClampOffset(atRest - (picture ? picture->value2 : 0));
  };
  if (!keepFirst) {
    u16 palette = 0;
    SFpsItem* picture = sub == 8 ? nullptr : ItemHandPicture(weapon, palette);
    set(0, picture ? picture : fist, picture ? palette : 0);
  }
  if (!keepSecond) {
    if (ranged) {
      // A bow takes both hands.
      handPicture[1] = nullptr;
      handPalette[1] = 0;
      ShowHand(1, nullptr, 0, 0);
      secondHandArmed = 0;
    } else {
      const SItem* second = player.Equipped(6);
      u16 palette = 0;
      SFpsItem* picture = ItemHandPicture(second, palette);
      secondHandArmed = !second || IsWeapon(second) ? 1 : 0;
      set(1, picture ? picture : fist, picture ? palette : 0);
    }
  }
}

u32 SStateGame::HandRestFrame(const SFpsItem* picture) {
  return picture && picture->p3 < picture->frames.Count() ? picture->p3 : 0;
}

// ---- the hand bob of a step

void SStateGame::StepHandBob() {
  if (bobFrame == 0) {
    // The first frame of a step: the hands swing about where the step found them, kept low enough that
    // the bob stays inside the pictures.
    for (u32 h = 0; h < 2; ++h) {
      bobRestX[h] = std::min<u16>(handInputX[h], 95);
      bobRestY[h] = std::min<u16>(handInputY[h], 95);
    }
  }
  // The step count turns the swing over: the hands dip one way on a step and the other way on the next.
  const i32 q = PositiveMod(i32(handBob) - 1, 4);
  const i32 f = i32(bobFrame < 8 ? bobFrame : 7);
  const i32 sx = (q == 0 || q == 3) ? 1 : -1, sy = (q % 2 == 0) ? 1 : -1;
  handInputX[0] = ClampOffset(bobRestX[0] + kBobX[f] * sx);
  handInputX[1] = ClampOffset(bobRestX[1] - kBobX[f] * sx);
  handInputY[0] = ClampOffset(bobRestY[0] + kBobY[f] * sy);
  handInputY[1] = ClampOffset(bobRestY[1] - kBobY[f] * sy);
  ++bobFrame;
}

// ---- the attack

u32 SStateGame::AttackCommand() {
  SMapArea* map = window.CurrentArea();
  if (map && (map->flags & 4)) {
    QueueMessage("Attack is forbidden on this map.", 1, nullptr);
    return 0;
  }
  Attack();
  PassMinute();
  return 0;
}

bool SStateGame::IsSingleSwing(const SFpsItem* picture) {
  if (!picture || picture->p1 == kSingleSwing) return true;
  // A picture with the alternate flag jabs about every other time.
  return picture->p2 && Random().Next(100) < 50;
}

void SStateGame::Attack() {
  if (!core) return;
  SPlayer& player = core->player;
  const i32 direction = SMapWindow::DirectionOfFacing(facing);
  if (player.IsParalyzed()) {
    // Only the view nudges forward: the hands do not obey.
    auto* r = new (std::nothrow) SActionRecord;
    if (!r) return;
    r->kind = kActionParalysedSwing;
    r->direction = direction;
    if (!actions.Add(r)) delete r;
    return;
  }
  SItem* weapon = player.GetMainWeapon();
  const u8 sub = WeaponSubtype(weapon);
  const bool bow = IsBowSubtype(sub), crossbow = sub == 12, thrown = sub == 8;
  SItem* ammunition = nullptr;
  if (bow || crossbow) {
    ammunition = player.Equipped(12);
    // An emptied quiver goes first; without arrows the bow cannot shoot.
    if (ammunition && ammunition->count == 0) {
      player.DiscardEmptyItem(ammunition);
      ammunition = player.Equipped(12);
    }
    const u8 wanted = bow ? 11 : 13;
    if (!ammunition) {
      QueueMessage(bow ? "You need to select a quiver." : "You need to select a bolt quiver.", 1, nullptr);
      return;
    }
    if (WeaponSubtype(ammunition) != wanted) {
      QueueMessage(
          bow ? "You need to select arrows for the bow." : "You need to select a bolt quiver for the crossbow.", 1,
          nullptr);
      return;
    }
  }
  if (thrown && weapon->count == 0) {
    player.DiscardEmptyItem(weapon);
    weapon = player.GetMainWeapon();
    if (!weapon) return;
  }
  auto* r = new (std::nothrow) SActionRecord;
  if (!r) return;
  r->kind = kActionSwing;
  r->direction = direction;
  r->item = weapon;
  r->bow = bow ? 1 : 0;
  r->crossbow = crossbow ? 1 : 0;
  r->thrown = thrown ? 1 : 0;
  if (thrown)
    r->firstPicture = FindHandPicture("bres_fpsthrow");
  else if (weapon)
    r->firstPicture = ItemHandPicture(weapon, r->palette);
  if (!r->firstPicture) {
    r->firstPicture = FindHandPicture("bres_fpsfist");
    r->palette = 0;
  }
  r->singlePhase = IsSingleSwing(r->firstPicture) ? 1 : 0;
  if (bow || crossbow) {
    r->handMode = kHandsRanged;
    r->secondItem = ammunition;
    r->secondPicture = ItemHandPicture(ammunition, r->secondPalette);
  } else {
    SItem* second = player.Equipped(6);
    r->secondItem = second;
    if (IsWeapon(second) && !thrown) {
      r->secondPicture = ItemHandPicture(second, r->secondPalette);
      r->handMode = kHandsBoth;
      r->startTick = GetTicks() + kSecondHandWait;
      r->secondSinglePhase = IsSingleSwing(r->secondPicture) ? 1 : 0;
    } else {
      if (second) r->secondPicture = ItemHandPicture(second, r->secondPalette);
      r->handMode = kHandsFirst;
    }
    if (!r->secondPicture) {
      r->secondPicture = FindHandPicture("bres_fpsfist");
      r->secondPalette = 0;
    }
  }
  // A full swing starts at the phase its picture's swing byte gives.
  if (!r->singlePhase) r->phase = std::min<i32>(r->firstPicture ? r->firstPicture->p1 : 0, kFullSwingEnd);
  if (!actions.Add(r)) delete r;
}

// ---- the swing

namespace {

// The frames a swing runs through: the picture's first frame set (all its frames when none is given).
u32 SwingFrames(const SFpsItem* picture) {
  if (!picture) return 1;
  const u32 n = picture->frames.Count();
  return picture->p4 && picture->p4 < n ? picture->p4 : (n ? n : 1);
}

}  // namespace

void SStateGame::ShowSwingFrame(u32 hand, const SFpsItem* picture, u16 palette, bool single, i32 phase, i32 start) {
  const u32 n = SwingFrames(picture);
  const i32 atRest = hand == 0 ? kFirstRest : kSecondRest;
  const i32 baseX = atRest - (picture ? picture->value1 : 0), baseY = atRest - (picture ? picture->value2 : 0);
  if (single) {
    ShowHand(hand, picture, palette, u32(phase) < n ? u32(phase) : n - 1);
    handInputX[hand] = ClampOffset(baseX);
    handInputY[hand] = ClampOffset(baseY);
    return;
  }
  const i32 p = std::clamp(phase, 0, kFullSwingEnd);
  const i32 span = kFullSwingEnd - start + 1;
  const u32 frame = span > 0 ? u32(std::max(0, p - start) * i32(n) / span) : 0;
  ShowHand(hand, picture, palette, frame < n ? frame : n - 1);
  handInputX[hand] = ClampOffset(baseX + kSwingReach[p]);
  handInputY[hand] = ClampOffset(baseY + kSwingLift[p]);
}

bool SStateGame::StepSwing(SActionRecord& r, u32 now) {
  const bool ranged = r.bow || r.crossbow || r.thrown;
  const i32 start = r.singlePhase ? 0 : std::min<i32>(r.firstPicture ? r.firstPicture->p1 : 0, kFullSwingEnd);
  const u32 wait = r.handMode == kHandsBoth && r.phase == start ? kFirstPhaseWithTwo : kStepInterval;
  if (!r.Due(now, wait)) return false;
  ShowSwingFrame(0, r.firstPicture, r.palette, r.singlePhase, r.phase, start);
  if (r.handMode == kHandsBoth && i32(now - r.startTick) >= 0) {
    ++r.secondPhase;
    const i32 secondStart =
        r.secondSinglePhase ? 0 : std::min<i32>(r.secondPicture ? r.secondPicture->p1 : 0, kFullSwingEnd);
    ShowSwingFrame(1, r.secondPicture, r.secondPalette, r.secondSinglePhase, secondStart + r.secondPhase, secondStart);
  } else if (r.handMode == kHandsRanged && r.secondPicture && !r.done) {
    // The arrow lies on the bow until it flies.
    ShowHand(1, r.secondPicture, r.secondPalette, 0);
  }
  // A swing of one phase runs its frames and one more, but always long enough to strike.
  const i32 strike = r.singlePhase ? kJabStrike : kFullSwingEnd;
  const i32 end = r.singlePhase ? std::max<i32>(i32(SwingFrames(r.firstPicture)) + 1, kJabStrike) : kFullSwingEnd;
  if (ranged) {
    if (r.phase >= kLaunchPhase && !r.done) {
      r.done = 1;
      if (r.handMode == kHandsRanged) ShowHand(1, nullptr, 0, 0);
      LaunchPlayerMissile(r);
    }
  } else if (r.phase >= strike && !r.done) {
    r.done = 1;
    StrikeAhead(r);
  }
  if (r.phase >= end) {
    SetHandView(false, false);
    offsetX = offsetY = 32768;
    return true;
  }
  ++r.phase;
  return false;
}

// ---- the blow

void SStateGame::StrikeAhead(SActionRecord& r) {
  currentStrike = r;
  i32 x = 0, y = 0, opposite = 0;
  SMapArea* area = nullptr;
  SMapCell* cell = window.GetCellAhead(r.direction, facing, x, y, opposite, area);
  if (cell) StrikeMonster(area, cell, x, y, opposite, 0);
  ScanFightRange(false, window.playerX, window.playerY);
}

void SStateGame::StrikeAt(i32 x, i32 y, i32 percent, SActionRecord& r) {
  currentStrike = r;
  SMapCell* cell = window.Cell(x, y);
  if (cell) StrikeMonster(window.BlockArea(x, y), cell, x, y, (r.direction + 2) & 3, percent);
  ScanFightRange(false, window.playerX, window.playerY);
}

i32 SStateGame::MissilePercent() const {
  // Rain and the dark cost a missile outdoors; underground and in houses it keeps its force.
  if (!window.IsJoined()) return 0;
  return rainIntensity / 20 + (IsNight() ? 50 : 0);
}

void SStateGame::PlayStrikeSounds() {
  if (!core) return;
  SSoundTable& sounds = core->world.sounds;
  if (currentStrike.firstPicture) currentStrike.firstPicture->PlaySound(sounds);
  if (currentStrike.handMode == kHandsBoth && currentStrike.secondPicture)
    currentStrike.secondPicture->PlaySound(sounds);
}

void SStateGame::StrikeMonster(SMapArea* area, SMapCell* cell, i32 x, i32 y, i32 part, i32 percent) {
  if (!core || !cell) return;
  SPlayer& player = core->player;
  SScriptContext* context = core->scriptContext;
  // The blow's items: the weapon, and the ammunition of a bow or the other hand's weapon.
  SItem* weapon = player.GetMainWeapon();
  const u8 sub = WeaponSubtype(weapon);
  SItem* other = IsBowSubtype(sub) || sub == 12 ? player.Equipped(12) : player.Equipped(6);
  if (!(IsBowSubtype(sub) || sub == 12) && !IsWeapon(other)) other = nullptr;
  auto reduce = [percent](i32 d) { return d - d * std::clamp(percent, 0, 100) / 100; };
  if (cell->monsterId[0] || cell->monsterId[1]) {
    // The selected hand picks one of two monsters; alone, a monster is struck in the first slot.
    u32 slot = selectedHand == 1 ? 1 : 0;
    if (slot == 1 && !cell->monsterId[1]) slot = 0, selectedHand = 0;
    SMapMonster* target = window.FindBlockMonsterById(x, y, u8(cell->monsterId[slot]));
    if (target && target->monster) {
      const i32 d = reduce(player.RollWeaponDamage(target->monster));
      if (context) {
        context->SetBlowWeapons(weapon, other);
        context->damage = d;
      }
      if (d)
        PlayStrikeSounds();
      else
        core->world.sounds.PlayByName("bsnd_hitmiss", VolumeByDistance(x, y));
      const u32 targets = slot == 1 ? 12 : 4;
      const u8 id = target->id;
      TriggerCellAction(MapEvent::kStruck, targets, area, cell, x, y, part, false, nullptr);
      // A blow that took the last hit point kills: the death comes with its own action.
      SMapMonster* struck = area ? area->FindMonsterById(id) : nullptr;
      if (struck && struck == target && struck->hp < 1) {
        struck->hp = 1;
        TriggerCellAction(kDeath, targets, area, cell, x, y, part, false, nullptr);
      }
      if (subDialog) subDialog->Paint();
      return;
    }
  }
  i32 least = 0, most = 0;
  player.GetWeaponDamageRange(least, most, false);
  const i32 d = reduce(least + Random().Next(most - least + 1));
  if (context) {
    context->SetBlowWeapons(weapon, other);
    context->damage = d;
  }
  u32 taken = 0;
  TriggerCellAction(MapEvent::kStruck, 3, area, cell, x, y, part, true, &taken);
  if (taken)
    PlayStrikeSounds();
  else
    core->world.sounds.PlayByName("bsnd_hitmiss", VolumeByDistance(x, y));
  TriggerCellAction(MapEvent::kStruck, 3, area, cell, x, y, part, false, nullptr);
  if (subDialog) subDialog->Paint();
}
