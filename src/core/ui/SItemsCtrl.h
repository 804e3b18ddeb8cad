// The item grid of the inventory, container and shop screens: one picture cell per stack of like items,
// sorted by class, subtype and name, a page of cells at a time. In trade mode each cell shows its price
// for the player; otherwise equippable items carry a marker (equipped, usable, not usable). The movement
// keys and the pen select a cell; the confirm key and the marker square ask the owner to equip or use the
// selected item through two flags, reported with the control id.
#pragma once
#include "core/ui/SCtrl.h"
#include "foundation/SPtrArray.h"

class SEffectList;
class SImageCache;
class SItem;
class SItemPicture;
class SItemTable;
class SItemType;
class SNpc;
struct SImage;
struct SImageEntry;
struct SPaletteEntry;

// One cell: a stack of like items.
struct SItemSlot {
  // Flag bits.
  static constexpr u8 kSingle = 0x01;      // takes no further items (an equipped one)
  static constexpr u8 kMagic = 0x02;       // enchanted
  static constexpr u8 kTypeFlag4 = 0x04;   // the type's flag 0x04
  static constexpr u8 kEquippable = 0x08;  // classes 1 to 4, outside trade mode
  static constexpr u8 kEquipped = 0x10;    // in one of the player's equipment slots
  static constexpr u8 kUnusable = 0x20;    // the player's standing forbids it
  static constexpr u8 kTypeFlag10 = 0x40;  // the type's flag 0x10

  SItemType* type = nullptr;
  SItem* item = nullptr;  // the stack's first item, the one the screens act on
  u32 price = 0;
  const SImage* picture = nullptr;
  const SPaletteEntry* palette = nullptr;  // null: the picture's own colours
  u16 count = 0;
  u8 itemClass = 0;
  u8 subtype = 0;
  u8 flags = 0;
};

class SItemsCtrl : public SCtrl {
 public:
  static constexpr u32 kActionUp = 1000, kActionDown = 1002, kActionLeft = 1004, kActionRight = 1006,
                       kActionPrevious = 3004, kActionNext = 3005, kActionConfirm = 3006;
  static constexpr char kCoinGlyph = 9;
  // The item picture that shows a type in the inventory: the one its picture record loads on demand.
  static SItemPicture* PictureOf(const SItemTable& table, const SItemType& type);
  // The palette that recolours the type's picture (its picture record's first), null for the picture's own.
  static SPaletteEntry* PaletteOf(SImageCache& cache, const SItemTable& table, const SItemType& type);

  SItemsCtrl() : slots(true, 4) { inputMask = kInputKeys | kInputPen; }

  // The grid's look and mode; the control must be placed first (the grid starts inside its border, and a
  // place too small for cols x rowCount cells shows fewer). No slot is selected afterwards.
  void SetLayout(SImageEntry* const* selectionFrameSet, SImageEntry* const* gridSet, i32 cellW, i32 cellH, i32 cols,
                 i32 rowCount, u32 borderSideMask, u32 buyFactor, u32 trade);
  // Rebuilds the cells from the items that pass the class filter (0 or above 8: all) and, with a trader,
  // the trader's accepted classes; prices and markers are figured for the core's player.
  void SetItems(const SPtrArray<SItem>& items, u32 classFilter, const SNpc* trader);
  // An index past the cells (or below 0) selects the last one; with no cells none is selected.
  void Select(i32 index);
  // Selects the cell whose first item is the one given (the last such cell).
  void SelectItem(const SItem* item);
  void NextPage();
  void PrevPage();
  // A cell that takes an item of the type, count and own enchantment (null: none): not single, same type,
  // its first item's count and enchantment equal. Null when there is none.
  SItemSlot* FindSlot(const SItemType* type, u16 count, const SEffectList* enchantment) const;
  // Draws the cell of that slot at once when it is on the page.
  void RedrawItem(i32 index);
  // Class 8 before class 7, otherwise by class, then subtype, then the type names: negative, 0 or positive.
  static i32 CompareItems(const SItemSlot& a, const SItemSlot& b);
  // Whether an item class passes a class filter.
  static bool ClassPasses(u32 classFilter, u32 itemClass, u32 subtype);

  u32 SlotCount() const { return slots.Count(); }
  SItemSlot* Slot(i32 index) const { return slots.At(index); }
  i32 PageSize() const { return columns * rows > 0 ? columns * rows : 1; }

  u32 OnKey(u32 key) override;
  u32 OnPen(i32 x, i32 y, u32 touching, u32 moving) override;
  void Paint() override;
  void DrawCell(i32 column, i32 row);

  u32 backgroundColour = 0;
  u32 fontNumber = 0;
  SImageEntry* const* selectionFrame = nullptr;
  SImageEntry* const* gridPictures = nullptr;
  i32 separatorWidth = 0, separatorHeight = 0;
  i32 columns = 0, rows = 0;
  i32 cellWidth = 0, cellHeight = 0;
  u32 borderSides = 0;     // 1 top, 2 left, 4 bottom, 8 right
  u32 buyPriceFactor = 0;  // tenths
  u32 tradeMode = 0;
  i32 markerSize = 0;
  u32 equipAsked = 0;
  u32 useAsked = 0;
  u32 buying = 0;
  i32 gridX = 0, gridY = 0;
  i32 firstVisible = 0;
  i32 selected = -1;
  SItemSlot* selectedSlot = nullptr;
  SPtrArray<SItemSlot> slots;

  // The top-left pixel of the cell in that column and row of the page.
  void CellOrigin(i32 column, i32 row, i32& x, i32& y) const;

 private:
  bool ShowsMarkers() const { return !tradeMode && !buying; }
  SItemSlot* MakeSlot(SItem* item);
  void DrawPrice(const SItemSlot& slot, i32 cx, i32 cy);
  void DrawCount(const SItemSlot& slot, i32 cx, i32 cy);
};
