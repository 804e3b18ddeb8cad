#include "world/kinds/SMapObjectScenery.h"

#include "foundation/SString.h"
#include "world/SMapCell.h"
#include "world/SImageCache.h"
#include "world/SItemTable.h"
#include "world/SMapArea.h"
#include "world/kinds/SMapKindServices.h"
#include "world/kinds/SideRecord.h"

#include <cstring>

namespace {

bool Present(const SMapObjectInst* inst) { return !inst || (inst->state & 1); }
bool Picked(const SMapObjectInst* inst) { return inst && (inst->state & 2); }
u16 Pal(const SPaletteEntry* e) { return SMapObjectType::PaletteId(e); }

}  // namespace

bool SMapObjectTable::IsBlocking(SMapObjectInst* inst) { return Present(inst); }

void SMapObjectTable::BuildCell(SMapObjectInst*, SMapCell* cell, u16* record, u16&) {
  if (cell && record) MapRecordWrite::Upright(record, 1, ImageAt(0), Pal(cell->centrePalette), 36);
}

i32 SMapObjectTable::OnEvent(u16 event, SMapArea*, SMapObjectInst* inst, SMapCell*, i32, i32, bool&) {
  SMapKindServices* g = Services();
  if (event != MapEvent::kUse || !inst || !inst->targetText || !g) return 0;
  SString text(inst->targetText);
  g->ExpandTextMacros(text);
  g->QueueMessage(text.CStr(), 1, nullptr);
  return 0;
}

bool SMapObjectStand::IsBlocking(SMapObjectInst* inst) { return Present(inst); }

void SMapObjectStand::BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16&) {
  if (!cell || !record) return;
  const bool full = inst && !(inst->state & 2);
  MapRecordWrite::Upright(record, 1, ImageAt(full ? 1 : 0), Pal(cell->centrePalette), 35);
}

void SMapObjectPillar::BuildCell(SMapObjectInst*, SMapCell* cell, u16* record, u16&) {
  if (!cell || !record) return;
  record[0] = 4;
  record[MapRecord::kImage] = ImageAt(0);
  record[MapRecord::kPalette] = Pal(cell->centrePalette);
  record[MapRecord::kPick] = 28;
}

bool SMapObjectTree::IsBlocking(SMapObjectInst* inst) { return (typeFlags & MapTypeFlag::kBlocks) && Present(inst); }

void SMapObjectTree::BuildCell(SMapObjectInst*, SMapCell* cell, u16* record, u16&) {
  if (cell && record) MapRecordWrite::Upright(record, 1, ImageAt(0), Pal(cell->centrePalette), 40);
}

void SMapObjectBush::BuildCell(SMapObjectInst*, SMapCell* cell, u16* record, u16&) {
  if (!cell || !record) return;
  SMapKindServices* g = Services();
  MapRecordWrite::Upright(record, 1, ImageAt(0), Pal(cell->centrePalette), 2);
  // Every build gives the bush a new size.
  record[MapRecord::kPlaceA] = u16(32268 + (g ? g->Random(1000) : 0));
  record[MapRecord::kPlaceB] = u16(32268 + (g ? g->Random(1000) : 0));
}

bool SMapObjectFlower::ShowsPicked(const SMapObjectInst* inst) const { return NamedImageCount() > 1 && Picked(inst); }

void SMapObjectFlower::BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16&) {
  if (cell && record)
    MapRecordWrite::Upright(record, 1, ImageAt(ShowsPicked(inst) ? 1 : 0), Pal(cell->centrePalette), 18);
}

SItemType* SMapObjectFlower::FindHarvestItem(const SMapCell* cell) const {
  SMapKindServices* g = Services();
  if (!g || !g->Items() || NamedImageCount() == 1 || !texts[0] || !*texts[0]) return nullptr;
  const SPaletteEntry* entry = cell ? cell->centrePalette : nullptr;
  const char* palette = entry ? entry->name.Text() : nullptr;
  for (SItemType* t : g->Items()->types) {
    if (!t || t->itemClass != 7 || !t->name.Equals(texts[0])) continue;
    const char* own = g->ItemPaletteName(t);
    const bool same = (!own && !palette) || (own && palette && std::strcmp(own, palette) == 0);
    if (same) return t;
  }
  return nullptr;
}

i32 SMapObjectFlower::OnEvent(u16 event, SMapArea*, SMapObjectInst* inst, SMapCell* cell, i32, i32, bool& changed) {
  SMapKindServices* g = Services();
  if (event != MapEvent::kUse || !inst || Picked(inst) || !g) return 0;
  SItemType* item = FindHarvestItem(cell);
  if (!item) return 0;
  inst->state = u8(inst->state | 2);
  g->AddItems(item, 1);
  g->PlaySound("bsnd_tearflower", 10);
  SString itemName;
  g->FormatItemName(item, 1, itemName);
  SString text("You have found ");
  text.Append(itemName.CStr() ? itemName.CStr() : "");
  text.Append(".");
  g->QueueMessage(text.CStr(), 1, "");
  changed = true;
  return 0;
}

void SMapObjectFootbridge::BuildCellLayer2(SMapObjectInst*, SMapCellFaces* cell, u16* record, u16&) {
  if (!cell || !record) return;
  record[0] = 8;
  record[MapRecord::kImage] = cell->centreType ? cell->centreType->ImageAt(0) : 0;
  record[MapRecord::kPalette] = Pal(cell->centrePalette);
}

void SMapObjectGroup::BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16&) {
  if (!cell || !record) return;
  SMapKindServices* g = Services();
  const SMapObjectType* type = cell->centreType;
  const u16 palette = Pal(cell->centrePalette);
  record[0] = 5;
  if (!type) return;
  const u32 counter = g ? g->AnimationCounter(0) : 0;
  const bool picked = type->classNumber == 13 && type->NamedImageCount() > 1 && Picked(inst);
  const u16 base = type->ImageAt(picked ? 1 : 0);
  const bool dark = (type->typeFlags & MapTypeFlag::kNightLight) && g && !g->IsNight();
  u32 j = 0;
  for (u32 spot = 0; spot < 7 && j < 4; ++spot) {
    if (!(cell->cellFlags & (1u << spot))) continue;
    u16 image = base;
    if (type->classNumber == 41) image = dark ? 0 : type->ImageAt(type->FrameA(counter + j));
    record[1 + j] = image;
    record[8 + j] = palette;
    record[15 + j] = u16(g ? g->GroupSpot(0, spot) : 0);
    record[22 + j] = u16(g ? g->GroupSpot(1, spot) : 0);
    ++j;
  }
}

void SMapObjectGroup::RefreshCell(SMapObjectInst*, SMapCell* cell, u16* record, u16&) {
  if (!cell || !record || !cell->centreType || cell->centreType->classNumber != 41) return;
  SMapKindServices* g = Services();
  const SMapObjectType* type = cell->centreType;
  const u32 counter = g ? g->AnimationCounter(0) : 0;
  const u16 palette = Pal(cell->centrePalette);
  u32 j = 0;
  for (u32 spot = 0; spot < 7 && j < 4; ++spot) {
    if (!(cell->cellFlags & (1u << spot))) continue;
    record[1 + j] = type->ImageAt(type->FrameA(counter + j));
    record[8 + j] = palette;
    record[15 + j] = u16(g ? g->GroupSpot(0, spot) : 0);
    record[22 + j] = u16(g ? g->GroupSpot(1, spot) : 0);
    ++j;
  }
}

const char* SMapObjectGroup::GetAmbientSound(SMapObjectInst* inst, SMapCell* cell) {
  if (!cell || !cell->centreType || cell->centreType->classNumber != 41 || Picked(inst)) return nullptr;
  if ((typeFlags & MapTypeFlag::kNightLight) && !LitNow()) return nullptr;
  return texts[1];
}
