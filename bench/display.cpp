// Presenting a frame: the display layer's swap (back buffer to frame buffer) and the rotated copies, at
// the handheld's common screen sizes.
#include "platform/hal/Display.h"
#include "os/Gdi.h"
#include "os/WindowManager.h"
#include "platform/hal/Blit.h"
#include "platform/hal/Surface.h"
#include "platform/video/VideoDetect.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct Frames {
  Frames(u32 w, u32 h, bool turned)
      : source(Hal::Surface::Create(w, h)), destination(Hal::Surface::Create(turned ? h : w, turned ? w : h)) {
    for (u32 y = 0; y < h; ++y)
      for (u32 x = 0; x < w; ++x) source->Row(y)[x] = u16(x * 31 + y * 7);
  }
  Hal::Rect Whole() const { return Hal::Rect{0, 0, i32(destination->width), i32(destination->height)}; }
  std::unique_ptr<Hal::Surface> source, destination;
};

void Sizes(benchmark::internal::Benchmark* b) { b->Args({240, 320})->Args({480, 640})->Args({640, 480}); }

// A whole-screen swap is one block copy of full rows.
void BM_SwapRows(benchmark::State& state) {
  Frames f(u32(state.range(0)), u32(state.range(1)), false);
  for (auto _ : state) {
    Hal::BlitRows(f.destination.get(), f.source.get(), 0, i32(f.source->height));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * i64(f.source->pitch) * f.source->height);
}
BENCHMARK(BM_SwapRows)->Apply(Sizes);

// A partial update copies row by row.
void BM_SwapRect(benchmark::State& state) {
  Frames f(u32(state.range(0)), u32(state.range(1)), false);
  const Hal::Rect r{8, 8, i32(f.source->width) - 8, i32(f.source->height) - 8};
  for (auto _ : state) {
    Hal::BlitRect(f.destination.get(), f.source.get(), r);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_SwapRect)->Apply(Sizes);

template <Hal::RotatedCopy Copy, bool Turned>
void BM_Rotated(benchmark::State& state) {
  Frames f(u32(state.range(0)), u32(state.range(1)), Turned);
  const Hal::Rect r = f.Whole();
  for (auto _ : state) {
    Copy(f.destination.get(), f.source.get(), r);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * i64(f.source->width) * f.source->height);
}
BENCHMARK_TEMPLATE(BM_Rotated, Hal::BlitRotate90CW, true)->Apply(Sizes);
BENCHMARK_TEMPLATE(BM_Rotated, Hal::BlitRotate90CWByRows, true)->Apply(Sizes);
BENCHMARK_TEMPLATE(BM_Rotated, Hal::BlitRotate90CCW, true)->Apply(Sizes);
BENCHMARK_TEMPLATE(BM_Rotated, Hal::BlitRotate90CCWByRows, true)->Apply(Sizes);
BENCHMARK_TEMPLATE(BM_Rotated, Hal::BlitRotate180, false)->Apply(Sizes);

// A whole frame through the display layer: BeginScene, Swap, on the window-drawing driver over the headless
// panel; with orientation 3 the frame goes through the rotating wrapper first.
void BM_DisplaySwap(benchmark::State& state) {
  const i32 w = i32(state.range(0)), h = i32(state.range(1));
  const bool turned = state.range(2) != 0;
  Os::WindowManager windows(w, h);
  Os::PanelGdi gdi(w, h, 16);
  Os::InstallWindows(&windows);
  Os::InstallGraphics(&gdi);
  Hal::VideoDetect::ResetInstance();
  windows.RegisterClass("bench", [](Os::WindowId wnd, u32 m, Os::WParam wp, Os::LParam lp) {
    return Os::Windows().DefWindowProc(wnd, m, wp, lp);
  });
  const Os::WindowId window = windows.CreateWindow("bench", "bench", 0, 0, w, h, 0);
  Hal::DisplayParameters p{u32(turned ? h : w), u32(turned ? w : h), turned ? 3u : 0u, 2};
  Hal::Display* display = Hal::Display::Create(window, &p);
  if (!display) {
    state.SkipWithError("no display");
  } else {
    for (auto _ : state) {
      display->BeginScene();
      display->Swap(0);
    }
  }
  delete display;
  windows.DestroyWindow(window);
  Hal::VideoDetect::ResetInstance();
  Os::InstallGraphics(nullptr);
  Os::InstallWindows(nullptr);
}
BENCHMARK(BM_DisplaySwap)
    ->Args({240, 320, 0})
    ->Args({480, 640, 0})
    ->Args({640, 480, 0})
    ->Args({240, 320, 1})
    ->Args({480, 640, 1})
    ->Args({640, 480, 1});

}  // namespace
