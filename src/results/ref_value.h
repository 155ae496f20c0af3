// The ref figure: a run's length in thousands of millions of clock cycles
// (seconds x GHz), which compares processors of different clocks.
//
// Thread-safe.
#ifndef BENCH_RESULTS_REF_VALUE_H_
#define BENCH_RESULTS_REF_VALUE_H_

#include <cstdint>

namespace bench {

// time [ms] x clock [MHz] x 1e-6, in double arithmetic and in this order.
// Every line that shows a ref calls this, so the run's lines and every form
// of the listing print the same figure for the same record (another order
// rounds differently: 1005 ms at 3000 MHz would show 3.02 beside 3.01).
double refValue(int32_t timeMs, int32_t clockMhz);

}  // namespace bench

#endif  // BENCH_RESULTS_REF_VALUE_H_
