// The clock of a run: `-c auto` measures it (and names the processor) and
// records the run under the clock this system already has in the table when
// the measurement is close to it; a clock given with `-c <clock>` or in the
// CPU file is checked against a measurement; and the clock measured right
// after each test's work is compared with the one before the first, so that
// a machine that throttled is noticed. Notes and warnings go to standard
// error; the run line and the result lines are not touched.
//
// Main thread only.
#ifndef BENCH_DRIVER_CLOCK_CHECK_H_
#define BENCH_DRIVER_CLOCK_CHECK_H_

#include "results/result_table.h"
#include "run/clock_measurement.h"
#include "run/settings.h"

namespace bench {

// Measures the clock of this machine (measureCpuClock outside of tests).
using ClockMeter = MeasuredClock (*)();

// Runs before the run line, and before a listing that highlights this
// system. With settings->cpuClockAuto: sets the description, when `-c` gave
// none, to the processor's name, and cpuClock to the measured clock, or,
// for a clock timed with the chain, to the clock chosen by clockToRecord
// from `table` (one line on standard error when that is not the measured
// figure); says on standard error when the clock is the operating system's
// figure or could not be had. With `clockGiven` (from `-c <clock>` or the
// CPU file): warns when the given clock differs from the measured one by
// more than 10%. Otherwise measures silently.
// Returns the measurement, the start of the throttling check.
MeasuredClock checkClockBeforeRun(RunSettings* settings, const ResultTable& table, bool clockGiven,
                                  ClockMeter meter);

// Keeps the lower of two chain measurements (`lowest` starts empty).
void keepLowerClock(MeasuredClock* lowest, const MeasuredClock& measured);

// Runs after the last test: warns when `lowestAfterTest`, the lowest clock
// measured right after a test's work, is more than 10% below `before`. Only
// chain measurements are compared.
void checkClockAfterRun(const MeasuredClock& before, const MeasuredClock& lowestAfterTest);

}  // namespace bench

#endif  // BENCH_DRIVER_CLOCK_CHECK_H_
