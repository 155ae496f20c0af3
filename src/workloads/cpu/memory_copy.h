// Fast memory copy: block-copy bandwidth between two 16 MiB arrays of
// committed memory, 100 round trips per repetition with the standard block
// copy.
//
// Stateless functions. Used by one thread at a time.
#ifndef BENCH_WORKLOADS_CPU_MEMORY_COPY_H_
#define BENCH_WORKLOADS_CPU_MEMORY_COPY_H_

#include <cstddef>
#include <cstdint>

#include "run/outcome.h"

namespace bench {

inline constexpr size_t MEMORY_COPY_BYTES = 0x1000000;
inline constexpr int32_t MEMORY_COPY_ROUND_TRIPS = 100;

// One repetition: commits both arrays, copies the first into the second and
// back 100 times, printing a progress line after every odd round trip, and
// releases both. Returns false, with nothing left allocated, when an array
// cannot be had.
bool memoryCopyRepetition();

// Test 6: repeats memoryCopyRepetition() until 20000 ms have elapsed and
// prints the result line unless in super-brief mode. Returns milliseconds
// per repetition, or NO_MEMORY when an array cannot be had in any
// repetition.
Outcome memoryCopyTest();

}  // namespace bench

#endif  // BENCH_WORKLOADS_CPU_MEMORY_COPY_H_
