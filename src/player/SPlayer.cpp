// The player record: construction, the experience table, the new-game reset, and the queries.
#include "player/SPlayer.h"

#include "core/SGameCore.h"
#include "foundation/StrUtil.h"
#include "game/SStateGame.h"
#include "world/SItemTable.h"
#include "world/SWorldModule.h"
#include "world/SWorldRules.h"

SPlayer::SPlayer() {
  for (auto& list : knownSpells) list.SetOwns(false);
  BuildXpTable();
  nextLevelXp = xpTable[level + 1];
  static const u8 kKinds[][2] = {{1, 1},   {2, 2},   {5, 3},   {8, 4},   {10, 5},  {11, 6},  {15, 7},  {16, 8},
                                 {17, 9},  {20, 10}, {22, 11}, {33, 12}, {34, 13}, {35, 14}, {36, 15}, {38, 16},
                                 {39, 17}, {42, 18}, {57, 19}, {58, 20}, {28, 21}, {27, 22}, {26, 23}};
  for (const auto& k : kKinds) categoryOfKind[k[0]] = k[1];
}

SPlayer::~SPlayer() {
  if (rules_ && rules_->player == this) rules_->player = nullptr;
  // The inventory deletes the items; the slots only point at them.
  for (SItem*& slot : equipment) slot = nullptr;
}

void SPlayer::Attach(SGameCore* core) {
  game = core;
  header.state = 17;
  AttachRules(core ? &core->world.rules : nullptr);
}

void SPlayer::AttachRules(SWorldRules* rules) {
  if (rules_ && rules_ != rules && rules_->player == this) rules_->player = nullptr;
  rules_ = rules;
  if (rules_) rules_->player = this;
}

void SPlayer::BuildXpTable() {
  static const u32 kFirst[31] = {0,       0,       400,     900,     1500,    2500,    4000,    7000,
                                 11000,   17000,   25000,   40000,   60000,   90000,   130000,  180000,
                                 240000,  320000,  420000,  570000,  730000,  920000,  1150000, 1410000,
                                 1700000, 2020000, 2370000, 2750000, 3170000, 3630000, 4130000};
  for (u32 l = 0; l <= 30; ++l) xpTable[l] = kFirst[l];
  u32 v = 4570000, step = 580000, increment = 40000;
  for (u32 l = 31; l <= kMaxLevel; ++l) {
    xpTable[l] = v;
    v += step;
    step += increment;
    if (l % 10 == 0) increment += 20000;
  }
}

void SPlayer::ResetForNewGame() {
  // Only the game's own world starts a character this way; an additional world's start is its own.
  const SWorldModule* world = game ? game->world.modules.current : nullptr;
  if (!world || !world->resourcePrefix.Equals("base_")) return;
  name.Assign("Player");
  sex = 1;
  hp = 100;
  mana = 100;
  level = 1;
  xp = peakXp = restorableXp = 0;
  BuildXpTable();
  nextLevelXp = xpTable[2];
  money = 100;
  permanentPotionTaken = 0;
  for (u32 a = 0; a <= 5; ++a) {
    attributes[a] = 15;
    attributeAllowance[a] = 0;
  }
  attributePoints = 0;
  for (u32 i = 0; i < 6; ++i) majorSkills[i] = u8(i + 1);
  for (u32 i = 0; i < 14; ++i) minorSkills[i] = u8(i + 7);
  skillPoints = 0;
  for (u32 s = 0; s <= kPlayerSkills; ++s) {
    skills[s] = 10;
    practice[s] = 0;
    skillAllowance[s] = 0;
  }
  fame = 0;
  race = 2;
  crime = 0;
  abilities.Clear();  // the records belong to the world
  diseases.Clear();
  quests.DeleteAll();
  for (SItem*& slot : equipment) slot = nullptr;
  inventory.DeleteAllItems();
  itemsRead.Clear();
  markedPositions.DeleteAll();
  ClearEffects();
  ClearKnownSpells();
  portrait.Assign("bres_head34");
}

void SPlayer::GrowMarkedPositions() {
  const i32 a4 = GetAttributeEffective(4);
  const i32 wanted = a4 / 5 > 1 ? a4 / 5 : 1;
  while (markedPositions.Count() < wanted) {
    auto* p = new (std::nothrow) SMarkedPosition;
    if (!p || !markedPositions.Add(p)) {
      delete p;
      return;
    }
  }
}

void SPlayer::SetMarkedPosition(u32 n, const SWorldModule* world, const SMapArea* map, u8 column, u8 row, u8 facing) {
  SMarkedPosition* p = markedPositions.At(i32(n));
  if (!p) return;
  p->worldName.Assign(world ? world->name.CStr() : "");
  p->worldTitle.Assign(world ? world->firstText.CStr() : "");
  p->mapName.Assign(map && map->name.Text() ? map->name.Text() : "");
  p->mapTitle.Assign(map && map->title ? map->title : "");
  p->column = column;
  p->row = row;
  p->facing = facing;
}

void SPlayer::ClearKnownSpells() {
  for (u32 s = 1; s <= 6; ++s) knownSpells[s].Clear();
}

void SPlayer::UseCharge(SItem* item) {
  if (item && item->count) --item->count;
}

const char* SPlayer::GetRaceName() const {
  const SRaceRow* row = rules_ ? rules_->races.Row(race) : nullptr;
  return row && row->name.CStr() ? row->name.CStr() : "";
}

const char* SPlayer::GetRaceKey() const {
  const SRaceRow* row = rules_ ? rules_->races.Row(race) : nullptr;
  return row && row->id.Text() ? row->id.Text() : "";
}

SItem* SPlayer::GetSecondaryWeapon() const {
  const SItem* main = GetMainWeapon();
  if (main && main->type && main->type->itemClass == kItemWeapon &&
      (main->type->subtype == 9 || main->type->subtype == 10 || main->type->subtype == 12))
    return Equipped(12);
  SItem* second = Equipped(6);
  return second && second->type && second->type->itemClass == kItemWeapon ? second : nullptr;
}

u32 SPlayer::EquipmentSlotOf(const SItem* item) const {
  if (!item) return 0;
  for (u32 slot = 1; slot <= kEquipmentSlots; ++slot)
    if (Equipped(slot) == item) return slot;
  return 0;
}

u32 SPlayer::CountItems(const char* typeName) const {
  if (!typeName) return 0;
  u32 n = 0;
  for (const SItem* item : inventory.items)
    if (item->type && item->type->name.Equals(typeName)) ++n;
  return n;
}

u32 SPlayer::GetInventoryWeight() const {
  u32 w = 0;
  for (const SItem* item : inventory.items)
    if (item->type) w += item->type->weight;
  return w;
}

bool SPlayer::HasQuiver() const {
  for (const SItem* item : inventory.items)
    if (item->type && item->type->itemClass == kItemKey && item->type->subtype == 2) return true;
  return false;
}

bool SPlayer::MayEat(const SItemType& type) const {
  // Food and drink marked for the undead race (flag 8) are for it alone.
  return type.itemClass == kItemComestible && (!(type.flags & 8) || race == kUndeadRace);
}

bool SPlayer::HasFoodAndWater() const {
  bool food = false, water = false;
  for (const SItem* item : inventory.items) {
    const SItemType* t = item->type;
    if (!t || !MayEat(*t)) continue;
    food = food || t->subtype == 1;
    water = water || t->subtype == 2;
  }
  return food && water;
}

bool SPlayer::HasEnchantableItem() const {
  for (const SItem* item : inventory.items) {
    const SItemType* t = item->type;
    if (!t || item->enchantments || t->enchantment || t->enchantCapacity == 0) continue;
    if ((t->itemClass >= kItemWeapon && t->itemClass <= kItemAccessory) ||
        (t->itemClass == kItemMagic && (t->subtype == 3 || t->subtype == 5)))
      return true;
  }
  return false;
}

bool SPlayer::MeetsItemAlignment(const SItemType* type) const {
  if (!type || type->itemClass < kItemWeapon || type->itemClass > kItemAccessory) return false;
  if (type->alignment == 1) return fame >= 0;
  if (type->alignment == 2) return fame < 0;
  return true;
}

SQuestState* SPlayer::FindQuest(const char* key) const { return key ? quests.FindByName(key) : nullptr; }

bool SPlayer::IsQuestSolved(const char* key) const {
  const SQuestState* q = FindQuest(key);
  return q && (q->state & 1);
}

bool SPlayer::IsQuestFailed(const char* key) const {
  const SQuestState* q = FindQuest(key);
  return q && (q->state & 2);
}

bool SPlayer::HasAbility(const char* key) const { return key && abilities.FindByName(key); }

bool SPlayer::HasDisease(const char* key) const {
  if (!key || !*key) return !diseases.IsEmpty();
  return diseases.FindByName(key) != nullptr;
}

void SPlayer::GetFirstDiseaseName(SString& out) const {
  const SDisease* d = diseases.At(0);
  out.Assign(d ? (d->text ? d->text : d->name.Text()) : "");
}

bool SPlayer::HasReadItem(const char* text) const { return text && itemsRead.FindText(text) >= 0; }

void SPlayer::AddReadItemName(const char* text) {
  if (text && !HasReadItem(text)) itemsRead.AddText(text);
}

bool SPlayer::KnowsSpellRecord(const SSpell* spell) const {
  if (!spell || spell->school >= kPlayerSchools) return false;
  return knownSpells[spell->school].IndexOf(spell) >= 0;
}

bool SPlayer::KnowsSpell(const char* key) const { return rules_ && KnowsSpellRecord(rules_->spells.FindByName(key)); }

bool SPlayer::CanLearnSpell(const char* key) const {
  return rules_ && CanLearnSpellRecord(rules_->spells.FindByName(key));
}

bool SPlayer::CanLearnSpellRecord(const SSpell* spell) const {
  if (!spell) return false;
  return spell->school != (race == kUndeadRace ? 1 : 5);
}

bool SPlayer::AddKnownSpell(SSpell* spell) {
  // A school outside 1..7 has no list: such a spell cannot be learned.
  if (!spell || spell->school < 1 || spell->school > 7 || KnowsSpellRecord(spell)) return false;
  return knownSpells[spell->school].Add(spell);
}

bool SPlayer::KnowsAnySpell() const {
  for (u32 s = 1; s <= 6; ++s)
    if (!knownSpells[s].IsEmpty()) return true;
  return false;
}

bool SPlayer::HasMarkedPosition() const {
  for (const SMarkedPosition* p : markedPositions)
    if (p->IsHeld()) return true;
  return false;
}

namespace {
// A joined (outdoor) map's own cell (0, 0) is window cell (7, 7).
i32 MapOffset(const SStateGame& state) {
  const SMapArea* map = state.window.CurrentArea();
  return map && map->IsOutdoor() ? 7 : 0;
}
}  // namespace

u32 SPlayer::GetMapX() const {
  const SStateGame* state = game ? game->stateGame : nullptr;
  return state ? u32(state->window.playerX - MapOffset(*state)) & 0xFF : 0;
}

u32 SPlayer::GetMapY() const {
  const SStateGame* state = game ? game->stateGame : nullptr;
  return state ? u32(state->window.playerY - MapOffset(*state)) & 0xFF : 0;
}

i32 SPlayer::Roll(i32 n) { return Random().Next(n); }

SRandom& SPlayer::Random() { return game && game->random ? *game->random : fallbackRandom_; }
