#include "workloads/cpu/memory_copy.h"

#include <cstdio>
#include <cstring>

#include "platform/memory.h"
#include "run/repetition.h"
#include "run/settings.h"
#include "run/stopwatch.h"
#include "run/result_text.h"

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

Outcome memoryCopyTest() {
  Repetitions repetitions = repeatForMeasuringTime([] { return memoryCopyRepetition(); });
  if (!repetitions.completed) return Outcome::noMemory();
  const int32_t result = repetitions.average;
  if (!runSettings.superBriefMode) {
    printResult("Fast mem-copy: array size = %d MB, iterations = %d, elapsed time: %.2f sec\n",
                static_cast<int>(MEMORY_COPY_BYTES >> 20), MEMORY_COPY_ROUND_TRIPS, result * 0.001);
  }
  return Outcome::time(result, repetitions.spread);
}

}  // namespace bench
