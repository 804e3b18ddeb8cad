// Which fixed picture slots the inventory's screens draw from: the three border sets, and the buttons'
// picture sets (up, down, disabled in consecutive slots). A slot of kNone draws nothing; its button
// keeps its layout place and works without a picture.
#pragma once
#include "core/SGameCore.h"
#include "core/SRolePictures.h"

namespace InventoryPicture {

inline constexpr u32 kNone = 0xFFFF;
inline constexpr u32 kBorderL = 16, kBorderM = 25, kBorderS = 77;

// The buttons', pages' and faces' own pictures (core/SRolePictures.h); the tabs and the sheet's header
// buttons once for every display mode, each mode's record drawn for its own layout.
inline constexpr u32 kTabs = RolePicture::Slot(RolePicture::kTabs);  // four tabs, main menu and close: 6 sets
inline constexpr u32 kRename = RolePicture::Slot(RolePicture::kRename), kFace = RolePicture::Slot(RolePicture::kFace);
inline constexpr u32 kCategories = RolePicture::Slot(RolePicture::kCategories);  // nine sets
inline constexpr u32 kGridPrevious = RolePicture::Slot(RolePicture::kGridPrevious),
                     kGridNext = RolePicture::Slot(RolePicture::kGridNext);
inline constexpr u32 kTake = RolePicture::Slot(RolePicture::kTake), kDrop = RolePicture::Slot(RolePicture::kDrop),
                     kUse = RolePicture::Slot(RolePicture::kUse), kUseLetter = RolePicture::Slot(RolePicture::kUseLetter),
                     kUseAlchemy = RolePicture::Slot(RolePicture::kUseAlchemy),
                     kUseRepair = RolePicture::Slot(RolePicture::kUseRepair);
inline constexpr u32 kShowDescription = RolePicture::Slot(RolePicture::kShowDescription),
                     kHideDescription = RolePicture::Slot(RolePicture::kHideDescription),
                     kDescriptionPrevious = RolePicture::Slot(RolePicture::kDescriptionPrevious),
                     kDescriptionNext = RolePicture::Slot(RolePicture::kDescriptionNext);
// The item grid's cell lines, the small set (4-pixel lines) or the large one (8-pixel lines) as the grid's
// table picks, and its selection frame: the shop's grid's.
inline constexpr u32 kGridCellsSmall = kBorderS, kGridCellsLarge = kBorderL, kSelection = kBorderM;
inline constexpr u32 kReadingPage = RolePicture::Slot(RolePicture::kReadingPage),
                     kReadPrevious = RolePicture::Slot(RolePicture::kReadPrevious),
                     kReadNext = RolePicture::Slot(RolePicture::kReadNext),
                     kReadClose = RolePicture::Slot(RolePicture::kReadClose);
inline constexpr u32 kPlaceholderFace = RolePicture::Slot(RolePicture::kPlaceholderFace),
                     kDefaultFace = RolePicture::Slot(RolePicture::kDefaultFace);
inline constexpr u32 kFacePrevious = RolePicture::Slot(RolePicture::kFacePrevious),
                     kFaceNext = RolePicture::Slot(RolePicture::kFaceNext),
                     kFaceOk = RolePicture::Slot(RolePicture::kFaceOk),
                     kFaceCancel = RolePicture::Slot(RolePicture::kFaceCancel);
inline constexpr u32 kSchools = RolePicture::Slot(RolePicture::kSchools);  // seven sets
inline constexpr u32 kListPage = RolePicture::Slot(RolePicture::kListPage);

// The run of slots from `slot` on; null for kNone.
inline SImageEntry* const* Set(SGameCore* core, u32 slot) { return core ? core->PictureSet(slot) : nullptr; }
inline SImageEntry* const* Border(SGameCore* core, char which) {
  return Set(core, which == 'L' ? kBorderL : which == 'M' ? kBorderM : kBorderS);
}

}  // namespace InventoryPicture
