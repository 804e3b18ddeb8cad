// Fixed tables of the tracker player: periods per finetune and note, the vibrato sine, and the look-ups
// that turn periods into position steps and notes.
#pragma once
#include "os/Types.h"

inline constexpr u32 audNoteCount = 84;     // seven octaves of twelve notes
inline constexpr u32 audFinetuneRows = 16;  // finetune 0..7, then 8..15 for -8..-1
inline constexpr i32 audMaxPeriod = 1712;   // the step and note tables cover periods 0..1712
inline constexpr u32 audStepTableSize = 1713;

// Period of note n (0..83, highest period first) at finetune row f: audPeriodTable[f * 84 + n].
extern const u16 audPeriodTable[audFinetuneRows * audNoteCount];
extern const u8 audVibratoTable[32];

// Index for the step and note tables: 0 stays 0, anything else is held to 1..1712.
inline u32 audPeriodIndex(i32 period) {
  if (period == 0) {
    return 0;
  }
  if (period < 1) {
    return 1;
  }
  return period > audMaxPeriod ? u32(audMaxPeriod) : u32(period);
}

// Step of a music sample's position per output sample (20.12) for period p at the given output rate.
u32 audStepForPeriod(u32 period, u32 outputRate);
// The note (0..83) whose finetune-0 period is p or nearest to it, the lower note on a tie.
u32 audNearestNote(i32 period);
