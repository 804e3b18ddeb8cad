// Drivers 5 and 6: draw straight into the frame memory that the StrongARM or XScale LCD controller shows,
// and wait for the controller's scan through its registers.
#pragma once
#include "platform/video/VideoDriver.h"

namespace Hal {

struct LcdRecord;

// What the two share: the frame, the alias check, and a bounded scan wait over a window of register values.
class DriverLcd : public VideoDriver {
 public:
  // Register reads before a wait for the scan gives up (the controller may have stopped).
  static constexpr u32 kScanReads = 200000;

  bool Initialize(Os::WindowId window, const DisplayParameters& parameters,
                  const DeviceDescription& description) override;
  Surface* BeginDraw() override { return &surface; }
  void EndDraw(u32) override {}
  void SetViewport(const Rect&) override {}

  u32 ScanLow() const { return scanLow; }
  u32 ScanHigh() const { return scanHigh; }

 protected:
  explicit DriverLcd(const LcdRecord& (*record)()) : lcdRecord(record) {}
  // Family rules applied to the copied description before the frame is opened.
  virtual void AdjustDescription() {}
  virtual void SetScanWindow(const LcdRecord& record) = 0;

  const LcdRecord& (*lcdRecord)();
  const LcdRecord* lcd = nullptr;
  Surface surface;
  u32 scanLow = 0;
  u32 scanHigh = 0;
};

class DriverStrongARM : public DriverLcd {
 public:
  DriverStrongARM();
  void WaitVSync() override;

 protected:
  void AdjustDescription() override;
  void SetScanWindow(const LcdRecord& record) override;
};

class DriverXScale : public DriverLcd {
 public:
  DriverXScale();
  void WaitVSync() override;

 protected:
  void SetScanWindow(const LcdRecord& record) override;
};

}  // namespace Hal
