#include "platform/video/DriverDirect.h"

#include "os/Clock.h"
#include "os/DisplayHardware.h"
#include "os/Gdi.h"
#include "platform/video/VideoDetect.h"
#include "platform/video/VideoLibraries.h"
#include "platform/video/VideoProbes.h"

#include <utility>

namespace Hal {

DriverDirect::DriverDirect() {
  // Two devices' DMA engines do not work with their frame memory.
  const u32 model = GetDeviceModel();
  if (model != 2 && model != 3 && GxDma().Usable()) dma = &GxDma();
}

bool DriverDirect::Initialize(Os::WindowId window, const DisplayParameters&, const DeviceDescription& d) {
  if (!Os::Windows().IsWindow(window) || d.frameBuffer == 0) return false;
  u16* pixels = FramePixels(d.frameBuffer, d.pitch, d.height);
  if (!pixels) return false;
  description = d;
  description.swapEffect = dma ? SWAP_COPY : SWAP_NONE;
  surface.width = d.width;
  surface.height = d.height;
  surface.pitch = d.pitch;
  surface.pixels = pixels;
  dmaX = 0;
  dmaY = 0;
  dmaWidth = d.width;
  dmaHeight = d.height;
  return true;
}

Surface* DriverDirect::BeginDraw() {
  if (dma) {
    // The previous transfer must be done before the frame is drawn over; bounded, so that an engine that
    // never reports ready costs one torn frame rather than a hang.
    for (u32 polls = 0; polls < kDmaReadyPolls && !dma->IsDMAReady(); ++polls) Os::Clocks().Sleep(0);
  }
  return &surface;
}

void DriverDirect::EndDraw(u32) {
  if (dma) dma->DmaDRAMtoVRAM(dmaX, dmaY, dmaWidth, dmaHeight);
}

void DriverDirect::SetViewport(const Rect& r) {
  if (description.swapEffect == SWAP_NONE) return;
  // The DMA engine moves whole groups of four pixels.
  dmaX = u32(r.left) & ~3u;
  dmaWidth = (u32(r.right) - dmaX + 3) & ~3u;
  dmaY = u32(r.top);
  dmaHeight = u32(r.bottom - r.top);
}

bool DriverDirect::Detect(DeviceDescription* description) {
  ScreenDc screen;
  if (!screen.dc) return false;
  i32 code = Os::kEscGetGxInfo;
  if (Os::Graphics().ExtEscape(screen.dc, Os::kEscQuerySupport, sizeof code, &code, 0, nullptr) <= 0) return false;
  // The record starts zeroed, and only a successful escape with a frame address counts: a failing display
  // driver may leave part of it unwritten.
  Os::GxInfoRecord record{};
  record.version = Os::kGxInfoVersion;
  const i32 result = Os::Graphics().ExtEscape(screen.dc, Os::kEscGetGxInfo, 0, nullptr, sizeof record, &record);
  if (result <= 0 || record.framePointer == 0 || record.width == 0 || record.height == 0) return false;
  u32 width = record.width, height = record.height;
  if (record.formatFlags & Os::kGxInfoLandscape) std::swap(width, height);
  if (record.stride < width * 2) return false;
  description->frameBuffer = record.framePointer;
  description->orientation = (record.formatFlags >> 3) & 1;
  description->width = width;
  description->height = height;
  description->pitch = record.stride;
  return true;
}

}  // namespace Hal
