#include "workloads/disk/double_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "workloads/disk/disk_test_files.h"

namespace bench::testing {
namespace {

constexpr int32_t WINDOW = CDoubleFile::WINDOW_SIZE;

double valueAt(int32_t i) { return i + 0.5; }

void writeValues(CDoubleFile& file, int32_t count, double offset = 0) {
  for (int32_t i = 0; i < count; ++i) file.write(valueAt(i) + offset);
}

TEST(CDoubleFile, EmptyFileReadsEndMarkAtOnce) {
  ScopedTempDir dir;
  CDoubleFile created("new.bin", true);
  EXPECT_EQ(created.read(), -1.0);
  EXPECT_EQ(created.read(), -1.0);
  EXPECT_EQ(created.pos(), 0);

  writeFile("empty.bin", "");
  CDoubleFile existing("empty.bin", false);
  EXPECT_EQ(existing.read(), -1.0);
  EXPECT_FALSE(existing.failed());
}

TEST(CDoubleFile, FullWindowStaysInMemoryUntilTheNextWriteSlidesIt) {
  ScopedTempDir dir;
  CDoubleFile file("f.bin", true);
  writeValues(file, WINDOW);
  EXPECT_EQ(file.pos(), WINDOW);
  EXPECT_EQ(file.count(), WINDOW);
  EXPECT_EQ(fileSize("f.bin"), 0u);

  file.write(valueAt(WINDOW));
  EXPECT_EQ(file.base(), WINDOW);
  EXPECT_EQ(file.count(), 1);
  EXPECT_EQ(file.pos(), 1);
  std::vector<double> onDisk = readDoubles("f.bin");
  ASSERT_EQ(onDisk.size(), static_cast<size_t>(WINDOW));
  for (int32_t i = 0; i < WINDOW; ++i) ASSERT_EQ(onDisk[i], valueAt(i));
}

// Written, rewound and read back: a file of at most one window is read from
// memory (nothing reaches the disk before the read past its end); a longer
// one has its last window flushed by the rewind.
class CDoubleFileRewind : public ::testing::TestWithParam<int32_t> {};

TEST_P(CDoubleFileRewind, ReadsBackEveryValueThenTheEndMark) {
  ScopedTempDir dir;
  const int32_t n = GetParam();
  CDoubleFile file("f.bin", true);
  writeValues(file, n);
  file.seek(0);
  EXPECT_EQ(fileSize("f.bin"), n <= WINDOW ? 0u : n * sizeof(double));
  for (int32_t i = 0; i < n; ++i) ASSERT_EQ(file.read(), valueAt(i)) << i;
  EXPECT_EQ(file.read(), -1.0);
  EXPECT_EQ(file.read(), -1.0);
  EXPECT_EQ(fileSize("f.bin"), n * sizeof(double));
  file.close();
  std::vector<double> onDisk = readDoubles("f.bin");
  ASSERT_EQ(onDisk.size(), static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) ASSERT_EQ(onDisk[i], valueAt(i));
}

INSTANTIATE_TEST_SUITE_P(Lengths, CDoubleFileRewind,
                         ::testing::Values(1, WINDOW - 1, WINDOW, WINDOW + 1, 5000, 3 * WINDOW));

TEST(CDoubleFile, ShortFileIsReadBackFromTheWindowWithoutDiskAccess) {
  ScopedTempDir dir;
  CDoubleFile file("f.bin", true);
  writeValues(file, 3);
  file.seek(0);
  EXPECT_TRUE(file.dirty());
  EXPECT_EQ(file.read(), valueAt(0));
  EXPECT_EQ(fileSize("f.bin"), 0u);
}

TEST(CDoubleFile, RewriteThroughRewindOverwritesInPlace) {
  ScopedTempDir dir;
  CDoubleFile file("f.bin", true);
  writeValues(file, 5000);
  file.seek(0);
  writeValues(file, 5000, 10000);
  file.close();
  std::vector<double> onDisk = readDoubles("f.bin");
  ASSERT_EQ(onDisk.size(), 5000u);
  for (int32_t i = 0; i < 5000; ++i) ASSERT_EQ(onDisk[i], valueAt(i) + 10000);
}

TEST(CDoubleFile, WriteInsideTheWindowReplacesOneValueAndFlushKeepsTheRest) {
  ScopedTempDir dir;
  CDoubleFile file("f.bin", true);
  writeValues(file, 10);
  file.seek(3);
  file.write(99.0);
  EXPECT_EQ(file.count(), 10);
  file.close();
  std::vector<double> expected;
  for (int32_t i = 0; i < 10; ++i) expected.push_back(i == 3 ? 99.0 : valueAt(i));
  EXPECT_EQ(readDoubles("f.bin"), expected);
}

TEST(CDoubleFile, ReadOnlyFileIgnoresWrites) {
  ScopedTempDir dir;
  writeDoubles("r.bin", {1.0, 2.0, 3.0});
  {
    CDoubleFile file("r.bin", false);
    file.write(7.0);
    EXPECT_EQ(file.pos(), 0);
    EXPECT_EQ(file.count(), 0);
    EXPECT_FALSE(file.dirty());
    file.rewrite();
    EXPECT_EQ(file.read(), 1.0);
    EXPECT_EQ(file.read(), 2.0);
    EXPECT_EQ(file.read(), 3.0);
    EXPECT_EQ(file.read(), -1.0);
  }
  EXPECT_EQ(readDoubles("r.bin"), (std::vector<double>{1.0, 2.0, 3.0}));
}

TEST(CDoubleFile, RewriteDropsUnwrittenValuesAndEmptiesTheFile) {
  ScopedTempDir dir;
  CDoubleFile file("f.bin", true);
  writeValues(file, WINDOW + 100);  // one window on disk, 100 values pending
  ASSERT_EQ(fileSize("f.bin"), WINDOW * sizeof(double));
  file.rewrite();
  EXPECT_EQ(fileSize("f.bin"), 0u);
  EXPECT_EQ(file.base(), 0);
  EXPECT_EQ(file.count(), 0);
  EXPECT_EQ(file.pos(), 0);
  EXPECT_FALSE(file.dirty());
  file.write(42.0);
  file.close();
  EXPECT_EQ(readDoubles("f.bin"), (std::vector<double>{42.0}));
}

TEST(CDoubleFile, CloseTwiceOnlyResetsAndRewriteReopens) {
  ScopedTempDir dir;
  CDoubleFile file("f.bin", true);
  writeValues(file, 3);
  file.close();
  file.close();
  EXPECT_EQ(file.base(), 0);
  EXPECT_EQ(file.count(), 0);
  EXPECT_EQ(file.pos(), 0);
  EXPECT_EQ(readDoubles("f.bin").size(), 3u);
  EXPECT_EQ(file.read(), -1.0);  // closed: no data

  file.rewrite();
  file.write(5.0);
  file.seek(0);
  EXPECT_EQ(file.read(), 5.0);
  EXPECT_FALSE(file.failed());
}

TEST(CDoubleFile, KeepsAtMost511CharactersOfTheName) {
  ScopedTempDir dir;
  std::string longName(600, 'n');
  CDoubleFile file(longName.c_str(), false);
  EXPECT_EQ(std::string(file.name()), longName.substr(0, 511));
}

// Failures are kept with the operation and the reason, and stop all I/O.
struct FailureCase {
  const char* label;
  bool (*setUp)();  // prepares the obstacle; false when the system has none
  bool writable;
  int32_t writes;  // values written before the check
  const char* expectedMessage;
  int expectedErrno;  // 0: the system's reason for opening a directory as a file
};

bool directoryInTheWay() {
  blockFileName("w.bin");
  return true;
}
bool fullDevice() {
  std::error_code error;
  std::filesystem::create_symlink("/dev/full", "w.bin", error);
  return !error && std::filesystem::exists("/dev/full");
}
// Only where a directory can be opened for reading: elsewhere the open fails.
bool plainDirectory() {
  if (directoryOpenErrno("rb") != 0) return false;
  std::filesystem::create_directory("w.bin");
  return true;
}

class CDoubleFileFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(CDoubleFileFailure, IsKeptAndReportedWithFileAndReason) {
  const FailureCase& c = GetParam();
  ScopedTempDir dir;
  if (!c.setUp()) GTEST_SKIP() << "no such obstacle on this system";
  CDoubleFile file("w.bin", c.writable);
  writeValues(file, c.writes);
  EXPECT_EQ(file.read(), -1.0);
  file.close();
  ASSERT_TRUE(file.failed());

  ::testing::internal::CaptureStderr();
  file.printFailure();
  int reason = c.expectedErrno != 0 ? c.expectedErrno : directoryOpenErrno("w+b");
  std::string expected = std::string(c.expectedMessage) + ": " + std::strerror(reason) + "\n";
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), expected);

  // No more I/O after a failure: later windows are dropped silently.
  file.rewrite();
  writeValues(file, 3 * WINDOW);
  file.seek(0);
  EXPECT_EQ(file.read(), -1.0);
}

INSTANTIATE_TEST_SUITE_P(Operations, CDoubleFileFailure,
                         ::testing::Values(FailureCase{"Create", directoryInTheWay, true, 10,
                                                       "Cannot create work file \"w.bin\"", 0},
                                           FailureCase{"Write", fullDevice, true, WINDOW + 1,
                                                       "Cannot write work file \"w.bin\"", ENOSPC},
                                           FailureCase{"Read", plainDirectory, false, 0,
                                                       "Cannot read work file \"w.bin\"", EISDIR},
                                           FailureCase{"Open", [] { return true; }, false, 0,
                                                       "Cannot open work file \"w.bin\"", ENOENT}),
                         [](const ::testing::TestParamInfo<FailureCase>& param) {
                           return param.param.label;
                         });

TEST(CDoubleFile, FileSizeLimitFailsTheWriteThatCrossesIt) {
  if (!ScopedFileSizeLimit::available()) GTEST_SKIP() << "no per-process file-size limit here";
  ScopedTempDir dir;
  CDoubleFile file("w.bin", true);
  {
    ScopedFileSizeLimit limit(WINDOW * sizeof(double));
    writeValues(file, 2 * WINDOW + 1);  // the second window crosses the limit
  }
  EXPECT_TRUE(file.failed());
  EXPECT_EQ(fileSize("w.bin"), WINDOW * sizeof(double));
  ::testing::internal::CaptureStderr();
  file.printFailure();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            std::string("Cannot write work file \"w.bin\": ") + std::strerror(EFBIG) + "\n");
}

}  // namespace
}  // namespace bench::testing
