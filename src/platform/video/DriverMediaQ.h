// Driver 8: the MediaQ chip's frame memory is slow to write, so the game draws into two system-memory
// surfaces in turn and each present writes only the 32-bit words that changed since the previous frame.
// DriverMediaQ reaches the frame itself; DriverSlowFB wraps it with the two surfaces.
#pragma once
#include "platform/video/VideoDriver.h"

namespace Hal {

class DriverMediaQ : public VideoDriver {
 public:
  bool Initialize(Os::WindowId window, const DisplayParameters& parameters,
                  const DeviceDescription& description) override;
  Surface* BeginDraw() override { return surface.pixels ? &surface : nullptr; }
  void EndDraw(u32) override {}
  void SetViewport(const Rect&) override {}

  // Probe: the frame found so far lies where the chip's frame memory does, and clearing it takes 15 ms or
  // more.
  static bool Detect(const DeviceDescription& description);

 private:
  Surface surface;
};

class DriverSlowFB : public VideoDriver {
 public:
  explicit DriverSlowFB(DriverMediaQ* frameDriver) : wrapped(frameDriver) {}
  ~DriverSlowFB() override;
  void Resume() override { fullCopy = 1; }
  void Suspend() override { fullCopy = 1; }
  void Refresh() override { fullCopy = 1; }
  bool Initialize(Os::WindowId window, const DisplayParameters& parameters,
                  const DeviceDescription& description) override;
  Surface* BeginDraw() override;
  void EndDraw(u32 flags) override;
  void SetViewport(const Rect& rectangle) override;
  void WaitVSync() override;

  bool DoubleBuffered() const { return doubleBuffer != 0; }
  u32 SpanOffset() const { return spanOffset; }
  u32 SpanUnits() const { return spanUnits; }
  // 32-bit words written to the frame by the last present.
  u32 WordsWritten() const { return wordsWritten; }

 private:
  Surface* NewSurface() const;

  DriverMediaQ* wrapped;
  u8 doubleBuffer = 0;
  u8 fullCopy = 0;
  Surface* current = nullptr;
  Surface* surfaceA = nullptr;
  Surface* surfaceB = nullptr;
  u32 spanOffset = 0;  // bytes
  u32 spanUnits = 0;   // of 64 bytes
  u32 wordsWritten = 0;
};

}  // namespace Hal
