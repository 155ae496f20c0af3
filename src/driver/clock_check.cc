#include "driver/clock_check.h"

#include <cstdio>
#include <string>

#include "run/processor_name.h"

namespace bench {

MeasuredClock checkClockBeforeRun(RunSettings* settings, bool clockGiven, ClockMeter meter) {
  MeasuredClock measured = meter();
  if (settings->cpuClockAuto) {
    settings->cpuClock = measured.mhz;
    if (settings->descriptionOffset < 0) {
      std::string name = thisProcessorName();
      std::snprintf(settings->descriptionBuffer, DESCRIPTION_BUFFER_SIZE, "%s", name.c_str());
      settings->descriptionOffset = 0;
    }
    if (measured.source == ClockSource::OS_REPORTED) {
      std::fprintf(stderr,
                   "The clock cannot be measured on this processor; using the highest clock "
                   "the operating system reports, %d MHz.\n",
                   measured.mhz);
    } else if (measured.source == ClockSource::NONE) {
      std::fprintf(stderr,
                   "The clock cannot be measured on this processor and the operating system "
                   "reports none; using 0 MHz.\n");
    }
  } else if (clockGiven && measured.source == ClockSource::CHAIN &&
             givenClockDiffers(settings->cpuClock, measured.mhz)) {
    std::fprintf(stderr,
                 "Warning: the given clock of %d MHz differs by more than 10%% from the %d MHz "
                 "the CPU runs at; \"ref\" compares systems by the clock given (\"-c auto\" "
                 "measures it).\n",
                 settings->cpuClock, measured.mhz);
  }
  std::fflush(stderr);
  return measured;
}

void checkClockAfterRun(const MeasuredClock& before, ClockMeter meter) {
  if (before.source != ClockSource::CHAIN) return;
  MeasuredClock after = meter();
  if (after.source == ClockSource::CHAIN && clockDropped(before.mhz, after.mhz)) {
    std::fprintf(stderr,
                 "Warning: the CPU clock dropped from %d MHz to %d MHz during the run: the machine "
                 "throttled, or other programs kept the CPU busy; later tests ran slower than "
                 "the clock suggests.\n",
                 before.mhz, after.mhz);
    std::fflush(stderr);
  }
}

}  // namespace bench
