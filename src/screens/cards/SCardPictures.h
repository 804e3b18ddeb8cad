// The card screen's own pictures in "DuskmireData", by role: the state reads them at Enter and the world
// builder draws them, both through this table. The card pictures themselves are SCardSet::PictureRecord.
#pragma once
#include "os/Types.h"

// Roles, in the order of the card state's holders.
inline constexpr u32 kCardBackground = 0;   // tiled behind the whole screen
inline constexpr u32 kCardBackFirst = 1;    // the backs of the warrior, sorcerer and necromancer decks (1 to 3)
inline constexpr u32 kCardMarkerFrame = 4;  // the frame of marker cards (timed, durable, weapon)
inline constexpr u32 kCardPlainFrame = 5;   // the frame of instant and combo cards
inline constexpr u32 kCardEmptyPile = 6;    // a deck or the table without cards
inline constexpr u32 kCardEmptyMarker = 7;  // an empty marker place
inline constexpr u32 kCardGiveUpUp = 8;     // the give-up button, up and pressed
inline constexpr u32 kCardGiveUpDown = 9;
inline constexpr u32 kCardStruckMark = 10;  // over a marker that took something, keyed
inline constexpr u32 kCardActiveMark = 11;  // over a marker that acted, keyed
inline constexpr u32 kCardHit = 12;         // over a struck side's portrait, keyed
inline constexpr u32 kCardScreenPictures = 13;

// The record of each role on the large screens and on the compact ones (modes 2, 5, 6, 7, 8, 12, 13, 16).
inline constexpr u16 kCardScreenRecords[kCardScreenPictures][2] = {
    {3051, 3051}, {3048, 3942}, {3049, 3943}, {3050, 3944}, {3055, 3949}, {3054, 3948}, {3052, 3946},
    {3053, 3947}, {3056, 3950}, {3057, 3951}, {3655, 3655}, {3656, 3656}, {4300, 4300},
};

inline u16 CardScreenRecord(u32 role, bool compact) {
  return role < kCardScreenPictures ? kCardScreenRecords[role][compact ? 1 : 0] : 0;
}
