#include "run/stopwatch.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace bench {
namespace {

TEST(Stopwatch, ElapsedMeasuresFromTheSameStartWithoutResetting) {
  testing::ScopedFakeTime time(1500);
  timerStart();
  EXPECT_EQ(timerElapsed(), 1500);
  EXPECT_EQ(timerElapsed(), 3000);
  timerStart();
  EXPECT_EQ(timerElapsed(), 1500);
}

TEST(Stopwatch, AverageRoundsHalfUp) {
  EXPECT_EQ(averageTime(20000, 1), 20000);
  EXPECT_EQ(averageTime(20001, 2), 10001);
  EXPECT_EQ(averageTime(20000, 3), 6667);
  EXPECT_EQ(averageTime(2147483647, 2), 1073741824);  // no overflow near the top
}

TEST(Stopwatch, RealClockIsMonotonicAndStartsNearZero) {
  timerStart();
  int32_t first = timerElapsed();
  int32_t second = timerElapsed();
  EXPECT_GE(first, 0);
  EXPECT_LE(first, second);
  EXPECT_LT(second, 1000);
}

}  // namespace
}  // namespace bench
