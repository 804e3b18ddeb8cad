// One side of a card match: the computer opponent (side 0) or the player (side 1), with its deck, hit
// points, hand and three marker slots.
#pragma once
#include "os/Types.h"

struct SCardType;

// A deck: card indices within the side's deck kind, the top card first. Grows by a step of 4.
struct SCardDeck {
  static constexpr u32 kGrowStep = 4;

  SCardDeck() = default;
  SCardDeck(const SCardDeck&) = delete;
  SCardDeck& operator=(const SCardDeck&) = delete;
  ~SCardDeck() { delete[] items; }

  // Frees the storage and starts again with a block of one grow step.
  void Clear();
  // False (nothing changed) when the storage cannot grow.
  bool Add(u32 index);
  // Takes the top card and shifts the rest up by one; false when the deck is empty.
  bool TakeTop(u32& index);

  u32 count = 0;
  u32 capacity = 0;
  u32* items = nullptr;
};

struct SCardMarker {
  const SCardType* card = nullptr;  // null: the slot is empty
  i32 counter = 0;
};

struct SCardSide {
  static constexpr u32 kHand = 5;
  static constexpr u32 kMarkers = 3;
  static constexpr i32 kStartHp = 40;

  u32 deckKind = 0;
  SCardDeck deck;
  i32 hp = kStartHp;
  i32 maxHp = kStartHp;
  const SCardType* hand[kHand] = {};
  SCardMarker markers[kMarkers];

  u32 CardsInHand() const {
    u32 n = 0;
    for (const SCardType* c : hand) n += c != nullptr;
    return n;
  }
  bool SlotsFilled() const {
    for (const SCardMarker& m : markers)
      if (!m.card) return false;
    return true;
  }
  bool HasMarker() const {
    for (const SCardMarker& m : markers)
      if (m.card) return true;
    return false;
  }
};
