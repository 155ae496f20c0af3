#include "platform/clock.h"

#include "platform/clock_system.h"

namespace bench::platform {

namespace {
ClockFunction clockOverride = nullptr;
SleepFunction sleepOverride = nullptr;
}  // namespace

ClockReading readClock() { return clockOverride ? clockOverride() : readSystemClock(); }

void sleepMillis(uint32_t millis) {
  if (sleepOverride) {
    sleepOverride(millis);
    return;
  }
  sleepSystem(millis);
}

void setClockForTesting(ClockFunction clock) { clockOverride = clock; }
void setSleepForTesting(SleepFunction sleep) { sleepOverride = sleep; }

}  // namespace bench::platform
