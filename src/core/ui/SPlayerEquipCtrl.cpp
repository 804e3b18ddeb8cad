#include "core/ui/SPlayerEquipCtrl.h"

#include "core/SGameCore.h"
#include "core/SPictureRoles.h"
#include "core/ui/SItemsCtrl.h"
#include "graphics/SDisplay.h"

namespace {

// The four families of places: large modes; modes 2, 6, 7, 12, 13, 16; modes 5, 8; the others.
enum Family { kLarge, kSmall, kTiny, kStandard };

Family FamilyOf(i32 mode) {
  switch (mode) {
    case 9:
    case 10:
    case 11:
    case 14:
    case 15: return kLarge;
    case 2:
    case 6:
    case 7:
    case 12:
    case 13:
    case 16: return kSmall;
    case 5:
    case 8: return kTiny;
    default: return kStandard;
  }
}

// (x, y) of slots 1 to 13 by family; slot 12 is never shown.
constexpr i32 kPlaces[4][13][2] = {
    {{85, 6},
     {164, 66},
     {8, 7},
     {8, 66},
     {164, 128},
     {8, 128},
     {85, 72},
     {159, 198},
     {11, 198},
     {85, 125},
     {85, 195},
     {0, 0},
     {164, 7}},
    {{51, 3},
     {99, 39},
     {5, 4},
     {5, 39},
     {99, 77},
     {5, 77},
     {51, 43},
     {96, 118},
     {7, 118},
     {51, 74},
     {51, 116},
     {0, 0},
     {99, 4}},
    {{33, 2},
     {64, 25},
     {3, 2},
     {3, 25},
     {64, 50},
     {3, 50},
     {33, 28},
     {62, 77},
     {4, 77},
     {33, 48},
     {33, 76},
     {0, 0},
     {64, 2}},
    {{66, 4},
     {128, 51},
     {6, 5},
     {6, 51},
     {128, 100},
     {6, 100},
     {66, 56},
     {124, 154},
     {8, 154},
     {66, 97},
     {66, 152},
     {0, 0},
     {128, 5}},
};
constexpr i32 kSizes[4] = {50, 30, 20, 40};

i32 Mode(const SGameCore* core) { return core ? core->displayMode : 0; }

}  // namespace

i32 SPlayerEquipCtrl::SlotSize() const { return kSizes[FamilyOf(Mode(core))]; }

void SPlayerEquipCtrl::LayoutSlots() {
  const Family f = FamilyOf(Mode(core));
  slotX[0] = slotY[0] = 0;
  for (u32 slot = 1; slot < kSlots; ++slot) {
    slotX[slot] = kPlaces[f][slot - 1][0];
    slotY[slot] = kPlaces[f][slot - 1][1];
  }
  selected = 0;
}

u32 SPlayerEquipCtrl::OnPen(i32 x, i32 y, u32 touching, u32 moving) {
  if (!touching || moving) return 0;
  const i32 s = SlotSize();
  for (u32 slot = 1; slot < kSlots; ++slot) {
    if (slot == 12) continue;
    const i32 sx = left + slotX[slot], sy = top + slotY[slot];
    if (x >= sx && y >= sy && x < sx + s && y < sy + s) {
      selected = i32(slot);
      return id;
    }
  }
  return 0;
}

void SPlayerEquipCtrl::Paint() {
  if (!display || !core) return;
  display->DrawImageOpaque(core->Picture(PictureRole::kPaperDoll), left, top);
  const Family f = FamilyOf(Mode(core));
  const SImage* const* images = core->world.images.ImagePointers();
  for (u32 slot = 1; slot < kSlots; ++slot) {
    if (slot == 12) continue;
    const SItem* item = core->player.Equipped(slot);
    const u16 index = item && item->type ? item->type->picture : 0;
    const SImage* image = index && images && index < core->world.images.ImageCapacity() ? images[index] : nullptr;
    if (!image) continue;
    // Recoloured as the pack shows it; a palette not in memory leaves the picture's own colours.
    const SPaletteEntry* palette = SItemsCtrl::PaletteOf(core->world.images, core->world.items, *item->type);
    const u16* colours = palette ? palette->colours : nullptr;
    const u32 entries = colours ? palette->ColourCount() : 0;
    const i32 x = left + slotX[slot], y = top + slotY[slot];
    switch (f) {
      case kTiny: display->DrawIcon20(image, colours, entries, x, y); break;
      case kSmall: display->DrawIcon30(image, colours, entries, x, y); break;
      case kLarge: display->DrawImageOpaquePal(image, colours, entries, x, y); break;
      default: display->DrawIcon40(image, colours, entries, x, y); break;
    }
    if (slot >= 7 && slot <= 9) display->DrawImage(core->Picture(PictureRole::kDollOverlay7 + (slot - 7)), x, y);
  }
}
