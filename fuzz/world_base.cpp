// Opens arbitrary bytes as the base archive of a world through SWorldModuleList::OpenGameArchives with
// the game's world assembly (every table of the world base, people's conversations too), then makes everything it
// registered resident once, and evaluates the conditions of every dialog entry it read (of the base table and
// of each person's conversation, with that person as the speaker) and selects their choices.
#include "common/Outcome.h"
#include "core/SGameWorld.h"
#include "foundation/SDatabase.h"
#include "os/headless/MemoryFiles.h"
#include "script/SDialogConditions.h"
#include "script/SDialogEntry.h"
#include "world/SPeopleTables.h"

#include <vector>

namespace {

// Every list of the pair: its own condition, each entry's set and choices, and the searches over it.
void EvaluatePair(const SDialogEntryListPair& pair, const SNpc* speaker) {
  for (const SPtrArray<SDialogEntryList>* lists : {&pair.first, &pair.second})
    for (u32 i = 0; i < lists->Count(); ++i) {
      const SDialogEntryList* list = (*lists)[i32(i)];
      if (!list) continue;
      EvaluateOptionalCondition(list->condition, speaker, nullptr);
      FindNextEntryWhoseConditionsHold(list, speaker, nullptr, nullptr);
      for (u32 k = 0; k < list->entries.Count(); ++k) {
        const SDialogEntry* e = list->entries[i32(k)];
        if (!e) continue;
        EvaluateConditionSet(e->conditions, speaker, nullptr);
        SChoice* shown[4] = {};
        SelectChoicesWhoseConditionHolds(*e, shown, speaker, nullptr);
        FindNextEntryWhoseConditionsHold(list, speaker, e, nullptr);
      }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  static Os::MemoryFileSystem files;
  FuzzOutcome outcome;
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
    outcome.AddValue(u64(world.images.ImageCount()) << 32 | world.images.PaletteCount());
    outcome.AddValue(u64(world.sounds.sounds.Count()) << 32 | world.scripts.scripts.Count());
    EvaluatePair(world.dialogs.base, nullptr);
    for (SNpc* person : world.rules.people.records)
      if (person && person->conversation)
        EvaluatePair(*static_cast<SDialogEntryListPair*>(person->conversation), person);
    world.modules.Clear();
    world.images.Clear();
    world.tables.ClearAll();
  }
  Os::InstallFiles(nullptr);
  return 0;
}
