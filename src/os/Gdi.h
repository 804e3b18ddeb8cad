// Graphics device interface: device contexts for the screen and for memory, 16-bit DIB sections and the
// rectangle copy between them, as the window-drawing video driver uses them.
#pragma once
#include "os/Types.h"
#include "os/Window.h"

#include <functional>
#include <vector>

namespace Os {

using Dc = u32;         // 0 = none
using GdiObject = u32;  // 0 = none

inline constexpr i32 kCapsHorzRes = 8;
inline constexpr i32 kCapsVertRes = 10;
inline constexpr i32 kCapsBitsPixel = 12;
inline constexpr u32 kRopSrcCopy = 0xCC0020;
inline constexpr u32 kBitFields = 3;
// What a fresh memory context has selected; selecting it back deselects a section.
inline constexpr GdiObject kStockBitmap = 0xFFFF0000u;

// The bitmap description a DIB section is made from (the 40-byte header followed by the three colour
// masks). A negative height asks for rows top to bottom.
struct BitmapInfo16 {
  u32 headerSize = 40;
  i32 width = 0;
  i32 height = 0;
  u16 planes = 1;
  u16 bitCount = 16;
  u32 compression = kBitFields;
  u32 sizeImage = 0;
  i32 xPelsPerMeter = 0;
  i32 yPelsPerMeter = 0;
  u32 colorsUsed = 0;
  u32 colorsImportant = 0;
  u32 masks[3] = {0xF800, 0x07E0, 0x001F};
};

class Gdi {
 public:
  virtual ~Gdi() = default;
  // The device context of a window, or of the whole screen for window 0; 0 on failure.
  virtual Dc GetDC(WindowId window) = 0;
  virtual bool ReleaseDC(WindowId window, Dc dc) = 0;
  virtual i32 GetDeviceCaps(Dc dc, i32 index) = 0;
  virtual Dc CreateCompatibleDC(Dc dc) = 0;
  // A 16-bit RGB565 bit-field section; *bits receives its pixels. 0 when the description is not one.
  virtual GdiObject CreateDIBSection(Dc dc, const BitmapInfo16& info, void** bits) = 0;
  // Selects a bitmap into a memory context; returns the previously selected one (0 on failure).
  virtual GdiObject SelectObject(Dc dc, GdiObject object) = 0;
  virtual bool DeleteDC(Dc dc) = 0;
  virtual bool DeleteObject(GdiObject object) = 0;
  virtual bool BitBlt(Dc destination, i32 x, i32 y, i32 width, i32 height, Dc source, i32 sourceX, i32 sourceY,
                      u32 rop) = 0;
  // Display-driver escapes; 0 = not supported.
  virtual i32 ExtEscape(Dc dc, i32 code, i32 inSize, const void* in, i32 outSize, void* out) = 0;
};

Gdi& Graphics();
void InstallGraphics(Gdi* g);  // nullptr restores the host default

// The screen's pixels: what the panel shows, RGB565, rows top to bottom.
struct Panel {
  i32 width = 0;
  i32 height = 0;
  std::vector<u16> pixels;
  u16 At(i32 x, i32 y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

// GDI kept in memory over a panel of the screen's size. Copies to a window's (or the screen's) context
// land in the panel; OnPanelChanged then tells the backend which rectangle changed.
class PanelGdi : public Gdi {
 public:
  PanelGdi(i32 width = 240, i32 height = 320, i32 depth = 16);
  ~PanelGdi() override;

  Dc GetDC(WindowId window) override;
  bool ReleaseDC(WindowId window, Dc dc) override;
  i32 GetDeviceCaps(Dc dc, i32 index) override;
  Dc CreateCompatibleDC(Dc dc) override;
  GdiObject CreateDIBSection(Dc dc, const BitmapInfo16& info, void** bits) override;
  GdiObject SelectObject(Dc dc, GdiObject object) override;
  bool DeleteDC(Dc dc) override;
  bool DeleteObject(GdiObject object) override;
  bool BitBlt(Dc destination, i32 x, i32 y, i32 width, i32 height, Dc source, i32 sourceX, i32 sourceY,
              u32 rop) override;
  i32 ExtEscape(Dc, i32, i32, const void*, i32, void*) override { return 0; }

  const Panel& GetPanel() const { return panel_; }
  Panel& GetPanel() { return panel_; }
  // Contexts and sections still alive (a test checks that nothing leaks).
  size_t LiveDcs() const;
  size_t LiveBitmaps() const;
  u32 PanelUpdates() const { return panelUpdates_; }
  // Called with the panel after every copy that reaches it (for a game frame: once per present); empty
  // to stop. For tests that look at every frame, also those presented outside the game loop.
  void SetPanelWatcher(std::function<void(const Panel&)> watcher) { watcher_ = std::move(watcher); }

 protected:
  virtual void OnPanelChanged(i32 /*x*/, i32 /*y*/, i32 /*width*/, i32 /*height*/) {}

 private:
  struct Bitmap {
    bool live = false;
    i32 width = 0, height = 0, pitchPixels = 0;
    bool bottomUp = false;
    std::vector<u16> pixels;
  };
  struct Context {
    bool live = false;
    bool memory = false;  // else the screen or a window
    WindowId window = 0;
    GdiObject selected = 0;  // memory contexts; 0 = the default 1x1 bitmap
  };
  Context* FindDc(Dc dc);
  Bitmap* FindBitmap(GdiObject object);

  i32 depth_;
  Panel panel_;
  std::vector<Context> dcs_;     // handle = index + 1
  std::vector<Bitmap> bitmaps_;  // handle = index + 1
  u32 panelUpdates_ = 0;
  std::function<void(const Panel&)> watcher_;
};

}  // namespace Os
