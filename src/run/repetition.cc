#include "run/repetition.h"

#include "run/stopwatch.h"

namespace bench {

Repetitions repeatForMeasuringTime(RepetitionBody body, void* context) {
  Repetitions result;
  timerStart();
  int32_t elapsed = 0;
  do {
    if (!body(context)) return result;
    elapsed = timerElapsed();
    ++result.count;
  } while (elapsed < MIN_MEASURE_MS);
  result.completed = true;
  result.average = averageTime(elapsed, result.count);
  return result;
}

}  // namespace bench
