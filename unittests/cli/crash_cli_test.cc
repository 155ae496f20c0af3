// The real binary killed with SIGKILL at random moments of a run (during a
// test, around its save, during the pause) leaves a result table that loads
// completely with every result saved before the kill, and an enhanced.txt
// without a partial line.
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

namespace bench::testing {
namespace {

TEST(CrashCli, KilledAtRandomMomentsKeepsEverySavedResult) {
  ScopedTempDir dir;
  const std::string earlier = " 1    20000 3000 Saved earlier\n 9      500 3000 Saved earlier\n";
  writeFile("results.txt", earlier);
  std::mt19937 random(2026);
  int sawNewRecord = 0;
  for (int round = 0; round < 8; ++round) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      freopen("/dev/null", "w", stdout);
      // Test 9 takes well under a second; the 20-second pause follows.
      execl(BENCH_BINARY, BENCH_BINARY, "-b", "-c", "1000", "Killed box", "-i", "9",
            static_cast<char*>(nullptr));
      _exit(127);
    }
    // Early rounds kill inside the test, later ones around the save or in the pause.
    int delayMs = round < 4 ? static_cast<int>(random() % 600)
                            : 300 + static_cast<int>(random() % 3000);
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);

    std::string table = readFile("results.txt");
    ASSERT_EQ(table.substr(0, earlier.size()), earlier) << "round " << round;
    ResultTable loaded;
    ASSERT_TRUE(loaded.loadResults("results.txt"));
    std::string reformatted;
    for (int i = 0; i < loaded.count(); ++i) reformatted += formatRecordLine(loaded.record(i));
    EXPECT_EQ(reformatted, table) << "a line of results.txt is not a whole record";
    if (loaded.count() > 2) ++sawNewRecord;

    std::string enhanced = readFile("enhanced.txt");
    EXPECT_TRUE(enhanced.empty() || enhanced.back() == '\n') << "partial line in enhanced.txt";
  }
  EXPECT_GT(sawNewRecord, 0) << "no round got past the first save";
}

}  // namespace
}  // namespace bench::testing
