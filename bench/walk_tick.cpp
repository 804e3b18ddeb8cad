// The game state's tick per frame, without painting, on the busiest sample tile: the player walking to
// and fro (a step and its animation every few frames), heavy rain, the rate timers firing as in play.
#include "GameViewRig.h"
#include "os/headless/VirtualClock.h"
#include "platform/hal/Game.h"

#include <benchmark/benchmark.h>

namespace {

void BM_WalkTick(benchmark::State& s) {
  Os::VirtualClock clock;
  Os::InstallClock(&clock);
  Hal::ResetTimer();
  {
    GameViewRig v(7, 240, 320);
    if (!v.ready) {
      s.SkipWithError("the sample world did not open");
    } else {
      SStateGame& game = *v.state;
      game.paintInTick = 0;
      game.SetWeather(nullptr, 100);
      game.UpdateWeather(true);
      u32 action = 3004;  // side steps along the start's row, there and back
      for (auto _ : s) {
        clock.Advance(40);
        ++v.core.frameCounter;
        if (!game.IsBusy()) {
          game.OnKey(action);
          action = action == 3004 ? 3005 : 3004;
        }
        benchmark::DoNotOptimize(game.OnTick(v.core.frameCounter, v.core.display));
      }
      s.counters["rain"] = game.rainIntensity;
    }
  }
  Os::InstallClock(nullptr);
  Hal::ResetTimer();
}
BENCHMARK(BM_WalkTick)->Unit(benchmark::kMicrosecond);

}  // namespace
