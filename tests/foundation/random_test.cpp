#include "foundation/SRandom.h"
#include "foundation/TimeUtil.h"
#include "os/headless/VirtualClock.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

namespace {

TEST(SRandomTest, MatchesTheStandardGeneratorFromTheSameState) {
  for (u32 seed : {0u, 1u, 0x5EED1234u, 1765280000u}) {
    SRandom r;
    r.Seed(nullptr, seed);
    // The standard engine's text form is its 624 state words (and, in some libraries, its index).
    std::stringstream state;
    for (u32 i = 0; i < SRandom::kStateWords; ++i) state << r.State()[i] << ' ';
    state << SRandom::kStateWords;
    std::mt19937 reference;
    state >> reference;
    ASSERT_FALSE(state.fail());
    for (int i = 0; i < 2000; ++i) ASSERT_EQ(r.NextRaw(), reference()) << "seed " << seed << " draw " << i;
  }
}

TEST(SRandomTest, LinearSeedingAndRange) {
  SRandom r;
  EXPECT_EQ(r.Index(), 625u);  // never seeded
  int owner = 0;
  r.Seed(&owner, 3);
  EXPECT_EQ(r.Owner(), &owner);
  EXPECT_EQ(r.Index(), 624u);
  EXPECT_EQ(r.State()[1], 3u * 69069u);
  EXPECT_EQ(r.State()[2], 3u * 69069u * 69069u);

  SRandom a, b;
  a.Seed(nullptr, 99);
  b.Seed(nullptr, 99);
  EXPECT_EQ(a.Next(0), 0);
  EXPECT_EQ(a.Next(-5), 0);
  EXPECT_EQ(a.Index(), 624u);  // nothing drawn yet
  EXPECT_EQ(a.Next(1), 0);
  EXPECT_EQ(a.Index(), 1u);  // n = 1 advances (the first draw regenerated the state)
  b.NextRaw();
  for (int i = 0; i < 100; ++i) {
    u32 raw = b.NextRaw();
    EXPECT_EQ(u32(a.Next(1000)), raw % 1000);
  }
}

TEST(SRandomTest, SeedsFromTheLocalClock) {
  Os::SystemTime t;
  t.year = 2000;
  Os::VirtualClock clock(t);
  Os::InstallClock(&clock);
  EXPECT_EQ(GetLocalTimeSeconds(), 946684800);
  SRandom r;
  r.SeedFromTime(nullptr);
  EXPECT_EQ(r.State()[0], 946684800u);
  clock.Advance(1500);
  EXPECT_EQ(GetTicks(), 1500u);
  SleepHundredths(3);
  EXPECT_EQ(GetTicks(), 1530u);
  STimeStamp stamp;
  EXPECT_EQ(stamp.seconds, 946684801u);
  Os::InstallClock(nullptr);
}

TEST(NumericHelpers, SmallCases) {
  EXPECT_EQ(ParseHexByte("7F"), 127);
  EXPECT_EQ(ParseHexByte("7f"), 127);
  EXPECT_EQ(ParseHexByte("a0"), 160);
  EXPECT_EQ(ParseHexByte(nullptr), 0);
  EXPECT_EQ(CountBits16(74565), 6);
  EXPECT_EQ(CountBits16(0xFFFF0000u), 0);
  i32 den = 3, num = 10;
  EXPECT_EQ(RescaleRatio(den, num, 6), 20);
  EXPECT_EQ(den, 6);
  num = -7;
  den = 2;
  EXPECT_EQ(RescaleRatio(den, num, 1), -3);  // truncating toward zero
  den = 0;
  num = 5;
  EXPECT_EQ(RescaleRatio(den, num, 4), 0);  // no division by zero
}

}  // namespace
