// The processor: its kernel-mode switch and its main id register (coprocessor 15, register 0), which the
// display layer reads to tell the handheld's processor families apart.
#pragma once
#include "os/Types.h"

namespace Os {

class Cpu {
 public:
  virtual ~Cpu() = default;
  // False when the system offers no kernel-mode switch (then the main id cannot be read).
  virtual bool HasKernelMode() = 0;
  // Switches kernel mode on or off; returns the previous state.
  virtual bool SetKernelMode(bool on) = 0;
  // The main id register. On simulated hardware the read may raise Os::DeviceFault (outside kernel mode,
  // or when a test asks for it).
  virtual u32 ReadMainId() = 0;
};

Cpu& Processor();
void InstallCpu(Cpu* c);  // nullptr restores the host default (no kernel mode, id 0)

}  // namespace Os
