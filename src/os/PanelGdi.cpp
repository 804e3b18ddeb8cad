#include "os/Gdi.h"

#include <algorithm>
#include <cstring>

namespace Os {

PanelGdi::PanelGdi(i32 width, i32 height, i32 depth) : depth_(depth) {
  panel_.width = std::max(width, 0);
  panel_.height = std::max(height, 0);
  panel_.pixels.assign(size_t(panel_.width) * size_t(panel_.height), 0);
}

PanelGdi::~PanelGdi() = default;

PanelGdi::Context* PanelGdi::FindDc(Dc dc) {
  if (dc == 0 || dc > dcs_.size() || !dcs_[dc - 1].live) return nullptr;
  return &dcs_[dc - 1];
}

PanelGdi::Bitmap* PanelGdi::FindBitmap(GdiObject object) {
  if (object == 0 || object > bitmaps_.size() || !bitmaps_[object - 1].live) return nullptr;
  return &bitmaps_[object - 1];
}

Dc PanelGdi::GetDC(WindowId window) {
  if (window != 0 && !Windows().IsWindow(window)) return 0;
  dcs_.push_back(Context{true, false, window, 0});
  return Dc(dcs_.size());
}

bool PanelGdi::ReleaseDC(WindowId, Dc dc) {
  Context* c = FindDc(dc);
  if (!c || c->memory) return false;
  c->live = false;
  return true;
}

i32 PanelGdi::GetDeviceCaps(Dc dc, i32 index) {
  if (!FindDc(dc)) return 0;
  switch (index) {
    case kCapsHorzRes: return panel_.width;
    case kCapsVertRes: return panel_.height;
    case kCapsBitsPixel: return depth_;
    default: return 0;
  }
}

Dc PanelGdi::CreateCompatibleDC(Dc dc) {
  if (dc != 0 && !FindDc(dc)) return 0;
  dcs_.push_back(Context{true, true, 0, 0});
  return Dc(dcs_.size());
}

GdiObject PanelGdi::CreateDIBSection(Dc, const BitmapInfo16& info, void** bits) {
  if (bits) *bits = nullptr;
  const i64 height = info.height < 0 ? -i64(info.height) : i64(info.height);
  if (!bits || info.headerSize != 40 || info.planes != 1 || info.bitCount != 16 || info.compression != kBitFields ||
      info.masks[0] != 0xF800 || info.masks[1] != 0x07E0 || info.masks[2] != 0x001F || info.width <= 0 || height <= 0 ||
      info.width > 8192 || height > 8192)
    return 0;
  Bitmap b;
  b.live = true;
  b.width = info.width;
  b.height = i32(height);
  b.pitchPixels = (info.width + 1) & ~1;  // rows are whole 32-bit words
  b.bottomUp = info.height > 0;
  b.pixels.assign(size_t(b.pitchPixels) * size_t(b.height), 0);
  bitmaps_.push_back(std::move(b));
  *bits = bitmaps_.back().pixels.data();
  return GdiObject(bitmaps_.size());
}

GdiObject PanelGdi::SelectObject(Dc dc, GdiObject object) {
  Context* c = FindDc(dc);
  if (object == kStockBitmap) object = 0;
  if (!c || !c->memory || (object != 0 && !FindBitmap(object))) return 0;
  GdiObject previous = c->selected;
  c->selected = object;
  return previous ? previous : kStockBitmap;
}

bool PanelGdi::DeleteDC(Dc dc) {
  Context* c = FindDc(dc);
  if (!c) return false;
  c->live = false;
  return true;
}

bool PanelGdi::DeleteObject(GdiObject object) {
  Bitmap* b = FindBitmap(object);
  if (!b) return false;
  for (Context& c : dcs_)
    if (c.live && c.selected == object) return false;  // still selected: refused
  b->live = false;
  std::vector<u16>().swap(b->pixels);
  return true;
}

bool PanelGdi::BitBlt(Dc destination, i32 x, i32 y, i32 width, i32 height, Dc source, i32 sourceX, i32 sourceY,
                      u32 rop) {
  Context* d = FindDc(destination);
  Context* s = FindDc(source);
  if (!d || !s || rop != kRopSrcCopy) return false;
  if (d->window != 0 && !Windows().IsWindow(d->window)) return false;

  // Each side is either the panel or a selected section.
  struct View {
    u16* base;
    i32 width, height, pitch;
    bool bottomUp;
    u16* Row(i32 row) const { return base + size_t(bottomUp ? height - 1 - row : row) * size_t(pitch); }
  };
  auto viewOf = [&](Context* c, View* v) {
    if (!c->memory) {
      *v = View{panel_.pixels.data(), panel_.width, panel_.height, panel_.width, false};
      return true;
    }
    Bitmap* b = FindBitmap(c->selected);
    if (!b) return false;
    *v = View{b->pixels.data(), b->width, b->height, b->pitchPixels, b->bottomUp};
    return true;
  };
  View dv, sv;
  if (!viewOf(d, &dv) || !viewOf(s, &sv)) return false;

  // Clip against both rectangles, keeping source and destination in step.
  i64 x0 = x, y0 = y, sx = sourceX, sy = sourceY, w = width, h = height;
  if (x0 < 0) {
    sx -= x0;
    w += x0;
    x0 = 0;
  }
  if (y0 < 0) {
    sy -= y0;
    h += y0;
    y0 = 0;
  }
  if (sx < 0) {
    x0 -= sx;
    w += sx;
    sx = 0;
  }
  if (sy < 0) {
    y0 -= sy;
    h += sy;
    sy = 0;
  }
  w = std::min({w, i64(dv.width) - x0, i64(sv.width) - sx});
  h = std::min({h, i64(dv.height) - y0, i64(sv.height) - sy});
  if (w > 0 && h > 0) {
    for (i64 row = 0; row < h; ++row)
      std::memmove(dv.Row(i32(y0 + row)) + x0, sv.Row(i32(sy + row)) + sx, size_t(w) * 2);
    if (!d->memory) {
      ++panelUpdates_;
      OnPanelChanged(i32(x0), i32(y0), i32(w), i32(h));
      if (watcher_) watcher_(panel_);
    }
  }
  return true;
}

size_t PanelGdi::LiveDcs() const {
  return size_t(std::count_if(dcs_.begin(), dcs_.end(), [](const Context& c) { return c.live; }));
}

size_t PanelGdi::LiveBitmaps() const {
  return size_t(std::count_if(bitmaps_.begin(), bitmaps_.end(), [](const Bitmap& b) { return b.live; }));
}

namespace {
PanelGdi& HostGraphics() {
  static PanelGdi instance;
  return instance;
}
Gdi* installedGraphics = nullptr;
}  // namespace

Gdi& Graphics() { return installedGraphics ? *installedGraphics : HostGraphics(); }
void InstallGraphics(Gdi* g) { installedGraphics = g; }

}  // namespace Os
