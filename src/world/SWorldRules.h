// The world's rule tables together, with what they ask of the running game: effects, spells and spell
// effects, attributes, skills, races and classes, interiors, alchemy recipes, abilities, people, scenes,
// quests, diseases and sky types. The tables read from a world base register for their blocks; the
// operations that need the player or the game take this object.
#pragma once
#include "world/SCharacterTables.h"
#include "world/SEffect.h"
#include "world/SPeopleTables.h"
#include "world/SRulesContext.h"
#include "world/SSkyTypeTable.h"
#include "world/SSpell.h"
#include "world/SWorldExtras.h"

class SImageCache;
class SItemTable;
struct SWorldTables;

class SWorldRules {
 public:
  SWorldRules() = default;
  SWorldRules(const SWorldRules&) = delete;
  SWorldRules& operator=(const SWorldRules&) = delete;

  // Puts every table that reads a block of the world base into `tables`.
  void Register(SWorldTables& tables);
  // Forgets everything a world brought and restores the code-made rows.
  void Unload();

  SGameHooks& Hooks() { return hooks ? *hooks : defaultHooks_; }
  // The player's alchemy skill with its fortify effects (0 without a player).
  i32 PlayerSkill(u32 skill);

  SPlayerAccess* player = nullptr;
  SGameHooks* hooks = nullptr;
  SImageCache* images = nullptr;
  SItemTable* items = nullptr;  // potions and shop stock are item types

  SEffectTable effects;
  SSpellTable spells;
  SSpellEffectTable spellEffects;
  SAttributeTable attributes;
  SSkillTable skills;
  SRaceTable races;
  SClassTable classes;
  SInteriorTable interiors;
  SAlchemyTable alchemy;
  SAbilityTable abilities;
  SNpcTable people;
  SSceneTable scenes;
  SQuestTable quests;
  SDiseaseTable diseases;
  SSkyTypeTable skies;

 private:
  SGameHooks defaultHooks_;
};
