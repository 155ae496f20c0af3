#include "workloads/cpu/sieve.h"

#include <gtest/gtest.h>

#include <string>

#include "driver/catalogue.h"
#include "driver/harness.h"
#include "platform/memory.h"
#include "results/result_table.h"
#include "run/settings.h"
#include "support/test_support.h"

namespace bench {
namespace {

struct SmallSieve {
  int32_t limit;
  int32_t count;
  int32_t prime;  // the count-th prime, 0 when there are fewer up to limit
};

class SievePrimes : public ::testing::TestWithParam<SmallSieve> {};

TEST_P(SievePrimes, FindsTheCountThPrime) {
  CBitMask mask;
  ASSERT_TRUE(mask.include(2));
  ASSERT_TRUE(mask.include(GetParam().limit));
  ::testing::internal::CaptureStdout();
  int32_t prime = sievePrimes(mask, GetParam().limit, GetParam().count);
  std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(prime, GetParam().prime);
  EXPECT_EQ(out.substr(0, 5), "  0%\r") << "progress after the first prime";
}

// 25 primes up to 100, the last 97; 168 up to 1000, the last 997.
INSTANTIATE_TEST_SUITE_P(Small, SievePrimes,
                         ::testing::Values(SmallSieve{100, 1, 2}, SmallSieve{100, 2, 3},
                                           SmallSieve{100, 4, 7}, SmallSieve{100, 25, 97},
                                           SmallSieve{100, 26, 0}, SmallSieve{97, 25, 97},
                                           SmallSieve{1000, 168, 997}));

// The test's progress lines: one after the 1st, 32769th, 65537th ... prime.
std::string expectedProgress() {
  std::string lines;
  char line[16];
  for (int32_t k = 0; k < SIEVE_PRIME_COUNT; k += 0x8000) {
    std::snprintf(line, sizeof line, "%3.0f%%\r", k * 100.0 / 5555555.0);
    lines += line;
  }
  return lines;
}

class SieveTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { runSettings.superBriefMode = GetParam(); }
  void TearDown() override { runSettings.superBriefMode = false; }
};

TEST_P(SieveTest, OneRepetitionFindsThe5555555thPrime) {
  testing::ScopedFakeTime time;  // the first repetition ends at 20000 ms
  ::testing::internal::CaptureStdout();
  Outcome result = sieveTest();
  std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(result, Outcome::time(20000));
  std::string progress = expectedProgress();
  ASSERT_EQ(progress.size(), 170u * 5);
  std::string expected = progress;
  if (!GetParam())
    expected += "The 5555555-th prime number is: 96210113, elapsed time: 20.00 sec\n";
  EXPECT_EQ(out, expected);
}

INSTANTIATE_TEST_SUITE_P(OutputModes, SieveTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& modeInfo) {
                           return modeInfo.param ? "SuperBrief" : "Normal";
                         });

TEST(SieveTestFailure, RefusedStorageIsReportedAsMemoryThatCannotBeHad) {
  testing::ScopedFakeTime time;
  platform::setCommitFailureForTesting(12500001);
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  Outcome result = sieveTest();
  std::string err = ::testing::internal::GetCapturedStderr();
  std::string out = ::testing::internal::GetCapturedStdout();
  platform::setCommitFailureForTesting(0);
  EXPECT_EQ(result, Outcome::noMemory());
  EXPECT_EQ(out, "");
  EXPECT_EQ(err, "");  // the harness names the memory
}

TEST(SieveTestFailure, HarnessRecordsNothingAndEndsWithStatus11) {
  testing::ScopedTempDir dir;
  testing::ScopedFakeTime time;
  platform::setCommitFailureForTesting(12500001);
  runSettings.testMask = testBit(1);
  ResultTable table;
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  const ListingOptions listing;
  TestRun run(&table, &listing);
  const int exitCode = runSelectedTests(run);
  std::string err = ::testing::internal::GetCapturedStderr();
  ::testing::internal::GetCapturedStdout();
  platform::setCommitFailureForTesting(0);
  runSettings = RunSettings();
  EXPECT_EQ(exitCode, 11);
  EXPECT_EQ(table.count(), 0);
  EXPECT_EQ(time.sleepCount(), 0);
  EXPECT_EQ(err, "12 MB of main memory cannot be allocated!\n");
}

}  // namespace
}  // namespace bench
