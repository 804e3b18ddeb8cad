// The card game's 75 card definitions, three decks of 25 (warrior, sorcerer, necromancer), held by the
// game core and built once at start-up. Until the card game exists every definition is an empty card
// that knows only its deck and its place in it.
#pragma once
#include "os/Types.h"

class SDatabase;
class SGameCore;

// One card definition.
struct SCardType {
  u32 deckKind = 0;  // 0 warrior, 1 sorcerer, 2 necromancer
  u32 index = 0;     // 0 to 24 within the deck
  u32 copies = 0;    // how often the card stands in a fresh deck
  const char* name = nullptr;
  const char* description = nullptr;  // a format with up to three "%u"
  u32 firstValue = 0;
  u32 secondValue = 0;
  u32 counter = 0;    // what a marker of the card starts with
  u32 cardClass = 0;  // 1 instant, 2 durable marker, 4 weapon marker, 8 timed marker, 16 combo
  u16 pictureId = 0;  // a record of the data archive
};

class SCardSet {
 public:
  static constexpr u32 kDecks = 3;
  static constexpr u32 kCardsPerDeck = 25;
  static constexpr u32 kCards = kDecks * kCardsPerDeck;

  // Fills all 75 definitions for the core's display mode, and remembers the core and its data archive.
  void Build(SGameCore* gameCore);
  // The definition of a deck's card; null outside the decks.
  const SCardType* CardAt(u32 deck, u32 index) const {
    return deck < kDecks && index < kCardsPerDeck ? &cards[deck * kCardsPerDeck + index] : nullptr;
  }

  SCardType cards[kCards];
  SGameCore* core = nullptr;
  SDatabase* data = nullptr;
};
