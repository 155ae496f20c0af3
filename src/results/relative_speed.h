// How fast a system is relative to the fastest system of a test, and over
// several tests at once. The figures are computed in integer arithmetic and
// are exact, so that every build (SSE2, x87, ARM64, Windows) prints the same
// figure and orders systems alike, however close two of them are.
//
// Thread-safe.
#ifndef BENCH_RESULTS_RELATIVE_SPEED_H_
#define BENCH_RESULTS_RELATIVE_SPEED_H_

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

// A system's speed on one test relative to the fastest system of that test:
// fastest / time.
struct SpeedRatio {
  int32_t fastest;
  int32_t time;
};

// fastest / time in percent, rounded down, so that only the fastest system
// shows 100.
// REQUIRES: 0 < fastest <= time
int relativePercent(int32_t fastest, int32_t time);

// The geometric mean of the ratios, in tenths of a percent, rounded down:
// the greatest k with (k / 1000)^n <= the product of the n ratios. It is
// 1000 only for a system that is the fastest of every test.
// REQUIRES: ratios is not empty; 0 < fastest <= time for each.
int32_t geometricMeanPermille(const std::vector<SpeedRatio>& ratios);

// Appends tenths of a percent as a percent with one decimal: 924 as "92.4".
// REQUIRES: permille >= 0
void appendPermilleAsPercent(std::string* out, int32_t permille);

}  // namespace bench

#endif  // BENCH_RESULTS_RELATIVE_SPEED_H_
