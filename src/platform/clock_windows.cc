#include <windows.h>

#include "platform/clock.h"

namespace bench::platform {

namespace {

ClockFunction clockOverride = nullptr;
SleepFunction sleepOverride = nullptr;

ClockReading readMonotonic() {
  // The counter's frequency is fixed at boot; reading it once is enough.
  static const int64_t frequency = [] {
    LARGE_INTEGER value;
    QueryPerformanceFrequency(&value);
    return static_cast<int64_t>(value.QuadPart);
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  int64_t ticks = now.QuadPart;
  // Split before scaling, so that the product cannot overflow after a long
  // uptime.
  return {ticks / frequency, static_cast<int32_t>((ticks % frequency) * 1000 / frequency)};
}

}  // namespace

ClockReading readClock() { return clockOverride ? clockOverride() : readMonotonic(); }

void sleepMillis(uint32_t millis) {
  if (sleepOverride) {
    sleepOverride(millis);
    return;
  }
  // No signal shortens a Sleep; INFINITE is the only value it treats specially.
  Sleep(millis == INFINITE ? millis - 1 : millis);
}

void setClockForTesting(ClockFunction clock) { clockOverride = clock; }
void setSleepForTesting(SleepFunction sleep) { sleepOverride = sleep; }

}  // namespace bench::platform
