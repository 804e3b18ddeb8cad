#include "core/ui/SItemsCtrl.h"

#include "core/SGameCore.h"
#include "core/ui/SDialog.h"
#include "graphics/SDisplay.h"
#include "graphics/SFont.h"
#include "player/SPlayer.h"
#include "world/SItem.h"
#include "world/SItemTable.h"
#include "world/SPeopleTables.h"

#include <algorithm>
#include <new>

namespace {

// The screens whose cells hold 40 x 40 pictures: the small ones, 640 x 240 and 320 x 240.
bool HasSmallCells(i32 mode) { return SGameCore::IsCompactMode(mode) || mode == 3; }

bool SameEnchantment(const SEffectList* a, const SEffectList* b) {
  if (!a || !b) return a == b;
  return a->Equals(b);
}

}  // namespace

SItemPicture* SItemsCtrl::PictureOf(const SItemTable& table, const SItemType& type) {
  const SItemTextPicture* record = type.text2 ? table.FindTextPicture(type.text2) : nullptr;
  return record && record->text1 ? table.FindPicture(record->text1) : nullptr;
}

SPaletteEntry* SItemsCtrl::PaletteOf(SImageCache& cache, const SItemTable& table, const SItemType& type) {
  const SItemPicture* pic = PictureOf(table, type);
  return pic && pic->palettes.Count() ? cache.FindPalette(pic->palettes.Text(0)) : nullptr;
}

bool SItemsCtrl::ClassPasses(u32 filter, u32 itemClass, u32 subtype) {
  switch (filter) {
    case 1: return itemClass == 1;
    case 2: return itemClass == 2 || itemClass == 3;
    case 3: return itemClass == 4;
    case 4: return itemClass == 5 || (itemClass == 9 && subtype == 2);
    case 5: return itemClass == 6 || itemClass == 7;
    case 6: return itemClass == 8;
    case 7: return itemClass == 9;
    case 8: return itemClass >= 10 && itemClass <= 16;
    default: return true;
  }
}

i32 SItemsCtrl::CompareItems(const SItemSlot& a, const SItemSlot& b) {
  if (a.itemClass != b.itemClass) {
    // Potions sort before ingredients.
    if (a.itemClass == kItemPotion && b.itemClass == kItemIngredient) return -1;
    if (a.itemClass == kItemIngredient && b.itemClass == kItemPotion) return 1;
    return a.itemClass < b.itemClass ? -1 : 1;
  }
  if (a.subtype != b.subtype) return a.subtype < b.subtype ? -1 : 1;
  const char* na = a.type ? a.type->name.Text() : "";
  const char* nb = b.type ? b.type->name.Text() : "";
  return StrCompare(na ? na : "", nb ? nb : "");
}

void SItemsCtrl::SetLayout(SImageEntry* const* selectionFrameSet, SImageEntry* const* gridSet, i32 cellW, i32 cellH,
                           i32 cols, i32 rowCount, u32 borderSideMask, u32 buyFactor, u32 trade) {
  selectionFrame = selectionFrameSet;
  gridPictures = gridSet;
  cellWidth = cellW;
  cellHeight = cellH;
  // A place too small for the columns or rows asked for shows as many as it holds (at least one), and the
  // pages take the rest, rather than cells running out of it over their neighbours.
  if (width && cellW > 0 && cols * cellW > i32(width)) cols = std::max(1, i32(width) / cellW);
  if (height && cellH > 0 && rowCount * cellH > i32(height)) rowCount = std::max(1, i32(height) / cellH);
  columns = cols;
  rows = rowCount;
  borderSides = borderSideMask;
  buyPriceFactor = buyFactor;
  tradeMode = trade;
  backgroundColour = 0;
  fontNumber = 1;
  const SImage* piece = gridSet && gridSet[0] ? gridSet[0]->image : nullptr;
  separatorWidth = piece ? piece->width : 0;
  separatorHeight = piece ? piece->height : 0;
  // The cell lines take room between and around the cells: where the place holds little more than the
  // cells, they narrow to what is left, so that no cell runs past the grid's place.
  const i32 linesX = (cols > 1 ? cols - 1 : 0) + ((borderSideMask & 2) ? 1 : 0) + ((borderSideMask & 8) ? 1 : 0);
  const i32 linesY =
      (rowCount > 1 ? rowCount - 1 : 0) + ((borderSideMask & 1) ? 1 : 0) + ((borderSideMask & 4) ? 1 : 0);
  const i32 spareX = i32(width) - cols * cellW, spareY = i32(height) - rowCount * cellH;
  if (linesX > 0 && separatorWidth * linesX > spareX) separatorWidth = spareX > 0 ? spareX / linesX : 0;
  if (linesY > 0 && separatorHeight * linesY > spareY) separatorHeight = spareY > 0 ? spareY / linesY : 0;
  const i32 mode = core ? core->displayMode : 0;
  markerSize = SGameCore::IsCompactMode(mode) ? 12 : SGameCore::IsLargeMode(mode) ? 20 : 16;
  gridX = left + ((borderSides & 2) ? separatorWidth : 0);
  gridY = top + ((borderSides & 1) ? separatorHeight : 0);
  firstVisible = 0;
  selected = -1;
  selectedSlot = nullptr;
}

SItemSlot* SItemsCtrl::FindSlot(const SItemType* type, u16 count, const SEffectList* enchantment) const {
  for (SItemSlot* s : slots) {
    if ((s->flags & SItemSlot::kSingle) || s->type != type || !s->item || s->item->count != count) continue;
    if (SameEnchantment(s->item->enchantments, enchantment)) return s;
  }
  return nullptr;
}

SItemSlot* SItemsCtrl::MakeSlot(SItem* item) {
  SItemType* type = item->type;
  auto* slot = new (std::nothrow) SItemSlot;
  if (!slot) return nullptr;
  slot->type = type;
  slot->item = item;
  slot->count = 1;
  slot->itemClass = type->itemClass;
  slot->subtype = type->subtype;
  if (core) {
    SImageCache& cache = core->world.images;
    if (SItemPicture* pic = PictureOf(core->world.items, *type))
      if (SImageEntry* entry = cache.FindImage(pic->name.Text())) slot->picture = entry->image;
    slot->palette = PaletteOf(cache, core->world.items, *type);
    slot->price = type->GetValue(core->world.rules, item);
  }
  const u8 typeFlags = type->flags;
  const bool armament = type->itemClass >= 1 && type->itemClass <= 4;
  if (typeFlags & 0x04) {
    slot->flags |= SItemSlot::kTypeFlag4;
  } else if (armament && (item->enchantments || type->enchantment)) {
    slot->flags |= SItemSlot::kMagic;
  }
  if (typeFlags & 0x10) slot->flags |= SItemSlot::kTypeFlag10;

  u64 price = slot->price;
  // Throwing weapons and quivers are priced by the dozen.
  if (type->IsMissile()) price = u64(item->count) * price / 12;
  if (tradeMode) {
    if (buying) {
      price = u64(buyPriceFactor) * price / 10;
    } else if ((type->itemClass == kItemBook && type->subtype == 1) ||
               (type->itemClass == kItemMagic && type->subtype == 2)) {
      price /= 4;
    } else {
      price /= 2;
    }
  }
  // A price is figured in 64 bits and held to the largest 32-bit one: a dear item or a huge price factor
  // cannot wrap it to a small one, and a price past the purse's cap still shows what it is ("2B").
  const u32 capped = price > 0xFFFFFFFFull ? 0xFFFFFFFFu : u32(price);
  slot->price = core ? core->player.AdjustPrice(capped, buying != 0) : capped;

  if (ShowsMarkers() && armament && core) {
    const SPlayer& player = core->player;
    slot->flags |= SItemSlot::kEquippable;
    if (player.IsEquipped(item)) {
      slot->flags |= SItemSlot::kSingle | SItemSlot::kEquipped;
    } else if ((type->alignment == 1 && player.fame < 0) || (type->alignment == 2 && player.fame >= 0)) {
      slot->flags |= SItemSlot::kUnusable;
    }
  }
  return slot;
}

void SItemsCtrl::SetItems(const SPtrArray<SItem>& items, u32 classFilter, const SNpc* trader) {
  slots.DeleteAll();
  selected = -1;
  firstVisible = 0;
  selectedSlot = nullptr;
  if (core) {
    SImageCache& cache = core->world.images;
    for (const SItem* item : items) {
      SItemPicture* pic = item && item->type ? PictureOf(core->world.items, *item->type) : nullptr;
      if (!pic) continue;
      pic->AcquirePalettes(cache);
      SImageEntry* entry = cache.FindImage(pic->name.Text());
      if (entry && !entry->IsResident()) cache.LoadImage(entry);
    }
  }
  for (SItem* item : items) {
    const SItemType* type = item ? item->type : nullptr;
    if (!type || !ClassPasses(classFilter, type->itemClass, type->subtype)) continue;
    if (trader) {
      const u16 bits = core && type->itemClass < kItemClasses ? core->world.items.classFlags[type->itemClass] : 0;
      if (!(trader->categories & bits)) continue;
    }
    // An item the player wears is never hidden in a stack: it keeps a cell of its own, whatever came
    // before it.
    const bool worn = ShowsMarkers() && core && core->player.IsEquipped(item);
    if (SItemSlot* stack = worn ? nullptr : FindSlot(type, item->count, item->enchantments)) {
      if (!(stack->flags & SItemSlot::kEquipped)) {
        ++stack->count;
        continue;
      }
    }
    SItemSlot* slot = MakeSlot(item);
    if (slot && !slots.Add(slot)) delete slot;
  }
  std::stable_sort(slots.begin(), slots.end(),
                   [](const SItemSlot* a, const SItemSlot* b) { return CompareItems(*a, *b) < 0; });
  MarkDirty();
}

void SItemsCtrl::Select(i32 index) {
  const i32 count = i32(slots.Count());
  selected = count == 0 ? -1 : index >= 0 && index < count ? index : count - 1;
  selectedSlot = slots.At(selected);
  MarkDirty();
  if (selected >= 0 && (selected < firstVisible || selected >= firstVisible + PageSize()))
    firstVisible = selected / PageSize() * PageSize();
}

void SItemsCtrl::SelectItem(const SItem* item) {
  for (i32 i = i32(slots.Count()) - 1; i >= 0; --i)
    if (slots.At(i)->item == item) {
      Select(i);
      return;
    }
}

void SItemsCtrl::NextPage() {
  if (firstVisible + PageSize() >= i32(slots.Count())) return;
  firstVisible += PageSize();
  Select(firstVisible);
}

void SItemsCtrl::PrevPage() {
  if (firstVisible < PageSize()) return;
  firstVisible -= PageSize();
  Select(selected >= PageSize() ? selected - PageSize() : firstVisible);
}

void SItemsCtrl::CellOrigin(i32 column, i32 row, i32& x, i32& y) const {
  x = gridX + column * (cellWidth + separatorWidth);
  y = gridY + row * (cellHeight + separatorHeight);
}

void SItemsCtrl::RedrawItem(i32 index) {
  if (index < firstVisible || index >= firstVisible + PageSize() || columns < 1) return;
  DrawCell((index - firstVisible) % columns, (index - firstVisible) / columns);
}

u32 SItemsCtrl::OnKey(u32 key) {
  equipAsked = useAsked = 0;
  const i32 last = i32(slots.Count()) - 1;
  if (key == kActionConfirm) {
    if (ShowsMarkers() && selectedSlot) {
      if (selectedSlot->flags & SItemSlot::kEquippable) {
        equipAsked = 1;
      } else {
        useAsked = 1;
      }
    }
    if (owner) owner->ResetInputGuard();
    return id;
  }
  i32 next;
  switch (key) {
    case kActionUp: next = std::max(0, selected - columns); break;
    case kActionDown: next = std::min(last, selected + columns); break;
    case kActionLeft:
    case kActionPrevious: next = selected > 0 ? selected - 1 : 0; break;
    case kActionRight:
    case kActionNext: next = std::min(last, selected + 1); break;
    default: return 0;
  }
  if (last < 0) return 0;
  Select(std::max(0, next));
  return id;
}

u32 SItemsCtrl::OnPen(i32 x, i32 y, u32 touching, u32 /*moving*/) {
  // Every control is asked about a tap; one outside the grid's own place belongs to a control beside it.
  if (!touching || x < left || y < top || x >= left + i32(width) || y >= top + i32(height)) return 0;
  equipAsked = useAsked = 0;
  for (i32 r = 0; r < rows; ++r)
    for (i32 c = 0; c < columns; ++c) {
      i32 cx, cy;
      CellOrigin(c, r, cx, cy);
      if (x < cx || x >= cx + cellWidth || y < cy || y >= cy + cellHeight) continue;
      const i32 index = firstVisible + r * columns + c;
      if (index >= i32(slots.Count())) return 0;
      const i32 old = selected;
      selected = index;
      selectedSlot = slots.At(index);
      RedrawItem(old);
      RedrawItem(index);
      if (ShowsMarkers() && (selectedSlot->flags & SItemSlot::kEquippable) && x < cx + markerSize &&
          y < cy + markerSize)
        equipAsked = 1;
      if (owner) owner->ResetInputGuard();
      return id;
    }
  return 0;
}

void SItemsCtrl::Paint() {
  if (!display) return;
  display->FillRect(left, top, width, height, MakeColor565(backgroundColour));
  const SImage* vertical = gridPictures && gridPictures[1] ? gridPictures[1]->image : nullptr;
  const SImage* horizontal = gridPictures && gridPictures[3] ? gridPictures[3]->image : nullptr;
  if (vertical)
    for (i32 i = 0; i + 1 < columns; ++i)
      display->TileImage(gridX + (i + 1) * cellWidth + i * separatorWidth, gridY, separatorWidth,
                         height - 2 * separatorHeight, vertical);
  if (horizontal)
    for (i32 j = 0; j + 1 < rows; ++j)
      display->TileImage(gridX, gridY + (j + 1) * cellHeight + j * separatorHeight,
                         width - ((borderSides & 2) ? 2 * separatorWidth : 0), separatorHeight, horizontal);
  if (borderSides && core) core->DrawPanel9(gridPictures, 0, left, top, width, height, borderSides, 0);
  for (i32 r = 0; r < rows; ++r)
    for (i32 c = 0; c < columns; ++c) DrawCell(c, r);
}

void SItemsCtrl::DrawCell(i32 column, i32 row) {
  const SItemSlot* slot = slots.At(firstVisible + row * columns + column);
  if (!display || !slot || !slot->picture) return;
  i32 cx, cy;
  CellOrigin(column, row, cx, cy);
  display->FillRect(cx, cy, cellWidth, cellHeight, 0);
  const i32 mode = core ? core->displayMode : 0;
  const u16* colours = slot->palette ? slot->palette->colours : nullptr;
  const u32 entries = colours ? slot->palette->ColourCount() : 0;
  if (HasSmallCells(mode)) {
    if (tradeMode) {
      display->DrawIcon40(slot->picture, colours, entries, cx + (cellWidth - 40) / 2, cy);
    } else {
      display->DrawIcon40(slot->picture, colours, entries, cx, cy + (cellHeight - 40) / 2);
    }
  } else if (SGameCore::IsLargeMode(mode)) {
    if (tradeMode) {
      display->DrawImageOpaquePal(slot->picture, colours, entries, cx + (cellWidth - 50) / 2, cy + 1);
    } else {
      display->DrawImageOpaquePal(slot->picture, colours, entries, cx + 5, cy + 3);
    }
  } else {
    display->DrawImageOpaquePal(slot->picture, colours, entries, cx, cy);
  }
  if (font) font->Select(i32(fontNumber), 0xFFFFFF, 0);
  if (tradeMode) DrawPrice(*slot, cx, cy);
  if (slot->count > 1) DrawCount(*slot, cx, cy);
  if (firstVisible + row * columns + column == selected && core)
    core->DrawPanel9(selectionFrame, 1, cx, cy, cellWidth, cellHeight, 15, 0);
  if (ShowsMarkers() && (slot->flags & SItemSlot::kEquippable) && core) {
    const u32 marker = (slot->flags & SItemSlot::kEquipped) ? 313 : (slot->flags & SItemSlot::kUnusable) ? 315 : 314;
    if (const SImage* picture = core->Picture(marker)) display->DrawImageOpaque(picture, cx + 1, cy + 1);
  }
}

void SItemsCtrl::DrawPrice(const SItemSlot& slot, i32 cx, i32 cy) {
  if (!font) return;
  SString text;
  FormatMoneyText(slot.price, text);
  text.AppendChar(kCoinGlyph);
  if (slot.flags & (SItemSlot::kMagic | SItemSlot::kTypeFlag4)) {
    SGameCore::ConvertNumberGlyphsAlt(text);
  } else {
    SGameCore::ConvertNumberGlyphs(text);
  }
  const i32 mode = core ? core->displayMode : 0;
  i32 y0 = cy + 49;
  if (HasSmallCells(mode)) {
    y0 = cy + 38;
  } else if (mode == 15) {
    y0 = cy + 52;
  } else if (SGameCore::IsLargeMode(mode)) {
    y0 = cy + 47;
  }
  const i32 y1 = HasSmallCells(mode) ? cy + 53 : cy + 64;
  font->DrawText(cx, y0, cx + cellWidth, y1, text.CStr(), 4);
}

void SItemsCtrl::DrawCount(const SItemSlot& slot, i32 cx, i32 cy) {
  if (!font) return;
  SString text;
  text.Format("%u", unsigned(slot.count));
  SGameCore::ConvertNumberGlyphsAlt(text);
  const i32 mode = core ? core->displayMode : 0;
  const i32 y0 = HasSmallCells(mode) ? cy + 25 : SGameCore::IsLargeMode(mode) ? cy + 33 : cy + 35;
  font->DrawText(cx, y0, cx + cellWidth - 3, cy + 50, text.CStr(), 2);
}
