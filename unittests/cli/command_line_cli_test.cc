// End-to-end behaviour of the command line: usage, exit statuses, messages
// on the right stream, the one-shot commands.
#include <gtest/gtest.h>

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
