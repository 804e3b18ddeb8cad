// Which fixed picture slots the inventory's screens draw from: the three border sets, and the buttons'
// picture sets (up, down, disabled in consecutive slots). A slot of kNone draws nothing; its button
// keeps its layout place and works without a picture.
#pragma once
#include "core/SGameCore.h"
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SDialog.h"

namespace InventoryPicture {

inline constexpr u32 kNone = 0xFFFF;
inline constexpr u32 kBorderL = 16, kBorderM = 25, kBorderS = 77;

inline constexpr u32 kTabs = kNone, kTabsSecond = kNone;  // four tabs, main menu and close: 6 sets
inline constexpr u32 kRename = kNone, kFace = kNone;
inline constexpr u32 kCategories = kNone;  // nine sets
inline constexpr u32 kGridPrevious = kNone, kGridNext = kNone;
inline constexpr u32 kTake = kNone, kDrop = kNone, kUse = kNone, kUseLetter = kNone, kUseAlchemy = kNone,
                     kUseRepair = kNone;
inline constexpr u32 kShowDescription = kNone, kHideDescription = kNone, kDescriptionPrevious = kNone,
                     kDescriptionNext = kNone;
inline constexpr u32 kGridCells1 = kNone, kGridCells2 = kNone, kSelection = kNone;
inline constexpr u32 kReadingPage = kNone, kReadPrevious = kNone, kReadNext = kNone, kReadClose = kNone;
inline constexpr u32 kPlaceholderFace = kNone, kDefaultFace = kNone;
inline constexpr u32 kFacePrevious = kNone, kFaceNext = kNone, kFaceOk = kNone, kFaceCancel = kNone;

// The run of slots from `slot` on; null for kNone.
inline SImageEntry* const* Set(SGameCore* core, u32 slot) {
  return core && slot < SGameCore::kPictureSlots ? &core->pictures[slot] : nullptr;
}
inline SImageEntry* const* Border(SGameCore* core, char which) {
  return Set(core, which == 'L' ? kBorderL : which == 'M' ? kBorderM : kBorderS);
}

// Places a picture button of the dialog's layout, reporting its id: the picture centred in its place, or,
// without a picture, the whole place. False when the layout has no entry for it.
inline bool PlaceButton(SDialog& dialog, SButtonCtrl& button, u16 id, u32 slot, u32 key = 0) {
  if (!dialog.AddLayoutControl(&button, id)) return false;
  const u16 x = button.left, y = button.top, w = button.width, h = button.height;
  button.SetPicture(Set(dialog.core, slot), id, key);
  if (!button.width || !button.height) {
    button.SetRect(x, y, w, h);
  } else {
    button.SetPos(u16(x + (w > button.width ? (w - button.width) / 2 : 0)),
                  u16(y + (h > button.height ? (h - button.height) / 2 : 0)));
  }
  return true;
}

}  // namespace InventoryPicture
