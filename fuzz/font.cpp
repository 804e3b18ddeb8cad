// A font strip record and a text from untrusted bytes: the first byte gives the text length, the text
// follows, the rest is the strip. A strip that passes the game's check is used for all three fonts, and
// the text is measured, wrapped and drawn in a box on a small screen.
#include "common/Outcome.h"
#include "foundation/SString.h"
#include "graphics/SDisplay.h"
#include "graphics/SDisplayHost.h"
#include "graphics/SFont.h"

#include <cstring>
#include <string>
#include <vector>

namespace {
struct Host : SDisplayHost {
  i32 DisplayMode() const override { return 7; }
  bool ViewLayoutRect(i32& x, i32& y, i32& w, i32& h) const override {
    x = y = 0;
    w = 240;
    h = 200;
    return true;
  }
  u32 ViewSizeSetting(u32) const override { return 0; }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > (1u << 20)) return 0;
  const size_t textLength = std::min<size_t>(data[0], size - 1);
  const std::string text(reinterpret_cast<const char*>(data + 1), textLength);
  const size_t stripSize = size - 1 - textLength;
  FuzzOutcome outcome;
  Host host;
  std::vector<u16> pixels(120 * 80);
  SDisplay display;
  display.SetGameCore(&host);
  display.UseMemory(pixels.data(), 120, 80);
  SRecordData records[3];
  SRecordData* strips[3];
  for (int f = 0; f < 3; ++f) {
    records[f].data = new u8[stripSize + 1];
    records[f].size = static_cast<u32>(stripSize);
    if (stripSize) std::memcpy(records[f].data, data + 1 + textLength, stripSize);
    strips[f] = &records[f];
  }
  SFont font;
  if (!font.CreateWithStrips(&host, &display, strips)) return 0;
  for (int f = 0; f < 3; ++f) {
    font.Select(f, 0xFFFFFF, 0x000000);
    i32 widest = 0, lines = 0;
    font.MeasureText(text.c_str(), 100, &widest, &lines);
    SString wrapped;
    font.WrapText(text.c_str(), 60, wrapped);
    font.DrawText(-3, 5, 110, 70, text.c_str(), static_cast<u32>(f) * 2);
    font.DrawText(50, 60, 130, 90, text.c_str(), 1);
  }
  outcome.Add(std::span<const u16>(pixels));
  return 0;
}
