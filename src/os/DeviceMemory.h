// Device memory: the 32-bit address space in which the handheld's frame memory and display-controller
// registers live. The display layer keeps frame-buffer addresses as 32-bit device addresses (they come
// from escapes, libraries and registers of that size) and turns them into host pointers only to draw.
#pragma once
#include "os/Types.h"

#include <exception>

namespace Os {

using DeviceAddr = u32;

// A processor fault raised by simulated hardware: an unbacked device address, a privileged read outside
// kernel mode, or a fault a test asked for. The one exception type of the project: only the simulated
// device throws it, and only the video probes and driver initialisation catch it (as the handheld ran
// them under its structured exception handling).
class DeviceFault : public std::exception {
 public:
  explicit DeviceFault(const char* what) : what_(what) {}
  const char* what() const noexcept override { return what_; }

 private:
  const char* what_;
};

class DeviceMemory {
 public:
  virtual ~DeviceMemory() = default;
  // Host pointer to `size` bytes at `addr`; null when the host has no such memory.
  virtual u8* HostPtr(DeviceAddr addr, u32 size) = 0;
  // A 32-bit register or memory word; registers may change with every read.
  virtual u32 Read32(DeviceAddr addr) = 0;
  virtual void Write32(DeviceAddr addr, u32 value) = 0;
  // Fills `size` bytes at `addr`, as the processor's stores would (frame memory may be slow to write);
  // false when the memory is not there.
  virtual bool Fill(DeviceAddr addr, u8 value, u32 size) = 0;
};

DeviceMemory& Device();
void InstallDeviceMemory(DeviceMemory* m);  // nullptr restores the host default (no device memory)

}  // namespace Os
