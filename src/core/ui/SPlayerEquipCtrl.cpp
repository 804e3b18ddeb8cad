#include "core/ui/SPlayerEquipCtrl.h"

#include "core/SGameCore.h"
#include "core/SPictureRoles.h"
#include "core/ui/SDollPlaces.h"
#include "core/ui/SItemsCtrl.h"
#include "graphics/SDisplay.h"

namespace {

using doll::Family;
using doll::FamilyOf;
using doll::kPlaces;

i32 Mode(const SGameCore* core) { return core ? core->displayMode : 0; }

}  // namespace

i32 SPlayerEquipCtrl::SlotSize() const { return doll::kSlotSizes[FamilyOf(Mode(core))]; }

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
      case doll::kTiny: display->DrawIcon20(image, colours, entries, x, y); break;
      case doll::kSmall: display->DrawIcon30(image, colours, entries, x, y); break;
      case doll::kLarge: display->DrawImageOpaquePal(image, colours, entries, x, y); break;
      default: display->DrawIcon40(image, colours, entries, x, y); break;
    }
    if (slot >= 7 && slot <= 9) display->DrawImage(core->Picture(PictureRole::kDollOverlay7 + (slot - 7)), x, y);
  }
}
