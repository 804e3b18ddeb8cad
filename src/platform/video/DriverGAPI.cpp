#include "platform/video/DriverGAPI.h"

#include "platform/video/VideoDetect.h"
#include "platform/video/VideoLibraries.h"
#include "platform/video/VideoProbes.h"

namespace Hal {
namespace {

// Two devices' libraries hand out a buffer that is not the panel: the frame address found by detection is
// drawn into directly.
bool DirectModel() {
  const u32 model = GetDeviceModel();
  return model == 2 || model == 3;
}

u32 Abs(i32 v) { return v < 0 ? u32(-i64(v)) : u32(v); }

// Closes the library's display when the probe ends, also when a fault unwinds through it.
struct OpenDisplay {
  GxTable& gx;
  ~OpenDisplay() { gx.GXCloseDisplay(); }
};

}  // namespace

DriverGAPI::~DriverGAPI() {
  if (gx) gx->GXCloseDisplay();
}

bool DriverGAPI::Initialize(Os::WindowId window, const DisplayParameters&, const DeviceDescription& d) {
  if (gx || !Os::Windows().IsWindow(window)) return false;
  GxTable& table = Gx();
  if (!table.Usable() || !table.GXOpenDisplay(window, Os::kGxFullScreen)) return false;
  gx = &table;
  const Os::GxDisplayProperties p = table.GXGetDisplayProperties();
  description = d;
  description.swapEffect = table.IsDRAMBuffer() ? SWAP_COPY : SWAP_NONE;
  if (DirectModel()) {
    description.swapEffect = SWAP_NONE;
    direct = 1;
  }
  offset = PanelOffset(description.orientation, i32(p.cx), i32(p.cy), p.xPitch, p.yPitch, p.bpp);
  surface.width = d.width;
  surface.height = d.height;
  surface.pitch = d.pitch;
  surface.pixels = nullptr;
  if (direct) {
    surface.pixels = FramePixels(d.frameBuffer, d.pitch, d.height);
    if (!surface.pixels) return false;  // the destructor closes the display
  }
  return true;
}

Surface* DriverGAPI::BeginDraw() {
  if (direct) return &surface;
  const u32 address = gx->GXBeginDraw();
  if (!address) return nullptr;
  surface.pixels = FramePixels(address + u32(offset), surface.pitch, surface.height);
  return surface.pixels ? &surface : nullptr;
}

void DriverGAPI::EndDraw(u32) {
  if (!direct) gx->GXEndDraw();
}

// The library takes the rows of the screen as the user holds it.
void DriverGAPI::SetViewport(const Rect& r) {
  if (description.swapEffect == SWAP_NONE) return;
  const i32 w = i32(description.width), h = i32(description.height);
  switch (description.orientation) {
    case ORIENTATION_NORMAL: gx->GXSetViewport(u32(r.top), u32(r.bottom - r.top), 0, 0); break;
    case ORIENTATION_ROTATE90CCW: gx->GXSetViewport(u32(w - r.right), u32(r.right - r.left), 0, 0); break;
    case ORIENTATION_ROTATE180: gx->GXSetViewport(u32(h - r.bottom), u32(r.bottom - r.top), 0, 0); break;
    default: gx->GXSetViewport(u32(r.left), u32(r.right - r.left), 0, 0); break;
  }
}

void DriverGAPI::Resume() {
  if (gx) gx->GXResume();
}

void DriverGAPI::Suspend() {
  if (gx) gx->GXSuspend();
}

bool DriverGAPI::Detect(DeviceDescription* description, Os::WindowId window, u32 screenWidth, u32 screenHeight) {
  GxTable& gx = Gx();
  if (!gx.Usable()) return false;
  if (!gx.GXOpenDisplay(window, Os::kGxFullScreen)) return false;
  DeviceDescription d = *description;
  {
    OpenDisplay open{gx};
    const Os::GxDisplayProperties p = gx.GXGetDisplayProperties();
    d.depth = u32(p.bpp);
    d.orientation = OrientationFromStrides(p.xPitch, p.yPitch);
    if (d.orientation == ORIENTATION_NORMAL || d.orientation == ORIENTATION_ROTATE180) {
      d.width = p.cx;
      d.height = p.cy;
      d.pitch = Abs(p.yPitch);
    } else {
      d.width = p.cy;
      d.height = p.cx;
      d.pitch = Abs(p.xPitch);
    }
    d.swapEffect = gx.IsDRAMBuffer() && !DirectModel() ? SWAP_COPY : SWAP_NONE;
    if (d.frameBuffer == 0) {
      const u32 address = gx.GXBeginDraw();
      if (address) {
        gx.GXEndDraw();
        d.frameBuffer = address + u32(PanelOffset(d.orientation, i32(p.cx), i32(p.cy), p.xPitch, p.yPitch, p.bpp));
      }
    }
  }
  if (u64{d.width} * d.height != u64{screenWidth} * screenHeight) return false;
  *description = d;
  return true;
}

}  // namespace Hal
