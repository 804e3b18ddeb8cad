// Loading the sample world from disk to bound resources, as a new game does: open the four archives,
// preload the global sounds, publish the image cache and resolve the tables' names.
#include "core/SGameCore.h"

#include <benchmark/benchmark.h>

static void BM_LoadSampleWorld(benchmark::State& state) {
  SFileStore files(std::string(DUSKMIRE_DATA_DIR) + "/");
  SGameCore core;
  core.world.SetFileStore(&files);
  for (auto _ : state) {
    core.UnloadWorld();
    if (!core.world.modules.OpenGameArchives(nullptr)) {
      state.SkipWithError(core.world.modules.LastError());
      break;
    }
    core.PrepareWorldTables(nullptr);
    core.BindWorldResources(nullptr);
    benchmark::DoNotOptimize(core.world.images.ImagePointers());
  }
  core.UnloadWorld();
}
BENCHMARK(BM_LoadSampleWorld)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
