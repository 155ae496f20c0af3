#include "workloads/disk/wavelet.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/random_james.h"
#include "driver/catalogue.h"
#include "platform/memory.h"
#include "run/settings.h"
#include "workloads/disk/disk_test_files.h"

namespace bench::testing {
namespace {

using ::testing::internal::CaptureStderr;
using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStderr;
using ::testing::internal::GetCapturedStdout;
using Ints = std::vector<int32_t>;

// One block laid out as the in-memory test lays it out: the signal, the
// left guard, s, the right guard, d, then a sentinel that must survive.
struct IntBlock {
  explicit IntBlock(int32_t length) : cells(2 * length + 3, 0), half(length), quarter(length / 2) {
    cells.back() = SENTINEL;
  }
  int32_t* signal() { return cells.data(); }
  int32_t* s() { return cells.data() + half + 1; }
  int32_t* d() { return cells.data() + half + quarter + 2; }
  Ints smooth() { return Ints(s(), s() + quarter); }
  Ints detail() { return Ints(d(), d() + quarter); }
  bool sentinelIntact() const { return cells.back() == SENTINEL; }

  static constexpr int32_t SENTINEL = 0x5EA1ED;
  Ints cells;
  int32_t half;     // signal length
  int32_t quarter;  // pairs
};

struct ForwardCase {
  const char* label;
  Ints signal;
  Ints smooth;
  Ints detail;
};

class TsForward : public ::testing::TestWithParam<ForwardCase> {};

TEST_P(TsForward, GivesTheSmoothAndDetailValues) {
  const ForwardCase& c = GetParam();
  IntBlock block(static_cast<int32_t>(c.signal.size()));
  std::copy(c.signal.begin(), c.signal.end(), block.signal());
  tsForward(block.signal(), block.half, block.s(), block.d());
  EXPECT_EQ(block.smooth(), c.smooth);
  EXPECT_EQ(block.detail(), c.detail);
  EXPECT_TRUE(block.sentinelIntact());
}

INSTANTIATE_TEST_SUITE_P(
    Signals, TsForward,
    ::testing::Values(
        ForwardCase{"RisingPair", {3, 8}, {5}, {5}},
        ForwardCase{"FallingPairShiftsTowardMinusInfinity", {8, 3}, {5}, {-5}},
        ForwardCase{"ConstantSignal", Ints(16, -7), Ints(8, -7), Ints(8, 0)},
        // d[i] += (s[i-1] - s[i+1] + 2) >> 2 with s = 0, 4, 8 and the guards
        // s[-1] = 0, s[3] = 8: (0-4+2)>>2, (0-8+2)>>2, (4-8+2)>>2.
        ForwardCase{"DetailUpdateUsesBothNeighbours", {0, 0, 4, 4, 8, 8}, {0, 4, 8}, {-1, -2, -1}}),
    [](const ::testing::TestParamInfo<ForwardCase>& param) { return param.param.label; });

class TsRoundTrip : public ::testing::TestWithParam<int32_t> {};

TEST_P(TsRoundTrip, InverseRestoresAnySignalExactly) {
  const int32_t length = GetParam();
  std::mt19937 engine(length);
  std::uniform_int_distribution<int32_t> anyInt(std::numeric_limits<int32_t>::min(),
                                                std::numeric_limits<int32_t>::max());
  Ints original(length);
  for (int32_t& x : original) x = anyInt(engine);
  original[0] = std::numeric_limits<int32_t>::min();
  original[length - 1] = std::numeric_limits<int32_t>::max();

  IntBlock block(length);
  std::copy(original.begin(), original.end(), block.signal());
  for (int round = 0; round < 3; ++round) {
    tsForward(block.signal(), length, block.s(), block.d());
    std::fill(block.signal(), block.signal() + length, 0);
    tsInverse(block.s(), length, block.signal(), block.d());
    ASSERT_EQ(Ints(block.signal(), block.signal() + length), original) << round;
  }
  EXPECT_TRUE(block.sentinelIntact());
}

INSTANTIATE_TEST_SUITE_P(Lengths, TsRoundTrip, ::testing::Values(2, 4, 10, 1024, 4096));

TEST(WaveletInMemory, PrintsTwelveFiguresAndTheResultLine) {
  ScopedFakeTime time(1000);
  runSettings.superBriefMode = false;
  CaptureStdout();
  Outcome result = waveletInMemory();
  std::string out = GetCapturedStdout();
  // Each size's figure is one clock step; the release adds the last one.
  std::string expected;
  for (int i = 0; i < 12; ++i) expected += "  1.00";
  expected += "\nWavelet T-S transform: arr: 16MB-8KB, iter: 20-40960, elapsed time: 13.00 sec\n";
  EXPECT_EQ(out, expected);
  EXPECT_EQ(result, Outcome::time(13000));
}

TEST(WaveletInMemory, SuperBriefModeEndsWithACarriageReturn) {
  ScopedFakeTime time(1000);
  runSettings.superBriefMode = true;
  CaptureStdout();
  waveletInMemory();
  std::string out = GetCapturedStdout();
  runSettings.superBriefMode = false;
  EXPECT_EQ(out.size(), 12 * 6 + 1u);
  EXPECT_EQ(out.back(), '\r');
}

TEST(WaveletInMemory, ReportsNoMemoryWhenTheBlockCannotBeCommitted) {
  ScopedFakeTime time;
  platform::setCommitFailureForTesting(16777224);
  CaptureStdout();
  Outcome result = waveletInMemory();
  std::string out = GetCapturedStdout();
  platform::setCommitFailureForTesting(0);
  EXPECT_EQ(result, Outcome::noMemory());
  EXPECT_EQ(out, "");
}

// Files for the disk transform, filled from the start.
struct DiskFiles {
  CDoubleFile signal{"s0.bin", true};
  CDoubleFile smooth{"s1.bin", true};
  CDoubleFile detail{"d1.bin", true};
};

std::vector<double> valuesOf(CDoubleFile& file) {
  file.close();
  return readDoubles(file.name());
}

struct DiskCase {
  const char* label;
  std::vector<double> signal;
  std::vector<double> smooth;
  std::vector<double> detail;
};

class DiskForward : public ::testing::TestWithParam<DiskCase> {};

TEST_P(DiskForward, GivesTheSmoothAndDetailValuesAndInverseRestoresTheSignal) {
  const DiskCase& c = GetParam();
  ScopedTempDir dir;
  DiskFiles files;
  for (double x : c.signal) files.signal.write(x);
  const int32_t length = static_cast<int32_t>(c.signal.size());
  diskForward(length, files.signal, files.smooth, files.detail);
  diskInverse(length, files.smooth, files.detail, files.signal);
  std::vector<double> restored = valuesOf(files.signal);
  ASSERT_EQ(restored.size(), c.signal.size());
  for (size_t i = 0; i < restored.size(); ++i) EXPECT_DOUBLE_EQ(restored[i], c.signal[i]) << i;
  EXPECT_EQ(valuesOf(files.smooth), c.smooth);
  EXPECT_EQ(valuesOf(files.detail), c.detail);
}

INSTANTIATE_TEST_SUITE_P(
    Signals, DiskForward,
    ::testing::Values(
        // One pair: s = (x1 - x0) * 0.5 + x0, the detail is x1 - x0 unchanged.
        DiskCase{"OnePairRising", {3, 8}, {5.5}, {5}},
        DiskCase{"OnePairFalling", {0.75, 0.25}, {0.5}, {-0.5}},
        // The detail of a pair gets a quarter of the neighbouring smooth values.
        DiskCase{"TwoPairsRightNeighbour", {0, 0, 4, 4}, {0, 4}, {1, 0}},
        DiskCase{"TwoPairsLeftNeighbour", {4, 4, 0, 0}, {4, 0}, {0, 1}}),
    [](const ::testing::TestParamInfo<DiskCase>& param) { return param.param.label; });

TEST(DiskTransform, RoundTripOverManyWindowsRestoresTheSignal) {
  ScopedTempDir dir;
  DiskFiles files;
  const int32_t length = 3 * CDoubleFile::WINDOW_SIZE * 2 + 10;
  RandomJames random;
  std::vector<double> original(length);
  random.fill(original.data(), length);
  for (double x : original) files.signal.write(x);
  for (int pass = 0; pass < 2; ++pass) {
    diskForward(length, files.signal, files.smooth, files.detail);
    diskInverse(length, files.smooth, files.detail, files.signal);
  }
  std::vector<double> restored = valuesOf(files.signal);
  ASSERT_EQ(restored.size(), original.size());
  for (int32_t i = 0; i < length; ++i) ASSERT_NEAR(restored[i], original[i], 1e-15) << i;
  EXPECT_EQ(valuesOf(files.smooth).size(), length / 2u);
  EXPECT_EQ(valuesOf(files.detail).size(), length / 2u);
}

bool anyWorkFileLeft() {
  for (const char* name : {"s0.bin", "s1.bin", "d1.bin"}) {
    if (fileExists(name)) return true;
  }
  return false;
}

TEST(WaveletOnDisk, RunsEverySizeAndPrintsOneFigureEach) {
  ScopedTempDir dir;
  ScopedFakeTime time(1000);
  runSettings.superBriefMode = false;
  CaptureStdout();
  Outcome result = runWaveletOnDisk(1 << 16, 1 << 14);
  std::string out = GetCapturedStdout();
  // timerStart, then per size t0 and the figure's reading, then the result.
  EXPECT_EQ(out,
            "   1.00   1.00   1.00\n"
            "Wavelet T-S transform on disk: arr: 0MB-0MB, iter: 1-4, time: 7.00 sec\n");
  EXPECT_EQ(result, Outcome::time(7000));
  EXPECT_FALSE(anyWorkFileLeft());
}

TEST(WaveletOnDisk, SuperBriefModeEndsWithACarriageReturn) {
  ScopedTempDir dir;
  ScopedFakeTime time(1000);
  runSettings.superBriefMode = true;
  CaptureStdout();
  runWaveletOnDisk(64, 32);
  std::string out = GetCapturedStdout();
  runSettings.superBriefMode = false;
  EXPECT_EQ(out, "   1.00   1.00\r");
}

TEST(WaveletOnDisk, WorkFileThatCannotBeCreatedFailsTheTest) {
  ScopedTempDir dir;
  ScopedFakeTime time;
  blockFileName("d1.bin");
  CaptureStdout();
  CaptureStderr();
  Outcome result = runWaveletOnDisk(1 << 16, 1 << 14);
  std::string err = GetCapturedStderr();
  std::string out = GetCapturedStdout();
  EXPECT_EQ(result, Outcome::failed());
  EXPECT_EQ(err, std::string("Cannot create work file \"d1.bin\": ") +
                     std::strerror(directoryOpenErrno("w+b")) + "\n");
  EXPECT_EQ(out, "");
  EXPECT_FALSE(fileExists("s0.bin"));
  EXPECT_FALSE(fileExists("s1.bin"));
}

TEST(WaveletOnDisk, FullDiskFailsTheTest) {
  if (!ScopedFileSizeLimit::available()) GTEST_SKIP() << "no per-process file-size limit here";
  ScopedTempDir dir;
  ScopedFakeTime time;
  CaptureStdout();
  CaptureStderr();
  Outcome result;
  {
    // The first signal, 256 KB, does not fit.
    ScopedFileSizeLimit limit(100000);
    result = runWaveletOnDisk(1 << 16, 1 << 14);
  }
  std::string err = GetCapturedStderr();
  std::string out = GetCapturedStdout();
  EXPECT_EQ(result, Outcome::failed());
  EXPECT_EQ(err, std::string("Cannot write work file \"s0.bin\": ") + std::strerror(EFBIG) + "\n");
  EXPECT_EQ(out, "");
  EXPECT_FALSE(anyWorkFileLeft());
}

}  // namespace
}  // namespace bench::testing
