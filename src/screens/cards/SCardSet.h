// The card game's 75 card definitions, three decks of 25 (warrior, sorcerer, necromancer), held by the
// game core and built once at start-up, with the pictures the card screen draws them with.
#pragma once
#include "os/Types.h"
#include "world/SImageCache.h"

class SDatabase;
class SGameCore;
class SString;
struct SCardDeck;

// Card classes.
inline constexpr u32 kCardInstant = 1;
inline constexpr u32 kCardDurable = 2;  // a marker that absorbs hits: its counter is durability or hit points
inline constexpr u32 kCardWeapon = 4;   // a marker that strengthens attacks: its counter is attacks
inline constexpr u32 kCardTimed = 8;    // a marker that lasts turns: its counter is turns
inline constexpr u32 kCardCombo = 16;

// The deck kinds.
inline constexpr u32 kDeckWarrior = 0;
inline constexpr u32 kDeckSorcerer = 1;
inline constexpr u32 kDeckNecromancer = 2;

// One row of the card table: what a card is, whatever the screen.
struct SCardRow {
  const char* name;
  u32 cardClass;
  u32 copies;
  u32 firstValue;
  u32 secondValue;
  u32 counter;
  const char* description;  // a format with up to three "%u"
};

// One card definition.
struct SCardType {
  u32 deckKind = 0;  // 0 warrior, 1 sorcerer, 2 necromancer
  u32 index = 0;     // 0 to 24 within the deck
  u32 copies = 0;    // how often the card stands in a fresh deck
  const char* name = nullptr;
  const char* description = nullptr;  // a format with up to three "%u"
  u32 firstValue = 0;
  u32 secondValue = 0;
  u32 counter = 0;      // what a marker of the card starts with
  u32 cardClass = 0;    // 1 instant, 2 durable marker, 4 weapon marker, 8 timed marker, 16 combo
  u16 pictureId = 0;    // a record of the data archive
  SImageEntry picture;  // the record while a match runs: loaded from the data archive, its image, its id

  SCardType() = default;
  SCardType(const SCardType&) = delete;
  SCardType& operator=(const SCardType&) = delete;

  bool IsMarker() const { return cardClass & (kCardDurable | kCardWeapon | kCardTimed); }
  // The description with its numbers: by the count of "%u" in the format, none; one (the first value of
  // instant and combo cards, else the counter); two (first and second value, or first value and counter);
  // three (first value, second value, counter). `counter` is a marker's current counter, or ~0u for the
  // card's own.
  void FormatDescription(SString& out, u32 counterNow) const;
};

class SCardSet {
 public:
  static constexpr u32 kDecks = 3;
  static constexpr u32 kCardsPerDeck = 25;
  static constexpr u32 kCards = kDecks * kCardsPerDeck;

  // The table row of a deck's card; null outside the decks.
  static const SCardRow* Row(u32 deck, u32 index);
  // The record of a card's picture on a display mode: on the compact screens 3952 + 25 x deck + index,
  // on the others 3570, 3600 or 3630 + index by deck. 0 outside the decks.
  static u16 PictureRecord(u32 deck, u32 index, i32 displayMode);
  // How many cards a fresh deck of the kind holds (55, 54, 56).
  static u32 DeckSize(u32 deck);
  // The deck kind's name as the card screen says it: "warrior", "sorcerer", "necromancer".
  static const char* DeckName(u32 deck);

  // Fills all 75 definitions for the core's display mode, and remembers the core and its data archive.
  void Build(SGameCore* gameCore);
  // The definition of a deck's card; null outside the decks.
  const SCardType* CardAt(u32 deck, u32 index) const {
    return deck < kDecks && index < kCardsPerDeck ? &cards[deck * kCardsPerDeck + index] : nullptr;
  }
  // Reads every definition's picture from the data archive, or lets them all go. A missing picture leaves
  // its card without one; the number read is returned.
  u32 LoadPictures();
  void ReleasePictures();
  // Empties the deck and fills it afresh: each index of the kind as often as its card's copies, then 100
  // draws of two positions, swapped when they differ. A kind outside the decks leaves it empty.
  void BuildDeck(u32 deckKind, SCardDeck& deck) const;

  SCardType cards[kCards];
  SGameCore* core = nullptr;
  SDatabase* data = nullptr;
};
