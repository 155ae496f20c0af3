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

namespace bench {

// One repetition of a test's work: returns true when it was done, false when
// the test gives up (it cannot have its memory, ...).
using RepetitionBody = bool (*)(void* context);

struct Repetitions {
  bool completed = false;  // false when a repetition gave up
  int32_t count = 0;       // repetitions done, the one that gave up excluded
  int32_t average = 0;     // (elapsed + count / 2) / count when completed
};

// Calls timerStart(), then `body(context)` until, read after a repetition,
// timerElapsed() is at least MIN_MEASURE_MS (at least once). Stops at once
// when a repetition returns false. Adds one indirect call and one clock
// reading per repetition, nothing inside the work.
Repetitions repeatForMeasuringTime(RepetitionBody body, void* context);

// The same with any callable `bool()`, called by reference.
template <class Body>
Repetitions repeatForMeasuringTime(Body&& body) {
  using Callable = std::remove_reference_t<Body>;
  return repeatForMeasuringTime(
      [](void* context) -> bool { return (*static_cast<Callable*>(context))(); },
      const_cast<void*>(static_cast<const void*>(&body)));
}

}  // namespace bench

#endif  // BENCH_RUN_REPETITION_H_
