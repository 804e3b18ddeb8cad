// The interface pictures the game draws by role rather than by a slot number of their own, each given a
// picture slot of the start-up table that nothing else uses. The code draws them from these slots and the
// world builder draws each role's art into its slot's records.
#pragma once
#include "os/Types.h"

#include <iterator>

namespace PictureRole {

inline constexpr u16 kPlaceholder = 281;  // a picture control without picture, drawn keyed and centred
inline constexpr u16 kBadge0 = 282;       // the portrait's two badges (which 0 and not 0)
inline constexpr u16 kBadge1 = 283;
// The paper doll (opaque) and the marks drawn keyed over the items of its slots 7, 8 and 9: one picture and
// a run of three, the slots whose records the 240x240 screen reads apart from the other compact screens,
// as its doll alone sets its slots 20 pixels apart where they stand 30 apart.
inline constexpr u16 kPaperDoll = 405;
inline constexpr u16 kDollOverlay7 = 406;
inline constexpr u16 kDollOverlay8 = 407;
inline constexpr u16 kDollOverlay9 = 408;
inline constexpr u16 kCompassBand = 288;     // the compass band (120 columns: 3 degrees each), opaque
inline constexpr u16 kCompassOverlay = 289;  // the band's keyed overlay, as wide as the band
inline constexpr u16 kCompassLeftCap = 290;  // blended over the band's ends
inline constexpr u16 kCompassRightCap = 291;
inline constexpr u16 kAutomapArrowNorth = 292;  // the player on the dragged automap, by facing: north, east,
inline constexpr u16 kAutomapArrowEast = 293;   // south, west
inline constexpr u16 kAutomapArrowSouth = 294;
inline constexpr u16 kAutomapArrowWest = 295;
// The frame of a joined outdoor map's central area on the automap: corners at (7, 7), (27, 7), (7, 27) and
// (27, 27), then the edges of column 7, column 27, row 7 and row 27.
inline constexpr u16 kAutomapCornerNW = 296;
inline constexpr u16 kAutomapCornerNE = 297;
inline constexpr u16 kAutomapCornerSW = 298;
inline constexpr u16 kAutomapCornerSE = 299;
inline constexpr u16 kAutomapEdgeWest = 263;
inline constexpr u16 kAutomapEdgeEast = 264;
inline constexpr u16 kAutomapEdgeNorth = 265;
inline constexpr u16 kAutomapEdgeSouth = 266;
inline constexpr u16 kLabelAttackIcon = 300;  // the selected label panel's attack icon, keyed
inline constexpr u16 kLabelBackground = 267;  // tiled behind the label panels
inline constexpr u16 kHitBlow = 268;          // the head-up display's hit images: a blow, and damage
inline constexpr u16 kHitDamage = 269;
// The game screen's head-up display: the tile behind its controls, the nine-piece frame set around them,
// and the ten buttons' up and pressed pictures (button i at kHudButtons + 2i, pressed + 1): attack, magic
// book, potions, rest, turn left, forward, turn right, side step left, back, side step right.
inline constexpr u16 kHudTile = 149;
inline constexpr u16 kHudButtons = 150;
inline constexpr u16 kHudButtonCount = 10;
inline constexpr u16 kHudFrame = 170;
// The character sheet's raise buttons (up, pressed) for a raise allowed and one its limit refuses, and the
// quests list's status icons (solved, failed, active), 20 pixels wide.
inline constexpr u16 kRaise = 409;
inline constexpr u16 kCannotRaise = 411;
inline constexpr u16 kQuestStatus = 413;
// The screens' labelled buttons (three pieces each, up and pressed): dark faces under their light captions,
// as the message box's buttons (slots 10 and 13) are light under its dark ones.
inline constexpr u16 kMenuButtonUp = 242;
inline constexpr u16 kMenuButtonDown = 245;
// Tiled behind dark texts: the map, mark and recall, potion and spell book dialogs, the quests page.
inline constexpr u16 kParchment = 248;
// Not a slot: the hit picture over the card screen's portraits is record 4300 of "DuskmireData", which the
// card state reads with its other pictures (screens/cards/SCardPictures.h), as the 462 slots end at 461.

// Every role slot, for the builder's checks.
// clang-format off
inline constexpr u16 kAll[] = {
    kPlaceholder,      kBadge0,
    kBadge1,           kPaperDoll,
    kDollOverlay7,     kDollOverlay8,
    kDollOverlay9,     kCompassBand,
    kCompassOverlay,   kCompassLeftCap,
    kCompassRightCap,  kAutomapArrowNorth,
    kAutomapArrowEast, kAutomapArrowSouth,
    kAutomapArrowWest, kAutomapCornerNW,
    kAutomapCornerNE,  kAutomapCornerSW,
    kAutomapCornerSE,  kAutomapEdgeWest,
    kAutomapEdgeEast,  kAutomapEdgeNorth,
    kAutomapEdgeSouth, kLabelAttackIcon,
    kLabelBackground,  kHitBlow,
    kHitDamage,        kHudTile,
    kHudButtons + 0,   kHudButtons + 1,
    kHudButtons + 2,   kHudButtons + 3,
    kHudButtons + 4,   kHudButtons + 5,
    kHudButtons + 6,   kHudButtons + 7,
    kHudButtons + 8,   kHudButtons + 9,
    kHudButtons + 10,  kHudButtons + 11,
    kHudButtons + 12,  kHudButtons + 13,
    kHudButtons + 14,  kHudButtons + 15,
    kHudButtons + 16,  kHudButtons + 17,
    kHudButtons + 18,  kHudButtons + 19,
    kHudFrame + 0,     kHudFrame + 1,
    kHudFrame + 2,     kHudFrame + 3,
    kHudFrame + 4,     kHudFrame + 5,
    kHudFrame + 6,     kHudFrame + 7,
    kHudFrame + 8,     kRaise,
    kRaise + 1,        kCannotRaise,
    kCannotRaise + 1,  kQuestStatus,
    kQuestStatus + 1,  kQuestStatus + 2,
    kMenuButtonUp,     kMenuButtonUp + 1,
    kMenuButtonUp + 2, kMenuButtonDown,
    kParchment,        kMenuButtonDown + 1,
    kMenuButtonDown + 2,
};
// clang-format on

constexpr bool AllDistinct() {
  for (u32 i = 0; i < std::size(kAll); ++i)
    for (u32 j = i + 1; j < std::size(kAll); ++j)
      if (kAll[i] == kAll[j]) return false;
  return true;
}
static_assert(AllDistinct(), "a picture slot carries one role only");

}  // namespace PictureRole
