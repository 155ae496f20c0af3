#include "workloads/cpu/memory_copy.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/clock.h"
#include "platform/memory.h"
#include "run/settings.h"
#include "support/test_support.h"

namespace bench {
namespace {

// " 1%\r  3%\r ... 99%\r": one line after every odd round trip.
std::string oddProgress() {
  std::string lines;
  char line[16];
  for (int i = 1; i <= MEMORY_COPY_ROUND_TRIPS; i += 2) {
    std::snprintf(line, sizeof line, "%3.0f%%\r", i * 100.0 / 100.0);
    lines += line;
  }
  return lines;
}

TEST(MemoryCopyTest, OneRepetitionPrintsFiftyProgressLinesAndTheResultLine) {
  testing::ScopedFakeTime time;
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(memoryCopyTest(), Outcome::time(20000));
  const std::string expected =
      oddProgress() +
      "Fast mem-copy: array size = 16 MB, iterations = 100, elapsed time: 20.00 sec\n";
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), expected);
  EXPECT_EQ(oddProgress().substr(0, 10), "  1%\r  3%\r");
}

TEST(MemoryCopyTest, SuperBriefModePrintsOnlyTheProgressOfEachRepetition) {
  testing::ScopedFakeTime time(10000);
  runSettings.superBriefMode = true;
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(memoryCopyTest(), Outcome::time(10000));
  runSettings.superBriefMode = false;
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), oddProgress() + oddProgress());
}

TEST(MemoryCopyTest, ReportsZeroWhenTheArraysCannotBeHad) {
  testing::ScopedFakeTime time;
  platform::setCommitFailureForTesting(MEMORY_COPY_BYTES);
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(memoryCopyTest(), Outcome::noMemory());
  platform::setCommitFailureForTesting(0);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
}

// Advances 10 s per reading; committed memory fails once the first
// repetition is over.
platform::ClockReading clockFailingAfterFirstRepetition() {
  static int64_t readings = 0;
  ++readings;
  if (readings == 2) platform::setCommitFailureForTesting(1);
  return {readings * 10, 0};
}

TEST(MemoryCopyTest, ReportsZeroWhenALaterRepetitionCannotAllocate) {
  platform::setClockForTesting(clockFailingAfterFirstRepetition);
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(memoryCopyTest(), Outcome::noMemory());
  platform::setCommitFailureForTesting(0);
  platform::setClockForTesting(nullptr);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), oddProgress());
}

}  // namespace
}  // namespace bench
