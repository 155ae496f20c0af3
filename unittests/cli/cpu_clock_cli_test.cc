// End-to-end behaviour of the measured clock: `-c auto` names the processor
// and shows a measured clock in the run line; a given clock far from the
// measured one is warned about on runs, not on the one-shot commands.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "cli/bench_runner.h"
#include "platform/cpu_clock.h"
#include "run/processor_name.h"
#include "support/test_support.h"

namespace bench::testing {
namespace {

const char* GIVEN_CLOCK_WARNING = "Warning: the given clock of 1 MHz differs by more than 10%";

int occurrences(const std::string& text, const std::string& part) {
  int count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// The clock shown in a run line "... (%d MHz):\n"; -1 when there is none.
long runLineClock(const std::string& out) {
  size_t open = out.rfind(" (");
  if (open == std::string::npos || out.find(" MHz):\n", open) == std::string::npos) return -1;
  return std::strtol(out.c_str() + open + 2, nullptr, 10);
}

class CpuClockCli : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!platform::hasAdditionChain()) GTEST_SKIP() << "no addition chain on this architecture";
    // A CPU file that must not be read once -c is given.
    writeFile("cpu.txt", "1 1234 From the file\n");
    writeFile("results.txt", "");
  }

  ScopedTempDir dir;
};

TEST_F(CpuClockCli, AutoNamesTheProcessorAndMeasuresItsClock) {
  struct Case {
    std::vector<std::string> args;
    std::string description;
  };
  const Case cases[] = {
      {{"-b", "-rv", "1", "-c", "auto"}, thisProcessorName()},
      {{"-b", "-rv", "1", "-c", "auto", "My box"}, "My box"},
  };
  for (const Case& c : cases) {
    BenchRun run = runBench(c.args);
    EXPECT_EQ(run.status, 0);
    std::string head = "Running tests \"0000\" on \"" + c.description + "\" (";
    EXPECT_EQ(run.out.rfind(head, 0), 0u) << run.out;
    long clock = runLineClock(run.out);
    EXPECT_GT(clock, 100) << run.out;
    EXPECT_NE(clock, 1234) << run.out;
    EXPECT_EQ(withoutClockWarnings(withoutRunSummary(run.err)), "") << run.err;
    EXPECT_EQ(occurrences(run.err, "Warning: the given clock"), 0) << run.err;
  }
}

// A clock of 1 MHz is off on any machine: runs warn once, whether the clock
// came from -c or from the CPU file; the one-shot commands never measure.
TEST_F(CpuClockCli, GivenClockFarFromTheMeasuredOneIsWarnedAboutOnRuns) {
  struct Case {
    std::vector<std::string> args;
    const char* cpuFile;
    int warnings;
  };
  const Case cases[] = {
      {{"-b", "-rv", "1", "-c", "1", "x"}, nullptr, 1},
      {{"-b", "-rv", "1"}, "1 1 Slow box\n", 1},
      {{"-b", "-l", "-c", "1", "x", "1"}, nullptr, 0},
      {{"-b", "-m", "results.txt", "-c", "1", "x"}, nullptr, 0},
  };
  for (const Case& c : cases) {
    if (c.cpuFile != nullptr) writeFile("cpu.txt", c.cpuFile);
    BenchRun run = runBench(c.args);
    EXPECT_EQ(run.status, 0) << c.args[1];
    EXPECT_EQ(occurrences(run.err, GIVEN_CLOCK_WARNING), c.warnings) << run.err;
    if (c.warnings > 0) {
      EXPECT_NE(run.err.find("\"ref\" compares systems by the clock given"), std::string::npos);
      EXPECT_NE(run.out.find("(1 MHz):\n"), std::string::npos) << "the given clock stays";
    }
  }
}

// Runs of one machine are one system: a measurement near the clock this
// processor already has in the table is recorded under that clock, while
// the same description 20% away is another system. The run line shows the
// clock every result of the run is recorded under.
TEST_F(CpuClockCli, MeasuredRunsOfOneMachineShareTheRecordedClock) {
  const std::vector<std::string> args = {"-b", "-rv", "1", "-c", "auto"};
  long first = runLineClock(runBench(args).out);
  ASSERT_GT(first, 100);
  const std::string name = thisProcessorName();
  writeFile("results.txt", " 5     1000 " + std::to_string(first) + " " + name + "\n");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(runLineClock(runBench(args).out), first);

  long faster = first * 6 / 5;
  writeFile("results.txt", " 5     1000 " + std::to_string(faster) + " " + name + "\n");
  long other = runLineClock(runBench(args).out);
  EXPECT_NE(other, faster);
  EXPECT_LT(other, first * 11 / 10);
}

// The page highlights the system a run would record.
TEST_F(CpuClockCli, PageWithAutoHighlightsThisProcessor) {
  long clock = runLineClock(runBench({"-b", "-rv", "1", "-c", "auto", "My box"}).out);
  ASSERT_GT(clock, 100);
  writeFile("results.txt", " 5     1000 " + std::to_string(clock) + " My box\n 5     2000 " +
                               std::to_string(clock) + " Other box\n");
  BenchRun page = runBench({"-lh", "-c", "auto", "My box"});
  EXPECT_EQ(page.status, 0);
  EXPECT_NE(page.out.find("This system: <b>My box</b>, " + std::to_string(clock) + " MHz"),
            std::string::npos);
  EXPECT_NE(page.out.find("<tr class=\"current\"><td class=\"desc\">My box"), std::string::npos);
  BenchRun json = runBench({"-lj", "-c", "auto", "My box"});
  EXPECT_NE(
      json.out.find("{\"description\": \"My box\", \"clock_mhz\": " + std::to_string(clock) + "}"),
      std::string::npos)
      << json.out.substr(0, 200);
}

}  // namespace
}  // namespace bench::testing
