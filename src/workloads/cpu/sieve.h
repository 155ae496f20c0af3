// Test 1: the sieve of Eratosthenes. Finds the 5,555,555-th prime by sieving
// a CBitMask of 100,000,000 bits, one bit per number, and reports the time
// per repetition.
#ifndef BENCH_WORKLOADS_CPU_SIEVE_H_
#define BENCH_WORKLOADS_CPU_SIEVE_H_

#include <cstdint>

#include "run/outcome.h"
#include "workloads/cpu/bit_mask.h"

namespace bench {

inline constexpr int32_t SIEVE_PRIME_COUNT = 5555555;
inline constexpr int32_t SIEVE_LIMIT = 100000000;

// One sieve pass over `mask`, which must hold the indices 2..limit with all
// bits 0. Takes the `count` smallest primes in turn, marking every multiple
// of each (the prime itself included) up to `limit`, and prints the progress
// line after the 1st, 32769th, 65537th ... prime. Returns the count-th prime,
// or 0 when there are fewer than `count` primes up to `limit`.
// REQUIRES: mask.low() <= 2, limit < mask.high(), count >= 1.
int32_t sievePrimes(CBitMask& mask, int32_t limit, int32_t count);

// The test routine: repeats the whole sieve (mask set-up and release
// included) until at least MIN_MEASURE_MS have elapsed, prints the result
// line unless in super-brief mode and returns the milliseconds per
// repetition; NO_MEMORY when the bit mask's storage cannot be had.
Outcome sieveTest();

}  // namespace bench

#endif  // BENCH_WORKLOADS_CPU_SIEVE_H_
