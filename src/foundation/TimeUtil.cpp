#include "foundation/TimeUtil.h"

#include "os/Clock.h"

i64 GetLocalTimeSeconds() {
  u64 fileTime = 0;
  if (!Os::SystemTimeToFileTime(Os::Clocks().LocalTime(), &fileTime)) return 0;
  return (i64(fileTime) - 116444736000000000ll) / 10000000;
}

u32 GetTicks() { return Os::Clocks().TickCount(); }

void SleepHundredths(u32 n) { Os::Clocks().Sleep(n * 10); }

u32 STimeStamp::SetNow() {
  seconds = u32(GetLocalTimeSeconds());
  return seconds;
}

i32 RescaleRatio(i32& denominator, i32& numerator, i32 newDenominator) {
  if (denominator == 0) {
    numerator = 0;
  } else {
    i64 value = i64(numerator) * newDenominator / denominator;
    numerator = i32(value);
  }
  denominator = newDenominator;
  return numerator;
}

int CountBits16(u32 value) {
  int n = 0;
  for (u32 v = value & 0xFFFF; v; v &= v - 1) ++n;
  return n;
}

static u8 HexDigit(char c) {
  if (c >= '0' && c <= '9') return u8(c - '0');
  if (c >= 'A' && c <= 'F') return u8(c - 'A' + 10);
  if (c >= 'a' && c <= 'f') return u8(c - 'a' + 10);
  return 0;
}

u8 ParseHexByte(const char* text) {
  if (!text || !text[0]) return 0;
  return u8(HexDigit(text[0]) << 4 | HexDigit(text[1]));
}
