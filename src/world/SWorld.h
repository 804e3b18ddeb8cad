// Everything a loaded world consists of, held by the game core: the module list, the image cache, the
// sound table, and the tables of the world base's blocks (tables of higher layers register themselves in
// `tables`). Construction wires them together.
#pragma once
#include "world/SImageCache.h"
#include "world/SItemTable.h"
#include "world/SMapObjectType.h"
#include "world/SSoundTable.h"
#include "world/SWorldModule.h"
#include "world/SWorldRules.h"
#include "world/SWorldTable.h"

struct SWorld {
  SWorld() {
    images.Init();
    tables[kBlockSounds] = &sounds;
    tables[kBlockItems] = &items;
    tables[kBlockMapObjectTypes] = &mapObjectTypes;
    sounds.SetTables(&tables);
    rules.Register(tables);
    rules.images = &images;
    rules.items = &items;
    rules.skies.SetImageCache(&images);
    SWorldEnv env;
    env.images = &images;
    env.tables = &tables;
    modules.SetEnv(env);
  }
  SWorld(const SWorld&) = delete;
  SWorld& operator=(const SWorld&) = delete;
  ~SWorld() {
    modules.Clear();
    images.Clear();
  }
  void SetFileStore(SFileStore* files) { modules.env.files = files; }
  void SetSoundManager(SSoundManager* manager) {
    modules.env.soundManager = manager;
    sounds.SetSoundManager(manager);
  }

  SImageCache images;
  SSoundTable sounds;
  SItemTable items;
  SMapObjectTypeTable mapObjectTypes;
  SWorldTables tables;
  SWorldRules rules;  // the rule tables, registered in `tables`
  SWorldModuleList modules;
};
