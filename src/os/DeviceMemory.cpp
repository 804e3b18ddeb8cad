#include "os/DeviceMemory.h"

namespace Os {
namespace {

// A desktop host has no handheld frame memory or display controller: nothing is backed.
class HostDeviceMemory : public DeviceMemory {
 public:
  u8* HostPtr(DeviceAddr, u32) override { return nullptr; }
  u32 Read32(DeviceAddr) override { return 0; }
  void Write32(DeviceAddr, u32) override {}
  bool Fill(DeviceAddr, u8, u32) override { return false; }
};

HostDeviceMemory gHost;
DeviceMemory* gInstalled = &gHost;

}  // namespace

DeviceMemory& Device() { return *gInstalled; }
void InstallDeviceMemory(DeviceMemory* m) { gInstalled = m ? m : &gHost; }

}  // namespace Os
