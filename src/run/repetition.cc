#include "run/repetition.h"

#include <algorithm>
#include <vector>

#include "run/stopwatch.h"

namespace bench {

namespace {

// Room for the repetition times of every test but the very shortest, taken
// before the clock starts; more repetitions grow it between two of them.
constexpr size_t EXPECTED_REPETITIONS = 1024;

}  // namespace

Repetitions repeatForMeasuringTime(RepetitionBody body, void* context) {
  Repetitions result;
  std::vector<int32_t> times;
  times.reserve(EXPECTED_REPETITIONS);
  timerStart();
  int32_t previous = 0;
  int32_t elapsed = 0;
  do {
    if (!body(context)) return result;
    elapsed = timerElapsed();
    times.push_back(elapsed - previous);
    previous = elapsed;
    ++result.count;
  } while (elapsed < MIN_MEASURE_MS);
  result.completed = true;
  result.average = averageTime(elapsed, result.count);
  result.spread = spreadOf(times.data(), result.count);
  return result;
}

RepetitionSpread spreadOf(const int32_t* times, int32_t count) {
  std::vector<int32_t> sorted(times, times + count);
  std::sort(sorted.begin(), sorted.end());
  RepetitionSpread spread;
  spread.count = count;
  spread.fastest = sorted.front();
  spread.slowest = sorted.back();
  spread.times.assign(times, times + count);
  const size_t middle = sorted.size() / 2;
  spread.median = sorted.size() % 2 != 0
                      ? sorted[middle]
                      : (static_cast<double>(sorted[middle - 1]) + sorted[middle]) / 2;
  return spread;
}

double repetitionLossPercent(const RepetitionSpread& spread, int32_t recorded) {
  if (spread.count < 1 || spread.fastest <= 0) return 0;
  return (static_cast<double>(recorded) - spread.fastest) * 100 / spread.fastest;
}

bool repetitionsDisagree(const RepetitionSpread& spread, int32_t recorded) {
  if (spread.count < 2) return false;
  return recorded - spread.fastest > REPETITION_LOSS_LIMIT_MS &&
         repetitionLossPercent(spread, recorded) > REPETITION_LOSS_LIMIT_PERCENT;
}

}  // namespace bench
