#include "core/rank_test.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace bench {

namespace {

struct RankSums {
  double xRanks = 0;   // the sum of the ranks of x in the combined sample
  double tieTerm = 0;  // the sum of t^3 - t over groups of t equal values
  bool ties = false;
};

// Ranks the combined sample, equal values sharing the mean of their ranks.
RankSums rankSums(std::span<const double> x, std::span<const double> y) {
  std::vector<std::pair<double, bool>> all;  // value, belongs to x
  all.reserve(x.size() + y.size());
  for (double v : x) all.emplace_back(v, true);
  for (double v : y) all.emplace_back(v, false);
  std::sort(all.begin(), all.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  RankSums sums;
  for (size_t start = 0; start < all.size();) {
    size_t end = start + 1;
    while (end < all.size() && all[end].first == all[start].first) ++end;
    const double t = static_cast<double>(end - start);
    const double rank = (static_cast<double>(start + 1) + static_cast<double>(end)) / 2;
    for (size_t i = start; i < end; ++i) {
      if (all[i].second) sums.xRanks += rank;
    }
    if (t > 1) {
      sums.ties = true;
      sums.tieTerm += t * t * t - t;
    }
    start = end;
  }
  return sums;
}

// P(U <= u) for samples of sizes m and n without ties. The counts of the
// values of U are the coefficients of the Gaussian binomial coefficient
// [m+n choose m](q) = prod_{i=1..m} (1 - q^(n+i)) / (1 - q^i), built one
// factor at a time with the smaller size as m.
double exactLowerTail(size_t m, size_t n, size_t u) {
  if (m > n) std::swap(m, n);
  std::vector<double> counts(m * n + 1, 0.0);
  counts[0] = 1;
  for (size_t i = 1; i <= m; ++i) {
    const size_t grow = n + i;
    for (size_t k = counts.size(); k-- > grow;) counts[k] -= counts[k - grow];
    for (size_t k = i; k < counts.size(); ++k) counts[k] += counts[k - i];
  }
  double below = 0;
  double total = 0;
  for (size_t k = 0; k < counts.size(); ++k) {
    total += counts[k];
    if (k <= u) below += counts[k];
  }
  return below / total;
}

}  // namespace

RankTest mannWhitneyU(std::span<const double> x, std::span<const double> y) {
  const double n1 = static_cast<double>(x.size());
  const double n2 = static_cast<double>(y.size());
  const RankSums sums = rankSums(x, y);
  RankTest test;
  test.u = sums.xRanks - n1 * (n1 + 1) / 2;
  // The distribution of U is symmetric about n1 n2 / 2: the two-sided
  // p-value is twice the tail beyond the larger of the two statistics.
  const double larger = std::max(test.u, n1 * n2 - test.u);
  double p;
  if (!sums.ties && std::min(x.size(), y.size()) <= RANK_TEST_EXACT_LIMIT) {
    test.exact = true;
    // Without ties U is an integer: P(U >= larger) = P(U <= n1 n2 - larger).
    p = 2 * exactLowerTail(x.size(), y.size(), static_cast<size_t>(n1 * n2 - larger));
  } else {
    const double n = n1 + n2;
    const double variance = n1 * n2 / 12 * ((n + 1) - sums.tieTerm / (n * (n - 1)));
    // 2 P(Z > z) = erfc(z / sqrt(2)) with z = (larger - mean - 1/2) / sigma.
    // With every value equal the variance is 0 and nothing tells the
    // samples apart.
    p = variance > 0 ? std::erfc((larger - n1 * n2 / 2 - 0.5) / std::sqrt(2 * variance)) : 1.0;
  }
  test.pValue = std::min(p, 1.0);
  return test;
}

}  // namespace bench
