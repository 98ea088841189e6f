#include <gtest/gtest.h>

#include "snow/random.h"
#include "snow/snow_support.h"

namespace {

TEST(RandomGenerator, StartsFromStateOneWithTheKnownSequence) {
  // No reset: the process starts with state 1.
  EXPECT_EQ(41, RandomNext());
  EXPECT_EQ(18467, RandomNext());
  EXPECT_EQ(6334, RandomNext());
  EXPECT_EQ(26500, RandomNext());
  ResetRandom();
  EXPECT_EQ(41, RandomNext());
}

TEST(RandomGenerator, BelowZeroDrawsNothingAndOtherwiseTakesTheRemainder) {
  ResetRandom();
  EXPECT_EQ(0, RandomBelow(0));
  EXPECT_EQ(41 % 10, RandomBelow(10));  // the 0 above left the sequence alone
  EXPECT_EQ(18467 % 1000, RandomBelow(1000));
  EXPECT_EQ(0, RandomBelow(1));
  Lcg copy;
  for (int i = 0; i < 3; ++i) copy.Next();
  for (int i = 0; i < 1000; ++i) EXPECT_EQ(copy.Below(7919), RandomBelow(7919));
}

}  // namespace
