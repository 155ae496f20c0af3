#include "workloads/cpu/monte_carlo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <string>

#include "support/test_support.h"

namespace bench {
namespace {

struct NeedleCase {
  double y;
  double s;
  bool crosses;
};

TEST(NeedleCrosses, TouchingTheUpperLineCountsTheLowerDoesNot) {
  const NeedleCase cases[] = {
      {1.5, 0.5, true},                            // y + s == 2: touches the upper line
      {1.5, 0.4999999, false}, {0.5, 0.5, false},  // y - s == 0: touches the lower line only
      {0.5, 0.5000001, true},  {1.0, 1.0, true},   // vertical needle from the middle reaches both
      {1.0, 0.0, false},                           // parallel to the lines
      {0.0, 0.0, false},                           // lying on the lower line
  };
  for (const NeedleCase& c : cases) {
    EXPECT_EQ(needleCrosses(c.y, c.s), c.crosses) << "y = " << c.y << ", s = " << c.s;
  }
}

struct RayCase {
  const char* what;
  double x, y, dx, dy, h;
  RayHit hit;
};

TEST(CastRay, HitsIncludeTheLowerEdgesAndExcludeTheUpperOnes) {
  // With h = 1 the ray lands at (x + dx, y + dy), exactly.
  const RayCase cases[] = {
      {"straight up", 0.75, 0.75, 0.0, 0.0, 1.0, RayHit::FULL},
      {"on X = 0", 0.5, 0.75, -0.5, 0.0, 1.0, RayHit::FULL},
      {"on Y = 0", 0.75, 0.5, 0.0, -0.5, 1.0, RayHit::FULL},
      {"on X = 1", 0.5, 0.75, 0.5, 0.0, 1.0, RayHit::MISS},
      {"on Y = 1", 0.75, 0.5, 0.0, 0.5, 1.0, RayHit::MISS},
      {"below X = 0", 0.25, 0.75, -0.5, 0.0, 1.0, RayHit::MISS},
      {"quarter to quarter", 0.25, 0.25, 0.125, -0.125, 1.0, RayHit::FULL_HALF},
      {"quarter to X = 0.5", 0.25, 0.25, 0.25, 0.0, 1.0, RayHit::FULL},
      {"quarter to Y = 0.5", 0.25, 0.25, 0.0, 0.25, 1.0, RayHit::FULL},
      {"quarter to origin", 0.25, 0.25, -0.25, -0.25, 1.0, RayHit::FULL_HALF},
      {"outside the quarter into it", 0.75, 0.25, -0.5, 0.0, 1.0, RayHit::FULL},
      {"on x = 0.5, not in the quarter", 0.5, 0.25, -0.25, 0.0, 1.0, RayHit::FULL},
      {"too flat at h = 0.01", 0.5, 0.5, 0.0, 0.0, 0.01, RayHit::MISS},
      {"just steep enough", 0.5, 0.5, 0.0, 0.0, 0.0100001, RayHit::FULL},
      {"scaled by 1 / h", 0.25, 0.25, 0.125, 0.0, 0.5, RayHit::FULL},
      {"scaled past the edge", 0.5, 0.25, 0.25, 0.0, 0.5, RayHit::MISS},
  };
  for (const RayCase& c : cases) EXPECT_EQ(castRay(c.x, c.y, c.dx, c.dy, c.h), c.hit) << c.what;
}

// Progress lines every `step` iterations of `total`.
std::string progressEvery(uint32_t step, uint32_t total) {
  std::string lines;
  char line[16];
  for (uint32_t i = step; i <= total; i += step) {
    std::snprintf(line, sizeof line, "%3.0f%%\r", i * 100.0 / total);
    lines += line;
  }
  return lines;
}

// The number following `label` in `line`.
double valueAfter(const std::string& line, const std::string& label) {
  const size_t at = line.find(label);
  return at == std::string::npos ? -1.0 : std::strtod(line.c_str() + at + label.size(), nullptr);
}

TEST(NeedleTest, OneRepetitionPrintsItsProgressAndTheRatio) {
  testing::ScopedFakeTime time;
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(needleTest(), Outcome::time(20000));
  const std::string out = ::testing::internal::GetCapturedStdout();
  const std::string progress = progressEvery(1u << 21, NEEDLE_THROWS);
  ASSERT_EQ(std::count(progress.begin(), progress.end(), '\r'), 47);
  ASSERT_EQ(out.substr(0, progress.size()), progress);
  const std::string line = out.substr(progress.size());
  const std::string head = "Needle simulation: N = 100M, elapsed time: 20.00 sec, ratio = ";
  ASSERT_EQ(line.substr(0, head.size()), head);
  EXPECT_EQ(line.size(), head.size() + 12);  // "0.636xxxxxx\n"
  EXPECT_NEAR(valueAfter(line, "ratio = "), 2.0 / std::numbers::pi, 2e-4);
}

TEST(FormFactorTest, OneRepetitionPrintsItsProgressAndBothFactors) {
  testing::ScopedFakeTime time;
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(formFactorTest(), Outcome::time(20000));
  const std::string out = ::testing::internal::GetCapturedStdout();
  const std::string progress = progressEvery(1u << 20, FORM_FACTOR_RAYS);
  ASSERT_EQ(std::count(progress.begin(), progress.end(), '\r'), 47);
  ASSERT_EQ(out.substr(0, progress.size()), progress);
  const std::string line = out.substr(progress.size());
  const std::string head = "Form-factor: iter = 50M, time: 20.00 sec, Ffull = ";
  ASSERT_EQ(line.substr(0, head.size()), head);
  EXPECT_NE(line.find(", Fhalf = "), std::string::npos);
  EXPECT_NEAR(valueAfter(line, "Ffull ="), 0.1998, 5e-4);
  EXPECT_NEAR(valueAfter(line, "Fhalf ="), 0.0686, 5e-4);
}

}  // namespace
}  // namespace bench
