// The measured clock: how well ten measurements in a row agree (max/min), and
// what a long, unsampled run of the same chain gives. Compare the figures
// with bench/measure_cpu_clock.sh, which times the chain in a separate
// program with the operating system's accounting.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>

#include "platform/cpu_clock.h"
#include "run/clock_measurement.h"

namespace bench {
namespace {

// One iteration is ten measurements in a row, as `-c auto` takes them.
void BM_TenMeasurementsInARow(benchmark::State& state) {
  if (!platform::hasAdditionChain()) {
    state.SkipWithError("no addition chain on this architecture");
    return;
  }
  double lowest = 0, highest = 0, last = 0;
  for (auto _ : state) {
    int32_t low = INT32_MAX, high = 0;
    for (int i = 0; i < 10; ++i) {
      int32_t mhz = measureCpuClock().mhz;
      low = std::min(low, mhz);
      high = std::max(high, mhz);
      last = mhz;
    }
    lowest = low;
    highest = high;
  }
  state.counters["min_MHz"] = lowest;
  state.counters["max_MHz"] = highest;
  state.counters["last_MHz"] = last;
  state.counters["max_over_min_pct"] = lowest > 0 ? (highest / lowest - 1) * 100 : 0;
}
BENCHMARK(BM_TenMeasurementsInARow)->Unit(benchmark::kMillisecond)->Iterations(1);

// A long chain (about a second) timed once, without warm-up or median.
void BM_LongChain(benchmark::State& state) {
  const int64_t blocks = state.range(0);
  int64_t nanos = 0;
  for (auto _ : state) nanos = platform::timeAdditionChain(blocks);
  state.counters["chain_MHz"] =
      nanos > 0 ? static_cast<double>(blocks) * platform::ADDITIONS_PER_BLOCK * 1000 / nanos : 0;
}
BENCHMARK(BM_LongChain)->Arg(30000000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace bench
