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
// Two hexadecimal digits, the first the high one; a character that is no hex digit counts as 0.
u8 ParseHexByte(const char* text);
