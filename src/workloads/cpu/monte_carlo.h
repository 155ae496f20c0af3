// Monte-Carlo tests driven by RandomJames: Buffon's needle (100 million
// throws) and the radiative form factor between two parallel unit squares
// one unit apart (50 million rays). Every repetition starts a fresh
// generator and fresh counters, so all repetitions count the same.
//
// Stateless functions. Used by one thread at a time.
#ifndef BENCH_WORKLOADS_CPU_MONTE_CARLO_H_
#define BENCH_WORKLOADS_CPU_MONTE_CARLO_H_

#include <cstdint>

#include "run/outcome.h"

namespace bench {

inline constexpr uint32_t NEEDLE_THROWS = 100000000;
inline constexpr uint32_t FORM_FACTOR_RAYS = 50000000;

// Whether a needle of length 2 whose centre lies at `y` between the lines
// y = 0 and y = 2, and whose half extent across the lines is `s`, crosses a
// line. Touching the upper line counts; touching the lower one does not.
inline bool needleCrosses(double y, double s) { return y + s >= 2.0 || y - s < 0.0; }

// Where a ray from (x, y, 0) on the emitting square in direction
// (dx, dy, h) lands on the receiving square [0, 1) x [0, 1) in z = 1.
enum class RayHit {
  MISS,       // outside the square, or too flat (h <= 0.01)
  FULL,       // on the unit square
  FULL_HALF,  // on it, and both ends lie on the quarter [0, 0.5) x [0, 0.5)
};

inline RayHit castRay(double x, double y, double dx, double dy, double h) {
  if (!(h > 0.01)) return RayHit::MISS;
  const double inverse = 1.0 / h;
  const double hitX = inverse * dx + x;
  const double hitY = inverse * dy + y;
  if (!(hitX >= 0.0 && hitY >= 0.0 && hitX < 1.0 && hitY < 1.0)) return RayHit::MISS;
  const bool inHalf = x < 0.5 && y < 0.5;
  return inHalf && hitX < 0.5 && hitY < 0.5 ? RayHit::FULL_HALF : RayHit::FULL;
}

// Test 5: repeats 100 million throws until 20000 ms have elapsed, printing
// progress every 2^21 throws; prints the result line with the crossing ratio
// unless in super-brief mode. Returns milliseconds per repetition.
Outcome needleTest();

// Test 7: repeats 50 million rays until 20000 ms have elapsed, printing
// progress every 2^20 rays; prints the result line with both form factors
// unless in super-brief mode. Returns milliseconds per repetition.
Outcome formFactorTest();

}  // namespace bench

#endif  // BENCH_WORKLOADS_CPU_MONTE_CARLO_H_
