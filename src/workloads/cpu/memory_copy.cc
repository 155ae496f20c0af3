#include "workloads/cpu/memory_copy.h"

#include <cstdio>
#include <cstring>

#include "run/settings.h"
#include "run/stopwatch.h"
#include "platform/memory.h"

namespace bench {

bool memoryCopyRepetition() {
  void* first = platform::commitMemory(MEMORY_COPY_BYTES);
  if (first == nullptr) return false;
  void* second = platform::commitMemory(MEMORY_COPY_BYTES);
  if (second == nullptr) {
    platform::releaseMemory(first, MEMORY_COPY_BYTES);
    return false;
  }
  for (int32_t i = 1; i <= MEMORY_COPY_ROUND_TRIPS; ++i) {
    std::memcpy(second, first, MEMORY_COPY_BYTES);
    std::memcpy(first, second, MEMORY_COPY_BYTES);
    if (i % 2 != 0) printProgress(i * 100.0 / MEMORY_COPY_ROUND_TRIPS);
  }
  platform::releaseMemory(first, MEMORY_COPY_BYTES);
  platform::releaseMemory(second, MEMORY_COPY_BYTES);
  return true;
}

int32_t memoryCopyTest() {
  timerStart();
  int32_t repetitions = 0;
  int32_t elapsed;
  do {
    if (!memoryCopyRepetition()) return 0;
    elapsed = timerElapsed();
    ++repetitions;
  } while (elapsed < MIN_MEASURE_MS);
  const int32_t result = averageTime(elapsed, repetitions);
  if (!runSettings.superBriefMode) {
    std::printf("Fast mem-copy: array size = %d MB, iterations = %d, elapsed time: %.2f sec\n",
                static_cast<int>(MEMORY_COPY_BYTES >> 20), MEMORY_COPY_ROUND_TRIPS, result * 0.001);
  }
  return result;
}

}  // namespace bench
