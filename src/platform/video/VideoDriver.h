// The video driver interface: one way of reaching the device's frame memory behind the same small set of
// operations (open, hand out a surface, present a rectangle).
#pragma once
#include "os/Window.h"
#include "platform/hal/Surface.h"

namespace Hal {

class IVideoDriver {
 public:
  virtual ~IVideoDriver() = default;
  virtual void Resume() = 0;
  virtual void Suspend() = 0;
  virtual void Refresh() = 0;
};

class VideoDriver : public IVideoDriver {
 public:
  // Output resumes after a suspension.
  void Resume() override {}
  // The window lost the foreground.
  void Suspend() override {}
  // The window must be repainted.
  void Refresh() override {}
  ~VideoDriver() override = default;
  // Opens the device: parameters are those asked for, description the detector's; false on failure.
  virtual bool Initialize(Os::WindowId window, const DisplayParameters& parameters,
                          const DeviceDescription& description) = 0;
  // The surface to draw into, or null when there is none this frame.
  virtual Surface* BeginDraw() = 0;
  // Presents. Flag bit 0: wait for the panel's scan first; bit 1: force a full copy.
  virtual void EndDraw(u32 flags) = 0;
  // The rectangle the next EndDraw presents.
  virtual void SetViewport(const Rect& rectangle) = 0;
  // Waits until the panel's refresh is in a safe region.
  virtual void WaitVSync() {}

  const DeviceDescription& Description() const { return description; }

 protected:
  DeviceDescription description;
};

}  // namespace Hal
