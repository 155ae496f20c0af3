// The summary after a run of tests, on standard error: what the run did to
// each test, which tests drew the noise warning, the clock, the time the run
// took, where the results are and how to look at them. It is a report for
// the person who started the run; the result lines, the files and the exit
// status do not depend on it.
//
// Main thread only.
#ifndef BENCH_DRIVER_RUN_SUMMARY_H_
#define BENCH_DRIVER_RUN_SUMMARY_H_

#include <cstdint>
#include <string>
#include <vector>

#include "run/clock_measurement.h"

namespace bench {

// What happened to the tests of one run; counted by the harness as they end.
struct RunTally {
  int recordedNew = 0;  // recorded, and this system had no time for it
  int improved = 0;     // recorded, faster than this system's time
  int notImproved = 0;  // recorded, not faster
  int failed = 0;       // the test failed, or gave a time it could not record
  int lackedMemory = 0;
  int skippedForLimits = 0;  // selected, but over a memory or disk limit
  std::vector<int> noisy;    // tests whose repetitions disagreed, in order

  int ran() const { return recordedNew + improved + notImproved + failed + lackedMemory; }
  int recorded() const { return recordedNew + improved + notImproved; }
};

struct RunSummary {
  RunTally tally;
  int32_t recordedMhz = 0;        // the clock the results were recorded under
  MeasuredClock before;           // measured before the first test
  MeasuredClock lowestAfter;      // the lowest measured right after a test
  int64_t wallMillis = 0;         // the whole run, from the platform clock
  bool saved = true;              // false when the table could not be saved
  const char* journal = nullptr;  // the run journal's file name; null when none
  // The command that compares this run with the earlier one; empty when
  // there is no earlier run.
  std::string comparison;
};

// The summary's lines, each ending in "\n".
std::string summaryText(const RunSummary& summary);

// `millis` as minutes and seconds: "45 s", "16 min 39 s", "1 h 2 min 3 s".
std::string wallDuration(int64_t millis);

}  // namespace bench

#endif  // BENCH_DRIVER_RUN_SUMMARY_H_
