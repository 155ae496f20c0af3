// Full-size runs of the K-D tree test (tests 11 and 21): the result lines,
// the hits against a brute-force set of the same operations, and the
// file's size against the catalogue's disk need.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <utility>

#include "core/random_james.h"
#include "driver/catalogue.h"
#include "support/test_support.h"
#include "workloads/disk/kd_tree.h"

namespace bench {
namespace {

// Hits of the test's operation sequence, counted on a set of points.
int32_t bruteForceHits(int32_t operations, int32_t inserts) {
  RandomJames random;
  std::set<std::pair<int32_t, int32_t>> points;
  int32_t hits = 0;
  for (int32_t i = 1; i <= inserts; ++i) {
    int32_t x = static_cast<int32_t>(random.next() * 10240);
    int32_t y = static_cast<int32_t>(random.next() * 10240);
    if (!points.insert({x, y}).second) ++hits;
  }
  double px = 5120, py = 5120;
  for (int32_t i = inserts + 2; i <= operations; ++i) {
    double stepX = random.next() * 1024 - 512;
    double stepY = random.next() * 1024 - 512;
    px = wrapWalkerPosition(px + stepX);
    py = wrapWalkerPosition(py + stepY);
    std::pair<int32_t, int32_t> point{static_cast<int32_t>(px), static_cast<int32_t>(py)};
    bool present = points.count(point) != 0;
    if (random.next() < 0.3333333333333333) points.insert(point);
    if (present) ++hits;
  }
  return hits;
}

struct FullSize {
  int test;
  int32_t operations;
  int32_t inserts;
};

void PrintTo(const FullSize& size, std::ostream* os) { *os << "test " << size.test; }

class KdTreeFullSize : public ::testing::TestWithParam<FullSize> {};

TEST_P(KdTreeFullSize, RunsWithinItsDiskNeedAndCountsEveryHit) {
  const FullSize& size = GetParam();
  testing::ScopedTempDir dir;
  ::testing::internal::CaptureStdout();
  KdTreeSnapshot snapshot;
  const Outcome outcome = kdTreeRun(size.operations, size.inserts, &snapshot);
  ASSERT_EQ(outcome.status, OutcomeStatus::TIME);
  const int32_t result = outcome.milliseconds;
  std::string out = ::testing::internal::GetCapturedStdout();
  ASSERT_GT(result, 0);
  EXPECT_FALSE(std::filesystem::exists("akd-tree.bin"));

  char lines[256];
  std::snprintf(lines, sizeof lines,
                "Adaptive K-D tree on disk: operations: %dK, elapsed time: %.2f sec\n"
                "Block reads: %uK, writes: %uK, flushes: %uK, leaf nodes: %u, hits: %u\n",
                size.operations / 1000, result * 0.001, snapshot.reads / 1000,
                snapshot.writes / 1000, snapshot.evictions / 1000,
                static_cast<unsigned>(snapshot.leaves), static_cast<unsigned>(snapshot.hits));
  ASSERT_GE(out.size(), std::string(lines).size());
  EXPECT_EQ(out.substr(out.size() - std::string(lines).size()), lines);
  EXPECT_EQ(snapshot.hits, bruteForceHits(size.operations, size.inserts));

  uint64_t fileBytes = static_cast<uint64_t>(snapshot.blocks) * 4096;
  // The catalogue's disk need is the file's final size in whole MiB,
  // fractions dropped (test 21's file is 568.66 MiB).
  EXPECT_LE(fileBytes / 1048576, uint64_t{catalogueEntry(size.test).diskMiB});
  std::printf("test %d: %.3f s, file %llu bytes (%d blocks)\n%s", size.test, result * 0.001,
              static_cast<unsigned long long>(fileBytes), snapshot.blocks, lines);
}

INSTANTIATE_TEST_SUITE_P(Tests, KdTreeFullSize,
                         ::testing::Values(FullSize{11, 150000, 50000},
                                           FullSize{21, 1500000, 500000}),
                         [](const ::testing::TestParamInfo<FullSize>& param) {
                           return "Test" + std::to_string(param.param.test);
                         });

}  // namespace
}  // namespace bench
