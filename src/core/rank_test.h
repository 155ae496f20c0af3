// The Mann–Whitney U rank test of two independent samples, two-sided: do
// the two samples come from the same distribution, or is one of them
// shifted? It looks only at the order of the values, so a few outliers (a
// repetition slowed by another program) move it little, and it assumes no
// particular distribution of the times.
//
// The p-value comes from the exact distribution of U when there are no ties
// and the smaller sample has at most EXACT_LIMIT values; otherwise from the
// normal approximation with the variance corrected for ties and a
// continuity correction of 1/2. These are the conventional choices, so the
// figures agree with common statistics packages.
//
// Stateless; thread-safe.
#ifndef BENCH_CORE_RANK_TEST_H_
#define BENCH_CORE_RANK_TEST_H_

#include <span>

namespace bench {

struct RankTest {
  double u = 0;        // the statistic of the first sample: pairs (x, y) with x > y, ties half
  double pValue = 1;   // two-sided, in (0, 1]
  bool exact = false;  // from the exact distribution, else the normal approximation
};

inline constexpr size_t RANK_TEST_EXACT_LIMIT = 8;

// Tests `x` against `y`.
// REQUIRES: both non-empty, finite values.
RankTest mannWhitneyU(std::span<const double> x, std::span<const double> y);

}  // namespace bench

#endif  // BENCH_CORE_RANK_TEST_H_
