#include "run/repetition.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/test_support.h"

namespace bench {
namespace {

// Each repetition "takes" the next of `steps` milliseconds on the fake clock.
struct RepetitionCase {
  const char* name;
  std::vector<int32_t> steps;
  int32_t count;
  int32_t average;
};

class RepeatForMeasuringTime : public ::testing::TestWithParam<RepetitionCase> {};

TEST_P(RepeatForMeasuringTime, RepeatsUntilTwentySecondsAndRoundsTheAverage) {
  const RepetitionCase& c = GetParam();
  auto step = [&c](size_t i) { return c.steps[i < c.steps.size() ? i : c.steps.size() - 1]; };
  // A reading advances the clock after it is taken: the step in force at the
  // reading that ends repetition i is the length of repetition i + 1.
  testing::ScopedFakeTime time(step(0));
  size_t calls = 0;
  Repetitions repetitions = repeatForMeasuringTime([&]() -> bool {
    time.setStep(step(++calls));
    return true;
  });
  EXPECT_TRUE(repetitions.completed);
  EXPECT_EQ(repetitions.count, c.count);
  EXPECT_EQ(static_cast<int32_t>(calls), c.count);
  EXPECT_EQ(repetitions.average, c.average);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RepeatForMeasuringTime,
    ::testing::Values(RepetitionCase{"OneRepetitionWhenTwentySecondsPassAtOnce", {25000}, 1, 25000},
                      RepetitionCase{"StopsAtExactlyTwentySeconds", {5000}, 4, 5000},
                      RepetitionCase{"OneMillisecondShortNeedsAnotherRepetition", {6666}, 4, 6666},
                      RepetitionCase{"AverageRoundsHalfUp", {10000, 10001}, 2, 10001},
                      RepetitionCase{"AverageRoundsDown", {7000, 7000, 7001}, 3, 7000}),
    [](const ::testing::TestParamInfo<RepetitionCase>& named) { return named.param.name; });

TEST(RepeatForMeasuringTimeGivingUp, StopsAtTheFirstRepetitionThatGivesUp) {
  testing::ScopedFakeTime time(100);
  int calls = 0;
  Repetitions repetitions = repeatForMeasuringTime([&calls]() -> bool { return ++calls < 3; });
  EXPECT_FALSE(repetitions.completed);
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(repetitions.count, 2);
}

}  // namespace
}  // namespace bench
