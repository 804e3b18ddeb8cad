// Driver 4: draws into the buffer of the game-API library "gx.dll" (the panel itself, or a system-memory
// buffer the library copies out).
#pragma once
#include "platform/video/VideoDriver.h"

namespace Hal {

struct GxTable;

class DriverGAPI : public VideoDriver {
 public:
  ~DriverGAPI() override;
  void Resume() override;
  void Suspend() override;
  bool Initialize(Os::WindowId window, const DisplayParameters& parameters,
                  const DeviceDescription& description) override;
  Surface* BeginDraw() override;
  void EndDraw(u32 flags) override;
  void SetViewport(const Rect& rectangle) override;

  // Probe over the window the display remembered, for a screen of that size; fills the description only
  // when the library's display matches the screen.
  static bool Detect(DeviceDescription* description, Os::WindowId window, u32 screenWidth, u32 screenHeight);

  i32 Offset() const { return offset; }
  bool Direct() const { return direct != 0; }

 private:
  Surface surface;
  GxTable* gx = nullptr;
  i32 offset = 0;
  u8 direct = 0;
};

}  // namespace Hal
