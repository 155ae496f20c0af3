#include <windows.h>

#include "platform/clock_system.h"

namespace bench::platform {

ClockReading readSystemClock() {
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

void sleepSystem(uint32_t millis) {
  // No signal shortens a Sleep; INFINITE is the only value it treats specially.
  Sleep(millis == INFINITE ? millis - 1 : millis);
}

}  // namespace bench::platform
