#include "driver/run_estimate.h"

#include <cstdio>

#include "run/clock_measurement.h"
#include "run/stopwatch.h"

namespace bench {

int64_t workMillis(int32_t recordedMs, TestTiming timing) {
  if (recordedMs <= 0) return 0;
  if (timing == TestTiming::ONCE) return recordedMs;
  // Repetitions continue until, read after one, the elapsed time reaches
  // MIN_MEASURE_MS: ceil(MIN_MEASURE_MS / recordedMs) of them, at least one.
  const int64_t repetitions = (MIN_MEASURE_MS + recordedMs - 1) / recordedMs;
  return repetitions * recordedMs;
}

void RunEstimate::observe(int32_t typicalMs, int32_t recordedMs) {
  if (typicalMs <= 0 || recordedMs <= 0) return;
  ratios_.push_back(static_cast<double>(recordedMs) / typicalMs);
}

double RunEstimate::slowdown() const { return ratios_.empty() ? 1.0 : medianOf(ratios_); }

int64_t RunEstimate::remainingMillis(const std::vector<PlannedTest>& rest) const {
  const double scale = slowdown();
  int64_t total = 0;
  for (const PlannedTest& test : rest) {
    double recorded = test.ownMs > 0 ? test.ownMs : test.typicalMs * scale;
    // A test far slower than 24 days is not one this estimate can say more of.
    if (recorded > INT32_MAX) recorded = INT32_MAX;
    total += workMillis(static_cast<int32_t>(recorded + 0.5), test.timing) + afterEachResultMs_;
  }
  return total < 0 ? 0 : total;
}

std::string roughDuration(int64_t millis) {
  char text[48];
  if (millis < 54500) {
    const long long tens = (millis + 5000) / 10000;
    std::snprintf(text, sizeof text, "about %lld s", tens < 1 ? 10 : tens * 10);
  } else if (const long long minutes = (millis + 30000) / 60000; minutes < 60) {
    std::snprintf(text, sizeof text, "about %lld min", minutes);
  } else {
    const long long tensOfMinutes = (millis + 300000) / 600000;
    if (tensOfMinutes % 6 == 0) {
      std::snprintf(text, sizeof text, "about %lld h", tensOfMinutes / 6);
    } else {
      std::snprintf(text, sizeof text, "about %lld h %lld min", tensOfMinutes / 6,
                    tensOfMinutes % 6 * 10);
    }
  }
  return text;
}

}  // namespace bench
