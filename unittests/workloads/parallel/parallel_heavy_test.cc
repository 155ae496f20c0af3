// Full-size runs of tests 22, 23 and 24 (minutes, 2 GiB for the sort).
#include <gtest/gtest.h>

#include <string>

#include "run/settings.h"
#include "workloads/parallel/parallel_sha.h"
#include "workloads/parallel/parallel_sort.h"

namespace bench {
namespace {

TEST(ParallelHeavy, ParallelShaMatchesTheStoredDigestForEveryWorkerCount) {
  resetRunSettings();
  ::testing::internal::CaptureStdout();
  Outcome total = parallelShaTest();
  std::string out = ::testing::internal::GetCapturedStdout();
  std::printf("%s", out.c_str());
  EXPECT_EQ(total.status, OutcomeStatus::TIME);
  EXPECT_GT(total.milliseconds, 0);
  EXPECT_EQ(out.find("fail!"), std::string::npos);
  EXPECT_NE(out.find("Parallel SHA-1 digest using 16 threads: "), std::string::npos);
  EXPECT_NE(out.find("Parallel SHA-1 digest using 1-16 threads: "), std::string::npos);
}

TEST(ParallelHeavy, ContextSwitchMatchesTheStoredDigest) {
  resetRunSettings();
  ::testing::internal::CaptureStdout();
  Outcome t = contextSwitchTest();
  std::string out = ::testing::internal::GetCapturedStdout();
  std::printf("%s", out.c_str());
  EXPECT_EQ(t.status, OutcomeStatus::TIME);
  EXPECT_GT(t.milliseconds, 0);
  EXPECT_EQ(out.find("fail!"), std::string::npos);
}

TEST(ParallelHeavy, ParallelSortSortsTheFullArrayWithEveryWorkerCount) {
  resetRunSettings();
  ::testing::internal::CaptureStdout();
  Outcome total = parallelSortTest();
  std::string out = ::testing::internal::GetCapturedStdout();
  std::printf("%s", out.c_str());
  EXPECT_EQ(total.status, OutcomeStatus::TIME);
  EXPECT_GT(total.milliseconds, 0);
  EXPECT_NE(out.find("Parallel-sort using 2-16 threads (double[128M]): "), std::string::npos);
}

}  // namespace
}  // namespace bench
