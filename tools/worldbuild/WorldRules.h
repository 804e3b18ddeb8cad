// The rule tables' blocks of the sample world's base archive, from data/sample/world/rules.json, and the
// checks of the loaded tables against each other.
#pragma once
#include "BuildStep.h"
#include "WorldWriter.h"

class SWorldRules;

namespace worldbuild {

// Adds the blocks of abilities, alchemy, diseases, people, quests, scenes, skies, spell effects, spells,
// interiors, races, skills and attributes to the archive description.
bool BuildRuleBlocks(Context& ctx, WorldArchiveSpec& spec);
// The scene block of another archive's source file ("scenes": names and list, as in rules.json).
bool BuildSceneBlock(Context& ctx, const char* file, WorldArchiveSpec& spec);
// Names the loaded tables must resolve: race abilities, spells of abilities, diseases of spells, the
// start-kit spells, sky and spell-effect pictures, interior pictures and the palettes spell effects use.
bool CheckRuleTables(Context& ctx, SWorldRules& rules);
// Whether the person of that name answers when talked to: a conversation to hold or a place of business to
// enter. The game says "No answer" to anyone else.
bool PersonAnswers(SWorldRules& rules, const char* name);

}  // namespace worldbuild
