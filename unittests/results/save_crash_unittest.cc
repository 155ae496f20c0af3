// A process killed at any moment while it saves leaves a result table that
// loads completely and holds every result saved before the kill, and an
// enhanced.txt without a partial line.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
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
  // The kill lands at a random moment within `window`. Until a first save
  // has landed, each round widens it, so that on a slow machine (or under an
  // emulator) the kills still fall among saves, not all before the first.
  uint32_t window = 30000;
  for (int round = 0; round < 25; ++round) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) saveForever();
    std::this_thread::sleep_for(std::chrono::microseconds(random() % window));
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
      ASSERT_EQ(line + "\n", formatRecordLine(ResultRecord{DESCRIPTION, 3000, 1,
                                                           std::stoi(line.substr(2)), false}));
    }
    if (table.count() == 0 && window < 1000000) window *= 2;
    lastCount = table.count();
  }
  EXPECT_GT(lastCount, 0);
}

TEST(SaveCrash, FileSizeLimitDuringASaveLeavesTheTableWhole) {
  testing::ScopedTempDir dir;
  const std::string previous = " 1       50  100 old\n";
  testing::writeFile("results.txt", previous);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Writes beyond 1000 bytes fail with EFBIG instead of killing the process.
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{1000, 1000};
    setrlimit(RLIMIT_FSIZE, &limit);
    ResultTable table;
    table.loadResults("results.txt");
    for (int i = 0; i < 100; ++i) table.append(DESCRIPTION, 3000, 1, i, true);
    table.markDirty();
    bool saved = table.saveResults();
    bool reported = table.saveFailure().find("File too large") != std::string::npos;
    _exit(!saved && table.dirty() && reported ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the save did not fail cleanly";
  EXPECT_EQ(testing::readFile("results.txt"), previous);
  EXPECT_EQ(testing::readFile("enhanced.txt"), "");
  int entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(entries, 2) << "a temporary file was left behind";
}

}  // namespace
}  // namespace bench
