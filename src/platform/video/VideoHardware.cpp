// The drivers that reach the graphics hardware directly (ids 3 to 9): their probes, in the order that
// decides which of them are candidates, and their creation by id.
#include "platform/video/VideoDetect.h"

#include "platform/video/DeviceAccess.h"
#include "platform/video/DriverDirect.h"
#include "platform/video/DriverGAPI.h"
#include "platform/video/DriverImageon.h"
#include "platform/video/DriverLcd.h"
#include "platform/video/DriverMediaQ.h"
#include "platform/video/DriverVGA.h"
#include "platform/video/VideoLibraries.h"
#include "platform/video/VideoProbes.h"

#include <new>

namespace Hal {

// Runs only for a 16-bit screen, after the window-drawing probe has found the screen's size. A probe that
// fails or faults adds nothing and leaves the description as it was.
void DetectHardwareDrivers(VideoDetect& detector) {
  DeviceDescription& d = detector.description;
  const u32 screenWidth = d.width, screenHeight = d.height;
  const Os::WindowId window = VideoDetect::ProbeWindow();
  // Each probe works on a copy, so that a fault half-way leaves nothing behind.
  auto probe = [&](auto run) {
    DeviceDescription copy = d;
    if (!RunGuarded([&] { return run(&copy); })) return false;
    d = copy;
    return true;
  };

  if (probe([&](DeviceDescription* c) { return DriverGAPI::Detect(c, window, screenWidth, screenHeight); }))
    detector.AddCandidate(kDriverGAPI);
  else if (!Gx().library.IsLoaded() && probe([](DeviceDescription* c) { return DriverDirect::Detect(c); }))
    detector.AddCandidate(kDriverDirect);

  if (probe([&](DeviceDescription* c) { return DriverVGA::Detect(c, screenWidth, screenHeight); })) {
    detector.AddCandidate(kDriverVGA);
    return;
  }
  const u32 processor = GetProcessorType();
  if (processor == 1 && StrongArmLcd().Valid()) {
    detector.AddCandidate(kDriverStrongARM);
    return;
  }
  if (processor == 2 && XScaleLcd().Valid()) {
    detector.AddCandidate(kDriverXScale);
    return;
  }
  if (RunGuarded([] { return DriverImageon::Detect(); })) {
    detector.AddCandidate(kDriverImageon);
    return;
  }
  if (RunGuarded([&] { return DriverMediaQ::Detect(d); })) detector.AddCandidate(kDriverSlowFB);
}

VideoDriver* CreateHardwareDriver(u32 id) {
  switch (id) {
    case kDriverDirect: return new (std::nothrow) DriverDirect;
    case kDriverGAPI: return new (std::nothrow) DriverGAPI;
    case kDriverStrongARM: return new (std::nothrow) DriverStrongARM;
    case kDriverXScale: return new (std::nothrow) DriverXScale;
    case kDriverImageon: return new (std::nothrow) DriverImageon;
    case kDriverSlowFB: {
      DriverMediaQ* frame = new (std::nothrow) DriverMediaQ;
      if (!frame) return nullptr;
      DriverSlowFB* driver = new (std::nothrow) DriverSlowFB(frame);
      if (!driver) delete frame;
      return driver;
    }
    case kDriverVGA: return new (std::nothrow) DriverVGA;
    default: return nullptr;
  }
}

u32 GetProcessorType() { return ReadProcessorType(); }

}  // namespace Hal
