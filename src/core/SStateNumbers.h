// The numbers of the game states. Every input and tick handler returns one of them (0: stay), the core
// switches by them, and screen layouts and saved games store them, so the values never change.
#pragma once
#include "os/Types.h"

inline constexpr i32 kStateNone = 0;            // stay in the current state
inline constexpr i32 kStateGame = 1;            // SStateGame: the first-person view of the world
inline constexpr i32 kStateDialog = 2;          // SStateDialog: a conversation
inline constexpr i32 kStateDialogInterior = 3;  // SStateDialogInterior: an inn, shop or trainer's room
inline constexpr i32 kStateInventory = 4;       // SStateInventory: inventory and character sheet
inline constexpr i32 kStateShop = 5;            // SStateShop: buying and selling
inline constexpr i32 kStateCorvanth = 6;        // SStateCorvanth: the maker's logo, the first state
inline constexpr i32 kStateDeath = 7;           // SStateDeath
inline constexpr i32 kStateLoadSave = 8;        // SStateLoadSave
inline constexpr i32 kStateMain = 9;            // SStateMain: the main menu
inline constexpr i32 kStateGenerate = 10;       // SStateGenerate: the new player
inline constexpr i32 kStateScene = 11;          // SStateScene
inline constexpr i32 kStateCard = 12;           // SStateCard: the card game
inline constexpr i32 kStateSettings = 14;       // SStateSettings
inline constexpr i32 kStateAddWorlds = 15;      // SStateAddWorlds: additional worlds
inline constexpr i32 kStateReturn = 99;         // back to the state kept on the state stack
inline constexpr i32 kStateLast = kStateAddWorlds;
inline constexpr u32 kStateCount = kStateLast + 1;  // slots by number; 0 and 13 stay empty
