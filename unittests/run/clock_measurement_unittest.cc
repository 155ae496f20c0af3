#include "run/clock_measurement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace bench {
namespace {

// A chain on a simulated core: one addition per cycle, at a clock that may
// depend on the time since the first call (a core that ramps up) and with
// chosen calls slowed down (the thread was preempted), read on a timer that
// shows whole steps of `resolution` nanoseconds. Keeps the simulated time
// that all calls took.
class FakeChain {
 public:
  FakeChain(double mhz, double rampMhz = 0, int64_t rampNanos = 0)
      : mhz_(mhz), rampMhz_(rampMhz), rampNanos_(rampNanos) {}

  void setResolution(int64_t nanos) { resolution_ = nanos; }

  // Call number `call` (0 = the first) takes `factor` times as long.
  void slowDown(int call, double factor) {
    if (slow_.size() <= static_cast<size_t>(call)) slow_.resize(call + 1, 1.0);
    slow_[call] = factor;
  }

  ChainTimer timer() {
    return [this](int64_t blocks) {
      double mhz = now_ < rampNanos_ ? rampMhz_ : mhz_;
      double nanos = static_cast<double>(blocks) * 100 * 1000 / mhz;
      if (static_cast<size_t>(calls_) < slow_.size()) nanos *= slow_[calls_];
      ++calls_;
      int64_t taken = static_cast<int64_t>(std::llround(nanos));
      now_ += taken;
      return (taken + resolution_ / 2) / resolution_ * resolution_;
    };
  }

  int64_t nanosSpent() const { return now_; }
  int calls() const { return calls_; }

 private:
  double mhz_;
  double rampMhz_;
  int64_t rampNanos_;
  std::vector<double> slow_;
  int64_t now_ = 0;
  int calls_ = 0;
  int64_t resolution_ = 1;
};

TEST(MedianOf, OddEvenAndEmpty) {
  EXPECT_EQ(medianOf({}), 0);
  EXPECT_EQ(medianOf({7}), 7);
  EXPECT_EQ(medianOf({5, 1, 3}), 3);
  EXPECT_EQ(medianOf({4, 1, 3, 2}), 2.5);
  EXPECT_EQ(medianOf({9, 9, 1, 9, 1}), 9);
}

TEST(RoundToMhz, HalvesUpAndBadValuesToZero) {
  struct Case {
    double mhz;
    int32_t expected;
  };
  const Case cases[] = {
      {3669.5, 3670},
      {3669.49, 3669},
      {3670.0, 3670},
      {0.4, 0},
      {0.0, 0},
      {-100.0, 0},
      {std::numeric_limits<double>::quiet_NaN(), 0},
      {std::numeric_limits<double>::infinity(), 0},
      {1e12, INT32_MAX},
  };
  for (const Case& c : cases) EXPECT_EQ(roundToMhz(c.mhz), c.expected) << c.mhz;
}

// Every clock is measured exactly, and the whole measurement, warm-up
// included, stays within 300 ms, however slow or fast the core.
TEST(MeasureChainClock, ExactAndWithinBudgetAtAnyClock) {
  for (double mhz : {1.0, 50.0, 800.0, 2596.4, 3669.6, 6000.0}) {
    FakeChain chain(mhz);
    EXPECT_EQ(measureChainClock(chain.timer()), roundToMhz(mhz)) << mhz;
    EXPECT_LE(chain.nanosSpent(), 300000000) << mhz;
    // The warm-up is not skipped either.
    EXPECT_GE(chain.nanosSpent(), ClockMeasurementPlan{}.warmUpNanos) << mhz;
  }
}

// A core that idles at 800 MHz for the first 80 ms and then runs at 3600:
// only the running clock counts.
TEST(MeasureChainClock, WarmUpLetsTheCoreReachItsRunningClock) {
  FakeChain chain(3600, 800, 80000000);
  EXPECT_EQ(measureChainClock(chain.timer()), 3600);
}

// Calls of the chain that a busy machine preempted take longer.
class PreemptedSamples : public ::testing::Test {
 protected:
  // The call number of the first sample of a measurement at `mhz`.
  static int firstSample(double mhz) {
    FakeChain probe(mhz);
    measureChainClock(probe.timer());
    return probe.calls() - ClockMeasurementPlan{}.samples;
  }
};

// Up to half of the samples preempted do not move the result: the median
// does not average them in.
TEST_F(PreemptedSamples, MedianIgnoresThem) {
  const int first = firstSample(3000);
  const int samples = ClockMeasurementPlan{}.samples;
  FakeChain chain(3000);
  for (int i = 0; i < samples / 2; ++i) chain.slowDown(first + 2 * i, 1.5);
  EXPECT_EQ(measureChainClock(chain.timer()), 3000);
}

// On a machine so busy that every sample takes 40 times as long, sampling
// stops when the budget is spent: the measurement still ends in time.
TEST_F(PreemptedSamples, BudgetBoundsTheMeasurement) {
  const int first = firstSample(3000);
  const ClockMeasurementPlan plan;
  FakeChain chain(3000);
  for (int i = 0; i < plan.samples; ++i) chain.slowDown(first + i, 40);
  EXPECT_EQ(measureChainClock(chain.timer()), 75);
  EXPECT_LE(chain.nanosSpent(), plan.budgetNanos + 40 * plan.sampleNanos + 1000000);
  EXPECT_LT(chain.calls(), first + plan.samples);
}

// The last call of the warm-up is preempted (it takes 100 or 10000 times as
// long) on a timer that shows steps of 100 ns: the samples keep their length,
// so the timer's rounding stays within 0.1% and no sample reads 0 ns.
TEST_F(PreemptedSamples, SlowLastWarmUpCallLeavesTheSamplesAlone) {
  for (double slowdown : {100.0, 10000.0}) {
    const int first = firstSample(3000);
    FakeChain chain(3000);
    chain.setResolution(100);
    chain.slowDown(first - 1, slowdown);
    EXPECT_NEAR(measureChainClock(chain.timer()), 3000, 3) << slowdown;
  }
}

// A sample is never planned shorter than the timer resolves well, even
// when the plan asks for shorter ones.
TEST(MeasureChainClock, SamplesAreLongEnoughForACoarseTimer) {
  ClockMeasurementPlan plan;
  plan.sampleNanos = 2000;
  plan.timerResolutionNanos = 1000;
  FakeChain chain(2596.4);
  chain.setResolution(1000);
  EXPECT_NEAR(measureChainClock(chain.timer(), plan), 2596, 3);
}

TEST(MeasureChainClock, NoChainGivesZero) {
  EXPECT_EQ(measureChainClock([](int64_t) { return int64_t{0}; }), 0);
  // A chain that stops working half way gives no figure either.
  int calls = 0;
  EXPECT_EQ(measureChainClock(
                [&calls](int64_t blocks) { return ++calls < 20 ? blocks * 100 / 3 : int64_t{0}; }),
            0);
}

TEST(ClockThresholds, MoreThanTenPercentWarns) {
  struct Case {
    int32_t given;
    int32_t measured;
    bool differs;
  };
  const Case cases[] = {
      {1000, 3670, true},  {3303, 3670, false},  // exactly 10% below: no warning
      {3302, 3670, true},  {4037, 3670, false},  // exactly 10% above: no warning
      {4038, 3670, true},  {0, 3000, true},
      {3670, 3670, false}, {1000, 0, false},  // nothing measured: nothing to compare with
  };
  for (const Case& c : cases) {
    EXPECT_EQ(givenClockDiffers(c.given, c.measured), c.differs) << c.given << " " << c.measured;
  }

  struct Drop {
    int32_t before;
    int32_t after;
    bool dropped;
  };
  const Drop drops[] = {
      {3670, 3303, false},  // 10% exactly
      {3670, 3302, true},  {3000, 3500, false}, {3000, 1500, true},
      {0, 1000, false},    {3000, 0, false},
  };
  for (const Drop& d : drops) {
    EXPECT_EQ(clockDropped(d.before, d.after), d.dropped) << d.before << " " << d.after;
  }
}

}  // namespace
}  // namespace bench
