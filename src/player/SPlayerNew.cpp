// The new character: the choices of the new-player screen turned into a ready player with the race's
// ability, attributes and skills, money, potions, provisions, a kit chosen by the major skills with its
// fitting pieces equipped, the known spells of the books, the race's start time and start position.
#include "core/SGameCore.h"
#include "player/SPlayer.h"
#include "screens/SStateGenerate.h"
#include "script/SScriptContext.h"
#include "world/SCharacterTables.h"
#include "world/SItemTable.h"
#include "world/SSpell.h"
#include "world/SWorldExtras.h"
#include "world/SWorldRules.h"

#include <vector>

namespace {

// By race 1..5: the word of its resource names, its start time and its money.
struct SRaceStart {
  const char* word;
  const char* time;
  u32 money;
};
constexpr SRaceStart kRaceStarts[6] = {{"", "3pm", 500},         {"rasvim", "2am", 500}, {"etherim", "3pm", 500},
                                       {"seiry", "1130pm", 600}, {"derth", "3pm", 500},  {"nogur", "3pm", 500}};

// The slot a kit item is equipped to by its class and subtype; 0 for none.
u32 KitSlot(const SItemType* t) {
  if (!t) return 0;
  switch (t->itemClass) {
    case kItemWeapon: return t->subtype == 11 || t->subtype == 13 ? 12 : 5;
    case kItemHeavyArmor:
    case kItemLightArmor: {
      static const u8 kArmourSlot[9] = {0, 6, 10, 4, 1, 13, 11, 2, 7};  // by subtype 1..8
      return t->subtype >= 1 && t->subtype <= 8 ? kArmourSlot[t->subtype] : 0;
    }
    case kItemAccessory: return t->subtype == 2 ? 8 : 3;
    default: return 0;
  }
}

}  // namespace

SItem* SPlayer::GiveKitItem(const char* typeName, u32 count) {
  SItemType* type = rules_ && rules_->items ? rules_->items->FindType(typeName) : nullptr;
  // An item type the world does not have is passed over; money goes to the purse.
  return type ? AddItems(type, i32(count)) : nullptr;
}

void SPlayer::GiveProvisions() {
  if (!rules_ || !rules_->items) return;
  std::vector<SItemType*> list;
  for (SItemType* t : rules_->items->types)
    if (t && t->itemClass == kItemComestible) list.push_back(t);
  const bool undead = race == kUndeadRace;
  auto usable = [undead](const SItemType* t) { return undead == ((t->flags & 8) != 0); };
  // A kind the list has no usable entry of is never drawn for: the draw always ends.
  bool foodLeft = false, drinkLeft = false;
  for (const SItemType* t : list)
    if (usable(t)) (t->subtype == 1 ? foodLeft : drinkLeft) = true;
  while (foodLeft || drinkLeft) {
    SItemType* t = list[size_t(Roll(i32(list.size())))];
    if (!usable(t)) continue;
    bool& wanted = t->subtype == 1 ? foodLeft : drinkLeft;
    if (!wanted) continue;  // a second food or drink is drawn again
    wanted = false;
    AddItems(t, 4);
  }
}

void SPlayer::GiveStartingKit(const SNewPlayer& record) {
  race = record.race >= 1 && record.race <= 5 ? record.race : 2;
  name.Assign(record.name.CStr() ? record.name.CStr() : "");
  portrait.Assign(record.portrait.CStr() ? record.portrait.CStr() : "");
  sex = record.sex ? 1 : 0;
  const bool undead = race == kUndeadRace;
  const SRaceStart& start = kRaceStarts[race];

  if (rules_) {
    SAbility* ability = rules_->abilities.FindByName(rules_->races.AbilityName(race));
    if (ability && abilities.IndexOf(ability) < 0 && abilities.Add(ability)) RecalculateAbilities();
  }
  SString typeName;
  typeName.Format("base_race_%s_book", start.word);
  GiveKitItem(typeName.CStr());
  typeName.Format("base_race_%s_start", start.word);
  GiveKitItem(typeName.CStr());
  GiveKitItem(undead ? "base_punholysmall" : "base_phealsmall", 2);
  GiveKitItem("base_pmanasmall");
  GiveProvisions();

  money = start.money;
  permanentPotionTaken = 0;
  for (u32 a = 1; a <= 5; ++a) attributes[a] = 15;
  RecalculateAbilities();
  auto pool = [](i64 v) { return u16(v < 1 ? 1 : v > 0xFFFF ? 0xFFFF : v); };
  hp = pool(i64(attributes[3]) * 4 + SumEffects(undead ? 4 : 3, 0, nullptr, nullptr));
  mana = pool(i64(attributes[4]) * 5 + SumEffects(5, 0, nullptr, nullptr));

  bool major[kPlayerSkills + 1] = {};
  for (u32 i = 0; i < 6; ++i) {
    const u32 id = record.majorSkills[i];
    majorSkills[i] = u8(id <= kPlayerSkills ? id : 0);
    if (id < 1 || id > kPlayerSkills) continue;
    major[id] = true;
    skills[id] = u16(15 + Roll(5));
  }

  // The kit. Remembered for equipping: weapon, second item, ammunition, armour, boots, cloak.
  SItem *weapon = nullptr, *second = nullptr, *ammunition = nullptr, *armour = nullptr, *boots = nullptr,
        *cloak = nullptr;
  auto remember = [](SItem*& role, SItem* item) {
    if (item) role = item;
  };
  auto learn = [this](const char* spellName) {
    SSpell* spell = rules_ ? rules_->spells.FindByName(spellName) : nullptr;
    if (spell && CanLearnSpellRecord(spell)) AddKnownSpell(spell);
  };
  static const struct {
    const char* book;
    const char* spell;
  } kBooks[6] = {
      {"base_spbookcurelightwounds", "base_spellcurelightwounds"}, {"base_spbookstoneskin", "base_spellstoneskin"},
      {"base_spbookburninghand", "base_spellburninghand"},         {"base_spbookcurse", "base_spellcurse"},
      {"base_spbookdrainhealth", "base_spelldrainhealth"},         {"base_spbookfeather", "base_spellfeather"}};
  remember(boots, GiveKitItem("base_boots_fur"));
  if (!major[1] && !major[4]) remember(second, GiveKitItem("base_shield_smallwooden"));
  for (u32 i = 0; i < 6; ++i) {
    const u32 skill = majorSkills[i];
    switch (skill) {
      case 1: {
        SItem* shield = GiveKitItem("base_shield_woodenround");
        if (!major[4] && !major[7]) remember(second, shield);
        break;
      }
      case 2: {
        SItem* sword = GiveKitItem("base_weap_shortswordcheap");
        if (major[4])
          remember(second, sword);
        else if (!major[3])
          remember(weapon, sword);
        break;
      }
      case 3: remember(weapon, GiveKitItem("base_weap_greatcudgel2")); break;
      case 4:
        if (!major[2]) remember(second, GiveKitItem("base_weap_dirkcheap"));
        if (!major[3]) remember(weapon, GiveKitItem("base_weap_greatcudgel2"));
        break;
      case 5: {
        SItem* mail = GiveKitItem("base_mail_frayedleather");
        if (!major[6]) remember(armour, mail);
        break;
      }
      case 6: remember(armour, GiveKitItem("base_mail_scalecheap")); break;
      case 7: {
        SItem* bow = GiveKitItem("base_weap_shortbowcheap");
        if (!major[4]) remember(weapon, bow);
        remember(ammunition, GiveKitItem("base_quiver_cheap"));
        break;
      }
      case 8:
      case 9:
      case 10:
      case 11:
      case 12:
      case 13:
        GiveKitItem(kBooks[skill - 8].book);
        learn(kBooks[skill - 8].spell);
        break;
      case 14: GiveKitItem("base_repair_hammerapprentice", 2); break;
      case 15:
        GiveKitItem("base_money_100");
        GiveKitItem("base_gem_amethyst");
        break;
      case 16:
        for (const char* n :
             {"base_alc_mortarbeginner", "base_alc_alkieberries", "base_alc_criminivulgaris", "base_alc_ladyslipper",
              "base_alc_moonshinemushies", "base_alc_powerberries", "base_alc_purplefairyring"})
          GiveKitItem(n);
        break;
      case 17: GiveKitItem("base_money_100"); break;
      case 18: GiveKitItem("base_key_lockpickbeginner"); break;
      case 19: GiveKitItem("base_scrdisarm"); break;
      case 20: remember(cloak, GiveKitItem("base_robe_clothcape")); break;
      default: break;
    }
  }
  // A later item for the same slot takes it; both stay carried.
  for (SItem* item : {weapon, second, ammunition, armour, boots, cloak}) {
    const u32 slot = item ? KitSlot(item->type) : 0;
    if (!slot) continue;
    equipment[slot - 1] = item;
    RecalculateEquipment();
  }

  u32 next = 0;
  for (u32 id = 1; id <= kPlayerSkills && next < 14; ++id) {
    if (major[id]) continue;
    minorSkills[next++] = u8(id);
    skills[id] = u16(10 + Roll(5));
  }

  if (game && game->scriptContext) game->scriptContext->PassTimeTo(start.time);
  startPosition.Format("base_startgame%s", start.word);
}
