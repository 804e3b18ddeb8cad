#include "script/SDialogConditions.h"

#include "core/SGameCore.h"
#include "game/SMonster.h"
#include "game/SStateGame.h"
#include "player/SPlayer.h"
#include "script/SDialogEntry.h"
#include "script/SScriptContext.h"
#include "world/SMapArea.h"
#include "world/SPeopleTables.h"
#include "world/SWorldModule.h"

#include <cstring>

namespace {

bool Same(const char* a, const char* b) { return a && b && std::strcmp(a, b) == 0; }

// The named map object of the current world and the monster bound to it (either may be none).
SMapObjectInst* NamedObject(SGameCore* game, const char* name, SMapMonster*& monster, SMapArea*& area) {
  monster = nullptr;
  area = nullptr;
  const SWorldModule* world = game ? game->world.modules.current : nullptr;
  if (!world || !name || !*name) return nullptr;
  return world->FindObjectAndMonster(name, monster, area);
}

}  // namespace

bool MeasureCondition(const SCondition& c, const SNpc* speaker, SGameCore* game, i32& v) {
  v = 0;
  if (c.kind < -1 || c.kind > 60 || c.kind == -1 || c.kind == 1 || c.kind == 5) return false;
  if (c.kind == 0) return true;
  SPlayer* player = game ? &game->player : nullptr;
  SScriptContext* context = game ? game->scriptContext : nullptr;
  SStateGame* state = game ? game->stateGame : nullptr;
  const char* text = c.text;
  auto flag = [&](bool b) { v = b ? 1 : 0; };
  // Kinds of the player need a player; those of the context a context.
  switch (c.kind) {
    case 2: v = context ? context->lastAnswer : 0; return true;
    case 17: flag(player && speaker && player->IsRace(speaker->race)); return true;
    case 29: v = speaker ? i32(speaker->runWord) : 0; return true;
    case 30: v = context ? context->Random(100) : 0; return true;
    case 31: v = state ? state->GetWeatherValue() : 0; return true;
    case 32: v = state ? state->GetRainIntensity() : 0; return true;
    case 33: v = context ? i32(context->GetHour()) : 0; return true;
    case 34: v = context ? i32(context->GetDay()) : 0; return true;
    case 35: v = context ? i32(context->HoursSinceGlobal(text)) : 0; return true;
    case 36: v = context ? i32(context->DaysSinceGlobal(text)) : 0; return true;
    case 37: flag(context && context->IsDaylight()); return true;
    case 38: flag(context && context->IsNight()); return true;
    case 39: v = context && text ? context->GetGlobalValue(text) : 0; return true;
    case 45: flag(context && context->IsCurrentMap(text)); return true;
    case 46: flag(context && context->IsCurrentWorld(text)); return true;
    case 51: flag(context && (!context->chosenText.CStr() || !*context->chosenText.CStr())); return true;
    case 52: v = context && context->thisObject ? context->thisObject->state : 0; return true;
    case 54: {
      SMapMonster* m = context ? context->thisMonster : nullptr;
      flag(m && context->thisArea && context->thisArea->IsAggressive(*m));
      return true;
    }
    case 55: flag(context && context->IsThisMonsterParalyzed()); return true;
    case 56: flag(context && context->ThisMonsterHasAnyEffect()); return true;
    case 57: flag(context && context->IsThisMonsterCursed()); return true;
    case 58: flag(context && context->IsThisMonsterPoisoned()); return true;
    case 59: {
      const SMonster* m = context && context->thisMonster ? context->thisMonster->monster : nullptr;
      flag(m && Same(m->baseTypeName, text));
      return true;
    }
    case 60: {
      const SMonster* m = context && context->thisMonster ? context->thisMonster->monster : nullptr;
      flag(m && Same(m->name.Text(), text));
      return true;
    }
    case 20: flag(context && text && context->MonsterHasAnyEffect(text)); return true;
    case 22: flag(context && text && context->IsMonsterPoisoned(text)); return true;
    case 48: flag(context && text && context->IsMonsterParalyzed(text)); return true;
    case 50: flag(context && text && context->IsMonsterCursed(text)); return true;
    case 28:
    case 40:
    case 41: {
      SMapMonster* monster = nullptr;
      SMapArea* area = nullptr;
      const SMapObjectInst* object = NamedObject(game, text, monster, area);
      if (c.kind == 28) v = object ? object->state : 0;
      if (c.kind == 40) flag(object && object->monsterPlaceholder && (object->state & 2));
      if (c.kind == 41) flag(monster && area && area->IsAggressive(*monster));
      return true;
    }
    case 27: return true;
    default: break;
  }
  if (!player) return true;
  switch (c.kind) {
    case 3: v = i32(player->GetCrime() > 0x7FFFFFFF ? 0x7FFFFFFF : player->GetCrime()); break;
    case 4: flag(player->CanPayFine()); break;
    case 6: flag(player->IsFameNonNegative()); break;
    case 7: flag(player->IsFameNegative()); break;
    case 8: v = player->GetFame(); break;
    case 9: v = player->GetOutfitScoreOnly(); break;
    case 10: v = player->GetHealthPercent(); break;
    case 11: v = i32(player->GetLevel()); break;
    case 12: flag(player->IsRace(c.parameter)); break;
    case 13: v = player->GetArmorClassPlain(); break;
    // Attributes exist for 1..5 and skills for 1..20: the player measures 0 for any other number.
    case 14: v = c.parameter >= 1 && c.parameter <= 5 ? player->GetAttribute(c.parameter) : 0; break;
    case 15: v = c.parameter >= 1 && c.parameter <= kPlayerSkills ? player->GetSkill(c.parameter) : 0; break;
    case 16: flag(player->IsRace(1)); break;
    case 18: v = text ? i32(player->CountItems(text)) : 0; break;
    case 19: flag(player->HasDisease(text)); break;
    case 21: v = player->GetPoisonStrength(); break;
    case 23: flag(text && player->KnowsSpell(text)); break;
    case 24: flag(player->HasRestorableXp()); break;
    case 25: flag(player->HasMoney(ConditionAmount(c.parameter))); break;
    case 26: flag(text && player->HasAbility(text)); break;
    case 42: flag(text && player->HasQuest(text)); break;
    case 43: flag(text && player->IsQuestSolved(text)); break;
    case 44: flag(text && player->IsQuestFailed(text)); break;
    case 47: flag(player->IsParalyzed()); break;
    case 49: flag(player->IsCursed()); break;
    case 53: v = i32(player->GetSex()); break;
    default: break;
  }
  return true;
}

bool EvaluateCondition(const SCondition& c, const SNpc* speaker, SGameCore* game) {
  i32 v = 0;
  if (!MeasureCondition(c, speaker, game, v)) return false;
  if (c.kind == 0) return true;
  switch (c.op) {
    case 1: return v == c.value;
    case 2: return v != c.value;
    case 3: return v > c.value;
    case 4: return v >= c.value;
    case 5: return v < c.value;
    case 6: return v <= c.value;
    default: return false;
  }
}

bool EvaluateOptionalCondition(const SCondition* c, const SNpc* speaker, SGameCore* game) {
  return !c || EvaluateCondition(*c, speaker, game);
}

bool EvaluateConditionSet(const SCondition* const conditions[5], const SNpc* speaker, SGameCore* game) {
  bool testsAnswer = false;
  for (u32 i = 0; i < 5; ++i) {
    const SCondition* c = conditions[i];
    if (!c) continue;
    if (!EvaluateCondition(*c, speaker, game)) return false;
    if (c->kind == 2) testsAnswer = true;
  }
  if (testsAnswer) return true;
  const SScriptContext* context = game ? game->scriptContext : nullptr;
  return !context || context->lastAnswer == 0;
}

SDialogEntry* FindNextEntryWhoseConditionsHold(const SDialogEntryList* list, const SNpc* speaker,
                                               const SDialogEntry* after, SGameCore* game) {
  if (!list) return nullptr;
  u32 start = 0;
  if (after) {
    const i32 at = list->entries.IndexOf(const_cast<SDialogEntry*>(after));
    start = at < 0 ? 0 : u32(at) + 1;
  } else if (!EvaluateOptionalCondition(list->condition, speaker, game)) {
    return nullptr;
  }
  for (u32 i = start; i < list->entries.Count(); ++i) {
    SDialogEntry* e = list->entries[i32(i)];
    if (e && EvaluateConditionSet(e->conditions, speaker, game)) return e;
  }
  return nullptr;
}

u32 SelectChoicesWhoseConditionHolds(const SDialogEntry& entry, SChoice* out[4], const SNpc* speaker, SGameCore* game) {
  u32 shown = 0;
  for (u32 i = 0; i < 4; ++i) {
    SChoice* c = entry.choices[i];
    out[i] = c && EvaluateOptionalCondition(c->condition, speaker, game) ? c : nullptr;
    if (out[i]) ++shown;
  }
  return shown;
}
