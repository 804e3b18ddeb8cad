#include "world/SWorldRules.h"

#include "world/SWorldTable.h"

void SWorldRules::Register(SWorldTables& tables) {
  tables[kBlockAbilities] = &abilities;
  tables[kBlockAlchemy] = &alchemy;
  tables[kBlockDiseases] = &diseases;
  tables[kBlockPeople] = &people;
  tables[kBlockQuests] = &quests;
  tables[kBlockScenes] = &scenes;
  tables[kBlockSkies] = &skies;
  tables[kBlockSpellEffects] = &spellEffects;
  tables[kBlockSpells] = &spells;
  tables[kBlockInteriors] = &interiors;
  tables[kBlockRaces] = &races;
  tables[kBlockSkills] = &skills;
  tables[kBlockAttributes] = &attributes;
}

void SWorldRules::Unload() {
  // People and abilities point at spells and diseases only by name; order does not matter.
  for (SWorldTable* t :
       std::initializer_list<SWorldTable*>{&abilities, &alchemy, &diseases, &people, &quests, &scenes, &skies,
                                           &spellEffects, &spells, &interiors, &races, &skills, &attributes})
    t->Clear();
  effects.Fill();
  classes.Fill();
}

i32 SWorldRules::PlayerSkill(u32 skill) {
  if (!player) return 0;
  return i32(player->SkillLevel(skill)) + player->SumEffects(kCategoryFortifySkill, skill, nullptr, nullptr);
}
