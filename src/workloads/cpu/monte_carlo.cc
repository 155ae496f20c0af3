#include "workloads/cpu/monte_carlo.h"

#include <cmath>
#include <cstdio>
#include <numbers>

#include "core/random_james.h"
#include "run/repetition.h"
#include "run/settings.h"
#include "run/stopwatch.h"
#include "run/result_text.h"

namespace bench {

namespace {

constexpr uint32_t NEEDLE_PROGRESS_MASK = (1u << 21) - 1;
constexpr uint32_t FORM_FACTOR_PROGRESS_MASK = (1u << 20) - 1;

// One repetition of the needle test; returns the number of crossings.
uint32_t throwNeedles() {
  RandomJames random;
  uint32_t crossings = 0;
  for (uint32_t i = 1; i <= NEEDLE_THROWS; ++i) {
    const double y = 2.0 * random.next();
    const double s = std::sin(std::numbers::pi * random.next());
    if (needleCrosses(y, s)) ++crossings;
    if ((i & NEEDLE_PROGRESS_MASK) == 0) printProgress(i * 100.0 / NEEDLE_THROWS);
  }
  return crossings;
}

struct FormFactorCounts {
  uint32_t fullHits;
  uint32_t halfStarts;
  uint32_t halfHits;
};

// One repetition of the form-factor test.
FormFactorCounts castRays() {
  RandomJames random;
  FormFactorCounts counts{0, 0, 0};
  for (uint32_t i = 1; i <= FORM_FACTOR_RAYS; ++i) {
    const double x = random.next();
    const double y = random.next();
    if (x < 0.5 && y < 0.5) ++counts.halfStarts;
    double dx;
    double dy;
    double r;
    do {
      dx = 2.0 * random.next() - 1.0;
      dy = 2.0 * random.next() - 1.0;
      r = dx * dx + dy * dy;
    } while (!(r < 1.0));
    const double h = std::sqrt(1.0 - r);
    switch (castRay(x, y, dx, dy, h)) {
      case RayHit::FULL_HALF:
        ++counts.halfHits;
        [[fallthrough]];
      case RayHit::FULL:
        ++counts.fullHits;
        break;
      case RayHit::MISS:
        break;
    }
    if ((i & FORM_FACTOR_PROGRESS_MASK) == 0) printProgress(i * 100.0 / FORM_FACTOR_RAYS);
  }
  return counts;
}

}  // namespace

Outcome needleTest() {
  uint32_t crossings = 0;
  const Repetitions repetitions = repeatForMeasuringTime([&crossings]() -> bool {
    crossings = throwNeedles();
    return true;
  });
  const int32_t result = repetitions.average;
  if (!runSettings.superBriefMode) {
    printResult("Needle simulation: N = %dM, elapsed time: %.2f sec, ratio = %.9f\n", 100,
                result * 0.001, crossings / static_cast<double>(NEEDLE_THROWS));
  }
  return Outcome::time(result, repetitions.spread);
}

Outcome formFactorTest() {
  FormFactorCounts counts{0, 0, 0};
  const Repetitions repetitions = repeatForMeasuringTime([&counts]() -> bool {
    counts = castRays();
    return true;
  });
  const int32_t result = repetitions.average;
  if (!runSettings.superBriefMode) {
    // Fhalf is a ratio of two counts, taken in floating point.
    printResult("Form-factor: iter = %dM, time: %.2f sec, Ffull =%10.7f, Fhalf =%10.7f\n", 50,
                result * 0.001, counts.fullHits / static_cast<double>(FORM_FACTOR_RAYS),
                static_cast<double>(counts.halfHits) / counts.halfStarts);
  }
  return Outcome::time(result, repetitions.spread);
}

}  // namespace bench
