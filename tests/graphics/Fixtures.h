// Small fixtures of the graphics suite: a host standing in for the game core, pixel buffers seen through
// surfaces of each orientation, and image records built in aligned memory.
#pragma once
#include "graphics/SDisplayHost.h"
#include "graphics/SImage.h"
#include "graphics/renderer/SWorldView.h"
#include "os/Types.h"

#include <cstring>
#include <vector>

struct FakeHost : SDisplayHost {
  i32 mode = 7;
  bool hasView = true;
  i32 vx = 0, vy = 0, vw = 240, vh = 200;
  u32 viewSize[3] = {0, 0, 0};
  SWorldView* gameView = nullptr;
  SWorldView* WorldView() override { return gameView; }
  i32 DisplayMode() const override { return mode; }
  bool ViewLayoutRect(i32& x, i32& y, i32& w, i32& h) const override {
    if (!hasView) return false;
    x = vx;
    y = vy;
    w = vw;
    h = vh;
    return true;
  }
  u32 ViewSizeSetting(u32 orientation) const override { return viewSize[orientation]; }
};

// A logical width x height screen held in memory of the orientation's physical shape.
struct Screen {
  std::vector<u16> memory;
  SSurface surface;
  Screen(i32 width, i32 height, u32 orientation, u16 fill = 0) {
    const u32 pitch = orientation == 0 ? static_cast<u32>(width) : static_cast<u32>(height);
    memory.assign(static_cast<size_t>(width) * height, fill);
    surface = SSurface::ForMemory(memory.data(), pitch, orientation, width, height);
  }
  u16 at(i32 x, i32 y) const { return *surface.Pixel(x, y); }
};

// An image record in 2-byte aligned storage, as the game holds records.
struct Record {
  std::vector<u16> words;
  u32 size = 0;
  explicit Record(const std::vector<u8>& bytes) : words((bytes.size() + 1) / 2), size(static_cast<u32>(bytes.size())) {
    std::memcpy(words.data(), bytes.data(), bytes.size());
  }
  const u8* data() const { return reinterpret_cast<const u8*>(words.data()); }
  const SImage* image() const { return SImage::FromRecord(data(), size); }
};
