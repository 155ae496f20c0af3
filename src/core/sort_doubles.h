// The program's in-place ascending sort of doubles, shared by the quick-sort
// tests, the parallel sort and the merge-sort on disk.
//
// Thread-compatible: works only on the array it is given.
#ifndef BENCH_CORE_SORT_DOUBLES_H_
#define BENCH_CORE_SORT_DOUBLES_H_

#include <cstdint>

namespace bench {

// Sorts `count` doubles in place, ascending: quick-sort partitioning around
// the mean of the first and last element, recursing into the smaller part
// and looping on the larger, and selection sort below 12 elements.
// REQUIRES: finite values (no NaN, no infinity).
void sortDoubles(double* array, int32_t count);

}  // namespace bench

#endif  // BENCH_CORE_SORT_DOUBLES_H_
