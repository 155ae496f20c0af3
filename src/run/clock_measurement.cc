#include "run/clock_measurement.h"

#include <algorithm>
#include <cmath>

#include "platform/cpu_clock.h"
#include "platform/cpu_name.h"
#include "run/processor_name.h"

namespace bench {

namespace {

// A chain long enough for any warm-up; stops the doubling on a timer that
// reports no time at all.
constexpr int64_t MAX_BLOCKS = int64_t{1} << 40;

}  // namespace

double medianOf(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  size_t middle = values.size() / 2;
  if (values.size() % 2 == 1) return values[middle];
  return (values[middle - 1] + values[middle]) / 2;
}

int32_t roundToMhz(double mhz) {
  if (!(mhz > 0) || !std::isfinite(mhz)) return 0;
  double rounded = std::round(mhz);
  return rounded >= INT32_MAX ? INT32_MAX : static_cast<int32_t>(rounded);
}

int32_t measureChainClock(const ChainTimer& timer, const ClockMeasurementPlan& plan) {
  // Doubles the chain until one call lasts an eighth of a sample; a chain
  // the timer shows as 0 ns is simply too short yet.
  int64_t blocks = std::max<int64_t>(plan.firstBlocks, 1);
  int64_t last = timer(blocks);
  int64_t spent = std::max<int64_t>(last, 0);
  while (last < plan.sampleNanos / 8 && spent < plan.warmUpNanos && blocks < MAX_BLOCKS) {
    blocks *= 2;
    last = timer(blocks);
    spent += std::max<int64_t>(last, 0);
  }
  if (last <= 0) return 0;

  // Runs that chain until the warm-up time is spent, keeping the fastest
  // reading: the core's running clock, undisturbed by a call that was
  // preempted. A few more readings are taken while half the budget lasts.
  int64_t fastest = last;
  int readings = 1;
  while (spent < plan.warmUpNanos ||
         (readings < plan.lengthReadings && spent < plan.budgetNanos / 2)) {
    last = timer(blocks);
    if (last <= 0) return 0;
    spent += last;
    fastest = std::min(fastest, last);
    ++readings;
  }

  // Scale the chain to one sample's length at that clock, and never below
  // what the timer resolves well.
  const int64_t sampleNanos =
      std::max(plan.sampleNanos, plan.timerResolutionNanos * MIN_SAMPLE_RESOLUTIONS);
  double scaled =
      static_cast<double>(blocks) * static_cast<double>(sampleNanos) / static_cast<double>(fastest);
  int64_t sampleBlocks =
      static_cast<int64_t>(std::clamp(std::ceil(scaled), 1.0, static_cast<double>(MAX_BLOCKS)));
  std::vector<double> clocks;
  for (int i = 0; i < plan.samples; ++i) {
    if (spent >= plan.budgetNanos && !clocks.empty()) break;
    int64_t nanos = timer(sampleBlocks);
    if (nanos <= 0) return 0;
    spent += nanos;
    // Additions per nanosecond are GHz; one addition takes one cycle.
    clocks.push_back(static_cast<double>(sampleBlocks) * plan.additionsPerBlock * 1000.0 /
                     static_cast<double>(nanos));
  }
  return roundToMhz(medianOf(clocks));
}

MeasuredClock measureCpuClock() {
  if (platform::hasAdditionChain()) {
    ClockMeasurementPlan plan;
    plan.additionsPerBlock = platform::ADDITIONS_PER_BLOCK;
    plan.timerResolutionNanos = platform::chainTimerResolutionNanos();
    int32_t mhz = measureChainClock(platform::timeAdditionChain, plan);
    if (mhz > 0) return {mhz, ClockSource::CHAIN};
  }
  int32_t reported =
      osReportedClock(platform::reportedMaxClockMhz(), platform::readProcessorInfoText());
  if (reported > 0) return {reported, ClockSource::OS_REPORTED};
  return {};
}

bool givenClockDiffers(int32_t given, int32_t measured) {
  if (measured <= 0) return false;
  int64_t difference = static_cast<int64_t>(given) - measured;
  if (difference < 0) difference = -difference;
  return difference * 10 > measured;
}

bool withinMeasurementSpread(int32_t recorded, int32_t measured) {
  if (measured <= 0) return false;
  int64_t difference = static_cast<int64_t>(recorded) - measured;
  if (difference < 0) difference = -difference;
  return difference * 100 <= static_cast<int64_t>(measured) * SAME_CLOCK_PERCENT;
}

int32_t roundToClockStep(int32_t mhz) {
  if (mhz < CLOCK_STEP_MHZ) return mhz;
  int64_t steps = (static_cast<int64_t>(mhz) + CLOCK_STEP_MHZ / 2) / CLOCK_STEP_MHZ;
  int64_t rounded = steps * CLOCK_STEP_MHZ;
  return rounded > INT32_MAX ? mhz : static_cast<int32_t>(rounded);
}

bool clockDropped(int32_t before, int32_t after) {
  if (before <= 0 || after <= 0) return false;
  return static_cast<int64_t>(after) * 10 < static_cast<int64_t>(before) * 9;
}

}  // namespace bench
