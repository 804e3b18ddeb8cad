#include "screens/cards/SCardRules.h"

#include "screens/SStateCard.h"
#include "screens/cards/SCardSet.h"

namespace {

// What a card does; the comments say it for the owner ("own") and the other side ("enemy"), with m the
// multiplier and x, y the card's first and second value.
enum class Rule : u8 {
  Hit,            // played: Damage(x m)
  HalfAndHalf,    // played: Damage(x m / 2), then DirectDamage(x m / 2, with bonus)
  Bleeding,       // played: Damage(x m) and a marker; tick: DirectDamage(y) to the enemy
  RemoveThenHit,  // played: an enemy marker removed (twice for m of 2 or more), then Damage(x m)
  Remove,         // played: an enemy marker removed (twice for m of 2 or more)
  Backstab,       // played: DirectDamage(x m, with bonus)
  Block,          // marker; defence: the amount loses x% of itself, without a minimum of 1
  ComboDouble,    // played: a combo with multiplier 2
  ComboHeal,      // played: a combo with multiplier m, then AddHp(half missing x m)
  Shield,         // marker; defence: drain by x%
  BoneWall,       // marker; defence: drain by 100%
  Weapon,         // marker; attack: raise by x%, and the marker loses an attack
  LowerDefence,   // marker; defence: lower by x%
  RaiseAttack,    // marker; attack: raise by x%
  Heal,           // played: AddHp(x m)
  HealingPotion,  // played: AddHp(x m) and a marker; tick: AddHp(y)
  Rejuvenate,     // played: AddHp(half missing x m)
  HeroicRemedy,   // played: AddMaxHp(x m), then AddHp(x m)
  TickHit,        // marker; tick: Damage(x)
  TickHeal,       // marker; tick: AddHp(x)
  TickDrain,      // marker; tick: DirectDamage(x) to the enemy, then AddHp(x)
  Raid,           // marker; tick: the enemy's durable markers absorb x, the rest is lost
  Berzerk,        // marker; attack: raise by x%; defence: lower by -y% (grows by y%, or shrinks by 1)
  AuraOfFire,     // marker; defence: strikes back with x% of the amount (at least 1), the amount unchanged
  Starfall,       // played: every enemy marker removed
  Suffering,      // played: Damage(x m), then the owner takes DirectDamage(y m, with bonus) from the enemy
  Sacrifice,      // the same with x m taken
  Drain,          // played: DirectDamage(x m, with bonus), then AddHp(x m)
};

// How the computer rates a card: a fixed value; a when the owner's three slots are taken, else b; a when
// the owner's hit points are at least 20, else b; a when the enemy's three slots are taken, else b.
enum class Rating : u8 { Fixed, Slots, Hp, EnemySlots };

struct CardRule {
  Rule rule;
  Rating rating;
  u8 a, b;
};

constexpr CardRule F(Rule r, u8 a) { return {r, Rating::Fixed, a, a}; }
constexpr CardRule S(Rule r, u8 a, u8 b) { return {r, Rating::Slots, a, b}; }
constexpr CardRule H(Rule r, u8 a, u8 b) { return {r, Rating::Hp, a, b}; }

const CardRule kRules[SCardSet::kDecks][SCardSet::kCardsPerDeck] = {
    {
        F(Rule::Hit, 80),                // Slash
        F(Rule::Hit, 80),                // Crush
        F(Rule::HalfAndHalf, 80),        // Rapid stab
        S(Rule::Bleeding, 40, 60),       // Bleeding
        F(Rule::RemoveThenHit, 70),      // Assault
        F(Rule::HalfAndHalf, 80),        // Dual strike
        F(Rule::Backstab, 80),           // Backstab
        S(Rule::Block, 40, 60),          // Block
        F(Rule::ComboDouble, 80),        // War cry
        S(Rule::Shield, 40, 60),         // Tower shield
        S(Rule::Weapon, 40, 60),         // Long sword
        S(Rule::Shield, 40, 60),         // Kite shield
        S(Rule::Weapon, 40, 60),         // Battle axe
        S(Rule::Shield, 40, 60),         // Plate mail
        S(Rule::LowerDefence, 40, 60),   // Mourner: its text says bonus, its rule lowers what its owner takes
        H(Rule::Heal, 30, 90),           // Remedy
        H(Rule::HealingPotion, 30, 90),  // Healing potion
        H(Rule::Rejuvenate, 30, 90),     // Rejuvenate
        F(Rule::HeroicRemedy, 70),       // Heroic Remedy
        S(Rule::TickHit, 40, 60),        // Arrow storm
        F(Rule::Remove, 60),             // Fosse
        S(Rule::Raid, 40, 60),           // Raid
        S(Rule::TickHit, 40, 60),        // Marksman
        H(Rule::ComboHeal, 45, 95),      // Bloodlust
        S(Rule::Berzerk, 40, 75),        // Berzerk
    },
    {
        S(Rule::TickHeal, 40, 70),                     // Life node
        S(Rule::LowerDefence, 40, 70),                 // Aura of air
        S(Rule::RaiseAttack, 40, 70),                  // Death node
        S(Rule::LowerDefence, 40, 70),                 // Aura of water
        S(Rule::RaiseAttack, 40, 70),                  // Moon node
        S(Rule::AuraOfFire, 40, 70),                   // Aura of fire
        S(Rule::RaiseAttack, 40, 70),                  // Sun node
        S(Rule::LowerDefence, 40, 70),                 // Aura of earth
        F(Rule::Hit, 80),                              // Ice bolt
        F(Rule::Hit, 80),                              // Chain lightning
        F(Rule::Hit, 80),                              // Earthquake
        F(Rule::RemoveThenHit, 80),                    // Whirlwind
        F(Rule::Hit, 80),                              // Firewall
        {Rule::Starfall, Rating::EnemySlots, 90, 50},  // Starfall
        S(Rule::TickHit, 40, 70),                      // Sandstorm
        S(Rule::TickHit, 40, 70),                      // Blizzard
        S(Rule::TickHit, 40, 70),                      // Blade storm
        S(Rule::LowerDefence, 40, 70),                 // Will-o'-the-wisp
        S(Rule::TickHit, 40, 70),                      // Wildfire
        S(Rule::TickHit, 40, 70),                      // Rage of nature
        H(Rule::Heal, 45, 85),                         // Healing shower
        H(Rule::Heal, 45, 85),                         // Healing scroll
        H(Rule::Heal, 45, 85),                         // Bless
        H(Rule::ComboHeal, 45, 85),                    // Mana explosion
        F(Rule::ComboDouble, 75),                      // Mana storm
    },
    {
        H(Rule::Suffering, 80, 20),  // Blood chant
        H(Rule::Suffering, 80, 20),  // Fang
        F(Rule::Hit, 80),            // Atrophy
        H(Rule::Sacrifice, 80, 20),  // Sacrifice
        F(Rule::Drain, 85),          // Dark touch
        F(Rule::Suffering, 80),      // Poison cloud
        F(Rule::Suffering, 80),      // Blood filch
        F(Rule::Drain, 85),          // Vampire bite
        F(Rule::Suffering, 80),      // Soul crush
        F(Rule::Drain, 80),          // Black out
        S(Rule::BoneWall, 40, 75),   // Bone wall
        S(Rule::TickHit, 40, 75),    // Blood golem
        S(Rule::BoneWall, 40, 75),   // Blood moat
        S(Rule::TickHit, 40, 75),    // Ghoul
        S(Rule::TickHeal, 40, 75),   // Graveyard
        S(Rule::TickHit, 40, 75),    // Skeleton
        S(Rule::TickDrain, 40, 75),  // Vampire
        S(Rule::TickHit, 40, 75),    // Acid rain
        S(Rule::TickDrain, 40, 75),  // Parasite
        S(Rule::TickHit, 40, 75),    // Corpse army
        S(Rule::TickDrain, 40, 75),  // Vampire bats
        S(Rule::TickDrain, 40, 75),  // Unholy seal
        S(Rule::TickHit, 40, 75),    // Blood boil
        H(Rule::ComboHeal, 55, 90),  // Heart pile
        F(Rule::ComboDouble, 75),    // Soul pile
    },
};

i32 Percent(i32 amount, i32 percent) { return i32(i64(amount) * percent / 100); }

bool PlacesMarker(Rule r) {
  switch (r) {
    case Rule::Bleeding:
    case Rule::Block:
    case Rule::Shield:
    case Rule::BoneWall:
    case Rule::Weapon:
    case Rule::LowerDefence:
    case Rule::RaiseAttack:
    case Rule::HealingPotion:
    case Rule::TickHit:
    case Rule::TickHeal:
    case Rule::TickDrain:
    case Rule::Raid:
    case Rule::Berzerk:
    case Rule::AuraOfFire: return true;
    default: return false;
  }
}

u32 Rate(const CardRule& r, const SStateCard& state, u32 own) {
  switch (r.rating) {
    case Rating::Fixed: return r.a;
    case Rating::Slots: return state.SlotsFilled(own) ? r.a : r.b;
    case Rating::Hp: return state.sides[own].hp >= 20 ? r.a : r.b;
    case Rating::EnemySlots: return state.SlotsFilled(1 - own) ? r.a : r.b;
  }
  return 0;
}

void Played(const CardRule& r, SStateCard& state, const SCardType& card, u32 own, i32 m) {
  const u32 enemy = 1 - own;
  const i32 x = i32(card.firstValue), y = i32(card.secondValue);
  SCardSide& side = state.sides[own];
  const i32 halfMissing = (side.maxHp - side.hp) / 2;
  switch (r.rule) {
    case Rule::Hit: state.Damage(x * m, own); break;
    case Rule::HalfAndHalf:
      state.Damage(x * m / 2, own);
      state.DirectDamage(x * m / 2, own, true);
      break;
    case Rule::Bleeding: state.Damage(x * m, own); break;
    case Rule::RemoveThenHit:
    case Rule::Remove:
      state.RemoveRandomMarker(enemy);
      if (m >= 2) state.RemoveRandomMarker(enemy);
      if (r.rule == Rule::RemoveThenHit) state.Damage(x * m, own);
      break;
    case Rule::Backstab: state.DirectDamage(x * m, own, true); break;
    case Rule::ComboDouble: state.StartCombo(2); break;
    case Rule::ComboHeal:
      state.StartCombo(u32(m));
      state.AddHp(halfMissing * m, own);
      break;
    case Rule::Heal:
    case Rule::HealingPotion: state.AddHp(x * m, own); break;
    case Rule::Rejuvenate: state.AddHp(halfMissing * m, own); break;
    case Rule::HeroicRemedy:
      state.AddMaxHp(x * m, own);
      state.AddHp(x * m, own);
      break;
    case Rule::Starfall: state.ClearMarkers(enemy); break;
    case Rule::Suffering:
    case Rule::Sacrifice:
      state.Damage(x * m, own);
      state.DirectDamage((r.rule == Rule::Sacrifice ? x : y) * m, enemy, true);
      break;
    case Rule::Drain:
      state.DirectDamage(x * m, own, true);
      state.AddHp(x * m, own);
      break;
    default: break;
  }
  if (PlacesMarker(r.rule)) state.PlaceMarker(&card, own, m != 1 ? i32(card.counter) : 0);
}

void Tick(const CardRule& r, SStateCard& state, const SCardType& card, u32 own) {
  const i32 x = i32(card.firstValue), y = i32(card.secondValue);
  switch (r.rule) {
    case Rule::Bleeding: state.DirectDamage(y, own, false); break;
    case Rule::HealingPotion: state.AddHp(y, own); break;
    case Rule::TickHit: state.Damage(x, own); break;
    case Rule::TickHeal: state.AddHp(x, own); break;
    case Rule::TickDrain:
      state.DirectDamage(x, own, false);
      state.AddHp(x, own);
      break;
    case Rule::Raid: state.AbsorbDamage(x, own); break;
    default: break;
  }
}

void Attack(const CardRule& r, SStateCard& state, const SCardType& card, u32 own, i32& amount, u32 slot) {
  const i32 x = i32(card.firstValue);
  switch (r.rule) {
    case Rule::Weapon: {
      amount = RaiseByPercent(amount, x);
      // Attacks are used up at 0: a weapon striking twice in a turn does not count below it.
      i32& attacks = state.sides[own].markers[slot].counter;
      if (attacks > 0) --attacks;
      break;
    }
    case Rule::RaiseAttack:
    case Rule::Berzerk: amount = RaiseByPercent(amount, x); break;
    default: break;
  }
}

void Defence(const CardRule& r, SStateCard& state, const SCardType& card, u32 own, i32& amount, u32 slot) {
  const i32 x = i32(card.firstValue), y = i32(card.secondValue);
  SCardMarker& marker = state.sides[own].markers[slot];
  switch (r.rule) {
    case Rule::Block: amount -= Percent(amount, x); break;
    case Rule::Shield:
      amount = DrainByPercent(amount, x, marker.counter);
      state.FlashMarker(own, slot, true);
      break;
    case Rule::BoneWall:
      amount = DrainByPercent(amount, 100, marker.counter);
      state.FlashMarker(own, slot, true);
      break;
    case Rule::LowerDefence:
      amount = LowerByPercent(amount, x);
      state.FlashMarker(own, slot, true);
      break;
    case Rule::Berzerk:
      amount = LowerByPercent(amount, -y);
      state.FlashMarker(own, slot, true);
      break;
    case Rule::AuraOfFire: {
      const i32 back = Percent(amount, x);
      state.StrikeBack(back ? back : 1, own);
      break;
    }
    default: break;
  }
}

}  // namespace

i32 RaiseByPercent(i32 amount, i32 percent) {
  const i32 share = Percent(amount, percent);
  return amount + (share ? share : 1);
}

i32 LowerByPercent(i32 amount, i32 percent) {
  const i32 share = Percent(amount, percent);
  const i32 left = amount - (share ? share : 1);
  return left < 0 ? 0 : left;
}

i32 DrainByPercent(i32 amount, i32 percent, i32& counter) {
  i32 d = Percent(amount, percent);
  if (!d) d = 1;
  if (d >= counter) {
    d = counter > 0 ? counter : 0;
    counter = 0;
  } else {
    counter -= d;
  }
  const i32 left = amount - d;
  return left < 0 ? 0 : left;
}

u32 ResolveCardPlay(SCardSet* cards, SStateCard* state, const SCardType* card, u32 side, u32 moment, i32& amount,
                    u32 slot, u32 multiplier) {
  (void)cards;
  if (!state || !card || side > 1 || card->deckKind >= SCardSet::kDecks || card->index >= SCardSet::kCardsPerDeck)
    return 0;
  const CardRule& r = kRules[card->deckKind][card->index];
  if (slot >= SCardSide::kMarkers) slot = 0;
  switch (moment) {
    case kCardPlayed: Played(r, *state, *card, side, i32(multiplier ? multiplier : 1)); return 0;
    case kCardTick: Tick(r, *state, *card, side); return 0;
    case kCardAttack: Attack(r, *state, *card, side, amount, slot); return 0;
    case kCardDefence: Defence(r, *state, *card, side, amount, slot); return 0;
    case kCardRating: return Rate(r, *state, side);
    default: return 0;
  }
}
