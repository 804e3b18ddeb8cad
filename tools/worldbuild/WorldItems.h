// The sample world's item table (data/sample/world/items.json), written into the base archive with its
// generated pictures, and checked after the archives are read back.
#pragma once
#include "BuildStep.h"
#include "WorldWriter.h"

class SItemTable;
class SMonsterTable;
class SWorldRules;
struct SIndexList;

namespace worldbuild {

// Adds the item block and the item pictures to the archive description; false (with faults reported) on bad sources.
bool BuildItemBlock(Context& ctx, WorldArchiveSpec& spec);
// After reading back: every picture record names a picture, the "D" list and the templates' carried
// items name existing types, the lists by level hold what the sources say, and no two types show a player
// the same name.
bool CheckItemTable(Context& ctx, SItemTable& items, SWorldRules& rules, const SIndexList& itemList,
                    SMonsterTable& monsters);

}  // namespace worldbuild
