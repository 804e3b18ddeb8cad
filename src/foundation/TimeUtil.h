// Wall-clock and small numeric helpers.
#pragma once
#include "os/Types.h"

// Local time in seconds since 1 January 1970.
i64 GetLocalTimeSeconds();
// Milliseconds since some start (the Os tick count).
u32 GetTicks();
void SleepHundredths(u32 n);

struct STimeStamp {
  u32 seconds = 0;
  STimeStamp() { SetNow(); }
  u32 SetNow();
  void Set(u32 value) { seconds = value; }
};

// numerator = numerator x newDenominator / denominator (truncating), denominator = newDenominator;
// returns the new numerator. A zero denominator gives a numerator of 0.
i32 RescaleRatio(i32& denominator, i32& numerator, i32 newDenominator);
int CountBits16(u32 value);
// value mod divisor in 0..divisor-1, for negative values too (C++'s % keeps the sign of the value);
// 0 for a divisor below 1. Facings, turns and direction tables index with it.
inline i32 PositiveMod(i32 value, i32 divisor) {
  if (divisor < 1) return 0;
  const i32 r = value % divisor;
  return r < 0 ? r + divisor : r;
}
// Whether more than `interval` milliseconds lie between tick counts `last` and `now`, across the tick
// count's wrap at 2^32 too.
inline bool TicksElapsed(u32 now, u32 last, u32 interval) { return u32(now - last) > interval; }
// Two hexadecimal digits, the first the high one; a character that is no hex digit counts as 0.
u8 ParseHexByte(const char* text);
