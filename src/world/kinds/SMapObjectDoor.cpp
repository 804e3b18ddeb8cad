#include "world/kinds/SMapObjectDoor.h"

#include "foundation/SString.h"
#include "world/SImageCache.h"
#include "world/SItemTable.h"
#include "world/SMapCell.h"
#include "world/SSpell.h"
#include "world/kinds/SMapKindServices.h"
#include "world/kinds/SideRecord.h"

namespace {

constexpr const char* kLockedSound = "bsnd_ddoorlocked";
constexpr const char* kTrappedLine = "\rYour disarm skill may not be enough.";

i32 Clamp(i32 v, i32 lo, i32 hi) { return v < lo ? lo : v > hi ? hi : v; }

i32 ImageWidth(SMapKindServices* g, u16 image) {
  i32 w = 0, h = 0;
  if (g && image) g->ImageSize(image, w, h);
  return w;
}

u32 DoorMethod(const SMapCell* cell) { return cell ? (cell->cellFlags >> 2) & 3 : 0; }

}  // namespace

bool SMapObjectDoor::IsBlocking(SMapObjectInst* inst) {
  // Without a placed object there is no closed bit: the door is drawn open, so it lets the player through.
  if (!inst) return false;
  return (inst->state & (kClosed | kClosing)) && !(inst->state & kOpening);
}

void SMapObjectDoor::PlaySoundAt(const char* sound, i32 x, i32 y) {
  SMapKindServices* g = Services();
  if (!g || !sound) return;
  i32 px = 0, py = 0;
  g->PlayerPosition(px, py);
  const i32 distance = (px > x ? px - x : x - px) + (py > y ? py - y : y - py);
  g->PlaySound(sound, Clamp(10 - distance, 1, 10));
}

void SMapObjectDoor::StartOpening(SMapArea*, SMapObjectInst* inst, i32 x, i32 y) {
  if (!inst) return;
  inst->state = u8((inst->state & ~(kOpening | kClosing)) | kOpening);
  PlaySoundAt(texts[1], x, y);
}

void SMapObjectDoor::StartClosing(SMapArea*, SMapObjectInst* inst, i32 x, i32 y) {
  if (!inst) return;
  inst->state = u8((inst->state & ~(kOpening | kClosing)) | kClosing);
  PlaySoundAt(texts[2], x, y);
}

void SMapObjectDoor::ShowHandle(u16* record, u32 method) {
  SMapKindServices* g = Services();
  if (!g || !decalX || !decalY) return;
  const u16 image = g->HandleImage(method & 3);
  if (!image) return;
  record[6] = image;
  record[13] = 0;
  record[20] = u16(decalX);
  record[27] = u16(decalY);
}

bool SMapObjectDoor::TorchShown() const { return LinkedType() && LitNow(); }

void SMapObjectDoor::TorchWords(u16* record, bool inside, u16& light, i32 flickerRange) {
  SMapKindServices* g = Services();
  const SMapObjectType* torch = LinkedType();
  if (!torch) return;
  const u32 counter = g ? g->AnimationCounter(0) : 0;
  light = u16(light + 64 + (16 << (g ? g->Random(flickerRange) : 0)));
  const u16 first = torch->ImageAt(torch->FrameA(counter));
  const u16 second = torch->ImageAt(torch->FrameA(counter + 2));
  if (!inside) {
    record[5] = first;
    record[12] = 0;
    record[19] = u16(placement[0]);
    record[26] = u16(placement[1]);
    record[7] = second;
    record[14] = 0;
    record[21] = u16(ImageWidth(g, record[4]) - ImageWidth(g, first) - placement[0]);
    record[28] = u16(placement[1]);
  } else {
    record[2] = first;
    record[9] = 0;
    record[16] = u16(placement[2]);
    record[23] = u16(placement[3] + 10);
    record[3] = second;
    record[10] = 0;
    record[17] = u16(ImageWidth(g, record[1]) - ImageWidth(g, first) - placement[2]);
    record[24] = u16(placement[3] + 10);
  }
}

void SMapObjectDoor::BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) {
  if (!cell || !record) return;
  SMapKindServices* g = Services();
  const u16 palette = PaletteId(cell->centrePalette);
  if (g && g->PlayerCell() == cell) {
    record[0] = 9;
    record[1] = ImageAt(2);
    record[8] = palette;
    record[15] = record[22] = 0;
    if (TorchShown()) TorchWords(record, true, light, 3);
    return;
  }
  const u16 leafA = classNumber == 22 ? 55 : 43;
  const u16 leafB = classNumber == 22 ? 71 : 43;
  record[15] = leafA;
  record[22] = record[23] = record[24] = leafB;
  const SMapObjectType* frame = cell->styleType;
  const u16 framePalette = PaletteId(cell->stylePalette);
  record[1] = ImageAt(1);
  record[8] = palette;
  record[2] = frame ? frame->ImageAt(0) : 0;
  record[9] = framePalette;
  record[16] = 43;
  record[3] = frame && frame->NamedImageCount() >= 2 ? frame->ImageAt(1) : 0;
  record[10] = framePalette;
  record[17] = 43;
  record[4] = ImageAt(0);
  record[11] = palette;
  record[18] = record[25] = 0;
  if (TorchShown()) TorchWords(record, false, light, 3);
  ShowHandle(record, DoorMethod(cell));
  const u16 orientation = cell->cellFlags & 3;
  const u16 progress = inst && (inst->state & kClosed) ? 0 : 63;
  record[0] = u16(3 | orientation << 8 | progress << 10);
  record[30] = g && !g->LacksWallsEastWest() ? 16 : 15;
}

void SMapObjectDoor::RefreshCell(SMapObjectInst*, SMapCell* cell, u16* record, u16& light) {
  if (!cell || !record || !TorchShown()) return;
  SMapKindServices* g = Services();
  const SMapObjectType* torch = LinkedType();
  const i32 a = torch->frameCountA;
  const i32 range = a < 4 ? a : a / 2;
  const bool inside = g && g->PlayerCell() == cell && !g->PlayerStepping();
  if (inside) {
    TorchWords(record, true, light, range);
  } else if (record[4]) {
    TorchWords(record, false, light, range);
  }
}

const char* SMapObjectDoor::GetAmbientSound(SMapObjectInst*, SMapCell*) { return TorchShown() ? "bsnd_fire" : nullptr; }

void SMapObjectDoor::AnimateTick(SMapObjectInst* inst, i32 x, i32 y, SMapCell* cell, u16* record, u16&) {
  if (!inst || !record) return;
  const u32 method = DoorMethod(cell);
  const u16 step = classNumber == 22 ? 3 : 5;
  i32 progress = record[0] >> 10;
  if (inst->state & kOpening) {
    if (progress >= 63) {
      inst->state = u8(inst->state & ~(kOpening | kClosed));
      return;
    }
    ShowHandle(record, method == 2 && progress < 20 ? 3 : method);
    progress = progress + step > 63 ? 63 : progress + step;
    record[0] = u16((record[0] & 0x3FF) | progress << 10);
    return;
  }
  if (inst->state & kClosing) {
    if (record[0] < 1024) {
      PlaySoundAt("bsnd_ddoorcloseok", x, y);
      inst->state = u8((inst->state | kClosed) & ~kClosing);
      return;
    }
    ShowHandle(record, method == 2 && progress >= 54 ? 3 : method);
    progress = progress - step < 0 ? 0 : progress - step;
    record[0] = u16((record[0] & 0x3FF) | progress << 10);
    return;
  }
  if (!(inst->state & kHighlight)) return;
  SMapKindServices* g = Services();
  u8 dummy = 0;
  u8& counter = g ? g->HighlightCounter() : dummy;
  if (counter) {
    --counter;
    record[29] = u16(record[29] | 1);
  } else {
    inst->state = u8(inst->state & ~kHighlight);
    record[29] = u16(record[29] & ~1);
  }
}

i32 SMapObjectDoor::ScriptCall(SMapArea* area, SMapObjectInst* inst, i32 x, i32 y, i32 function,
                               const SMapScriptArg& first, const SMapScriptArg& second, i32 argCount, i32& result,
                               bool& changed) {
  if (function < 102 || function > 108 || !inst)
    return SMapObjectType::ScriptCall(area, inst, x, y, function, first, second, argCount, result, changed);
  changed = false;
  const u16 p = u16(inst->packed);
  switch (function) {
    case 102: result = (inst->state & kClosed) ? 0 : 1; return 1;
    case 103:
      if (inst->state & (kClosed | kClosing)) StartOpening(area, inst, x, y);
      return 0;
    case 104:
      if (!(inst->state & kClosed) || (inst->state & kOpening)) StartClosing(area, inst, x, y);
      return 0;
    case 105: result = i32(LockLevel(inst)); return 1;
    case 106: inst->packed = i16((p & ~(15u << 6)) | u32(Clamp(first.number, 0, 110) / 10) << 6); return 0;
    case 107: result = i32(TrapLevel(inst)); return 1;
    default: inst->packed = i16((p & ~(15u << 10)) | u32(Clamp(first.number, 0, 101) / 10) << 10); return 0;
  }
}

i32 SMapObjectDoor::OnEvent(u16 event, SMapArea* area, SMapObjectInst* inst, SMapCell* cell, i32 x, i32 y,
                            bool& changed) {
  if (event == MapEvent::kSpellHit) OnSpell(area, inst, cell);
  if (event == MapEvent::kUse) TryOpen(area, inst, cell, x, y, changed);
  return 0;
}

void SMapObjectDoor::TryOpen(SMapArea* area, SMapObjectInst* inst, SMapCell* cell, i32 x, i32 y, bool&) {
  SMapKindServices* g = Services();
  if (!g || !inst) return;
  const u32 method = DoorMethod(cell);
  const i32 trap = i32(TrapLevel(inst));
  const i32 lock = i32(LockLevel(inst));
  const i32 disarm = g->DisarmValue();
  const bool trapSeen = trap > 0 && disarm >= trap / 3;
  if (!(inst->state & kClosed)) {
    if (method == 2) {
      i32 px = x, py = y;
      g->PlayerPosition(px, py);
      StartClosing(area, inst, px, py);
    } else {
      g->PlaySound(kLockedSound, 10);
      g->QueueMessage("You can't close the door.", 0, nullptr);
    }
    return;
  }
  if (method == 0) {
    g->QueueMessage("You can't see any method of opening this door.", 0, nullptr);
    g->PlaySound(kLockedSound, 10);
    return;
  }
  if (method == 3) return;
  if (method == 2 || lock == 0) {
    if (trapSeen) {
      SString text("The door seems to be trapped.");
      if (disarm < trap) text.Append(kTrappedLine);
      g->QueuePrompt(text.CStr(), area, inst, cell, this, 20, 1, 0, 1);
      g->PlaySound(kLockedSound, 10);
    } else {
      StartOpening(area, inst, x, y);
    }
    return;
  }
  SItemType* key = inst->targetText && g->Items() ? g->Items()->FindType(inst->targetText) : nullptr;
  if (key && g->CountItems(key) >= 1) {
    g->PlaySound("bsnd_lockout", 10);
    g->LoseItems(key, 1);
    StartOpening(area, inst, x, y);
    return;
  }
  const bool picks = g->HasLockPicks();
  SString text(picks ? "The door is locked,\rand you don't have the right key."
                     : "The door is locked,\rand you don't have the right key nor any lockpicks.");
  if (trapSeen) {
    text.Append("\rAlso, it seems to be trapped...");
    if (disarm < trap) text.Append(kTrappedLine);
  }
  g->PlaySound(kLockedSound, 10);
  if (trapSeen || picks)
    g->QueuePrompt(text.CStr(), area, inst, cell, this, 20, trapSeen ? 1 : 0, picks ? 1 : 0, 0);
  else
    g->QueueMessage(text.CStr(), 0, nullptr);
}

void SMapObjectDoor::OnSpell(SMapArea*, SMapObjectInst* inst, SMapCell*) {
  SMapKindServices* g = Services();
  if (!g || !inst || !g->Spells()) return;
  const char* spellName = g->CurrentSpell();
  const SSpell* spell = spellName ? g->Spells()->FindByName(spellName) : nullptr;
  if (!spell) return;
  const i32 level = g->CurrentSpellLevel();
  i32 unlock = 0, disarm = 0;
  for (u32 i = 0; i < spell->effects.Count(); ++i) {
    const SEffect* e = spell->effects.Entry(i32(i));
    if (!e) continue;
    const i32 m = e->MagnitudeAt(level);
    if (e->kind == 45 && m > unlock) unlock = m;
    if (e->kind == 44 && m > disarm) disarm = m;
  }
  const i32 trap = i32(TrapLevel(inst));
  const i32 lock = i32(LockLevel(inst));
  bool trapRemoved = false;
  if (disarm > 0 && trap > 0 && trap <= 100 && g->Random(disarm / 10) + disarm * 9 / 10 >= trap) {
    inst->packed = i16(u16(inst->packed) & ~(15u << 10));
    trapRemoved = true;
  }
  bool lockRemoved = false;
  if (unlock > 0 && lock > 0 && lock <= 100 && g->Random(unlock / 10) + unlock * 9 / 10 >= lock) {
    inst->packed = i16(u16(inst->packed) & ~(15u << 6));
    lockRemoved = true;
  }
  if (trapRemoved || lockRemoved) {
    inst->state = u8(inst->state | kHighlight);
    g->HighlightCounter() = 10;
  }
}

void SMapObjectCityDoor::BuildSide(SMapObjectInst*, SMapCell* cell, u32 side, u16* record, u16&) {
  if (!cell || !record || side > 3) return;
  const u32 sp = MapRecordWrite::SidePrime(side);
  const u16 image = ImageAt(0);
  MapRecordWrite::Side(record, sp, WallPlacement(sp, image, 16, 1), image, ImageAt(1),
                       PaletteId(cell->sidePalette[side]));
  MapRecordWrite::Pick(record, sp, u16(sp + 3));
}

void SMapObjectCityDoor::BuildSideLayer2(SMapObjectInst*, SMapCellFaces* cell, u32 side, u16* record, u16&) {
  if (!cell || !record || side > 3) return;
  const u32 sp = MapRecordWrite::SidePrime(side);
  const u16 image = ImageAt(0);
  MapRecordWrite::Side(record, sp, WallPlacement(sp, image, 16, 1), image, ImageAt(1),
                       PaletteId(cell->sidePalette[side]));
}

i32 SMapObjectCityDoor::OnEvent(u16 event, SMapArea* area, SMapObjectInst* inst, SMapCell*, i32, i32, bool&) {
  SMapKindServices* g = Services();
  if (event != MapEvent::kUse || !g) return 0;
  bool closed = true;
  g->EnterService(area, inst, this, closed);
  if (!closed) {
    g->RefreshServiceScreens();
    g->PlaySound("bsnd_cdooropen", 10);
  } else {
    g->PlaySound("bsnd_cdoorclosed", 10);
  }
  return 0;
}
