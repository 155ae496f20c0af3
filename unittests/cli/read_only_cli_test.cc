// The result table in a directory where nothing can be written: the failure
// is reported, the table on disk stays as it was, and a merge or a run that
// could not save its results ends with status 1 or 11.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "cli/bench_runner.h"
#include "support/test_support.h"

namespace bench::testing {
namespace {

// Makes the current directory unwritable for the test's lifetime: by its
// mode for an ordinary user, by the immutable attribute for root (whom modes
// do not stop). `locked()` is false when neither works here.
class ScopedReadOnlyDirectory {
 public:
  ScopedReadOnlyDirectory() {
    if (geteuid() == 0) {
      immutable_ = std::system("chattr +i . 2>/dev/null") == 0;
      locked_ = immutable_;
    } else {
      std::filesystem::permissions(
          ".", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
      locked_ = true;
    }
  }
  ~ScopedReadOnlyDirectory() {
    if (immutable_) {
      [[maybe_unused]] int ignored = std::system("chattr -i . 2>/dev/null");
    }
    std::filesystem::permissions(".", std::filesystem::perms::owner_all);
  }
  bool locked() const { return locked_; }

 private:
  bool immutable_ = false;
  bool locked_ = false;
};

const char* TABLE = " 9   999999 3000 Older box\n";

TEST(ReadOnlyCli, MergeThatCannotSaveSaysSoAndKeepsTheTable) {
  ScopedTempDir dir;
  writeFile("results.txt", TABLE);
  writeFile("theirs.txt", " 9        5 3000 Older box\n");
  ScopedReadOnlyDirectory readOnly;
  if (!readOnly.locked()) GTEST_SKIP() << "cannot make a directory read-only here";
  BenchRun run = runBench({"-b", "-c", "1", "x", "-m", "theirs.txt"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("Cannot save the results: cannot open \"enhanced.txt\": "),
            std::string::npos);
  EXPECT_EQ(readFile("results.txt"), TABLE);
}

TEST(ReadOnlyCli, RunThatCannotSaveEndsWithStatusEleven) {
  ScopedTempDir dir;
  writeFile("results.txt", TABLE);
  ScopedReadOnlyDirectory readOnly;
  if (!readOnly.locked()) GTEST_SKIP() << "cannot make a directory read-only here";
  // Test 9 is the quickest test; its pause is skipped.
  BenchRun run = runBenchWithoutPause({"-bb", "-c", "3000", "Older box", "-i", "9"});
  EXPECT_EQ(run.status, 11);
  EXPECT_NE(run.out.find(" 9 Older box"), std::string::npos);
  EXPECT_NE(run.err.find("Cannot save the results: cannot open \"enhanced.txt\": "),
            std::string::npos);
  EXPECT_NE(run.err.find("The results of this run were not saved to \"results.txt\"!\n"),
            std::string::npos);
  EXPECT_EQ(readFile("results.txt"), TABLE);
}

}  // namespace
}  // namespace bench::testing
