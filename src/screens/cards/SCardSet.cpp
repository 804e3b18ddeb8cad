#include "screens/cards/SCardSet.h"

#include "core/SGameCore.h"
#include "core/ui/SPlaceControls.h"
#include "foundation/SRandom.h"
#include "foundation/SString.h"
#include "foundation/StrUtil.h"
#include "screens/cards/SCardSide.h"

#include <cstring>
#include <new>

namespace {

constexpr u32 I = kCardInstant, D = kCardDurable, W = kCardWeapon, T = kCardTimed, C = kCardCombo;

const char* const kDamage = "Inflicts %u damage to the enemy.";
const char* const kHalfToDefence = "Inflicts %u damage, half to the defense if apply.";
const char* const kShield = "%u%% damage reduction per turn. Durability:\v%u\vHp.";
const char* const kWeapon = "%u%% damage bonus per turn. Attacks:\v%u.";
const char* const kHeals = "Heals %u points.";
const char* const kHealsHalf = "Combo card, and heals half of the missing Hp.";
const char* const kDoubles = "Combo card, you can table another card which effect's doubled.";
const char* const kPerTurn = "Inflicts %u damage per turn. Turns:\v%u.";
const char* const kAirWater = "Decreases the damage taken, by %u%% per turn. Turns:\v%u.";
const char* const kSuffering = "Inflicts %u damage for suffering %u damage.";
const char* const kDrains = "Drains %u Hp from the enemy.";
const char* const kMinion = "Minion, inflicts %u damage to the enemy in each turn. Hp:\v%u.";
const char* const kDrainsPerTurn = "Drains %u Hp per turn. Turns:\v%u.";
const char* const kBoneWall = "Defensive bone wall. Hp:\v%u.";

// By deck, then index: name, class, copies, first value, second value, counter, description.
const SCardRow kRows[SCardSet::kDecks][SCardSet::kCardsPerDeck] = {
    {
        {"Slash", I, 3, 2, 0, 0, kDamage},
        {"Crush", I, 3, 3, 0, 0, kDamage},
        {"Rapid stab", I, 3, 4, 0, 0, kHalfToDefence},
        {"Bleeding", T, 3, 1, 3, 3, "Inflicts %u damage and enemy loses %u Hp per turn. Turns:\v%u."},
        {"Assault", I, 3, 2, 0, 0, "Inflicts %u damage and removes a marker from the enemy."},
        {"Dual strike", I, 2, 8, 0, 0, kHalfToDefence},
        {"Backstab", I, 3, 5, 0, 0, "Inflicts %u damage, any kind of defense ignored."},
        {"Block", T, 1, 50, 0, 2, "%u%% damage resistance. Turns:\v%u."},
        {"War cry", I, 1, 0, 0, 0, kDoubles},
        {"Tower shield", D, 2, 20, 0, 8, kShield},
        {"Long sword", W, 3, 20, 0, 5, kWeapon},
        {"Kite shield", D, 3, 25, 0, 12, kShield},
        {"Battle axe", W, 2, 20, 0, 7, kWeapon},
        {"Plate mail", D, 1, 33, 0, 15, kShield},
        {"Mourner", T, 1, 50, 0, 2, "%u%% damage bonus per turn. Turns:\v%u."},
        {"Remedy", I, 3, 5, 0, 0, kHeals},
        {"Healing potion", T, 3, 7, 1, 3, "Heals %u points plus %u point per turn. Turns:\v%u."},
        {"Rejuvenate", I, 2, 0, 0, 0, "Heals half of the missing Hp."},
        {"Heroic Remedy", I, 1, 5, 0, 0, "Increases both Hp and max Hp by %u."},
        {"Arrow storm", T, 3, 3, 0, 3, kPerTurn},
        {"Fosse", I, 3, 0, 0, 0, "Removes a marker from the opponent."},
        {"Raid", T, 2, 3, 0, 5, "Inflicts %u damage per turn only to the enemy defense. Turns:\v%u."},
        {"Marksman", T, 1, 5, 0, 3, kPerTurn},
        {"Bloodlust", C, 2, 0, 0, 0, kHealsHalf},
        {"Berzerk", T, 1, 50, 30, 2, "%u%% damage bonus but %u%% more damage taken per turn. Turns:\v%u."},
    },
    {
        {"Life node", T, 3, 2, 0, 10, "Regenerates Hp by %u points per turn. Turns:\v%u."},
        {"Aura of air", T, 3, 25, 0, 4, kAirWater},
        {"Death node", T, 3, 25, 0, 4, "Increases the damage inflicted, by %u%% per turn. Turns:\v%u."},
        {"Aura of water", T, 2, 33, 0, 4, kAirWater},
        {"Moon node", T, 3, 25, 0, 4, "Increases the damage infilcted, by %u%% per turn. Turns:\v%u."},
        {"Aura of fire", T, 3, 25, 0, 4, "Reflects %u%% of suffered damage, per turn. Turns:\v%u."},
        {"Sun node", T, 1, 50, 0, 4, "Increases the infilicted damage, by %u%% per turn. Turns:\v%u."},
        {"Aura of earth", T, 1, 50, 0, 4, kAirWater},
        {"Ice bolt", I, 3, 4, 0, 0, kDamage},
        {"Chain lightning", I, 3, 5, 0, 0, kDamage},
        {"Earthquake", I, 3, 5, 0, 0, kDamage},
        {"Whirlwind", I, 2, 5, 0, 0, "Inflicts %u damage to the enemy and destroys one of its markers."},
        {"Firewall", I, 1, 8, 0, 0, kDamage},
        {"Starfall", I, 1, 0, 0, 0, "Destroys all of the enemy's markers."},
        {"Sandstorm", T, 3, 1, 0, 5, kPerTurn},
        {"Blizzard", T, 3, 1, 0, 6, kPerTurn},
        {"Blade storm", T, 3, 3, 0, 2, kPerTurn},
        {"Will-o'-the-wisp", T, 2, 2, 0, 3, "Reduces enemy attack by %u per turn. Turns:\v%u."},
        {"Wildfire", T, 2, 2, 0, 4, "Inflicts %u damage to the enemy per turn. Turns:\v%u."},
        {"Rage of nature", T, 1, 4, 0, 3, "Inflicts %u damage to the enemy per turn. Turns:\v%u."},
        {"Healing shower", I, 3, 4, 0, 0, kHeals},
        {"Healing scroll", I, 2, 7, 0, 0, kHeals},
        {"Bless", I, 1, 15, 0, 0, kHeals},
        {"Mana explosion", C, 1, 0, 0, 0, kHealsHalf},
        {"Mana storm", C, 1, 0, 0, 0, kDoubles},
    },
    {
        {"Blood chant", I, 3, 4, 2, 0, kSuffering},
        {"Fang", I, 3, 6, 3, 0, kSuffering},
        {"Atrophy", I, 3, 2, 0, 0, "Inflicts %u damage."},
        {"Sacrifice", I, 3, 5, 3, 0, kSuffering},
        {"Dark touch", I, 3, 3, 0, 0, kDrains},
        {"Poison cloud", I, 3, 4, 1, 0, kSuffering},
        {"Blood filch", I, 2, 5, 1, 0, kSuffering},
        {"Vampire bite", I, 2, 6, 0, 0, kDrains},
        {"Soul crush", I, 1, 15, 5, 0, kSuffering},
        {"Black out", I, 1, 12, 0, 0, kDrains},
        {"Bone wall", D, 3, 0, 0, 6, kBoneWall},
        {"Blood golem", D, 3, 1, 0, 6, kMinion},
        {"Blood moat", D, 3, 0, 0, 8, kBoneWall},
        {"Ghoul", D, 3, 2, 0, 4, kMinion},
        {"Graveyard", T, 2, 1, 0, 5, "Regenerates %u Hp per turn. Turns:\v%u."},
        {"Skeleton", D, 1, 3, 0, 4, kMinion},
        {"Vampire", T, 1, 3, 0, 3, "Minion, drains %u Hp in each turn. Turns:\v%u."},
        {"Acid rain", T, 3, 1, 0, 3, kPerTurn},
        {"Parasite", T, 3, 1, 0, 3, kDrainsPerTurn},
        {"Corpse army", T, 3, 2, 0, 2, kPerTurn},
        {"Vampire bats", T, 2, 1, 0, 4, kDrainsPerTurn},
        {"Unholy seal", T, 1, 1, 0, 3, kDrainsPerTurn},
        {"Blood boil", T, 1, 10, 0, 2, "Inflicts %u Hp damage per turn. Turns:\v%u."},
        {"Heart pile", C, 2, 0, 0, 0, kHealsHalf},
        {"Soul pile", C, 1, 0, 0, 0, kDoubles},
    },
};

constexpr u16 kCompactFirstPicture = 3952;
constexpr u16 kLargeFirstPicture[SCardSet::kDecks] = {3570, 3600, 3630};
constexpr u32 kShuffleSwaps = 100;

}  // namespace

void SCardType::FormatDescription(SString& out, u32 counterNow) const {
  const u32 c = counterNow == ~0u ? counter : counterNow;
  const char* format = description ? description : "";
  const bool plain = cardClass & (kCardInstant | kCardCombo);
  switch (StrCount(format, "%u")) {
    case 0: out.Assign(format); break;
    case 1: out.Format(format, plain ? firstValue : c); break;
    case 2: out.Format(format, firstValue, plain ? secondValue : c); break;
    default: out.Format(format, firstValue, secondValue, c); break;
  }
}

const SCardRow* SCardSet::Row(u32 deck, u32 index) {
  return deck < kDecks && index < kCardsPerDeck ? &kRows[deck][index] : nullptr;
}

u16 SCardSet::PictureRecord(u32 deck, u32 index, i32 displayMode) {
  if (deck >= kDecks || index >= kCardsPerDeck) return 0;
  if (SGameCore::IsCompactMode(displayMode)) return u16(kCompactFirstPicture + kCardsPerDeck * deck + index);
  return u16(kLargeFirstPicture[deck] + index);
}

u32 SCardSet::DeckSize(u32 deck) {
  u32 n = 0;
  for (u32 i = 0; deck < kDecks && i < kCardsPerDeck; ++i) n += kRows[deck][i].copies;
  return n;
}

const char* SCardSet::DeckName(u32 deck) {
  static const char* const kNames[kDecks] = {"warrior", "sorcerer", "necromancer"};
  return deck < kDecks ? kNames[deck] : "";
}

void SCardSet::Build(SGameCore* gameCore) {
  core = gameCore;
  data = gameCore ? &gameCore->data : nullptr;
  const i32 mode = gameCore ? gameCore->displayMode : 0;
  for (u32 n = 0; n < kCards; ++n) {
    SCardType& card = cards[n];
    const SCardRow& row = kRows[n / kCardsPerDeck][n % kCardsPerDeck];
    card.picture.Unload();
    card.deckKind = n / kCardsPerDeck;
    card.index = n % kCardsPerDeck;
    card.copies = row.copies;
    card.name = row.name;
    card.description = row.description;
    card.firstValue = row.firstValue;
    card.secondValue = row.secondValue;
    card.counter = row.counter;
    card.cardClass = row.cardClass;
    card.pictureId = PictureRecord(card.deckKind, card.index, mode);
  }
}

u32 SCardSet::LoadPictures() {
  u32 read = 0;
  for (SCardType& card : cards)
    if (card.picture.IsResident() || LoadDataPicture(data, card.pictureId, card.picture)) ++read;
  return read;
}

void SCardSet::ReleasePictures() {
  for (SCardType& card : cards) card.picture.Unload();
}

void SCardSet::BuildDeck(u32 deckKind, SCardDeck& deck) const {
  deck.Clear();
  if (deckKind >= kDecks) return;
  for (u32 i = 0; i < kCardsPerDeck; ++i)
    for (u32 k = 0; k < cards[deckKind * kCardsPerDeck + i].copies; ++k) deck.Add(i);
  SRandom* random = core ? core->random : nullptr;
  if (!random || deck.count == 0) return;
  for (u32 n = 0; n < kShuffleSwaps; ++n) {
    const i32 a = random->Next(i32(deck.count)), b = random->Next(i32(deck.count));
    if (a == b) continue;
    const u32 t = deck.items[a];
    deck.items[a] = deck.items[b];
    deck.items[b] = t;
  }
}

// ---- deck storage

void SCardDeck::Clear() {
  delete[] items;
  items = new (std::nothrow) u32[kGrowStep]();
  capacity = items ? kGrowStep : 0;
  count = 0;
}

bool SCardDeck::Add(u32 index) {
  if (count == capacity) {
    u32* block = new (std::nothrow) u32[capacity + kGrowStep]();
    if (!block) return false;
    if (items) std::memcpy(block, items, sizeof(u32) * count);
    delete[] items;
    items = block;
    capacity += kGrowStep;
  }
  items[count++] = index;
  return true;
}

bool SCardDeck::TakeTop(u32& index) {
  if (count == 0) return false;
  index = items[0];
  --count;
  std::memmove(items, items + 1, sizeof(u32) * count);
  return true;
}
