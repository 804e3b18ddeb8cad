// The interface pictures that no numbered slot of the start-up table names, kept in a table of their own:
// the inventory's and the character sheet's buttons, the face-select and reading dialogs' buttons, pages
// and faces, and the world map's view buttons. Each role reads one record of "DuskmireData" per device
// display mode, drawn by the world builder at the size of its place on that mode's layout, so that every
// picture fits its control. Start-up reads them into SGameCore::rolePictures; a record that is missing
// leaves its role empty (its control keeps its place and works, unseen), as data built before they existed.
//
// Code names a role picture by a picture number at or above kFirstRoleSlot, which SGameCore::Picture and
// SGameCore::PictureSet resolve like the numbered slots.
#pragma once
#include "os/Types.h"

#include <span>

namespace RolePicture {

// Button roles take three consecutive entries: up, pressed and disabled.
inline constexpr u16 kTabs = 0;  // items, sheet, quests, spells, main menu, close: six sets
inline constexpr u16 kRename = 18, kFace = 21;
inline constexpr u16 kCategories = 24;  // all, weapons, armour, accessories, books, alchemy, potions, magic, other
inline constexpr u16 kGridPrevious = 51, kGridNext = 54, kTake = 57, kDrop = 60;
inline constexpr u16 kUse = 63, kUseLetter = 66, kUseAlchemy = 69, kUseRepair = 72;
inline constexpr u16 kShowDescription = 75, kHideDescription = 78, kDescriptionPrevious = 81, kDescriptionNext = 84;
inline constexpr u16 kReadPrevious = 87, kReadNext = 90, kReadClose = 93;
inline constexpr u16 kFacePrevious = 96, kFaceNext = 99, kFaceOk = 102, kFaceCancel = 105;
inline constexpr u16 kSchools = 108;  // the seven spell schools
inline constexpr u16 kWorldView = 129, kLocalView = 132;
inline constexpr u16 kButtonRoles = 135;
// Single pictures.
inline constexpr u16 kReadingPage = 135;      // tiled behind a book's or letter's text
inline constexpr u16 kPlaceholderFace = 136;  // the face-select dialog before a face is chosen
inline constexpr u16 kDefaultFace = 137;      // the sheet's portrait when the face table lacks the player's
inline constexpr u16 kListPage = 138;         // tiled behind the quests and spells pages
inline constexpr u16 kCount = 139;

// Picture numbers of role pictures: kFirstRoleSlot + role.
inline constexpr u32 kFirstRoleSlot = 0x1000;
constexpr u32 Slot(u16 role) { return kFirstRoleSlot + role; }

// The display modes devices select, which each have their own records, in record order.
std::span<const i32> DeviceModes();
// The record of the role on the display mode: a mode no device selects reads the records of the device
// mode of its family (7 for the compact ones, 10 for the others). 0 for a role out of range.
u16 RecordFor(u16 role, i32 displayMode);
inline constexpr u16 kFirstRecord = 4400;
inline constexpr u16 kRecordsPerMode = 150;
static_assert(kCount <= kRecordsPerMode);

}  // namespace RolePicture
