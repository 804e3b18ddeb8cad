#include "platform/video/GDIDriver.h"

#include <new>

namespace Hal {

DIBSurface* DIBSurface::Create(u32 width, u32 height) {
  if (width == 0 || height == 0 || width > 0x4000 || height > 0x4000) return nullptr;
  DIBSurface* s = new (std::nothrow) DIBSurface;
  if (!s) return nullptr;
  s->width = width;
  s->height = height;
  s->pitch = (width * 2 + 3) & ~3u;
  Os::BitmapInfo16 info;
  info.headerSize = 40;
  info.width = i32(width);
  info.height = -i32(height);  // top-down
  info.planes = 1;
  info.bitCount = 16;
  info.compression = Os::kBitFields;
  info.sizeImage = width * height * 2;
  info.masks[0] = 0xF800;
  info.masks[1] = 0x07E0;
  info.masks[2] = 0x001F;
  Os::Gdi& gdi = Os::Graphics();
  const Os::Dc screen = gdi.GetDC(0);
  void* bits = nullptr;
  s->section = gdi.CreateDIBSection(screen, info, &bits);
  s->pixels = static_cast<u16*>(bits);
  if (s->section) s->memoryDc = gdi.CreateCompatibleDC(screen);
  if (screen) gdi.ReleaseDC(0, screen);
  if (!s->pixels || !s->section || !s->memoryDc) {
    delete s;
    return nullptr;
  }
  s->previous = gdi.SelectObject(s->memoryDc, s->section);
  return s;
}

DIBSurface::~DIBSurface() {
  Os::Gdi& gdi = Os::Graphics();
  if (memoryDc) {
    if (previous) gdi.SelectObject(memoryDc, previous);
    gdi.DeleteDC(memoryDc);
  }
  if (section) gdi.DeleteObject(section);
  pixels = nullptr;  // the section owned them
}

GDIDriver::~GDIDriver() {
  if (windowDc) Os::Graphics().ReleaseDC(window, windowDc);
  delete surface;
}

bool GDIDriver::Initialize(Os::WindowId w, const DisplayParameters&, const DeviceDescription& detected) {
  if (surface) return false;
  surface = DIBSurface::Create(detected.width, detected.height);
  if (!surface) return false;
  window = w;
  windowDc = Os::Graphics().GetDC(window);
  description = detected;
  description.width = surface->width;
  description.height = surface->height;
  description.depth = 16;
  description.pitch = surface->pitch;
  description.orientation = ORIENTATION_NORMAL;
  description.swapEffect = SWAP_COPY;
  left = top = 0;
  width = i32(surface->width);
  height = i32(surface->height);
  return true;
}

void GDIDriver::EndDraw(u32) {
  if (!surface || !Os::Windows().IsWindow(window)) return;
  Os::Graphics().BitBlt(windowDc, left, top, width, height, surface->MemoryDc(), left, top, Os::kRopSrcCopy);
}

void GDIDriver::SetViewport(const Rect& r) {
  left = r.left;
  top = r.top;
  width = r.right - r.left;
  height = r.bottom - r.top;
}

bool GDIDriver::Detect(DeviceDescription* d) {
  Os::Gdi& gdi = Os::Graphics();
  const Os::Dc dc = gdi.GetDC(0);
  if (!dc) return false;
  d->width = u32(gdi.GetDeviceCaps(dc, Os::kCapsHorzRes));
  d->height = u32(gdi.GetDeviceCaps(dc, Os::kCapsVertRes));
  d->depth = u32(gdi.GetDeviceCaps(dc, Os::kCapsBitsPixel));
  gdi.ReleaseDC(0, dc);
  return true;
}

}  // namespace Hal
