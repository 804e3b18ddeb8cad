// Driver 7: draws into an overlay surface in the ATI Imageon chip's memory, reached through the chip's
// library "CoreLinkLib.dll" by a memory transfer opened for each frame.
#pragma once
#include "platform/video/VideoDriver.h"

namespace Hal {

struct AtiCoreTable;

class DriverImageon : public VideoDriver {
 public:
  // Polls of the chip before a frame is given up.
  static constexpr u32 kWaitPolls = 32;

  ~DriverImageon() override;
  void Resume() override;
  void Suspend() override;
  bool Initialize(Os::WindowId window, const DisplayParameters& parameters,
                  const DeviceDescription& description) override;
  Surface* BeginDraw() override;
  void EndDraw(u32 flags) override;
  void SetViewport(const Rect&) override {}

  // Probe: one of the two devices with the chip, whose library has the entries to make an overlay.
  static bool Detect();

 private:
  void EndTransfer();

  AtiCoreTable* ati = nullptr;
  u16 overlay = 0;
  u16 surfaceHandle = 0;
  u32 surfaceOffset = 0;
  Surface surface;
  u8 transferOpen = 0;
  u8 attached = 0;
};

}  // namespace Hal
