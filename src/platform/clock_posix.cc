#include <time.h>

#include <cerrno>

#include "platform/clock_system.h"

namespace bench::platform {

ClockReading readSystemClock() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return {static_cast<int64_t>(now.tv_sec), static_cast<int32_t>(now.tv_nsec / 1000000)};
}

void sleepSystem(uint32_t millis) {
  timespec remaining{static_cast<time_t>(millis / 1000),
                     static_cast<long>(millis % 1000) * 1000000L};
  // A signal handler that returns must not shorten the pause.
  while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
  }
}

}  // namespace bench::platform
