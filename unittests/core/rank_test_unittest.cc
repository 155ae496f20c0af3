#include "core/rank_test.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace bench {
namespace {

struct RankCase {
  const char* name;
  double u;       // the statistic of x
  double pValue;  // two-sided
  std::vector<double> x;
  std::vector<double> y;
};

// Sample pairs like repetition times, equal or shifted, with and without
// ties, and what SciPy's mannwhitneyu gives for them (default options).
const RankCase CASES[] = {
#include "core/rank_test_cases.inc"
};

TEST(MannWhitneyU, AgreesWithSciPyOnSamplesLikeRepetitionTimes) {
  for (const RankCase& c : CASES) {
    const RankTest test = mannWhitneyU(c.x, c.y);
    EXPECT_EQ(test.u, c.u) << c.name;
    // The figures were written with ten significant digits.
    EXPECT_NEAR(test.pValue, c.pValue, 1e-9 * c.pValue + 1e-15) << c.name;
    // Swapping the samples keeps the p-value and mirrors the statistic.
    const RankTest swapped = mannWhitneyU(c.y, c.x);
    EXPECT_EQ(swapped.u, static_cast<double>(c.x.size() * c.y.size()) - c.u) << c.name;
    EXPECT_NEAR(swapped.pValue, test.pValue, 1e-12) << c.name;
  }
}

// The exact distribution serves small samples without ties; the normal
// approximation the rest.
TEST(MannWhitneyU, ExactOnlyForSmallSamplesWithoutTies) {
  struct {
    std::vector<double> x, y;
    bool exact;
  } const cases[] = {
      {{1, 2, 3, 4, 5, 6, 7, 8}, {9, 10, 11, 12, 13, 14, 15, 16, 17, 18}, true},
      {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {10, 11, 12, 13, 14, 15, 16, 17, 18}, false},
      {{1, 2, 3}, {3, 4, 5}, false},
  };
  for (const auto& c : cases) EXPECT_EQ(mannWhitneyU(c.x, c.y).exact, c.exact);
}

TEST(MannWhitneyU, SmallestSamplesAndEqualValues) {
  // Two samples of one value each: the only two orders are equally likely.
  const std::vector<double> one = {1}, two = {2};
  EXPECT_DOUBLE_EQ(mannWhitneyU(one, two).pValue, 1.0);
  // Every value equal: nothing tells the samples apart.
  const std::vector<double> same = {5, 5, 5, 5, 5};
  const RankTest equal = mannWhitneyU(same, same);
  EXPECT_EQ(equal.u, 12.5);
  EXPECT_EQ(equal.pValue, 1.0);
  // Five against five without overlap: 2 / C(10, 5).
  const std::vector<double> low = {1, 2, 3, 4, 5}, high = {6, 7, 8, 9, 10};
  EXPECT_DOUBLE_EQ(mannWhitneyU(low, high).pValue, 2.0 / 252);
}

}  // namespace
}  // namespace bench
