// Committed memory: every byte of a region is there, zero-filled and
// writable, whatever the size's relation to the page size (4, 16 or 64 KiB
// on the machines the program runs on).
#include "platform/memory.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>

namespace bench::platform {
namespace {

class CommitMemory : public ::testing::TestWithParam<size_t> {};

TEST_P(CommitMemory, WholeRegionIsZeroFilledAndWritable) {
  const size_t bytes = GetParam();
  auto* region = static_cast<uint8_t*>(commitMemory(bytes));
  ASSERT_NE(region, nullptr);
  size_t nonZero = 0;
  for (size_t i = 0; i < bytes; ++i) nonZero += region[i] != 0;
  EXPECT_EQ(nonZero, 0u);
  for (size_t i = 0; i < bytes; ++i) region[i] = static_cast<uint8_t>(i * 7 + 1);
  size_t wrong = 0;
  for (size_t i = 0; i < bytes; ++i) wrong += region[i] != static_cast<uint8_t>(i * 7 + 1);
  EXPECT_EQ(wrong, 0u);
  releaseMemory(region, bytes);
  // A fresh region after the release starts zero-filled again.
  region = static_cast<uint8_t*>(commitMemory(bytes));
  ASSERT_NE(region, nullptr);
  EXPECT_EQ(region[0], 0);
  EXPECT_EQ(region[bytes - 1], 0);
  releaseMemory(region, bytes);
}

// Sizes on both sides of 4, 16 and 64 KiB pages, and odd ones across them.
INSTANTIATE_TEST_SUITE_P(Sizes, CommitMemory,
                         ::testing::Values(1, 4095, 4097, 16383, 16385, 65535, 65537, 3 * 65536 + 5,
                                           10 * 4096 + 2048));

TEST(CommitMemoryLimits, ZeroBytesAndTheFailureSeam) {
  EXPECT_EQ(commitMemory(0), nullptr);
  releaseMemory(nullptr, 100);  // does nothing
  setCommitFailureForTesting(65536);
  EXPECT_EQ(commitMemory(65536), nullptr);
  void* below = commitMemory(65535);
  EXPECT_NE(below, nullptr);
  releaseMemory(below, 65535);
  setCommitFailureForTesting(0);
  void* region = commitMemory(65536);
  EXPECT_NE(region, nullptr);
  releaseMemory(region, 65536);
}

}  // namespace
}  // namespace bench::platform
