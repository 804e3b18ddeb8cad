// Memory status: the available physical memory the start-up check reads.
#pragma once
#include "os/Types.h"

namespace Os {

class MemoryStatus {
 public:
  virtual ~MemoryStatus() = default;
  // Available physical memory in bytes, saturated to 32 bits.
  virtual u32 AvailablePhysical() = 0;
};

MemoryStatus& Memory();
void InstallMemory(MemoryStatus* m);  // nullptr restores the host default

}  // namespace Os
