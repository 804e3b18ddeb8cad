// Memory status that reports a set amount (default 64 MB).
#pragma once
#include "os/Memory.h"

#include <atomic>

namespace Os {

class FixedMemory : public MemoryStatus {
 public:
  explicit FixedMemory(u32 available = 64u << 20) : available_(available) {}
  u32 AvailablePhysical() override { return available_.load(); }
  void Set(u32 available) { available_.store(available); }

 private:
  std::atomic<u32> available_;
};

}  // namespace Os
