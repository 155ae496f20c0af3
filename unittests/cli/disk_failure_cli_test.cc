// End-to-end behaviour of the disk tests when their work files cannot be
// created or written: the reason on standard error, no result recorded,
// exit status 11, no work files left behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/bench_runner.h"
#include "support/test_support.h"

namespace bench::testing {
namespace {

namespace fs = std::filesystem;

const char* RESULTS = "10     2329 1000 other\n";

// Runs `bench -b -c 1000 test -i <test>` in the current directory, under a
// file-size limit when `fileSizeLimit` is not 0.
BenchRun runDiskTest(int test, unsigned long fileSizeLimit) {
  return runBench({"-b", "-c", "1000", "test", "-i", std::to_string(test)}, fileSizeLimit);
}

std::vector<std::string> filesIn(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

enum class Obstacle { FILE_SIZE_LIMIT, DIRECTORY_IN_THE_WAY, UNWRITABLE_DIRECTORY };

struct FailureCase {
  const char* label;
  int test;
  Obstacle obstacle;
  const char* blockedName;  // the work file that fails
  const char* operation;
  int reason;
};

class DiskTestFailureCli : public ::testing::TestWithParam<FailureCase> {};

TEST_P(DiskTestFailureCli, ReportsTheFileRecordsNothingAndExitsEleven) {
  const FailureCase& c = GetParam();
  if (c.obstacle == Obstacle::UNWRITABLE_DIRECTORY && geteuid() == 0) {
    GTEST_SKIP() << "directory permissions do not stop root";
  }
  ScopedTempDir dir;
  writeFile("results.txt", RESULTS);
  std::vector<std::string> before = {"results.txt"};
  unsigned long limit = 0;
  switch (c.obstacle) {
    case Obstacle::FILE_SIZE_LIMIT:
      limit = 1 << 20;
      break;
    case Obstacle::DIRECTORY_IN_THE_WAY:
      fs::create_directory(c.blockedName);
      writeFile(std::string(c.blockedName) + "/keep", "x");
      before.push_back(c.blockedName);
      break;
    case Obstacle::UNWRITABLE_DIRECTORY:
      fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
      break;
  }

  BenchRun run = runDiskTest(c.test, limit);
  fs::permissions(dir.path(), fs::perms::owner_all);

  EXPECT_EQ(run.status, 11);
  EXPECT_EQ(withoutClockWarnings(withoutRunSummary(run.err)),
            std::string("Cannot ") + c.operation + " work file \"" + c.blockedName +
                "\": " + std::strerror(c.reason) + "\n");
  EXPECT_EQ(run.out.find("Running tests"), 0u);
  EXPECT_EQ(run.out.find("NEW"), std::string::npos);
  EXPECT_EQ(run.out.find("time:"), std::string::npos);
  EXPECT_EQ(readFile("results.txt"), RESULTS);
  std::sort(before.begin(), before.end());
  EXPECT_EQ(filesIn(dir.path()), before);  // no work files, no enhanced.txt
}

INSTANTIATE_TEST_SUITE_P(
    Obstacles, DiskTestFailureCli,
    ::testing::Values(FailureCase{"MergeSortFileSizeLimit", 8, Obstacle::FILE_SIZE_LIMIT,
                                  "sort3.bin", "write", EFBIG},
                      FailureCase{"WaveletFileSizeLimit", 10, Obstacle::FILE_SIZE_LIMIT, "s0.bin",
                                  "write", EFBIG},
                      FailureCase{"MergeSortDirectoryInTheWay", 8, Obstacle::DIRECTORY_IN_THE_WAY,
                                  "sort4.bin", "create", EISDIR},
                      FailureCase{"WaveletDirectoryInTheWay", 10, Obstacle::DIRECTORY_IN_THE_WAY,
                                  "s1.bin", "create", EISDIR},
                      FailureCase{"MergeSortUnwritableDirectory", 8, Obstacle::UNWRITABLE_DIRECTORY,
                                  "sort1.bin", "create", EACCES},
                      FailureCase{"WaveletUnwritableDirectory", 10, Obstacle::UNWRITABLE_DIRECTORY,
                                  "s0.bin", "create", EACCES}),
    [](const ::testing::TestParamInfo<FailureCase>& param) { return param.param.label; });

}  // namespace
}  // namespace bench::testing
