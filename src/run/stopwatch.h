// The stopwatch every test uses, and the conventions of timed tests.
//
// One process-wide start snapshot: only one test runs at a time. Used by the
// main thread only. The clock behind it is the platform's monotonic clock,
// replaceable in tests (platform/clock.h).
#ifndef BENCH_RUN_STOPWATCH_H_
#define BENCH_RUN_STOPWATCH_H_

#include <cstdint>

namespace bench {

// A repeated test repeats its whole work until at least this many
// milliseconds have elapsed since timerStart().
inline constexpr int32_t MIN_MEASURE_MS = 20000;

// Stores the current clock reading (seconds and milliseconds) as the start.
void timerStart();

// Milliseconds since the last timerStart(), as a signed 32-bit value.
// Does not reset the start; repeated calls measure from the same start.
int32_t timerElapsed();

// The time per repetition of a repeated test: (elapsed + n / 2) / n.
// REQUIRES: repetitions >= 1.
int32_t averageTime(int32_t elapsed, int32_t repetitions);

// Prints the progress line "%3.0f%%\r" with `percent` and flushes standard
// output, so that the next line overwrites it.
void printProgress(double percent);

}  // namespace bench

#endif  // BENCH_RUN_STOPWATCH_H_
