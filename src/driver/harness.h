// The run harness: drops the tests that the resource limits exclude, runs the
// selected tests in test-number order, prints each result beside the other
// systems' results, records it and saves the table, then pauses.
//
// Main thread only.
#ifndef BENCH_DRIVER_HARNESS_H_
#define BENCH_DRIVER_HARNESS_H_

#include <cstdint>

#include "driver/catalogue.h"
#include "driver/clock_check.h"
#include "driver/run_journal.h"
#include "driver/run_progress.h"
#include "driver/run_summary.h"
#include "results/listing_options.h"
#include "results/result_table.h"
#include "run/settings.h"

namespace bench {

// The pause after every recorded result.
inline constexpr uint32_t PAUSE_MS = 20000;

// Clears from `mask` the tests whose RAM, VM or disk need exceeds a non-zero
// limit of `settings` (compared in bytes, unsigned 32-bit).
uint32_t applyResourceLimits(uint32_t mask, const RunSettings& settings);

// One run of the selected tests: the table it records into, the options
// whose system filter chooses the other systems shown beside each result,
// and the clock check after every test's work.
struct TestRun {
  TestRun(ResultTable* runTable, const ListingOptions* runListing)
      : table(runTable), listing(runListing) {}

  ResultTable* table;
  const ListingOptions* listing;
  // Measures the clock right after each test's work, before its result is
  // printed and the pause lets the machine cool down; null for no check.
  ClockMeter meter = nullptr;
  // The lowest chain measurement `meter` gave during the run.
  MeasuredClock lowestAfterTest;
  // Receives a line for every recorded result; null for none.
  RunJournal* journal = nullptr;
  // Where the run is, for a person at a terminal; shows nothing unless told
  // where (then the pause after a result counts down there).
  RunProgress progress;
  // What happened to the tests, for the summary after the run.
  RunTally tally;
};

// What recording a time did to this system's record of the test.
enum class RecordVerdict { NEW, IMPROVED, NOT_IMPROVED };

// "new", "improved" or "not_improved".
const char* recordVerdictName(RecordVerdict verdict);

// Prints the result line of `test` with `timeMs`, and the other systems'
// times (those the system filter of `listing` accepts); improves or appends
// this system's record, appends to the per-test log with -a, and saves the
// table. The pause after it is the caller's.
RecordVerdict recordResult(ResultTable& table, int test, int32_t timeMs,
                           const ListingOptions& listing);

// The exit status of a run in which a test failed, its memory could not be
// had, or the results could not be saved.
inline constexpr int EXIT_TEST_FAILED = 11;

// Runs one test through `routine` and handles its outcome: checks the clock
// right after the work, then records a time, adds its line to the journal
// and pauses for PAUSE_MS;
// otherwise reports the failure on standard error where the test has not
// (the memory size of `entry` when its memory could not be had) and records
// nothing. Counts the outcome in run.tally. Returns 0 when a time was
// recorded, else EXIT_TEST_FAILED.
int runOneTest(TestRun& run, const TestEntry& entry, TestRoutine routine);

// Runs the tests selected by runSettings.testMask, announcing each through
// run.progress, and returns the exit status of the run: 0, or
// EXIT_TEST_FAILED when any test did not record a time or the results could
// not be saved. Counts the tests the limits drop in run.tally.
int runSelectedTests(TestRun& run);

}  // namespace bench

#endif  // BENCH_DRIVER_HARNESS_H_
