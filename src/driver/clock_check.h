// The clock of a run: `-c auto` measures it (and names the processor), a
// clock given with `-c <clock>` or in the CPU file is checked against a
// measurement, and the clock after the last test is compared with the one
// before the first, so that a machine that throttled is noticed. Warnings go
// to standard error; the run line and the result lines are not touched.
//
// Main thread only.
#ifndef BENCH_DRIVER_CLOCK_CHECK_H_
#define BENCH_DRIVER_CLOCK_CHECK_H_

#include "run/clock_measurement.h"
#include "run/settings.h"

namespace bench {

// Measures the clock of this machine (measureCpuClock outside of tests).
using ClockMeter = MeasuredClock (*)();

// Runs before the run line. With settings->cpuClockAuto: sets cpuClock to
// the measured clock and, when `-c` gave no description, the description to
// the processor's name; says on standard error when the clock is the
// operating system's figure or could not be had. With `clockGiven` (from
// `-c <clock>` or the CPU file): warns when the given clock differs from the
// measured one by more than 10%. Otherwise measures silently.
// Returns the measurement, the start of the throttling check.
MeasuredClock checkClockBeforeRun(RunSettings* settings, bool clockGiven, ClockMeter meter);

// Runs after the last test: measures again and warns when the clock dropped
// by more than 10% since `before`. Only chain measurements are compared.
void checkClockAfterRun(const MeasuredClock& before, ClockMeter meter);

}  // namespace bench

#endif  // BENCH_DRIVER_CLOCK_CHECK_H_
