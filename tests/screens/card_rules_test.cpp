// The card game's rules on the card state without a screen: the card table, decks and descriptions; each
// card played once and doubled; each marker at its tick, attack and defence; every rating in both of its
// cases; markers placed, removed and absorbing; healing; the strike-back chain.
#include "CardRig.h"
#include "foundation/SString.h"
#include "screens/cards/SCardPictures.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

constexpr u32 W = kDeckWarrior, S = kDeckSorcerer, N = kDeckNecromancer;
constexpr u32 kPlayer = SStateCard::kPlayer, kComputer = SStateCard::kComputer;

u32 Markers(const SCardSide& side) {
  u32 n = 0;
  for (const SCardMarker& m : side.markers) n += m.card != nullptr;
  return n;
}

}  // namespace

// Deck sizes, picture records with their gaps, descriptions with none to three numbers and a marker's
// current counter (the \v before it is the font's counter glyph, kept as it is).
TEST(CardSet, DecksPicturesAndDescriptions) {
  EXPECT_EQ(SCardSet::DeckSize(W), 55u);
  EXPECT_EQ(SCardSet::DeckSize(S), 54u);
  EXPECT_EQ(SCardSet::DeckSize(N), 56u);

  const struct {
    u32 deck, index;
    i32 mode;
    u16 record;
  } pictures[] = {{W, 0, 7, 3952},  {S, 0, 6, 3977},  {N, 24, 8, 4026},  {N, 24, 16, 4026}, {W, 0, 10, 3570},
                  {W, 24, 9, 3594}, {S, 0, 11, 3600}, {S, 24, 14, 3624}, {N, 0, 15, 3630},  {N, 24, 10, 3654}};
  for (const auto& p : pictures) EXPECT_EQ(SCardSet::PictureRecord(p.deck, p.index, p.mode), p.record) << p.mode;
  EXPECT_EQ(SCardSet::PictureRecord(3, 0, 7), 0);
  EXPECT_EQ(SCardSet::PictureRecord(0, 25, 7), 0);

  SGameCore core;
  core.displayMode = 10;
  core.cards.Build(&core);
  EXPECT_EQ(core.cards.CardAt(S, 5)->pictureId, 3605);
  EXPECT_EQ(core.cards.CardAt(3, 0), nullptr);
  EXPECT_EQ(core.cards.CardAt(0, 25), nullptr);
  const struct {
    u32 deck, index, counter;
    const char* text;
  } texts[] = {
      {W, 20, ~0u, "Removes a marker from the opponent."},                            // none
      {W, 17, ~0u, "Heals half of the missing Hp."},                                  // none
      {W, 0, ~0u, "Inflicts 2 damage to the enemy."},                                 // one, instant
      {N, 10, ~0u, "Defensive bone wall. Hp:\v6."},                                   // one, a marker
      {N, 10, 2, "Defensive bone wall. Hp:\v2."},                                     // its counter now
      {N, 1, ~0u, "Inflicts 6 damage for suffering 3 damage."},                       // two, instant
      {W, 7, ~0u, "50% damage resistance. Turns:\v2."},                               // two, a marker
      {W, 11, 5, "25% damage reduction per turn. Durability:\v5\vHp."},               // two, now
      {W, 3, ~0u, "Inflicts 1 damage and enemy loses 3 Hp per turn. Turns:\v3."},     // three
      {W, 24, 1, "50% damage bonus but 30% more damage taken per turn. Turns:\v1."},  // three, now
      {W, 8, ~0u, "Combo card, you can table another card which effect's doubled."},  // combo, none
  };
  for (const auto& t : texts) {
    SString out;
    core.cards.CardAt(t.deck, t.index)->FormatDescription(out, t.counter);
    EXPECT_STREQ(out.CStr(), t.text) << t.deck << "/" << t.index;
  }
}

// A fresh deck holds each card as often as its copies; the shuffle is 100 swaps, each drawing two
// positions: the generator has moved on by 200 draws, and the same seed deals the same deck.
TEST(CardSet, DecksAreBuiltAndShuffledBySeed) {
  for (u32 deck : {W, S, N}) {
    CardRig rig(77);
    SRandom reference = *rig.core.random;
    SCardDeck built;
    rig.core.cards.BuildDeck(deck, built);
    ASSERT_EQ(built.count, SCardSet::DeckSize(deck));
    std::map<u32, u32> copies;
    for (u32 i = 0; i < built.count; ++i) ++copies[built.items[i]];
    for (u32 i = 0; i < SCardSet::kCardsPerDeck; ++i) EXPECT_EQ(copies[i], SCardSet::Row(deck, i)->copies) << i;
    for (u32 i = 0; i < 200; ++i) reference.Next(i32(built.count));
    EXPECT_EQ(rig.core.random->NextRaw(), reference.NextRaw());

    CardRig again(77), other(78);
    SCardDeck same, different;
    again.core.cards.BuildDeck(deck, same);
    other.core.cards.BuildDeck(deck, different);
    EXPECT_TRUE(std::equal(built.items, built.items + built.count, same.items));
    EXPECT_FALSE(std::equal(built.items, built.items + built.count, different.items));
    // Building again starts from an empty deck.
    rig.core.cards.BuildDeck(deck, built);
    EXPECT_EQ(built.count, SCardSet::DeckSize(deck));
  }
  CardRig rig;
  SCardDeck none;
  rig.core.cards.BuildDeck(3, none);
  EXPECT_EQ(none.count, 0u);
  u32 top = 0;
  EXPECT_FALSE(none.TakeTop(top));
}

// The percentage steps on small and ordinary amounts: raise and lower change by at least 1, lower and
// drain stop at 0, drain is bounded by the counter.
TEST(CardRules, PercentSteps) {
  const struct {
    i32 amount, percent, raised, lowered;
  } steps[] = {{10, 20, 12, 8}, {2, 20, 3, 1}, {1, 50, 2, 0}, {0, 25, 1, 0}, {4, -30, 3, 5}, {3, -30, 4, 2}};
  for (const auto& s : steps) {
    EXPECT_EQ(RaiseByPercent(s.amount, s.percent), s.raised) << s.amount << " " << s.percent;
    EXPECT_EQ(LowerByPercent(s.amount, s.percent), s.lowered) << s.amount << " " << s.percent;
  }
  const struct {
    i32 amount, percent, counter, left, counterAfter;
  } drains[] = {{10, 20, 8, 8, 6},  {1, 20, 8, 0, 7},  {10, 20, 1, 9, 0},
                {10, 100, 6, 4, 0}, {4, 100, 6, 0, 2}, {10, 100, 0, 10, 0}};
  for (const auto& d : drains) {
    i32 counter = d.counter;
    EXPECT_EQ(DrainByPercent(d.amount, d.percent, counter), d.left) << d.amount << " " << d.counter;
    EXPECT_EQ(counter, d.counterAfter) << d.amount << " " << d.counter;
  }
}

// Every card played by the player (15 of 40) against the computer (30 of 40, holding a Graveyard and a
// Life node, which neither attack nor defend), once and doubled: both sides after.
TEST(CardRules, EveryCardPlayedOnceAndDoubled) {
  struct Row {
    u32 deck, index, m;
    i32 ownHp, ownMax, enemyHp;
    i32 ownCounter;  // the placed marker's counter in slot 0; -1 none
    u32 enemyMarkers;
    u32 combo;  // the pending combo's multiplier; 0 none
  };
  const Row rows[] = {
      // warrior
      {W, 0, 1, 15, 40, 28, -1, 2, 0},
      {W, 0, 2, 15, 40, 26, -1, 2, 0},  // Slash
      {W, 1, 1, 15, 40, 27, -1, 2, 0},
      {W, 1, 2, 15, 40, 24, -1, 2, 0},  // Crush
      {W, 2, 1, 15, 40, 26, -1, 2, 0},
      {W, 2, 2, 15, 40, 22, -1, 2, 0},  // Rapid stab
      {W, 3, 1, 15, 40, 29, 3, 2, 0},
      {W, 3, 2, 15, 40, 28, 6, 2, 0},  // Bleeding
      {W, 4, 1, 15, 40, 28, -1, 1, 0},
      {W, 4, 2, 15, 40, 26, -1, 0, 0},  // Assault
      {W, 5, 1, 15, 40, 22, -1, 2, 0},
      {W, 5, 2, 15, 40, 14, -1, 2, 0},  // Dual strike
      {W, 6, 1, 15, 40, 25, -1, 2, 0},
      {W, 6, 2, 15, 40, 20, -1, 2, 0},  // Backstab
      {W, 7, 1, 15, 40, 30, 2, 2, 0},
      {W, 7, 2, 15, 40, 30, 4, 2, 0},  // Block
      {W, 8, 1, 15, 40, 30, -1, 2, 2},
      {W, 8, 2, 15, 40, 30, -1, 2, 2},  // War cry
      {W, 9, 1, 15, 40, 30, 8, 2, 0},
      {W, 9, 2, 15, 40, 30, 16, 2, 0},  // Tower shield
      {W, 10, 1, 15, 40, 30, 5, 2, 0},
      {W, 10, 2, 15, 40, 30, 10, 2, 0},  // Long sword
      {W, 11, 1, 15, 40, 30, 12, 2, 0},
      {W, 11, 2, 15, 40, 30, 24, 2, 0},  // Kite shield
      {W, 12, 1, 15, 40, 30, 7, 2, 0},
      {W, 12, 2, 15, 40, 30, 14, 2, 0},  // Battle axe
      {W, 13, 1, 15, 40, 30, 15, 2, 0},
      {W, 13, 2, 15, 40, 30, 30, 2, 0},  // Plate mail
      {W, 14, 1, 15, 40, 30, 2, 2, 0},
      {W, 14, 2, 15, 40, 30, 4, 2, 0},  // Mourner
      {W, 15, 1, 20, 40, 30, -1, 2, 0},
      {W, 15, 2, 25, 40, 30, -1, 2, 0},  // Remedy
      {W, 16, 1, 22, 40, 30, 3, 2, 0},
      {W, 16, 2, 29, 40, 30, 6, 2, 0},  // Healing potion
      {W, 17, 1, 27, 40, 30, -1, 2, 0},
      {W, 17, 2, 39, 40, 30, -1, 2, 0},  // Rejuvenate
      {W, 18, 1, 20, 45, 30, -1, 2, 0},
      {W, 18, 2, 25, 50, 30, -1, 2, 0},  // Heroic Remedy
      {W, 19, 1, 15, 40, 30, 3, 2, 0},
      {W, 19, 2, 15, 40, 30, 6, 2, 0},  // Arrow storm
      {W, 20, 1, 15, 40, 30, -1, 1, 0},
      {W, 20, 2, 15, 40, 30, -1, 0, 0},  // Fosse
      {W, 21, 1, 15, 40, 30, 5, 2, 0},
      {W, 21, 2, 15, 40, 30, 10, 2, 0},  // Raid
      {W, 22, 1, 15, 40, 30, 3, 2, 0},
      {W, 22, 2, 15, 40, 30, 6, 2, 0},  // Marksman
      // Bloodlust heals while its own combo is pending: the half missing (12) doubles once more when doubled.
      {W, 23, 1, 27, 40, 30, -1, 2, 1},
      {W, 23, 2, 40, 40, 30, -1, 2, 2},
      {W, 24, 1, 15, 40, 30, 2, 2, 0},
      {W, 24, 2, 15, 40, 30, 4, 2, 0},  // Berzerk
      // sorcerer
      {S, 0, 1, 15, 40, 30, 10, 2, 0},
      {S, 0, 2, 15, 40, 30, 20, 2, 0},  // Life node
      {S, 1, 1, 15, 40, 30, 4, 2, 0},
      {S, 1, 2, 15, 40, 30, 8, 2, 0},  // Aura of air
      {S, 2, 1, 15, 40, 30, 4, 2, 0},
      {S, 3, 1, 15, 40, 30, 4, 2, 0},  // Death node, Aura of water
      {S, 4, 1, 15, 40, 30, 4, 2, 0},
      {S, 5, 2, 15, 40, 30, 8, 2, 0},  // Moon node, Aura of fire
      {S, 6, 1, 15, 40, 30, 4, 2, 0},
      {S, 7, 2, 15, 40, 30, 8, 2, 0},  // Sun node, Aura of earth
      {S, 8, 1, 15, 40, 26, -1, 2, 0},
      {S, 8, 2, 15, 40, 22, -1, 2, 0},  // Ice bolt
      {S, 9, 1, 15, 40, 25, -1, 2, 0},
      {S, 10, 2, 15, 40, 20, -1, 2, 0},  // Chain lightning, Earthquake
      {S, 11, 1, 15, 40, 25, -1, 1, 0},
      {S, 11, 2, 15, 40, 20, -1, 0, 0},  // Whirlwind
      {S, 12, 1, 15, 40, 22, -1, 2, 0},
      {S, 12, 2, 15, 40, 14, -1, 2, 0},  // Firewall
      {S, 13, 1, 15, 40, 30, -1, 0, 0},
      {S, 13, 2, 15, 40, 30, -1, 0, 0},  // Starfall
      {S, 14, 1, 15, 40, 30, 5, 2, 0},
      {S, 15, 2, 15, 40, 30, 12, 2, 0},  // Sandstorm, Blizzard
      {S, 16, 1, 15, 40, 30, 2, 2, 0},
      {S, 17, 2, 15, 40, 30, 6, 2, 0},  // Blade storm, Will-o'-the-wisp
      {S, 18, 1, 15, 40, 30, 4, 2, 0},
      {S, 19, 2, 15, 40, 30, 6, 2, 0},  // Wildfire, Rage of nature
      {S, 20, 1, 19, 40, 30, -1, 2, 0},
      {S, 20, 2, 23, 40, 30, -1, 2, 0},  // Healing shower
      {S, 21, 1, 22, 40, 30, -1, 2, 0},
      {S, 22, 2, 40, 40, 30, -1, 2, 0},  // Healing scroll, Bless
      {S, 23, 1, 27, 40, 30, -1, 2, 1},
      {S, 23, 2, 40, 40, 30, -1, 2, 2},  // Mana explosion
      {S, 24, 1, 15, 40, 30, -1, 2, 2},
      {S, 24, 2, 15, 40, 30, -1, 2, 2},  // Mana storm
      // necromancer
      {N, 0, 1, 13, 40, 26, -1, 2, 0},
      {N, 0, 2, 11, 40, 22, -1, 2, 0},  // Blood chant
      {N, 1, 1, 12, 40, 24, -1, 2, 0},
      {N, 1, 2, 9, 40, 18, -1, 2, 0},  // Fang
      {N, 2, 1, 15, 40, 28, -1, 2, 0},
      {N, 2, 2, 15, 40, 26, -1, 2, 0},  // Atrophy
      {N, 3, 1, 10, 40, 25, -1, 2, 0},
      {N, 3, 2, 5, 40, 20, -1, 2, 0},  // Sacrifice
      {N, 4, 1, 18, 40, 27, -1, 2, 0},
      {N, 4, 2, 21, 40, 24, -1, 2, 0},  // Dark touch
      {N, 5, 1, 14, 40, 26, -1, 2, 0},
      {N, 6, 2, 13, 40, 20, -1, 2, 0},  // Poison cloud, Blood filch
      {N, 7, 1, 21, 40, 24, -1, 2, 0},
      {N, 7, 2, 27, 40, 18, -1, 2, 0},  // Vampire bite
      {N, 8, 1, 10, 40, 15, -1, 2, 0},
      {N, 8, 2, 5, 40, 0, -1, 2, 0},  // Soul crush (a win)
      {N, 9, 1, 27, 40, 18, -1, 2, 0},
      {N, 9, 2, 39, 40, 6, -1, 2, 0},  // Black out
      {N, 10, 1, 15, 40, 30, 6, 2, 0},
      {N, 11, 2, 15, 40, 30, 12, 2, 0},  // Bone wall, Blood golem
      {N, 12, 1, 15, 40, 30, 8, 2, 0},
      {N, 13, 2, 15, 40, 30, 8, 2, 0},  // Blood moat, Ghoul
      {N, 14, 1, 15, 40, 30, 5, 2, 0},
      {N, 15, 2, 15, 40, 30, 8, 2, 0},  // Graveyard, Skeleton
      {N, 16, 1, 15, 40, 30, 3, 2, 0},
      {N, 17, 2, 15, 40, 30, 6, 2, 0},  // Vampire, Acid rain
      {N, 18, 1, 15, 40, 30, 3, 2, 0},
      {N, 19, 2, 15, 40, 30, 4, 2, 0},  // Parasite, Corpse army
      {N, 20, 1, 15, 40, 30, 4, 2, 0},
      {N, 21, 2, 15, 40, 30, 6, 2, 0},  // Vampire bats, Unholy seal
      {N, 22, 1, 15, 40, 30, 2, 2, 0},
      {N, 22, 2, 15, 40, 30, 4, 2, 0},  // Blood boil
      {N, 23, 1, 27, 40, 30, -1, 2, 1},
      {N, 23, 2, 40, 40, 30, -1, 2, 2},  // Heart pile
      {N, 24, 1, 15, 40, 30, -1, 2, 2},  // Soul pile
  };
  for (const Row& r : rows) {
    CardRig rig;
    rig.Prepare(15, 30);
    rig.Mark(kComputer, 0, N, 14, 5);
    rig.Mark(kComputer, 1, S, 0, 10);
    rig.Play(r.deck, r.index, r.m);
    const std::string at = std::string(rig.Card(r.deck, r.index)->name) + " x" + std::to_string(r.m);
    EXPECT_EQ(rig.Own().hp, r.ownHp) << at;
    EXPECT_EQ(rig.Own().maxHp, r.ownMax) << at;
    EXPECT_EQ(rig.Enemy().hp, r.enemyHp) << at;
    const SCardMarker& placed = rig.Own().markers[0];
    EXPECT_EQ(placed.card ? placed.counter : -1, r.ownCounter) << at;
    if (placed.card) {
      EXPECT_EQ(placed.card, rig.Card(r.deck, r.index)) << at;
    }
    EXPECT_EQ(Markers(rig.Enemy()), r.enemyMarkers) << at;
    EXPECT_EQ(rig.state.comboPending ? rig.state.comboMultiplier : 0u, r.combo) << at;
    EXPECT_EQ(rig.state.gameOver, r.enemyHp == 0 ? 1u : 0u) << at;
  }
}

// Each marker's turn: what it does to the sides after its owner's card (the computer holds a Kite shield
// of 12 for the raid), and whether its counter runs down.
TEST(CardRules, MarkerTicks) {
  struct Row {
    u32 deck, index;
    i32 ownHp, enemyHp, shieldAfter, counterAfter;
  };
  const Row rows[] = {
      {W, 3, 15, 28, 11, 2},   // Bleeding: 3 past the absorbing, the shield drains 1 of it
      {W, 16, 16, 30, 12, 2},  // Healing potion: 1
      {W, 19, 15, 30, 9, 2},   // Arrow storm: 3 through the defence, all absorbed
      {W, 21, 15, 30, 9, 2},   // Raid: the shield absorbs 3
      {W, 22, 15, 30, 7, 2},   // Marksman: 5 absorbed
      {W, 10, 15, 30, 12, 3},  // Long sword: a weapon does not tick and keeps its attacks
      {W, 7, 15, 30, 12, 2},   // Block: nothing but the turn
      {S, 0, 17, 30, 12, 2},   // Life node: 2
      {S, 14, 15, 30, 11, 2},  // Sandstorm: 1 absorbed
      {N, 14, 16, 30, 12, 2},  // Graveyard: 1
      {N, 16, 18, 28, 11, 2},  // Vampire: 3 drained past the absorbing, the shield drains 1
      {N, 18, 16, 30, 11, 2},  // Parasite: its 1 drained by the shield; it heals all the same
      {N, 11, 15, 30, 11, 3},  // Blood golem: durable, its hit points stay
      {N, 22, 15, 30, 2, 2},   // Blood boil: 10 absorbed
  };
  for (const Row& r : rows) {
    CardRig rig;
    rig.Prepare(15, 30);
    rig.Mark(kComputer, 0, W, 11, 12);
    rig.Mark(kPlayer, 0, r.deck, r.index, 3);
    rig.state.TickMarkers(kPlayer);
    const std::string at = rig.Card(r.deck, r.index)->name;
    EXPECT_EQ(rig.Own().hp, r.ownHp) << at;
    EXPECT_EQ(rig.Enemy().hp, r.enemyHp) << at;
    EXPECT_EQ(rig.Enemy().markers[0].counter, r.shieldAfter) << at;
    EXPECT_EQ(rig.Own().markers[0].counter, r.counterAfter) << at;
  }
}

// Each attack and defence marker on an amount; its counter after; the strike-back's hit on the attacker.
TEST(CardRules, MarkersOnAnAmount) {
  struct Row {
    u32 deck, index, moment;
    i32 counter, amount, after, counterAfter, attackerHp;
  };
  const u32 A = kCardAttack, D = kCardDefence;
  const Row rows[] = {
      {W, 10, A, 5, 10, 12, 4, 30},  {W, 10, A, 1, 2, 3, 0, 30},    // Long sword: +20%, or +1; an attack used
      {W, 10, A, 0, 10, 12, 0, 30},                                 // a used-up weapon does not count below 0
      {W, 12, A, 7, 10, 12, 6, 30},                                 // Battle axe
      {S, 2, A, 4, 10, 12, 4, 30},   {S, 2, A, 4, 3, 4, 4, 30},     // Death node: 25%
      {S, 6, A, 4, 10, 15, 4, 30},   {W, 24, A, 2, 10, 15, 2, 30},  // Sun node, Berzerk: 50%
      {S, 1, A, 4, 10, 10, 4, 30},                                  // a defence marker leaves an attack alone
      {W, 7, D, 2, 10, 5, 2, 30},    {W, 7, D, 2, 1, 1, 2, 30},     // Block: 50%, no minimum of 1
      {W, 7, D, 2, 3, 2, 2, 30},                                    //
      {W, 9, D, 8, 10, 8, 6, 30},    {W, 9, D, 8, 1, 0, 7, 30},     // Tower shield: drain 20%, or 1
      {W, 9, D, 1, 10, 9, 0, 30},                                   // no more than its durability
      {W, 13, D, 15, 10, 7, 12, 30},                                // Plate mail: 33%
      {N, 10, D, 6, 10, 4, 0, 30},   {N, 10, D, 6, 4, 0, 2, 30},    // Bone wall: drain 100%
      {W, 14, D, 2, 10, 5, 2, 30},   {W, 14, D, 2, 1, 0, 2, 30},    // Mourner: lower 50%, or 1
      {S, 1, D, 4, 10, 8, 4, 30},    {S, 1, D, 4, 3, 2, 4, 30},     // Aura of air: 25%
      {S, 3, D, 4, 10, 7, 4, 30},    {S, 7, D, 4, 10, 5, 4, 30},    // Aura of water, Aura of earth
      {S, 17, D, 3, 10, 9, 3, 30},                                  // Will-o'-the-wisp: 2% of 10 is 0, so 1
      {W, 24, D, 2, 10, 13, 2, 30},  {W, 24, D, 2, 4, 5, 2, 30},    // Berzerk: 30% more taken,
      {W, 24, D, 2, 3, 2, 2, 30},                                   // or 1 less when the share is 0
      {S, 5, D, 4, 10, 10, 4, 28},   {S, 5, D, 4, 1, 1, 4, 29},     // Aura of fire: 25% back, at least 1
      {S, 2, D, 4, 10, 10, 4, 30},                                  // an attack marker leaves a hit alone
  };
  for (const Row& r : rows) {
    CardRig rig;
    rig.Prepare(15, 30);
    rig.Mark(kPlayer, 1, r.deck, r.index, r.counter);
    i32 amount = r.amount;
    rig.Resolve(r.deck, r.index, r.moment, amount, 1);
    const std::string at = std::string(rig.Card(r.deck, r.index)->name) + " on " + std::to_string(r.amount);
    EXPECT_EQ(amount, r.after) << at;
    EXPECT_EQ(rig.Own().markers[1].counter, r.counterAfter) << at;
    EXPECT_EQ(rig.Enemy().hp, r.attackerHp) << at;
  }
}

// Every rating in both of its cases: own slots all taken or not, own hit points at 20 or 19, the enemy's
// slots all taken or not for Starfall.
TEST(CardRules, Ratings) {
  enum Case { Fixed, Slots, Hp, EnemySlots };
  struct Rating {
    Case when;
    u32 a, b;  // a: slots taken, at least 20 hit points; b: otherwise
  };
  const Rating f80{Fixed, 80, 80}, s4060{Slots, 40, 60}, s4070{Slots, 40, 70}, s4075{Slots, 40, 75};
  const Rating ratings[3][25] = {
      {f80,   f80,          f80,          s4060,          {Fixed, 70, 70}, f80,   f80,
       s4060, f80,          s4060,        s4060,          s4060,           s4060, s4060,
       s4060, {Hp, 30, 90}, {Hp, 30, 90}, {Hp, 30, 90},   {Fixed, 70, 70}, s4060, {Fixed, 60, 60},
       s4060, s4060,        {Hp, 45, 95}, {Slots, 40, 75}},
      {s4070,
       s4070,
       s4070,
       s4070,
       s4070,
       s4070,
       s4070,
       s4070,
       f80,
       f80,
       f80,
       f80,
       f80,
       {EnemySlots, 90, 50},
       s4070,
       s4070,
       s4070,
       s4070,
       s4070,
       s4070,
       {Hp, 45, 85},
       {Hp, 45, 85},
       {Hp, 45, 85},
       {Hp, 45, 85},
       {Fixed, 75, 75}},
      {{Hp, 80, 20}, {Hp, 80, 20}, f80,   {Hp, 80, 20}, {Fixed, 85, 85}, f80,   f80,   {Fixed, 85, 85}, f80,   f80,
       s4075,        s4075,        s4075, s4075,        s4075,           s4075, s4075, s4075,           s4075, s4075,
       s4075,        s4075,        s4075, {Hp, 55, 90}, {Fixed, 75, 75}},
  };
  for (u32 deck = 0; deck < 3; ++deck)
    for (u32 index = 0; index < 25; ++index)
      for (bool first : {true, false}) {
        const Rating& want = ratings[deck][index];
        CardRig rig;
        rig.Prepare(want.when == Hp ? (first ? 20 : 19) : 30, 30);
        const bool fill = first && (want.when == Slots || want.when == EnemySlots);
        for (u32 slot = 0; slot < 3 && fill; ++slot) rig.Mark(want.when == Slots ? kPlayer : kComputer, slot, N, 14, 5);
        i32 unused = 0;
        EXPECT_EQ(rig.Resolve(deck, index, kCardRating, unused), first ? want.a : want.b)
            << rig.Card(deck, index)->name << (first ? " (a)" : " (b)");
        // Rating changes nothing.
        EXPECT_EQ(rig.Enemy().hp, 30);
      }
}

// Markers: the first empty slot; with three in place a random one is replaced; removing from a side with
// none changes nothing; clearing empties all three.
TEST(CardRules, PlacingAndRemovingMarkers) {
  CardRig rig;
  rig.Prepare();
  rig.state.PlaceMarker(rig.Card(W, 10), kPlayer, 0);
  rig.Mark(kPlayer, 1, N, 14, 5);
  rig.state.sides[kPlayer].markers[0] = SCardMarker{};
  rig.state.PlaceMarker(rig.Card(W, 9), kPlayer, 0);
  EXPECT_EQ(rig.Own().markers[0].card, rig.Card(W, 9));
  rig.state.PlaceMarker(rig.Card(W, 11), kPlayer, 3);
  EXPECT_EQ(rig.Own().markers[2].card, rig.Card(W, 11));
  EXPECT_EQ(rig.Own().markers[2].counter, 15);

  std::map<u32, u32> replaced;
  for (u32 seed = 1; seed <= 60; ++seed) {
    CardRig full(seed);
    full.Prepare();
    for (u32 slot = 0; slot < 3; ++slot) full.Mark(kPlayer, slot, N, 14, 5);
    full.state.PlaceMarker(full.Card(W, 7), kPlayer, 0);
    u32 found = 0;
    for (u32 slot = 0; slot < 3; ++slot)
      if (full.Own().markers[slot].card == full.Card(W, 7)) {
        ++found;
        ++replaced[slot];
      }
    EXPECT_EQ(found, 1u) << seed;
    EXPECT_EQ(Markers(full.Own()), 3u);
  }
  EXPECT_EQ(replaced.size(), 3u);

  rig.Prepare();
  rig.state.RemoveRandomMarker(kComputer);
  EXPECT_EQ(Markers(rig.Enemy()), 0u);
  rig.Mark(kComputer, 2, N, 14, 5);
  rig.state.RemoveRandomMarker(kComputer);
  EXPECT_EQ(Markers(rig.Enemy()), 0u);
  for (u32 slot = 0; slot < 3; ++slot) rig.Mark(kComputer, slot, N, 14, 5);
  rig.state.ClearMarkers(kComputer);
  EXPECT_EQ(Markers(rig.Enemy()), 0u);
}

// Durable markers absorb a hit in slot order; a hit wholly absorbed plays no sound and changes no hit
// points, while a direct hit of 0 still shows as a hit.
TEST(CardRules, AbsorbingAndHits) {
  CardRig rig;
  rig.Prepare(15, 30);
  rig.Mark(kComputer, 0, W, 9, 3);   // Tower shield, 3 left
  rig.Mark(kComputer, 1, N, 14, 5);  // Graveyard: not durable
  rig.Mark(kComputer, 2, N, 10, 6);  // Bone wall
  EXPECT_EQ(rig.state.AbsorbDamage(5, kPlayer), 0);
  EXPECT_EQ(rig.Enemy().markers[0].counter, 0);
  EXPECT_EQ(rig.Enemy().markers[1].counter, 5);
  EXPECT_EQ(rig.Enemy().markers[2].counter, 4);
  EXPECT_EQ(rig.state.AbsorbDamage(9, kPlayer), 5);
  EXPECT_EQ(rig.Enemy().markers[2].counter, 0);

  rig.Prepare(15, 30);
  rig.Mark(kComputer, 0, W, 11, 12);
  rig.state.Damage(5, kPlayer);
  EXPECT_EQ(rig.Enemy().hp, 30);
  EXPECT_EQ(rig.Enemy().markers[0].counter, 7);
  EXPECT_EQ(rig.state.portraits[kComputer].hit, nullptr);
  EXPECT_TRUE(rig.state.flashStruck);
  // With a hit picture to show (never drawn here: there is no display), a direct hit of 0 shows it.
  SImageEntry& hit = rig.state.holders[kCardHit];
  static const u16 kAnyPicture[8] = {};
  hit.image = reinterpret_cast<const SImage*>(kAnyPicture);
  rig.state.DirectDamage(0, kPlayer, false);
  EXPECT_EQ(rig.Enemy().hp, 30);
  EXPECT_EQ(rig.state.portraits[kComputer].hit, hit.image);
  hit.image = nullptr;
}

// Healing stays within 0 and the maximum; Heroic Remedy raises the maximum first; a pending combo
// multiplies both.
TEST(CardRules, Healing) {
  CardRig rig;
  rig.Prepare(38, 30);
  rig.state.AddHp(5, kPlayer);
  EXPECT_EQ(rig.Own().hp, 40);
  rig.state.AddHp(-50, kPlayer);
  EXPECT_EQ(rig.Own().hp, 0);
  rig.Prepare(38, 30);
  rig.Play(W, 18);
  EXPECT_EQ(rig.Own().maxHp, 45);
  EXPECT_EQ(rig.Own().hp, 43);
  rig.state.StartCombo(2);
  rig.state.AddMaxHp(1, kPlayer);
  rig.state.AddHp(1, kPlayer);
  EXPECT_EQ(rig.Own().maxHp, 47);
  EXPECT_EQ(rig.Own().hp, 45);
}

// A doubled timed card lasts twice its turns; a doubled shield has twice its durability.
TEST(CardRules, DoubledMarkersLastTwice) {
  for (u32 m : {1u, 2u}) {
    CardRig rig;
    rig.Prepare(30, 40);
    rig.Play(S, 14, m);  // Sandstorm: 5 turns
    u32 turns = 0;
    while (rig.Own().markers[0].counter > 0 && turns < 20) {
      rig.state.TickMarkers(kPlayer);
      ++turns;
    }
    EXPECT_EQ(turns, 5 * m);
    EXPECT_EQ(rig.Enemy().hp, 40 - i32(5 * m));
    rig.Play(W, 11, m);  // Kite shield: 12 durability, in the second slot
    EXPECT_EQ(rig.Own().markers[1].counter, 12 * i32(m));
  }
}

// When both sides hold an Aura of fire, a hit is struck back once and the strike-back is not struck back.
TEST(CardRules, StrikeBacksDoNotChain) {
  CardRig rig;
  rig.Prepare(30, 30);
  rig.Mark(kPlayer, 0, S, 5, 4);
  rig.Mark(kComputer, 0, S, 5, 4);
  rig.state.Damage(20, kComputer);
  EXPECT_EQ(rig.Own().hp, 10);
  EXPECT_EQ(rig.Enemy().hp, 25);  // 25% of 20 back
  EXPECT_EQ(rig.state.strikingBack, 0u);
  // A strike-back can end the match.
  rig.Prepare(30, 1);
  rig.Mark(kPlayer, 0, S, 5, 4);
  rig.Mark(kComputer, 0, S, 5, 4);
  rig.state.Damage(8, kComputer);
  EXPECT_EQ(rig.Enemy().hp, 0);
  EXPECT_TRUE(rig.state.gameOver);
  EXPECT_TRUE(rig.state.won);
}
