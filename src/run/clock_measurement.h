// Measuring the clock the processor runs at: a chain of dependent
// single-cycle additions is timed after a warm-up that lets the core reach
// its running clock, and the median of several samples is taken. Also the
// rules that decide when a given clock, or the clock during a run, is off.
//
// Stateless; the chain's timer is passed in, so that tests can replace it.
#ifndef BENCH_RUN_CLOCK_MEASUREMENT_H_
#define BENCH_RUN_CLOCK_MEASUREMENT_H_

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace bench {

// Times a chain of `blocks` blocks of additions and returns its duration in
// nanoseconds, or 0 when no chain can be run.
using ChainTimer = std::function<int64_t(int64_t blocks)>;

// How long each phase of a measurement lasts. Samples are short, so that on
// a busy machine most of them run without being preempted and the median
// is one of those; the budget keeps a whole measurement below 300 ms even
// when the machine is so busy that samples take much longer than planned.
struct ClockMeasurementPlan {
  int64_t additionsPerBlock = 100;
  int64_t firstBlocks = 1000;       // the first, short chain of the warm-up
  int64_t warmUpNanos = 90000000;   // chains run before any sample counts
  int64_t sampleNanos = 250000;     // the length aimed at for one sample
  int samples = 401;                // samples taken when time allows
  int64_t budgetNanos = 280000000;  // no sample starts after this much time
  // The length of a sample is set from the fastest of the warm-up's last
  // readings, at least this many when time allows: one reading that was
  // preempted would otherwise shrink every sample.
  int lengthReadings = 8;
  // The smallest step the timer shows. No sample is planned shorter than
  // MIN_SAMPLE_RESOLUTIONS of them, so the timer's rounding stays below
  // 0.1% of a sample.
  int64_t timerResolutionNanos = 1;
};

inline constexpr int64_t MIN_SAMPLE_RESOLUTIONS = 1000;

// The median of `values`: the middle one, or the mean of the two middle ones.
// Returns 0 for no values.
double medianOf(std::vector<double> values);

// Rounds a clock to whole MHz (halves away from zero); 0 for values that are
// not positive or not finite, INT32_MAX for values beyond it.
int32_t roundToMhz(double mhz);

// Measures the clock in MHz with `timer` according to `plan`: warms up
// (doubling the chain until one call lasts an eighth of a sample, then
// repeating it until the warm-up time is spent and plan.lengthReadings
// readings of that chain were taken), sets the sample length from the
// fastest of those readings, then takes plan.samples samples of about
// plan.sampleNanos each (fewer, but at least one, when the budget is spent
// first) and returns the median's clock, rounded. Readings of 0 while the
// chain is doubled are chains too short for the timer.
// Returns 0 when the timer runs no chain, or a chain fails once it has run.
int32_t measureChainClock(const ChainTimer& timer, const ClockMeasurementPlan& plan = {});

// Where the clock of a measurement came from.
enum class ClockSource {
  CHAIN,        // timed with the addition chain
  OS_REPORTED,  // the highest clock the operating system reports
  NONE,         // nothing: the clock is 0
};

struct MeasuredClock {
  int32_t mhz = 0;
  ClockSource source = ClockSource::NONE;
};

// Measures the clock of this machine with the platform's chain, or, where
// this architecture has none, takes the highest clock the operating system
// reports (see osReportedClock in processor_name.h).
MeasuredClock measureCpuClock();

// True when `given` differs from `measured` by more than 10% of `measured`.
// Never true for a measured clock that is not positive.
bool givenClockDiffers(int32_t given, int32_t measured);

// Repeated measurements of one machine stay close: on a 3.7 GHz machine
// with both cores busy compiling, 60 runs gave 3727 to 3757 MHz, but one run
// in about seventy came out 3.9% below the rest. A system already recorded
// at a clock within 5% of a new measurement is taken to be the same system;
// a real change of clock (a core run 10% faster) still is another.
inline constexpr int32_t SAME_CLOCK_PERCENT = 5;

// True when `recorded` is within SAME_CLOCK_PERCENT of `measured`.
// Never true for a measured clock that is not positive.
bool withinMeasurementSpread(int32_t recorded, int32_t measured);

// A measured clock that starts a new system is recorded in these steps: its
// last digit is noise (see SAME_CLOCK_PERCENT), while the step's own
// rounding (at most 5 MHz) stays far below the measurement's spread.
inline constexpr int32_t CLOCK_STEP_MHZ = 10;

// `mhz` rounded to the nearest multiple of CLOCK_STEP_MHZ (halves up);
// clocks below one step are kept as they are, so that no clock becomes 0.
int32_t roundToClockStep(int32_t mhz);

// True when the clock fell by more than 10% from `before` to `after`.
// Never true when either is not positive.
bool clockDropped(int32_t before, int32_t after);

}  // namespace bench

#endif  // BENCH_RUN_CLOCK_MEASUREMENT_H_
