// The timed-repetition rule of the repeated tests, owned in one place: start
// the stopwatch, repeat the whole work until at least MIN_MEASURE_MS have
// elapsed after a repetition, and take the rounded average per repetition.
//
// Uses the process-wide stopwatch, so one measurement runs at a time. Used by
// the main thread only.
#ifndef BENCH_RUN_REPETITION_H_
#define BENCH_RUN_REPETITION_H_

#include <cstdint>
#include <type_traits>

#include "run/outcome.h"

namespace bench {

// One repetition of a test's work: returns true when it was done, false when
// the test gives up (it cannot have its memory, ...).
using RepetitionBody = bool (*)(void* context);

struct Repetitions {
  bool completed = false;   // false when a repetition gave up
  int32_t count = 0;        // repetitions done, the one that gave up excluded
  int32_t average = 0;      // (elapsed + count / 2) / count when completed
  RepetitionSpread spread;  // of the repetitions' own times, when completed
};

// Calls timerStart(), then `body(context)` until, read after a repetition,
// timerElapsed() is at least MIN_MEASURE_MS (at least once). Stops at once
// when a repetition returns false. Adds one indirect call and one clock
// reading per repetition, nothing inside the work; a repetition's own time
// is the difference of the readings around it.
Repetitions repeatForMeasuringTime(RepetitionBody body, void* context);

// The same with any callable `bool()`, called by reference.
template <class Body>
Repetitions repeatForMeasuringTime(Body&& body) {
  using Callable = std::remove_reference_t<Body>;
  return repeatForMeasuringTime(
      [](void* context) -> bool { return (*static_cast<Callable*>(context))(); },
      const_cast<void*>(static_cast<const void*>(&body)));
}

// The spread of the repetition times `times[0 .. count)`.
// REQUIRES: count >= 1.
RepetitionSpread spreadOf(const int32_t* times, int32_t count);

// The share, in percent, by which `recorded` (the average a repeated test
// reports) exceeds its fastest repetition: the time lost to whatever else
// the machine did. 0 for a test that ran its work once.
double repetitionLossPercent(const RepetitionSpread& spread, int32_t recorded);

// True when the repetitions disagree so much that another program was
// probably running: at least two repetitions, and the recorded average more
// than REPETITION_LOSS_LIMIT_PERCENT and REPETITION_LOSS_LIMIT_MS above the
// fastest repetition (the second keeps the millisecond steps of very short
// repetitions from counting as disagreement).
//
// The average is judged rather than the median: a program that runs for less
// than half of the measuring time leaves the median clean, yet its cost is in
// the recorded result. Measured on a two-core machine: undisturbed
// processor-bound tests stayed within 5% of their fastest repetition, while
// two busy processes over 10 of the 20 seconds put the result 44% to 98%
// above it.
inline constexpr double REPETITION_LOSS_LIMIT_PERCENT = 10.0;
inline constexpr int32_t REPETITION_LOSS_LIMIT_MS = 2;
bool repetitionsDisagree(const RepetitionSpread& spread, int32_t recorded);

}  // namespace bench

#endif  // BENCH_RUN_REPETITION_H_
