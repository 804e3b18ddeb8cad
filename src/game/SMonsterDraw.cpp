// The pictures a placed monster is drawn with: its draw record's first picture and each animation step.
#include "foundation/TimeUtil.h"
#include "game/SMonster.h"
#include "game/SSceneTables.h"
#include "world/SMapArea.h"

#include <algorithm>

namespace {

// State bits of a placed monster: a blow wound up, its stroke (walking, for people), the recoil of a hit.
constexpr u8 kWindUp = 32, kStroke = 64, kRecoil = 128;

u32 FrameOf(const u16* record) { return (record[MonsterDraw::kFrame] >> 8) & 7; }
void SetFrame(u16* record, u32 f) {
  record[MonsterDraw::kFrame] = u16((record[MonsterDraw::kFrame] & ~0x0700) | ((f & 7) << 8));
}

}  // namespace

void SMonster::InitDrawRecord(SMapArea* area, SMapMonster& placed, u16* record, i32 playerFacing) const {
  if (!record) return;
  for (u32 i = 0; i < 14; ++i) record[i] = 0;
  record[MonsterDraw::kLook] = lookNormal;
  record[MonsterDraw::kX] = record[MonsterDraw::kY] = 32768;
  if (!baseType) return;
  // The pictures are drawn with their own colours: which palette a look swaps in comes with the monsters.
  record[MonsterDraw::kPalette] = 0;
  record[MonsterDraw::kPicture] = baseType->FrameImage(IsPeople() ? 6 : 0);
  // A height of 31 reaches the top of the cell; the word cannot hold more.
  record[MonsterDraw::kHeight] = u16(std::min<u32>(65535, u32(baseType->Height()) * 65536 / 31));
  RefreshPicture(area, placed, record, playerFacing);
}

void SMonster::RefreshPicture(SMapArea* area, SMapMonster& placed, u16* record, i32 playerFacing) const {
  if (!record) return;
  record[MonsterDraw::kLook] = area && area->IsMonsterParalysed(placed.id) ? lookParalysed : lookNormal;
  StepAnimation(placed, record, playerFacing);
}

void SMonster::StepAnimation(SMapMonster& placed, u16* record, i32 playerFacing) const {
  if (!record) return;
  if (!baseType) {
    record[MonsterDraw::kPicture] = 0;
    return;
  }
  const u8 s = placed.flags;
  u32 f = FrameOf(record);
  u32 picture = 0;
  bool mirrored = false;
  const bool hasSecond = baseType->FrameImage(2) != 0;
  if (kind != 4) {
    if ((s & kWindUp) && (s & kStroke)) {
      f = (f + 1) % 4;
      picture = (f == 2 || f == 3) && hasSecond ? 2 : 0;
      mirrored = (f == 2 || f == 3) && !hasSecond;
    } else if (s >= kRecoil) {
      picture = 5;
    } else if ((s & kWindUp) && placed.poisonShown < 5) {
      picture = 3;
      record[MonsterDraw::kCountdown] = record[MonsterDraw::kOverlay] = 0;
    } else {
      if ((s & kStroke) && !(s & kWindUp)) {
        picture = 4;
      } else {
        picture = f == 3 ? 1 : f;
        if (f == 2 && !hasSecond) {
          picture = 0;
          mirrored = true;
        }
      }
      record[MonsterDraw::kCountdown] = record[MonsterDraw::kOverlay] = 0;
    }
  } else {
    if ((s & kWindUp) && (s & kStroke)) {
      if (placed.poisonShown % 4 == 0) f = (f + 1) % 4;
      if (placed.poisonShown == 1) f = 1;
    }
    const u32 base = f == 3 ? 1 : f;
    const i32 own = (s >> 3) & 3;
    const i32 seen = (PositiveMod(playerFacing, 360) + 45) % 360 / 90;
    const i32 r = PositiveMod(own - seen, 4);
    if (r == 3) {
      picture = base + 3;
      mirrored = true;
    } else {
      picture = base + 3 * u32(r);
    }
  }
  SetFrame(record, f);
  record[MonsterDraw::kPicture] = baseType->FrameImage(picture);
  record[MonsterDraw::kFlags] = u16((record[MonsterDraw::kFlags] & ~1) | (mirrored ? 1 : 0));
}
