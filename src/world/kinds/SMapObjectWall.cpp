#include "world/kinds/SMapObjectWall.h"

#include "foundation/SString.h"
#include "world/SMapCell.h"
#include "world/SMapArea.h"
#include "world/SSpell.h"
#include "world/kinds/SMapKindServices.h"
#include "world/kinds/SideRecord.h"

namespace {

bool Removed(const SMapObjectInst* inst) { return inst && (inst->state & 2); }
bool Present(const SMapObjectInst* inst) { return !inst || (inst->state & 1); }
u32 Counter(const SMapObjectType* t, u32 which) {
  SMapKindServices* g = t->Services();
  return g ? g->AnimationCounter(which) : 0;
}
bool IsDay(const SMapObjectType* t) {
  SMapKindServices* g = t->Services();
  return g && !g->IsNight();
}
// A type with the night-light flag is lit only when the map has no day/night cycle or it is night.
bool NightOnlyOff(const SMapObjectType* t) { return (t->typeFlags & MapTypeFlag::kNightLight) && !t->LitNow(); }
u16 Pal(const SPaletteEntry* e) { return SMapObjectType::PaletteId(e); }

}  // namespace

// ---- textures

void SMapObjectTexture::BuildCell(SMapObjectInst*, SMapCell* cell, u16* record, u16&) {
  if (!cell || !record) return;
  record[0] = 11;
  record[1] = ImageAt(0);
  record[8] = Pal(cell->centrePalette);
}

void SMapObjectTexture::BuildCellLayer2(SMapObjectInst*, SMapCellFaces* cell, u16* record, u16&) {
  if (!cell || !record) return;
  record[0] = 11;
  record[1] = cell->type0 ? cell->type0->ImageAt(0) : 0;
  record[8] = Pal(cell->palette0);
  record[2] = cell->centreType ? cell->centreType->ImageAt(0) : 0;
  record[9] = Pal(cell->centrePalette);
}

void SMapObjectTextureDecor::BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) {
  if (!cell || !record) return;
  record[0] = 6;
  RefreshCell(inst, cell, record, light);
  record[30] = 38;
}

void SMapObjectTextureDecor::RefreshCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16&) {
  if (!cell || !record) return;
  u32 frame = 0;
  if (!Removed(inst) && frameCountA > 1) frame = FrameA(Counter(this, 0));
  record[1] = ImageAt(frame);
  record[8] = Pal(cell->centrePalette);
}

const char* SMapObjectTextureDecor::GetAmbientSound(SMapObjectInst* inst, SMapCell*) {
  if (Removed(inst) || frameCountA <= 1) return nullptr;
  return texts[1];
}

i32 SMapObjectTextureDecor::ScriptCall(SMapArea* area, SMapObjectInst* inst, i32 x, i32 y, i32 function,
                                       const SMapScriptArg& first, const SMapScriptArg& second, i32 argCount,
                                       i32& result, bool& changed) {
  if (function < 138 || function > 141)
    return SMapObjectType::ScriptCall(area, inst, x, y, function, first, second, argCount, result, changed);
  changed = false;
  // The base works on the instance's container; here the player's cell lends its container instead.
  SMapKindServices* g = Services();
  SItemContainer* bag = inst && g ? g->PlayerCellContainer(area) : nullptr;
  return ContainerScriptCall(g, bag, function, first, second, result);
}

// ---- walls and blocks

bool SMapObjectWall::IsBlocking(SMapObjectInst* inst) { return Present(inst); }

void SMapObjectWall::BuildCell(SMapObjectInst*, SMapCell* cell, u16* record, u16&) {
  if (!cell || !record) return;
  record[0] = 2;
  record[1] = ImageAt(0);
  record[8] = Pal(cell->centrePalette);
  if (cell->styleType) {
    record[2] = cell->styleType->ImageAt(0);
    record[9] = Pal(cell->stylePalette);
  }
  record[30] = 41;
}

void SMapObjectWall::BuildCellLayer2(SMapObjectInst*, SMapCellFaces* cell, u16* record, u16&) {
  if (!cell || !record) return;
  record[0] = 2;
  record[1] = cell->centreType ? cell->centreType->ImageAt(0) : 0;
  record[8] = Pal(cell->centrePalette);
  if (cell->type3) {
    record[2] = cell->type3->ImageAt(0);
    record[9] = Pal(cell->palette3);
  }
  // A wall without a first pair takes the world's fallback wall type there, once.
  if (!cell->type0)
    if (SMapKindServices* g = Services()) cell->type0 = g->FallbackWallType();
  record[3] = cell->type0 ? cell->type0->ImageAt(0) : 0;
  record[10] = Pal(cell->palette0);
}

void SMapObjectWallLine::BuildSide(SMapObjectInst*, SMapCell* cell, u32 side, u16* record, u16&) {
  if (!cell || !record || side > 3) return;
  const SMapObjectType* second = cell->side2Type[side];
  MapRecordWrite::Side2(record, MapRecordWrite::SidePrime(side), 32768, second ? second->ImageAt(0) : 0,
                        Pal(cell->side2Palette[side]));
}

void SMapObjectWallLine::BuildSideLayer2(SMapObjectInst*, SMapCellFaces* cell, u32 side, u16* record, u16&) {
  if (!cell || !record || side > 3) return;
  const SMapObjectType* second = cell->side2Type[side];
  MapRecordWrite::Side2(record, MapRecordWrite::SidePrime(side), 32768, second ? second->ImageAt(0) : 0,
                        Pal(cell->side2Palette[side]));
}

void SMapObjectBlock::InitInstance(SMapObjectInst* inst) {
  if (inst) inst->packed = i16(u16(inst->packed) | defaultState);
}

bool SMapObjectBlock::IsBlocking(SMapObjectInst* inst) { return (typeFlags & MapTypeFlag::kBlocks) && Present(inst); }

void SMapObjectBlock::BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) {
  if (!cell || !record) return;
  if (typeFlags >= 0x8000) {
    record[0] = 12;
  } else if (typeFlags & MapTypeFlag::kFlat) {
    record[0] = 7;
  } else {
    record[0] = 1;
    if (typeFlags & MapTypeFlag::kBlockDepth) record[MapRecord::kFlags] = 10000;
  }
  record[1] = ImageAt(0);
  record[8] = Pal(cell->centrePalette);
  record[15] = record[22] = 32768;
  record[30] = 1;
  if (!Removed(inst) && cell->styleType && cell->styleType->frameCountA) RefreshCell(inst, cell, record, light);
}

void SMapObjectBlock::RefreshCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) {
  if (!cell || !record || Removed(inst)) return;
  const SMapObjectType* flame = cell->styleType;
  if (!flame || !flame->frameCountA) return;
  if (typeFlags & MapTypeFlag::kNightLight) {
    if (!LitNow()) {
      // Out by day: the record is refreshed in place, so a flame drawn at night must go too.
      record[2] = record[9] = 0;
      return;
    }
    Flicker(light);
  }
  record[2] = flame->ImageAt(flame->FrameA(Counter(this, 0)));
  record[9] = Pal(cell->stylePalette);
  record[16] = u16(placement[0]);
  record[23] = u16(placement[1]);
}

const char* SMapObjectBlock::GetAmbientSound(SMapObjectInst* inst, SMapCell* cell) {
  if (Removed(inst) || !cell || !cell->styleType || !cell->styleType->frameCountA) return nullptr;
  if (NightOnlyOff(this)) return nullptr;
  return texts[1];
}

i32 SMapObjectBlock::OnEvent(u16 event, SMapArea*, SMapObjectInst* inst, SMapCell*, i32, i32, bool&) {
  if (event == MapEvent::kUse && (typeFlags & MapTypeFlag::kTravels) && inst && inst->targetText)
    Travel(inst, inst->packed & 7, 0);
  return 0;
}

bool SMapObjectBlockAnim::IsBlocking(SMapObjectInst* inst) {
  return (typeFlags & MapTypeFlag::kBlocks) && Present(inst);
}

void SMapObjectBlockAnim::BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) {
  if (!cell || !record || Removed(inst)) return;
  RefreshCell(inst, cell, record, light);
  record[30] = 1;
}

void SMapObjectBlockAnim::RefreshCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16&) {
  if (!cell || !record || Removed(inst)) return;
  const u32 counter = Counter(this, 0);
  const bool dayOff = (typeFlags & MapTypeFlag::kNightLight) && IsDay(this);
  const u32 frame = dayOff ? 0 : FrameA(counter);
  record[0] = (typeFlags & MapTypeFlag::kFlat) ? 7 : 1;
  record[1] = ImageAt(frame);
  record[8] = Pal(cell->centrePalette);
  if (typeFlags & MapTypeFlag::kBlockDepth) record[MapRecord::kFlags] = 10000;
  record[15] = record[22] = 32768;
  const SMapObjectType* linked = LinkedType();
  SMapKindServices* g = Services();
  const bool cycleDay = g && g->HasDayNightCycle() && dayOff;
  if (linked && !cycleDay) {
    record[2] = linked->ImageAt(linked->FrameA(counter));
    record[9] = 0;
    record[16] = u16(placement[0]);
    record[23] = u16(placement[1]);
  } else if (linked) {
    record[2] = record[9] = 0;  // out by day, also when refreshed in place
  }
}

const char* SMapObjectBlockAnim::GetAmbientSound(SMapObjectInst* inst, SMapCell*) {
  if (Removed(inst) || NightOnlyOff(this)) return nullptr;
  return texts[1];
}

// ---- wall-mounted decorations

void SMapObjectWallDecor::InitInstance(SMapObjectInst* inst) {
  if (inst) inst->packed = i16(u16(inst->packed) | defaultState);
}

bool SMapObjectWallDecor::LightOff(const SMapObjectInst* inst) const { return Removed(inst) || NightOnlyOff(this); }

const char* SMapObjectWallDecor::Ambient(const SMapObjectInst* inst) const {
  return LightOff(inst) ? nullptr : texts[1];
}

void SMapObjectWallDecor::Side(u32 side, u16 palette, u16* record, bool pick) {
  const u32 sp = MapRecordWrite::SidePrime(side);
  const u16 image = ImageAt(0);
  u16 place = WallPlacement(sp, image, decalX, placement[3]);
  if (typeFlags & MapTypeFlag::kDecalMark) place = u16(place | 0x8000);
  MapRecordWrite::Side(record, sp, place, image, ImageAt(8), palette);
  if (pick) MapRecordWrite::Pick(record, sp, u16(sp + 42));
}

void SMapObjectWallDecor::Light(u32 side, u16 palette, u16* record, u16& light) {
  if (!frameCountA || !frameCountB) return;
  Flicker(light);
  const u32 sp = MapRecordWrite::SidePrime(side);
  const u32 c = Counter(this, 1) + sp;
  const u16 image = ImageAt(1 + c % frameCountA);
  u16 place = WallPlacement(sp, image, decalX, placement[3]);
  if (typeFlags & MapTypeFlag::kDecalMark) place = u16(place | 0x8000);
  MapRecordWrite::Side(record, sp, place, image, ImageAt(9 + c % frameCountB), palette);
}

void SMapObjectWallDecor::BuildSide(SMapObjectInst*, SMapCell* cell, u32 side, u16* record, u16&) {
  if (cell && record && side <= 3) Side(side, Pal(cell->sidePalette[side]), record, true);
}
void SMapObjectWallDecor::BuildSideLayer2(SMapObjectInst*, SMapCellFaces* cell, u32 side, u16* record, u16&) {
  if (cell && record && side <= 3) Side(side, Pal(cell->sidePalette[side]), record, false);
}
void SMapObjectWallDecor::LightSide(SMapObjectInst* inst, SMapCell* cell, u32 side, u16* record, u16& light) {
  if (cell && record && side <= 3 && !LightOff(inst)) Light(side, Pal(cell->sidePalette[side]), record, light);
}
void SMapObjectWallDecor::LightSideLayer2(SMapObjectInst* inst, SMapCellFaces* cell, u32 side, u16* record,
                                          u16& light) {
  if (cell && record && side <= 3 && !LightOff(inst)) Light(side, Pal(cell->sidePalette[side]), record, light);
}
const char* SMapObjectWallDecor::GetAmbientSound(SMapObjectInst* inst, SMapCell*) { return Ambient(inst); }
const char* SMapObjectWallDecor::GetAmbientSoundLayer2(SMapObjectInst* inst, SMapCellFaces*) { return Ambient(inst); }

i32 SMapObjectWallDecor::OnEvent(u16 event, SMapArea*, SMapObjectInst* inst, SMapCell*, i32, i32, bool&) {
  if (event != MapEvent::kUse || !inst || !inst->targetText) return 0;
  if (typeFlags & MapTypeFlag::kTravels) {
    Travel(inst, inst->packed & 7, 0);
    return 0;
  }
  SMapKindServices* g = Services();
  if (!g) return 0;
  SString text(inst->targetText);
  g->ExpandTextMacros(text);
  g->QueueMessage(text.CStr(), 0, nullptr);
  return 0;
}

void SMapObjectWallFloorDecor::FloorSide(u32 side, u16 palette, u16* record, bool pick) {
  const u32 sp = MapRecordWrite::SidePrime(side);
  const u16 image = ImageAt(0);
  const u16 overlay = ImageAt(8);
  u16 place = FloorPlacement(sp, image, overlay, decalX, decalY);
  if (overlay) place = u16(place | 0x8000);
  MapRecordWrite::Side(record, sp, place, image, overlay, palette);
  if (pick) MapRecordWrite::Pick(record, sp, u16(sp + 46));
}

void SMapObjectWallFloorDecor::FloorLight(u32 side, u16 palette, u16* record, u16& light) {
  if (!frameCountA) return;
  if (typeFlags & MapTypeFlag::kNightLight) Flicker(light);
  const u32 sp = MapRecordWrite::SidePrime(side);
  const u32 c = Counter(this, 1);
  const u16 image = ImageAt(1 + c % frameCountA);
  const u16 overlay = frameCountB ? ImageAt(9 + c % frameCountB) : 0;
  u16 place = FloorPlacement(sp, image, overlay, decalX, decalY);
  if (typeFlags & MapTypeFlag::kDecalMark) place = u16(place | 0x8000);
  MapRecordWrite::Side(record, sp, place, image, overlay, palette);
}

void SMapObjectWallFloorDecor::BuildSide(SMapObjectInst*, SMapCell* cell, u32 side, u16* record, u16&) {
  if (cell && record && side <= 3) FloorSide(side, Pal(cell->sidePalette[side]), record, true);
}
void SMapObjectWallFloorDecor::BuildSideLayer2(SMapObjectInst*, SMapCellFaces* cell, u32 side, u16* record, u16&) {
  if (cell && record && side <= 3) FloorSide(side, Pal(cell->sidePalette[side]), record, false);
}
void SMapObjectWallFloorDecor::LightSide(SMapObjectInst* inst, SMapCell* cell, u32 side, u16* record, u16& light) {
  if (cell && record && side <= 3 && !LightOff(inst)) FloorLight(side, Pal(cell->sidePalette[side]), record, light);
}
void SMapObjectWallFloorDecor::LightSideLayer2(SMapObjectInst* inst, SMapCellFaces* cell, u32 side, u16* record,
                                               u16& light) {
  if (cell && record && side <= 3 && !LightOff(inst)) FloorLight(side, Pal(cell->sidePalette[side]), record, light);
}

i32 SMapObjectWallFloorDecor::OnEvent(u16 event, SMapArea*, SMapObjectInst* inst, SMapCell*, i32, i32, bool&) {
  if (event == MapEvent::kUse && inst && inst->targetText && (typeFlags & MapTypeFlag::kTravels))
    Travel(inst, inst->packed & 7, 0);
  return 0;
}

// ---- city windows

void SMapObjectCityWindow::Side(u32 side, u16 palette, u16* record, bool pick) {
  const u32 sp = MapRecordWrite::SidePrime(side);
  const u16 image = ImageAt(0);
  MapRecordWrite::Side(record, sp, WallPlacement(sp, image, decalX, placement[3]), image, ImageAt(1), palette);
  if (pick) MapRecordWrite::Pick(record, sp, u16(sp + 7));
}

void SMapObjectCityWindow::Light(const SMapObjectInst* inst, u32 side, u16 palette, u16* record, u16& light,
                                 u16 raised) {
  SMapKindServices* g = Services();
  if (Removed(inst) || !g || (g->HasDayNightCycle() && !g->IsNight())) return;
  if (!frameCountA || !frameCountB) return;
  const i32 f = g->Random(frameCountA);
  if ((typeFlags & MapTypeFlag::kNightLight) && light == 256) light = raised;
  light = u16(light + (16 << (frameCountA - f)));
  const u32 sp = MapRecordWrite::SidePrime(side);
  const u16 image = ImageAt(u32(2 + f));
  MapRecordWrite::Side(record, sp, WallPlacement(sp, image, decalX, placement[3]), image,
                       ImageAt(u32(5 + g->Random(frameCountB))), palette);
}

void SMapObjectCityWindow::BuildSide(SMapObjectInst*, SMapCell* cell, u32 side, u16* record, u16&) {
  if (cell && record && side <= 3) Side(side, Pal(cell->sidePalette[side]), record, true);
}
void SMapObjectCityWindow::BuildSideLayer2(SMapObjectInst*, SMapCellFaces* cell, u32 side, u16* record, u16&) {
  if (cell && record && side <= 3) Side(side, Pal(cell->sidePalette[side]), record, false);
}
void SMapObjectCityWindow::LightSide(SMapObjectInst* inst, SMapCell* cell, u32 side, u16* record, u16& light) {
  if (cell && record && side <= 3) Light(inst, side, Pal(cell->sidePalette[side]), record, light, 384);
}
void SMapObjectCityWindow::LightSideLayer2(SMapObjectInst* inst, SMapCellFaces* cell, u32 side, u16* record,
                                           u16& light) {
  if (cell && record && side <= 3) Light(inst, side, Pal(cell->sidePalette[side]), record, light, 512);
}

// ---- townspeople, containers, shelves and signs

void SMapObjectNpc::BuildSide(SMapObjectInst*, SMapCell* cell, u32 side, u16* record, u16&) {
  if (!cell || !record || side > 3) return;
  const u32 sp = MapRecordWrite::SidePrime(side);
  const u16 image = ImageAt(0);
  MapRecordWrite::Side(record, sp, FloorPlacement(sp, image, 0, decalX, decalY), image, 0,
                       Pal(cell->sidePalette[side]));
  MapRecordWrite::Pick(record, sp, u16(sp + 24));
}

void SMapObjectNpc::Crime() {
  SMapKindServices* g = Services();
  if (!g) return;
  g->QueueMessage("You've tried to attack peaceful people!", 0, nullptr);
  g->RaiseCrime(5, 1000);
  g->ShowScriptMessage("You have committed a crime.");
}

i32 SMapObjectNpc::OnEvent(u16 event, SMapArea* area, SMapObjectInst* inst, SMapCell*, i32, i32, bool&) {
  SMapKindServices* g = Services();
  if (!g) return 0;
  if (event == MapEvent::kStruck) {
    Crime();
  } else if (event == MapEvent::kSpellHit) {
    const char* spell = g->CurrentSpell();
    if (spell && g->Spells() && g->Spells()->IsHarmfulSpell(spell)) Crime();
  } else if (event == MapEvent::kUse) {
    bool closed = true;
    g->EnterService(area, inst, this, closed);
  }
  return 0;
}

void SMapObjectContainer::BuildSide(SMapObjectInst*, SMapCell* cell, u32 side, u16* record, u16&) {
  if (!cell || !record || side > 3) return;
  const u32 sp = MapRecordWrite::SidePrime(side);
  const u16 image = ImageAt(0);
  MapRecordWrite::Side(record, sp, FloorPlacement(sp, image, 0, decalX, decalY), image, 0,
                       Pal(cell->sidePalette[side]));
  MapRecordWrite::Pick(record, sp, u16(sp + 11));
}

i32 SMapObjectContainer::OnEvent(u16 event, SMapArea* area, SMapObjectInst* inst, SMapCell*, i32, i32, bool& changed) {
  if (event != MapEvent::kUse) return 0;
  changed = true;
  if (SMapKindServices* g = Services(); g && inst) g->OpenBag(area, inst);
  return 0;
}

void SMapObjectShelf::BuildSide(SMapObjectInst*, SMapCell* cell, u32 side, u16* record, u16&) {
  if (!cell || !record || side > 3) return;
  const u32 sp = MapRecordWrite::SidePrime(side);
  const u16 image = ImageAt(0);
  MapRecordWrite::Side(record, sp, u16(WallPlacement(sp, image, decalX, placement[3]) | 0x8000), image, ImageAt(1),
                       Pal(cell->sidePalette[side]));
  MapRecordWrite::Pick(record, sp, u16(sp + 29));
}

i32 SMapObjectShelf::OnEvent(u16 event, SMapArea* area, SMapObjectInst* inst, SMapCell*, i32, i32, bool& changed) {
  if (event != MapEvent::kUse || !inst) return 0;
  if (SMapKindServices* g = Services()) g->OpenBag(area, inst);
  changed = true;
  return 0;
}

void SMapObjectSign::BuildSide(SMapObjectInst*, SMapCell* cell, u32 side, u16* record, u16&) {
  if (!cell || !record || side > 3) return;
  const u32 sp = MapRecordWrite::SidePrime(side);
  const u16 image = ImageAt(0);
  const u16 place = FloorPlacement(sp, image, 0, decalX, decalY);
  if (cell->sideType[side] == this)
    MapRecordWrite::Side(record, sp, place, image, 0, Pal(cell->sidePalette[side]));
  else
    MapRecordWrite::Side2(record, sp, place, image, Pal(cell->side2Palette[side]));
}
