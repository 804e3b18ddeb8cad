#include "os/Cpu.h"

namespace Os {
namespace {

class HostCpu : public Cpu {
 public:
  bool HasKernelMode() override { return false; }
  bool SetKernelMode(bool) override { return false; }
  u32 ReadMainId() override { return 0; }
};

HostCpu gHost;
Cpu* gInstalled = &gHost;

}  // namespace

Cpu& Processor() { return *gInstalled; }
void InstallCpu(Cpu* c) { gInstalled = c ? c : &gHost; }

}  // namespace Os
