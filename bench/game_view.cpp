// The game view on the sample world: entering the busiest tile (the whole scene built), a frame's scene
// work there (the cells in view, the doors, the monster sprites), and a whole paint of the game screen
// (the 3D view and every head-up control) at 240x320 and 480x640.
#include "GameViewRig.h"

#include <benchmark/benchmark.h>

namespace {

void BM_EnterBusiestTile(benchmark::State& s) {
  GameViewRig v(7, 240, 320);
  if (!v.ready) return s.SkipWithError("the sample world did not open");
  for (auto _ : s) benchmark::DoNotOptimize(v.state->EnterMap());
}
BENCHMARK(BM_EnterBusiestTile)->Unit(benchmark::kMicrosecond);

void BM_FrameSceneWork(benchmark::State& s) {
  GameViewRig v(7, 240, 320);
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
  GameViewRig v(i32(s.range(0)), u16(s.range(1)), u16(s.range(2)));
  if (!v.ready) return s.SkipWithError("the sample world did not open");
  for (auto _ : s) {
    v.state->SetFullRepaint();
    v.state->Paint();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PaintGameScreen)->Args({7, 240, 320})->Args({10, 480, 640})->Unit(benchmark::kMicrosecond);

}  // namespace
