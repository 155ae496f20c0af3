// End-to-end behaviour of the command line: usage, exit statuses, messages
// on the right stream, the one-shot commands.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/bench_runner.h"
#include "support/test_support.h"

namespace bench::testing {
namespace {

const char *BANNER_SECOND_LINE = "  Please send result file (results.txt) back to author!\n";

std::string expectedUsageTail() { return readFile(fixturePath("usage.txt")); }

TEST(CommandLineCli, NoArgumentsPrintsBannerAndUsageAndExitsOne) {
  ScopedTempDir dir;
  BenchRun run = runBench({});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out.rfind("KESTRO Bench 1.016-rev92", 0), 0u);
  std::string afterBanner =
      run.out.substr(run.out.find(BANNER_SECOND_LINE) + std::string(BANNER_SECOND_LINE).size());
  EXPECT_EQ(afterBanner, expectedUsageTail());
  EXPECT_EQ(run.err, "");
}

TEST(CommandLineCli, HelpStopsBeforeLaterArguments) {
  ScopedTempDir dir;
  BenchRun run = runBench({"-h", "-x", "1"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("Usage: bench"), std::string::npos);
  EXPECT_EQ(run.err, "");
}

TEST(CommandLineCli, SelfTestPassesAndIgnoresLaterArguments) {
  ScopedTempDir dir;
  BenchRun run = runBench({"-b", "-t", "-x"});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("KESTRO Bench"), std::string::npos);  // banner even in brief mode
  EXPECT_NE(run.out.find("RandomJames pseudo-random generator test: passed\n"), std::string::npos);
  EXPECT_NE(run.out.find("SHA-1 digest test: passed\n"), std::string::npos);
  EXPECT_EQ(run.err, "");
}

}  // namespace
}  // namespace bench::testing

namespace bench::testing {
namespace {

const char *SAMPLE_RESULTS =
    " 1    20000 3000 Fast CPU\n"
    " 1    40000 1000 Slow CPU\n"
    " 5    10000 3000 Fast CPU\n";

TEST(CommandLineCli, MissingFilesAreReportedAndTheRunLineStillPrinted) {
  ScopedTempDir dir;
  // The limit leaves no test to run, so no test's 20-second measurement runs.
  BenchRun run = runBench({"-b", "-rv", "1k", "-i", "1"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "Running tests \"0000\" on \"undefined\" (0 MHz):\n");
  EXPECT_EQ(withoutClockWarnings(withoutRunSummary(run.err)),
            "CPU type & frequency were not specified in the command line,\n"
            "CPU file \"cpu.txt\" was not found => using default values [\"undefined\",0]!\n"
            "Use \"-c auto\" to measure the CPU clock and name the CPU.\n"
            "Error reading old result file \"results.txt\"!\n"
            "There is no \"results.txt\" here yet; a new result table will be created.\n");
  EXPECT_NE(run.err.find("Summary: 0 tests ran in "), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("\n1 test was skipped for the memory or disk limits.\n"),
            std::string::npos);
}

// The first-run line is for a table that does not exist, and for the
// commands that write one; a table that is there but cannot be read gets
// the error alone, on every system, and is not replaced.
TEST(CommandLineCli, OnlyAMissingTableIsAFirstRun) {
  const std::string firstRun =
      "There is no \"results.txt\" here yet; a new result table will be created.\n";
  struct Case {
    std::vector<std::string> args;
    bool firstRunLine;
  };
  const Case cases[] = {
      {{"-b", "-rv", "1", "-c", "1", "x"}, true},
      {{"-b", "-m", "theirs.txt"}, true},
      {{"-b", "-l"}, false},
      {{"-lj"}, false},
  };
  for (const Case &c : cases) {
    ScopedTempDir dir;
    writeFile("theirs.txt", " 1    15000 3000 Fast CPU\n");
    BenchRun run = runBench(c.args);
    EXPECT_NE(run.err.find("Error reading old result file \"results.txt\"!\n"), std::string::npos)
        << c.args[1];
    EXPECT_EQ(run.err.find(firstRun) != std::string::npos, c.firstRunLine) << c.args[1] << run.err;
  }

  // A directory, and a link that points at itself: the reason is not that
  // the file is missing.
  for (const char *obstacle : {"directory", "link"}) {
    ScopedTempDir dir;
    std::error_code failed;
    if (std::string(obstacle) == "directory") {
      std::filesystem::create_directory("results.txt");
    } else {
      std::filesystem::create_symlink("results.txt", "results.txt", failed);
      if (failed) continue;  // no symbolic links for this user here
    }
    writeFile("theirs.txt", " 1    15000 3000 Fast CPU\n");
    BenchRun run = runBench({"-b", "-m", "theirs.txt"});
    EXPECT_EQ(run.status, 1) << obstacle;
    EXPECT_EQ(run.err.find(firstRun), std::string::npos) << obstacle << run.err;
    EXPECT_NE(run.err.find("Error reading old result file \"results.txt\"!\n"), std::string::npos)
        << obstacle << run.err;
    EXPECT_NE(run.err.find("Cannot save the results: \"results.txt\" could not be read whole ("),
              std::string::npos)
        << obstacle << run.err;
  }
}

TEST(CommandLineCli, CpuFileGivesTheSystemUnlessTheCommandLineDoes) {
  ScopedTempDir dir;
  writeFile("cpu.txt", "1 2400 Example CPU 2.4 GHz\n");
  writeFile("results.txt", "");
  BenchRun fromFile = runBench({"-b", "-rd", "1", "0x10"});
  EXPECT_EQ(fromFile.out, "Running tests \"0000\" on \"Example CPU 2.4 GHz\" (2400 MHz):\n");
  EXPECT_EQ(withoutClockWarnings(withoutRunSummary(fromFile.err)), "");
  BenchRun fromArgs = runBench({"-b", "-rd", "1", "-c", "3000", "My box", "0x10"});
  EXPECT_EQ(fromArgs.out, "Running tests \"0000\" on \"My box\" (3000 MHz):\n");
}

TEST(CommandLineCli, ListingPrintsEverySelectedTestInOrder) {
  ScopedTempDir dir;
  writeFile("results.txt", SAMPLE_RESULTS);
  BenchRun run = runBench({"-b", "-l", "0x11"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "\n  1: Eratosthen (5555555-th prime number):\n"
            "Fast CPU                                                    20.00s, ref:  60.00\n"
            "Slow CPU                                                    40.00s, ref:  40.00\n"
            "\n  5: Needle-throwing simulation (Monte-Carlo, 100M iterations):\n"
            "Fast CPU                                                    10.00s, ref:  30.00\n");
  BenchRun sorted = runBench({"-b", "-sar", "-l", "1"});
  EXPECT_LT(sorted.out.find("Slow CPU"), sorted.out.find("Fast CPU"));
  BenchRun all = runBench({"-bb", "-ls"});
  size_t headings = 0;
  for (size_t at = all.out.find(",Clock[MHz],Time[s],Ref\n"); at != std::string::npos;
       at = all.out.find(",Clock[MHz],Time[s],Ref\n", at + 1)) {
    ++headings;
  }
  EXPECT_EQ(headings, 24u);
  EXPECT_EQ(all.out.find("  1:"), std::string::npos);
}

TEST(CommandLineCli, MergeKeepsTheBestTimeAndRewritesTheTable) {
  ScopedTempDir dir;
  writeFile("results.txt", SAMPLE_RESULTS);
  writeFile("theirs.txt", " 1    15000 3000 Fast CPU\n 1    18000 3000 Fast CPU\n 9 1 1 New\n");
  BenchRun run = runBench({"-b", "-m", "theirs.txt"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "OK merging the \"theirs.txt\" file. 1 items were enhanced.\n");
  EXPECT_EQ(readTextFile("results.txt"),
            " 1    15000 3000 Fast CPU\n"
            " 1    40000 1000 Slow CPU\n"
            " 5    10000 3000 Fast CPU\n"
            " 9        1    1 New\n");
  EXPECT_EQ(readTextFile("enhanced.txt"), "");

  std::filesystem::remove("enhanced.txt");
  std::filesystem::create_directory("enhanced.txt");  // the save cannot succeed
  BenchRun unsaved = runBench({"-b", "-m", "theirs.txt"});
  EXPECT_EQ(unsaved.status, 1);
  EXPECT_EQ(unsaved.out, "");
  std::string reason = std::strerror(directoryOpenErrno("ab"));
  EXPECT_NE(
      unsaved.err.find("Cannot save the results: cannot open \"enhanced.txt\": " + reason + "\n"),
      std::string::npos)
      << unsaved.err;
  EXPECT_EQ(readTextFile("results.txt").substr(0, 26), " 1    15000 3000 Fast CPU\n");

  BenchRun missing = runBench({"-b", "-m", "nothere.txt"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("Cannot merge the \"nothere.txt\" file!\n"), std::string::npos);
}

// A description may hold byte 0x1A, which Windows' text mode reads as the
// end of a file: a merge takes every record of both files, whatever their
// line ends.
TEST(CommandLineCli, MergeKeepsEveryRecordAfterAByteOneA) {
  ScopedTempDir dir;
  writeFile("results.txt",
            withSystemLineEnds(" 1    20000 3000 Own\x1a box\n 5    10000 3000 Own later\n"));
  writeFile("theirs.txt", " 1    15000 3000 Their\x1a box\r\n 9        1    1 Their later\r\n");
  BenchRun run = runBench({"-b", "-m", "theirs.txt"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "OK merging the \"theirs.txt\" file. 0 items were enhanced.\n");
  EXPECT_EQ(readFile("results.txt"), withSystemLineEnds(" 1    20000 3000 Own\x1a box\n"
                                                        " 5    10000 3000 Own later\n"
                                                        " 1    15000 3000 Their\x1a box\n"
                                                        " 9        1    1 Their later\n"));
}

TEST(CommandLineCli, MalformedOptionsAreReportedAndSkipped) {
  ScopedTempDir dir;
  writeFile("results.txt", "");
  // "-rq" consumes nothing, so "5" is the mask (tests 1 and 3), and "-l"
  // after it is ignored; the limit drops both tests so nothing is timed.
  BenchRun run = runBench({"-b", "-sx", "-q", "-rq", "-rv", "1", "5", "-l"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "Running tests \"0000\" on \"undefined\" (0 MHz):\n");
  EXPECT_EQ(withoutClockWarnings(withoutRunSummary(run.err)),
            "Error in sorting argument \"-sx\" (will be ignored)\n"
            "Unknown argument \"-q\" (will be ignored), type \"bench -h\" for help!\n"
            "Error in restricting argument \"-rq\" (will be ignored)\n"
            "CPU type & frequency were not specified in the command line,\n"
            "CPU file \"cpu.txt\" was not found => using default values [\"undefined\",0]!\n"
            "Use \"-c auto\" to measure the CPU clock and name the CPU.\n");
}

}  // namespace
}  // namespace bench::testing

namespace bench::testing {
namespace {

// Real tables saved by the Linux build (line ends "\n") and by the Windows
// build ("\r\n") load and merge in either build, and the merged table is
// saved with this system's line ends and no stray carriage return.
TEST(CommandLineCli, TablesSavedByEitherSystemMergeIntoEachOther) {
  struct Case {
    const char *own;
    const char *theirs;
    const char *firstBox;
    const char *secondBox;
  };
  const Case cases[] = {
      {"results_linux.txt", "results_windows.txt", "Linux box", "Windows box"},
      {"results_windows.txt", "results_linux.txt", "Windows box", "Linux box"},
  };
  const std::string linuxTable =
      " 4    17920 1000 Linux box\n11     6011 1000 Linux box\n"
      "16     8828 1000 Linux box\n";
  const std::string windowsTable =
      " 4    18113 1000 Windows box\n11     4579 1000 Windows box\n"
      "16     8301 1000 Windows box\n";
  for (const Case &c : cases) {
    ScopedTempDir dir;
    writeFile("results.txt", readFile(fixturePath(c.own)));
    writeFile("theirs.txt", readFile(fixturePath(c.theirs)));
    BenchRun merge = runBench({"-b", "-m", "theirs.txt"});
    EXPECT_EQ(merge.status, 0) << c.own;
    EXPECT_EQ(merge.out, "OK merging the \"theirs.txt\" file. 0 items were enhanced.\n") << c.own;
    bool linuxFirst = std::string(c.firstBox) == "Linux box";
    EXPECT_EQ(readFile("results.txt"), withSystemLineEnds(linuxFirst ? linuxTable + windowsTable
                                                                     : windowsTable + linuxTable))
        << c.own;

    BenchRun listing = runBench({"-bb", "-ls", "0x8408"});
    std::string first = std::string("\"") + c.firstBox + "\"";
    std::string second = std::string("\"") + c.secondBox + "\"";
    auto row = [&](const std::string &box, const char *time) {
      return box + ",1000," + time + "," + time + "\n";
    };
    auto times = [&](const std::string &box, const char *linuxTime, const char *windowsTime) {
      return row(box, box == "\"Linux box\"" ? linuxTime : windowsTime);
    };
    EXPECT_EQ(listing.out,
              "\n\"  Arbitrage sequence lookup (double[12][12] "
              "matrix):\",Clock[MHz],Time[s],Ref\n" +
                  times(first, "17.92", "18.11") + times(second, "17.92", "18.11") +
                  "\n\"  Adaptive K-D tree on disk (150K "
                  "operations):\",Clock[MHz],Time[s],Ref\n" +
                  times(first, "6.01", "4.58") + times(second, "6.01", "4.58") +
                  "\n\"  Regular expression test (4 x 4k matches on 32-byte "
                  "strings):\","
                  "Clock[MHz],Time[s],Ref\n" +
                  times(first, "8.83", "8.30") + times(second, "8.83", "8.30"))
        << c.own;
  }
}

}  // namespace
}  // namespace bench::testing
