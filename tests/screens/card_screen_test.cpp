// The bet and the card game through the real program and its screens: the bet dialog's steps and its
// owner's answers, a match from the deal to both ends with the sounds, texts, payout and hour it gives,
// the golden frame of the dealt table, and replays of a won and a lost match.
#include "CardScreen.h"
#include "game/SStateGame.h"
#include "screens/cards/SCardPictures.h"
#include "support/GoldenText.h"
#include "support/Png.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <vector>

namespace {

constexpr u32 kPlayer = SStateCard::kPlayer, kComputer = SStateCard::kComputer;

// The controls of the dialogs over the current state, one a line, for a golden text; bytes outside
// printable ASCII (the small-number glyphs, the coin) as \xNN.
std::string DescribeUi(GameHarness& game, const std::string& dialog) {
  std::ostringstream out;
  for (const GameHarness::Control& c : game.controls()) {
    if (c.dialog != dialog) continue;
    std::string text;
    for (unsigned char ch : c.text) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", ch);
      text += ch >= 32 && ch < 127 ? std::string(1, char(ch)) : std::string(hex);
    }
    out << c.type << " " << c.id << " at " << c.x << "," << c.y << " size " << c.width << "x" << c.height
        << (c.flags & SCtrl::kEnabled ? "" : " disabled") << (text.empty() ? "" : " \"" + text + "\"") << "\n";
  }
  return out.str();
}

std::vector<i32> StepUp(CardScreen& screen) {
  SDialogCardBet& bet = screen.owner.bet;
  std::vector<i32> bets{bet.bet};
  while (bet.raise.IsEnabled() && bets.size() < 20) {
    screen.game->tap(SDialogCardBet::kLayout, SDialogCardBet::kRaise);
    bets.push_back(bet.bet);
  }
  return bets;
}

}  // namespace

// The steps by the partner's maximum bet; the buttons enabled by where the bet stands; a maximum below
// the step starts at the step with all four step buttons off; the clicks.
TEST(CardBet, StepsByTheMaximum) {
  struct Case {
    i16 maximum;
    std::vector<i32> bets;
  };
  const Case cases[] = {
      {100, {10, 20, 30, 40, 50, 60, 70, 80, 90, 100}},
      {150, {50, 100, 150}},
      {1000, {100, 200, 300, 400, 500, 600, 700, 800, 900, 1000}},
      {250, {50, 100, 150, 200, 250}},
      {1500, {1000, 1500}},
      {5, {10}},
  };
  for (const Case& c : cases) {
    CardScreen screen(240, 320);
    ASSERT_TRUE(screen.ready);
    SNpc person;
    person.param16 = c.maximum;
    screen.OpenBet(&person);
    SDialogCardBet& bet = screen.owner.bet;
    EXPECT_FALSE(bet.lower.IsEnabled());
    EXPECT_FALSE(bet.toMinimum.IsEnabled());
    EXPECT_EQ(StepUp(screen), c.bets) << c.maximum;
    EXPECT_FALSE(bet.raise.IsEnabled());
    EXPECT_FALSE(bet.toMaximum.IsEnabled());
    if (c.bets.size() < 2) continue;
    EXPECT_TRUE(bet.lower.IsEnabled());
    screen.game->tap(SDialogCardBet::kLayout, SDialogCardBet::kLower);
    EXPECT_EQ(bet.bet, c.bets[c.bets.size() - 2]);
    screen.game->tap(SDialogCardBet::kLayout, SDialogCardBet::kMinimum);
    EXPECT_EQ(bet.bet, c.bets.front());
    screen.game->tap(SDialogCardBet::kLayout, SDialogCardBet::kMaximum);
    EXPECT_EQ(bet.bet, c.bets.back());
  }
  // The record keeps the most in a signed 16-bit field, read unsigned: 40,000 is a bet, not none.
  {
    CardScreen screen(240, 320);
    ASSERT_TRUE(screen.ready);
    SNpc person;
    person.param16 = i16(u16(40000));
    screen.OpenBet(&person);
    SDialogCardBet& bet = screen.owner.bet;
    EXPECT_EQ(bet.step, 1000);
    screen.game->tap(SDialogCardBet::kLayout, SDialogCardBet::kMaximum);
    EXPECT_EQ(bet.bet, 40000);
  }
  // Each step click is the first click sound; the accept is the second.
  CardScreen screen(240, 320);
  ASSERT_TRUE(screen.ready);
  screen.OpenBet(screen.Innkeeper());
  screen.game->tap(SDialogCardBet::kLayout, SDialogCardBet::kRaise);
  screen.game->tap(SDialogCardBet::kLayout, SDialogCardBet::kCancel);
  const std::vector<GameHarness::Sound>& sounds = screen.game->sounds();
  ASSERT_GE(sounds.size(), 2u);
  EXPECT_EQ(sounds[sounds.size() - 2].name, "#4031");
  EXPECT_EQ(sounds.back().name, "#4032");
  EXPECT_EQ(screen.game->state(), kStateDialog);
  EXPECT_EQ(screen.game->openChild(), nullptr);
}

// The dialog as laid out on 480x640 for the innkeeper (a maximum of 150), as a golden text.
TEST(CardBet, TheDialogOnTheLargeScreen) {
  CardScreen screen(480, 640);
  ASSERT_TRUE(screen.ready);
  screen.OpenBet(screen.Innkeeper());
  EXPECT_EQ(testgolden::CompareText("card_bet_480x640", DescribeUi(*screen.game, "SDialogCardBet")), "");
}

// Accepting a bet above the purse shows "You don't have enough money." and starts nothing; within it,
// the card game starts with the bet and the partner, the bet is taken, and the owner waits on the stack.
TEST(CardBet, TheOwnerChecksThePurse) {
  CardScreen screen(240, 320);
  ASSERT_TRUE(screen.ready);
  SNpc* innkeeper = screen.Innkeeper();
  ASSERT_NE(innkeeper, nullptr);
  screen.core().player.money = 120;
  screen.OpenBet(innkeeper);
  screen.game->tap(SDialogCardBet::kLayout, SDialogCardBet::kMaximum);
  screen.game->tap(SDialogCardBet::kLayout, SDialogCardBet::kAccept);
  EXPECT_EQ(screen.game->state(), kStateDialog);
  EXPECT_EQ(screen.BoxText(), "You don't have enough money.");
  ASSERT_TRUE(screen.TapBoxButton("Ok"));
  EXPECT_EQ(screen.game->openChild(), nullptr);
  EXPECT_EQ(screen.core().player.money, 120u);

  screen.OpenBet(innkeeper);
  screen.game->tap(SDialogCardBet::kLayout, SDialogCardBet::kRaise);
  ASSERT_TRUE(screen.StartMatch());
  EXPECT_EQ(screen.game->stateStack(), std::vector<i32>{kStateDialog});
  EXPECT_EQ(screen.card().bet, 100u);
  EXPECT_EQ(screen.card().partner, innkeeper);
  EXPECT_EQ(screen.core().player.money, 20u);
}

// A match on 240x320 against the innkeeper: the deal's card sounds 6 frames apart, a tap that selects
// and shows the card, a second that plays it, the computer's answer, then a win: twice the bet, the
// message, an hour gone, and Ok back to the owner.
TEST(CardGame, AMatchPlayedToAWin) {
  CardScreen screen(240, 320);
  ASSERT_TRUE(screen.ready);
  GameHarness& game = *screen.game;
  screen.OpenBet(screen.Innkeeper());
  game.tap(SDialogCardBet::kLayout, SDialogCardBet::kAccept);
  ASSERT_EQ(game.state(), kStateCard);
  SStateCard& s = screen.card();
  EXPECT_NE(s.sides[kComputer].deckKind, s.sides[kPlayer].deckKind);
  EXPECT_EQ(screen.core().player.money, 450u);
  // The deal: a card sound each time a waiting card leaves, the first leaving at once.
  std::vector<u32> at;
  for (u32 frame = 0; frame < 80 && !s.flights.IsEmpty(); ++frame) {
    const u32 before = screen.Sounds("bsnd_card");
    game.frame();
    if (screen.Sounds("bsnd_card") > before) at.push_back(frame);
  }
  ASSERT_EQ(at.size(), 9u);
  for (size_t i = 1; i < at.size(); ++i) EXPECT_EQ(at[i] - at[i - 1], 6u);
  ASSERT_TRUE(screen.WaitIdle());

  const SCardType* chosen = s.sides[kPlayer].hand[1];
  game.tap(SStateCard::kLayout, SStateCard::kHandIds[kPlayer][1]);
  EXPECT_EQ(s.selected, 1);
  EXPECT_STREQ(s.cardText.label.CStr(), chosen->name);
  EXPECT_EQ(screen.Sounds("bsnd_cardselect"), 1u);
  game.tap(SStateCard::kLayout, SStateCard::kHandIds[kPlayer][1]);
  ASSERT_TRUE(game.waitUntil({"on the table", [&](const GameHarness&) { return s.tableCard == chosen; }}, 30));
  ASSERT_TRUE(game.waitUntil(
      {"the computer's card", [&](const GameHarness&) { return s.tableCard != chosen || s.gameOver; }}, 80));
  ASSERT_TRUE(screen.WaitForPlayer());
  EXPECT_TRUE(s.AllHandsFull());

  // The computer at 1 hit point, and a Slash of the player's kind in the hand (or its like).
  const u32 damage[3] = {0, 8, 2};  // Slash, Ice bolt, Atrophy
  s.sides[kPlayer].hand[0] = screen.core().cards.CardAt(s.sides[kPlayer].deckKind, damage[s.sides[kPlayer].deckKind]);
  s.sides[kComputer].hp = 1;
  for (SCardMarker& m : s.sides[kComputer].markers) m = SCardMarker{};
  const u32 minutes = screen.core().stateGame->window.minutes;
  screen.Play(0);
  ASSERT_TRUE(game.waitUntil({"the end", [&](const GameHarness&) { return s.gameOver != 0; }}, 30));
  game.frame();
  EXPECT_TRUE(s.won);
  EXPECT_EQ(screen.BoxText(), "You win! The bet is yours, 100\t.");
  EXPECT_EQ(screen.core().player.money, 550u);
  EXPECT_EQ(screen.core().stateGame->window.minutes, minutes + 60);
  EXPECT_GE(screen.Sounds("bsnd_carddamage"), 1u);
  ASSERT_TRUE(screen.TapBoxButton("Ok"));
  EXPECT_EQ(game.state(), kStateDialog);
  EXPECT_EQ(screen.owner.resumed, 1u);
  EXPECT_TRUE(game.stateStack().empty());
}

// Giving up: "No" carries on; "Yes" loses the bet, an hour passes, and Ok goes back to the owner.
TEST(CardGame, GivingUp) {
  CardScreen screen(480, 640);
  ASSERT_TRUE(screen.ready);
  GameHarness& game = *screen.game;
  screen.OpenBet(screen.Innkeeper());
  ASSERT_TRUE(screen.StartMatch());
  SStateCard& s = screen.card();
  const u32 minutes = screen.core().stateGame->window.minutes;
  game.tap(SStateCard::kLayout, SStateCard::kGiveUpId);
  EXPECT_EQ(screen.BoxText(), "Do you want to give up?");
  ASSERT_TRUE(screen.TapBoxButton("No"));
  EXPECT_EQ(game.openChild(), nullptr);
  EXPECT_FALSE(s.gameOver);
  game.tap(SStateCard::kLayout, SStateCard::kGiveUpId);
  ASSERT_TRUE(screen.TapBoxButton("Yes"));
  EXPECT_TRUE(s.gameOver);
  EXPECT_EQ(screen.BoxText(), "You lost your bet, 50\t.");
  EXPECT_EQ(screen.core().player.money, 450u);
  EXPECT_EQ(screen.core().stateGame->window.minutes, minutes + 60);
  ASSERT_TRUE(screen.TapBoxButton("Ok"));
  EXPECT_EQ(game.state(), kStateDialog);
}

// The table after the deal on 480x640 with a fixed seed.
TEST(CardGame, TheDealtTableOnTheLargeScreen) {
  CardScreen screen(480, 640, 7);
  ASSERT_TRUE(screen.ready);
  screen.OpenBet(screen.Innkeeper());
  ASSERT_TRUE(screen.StartMatch());
  screen.game->frame(2);
  const Os::Panel& panel = screen.game->panel();
  EXPECT_EQ(testpng::CompareGolden("card_deal_480x640", panel.pixels.data(), panel.width, panel.height, panel.width),
            "");
}

namespace {

struct Replay {
  u32 seed;
  std::vector<u32> plays;  // the player's hand positions, each tapped twice when the player may play
  bool won;
  i32 computerHp, playerHp;
  u32 money;
  const char* golden;
};

void PlayReplay(const Replay& r) {
  CardScreen screen(240, 320, r.seed);
  ASSERT_TRUE(screen.ready);
  screen.OpenBet(screen.Innkeeper());
  ASSERT_TRUE(screen.StartMatch());
  SStateCard& s = screen.card();
  for (size_t i = 0; i < r.plays.size(); ++i) {
    ASSERT_TRUE(screen.WaitForPlayer(2000)) << "play " << i;
    ASSERT_FALSE(s.gameOver) << "the match ended before play " << i;
    screen.Play(r.plays[i]);
    ASSERT_TRUE(screen.game->waitUntil(
        {"the card on the table", [&](const GameHarness&) { return s.gameOver || s.waiting; }}, 50))
        << "play " << i;
  }
  ASSERT_TRUE(screen.game->waitUntil({"the end", [&](const GameHarness&) { return s.gameOver != 0; }}, 2000));
  screen.game->frame();
  EXPECT_EQ(s.won, r.won ? 1u : 0u);
  EXPECT_EQ(s.sides[kComputer].hp, r.computerHp);
  EXPECT_EQ(s.sides[kPlayer].hp, r.playerHp);
  EXPECT_EQ(screen.core().player.money, r.money);
  std::ostringstream text;
  text << screen.game->summary() << "card game: computer " << SCardSet::DeckName(s.sides[kComputer].deckKind) << " hp "
       << s.sides[kComputer].hp << "/" << s.sides[kComputer].maxHp << ", player "
       << SCardSet::DeckName(s.sides[kPlayer].deckKind) << " hp " << s.sides[kPlayer].hp << "/"
       << s.sides[kPlayer].maxHp << ", table " << (s.tableCard ? s.tableCard->name : "-") << ", message \""
       << screen.BoxText() << "\"\n";
  EXPECT_EQ(testgolden::CompareText(r.golden, text.str()), "");
  ASSERT_TRUE(screen.TapBoxButton("Ok"));
  EXPECT_EQ(screen.game->state(), kStateDialog);
}

}  // namespace

// Two matches replayed from their taps with fixed seeds: one won, one lost to the computer's cards.
TEST(CardGame, ReplaysToAWinAndALoss) {
  PlayReplay({2, {2, 2, 3, 3, 3, 3, 3, 3}, true, 0, 23, 550, "card_replay_win"});
  PlayReplay({7, {2, 2, 0, 0, 3, 4, 0, 1, 1, 0, 4, 0, 1, 0}, false, 24, 0, 450, "card_replay_loss"});
}

// Every screen lays out the bet and the card screen whole, within the screen, and a tap on a card
// selects it, on the turned screens too.
TEST(CardGame, EveryScreenLaysOutBothScreens) {
  for (const CardScreenSize& m : kCardScreenSizes) {
    CardScreen screen(m.width, m.height, 3, m.startMode);
    ASSERT_TRUE(screen.ready);
    ASSERT_EQ(screen.core().displayMode, m.mode);
    screen.OpenBet(screen.Innkeeper());
    u32 betControls = 0;
    for (const GameHarness::Control& c : screen.game->controls()) betControls += c.dialog == "SDialogCardBet";
    EXPECT_EQ(betControls, 9u) << m.mode;
    ASSERT_TRUE(screen.StartMatch()) << m.mode;
    // The hit picture over a struck side's portrait is read from the game data with the screen's others.
    EXPECT_NE(screen.card().holders[kCardHit].image, nullptr) << m.mode;
    const i32 w = screen.core().display->Width(), h = screen.core().display->Height();
    std::set<u32> ids;
    for (const GameHarness::Control& c : screen.game->controls()) {
      if (c.dialog != "SStateCard") continue;
      ids.insert(c.id);
      EXPECT_TRUE(c.x >= 0 && c.y >= 0 && c.x + c.width <= w && c.y + c.height <= h) << m.mode << " control " << c.id;
    }
    EXPECT_EQ(ids.size(), 27u) << m.mode;
    screen.game->tap(SStateCard::kLayout, SStateCard::kHandIds[kPlayer][3]);
    EXPECT_EQ(screen.card().selected, 3) << m.mode;
  }
}

// A hand of five kinds with markers on both sides and a card on the table, on a compact and a large
// screen, the middle card tapped: each card's picture says what it does (a strike, a heal, a shield,
// arrows each turn, a combo; a drain, a wall, a minion, a drain each turn, a hit paid in blood), the
// frame tells instant cards from markers, and the ground the deck.
TEST(CardGame, AHandOfEveryKindOnBothScreens) {
  const struct {
    int width, height;
    u32 seed, player, computer;  // the seed and the deck kinds it deals
    u32 hand[SCardSide::kHand];  // card indices of the player's deck
    u32 own[SCardSide::kMarkers], their[SCardSide::kMarkers], table;
    const char* golden;
  } cases[] = {
      {240, 320, 2, 0, 1, {0, 15, 9, 19, 8}, {10, 7, 3}, {3, 6, 15}, 8, "card_hand_240x320"},
      {480, 640, 5, 2, 0, {7, 10, 13, 18, 3}, {14, 17, 12}, {11, 10, 16}, 0, "card_hand_480x640"},
  };
  for (const auto& c : cases) {
    CardScreen screen(c.width, c.height, c.seed);
    ASSERT_TRUE(screen.ready);
    screen.OpenBet(screen.Innkeeper());
    ASSERT_TRUE(screen.StartMatch());
    SStateCard& s = screen.card();
    ASSERT_EQ(s.sides[kPlayer].deckKind, c.player) << c.golden;
    ASSERT_EQ(s.sides[kComputer].deckKind, c.computer) << c.golden;
    const SCardSet& set = screen.core().cards;
    for (u32 i = 0; i < SCardSide::kHand; ++i) {
      const SCardType* card = set.CardAt(c.player, c.hand[i]);
      s.sides[kPlayer].hand[i] = card;
      s.hands[kPlayer][i].SetCard(&s.looks[card - set.cards], 1, s.screenPictures);
    }
    for (u32 i = 0; i < SCardSide::kMarkers; ++i) {
      s.PlaceMarker(set.CardAt(c.player, c.own[i]), kPlayer, 0);
      s.PlaceMarker(set.CardAt(c.computer, c.their[i]), kComputer, 0);
    }
    const SCardType* table = set.CardAt(c.computer, c.table);
    s.table.ShowCard(s.looks[table - set.cards]);
    s.tableCard = table;
    screen.game->tap(SStateCard::kLayout, SStateCard::kHandIds[kPlayer][2]);
    ASSERT_EQ(s.selected, 2) << c.golden;
    screen.game->frame(2);
    const Os::Panel& panel = screen.game->panel();
    EXPECT_EQ(testpng::CompareGolden(c.golden, panel.pixels.data(), panel.width, panel.height, panel.width), "");
  }
}
