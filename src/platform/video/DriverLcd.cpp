#include "platform/video/DriverLcd.h"

#include "os/Clock.h"
#include "os/DisplayHardware.h"
#include "platform/video/DeviceAccess.h"
#include "platform/video/VideoDetect.h"
#include "platform/video/VideoProbes.h"

#include <cstring>

namespace Hal {
namespace {

constexpr u32 kBit29 = 0x20000000;
constexpr u32 kIpaqFrame = 0xAC050020;  // the frame of device model 1, past its palette

}  // namespace

bool DriverLcd::Initialize(Os::WindowId window, const DisplayParameters&, const DeviceDescription& d) {
  if (!Os::Windows().IsWindow(window) || d.frameBuffer == 0) return false;
  const LcdRecord& record = lcdRecord();
  if (!record.Valid()) return false;
  lcd = &record;
  description = d;
  description.swapEffect = SWAP_NONE;
  AdjustDescription();
  u32 frame = description.frameBuffer;
  const u32 bytes = description.pitch * description.height;
  // The same memory may be visible with and without bit 29 (uncached and cached views); draw through the
  // view without it when both show the same frame.
  if (frame & kBit29) {
    const u8* high = reinterpret_cast<const u8*>(FramePixels(frame, description.pitch, description.height));
    const u8* low = reinterpret_cast<const u8*>(FramePixels(frame & ~kBit29, description.pitch, description.height));
    if (high && low && std::memcmp(high, low, bytes) == 0) frame &= ~kBit29;
  }
  description.frameBuffer = frame;
  surface.width = description.width;
  surface.height = description.height;
  surface.pitch = description.pitch;
  surface.pixels = FramePixels(frame, description.pitch, description.height);
  if (!surface.pixels) return false;
  SetScanWindow(record);
  return true;
}

DriverStrongARM::DriverStrongARM() : DriverLcd(StrongArmLcd) {}

void DriverStrongARM::AdjustDescription() {
  if (GetDeviceModel() == 1) {
    description.orientation = ORIENTATION_ROTATE90CW;
    description.frameBuffer = kIpaqFrame;
  }
}

// Values of the DMA current-address register while the scan is in the rows 34 to 20 from the bottom.
void DriverStrongARM::SetScanWindow(const LcdRecord& record) {
  const u32 base = record.frameAddress + record.paletteBytes;
  scanLow = base + (record.height - 34) * record.pitch;
  scanHigh = base + (record.height - 20) * record.pitch;
}

void DriverStrongARM::WaitVSync() {
  Os::Clocks().Sleep(0);
  const Os::DeviceAddr reg = lcd->registers + Os::StrongArmReg::DCAR1;
  for (u32 reads = 0; reads < kScanReads; ++reads) {
    const u32 value = ReadDeviceWord(reg);
    if (value >= scanLow && value <= scanHigh) return;
  }
}

DriverXScale::DriverXScale() : DriverLcd(XScaleLcd) {}

// Values of the length field of the LCD DMA command register over the same rows.
void DriverXScale::SetScanWindow(const LcdRecord& record) {
  scanLow = 20 * record.pitch;
  scanHigh = 34 * record.pitch;
}

void DriverXScale::WaitVSync() {
  Os::Clocks().Sleep(0);
  const Os::DeviceAddr reg = lcd->registers + Os::XScaleReg::LDCMD0;
  for (u32 reads = 0; reads < kScanReads; ++reads) {
    const u32 command = ReadDeviceWord(reg);
    if (command & (1u << 26)) continue;  // a palette load, not the frame
    const u32 length = command & 0x1FFFFF;
    if (length >= scanLow && length <= scanHigh) return;
  }
}

}  // namespace Hal
