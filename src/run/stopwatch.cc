#include "run/stopwatch.h"

#include <cstdio>

#include "platform/clock.h"

namespace bench {

namespace {
platform::ClockReading startSnapshot{0, 0};
}  // namespace

void timerStart() { startSnapshot = platform::readClock(); }

int32_t timerElapsed() {
  return static_cast<int32_t>(platform::millisBetween(startSnapshot, platform::readClock()));
}

int32_t averageTime(int32_t elapsed, int32_t repetitions) {
  return static_cast<int32_t>((static_cast<int64_t>(elapsed) + repetitions / 2) / repetitions);
}

void printProgress(double percent) {
  std::printf("%3.0f%%\r", percent);
  std::fflush(stdout);
}

}  // namespace bench
