#include "core/random_james.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace bench {
namespace {

TEST(RandomJames, ReproducesThePublishedTestVector) {
  RandomJames random;
  std::vector<double> discarded(20000);
  random.fill(discarded.data(), 20000);
  const int32_t expected[6] = {6533892, 14220222, 7275067, 6172232, 8354498, 10633180};
  for (int32_t value : expected) {
    EXPECT_EQ(static_cast<int32_t>(random.next() * 4096.0 * 4096.0 + 0.5), value);
  }
  EXPECT_TRUE(random.selfTest());
}

TEST(RandomJames, DrawsAreUniformOnTheGridAndRepeatForEqualSeeds) {
  RandomJames first;
  RandomJames second(1802, 9373);
  for (int i = 0; i < 100000; ++i) {
    double value = first.next();
    ASSERT_EQ(value, second.next()) << "draw " << i;
    ASSERT_GE(value, 0.0);
    ASSERT_LT(value, 1.0);
    ASSERT_EQ(value * 16777216.0, std::floor(value * 16777216.0)) << "not a multiple of 2^-24";
  }
}

TEST(RandomJames, ResetRestartsTheSequenceAndSeedsMatter) {
  RandomJames random;
  double head[5];
  random.fill(head, 5);
  random.next();
  random.reset(1802, 9373);
  for (double value : head) EXPECT_EQ(random.next(), value);

  RandomJames other(1803, 9373);
  double otherHead[5];
  other.fill(otherHead, 5);
  EXPECT_NE(std::vector<double>(head, head + 5), std::vector<double>(otherHead, otherHead + 5));
}

TEST(RandomJames, FillMatchesNextAndIgnoresEmptyRequests) {
  RandomJames filler;
  RandomJames drawer;
  double buffer[4] = {-1.0, -1.0, -1.0, -1.0};
  filler.fill(buffer, 0);
  for (double value : buffer) EXPECT_EQ(value, -1.0);
  filler.fill(nullptr, 3);
  filler.fill(buffer, 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(buffer[i], drawer.next());
  EXPECT_EQ(buffer[3], -1.0);
}

struct BadSeeds {
  int ij;
  int kl;
};

class RandomJamesBadSeeds : public ::testing::TestWithParam<BadSeeds> {};

TEST_P(RandomJamesBadSeeds, PrintBothMessagesAndDrawZeroUntilValidReset) {
  RandomJames random;
  ::testing::internal::CaptureStderr();
  random.reset(GetParam().ij, GetParam().kl);
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(err,
            "RandomJones::reset() - The first random number seed must have a value between 0 "
            "and 31328\n"
            "                       The second random number seed must have a value between 0 "
            "and 30081\n");
  EXPECT_FALSE(random.initialised());
  EXPECT_EQ(random.next(), 0.0);
  double buffer[3] = {-1.0, -1.0, -1.0};
  random.fill(buffer, 3);
  for (double value : buffer) EXPECT_EQ(value, 0.0);

  random.reset(1802, 9373);
  RandomJames fresh;
  EXPECT_EQ(random.next(), fresh.next());
}

INSTANTIATE_TEST_SUITE_P(OutOfRange, RandomJamesBadSeeds,
                         ::testing::Values(BadSeeds{31329, 9373}, BadSeeds{-1, 9373},
                                           BadSeeds{1802, 30082}, BadSeeds{1802, -1}));

TEST(RandomJames, SeedLimitsThemselvesAreValid) {
  ::testing::internal::CaptureStderr();
  RandomJames low(0, 0);
  RandomJames high(31328, 30081);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_TRUE(low.initialised());
  EXPECT_TRUE(high.initialised());
}

TEST(RandomJames, GaussianHasTheRequestedMeanAndDeviation) {
  RandomJames random;
  const int n = 200000;
  double sum = 0.0;
  double squares = 0.0;
  for (int i = 0; i < n; ++i) {
    double value = random.gaussian(1.0, 0.05, 5);
    sum += value;
    squares += value * value;
  }
  double mean = sum / n;
  double deviation = std::sqrt(squares / n - mean * mean);
  EXPECT_NEAR(mean, 1.0, 0.001);
  // sqrt(12 / 5) with an integer division would shrink this to about 0.0456.
  EXPECT_NEAR(deviation, 0.05, 0.001);
}

// The deviate is the sum of `count` uniforms times sqrt(12 / count) * sigma,
// plus mean - scale * count / 2; changing any one parameter must recompute
// the cached factors.
double expectedGaussian(RandomJames& random, double mean, double sigma, int count) {
  double scale = std::sqrt(12.0 / count) * sigma;
  double sum = 0.0;
  for (int i = 0; i < count; ++i) sum += random.next();
  return sum * scale + (mean - scale * count * 0.5);
}

TEST(RandomJames, GaussianRecomputesItsFactorsWhenAnyParameterChanges) {
  struct Call {
    double mean;
    double sigma;
    int count;
  };
  const Call calls[] = {{1.0, 0.05, 5}, {1.0, 0.05, 5}, {1.0, 0.10, 5},
                        {2.0, 0.10, 5}, {2.0, 0.10, 7}, {0.0, 1.0, 12}};
  RandomJames random;
  RandomJames reference;
  for (const Call& call : calls) {
    EXPECT_EQ(random.gaussian(call.mean, call.sigma, call.count),
              expectedGaussian(reference, call.mean, call.sigma, call.count))
        << call.mean << " " << call.sigma << " " << call.count;
  }
}

TEST(RandomJames, FillGaussianMatchesSuccessiveDeviates) {
  RandomJames filler;
  RandomJames drawer;
  double row[12];
  filler.fillGaussian(1.0, 0.05, 5, row, 0);
  filler.fillGaussian(1.0, 0.05, 5, nullptr, 12);
  filler.fillGaussian(1.0, 0.05, 5, row, 12);
  for (double value : row) EXPECT_EQ(value, drawer.gaussian(1.0, 0.05, 5));
}

}  // namespace
}  // namespace bench
