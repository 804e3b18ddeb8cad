#include "platform/video/DriverImageon.h"

#include "os/DisplayHardware.h"
#include "platform/video/VideoDetect.h"
#include "platform/video/VideoLibraries.h"
#include "platform/video/VideoProbes.h"

namespace Hal {

DriverImageon::~DriverImageon() {
  if (!ati) return;
  if (overlay) {
    EndTransfer();
    ati->SetOverlayOnOff(overlay, 0);
    ati->ReleaseOverlay(overlay);
  }
  if (surfaceHandle) ati->DestroySurface(surfaceHandle);
  if (attached) ati->ProcessDetach();
}

bool DriverImageon::Initialize(Os::WindowId window, const DisplayParameters&, const DeviceDescription& d) {
  if (overlay || !Os::Windows().IsWindow(window)) return false;
  AtiCoreTable& table = AtiCore();
  if (!table.Usable() || d.width == 0 || d.height == 0 || d.width > 0xFFFF || d.height > 0xFFFF) return false;
  ati = &table;
  overlay = 0;
  surfaceHandle = 0;
  description = d;
  description.pitch = d.width * 2;
  description.orientation = ORIENTATION_NORMAL;
  description.swapEffect = SWAP_NONE;
  ati->ProcessAttach();
  attached = 1;
  // Without its surface or overlay the chip has nothing to show: fail rather than draw at offset 0.
  if (!ati->AllocateSurface(&surfaceHandle, &surfaceOffset, d.width * d.height * 2, 0) || !surfaceHandle) return false;
  if (!ati->AllocOverlay(&overlay) || !overlay) return false;
  Os::ImageonOverlayRecord record{};
  record.surfaceOffset = surfaceOffset;
  record.width2 = d.width | (d.width << 16);
  record.height2 = d.height | (d.height << 16);
  record.format = 8;
  ati->SetupOverlay(overlay, &record);
  ati->SetOverlayPos(overlay, 0, 0);
  ati->SetOverlayOnOff(overlay, 1);
  surface.width = description.width;
  surface.height = description.height;
  surface.pitch = description.pitch;
  return true;
}

Surface* DriverImageon::BeginDraw() {
  u32 polls = 0;
  while (polls < kWaitPolls && !ati->WaitComplete(100)) ++polls;
  if (polls == kWaitPolls) return nullptr;
  u32 address = 0;
  if (!ati->SetupMemoryTransfer(surfaceOffset, &address) || address == 0) return nullptr;
  transferOpen = 1;
  surface.pixels = FramePixels(address, surface.pitch, surface.height);
  if (!surface.pixels) {
    EndTransfer();
    return nullptr;
  }
  return &surface;
}

void DriverImageon::EndTransfer() {
  if (transferOpen) {
    ati->TerminateMemoryTransfer();
    transferOpen = 0;
  }
}

void DriverImageon::EndDraw(u32) { EndTransfer(); }

void DriverImageon::Resume() {
  if (overlay) ati->SetOverlayOnOff(overlay, 1);
}

void DriverImageon::Suspend() {
  if (!overlay) return;
  EndTransfer();
  ati->SetOverlayOnOff(overlay, 0);
}

bool DriverImageon::Detect() {
  const u32 model = GetDeviceModel();
  if (model != 6 && model != 7) return false;
  DynamicLibrary library("CoreLinkLib.dll");
  if (!library.IsLoaded() || !library.Symbol("AtiCore_AllocateSurface") || !library.Symbol("AtiCore_AllocOverlay"))
    return false;
  const auto attach = reinterpret_cast<Os::Entry::AtiProcessAttach>(library.Symbol("AtiCore_ProcessAttach"));
  const auto detach = reinterpret_cast<Os::Entry::AtiProcessDetach>(library.Symbol("AtiCore_ProcessDetach"));
  if (!attach || !detach) return false;
  attach();
  detach();
  return true;
}

}  // namespace Hal
