#include "driver/run_progress.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "driver/catalogue.h"
#include "run/settings.h"
#include "support/test_support.h"

namespace bench {
namespace {

// A terminal stand-in: a temporary file read back as text.
class FakeTerminal {
 public:
  FakeTerminal() : file_(std::tmpfile()) {}
  ~FakeTerminal() { std::fclose(file_); }
  FakeTerminal(const FakeTerminal&) = delete;
  FakeTerminal& operator=(const FakeTerminal&) = delete;

  std::FILE* file() { return file_; }
  std::string text() {
    std::fflush(file_);
    std::rewind(file_);
    std::string text;
    for (int c = std::fgetc(file_); c != EOF; c = std::fgetc(file_))
      text.push_back(static_cast<char>(c));
    return text;
  }

 private:
  std::FILE* file_;
};

class RunProgressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetRunSettings();
    std::snprintf(runSettings.descriptionBuffer, DESCRIPTION_BUFFER_SIZE, "Mine");
    runSettings.descriptionOffset = 0;
    runSettings.cpuClock = 3000;
    ASSERT_NE(terminal_.file(), nullptr);
  }
  void TearDown() override { resetRunSettings(); }

  testing::ScopedFakeTime time_;
  FakeTerminal terminal_;
};

// With this system's own times for every test the estimate does not depend
// on the catalogue's typical times.
TEST_F(RunProgressTest, EachTestIsAnnouncedWithItsPlaceAndTheTimeLeft) {
  ResultTable table;
  table.append("Mine", 3000, 4, 100000, false);
  table.append("Mine", 3000, 8, 40000, false);
  table.append("Mine", 3000, 4, 120000, false);  // a duplicate: the best time counts
  table.append("Mine", 2000, 8, 1, false);       // another clock: another system
  table.append("Other", 3000, 8, 1, false);      // another system
  RunProgress progress;
  progress.show(terminal_.file());
  progress.start(testBit(4) | testBit(8), 20000);
  progress.testStarting(4, table);
  progress.testRecorded(4, 90000);
  progress.testStarting(8, table);
  EXPECT_EQ(terminal_.text(),
            "[1/2] Arbitrage sequence lookup (double[12][12] matrix) | about 3 min left\n"
            "[2/2] Merge-sort on disk (double[8M] array) | about 1 min left\n");
}

TEST_F(RunProgressTest, PauseCountsDownOnATerminalAndSleepsOnceElsewhere) {
  RunProgress shown;
  shown.show(terminal_.file());
  shown.pause(3000);
  EXPECT_EQ(time_.sleepCount(), 3);
  EXPECT_EQ(time_.lastSleepMillis(), 1000u);
  const std::string line = "\rpausing 3 s so the machine settles | ";
  EXPECT_EQ(terminal_.text(), line + "3 s " + line + "2 s " + line + "1 s " + "\r" +
                                  std::string(line.size() + 3, ' ') + "\r");

  // Not shown: not on standard error either, and the pause is one sleep.
  ::testing::internal::CaptureStderr();
  RunProgress hidden;
  hidden.start(testBit(1), 20000);
  hidden.testStarting(1, ResultTable());
  hidden.pause(20000);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(time_.sleepCount(), 4);
  EXPECT_EQ(time_.lastSleepMillis(), 20000u);
}

}  // namespace
}  // namespace bench
