#include "workloads/parallel/parallel_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/random_james.h"
#include "driver/catalogue.h"
#include "platform/memory.h"
#include "platform/threads.h"
#include "run/settings.h"
#include "support/test_support.h"

namespace bench {
namespace {

TEST(ParallelSortMerge, EqualValuesComeFromTheRightRunFirst) {
  // +0.0 and -0.0 compare equal but can be told apart by their sign.
  const double source[] = {9.0, 0.0, 1.0, -0.0, 2.0, 9.0};
  double destination[6] = {7.0, 7.0, 7.0, 7.0, 7.0, 7.0};
  mergeRuns(source, destination, 1, 2, 4);
  EXPECT_EQ(destination[0], 7.0);
  EXPECT_TRUE(std::signbit(destination[1]));   // right run's -0.0
  EXPECT_FALSE(std::signbit(destination[2]));  // then left run's +0.0
  EXPECT_EQ(destination[3], 1.0);
  EXPECT_EQ(destination[4], 2.0);
  EXPECT_EQ(destination[5], 7.0);
}

TEST(ParallelSortMerge, CopiesTheRestOfEitherRun) {
  const double source[] = {1.0, 2.0, 3.0, 0.5, 4.0, 5.0};
  double destination[6];
  mergeRuns(source, destination, 0, 3, 6);
  EXPECT_EQ(std::vector<double>(destination, destination + 6),
            (std::vector<double>{0.5, 1.0, 2.0, 3.0, 4.0, 5.0}));
  const double source2[] = {4.0, 5.0, 1.0, 2.0};
  mergeRuns(source2, destination, 0, 2, 4);
  EXPECT_EQ(std::vector<double>(destination, destination + 4),
            (std::vector<double>{1.0, 2.0, 4.0, 5.0}));
}

// 16 blocks of 100 values: five merge levels above the sorted blocks.
constexpr SortShape SMALL_SHAPE = {100, 16};

std::vector<double> generated(const SortShape& shape) {
  std::vector<double> values(static_cast<size_t>(shape.total()));
  RandomJames random(1802, 9373);
  for (double& value : values) value = random.next();
  return values;
}

class ParallelSortRun : public ::testing::TestWithParam<int> {
 protected:
  testing::ScopedFakeTime time_{1};
};

TEST_P(ParallelSortRun, SortsTheGeneratedValuesIntoTheFirstBuffer) {
  std::vector<double> expected = generated(SMALL_SHAPE);
  std::sort(expected.begin(), expected.end());
  std::vector<double> sorted;
  std::vector<double> previousLevel;
  std::vector<int> levels;
  int32_t t = runParallelSort(GetParam(), SMALL_SHAPE, [&](const SortJob& job) {
    sorted.assign(job.buffers[0], job.buffers[0] + SMALL_SHAPE.total());
    previousLevel.assign(job.buffers[1], job.buffers[1] + SMALL_SHAPE.total());
    levels.assign(job.levels, job.levels + SMALL_SHAPE.blockCount);
  });
  EXPECT_GT(t, 0);
  EXPECT_EQ(sorted, expected);
  // buffers[1] holds the two runs of the level below the whole array.
  const int64_t half = SMALL_SHAPE.total() / 2;
  EXPECT_TRUE(std::is_sorted(previousLevel.begin(), previousLevel.begin() + half));
  EXPECT_TRUE(std::is_sorted(previousLevel.begin() + half, previousLevel.end()));
  EXPECT_FALSE(std::is_sorted(previousLevel.begin(), previousLevel.end()));
  std::vector<double> halves = previousLevel;
  std::sort(halves.begin(), halves.end());
  EXPECT_EQ(halves, expected);
  // The whole array is level 5 for 16 blocks; its right half stayed level 4.
  EXPECT_EQ(levels[SMALL_SHAPE.blockCount / 2], 4);
}

INSTANTIATE_TEST_SUITE_P(WorkerCounts, ParallelSortRun, ::testing::Values(1, 2, 4, 8, 16));

TEST(ParallelSort, FourBlocksOfOddLength) {
  testing::ScopedFakeTime time(1);
  SortShape shape{4999, 4};
  std::vector<double> expected = generated(shape);
  std::sort(expected.begin(), expected.end());
  std::vector<double> sorted;
  EXPECT_GT(runParallelSort(3, shape,
                            [&](const SortJob& job) {
                              sorted.assign(job.buffers[0], job.buffers[0] + shape.total());
                            }),
            0);
  EXPECT_EQ(sorted, expected);
}

TEST(ParallelSort, TestPrintsFourCountLinesAndTheTotal) {
  testing::ScopedFakeTime time(500);
  resetRunSettings();
  ::testing::internal::CaptureStdout();
  Outcome total = parallelSortTest(SortShape{1 << 16, 16});
  std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(total, Outcome::time(2000));
  EXPECT_EQ(out,
            "Parallel-sort using  2 threads (double[1M]): 0.50 sec\n"
            "Parallel-sort using  4 threads (double[1M]): 0.50 sec\n"
            "Parallel-sort using  8 threads (double[1M]): 0.50 sec\n"
            "Parallel-sort using 16 threads (double[1M]): 0.50 sec\n"
            "Parallel-sort using 2-16 threads (double[1M]): 2.00 sec total\n");
}

TEST(ParallelSort, SuperBriefModePrintsNothing) {
  testing::ScopedFakeTime time(500);
  resetRunSettings();
  runSettings.superBriefMode = true;
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(parallelSortTest(SMALL_SHAPE), Outcome::time(2000));
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  resetRunSettings();
}

TEST(ParallelSort, BufferThatCannotBeHadIsNoMemory) {
  testing::ScopedFakeTime time(1);
  const size_t bufferBytes = static_cast<size_t>(SMALL_SHAPE.total()) * sizeof(double);
  platform::setCommitFailureForTesting(bufferBytes);
  EXPECT_EQ(runParallelSort(2, SMALL_SHAPE), SORT_NO_MEMORY);
  resetRunSettings();
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(parallelSortTest(SMALL_SHAPE), Outcome::noMemory());
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  platform::setCommitFailureForTesting(0);
}

TEST(ParallelSort, NoWorkerStartedFailsInsteadOfWaiting) {
  testing::ScopedFakeTime time(1);
  platform::setThreadStartLimitForTesting(0);
  ::testing::internal::CaptureStderr();
  Outcome t = parallelSortTest(SMALL_SHAPE);
  std::string err = ::testing::internal::GetCapturedStderr();
  platform::setThreadStartLimitForTesting(-1);
  EXPECT_EQ(t, Outcome::failed());
  EXPECT_NE(err.find("none of 2 workers started"), std::string::npos) << err;
}

// A block sort that leaves its block as it is: the merged result is then out
// of order and the final check must catch it.
void leaveUnsorted(double*, int32_t) {}

class ParallelSortFailedCheck : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { runSettings.superBriefMode = GetParam(); }
  void TearDown() override { resetRunSettings(); }
  testing::ScopedFakeTime time_{500};
};

TEST_P(ParallelSortFailedCheck, PrintsFailUnlessSuperBriefAndFailsTheTest) {
  EXPECT_EQ(runParallelSort(2, SMALL_SHAPE, nullptr, leaveUnsorted), SORT_OUT_OF_ORDER);
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  const Outcome outcome = parallelSortTest(SMALL_SHAPE, leaveUnsorted);
  const std::string err = ::testing::internal::GetCapturedStderr();
  const std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(outcome, Outcome::failed());
  EXPECT_EQ(out, GetParam() ? "" : "Parallel-sort using  2 threads (double[0M]): fail!\n");
  EXPECT_EQ(err, "parallel sort: result not in ascending order with 2 workers\n");
}

INSTANTIATE_TEST_SUITE_P(OutputModes, ParallelSortFailedCheck, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& mode) {
                           return mode.param ? "SuperBrief" : "Normal";
                         });

TEST(ParallelSort, WorkersThatStartedDoAllTheWork) {
  testing::ScopedFakeTime time(1);
  platform::setThreadStartLimitForTesting(1);
  ::testing::internal::CaptureStderr();
  int32_t t = runParallelSort(4, SMALL_SHAPE);
  ::testing::internal::GetCapturedStderr();
  platform::setThreadStartLimitForTesting(-1);
  EXPECT_GT(t, 0);
}

TEST(ParallelSort, WorkerWokenAfterShutdownTakesNoTask) {
  SortJob job;
  job.shape = SMALL_SHAPE;
  platform::Semaphore allDone(0);
  platform::Semaphore workReady(0);
  job.allDone = &allDone;
  job.workReady = &workReady;
  job.queue[0] = SortTask{SORT_BLOCK, 0, SMALL_SHAPE.blockLength, 1};
  job.putIndex = 1;
  job.active.store(false);
  workReady.release(2);  // the queued task, and the shutdown wake-up
  PsThread worker;
  worker.setup(&job, DEFAULT_THREAD_TIMEOUT);
  ASSERT_TRUE(worker.start());
  worker.wait();
  EXPECT_EQ(job.getIndex, 0);
  EXPECT_EQ(job.levels[0], 0);
}

TEST(ParallelSort, FinishTaskQueuesTheMergeOnlyForTheSecondBuddy) {
  SortJob job;
  job.shape = SMALL_SHAPE;
  platform::Semaphore allDone(0);
  platform::Semaphore workReady(0);
  job.allDone = &allDone;
  job.workReady = &workReady;
  finishTask(job, SortTask{MERGE_RUNS, 4, 200, 2});
  EXPECT_EQ(job.putIndex, 0);
  EXPECT_EQ(job.levels[4], 2);
  finishTask(job, SortTask{MERGE_RUNS, 6, 200, 2});
  ASSERT_EQ(job.putIndex, 1);
  const SortTask& next = job.queue[0];
  EXPECT_EQ(next.kind, MERGE_RUNS);
  EXPECT_EQ(next.firstBlock, 4);
  EXPECT_EQ(next.length, 400);
  EXPECT_EQ(next.level, 3);
  // The whole array releases allDone instead of queueing.
  finishTask(job, SortTask{MERGE_RUNS, 0, static_cast<int32_t>(SMALL_SHAPE.total()), 5});
  EXPECT_EQ(job.putIndex, 1);
  allDone.acquire();
}

}  // namespace
}  // namespace bench
