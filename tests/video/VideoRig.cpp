#include "VideoRig.h"

#include "platform/hal/Game.h"
#include "platform/video/DriverDirect.h"
#include "platform/video/DriverGAPI.h"
#include "platform/video/DriverImageon.h"
#include "platform/video/DriverLcd.h"
#include "platform/video/DriverMediaQ.h"
#include "platform/video/DriverVGA.h"
#include "platform/video/GDIDriver.h"

#include <cstring>

namespace VideoTest {
namespace {

Os::LResult TestProc(Os::WindowId w, u32 message, Os::WParam wParam, Os::LParam lParam) {
  return Os::Windows().DefWindowProc(w, message, wParam, lParam);
}

}  // namespace

Rig::Rig(const Os::Sim::Profile& profile) : windows(i32(profile.width), i32(profile.height)), device(profile) {
  Os::InstallClock(&clock);
  Hal::ResetTimer();
  Os::InstallWindows(&windows);
  windows.RegisterClass("VideoTest", TestProc);
  window = windows.CreateWindow("VideoTest", "Duskmire", 0, 0, i32(profile.width), i32(profile.height), 0);
  device.onCost = [this](u32 ms) { clock.Advance(ms); };
  device.Install();
  Hal::VideoDetect::ResetInstance();
  Hal::VideoDetect::SetProbeWindow(window);
}

Rig::~Rig() {
  Hal::VideoDetect::ResetInstance();
  device.Uninstall();
  Os::InstallWindows(nullptr);
  Os::InstallClock(nullptr);
  Hal::ResetTimer();
}

std::vector<u32> Rig::Candidates() {
  Hal::VideoDetect& d = Detector();
  return std::vector<u32>(d.candidates, d.candidates + d.candidateCount);
}

u32 DriverId(const Hal::VideoDriver* driver) {
  if (dynamic_cast<const Hal::GDIDriver*>(driver)) return 1;
  if (dynamic_cast<const Hal::DriverDirect*>(driver)) return 3;
  if (dynamic_cast<const Hal::DriverGAPI*>(driver)) return 4;
  if (dynamic_cast<const Hal::DriverStrongARM*>(driver)) return 5;
  if (dynamic_cast<const Hal::DriverXScale*>(driver)) return 6;
  if (dynamic_cast<const Hal::DriverImageon*>(driver)) return 7;
  if (dynamic_cast<const Hal::DriverSlowFB*>(driver)) return 8;
  if (dynamic_cast<const Hal::DriverVGA*>(driver)) return 9;
  return 0;
}

std::vector<u16> Pattern(u32 w, u32 h, u32 seed) {
  std::vector<u16> p(size_t{w} * h);
  for (u32 y = 0; y < h; ++y)
    for (u32 x = 0; x < w; ++x) p[size_t{y} * w + x] = u16((x * 3 + y * 257 + seed * 1009) ^ (seed * 0x1111));
  return p;
}

std::vector<u16> TurnClockwise(const std::vector<u16>& picture, u32 w, u32 h, u32 quarterTurns) {
  std::vector<u16> out = picture;
  for (u32 t = 0; t < (quarterTurns & 3); ++t) {
    std::vector<u16> turned(out.size());
    // One clockwise turn: (x, y) goes to (h - 1 - y, x) of an h x w picture.
    for (u32 y = 0; y < h; ++y)
      for (u32 x = 0; x < w; ++x) turned[size_t{x} * h + (h - 1 - y)] = out[size_t{y} * w + x];
    out.swap(turned);
    std::swap(w, h);
  }
  return out;
}

void Draw(Hal::Surface* surface, const std::vector<u16>& picture) {
  for (u32 y = 0; y < surface->height; ++y)
    std::memcpy(surface->Row(y), &picture[size_t{y} * surface->width], surface->width * 2);
}

std::string FirstDifference(const std::vector<u16>& got, const std::vector<u16>& want, u32 width) {
  if (got.size() != want.size())
    return "size " + std::to_string(got.size()) + " instead of " + std::to_string(want.size());
  for (size_t i = 0; i < got.size(); ++i)
    if (got[i] != want[i])
      return "pixel (" + std::to_string(i % width) + ", " + std::to_string(i / width) + ") is " +
             std::to_string(got[i]) + ", expected " + std::to_string(want[i]);
  return "";
}

}  // namespace VideoTest
