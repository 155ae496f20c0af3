#include "workloads/cpu/sieve.h"

#include <cstdio>

#include "run/repetition.h"
#include "run/settings.h"
#include "run/stopwatch.h"
#include "run/result_text.h"

namespace bench {

int32_t sievePrimes(CBitMask& mask, int32_t limit, int32_t count) {
  // Plain byte operations on the storage: no call per bit.
  uint8_t* bits = mask.data();
  const int32_t low = mask.low();
  const int32_t high = mask.high();
  int32_t c = 1;
  int32_t p = 0;
  for (int32_t k = 0; k < count; ++k) {
    p = c + 1;
    while (p < high && (bits[(p - low) >> 3] & (1u << ((p - low) & 7))) != 0) ++p;
    if (p > limit) return 0;
    for (int32_t m = p; m <= limit; m += p) {
      bits[(m - low) >> 3] |= static_cast<uint8_t>(1u << ((m - low) & 7));
    }
    if ((k & 0x7fff) == 0) printProgress(k * 100.0 / count);
    c = p;
  }
  return p;
}

Outcome sieveTest() {
  int32_t prime = 0;
  Repetitions repetitions = repeatForMeasuringTime([&prime]() -> bool {
    CBitMask mask;
    if (!mask.include(2) || !mask.include(SIEVE_LIMIT)) return false;
    prime = sievePrimes(mask, SIEVE_LIMIT, SIEVE_PRIME_COUNT);
    return true;
  });
  if (!repetitions.completed) return Outcome::noMemory();
  const int32_t result = repetitions.average;
  if (!runSettings.superBriefMode) {
    printResult("The %d-th prime number is: %d, elapsed time: %.2f sec\n", SIEVE_PRIME_COUNT, prime,
                result * 0.001);
  }
  return Outcome::time(result, repetitions.spread);
}

}  // namespace bench
