#include "os/headless/VirtualClock.h"

namespace Os {
namespace {
SystemTime DefaultStart() {
  SystemTime t;
  t.year = 2026;
  t.month = 1;
  t.day = 1;
  t.hour = 12;
  return t;
}
}  // namespace

VirtualClock::VirtualClock() : VirtualClock(DefaultStart()) {}

VirtualClock::VirtualClock(const SystemTime& start) { SetLocalTime(start); }

u32 VirtualClock::TickCount() { return u32(elapsed_.load()); }
u64 VirtualClock::PerformanceCounter() { return elapsed_.load() * 1000; }
u64 VirtualClock::PerformanceFrequency() { return 1'000'000; }
SystemTime VirtualClock::LocalTime() { return FileTimeToSystemTime(wallBase_.load() + elapsed_.load() * 10'000); }
void VirtualClock::Sleep(u32 milliseconds) { Advance(milliseconds); }
void VirtualClock::Advance(u32 milliseconds) { elapsed_.fetch_add(milliseconds); }

void VirtualClock::SetLocalTime(const SystemTime& time) {
  u64 fileTime = 0;
  if (!SystemTimeToFileTime(time, &fileTime)) return;
  wallBase_.store(fileTime - elapsed_.load() * 10'000);
}

}  // namespace Os
