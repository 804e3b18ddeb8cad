#include "core/SGameWorld.h"

namespace {
constexpr SWorldBlock kGameBlocks[] = {kBlockGlobals, kBlockFaces, kBlockScripts, kBlockDialogLists, kBlockMonsters};
}

SGameWorld::SGameWorld() {
  tables[kBlockGlobals] = &globals;
  tables[kBlockFaces] = &faces;
  tables[kBlockScripts] = &scripts;
  tables[kBlockDialogLists] = &dialogs;
  tables[kBlockMonsters] = &monsters;
  rules.people.conversationReader = &conversations;
}

SGameWorld::~SGameWorld() {
  // The tables declared here go before SWorld's own: let go of the modules that read through them first,
  // and leave nothing registered that points at them.
  modules.Clear();
  for (SWorldBlock b : kGameBlocks) tables[b] = nullptr;
  // People read their conversations through the reader declared here: they go while it is there.
  rules.people.Clear();
  rules.people.conversationReader = nullptr;
}
