// Host clocks from clock_gettime, and the calendar conversions shared by every clock.
#include "os/Clock.h"

#include <time.h>
#include <ctime>

namespace Os {
namespace {

constexpr u64 kTicksPerSecond = 10'000'000;

// Days from 1601-01-01 to the given date (proleptic Gregorian).
i64 DaysFrom1601(i64 y, unsigned m, unsigned d) {
  // Days from civil, shifted so that March is the first month.
  y -= m <= 2;
  const i64 era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = unsigned(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const i64 daysFrom1970 = era * 146097 + i64(doe) - 719468;
  return daysFrom1970 + 134774;  // 1601-01-01 .. 1970-01-01
}

bool IsLeap(unsigned y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

class HostClock : public Clock {
 public:
  u32 TickCount() override {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return u32(u64(ts.tv_sec) * 1000 + u64(ts.tv_nsec) / 1'000'000);
  }
  u64 PerformanceCounter() override {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return u64(ts.tv_sec) * 1'000'000'000ull + u64(ts.tv_nsec);
  }
  u64 PerformanceFrequency() override { return 1'000'000'000ull; }
  SystemTime LocalTime() override {
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    time_t now = ts.tv_sec;
    tm local;
    localtime_r(&now, &local);
    SystemTime t;
    t.year = u16(local.tm_year + 1900);
    t.month = u16(local.tm_mon + 1);
    t.dayOfWeek = u16(local.tm_wday);
    t.day = u16(local.tm_mday);
    t.hour = u16(local.tm_hour);
    t.minute = u16(local.tm_min);
    t.second = u16(local.tm_sec > 59 ? 59 : local.tm_sec);
    t.milliseconds = u16(ts.tv_nsec / 1'000'000);
    return t;
  }
  void Sleep(u32 milliseconds) override {
    timespec ts{time_t(milliseconds / 1000), long(milliseconds % 1000) * 1'000'000L};
    while (nanosleep(&ts, &ts) != 0) {}
  }
};

HostClock hostClock;
Clock* installedClock = nullptr;

}  // namespace

bool SystemTimeToFileTime(const SystemTime& t, u64* fileTime) {
  static const u8 kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (!fileTime || t.year < 1601 || t.year > 30827 || t.month < 1 || t.month > 12 || t.day < 1 || t.hour > 23 ||
      t.minute > 59 || t.second > 59 || t.milliseconds > 999)
    return false;
  unsigned days = kDays[t.month - 1] + (t.month == 2 && IsLeap(t.year) ? 1 : 0);
  if (t.day > days) return false;
  u64 d = u64(DaysFrom1601(t.year, t.month, t.day));
  u64 seconds = d * 86400 + u64(t.hour) * 3600 + u64(t.minute) * 60 + t.second;
  *fileTime = seconds * kTicksPerSecond + u64(t.milliseconds) * 10'000;
  return true;
}

SystemTime FileTimeToSystemTime(u64 fileTime) {
  u64 ms = fileTime / 10'000;
  u64 seconds = ms / 1000;
  i64 days = i64(seconds / 86400);
  u64 rest = seconds % 86400;
  // Civil from days (since 1970), shifted from 1601.
  i64 z = days - 134774 + 719468;
  const i64 era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = unsigned(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  SystemTime t;
  t.year = u16(i64(yoe) + era * 400 + (m <= 2));
  t.month = u16(m);
  t.day = u16(d);
  t.dayOfWeek = u16((days + 1) % 7);  // 1601-01-01 was a Monday
  t.hour = u16(rest / 3600);
  t.minute = u16(rest / 60 % 60);
  t.second = u16(rest % 60);
  t.milliseconds = u16(ms % 1000);
  return t;
}

Clock& Clocks() { return installedClock ? *installedClock : hostClock; }
void InstallClock(Clock* c) { installedClock = c; }

}  // namespace Os
