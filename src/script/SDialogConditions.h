// Choosing what a person says: the conditions of dialog entries, choices and lists measured against the
// player, the speaker, the script context and the world, and the searches over a list's entries.
#pragma once
#include "os/Types.h"

struct SCondition;
struct SChoice;
struct SDialogEntry;
struct SDialogEntryList;
class SGameCore;
class SNpc;

// Money a condition of kind 25 asks for, by its parameter byte: parameter x 100 gold.
inline u32 ConditionAmount(u8 parameter) { return u32(parameter) * 100; }

// The measured number of the condition's kind; false for the kinds that are always false (-1, 1, 5 and
// anything outside -1..60). Whatever is missing (the speaker, the current monster, a named object or
// monster, a game core) measures 0.
bool MeasureCondition(const SCondition& condition, const SNpc* speaker, SGameCore* game, i32& measured);
// The measured number compared with the condition's value by its operator (1 "==" .. 6 "<="); any other
// operator is false. Kind 0 holds whatever its operator.
bool EvaluateCondition(const SCondition& condition, const SNpc* speaker, SGameCore* game);
// True for an empty slot.
bool EvaluateOptionalCondition(const SCondition* condition, const SNpc* speaker, SGameCore* game);
// The five slots of an entry: false as soon as one present condition fails; when all hold, true if one
// of them measures the last answer (kind 2), else only while no answer is pending (last answer 0).
bool EvaluateConditionSet(const SCondition* const conditions[5], const SNpc* speaker, SGameCore* game);
// The first entry of the list after `after` (from the start when `after` is not in the list) whose
// conditions hold; without `after` the list's own condition is tested first and a failing one gives none.
SDialogEntry* FindNextEntryWhoseConditionsHold(const SDialogEntryList* list, const SNpc* speaker,
                                               const SDialogEntry* after, SGameCore* game);
// For each of the four choice slots, the choice when present and its condition absent or holding, else
// null, at the same position. Returns how many are shown.
u32 SelectChoicesWhoseConditionHolds(const SDialogEntry& entry, SChoice* out[4], const SNpc* speaker, SGameCore* game);
