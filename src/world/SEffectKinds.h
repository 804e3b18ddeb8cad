// The effect kinds the game's rules name (an effect entry's `kind`), and the reading of a percentage
// kept beyond 100 (a resistance: 101..200 is +1..+100, -101..-200 is -1..-100).
#pragma once
#include "os/Types.h"

namespace EffectKind {
enum : u8 {
  kFortifySkill = 1,
  kFortifyAttribute = 2,
  kRestoreHp = 3,
  kRestoreFullHp = 4,
  kFortifyHp = 5,
  kRestoreUnholy = 6,
  kRestoreFullUnholy = 7,
  kFortifyUnholy = 8,
  kRestoreMana = 9,
  kFortifyMana = 10,
  kFortifyAc = 11,
  kCurePoison = 12,
  kCureParalysis = 13,
  kCureDisease = 14,
  kResistPoison = 15,
  kResistParalysis = 16,
  kResistDisease = 17,
  kDispel = 19,
  kFeather = 20,
  kRemoveCurse = 21,
  kResistMagic = 22,
  kDamageType = 24,
  kDamageAll = 25,
  kPoison = 26,
  kCurse = 27,
  kParalyze = 28,
  kDrainHp = 29,
  kDrainSp = 30,
  kInfect = 32,
  kResistDiseases = 33,
  kFortifyMagic = 36,
  kFortifyMelee = 38,
  kMagicImmunity = 39,
  kCrush = 40,
  kCalm = 41,
  kDetectMind = 43,
  kMark = 46,
  kRecall = 47,
  kTownPortal = 48,
  kRechargeWand = 49,
  kEnchant = 50,
  kEnchantOther = 51,
  kCreateFood = 52,
  kLevelDrops = 53,
  kRestoreFullMana = 55,
  kPermanentAttribute = 56,
  kAlcoholic = 57,
};
}  // namespace EffectKind

inline i32 DecodePercent(i32 v) { return v < -100 ? v + 100 : v > 100 ? v - 100 : v; }
