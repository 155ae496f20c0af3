// Full-size runs of the transpositions, and a cross-check of the
// garbage-collection figures, with the fake clock (one repetition each).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/random_james.h"
#include "driver/catalogue.h"
#include "support/test_support.h"
#include "workloads/cpu/garbage_collection.h"
#include "workloads/cpu/transpose.h"

namespace bench {
namespace {

struct TranspositionRow {
  int number;
  int size;
  int passes;
};

class FullSizeTransposition : public ::testing::TestWithParam<TranspositionRow> {};

TEST_P(FullSizeTransposition, CatalogueRowRunsOneRepetition) {
  const TranspositionRow row = GetParam();
  testing::ScopedFakeTime time;
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(catalogueEntry(row.number).routine(), Outcome::time(20000));
  const std::string out = ::testing::internal::GetCapturedStdout();
  std::string expected;
  char line[96];
  for (int p = 1; p <= row.passes; ++p) {
    std::snprintf(line, sizeof line, "%3.0f%%\r", p * 100.0 / row.passes);
    expected += line;
  }
  std::snprintf(line, sizeof line, "Transpose the [%d,%d] image, elapsed time: 20.00 sec\n",
                row.size, row.size);
  EXPECT_EQ(out, expected + line);
}

INSTANTIATE_TEST_SUITE_P(Rows, FullSizeTransposition,
                         ::testing::Values(TranspositionRow{2, 4096, 48},
                                           TranspositionRow{3, 8192, 12},
                                           TranspositionRow{17, 4096, 48},
                                           TranspositionRow{18, 8192, 12}));

TEST(FullSizeTransposition, ProperKernelThereAndBackRestoresA64MbImage) {
  constexpr int32_t SIZE = 8192;
  std::vector<uint8_t> image(static_cast<size_t>(SIZE) * SIZE);
  RandomJames random;
  for (uint8_t& pixel : image) pixel = static_cast<uint8_t>(random.next() * 256.0);
  std::vector<uint8_t> turned(image.size());
  std::vector<uint8_t> back(image.size());
  transpose(image.data(), turned.data(), SIZE, SIZE);
  EXPECT_EQ(turned[1], image[SIZE]);
  EXPECT_EQ(turned[static_cast<size_t>(SIZE) * 5 + 3], image[static_cast<size_t>(SIZE) * 3 + 5]);
  transpose(turned.data(), back.data(), SIZE, SIZE);
  EXPECT_TRUE(back == image);
}

TEST(GarbageCollectionFigures, PrintedLineRoundsTheStatisticsOfARepetition) {
  GcStatistics statistics{0, 0};
  ::testing::internal::CaptureStdout();
  ASSERT_TRUE(gcRepetition(&statistics));
  ::testing::internal::GetCapturedStdout();

  testing::ScopedFakeTime time;
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(garbageCollectionTest(), Outcome::time(20000));
  const std::string out = ::testing::internal::GetCapturedStdout();
  char line[160];
  std::snprintf(line, sizeof line,
                "Garbage collection test in 16MB of VM (%u MB, max %d KB), time: 20.00 sec\n",
                (statistics.growth + 524288u) >> 20, (statistics.peakSize + 512) >> 10);
  EXPECT_EQ(out.substr(out.rfind('\r') + 1), line);
  EXPECT_GT(statistics.growth, 1u << 31);
}

}  // namespace
}  // namespace bench
