// The millisecond clock and the plain sleep of the run harness.
//
// The clock is monotonic: a step of the wall clock (time synchronisation, the
// user) never corrupts a measurement. Both services can be replaced inside
// tests so that a 20-second measurement or pause takes no real time.
// The replacement functions are process-wide; install them from one thread.
#ifndef BENCH_PLATFORM_CLOCK_H_
#define BENCH_PLATFORM_CLOCK_H_

#include <cstdint>

namespace bench::platform {

// A reading of the clock as whole seconds plus milliseconds (0..999).
struct ClockReading {
  int64_t seconds;
  int32_t millis;
};

// Reads the monotonic clock (or the installed replacement).
ClockReading readClock();

// The milliseconds from `earlier` to `later` (negative when `later` is earlier).
inline int64_t millisBetween(const ClockReading& earlier, const ClockReading& later) {
  return (later.seconds - earlier.seconds) * 1000 + (later.millis - earlier.millis);
}

// Sleeps `millis` milliseconds without being woken early by signals
// (or calls the installed replacement).
void sleepMillis(uint32_t millis);

using ClockFunction = ClockReading (*)();
using SleepFunction = void (*)(uint32_t millis);

// Test seams: install a replacement; null restores the real service.
void setClockForTesting(ClockFunction clock);
void setSleepForTesting(SleepFunction sleep);

}  // namespace bench::platform

#endif  // BENCH_PLATFORM_CLOCK_H_
