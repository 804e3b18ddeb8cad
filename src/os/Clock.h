// Clocks: a millisecond tick count, a performance counter, local wall-clock time and sleeping.
#pragma once
#include "os/Types.h"

namespace Os {

// Local date and time as the handheld reports it.
struct SystemTime {
  u16 year = 1601;
  u16 month = 1;      // 1..12
  u16 dayOfWeek = 0;  // 0 = Sunday
  u16 day = 1;        // 1..31
  u16 hour = 0;
  u16 minute = 0;
  u16 second = 0;
  u16 milliseconds = 0;
};

// 100-nanosecond units since 1 January 1601 for a date and time (proleptic Gregorian); false for a
// field out of range.
bool SystemTimeToFileTime(const SystemTime& time, u64* fileTime);
// The other way round (dayOfWeek filled in).
SystemTime FileTimeToSystemTime(u64 fileTime);

class Clock {
 public:
  virtual ~Clock() = default;
  virtual u32 TickCount() = 0;           // milliseconds, wrapping at 2^32
  virtual u64 PerformanceCounter() = 0;  // ticks of PerformanceFrequency()
  virtual u64 PerformanceFrequency() = 0;
  virtual SystemTime LocalTime() = 0;
  virtual void Sleep(u32 milliseconds) = 0;
};

Clock& Clocks();
void InstallClock(Clock* c);  // nullptr restores the host default

}  // namespace Os
