#include "foundation/SRandom.h"

#include "foundation/TimeUtil.h"

SRandom::SRandom() : index_(kStateWords + 1), twist_{0, 0x9908B0DFu} {
  for (u32& word : state_) word = 0;
}

void SRandom::SeedFromTime(void* owner) { Seed(owner, u32(GetLocalTimeSeconds())); }

void SRandom::Seed(void* owner, u32 word0) {
  owner_ = owner;
  state_[0] = word0;
  for (u32 i = 1; i < kStateWords; ++i) state_[i] = state_[i - 1] * 69069u;
  index_ = kStateWords;
}

void SRandom::Twist() {
  for (u32 k = 0; k < kStateWords; ++k) {
    u32 y = (state_[k] & 0x80000000u) | (state_[(k + 1) % kStateWords] & 0x7FFFFFFFu);
    state_[k] = state_[(k + 397) % kStateWords] ^ (y >> 1) ^ twist_[y & 1];
  }
  index_ = 0;
}

u32 SRandom::NextRaw() {
  // An unseeded generator draws from the zero state, as the game never does.
  if (index_ >= kStateWords) Twist();
  u32 y = state_[index_++];
  y ^= y >> 11;
  y ^= (y << 7) & 0x9D2C5680u;
  y ^= (y << 15) & 0xEFC60000u;
  y ^= y >> 18;
  return y;
}

i32 SRandom::Next(i32 n) {
  if (n < 1) return 0;
  return i32(NextRaw() % u32(n));
}
