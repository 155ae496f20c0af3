#include "driver/run_estimate.h"

#include <gtest/gtest.h>

#include <vector>

namespace bench {
namespace {

TEST(RunEstimate, WorkOfATestFollowsTheRepetitionRule) {
  struct Case {
    int32_t recordedMs;
    TestTiming timing;
    int64_t workMs;
  };
  const Case cases[] = {
      {7000, TestTiming::ONCE, 7000},
      {407, TestTiming::REPEATED, 20350},    // 50 repetitions reach 20 s
      {7845, TestTiming::REPEATED, 23535},   // the third repetition ends past 20 s
      {20000, TestTiming::REPEATED, 20000},  // one repetition is enough
      {45000, TestTiming::REPEATED, 45000},
      {1, TestTiming::REPEATED, 20000},
      {0, TestTiming::REPEATED, 0},
      {-5, TestTiming::ONCE, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(workMillis(c.recordedMs, c.timing), c.workMs) << c.recordedMs;
  }
}

TEST(RunEstimate, OwnTimesWinAndTheRestScalesWithTheMachine) {
  // A repeated test of 1 s and two tests run once; 20 s after each result.
  const TestTiming R = TestTiming::REPEATED;
  const TestTiming O = TestTiming::ONCE;
  struct Case {
    const char* what;
    std::vector<PlannedTest> rest;
    std::vector<double> observedRatios;  // recorded / typical of the tests run so far
    int64_t remainingMs;
  };
  const Case cases[] = {
      {"typical times, nothing run yet",
       {{1000, R, 0}, {5000, O, 0}, {30000, O, 0}},
       {},
       20000 + 5000 + 30000 + 3 * 20000},
      {"own times for all",
       {{1000, R, 3000}, {5000, O, 9000}, {30000, O, 12000}},
       {},
       21000 + 9000 + 12000 + 3 * 20000},
      {"own times for some, this machine twice as slow",
       {{1000, R, 0}, {5000, O, 4000}, {30000, O, 0}},
       {2.0},
       20000 + 4000 + 60000 + 3 * 20000},
      {"own times ignore the slowdown",
       {{1000, R, 0}, {5000, O, 4000}},
       {3.0, 0.5, 2.0},
       20000 + 4000 + 2 * 20000},
      {"a slow repeated test stops repeating", {{15000, R, 0}}, {2.0}, 30000 + 20000},
      {"the median keeps one disturbed test from swaying the rest",
       {{30000, O, 0}},
       {1.0, 1.1, 9.0},
       33000 + 20000},
      {"nothing left", {}, {2.0}, 0},
  };
  for (const Case& c : cases) {
    RunEstimate estimate(20000);
    for (double ratio : c.observedRatios)
      estimate.observe(10000, static_cast<int32_t>(10000 * ratio));
    EXPECT_EQ(estimate.remainingMillis(c.rest), c.remainingMs) << c.what;
  }
}

TEST(RunEstimate, SlowdownIsTheMedianRatioAndIgnoresTimesThatAreNotPositive) {
  RunEstimate estimate(0);
  EXPECT_EQ(estimate.slowdown(), 1.0);
  estimate.observe(1000, 0);
  estimate.observe(0, 1000);
  EXPECT_EQ(estimate.slowdown(), 1.0);
  estimate.observe(1000, 3000);
  estimate.observe(2000, 2000);
  EXPECT_EQ(estimate.slowdown(), 2.0);
}

TEST(RunEstimate, RoughDurationIsRoundedAsAPersonWouldSayIt) {
  struct Case {
    int64_t millis;
    const char* text;
  };
  const Case cases[] = {
      {-4000, "about 10 s"},
      {0, "about 10 s"},
      {14999, "about 10 s"},
      {15000, "about 20 s"},
      {40400, "about 40 s"},
      {54499, "about 50 s"},
      {54500, "about 1 min"},
      {89999, "about 1 min"},
      {90000, "about 2 min"},
      {12 * 60000 + 20000, "about 12 min"},
      {59 * 60000 + 29000, "about 59 min"},
      {59 * 60000 + 30000, "about 1 h"},
      {100 * 60000, "about 1 h 40 min"},
      {124 * 60000, "about 2 h"},
      {26 * 3600000LL, "about 26 h"},
  };
  for (const Case& c : cases) EXPECT_EQ(roughDuration(c.millis), c.text) << c.millis;
}

}  // namespace
}  // namespace bench
