// End-to-end behaviour of the run journal: the lines real runs write read
// back with Python's strict JSON parser; the one-shot commands write none;
// another folder's journal merges into the table and the journal once; a
// journal that cannot be written costs one warning, not the run.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/bench_runner.h"
#include "support/test_support.h"

namespace bench::testing {
namespace {

// The summary that journal_summary.py prints of `journal`, one line per
// journal line; fails the test when Python cannot read it.
std::vector<std::string> summary(const std::string& journal) {
  std::string out = std::filesystem::absolute("summary.txt").string();
  std::string command = "python3 '" + std::string(BENCH_CLI_SCRIPTS) + "/journal_summary.py' '" +
                        journal + "' > '" + out + "'";
  int raw = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << "Python could not read " << journal;
  std::vector<std::string> lines;
  std::istringstream text(readFile("summary.txt"));
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  std::filesystem::remove("summary.txt");
  return lines;
}

std::string field(const std::string& line, int index) {
  std::istringstream words(line);
  std::string word;
  for (int i = 0; i <= index; ++i) words >> word;
  return word;
}

class JournalCli : public ::testing::Test {
 protected:
  ScopedTempDir dir_;
};

TEST_F(JournalCli, EveryRecordedResultLeavesALineThatPythonReads) {
  const std::vector<std::string> args = {"-b", "-i", "9", "-c", "1000", "Journal box"};
  BenchRun first = runBenchWithoutPause(args);
  BenchRun second = runBenchWithoutPause(args);
  ASSERT_EQ(first.status, 0) << first.err;
  ASSERT_EQ(second.status, 0) << second.err;
  std::vector<std::string> lines = summary("runs.jsonl");
  ASSERT_EQ(lines.size(), 2u);
  for (const std::string& line : lines) {
    EXPECT_EQ(field(line, 0), "9");
    EXPECT_EQ(field(line, 2) + " " + field(line, 3), "once 1") << line;
    EXPECT_NE(line.find(" given "), std::string::npos) << line;
    EXPECT_NE(line.find("| Wavelet T-S transform: arr: 16MB-8KB"), std::string::npos) << line;
  }
  // The second run's summary tells how to compare it with the first.
  const std::string compare =
      "Compare it with the earlier run: bench -lc -c 1000 \"Journal box\"\n";
  EXPECT_EQ(first.err.find(compare), std::string::npos) << first.err;
  EXPECT_NE(second.err.find(compare), std::string::npos) << second.err;
  EXPECT_EQ(field(lines[0], 1), "new");
  EXPECT_NE(field(lines[1], 1), "new");
  EXPECT_NE(field(lines[0], 4), field(lines[1], 4)) << "each run has its own id";
}

TEST_F(JournalCli, OneShotCommandsWriteNothing) {
  writeFile("results.txt", " 9      500 1000 Journal box\n");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"-l"}, {"-lh"}, {"-lj"}, {"-lc"}, {"-t"}, {"-m", "results.txt"}}) {
    runBench(args);
    EXPECT_FALSE(std::filesystem::exists("runs.jsonl")) << args[0];
  }
}

// Another folder's journal merges into this table as a result file would,
// and into this journal without duplicates.
TEST_F(JournalCli, AnotherJournalMergesIntoTableAndJournalOnce) {
  std::filesystem::create_directory("other");
  std::filesystem::current_path("other");
  ASSERT_EQ(runBenchWithoutPause({"-bb", "-i", "9", "-c", "2000", "Other box"}).status, 0);
  ASSERT_EQ(runBenchWithoutPause({"-bb", "-i", "9", "-c", "2400", "Other box"}).status, 0);
  std::filesystem::current_path("..");
  ASSERT_EQ(runBenchWithoutPause({"-bb", "-i", "9", "-c", "3000", "My box"}).status, 0);

  for (int round = 0; round < 2; ++round) {
    BenchRun merge = runBench({"-b", "-m", "other/runs.jsonl"});
    EXPECT_EQ(merge.status, 0);
    EXPECT_EQ(merge.out, "OK merging the \"other/runs.jsonl\" file. 0 items were enhanced.\n");
    std::string table = readTextFile("results.txt");
    EXPECT_NE(table.find(" 9 "), std::string::npos);
    EXPECT_NE(table.find("2000 Other box\n"), std::string::npos) << table;
    EXPECT_NE(table.find("3000 My box\n"), std::string::npos) << table;
    EXPECT_EQ(summary("runs.jsonl").size(), 3u) << "round " << round;
  }
}

TEST_F(JournalCli, UnwritableJournalCostsOneWarningNotTheRun) {
  std::filesystem::create_directory("runs.jsonl");
  BenchRun run = runBenchWithoutPause({"-b", "-i", "9", "-c", "1000", "Journal box"});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.err.find("Cannot add to the journal: cannot open \"runs.jsonl\": "),
            std::string::npos)
      << run.err;
  EXPECT_NE(readTextFile("results.txt").find("1000 Journal box"), std::string::npos);
}

}  // namespace
}  // namespace bench::testing
