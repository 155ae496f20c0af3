#include "platform/files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "support/file_size_limit.h"
#include "support/test_support.h"

namespace bench::platform {
namespace {

TEST(AppendWhole, WritesAfterTheFileAndWhatTheStreamHeld) {
  testing::ScopedTempDir dir;
  testing::writeFile("log.txt", "old\n");
  std::FILE* file = std::fopen("log.txt", "ab");
  ASSERT_NE(file, nullptr);
  std::fputs("held\n", file);  // still in the stream's buffer
  const std::string block = "one\ntwo\n";
  EXPECT_TRUE(appendWhole(file, block.data(), block.size()));
  EXPECT_EQ(std::fclose(file), 0);
  EXPECT_EQ(testing::readFile("log.txt"), "old\nheld\none\ntwo\n");
}

// A file-size limit takes the first part of the block; the rest fails with
// the system's reason, not a guessed one.
TEST(AppendWhole, BlockCutShortFailsWithTheSystemsReason) {
  if (!testing::ScopedFileSizeLimit::available()) GTEST_SKIP() << "no per-process file-size limit";
  testing::ScopedTempDir dir;
  std::FILE* file = std::fopen("log.txt", "ab");
  ASSERT_NE(file, nullptr);
  const std::string block(100, 'x');
  bool written;
  int reason;
  {
    testing::ScopedFileSizeLimit limit(60);
    errno = 0;
    written = appendWhole(file, block.data(), block.size());
    reason = errno;
  }
  std::fclose(file);
  EXPECT_FALSE(written);
  EXPECT_EQ(reason, EFBIG);
  EXPECT_EQ(testing::readFile("log.txt"), std::string(60, 'x'));
}

}  // namespace
}  // namespace bench::platform
