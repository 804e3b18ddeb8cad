#include "screens/cards/SCardSet.h"

#include "core/SGameCore.h"

void SCardSet::Build(SGameCore* gameCore) {
  core = gameCore;
  data = gameCore ? &gameCore->data : nullptr;
  for (u32 n = 0; n < kCards; ++n) {
    SCardType card;
    card.deckKind = n / kCardsPerDeck;
    card.index = n % kCardsPerDeck;
    cards[n] = card;
  }
}
