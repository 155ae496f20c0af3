// The estimate of the time a run still takes: from this system's own times
// in the result table where it has them, otherwise from the catalogue's
// typical times scaled by how fast this machine ran the tests so far; the
// pause and clock measurement after every result count.
//
// Pure computation, no output. Used by one thread at a time.
#ifndef BENCH_DRIVER_RUN_ESTIMATE_H_
#define BENCH_DRIVER_RUN_ESTIMATE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "driver/catalogue.h"

namespace bench {

// The time a test's work takes when it records `recordedMs`: that time for a
// test run once; for a repeated test, the repetitions it takes until
// MIN_MEASURE_MS have passed. 0 for a time that is not positive.
int64_t workMillis(int32_t recordedMs, TestTiming timing);

// A test still to run, as the estimate sees it.
struct PlannedTest {
  int32_t typicalMs;  // what it records on the machine the catalogue was timed on
  TestTiming timing;
  int32_t ownMs;  // this system's time in the result table; 0 when it has none
};

class RunEstimate {
 public:
  // `afterEachResultMs`: the pause and the clock measurement that follow
  // every recorded result.
  explicit RunEstimate(int64_t afterEachResultMs) : afterEachResultMs_(afterEachResultMs) {}

  // Notes that a test whose typical time is `typicalMs` recorded
  // `recordedMs` in this run. Times that are not positive are ignored.
  void observe(int32_t typicalMs, int32_t recordedMs);

  // How many times longer this machine takes than the catalogue's: the
  // median of the observed ratios (one fast or disturbed test does not sway
  // it), 1 before any was observed.
  double slowdown() const;

  // The milliseconds that `rest` will take, each test with the pause after
  // it: its own time where it has one, else its typical time times
  // slowdown(). Never negative.
  int64_t remainingMillis(const std::vector<PlannedTest>& rest) const;

 private:
  int64_t afterEachResultMs_;
  std::vector<double> ratios_;
};

// `millis` as a person would say it, rounded: "about 40 s" (to 10 s, at
// least 10 s), "about 12 min" (to the minute from 55 s), "about 1 h 40 min"
// (to 10 minutes from 59.5 min).
std::string roughDuration(int64_t millis);

}  // namespace bench

#endif  // BENCH_DRIVER_RUN_ESTIMATE_H_
