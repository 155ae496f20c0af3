// The system's own clock and sleep, one implementation per platform, behind
// the test seams of platform/clock.h. Internal to the platform layer.
#ifndef BENCH_PLATFORM_CLOCK_SYSTEM_H_
#define BENCH_PLATFORM_CLOCK_SYSTEM_H_

#include <cstdint>

#include "platform/clock.h"

namespace bench::platform {

// Reads the system's monotonic clock.
ClockReading readSystemClock();

// Sleeps `millis` milliseconds; signals do not shorten the sleep.
void sleepSystem(uint32_t millis);

}  // namespace bench::platform

#endif  // BENCH_PLATFORM_CLOCK_SYSTEM_H_
