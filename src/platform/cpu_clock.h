// The processor's clock as the hardware and the operating system show it:
// a timed chain of dependent integer additions, and the highest clock the
// operating system reports.
//
// Every function may be called from any thread; none keeps state.
#ifndef BENCH_PLATFORM_CPU_CLOCK_H_
#define BENCH_PLATFORM_CPU_CLOCK_H_

#include <cstdint>

namespace bench::platform {

// The additions in one block of the chain.
inline constexpr int64_t ADDITIONS_PER_BLOCK = 100;

// True when this build has the addition chain for its architecture
// (x86 and AArch64).
bool hasAdditionChain();

// Runs `blocks` x ADDITIONS_PER_BLOCK integer additions, each depending on
// the one before, so that the chain takes one clock cycle per addition, and
// returns its duration in nanoseconds on the monotonic clock.
// Returns 0 when !hasAdditionChain().
// REQUIRES: 1 <= blocks <= 2^40
int64_t timeAdditionChain(int64_t blocks);

// The smallest step in which timeAdditionChain's clock advances, in
// nanoseconds (at least 1), found by reading the clock until it changes.
int64_t chainTimerResolutionNanos();

// The highest clock in MHz that the operating system reports as the maximum
// of any processor (its frequency-scaling limit); 0 when it reports none.
int32_t reportedMaxClockMhz();

}  // namespace bench::platform

#endif  // BENCH_PLATFORM_CPU_CLOCK_H_
