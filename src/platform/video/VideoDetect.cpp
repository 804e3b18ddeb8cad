#include "platform/video/VideoDetect.h"

#include "os/DeviceMemory.h"
#include "os/OemInfo.h"
#include "platform/video/DeviceAccess.h"
#include "platform/video/GDIDriver.h"

#include <cctype>
#include <cstring>
#include <new>

namespace Hal {
namespace {

VideoDetect* detector = nullptr;
Os::WindowId probeWindow = 0;
i32 deviceModel = -1;  // found on first use

}  // namespace

VideoDetect& VideoDetect::Instance() {
  if (!detector) {
    detector = new VideoDetect;
    detector->DetectDrivers();
    detector->BuildModeList();
  }
  return *detector;
}

void VideoDetect::ResetInstance() {
  delete detector;
  detector = nullptr;
  // What was found once about the device is found again too.
  deviceModel = -1;
  ResetVideoHardware();
}

void VideoDetect::SetProbeWindow(Os::WindowId window) { probeWindow = window; }
Os::WindowId VideoDetect::ProbeWindow() { return probeWindow; }

void VideoDetect::AddCandidate(u32 id) {
  if (candidateCount < kMaxCandidates) candidates[candidateCount++] = id;
}

void VideoDetect::DetectDrivers() {
  if (GDIDriver::Detect(&description)) AddCandidate(kDriverGDI);
  if (description.depth == 16) DetectHardwareDrivers(*this);
  if (description.orientation == ORIENTATION_UNKNOWN) description.orientation = ORIENTATION_NORMAL;
}

void VideoDetect::BuildModeList() {
  const DeviceDescription& d = description;
  modeCount = 0;
  modes[modeCount++] = DisplayMode{d.width, d.height, d.orientation};
  if (d.width % 16 == 0 && d.height % 16 == 0) {
    // Quarter turns need whole 16 x 16 blocks.
    while (modeCount < kMaxModes) {
      const DisplayMode& p = modes[modeCount - 1];
      modes[modeCount] = DisplayMode{p.height, p.width, (p.orientation + 1) & 3};
      ++modeCount;
    }
  } else if (d.orientation != ORIENTATION_NORMAL) {
    if (d.orientation == ORIENTATION_ROTATE180)
      modes[modeCount++] = DisplayMode{d.width, d.height, ORIENTATION_NORMAL};
    else
      modes[modeCount++] = DisplayMode{d.height, d.width, ORIENTATION_NORMAL};
  }
}

bool VideoDetect::HasMode(u32 orientation) const {
  for (u32 i = 0; i < modeCount; ++i)
    if (modes[i].orientation == orientation) return true;
  return false;
}

VideoDriver* VideoDetect::CreateDriver(u32 id) {
  if (id == kDriverGDI) return new (std::nothrow) GDIDriver;
  return CreateHardwareDriver(id);
}

VideoDriver* VideoDetect::CreateBestDriver(Os::WindowId window, const DisplayParameters& parameters) {
  if (candidateCount == 0) return nullptr;
  if (parameters.orientation != ORIENTATION_UNKNOWN && !HasMode(parameters.orientation)) return nullptr;
  auto attempt = [&](u32 id) -> VideoDriver* {
    VideoDriver* driver = CreateDriver(id);
    if (!driver) return nullptr;
    if (InitializeDriverGuarded(driver, window, parameters, description)) return driver;
    delete driver;
    return nullptr;
  };
  if (forcedDriver) return attempt(forcedDriver);
  for (u32 i = candidateCount; i-- > 0;)
    if (VideoDriver* driver = attempt(candidates[i])) return driver;
  return nullptr;
}

bool InitializeDriverGuarded(VideoDriver* driver, Os::WindowId window, const DisplayParameters& parameters,
                             const DeviceDescription& description) {
  try {
    return driver->Initialize(window, parameters, description);
  } catch (const Os::DeviceFault&) {
    return false;
  }
}

u32 OrientationFromStrides(i32 xStride, i32 yStride) {
  if (xStride < 1) return yStride < 0 ? ORIENTATION_ROTATE180 : ORIENTATION_ROTATE90CW;
  return yStride < 1 ? ORIENTATION_ROTATE90CCW : ORIENTATION_NORMAL;
}

u32 DeviceModelFromOemText(const char* text) {
  static const char* const kModels[] = {"Compaq iPAQ H3800", "Compale P6C",  "Typhoon",      "Toshiba e310",
                                        "Toshiba e330",      "Toshiba e740", "Toshiba e750", "MotoQ"};
  if (!text) return 0;
  for (u32 i = 0; i < sizeof kModels / sizeof kModels[0]; ++i) {
    const char* name = kModels[i];
    const size_t n = std::strlen(name);
    size_t k = 0;
    while (k < n && text[k] &&
           std::tolower(static_cast<unsigned char>(text[k])) == std::tolower(static_cast<unsigned char>(name[k])))
      ++k;
    if (k == n) return i + 1;
  }
  return 0;
}

u32 GetDeviceModel() {
  if (deviceModel < 0) {
    char text[260] = {};
    deviceModel = Os::Oem().Text(text, sizeof text) ? i32(DeviceModelFromOemText(text)) : 0;
  }
  return u32(deviceModel);
}

}  // namespace Hal
