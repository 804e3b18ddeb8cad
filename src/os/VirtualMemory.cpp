#include "os/VirtualMemory.h"

#include <unistd.h>

namespace Os {
namespace {

// The host cannot map a handheld's physical memory: reservations fail, so mapping reports null.
class HostVirtualMemory : public VirtualMemory {
 public:
  u32 PageSize() override {
    long size = sysconf(_SC_PAGESIZE);
    return size > 0 ? static_cast<u32>(size) : 4096;
  }
  DeviceAddr Reserve(u32) override { return 0; }
  bool Copy(DeviceAddr, u32, u32, u32) override { return false; }
  bool Release(DeviceAddr) override { return false; }
};

HostVirtualMemory gHost;
VirtualMemory* gInstalled = &gHost;

}  // namespace

VirtualMemory& Virtual() { return *gInstalled; }
void InstallVirtualMemory(VirtualMemory* v) { gInstalled = v ? v : &gHost; }

}  // namespace Os
