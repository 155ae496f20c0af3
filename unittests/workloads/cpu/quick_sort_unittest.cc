#include "workloads/cpu/quick_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/random_james.h"
#include "driver/catalogue.h"
#include "driver/harness.h"
#include "platform/memory.h"
#include "results/result_table.h"
#include "run/settings.h"
#include "support/test_support.h"

namespace bench {
namespace {

// A sort that does nothing: random data stays out of order.
void noSort(double*, int32_t) {}

class QuickSortTest : public ::testing::Test {
 protected:
  void TearDown() override {
    runSettings.superBriefMode = false;
    platform::setCommitFailureForTesting(0);
  }

  // Runs quickSortTest and captures both output streams.
  Outcome run(int32_t count, DoubleSort sort = sortDoubles) {
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    Outcome result = quickSortTest(count, sort);
    err_ = ::testing::internal::GetCapturedStderr();
    out_ = ::testing::internal::GetCapturedStdout();
    return result;
  }

  std::string out_;
  std::string err_;
};

TEST_F(QuickSortTest, FillAndSortSortsTheGeneratorsFirstDraws) {
  const int32_t n = 100000;
  std::vector<double> expected(n);
  RandomJames random;
  random.fill(expected.data(), n);
  std::sort(expected.begin(), expected.end());

  std::vector<double> array(n, -1.0);
  EXPECT_TRUE(fillAndSort(array.data(), n));
  EXPECT_EQ(array, expected);
}

TEST_F(QuickSortTest, FillAndSortDetectsAnUnsortedResult) {
  std::vector<double> array(100);
  EXPECT_FALSE(fillAndSort(array.data(), 100, noSort));
  EXPECT_TRUE(fillAndSort(array.data(), 1, noSort));
  EXPECT_TRUE(fillAndSort(nullptr, 0, noSort));
}

TEST_F(QuickSortTest, OneRepetitionPrintsNoPassLine) {
  testing::ScopedFakeTime time;
  EXPECT_EQ(run(1 << 20), Outcome::time(20000));
  EXPECT_EQ(out_, "Quick-sort in virtual memory: OK, double[1M], elapsed time: 20.00 sec\n");
  EXPECT_EQ(err_, "");
}

TEST_F(QuickSortTest, PassLinesCountCompletedRepetitions) {
  testing::ScopedFakeTime time(7000);            // repetitions end at 7000, 14000, 21000 ms
  EXPECT_EQ(run(3 << 20), Outcome::time(7000));  // (21000 + 1) / 3
  EXPECT_EQ(out_,
            "Pass 1\rPass 2\r"
            "Quick-sort in virtual memory: OK, double[3M], elapsed time: 7.00 sec\n");
}

TEST_F(QuickSortTest, SuperBriefModePrintsNothing) {
  testing::ScopedFakeTime time(7000);
  runSettings.superBriefMode = true;
  EXPECT_EQ(run(1000), Outcome::time(7000));
  EXPECT_EQ(out_, "");
}

TEST_F(QuickSortTest, AllocationFailureReportsNoMemorySilently) {
  testing::ScopedFakeTime time;
  platform::setCommitFailureForTesting(8u << 20);
  EXPECT_EQ(run(1 << 20), Outcome::noMemory());
  EXPECT_EQ(out_, "");
  EXPECT_EQ(err_, "");
}

TEST_F(QuickSortTest, FailedVerificationIsPrintedAndNotRecorded) {
  testing::ScopedFakeTime time;
  EXPECT_EQ(run(1000, noSort), Outcome::failed());
  EXPECT_EQ(out_, "Quick-sort in virtual memory: failed, double[0M], elapsed time: 20.00 sec\n");
  EXPECT_NE(err_.find("double[1000]"), std::string::npos) << err_;
}

// Tests 12 to 14 through the harness: when their array cannot be had the
// harness names the catalogue's size, records nothing and ends with 11.
struct CatalogueCase {
  int test;
  const char* message;
};

class QuickSortCatalogue : public ::testing::TestWithParam<CatalogueCase> {
 protected:
  void TearDown() override {
    platform::setCommitFailureForTesting(0);
    runSettings = RunSettings();
  }
};

TEST_P(QuickSortCatalogue, AllocationFailureIsReportedByTheHarness) {
  testing::ScopedTempDir dir;
  testing::ScopedFakeTime time;
  platform::setCommitFailureForTesting(1);  // nothing can be had
  runSettings.testMask = testBit(GetParam().test);
  runSettings.superBriefMode = true;
  runSettings.briefMode = true;
  ResultTable table;
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  const ListingOptions listing;
  TestRun run(&table, &listing);
  const int status = runSelectedTests(run);
  std::string err = ::testing::internal::GetCapturedStderr();
  ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(err, GetParam().message);
  EXPECT_EQ(status, 11);
  EXPECT_EQ(table.count(), 0);
  EXPECT_EQ(time.sleepCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Tests12To14, QuickSortCatalogue,
    ::testing::Values(CatalogueCase{12, "64 MB of main memory cannot be allocated!\n"},
                      CatalogueCase{13, "256 MB of main memory cannot be allocated!\n"},
                      CatalogueCase{14, "1024 MB of main memory cannot be allocated!\n"}),
    [](const ::testing::TestParamInfo<CatalogueCase>& caseInfo) {
      return "Test" + std::to_string(caseInfo.param.test);
    });

}  // namespace
}  // namespace bench
