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

// The clock a run measured and the one it recorded: the note on standard
// error names both when they differ; otherwise the run line shows both.
struct RunClocks {
  long measured;
  long recorded;
};

RunClocks runClocks(const BenchRun& run) {
  long recorded = runLineClock(run.out);
  size_t note = run.err.find("Clock: measured ");
  if (note == std::string::npos) return {recorded, recorded};
  return {std::strtol(run.err.c_str() + note + 16, nullptr, 10), recorded};
}

// Runs of one machine are one system: a measurement near the clock this
// processor already has in the table is recorded under that clock, while
// the same description 20% away is another system. The run line shows the
// clock every result of the run is recorded under. How near is near is
// judged from each run's own measurement, which a busy machine may lower.
TEST_F(CpuClockCli, MeasuredRunsOfOneMachineShareTheRecordedClock) {
  const std::vector<std::string> args = {"-b", "-rv", "1", "-c", "auto"};
  const long first = runLineClock(runBench(args).out);
  ASSERT_GT(first, 100);
  const std::string name = thisProcessorName();
  for (long stored : {first, first * 6 / 5}) {
    writeFile("results.txt", " 5     1000 " + std::to_string(stored) + " " + name + "\n");
    for (int i = 0; i < 3; ++i) {
      RunClocks clocks = runClocks(runBench(args));
      ASSERT_GT(clocks.measured, 100);
      const bool near = std::labs(stored - clocks.measured) * 100 <= clocks.measured * 5;
      if (near) {
        EXPECT_EQ(clocks.recorded, stored) << clocks.measured;
      } else {
        EXPECT_EQ(clocks.recorded, (clocks.measured + 5) / 10 * 10) << clocks.measured;
      }
    }
  }
}

// The page and the JSON name and highlight the system a run would record:
// of this description's records at clocks 50 MHz apart around the measured
// clock, the one the measurement lands near.
TEST_F(CpuClockCli, PageWithAutoHighlightsThisProcessor) {
  const long clock = runLineClock(runBench({"-b", "-rv", "1", "-c", "auto", "My box"}).out);
  ASSERT_GT(clock, 1000);
  std::string table;
  for (long mhz = clock - 800; mhz <= clock + 800; mhz += 50) {
    table += " 5     1000 " + std::to_string(mhz) + " My box\n";
  }
  writeFile("results.txt", table);
  auto listed = [&](long mhz) {
    return mhz >= clock - 800 && mhz <= clock + 800 && mhz % 50 == clock % 50;
  };

  BenchRun page = runBench({"-lh", "-c", "auto", "My box"});
  EXPECT_EQ(page.status, 0);
  const std::string head = "This system: <b>My box</b>, ";
  size_t at = page.out.find(head);
  ASSERT_NE(at, std::string::npos);
  const long shown = std::strtol(page.out.c_str() + at + head.size(), nullptr, 10);
  EXPECT_TRUE(listed(shown)) << shown;
  EXPECT_EQ(occurrences(page.out, "<tr class=\"current\"><td class=\"desc\">My box"), 1);

  BenchRun json = runBench({"-lj", "-c", "auto", "My box"});
  const std::string system = "{\"description\": \"My box\", \"clock_mhz\": ";
  at = json.out.find(system);
  ASSERT_NE(at, std::string::npos) << json.out.substr(0, 200);
  EXPECT_TRUE(listed(std::strtol(json.out.c_str() + at + system.size(), nullptr, 10)));
}

}  // namespace
}  // namespace bench::testing
