#include "world/SItem.h"

#include "foundation/SRandom.h"
#include "world/SEffect.h"
#include "world/SItemTable.h"
#include "world/SWorldModule.h"

#include <new>

// ---- spawn entries

void SItemSpawn::Serialize(SStream& s, u32 version) {
  s.SerializeMarker(24);
  s.Align(2);
  s.SerializeU16(index);
  s.SerializeByte(count);
  s.SerializeByte(level);
  s.SerializeByte(chance);
  if (version >= 28) s.SerializeByte(condition);
}

void SItemSpawn::Resolve(const SIndexList& items) { type = index ? static_cast<SItemType*>(items.At(index)) : nullptr; }

// ---- items

SItem::~SItem() { delete enchantments; }

const SEffectList* SItem::Enchantment() const {
  // An own enchantment without entries (a saved game may carry one) counts as none.
  if (enchantments && enchantments->Count()) return enchantments;
  const SEffectList* own = type ? type->enchantment : nullptr;
  return own && own->Count() ? own : nullptr;
}

void SItem::WriteState(SStream& s) {
  u8 mask = u8((count ? 1 : 0) | (enchantments ? 4 : 0));
  s.SerializeByte(mask);
  if (mask & 1) {
    s.Align(2);
    s.SerializeU16(count);
  }
  if (mask & 4) enchantments->SerializeSaved(s);
}

bool SItem::ReadState(SStream& s) {
  u8 mask = 0;
  s.SerializeByte(mask);
  if (mask & 1) {
    s.Align(2);
    s.SerializeU16(count);
  }
  if (mask & 4) {
    delete enchantments;
    enchantments = new (std::nothrow) SEffectList;
    if (!enchantments) {
      s.SetFailed();
      return false;
    }
    if (!enchantments->SerializeSaved(s)) return false;
  }
  return s.Ok();
}

// ---- containers

bool SItemContainer::Serialize(SStream& s, u32 version) {
  s.SerializeMarker('K');
  s.SerializeByte(id);
  s.SerializeByte(flags);
  s.SerializeByte(cellX);
  s.SerializeByte(cellY);
  return entries.SerializeList(s, [version](SItemSpawn& e, SStream& st) { e.Serialize(st, version); }) && s.Ok();
}

void SItemContainer::ResolveEntries(const SIndexList& itemList) {
  for (SItemSpawn* e : entries) e->Resolve(itemList);
}

void SItemContainer::MoveAllFrom(SItemContainer& other) {
  if (&other == this) return;
  while (other.items.Count()) {
    SItem* item = other.items.RemoveAt(0);
    if (!items.Add(item)) {
      // No room here: put it back rather than lose it.
      other.items.InsertFirst(item);
      return;
    }
  }
}

SItem* SItemContainer::FindItemOfType(const SItemType* type) const {
  for (SItem* item : items)
    if (item->type == type) return item;
  return nullptr;
}

u32 SItemContainer::CountItemsOfType(const SItemType* type) const {
  u32 n = 0;
  for (SItem* item : items)
    if (item->type == type) ++n;
  return n;
}

bool SItemContainer::AddItemsOfType(SItemType* type, u32 n, SRandom& random) {
  if (!type) return false;
  for (u32 i = 0; i < n; ++i) {
    SItem* item = type->CreateInstance(-1, random);
    if (!item) return false;
    if (!items.Add(item)) {
      delete item;
      return false;
    }
  }
  return true;
}

void SItemContainer::RemoveItemsOfType(const SItemType* type, u32 n) {
  if (!type) return;
  for (i32 i = 0; i < i32(items.Count()) && n > 0;) {
    if (items.At(i)->type == type) {
      delete items.RemoveAt(i);
      --n;
    } else {
      ++i;
    }
  }
}

void SItemContainer::Fill(const SItemTable& table, SRandom& random) {
  if (flags & kFilled) return;
  table.CreateItemsFromList(entries, items, random);
  flags |= kFilled;
}

bool SItemContainer::WriteState(SStream& s, SItemNames& names) {
  s.SerializeByte(id);
  const bool hasCell = cellX < 255 || cellY < 255;
  u8 mask = u8((flags ? 1 : 0) | (hasCell ? 2 : 0) | (items.Count() ? 4 : 0));
  s.SerializeByte(mask);
  if (mask & 1) s.SerializeByte(flags);
  if (mask & 2) {
    s.SerializeByte(cellX);
    s.SerializeByte(cellY);
  }
  if (mask & 4) {
    s.Align(2);
    u16 n = items.Count();
    s.SerializeU16(n);
    for (SItem* item : items) {
      s.Align(2);
      u16 index = names.IndexOf(item->type);
      s.SerializeU16(index);
      item->WriteState(s);
    }
  }
  return s.Ok();
}

bool SItemContainer::ReadMapState(SStream& s, SItemNames& names) { return ReadBody(s, names, nullptr, nullptr); }

bool SItemContainer::ReadState(SStream& s, SItemNames& names, i32* equipPositions, SItem** equipped) {
  s.SerializeByte(id);
  return ReadBody(s, names, equipPositions, equipped);
}

bool SItemContainer::ReadBody(SStream& s, SItemNames& names, i32* equipPositions, SItem** equipped) {
  u8 mask = 0;
  s.SerializeByte(mask);
  if (mask & 1) s.SerializeByte(flags);
  if (mask & 2) {
    s.SerializeByte(cellX);
    s.SerializeByte(cellY);
  } else {
    cellX = cellY = 255;
  }
  if (!(mask & 4)) return s.Ok();
  s.Align(2);
  u16 n = 0;
  s.SerializeU16(n);
  for (u32 i = 0; i < n && s.Ok(); ++i) {
    s.Align(2);
    u16 index = 0;
    s.SerializeU16(index);
    if (s.Failed()) break;
    SItemType* type = names.TypeAt(index);
    SItem* item = new (std::nothrow) SItem;
    if (!item) {
      s.SetFailed();
      break;
    }
    item->type = type;
    // An item whose type no longer exists is read all the same, so the stream stays in step, then dropped.
    if (!item->ReadState(s) || !type || !items.Add(item)) {
      delete item;
      item = nullptr;
    }
    if (equipPositions && equipped)
      for (u32 slot = 0; slot < kEquipmentSlots; ++slot)
        if (equipPositions[slot] == i32(i)) {
          equipped[slot] = item;
          equipPositions[slot] = -1;
          break;
        }
  }
  return s.Ok();
}
