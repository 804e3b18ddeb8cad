// The portable video driver: the game draws into a DIB section that each present copies to the window.
#pragma once
#include "os/Gdi.h"
#include "platform/video/VideoDriver.h"

namespace Hal {

// A surface whose pixels belong to a top-down 16-bit bit-field DIB section selected into a memory context.
class DIBSurface : public Surface {
 public:
  // Null (nothing left behind) when the section or its context cannot be made.
  static DIBSurface* Create(u32 width, u32 height);
  ~DIBSurface() override;
  Os::Dc MemoryDc() const { return memoryDc; }
  Os::GdiObject Section() const { return section; }

 private:
  DIBSurface() = default;
  Os::Dc memoryDc = 0;
  Os::GdiObject section = 0;
  Os::GdiObject previous = 0;
};

class GDIDriver : public VideoDriver {
 public:
  ~GDIDriver() override;
  bool Initialize(Os::WindowId window, const DisplayParameters& parameters,
                  const DeviceDescription& description) override;
  Surface* BeginDraw() override { return surface; }
  void EndDraw(u32 flags) override;
  void SetViewport(const Rect& rectangle) override;

  // The probe: the screen's size and depth through its device context.
  static bool Detect(DeviceDescription* description);

 private:
  Os::WindowId window = 0;
  Os::Dc windowDc = 0;
  DIBSurface* surface = nullptr;
  i32 left = 0, top = 0, width = 0, height = 0;
};

}  // namespace Hal
