// The video detector: probes the device once, records its description, the display modes it offers and
// an ordered list of candidate drivers, and creates the best candidate that initialises.
#pragma once
#include "os/Window.h"
#include "platform/video/VideoDriver.h"

namespace Hal {

// Driver ids.
inline constexpr u32 kDriverGDI = 1;
inline constexpr u32 kDriverDirect = 3;
inline constexpr u32 kDriverGAPI = 4;
inline constexpr u32 kDriverStrongARM = 5;
inline constexpr u32 kDriverXScale = 6;
inline constexpr u32 kDriverImageon = 7;
inline constexpr u32 kDriverSlowFB = 8;
inline constexpr u32 kDriverVGA = 9;

struct DisplayMode {
  u32 width = 0;
  u32 height = 0;
  u32 orientation = 0;
};

class VideoDetect {
 public:
  static constexpr u32 kMaxModes = 4;
  static constexpr u32 kMaxCandidates = 8;

  // The process-wide detector; the first call probes the device.
  static VideoDetect& Instance();
  // Drops the detector, so that the next Instance probes again (a test changes the device between).
  static void ResetInstance();
  // The window the game-API probe opens the display on; the display sets it before asking for a driver.
  static void SetProbeWindow(Os::WindowId window);
  static Os::WindowId ProbeWindow();

  // An initialised driver for the parameters, or null.
  VideoDriver* CreateBestDriver(Os::WindowId window, const DisplayParameters& parameters);
  // A new, uninitialised driver of that id, or null for an unknown id.
  static VideoDriver* CreateDriver(u32 id);

  // The probes; public so that the probes of each driver, in their own files, can fill them.
  void DetectDrivers();
  void BuildModeList();
  void AddCandidate(u32 id);
  bool HasMode(u32 orientation) const;

  DeviceDescription description;
  u32 modeCount = 0;
  DisplayMode modes[kMaxModes];
  u32 candidateCount = 0;
  u32 candidates[kMaxCandidates] = {};
  u32 forcedDriver = 0;  // when set only that driver is tried

 private:
  VideoDetect() = default;
};

// Orientation of a frame buffer from its x and y byte strides.
u32 OrientationFromStrides(i32 xStride, i32 yStride);

// Device models by OEM text, compared ignoring case over the length of each table name; 0 = unknown.
u32 DeviceModelFromOemText(const char* text);
// The model of this device, found once.
u32 GetDeviceModel();
// 0 unknown, 1 StrongARM, 2 XScale; found once.
u32 GetProcessorType();

// The seam for the drivers that reach the graphics hardware directly (ids 3 to 9), kept in
// VideoHardware.cpp: their probes, run only on 16-bit screens after the window-drawing probe, and their
// creation by id.
void DetectHardwareDrivers(VideoDetect& detector);
VideoDriver* CreateHardwareDriver(u32 id);

// A driver's Initialize, run so that a fault of the hardware counts as its failure.
bool InitializeDriverGuarded(VideoDriver* driver, Os::WindowId window, const DisplayParameters& parameters,
                             const DeviceDescription& description);

}  // namespace Hal
