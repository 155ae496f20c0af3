#include "results/relative_speed.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace bench {
namespace {

TEST(GeometricMeanPermille, IsTheExactMeanRoundedDown) {
  constexpr int32_t MOST = INT32_MAX;
  struct Case {
    const char* what;
    std::vector<SpeedRatio> ratios;
    int32_t permille;
  };
  const Case cases[] = {
      {"the fastest of one test", {{700, 700}}, 1000},
      {"the fastest of every test", {{1, 1}, {MOST, MOST}, {5, 5}}, 1000},
      {"a hair behind on one of three", {{999999, 1000000}, {7, 7}, {9, 9}}, 999},
      {"one test: a third", {{1000, 3000}}, 333},
      {"one test: two thirds", {{2000, 3000}}, 666},
      // Means that are exactly a tenth of a percent, where a floating-point
      // root often lands just below.
      {"0.55 squared", {{302500, 1000000}, {1, 1}}, 550},
      {"0.66 cubed", {{287496000, 1000000000}, {1, 1}, {1, 1}}, 660},
      {"0.669 to the fourth", {{447561, 1000000}, {1, 1}, {447561, 1000000}, {1, 1}}, 669},
      {"0.999 squared", {{998001, 1000000}, {3, 3}}, 999},
      {"just below 0.999 squared", {{998000, 1000000}, {3, 3}}, 998},
      {"just above 0.1 squared", {{10001, 1000000}, {2, 2}}, 100},
      {"just below 0.1 squared", {{9999, 1000000}, {2, 2}}, 99},
      {"below a tenth of a percent", {{1, 2000}}, 0},
      {"the extreme times", {{1, MOST}, {1, MOST}, {1, MOST}}, 0},
      {"24 tests, each at 99%", std::vector<SpeedRatio>(24, SpeedRatio{99, 100}), 990},
      {"24 tests at the extreme times", std::vector<SpeedRatio>(24, SpeedRatio{MOST - 1, MOST}),
       999},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(geometricMeanPermille(c.ratios), c.permille) << c.what;
  }
}

}  // namespace
}  // namespace bench
