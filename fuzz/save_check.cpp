// Checks arbitrary bytes as a slot file the way a load does before it tears the running game down: every
// record through its own reader into scratch objects. A file the check passes is one of the modules a load
// opens (here the base world and a second one), with a version of at most 116 and a map to play on.
#include "common/Outcome.h"
#include "common/Check.h"
#include "foundation/SDatabase.h"
#include "os/headless/MemoryFiles.h"
#include "player/SSaveGame.h"

#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  if (size > (4u << 20)) return 0;
  static Os::MemoryFileSystem files;
  FuzzOutcome outcome;
  Os::InstallFiles(&files);
  files.Put("/fuzz/DuskmireSave1.pdb", std::vector<u8>(data, data + size));
  SFileStore store("/fuzz/");
  SSaveGame saves;
  saves.Bind(&store, nullptr, nullptr, nullptr);
  SDatabase save(&store);
  if (save.Open("DuskmireSave1", kSavedGameCode)) {
    SSaveCheck check;
    const SString modules[] = {SString("base"), SString("west")};
    if (saves.CheckSave(save, modules, 2, &check)) {
      outcome.AddValue(check.version);
      outcome.Add(check.map.CStr(), check.map.Length());
      CHECK(check.version <= kSaveVersion);
      CHECK(std::strcmp(check.module.CStr(), "base") == 0 || std::strcmp(check.module.CStr(), "west") == 0);
      CHECK(!check.map.IsEmpty());
    }
    // The check leaves no names behind.
    CHECK(saves.ItemTypeAt(1) == nullptr && saves.SpellAt(1) == nullptr);
  }
  Os::InstallFiles(nullptr);
  return 0;
}
