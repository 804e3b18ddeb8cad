// The world builder keeps its records by id: a record id written a second time, by another step or by
// the same one, is refused with both writers named, and the first record stays.
#include "BuildStep.h"

#include <gtest/gtest.h>

TEST(BuildRecords, AnIdWrittenTwiceIsRefusedAndTheFirstStays) {
  worldbuild::Context context("unused", "unused");
  worldbuild::Archive& data = context.archive("DuskmireData");
  EXPECT_TRUE(context.put(data, 3952, {1, 2}, "card pictures: record 3952"));
  EXPECT_TRUE(context.put(data, 3953, {3}, "menu: record 3953"));
  EXPECT_FALSE(context.failed());
  testing::internal::CaptureStderr();
  EXPECT_FALSE(context.put(data, 3952, {9}, "logo: record 3952"));
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(context.failed());
  EXPECT_NE(said.find("logo: record 3952: DuskmireData record 3952 is already written by card pictures"),
            std::string::npos)
      << said;
  EXPECT_EQ(data.records[3952], (std::vector<u8>{1, 2}));
  // Another archive has ids of its own.
  EXPECT_TRUE(context.put(context.archive("Base"), 3952, {4}, "world"));
}
