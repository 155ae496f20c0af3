#include "workloads/cpu/quick_sort.h"

#include <cstddef>
#include <cstdio>

#include "core/random_james.h"
#include "platform/memory.h"
#include "run/repetition.h"
#include "run/settings.h"
#include "run/result_text.h"

namespace bench {

bool fillAndSort(double* array, int32_t count, DoubleSort sort) {
  RandomJames random;
  for (int32_t k = 0; k < count; ++k) array[k] = random.next();
  sort(array, count);
  for (int32_t k = 1; k < count; ++k) {
    if (array[k - 1] > array[k]) return false;
  }
  return true;
}

Outcome quickSortTest(int32_t count, DoubleSort sort) {
  const size_t bytes = static_cast<size_t>(count) * sizeof(double);
  int32_t done = 0;
  bool ok = true;
  Repetitions repetitions = repeatForMeasuringTime([&]() -> bool {
    if (done != 0 && !runSettings.superBriefMode) {
      std::printf("Pass %d\r", done);
      std::fflush(stdout);
    }
    auto* array = static_cast<double*>(platform::commitMemory(bytes));
    if (array == nullptr) return false;
    if (!fillAndSort(array, count, sort)) ok = false;
    platform::releaseMemory(array, bytes);
    ++done;
    return true;
  });
  if (!repetitions.completed) return Outcome::noMemory();
  const int32_t result = repetitions.average;
  if (!runSettings.superBriefMode) {
    printResult("Quick-sort in virtual memory: %s, double[%dM], elapsed time: %.2f sec\n",
                ok ? "OK" : "failed", count >> 20, result * 0.001);
  }
  if (!ok) {
    // A time for wrong work would be a plainly wrong result: keep it out of
    // the table.
    std::fflush(stdout);
    std::fprintf(stderr, "Quick-sort of double[%d] left the array out of order; not recorded\n",
                 count);
    return Outcome::failed();
  }
  return Outcome::checkedTime(result, repetitions.spread);
}

}  // namespace bench
