#include "run/repetition.h"

#include <gtest/gtest.h>

#include <vector>

#include "run/outcome.h"
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

// Runs repeatForMeasuringTime with repetitions of the given lengths on the
// fake clock (the last length repeats until 20 seconds have passed).
Repetitions repeatWithLengths(const std::vector<int32_t>& lengths) {
  auto length = [&lengths](size_t i) {
    return lengths[i < lengths.size() ? i : lengths.size() - 1];
  };
  testing::ScopedFakeTime time(length(0));
  size_t calls = 0;
  return repeatForMeasuringTime([&]() -> bool {
    time.setStep(length(++calls));
    return true;
  });
}

TEST(RepetitionSpread, KeepsFastestMedianSlowestAndEveryRepetition) {
  Repetitions odd = repeatWithLengths({4000, 3000, 9000, 2500, 3500});
  EXPECT_EQ(odd.spread, (RepetitionSpread{5, 2500, 3500, 9000, {4000, 3000, 9000, 2500, 3500}}));
  Repetitions even = repeatWithLengths({5000, 6000, 4000, 5500});
  EXPECT_EQ(even.spread, (RepetitionSpread{4, 4000, 5250, 6000, {5000, 6000, 4000, 5500}}));
  Repetitions single = repeatWithLengths({20000});
  EXPECT_EQ(single.spread, (RepetitionSpread{1, 20000, 20000, 20000, {20000}}));
}

struct DisagreementCase {
  const char* name;
  std::vector<int32_t> lengths;
  bool disagree;
};

class RepetitionsDisagree : public ::testing::TestWithParam<DisagreementCase> {};

TEST_P(RepetitionsDisagree, OnlyWhenTheAverageLosesTooMuchToTheFastest) {
  const DisagreementCase& c = GetParam();
  Repetitions repetitions = repeatWithLengths(c.lengths);
  EXPECT_EQ(repetitionsDisagree(repetitions.spread, repetitions.average), c.disagree)
      << repetitions.average << " against " << repetitions.spread.fastest;
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, RepetitionsDisagree,
    ::testing::Values(
        // A quiet machine: a few percent of jitter, one slow first repetition.
        DisagreementCase{"Quiet", {1000, 1010, 990, 1005, 1020, 995, 1000, 1015}, false},
        DisagreementCase{"SlowFirstRepetition", {1080, 1000}, false},
        // Busy for a while, but the result lost less than a tenth.
        DisagreementCase{"SlowStartWithinTheLimit", {1500, 1500, 1500, 1000}, false},
        // Another program took a third of the core for the first 8 seconds.
        DisagreementCase{"LoadedForPartOfTheTest", {1500, 1500, 1500, 1500, 1500, 1000}, true},
        // The median stays clean while a third of the time was lost.
        DisagreementCase{"LoadedUnderHalfTheRepetitions", {2000, 2000, 2000, 1000}, true},
        DisagreementCase{"OneRepetitionNeverDisagrees", {25000}, false},
        // Millisecond steps of very short repetitions are not disagreement.
        DisagreementCase{"ShortRepetitionsRoundedToMilliseconds", {2, 3, 2, 3, 3}, false}),
    [](const ::testing::TestParamInfo<DisagreementCase>& named) { return named.param.name; });

}  // namespace
}  // namespace bench
