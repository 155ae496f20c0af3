#include "workloads/parallel/parallel_sort.h"

#include <cstdio>
#include <memory>
#include <new>

#include "core/random_james.h"
#include "core/sort_doubles.h"
#include "platform/memory.h"
#include "run/settings.h"
#include "run/stopwatch.h"
#include "run/result_text.h"

namespace bench {

namespace {

// Queues `task`. The ring cannot overflow: at most one sort task per block
// exists, and each merge task is queued only after two tasks were taken.
void queueTask(SortJob& job, const SortTask& task) {
  {
    platform::MutexLock hold(job.lock);
    job.queue[job.putIndex] = task;
    job.putIndex = (job.putIndex + 1) % SORT_RING_SIZE;
  }
  job.workReady->release(1);
}

}  // namespace

void mergeRuns(const double* source, double* destination, int64_t start, int64_t half,
               int64_t length) {
  int64_t left = start;
  int64_t leftEnd = start + half;
  int64_t right = leftEnd;
  int64_t rightEnd = start + length;
  int64_t out = start;
  while (left < leftEnd && right < rightEnd) {
    if (source[right] > source[left]) {
      destination[out++] = source[left++];
    } else {
      destination[out++] = source[right++];
    }
  }
  while (left < leftEnd) destination[out++] = source[left++];
  while (right < rightEnd) destination[out++] = source[right++];
}

void finishTask(SortJob& job, SortTask task) {
  if (task.length == job.shape.total()) {
    job.allDone->release(1);
    return;
  }
  int32_t partner = task.firstBlock ^ (task.length / job.shape.blockLength);
  {
    platform::MutexLock hold(job.lock);
    job.levels[task.firstBlock] = static_cast<uint8_t>(task.level);
    if (job.levels[partner] != task.level) return;
  }
  // Both halves of the next run are finished; only this worker saw both
  // under the lock, so the merge is queued exactly once.
  SortTask next{MERGE_RUNS, task.firstBlock < partner ? task.firstBlock : partner, task.length * 2,
                task.level + 1};
  queueTask(job, next);
}

void PsThread::run() {
  SortJob& job = *static_cast<SortJob*>(context());
  for (;;) {
    job.workReady->acquire();
    if (!job.active.load()) return;
    SortTask task;
    {
      platform::MutexLock hold(job.lock);
      task = job.queue[job.getIndex];
      job.getIndex = (job.getIndex + 1) % SORT_RING_SIZE;
    }
    int64_t start = static_cast<int64_t>(task.firstBlock) * job.shape.blockLength;
    if (task.kind == SORT_BLOCK) {
      job.sortBlock(job.buffers[0] + start, task.length);
    } else {
      const double* source = job.buffers[task.level & 1];
      double* destination = job.buffers[(task.level & 1) ^ 1];
      mergeRuns(source, destination, start, task.length / 2, task.length);
    }
    finishTask(job, task);
  }
}

int32_t runParallelSort(int workers, const SortShape& shape, const SortInspector& inspect,
                        BlockSort sortBlock) {
  timerStart();
  SortJob job;
  job.shape = shape;
  job.sortBlock = sortBlock;
  job.active.store(true);
  platform::Semaphore allDone(0);
  platform::Semaphore workReady(0);
  job.allDone = &allDone;
  job.workReady = &workReady;
  size_t bufferBytes = static_cast<size_t>(shape.total()) * sizeof(double);
  job.buffers[0] = static_cast<double*>(platform::commitMemory(bufferBytes));
  if (job.buffers[0] != nullptr) {
    job.buffers[1] = static_cast<double*>(platform::commitMemory(bufferBytes));
  }
  if (job.buffers[1] == nullptr) {
    platform::releaseMemory(job.buffers[0], bufferBytes);
    return SORT_NO_MEMORY;
  }

  std::unique_ptr<PsThread[]> threads(new (std::nothrow) PsThread[workers]);
  int started = 0;
  if (threads == nullptr) {
    std::fprintf(stderr, "parallel sort: cannot allocate %d workers\n", workers);
  } else {
    for (int i = 0; i < workers; ++i) {
      threads[i].setup(&job, DEFAULT_THREAD_TIMEOUT);
      if (threads[i].start()) ++started;
    }
    if (started == 0) {
      std::fprintf(stderr, "parallel sort: none of %d workers started\n", workers);
    }
  }

  int32_t result = 0;  // a time is taken only when the check passes
  if (started > 0) {
    RandomJames random;
    for (int32_t block = 0; block < shape.blockCount; ++block) {
      random.fill(job.buffers[0] + static_cast<int64_t>(block) * shape.blockLength,
                  shape.blockLength);
      queueTask(job, SortTask{SORT_BLOCK, block, shape.blockLength, 1});
    }
    allDone.acquire();
  }
  job.active.store(false);
  workReady.release(workers < 1 ? 1 : workers);
  if (threads != nullptr) {
    for (int i = 0; i < workers; ++i) threads[i].wait();
  }

  if (started > 0) {
    const double* sorted = job.buffers[0];
    for (int64_t k = 1; k < shape.total(); ++k) {
      if (sorted[k - 1] > sorted[k]) {
        result = SORT_OUT_OF_ORDER;
        break;
      }
    }
    if (inspect) inspect(job);
  } else {
    result = SORT_NO_WORKERS;
  }
  threads.reset();
  platform::releaseMemory(job.buffers[0], bufferBytes);
  platform::releaseMemory(job.buffers[1], bufferBytes);
  job.buffers[0] = job.buffers[1] = nullptr;
  if (result == 0) result = timerElapsed();
  job.allDone = nullptr;
  job.workReady = nullptr;
  return result;
}

Outcome parallelSortTest(const SortShape& shape, BlockSort sortBlock) {
  static const int WORKER_COUNTS[] = {2, 4, 8, 16};
  const int megaValues = static_cast<int>(shape.total() >> 20);
  int32_t total = 0;
  for (int n : WORKER_COUNTS) {
    const int32_t t = runParallelSort(n, shape, nullptr, sortBlock);
    if (t == SORT_NO_MEMORY) return Outcome::noMemory();
    if (t == SORT_NO_WORKERS) return Outcome::failed();
    if (t == SORT_OUT_OF_ORDER) {
      if (!runSettings.superBriefMode) {
        std::printf("Parallel-sort using %2d threads (double[%dM]): fail!\n", n, megaValues);
      }
      // A wrong order is not a shortage of memory: say so and record nothing.
      std::fflush(stdout);
      std::fprintf(stderr, "parallel sort: result not in ascending order with %d workers\n", n);
      return Outcome::failed();
    }
    if (!runSettings.superBriefMode) {
      printResult("Parallel-sort using %2d threads (double[%dM]): %.2f sec\n", n, megaValues,
                  t * 0.001);
      std::fflush(stdout);
    }
    total += t;
  }
  if (!runSettings.superBriefMode) {
    printResult("Parallel-sort using %d-%d threads (double[%dM]): %.2f sec total\n", 2, 16,
                megaValues, total * 0.001);
  }
  return Outcome::checkedTime(total);
}

}  // namespace bench
