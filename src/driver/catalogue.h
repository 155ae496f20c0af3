// The catalogue of the 24 tests: one row per test with its mask bit, titles,
// parameters, routine, the meaning of a zero result and its resource needs.
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

// What a zero result of a test means.
enum class ZeroMeaning {
  NOT_EXPECTED,        // a plainly wrong result: nothing is recorded
  ALLOCATION_FAILURE,  // its memory could not be had
  SKIPPED_SILENTLY,    // the test reported its own failure
};

// A test routine: runs the test with the row's fixed parameters on the
// calling thread and returns its time in milliseconds, 0 (see ZeroMeaning),
// or TEST_FAILED when the test could not do its work (it has printed a
// diagnostic naming the reason on standard error; nothing is recorded).
using TestRoutine = int32_t (*)();

struct TestEntry {
  int number;                 // 1..24
  const char* usageTitle;     // format of the usage row (printed by -h)
  int usageParams[3];         // its arguments
  const char* listingTitle;   // format of the listing heading
  int listingParams[3];       // its arguments
  TestRoutine routine;        // null while the test does not exist
  ZeroMeaning zeroMeaning;
  int failureMegabytes;       // size named when an allocation fails
  uint32_t ramMiB;            // resource needs, 1 MiB = 1048576 bytes
  uint32_t vmMiB;
  uint32_t diskMiB;
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
