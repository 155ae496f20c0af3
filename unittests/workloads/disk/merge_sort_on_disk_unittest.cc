#include "workloads/disk/merge_sort_on_disk.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "driver/catalogue.h"
#include "run/settings.h"
#include "workloads/disk/disk_test_files.h"

namespace bench::testing {
namespace {

using ::testing::internal::CaptureStderr;
using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStderr;
using ::testing::internal::GetCapturedStdout;
using Values = std::vector<double>;

// Writes `values` to a fresh writable work file, as the test's passes do.
void fill(CDoubleFile& file, const Values& values) {
  file.rewrite();
  for (double v : values) file.write(v);
}

Values contents(CDoubleFile& file) {
  file.close();
  return readDoubles(file.name());
}

struct DistributeCase {
  const char* label;
  Values input;
  Values expectedA;
  Values expectedB;
  RunCounts expectedRuns;
};

class DistributeRuns : public ::testing::TestWithParam<DistributeCase> {};

TEST_P(DistributeRuns, AlternatesRunsBetweenTheOutputs) {
  const DistributeCase& c = GetParam();
  ScopedTempDir dir;
  CDoubleFile input("in.bin", true);
  CDoubleFile a("a.bin", true);
  CDoubleFile b("b.bin", true);
  fill(input, c.input);
  fill(a, {9.0, 9.0});  // old contents must go
  RunCounts runs = distributeRuns(input, a, b);
  EXPECT_EQ(runs.first, c.expectedRuns.first);
  EXPECT_EQ(runs.second, c.expectedRuns.second);
  EXPECT_EQ(contents(a), c.expectedA);
  EXPECT_EQ(contents(b), c.expectedB);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, DistributeRuns,
    ::testing::Values(
        DistributeCase{"Empty", {}, {}, {}, {0, 0}},
        DistributeCase{"OneValue", {0.5}, {0.5}, {}, {1, 0}},
        DistributeCase{
            "OneRunWithEqualValues", {0.1, 0.2, 0.2, 0.3}, {0.1, 0.2, 0.2, 0.3}, {}, {1, 0}},
        DistributeCase{"ThreeRuns", {0.3, 0.1, 0.2, 0.05}, {0.3, 0.05}, {0.1, 0.2}, {2, 1}},
        DistributeCase{"Descending", {0.4, 0.3, 0.2, 0.1}, {0.4, 0.2}, {0.3, 0.1}, {2, 2}}),
    [](const ::testing::TestParamInfo<DistributeCase>& param) { return param.param.label; });

struct MergeCase {
  const char* label;
  Values inputA;
  Values inputB;
  Values expectedP;
  Values expectedQ;
  RunCounts expectedRuns;
};

class MergeRuns : public ::testing::TestWithParam<MergeCase> {};

TEST_P(MergeRuns, MergesRunPairsAndDealsOutTheRest) {
  const MergeCase& c = GetParam();
  ScopedTempDir dir;
  CDoubleFile a("a.bin", true);
  CDoubleFile b("b.bin", true);
  CDoubleFile p("p.bin", true);
  CDoubleFile q("q.bin", true);
  fill(a, c.inputA);
  fill(b, c.inputB);
  fill(q, {9.0});  // old contents must go
  RunCounts runs = mergeRuns(a, b, p, q);
  EXPECT_EQ(runs.first, c.expectedRuns.first);
  EXPECT_EQ(runs.second, c.expectedRuns.second);
  EXPECT_EQ(contents(p), c.expectedP);
  EXPECT_EQ(contents(q), c.expectedQ);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, MergeRuns,
    ::testing::Values(
        MergeCase{
            "OneAndOneRunGiveOneRun", {0.1, 0.3}, {0.2, 0.4}, {0.1, 0.2, 0.3, 0.4}, {}, {1, 0}},
        MergeCase{"SecondRunOfAGoesToTheEmptierOutput",
                  {0.1, 0.5, 0.2, 0.3},
                  {0.4},
                  {0.1, 0.4, 0.5},
                  {0.2, 0.3},
                  {1, 1}},
        MergeCase{"RunPairsAlternateOutputs",
                  {0.1, 0.3, 0.2},
                  {0.2, 0.4, 0.1},
                  {0.1, 0.2, 0.3, 0.4},
                  {0.1, 0.2},
                  {1, 1}},
        MergeCase{"RemainingRunsOfBGoToTheOutputWithFewerRunsSecondOnTies",
                  {0.5},
                  {0.1, 0.2, 0.05, 0.04, 0.03},
                  {0.1, 0.2, 0.5, 0.03},
                  {0.05, 0.04},
                  {2, 2}},
        MergeCase{"RemainingRunsOfAAreCopiedRunByRun",
                  {0.1, 0.2, 0.15, 0.16, 0.01},
                  {0.3},
                  {0.1, 0.2, 0.3},
                  {0.15, 0.16, 0.01},
                  {1, 2}},
        MergeCase{"RunEndingOnEqualValues", {0.2, 0.2}, {0.2}, {0.2, 0.2, 0.2}, {}, {1, 0}}),
    [](const ::testing::TestParamInfo<MergeCase>& param) { return param.param.label; });

TEST(MergeRuns, WritesBsValueFirstOnEqualValues) {
  // +0.0 and -0.0 compare equal but can be told apart.
  ScopedTempDir dir;
  CDoubleFile a("a.bin", true);
  CDoubleFile b("b.bin", true);
  CDoubleFile p("p.bin", true);
  CDoubleFile q("q.bin", true);
  fill(a, {+0.0, 0.5});
  fill(b, {-0.0, 0.7});
  mergeRuns(a, b, p, q);
  Values merged = contents(p);
  ASSERT_EQ(merged.size(), 4u);
  EXPECT_TRUE(std::signbit(merged[0]));
  EXPECT_FALSE(std::signbit(merged[1]));
  EXPECT_EQ(merged[2], 0.5);
  EXPECT_EQ(merged[3], 0.7);
}

TEST(MergeRuns, InputWithoutValuesEndsAtOnce) {
  ScopedTempDir dir;
  CDoubleFile a("a.bin", true);
  CDoubleFile b("b.bin", true);
  CDoubleFile p("p.bin", true);
  CDoubleFile q("q.bin", true);
  fill(b, {0.1, 0.2, 0.05});
  RunCounts runs = mergeRuns(a, b, p, q);
  EXPECT_EQ(runs.first, 0);
  EXPECT_EQ(runs.second, 0);
  runs = mergeRuns(b, a, p, q);
  EXPECT_EQ(runs.first, 0);
  EXPECT_EQ(runs.second, 0);
  EXPECT_EQ(contents(p), Values{});
}

TEST(MergeRuns, MergesLongRunsAcrossWindows) {
  ScopedTempDir dir;
  CDoubleFile a("a.bin", true);
  CDoubleFile b("b.bin", true);
  CDoubleFile p("p.bin", true);
  CDoubleFile q("q.bin", true);
  Values evens, odds;
  for (int i = 0; i < 5000; ++i) {
    evens.push_back(2 * i * 1e-5);
    odds.push_back((2 * i + 1) * 1e-5);
  }
  fill(a, evens);
  fill(b, odds);
  RunCounts runs = mergeRuns(a, b, p, q);
  EXPECT_EQ(runs.first, 1);
  EXPECT_EQ(runs.second, 0);
  Values merged = contents(p);
  ASSERT_EQ(merged.size(), 10000u);
  for (int i = 0; i < 10000; ++i) ASSERT_EQ(merged[i], i * 1e-5) << i;
}

struct CheckCase {
  const char* label;
  Values values;
  bool sorted;
  int32_t count;
};

class CheckSorted : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckSorted, StopsAtTheFirstDescent) {
  const CheckCase& c = GetParam();
  ScopedTempDir dir;
  CDoubleFile file("f.bin", true);
  fill(file, c.values);
  SortCheck check = checkSorted(file);
  EXPECT_EQ(check.sorted, c.sorted);
  EXPECT_EQ(check.count, c.count);
}

INSTANTIATE_TEST_SUITE_P(
    Files, CheckSorted,
    ::testing::Values(CheckCase{"EmptyCountsOne", {}, true, 1},
                      CheckCase{"OneValue", {0.5}, true, 1},
                      CheckCase{"EqualValuesAreInOrder", {0.1, 0.2, 0.2, 0.3}, true, 4},
                      CheckCase{"DescentCountsUpToIt", {0.1, 0.3, 0.2, 0.5}, false, 3}),
    [](const ::testing::TestParamInfo<CheckCase>& param) { return param.param.label; });

// The whole test on a small array: 64K values in 1024 chunks of 64.
constexpr int32_t SMALL_N = 65536;
constexpr int32_t SMALL_CHUNK = 64;

bool anyWorkFileLeft() {
  for (const char* name : {"sort1.bin", "sort2.bin", "sort3.bin", "sort4.bin"}) {
    if (fileExists(name)) return true;
  }
  return false;
}

TEST(MergeSortOnDisk, SortsASmallArrayEndToEnd) {
  ScopedTempDir dir;
  ScopedFakeTime time(1234);
  runSettings.superBriefMode = false;
  CaptureStdout();
  Outcome result = runMergeSortOnDisk(SMALL_N, SMALL_CHUNK);
  std::string out = GetCapturedStdout();
  EXPECT_EQ(result, Outcome::time(1234));

  // Random chunks never coalesce: the run counts halve down to one run.
  std::string expected = "init: random generator, bucket-sort\r";
  char line[64];
  for (int32_t runs = SMALL_N / SMALL_CHUNK / 2; runs >= 1; runs /= 2) {
    std::snprintf(line, sizeof line, "%17d %17d\r", runs, runs);
    expected += line;
  }
  std::snprintf(line, sizeof line, "%17d %17d\r", 1, 0);
  expected += line;
  expected += "Merge-sort on disk: OK, file size: 0 MB, elapsed time: 1.23 sec\n";
  EXPECT_EQ(out, expected);
  EXPECT_FALSE(anyWorkFileLeft());
}

TEST(MergeSortOnDisk, SuperBriefModePrintsOnlyTheProgress) {
  ScopedTempDir dir;
  ScopedFakeTime time;
  runSettings.superBriefMode = true;
  CaptureStdout();
  Outcome result = runMergeSortOnDisk(4 * SMALL_CHUNK, SMALL_CHUNK);
  std::string out = GetCapturedStdout();
  runSettings.superBriefMode = false;
  EXPECT_EQ(result, Outcome::time(20000));
  EXPECT_EQ(out.find("Merge-sort on disk"), std::string::npos);
  EXPECT_EQ(out.back(), '\r');
}

// I/O failures stop the test: the reason on standard error, no work files
// left, TEST_FAILED.
TEST(MergeSortOnDisk, WorkFileThatCannotBeCreatedFailsTheTest) {
  ScopedTempDir dir;
  ScopedFakeTime time;
  blockFileName("sort2.bin");
  CaptureStdout();
  CaptureStderr();
  Outcome result = runMergeSortOnDisk(SMALL_N, SMALL_CHUNK);
  std::string err = GetCapturedStderr();
  std::string out = GetCapturedStdout();
  EXPECT_EQ(result, Outcome::failed());
  EXPECT_EQ(err, std::string("Cannot create work file \"sort2.bin\": ") +
                     std::strerror(directoryOpenErrno("w+b")) + "\n");
  EXPECT_EQ(out.find("Merge-sort on disk"), std::string::npos);
  for (const char* name : {"sort1.bin", "sort3.bin", "sort4.bin"}) EXPECT_FALSE(fileExists(name));
}

TEST(MergeSortOnDisk, FullDiskFailsTheTest) {
  if (!ScopedFileSizeLimit::available()) GTEST_SKIP() << "no per-process file-size limit here";
  ScopedTempDir dir;
  ScopedFakeTime time;
  CaptureStdout();
  CaptureStderr();
  Outcome result;
  {
    ScopedFileSizeLimit limit(100000);
    result = runMergeSortOnDisk(SMALL_N, SMALL_CHUNK);
  }
  std::string err = GetCapturedStderr();
  std::string out = GetCapturedStdout();
  EXPECT_EQ(result, Outcome::failed());
  EXPECT_EQ(err,
            std::string("Cannot write work file \"sort3.bin\": ") + std::strerror(EFBIG) + "\n");
  EXPECT_EQ(out.find("Merge-sort on disk"), std::string::npos);
  EXPECT_FALSE(anyWorkFileLeft());
}

struct ReportCase {
  const char* label;
  SortCheck check;
  bool ok;
  const char* reason;  // expected on standard error after the file name
};

class ReportMergeSort : public ::testing::TestWithParam<ReportCase> {};

TEST_P(ReportMergeSort, RecordsOnlyAVerifiedResult) {
  const ReportCase& c = GetParam();
  runSettings.superBriefMode = false;
  CaptureStdout();
  CaptureStderr();
  Outcome result = reportMergeSort(c.check, "sort3.bin", 0x800000, 4321);
  std::string err = GetCapturedStderr();
  std::string out = GetCapturedStdout();
  EXPECT_EQ(out, std::string("Merge-sort on disk: ") + (c.ok ? "OK" : "fail") +
                     ", file size: 64 MB, elapsed time: 4.32 sec\n");
  if (c.ok) {
    EXPECT_EQ(result, Outcome::time(4321));
    EXPECT_EQ(err, "");
  } else {
    EXPECT_EQ(result, Outcome::failed());
    EXPECT_EQ(err, std::string("Merge-sort on disk: sort3.bin ") + c.reason +
                       "; the time is not recorded.\n");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Checks, ReportMergeSort,
    ::testing::Values(ReportCase{"Sorted", {true, 0x800000}, true, ""},
                      ReportCase{"OutOfOrder", {false, 77}, false, "is not in order"},
                      ReportCase{"ValuesMissing",
                                 {true, 0x800000 - 1},
                                 false,
                                 "holds 8388607 values instead of 8388608"}),
    [](const ::testing::TestParamInfo<ReportCase>& param) { return param.param.label; });

}  // namespace
}  // namespace bench::testing
