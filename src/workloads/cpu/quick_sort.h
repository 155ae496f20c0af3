// Tests 12, 13 and 14: quick-sort of 8M, 32M and 128M doubles in one block of
// committed virtual memory.
#ifndef BENCH_WORKLOADS_CPU_QUICK_SORT_H_
#define BENCH_WORKLOADS_CPU_QUICK_SORT_H_

#include <cstdint>

#include "core/sort_doubles.h"
#include "run/outcome.h"

namespace bench {

// An in-place ascending sort of doubles; sortDoubles in the program, a
// deliberately broken one in tests of the verification path.
using DoubleSort = void (*)(double* array, int32_t count);

// Fills `array` with the first `count` draws of a fresh RandomJames (seeds
// 1802, 9373), sorts it with `sort` and returns true when it is then in
// non-decreasing order.
bool fillAndSort(double* array, int32_t count, DoubleSort sort = sortDoubles);

// The test routine: repeats allocation, fillAndSort and release until at
// least MIN_MEASURE_MS have elapsed, printing "Pass %d\r" before every
// repetition but the first, then the result line unless in super-brief mode.
// Returns the milliseconds per repetition; NO_MEMORY when the array cannot
// be allocated (in any repetition); FAILED, after a diagnostic on standard
// error, when a repetition left the array out of order.
// REQUIRES: count >= 1.
Outcome quickSortTest(int32_t count, DoubleSort sort = sortDoubles);

}  // namespace bench

#endif  // BENCH_WORKLOADS_CPU_QUICK_SORT_H_
