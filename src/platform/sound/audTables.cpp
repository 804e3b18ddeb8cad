#include "platform/sound/audTables.h"

const u8 audVibratoTable[32] = {0,   24,  49,  74,  97,  120, 141, 161, 180, 197, 212, 224, 235, 244, 250, 253,
                                255, 253, 250, 244, 235, 224, 212, 197, 180, 161, 141, 120, 97,  74,  49,  24};

u32 audStepForPeriod(u32 period, u32 outputRate) {
  if (period == 0 || outputRate == 0) {
    return 0;
  }
  // The Amiga clock over twice the period gives the sample rate; 64 bits, as period 1 passes 2^32.
  const u64 rate = 7'159'090u / (2u * u64(period));
  return u32((rate << 12) / outputRate);
}

u32 audNearestNote(i32 period) {
  u32 best = 0;
  i32 bestDistance = -1;
  for (u32 n = 0; n < audNoteCount; ++n) {
    i32 distance = i32(audPeriodTable[n]) - period;
    if (distance < 0) {
      distance = -distance;
    }
    if (bestDistance < 0 || distance < bestDistance) {
      best = n;
      bestDistance = distance;
    }
  }
  return best;
}
