#include "platform/terminal.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "support/test_support.h"

namespace bench::platform {
namespace {

// Files and the null device are no terminal. On Windows the null device
// ("NUL") is a character device, which the C runtime's own check takes for
// a terminal; elsewhere "NUL" is a plain file in the scratch directory.
TEST(Terminal, FilesAndTheNullDeviceAreNotTerminals) {
  testing::ScopedTempDir dir;
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  EXPECT_FALSE(isTerminal(file));
  std::fclose(file);
  int opened = 0;
  for (const char* name : {"NUL", "/dev/null"}) {
    std::FILE* device = std::fopen(name, "w");
    if (device == nullptr) continue;
    ++opened;
    EXPECT_FALSE(isTerminal(device)) << name;
    std::fclose(device);
  }
  EXPECT_GT(opened, 0);
}

}  // namespace
}  // namespace bench::platform
