// Ctrl-C (or a termination request) during a disk test removes that test's
// work files, and the results saved before it stay.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "cli/bench_runner.h"
#include "support/test_support.h"

namespace bench::testing {
namespace {

bool waitForFile(const char* name) {
  for (int i = 0; i < 2000; ++i) {
    if (std::filesystem::exists(name)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

TEST(InterruptCli, SignalDuringADiskTestRemovesItsWorkFiles) {
  struct Case {
    const char* test;
    const char* watched;  // a work file that exists while the test runs
    std::vector<const char*> workFiles;
  };
  const Case cases[] = {
      {"8", "sort4.bin", {"sort1.bin", "sort2.bin", "sort3.bin", "sort4.bin"}},
      {"10", "d1.bin", {"s0.bin", "s1.bin", "d1.bin"}},
      {"11", "akd-tree.bin", {"akd-tree.bin"}},
  };
  for (const Case& c : cases) {
    for (int signalNumber : {SIGINT, SIGTERM}) {
      ScopedTempDir dir;
      const std::string saved = " 1    20000 3000 Saved earlier\n";
      writeFile("results.txt", saved);
      pid_t child = startBench({"-b", "-c", "1000", "x", "-i", c.test});
      ASSERT_GT(child, 0);
      ASSERT_TRUE(waitForFile(c.watched)) << c.test;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      kill(child, signalNumber);
      int status = 0;
      waitpid(child, &status, 0);
      EXPECT_TRUE(WIFSIGNALED(status)) << c.test;
      EXPECT_EQ(WTERMSIG(status), signalNumber) << c.test;
      for (const char* file : c.workFiles) {
        EXPECT_FALSE(std::filesystem::exists(file)) << c.test << " left " << file;
      }
      EXPECT_EQ(readFile("results.txt"), saved) << c.test;
    }
  }
}

}  // namespace
}  // namespace bench::testing
