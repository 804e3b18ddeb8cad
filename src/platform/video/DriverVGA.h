// Driver 9: draws into the frame memory that the display driver's GETRAWFRAMEBUFFER escape reports.
#pragma once
#include "platform/video/VideoDriver.h"

namespace Hal {

class DriverVGA : public VideoDriver {
 public:
  bool Initialize(Os::WindowId window, const DisplayParameters& parameters,
                  const DeviceDescription& description) override;
  Surface* BeginDraw() override { return &surface; }
  void EndDraw(u32) override {}
  void SetViewport(const Rect&) override {}

  // Probe for a screen of that size; fills the description only when the escape reports a 16-bit frame
  // of the screen's size.
  static bool Detect(DeviceDescription* description, u32 screenWidth, u32 screenHeight);

 private:
  Surface surface;
};

}  // namespace Hal
