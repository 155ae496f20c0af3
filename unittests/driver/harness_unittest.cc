#include "driver/harness.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "driver/catalogue.h"
#include "driver/run_journal.h"
#include "results/journal.h"
#include "run/result_text.h"
#include "support/test_support.h"
#include "workloads/parallel/parallel_sha.h"
#include "workloads/parallel/parallel_sort.h"

namespace bench {
namespace {

using ::testing::internal::CaptureStderr;
using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStderr;
using ::testing::internal::GetCapturedStdout;

class HarnessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetRunSettings();
    setDescription("Test CPU", 2000);
  }
  void TearDown() override { resetRunSettings(); }

  static void setDescription(const char* text, int32_t clock) {
    std::snprintf(runSettings.descriptionBuffer, DESCRIPTION_BUFFER_SIZE, "%s", text);
    runSettings.descriptionOffset = 0;
    runSettings.cpuClock = clock;
  }

  std::string record(int test, int32_t timeMs) {
    CaptureStdout();
    recordResult(table_, test, timeMs, ListingOptions{});
    return GetCapturedStdout();
  }

  testing::ScopedTempDir dir_;
  testing::ScopedFakeTime time_;
  ResultTable table_;
  const ListingOptions listing_;
};

TEST(ResourceLimits, VirtualMemoryLimitDropsLargeTests) {
  RunSettings settings;
  settings.vmLimit = 64u << 20;
  EXPECT_EQ(applyResourceLimits(0xFFFFFF, settings), 0x5DC7FBu);
}

TEST(ResourceLimits, LimitEqualToANeedKeepsTheTestOneByteLessDropsIt) {
  struct Case {
    uint32_t RunSettings::*limit;
    int test;
    uint32_t needMiB;
  };
  const Case cases[] = {
      {&RunSettings::ramLimit, 3, 131},
      {&RunSettings::vmLimit, 14, 1036},
      {&RunSettings::diskLimit, 19, 1025},
  };
  for (const Case& c : cases) {
    RunSettings settings;
    settings.*c.limit = c.needMiB << 20;
    EXPECT_EQ(applyResourceLimits(testBit(c.test), settings), testBit(c.test)) << c.test;
    settings.*c.limit = (c.needMiB << 20) - 1;
    EXPECT_EQ(applyResourceLimits(testBit(c.test), settings), 0u) << c.test;
  }
}

TEST_F(HarnessTest, NewThenSlowerThenFasterInFullMode) {
  table_.append("Other CPU", 3000, 7, 10000, false);
  table_.append("Other CPU", 3000, 8, 5000, false);

  std::string first = record(7, 12340);
  EXPECT_EQ(first,
            "Test CPU                                              12.34s   NEW ref:   24.68\n"
            "Other CPU                                             10.00s  123% ref:   30.00\n");
  ASSERT_EQ(table_.count(), 3);
  EXPECT_EQ(table_.record(2).time, 12340);
  EXPECT_EQ(testing::readTextFile("results.txt"),
            " 7    10000 3000 Other CPU\n"
            " 8     5000 3000 Other CPU\n"
            " 7    12340 2000 Test CPU\n");
  EXPECT_EQ(testing::readTextFile("enhanced.txt"), " 7    12340 2000 Test CPU\n");

  std::string slower = record(7, 13000);
  EXPECT_EQ(slower.substr(0, 71),
            "Test CPU                                              13.00s +0.66 ref:");
  EXPECT_EQ(table_.record(2).time, 12340);
  EXPECT_FALSE(table_.dirty());
  EXPECT_EQ(testing::readTextFile("enhanced.txt"), " 7    12340 2000 Test CPU\n");

  std::string faster = record(7, 11000);
  EXPECT_EQ(faster.substr(0, 71),
            "Test CPU                                              11.00s -1.34 ref:");
  EXPECT_EQ(table_.record(2).time, 11000);
  EXPECT_EQ(testing::readTextFile("enhanced.txt"),
            " 7    12340 2000 Test CPU\n"
            " 7    11000 2000 Test CPU\n");
  EXPECT_EQ(table_.count(), 3);
}

TEST_F(HarnessTest, BriefModesShowPercentOfTheStoredTime) {
  runSettings.briefMode = true;
  EXPECT_EQ(record(5, 2000),
            "Test CPU                                                         2.000s     NEW\n");
  EXPECT_EQ(record(5, 3000),
            "Test CPU                                                         3.000s 150.00%\n");
  runSettings.superBriefMode = true;
  EXPECT_EQ(record(5, 1000),
            " 5 Test CPU                                                      1.000s  50.00%\n");
  EXPECT_EQ(table_.record(0).time, 1000);
}

TEST_F(HarnessTest, OtherSystemsAreThoseWithAnotherDescriptionOrClock) {
  table_.append("Test CPU", 2000, 1, 900, false);
  table_.append("Test CPU", 2400, 1, 800, false);  // same text, other clock
  table_.append("Test CPUX", 2000, 1, 700, false);
  std::string out = record(1, 1000);
  EXPECT_EQ(out.find("Test CPU                                               1.00s +0.10"), 0u);
  EXPECT_NE(out.find("Test CPU                                               0.80s  125%"),
            std::string::npos);
  EXPECT_NE(out.find("Test CPUX                                              0.70s  143%"),
            std::string::npos);
  EXPECT_EQ(out.find("0.90s"), std::string::npos);
}

TEST_F(HarnessTest, RefIsTheFigureTheListingPrints) {
  // 1005 ms at 3000 MHz is 3.01 in every listing; another order of the
  // multiplications rounds to 3.02.
  setDescription("Test CPU", 3000);
  table_.append("Other CPU", 3000, 7, 1005, false);
  EXPECT_EQ(record(7, 1005),
            "Test CPU                                               1.01s   NEW ref:    3.01\n"
            "Other CPU                                              1.01s  100% ref:    3.01\n");
}

TEST_F(HarnessTest, ClockZeroGivesRefZero) {
  setDescription("No clock", 0);
  EXPECT_NE(record(2, 99999).find(" ref:    0.00\n"), std::string::npos);
}

TEST_F(HarnessTest, LongDescriptionIsCutInTheResultLine) {
  setDescription("0123456789012345678901234567890123456789012345678901234567890123456789", 1);
  std::string out = record(2, 1000);
  EXPECT_EQ(out.substr(0, 53), "0123456789012345678901234567890123456789012345678901 ");
}

TEST_F(HarnessTest, PerTestLogAppendsEveryResult) {
  runSettings.logPerTest = true;
  record(7, 500);
  record(7, 600);
  EXPECT_EQ(testing::readFile("7.txt"),
            testing::withSystemLineEnds("     500 2000 Test CPU\n     600 2000 Test CPU\n"));
}

TEST_F(HarnessTest, FailedSaveIsReportedAndRetriedByTheNextSave) {
  std::string reason = std::strerror(testing::directoryOpenErrno("ab"));
  std::filesystem::create_directory("enhanced.txt");
  CaptureStderr();
  record(3, 5000);
  EXPECT_EQ(GetCapturedStderr(),
            "Cannot save the results: cannot open \"enhanced.txt\": " + reason + "\n");
  EXPECT_TRUE(table_.dirty());
  EXPECT_FALSE(std::filesystem::exists("results.txt"));

  std::filesystem::remove("enhanced.txt");
  CaptureStderr();
  record(4, 6000);
  EXPECT_EQ(GetCapturedStderr(), "");
  EXPECT_EQ(testing::readTextFile("results.txt"),
            " 3     5000 2000 Test CPU\n 4     6000 2000 Test CPU\n");
}

Outcome returnsZeroTime() { return Outcome::time(0); }
Outcome returnsNoMemory() { return Outcome::noMemory(); }
Outcome returnsFailed() { return Outcome::failed(); }
Outcome returnsTime() { return Outcome::time(4321); }

// Tests 22 and 23 with a reference digest that the engine cannot produce.
const uint8_t WRONG_DIGEST[SHA1_DIGEST_SIZE] = {};
Outcome parallelShaWithWrongDigest() { return parallelShaTest(ShaShape{64, 8, WRONG_DIGEST}); }
Outcome contextSwitchWithWrongDigest() { return contextSwitchTest(ShaShape{64, 8, WRONG_DIGEST}); }

// Test 24 whose blocks are left unsorted: the final order check fails.
void leaveUnsorted(double*, int32_t) {}
Outcome parallelSortOutOfOrder() { return parallelSortTest(SortShape{100, 16}, leaveUnsorted); }

TEST_F(HarnessTest, OutcomeIsRecordedOrReportedWithStatus11) {
  struct Case {
    int test;
    TestRoutine routine;
    const char* message;  // what the harness and the test put on standard error
    int exitCode;
    int records;
    int RunTally::*counted;  // the one count of the summary the outcome adds to
  };
  const auto L = &RunTally::lackedMemory;
  const auto F = &RunTally::failed;
  const Case cases[] = {
      {12, returnsNoMemory, "64 MB of main memory cannot be allocated!\n", 11, 0, L},
      {24, returnsNoMemory, "2048 MB of main memory cannot be allocated!\n", 11, 0, L},
      {1, returnsNoMemory, "12 MB of main memory cannot be allocated!\n", 11, 0, L},
      {15, returnsNoMemory, "16 MB of main memory cannot be allocated!\n", 11, 0, L},
      {1, returnsZeroTime, "Test 1 returned a time of 0 ms; the result is not recorded.\n", 11, 0,
       F},
      {8, returnsFailed, "", 11, 0, F},
      {22, parallelShaWithWrongDigest,
       "parallel SHA-1: the digest with 1 workers differs from the reference\n", 11, 0, F},
      {23, contextSwitchWithWrongDigest,
       "parallel SHA-1: the digest with 2 workers differs from the reference\n", 11, 0, F},
      {24, parallelSortOutOfOrder, "parallel sort: result not in ascending order with 2 workers\n",
       11, 0, F},
      {8, returnsTime, "", 0, 1, &RunTally::recordedNew},
  };
  for (const Case& c : cases) {
    ResultTable table;
    CaptureStdout();
    CaptureStderr();
    TestRun run(&table, &listing_);
    const int exitCode = runOneTest(run, catalogueEntry(c.test), c.routine);
    GetCapturedStdout();
    EXPECT_EQ(GetCapturedStderr(), c.message) << c.test;
    EXPECT_EQ(exitCode, c.exitCode) << c.test;
    EXPECT_EQ(table.count(), c.records) << c.test;
    EXPECT_EQ(run.tally.ran(), 1) << c.test;
    EXPECT_EQ(run.tally.*c.counted, 1) << c.test;
  }
  EXPECT_EQ(time_.sleepCount(), 1);  // only the recorded result pauses
  EXPECT_EQ(time_.lastSleepMillis(), 20000u);
}

Outcome quietRepetitions() {
  return Outcome::time(1010, RepetitionSpread{19, 1000, 1010, 1030, {}});
}
Outcome disturbedRepetitions() {
  return Outcome::time(1150, RepetitionSpread{17, 1000, 1005.5, 1600, {}});
}
Outcome singleRun() { return Outcome::time(1150); }

TEST_F(HarnessTest, DisagreeingRepetitionsAddOnlyAWarningOnStandardError) {
  struct Case {
    TestRoutine routine;
    const char* warning;
    std::vector<int> noisy;  // the tests the summary names
  };
  const Case cases[] = {
      {quietRepetitions, "", {}},
      {disturbedRepetitions,
       "Test 6: its 17 repetitions disagree (fastest 1.000 s, median 1.006 s, slowest 1.600 s; "
       "the result is 15.0% above the fastest): another program was probably running.\n",
       {6}},
      {singleRun, "", {}},
  };
  for (const Case& c : cases) {
    ResultTable table;
    CaptureStdout();
    CaptureStderr();
    TestRun run(&table, &listing_);
    const int exitCode = runOneTest(run, catalogueEntry(6), c.routine);
    const std::string out = GetCapturedStdout();
    EXPECT_EQ(GetCapturedStderr(), c.warning);
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(run.tally.noisy, c.noisy);
    ASSERT_EQ(table.count(), 1);
    EXPECT_EQ(table.record(0).time, c.routine().milliseconds);
    // Standard output is what recording the time alone prints.
    ResultTable plainTable;
    CaptureStdout();
    recordResult(plainTable, 6, c.routine().milliseconds, ListingOptions{});
    EXPECT_EQ(out, GetCapturedStdout());
  }
}

Outcome disturbedAndPrinting() {
  printResult("Example test: %d repetitions\n\n", 4);
  printResult("Second line\n");
  return Outcome::checkedTime(1150,
                              RepetitionSpread{4, 1000, 1005, 1600, {1600, 1000, 1010, 1000}});
}

MeasuredClock meterAt3000() { return {3000, ClockSource::CHAIN}; }

// A recorded result's journal line holds every repetition, the noise
// verdict, the result lines the test printed, the clocks and the verdict of
// the record; a result not recorded adds no line.
TEST_F(HarnessTest, RecordedResultsAddTheirEvidenceToTheJournal) {
  RunJournal journal(JOURNAL_FILE, runSettings, ClockOrigin::MEASURED, {3100, ClockSource::CHAIN});
  TestRun run(&table_, &listing_);
  run.journal = &journal;
  run.meter = meterAt3000;
  CaptureStdout();
  CaptureStderr();
  runOneTest(run, catalogueEntry(6), disturbedAndPrinting);
  runOneTest(run, catalogueEntry(6), returnsNoMemory);
  runOneTest(run, catalogueEntry(6), returnsTime);
  GetCapturedStdout();
  GetCapturedStderr();

  JournalRead read = readJournal(JOURNAL_FILE);
  ASSERT_EQ(read.entries.size(), 2u);
  const JournalEntry& first = read.entries[0];
  EXPECT_EQ(first.test, 6);
  EXPECT_EQ(first.title, "Fast memory-copy (two 16 MB arrays, 100 iterations)");
  EXPECT_EQ(first.description, "Test CPU");
  EXPECT_EQ(first.clock, 2000);
  EXPECT_EQ(first.clockSource, "measured");
  EXPECT_EQ(first.clockBeforeMhz, 3100);
  EXPECT_EQ(first.clockAfterMhz, 3000);
  EXPECT_TRUE(first.repeated);
  EXPECT_EQ(first.repetitionsMs, (std::vector<int32_t>{1600, 1000, 1010, 1000}));
  EXPECT_TRUE(first.noiseJudged);
  EXPECT_TRUE(first.busy);
  EXPECT_DOUBLE_EQ(first.aboveFastestPercent, 15.0);
  EXPECT_EQ(first.output, (std::vector<std::string>{"Example test: 4 repetitions", "Second line"}));
  EXPECT_TRUE(first.checked);
  EXPECT_EQ(first.record, "new");

  const JournalEntry& second = read.entries[1];
  EXPECT_EQ(second.runId, first.runId);
  EXPECT_FALSE(second.repeated);
  EXPECT_EQ(second.repetitionsMs, (std::vector<int32_t>{4321}));
  EXPECT_FALSE(second.noiseJudged);
  EXPECT_TRUE(second.output.empty());
  EXPECT_FALSE(second.checked);
  EXPECT_EQ(second.record, "not_improved");
  EXPECT_EQ(second.time.size(), 20u);
}

TEST_F(HarnessTest, RunLineIsPrintedEvenWhenLimitsLeaveNothing) {
  runSettings.testMask = testBit(14);
  runSettings.vmLimit = 1024;
  CaptureStdout();
  TestRun run(&table_, &listing_);
  EXPECT_EQ(runSelectedTests(run), 0);
  EXPECT_EQ(GetCapturedStdout(), "Running tests \"0000\" on \"Test CPU\" (2000 MHz):\n");
  EXPECT_EQ(run.tally.skippedForLimits, 1);
  EXPECT_EQ(run.tally.ran(), 0);
}

}  // namespace
}  // namespace bench
