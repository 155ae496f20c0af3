// A process killed at any moment while it saves leaves a result table that
// loads completely and holds every result saved before the kill, and an
// enhanced.txt without a partial line.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <sstream>
#include <string>
#include <thread>

#include "results/result_table.h"
#include "support/test_support.h"

namespace bench {
namespace {

const char* DESCRIPTION = "A system with a fairly long description to make lines longer";

// Child: appends one record (time = its position) per save, forever.
[[noreturn]] void saveForever() {
  ResultTable table;
  table.loadResults("results.txt");
  for (int32_t next = table.count();; ++next) {
    table.append(DESCRIPTION, 3000, 1, next, true);
    table.markDirty();
    table.saveResults();
  }
}

TEST(SaveCrash, KilledAtRandomMomentsNeverLosesOrCorruptsResults) {
  testing::ScopedTempDir dir;
  std::mt19937 random(12345);
  int lastCount = 0;
  for (int round = 0; round < 25; ++round) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) saveForever();
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 30000));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);

    ResultTable table;
    ASSERT_TRUE(table.loadResults("results.txt") || lastCount == 0);
    // Saved results are never lost, and every record is whole.
    ASSERT_GE(table.count(), lastCount) << "round " << round;
    for (int i = 0; i < table.count(); ++i) ASSERT_EQ(table.record(i).time, i);
    std::istringstream enhanced(testing::readFile("enhanced.txt"));
    for (std::string line; std::getline(enhanced, line);) {
      ASSERT_FALSE(enhanced.eof()) << "a partial line ends enhanced.txt";
      ASSERT_EQ(line + "\n",
                formatRecordLine(ResultRecord{DESCRIPTION, 3000, 1, std::stoi(line.substr(2)), false}));
    }
    lastCount = table.count();
  }
  EXPECT_GT(lastCount, 0);
}

}  // namespace
}  // namespace bench
