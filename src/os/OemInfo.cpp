#include "os/OemInfo.h"

namespace Os {
namespace {

class HostOemInfo : public OemInfo {
 public:
  bool Text(char*, u32) override { return false; }
};

HostOemInfo gHost;
OemInfo* gInstalled = &gHost;

}  // namespace

OemInfo& Oem() { return *gInstalled; }
void InstallOemInfo(OemInfo* o) { gInstalled = o ? o : &gHost; }

}  // namespace Os
