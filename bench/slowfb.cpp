// The slow-frame-buffer present: compare the frame with the previous one word by word and write only the
// changed words to the (simulated) MediaQ frame memory.
#include "os/WindowManager.h"
#include "os/headless/VirtualClock.h"
#include "os/sim/SimDevice.h"
#include "platform/hal/Display.h"
#include "platform/video/VideoDetect.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

namespace {

Os::LResult Proc(Os::WindowId w, u32 message, Os::WParam wParam, Os::LParam lParam) {
  return Os::Windows().DefWindowProc(w, message, wParam, lParam);
}

// changedRows: rows of the picture that differ from the previous frame.
void Present(benchmark::State& state) {
  const u32 changedRows = u32(state.range(0));
  Os::Sim::Profile p;
  p.gxInfo = true;
  p.frame = 0x0C042000;
  p.writeCostNsPerByte = 100;
  Os::VirtualClock clock;
  Os::WindowManager windows(240, 320);
  Os::InstallClock(&clock);
  Os::InstallWindows(&windows);
  windows.RegisterClass("Bench", Proc);
  const Os::WindowId window = windows.CreateWindow("Bench", "Duskmire", 0, 0, 240, 320, 0);
  Os::Sim::Device device(p);
  device.onCost = [&](u32 ms) { clock.Advance(ms); };
  device.Install();
  Hal::VideoDetect::ResetInstance();
  Hal::VideoDetect::SetProbeWindow(window);
  Hal::DisplayParameters params{240, 320, 0, Hal::SWAP_COPY};
  std::unique_ptr<Hal::Display> display(Hal::Display::Create(window, &params));
  if (!display) {
    state.SkipWithError("no display");
    return;
  }
  u16 shade = 0;
  for (auto _ : state) {
    display->BeginScene();
    Hal::Surface* s = display->GetBackBuffer();
    ++shade;
    for (u32 y = 0; y < changedRows; ++y) std::memset(s->Row(y), shade & 0xFF, s->width * 2);
    display->Swap(0);
  }
  state.SetItemsProcessed(state.iterations() * 240 * 320);
  display.reset();
  Hal::VideoDetect::ResetInstance();
  device.Uninstall();
  Os::InstallWindows(nullptr);
  Os::InstallClock(nullptr);
}
BENCHMARK(Present)->Arg(0)->Arg(32)->Arg(320);

}  // namespace
