// The addition chain and its timing, the same on every operating system;
// the clock the system reports is in cpu_clock_posix.cc and
// cpu_clock_windows.cc.
#include "platform/cpu_clock.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace bench::platform {

namespace {

#define BENCH_ADD4(add) add add add add
#define BENCH_ADD20(add) \
  BENCH_ADD4(add) BENCH_ADD4(add) BENCH_ADD4(add) BENCH_ADD4(add) BENCH_ADD4(add)
#define BENCH_ADD100(add) \
  BENCH_ADD20(add) BENCH_ADD20(add) BENCH_ADD20(add) BENCH_ADD20(add) BENCH_ADD20(add)

// Runs the chain and stores its sum, so that nothing can be left out;
// returns false when this architecture has no chain. The additions are
// written in assembly, since a compiler would fold them into one
// multiplication; the loop counter is independent of the chain and runs
// beside it.
bool runChain(int64_t blocks, uintptr_t* sum) {
  uintptr_t acc = 0;
  uintptr_t one = 1;
#if defined(__x86_64__) || defined(__i386__)
  for (int64_t i = 0; i < blocks; ++i) {
    __asm__ volatile(BENCH_ADD100("add %1, %0\n\t") : "+r"(acc) : "r"(one));
  }
#elif defined(__aarch64__)
  for (int64_t i = 0; i < blocks; ++i) {
    __asm__ volatile(BENCH_ADD100("add %0, %0, %1\n\t") : "+r"(acc) : "r"(one));
  }
#else
  (void)blocks;
  (void)one;
  return false;
#endif
  *sum = acc;
  return true;
}

#undef BENCH_ADD100
#undef BENCH_ADD20
#undef BENCH_ADD4

// The monotonic clock in nanoseconds, as the library offers it on every
// system.
int64_t nowNanos() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

bool hasAdditionChain() {
  uintptr_t sum = 0;
  return runChain(1, &sum);
}

int64_t chainTimerResolutionNanos() {
  // The least of a few steps: a step that spans a preemption is longer.
  int64_t smallest = INT64_MAX;
  for (int i = 0; i < 16; ++i) {
    int64_t start = nowNanos();
    int64_t next = nowNanos();
    while (next == start) next = nowNanos();
    smallest = std::min(smallest, next - start);
  }
  return std::max<int64_t>(smallest, 1);
}

int64_t timeAdditionChain(int64_t blocks) {
  uintptr_t sum = 0;
  int64_t start = nowNanos();
  bool ran = runChain(blocks, &sum);
  int64_t duration = nowNanos() - start;
  if (!ran) return 0;
  // The sum is used, so the chain is not dead code.
  if (sum != static_cast<uintptr_t>(blocks * ADDITIONS_PER_BLOCK)) return 0;
  return duration;
}

}  // namespace bench::platform
