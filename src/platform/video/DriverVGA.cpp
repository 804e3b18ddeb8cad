#include "platform/video/DriverVGA.h"

#include "os/DisplayHardware.h"
#include "platform/video/VideoDetect.h"
#include "platform/video/VideoProbes.h"

namespace Hal {

bool DriverVGA::Initialize(Os::WindowId, const DisplayParameters&, const DeviceDescription& d) {
  if (d.frameBuffer == 0) return false;
  u16* pixels = FramePixels(d.frameBuffer, d.pitch, d.height);
  if (!pixels) return false;
  description = d;
  surface.width = d.width;
  surface.height = d.height;
  surface.pitch = d.pitch;
  surface.pixels = pixels;
  return true;
}

bool DriverVGA::Detect(DeviceDescription* description, u32 screenWidth, u32 screenHeight) {
  ScreenDc screen;
  if (!screen.dc) return false;
  i32 code = Os::kEscGetRawFrameBuffer;
  if (Os::Graphics().ExtEscape(screen.dc, Os::kEscQuerySupport, sizeof code, &code, 0, nullptr) <= 0) return false;
  Os::RawFrameBufferRecord r{};
  if (Os::Graphics().ExtEscape(screen.dc, Os::kEscGetRawFrameBuffer, 0, nullptr, sizeof r, &r) <= 0) return false;
  if (r.xPixels <= 0 || r.yPixels <= 0 || (r.format & 3) != Os::kRawFormatRgb565 || r.framePointer == 0) return false;
  if (u64(r.xPixels) * u64(r.yPixels) != u64{screenWidth} * screenHeight) return false;
  DeviceDescription d = *description;
  d.depth = r.bitsPerPixel;
  d.orientation = OrientationFromStrides(r.xStride, r.yStride);
  const auto abs = [](i32 v) { return v < 0 ? u32(-i64(v)) : u32(v); };
  if (d.orientation == ORIENTATION_NORMAL || d.orientation == ORIENTATION_ROTATE180) {
    d.width = u32(r.xPixels);
    d.height = u32(r.yPixels);
    d.pitch = abs(r.yStride);
  } else {
    d.width = u32(r.yPixels);
    d.height = u32(r.xPixels);
    d.pitch = abs(r.xStride);
  }
  d.frameBuffer =
      r.framePointer + u32(PanelOffset(d.orientation, r.xPixels, r.yPixels, r.xStride, r.yStride, r.bitsPerPixel));
  d.swapEffect = SWAP_NONE;
  if (GetDeviceModel() == 8) d.orientation = ORIENTATION_ROTATE90CW;
  *description = d;
  return true;
}

}  // namespace Hal
