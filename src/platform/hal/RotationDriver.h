// A video driver over another one whose panel is mounted the other way: the game draws into a back buffer
// of its own orientation and each present turns it onto the native surface in 16 x 16 blocks.
#pragma once
#include "platform/hal/Blit.h"
#include "platform/video/VideoDriver.h"

namespace Hal {

class RotationDriver : public VideoDriver {
 public:
  explicit RotationDriver(VideoDriver* inner) : wrapped(inner) {}
  ~RotationDriver() override;

  void Resume() override;
  void Suspend() override;
  void Refresh() override;
  bool Initialize(Os::WindowId window, const DisplayParameters& parameters, const DeviceDescription& native) override;
  Surface* BeginDraw() override;
  void EndDraw(u32 flags) override;
  void SetViewport(const Rect& rectangle) override;

  u32 Rotation() const { return rotation; }
  const Rect& NativeRect() const { return nativeRect; }
  Surface* BackBuffer() const { return backBuffer; }
  // Gives up ownership of the wrapped driver (the display deletes it once when the wrapper fails).
  VideoDriver* Release() {
    VideoDriver* d = wrapped;
    wrapped = nullptr;
    return d;
  }

 private:
  VideoDriver* wrapped;
  Surface* backBuffer = nullptr;
  Surface* held = nullptr;
  u32 rotation = 0;  // quarter turns
  u32 nativeWidth = 0, nativeHeight = 0;
  Rect nativeRect;
  RotatedCopy copy = BlitRectCopy;
  RotatedCopy copyAfterWait = BlitRectCopy;
};

}  // namespace Hal
