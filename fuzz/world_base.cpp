// Opens arbitrary bytes as the base archive of a world through SWorldModuleList::OpenGameArchives with
// the game's world assembly (every table of the world base, people's conversations too), then makes everything it
// registered resident once.
#include "core/SGameWorld.h"
#include "foundation/SDatabase.h"
#include "os/headless/MemoryFiles.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  static Os::MemoryFileSystem files;
  Os::InstallFiles(&files);
  files.Put("/fuzz/DuskmireBase.pdb", std::vector<u8>(data, data + size));
  {
    SFileStore store("/fuzz/");
    SGameWorld world;
    world.SetFileStore(&store);
    world.modules.OpenGameArchives(nullptr);
    world.sounds.PreloadGlobalSounds();
    world.images.PublishIndexTables();
    world.monsters.ResolveNames(world.images, world.images.ImageFlags());
    for (u32 i = 1; i < world.images.ImageCount(); ++i) world.images.LoadImage(world.images.GetImageEntry(u16(i)));
    for (u32 i = 1; i < world.images.PaletteCount(); ++i)
      world.images.LoadPalette(world.images.GetPaletteEntry(u16(i)));
    for (SResource* r : world.sounds.sounds) r->LoadVolumeSlot(10);
    for (SNamedScript* s : world.scripts.scripts) s->String(0);
    world.modules.Clear();
    world.images.Clear();
    world.tables.ClearAll();
  }
  Os::InstallFiles(nullptr);
  return 0;
}
