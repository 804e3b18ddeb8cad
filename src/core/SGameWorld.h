// A world as the game loads it: the world-side tables of SWorld and the game layer's tables of the world
// base (global variables, faces, scripts, dialog lists, monsters, and the reader of people's
// conversations), created together and registered where the loader finds them. The game core owns one;
// the world builder's check, the tests, the benchmark and the fuzz targets load worlds through it too.
#pragma once
#include "game/SMonster.h"
#include "script/SDialogEntry.h"
#include "script/SFaceTable.h"
#include "script/SGlobalVariables.h"
#include "script/SScriptTable.h"
#include "world/SWorld.h"

struct SGameWorld : SWorld {
  SGameWorld();
  ~SGameWorld();
  SGameWorld(const SGameWorld&) = delete;
  SGameWorld& operator=(const SGameWorld&) = delete;

  SGlobalVariables globals;
  SFaceTable faces;
  SScriptTable scripts;
  SDialogEntryListTable dialogs;
  SMonsterTable monsters;
  SConversationReaderOf<SDialogEntryListPair, SDialogEntryListTable> conversations{&dialogs};
};
