// End-to-end behaviour of what only a person at a terminal sees: the line
// before each test and the countdown of the pause appear when standard
// error is a terminal, and never in a file or a pipe, where the summary
// and the diagnostics stay. The run's pauses take no time here.
#include <gtest/gtest.h>

#include <string>

#include "cli/bench_runner.h"
#include "cli/host_tools.h"
#include "support/test_support.h"

namespace bench::testing {
namespace {

const char* STATUS_LINE = "[1/1] Wavelet (T-S) transform in memory (int32[4M-2K] arrays) | about ";
const char* PAUSE_START = "\rpausing 20 s so the machine settles | 20 s ";
const char* PAUSE_END = "\rpausing 20 s so the machine settles | 1 s ";
const char* FIRST_RUN_LINES =
    "Error reading old result file \"results.txt\"!\n"
    "There is no \"results.txt\" here yet; a new result table will be created.\n";

TEST(TerminalCli, StatusAndPauseShowOnATerminalOnly) {
  REQUIRE_TOOL(haveCommand("python3"), "python3");
  for (const char* stderrTo : {"terminal", "file", "pipe"}) {
    ScopedTempDir dir;  // a first run: no result table yet
    const std::string bench =
        noPauseShellPrefix() + " " + benchShellCommand() + " -b -i 9 -c 1000 x";
    ASSERT_EQ(shell("python3 " + shellQuote(cliScript("in_terminal.py")) + " " + stderrTo + " " +
                    shellQuote(bench)),
              0)
        << stderrTo;
    const std::string terminal = readFile("terminal.txt");
    EXPECT_NE(terminal.find("Running tests \"0100\" on \"x\" (1000 MHz):"), std::string::npos)
        << terminal;
    const bool onTerminal = std::string(stderrTo) == "terminal";
    const std::string err = onTerminal ? terminal : readFile("stderr.txt");
    for (const char* shownOnlyThere : {STATUS_LINE, PAUSE_START, PAUSE_END}) {
      EXPECT_EQ(terminal.find(shownOnlyThere) != std::string::npos, onTerminal)
          << stderrTo << ": " << shownOnlyThere << "\n"
          << terminal;
    }
    EXPECT_NE(err.find("Summary: 1 test ran in "), std::string::npos) << stderrTo << "\n" << err;
    if (!onTerminal) {
      // Only the diagnostics a script always saw, and the summary.
      EXPECT_EQ(withoutClockWarnings(withoutRunSummary(err)), FIRST_RUN_LINES) << stderrTo;
    }
  }
}

}  // namespace
}  // namespace bench::testing
