// The card match on the card state without a screen, tick by tick under a virtual clock: the start of a
// match, the deal, the player's taps, the computer's turn, combos, the end and its payout, the mended
// empty hand, and many seeded matches played by the computer's rule for both sides.
#include "CardRig.h"
#include "foundation/TimeUtil.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

namespace {

constexpr u32 W = kDeckWarrior, S = kDeckSorcerer;
constexpr u32 kPlayer = SStateCard::kPlayer, kComputer = SStateCard::kComputer;

// Ticks (100 ms each) until the condition holds; false when it does not within the limit.
bool RunUntil(CardRig& rig, const std::function<bool()>& done, u32 limit = 2000) {
  for (u32 i = 0; i < limit; ++i) {
    if (done()) return true;
    rig.Tick();
  }
  return done();
}

u16 HandCode(u32 position) { return SStateCard::kHandIds[kPlayer][position]; }

// The player taps a hand position twice: selects it, then plays it.
void PlayerPlays(CardRig& rig, u32 position) {
  rig.state.OnCommand(HandCode(position));
  rig.state.OnCommand(HandCode(position));
}

bool Idle(const CardRig& rig) { return rig.state.flights.IsEmpty() && !rig.state.waiting; }

}  // namespace

// Entering takes the bet, gives the sides different decks and 40 hit points, and deals five cards each,
// the player's first, each flight 6 ticks after the one before; the text names both decks.
TEST(CardMatch, EnterDealsBothHands) {
  std::set<std::pair<u32, u32>> kinds;
  for (u32 seed = 1; seed <= 40; ++seed) {
    CardRig rig(seed);
    rig.core.player.money = 500;
    rig.state.Enter(120, 0, 0, 0);
    SStateCard& s = rig.state;
    EXPECT_EQ(rig.core.player.money, 380u);
    EXPECT_EQ(s.bet, 120u);
    EXPECT_NE(s.sides[0].deckKind, s.sides[1].deckKind);
    kinds.insert({s.sides[0].deckKind, s.sides[1].deckKind});
    for (const SCardSide& side : s.sides) {
      EXPECT_EQ(side.hp, 40);
      EXPECT_EQ(side.maxHp, 40);
      EXPECT_EQ(side.CardsInHand(), 5u);
      EXPECT_EQ(side.deck.count, SCardSet::DeckSize(side.deckKind) - 5);
      for (const SCardType* card : side.hand) EXPECT_EQ(card->deckKind, side.deckKind);
    }
    ASSERT_EQ(s.flights.Count(), 10u);
    for (u32 i = 0; i < 10; ++i) {
      const SCardFlight* f = s.flights.At(i32(i));
      EXPECT_EQ(f->delay, 6 * i);
      EXPECT_EQ(f->side, i % 2 == 0 ? kPlayer : kComputer);
      EXPECT_EQ(f->position, i / 2);
      EXPECT_EQ(f->playOnArrival, 0u);
    }
    EXPECT_EQ(s.turn, SStateCard::kTurnPlayer);
    EXPECT_STREQ(s.cardText.label.CStr(), "");
    const std::string text = std::string("You play as a ") + SCardSet::DeckName(s.sides[1].deckKind) +
                             ", while your opponent plays as a " + SCardSet::DeckName(s.sides[0].deckKind) + ".";
    EXPECT_EQ(std::string(s.cardText.value.CStr()), text);
  }
  EXPECT_EQ(kinds.size(), 6u);  // every pair of different decks comes up
  // A bet larger than the purse takes what there is.
  CardRig poor;
  poor.core.player.money = 30;
  poor.state.Enter(50, 0, 0, 0);
  EXPECT_EQ(poor.state.bet, 30u);
  EXPECT_EQ(poor.core.player.money, 0u);
}

// The deal's flights leave 6 ticks apart and each lands 6 ticks after it leaves: the last lands on tick
// 60. No card can be chosen before; then a tap selects (raised, its text shown) and a second tap plays.
TEST(CardMatch, TheDealThenSelectingAndPlaying) {
  CardRig rig(5);
  SStateCard& s = rig.state;
  s.Enter(0, 0, 0, 0);
  const SCardType* first = s.sides[kPlayer].hand[2];
  for (u32 tick = 1; tick < 60; ++tick) {
    rig.Tick();
    s.OnCommand(HandCode(2));
    ASSERT_EQ(s.selected, -1) << tick;
    ASSERT_FALSE(s.flights.IsEmpty()) << tick;
  }
  rig.Tick();
  EXPECT_TRUE(s.flights.IsEmpty());
  EXPECT_TRUE(s.PlayerMayPlay());

  s.OnCommand(HandCode(2));
  EXPECT_EQ(s.selected, 2);
  EXPECT_TRUE(s.hands[kPlayer][2].raised);
  EXPECT_STREQ(s.cardText.label.CStr(), first->name);
  s.OnCommand(HandCode(4));
  EXPECT_EQ(s.selected, 4);
  EXPECT_FALSE(s.hands[kPlayer][2].raised);
  EXPECT_TRUE(s.hands[kPlayer][4].raised);
  s.OnCommand(HandCode(2));
  s.OnCommand(HandCode(2));
  ASSERT_EQ(s.flights.Count(), 1u);
  EXPECT_TRUE(s.flights.At(0)->playOnArrival);
  EXPECT_EQ(s.selected, -1);
  // Commands wait while it flies.
  s.OnCommand(HandCode(4));
  EXPECT_EQ(s.selected, -1);
  for (u32 tick = 0; tick < SStateCard::kFlightFrames; ++tick) rig.Tick();
  EXPECT_TRUE(s.flights.IsEmpty());
  EXPECT_EQ(s.tableCard, first);
  EXPECT_EQ(s.sides[kPlayer].hand[2], nullptr);
  EXPECT_TRUE(s.waiting);
  // One played card: not all ten positions hold a card, so nothing more until the computer has played.
  s.OnCommand(HandCode(4));
  EXPECT_EQ(s.selected, -1);

  // After the wait the computer plays, and after its wait both hands are refilled for the player.
  ASSERT_TRUE(RunUntil(rig, [&] { return s.turn == SStateCard::kTurnComputer; }));
  EXPECT_EQ(s.flights.Count(), 1u);
  ASSERT_TRUE(RunUntil(rig, [&] { return s.turn == SStateCard::kTurnPlayer; }));
  // The player's position 2 and the computer's played one, by position (the player's first on a tie),
  // 6 ticks apart.
  ASSERT_EQ(s.flights.Count(), 2u);
  const SCardFlight* f0 = s.flights.At(0);
  const SCardFlight* f1 = s.flights.At(1);
  EXPECT_NE(f0->side, f1->side);
  EXPECT_TRUE(f0->position < f1->position || (f0->position == f1->position && f0->side == kPlayer));
  EXPECT_EQ(f0->delay, 0u);
  EXPECT_EQ(f1->delay, 6u);
  EXPECT_TRUE(s.AllHandsFull());
  EXPECT_EQ(s.sides[kPlayer].deck.count, SCardSet::DeckSize(s.sides[kPlayer].deckKind) - 6);
  ASSERT_TRUE(RunUntil(rig, [&] { return s.PlayerMayPlay(); }));
}

// The table and the markers show their card's text; markers only in the player's turn, with the marker's
// counter as it stands.
TEST(CardMatch, TableAndMarkerTexts) {
  CardRig rig;
  SStateCard& s = rig.state;
  s.Enter(0, 0, 0, 0);
  ASSERT_TRUE(RunUntil(rig, [&] { return Idle(rig); }));
  s.OnCommand(SStateCard::kTableId);  // nothing on the table yet
  EXPECT_STREQ(s.cardText.label.CStr(), "");
  rig.Mark(kComputer, 1, kDeckNecromancer, 10, 2);
  s.OnCommand(SStateCard::kMarkerIds[kComputer][1]);
  EXPECT_STREQ(s.cardText.label.CStr(), "Bone wall");
  s.OnCommand(SStateCard::kHandIds[kPlayer][0]);
  EXPECT_EQ(s.selected, 0);
  s.OnCommand(SStateCard::kMarkerIds[kPlayer][0]);  // an empty slot: the hand lowers, the text stays
  EXPECT_EQ(s.selected, -1);
  EXPECT_STREQ(s.cardText.label.CStr(), s.sides[kPlayer].hand[0]->name);
  s.turn = SStateCard::kTurnComputer;
  s.cardText.SetLabel("");
  s.OnCommand(SStateCard::kMarkerIds[kComputer][1]);
  EXPECT_STREQ(s.cardText.label.CStr(), "");
}

// A combo card lets the same side play again, and the next card's effect is doubled.
TEST(CardMatch, ACombo) {
  CardRig rig;
  SStateCard& s = rig.state;
  s.Enter(0, 0, 0, 0);
  ASSERT_TRUE(RunUntil(rig, [&] { return Idle(rig); }));
  s.sides[kPlayer].hand[0] = rig.Card(W, 8);  // War cry
  s.sides[kPlayer].hand[1] = rig.Card(W, 1);  // Crush: 3
  s.sides[kComputer].hp = 40;
  PlayerPlays(rig, 0);
  ASSERT_TRUE(RunUntil(rig, [&] { return s.waiting != 0; }));
  EXPECT_TRUE(s.comboPending);
  EXPECT_EQ(s.comboMultiplier, 2u);
  ASSERT_TRUE(RunUntil(rig, [&] { return !s.waiting; }));
  EXPECT_EQ(s.turn, SStateCard::kTurnPlayer);
  EXPECT_TRUE(s.PlayerMayPlay());  // with a card played, only the combo allows it
  PlayerPlays(rig, 1);
  ASSERT_TRUE(RunUntil(rig, [&] { return s.waiting != 0; }));
  EXPECT_EQ(s.sides[kComputer].hp, 34);
  EXPECT_FALSE(s.comboPending);
  ASSERT_TRUE(RunUntil(rig, [&] { return !s.waiting; }));
  EXPECT_EQ(s.turn, SStateCard::kTurnComputer);
}

// The computer's choice with a fixed seed: each card's score is its rating x 9 / 10 plus a draw below
// rating x 2 / 10; the highest wins and an equal score goes to the lower position.
TEST(CardMatch, TheComputersChoice) {
  u32 lowerOnTies = 0;
  for (u32 seed = 1; seed <= 300; ++seed) {
    CardRig rig(seed);
    rig.Prepare(30, 30);
    // Slash (80), Crush (80), Remedy at 30 hit points (30), Block with free slots (60), Slash (80).
    const u32 hand[5] = {0, 1, 15, 7, 0};
    for (u32 i = 0; i < 5; ++i) rig.state.sides[kComputer].hand[i] = rig.Card(W, hand[i]);
    rig.state.sides[kComputer].hand[seed % 5] = nullptr;
    SRandom reference = *rig.core.random;
    i32 best = -1, bestScore = -1;
    bool tie = false;
    for (u32 i = 0; i < 5; ++i) {
      if (i == seed % 5) continue;
      const i32 r = hand[i] == 15 ? 30 : hand[i] == 7 ? 60 : 80;
      const i32 score = r * 9 / 10 + reference.Next(r * 2 / 10);
      tie = tie || score == bestScore;
      if (score > bestScore) {
        bestScore = score;
        best = i32(i);
      }
    }
    EXPECT_EQ(rig.state.ChooseCard(kComputer), best) << seed;
    lowerOnTies += tie;
  }
  EXPECT_GT(lowerOnTies, 0u);
  CardRig none;
  none.Prepare();
  EXPECT_EQ(none.state.ChooseCard(kComputer), -1);
}

// A chain of combos can empty a hand: the side whose turn it is then holds no card, the combo lapses and
// the turn passes as after a played card (to the player: with both hands refilled).
TEST(CardMatch, AnEmptyHandPassesTheTurn) {
  CardRig rig;
  SStateCard& s = rig.state;
  s.Enter(0, 0, 0, 0);
  ASSERT_TRUE(RunUntil(rig, [&] { return Idle(rig); }));
  // The computer's turn, a combo pending, nothing in its hand, its wait over.
  for (const SCardType*& c : s.sides[kComputer].hand) c = nullptr;
  s.sides[kPlayer].hand[3] = nullptr;
  s.turn = SStateCard::kTurnComputer;
  s.StartCombo(2);
  s.waiting = 1;
  s.waitStart = GetTicks();
  s.waitDuration = SStateCard::kWaitMs;
  rig.Tick(SStateCard::kWaitMs);
  EXPECT_FALSE(s.comboPending);
  EXPECT_EQ(s.turn, SStateCard::kTurnPlayer);
  EXPECT_EQ(s.flights.Count(), 6u);
  EXPECT_TRUE(s.AllHandsFull());

  // The player's turn, a combo pending, nothing in the player's hand: the computer plays.
  ASSERT_TRUE(RunUntil(rig, [&] { return Idle(rig); }));
  for (const SCardType*& c : s.sides[kPlayer].hand) c = nullptr;
  s.StartCombo(2);
  s.waiting = 1;
  s.waitStart = GetTicks();
  rig.Tick(SStateCard::kWaitMs);
  EXPECT_FALSE(s.comboPending);
  EXPECT_EQ(s.turn, SStateCard::kTurnComputer);
  ASSERT_EQ(s.flights.Count(), 1u);
  EXPECT_EQ(s.flights.At(0)->side, kComputer);
  EXPECT_TRUE(s.flights.At(0)->playOnArrival);
}

// The end: the computer at 0 pays twice the bet (at most 1,000,000,000) and says so; the player at 0 or
// giving up says the bet is lost; either ends once, and Ok leaves (99).
TEST(CardMatch, TheEnd) {
  struct Case {
    u32 money, bet;
    bool win;
    u32 after;
    const char* text;
  };
  const Case cases[] = {
      {500, 100, true, 600, "You win! The bet is yours, 200\t."},
      {500, 100, false, 400, "You lost your bet, 100\t."},
      {999999500, 1000, true, 1000000000, "You win! The bet is yours, 2000\t."},
  };
  for (const Case& c : cases) {
    CardRig rig;
    SStateCard& s = rig.state;
    rig.core.player.money = c.money;
    s.Enter(c.bet, 0, 0, 0);
    ASSERT_TRUE(RunUntil(rig, [&] { return Idle(rig); }));
    s.sides[c.win ? kComputer : kPlayer].hp = 2;
    s.Damage(5, c.win ? kPlayer : kComputer);
    EXPECT_TRUE(s.gameOver);
    EXPECT_EQ(s.won, c.win ? 1u : 0u);
    EXPECT_EQ(rig.core.player.money, c.after);
    EXPECT_EQ(s.child, &s.box);
    EXPECT_EQ(s.box.buttonMask, u32(SStateCard::kOk));
    ASSERT_EQ(rig.messages.texts.size(), 1u);
    EXPECT_EQ(rig.messages.texts[0], c.text);
    // A second end does not run: no second payout.
    s.sides[kPlayer].hp = 0;
    s.Damage(5, kComputer);
    EXPECT_EQ(rig.core.player.money, c.after);
    // The game over freezes the tick.
    const u32 turn = s.turn;
    for (u32 i = 0; i < 30; ++i) rig.Tick(1000);
    EXPECT_EQ(s.turn, turn);
    EXPECT_EQ(s.OnCommand(SStateCard::kOk), u32(kStateReturn));
  }
  // Giving up: a question first; No carries on, Yes loses the bet.
  CardRig rig;
  SStateCard& s = rig.state;
  rig.core.player.money = 100;
  s.Enter(40, 0, 0, 0);
  ASSERT_TRUE(RunUntil(rig, [&] { return Idle(rig); }));
  s.OnCommand(SStateCard::kGiveUpId);
  EXPECT_EQ(s.child, &s.box);
  EXPECT_EQ(s.box.buttonMask, u32(SStateCard::kYes | SStateCard::kNo));
  EXPECT_EQ(rig.messages.texts.back(), "Do you want to give up?");
  EXPECT_EQ(s.OnCommand(SStateCard::kNo), 0u);
  EXPECT_EQ(s.child, nullptr);
  EXPECT_FALSE(s.gameOver);
  s.OnCommand(SStateCard::kGiveUpId);
  EXPECT_EQ(s.OnCommand(SStateCard::kYes), 0u);
  EXPECT_TRUE(s.gameOver);
  EXPECT_FALSE(s.won);
  EXPECT_EQ(rig.core.player.money, 60u);
  EXPECT_EQ(s.child, &s.box);
  EXPECT_EQ(rig.messages.texts.back(), "You lost your bet, 40\t.");
  EXPECT_EQ(s.OnCommand(SStateCard::kOk), u32(kStateReturn));
}

// Many seeded matches played by the computer's rule for both sides end within a bound of played cards,
// with hit points within 0 and the maximum throughout: plain matches, matches where both sides hold an
// Aura of fire that lasts, and matches where the computer draws only combo cards, so that its hand runs
// empty.
TEST(CardMatch, SeededMatchesAlwaysEnd) {
  enum Kind { Plain, BothAuras, Combos };
  u32 emptied = 0, auraMatches = 0;
  for (Kind kind : {Plain, BothAuras, Combos})
    for (u32 seed = 1; seed <= 150; ++seed) {
      CardRig rig(seed * 7919 + kind);
      SStateCard& s = rig.state;
      s.Enter(0, 0, 0, 0);
      if (kind == BothAuras) {
        // The computer's markers are never removed by the player's deck unless it is warrior or sorcerer.
        s.PlaceMarker(rig.Card(S, 5), kPlayer, 200);
        s.PlaceMarker(rig.Card(S, 5), kComputer, 200);
      }
      if (kind == Combos) {
        // The computer's deck and hand: its deck's combo cards only.
        const u32 deck = s.sides[kComputer].deckKind;
        const u32 combos[2] = {deck == W ? 8u : 24u, 23u};
        s.sides[kComputer].deck.Clear();
        for (u32 i = 0; i < 40; ++i) s.sides[kComputer].deck.Add(combos[i % 2]);
        for (u32 i = 0; i < 5; ++i) s.sides[kComputer].hand[i] = rig.Card(deck, combos[i % 2]);
      }
      u32 plays = 0, ticks = 0;
      bool sawAuras = false;
      while (!s.gameOver && ticks < 100000) {
        if (s.PlayerMayPlay() && !s.flights.Count()) {
          const i32 pos = s.ChooseCard(kPlayer);
          if (pos >= 0) PlayerPlays(rig, u32(pos));
        }
        const u32 waitedBefore = s.waiting;
        rig.Tick();
        ++ticks;
        plays += !waitedBefore && s.waiting;  // a card has landed on the table
        if (s.turn == SStateCard::kTurnComputer && s.sides[kComputer].CardsInHand() == 0) ++emptied;
        sawAuras =
            sawAuras || (s.sides[0].markers[0].card == rig.Card(S, 5) && s.sides[1].markers[0].card == rig.Card(S, 5));
        for (const SCardSide& side : s.sides) {
          ASSERT_GE(side.hp, 0) << seed;
          ASSERT_LE(side.hp, side.maxHp) << seed;
        }
      }
      ASSERT_TRUE(s.gameOver) << "kind " << kind << " seed " << seed << " after " << plays << " cards";
      EXPECT_LT(plays, 600u) << "kind " << kind << " seed " << seed;
      auraMatches += kind == BothAuras && sawAuras;
    }
  EXPECT_GT(emptied, 0u);
  EXPECT_GT(auraMatches, 100u);
}
