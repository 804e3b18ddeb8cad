// A deterministic clock: time moves only when the program sleeps or a test (or the headless message
// loop) advances it. Safe to read from several threads.
#pragma once
#include "os/Clock.h"

#include <atomic>

namespace Os {

class VirtualClock : public Clock {
 public:
  // Starts at tick 0 and at the given local time (default 2026-01-01 12:00:00, a Thursday).
  VirtualClock();
  explicit VirtualClock(const SystemTime& start);

  u32 TickCount() override;
  u64 PerformanceCounter() override;    // microseconds
  u64 PerformanceFrequency() override;  // 1,000,000
  SystemTime LocalTime() override;
  void Sleep(u32 milliseconds) override;  // advances the clock, returns at once

  void Advance(u32 milliseconds);
  void advance(u32 milliseconds) { Advance(milliseconds); }
  void SetLocalTime(const SystemTime& time);  // the wall clock from now on; ticks unchanged
  u64 ElapsedMilliseconds() const { return elapsed_.load(); }

 private:
  std::atomic<u64> elapsed_{0};
  std::atomic<u64> wallBase_{0};  // file time at elapsed 0
};

}  // namespace Os
