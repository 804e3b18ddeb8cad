// Saving and loading a mid-game slot of the sample world: a new character's kit, every map visited (so
// that each saves its monsters and bags), the town as the current map. The slot file lives in memory;
// the world's archives are read from the built sample world.
#include "GameViewRig.h"
#include "os/headless/MemoryFiles.h"
#include "player/SSaveGame.h"
#include "screens/SStateGenerate.h"
#include "world/SWorldModule.h"

#include <benchmark/benchmark.h>

namespace {

// The rig's game with a character and a world that has been walked.
bool MidGame(GameViewRig& v) {
  if (!v.ready) return false;
  v.core.player.ResetForNewGame();
  v.core.player.GiveStartingKit(SNewPlayer{});
  for (SWorldModule* m : v.core.world.modules.modules)
    for (SMapArea* map : m->maps)
      if (!map->lastVisit) map->lastVisit = 600;
  return true;
}

void BM_SaveWrite(benchmark::State& s) {
  Os::MemoryFileSystem files(true);
  Os::InstallFiles(&files);
  {
    GameViewRig v(7, 240, 320);
    if (!MidGame(v)) {
      s.SkipWithError("the sample world did not open");
    } else {
      for (auto _ : s)
        if (v.core.saveGame.Write(1) != 1) {
          s.SkipWithError("the save failed");
          break;
        }
      std::vector<u8> bytes;
      files.Get(std::string(DUSKMIRE_DATA_DIR) + "/DuskmireSave1.pdb", &bytes);
      s.counters["bytes"] = double(bytes.size());
    }
  }
  Os::InstallFiles(nullptr);
}
BENCHMARK(BM_SaveWrite)->Unit(benchmark::kMillisecond);

void BM_SaveLoad(benchmark::State& s) {
  Os::MemoryFileSystem files(true);
  Os::InstallFiles(&files);
  {
    GameViewRig v(7, 240, 320);
    if (!MidGame(v) || v.core.saveGame.Write(1) != 1) {
      s.SkipWithError("the sample world did not open");
    } else {
      for (auto _ : s)
        if (v.core.saveGame.Load(1, nullptr) != 1) {
          s.SkipWithError("the load failed");
          break;
        }
    }
  }
  Os::InstallFiles(nullptr);
}
BENCHMARK(BM_SaveLoad)->Unit(benchmark::kMillisecond);

}  // namespace
