// The rules that change the player record during play, each with its limits and its report: experience
// and levels, hp and mana, attributes and skills, money, fame and crime, diseases, abilities, quests,
// spells, curses, equipment and inventory, and the game events the scripts ask for.
#include "core/SGameCore.h"
#include "foundation/StrUtil.h"
#include "game/SStateGame.h"
#include "player/SPlayer.h"
#include "script/SScriptContext.h"
#include "world/SItemTable.h"
#include "world/SWorldModule.h"
#include "world/SWorldRules.h"

#include <limits>

namespace {
constexpr char kCoin = 9;  // the coin glyph of the game font
constexpr u32 kNoMoreLevels = std::numeric_limits<u32>::max();

u16 ClampU16(i64 v) { return u16(v < 0 ? 0 : v > 0xFFFF ? 0xFFFF : v); }
u32 ClampU32(i64 v) { return u32(v < 0 ? 0 : v > 0xFFFFFFFFll ? 0xFFFFFFFFll : v); }
i32 Clamp32(i64 v) { return i32(v < -0x7FFFFFFFll - 1 ? -0x7FFFFFFFll - 1 : v > 0x7FFFFFFF ? 0x7FFFFFFF : v); }
// The purse after adding a sum, in 64 bits, capped.
u32 Purse(u32 money, u64 added) { return u32(money + added > kMoneyCap ? kMoneyCap : money + added); }
// The game's formatter reads "%ld" and "%lu" as 32-bit numbers.
u32 Magnitude(i64 v) { return ClampU32(v < 0 ? -v : v); }
const char* DiseaseName(const SDisease& d) { return d.text ? d.text : d.name.Text(); }
const char* AbilityName(const SAbility& a) { return a.text ? a.text : a.name.Text(); }
const char* SpellName(const SSpell& s) { return s.DisplayName(); }
const char* QuestTitle(const SQuest& q) { return q.texts[0] ? q.texts[0] : q.name.Text(); }
bool IsMissileWeapon(const SItem* item) {
  return item && item->type && item->type->itemClass == kItemWeapon &&
         (item->type->subtype == 9 || item->type->subtype == 10 || item->type->subtype == 12);
}
bool IsWeapon(const SItem* item) { return item && item->type && item->type->itemClass == kItemWeapon; }
}  // namespace

void SPlayer::Report(const char* text) {
  if (game && game->scriptContext) game->scriptContext->ShowMessage(text, 1);
}

void SPlayer::Queue(const char* text, const char* sound) {
  if (game && game->stateGame) game->stateGame->QueueMessage(text, 1, sound);
}

// ---- experience and levels

void SPlayer::ChangeXp(i32 delta, bool report) {
  xp = ClampU32(i64(xp) + delta);
  if (report) {
    messageText.Format("You have %s %lu xp.", delta >= 0 ? "received" : "lost", Magnitude(delta));
    Report(messageText.CStr());
  }
  CheckLevelChange();
}

void SPlayer::LoseXp(i32 amount, bool restorable) {
  if (amount <= 0) return;
  if (xp > peakXp) peakXp = xp;
  const u32 loss = u32(amount) < xp ? u32(amount) : xp;
  xp -= loss;
  messageText.Format("You have lost %lu xp.", u32(loss));
  Report(messageText.CStr());
  if (restorable) {
    Report("It can be restored somehow.");
    restorableXp = ClampU32(i64(restorableXp) + loss);
  }
  CheckLevelChange();
}

void SPlayer::DrainXp() {
  const i32 r = GetMagicResistance();
  if (Roll(100) <= r) return;
  const i64 hundredth = xp / 100;
  i64 loss = hundredth - hundredth * r / 100;
  if (loss > xp) loss = xp;  // a resistance far below 0 never takes more than is held
  if (loss <= 0) return;
  if (xp > peakXp) peakXp = xp;
  xp -= u32(loss);
  messageText.Format("You have lost %lu xp.", u32(loss));
  Report(messageText.CStr());
  Report("It can be restored somehow.");
  restorableXp = ClampU32(i64(restorableXp) + loss);
  CheckLevelChange();
}

void SPlayer::RestoreLostXp() {
  if (restorableXp == 0) {
    Report("You don't have xp to be restored.");
    return;
  }
  messageText.Format("%lu xp has been restored.", restorableXp);
  Report(messageText.CStr());
  xp = ClampU32(i64(xp) + restorableXp);
  restorableXp = 0;
}

void SPlayer::CheckLevelChange() {
  // The table ends at level 99: the last level, whose next threshold no experience passes.
  auto start = [this](u32 l) { return l <= kMaxLevel ? xpTable[l] : kNoMoreLevels; };
  auto next = [this](u32 l) { return l < kMaxLevel ? xpTable[l + 1] : kNoMoreLevels; };
  u32 l = level;
  if (xp < start(l)) {
    level = u8(l - 1);
    nextLevelXp = next(level);
    Queue("You have lost a level.", "bsnd_loselevel");
    return;
  }
  if (xp < nextLevelXp) return;
  u32 raised[kPlayerSkills];
  u32 raisedCount = 0;
  u32 gained = 0;
  // Levels up to the peak held before a loss come back without their gains; at the peak itself too, or a
  // level whose threshold is the peak would pay out twice.
  const bool regained = peakXp >= xp;
  while (xp >= nextLevelXp && l < kMaxLevel) {
    ++l;
    nextLevelXp = next(l);
    ++gained;
    if (regained) continue;  // a level lost before comes back without its gains
    permanentPotionTaken = 0;
    attributePoints = ClampU16(i64(attributePoints) + 5);
    for (u32 a = 1; a <= 5; ++a)
      if (attributeAllowance[a] < 253) attributeAllowance[a] += 2;
    skillPoints = ClampU16(i64(skillPoints) + 10);
    for (u32 s = 1; s <= kPlayerSkills; ++s) {
      if (s == BarredSkill(race))
        skillAllowance[s] = 0;
      else if (skillAllowance[s] < 253)
        skillAllowance[s] += 2;
    }
    u32 three[3];
    GainLevelSkills(three);
    for (u32 s : three) {
      if (!s) continue;
      bool seen = false;
      for (u32 i = 0; i < raisedCount; ++i) seen = seen || raised[i] == s;
      if (!seen && raisedCount < kPlayerSkills) raised[raisedCount++] = s;
    }
  }
  level = u8(l);
  if (!gained || regained) return;
  messageText.Format("You have reached level %u.\r--------------", unsigned(level));
  auto skillName = [this](u32 s) {
    const char* n = rules_ ? rules_->skills.FullName(s) : nullptr;
    return n ? n : "";
  };
  if (raisedCount == 1) {
    messageText.FormatAppend("\rYour %s skill has been increased.", skillName(raised[0]));
  } else if (raisedCount > 1) {
    messageText.Append("\rYour ");
    for (u32 i = 0; i < raisedCount; ++i) {
      if (i > 0) messageText.Append(i + 1 == raisedCount ? " and " : ", ");
      messageText.Append(skillName(raised[i]));
    }
    messageText.Append(" skills have been increased.");
  }
  messageText.Append("\rYou can spend the available points on your attributes and skills, check your status screen.");
  Queue(messageText.CStr(), "bsnd_newlevel");
}

void SPlayer::GainLevelSkills(u32 raised[3]) {
  raised[0] = raised[1] = raised[2] = 0;
  for (u32 place = 0; place < 3; ++place) {
    u32 best = 0;
    for (u32 s = 1; s <= kPlayerSkills; ++s) {
      if (s == BarredSkill(race) || practice[s] == 0 || s == raised[0] || s == raised[1]) continue;
      const u32 attribute = rules_ ? rules_->skills.Attribute(s) : 0;
      const u32 limit = attribute >= 1 && attribute <= 5 ? 2u * attributes[attribute] : 0;
      if (skills[s] >= limit) continue;
      if (!best || practice[s] > practice[best]) best = s;  // the lower number wins ties
    }
    raised[place] = best;
  }
  for (u32 s : {raised[0], raised[1], raised[2]}) {
    if (!s) continue;
    skills[s] = ClampU16(i64(skills[s]) + 1);
    practice[s] = 0;
  }
}

// ---- hit points and mana

void SPlayer::ChangePool(u16& value, i32 maximum, i32 delta, bool report, const char* what) {
  i64 change = 0;
  if (delta < 0) {
    change = i64(delta) < -i64(value) ? -i64(value) : delta;
  } else if (delta > 0) {
    // At or above the maximum nothing changes and nothing is said.
    if (value >= maximum) return;
    change = i64(value) + delta > maximum ? maximum - i64(value) : delta;
  }
  value = ClampU16(i64(value) + change);
  RefreshGauges();
  if (report) {
    messageText.Format("Your %s has been %s by %lu.", what, change < 0 ? "decreased" : "increased", Magnitude(change));
    Report(messageText.CStr());
  }
}

void SPlayer::ChangeHp(i32 delta, bool report) { ChangePool(hp, GetMaxHp(), delta, report, "hp"); }
void SPlayer::ChangeMana(i32 delta, bool report) { ChangePool(mana, GetMaxMana(), delta, report, "mana"); }

void SPlayer::RefreshGauges() {
  SStateGame* state = game ? game->stateGame : nullptr;
  if (!state) return;
  state->hitPoints.SetPercent(GetHealthPercent());
  state->spellPoints.SetPercent(GetManaPercent());
}

void SPlayer::SetHp(i32 value, bool report) {
  hp = ClampU16(value);
  RefreshGauges();
  if (report) {
    messageText.Format("Your hp is %lu.", u32(hp));
    Report(messageText.CStr());
  }
}

void SPlayer::SetMana(i32 value, bool report) {
  mana = ClampU16(value);
  RefreshGauges();
  if (report) {
    messageText.Format("Your mana is %lu.", u32(mana));
    Report(messageText.CStr());
  }
}

void SPlayer::RestoreFullHp(bool report) {
  const i32 m = GetMaxHp();
  if (m > hp) hp = ClampU16(m);
  RefreshGauges();
  if (report) Report("Your full health has been restored.");
}

void SPlayer::RestoreFullMana(bool report) {
  const i32 m = GetMaxMana();
  if (m > mana) mana = ClampU16(m);
  RefreshGauges();
  if (report) Report("Your full mana has been restored.");
}

void SPlayer::TakeHit(i32 amount, i32 attackKind) {
  ChangeHp(-amount, false);
  if (game && game->stateGame) game->stateGame->ShowPlayerHit(amount, attackKind);
}

void SPlayer::ApplyPoisonDamage() {
  const i32 p = GetPoisonStrength();
  if (p <= 0) return;             // poison never heals
  hp = hp > p ? u16(hp - p) : 1;  // nor kills
  RefreshGauges();
  if (game && game->stateGame) game->stateGame->ShowPlayerDamage(p);
}

i32 SPlayer::TakeMagicDamage(i32 amount) {
  const i32 r = GetMagicResistance();
  const i32 reduced = Clamp32(i64(amount) - i64(amount) * r / 100);
  if (Roll(100) > r && reduced >= 1) SetHp(i32(std::max<i64>(0, i64(hp) - reduced)), false);
  return reduced;
}

i32 SPlayer::TakeMagicManaDamage(i32 amount) {
  const i32 r = GetMagicResistance();
  const i32 reduced = Clamp32(i64(amount) - i64(amount) * r / 100);
  if (Roll(100) > r && reduced >= 1) SetMana(i32(std::max<i64>(0, i64(mana) - reduced)), false);
  return reduced;
}

// ---- attributes and skills

void SPlayer::ChangeAttribute(u32 attribute, i32 delta, bool report) {
  if (attribute < 1 || attribute > 5) return;
  const i64 now = attributes[attribute];
  i64 d = delta;
  if (d > 10) d = 10;
  if (d < -10) d = -10;
  if (d < 0 && now + d < 1) d = now >= 1 ? 1 - now : 0;  // never below 1
  if (now + d > 0xFFFF) d = 0xFFFF - now;
  attributes[attribute] = u16(now + d);
  if (d != 0 && report) {
    const char* n = rules_ ? rules_->attributes.Name(attribute) : nullptr;
    messageText.Format("Your %s has been %s by %d.", n ? n : "", d < 0 ? "decreased" : "increased", int(Magnitude(d)));
    Report(messageText.CStr());
  }
}

void SPlayer::ChangeAttributeByKey(const char* key, i32 delta) {
  if (rules_) ChangeAttribute(rules_->attributes.FindByKey(key), delta, true);
}

void SPlayer::ChangeSkill(u32 skill, i32 delta, bool report) {
  if (skill < 1 || skill > kPlayerSkills || skill == BarredSkill(race)) return;
  // Scripts may lower a skill below nothing or raise it past its field: it stays within 0..65535.
  const u16 before = skills[skill];
  skills[skill] = ClampU16(i64(before) + delta);
  if (report) {
    const char* n = rules_ ? rules_->skills.FullName(skill) : nullptr;
    messageText.Format("Your %s skill has been %s by %d.", n ? n : "", delta < 0 ? "decreased" : "increased",
                       int(Magnitude(i64(skills[skill]) - before)));
    Report(messageText.CStr());
  }
}

void SPlayer::ChangeSkillByName(const char* key, i32 delta) {
  const u32 skill = rules_ && key ? rules_->skills.FindByName(key) : 0;
  if (skill) ChangeSkill(skill, delta, true);
}

u32 SPlayer::RaiseAttribute(u32 attribute) {
  if (attribute < 1 || attribute > 5) return 0;
  --attributePoints;
  ++attributes[attribute];
  --attributeAllowance[attribute];
  return 1;
}

u32 SPlayer::RaiseSkill(u32 skill) {
  if (skill < 1 || skill > kPlayerSkills) return 0;
  u32 cost = 2;
  for (u8 major : majorSkills)
    if (major == skill) cost = 1;
  ++skills[skill];
  --skillAllowance[skill];
  skillPoints = u16(skillPoints - cost);
  return cost;
}

void SPlayer::PracticeSkill(u32 skill) {
  if (skill < 1 || skill > kPlayerSkills || skill == BarredSkill(race)) return;
  if (practice[skill] < 255) ++practice[skill];
}

void SPlayer::PracticeWeaponSkills() {
  const SItem* main = GetMainWeapon();
  const SItem* second = Equipped(6);
  auto practise = [this](const SItem* item) {
    u32 a = 0, b = 0;
    if (item && item->type) item->type->GetGoverningSkills(a, b);
    PracticeSkill(a);
    PracticeSkill(b);
  };
  practise(main);
  if (IsWeapon(second) && !IsMissileWeapon(main)) practise(second);
  if (IsWeapon(main) && IsWeapon(second)) PracticeSkill(4);
}

// ---- money, fame and crime

void SPlayer::GainMoney(i32 amount, bool report, bool found) {
  if (amount < 0) return;  // taking money is LoseMoney's
  money = Purse(money, u32(amount));
  if (report) {
    messageText.Format("You have %s %lu%c.", found ? "found" : "received", u32(amount), kCoin);
    Report(messageText.CStr());
  }
}

void SPlayer::LoseMoney(i32 amount, bool report) {
  if (amount < 0) return;  // giving money is GainMoney's
  money = u32(amount) < money ? money - u32(amount) : 0;
  if (report) {
    messageText.Format("You have lost %lu%c.", u32(amount), kCoin);
    Report(messageText.CStr());
  }
}

void SPlayer::ChangeFame(i32 delta) {
  const i64 f = i64(fame) + delta;
  fame = i16(f < -1000 ? -1000 : f > 1000 ? 1000 : f);
  messageText.Format("Your fame has been %s.", delta >= 0 ? "increased" : "decreased");
  Report(messageText.CStr());
}

void SPlayer::ChangeCrime(i32 delta) {
  const i64 c = i64(crime) + delta;
  crime = u32(c < 0 ? 0 : c > 1000 ? 1000 : c);
  if (delta > 0)
    Report("You have committed a crime.");
  else if (crime > 0)
    Report("Your criminal status has lessened.");
  else
    Report("Your crime records have been cleared.");
}

void SPlayer::ClearCrime() {
  if (crime == 0) return;
  crime = 0;
  Report("Your crime records have been cleared.");
}

// ---- diseases, abilities, quests, spells

void SPlayer::Infect(const char* key) {
  SDisease* d = rules_ && key ? rules_->diseases.FindByName(key) : nullptr;
  if (!d || diseases.IndexOf(d) >= 0 || !diseases.Add(d)) return;
  RecalculateDiseases();
  messageText.Format("You have been infected by %s.", DiseaseName(*d));
  Report(messageText.CStr());
}

void SPlayer::CureDisease(const char* key) {
  SDisease* d = rules_ && key ? rules_->diseases.FindByName(key) : nullptr;
  if (!d || diseases.IndexOf(d) < 0) return;
  diseases.Remove(d);
  RecalculateDiseases();
  messageText.Format("You have been cured of %s.", DiseaseName(*d));
  Report(messageText.CStr());
}

void SPlayer::TryInfect(const char* key) {
  if (!rules_ || !key || !rules_->diseases.FindByName(key)) return;
  const i32 roll = Roll(100);
  if (roll > GetDiseaseResistance() && roll > GetNamedDiseaseResistance(key)) Infect(key);
}

void SPlayer::AddAbility(const char* key, bool report) {
  SAbility* a = rules_ && key ? rules_->abilities.FindByName(key) : nullptr;
  if (!a || abilities.IndexOf(a) >= 0 || !abilities.Add(a)) return;
  RecalculateAbilities();
  if (report) {
    messageText.Format("You have gained the %s ability.", AbilityName(*a));
    Report(messageText.CStr());
  }
}

void SPlayer::RemoveAbility(const char* key) {
  SAbility* a = rules_ && key ? rules_->abilities.FindByName(key) : nullptr;
  if (!a || abilities.IndexOf(a) < 0) return;
  abilities.Remove(a);
  RecalculateAbilities();
  messageText.Format("You have lost the %s ability.", AbilityName(*a));
  Report(messageText.CStr());
}

void SPlayer::AddQuest(const char* key) {
  const SQuest* q = rules_ && key ? rules_->quests.FindByName(key) : nullptr;
  if (!q || HasQuest(key)) return;
  auto* state = new (std::nothrow) SQuestState;
  if (!state) return;
  state->name.Set(key);
  if (!state->name.Text() || !quests.Add(state)) {
    delete state;
    return;
  }
  messageText.Format("You have a new quest: %s.", QuestTitle(*q));
  Report(messageText.CStr());
}

void SPlayer::EndQuest(const char* key, bool solved) {
  const SQuest* q = rules_ && key ? rules_->quests.FindByName(key) : nullptr;
  SQuestState* state = FindQuest(key);
  if (!q || !state) return;
  state->state = solved ? 1 : 2;
  messageText.Format(solved ? "The %s quest has been solved." : "The %s quest has failed.", QuestTitle(*q));
  Report(messageText.CStr());
}

void SPlayer::RemoveQuest(const char* key) {
  SQuestState* state = FindQuest(key);
  if (!state) return;
  quests.Remove(state);
  delete state;
  // A quest of a world that no longer has it goes silently.
  if (const SQuest* q = rules_ ? rules_->quests.FindByName(key) : nullptr) {
    messageText.Format("The %s quest has been removed.", QuestTitle(*q));
    Report(messageText.CStr());
  }
}

void SPlayer::LearnSpell(const char* key, bool report) {
  SSpell* spell = rules_ && key ? rules_->spells.FindByName(key) : nullptr;
  if (!spell) return;
  if (!CanLearnSpellRecord(spell)) {
    if (report) {
      messageText.Format("You can't learn the %s spell.", SpellName(*spell));
      Report(messageText.CStr());
    }
    return;
  }
  if (KnowsSpellRecord(spell) || !AddKnownSpell(spell)) return;
  if (report) {
    messageText.Format("You have received the %s knowledge.", SpellName(*spell));
    Report(messageText.CStr());
  }
}

void SPlayer::ForgetSpell(const char* key) {
  SSpell* spell = rules_ && key ? rules_->spells.FindByName(key) : nullptr;
  if (!spell || !KnowsSpellRecord(spell)) return;
  knownSpells[spell->school].Remove(spell);
  messageText.Format("You have lost the %s knowledge.", SpellName(*spell));
  Report(messageText.CStr());
}

void SPlayer::TryCurse(i32 duration) {
  const i32 r = GetMagicResistance();
  const i64 d = i64(duration) - i64(duration) * r / 100;
  if (d < 1 || Roll(100) <= r) return;
  SetConditionEntry(27, kSourceCondition, nullptr, d > 255 ? 255 : i32(d));
}

// ---- equipment and inventory

void SPlayer::EquipItem(SItem* item, bool secondHand) {
  u32 slot = 0;
  if (item && item->type) {
    const SItemType& t = *item->type;
    switch (t.itemClass) {
      case kItemWeapon: slot = t.subtype == 11 || t.subtype == 13 ? 12 : secondHand ? 6 : 5; break;
      case kItemAccessory: slot = t.subtype == 2 ? (secondHand ? 9 : 8) : 3; break;
      case kItemHeavyArmor:
      case kItemLightArmor: {
        static const u8 kArmourSlot[9] = {0, 6, 10, 4, 1, 13, 11, 2, 7};  // by subtype 1..8
        slot = t.subtype <= 8 ? kArmourSlot[t.subtype] : 0;
        break;
      }
      default: break;
    }
  }
  if (slot) equipment[slot - 1] = item;
  RecalculateEquipment();
}

void SPlayer::EmptySlot(u32 slot) {
  if (slot >= 1 && slot <= kEquipmentSlots) equipment[slot - 1] = nullptr;
}

void SPlayer::UnequipItem(SItem* item) {
  EmptySlot(EquipmentSlotOf(item));
  RecalculateEquipment();
}

void SPlayer::UnequipAndRemoveItem(SItem* item) {
  if (!item) return;
  if (const u32 slot = EquipmentSlotOf(item)) {
    EmptySlot(slot);
    RecalculateEquipment();
  }
  inventory.RemoveItem(item);
}

void SPlayer::DiscardEmptyItem(SItem* item) {
  if (!item || item->count != 0) return;
  UnequipAndRemoveItem(item);
  delete item;  // with its own enchantment
}

SItem* SPlayer::AddItems(SItemType* type, i32 n) {
  if (!type || n < 1) return nullptr;
  if (type->itemClass == kItemMoney) {
    money = Purse(money, u64(type->value) * u32(n));
    return nullptr;
  }
  SItem* last = nullptr;
  for (i32 i = 0; i < n; ++i) {
    SItem* item = type->CreateInstance(-1, Random());
    if (!item || !inventory.AddItem(item)) {
      delete item;
      break;  // out of memory: what was added stays
    }
    last = item;
  }
  return last;
}

void SPlayer::RemoveItems(const SItemType* type, i32 n) {
  for (i32 i = 0; i < inventory.GetItemCount() && n > 0;) {
    SItem* item = inventory.GetItem(i);
    if (item->type != type) {
      ++i;
      continue;
    }
    UnequipAndRemoveItem(item);
    delete item;
    --n;
  }
}

void SPlayer::LoseItems(const char* key, i32 n) {
  if (n < 1 || CountItems(key) < u32(n) || !rules_ || !rules_->items) return;
  const SItemType* type = rules_->items->FindType(key);
  if (!type) return;
  RemoveItems(type, n);
  messageText.Assign("You have lost ");
  FormatItemName(type, u32(n), messageText);
  messageText.Append(".");
  Report(messageText.CStr());
}

void SPlayer::ConsumeFoodAndWater() {
  bool eaten[3] = {};  // by subtype: 1 food, 2 water
  for (i32 i = 0; i < inventory.GetItemCount();) {
    SItem* item = inventory.GetItem(i);
    const SItemType* t = item->type;
    if (t && MayEat(*t) && (t->subtype == 1 || t->subtype == 2) && !eaten[t->subtype]) {
      eaten[t->subtype] = true;
      UnequipAndRemoveItem(item);
      delete item;
      continue;
    }
    ++i;
  }
}

void SPlayer::PreloadInventoryPictures() {
  if (!rules_ || !rules_->images) return;
  for (SItem* item : inventory.items)
    if (item->type) item->type->LoadPicture(*rules_->images);
}

// ---- game events

void SPlayer::QueueCellMove(i32 x, i32 y) {
  if (game && game->stateGame) game->stateGame->QueueCellMove(x, y);
}

void SPlayer::QueueTravel(const char* textA, const char* textB) {
  if (game && game->stateGame) game->stateGame->QueueTravel(textA, textB);
}

void SPlayer::QueueStepBack() {
  if (game && game->stateGame) game->stateGame->QueueStepBack();
}

void SPlayer::QueueJail(const char* text) {
  if (game && game->stateGame) game->stateGame->QueueJail(text);
}

void SPlayer::QueueTurnTo(const char* direction) {
  u32 quarter = 0;
  switch (direction ? direction[0] : 0) {
    case 'w':
    case 'W': quarter = 1; break;
    case 's':
    case 'S': quarter = 2; break;
    case 'e':
    case 'E': quarter = 3; break;
    default: break;  // north, and any other word
  }
  if (game && game->stateGame) game->stateGame->QueueTurnTo(quarter);
}

void SPlayer::QueueMapTransition(const char* position, const char* prompt, const char* transition) {
  if (game && game->stateGame)
    game->stateGame->QueueMapTransition(position, prompt, TransitionKindFromName(transition), 0);
}

void SPlayer::QueueMapTransitionPlain(const char* position, const char* prompt) {
  if (game && game->stateGame) game->stateGame->QueueMapTransition(position, prompt, 0, 0);
}

void SPlayer::QueueTeleport(const char* position, const char* transition) {
  if (game && game->stateGame) game->stateGame->QueueTeleport(position, TransitionKindFromName(transition));
}

void SPlayer::QueueTeleportPlain(const char* position) {
  if (game && game->stateGame) game->stateGame->QueueTeleport(position, 0);
}
