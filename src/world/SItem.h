// Item instances, item-spawn entries and item containers: the player's inventory, the chests, bags and
// stocks of map areas, and the items monsters carry. A container read from the archive holds spawn
// entries; the item table turns them into items the first time its map is loaded.
#pragma once
#include "foundation/SPtrArray.h"
#include "foundation/SStream.h"
#include "os/Types.h"

class SEffectList;
class SItemType;
class SItemTable;
class SRandom;
struct SIndexList;

// One entry of a loot or contents list (tag 24). `index` is the position of the item type in the
// module's "D" index list (0: any type of the entry's `level`); `type` is what it resolves to.
struct SItemSpawn {
  u16 index = 0;
  SItemType* type = nullptr;  // set by Resolve, or directly by code that builds lists
  u8 count = 1;
  u8 level = 1;
  u8 chance = 100;     // percent
  u8 condition = 100;  // percent

  void Serialize(SStream& s, u32 version);
  // Looks the index up in the module's item list (an index that names nothing leaves the type null).
  void Resolve(const SIndexList& items);
  // A named entry whose name did not resolve: such an entry creates nothing.
  bool IsUnresolved() const { return index != 0 && !type; }
};

template <>
struct SNameOf<SItemSpawn> {
  static const SName& Get(const SItemSpawn&) {
    static const SName none;
    return none;
  }
};

// The saved game's table of item-type names: item types are saved as positions in it.
class SItemNames {
 public:
  virtual ~SItemNames() = default;
  // The position of the type's name (added when missing).
  virtual u16 IndexOf(const SItemType* type) = 0;
  // The type a position names; null when it names no existing type.
  virtual SItemType* TypeAt(u16 index) = 0;
};

class SItem {
 public:
  SItem() = default;
  SItem(const SItem&) = delete;
  SItem& operator=(const SItem&) = delete;
  ~SItem();

  // Saved form after the type index: mask (bit 0 count, bit 2 enchantments), the count, the list.
  void WriteState(SStream& s);
  // Reads the same (the caller has read the type index); false when the data is short or bad.
  bool ReadState(SStream& s);
  // The own enchantment if it has entries, else the type's if that has any (null when neither).
  const SEffectList* Enchantment() const;

  SItemType* type = nullptr;
  SEffectList* enchantments = nullptr;  // owned, null when none
  u16 count = 0;                        // condition, units or charges
};

template <>
struct SNameOf<SItem> {
  static const SName& Get(const SItem&) {
    static const SName none;
    return none;
  }
};

inline constexpr u32 kEquipmentSlots = 13;

class SItemContainer {
 public:
  SItemContainer() : entries(true, 4), items(true, 4) {}
  SItemContainer(const SItemContainer&) = delete;
  SItemContainer& operator=(const SItemContainer&) = delete;
  ~SItemContainer() = default;  // the owning lists delete the items and the entries

  // The archive record: tag "K", id, flags, cell x, cell y, the spawn entries. False when short or bad.
  bool Serialize(SStream& s, u32 version);
  // Resolves every spawn entry against the module's item list.
  void ResolveEntries(const SIndexList& itemList);

  bool AddItem(SItem* item) { return items.Add(item); }
  void RemoveItem(SItem* item) { items.Remove(item); }  // taken out, not deleted
  SItem* GetItem(i32 index) const { return items.At(index); }
  u16 GetItemCount() const { return items.Count(); }
  u16 GetEntryCount() const { return entries.Count(); }
  void DeleteAllItems() { items.DeleteAll(); }
  // Moves every item of `other` to the end of this one, keeping their order.
  void MoveAllFrom(SItemContainer& other);
  SItem* FindItemOfType(const SItemType* type) const;
  // Item instances of the type (not their counts).
  u32 CountItemsOfType(const SItemType* type) const;
  // Appends n new items of the type, each with the count its class gives; false when out of memory.
  bool AddItemsOfType(SItemType* type, u32 n, SRandom& random);
  // Removes and deletes up to n items of the type, front to back.
  void RemoveItemsOfType(const SItemType* type, u32 n);
  // Turns the spawn entries into items (once): sets the filled flag.
  void Fill(const SItemTable& table, SRandom& random);

  // Saved forms. WriteState writes the id first; ReadMapState expects it read by the caller; ReadState
  // reads it too and, with `equipPositions` (13 saved positions, -1 none) and `equipped` (13 slots),
  // hands each equipped item to the first slot whose position it has (the position becomes -1).
  bool WriteState(SStream& s, SItemNames& names);
  bool ReadMapState(SStream& s, SItemNames& names);
  bool ReadState(SStream& s, SItemNames& names, i32* equipPositions, SItem** equipped);

  SPtrArray<SItemSpawn> entries;
  SPtrArray<SItem> items;
  u16 serial = 0;
  u8 id = 0;
  u8 flags = 0;  // bit 0 persistent, bit 1 filled
  u8 cellX = 0, cellY = 0;

  static constexpr u8 kPersistent = 1;
  static constexpr u8 kFilled = 2;

 private:
  bool ReadBody(SStream& s, SItemNames& names, i32* equipPositions, SItem** equipped);
};
