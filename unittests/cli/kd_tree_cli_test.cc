// End-to-end behaviour of the K-D tree test when its file cannot grow: the
// run stops with a diagnostic, records nothing and exits with status 11.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "cli/bench_runner.h"
#include "support/test_support.h"

namespace bench::testing {
namespace {

TEST(KdTreeCli, TreeFileThatCannotGrowStopsTheTestAndRecordsNothing) {
  ScopedTempDir dir;
  // A file-size limit looks to the program like a full disk.
  BenchRun run = runBench({"-b", "-i", "11", "-c", "1000", "Limited disk"}, 1 << 20);
  EXPECT_EQ(run.status, 11);
  // Blocks are appended in order; block 256 is the first beyond 1 MiB.
  // (The run also notes that there was no result file to read.)
  std::string expected =
      std::string("akd-tree.bin: cannot write block 256: ") + std::strerror(EFBIG) + "\n";
  EXPECT_NE(run.err.find(expected), std::string::npos) << run.err;
  EXPECT_EQ(run.out.find("Adaptive K-D tree on disk:"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("Limited disk "), std::string::npos) << run.out;
  EXPECT_FALSE(std::filesystem::exists("akd-tree.bin"));
  EXPECT_EQ(readFile("results.txt").find("Limited disk"), std::string::npos);
}

}  // namespace
}  // namespace bench::testing
