#include "world/kinds/SMapObjectSwitch.h"

#include "foundation/TimeUtil.h"
#include "world/SMapArea.h"
#include "world/SMapCell.h"
#include "world/kinds/SMapKindServices.h"
#include "world/kinds/SideRecord.h"

namespace {

constexpr u8 kOff = 2;
bool Off(const SMapObjectInst* inst) { return inst && (inst->state & kOff); }
bool Present(const SMapObjectInst* inst) { return !inst || (inst->state & 1); }
u16 Pal(const SPaletteEntry* e) { return SMapObjectType::PaletteId(e); }
u32 Counter(const SMapObjectType* t) {
  SMapKindServices* g = t->Services();
  return g ? g->AnimationCounter(0) : 0;
}
void Play(const SMapObjectType* t, const char* sound) {
  if (SMapKindServices* g = t->Services()) g->PlaySound(sound, 10);
}
void ImageSize(const SMapObjectType* t, u16 image, i32& w, i32& h) {
  w = h = 0;
  if (SMapKindServices* g = t->Services(); g && image) g->ImageSize(image, w, h);
}
bool IsPlayerCell(const SMapObjectType* t, const SMapCell* cell) {
  SMapKindServices* g = t->Services();
  return g && g->PlayerCell() == cell;
}
// Toggles a switch: off -> on with `onSound`, on -> off with `offSound`.
void Toggle(const SMapObjectType* t, SMapObjectInst* inst, const char* onSound, const char* offSound) {
  if (inst->state & kOff) {
    Play(t, onSound);
    inst->state = u8(inst->state & ~kOff);
  } else {
    Play(t, offSound);
    inst->state = u8(inst->state | kOff);
  }
}

}  // namespace

// ---- levers and switches

void SMapObjectLever::InitInstance(SMapObjectInst* inst) {
  if (inst) inst->state = u8(inst->state | kOff);
}

void SMapObjectLever::BuildSide(SMapObjectInst* inst, SMapCell* cell, u32 side, u16* record, u16&) {
  if (!cell || !record || side > 3) return;
  const bool on = !Off(inst);
  const u32 sp = MapRecordWrite::SidePrime(side);
  const u16 image = ImageAt(on ? 0 : 1);
  MapRecordWrite::Side(record, sp, u16(WallPlacement(sp, image, decalX, placement[3]) | 0x8000), image,
                       ImageAt(on ? 2 : 3), Pal(cell->sidePalette[side]));
  MapRecordWrite::Pick(record, sp, u16(sp + 20));
}

i32 SMapObjectLever::OnEvent(u16 event, SMapArea*, SMapObjectInst* inst, SMapCell*, i32, i32, bool& changed) {
  if (event != MapEvent::kUse || !inst) return 0;
  Toggle(this, inst, "bsnd_switchlargeon", "bsnd_switchlargeoff");
  changed = true;
  return 0;
}

void SMapObjectSecretSwitch::InitInstance(SMapObjectInst* inst) {
  if (inst) inst->state = u8(inst->state | kOff);
}

void SMapObjectSecretSwitch::BuildSide(SMapObjectInst* inst, SMapCell* cell, u32 side, u16* record, u16&) {
  if (!cell || !record || side > 3) return;
  const bool on = !Off(inst);
  const u32 sp = MapRecordWrite::SidePrime(side);
  const u16 image = ImageAt(on ? 1 : 0);
  MapRecordWrite::Side(record, sp, WallPlacement(sp, image, decalX, placement[3]), image, ImageAt(2),
                       Pal(cell->sidePalette[side]));
}

i32 SMapObjectSecretSwitch::OnEvent(u16 event, SMapArea*, SMapObjectInst* inst, SMapCell*, i32, i32, bool& changed) {
  if (event != MapEvent::kUse || !inst) return 0;
  Toggle(this, inst, "bsnd_switchsecreton", "bsnd_switchsecretoff");
  changed = true;
  return 0;
}

void SMapObjectFloorSwitch::InitInstance(SMapObjectInst* inst) {
  if (inst) inst->state = u8(inst->state | kOff);
}

void SMapObjectFloorSwitch::BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16&) {
  if (!cell || !record) return;
  MapRecordWrite::Upright(record, 1, ImageAt(Off(inst) ? 1 : 0), Pal(cell->centrePalette), 17);
}

i32 SMapObjectFloorSwitch::OnEvent(u16 event, SMapArea* area, SMapObjectInst* inst, SMapCell* cell, i32, i32,
                                   bool& changed) {
  if (!inst) return 0;
  if (event == MapEvent::kEnter) {
    if (inst->state & kOff) {
      Play(this, "bsnd_switchflooron");
      inst->state = u8(inst->state & ~kOff);
    }
    changed = true;
  } else if (event == MapEvent::kLeave) {
    SMapKindServices* g = Services();
    const i32 weight = g ? g->GetContainerWeight(area, inst, cell) : 0;
    // Enough weight left lying on the switch keeps it pressed.
    if (weight / 100 < 10) {
      inst->state = u8(inst->state | kOff);
      Play(this, "bsnd_switchflooroff");
    }
    changed = true;
  }
  return 0;
}

// ---- traps

u32 SMapObjectTrap::Phase(const SMapObjectInst* inst) { return inst ? (u16(inst->packed) >> 12) & 15 : 0; }

void SMapObjectTrap::SetPhase(SMapObjectInst* inst, u32 phase) {
  if (inst) inst->packed = i16((u16(inst->packed) & 0x0FFF) | (phase & 15) << 12);
}

void SMapObjectTrap::BuildCell(SMapObjectInst*, SMapCell* cell, u16* record, u16&) {
  if (!cell || !record) return;
  for (u32 i = 1; i <= 28; ++i) record[i] = 0;
  record[0] = 13;
  record[MapRecord::kFlags] = 0;
  record[MapRecord::kPick] = 39;
  record[1] = ImageAt(0);
  record[8] = Pal(cell->centrePalette);
  record[15] = record[22] = 32768;
}

void SMapObjectTrap::RefreshCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) {
  if (!cell || !record || !inst) return;
  SMapKindServices* g = Services();
  if (!IsPlayerCell(this, cell)) {
    if (Phase(inst)) {
      SetPhase(inst, 0);
      BuildCell(inst, cell, record, light);
    }
    return;
  }
  const u32 raw = Phase(inst);
  const i32 p = raw >= 8 ? i32(raw) - 16 : i32(raw);
  if (p <= 0) return;
  if (p == 7) {
    SetPhase(inst, 0);
    BuildCell(inst, cell, record, light);
    return;
  }
  if (p == 1) Play(this, "bsnd_trapback");
  const u16 image = ImageAt(1);
  const u16 palette = Pal(cell->centrePalette);
  record[0] = 13;
  for (u32 i = 0; i < 3; ++i) {
    record[1 + i] = image;
    record[8 + i] = palette;
  }
  const u32 facing = g ? u32(PositiveMod(g->PlayerFacing(), 360)) / 90 : 0;
  for (u32 i = 0; i < 4; ++i) {
    record[15 + i] = u16(g ? g->SpikePlacement(0, facing, i) : 0);
    record[22 + i] = u16(g ? g->SpikePlacement(1, facing, i) : 0);
  }
  record[MapRecord::kFlags] = u16(p < 2 ? -8000 : -5000 * p);
  SetPhase(inst, u32(p + 1));
}

i32 SMapObjectTrap::OnEvent(u16 event, SMapArea*, SMapObjectInst* inst, SMapCell*, i32, i32, bool&) {
  SMapKindServices* g = Services();
  if (event != MapEvent::kEnter || !inst || (inst->state & kOff) || !g) return 0;
  SetPhase(inst, 1);
  i32 damage = i32((u16(inst->packed) >> 8) & 15) * 10 - g->ArmorClass();
  if (damage < 1) damage = g->Random(100) < 51 ? 0 : g->Random(5);
  if (damage > 0) {
    g->ChangeHp(-damage);
    g->ShowPlayerHit(damage, -1);
  }
  g->PlaySound("bsnd_trap", 10);
  return 0;
}

// ---- webs and walls of force

bool SMapObjectWeb::IsBlocking(SMapObjectInst* inst) { return !Off(inst) && Present(inst); }

void SMapObjectWeb::BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16&) {
  if (!cell || !record || IsPlayerCell(this, cell)) return;
  MapRecordWrite::Upright(record, 10, ImageAt(Off(inst) ? 1 : 0), Pal(cell->centrePalette), 52);
  if (cell->cellFlags & 1) {
    record[0] = 266;
    record[MapRecord::kPick] = 53;
  }
}

i32 SMapObjectWeb::OnEvent(u16 event, SMapArea*, SMapObjectInst* inst, SMapCell*, i32, i32, bool& changed) {
  if (event != MapEvent::kStruck || !inst) return 0;
  inst->state = u8(inst->state | kOff);
  changed = true;
  return 0;
}

bool SMapObjectWallOfForce::IsBlocking(SMapObjectInst* inst) { return !Off(inst) && Present(inst); }

const char* SMapObjectWallOfForce::GetAmbientSound(SMapObjectInst* inst, SMapCell*) {
  return Off(inst) ? nullptr : texts[1];
}

void SMapObjectWallOfForce::BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) {
  if (!cell || !record || Off(inst)) return;
  const bool side = cell->cellFlags & 1;
  record[0] = side ? 266 : 10;
  record[MapRecord::kPick] = side ? 51 : 50;
  RefreshCell(inst, cell, record, light);
}

void SMapObjectWallOfForce::RefreshCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16&) {
  if (!cell || !record || Off(inst)) return;
  record[1] = ImageAt(FrameA(Counter(this)));
  record[8] = Pal(cell->centrePalette);
  record[15] = record[22] = 32768;
}

// ---- passages

void SMapObjectHole::BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16&) {
  if (!cell || !record) return;
  if (typeFlags & MapTypeFlag::kFlat) {
    record[0] = 7;
    record[1] = ImageAt(0);
  } else {
    record[0] = 1;
    record[1] = ImageAt(Off(inst) ? 0 : 1);
    record[MapRecord::kPick] = 19;
  }
  record[8] = Pal(cell->centrePalette);
  record[15] = record[22] = 32768;
}

i32 SMapObjectHole::OnEvent(u16 event, SMapArea*, SMapObjectInst* inst, SMapCell*, i32, i32, bool&) {
  if (event != MapEvent::kEnter || !inst || !inst->targetText || !(typeFlags & MapTypeFlag::kTravels)) return 0;
  i32 kind = 4;
  if (inst->state & kOff) {
    // A target without a map part is a position of this map.
    const char* hash = inst->targetText;
    while (*hash && *hash != '#') ++hash;
    kind = *hash && hash[1] ? 3 : 2;
  }
  Travel(inst, kind, 1);
  return 0;
}

u32 SMapObjectTeleport::FramePosition(const SMapObjectInst* inst, u32 counter) const {
  const u32 a = frameCountA;
  if (Off(inst) || a <= 1) return 0;
  // Up 1..A, then back as A - m + 2: 1, 2, 3, 2 for A = 3; 1, 2, 3, 4, 2, 1 for A = 4. From A = 5 on that
  // count back reaches the idle image and then falls below image 0: those go forth and back over 1..A.
  const u32 m = counter % (2 * (a - 1));
  if (m <= a - 1) return m + 1;
  return a <= 4 ? a + 2 - m : 2 * a - 1 - m;
}

const char* SMapObjectTeleport::GetAmbientSound(SMapObjectInst* inst, SMapCell*) {
  return Off(inst) || frameCountA == 0 ? nullptr : texts[1];
}

void SMapObjectTeleport::BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) {
  RefreshCell(inst, cell, record, light);
}

void SMapObjectTeleport::RefreshCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) {
  if (!cell || !record) return;
  const u32 counter = Counter(this);
  MapRecordWrite::Upright(record, 1, ImageAt(FramePosition(inst, counter)), Pal(cell->centrePalette), 37);
  if (Off(inst)) return;
  if (LitNow()) Flicker(light);
  const SMapObjectType* glow = cell->styleType;
  if (!glow) return;
  record[2] = glow->ImageAt(glow->FrameA(counter));
  record[9] = Pal(cell->stylePalette);
  i32 w1, h1, w2, h2;
  ImageSize(this, record[1], w1, h1);
  ImageSize(this, record[2], w2, h2);
  record[16] = u16((w1 - w2) / 2);
  record[23] = u16(h1 - h2 - placement[3]);
}

i32 SMapObjectTeleport::OnEvent(u16 event, SMapArea*, SMapObjectInst* inst, SMapCell*, i32, i32, bool&) {
  if (event == MapEvent::kEnter && inst && !(inst->state & kOff) && inst->targetText) Travel(inst, 1, 1);
  return 0;
}

const char* SMapObjectStair::GetAmbientSound(SMapObjectInst*, SMapCell*) {
  return LinkedType() && LitNow() ? "bsnd_fire" : nullptr;
}

void SMapObjectStair::Torch(u16* record, u16& light) {
  const SMapObjectType* torch = LinkedType();
  if (!torch || !LitNow()) return;
  SMapKindServices* g = Services();
  const u32 counter = Counter(this);
  light = u16(light + 64 + (16 << (g ? g->Random(3) : 0)));
  record[5] = torch->ImageAt(torch->FrameA(counter));
  record[12] = 0;
  record[19] = u16(placement[0]);
  record[26] = u16(placement[1]);
  record[7] = torch->ImageAt(torch->FrameA(counter + 1));
  record[14] = 0;
  i32 w4, h4, w5, h5;
  ImageSize(this, record[4], w4, h4);
  ImageSize(this, record[5], w5, h5);
  record[21] = u16(w4 - w5 - placement[0]);
  record[28] = u16(placement[1]);
}

void SMapObjectStair::BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) {
  if (!cell || !record) return;
  const bool down = inst && (inst->packed & 1);
  const u16 palette = Pal(cell->centrePalette);
  record[0] = 3;
  record[2] = ImageAt(down ? 2 : 1);
  record[9] = palette;
  record[16] = record[23] = 44;
  record[4] = ImageAt(0);
  record[11] = palette;
  record[18] = record[25] = 0;
  SMapKindServices* g = Services();
  record[MapRecord::kPick] = g && !g->LacksWallsEastWest() ? 33 : 34;
  Torch(record, light);
}

void SMapObjectStair::RefreshCell(SMapObjectInst*, SMapCell* cell, u16* record, u16& light) {
  if (cell && record) Torch(record, light);
}

i32 SMapObjectStair::OnEvent(u16 event, SMapArea*, SMapObjectInst* inst, SMapCell*, i32, i32, bool&) {
  if (event == MapEvent::kUse && inst) Travel(inst, (inst->packed & 1) ? 6 : 7, 0);
  return 0;
}
