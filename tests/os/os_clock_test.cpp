#include "os/Clock.h"
#include "os/Memory.h"
#include "os/headless/FixedMemory.h"
#include "os/headless/VirtualClock.h"

#include <gtest/gtest.h>

namespace {

TEST(OsClock, FileTimeConversions) {
  struct Case {
    u16 year, month, day, hour, minute, second, ms;
    u64 fileTime;
    u16 dayOfWeek;
  } cases[] = {
      {1601, 1, 1, 0, 0, 0, 0, 0, 1},                      // a Monday
      {1970, 1, 1, 0, 0, 0, 0, 116444736000000000ull, 4},  // Thursday
      {2000, 2, 29, 23, 59, 59, 999, 125963423999990000ull, 2},
      {2026, 12, 9, 20, 4, 17, 0, 134413202570000000ull, 3},
  };
  for (const Case& c : cases) {
    Os::SystemTime t;
    t.year = c.year, t.month = c.month, t.day = c.day, t.hour = c.hour, t.minute = c.minute;
    t.second = c.second, t.milliseconds = c.ms;
    u64 ft = 0;
    ASSERT_TRUE(Os::SystemTimeToFileTime(t, &ft));
    EXPECT_EQ(ft, c.fileTime) << c.year;
    Os::SystemTime back = Os::FileTimeToSystemTime(ft);
    EXPECT_EQ(back.year, c.year);
    EXPECT_EQ(back.month, c.month);
    EXPECT_EQ(back.day, c.day);
    EXPECT_EQ(back.second, c.second);
    EXPECT_EQ(back.milliseconds, c.ms);
    EXPECT_EQ(back.dayOfWeek, c.dayOfWeek) << c.year;
  }
  Os::SystemTime bad;
  bad.year = 2001;
  bad.month = 2;
  bad.day = 29;
  u64 ft = 0;
  EXPECT_FALSE(Os::SystemTimeToFileTime(bad, &ft));
  bad.day = 1;
  bad.month = 13;
  EXPECT_FALSE(Os::SystemTimeToFileTime(bad, &ft));
}

TEST(OsClock, VirtualClockMovesOnlyWhenAdvanced) {
  Os::VirtualClock clock;
  Os::InstallClock(&clock);
  Os::Clock& c = Os::Clocks();
  EXPECT_EQ(c.TickCount(), 0u);
  Os::SystemTime start = c.LocalTime();
  EXPECT_EQ(start.year, 2026);
  EXPECT_EQ(start.hour, 12);
  c.Sleep(250);
  clock.advance(750);
  EXPECT_EQ(c.TickCount(), 1000u);
  EXPECT_EQ(c.PerformanceCounter() / (c.PerformanceFrequency() / 1000), 1000u);
  EXPECT_EQ(c.LocalTime().second, 1);
  clock.Advance(0xFFFFFFFFu);
  EXPECT_EQ(c.TickCount(), 999u);  // the tick count wraps at 32 bits
  Os::InstallClock(nullptr);
}

TEST(OsClock, HostClockRuns) {
  Os::Clock& c = Os::Clocks();
  u64 p0 = c.PerformanceCounter();
  c.Sleep(2);
  EXPECT_GT(c.PerformanceCounter(), p0);
  EXPECT_GE(c.LocalTime().year, 2024);
}

TEST(OsMemory, HostAndFixed) {
  EXPECT_GT(Os::Memory().AvailablePhysical(), 0u);
  Os::FixedMemory fixed(11'000'000);
  Os::InstallMemory(&fixed);
  EXPECT_EQ(Os::Memory().AvailablePhysical(), 11'000'000u);
  Os::InstallMemory(nullptr);
}

}  // namespace
