// The words for a monster's active effects that the target information lists under "Active effects:".
#pragma once
#include "foundation/SString.h"

class SMapArea;
class SWorldRules;

// Appends one line per effect of the monster with id `monsterId` in the area: "none\r" without any,
// else "\r" and the lines in order (kinds without words add none).
void FormatMonsterEffects(SWorldRules& rules, const SMapArea& area, u8 monsterId, SString& out);
