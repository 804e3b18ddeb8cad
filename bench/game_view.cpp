// The game view on the sample world: entering the busiest tile (the whole scene built), a frame's scene
// work there (the cells in view, the doors, the monster sprites), and a whole paint of the game screen
// (the 3D view and every head-up control) at 240x320 and 480x640.
#include "core/SGameCore.h"
#include "game/SStateGame.h"
#include "graphics/SDisplay.h"
#include "graphics/SFont.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// A game core over the built sample world with a screen in memory and the game state entered on the
// town at its start.
struct View {
  View(i32 mode, u16 w, u16 h) : pixels(size_t(w) * h), files(std::string(DUSKMIRE_DATA_DIR) + "/") {
    core.SetDisplayMode(u32(mode));
    core.fileStore.SetFolder(DUSKMIRE_DATA_DIR);
    core.world.SetFileStore(&files);
    core.display = new SDisplay;
    core.display->UseMemory(pixels.data(), w, h);
    if (!core.data.Open("DuskmireData")) return;
    if (auto record = core.data.ReadRecord(u16(SLayoutTable::RecordForMode(mode))))
      core.layouts.Load(record->data, record->size);
    core.display->SetGameCore(&core);
    core.font = new SFont;
    if (!core.font->Create(&core, core.display, &core.data)) return;
    core.LoadPictures();
    core.random = new SRandom;
    core.random->Seed(&core, 1);
    if (!core.world.modules.OpenGameArchives(nullptr)) return;
    core.PrepareWorldTables(nullptr);
    core.BindWorldResources(nullptr);
    state = std::make_unique<SStateGame>();
    state->Attach(&core);
    core.states[kStateGame] = state.get();
    core.stateGame = state.get();
    SMapArea* town = core.world.modules.FindMap("base_out0101");
    if (!town) return;
    core.SetCurrentWorld(town->module);
    town->module->SetCurrentMap(town);
    state->window.playerX = state->window.playerY = 17;
    state->window.minutes = 12 * 60;
    core.SetState(kStateGame);
    ready = core.currentState == state.get();
  }
  ~View() {
    core.currentState = nullptr;
    state.reset();
    core.UnloadWorld();
  }
  std::vector<u16> pixels;  // outlives the display, which the core deletes
  SFileStore files;
  SGameCore core;
  std::unique_ptr<SStateGame> state;
  bool ready = false;
};

void BM_EnterBusiestTile(benchmark::State& s) {
  View v(7, 240, 320);
  if (!v.ready) return s.SkipWithError("the sample world did not open");
  for (auto _ : s) benchmark::DoNotOptimize(v.state->EnterMap());
}
BENCHMARK(BM_EnterBusiestTile)->Unit(benchmark::kMicrosecond);

void BM_FrameSceneWork(benchmark::State& s) {
  View v(7, 240, 320);
  if (!v.ready) return s.SkipWithError("the sample world did not open");
  for (auto _ : s) {
    v.state->CollectVisibleCells(true, true);
    v.state->CollectObjects();
    v.state->BuildMonsterSprites();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FrameSceneWork)->Unit(benchmark::kMicrosecond);

void BM_PaintGameScreen(benchmark::State& s) {
  View v(i32(s.range(0)), u16(s.range(1)), u16(s.range(2)));
  if (!v.ready) return s.SkipWithError("the sample world did not open");
  for (auto _ : s) {
    v.state->SetFullRepaint();
    v.state->Paint();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PaintGameScreen)->Args({7, 240, 320})->Args({10, 480, 640})->Unit(benchmark::kMicrosecond);

}  // namespace
