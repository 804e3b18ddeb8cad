// Opens arbitrary bytes as the base archive of a world through SWorldModuleList::OpenGameArchives with
// every table of the world base registered, then makes everything it registered resident once.
#include "foundation/SDatabase.h"
#include "game/SMonster.h"
#include "os/headless/MemoryFiles.h"
#include "script/SDialogEntry.h"
#include "script/SFaceTable.h"
#include "script/SGlobalVariables.h"
#include "script/SScriptTable.h"
#include "world/SWorld.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  static Os::MemoryFileSystem files;
  Os::InstallFiles(&files);
  files.Put("/fuzz/DuskmireBase.pdb", std::vector<u8>(data, data + size));
  {
    SFileStore store("/fuzz/");
    SWorld world;
    SGlobalVariables globals;
    SFaceTable faces;
    SScriptTable scripts;
    SDialogEntryListTable dialogs;
    SMonsterTable monsters;
    world.SetFileStore(&store);
    world.tables[kBlockGlobals] = &globals;
    world.tables[kBlockFaces] = &faces;
    world.tables[kBlockScripts] = &scripts;
    world.tables[kBlockDialogLists] = &dialogs;
    world.tables[kBlockMonsters] = &monsters;
    world.modules.OpenGameArchives(nullptr);
    world.sounds.PreloadGlobalSounds();
    world.images.PublishIndexTables();
    monsters.ResolveNames(world.images, world.images.ImageFlags());
    for (u32 i = 1; i < world.images.ImageCount(); ++i) world.images.LoadImage(world.images.GetImageEntry(u16(i)));
    for (u32 i = 1; i < world.images.PaletteCount(); ++i)
      world.images.LoadPalette(world.images.GetPaletteEntry(u16(i)));
    for (SResource* r : world.sounds.sounds) r->LoadVolumeSlot(10);
    for (SNamedScript* s : scripts.scripts) s->String(0);
    world.modules.Clear();
    world.images.Clear();
    world.tables.ClearAll();
  }
  Os::InstallFiles(nullptr);
  return 0;
}
