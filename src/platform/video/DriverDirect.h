// Driver 3: draws into the frame memory that the display driver's GETGXINFO escape reports; with the DMA
// library the frame is in system memory and each present copies the update rectangle out by DMA.
#pragma once
#include "platform/video/VideoDriver.h"

namespace Hal {

struct GxDmaTable;

class DriverDirect : public VideoDriver {
 public:
  // Polls of the DMA engine before drawing goes ahead without it (a stuck engine must not hang a frame).
  static constexpr u32 kDmaReadyPolls = 10000;

  DriverDirect();
  bool Initialize(Os::WindowId window, const DisplayParameters& parameters,
                  const DeviceDescription& description) override;
  Surface* BeginDraw() override;
  void EndDraw(u32 flags) override;
  void SetViewport(const Rect& rectangle) override;

  // Probe: the escape is there and reports a frame; fills the description only then.
  static bool Detect(DeviceDescription* description);

  bool UsesDma() const { return dma != nullptr; }
  Rect DmaRect() const { return Rect{i32(dmaX), i32(dmaY), i32(dmaX + dmaWidth), i32(dmaY + dmaHeight)}; }

 private:
  Surface surface;
  GxDmaTable* dma = nullptr;
  u32 dmaX = 0, dmaY = 0, dmaWidth = 0, dmaHeight = 0;
};

}  // namespace Hal
