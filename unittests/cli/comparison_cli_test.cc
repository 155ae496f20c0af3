// End-to-end behaviour of the comparisons of runs (-lc, -lv and their JSON
// forms): journals made by real runs or written by the test, the JSON read
// back by Python's strict parser, and every error a clear line on standard
// error with status 1.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/bench_runner.h"
#include "results/journal.h"
#include "support/test_support.h"

namespace bench::testing {
namespace {

// A journal line of test 16, repeated, with repetition times around
// `center` ms.
std::string line(const std::string& runId, const std::string& time, int32_t center,
                 const std::string& description = "Compare box", int32_t clock = 1000) {
  std::vector<int32_t> repetitions;
  for (int i = 0; i < 30; ++i) repetitions.push_back(center - 2 + i % 5);
  JournalEntry entry = repeatedRunEntry(16, time, runId, repetitions, description, clock);
  entry.title = "Regular expression test (4 x 16k matches on 32-byte strings)";
  return formatJournalLine(entry);
}

// The lines comparison_summary.py prints for the JSON in `file`; fails the
// test when Python cannot read it.
std::string summary(const std::string& file) {
  const std::string command = "python3 '" + std::string(BENCH_CLI_SCRIPTS) +
                              "/comparison_summary.py' " + file + " > summary.txt";
  const int raw = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << "Python could not read " << file;
  return readFile("summary.txt");
}

class ComparisonCli : public ::testing::Test {
 protected:
  ScopedTempDir dir_;
};

// Two real runs compared as the run summary suggests; test 9 is timed once,
// so its change is shown but not judged. (The clock is given: a measured
// one under an emulator or a heavy load may fall outside the record rule's
// spread, and the runs would be two systems.)
TEST_F(ComparisonCli, TwoRealRunsShowOneRow) {
  for (int i = 0; i < 2; ++i) {
    ASSERT_EQ(runBenchWithoutPause({"-bb", "-i", "9", "-c", "1000", "Compare box"}).status, 0);
  }
  BenchRun text = runBench({"-b", "-lc", "-c", "1000", "Compare box"});
  EXPECT_EQ(text.status, 0) << text.err;
  EXPECT_NE(text.out.find("\n 9 Wavelet (T-S) transform in memory "), std::string::npos)
      << text.out;
  // The row may end in a warning: under an emulator or a load the clocks
  // measured before the two runs can differ.
  EXPECT_NE(text.out.find("one run: not judged"), std::string::npos) << text.out;

  BenchRun json = runBench({"-lcj", "-c", "1000", "Compare box"});
  ASSERT_EQ(json.status, 0) << json.err;
  writeFile("comparison.json", json.out);
  const std::string lines = summary("comparison.json");
  EXPECT_EQ(lines.substr(0, 16), "9 not_judged nul") << lines;
  EXPECT_NE(lines.find("\nonly_before\nonly_now\n"), std::string::npos) << lines;
}

// Written journals: a slower run and a quiet one, here and in another
// journal, and what each command makes of them.
TEST_F(ComparisonCli, VerdictsAndPValuesOfWrittenJournals) {
  writeFile("runs.jsonl", line("a", "2026-01-01T00:00:00Z", 1000) +
                              line("b", "2026-01-02T00:00:00Z", 1100) +
                              line("x", "2026-01-02T00:00:00Z", 900, "Another box", 2000));
  writeFile("old.jsonl", line("c", "2025-12-01T00:00:00Z", 1100));
  writeFile("theirs.jsonl", line("d", "2025-12-01T00:00:00Z", 1000, "Their box", 4000) +
                                line("e", "2025-12-01T00:00:00Z", 1000, "Their box 2", 4000));
  struct {
    std::vector<std::string> args;
    std::string summary;
  } const cases[] = {
      {{"-lcj", "-c", "1000", "Compare box"}, "16 slower 2.42e-11 10.0 -\n"},
      {{"-lvj", "old.jsonl", "-c", "1000", "Compare box"}, "16 no_clear_change 1 0.0 -\n"},
      // -r takes the place of this system on both sides.
      {{"-lvj", "theirs.jsonl", "-r", "(Their box|Another.*)"},
       "16 faster 2.42e-11 -10.0 other_clock\n"},
  };
  for (const auto& c : cases) {
    BenchRun run = runBench(c.args);
    ASSERT_EQ(run.status, 0) << c.args[0] << ": " << run.err;
    writeFile("comparison.json", run.out);
    EXPECT_EQ(summary("comparison.json"), c.summary + "only_before\nonly_now\n") << c.args[0];
  }
  BenchRun text = runBench({"-b", "-lc", "-c", "1000", "Compare box"});
  EXPECT_NE(text.out.find("\n16 Regular expression test    1.000 s    30    1.100 s    30   "
                          "+10.0%  slower\n"),
            std::string::npos)
      << text.out;
}

TEST_F(ComparisonCli, EachErrorIsOneClearLineAndStatusOne) {
  const std::vector<std::string> thisBox = {"-c", "1000", "Compare box"};
  auto with = [&](std::vector<std::string> args) {
    args.insert(args.end(), thisBox.begin(), thisBox.end());
    return args;
  };
  struct {
    const char* name;
    std::string journal;  // runs.jsonl, or none
    std::vector<std::string> args;
    std::string err;
  } const cases[] = {
      {"no journal", "", with({"-lc"}), "Cannot read the journal \"runs.jsonl\": "},
      {"no other journal", line("a", "2026-01-01T00:00:00Z", 1000), with({"-lv", "missing.jsonl"}),
       "Cannot read the journal \"missing.jsonl\": "},
      {"-lv alone", "", {"-lv"}, "-lv needs the journal to compare with"},
      {"another system", line("a", "2026-01-01T00:00:00Z", 1000, "Other box"), with({"-lc"}),
       "No runs of \"Compare box\" (1000 MHz) in \"runs.jsonl\".\n"},
      {"one run only", line("a", "2026-01-01T00:00:00Z", 1000), with({"-lc"}),
       "Nothing to compare: no test has an earlier run of this system.\n"},
      {"several systems",
       line("a", "2026-01-01T00:00:00Z", 1000, "Box 1") +
           line("b", "2026-01-01T00:00:00Z", 1000, "Box 2"),
       {"-lc", "-r", "Box.*"},
       "\"runs.jsonl\" holds runs of 2 systems; choose one with -r <reg-exp>:\n"
       "  \"Box 1\" (1000 MHz)\n  \"Box 2\" (1000 MHz)\n"},
  };
  for (const auto& c : cases) {
    std::filesystem::remove("runs.jsonl");
    if (!c.journal.empty()) writeFile("runs.jsonl", c.journal);
    BenchRun run = runBench(c.args);
    EXPECT_EQ(run.status, 1) << c.name;
    EXPECT_NE(withoutClockWarnings(run.err).find(c.err), std::string::npos)
        << c.name << ": " << run.err;
  }
  // The single run is still named below its (empty) table.
  writeFile("runs.jsonl", line("a", "2026-01-01T00:00:00Z", 1000));
  EXPECT_NE(runBench(with({"-b", "-lc"})).out.find("No earlier run to compare with: test 16\n"),
            std::string::npos);
}

}  // namespace
}  // namespace bench::testing
