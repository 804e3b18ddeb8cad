// 2D drawing hot paths: full-screen blits in each image format (opaque, keyed, blended, scaled), a full
// screen fill, and a screen of wrapped text.
#include "foundation/SString.h"
#include "graphics/SDisplay.h"
#include "graphics/SDisplayHost.h"
#include "graphics/SDraw2D.h"
#include "graphics/SFont.h"
#include "graphics/SFontTables.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

constexpr int kW = 640, kH = 480;

// An image record of the screen's size in 2-byte aligned storage, with pseudo-random indices.
std::vector<u16> MakeImage(int format, int w, int h) {
  const u32 d = SImage::PixelBytes(format, w, h);
  const u32 entries = format == 0 ? 256 : 4 * 256;
  std::vector<u16> words((8 + d + 2 * entries) / 2, 0);
  u8* bytes = reinterpret_cast<u8*>(words.data());
  bytes[0] = static_cast<u8>(format);
  std::memcpy(bytes + 2, &w, 2);
  std::memcpy(bytes + 4, &h, 2);
  u32 state = 12345;
  const u32 indices = format == 0 ? static_cast<u32>(w * h) : static_cast<u32>(w * h / 4);
  for (u32 i = 0; i < indices; ++i) {
    state = state * 1664525u + 1013904223u;
    if (format == 2) {
      reinterpret_cast<u16*>(bytes + 8)[i] = static_cast<u16>((state >> 16) & 255);
    } else {
      bytes[8 + i] = static_cast<u8>(state >> 16);
    }
  }
  u16* table = reinterpret_cast<u16*>(bytes + 8 + d);
  for (u32 i = 0; i < entries; ++i) table[i] = static_cast<u16>(i * 2654435761u >> 16);
  return words;
}

enum Op { kOpaque, kKeyed, kBlend, kScaled };

void BM_FullScreenBlit(benchmark::State& state) {
  const int format = static_cast<int>(state.range(0));
  const Op op = static_cast<Op>(state.range(1));
  std::vector<u16> image = MakeImage(format, kW, kH);
  const SBlitSource src = SBlitSource::Of(reinterpret_cast<const SImage*>(image.data()));
  std::vector<u16> screen(kW * kH);
  const SSurface s = SSurface::ForMemory(screen.data(), kW, 0, kW, kH);
  for (auto _ : state) {
    switch (op) {
      case kOpaque: SDraw2D::Blit(s, 0, 0, src, 0, 0, kW, kH); break;
      case kKeyed: SDraw2D::BlitKeyed(s, 0, 0, src, 0, 0, kW, kH); break;
      case kBlend: SDraw2D::BlitHalfBlend(s, 0, 0, src, 0, kW, kH); break;
      case kScaled: SDraw2D::BlitScaled(s, 0, 0, src, kW / 2, kH / 2, kW, kH); break;
    }
    benchmark::DoNotOptimize(screen.data());
  }
  state.SetItemsProcessed(state.iterations() * kW * kH);
}
BENCHMARK(BM_FullScreenBlit)->ArgsProduct({{0, 1, 2}, {kOpaque, kKeyed, kBlend, kScaled}});

void BM_FullScreenBlitRotated(benchmark::State& state) {
  std::vector<u16> image = MakeImage(static_cast<int>(state.range(0)), kW, kH);
  const SBlitSource src = SBlitSource::Of(reinterpret_cast<const SImage*>(image.data()));
  std::vector<u16> screen(kW * kH);
  const SSurface s = SSurface::ForMemory(screen.data(), kH, 1, kW, kH);
  for (auto _ : state) {
    SDraw2D::Blit(s, 0, 0, src, 0, 0, kW, kH);
    benchmark::DoNotOptimize(screen.data());
  }
  state.SetItemsProcessed(state.iterations() * kW * kH);
}
BENCHMARK(BM_FullScreenBlitRotated)->Arg(0)->Arg(1)->Arg(2);

void BM_FillScreen(benchmark::State& state) {
  std::vector<u16> screen(kW * kH);
  const SSurface s = SSurface::ForMemory(screen.data(), kW, 0, kW, kH);
  for (auto _ : state) {
    SDraw2D::FillRect(s, 0, 0, kW, kH, static_cast<u16>(state.range(0)));
    benchmark::DoNotOptimize(screen.data());
  }
}
BENCHMARK(BM_FillScreen)->Arg(0x1234)->Arg(0x2121);

// The same frame rotated: each rectangle column is a memory row.
void BM_FillScreenRotated(benchmark::State& state) {
  std::vector<u16> screen(kW * kH);
  const SSurface s = SSurface::ForMemory(screen.data(), kH, 1, kW, kH);
  for (auto _ : state) {
    SDraw2D::FillRect(s, 0, 0, kW, kH, 0x1234);
    benchmark::DoNotOptimize(screen.data());
  }
}
BENCHMARK(BM_FillScreenRotated);

// What a fill of the frame may cost at best: memset of its bytes.
void BM_MemsetScreen(benchmark::State& state) {
  std::vector<u16> screen(kW * kH);
  for (auto _ : state) {
    std::memset(screen.data(), 0x12, screen.size() * sizeof(u16));
    benchmark::DoNotOptimize(screen.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MemsetScreen);

struct Host : SDisplayHost {
  i32 DisplayMode() const override { return 9; }
  bool ViewLayoutRect(i32&, i32&, i32&, i32&) const override { return false; }
  u32 ViewSizeSetting(u32) const override { return 0; }
};

SRecordData* Strip(u32 record) {
  const SFontStripInfo* info = FontStripInfo(record);
  const int w = (static_cast<int>(FontStripMinWidth(*info)) + 1) & ~1, h = info->lineHeight;
  std::vector<u16> words = MakeImage(0, w, h);
  u8* bytes = reinterpret_cast<u8*>(words.data());
  for (int i = 0; i < w * h; ++i) bytes[8 + i] &= 3;  // shades and transparency only
  const u32 size = static_cast<u32>(words.size() * 2);
  u8* data = new u8[size];
  std::memcpy(data, bytes, size);
  return new SRecordData(data, size);
}

void BM_ScreenOfWrappedText(benchmark::State& state) {
  Host host;
  std::vector<u16> screen(kW * kH);
  SDisplay display;
  display.SetGameCore(&host);
  display.UseMemory(screen.data(), kW, kH);
  SFont font;
  SRecordData* strips[3] = {Strip(3011), Strip(3013), Strip(3014)};
  font.CreateWithStrips(&host, &display, strips);
  for (auto* s : strips) delete s;
  std::string text;
  while (text.size() < 1200) text += "The rain falls on the walls of Duskmire while the torches gutter. ";
  for (auto _ : state) {
    font.Select(1, 0xFFFFFF, 0x000000);
    benchmark::DoNotOptimize(font.DrawText(10, 10, kW - 10, kH - 10, text.c_str(), 0));
  }
}
BENCHMARK(BM_ScreenOfWrappedText);

}  // namespace
