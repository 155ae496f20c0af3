// The run harness: drops the tests that the resource limits exclude, runs the
// selected tests in test-number order, prints each result beside the other
// systems' results, records it and saves the table, then pauses.
//
// Main thread only.
#ifndef BENCH_DRIVER_HARNESS_H_
#define BENCH_DRIVER_HARNESS_H_

#include <cstdint>

#include "driver/catalogue.h"
#include "results/listing_options.h"
#include "results/result_table.h"
#include "run/settings.h"

namespace bench {

// The pause after every recorded result.
inline constexpr uint32_t PAUSE_MS = 20000;

// Clears from `mask` the tests whose RAM, VM or disk need exceeds a non-zero
// limit of `settings` (compared in bytes, unsigned 32-bit).
uint32_t applyResourceLimits(uint32_t mask, const RunSettings& settings);

// Prints the result line of `test` with `timeMs`, and the other systems'
// times; improves or appends this system's record, appends to the per-test
// log with -a, saves the table and pauses. The other systems shown are those
// the system filter of `listing` accepts.
void recordResult(ResultTable& table, int test, int32_t timeMs, const ListingOptions& listing);

// The exit status of a run in which a test failed, its memory could not be
// had, or the results could not be saved.
inline constexpr int EXIT_TEST_FAILED = 11;

// Runs one test through `routine` and handles its outcome: records a time;
// otherwise reports the failure on standard error where the test has not
// (the memory size of `entry` when its memory could not be had) and records
// nothing. Returns 0 when a time was recorded, else EXIT_TEST_FAILED.
int runOneTest(ResultTable& table, const TestEntry& entry, TestRoutine routine,
               const ListingOptions& listing);

// Runs the tests selected by runSettings.testMask and returns the exit
// status of the run: 0, or EXIT_TEST_FAILED when any test did not record a
// time or the results could not be saved.
int runSelectedTests(ResultTable& table, const ListingOptions& listing);

}  // namespace bench

#endif  // BENCH_DRIVER_HARNESS_H_
