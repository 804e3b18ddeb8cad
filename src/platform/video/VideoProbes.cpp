#include "platform/video/VideoProbes.h"

#include "platform/video/VideoDetect.h"

namespace Hal {

ScreenDc::ScreenDc() : dc(Os::Graphics().GetDC(0)) {}

ScreenDc::~ScreenDc() {
  if (dc) Os::Graphics().ReleaseDC(0, dc);
}

u16* FramePixels(Os::DeviceAddr address, u32 pitch, u32 height) {
  if (address == 0 || pitch == 0 || height == 0 || u64{pitch} * height > 0xFFFFFFFFu) return nullptr;
  return reinterpret_cast<u16*>(Os::Device().HostPtr(address, pitch * height));
}

i32 PanelOffset(u32 orientation, i32 cx, i32 cy, i32 xPitch, i32 yPitch, i32 bpp) {
  switch (orientation) {
    case ORIENTATION_ROTATE90CCW: return (bpp + 7) / 8 - cy * bpp / 8;
    case ORIENTATION_ROTATE90CW: return (cx - 1) * xPitch;
    // Half turn: the lowest address is that of the screen's last pixel.
    case ORIENTATION_ROTATE180: return (cx - 1) * xPitch + (cy - 1) * yPitch;
    default: return 0;
  }
}

}  // namespace Hal
