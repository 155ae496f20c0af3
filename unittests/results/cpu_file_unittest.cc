#include "results/cpu_file.h"

#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace bench {
namespace {

TEST(ReadCpuFile, TakesTheClockAndTheRestOfTheFirstLine) {
  testing::ScopedTempDir dir;
  struct Case {
    std::string contents;
    int32_t clock;
    std::string description;
  };
  const Case cases[] = {
      {"1 2400 Example CPU 2.4 GHz\nsecond line\n", 2400, "Example CPU 2.4 GHz"},
      {"1 2400", 2400, ""},
      {"1 2400 trailing blanks  \n", 2400, "trailing blanks  "},
      {"\n\n  word   3000\t  spaced\r\n", 3000, "spaced"},
      {"word notanumber rest\n", 77, "notanumber rest"},
      {"1 99999999999 big\n", INT32_MAX, "big"},
      {"1 1000 " + std::string(200, 'z') + "\n", 1000, std::string(126, 'z')},
      {"1 1000 ctrl\x1a z\r\n", 1000, "ctrl\x1a z"},  // 0x1A ends a text-mode read on Windows
  };
  for (const Case& c : cases) {
    testing::writeFile("cpu.txt", c.contents);
    RunSettings settings;
    settings.cpuClock = 77;
    ASSERT_TRUE(readCpuFile("cpu.txt", &settings));
    EXPECT_EQ(settings.cpuClock, c.clock) << c.contents;
    EXPECT_EQ(std::string(settings.cpuDescription()), c.description) << c.contents;
  }
}

TEST(ReadCpuFile, MissingFileChangesNothing) {
  testing::ScopedTempDir dir;
  RunSettings settings;
  EXPECT_FALSE(readCpuFile("cpu.txt", &settings));
  EXPECT_EQ(settings.cpuClock, 0);
  EXPECT_STREQ(settings.cpuDescription(), "undefined");
}

}  // namespace
}  // namespace bench
