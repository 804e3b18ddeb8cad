// The rules of the 75 cards: what each does for its owner at each of its moments, carried out through the
// card state's operations (damage, healing, markers, combos), and the rating the computer chooses by.
#pragma once
#include "os/Types.h"

class SCardSet;
class SStateCard;
struct SCardType;

// The moments of a card.
inline constexpr u32 kCardPlayed = 1;   // the card has reached the table
inline constexpr u32 kCardTick = 2;     // a marker's turn after its side's card
inline constexpr u32 kCardAttack = 3;   // a marker changing the amount its side deals
inline constexpr u32 kCardDefence = 4;  // a marker changing the amount its side takes
inline constexpr u32 kCardRating = 5;   // how much the computer wants to play the card

// Applies a card's rule for its owner side (0 computer, 1 player) at a moment. `amount` is changed at
// the attack and defence moments; `slot` is the marker slot holding the card (moments 2 to 4);
// `multiplier` is 1, or the combo's multiplier for a card played while a combo was pending. Returns the
// rating at moment 5, else 0.
u32 ResolveCardPlay(SCardSet* cards, SStateCard* state, const SCardType* card, u32 side, u32 moment, i32& amount,
                    u32 slot, u32 multiplier);

// The percentage steps of the markers: p% of an amount is amount x p / 100, truncated toward zero.
// Raise: the amount grows by p% of itself, or by 1 when that is 0.
i32 RaiseByPercent(i32 amount, i32 percent);
// Lower: the amount shrinks by p% of itself, or by 1 when that is 0, and stays at least 0.
i32 LowerByPercent(i32 amount, i32 percent);
// Drain: d = p% of the amount, or 1 when that is 0, at most the counter, which loses d; the amount loses d
// and stays at least 0.
i32 DrainByPercent(i32 amount, i32 percent, i32& counter);
