// Available memory of the host, saturated to 32 bits.
#include "os/Memory.h"

#include <sys/sysinfo.h>
#include <cstdio>
#include <cstring>

namespace Os {
namespace {

class HostMemory : public MemoryStatus {
 public:
  u32 AvailablePhysical() override {
    u64 bytes = 0;
    if (FILE* f = std::fopen("/proc/meminfo", "r")) {
      char line[256];
      while (std::fgets(line, sizeof line, f)) {
        unsigned long long kb = 0;
        if (std::sscanf(line, "MemAvailable: %llu kB", &kb) == 1) {
          bytes = u64(kb) * 1024;
          break;
        }
      }
      std::fclose(f);
    }
    if (!bytes) {
      struct sysinfo info;
      if (sysinfo(&info) == 0) bytes = u64(info.freeram) * info.mem_unit;
    }
    return bytes > 0xFFFFFFFFull ? 0xFFFFFFFFu : u32(bytes);
  }
};

HostMemory hostMemory;
MemoryStatus* installedMemory = nullptr;

}  // namespace

MemoryStatus& Memory() { return installedMemory ? *installedMemory : hostMemory; }
void InstallMemory(MemoryStatus* m) { installedMemory = m; }

}  // namespace Os
