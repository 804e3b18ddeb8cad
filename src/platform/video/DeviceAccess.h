// Device facts the hardware video drivers share: physical memory mapping, the processor type and the LCD
// controllers of the two processor families, read once and kept for the process.
#pragma once
#include "os/DeviceMemory.h"

namespace Hal {

u32 GetPageSize();
// A process address for `size` bytes of physical memory (uncached unless asked), or 0.
Os::DeviceAddr MapPhysical(u32 physical, u32 size, bool cached);
void UnmapPhysical(Os::DeviceAddr address);

// What a processor family's LCD controller is showing. Valid only for an enabled 16-bit panel the
// drivers can use; then the registers stay mapped.
struct LcdRecord {
  Os::DeviceAddr registers = 0;  // mapped controller registers; 0 = no usable LCD
  u32 frameAddress = 0;          // physical address of palette and frame (StrongARM)
  u32 width = 0;
  u32 height = 0;
  u32 depth = 0;
  u32 pitch = 0;
  u8 mono = 0;
  u8 passive = 0;
  u32 paletteBytes = 0;
  bool Valid() const { return registers != 0; }
};

// The processor type from the main id register: 0 unknown, 1 StrongARM, 2 XScale; read once.
u32 ReadProcessorType();

const LcdRecord& StrongArmLcd();
const LcdRecord& XScaleLcd();

// Reads a value that a 32-bit display controller register or frame word holds.
u32 ReadDeviceWord(Os::DeviceAddr address);

// Forgets everything found once about the hardware (processor type, LCD records, the video libraries),
// unmapping and freeing what was held, so that the next use looks again (a test changing the device).
void ResetVideoHardware();

}  // namespace Hal
