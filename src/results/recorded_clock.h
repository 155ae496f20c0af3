// The clock under which a run with a measured clock is recorded. A measured
// clock varies a little from run to run; the table identifies a system by
// its description and clock, so each run would otherwise start a new
// system. A measurement close to a clock this system already has in the
// table is recorded under that clock.
//
// Stateless.
#ifndef BENCH_RESULTS_RECORDED_CLOCK_H_
#define BENCH_RESULTS_RECORDED_CLOCK_H_

#include <cstdint>
#include <string_view>

#include "results/result_table.h"

namespace bench {

struct RecordedClock {
  int32_t mhz = 0;
  // True when `mhz` is the clock of records already in the table.
  bool fromTable = false;
};

// Among the records of `table` whose description is `description`, the
// clock nearest to `measuredMhz` that is within the measurement's spread
// (withinMeasurementSpread; the lower clock on a tie). Without one,
// `measuredMhz` rounded to the clock step (roundToClockStep).
RecordedClock clockToRecord(const ResultTable& table, std::string_view description,
                            int32_t measuredMhz);

}  // namespace bench

#endif  // BENCH_RESULTS_RECORDED_CLOCK_H_
