// Full-size runs of the sequential disk tests through the bench binary:
// the exact output, a clean exit, no work files left, and a peak of the work
// files' total size within the catalogue's disk need.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "driver/catalogue.h"
#include "support/test_support.h"

namespace bench::testing {
namespace {

namespace fs = std::filesystem;

// True when `text` has the shape `pattern`: in the pattern '#' stands for
// one digit or space, '*' for one or more digits, and any other character
// for itself.
bool hasShape(const char* text, const char* pattern) {
  for (; *pattern != '\0'; ++pattern, ++text) {
    if (*pattern == '*') {
      if (!std::isdigit(static_cast<unsigned char>(*text))) return false;
      while (std::isdigit(static_cast<unsigned char>(text[1]))) ++text;
    } else if (*pattern == '#') {
      if (!std::isdigit(static_cast<unsigned char>(*text)) && *text != ' ') return false;
    } else if (*pattern != *text) {
      return false;
    }
  }
  return *text == '\0';
}

struct HeavyCase {
  const char* label;
  int test;
  std::vector<const char*> workFiles;
  std::string expectedOutput;  // a shape for hasShape
};

std::string mergeSortOutput(int megabytes) {
  std::string out = "init: random generator, bucket-sort\r";
  char line[64];
  for (int runs = 4096; runs >= 1; runs /= 2) {
    std::snprintf(line, sizeof line, "%17d %17d\r", runs, runs);
    out += line;
  }
  std::snprintf(line, sizeof line, "%17d %17d\r", 1, 0);
  out += line;
  return out + "Merge-sort on disk: OK, file size: " + std::to_string(megabytes) +
         " MB, elapsed time: *.## sec\n";
}

std::string waveletOutput(int firstMegabytes, int lastMegabytes) {
  std::string out;
  for (int i = 0; i < 8; ++i) out += "####.##";
  return out + "\nWavelet T-S transform on disk: arr: " + std::to_string(firstMegabytes) + "MB-" +
         std::to_string(lastMegabytes) + "MB, iter: 1-128, time: *.## sec\n";
}

class DiskTestsFullSize : public ::testing::TestWithParam<HeavyCase> {};

TEST_P(DiskTestsFullSize, RunsCleanlyWithinItsDiskNeed) {
  const HeavyCase& c = GetParam();
  ScopedTempDir dir;
  writeFile("results.txt", "");
  std::string command = std::string("'") + BENCH_BINARY + "' -b -c 1000 test -i " +
                        std::to_string(c.test) + " </dev/null >bench.out 2>bench.err";
  std::atomic<bool> done = false;
  int raw = -1;
  std::thread runner([&] {
    raw = std::system(command.c_str());
    done = true;
  });
  uintmax_t peak = 0;
  while (!done) {
    uintmax_t total = 0;
    for (const char* name : c.workFiles) {
      std::error_code missing;
      uintmax_t size = fs::file_size(name, missing);
      if (!missing) total += size;
    }
    if (total > peak) peak = total;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  runner.join();

  std::printf("test %d: peak work-file size %ju bytes\n", c.test, peak);
  RecordProperty("peak_work_file_bytes", std::to_string(peak));
  ASSERT_TRUE(WIFEXITED(raw));
  EXPECT_EQ(WEXITSTATUS(raw), 0);
  std::string out = readFile("bench.out");
  std::string err = withoutRunSummary(withoutClockWarnings(readFile("bench.err")));
  std::printf("%s", out.c_str());
  EXPECT_EQ(err, "");
  char runLine[64];
  std::snprintf(runLine, sizeof runLine, "Running tests \"%04X\" on \"test\" (1000 MHz):\n",
                testBit(c.test));
  std::string resultLine = std::string(61, ' ').replace(0, 4, "test") + "####*.###s     NEW\n";
  std::string expected = runLine + c.expectedOutput + resultLine;
  EXPECT_TRUE(hasShape(out.c_str(), expected.c_str())) << out;
  EXPECT_NE(readFile("results.txt").find(" 1000 test"), std::string::npos);
  for (const char* name : c.workFiles) EXPECT_FALSE(fs::exists(name)) << name;
  EXPECT_GT(peak, 0u);
  EXPECT_LE(peak, uintmax_t{catalogueEntry(c.test).diskMiB} * 1048576);
}

INSTANTIATE_TEST_SUITE_P(
    Tests, DiskTestsFullSize,
    ::testing::Values(
        HeavyCase{"MergeSort8",
                  8,
                  {"sort1.bin", "sort2.bin", "sort3.bin", "sort4.bin"},
                  mergeSortOutput(64)},
        HeavyCase{"WaveletOnDisk10", 10, {"s0.bin", "s1.bin", "d1.bin"}, waveletOutput(128, 1)},
        HeavyCase{"MergeSort19",
                  19,
                  {"sort1.bin", "sort2.bin", "sort3.bin", "sort4.bin"},
                  mergeSortOutput(512)},
        HeavyCase{"WaveletOnDisk20", 20, {"s0.bin", "s1.bin", "d1.bin"}, waveletOutput(1024, 8)}),
    [](const ::testing::TestParamInfo<HeavyCase>& param) { return param.param.label; });

}  // namespace
}  // namespace bench::testing
