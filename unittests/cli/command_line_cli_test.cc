// End-to-end behaviour of the command line: usage, exit statuses, messages
// on the right stream, the one-shot commands.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/bench_runner.h"
#include "support/test_support.h"

namespace bench::testing {
namespace {

const char* BANNER_SECOND_LINE = "  Please send result file (results.txt) back to author!\n";

std::string expectedUsageTail() { return readFile(fixturePath("usage.txt")); }

TEST(CommandLineCli, NoArgumentsPrintsBannerAndUsageAndExitsOne) {
  ScopedTempDir dir;
  BenchRun run = runBench({});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out.rfind("KESTRO Bench 1.016-rev92", 0), 0u);
  std::string afterBanner = run.out.substr(run.out.find(BANNER_SECOND_LINE) +
                                           std::string(BANNER_SECOND_LINE).size());
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

const char* SAMPLE_RESULTS =
    " 1    20000 3000 Fast CPU\n"
    " 1    40000 1000 Slow CPU\n"
    " 5    10000 3000 Fast CPU\n";

TEST(CommandLineCli, MissingFilesAreReportedAndTheRunLineStillPrinted) {
  ScopedTempDir dir;
  // The limit leaves no test to run, so no test's 20-second measurement runs.
  BenchRun run = runBench({"-b", "-rv", "1k", "-i", "1"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "Running tests \"0000\" on \"undefined\" (0 MHz):\n");
  EXPECT_EQ(withoutClockWarnings(run.err),
            "CPU type & frequency were not specified in the command line,\n"
            "CPU file \"cpu.txt\" was not found => using default values [\"undefined\",0]!\n"
            "Use \"-c auto\" to measure the CPU clock and name the CPU.\n"
            "Error reading old result file \"results.txt\"!\n");
}

TEST(CommandLineCli, CpuFileGivesTheSystemUnlessTheCommandLineDoes) {
  ScopedTempDir dir;
  writeFile("cpu.txt", "1 2400 Example CPU 2.4 GHz\n");
  writeFile("results.txt", "");
  BenchRun fromFile = runBench({"-b", "-rd", "1", "0x10"});
  EXPECT_EQ(fromFile.out, "Running tests \"0000\" on \"Example CPU 2.4 GHz\" (2400 MHz):\n");
  EXPECT_EQ(withoutClockWarnings(fromFile.err), "");
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
  EXPECT_EQ(readFile("results.txt"),
            " 1    15000 3000 Fast CPU\n"
            " 1    40000 1000 Slow CPU\n"
            " 5    10000 3000 Fast CPU\n"
            " 9        1    1 New\n");
  EXPECT_EQ(readFile("enhanced.txt"), "");

  std::filesystem::remove("enhanced.txt");
  std::filesystem::create_directory("enhanced.txt");  // the save cannot succeed
  BenchRun unsaved = runBench({"-b", "-m", "theirs.txt"});
  EXPECT_EQ(unsaved.status, 0);
  EXPECT_EQ(unsaved.out, "");
  EXPECT_NE(unsaved.err.find("Cannot save the results: cannot open \"enhanced.txt\": Is a directory\n"),
            std::string::npos);
  EXPECT_EQ(readFile("results.txt").substr(0, 26), " 1    15000 3000 Fast CPU\n");

  BenchRun missing = runBench({"-b", "-m", "nothere.txt"});
  EXPECT_EQ(missing.status, 0);
  EXPECT_NE(missing.err.find("Cannot merge the \"nothere.txt\" file!\n"), std::string::npos);
}

TEST(CommandLineCli, MalformedOptionsAreReportedAndSkipped) {
  ScopedTempDir dir;
  writeFile("results.txt", "");
  // "-rq" consumes nothing, so "5" is the mask (tests 1 and 3), and "-l"
  // after it is ignored; the limit drops both tests so nothing is timed.
  BenchRun run = runBench({"-b", "-sx", "-q", "-rq", "-rv", "1", "5", "-l"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "Running tests \"0000\" on \"undefined\" (0 MHz):\n");
  EXPECT_EQ(withoutClockWarnings(run.err),
            "Error in sorting argument \"-sx\" (will be ignored)\n"
            "Unknown argument \"-q\" (will be ignored), type \"bench -h\" for help!\n"
            "Error in restricting argument \"-rq\" (will be ignored)\n"
            "CPU type & frequency were not specified in the command line,\n"
            "CPU file \"cpu.txt\" was not found => using default values [\"undefined\",0]!\n"
            "Use \"-c auto\" to measure the CPU clock and name the CPU.\n");
}

}  // namespace
}  // namespace bench::testing
