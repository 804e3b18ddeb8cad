// A simulated handheld for the video tests: virtual clock, window system with one window, and the device
// of a profile installed as the hardware; the detector starts afresh and forgets everything at the end.
#pragma once
#include "os/WindowManager.h"
#include "os/headless/VirtualClock.h"
#include "os/sim/SimDevice.h"
#include "platform/hal/Display.h"
#include "platform/video/VideoDetect.h"

#include <string>
#include <vector>

namespace VideoTest {

class Rig {
 public:
  explicit Rig(const Os::Sim::Profile& profile);
  ~Rig();
  Rig(const Rig&) = delete;
  Rig& operator=(const Rig&) = delete;

  Hal::VideoDetect& Detector() { return Hal::VideoDetect::Instance(); }
  std::vector<u32> Candidates();

  Os::VirtualClock clock;
  Os::WindowManager windows;
  Os::Sim::Device device;
  Os::WindowId window = 0;
};

// The id of a driver object (1, 3 to 9), 0 for anything else.
u32 DriverId(const Hal::VideoDriver* driver);

// A picture of w x h pixels, distinct enough that a turned or shifted copy never matches.
std::vector<u16> Pattern(u32 w, u32 h, u32 seed);
// The picture turned clockwise by quarter turns (w and h are its size before turning).
std::vector<u16> TurnClockwise(const std::vector<u16>& picture, u32 w, u32 h, u32 quarterTurns);
// Draws the picture into a surface of its size.
void Draw(Hal::Surface* surface, const std::vector<u16>& picture);
// Empty when equal, else where they first differ.
std::string FirstDifference(const std::vector<u16>& got, const std::vector<u16>& want, u32 width);

}  // namespace VideoTest
