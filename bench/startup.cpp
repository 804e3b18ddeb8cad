// Start-up to the maker's logo state, headless, as the program's entry runs it: the window, the data
// archive, the screen, the sound, the fonts and the start-up text, the 447 interface pictures, the tables,
// every state and the music archive. Each run starts from a fresh backend and application.
#include "app/DuskmireApp.h"
#include "os/Backend.h"
#include "os/Process.h"
#include "platform/hal/Game.h"
#include "platform/video/VideoDetect.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

void BM_StartupToLogo(benchmark::State& state) {
  // Every headless start is the first: the backend holds no lock.
  Os::SetProgramFolder(DUSKMIRE_DATA_DIR);
  Os::BackendOptions options;
  options.screenWidth = i32(state.range(0));
  options.screenHeight = i32(state.range(1));
  for (auto _ : state) {
    std::string error;
    if (!Os::UseHeadless(options, &error)) {
      state.SkipWithError(error.c_str());
      break;
    }
    Hal::ResetTimer();
    Hal::VideoDetect::ResetInstance();
    bool started = false;
    {
      DuskmireApp app;
      app.applicationId = DuskmireApp::kApplicationId;
      started = app.Create(kDuskmireTitle) && app.OnInitialize();
      if (!started) state.SkipWithError(app.startError.c_str());
    }
    Hal::VideoDetect::ResetInstance();
    Os::FinishBackend(&error);
    if (!started) break;
  }
  Os::SetProgramFolder("");
}

}  // namespace

BENCHMARK(BM_StartupToLogo)
    ->Args({240, 320})
    ->Args({480, 640})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
