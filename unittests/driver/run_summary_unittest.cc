#include "driver/run_summary.h"

#include <gtest/gtest.h>

namespace bench {
namespace {

MeasuredClock chain(int32_t mhz) { return MeasuredClock{mhz, ClockSource::CHAIN}; }

TEST(RunSummary, SaysWhatTheRunDidInAFewLines) {
  struct Case {
    const char* what;
    RunSummary summary;
    const char* text;
  };
  RunSummary fullRun;
  fullRun.tally.recordedNew = 20;
  fullRun.tally.improved = 3;
  fullRun.tally.notImproved = 1;
  fullRun.tally.noisy = {6, 16, 22};
  fullRun.recordedMhz = 3720;
  fullRun.before = chain(3722);
  fullRun.lowestAfter = chain(3690);
  fullRun.wallMillis = 999400;

  RunSummary troubled;
  troubled.tally.notImproved = 1;
  troubled.tally.failed = 1;
  troubled.tally.lackedMemory = 2;
  troubled.tally.skippedForLimits = 3;
  troubled.tally.noisy = {9};
  troubled.recordedMhz = 2400;
  troubled.before = MeasuredClock{2600, ClockSource::OS_REPORTED};
  troubled.wallMillis = 3725000;
  troubled.saved = false;

  RunSummary nothing;
  nothing.tally.skippedForLimits = 1;
  nothing.recordedMhz = 1000;
  nothing.before = chain(3700);
  nothing.wallMillis = 300;

  RunSummary withJournal;
  withJournal.tally.recordedNew = 1;
  withJournal.recordedMhz = 1;
  withJournal.wallMillis = 45000;
  withJournal.journal = "runs.jsonl";
  withJournal.comparison = "bench -lc -c 1000 \"My box\"";

  const Case cases[] = {
      {"a full run", fullRun,
       "Summary: 24 tests ran in 16 min 39 s: 20 new, 3 improved, 1 not improved.\n"
       "Noise warning: tests 6, 16 and 22 (another program was probably running).\n"
       "Clock: 3720 MHz recorded; measured 3722 MHz, lowest 3690 MHz after a test.\n"
       "Results are in results.txt.\n"
       "See them with \"bench -l\", or as a web page with \"bench -lh > results.html\".\n"},
      {"failures, limits, a clock the system reports, a failed save", troubled,
       "Summary: 4 tests ran in 1 h 2 min 5 s: 1 not improved, 1 failed, 2 lacked memory.\n"
       "3 tests were skipped for the memory or disk limits.\n"
       "Noise warning: test 9 (another program was probably running).\n"
       "Clock: 2400 MHz recorded; the operating system reports 2600 MHz.\n"
       "The results were not saved.\n"},
      {"nothing ran", nothing,
       "Summary: 0 tests ran in 0 s.\n"
       "1 test was skipped for the memory or disk limits.\n"
       "Clock: 1000 MHz recorded; measured 3700 MHz.\n"
       "Nothing was recorded.\n"},
      {"a journal and an earlier run", withJournal,
       "Summary: 1 test ran in 45 s: 1 new.\n"
       "Clock: 1 MHz recorded; not measured.\n"
       "Results are in results.txt and in the journal runs.jsonl.\n"
       "See them with \"bench -l\", or as a web page with \"bench -lh > results.html\".\n"
       "Compare it with the earlier run: bench -lc -c 1000 \"My box\"\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(summaryText(c.summary), c.text) << c.what;
}

TEST(RunSummary, WallDurationKeepsEverySecond) {
  struct Case {
    int64_t millis;
    const char* text;
  };
  const Case cases[] = {
      {-1, "0 s"},
      {499, "0 s"},
      {59499, "59 s"},
      {59500, "1 min 0 s"},
      {999000, "16 min 39 s"},
      {3600000, "1 h 0 min 0 s"},
  };
  for (const Case& c : cases) EXPECT_EQ(wallDuration(c.millis), c.text) << c.millis;
}

}  // namespace
}  // namespace bench
