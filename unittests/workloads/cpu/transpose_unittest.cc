#include "workloads/cpu/transpose.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "core/random_james.h"
#include "platform/clock.h"
#include "platform/memory.h"
#include "run/settings.h"
#include "support/test_support.h"

namespace bench {
namespace {

// An image of `rows` rows of `rowBytes` bytes with distinct-looking pixels.
std::vector<uint8_t> randomImage(int32_t rows, int32_t rowBytes) {
  RandomJames random;
  std::vector<uint8_t> image(static_cast<size_t>(rows) * rowBytes);
  for (uint8_t& pixel : image) pixel = static_cast<uint8_t>(random.next() * 256.0);
  return image;
}

struct ImageSize {
  int32_t width;
  int32_t height;
};

class TransposeKernels : public ::testing::TestWithParam<ImageSize> {};

TEST_P(TransposeKernels, ProperKernelTransposesEveryPixelAndBackRestoresTheImage) {
  const auto [width, height] = GetParam();
  const std::vector<uint8_t> image = randomImage(height, width);
  std::vector<uint8_t> turned(image.size(), 0xAA);
  transpose(image.data(), turned.data(), height, width);
  for (int32_t r = 0; r < width; ++r) {
    for (int32_t c = 0; c < height; ++c) {
      ASSERT_EQ(turned[static_cast<size_t>(r) * height + c],
                image[static_cast<size_t>(c) * width + r])
          << "destination row " << r << ", byte " << c;
    }
  }
  std::vector<uint8_t> back(image.size(), 0x55);
  transpose(turned.data(), back.data(), width, height);
  EXPECT_EQ(back, image);
}

TEST_P(TransposeKernels, FlawedKernelRepeatsTheFirstRowOfEveryTile) {
  const auto [width, height] = GetParam();
  std::vector<uint8_t> image = randomImage(height, width);
  std::vector<uint8_t> turned(image.size());
  flawedTranspose(image.data(), turned.data(), height, width);
  for (int32_t r = 0; r < width; ++r) {
    for (int32_t c = 0; c < height; ++c) {
      ASSERT_EQ(turned[static_cast<size_t>(r) * height + c],
                image[static_cast<size_t>(c & ~3) * width + r])
          << "destination row " << r << ", byte " << c;
    }
  }
  // Source rows 4j + 1 .. 4j + 3 are never read.
  for (int32_t row = 0; row < height; ++row) {
    if (row % 4 == 0) continue;
    for (int32_t c = 0; c < width; ++c) image[static_cast<size_t>(row) * width + c] ^= 0xFF;
  }
  std::vector<uint8_t> again(image.size());
  flawedTranspose(image.data(), again.data(), height, width);
  EXPECT_EQ(again, turned);
}

INSTANTIATE_TEST_SUITE_P(SmallImages, TransposeKernels,
                         ::testing::Values(ImageSize{8, 8}, ImageSize{16, 8}, ImageSize{8, 24},
                                           ImageSize{64, 40}, ImageSize{96, 96}),
                         [](const ::testing::TestParamInfo<ImageSize>& size) {
                           return std::to_string(size.param.width) + "x" +
                                  std::to_string(size.param.height);
                         });

TEST(TransposeKernel, WritesNothingBelowFourBytesAndIgnoresTheLowTwoBits) {
  const std::vector<uint8_t> image = randomImage(8, 8);
  for (TransposeKernel kernel : {transpose, flawedTranspose}) {
    std::vector<uint8_t> untouched(64, 0xAA);
    kernel(image.data(), untouched.data(), 3, 8);
    kernel(image.data(), untouched.data(), 8, 3);
    EXPECT_EQ(untouched, std::vector<uint8_t>(64, 0xAA));
  }
  // Row lengths of 7 are taken as 4: the first 16 bytes are one 4 x 4 image
  // and its transposition; nothing beyond them is written.
  std::vector<uint8_t> turned(64, 0xAA);
  transpose(image.data(), turned.data(), 7, 7);
  for (size_t r = 0; r < 4; ++r) {
    for (size_t c = 0; c < 4; ++c) EXPECT_EQ(turned[r * 4 + c], image[c * 4 + r]);
  }
  EXPECT_EQ(std::vector<uint8_t>(turned.begin() + 16, turned.end()),
            std::vector<uint8_t>(48, 0xAA));
}

std::string progressLines(int passes) {
  std::string lines;
  char line[16];
  for (int p = 1; p <= passes; ++p) {
    std::snprintf(line, sizeof line, "%3.0f%%\r", p * 100.0 / passes);
    lines += line;
  }
  return lines;
}

TEST(TransposeTest, OneRepetitionPrintsEveryPassAndTheResultLine) {
  testing::ScopedFakeTime time;
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(transposeTest(transpose, 64, 32, 3), Outcome::time(20000));
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            progressLines(3) + "Transpose the [64,32] image, elapsed time: 20.00 sec\n");
}

TEST(TransposeTest, RepeatsUntilTwentySecondsAndAveragesInSuperBriefMode) {
  testing::ScopedFakeTime time(7000);  // 7000, 14000, 21000 ms: three repetitions
  runSettings.superBriefMode = true;
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(transposeTest(flawedTranspose, 16, 16, 2), Outcome::time(7000));
  runSettings.superBriefMode = false;
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            progressLines(2) + progressLines(2) + progressLines(2));
}

TEST(TransposeTest, ReportsZeroWhenTheBuffersCannotBeHad) {
  testing::ScopedFakeTime time;
  platform::setCommitFailureForTesting(16 * 16);
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(transposeTest(transpose, 16, 16, 2), Outcome::noMemory());
  platform::setCommitFailureForTesting(0);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
}

// A clock that advances 10 s per reading and makes committed memory fail
// from the end of the first repetition on.
platform::ClockReading clockFailingAfterFirstRepetition() {
  static int64_t readings = 0;
  ++readings;
  if (readings == 2) platform::setCommitFailureForTesting(1);
  return {readings * 10, 0};
}

TEST(TransposeTest, ReportsZeroWhenALaterRepetitionCannotAllocate) {
  platform::setClockForTesting(clockFailingAfterFirstRepetition);
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(transposeTest(transpose, 16, 16, 1), Outcome::noMemory());
  platform::setCommitFailureForTesting(0);
  platform::setClockForTesting(nullptr);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), progressLines(1));
}

}  // namespace
}  // namespace bench
