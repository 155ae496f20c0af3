// Committed virtual memory: the large arrays of the tests come straight from
// the operating system, zero-filled and read-write, and go back to it whole.
//
// Thread-safe (the kernel serialises the calls).
#ifndef BENCH_PLATFORM_MEMORY_H_
#define BENCH_PLATFORM_MEMORY_H_

#include <cstddef>

namespace bench::platform {

// Returns a fresh region of `bytes` bytes, zero-filled and read-write, or
// null when the system refuses it. Its pages are committed as far as the
// system commits memory: Windows charges them to its commit limit at once;
// Linux refuses only what its overcommit policy refuses up front, and may
// run short at first touch instead. A request of 0 bytes returns null.
void* commitMemory(size_t bytes);

// Returns a region obtained from commitMemory to the system.
// REQUIRES: `bytes` is the size it was committed with. Null does nothing.
void releaseMemory(void* region, size_t bytes);

// Test seam: while set, every commitMemory request of at least `bytes` bytes
// fails as if the system had refused it. 0 turns the failure off.
void setCommitFailureForTesting(size_t bytes);

}  // namespace bench::platform

#endif  // BENCH_PLATFORM_MEMORY_H_
