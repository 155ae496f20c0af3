#include "driver/clock_check.h"

#include <cstdio>
#include <string>

#include "results/recorded_clock.h"
#include "run/processor_name.h"

namespace bench {

MeasuredClock checkClockBeforeRun(RunSettings* settings, const ResultTable& table, bool clockGiven,
                                  ClockMeter meter) {
  MeasuredClock measured = meter();
  if (settings->cpuClockAuto) {
    if (settings->descriptionOffset < 0) {
      std::string name = thisProcessorName();
      std::snprintf(settings->descriptionBuffer, DESCRIPTION_BUFFER_SIZE, "%s", name.c_str());
      settings->descriptionOffset = 0;
    }
    settings->cpuClock = measured.mhz;
    if (measured.source == ClockSource::CHAIN) {
      RecordedClock recorded = clockToRecord(table, settings->cpuDescription(), measured.mhz);
      settings->cpuClock = recorded.mhz;
      if (recorded.fromTable && recorded.mhz != measured.mhz) {
        std::fprintf(stderr,
                     "Clock: measured %d MHz; recorded as %d MHz, the clock of this system's "
                     "results in \"%s\" (within %d%%).\n",
                     measured.mhz, recorded.mhz, RESULT_FILE, SAME_CLOCK_PERCENT);
      } else if (recorded.mhz != measured.mhz) {
        std::fprintf(stderr,
                     "Clock: measured %d MHz; recorded as %d MHz (a measured clock is recorded "
                     "in steps of %d MHz).\n",
                     measured.mhz, recorded.mhz, CLOCK_STEP_MHZ);
      }
    } else if (measured.source == ClockSource::OS_REPORTED) {
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

void keepLowerClock(MeasuredClock* lowest, const MeasuredClock& measured) {
  if (measured.source != ClockSource::CHAIN) return;
  if (lowest->source != ClockSource::CHAIN || measured.mhz < lowest->mhz) *lowest = measured;
}

void checkClockAfterRun(const MeasuredClock& before, const MeasuredClock& lowestAfterTest) {
  if (before.source != ClockSource::CHAIN || lowestAfterTest.source != ClockSource::CHAIN) return;
  if (clockDropped(before.mhz, lowestAfterTest.mhz)) {
    std::fprintf(stderr,
                 "Warning: the CPU clock dropped from %d MHz to %d MHz during the run: the machine "
                 "throttled, or other programs kept the CPU busy; later tests ran slower than "
                 "the clock suggests.\n",
                 before.mhz, lowestAfterTest.mhz);
    std::fflush(stderr);
  }
}

}  // namespace bench
