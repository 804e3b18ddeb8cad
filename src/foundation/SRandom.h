// The game's random generator: MT19937 twist and tempering with a linear seeding from the local time.
#pragma once
#include "os/Types.h"

class SRandom {
 public:
  static constexpr u32 kStateWords = 624;

  SRandom();
  // Word 0 = local time in seconds (32 bits), word i = word i-1 x 69069.
  void SeedFromTime(void* owner);
  // The same linear seeding from a given first word.
  void Seed(void* owner, u32 word0);
  // 0 .. n-1; n below 1 gives 0 without advancing.
  i32 Next(i32 n);
  // The next tempered 32-bit output.
  u32 NextRaw();

  void* Owner() const { return owner_; }
  const u32* State() const { return state_; }
  u32 Index() const { return index_; }

 private:
  void Twist();

  void* owner_ = nullptr;
  u32 state_[kStateWords];
  u32 index_;
  u32 twist_[2];
};
