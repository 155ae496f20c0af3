// The catalogue of the 24 tests: one row per test with its mask bit, titles,
// parameters, routine, the memory size named when it cannot be had, its
// resource needs and its typical time.
// Adding a test is filling in its row.
//
// Immutable; safe to read from any thread.
#ifndef BENCH_DRIVER_CATALOGUE_H_
#define BENCH_DRIVER_CATALOGUE_H_

#include <cstdint>
#include <string>

#include "run/outcome.h"

namespace bench {

inline constexpr int TEST_COUNT = 24;

// How a test spends its time: its work once, or whole repetitions of it
// until the measuring time has passed (it then records one repetition's
// time).
enum class TestTiming { ONCE, REPEATED };

// A test routine: runs the test with the row's fixed parameters on the
// calling thread and returns its outcome (see run/outcome.h).
using TestRoutine = Outcome (*)();

struct TestEntry {
  int number;                // 1..24
  const char* usageTitle;    // format of the usage row (printed by -h)
  int usageParams[3];        // its arguments
  const char* listingTitle;  // format of the listing heading
  int listingParams[3];      // its arguments
  TestRoutine routine;       // null while the test does not exist
  int failureMegabytes;      // size named when the test's memory cannot be had
  uint32_t ramMiB;           // resource needs, 1 MiB = 1048576 bytes
  uint32_t vmMiB;
  uint32_t diskMiB;
  // What the test typically records, in milliseconds: the lesser of two
  // full runs on a 2-core 3.7 GHz x86-64 virtual machine shared with other
  // work (other programs only ever add time). Only the estimate of the
  // time a run takes uses it.
  int32_t typicalMs;
  TestTiming timing;
};

// The mask bit of test `number`.
// REQUIRES: 1 <= number <= TEST_COUNT.
constexpr uint32_t testBit(int number) { return 1u << (number - 1); }

// The row of test `number`.
// REQUIRES: 1 <= number <= TEST_COUNT.
const TestEntry& catalogueEntry(int number);

// The listing title of test `number` with its parameters filled in.
// REQUIRES: 1 <= number <= TEST_COUNT.
std::string listingTitle(int number);

}  // namespace bench

#endif  // BENCH_DRIVER_CATALOGUE_H_
