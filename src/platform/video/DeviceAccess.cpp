#include "platform/video/DeviceAccess.h"

#include "os/Cpu.h"
#include "os/DisplayHardware.h"
#include "os/VirtualMemory.h"
#include "platform/video/VideoDetect.h"
#include "platform/video/VideoLibraries.h"

#include <cstring>
#include <memory>

namespace Hal {
namespace {

// Kernel mode for the lifetime of the object, when the system has the switch; the previous mode comes
// back even when a fault unwinds through.
class KernelMode {
 public:
  KernelMode() : available(Os::Processor().HasKernelMode()) {
    if (available) previous = Os::Processor().SetKernelMode(true);
  }
  ~KernelMode() {
    if (available) Os::Processor().SetKernelMode(previous);
  }
  KernelMode(const KernelMode&) = delete;
  KernelMode& operator=(const KernelMode&) = delete;

 private:
  bool available;
  bool previous = false;
};

i32 gProcessorType = -1;
std::unique_ptr<LcdRecord> gStrongArm;
std::unique_ptr<LcdRecord> gXScale;

// A mapping released when the holder goes out of scope, unless kept.
struct Mapping {
  Os::DeviceAddr address = 0;
  ~Mapping() {
    if (address) UnmapPhysical(address);
  }
  Os::DeviceAddr Keep() {
    const Os::DeviceAddr a = address;
    address = 0;
    return a;
  }
};

void ReadStrongArm(LcdRecord& lcd) {
  Mapping regs;
  regs.address = MapPhysical(Os::kStrongArmLcdRegs, Os::StrongArmReg::Size, false);
  if (!regs.address) return;
  const u32 lccr0 = ReadDeviceWord(regs.address + Os::StrongArmReg::LCCR0);
  if (lccr0 & 1) {
    lcd.frameAddress = ReadDeviceWord(regs.address + Os::StrongArmReg::DBAR1);
    lcd.width = (ReadDeviceWord(regs.address + Os::StrongArmReg::LCCR1) & 0x3FF) + 16;
    lcd.height = (ReadDeviceWord(regs.address + Os::StrongArmReg::LCCR2) & 0x3FF) + 1;
    lcd.mono = (lccr0 >> 1) & 1;
    lcd.passive = (lccr0 & 0x80) ? 0 : 1;
    // The frame starts with the palette, whose first word carries the pixel depth.
    Mapping palette;
    palette.address = MapPhysical(lcd.frameAddress, 2, false);
    if (palette.address) {
      u16 word = 0;
      if (const u8* p = Os::Device().HostPtr(palette.address, 2)) std::memcpy(&word, p, 2);
      switch ((word >> 12) & 3) {
        case 0:
          lcd.depth = 4;
          lcd.paletteBytes = 32;
          break;
        case 1:
          lcd.depth = 8;
          lcd.paletteBytes = 512;
          break;
        case 2:
          lcd.depth = 16;
          lcd.paletteBytes = 32;
          break;
        default:
          lcd.depth = 0;
          lcd.paletteBytes = 0;
          break;
      }
    }
    lcd.pitch = ((lcd.width + 15) & ~15u) * lcd.depth / 8;
  }
  if (lcd.depth == 16 && !lcd.passive) lcd.registers = regs.Keep();
}

void ReadXScale(LcdRecord& lcd) {
  Mapping regs;
  regs.address = MapPhysical(Os::kXScaleLcdRegs, Os::XScaleReg::Size, false);
  if (!regs.address) return;
  const u32 lccr0 = ReadDeviceWord(regs.address + Os::XScaleReg::LCCR0);
  if (lccr0 & 1) {
    lcd.width = (ReadDeviceWord(regs.address + Os::XScaleReg::LCCR1) & 0x3FF) + 1;
    lcd.height = (ReadDeviceWord(regs.address + Os::XScaleReg::LCCR2) & 0x3FF) + 1;
    lcd.mono = (lccr0 >> 1) & 1;
    lcd.passive = (lccr0 & 0x80) ? 0 : 1;
    switch ((ReadDeviceWord(regs.address + Os::XScaleReg::LCCR3) >> 24) & 7) {
      case 0:
        lcd.depth = 1;
        lcd.paletteBytes = 8;
        break;
      case 1:
        lcd.depth = 2;
        lcd.paletteBytes = 8;
        break;
      case 2:
        lcd.depth = 4;
        lcd.paletteBytes = 32;
        break;
      case 3:
        lcd.depth = 8;
        lcd.paletteBytes = 512;
        break;
      case 4:
        lcd.depth = 16;
        lcd.paletteBytes = 0;
        break;
      default:
        lcd.depth = 0;
        lcd.paletteBytes = 0;
        break;
    }
    const bool wideRows = (lcd.mono && (lccr0 & (1u << 9))) || (!lcd.passive && (lcd.depth == 8 || lcd.depth == 16));
    const u32 align = wideRows ? 8 : 4;
    lcd.pitch = ((lcd.width + align - 1) / align * align) * lcd.depth / 8;
  }
  if (lcd.depth == 16) lcd.registers = regs.Keep();
}

// The controllers are read in kernel mode; without the switch nothing can be known of them. A fault while
// reading counts as no usable LCD.
const LcdRecord& Lcd(std::unique_ptr<LcdRecord>& slot, void (*read)(LcdRecord&)) {
  if (!slot) {
    slot = std::make_unique<LcdRecord>();
    if (Os::Processor().HasKernelMode()) {
      try {
        read(*slot);
      } catch (const Os::DeviceFault&) {
        *slot = LcdRecord{};
      }
    }
  }
  return *slot;
}

void ReleaseLcd(std::unique_ptr<LcdRecord>& slot) {
  if (slot && slot->registers) UnmapPhysical(slot->registers);
  slot.reset();
}

}  // namespace

u32 GetPageSize() {
  static const u32 pageSize = Os::Virtual().PageSize();
  return pageSize;
}

Os::DeviceAddr MapPhysical(u32 physical, u32 size, bool cached) {
  KernelMode kernel;
  const u32 offset = physical & (GetPageSize() - 1);
  const u32 total = size + offset;
  const Os::DeviceAddr reserved = Os::Virtual().Reserve(total);
  if (!reserved) return 0;
  u32 base = physical - offset;
  u32 protect = Os::kPageReadWrite | (cached ? 0 : Os::kPageNoCache);
  // High physical addresses are passed in 256-byte units.
  if (base > 0x1FFFFFFF) {
    base >>= 8;
    protect |= Os::kPagePhysical;
  }
  if (!Os::Virtual().Copy(reserved, base, total, protect)) {
    Os::Virtual().Release(reserved);
    return 0;
  }
  return reserved + offset;
}

void UnmapPhysical(Os::DeviceAddr address) {
  if (!address) return;
  KernelMode kernel;
  Os::Virtual().Release(address & ~(GetPageSize() - 1));
}

u32 ReadDeviceWord(Os::DeviceAddr address) { return Os::Device().Read32(address); }

u32 ReadProcessorType() {
  if (gProcessorType < 0) {
    u32 type = 0;
    if (Os::Processor().HasKernelMode()) {
      try {
        KernelMode kernel;
        const u32 id = Os::Processor().ReadMainId();
        if ((id >> 12) == 0x69052)
          type = 2;  // XScale PXA25x
        else if ((id >> 16) == 0x6901)
          type = 1;  // StrongARM
      } catch (const Os::DeviceFault&) {
        type = 0;
      }
    }
    gProcessorType = static_cast<i32>(type);
  }
  return static_cast<u32>(gProcessorType);
}

const LcdRecord& StrongArmLcd() { return Lcd(gStrongArm, ReadStrongArm); }
const LcdRecord& XScaleLcd() { return Lcd(gXScale, ReadXScale); }

void ResetVideoHardware() {
  gProcessorType = -1;
  ReleaseLcd(gStrongArm);
  ReleaseLcd(gXScale);
  ReleaseVideoLibraries();
}

}  // namespace Hal
