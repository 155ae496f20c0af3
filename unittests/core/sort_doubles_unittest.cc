#include "core/sort_doubles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

#include "core/random_james.h"

namespace bench {
namespace {

// Sorts a copy with sortDoubles and compares it with std::sort: the result
// must be ascending and a permutation of the input.
void expectSorted(std::vector<double> values) {
  std::vector<double> expected = values;
  std::sort(expected.begin(), expected.end());
  sortDoubles(values.data(), static_cast<int32_t>(values.size()));
  EXPECT_EQ(values, expected);
}

std::vector<double> randomValues(int32_t n) {
  RandomJames random;
  std::vector<double> values(static_cast<size_t>(n));
  random.fill(values.data(), n);
  return values;
}

TEST(SortDoubles, EmptyAndSingleArraysAreLeftAlone) {
  sortDoubles(nullptr, 0);
  double one = 0.5;
  sortDoubles(&one, 1);
  EXPECT_EQ(one, 0.5);
}

// Sizes around the switch from partitioning to selection sort at 12.
class SortDoublesSizes : public ::testing::TestWithParam<int32_t> {};

TEST_P(SortDoublesSizes, SortsRandomAscendingDescendingAndDuplicates) {
  const int32_t n = GetParam();
  std::vector<double> values = randomValues(n);
  expectSorted(values);

  std::vector<double> ascending = values;
  std::sort(ascending.begin(), ascending.end());
  expectSorted(ascending);
  std::vector<double> descending(ascending.rbegin(), ascending.rend());
  expectSorted(descending);

  std::vector<double> duplicates(values.size());
  for (size_t i = 0; i < values.size(); ++i) duplicates[i] = static_cast<int>(values[i] * 3);
  expectSorted(duplicates);

  expectSorted(std::vector<double>(static_cast<size_t>(n), 0.25));
}

INSTANTIATE_TEST_SUITE_P(Sizes, SortDoublesSizes,
                         ::testing::Values(2, 3, 5, 10, 11, 12, 13, 23, 24, 100, 1000));

TEST(SortDoubles, FirstAndLastAsMinimumAndMaximum) {
  for (int32_t n : {12, 13, 50, 1001}) {
    std::vector<double> values = randomValues(n);
    values.front() = -1.0;
    values.back() = 2.0;
    expectSorted(values);
    values.front() = 2.0;
    values.back() = -1.0;
    expectSorted(values);
  }
}

TEST(SortDoubles, TwoValuesAndNegativesWithOrganPipeOrder) {
  std::vector<double> twoValues(5000);
  for (size_t i = 0; i < twoValues.size(); ++i) twoValues[i] = (i * 7919) % 3 == 0 ? -1.5 : 1.5;
  expectSorted(twoValues);

  std::vector<double> organPipe(4001);
  for (size_t i = 0; i < organPipe.size(); ++i) {
    organPipe[i] = -static_cast<double>(std::min(i, organPipe.size() - 1 - i));
  }
  expectSorted(organPipe);
}

TEST(SortDoubles, ValuesWhosePairSumsOverflow) {
  // The mean of the first and last element must not overflow to infinity,
  // or the partition stops shrinking.
  const double big = std::numeric_limits<double>::max();
  std::vector<double> values = randomValues(100);
  for (double& value : values) value = (value - 0.5) * big;
  values.front() = big;
  values.back() = big * 0.75;
  expectSorted(values);
  std::vector<double> allHuge(40, -big);
  allHuge[7] = big;
  expectSorted(allHuge);
}

TEST(SortDoubles, LargeRandomArray) { expectSorted(randomValues(1 << 20)); }

}  // namespace
}  // namespace bench
