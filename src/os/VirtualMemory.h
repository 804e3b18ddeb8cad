// Virtual memory calls the display layer uses to map physical memory (display-controller registers and
// frame memory) into the process. Addresses are 32-bit device addresses (see DeviceMemory.h).
#pragma once
#include "os/DeviceMemory.h"

namespace Os {

// Flags with the handheld's values, so the mapping arithmetic reads as on the device.
constexpr u32 kMemReserve = 0x2000;
constexpr u32 kMemRelease = 0x8000;
constexpr u32 kPageNoAccess = 0x01;
constexpr u32 kPageReadWrite = 0x04;
constexpr u32 kPageNoCache = 0x200;
constexpr u32 kPagePhysical = 0x400;  // the physical argument of Copy is the address >> 8

class VirtualMemory {
 public:
  virtual ~VirtualMemory() = default;
  virtual u32 PageSize() = 0;
  // Reserves `size` bytes of address space (MEM_RESERVE, PAGE_NOACCESS); 0 on failure.
  virtual DeviceAddr Reserve(u32 size) = 0;
  // Backs reserved space at `addr` with physical memory; `physical` is the address, or the address >> 8
  // when `protect` has kPagePhysical. False on failure.
  virtual bool Copy(DeviceAddr addr, u32 physical, u32 size, u32 protect) = 0;
  // Releases a reservation made by Reserve (MEM_RELEASE); false when `addr` is no reservation.
  virtual bool Release(DeviceAddr addr) = 0;
};

VirtualMemory& Virtual();
void InstallVirtualMemory(VirtualMemory* v);  // nullptr restores the host default

}  // namespace Os
