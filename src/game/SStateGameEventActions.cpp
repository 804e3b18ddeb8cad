// The game state's event actions: resting, the prison and its sentence, potions, the magic book, lock
// picking, disarming and traps going off, bags, and services with their opening hours.
#include "core/SGameCore.h"
#include "core/ui/SDialogMessage.h"
#include "game/SMonster.h"
#include "game/SStateGame.h"
#include "graphics/SDraw2D.h"
#include "player/SPlayer.h"
#include "script/SDialogEntry.h"
#include "script/SScriptContext.h"
#include "world/SCharacterTables.h"
#include "world/SItemTable.h"
#include "world/SMapArea.h"
#include "world/SPeopleTables.h"
#include "world/SSoundTable.h"
#include "world/SSpell.h"
#include "world/SWorldModule.h"
#include "world/SWorldRules.h"
#include "world/kinds/SMapObjectDoor.h"

#include <algorithm>

namespace {

constexpr u16 kRestForbidden = 16, kMagicForbidden = 2;
constexpr u32 kCategoryFortifyHp = 3, kCategoryFortifyUnholy = 4, kCategoryFortifyMana = 5;
constexpr u8 kDoorClass = 20, kDoorClass2 = 22;
constexpr u32 kDisarmSkill = 19;

const char* const kTrapSpells[8] = {
    nullptr,           "base_spellfireball",    "base_spelllightningbolt", "base_spellharmundead", "base_spellplague",
    "base_spellwarrt", "base_spellpoisontouch", "base_spellcurse"};

u16 Saturate(i64 v) { return u16(std::clamp<i64>(v, 0, 65535)); }

}  // namespace

// ---- resting

void SStateGame::Rest() {
  if (!core || IsBusy()) return;
  SPlayer& player = core->player;
  const SMapArea* map = window.CurrentArea();
  if (map && (map->flags & kRestForbidden)) {
    QueueMessage("You cannot rest here.", SDialogMessage::kOk, nullptr);
  } else if (IsEnemyNear()) {
    QueueMessage("There are monsters around - you cannot rest here.", SDialogMessage::kOk, nullptr);
  } else if (player.GetPoisonStrength() != 0) {
    QueueMessage("You're poisoned - resting would be lethal.", SDialogMessage::kOk, nullptr);
  } else if (!player.HasFoodAndWater()) {
    QueueMessage(player.IsUndead()
                     ? "You need food and water to rest.\rAs an undead, you can eat rotten food and "
                       "drink even contaminated water."
                     : "You need food and water to rest.\rRotten food and contaminated water don't apply.",
                 SDialogMessage::kOk, nullptr);
  } else {
    QueueRestPrompt("Do you want to rest here?");
  }
}

void SStateGame::RestAfterYes() {
  if (!core) return;
  SPlayer& player = core->player;
  rest.Open(nullptr);
  OpenSubDialog(&rest, kResting);
  PassHours(8);
  player.ConsumeFoodAndWater();
  ChangeDayAndNight();
  const i32 maxHp = player.GetMaxHp();
  if (window.IsJoined() && rainIntensity != 0) {
    // The rain wakes the sleeper: half of what is missing comes back.
    rest.rained = 1;
    const i32 manaTop = player.GetAttribute(4) * 5 + player.SumEffects(kCategoryFortifyMana, 0, nullptr, nullptr);
    player.SetHp(Saturate(i64(player.hp) + (i64(maxHp) - player.hp) / 2), false);
    player.SetMana(Saturate(i64(player.mana) + (i64(manaTop) - player.mana) / 2), false);
  } else {
    const u32 fortify = player.IsUndead() ? kCategoryFortifyUnholy : kCategoryFortifyHp;
    const i64 least = i64(player.GetAttribute(3)) * 4 + player.SumEffects(fortify, 0, nullptr, nullptr);
    player.SetHp(Saturate(std::max<i64>(player.hp, least)), false);
    player.RestoreFullMana(false);
  }
}

// ---- the prison

void SStateGame::SendToJail(const char* text) {
  if (!core) return;
  SWorldModule* module = core->world.modules.current;
  SMapArea* current = window.CurrentArea();
  if (!module || !current) return;
  const bool named = text && *text;
  SString base(named ? text : current->name.Text());
  auto entryExists = [&](const char* name) {
    SString entry(name);
    entry.Append("_jailentry");
    SMapArea* holder = nullptr;
    return module->FindObjectByName(entry.CStr(), holder) != nullptr;
  };
  SString message;
  if (!entryExists(base.CStr())) {
    const SMapArea* found = nullptr;
    if (window.IsJoined()) {
      for (const auto& slot : window.slots) {
        if (slot.area && slot.area->name.Text() && entryExists(slot.area->name.Text())) {
          found = slot.area;
          break;
        }
      }
    }
    if (!found) {
      AppendToMessage("There's no prison nearby - you're free - at least for a while.", 1);
      return;
    }
    base.Assign(found->name.Text());
    message.Format("You're being transported to the prison of %s.", found->title ? found->title : found->name.Text());
  } else if (named) {
    const SMapArea* map = module->FindMap(text);
    if (map)
      message.Format("You're being transported to the prison of %s.", map->title ? map->title : map->name.Text());
    else
      message.Assign("You're being transported to a prison.");
  }
  if (!message.IsEmpty()) AppendToMessage(message.CStr(), 1);
  prisonMap.Assign(base.CStr());
  imprisoned = 1;
  sentenceBegan = window.minutes;
  SString entry(base.CStr());
  entry.Append("_jailentry");
  TeleportToPosition(entry.CStr(), 3);
}

void SStateGame::ServeSentence() {
  if (!core) return;
  imprisoned = 0;
  SPlayer& player = core->player;
  SString exit(prisonMap.CStr());
  exit.Append("exit");
  TeleportToPosition(exit.CStr(), 0);
  const u32 days = std::max<u32>(player.crime / 10, 1);
  PassHours(days * 24);
  const u32 losses = days < 10 ? 1 : days < 20 ? 2 : 3;
  SWorldRules& rules = core->world.rules;
  SRandom& random = Random();
  // Draws of attributes, then of skills: never one at 0, never the first drawn again. A draw is made only
  // while some candidate fits, so that a player with too few left loses fewer rather than hangs the game.
  auto draw = [&](u32 count, auto usable, u32* drawn) {
    u32 n = 0;
    for (u32 i = 0; i < losses; ++i) {
      auto fits = [&](u32 c) { return usable(c) && (i == 0 || c != drawn[0]); };
      bool any = false;
      for (u32 c = 1; c <= count && !any; ++c) any = fits(c);
      if (!any) break;
      u32 c = 0;
      do c = u32(random.Next(i32(count))) + 1;
      while (!fits(c));
      drawn[n++] = c;
    }
    return n;
  };
  u32 attributes[3] = {}, skills[3] = {};
  const u32 na = draw(
      kAttributeCount, [&](u32 a) { return player.attributes[a] != 0; }, attributes);
  const u32 barred = BarredSkill(player.Race());
  const u32 ns = draw(
      kPlayerSkills, [&](u32 s) { return s != barred && player.skills[s] != 0; }, skills);
  SString text("You have served your sentence. Your ");
  for (u32 i = 0; i < na; ++i) {
    u16& value = player.attributes[attributes[i]];
    if (value > 1) --value;
    const char* name = rules.attributes.Name(attributes[i]);
    text.FormatAppend(i + 1 < na ? "%s," : "%s ", name ? name : "");
  }
  for (u32 i = 0; i < ns; ++i) {
    --player.skills[skills[i]];
    const char* name = rules.skills.FullName(skills[i]);
    text.FormatAppend(i + 1 < ns ? "%s skill, " : "and %s skill ", name ? name : "");
  }
  text.Append("have been decreased.");
  QueueMessage(text.CStr(), SDialogMessage::kOk, "bsnd_click");
  if (player.crime != 0) {
    player.crime = 0;
    AppendToMessage("Your crime records have been cleared.", 1);
  }
}

// ---- potions and the magic book

void SStateGame::DrinkPotion() { DrinkPotionItem(potions.GetSelectedItem()); }

void SStateGame::DrinkPotionItem(SItem* potion) {
  if (!core) return;
  SPlayer& player = core->player;
  if (!potion || !potion->type || player.inventory.items.IndexOf(potion) < 0) return;
  if (potion->type->HasPermanentEffect(*potion)) {
    if (player.permanentPotionTaken != 0) {
      if (core->soundManager && core->clickSounds[1]) core->soundManager->PlaySound(core->clickSounds[1], 10);
      QueueMessage("You cannot drink more potions with permanent effects until your level advances.",
                   SDialogMessage::kOk, nullptr);
      return;
    }
    ++player.permanentPotionTaken;
  }
  core->world.sounds.PlayByName("bsnd_drink", 10);
  // A potion naming a spell in its effects shows that spell's picture in the hand.
  const SEffectList* list = potion->Enchantment();
  for (u32 i = 0; list && i < list->Count(); ++i) {
    const SEffect* e = list->Entry(i32(i));
    const SSpell* spell = e && e->name ? core->world.rules.spells.FindByName(e->name) : nullptr;
    SSpellEffect* picture =
        spell && spell->EffectPicture() ? core->world.rules.spellEffects.FindByName(spell->EffectPicture()) : nullptr;
    if (picture) {
      ShowDrinkPotion(picture, ResidentPalette(spell->EffectPalette()), spell->HitSound());
      break;
    }
  }
  player.ApplyItemEffects(potion);
  player.UnequipAndRemoveItem(potion);
  delete potion;
  ScanFightRange(false, window.playerX, window.playerY);
}

// ---- locks and traps

void SStateGame::DisarmTrap() {
  if (!core || !trappedInst) return;
  SPlayer& player = core->player;
  const i32 s =
      i32(player.SkillLevel(kDisarmSkill)) + player.SumEffects(kCategoryFortifySkill, kDisarmSkill, nullptr, nullptr);
  const i32 d = (u16(trappedInst->packed) >> 10) & 15;
  const i32 roll = s / 5 > 0 ? Random().Next(s / 5) : 0;
  if (s * 9 / 10 + roll > d * 10) {
    const u8 n = SMapWindow::TypeNumber(trappedType);
    SString text;
    text.Format("You have disarmed the %s.", n == kDoorClass || n == kDoorClass2 ? "door" : "object");
    AppendToMessage(text.CStr(), 1);
    core->world.sounds.PlayByName("bsnd_lockdisarmok", 10);
    trappedInst->packed = i16(u16(trappedInst->packed) & ~(15u << 10));
    if (trappedCell) trappedCell->cellFlags = u8(trappedCell->cellFlags & ~0x70);
    if (player.practice[kDisarmSkill] < 255) ++player.practice[kDisarmSkill];
    return;
  }
  core->world.sounds.PlayByName("bsnd_lockdisarmtry", 10);
  TriggerTrap();
}

void SStateGame::TriggerTrap() {
  if (!core || !trappedInst) return;
  const u32 kind = trappedCell ? (trappedCell->cellFlags >> 4) & 7 : 0;
  const i32 d = (u16(trappedInst->packed) >> 10) & 15;
  if (kTrapSpells[kind]) CastSpellByName(kTrapSpells[kind], kind == 2 ? d * 5 : d * 10);
}

void SStateGame::OpenTrappedDoor() {
  TriggerTrap();
  if (trappedType && SMapWindow::TypeNumber(trappedType) == kDoorClass && trappedInst)
    static_cast<SMapObjectDoor*>(trappedType)->StartOpening(trappedArea, trappedInst, window.playerX, window.playerY);
}

// ---- services

u32 SStateGame::EnterService(SMapObjectInst* object, const char* service, SMapArea* area, bool suppress) {
  const SNpc* person = core && service && *service ? core->world.rules.people.FindByName(service) : nullptr;
  if (!Answers(person)) {
    QueueMessage("No answer", 0, suppress ? "" : nullptr);
    return 0;
  }
  if (person->texts[3] && *person->texts[3]) {
    // The hours word: bit 2 open at night, bit 1 open by day.
    const bool night = IsNight();
    if (night && !(person->flag1 & 2)) {
      QueueMessage("It's closed in the night-time.", 0, suppress ? "" : nullptr);
      return 0;
    }
    if (!night && !(person->flag1 & 1)) {
      QueueMessage("It's closed in the day-time.", 0, suppress ? "" : nullptr);
      return 0;
    }
  }
  QueueService(service, area, object);
  return 1;
}

// ---- scenes

u32 SStateGame::EnterScene(const char* name) {
  SSceneTable* scenes = core ? &core->world.rules.scenes : nullptr;
  SScene* found = scenes && name && *name ? scenes->FindByName(name) : nullptr;
  const i32 at = found ? scenes->records.IndexOf(found) : -1;
  if (at < 0) return 0;
  params[0] = 1;
  params[1] = u32(at) + 1;
  params[2] = params[3] = 0;
  keep = 1;
  return u32(kStateScene);
}
