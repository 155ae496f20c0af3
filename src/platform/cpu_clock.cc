#include "platform/cpu_clock.h"

#include <time.h>

#include <cstdio>

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

int64_t nowNanos() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Reads the first number of a small text file; 0 when there is none.
long long readNumberFile(const char* path) {
  std::FILE* file = std::fopen(path, "r");
  if (file == nullptr) return 0;
  long long value = 0;
  if (std::fscanf(file, "%lld", &value) != 1) value = 0;
  std::fclose(file);
  return value;
}

}  // namespace

bool hasAdditionChain() {
  uintptr_t sum = 0;
  return runChain(1, &sum);
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

int32_t reportedMaxClockMhz() {
  // The frequency-scaling limits of the processors, in kHz. Processors may be
  // offline or numbered with gaps, so a few missing ones do not end the search.
  long long maxKhz = 0;
  int missing = 0;
  for (int cpu = 0; cpu < 4096 && missing < 64; ++cpu) {
    char path[96];
    std::snprintf(path, sizeof path, "/sys/devices/system/cpu/cpu%d/cpufreq/cpuinfo_max_freq", cpu);
    long long khz = readNumberFile(path);
    if (khz <= 0) {
      ++missing;
      continue;
    }
    if (khz > maxKhz) maxKhz = khz;
  }
  long long mhz = (maxKhz + 500) / 1000;
  return mhz > INT32_MAX ? INT32_MAX : static_cast<int32_t>(mhz);
}

}  // namespace bench::platform
