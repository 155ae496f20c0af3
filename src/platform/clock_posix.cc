#include <time.h>

#include <cerrno>

#include "platform/clock.h"

namespace bench::platform {

namespace {

ClockFunction clockOverride = nullptr;
SleepFunction sleepOverride = nullptr;

ClockReading readMonotonic() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return {static_cast<int64_t>(now.tv_sec), static_cast<int32_t>(now.tv_nsec / 1000000)};
}

}  // namespace

ClockReading readClock() { return clockOverride ? clockOverride() : readMonotonic(); }

void sleepMillis(uint32_t millis) {
  if (sleepOverride) {
    sleepOverride(millis);
    return;
  }
  timespec remaining{static_cast<time_t>(millis / 1000),
                     static_cast<long>(millis % 1000) * 1000000L};
  // A signal handler that returns must not shorten the pause.
  while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
  }
}

void setClockForTesting(ClockFunction clock) { clockOverride = clock; }
void setSleepForTesting(SleepFunction sleep) { sleepOverride = sleep; }

}  // namespace bench::platform
