#include "workloads/parallel/parallel_sha.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/random_james.h"
#include "driver/catalogue.h"
#include "platform/threads.h"
#include "run/settings.h"
#include "support/test_support.h"

namespace bench {
namespace {

// A digest computed without the engine: the seeds drawn straight from a
// fresh generator, each block built byte by byte, the block digests XORed.
std::vector<uint8_t> referenceDigest(int32_t blockSize, int32_t blockCount) {
  std::vector<uint8_t> combined(SHA1_DIGEST_SIZE, 0);
  std::vector<uint8_t> block(blockSize);
  RandomJames random(1802, 9373);
  for (int32_t k = 0; k < blockCount; ++k) {
    uint32_t c = static_cast<uint32_t>(static_cast<int32_t>(random.next() * 2147483647.0));
    for (int32_t i = 0; i < blockSize; ++i) {
      block[i] = static_cast<uint8_t>(c >> 19);  // bits 19..26
      c = c * 149u + 10007u;
    }
    uint8_t digest[SHA1_DIGEST_SIZE];
    Sha1Context sha;
    sha.init();
    sha.update(block.data(), static_cast<uint32_t>(blockSize));
    sha.finish(digest);
    for (int i = 0; i < SHA1_DIGEST_SIZE; ++i) combined[i] ^= digest[i];
  }
  return combined;
}

std::string hexLine(const std::vector<uint8_t>& digest) {
  std::string line;
  char text[4];
  for (uint8_t byte : digest) {
    std::snprintf(text, sizeof text, " %02X", byte);
    line += text;
  }
  return line + "\n";
}

TEST(ParallelSha, BlockBytesFollowTheSeedRecurrence) {
  uint8_t data[4];
  fillShaBlock(0, data, 4);
  // c: 0, 10007, 10007 * 149 + 10007 = 1501050, 1501050 * 149 + 10007.
  EXPECT_EQ(data[0], 0);
  EXPECT_EQ(data[1], 0);
  EXPECT_EQ(data[2], (1501050u >> 19) & 0xFF);
  EXPECT_EQ(data[3], ((1501050u * 149u + 10007u) >> 19) & 0xFF);
  // A negative seed wraps in 32-bit arithmetic.
  fillShaBlock(-1, data, 2);
  EXPECT_EQ(data[0], 0xFF);
  EXPECT_EQ(data[1], ((0xFFFFFFFFu * 149u + 10007u) >> 19) & 0xFF);
}

class ParallelShaJob : public ::testing::TestWithParam<int> {
 protected:
  testing::ScopedFakeTime time_{1};
};

// A small configuration: several times the ring, blocks not a multiple of 64.
constexpr int32_t SMALL_BLOCK = 1000;
constexpr int32_t SMALL_COUNT = 300;

TEST_P(ParallelShaJob, DigestMatchesTheIndependentDigestForAnyWorkerCount) {
  std::vector<uint8_t> expected = referenceDigest(SMALL_BLOCK, SMALL_COUNT);
  ShaJob job;
  job.blockSize = SMALL_BLOCK;
  job.blockCount = SMALL_COUNT;
  job.expected = expected.data();
  EXPECT_GT(runShaJob(job, GetParam()), 0);
  EXPECT_EQ(std::vector<uint8_t>(job.digest, job.digest + SHA1_DIGEST_SIZE), expected);
  // The job can be run again (the test runs it once per worker count).
  EXPECT_GT(runShaJob(job, GetParam()), 0);
}

INSTANTIATE_TEST_SUITE_P(WorkerCounts, ParallelShaJob, ::testing::Values(1, 2, 4, 8, 16));

TEST(ParallelSha, MismatchReturnsZeroAndKeepsTheDigestObtained) {
  testing::ScopedFakeTime time(1);
  std::vector<uint8_t> actual = referenceDigest(64, 10);
  std::vector<uint8_t> wrong = actual;
  wrong[7] ^= 1;
  ShaJob job;
  job.blockSize = 64;
  job.blockCount = 10;
  job.expected = wrong.data();
  EXPECT_EQ(runShaJob(job, 2), 0);
  EXPECT_EQ(std::vector<uint8_t>(job.digest, job.digest + SHA1_DIGEST_SIZE), actual);
}

TEST(ParallelSha, FirstSeedIsTheFirstDrawScaled) {
  testing::ScopedFakeTime time(1);
  RandomJames random(1802, 9373);
  int32_t seed = static_cast<int32_t>(random.next() * 2147483647.0);
  std::vector<uint8_t> block(100);
  fillShaBlock(seed, block.data(), 100);
  uint8_t expected[SHA1_DIGEST_SIZE];
  Sha1Context sha;
  sha.init();
  sha.update(block.data(), 100);
  sha.finish(expected);
  ShaJob job;
  job.blockSize = 100;
  job.blockCount = 1;
  job.expected = expected;
  EXPECT_GT(runShaJob(job, 1), 0);
}

TEST(ParallelSha, TestPrintsALinePerWorkerCountAndTheTotal) {
  testing::ScopedFakeTime time(1000);
  resetRunSettings();
  std::vector<uint8_t> expected = referenceDigest(256, 100);
  ::testing::internal::CaptureStdout();
  Outcome total = parallelShaTest(ShaShape{256, 100, expected.data()});
  std::string out = ::testing::internal::GetCapturedStdout();
  // Each run reads the fake clock twice: 1000 ms per run.
  EXPECT_EQ(total, Outcome::time(5000));
  EXPECT_EQ(out,
            "Parallel SHA-1 digest using  1 threads: 1.00 sec\n"
            "Parallel SHA-1 digest using  2 threads: 1.00 sec\n"
            "Parallel SHA-1 digest using  4 threads: 1.00 sec\n"
            "Parallel SHA-1 digest using  8 threads: 1.00 sec\n"
            "Parallel SHA-1 digest using 16 threads: 1.00 sec\n"
            "Parallel SHA-1 digest using 1-16 threads: 5.00 sec total\n");
}

struct FailCase {
  bool contextSwitch;
  bool superBrief;
  const char* line;
};

class ParallelShaFailLine : public ::testing::TestWithParam<FailCase> {};

TEST_P(ParallelShaFailLine, MismatchPrintsFailAndTheDigestInEveryMode) {
  testing::ScopedFakeTime time(1);
  resetRunSettings();
  runSettings.superBriefMode = GetParam().superBrief;
  std::vector<uint8_t> actual = referenceDigest(128, 20);
  std::vector<uint8_t> wrong(SHA1_DIGEST_SIZE, 0);
  ShaShape shape{128, 20, wrong.data()};
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  Outcome result = GetParam().contextSwitch ? contextSwitchTest(shape) : parallelShaTest(shape);
  std::string err = ::testing::internal::GetCapturedStderr();
  std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(result, Outcome::failed());  // nothing is recorded and the run ends with 11
  EXPECT_EQ(out, std::string(GetParam().line) + hexLine(actual));
  EXPECT_NE(err.find("differs from the reference"), std::string::npos) << err;
  resetRunSettings();
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ParallelShaFailLine,
    ::testing::Values(
        FailCase{false, false, "Parallel SHA-1 digest using  1 threads: fail!\n"},
        FailCase{false, true, "Parallel SHA-1 digest using  1 threads: fail!\n"},
        FailCase{true, false, "Ctx-switch test (parallel SHA-1) using  2 threads: fail!\n"},
        FailCase{true, true, "Ctx-switch test (parallel SHA-1) using  2 threads: fail!\n"}),
    [](const ::testing::TestParamInfo<FailCase>& named) {
      return std::string(named.param.contextSwitch ? "ContextSwitch" : "ParallelSha") +
             (named.param.superBrief ? "SuperBrief" : "Normal");
    });

TEST(ParallelSha, ContextSwitchTestPrintsItsTotalLine) {
  testing::ScopedFakeTime time(1500);
  resetRunSettings();
  std::vector<uint8_t> expected = referenceDigest(128, 500);
  ::testing::internal::CaptureStdout();
  Outcome t = contextSwitchTest(ShaShape{128, 500, expected.data()});
  std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(t, Outcome::time(1500));
  EXPECT_EQ(out, "Ctx-switch test (parallel SHA-1) using  2 threads: 1.50 sec total\n");
}

TEST(ParallelSha, NoWorkerStartedFailsInsteadOfWaiting) {
  testing::ScopedFakeTime time(1);
  std::vector<uint8_t> expected = referenceDigest(64, 200);
  ShaJob job;
  job.blockSize = 64;
  job.blockCount = 200;
  job.expected = expected.data();
  platform::setThreadStartLimitForTesting(0);
  ::testing::internal::CaptureStderr();
  int32_t t = runShaJob(job, 4);
  std::string err = ::testing::internal::GetCapturedStderr();
  platform::setThreadStartLimitForTesting(-1);
  EXPECT_EQ(t, SHA_JOB_FAILED);
  EXPECT_NE(err.find("none of 4 workers started"), std::string::npos) << err;
  // The entries report it as a failure of their own, without a "fail!" line.
  resetRunSettings();
  platform::setThreadStartLimitForTesting(0);
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(parallelShaTest(ShaShape{64, 200, expected.data()}), Outcome::failed());
  EXPECT_EQ(contextSwitchTest(ShaShape{64, 200, expected.data()}), Outcome::failed());
  ::testing::internal::GetCapturedStderr();
  std::string out = ::testing::internal::GetCapturedStdout();
  platform::setThreadStartLimitForTesting(-1);
  EXPECT_EQ(out, "");
}

TEST(ParallelSha, ItemThatCannotBeAllocatedFailsAfterTheWorkersEnded) {
  testing::ScopedFakeTime time(1);
  std::vector<uint8_t> expected = referenceDigest(512, 300);
  ShaJob job;
  job.blockSize = 512;
  job.blockCount = 300;
  job.expected = expected.data();
  job.itemLimitForTesting = 100;
  ::testing::internal::CaptureStderr();
  int32_t t = runShaJob(job, 4);
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(t, SHA_JOB_FAILED);
  EXPECT_NE(err.find("cannot allocate block 100 of 512 bytes"), std::string::npos) << err;
  // The 100 issued blocks were all hashed before the workers were let go
  // (and nothing is left to leak).
  EXPECT_EQ(std::vector<uint8_t>(job.digest, job.digest + SHA1_DIGEST_SIZE),
            referenceDigest(512, 100));
  for (ShaItem* slot : job.ring) EXPECT_EQ(slot, nullptr);
}

TEST(ParallelSha, WorkersThatStartedDoAllTheWork) {
  testing::ScopedFakeTime time(1);
  std::vector<uint8_t> expected = referenceDigest(64, 200);
  ShaJob job;
  job.blockSize = 64;
  job.blockCount = 200;
  job.expected = expected.data();
  platform::setThreadStartLimitForTesting(1);
  ::testing::internal::CaptureStderr();
  int32_t t = runShaJob(job, 8);
  ::testing::internal::GetCapturedStderr();
  platform::setThreadStartLimitForTesting(-1);
  EXPECT_GT(t, 0);
}

TEST(ParallelSha, WorkerWokenAfterShutdownLeavesItemsInTheRing) {
  ShaJob job;
  job.blockSize = 16;
  platform::Semaphore filled(0);
  platform::Semaphore freeSlots(SHA_RING_SIZE);
  job.filled = &filled;
  job.freeSlots = &freeSlots;
  ShaItem* item = new ShaItem{0, 5, new uint8_t[16]};
  job.ring[0] = item;
  job.putIndex = 1;
  job.active.store(false);
  filled.release(2);  // the item, and the shutdown wake-up
  ShaThread worker;
  worker.setup(&job, DEFAULT_THREAD_TIMEOUT);
  ASSERT_TRUE(worker.start());
  worker.wait();
  EXPECT_EQ(job.getIndex, 0);
  EXPECT_EQ(job.ring[0], item);
  EXPECT_EQ(item->stage, 0);
  delete[] item->data;
  delete item;
}

}  // namespace
}  // namespace bench
